#pragma once

#include <cstdint>
#include <vector>

#include "errors/KoException.h"
#include "ustring/ustring.h"

// Paths held as ustring text, in one of two syntaxes chosen per call by a
// PathStyle code:
//   bit of value 2 set    Windows syntax: backslash separator, drive
//                         prefixes, UNC '\\' and the long-path prefix '\\?\'
//   bit of value 2 clear  slash syntax: slash separator only
//   exactly 1             FoldCase leaves the text unchanged
// The path logic below is pure: no system call, the same on every platform.
namespace KoPathUtils {

using PathStyle = int32_t;

struct ModuleName {
    static constexpr const char* name = "KoPathUtils";
};
using Exception = KoModuleException<ModuleName>;

// One name of a split path and whether a separator followed it.
struct PathComponent {
    PathComponent(const ustring& text_in, bool followed)
        : text(text_in), followed_by_separator(followed) {}
    // `count` code points of `source` from `start`, copied once.
    PathComponent(const ustring& source, uint32_t start, uint32_t count, bool followed);

    ustring text;
    bool followed_by_separator;
};

// Syntax queries and separator rewrites.
bool HasDriveLetter(const PathStyle& style, const ustring& path);
bool IsAbsolute(const PathStyle& style, const ustring& path);
ustring GetDrive(const PathStyle& style, const ustring& path);
ustring NormalizeSeparators(const PathStyle& style, const ustring& path);
ustring FoldCase(const PathStyle& style, const ustring& path);
void StripTrailingSeparators(ustring& path);

// Components, dot resolution and combination.
std::vector<PathComponent> Split(const PathStyle& style, const ustring& path);
ustring ResolveDots(const PathStyle& style, const ustring& path);
ustring Normalize(const ustring& path, const PathStyle& style, bool fold);
ustring Combine(const ustring& base, const ustring& relative, const PathStyle& style);

}  // namespace KoPathUtils

// Status, removal and the permission grant live beside the path logic.
#include "pathutils/file_ops.h"
