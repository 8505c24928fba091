#pragma once

#include <cstdint>
#include <type_traits>

#include "errors/KoException.h"

// A changeable text held as 32-bit code points.
//
// The text lives in an owned heap buffer with spare capacity. It is filled
// from UTF-8 or UTF-16 and handed to the system as zero-terminated UTF-16
// through wide_c_str(), which is computed once and cached until the text
// changes. No operation checks Unicode validity: any 32-bit value is stored
// and carried as it is.
//
// Storage rules (n input bytes or units, L length, k other length):
//   fill constructor (n copies)     capacity n + 16
//   copy constructor                the source's capacity, every slot copied
//   assign_utf8 / assign_utf16      reused if n + 16 <= capacity, else n + 32
//   resize(n)                       reused if n <= capacity, else n + 16
//   append (k >= 1)                 reused if L + k < capacity,
//                                   else L + L/4 + 2k + 32
//   assign / operator=              reused if k + 16 <= capacity, else k + 32
//   mid / left / slice (c results)  32 if c <= 32, else c + 16
// Every buffer is zero-filled when it is allocated, and a capacity that
// cannot be represented in 32 bits raises std::bad_alloc before anything
// changes.
//
// Decoding choices at the end of the input:
//   UTF-8: only the first n bytes are read (n the byte count, or the bytes
//   before the first zero when the count is 0); the terminating zero itself
//   is never read. A sequence whose lead byte lies before n but which needs
//   a byte at or past n stores U+003F '?' and ends the decoding.
//   UTF-16 with a byte count: only the first byte_count / 2 units are read.
//   A high surrogate whose partner would lie past them is stored unchanged.
//
// Indexes and positions are signed (a negative one counts from the end,
// once); counts are unsigned.
class ustring {
    struct ModuleName {
        static constexpr const char* name = "ustring";
    };

public:
    using Exception = KoModuleException<ModuleName>;
    using CodePointMap = uint32_t (*)(uint32_t);

    static constexpr int32_t npos = 0x7FFFFFFF;

    // Encoding codes for UTF-16 byte order.
    static constexpr int32_t UTF16 = 16;     // host order (little-endian on our targets)
    static constexpr int32_t UTF16_LE = 17;
    static constexpr int32_t UTF16_BE = 18;

    static uint32_t identity_map(uint32_t code_point);

    // n copies of one code point.
    ustring(uint32_t code_point, uint32_t count);
    ustring(const ustring& other);
    // Zero-terminated UTF-8; null gives the empty string.
    ustring(const char* utf8);
    // Zero-terminated UTF-16 (not null): byte order from a leading mark,
    // little-endian without one; the mark is dropped.
    ustring(const char16_t* utf16);
    // Where wchar_t is a UTF-16 unit (Windows), wide text is accepted too.
    template <typename Wide, typename = std::enable_if_t<std::is_same_v<Wide, wchar_t> &&
                                                         sizeof(Wide) == sizeof(char16_t)>>
    ustring(const Wide* utf16) : ustring(reinterpret_cast<const char16_t*>(utf16)) {}
    ~ustring();

    ustring& operator=(const ustring& other) { return assign(other); }

    // Storage and conversion.
    uint32_t length() const { return length_; }
    bool empty() const { return length_ == 0; }
    uint32_t capacity() const { return capacity_; }
    // Read-only view of the code points; valid until the string next changes.
    const uint32_t* data() const { return buffer_; }

    void resize(uint32_t new_length, bool zero_fill);
    void assign_utf8(const char* text, uint32_t byte_count);
    uint32_t assign_utf16(const char16_t* units, uint32_t byte_count, int32_t encoding);
    // A new zero-terminated array owned by the caller (release with delete[]);
    // *byte_count receives the bytes written, mark included, terminator not.
    char16_t* to_utf16(uint32_t* byte_count, int32_t encoding, bool byte_order_mark) const;
    // Cached zero-terminated UTF-16 in host order; valid until the next change.
    const char16_t* wide_c_str();

    // Access, comparison and search.
    uint32_t at(int32_t index) const;
    uint32_t& ref_at(int32_t index);
    bool operator==(const ustring& other) const;
    bool operator!=(const ustring& other) const { return !(*this == other); }
    bool is_alpha() const;
    int32_t find(const ustring& needle, int32_t start = 0, CodePointMap map = identity_map) const;
    bool starts_with(const ustring& prefix) const;

    // Substrings: bounds are clipped, never an error.
    ustring mid(int32_t start, uint32_t count) const;
    ustring left(uint32_t count) const;
    ustring slice(int32_t first, int32_t second) const;

    // Editing.
    ustring& append(const ustring& other);
    ustring& operator+=(const ustring& other) { return append(other); }
    // Appends one code point, growing as append() does.
    ustring& push_back(uint32_t code_point);
    ustring& assign(const ustring& other);
    ustring& truncate(uint32_t count);

private:
    void release_caches();
    void replace_buffer(uint32_t new_capacity);
    uint32_t resolve_index(int32_t index) const;
    uint32_t* grow_for_append(uint32_t extra);

    char* narrow_cache_ = nullptr;  // never filled here; released with the wide cache
    char16_t* wide_cache_ = nullptr;
    uint32_t* buffer_ = nullptr;
    uint32_t length_ = 0;
    uint32_t capacity_ = 0;
};
