// The UTF-8 and UTF-16 decoders on inputs long enough for their block paths
// (plain ASCII blocks, two-byte blocks, stretches of longer sequences),
// compared with the plain reference decoders, including the zeroed slots
// after the text in a reused buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ustring_test_util.h"
#include "tests/utf_reference.h"
#include "ustring/ustring.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Every slot of the buffer: the copy constructor copies spare slots too,
// and a resize to the capacity without zero fill leaves them in view.
std::vector<uint32_t> AllSlots(const ustring& s) {
    ustring view(s);
    view.resize(view.capacity(), false);
    return CodePoints(view);
}

// Decodes `bytes` (exactly those, from a heap copy, so a read past them is
// caught under the sanitizers) into `s` and compares text and spare slots.
void ExpectUtf8LikeReference(ustring& s, const Bytes& bytes, uint32_t count) {
    const Bytes input(bytes);
    s.assign_utf8(reinterpret_cast<const char*>(input.data()), count);
    const std::vector<uint32_t> expected = utf_reference::DecodeUtf8(input.data(), count);
    ASSERT_EQ(CodePoints(s), expected);
    const std::vector<uint32_t> slots = AllSlots(s);
    for (size_t i = expected.size(); i < slots.size(); ++i) {
        ASSERT_EQ(slots[i], 0u) << "spare slot " << i << " of " << slots.size();
    }
}

Bytes Ascii(size_t n) {
    Bytes b;
    for (size_t i = 0; i < n; ++i) b.push_back(static_cast<unsigned char>('a' + i % 26));
    return b;
}

// Inserts `sequence` into 48 ASCII bytes at every offset, so that it lands
// at every place of a 16-byte block and across block ends.
TEST(UstringUtf8Blocks, SequencesAtEveryOffsetMatchTheReference) {
    const std::vector<std::pair<const char*, Bytes>> sequences = {
        {"zero byte", {0x00}},
        {"two-byte", {0xC3, 0xA9}},
        {"two two-byte", {0xC3, 0xA9, 0xC3, 0xBC}},
        {"overlong zero", {0xC0, 0x80}},
        {"stray continuation", {0x80}},
        {"lead then lead", {0xC3, 0xC3, 0xA9}},
        {"lead then ASCII", {0xC3, 0x28}},
        {"lead then zero", {0xC3, 0x00}},
        {"three-byte", {0xE2, 0x82, 0xAC}},
        {"four-byte", {0xF0, 0x9F, 0x98, 0x80}},
        {"four-byte lead with ASCII after", {0xF0, 0x41, 0x42, 0x43}},
        {"invalid leads", {0xF8, 0xFF}},
        {"mark", {0xEF, 0xBB, 0xBF}},
    };
    ustring s("");
    for (const auto& [name, sequence] : sequences) {
        for (size_t offset = 0; offset <= 48; ++offset) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(offset));
            Bytes bytes = Ascii(48);
            bytes.insert(bytes.begin() + offset, sequence.begin(), sequence.end());
            ExpectUtf8LikeReference(s, bytes, static_cast<uint32_t>(bytes.size()));
        }
    }
}

// Every byte count over texts of each kind: the count cuts sequences at
// every place, near the end where the careful tail takes over.
TEST(UstringUtf8Blocks, EveryByteCountMatchesTheReference) {
    std::vector<std::pair<const char*, Bytes>> texts = {{"ascii", Ascii(70)}};
    Bytes latin, cjk, emoji, mixed;
    for (int i = 0; i < 30; ++i) {
        latin.insert(latin.end(), {0x61, 0xC3, static_cast<unsigned char>(0x80 + i)});
        cjk.insert(cjk.end(), {0xE4, 0xB8, static_cast<unsigned char>(0x80 + i)});
        emoji.insert(emoji.end(), {0xF0, 0x9F, 0x98, static_cast<unsigned char>(0x80 + i), 0x20});
        mixed.insert(mixed.end(), {0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0x80, 0xF0, 0x9F});
    }
    texts.insert(texts.end(), {{"latin", latin}, {"cjk", cjk}, {"emoji", emoji}, {"mixed", mixed}});
    ustring s("");
    for (const auto& [name, bytes] : texts) {
        for (uint32_t count = 1; count <= bytes.size(); ++count) {
            SCOPED_TRACE(std::string(name) + " count " + std::to_string(count));
            ExpectUtf8LikeReference(s, Bytes(bytes.begin(), bytes.begin() + count), count);
        }
    }
}

// Pseudo-random texts from a byte alphabet weighted towards the values that
// steer the decoder, decoded into one string whose buffer is reused, so
// that every decoding must clear what a longer one left behind.
TEST(UstringUtf8Blocks, GeneratedTextsMatchTheReference) {
    static const unsigned char kAlphabet[] = {'a',  '/',  0x00, 0x7F, 0x80, 0xA9, 0xBF, 0xC0,
                                              0xC3, 0xDF, 0xE0, 0xE4, 0xEF, 0xF0, 0xF4, 0xF8};
    uint32_t state = 12345;
    auto next = [&state](uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    ustring s("");
    for (int round = 0; round < 3000; ++round) {
        const uint32_t length = next(300);
        const uint32_t plain_share = next(100);  // share of plain ASCII letters
        Bytes bytes;
        for (uint32_t i = 0; i < length; ++i) {
            bytes.push_back(next(100) < plain_share ? static_cast<unsigned char>('a' + next(26))
                                                    : kAlphabet[next(16)]);
        }
        bytes.push_back(0);
        SCOPED_TRACE("round " + std::to_string(round));
        const uint32_t count = next(4) == 0 ? 0 : static_cast<uint32_t>(bytes.size());
        ExpectUtf8LikeReference(s, bytes, count);
    }
}

TEST(UstringUtf16Blocks, GeneratedUnitsMatchTheReference) {
    static const char16_t kAlphabet[] = {0x0041, 0x0000, 0x00E9, 0x4E2D, 0xD83D, 0xDE00,
                                         0xDBFF, 0xDC00, 0xFEFF, 0xFFFE, 0x4100, 0x3DD8};
    uint32_t state = 777;
    auto next = [&state](uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    ustring s("");
    for (int round = 0; round < 3000; ++round) {
        std::vector<char16_t> units;
        const uint32_t length = next(200);
        for (uint32_t i = 0; i < length; ++i) units.push_back(kAlphabet[next(12)]);
        units.push_back(0);
        const uint32_t byte_count = next(3) == 0 ? 0 : next(static_cast<uint32_t>(units.size()) * 2 + 1);
        const int32_t encoding = static_cast<int32_t>(next(4)) == 0 ? 0 : 15 + static_cast<int32_t>(next(4));
        SCOPED_TRACE("round " + std::to_string(round));
        const std::vector<char16_t> input(units);
        const uint32_t length_returned = s.assign_utf16(input.data(), byte_count, encoding);
        const std::vector<uint32_t> expected =
            utf_reference::DecodeUtf16(input.data(), byte_count, encoding);
        ASSERT_EQ(CodePoints(s), expected);
        ASSERT_EQ(length_returned, expected.size());
        const std::vector<uint32_t> slots = AllSlots(s);
        for (size_t i = expected.size(); i < slots.size(); ++i) ASSERT_EQ(slots[i], 0u) << i;
    }
}

}  // namespace
