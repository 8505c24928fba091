// ustring::to_utf16 round trips of valid text: code points from the input
// (Unicode scalar values other than U+0000 and the two mark values) are
// encoded with every byte order, with and without a mark, and decoded again
// by assign_utf16; the text must come back unchanged, the count must match
// the units written and wide_c_str must give the host-order units.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tests/utf_reference.h"
#include "ustring/ustring.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint32_t> points;
    for (size_t i = 0; i + 3 <= size; i += 3) {
        uint32_t c = (data[i] | (uint32_t(data[i + 1]) << 8) | (uint32_t(data[i + 2]) << 16)) %
                     0x110000;
        if (c >= 0xD800 && c <= 0xDFFF) c -= 0x800;  // surrogates are not scalar values
        // U+0000 would end the decoding, and U+FEFF or U+FFFE at the start
        // would be read as a byte-order mark.
        if (c == 0 || c == 0xFEFF || c == 0xFFFE) c = 0x41;
        points.push_back(c);
    }
    ustring s("");
    for (uint32_t c : points) s.push_back(c);
    const std::vector<char16_t> host_units = utf_reference::EncodeUtf16(points);

    for (int32_t encoding : {ustring::UTF16, ustring::UTF16_LE, ustring::UTF16_BE}) {
        for (bool mark : {false, true}) {
            uint32_t byte_count = 0;
            char16_t* units = s.to_utf16(&byte_count, encoding, mark);
            const uint32_t count = byte_count / 2;
            FUZZ_CHECK(byte_count == (host_units.size() + (mark ? 1 : 0)) * 2);
            FUZZ_CHECK(units[count] == 0);

            ustring back("");
            // With a mark the decoder finds the order itself; without one it
            // is told.
            back.assign_utf16(units, byte_count, mark ? 0 : encoding);
            delete[] units;
            FUZZ_CHECK(back == s);
        }
    }
    const char16_t* wide = s.wide_c_str();
    for (size_t i = 0; i < host_units.size(); ++i) FUZZ_CHECK(wide[i] == host_units[i]);
    FUZZ_CHECK(wide[host_units.size()] == 0);
    FUZZ_CHECK(s.wide_c_str() == wide);
    return 0;
}
