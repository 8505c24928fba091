#include "pathutils/native_path_posix.h"

#include <cstdint>

namespace KoPathUtils::platform {

namespace {

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::string NativePath(const char16_t* windows_path) {
    std::string out;
    for (const char16_t* p = windows_path; *p != 0; ++p) {
        uint32_t c = *p;
        if (c == u'\\') {
            c = u'/';
        } else if (IsHighSurrogate(c) && IsLowSurrogate(p[1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t(p[1]) - 0xDC00);
            ++p;
        }
        AppendUtf8(out, c);
    }
    return out;
}

}  // namespace KoPathUtils::platform
