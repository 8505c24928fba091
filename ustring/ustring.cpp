#include "ustring/ustring.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "ustring/alpha_tables.h"

namespace {

constexpr uint32_t kDecodeReuseHeadroom = 16;  // decoders reuse a buffer with this much room
constexpr uint32_t kDecodeHeadroom = 32;       // and allocate this much when they cannot
constexpr uint32_t kResizeHeadroom = 16;
constexpr uint32_t kAssignHeadroom = 32;
constexpr uint32_t kSubstringCapacity = 32;
constexpr uint32_t kReplacement = 0x3F;  // '?'

// a + b, or std::bad_alloc when the sum does not fit a 32-bit count.
uint32_t checked_add(uint64_t a, uint64_t b) {
    const uint64_t sum = a + b;
    if (sum > UINT32_MAX) throw std::bad_alloc();
    return static_cast<uint32_t>(sum);
}

// Every buffer starts zero-filled, so no slot is ever read indeterminate.
uint32_t* allocate_slots(uint32_t count) { return new uint32_t[count](); }

void zero_slots(uint32_t* first, uint32_t* last) { std::fill(first, last, 0u); }

char16_t swap_bytes(char16_t unit) {
    return static_cast<char16_t>(((unit & 0xFF) << 8) | ((unit >> 8) & 0xFF));
}

// True when none of the eight bytes is zero or has its top bit set.
bool is_plain_ascii_block(const unsigned char* bytes) {
    uint64_t block;
    std::memcpy(&block, bytes, sizeof block);
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    const uint64_t zero_bytes = (block - kOnes) & ~block & kHighs;
    return ((block & kHighs) | zero_bytes) == 0;
}

// Bytes taken by a UTF-8 sequence with this lead byte; 1 for an invalid lead.
uint32_t utf8_sequence_size(unsigned char lead) {
    if (lead < 0xC0) return 1;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    if (lead < 0xF8) return 4;
    return 1;
}

// Decodes one sequence of `size` bytes from its lead byte. The bytes after
// the lead contribute their low six bits whatever their top bits are.
uint32_t decode_utf8_sequence(const unsigned char* s, uint32_t size) {
    switch (size) {
        case 2: return (uint32_t(s[0] & 0x1F) << 6) | (s[1] & 0x3F);
        case 3: return (uint32_t(s[0] & 0x0F) << 12) | (uint32_t(s[1] & 0x3F) << 6) | (s[2] & 0x3F);
        case 4:
            return (uint32_t(s[0] & 0x07) << 18) | (uint32_t(s[1] & 0x3F) << 12) |
                   (uint32_t(s[2] & 0x3F) << 6) | (s[3] & 0x3F);
        default: return s[0] < 0x80 ? s[0] : kReplacement;
    }
}

}  // namespace

uint32_t ustring::identity_map(uint32_t code_point) { return code_point; }

ustring::ustring(uint32_t code_point, uint32_t count) {
    capacity_ = checked_add(count, kResizeHeadroom);
    buffer_ = allocate_slots(capacity_);
    std::fill_n(buffer_, count, code_point);
    length_ = count;
}

ustring::ustring(const ustring& other) : length_(other.length_), capacity_(other.capacity_) {
    buffer_ = allocate_slots(capacity_);
    std::copy_n(other.buffer_, capacity_, buffer_);
}

ustring::ustring(const char* utf8) {
    assign_utf8(utf8 ? utf8 : "", 0);
}

ustring::ustring(const char16_t* utf16) {
    assign_utf16(utf16, 0, 0);
}

ustring::~ustring() {
    release_caches();
    delete[] buffer_;
}

void ustring::release_caches() {
    delete[] narrow_cache_;
    narrow_cache_ = nullptr;
    delete[] wide_cache_;
    wide_cache_ = nullptr;
}

// Swaps in a new zero-filled buffer; the old content is not carried over.
void ustring::replace_buffer(uint32_t new_capacity) {
    uint32_t* fresh = allocate_slots(new_capacity);
    delete[] buffer_;
    buffer_ = fresh;
    capacity_ = new_capacity;
}

void ustring::resize(uint32_t new_length, bool zero_fill) {
    const uint32_t grown_capacity = checked_add(new_length, kResizeHeadroom);
    release_caches();
    if (new_length > capacity_) {
        replace_buffer(grown_capacity);
    } else if (!zero_fill && new_length != capacity_) {
        zero_slots(buffer_ + new_length, buffer_ + capacity_);
    }
    length_ = new_length;
    if (zero_fill) zero_slots(buffer_, buffer_ + capacity_);
}

void ustring::assign_utf8(const char* text, uint32_t byte_count) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    uint32_t n = byte_count != 0 ? byte_count : static_cast<uint32_t>(std::strlen(text));
    const uint32_t grown_capacity = checked_add(n, kDecodeHeadroom);
    release_caches();
    if (uint64_t(n) + kDecodeReuseHeadroom > capacity_) {
        replace_buffer(grown_capacity);
    } else {
        zero_slots(buffer_, buffer_ + capacity_);
    }
    length_ = 0;

    uint32_t pos = 0;
    if (n >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) pos = 3;

    uint32_t* out = buffer_;
    while (pos < n) {
        if (n - pos >= 8 && is_plain_ascii_block(bytes + pos)) {
            for (int i = 0; i < 8; ++i) out[i] = bytes[pos + i];
            out += 8;
            pos += 8;
            continue;
        }
        const unsigned char lead = bytes[pos];
        if (lead == 0) break;
        const uint32_t size = utf8_sequence_size(lead);
        if (size > n - pos) {  // cut short by the end of the input
            *out++ = kReplacement;
            break;
        }
        *out++ = decode_utf8_sequence(bytes + pos, size);
        pos += size;
    }
    length_ = static_cast<uint32_t>(out - buffer_);
}

uint32_t ustring::assign_utf16(const char16_t* units, uint32_t byte_count, int32_t encoding) {
    const uint32_t limit = byte_count != 0 ? byte_count / 2 : UINT32_MAX;
    uint32_t u = 0;
    while (u < limit && units[u] != 0) ++u;
    // The unit at u is read as a high surrogate's partner only when it is
    // the terminating zero inside the input, never past the counted units.
    const bool terminator_readable = u < limit;

    const uint32_t grown_capacity = checked_add(u, kDecodeHeadroom);
    release_caches();
    if (uint64_t(u) + kDecodeReuseHeadroom > capacity_) {
        replace_buffer(grown_capacity);
    } else {
        zero_slots(buffer_, buffer_ + capacity_);
    }
    length_ = 0;

    bool big_endian = false;
    uint32_t i = 0;
    if (u >= 1 && units[0] == 0xFEFF) {
        i = 1;
    } else if (u >= 1 && units[0] == 0xFFFE) {
        big_endian = true;
        i = 1;
    }
    if (encoding == UTF16_LE) big_endian = false;
    if (encoding == UTF16_BE) big_endian = true;

    auto unit_at = [&](uint32_t index) -> uint32_t {
        return big_endian ? swap_bytes(units[index]) : units[index];
    };

    uint32_t* out = buffer_;
    while (i < u) {
        const uint32_t w = unit_at(i);
        if (w < 0xD800 || w > 0xDBFF) {
            *out++ = w;
            ++i;
        } else if (i + 1 < u) {
            *out++ = ((w - 0xD7C0) << 10) | (unit_at(i + 1) & 0x3FF);
            i += 2;
        } else if (terminator_readable) {  // the zero unit is the partner
            *out++ = (w - 0xD7C0) << 10;
            break;
        } else {  // the partner would lie past the counted units
            *out++ = w;
            break;
        }
    }
    length_ = static_cast<uint32_t>(out - buffer_);
    return length_;
}

char16_t* ustring::to_utf16(uint32_t* byte_count, int32_t encoding, bool byte_order_mark) const {
    uint64_t units = length_ + (byte_order_mark ? 1 : 0);
    for (uint32_t i = 0; i < length_; ++i) units += buffer_[i] >= 0x10000;
    if (units * 2 > UINT32_MAX) throw std::bad_alloc();
    const bool big_endian = encoding != UTF16 && encoding != UTF16_LE;
    auto ordered = [big_endian](uint32_t unit) {
        const auto value = static_cast<char16_t>(unit);
        return big_endian ? swap_bytes(value) : value;
    };

    char16_t* result = new char16_t[static_cast<size_t>(units) + 1]();
    char16_t* out = result;
    if (byte_order_mark) *out++ = ordered(0xFEFF);
    for (uint32_t i = 0; i < length_; ++i) {
        const uint32_t c = buffer_[i];
        if (c < 0x10000) {
            *out++ = ordered(c);
        } else {
            *out++ = ordered(0xD800 + ((c - 0x10000) >> 10));
            *out++ = ordered(0xDC00 | (c & 0x3FF));
        }
    }
    *byte_count = static_cast<uint32_t>(units * 2);
    return result;
}

const char16_t* ustring::wide_c_str() {
    if (wide_cache_ == nullptr) {
        uint32_t ignored_byte_count = 0;
        wide_cache_ = to_utf16(&ignored_byte_count, UTF16, false);
    }
    return wide_cache_;
}

uint32_t ustring::resolve_index(int32_t index) const {
    int64_t position = index;
    if (position < 0) position += length_;
    if (position < 0 || position >= int64_t(length_)) {
        throw Exception("", 0, "Index out of bounds");
    }
    return static_cast<uint32_t>(position);
}

uint32_t ustring::at(int32_t index) const { return buffer_[resolve_index(index)]; }

uint32_t& ustring::ref_at(int32_t index) {
    const uint32_t position = resolve_index(index);
    release_caches();
    return buffer_[position];
}

bool ustring::operator==(const ustring& other) const {
    return length_ == other.length_ && std::equal(buffer_, buffer_ + length_, other.buffer_);
}

bool ustring::is_alpha() const {
    using namespace ustring_tables;
    for (uint32_t i = 0; i < length_; ++i) {
        const uint32_t c = buffer_[i];
        const uint8_t letter_class = c < kClassIndexSize ? kClassIndex[c] : 0;
        if ((kClassFlags[letter_class] & kLetterFlag) == 0) return false;
    }
    return true;
}

int32_t ustring::find(const ustring& needle, int32_t start, CodePointMap map) const {
    int64_t first = start;
    if (first < 0) first += length_;
    if (first < 0 || first >= int64_t(length_)) return npos;
    const int64_t needle_length = needle.length_;
    if (first + needle_length > int64_t(length_)) return npos;
    if (needle_length == 0) return static_cast<int32_t>(first);

    const uint32_t mapped_head = map(needle.buffer_[0]);
    const int64_t last = int64_t(length_) - needle_length;
    for (int64_t p = first; p <= last; ++p) {
        if (map(buffer_[p]) != mapped_head) continue;
        int64_t j = 1;
        while (j < needle_length && map(needle.buffer_[j]) == map(buffer_[p + j])) ++j;
        if (j == needle_length) return static_cast<int32_t>(p);
    }
    return npos;
}

bool ustring::starts_with(const ustring& prefix) const {
    return find(prefix, 0, identity_map) == 0;
}

ustring ustring::mid(int32_t start, uint32_t count) const {
    ustring result("");
    int64_t first = start;
    if (first < 0) first += length_;
    if (first < 0 || first >= int64_t(length_)) return result;
    const uint64_t available = length_ - uint64_t(first);
    if (count == uint32_t(npos) || count > available) count = static_cast<uint32_t>(available);

    // Grows the capacity-32 empty string as a zero-filling resize would.
    if (count > kSubstringCapacity) result.replace_buffer(checked_add(count, kResizeHeadroom));
    std::copy_n(buffer_ + first, count, result.buffer_);
    result.length_ = count;
    return result;
}

ustring ustring::left(uint32_t count) const { return mid(0, count); }

ustring ustring::slice(int32_t first, int32_t second) const {
    auto clamp_bound = [this](int64_t bound) {
        if (bound < 0) bound += length_;
        return std::clamp<int64_t>(bound, 0, length_);
    };
    int64_t a = clamp_bound(first);
    int64_t b = clamp_bound(second);
    if (b < a) std::swap(a, b);
    return mid(static_cast<int32_t>(a), static_cast<uint32_t>(b - a));
}

// Makes room for `extra` more code points after the text and releases the
// caches. When the text would reach the capacity, the buffer grows by a
// quarter of the length plus twice the addition plus 32; the old buffer is
// handed back for the caller to free once it has copied from it (it may be
// the source of the addition), otherwise null is returned.
uint32_t* ustring::grow_for_append(uint32_t extra) {
    const uint64_t needed = uint64_t(length_) + extra;
    if (needed < capacity_) {
        release_caches();
        return nullptr;
    }
    const uint32_t grown = checked_add(needed + length_ / 4 + extra, kAssignHeadroom);
    uint32_t* fresh = allocate_slots(grown);
    release_caches();
    std::copy_n(buffer_, length_, fresh);
    uint32_t* retired = buffer_;
    buffer_ = fresh;
    capacity_ = grown;
    return retired;
}

ustring& ustring::append(const ustring& other) {
    const uint32_t k = other.length_;
    if (k == 0) return *this;
    const uint32_t* source = other.buffer_;  // read before this string changes
    uint32_t* retired = grow_for_append(k);
    std::copy_n(source, k, buffer_ + length_);
    length_ += k;
    delete[] retired;
    return *this;
}

ustring& ustring::push_back(uint32_t code_point) {
    uint32_t* retired = grow_for_append(1);
    buffer_[length_++] = code_point;
    delete[] retired;
    return *this;
}

ustring& ustring::assign(const ustring& other) {
    if (&other == this) return *this;
    const uint32_t k = other.length_;
    const uint32_t reuse_limit = checked_add(k, kResizeHeadroom);
    const uint32_t grown_capacity = checked_add(k, kAssignHeadroom);
    release_caches();
    if (reuse_limit > capacity_) {
        replace_buffer(grown_capacity);
    } else {
        zero_slots(buffer_ + reuse_limit, buffer_ + capacity_);
    }
    std::copy_n(other.buffer_, k, buffer_);
    buffer_[k] = 0;
    length_ = k;
    return *this;
}

ustring& ustring::truncate(uint32_t count) {
    const ustring shortened = left(count);
    return assign(shortened);
}
