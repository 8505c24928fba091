#pragma once

// Plain one-step-at-a-time decoders written straight from ustring's decoding
// rules, with no fast paths. The decoder tests and the fuzz targets compare
// ustring's block-at-a-time decoders with them on the same input.

#include <cstdint>
#include <vector>

namespace utf_reference {

// UTF-8: the first `count` bytes (count > 0), or the bytes before the first
// zero when count is 0. A sequence that needs bytes past the input gives
// '?' and ends the text.
inline std::vector<uint32_t> DecodeUtf8(const unsigned char* bytes, uint32_t count) {
    uint32_t n = count;
    if (n == 0) {
        while (bytes[n] != 0) ++n;
    }
    std::vector<uint32_t> out;
    uint32_t pos = 0;
    if (n >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) pos = 3;
    while (pos < n) {
        const uint32_t b = bytes[pos];
        if (b == 0) break;
        uint32_t size = 1;
        uint32_t value = b < 0x80 ? b : 0x3F;
        if (b >= 0xC0 && b <= 0xDF) {
            size = 2;
            value = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            size = 3;
            value = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF7) {
            size = 4;
            value = b & 0x07;
        }
        if (size > n - pos) {
            out.push_back(0x3F);
            break;
        }
        for (uint32_t k = 1; k < size; ++k) value = (value << 6) | (bytes[pos + k] & 0x3F);
        out.push_back(value);
        pos += size;
    }
    return out;
}

inline uint32_t Swap(uint32_t unit) { return ((unit & 0xFF) << 8) | (unit >> 8); }

// UTF-16 with a byte count (0: up to the zero unit) and an encoding code.
// A high surrogate in the last counted unit is kept unchanged; one before
// the terminating zero unit takes that zero as its partner.
inline std::vector<uint32_t> DecodeUtf16(const char16_t* units, uint32_t byte_count,
                                         int32_t encoding) {
    uint32_t u = 0;
    const uint64_t limit = byte_count != 0 ? byte_count / 2 : UINT64_MAX;
    while (u < limit && units[u] != 0) ++u;
    const bool ends_at_zero = u < limit;

    bool big_endian = false;
    uint32_t i = 0;
    if (u >= 1 && units[0] == 0xFEFF) i = 1;
    if (u >= 1 && units[0] == 0xFFFE) {
        big_endian = true;
        i = 1;
    }
    if (encoding == 17) big_endian = false;
    if (encoding == 18) big_endian = true;
    auto unit = [&](uint32_t k) -> uint32_t { return big_endian ? Swap(units[k]) : units[k]; };

    std::vector<uint32_t> out;
    while (i < u) {
        const uint32_t w = unit(i);
        if (w >= 0xD800 && w <= 0xDBFF) {
            if (i + 1 < u) {
                out.push_back(((w - 0xD7C0) << 10) | (unit(i + 1) & 0x3FF));
                i += 2;
                continue;
            }
            out.push_back(ends_at_zero ? (w - 0xD7C0) << 10 : w);
            break;
        }
        out.push_back(w);
        ++i;
    }
    return out;
}

// UTF-16 units of the code points, in host order, without a mark.
inline std::vector<char16_t> EncodeUtf16(const std::vector<uint32_t>& points) {
    std::vector<char16_t> out;
    for (uint32_t c : points) {
        if (c < 0x10000) {
            out.push_back(static_cast<char16_t>(c));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
        }
    }
    return out;
}

}  // namespace utf_reference
