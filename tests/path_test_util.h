#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "pathutils/KoPathUtils.h"
#include "tests/ustring_test_util.h"
#include "ustring/ustring.h"

// A path text as UTF-8 for scoped traces.
inline std::string Utf8(const ustring& s) {
    std::string out;
    for (uint32_t i = 0; i < s.length(); ++i) {
        const uint32_t c = s.data()[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            std::ostringstream hex;
            hex << "\\u{" << std::hex << c << "}";
            out += hex.str();
        }
    }
    return out;
}

// "style N, 'path'" for scoped traces of table rows.
inline std::string Where(KoPathUtils::PathStyle style, const std::string& path) {
    return "style " + std::to_string(style) + ", '" + path + "'";
}

// The text of a component list joined with the style's separator, as the
// component list describes it.
inline ustring Join(const std::vector<KoPathUtils::PathComponent>& components,
                    KoPathUtils::PathStyle style) {
    const uint32_t sep = (style & 2) ? 0x5C : 0x2F;
    ustring joined("");
    for (const KoPathUtils::PathComponent& c : components) {
        joined.append(c.text);
        if (c.followed_by_separator) joined.push_back(sep);
    }
    return joined;
}
