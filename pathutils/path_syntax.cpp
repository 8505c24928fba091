// Path syntax queries and the character-level rewrites: drive prefixes,
// absoluteness, separator unification, case folding, trailing separators.

#include <cstdint>

#include "pathutils/KoPathUtils.h"
#include "pathutils/path_text.h"

namespace KoPathUtils {

using namespace detail;

namespace {

// The letter test of absolute drive paths: the string's own letter class.
// ASCII is answered directly (only A-Z and a-z are letters there); any other
// code point asks ustring::is_alpha, which needs a one-character string.
bool IsLetterCodePoint(uint32_t c) {
    if (c < 0x80) return IsDriveLetter(c);
    return ustring(c, 1u).is_alpha();
}

// True for the text "UNC" in any mix of cases.
bool IsUncWord(const uint32_t* p) {
    return FoldCodePoint(p[0]) == 0x75 && FoldCodePoint(p[1]) == 0x6E &&
           FoldCodePoint(p[2]) == 0x63;
}

}  // namespace

bool HasDriveLetter(const PathStyle& style, const ustring& path) {
    return IsWindowsSyntax(style) && DriveLetterPosition(path.data(), path.length()) != kNoDrive;
}

bool IsAbsolute(const PathStyle& style, const ustring& path) {
    const uint32_t* p = path.data();
    const uint32_t n = path.length();
    if (n == 0) return false;
    if (!IsWindowsSyntax(style)) return p[0] == kSlash;
    if (IsEitherSeparator(p[0])) return true;  // root, UNC and long-path forms
    // 'X:' alone or 'X:' followed by a separator
    if (n >= 2 && p[1] == kColon && (n == 2 || IsEitherSeparator(p[2]))) {
        return IsLetterCodePoint(p[0]);
    }
    return false;
}

ustring GetDrive(const PathStyle& style, const ustring& path) {
    // Also the letter after a long-path prefix ('\\?\D:\x' gives "d"), so a
    // long-form base combines with a drive-relative path on its own drive.
    const uint32_t letter = FoldedDriveLetter(style, path.data(), path.length());
    if (letter == 0) return ustring("");
    return ustring(letter, 1u);
}

namespace detail {

ustring RewriteSeparators(const PathStyle& style, const ustring& path, uint32_t* separators) {
    const uint32_t* p = path.data();
    const uint32_t n = path.length();
    const bool windows = IsWindowsSyntax(style);
    const uint32_t sep = SeparatorOf(style);

    uint32_t first = 0;  // first position scanned
    // A leading pair of backslashes in the input keeps both of its separators.
    bool keep_double = windows && n >= 2 && p[0] == kBackslash && p[1] == kBackslash;
    // '\\?\UNC\server\share' stands for '\\server\share': the scan reads two
    // backslashes and then the text after the eight prefix characters.
    // Dropping only the four prefix characters would leave a relative path.
    bool unc_long_form = false;
    if (windows && StartsWithLongPrefix(p, n)) {
        first = 4;
        if (n >= 8 && IsUncWord(p + 4) && p[7] == kBackslash) {
            unc_long_form = true;
            first = 8;
        }
    }

    // At most one code point per scanned position, two for the UNC start and
    // one separator after a trailing dot name.
    ustring result = StringWithRoom(uint64_t(n - first) + 3);
    CodePointWriter out(result);
    uint32_t written_separators = 0;
    bool ends_with_sep = false;
    if (unc_long_form) {
        out.put(sep);
        out.put(sep);
        written_separators = 2;
        ends_with_sep = true;
        keep_double = false;  // the double was written; later runs collapse
    }

    for (uint32_t i = first; i < n; ++i) {
        const uint32_t c = p[i];
        if (!IsEitherSeparator(c)) {
            out.put(c);
            ends_with_sep = false;
        } else if (!ends_with_sep || (keep_double && i - first == 1)) {
            out.put(sep);
            ++written_separators;
            ends_with_sep = true;
        }
    }

    // A last name "." or ".." gains a separator after it.
    const uint32_t* r = out.written();
    const uint32_t m = out.length();
    const bool ends_with_dot = m >= 1 && r[m - 1] == kDot;
    const bool dot_name = ends_with_dot && (m == 1 || r[m - 2] == sep);
    const bool dot_dot_name = ends_with_dot && m >= 2 && r[m - 2] == kDot &&
                              (m == 2 || r[m - 3] == sep);
    if (dot_name || dot_dot_name) {
        out.put(sep);
        ++written_separators;
    }
    out.finish();

    if (separators != nullptr) *separators = written_separators;
    return result;
}

}  // namespace detail

ustring NormalizeSeparators(const PathStyle& style, const ustring& path) {
    return RewriteSeparators(style, path, nullptr);
}

ustring FoldCase(const PathStyle& style, const ustring& path) {
    if (style == 1) return path;
    const uint32_t* p = path.data();
    const uint32_t n = path.length();
    ustring result = StringWithRoom(n);
    CodePointWriter out(result);
    for (uint32_t i = 0; i < n; ++i) out.put(FoldCodePoint(p[i]));
    out.finish();
    return result;
}

void StripTrailingSeparators(ustring& path) {
    const uint32_t* p = path.data();
    uint32_t n = path.length();
    while (n > 0 && IsEitherSeparator(p[n - 1])) --n;
    if (n != path.length()) path.truncate(n);
}

}  // namespace KoPathUtils
