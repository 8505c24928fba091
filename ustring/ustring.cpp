#include "ustring/ustring.h"

#include <algorithm>
#include <cstring>
#include <memory>
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

// The UTF-8 decoder works a block of 16 bytes at a time while the input
// leaves room: a block of plain ASCII is widened in one go, a block of
// ASCII and complete two-byte sequences is decoded without branching per
// byte, and anything else runs through the byte-by-byte rules for a stretch.
// All three give exactly what decode_utf8_sequence gives byte by byte.
constexpr uint32_t kBlock = 16;
// A block may take one byte more (a two-byte sequence across its end), and
// a stretch may end with two sequences of four bytes: while this many bytes
// remain, no read can pass the end of the input.
constexpr uint32_t kFastMargin = kBlock + 8;
// Bytes decoded one sequence at a time before the next block test, so that
// text made of longer sequences (CJK, emoji) does not pay for a test per block.
constexpr uint32_t kStretch = 64;

constexpr uint64_t kLowBits = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// Eight bytes as a little-endian number, whatever the host's byte order
// (compilers turn this into a single load where they can).
uint64_t load_le64(const unsigned char* p) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}

uint32_t load_le32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

enum class Utf8Block { kPlainAscii, kTwoByte, kOther };

// Classifies the 16 bytes at p. kPlainAscii: none is 0x00 or 0x80 and up.
// kTwoByte: no zero byte, and every byte from 0x80 up is either a lead
// 0xC0..0xDF directly followed by a continuation 0x80..0xBF, or such a
// continuation directly after such a lead; *span is then 16, or 17 when
// the last byte is a lead whose continuation is p[16]. Works on the top
// three bits of every byte at once: bit 7 (top), bit 6 and bit 5, each
// moved to bit 7 of its byte.
// Bit 7 of each byte of the result is set where the byte is zero (at least
// one where any is; only the test for none is exact).
uint64_t zero_byte_marks(uint64_t lo, uint64_t hi) {
    return (((lo - kLowBits) & ~lo) | ((hi - kLowBits) & ~hi)) & kHighBits;
}

bool is_plain_ascii_block(const unsigned char* p) {
    const uint64_t lo = load_le64(p);
    const uint64_t hi = load_le64(p + 8);
    return (((lo | hi) & kHighBits) | zero_byte_marks(lo, hi)) == 0;
}

Utf8Block classify_utf8_block(const unsigned char* p, uint32_t* span) {
    const uint64_t lo = load_le64(p);
    const uint64_t hi = load_le64(p + 8);
    const uint64_t zero_bytes = zero_byte_marks(lo, hi);
    const uint64_t top_lo = lo & kHighBits;
    const uint64_t top_hi = hi & kHighBits;
    if ((top_lo | top_hi | zero_bytes) == 0) return Utf8Block::kPlainAscii;

    const uint64_t bit6_lo = (lo << 1) & kHighBits, bit6_hi = (hi << 1) & kHighBits;
    const uint64_t bit5_lo = (lo << 2) & kHighBits, bit5_hi = (hi << 2) & kHighBits;
    const uint64_t longer_leads = (top_lo & bit6_lo & bit5_lo) | (top_hi & bit6_hi & bit5_hi);
    if ((longer_leads | zero_bytes) != 0) return Utf8Block::kOther;

    // Bit 7 of byte i moves to bit 7 of byte i + 1 with a shift by 8.
    const uint64_t leads_lo = top_lo & bit6_lo, leads_hi = top_hi & bit6_hi;
    const uint64_t conts_lo = top_lo & ~bit6_lo, conts_hi = top_hi & ~bit6_hi;
    if (conts_lo != leads_lo << 8 || conts_hi != ((leads_hi << 8) | (leads_lo >> 56))) {
        return Utf8Block::kOther;
    }
    if ((leads_hi >> 63) == 0) {
        *span = kBlock;
    } else if ((p[kBlock] & 0xC0) == 0x80) {
        *span = kBlock + 1;
    } else {
        return Utf8Block::kOther;
    }
    return Utf8Block::kTwoByte;
}

uint32_t* widen_ascii_block(const unsigned char* p, uint32_t* out) {
    unsigned char block[kBlock];  // a local copy lets the compiler vectorise
    std::memcpy(block, p, kBlock);
    for (uint32_t i = 0; i < kBlock; ++i) out[i] = block[i];
    return out + kBlock;
}

// A kTwoByte block: each byte writes its decoding to the next slot, and only
// ASCII bytes and leads move on to a new slot, so a continuation's write is
// overwritten. p[16] is read as the partner of a lead in the last byte.
uint32_t* decode_two_byte_block(const unsigned char* p, uint32_t* out) {
    uint32_t written = 0;
    for (uint32_t i = 0; i < kBlock; ++i) {
        const uint32_t b = p[i];
        const uint32_t pair = ((b & 0x1F) << 6) | (p[i + 1] & 0x3F);
        out[written] = b < 0x80 ? b : pair;
        written += (b & 0xC0) != 0x80;
    }
    return out + written;
}

// Decodes the sequence at bytes[pos], which the caller knows to lie inside
// the input with three bytes to spare, and moves pos and out past it.
// False, with nothing written, at a zero byte.
inline bool decode_one_sequence(const unsigned char* bytes, uint32_t& pos, uint32_t*& out) {
    // The sequence's bytes as one number: byte k in bits 8k to 8k + 7.
    const uint32_t v = load_le32(bytes + pos);
    const uint32_t lead = v & 0xFF;
    switch (lead >> 3) {  // the top five bits tell every kind of lead apart
        case 0x00: case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: case 0x06: case 0x07:
        case 0x08: case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x0E: case 0x0F:
            if (lead == 0) return false;
            *out++ = lead;
            pos += 1;
            return true;
        case 0x18: case 0x19: case 0x1A: case 0x1B:  // 0xC0 to 0xDF
            *out++ = ((v & 0x1F) << 6) | ((v >> 8) & 0x3F);
            pos += 2;
            return true;
        case 0x1C: case 0x1D:  // 0xE0 to 0xEF
            *out++ = ((v & 0x0F) << 12) | ((v >> 2) & 0xFC0) | ((v >> 16) & 0x3F);
            pos += 3;
            return true;
        case 0x1E:  // 0xF0 to 0xF7
            *out++ = ((v & 0x07) << 18) | ((v << 4) & 0x3F000) | ((v >> 10) & 0xFC0) |
                     ((v >> 24) & 0x3F);
            pos += 4;
            return true;
        default: break;
    }
    *out++ = kReplacement;  // a stray continuation byte, or 0xF8 and up
    pos += 1;
    return true;
}

// Decodes bytes[pos, n) into out by the lead-byte rules and returns the end
// of the code points written. Stops at a zero lead byte; a sequence that
// needs bytes at or past n stores '?' and ends the decoding.
uint32_t* decode_utf8(const unsigned char* bytes, uint32_t pos, uint32_t n, uint32_t* out) {
    while (n - pos >= kFastMargin) {
        uint32_t span = 0;
        switch (classify_utf8_block(bytes + pos, &span)) {
            case Utf8Block::kPlainAscii:
                do {
                    out = widen_ascii_block(bytes + pos, out);
                    pos += kBlock;
                } while (n - pos >= kBlock && is_plain_ascii_block(bytes + pos));
                continue;
            case Utf8Block::kTwoByte:
                out = decode_two_byte_block(bytes + pos, out);
                pos += span;
                continue;
            case Utf8Block::kOther: break;
        }
        // Two sequences per round; every sequence that starts before
        // stretch_end, or right after one that does, lies inside the input.
        const uint32_t stretch_end = n - pos - 7 > kStretch ? pos + kStretch : n - 7;
        do {
            if (!decode_one_sequence(bytes, pos, out)) return out;
            if (!decode_one_sequence(bytes, pos, out)) return out;
        } while (pos < stretch_end);
    }
    while (pos < n) {
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
    return out;
}

// UTF-16 works eight units at a time where it can, as two 64-bit numbers
// of four units each. The tests below treat the four 16-bit lanes alike, so
// the order in which a lane holds its unit does not matter.
constexpr uint64_t kUnitLowBits = 0x0001000100010001ull;
constexpr uint64_t kUnitHighBits = 0x8000800080008000ull;
constexpr uint32_t kUnitBlock = 8;
constexpr uint32_t kUnitStretch = 32;

void load_unit_block(const char16_t* p, uint64_t* first, uint64_t* second) {
    std::memcpy(first, p, sizeof *first);
    std::memcpy(second, p + 4, sizeof *second);
}

// True when one of the four units is zero (exact as a yes/no answer).
bool has_zero_unit(uint64_t four) {
    return ((four - kUnitLowBits) & ~four & kUnitHighBits) != 0;
}

bool block_has_zero_unit(const char16_t* p) {
    uint64_t first, second;
    load_unit_block(p, &first, &second);
    return has_zero_unit(first) || has_zero_unit(second);
}

// Units before the first zero unit, looking at no more than `limit` units.
// Blocks are read only where `limit` says the units exist; without a count
// (limit UINT32_MAX) nothing past the terminating zero may be read.
uint32_t count_utf16_units(const char16_t* units, uint32_t limit) {
    uint32_t u = 0;
    if (limit != UINT32_MAX) {
        while (limit - u >= kUnitBlock && !block_has_zero_unit(units + u)) u += kUnitBlock;
    }
    while (u < limit && units[u] != 0) ++u;
    return u;
}

// Decodes units[i, u) in one byte order into out and returns the end of the
// code points written. A block of eight units without a high surrogate is
// widened in one go; the rest goes unit by unit: a high surrogate takes the
// next unit as its partner, whatever it is.
template <bool kBigEndian>
uint32_t* decode_utf16(const char16_t* units, uint32_t i, uint32_t u, bool terminator_readable,
                       uint32_t* out) {
    auto unit_at = [units](uint32_t index) -> uint32_t {
        return kBigEndian ? swap_bytes(units[index]) : units[index];
    };
    // A unit is a high surrogate (0xD800 to 0xDBFF) when its top six bits,
    // in the chosen order, are 110110; these masks look at them in place.
    constexpr uint64_t kTopSix = kBigEndian ? 0x00FC00FC00FC00FCull : 0xFC00FC00FC00FC00ull;
    constexpr uint64_t kHigh = kBigEndian ? 0x00D800D800D800D8ull : 0xD800D800D800D800ull;
    while (i < u) {
        uint64_t first = 0, second = 0;
        if (u - i >= kUnitBlock) load_unit_block(units + i, &first, &second);
        if (u - i >= kUnitBlock && !has_zero_unit((first & kTopSix) ^ kHigh) &&
            !has_zero_unit((second & kTopSix) ^ kHigh)) {
            char16_t block[kUnitBlock];  // a local copy lets the compiler vectorise
            std::memcpy(block, units + i, sizeof block);
            for (uint32_t k = 0; k < kUnitBlock; ++k) {
                out[k] = kBigEndian ? swap_bytes(block[k]) : block[k];
            }
            out += kUnitBlock;
            i += kUnitBlock;
            continue;
        }
        // Unit by unit for a stretch, so that text made of surrogate pairs
        // does not pay for a block test every few units.
        const uint32_t stretch_end = u - i > kUnitStretch ? i + kUnitStretch : u;
        do {
            const uint32_t w = unit_at(i);
            if (w < 0xD800 || w > 0xDBFF) {
                *out++ = w;
                ++i;
            } else if (i + 1 < u) {
                *out++ = ((w - 0xD7C0) << 10) | (unit_at(i + 1) & 0x3FF);
                i += 2;
            } else if (terminator_readable) {  // the zero unit is the partner
                *out++ = (w - 0xD7C0) << 10;
                return out;
            } else {  // the partner would lie past the counted units
                *out++ = w;
                return out;
            }
        } while (i < stretch_end);
    }
    return out;
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
    if (uint64_t(n) + kDecodeReuseHeadroom > capacity_) replace_buffer(grown_capacity);

    uint32_t pos = 0;
    if (n >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) pos = 3;

    // Each byte yields at most one code point, so the buffer has room. The
    // slots after the text are zeroed afterwards rather than the whole
    // buffer before: the result is the same, every slot written once.
    uint32_t* end = decode_utf8(bytes, pos, n, buffer_);
    length_ = static_cast<uint32_t>(end - buffer_);
    zero_slots(end, buffer_ + capacity_);
}

uint32_t ustring::assign_utf16(const char16_t* units, uint32_t byte_count, int32_t encoding) {
    const uint32_t limit = byte_count != 0 ? byte_count / 2 : UINT32_MAX;
    const uint32_t u = count_utf16_units(units, limit);
    // The unit at u is read as a high surrogate's partner only when it is
    // the terminating zero inside the input, never past the counted units.
    const bool terminator_readable = u < limit;

    const uint32_t grown_capacity = checked_add(u, kDecodeHeadroom);
    // The units may be this string's own wide text: keep it alive until
    // they are decoded, while the string already holds no cache.
    const std::unique_ptr<char16_t[]> retired_wide_cache(wide_cache_);
    wide_cache_ = nullptr;
    release_caches();
    if (uint64_t(u) + kDecodeReuseHeadroom > capacity_) replace_buffer(grown_capacity);

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

    // Each unit yields at most one code point; as in assign_utf8, the slots
    // after the text are zeroed afterwards rather than all of them before.
    uint32_t* end = big_endian ? decode_utf16<true>(units, i, u, terminator_readable, buffer_)
                               : decode_utf16<false>(units, i, u, terminator_readable, buffer_);
    length_ = static_cast<uint32_t>(end - buffer_);
    zero_slots(end, buffer_ + capacity_);
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
