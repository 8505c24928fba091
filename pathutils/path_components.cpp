// Path components: splitting, removal of "." and resolution of ".." names,
// normalisation and combination of a base path with a relative one.
//
// Splitting and dot resolution work on places in the text (Range) rather than
// on copied names, so a normalisation copies the path's characters twice in
// all: once for the separator rewrite and once for the joined result.

#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "pathutils/KoPathUtils.h"
#include "pathutils/path_text.h"

namespace KoPathUtils {

using namespace detail;

namespace {

// `count` code points of `source` from `start`.
ustring CopyOfRange(const ustring& source, uint32_t start, uint32_t count) {
    if (start <= uint32_t(std::numeric_limits<int32_t>::max())) {
        return source.mid(static_cast<int32_t>(start), count);
    }
    // Positions past the signed index range cannot be handed to mid.
    ustring text = StringWithRoom(count);
    CodePointWriter out(text);
    out.put(source.data() + start, count);
    out.finish();
    return text;
}

}  // namespace

PathComponent::PathComponent(const ustring& source, uint32_t start, uint32_t count,
                             bool followed)
    : text(CopyOfRange(source, start, count)), followed_by_separator(followed) {}

std::vector<PathComponent> Split(const PathStyle& style, const ustring& path) {
    const uint32_t* p = path.data();
    const uint32_t n = path.length();

    // Places first, so that the list is sized once and never moves its
    // strings.
    RangeStack ranges(0);
    ForEachComponent(style, p, n, [&ranges](const Range& range) { ranges.push(range); });

    std::vector<PathComponent> components;
    components.reserve(ranges.size());
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const Range& r = ranges[i];
        components.emplace_back(path, r.start, r.count, r.followed_by_separator);
    }
    return components;
}

namespace detail {

ustring ResolveDotsOf(const PathStyle& style, const uint32_t* p, uint32_t n, uint32_t expected,
                      bool fold, uint64_t extra) {
    const bool windows = IsWindowsSyntax(style);
    const uint32_t sep = SeparatorOf(style);
    const bool lower_case = fold && style != 1;  // style 1 keeps names as they are

    auto is_dot_dot = [p](const Range& r) {
        return r.count == 2 && p[r.start] == kDot && p[r.start + 1] == kDot;
    };
    auto has_drive = [windows, p](const Range& r) {
        return windows && DriveLetterPosition(p + r.start, r.count) != kNoDrive;
    };

    RangeStack kept(expected);
    ForEachComponent(style, p, n, [&](const Range& c) {
        if (c.count == 1 && p[c.start] == kDot) return;  // "." goes, with its separator
        if (!is_dot_dot(c)) {
            kept.push(c);
            return;
        }
        // ".." stays at the start, after another "..", and after a
        // drive-relative 'X:'; it then always ends with a separator.
        const bool lone = kept.size() == 1;
        if (kept.empty() || is_dot_dot(kept.back()) ||
            (lone && has_drive(kept[0]) && !kept[0].followed_by_separator)) {
            kept.push(Range{c.start, c.count, true});
            return;
        }
        // The root of a path that starts with a separator and a drive root
        // 'X:\' absorb it.
        if (lone && (kept[0].count == 0 ||
                     (has_drive(kept[0]) && kept[0].followed_by_separator))) {
            return;
        }
        kept.pop();
    });

    uint64_t total = extra;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        total += uint64_t(kept[i].count) + (kept[i].followed_by_separator ? 1 : 0);
    }
    ustring result = StringWithRoom(total);
    CodePointWriter out(result);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const Range& r = kept[i];
        const uint32_t* name = p + r.start;
        if (lower_case) {
            for (uint32_t j = 0; j < r.count; ++j) out.put(FoldCodePoint(name[j]));
        } else {
            out.put(name, r.count);
        }
        if (r.followed_by_separator) out.put(sep);
    }
    out.finish();
    return result;
}

}  // namespace detail

ustring ResolveDots(const PathStyle& style, const ustring& path) {
    return ResolveDotsOf(style, path.data(), path.length(), 0, false, 0);
}

namespace {

// Normalize with room for `extra` further code points in the result.
ustring NormalizeWithRoom(const ustring& path, const PathStyle& style, bool fold,
                          uint64_t extra) {
    uint32_t separators = 0;
    const ustring rewritten = RewriteSeparators(style, path, &separators);
    const uint32_t n = rewritten.length();
    return ResolveDotsOf(style, rewritten.data(), n, ComponentBound(n, separators), fold, extra);
}

}  // namespace

ustring Normalize(const ustring& path, const PathStyle& style, bool fold) {
    return NormalizeWithRoom(path, style, fold, 0);
}

ustring Combine(const ustring& base, const ustring& relative, const PathStyle& style) {
    const uint32_t* rel = relative.data();
    const uint32_t rel_length = relative.length();

    if (rel_length == 0) return Normalize(Normalize(base, style, false), style, false);

    if (IsAbsolute(style, relative)) {
        throw Exception("", 0, "Cannot combine 'Path' + 'Absolute Path'");
    }
    // A drive-relative second path ('C:x') must name the base's drive; its
    // drive prefix is then left out of the joined text.
    uint32_t skip = 0;
    if (IsWindowsSyntax(style) && HasDriveLetter(style, relative)) {
        const uint32_t base_drive = FoldedDriveLetter(style, base.data(), base.length());
        if (FoldedDriveLetter(style, rel, rel_length) != base_drive) {
            throw Exception("", 0, "Cannot combine paths on different drives");
        }
        skip = 2;
    }

    ustring joined = NormalizeWithRoom(base, style, false, uint64_t(rel_length) + 1);
    // A bare drive 'X:' stays drive-relative: no separator after it.
    const bool bare_drive =
        IsWindowsSyntax(style) && joined.length() == 2 && HasDriveLetter(style, joined);
    if (!joined.empty() && !bare_drive) joined.push_back(kSlash);
    if (skip == 0) {
        joined.append(relative);
    } else {
        AppendCodePoints(joined, rel + skip, rel_length - skip);
    }
    return Normalize(joined, style, false);
}

}  // namespace KoPathUtils
