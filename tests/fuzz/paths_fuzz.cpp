// KoPathUtils on any text in styles 0 to 3.
//
// Byte 0 picks the style; the rest is cut at the first 0xFF byte into a
// base and a relative path. Bytes below 0x80 map to a small alphabet of the
// characters that steer the path code (separators, dot, colon, question
// mark, letters, a digit, a non-ASCII letter, an emoji), bytes from 0x80 on
// stand for the Latin-1 code point of the same value.
//
// Checks: no crash and no read outside a string (sanitizers); joining the
// components of Split gives the text back (except the documented case of a
// Windows path whose first character is a separator and second a colon);
// Normalize writes only the style's separator; Combine raises nothing but
// the two documented KoPathUtils errors.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "pathutils/KoPathUtils.h"
#include "tests/fuzz/fuzz_check.h"
#include "ustring/ustring.h"

namespace {

const uint32_t kAlphabet[16] = {'/', '\\', '.', ':', '?', 'C', 'c', 'z',
                                '1', 'a', 'A', '.', '/', '\\', 0xE9, 0x1F600};

ustring Text(const uint8_t* first, const uint8_t* last) {
    ustring s("");
    for (const uint8_t* p = first; p != last; ++p) s.push_back(*p < 0x80 ? kAlphabet[*p & 15] : *p);
    return s;
}

uint32_t SeparatorOf(KoPathUtils::PathStyle style) { return (style & 2) ? '\\' : '/'; }

ustring Join(const std::vector<KoPathUtils::PathComponent>& parts, KoPathUtils::PathStyle style) {
    const ustring separator(SeparatorOf(style), 1);
    ustring joined("");
    for (const auto& part : parts) {
        joined += part.text;
        if (part.followed_by_separator) joined += separator;
    }
    return joined;
}

void CheckPath(const ustring& path, const KoPathUtils::PathStyle& style) {
    const uint32_t n = path.length();
    const bool windows = (style & 2) != 0;
    const bool split_exception = windows && n >= 2 && path.at(0) == '\\' && path.at(1) == ':';
    const std::vector<KoPathUtils::PathComponent> parts = KoPathUtils::Split(style, path);
    if (!split_exception) FUZZ_CHECK(Join(parts, style) == path);

    const uint32_t other_separator = windows ? '/' : '\\';
    for (bool fold : {false, true}) {
        const ustring normal = KoPathUtils::Normalize(path, style, fold);
        for (uint32_t i = 0; i < normal.length(); ++i) FUZZ_CHECK(normal.at(i) != other_separator);
    }
    KoPathUtils::ResolveDots(style, path);
    KoPathUtils::HasDriveLetter(style, path);
    KoPathUtils::IsAbsolute(style, path);
    const ustring drive = KoPathUtils::GetDrive(style, path);
    FUZZ_CHECK(drive.length() <= 1);
    FUZZ_CHECK(KoPathUtils::FoldCase(style, path).length() == n);
    ustring stripped(path);
    KoPathUtils::StripTrailingSeparators(stripped);
    FUZZ_CHECK(stripped.length() <= n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const KoPathUtils::PathStyle style = data[0] & 3;
    const uint8_t* first = data + 1;
    const uint8_t* last = data + size;
    const uint8_t* cut = static_cast<const uint8_t*>(std::memchr(first, 0xFF, size - 1));
    const ustring base = Text(first, cut ? cut : last);
    const ustring relative = cut ? Text(cut + 1, last) : ustring("");

    CheckPath(base, style);
    CheckPath(relative, style);
    try {
        KoPathUtils::Combine(base, relative, style);
    } catch (const KoPathUtils::Exception& e) {
        FUZZ_CHECK(std::strcmp(e.what(), "Cannot combine 'Path' + 'Absolute Path'") == 0 ||
                   std::strcmp(e.what(), "Cannot combine paths on different drives") == 0);
        FUZZ_CHECK(std::strcmp(e.Module(), "KoPathUtils") == 0);
    }
    return 0;
}
