#pragma once

// Character-level helpers shared by the path syntax and path component code.
// Internal to the pathutils library.

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include "pathutils/KoPathUtils.h"
#include "ustring/ustring.h"

namespace KoPathUtils {
namespace detail {

constexpr uint32_t kBackslash = 0x5C;
constexpr uint32_t kSlash = 0x2F;
constexpr uint32_t kColon = 0x3A;
constexpr uint32_t kDot = 0x2E;
constexpr uint32_t kQuestionMark = 0x3F;

inline bool IsWindowsSyntax(const PathStyle& style) { return (style & 2) != 0; }

// The separator written in this syntax.
inline uint32_t SeparatorOf(const PathStyle& style) {
    return IsWindowsSyntax(style) ? kBackslash : kSlash;
}

inline bool IsEitherSeparator(uint32_t c) { return c == kBackslash || c == kSlash; }

// Exactly the 52 ASCII letters, whatever the value of c.
inline bool IsDriveLetter(uint32_t c) {
    return (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A);
}

// A to Z become a to z; every other code point stays.
inline uint32_t FoldCodePoint(uint32_t c) { return (c >= 0x41 && c <= 0x5A) ? c + 0x20 : c; }

// '\\?\' at the start of p[0, n).
inline bool StartsWithLongPrefix(const uint32_t* p, uint32_t n) {
    return n >= 4 && p[0] == kBackslash && p[1] == kBackslash && p[2] == kQuestionMark &&
           p[3] == kBackslash;
}

// Where the drive letter of p[0, n) stands when the text starts with a drive
// prefix: 0 for 'X:...', 4 for '\\?\X:...'. kNoDrive otherwise. Windows
// syntax is assumed; the caller checks the style.
constexpr uint32_t kNoDrive = 0xFFFFFFFFu;
inline uint32_t DriveLetterPosition(const uint32_t* p, uint32_t n) {
    if (n >= 2 && p[1] == kColon && IsDriveLetter(p[0])) return 0;
    if (n >= 6 && StartsWithLongPrefix(p, n) && p[5] == kColon && IsDriveLetter(p[4])) return 4;
    return kNoDrive;
}

// The lower-case drive letter of the text, or 0 when it has no drive prefix.
// A drive letter is always an ASCII letter, so 0 never names a drive.
inline uint32_t FoldedDriveLetter(const PathStyle& style, const uint32_t* p, uint32_t n) {
    if (!IsWindowsSyntax(style)) return 0;
    const uint32_t at = DriveLetterPosition(p, n);
    return at == kNoDrive ? 0 : FoldCodePoint(p[at]);
}

// A string of `room` + 1 code points to be overwritten by a CodePointWriter.
// One allocation; the extra slot keeps it non-empty even for room 0.
inline ustring StringWithRoom(uint64_t room) {
    if (room >= UINT32_MAX) throw std::bad_alloc();
    return ustring(0u, static_cast<uint32_t>(room) + 1);
}

// Writes code points straight into the slots of a string made by
// StringWithRoom, then cuts the string to what was written. Nothing else may
// touch the string between construction and finish().
class CodePointWriter {
public:
    explicit CodePointWriter(ustring& text)
        : text_(text), out_(&text.ref_at(0)), room_(text.length()) {}
    CodePointWriter(const CodePointWriter&) = delete;
    CodePointWriter& operator=(const CodePointWriter&) = delete;

    void put(uint32_t c) {
        assert(length_ < room_);
        out_[length_++] = c;
    }
    void put(const uint32_t* p, uint32_t n) {
        assert(n <= room_ - length_);
        std::copy_n(p, n, out_ + length_);
        length_ += n;
    }
    uint32_t length() const { return length_; }
    const uint32_t* written() const { return out_; }
    void finish() { text_.resize(length_, false); }

private:
    ustring& text_;
    uint32_t* out_;
    uint32_t room_;
    uint32_t length_ = 0;
};

// Appends p[0, n) to text.
inline void AppendCodePoints(ustring& text, const uint32_t* p, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) text.push_back(p[i]);
}

// A component of a path as a place in the path's text: `count` code points
// from `start`, and whether a separator follows it.
struct Range {
    uint32_t start;
    uint32_t count;
    bool followed_by_separator;
};

// Calls sink(Range) for each component of p[0, n), in order, in one pass.
// Components are cut at the style's separator only; in Windows syntax a colon
// at position 1 closes a drive component 'X:' that swallows one separator
// right after it. When position 0 is the separator and position 1 the colon,
// the colon joins the empty root component (giving ":"), and the component cut
// at the colon is empty.
template <typename Sink>
void ForEachComponent(const PathStyle& style, const uint32_t* p, uint32_t n, Sink&& sink) {
    const uint32_t sep = SeparatorOf(style);
    uint32_t start = 0;
    uint32_t i = 0;
    if (IsWindowsSyntax(style) && n >= 2 && p[1] == kColon) {
        const bool followed = n >= 3 && p[2] == sep;
        if (p[0] == sep) {
            sink(Range{1, 1, true});         // the root, carrying the colon
            sink(Range{1, 0, followed});     // cut at the colon
        } else {
            sink(Range{0, 2, followed});     // 'X:'
        }
        start = i = followed ? 3 : 2;
    }
    for (; i < n; ++i) {
        if (p[i] == sep) {
            sink(Range{start, i - start, true});
            start = i + 1;
        }
    }
    if (start != n) sink(Range{start, n - start, false});
}

// An upper bound for the number of components ForEachComponent yields for a
// text of n code points holding `separators` copies of the separator: one
// per separator plus at most two (a drive component and the last name), and
// never more than n.
inline uint32_t ComponentBound(uint32_t n, uint32_t separators) {
    const uint64_t by_separators = uint64_t(separators) + 2;
    return by_separators < n ? static_cast<uint32_t>(by_separators) : n;
}

// A stack of ranges that lives on the call stack for short paths and moves to
// the heap only when more than kInline entries are needed. `expected` entries
// fit without growing; more double the storage.
class RangeStack {
public:
    explicit RangeStack(uint32_t expected) {
        if (expected > kInline) grow(expected);
    }
    RangeStack(const RangeStack&) = delete;
    RangeStack& operator=(const RangeStack&) = delete;

    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    const Range& operator[](std::size_t i) const { return items_[i]; }
    const Range& back() const { return items_[size_ - 1]; }

    void push(const Range& range) {
        if (size_ == capacity_) grow(capacity_ * 2);
        items_[size_++] = range;
    }
    void pop() { --size_; }

private:
    static constexpr std::size_t kInline = 16;

    void grow(std::size_t wanted) {
        if (wanted > heap_.max_size()) throw std::bad_alloc();
        std::vector<Range> bigger(wanted);
        for (std::size_t i = 0; i < size_; ++i) bigger[i] = items_[i];
        heap_.swap(bigger);
        items_ = heap_.data();
        capacity_ = wanted;
    }

    Range inline_[kInline] = {};
    std::vector<Range> heap_;
    Range* items_ = inline_;
    std::size_t size_ = 0;
    std::size_t capacity_ = kInline;
};

// The separator rewrite; also reports how many separators it wrote.
ustring RewriteSeparators(const PathStyle& style, const ustring& path, uint32_t* separators);

// Dot resolution of p[0, n), with room for `extra` further code points in the
// result. `expected` is the number of components to make room for at once
// (0 when unknown); storage grows past it as needed.
ustring ResolveDotsOf(const PathStyle& style, const uint32_t* p, uint32_t n, uint32_t expected,
                      bool fold, uint64_t extra);

}  // namespace detail
}  // namespace KoPathUtils
