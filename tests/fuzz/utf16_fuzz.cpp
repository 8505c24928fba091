// ustring::assign_utf16 on any units, any byte count up to the buffer and
// any encoding code.
//
// Byte 0 picks the encoding (0, 16, 17, 18 or another value), bytes 1 and 2
// the byte count (0 means: up to the first zero unit, and then the input is
// given a terminating zero unit); the rest are the units, in a buffer of
// exactly their size. The result must equal the reference decoder's.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tests/utf_reference.h"
#include "ustring/ustring.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static const int32_t kEncodings[] = {0, ustring::UTF16, ustring::UTF16_LE, ustring::UTF16_BE,
                                         1, -1};
    const int32_t encoding = kEncodings[data[0] % 6];
    const uint32_t selector = data[1] | (uint32_t(data[2]) << 8);
    std::vector<char16_t> units((size - 3) / 2);
    if (!units.empty()) std::memcpy(units.data(), data + 3, units.size() * 2);
    const auto bytes = static_cast<uint32_t>(units.size() * 2);
    const uint32_t byte_count = selector % (bytes + 1);
    if (byte_count == 0) units.push_back(0);  // read up to the first zero unit

    ustring s("seed text of some length");
    const uint32_t length = s.assign_utf16(units.data(), byte_count, encoding);
    const std::vector<uint32_t> expected =
        utf_reference::DecodeUtf16(units.data(), byte_count, encoding);
    FUZZ_CHECK(length == s.length());
    FUZZ_CHECK(s.length() == expected.size());
    FUZZ_CHECK(s.length() <= s.capacity());
    for (uint32_t i = 0; i < s.length(); ++i) FUZZ_CHECK(s.data()[i] == expected[i]);
    return 0;
}
