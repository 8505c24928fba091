// ustring::assign_utf8 on any bytes with any byte count up to the buffer.
//
// The first two bytes choose the byte count (0 means: up to the first zero
// byte, and then the input is given a terminating zero); the rest is the
// text, in a buffer of exactly its size so that the sanitizer catches a read
// past it. The result must equal the plain reference decoder's, the capacity
// must follow the storage rule and every slot after the text must be zero.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tests/utf_reference.h"
#include "ustring/ustring.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint32_t selector = data[0] | (uint32_t(data[1]) << 8);
    const std::vector<unsigned char> text(data + 2, data + size);
    const auto length = static_cast<uint32_t>(text.size());
    const uint32_t count = selector % (length + 1);

    std::vector<unsigned char> input(text);
    if (count == 0) input.push_back(0);  // read up to the first zero byte
    // A second string made from a short prefix, so that both the reuse and
    // the replacement of a buffer are exercised.
    ustring s("0123456789abcdefghijklmnopqrstuvwxyz");
    const uint32_t old_capacity = s.capacity();
    s.assign_utf8(reinterpret_cast<const char*>(input.data()), count);

    const std::vector<uint32_t> expected = utf_reference::DecodeUtf8(input.data(), count);
    FUZZ_CHECK(s.length() == expected.size());
    for (uint32_t i = 0; i < s.length(); ++i) FUZZ_CHECK(s.data()[i] == expected[i]);

    uint32_t n = count;
    if (n == 0) {
        while (input[n] != 0) ++n;
    }
    FUZZ_CHECK(s.capacity() == (n + 16 <= old_capacity ? old_capacity : n + 32));
    ustring view(s);  // the copy carries every slot, spare ones included
    view.resize(view.capacity(), false);
    for (uint32_t i = s.length(); i < view.length(); ++i) FUZZ_CHECK(view.data()[i] == 0);
    return 0;
}
