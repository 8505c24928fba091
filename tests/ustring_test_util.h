#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "ustring/ustring.h"

// The code points of a string, for readable comparisons in tests.
inline std::vector<uint32_t> CodePoints(const ustring& s) {
    return std::vector<uint32_t>(s.data(), s.data() + s.length());
}

// A string made of the given code points, whatever their values.
inline ustring FromCodePoints(const std::vector<uint32_t>& points) {
    ustring s("");
    for (uint32_t c : points) s.push_back(c);
    return s;
}

// Lets GoogleTest print a ustring as its code points.
inline void PrintTo(const ustring& s, std::ostream* os) {
    *os << "ustring{";
    for (uint32_t c : CodePoints(s)) {
        if (c >= 0x20 && c < 0x7F) {
            *os << static_cast<char>(c);
        } else {
            *os << "\\u{" << std::hex << c << std::dec << "}";
        }
    }
    *os << "}";
}
