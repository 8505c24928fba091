#pragma once

#include <cstdint>

// Constant letter data of ustring::is_alpha (see scripts/gen_alpha_tables.py).
namespace ustring_tables {

constexpr uint32_t kClassIndexSize = 0x2D4;  // code points U+0000 to U+02D3
constexpr uint32_t kClassCount = 2;
constexpr uint16_t kLetterFlag = 0x0001;

extern const uint8_t kClassIndex[kClassIndexSize];
extern const uint16_t kClassFlags[kClassCount];

}  // namespace ustring_tables
