// Storage, capacity, cache and encoding conversion of ustring.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "tests/ustring_test_util.h"
#include "ustring/ustring.h"

namespace {

using Points = std::vector<uint32_t>;

struct Utf8Case {
    const char* name;
    std::vector<uint8_t> bytes;  // exactly the input; no terminator unless listed
    uint32_t byte_count;         // 0: up to the first zero byte
    Points expected;
};

// Decodes from a heap copy of exactly the listed bytes, so that a read
// past them is caught by the sanitizers.
ustring DecodeUtf8(const Utf8Case& c) {
    std::vector<char> input(c.bytes.begin(), c.bytes.end());
    ustring s("");
    s.assign_utf8(input.data(), c.byte_count);
    return s;
}

TEST(UstringUtf8, DecodesByTheLeadByteRules) {
    const std::vector<Utf8Case> cases = {
        {"empty", {0}, 0, {}},
        {"mark alone", {0xEF, 0xBB, 0xBF, 0}, 0, {}},
        {"mark then A", {0xEF, 0xBB, 0xBF, 0x41, 0}, 0, {0x41}},
        {"mark later", {0x41, 0xEF, 0xBB, 0xBF, 0}, 0, {0x41, 0xFEFF}},
        {"euro", {0xE2, 0x82, 0xAC, 0}, 0, {0x20AC}},
        {"emoji", {0xF0, 0x9F, 0x98, 0x80, 0}, 0, {0x1F600}},
        {"max", {0xF4, 0x8F, 0xBF, 0xBF, 0}, 0, {0x10FFFF}},
        {"above max kept", {0xF7, 0xBF, 0xBF, 0xBF, 0}, 0, {0x1FFFFF}},
        {"stray continuation", {0x80, 0x41, 0}, 0, {0x3F, 0x41}},
        {"lone FF", {0xFF, 0}, 0, {0x3F}},
        {"non-continuation swallowed", {0xC3, 0x28, 0}, 0, {0xE8}},
        {"overlong zero kept", {0xC0, 0x80, 0x41}, 3, {0x0, 0x41}},
        {"zero ends with count", {0x61, 0x62, 0x00, 0x63}, 4, {0x61, 0x62}},
        {"zero inside sequence swallowed", {0xC3, 0x00, 0x41}, 3, {0xC0, 0x41}},
        {"cut by terminator", {0xC3, 0}, 0, {0x3F}},
        {"cut after A", {0x41, 0xE2, 0x82, 0}, 0, {0x41, 0x3F}},
        {"cut by count", {0xC3, 0xA9}, 1, {0x3F}},
        {"cut four-byte at the end", {0x61, 0xF0, 0x9F, 0x98}, 4, {0x61, 0x3F}},
        {"ascii blocks then zero", {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 0, 'j'}, 11,
         {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i'}},
        {"zero inside a block", {'a', 'b', 'c', 0, 'e', 'f', 'g', 'h', 'i'}, 9, {'a', 'b', 'c'}},
        {"ascii run then two-byte", {'p', 'a', 't', 'h', '/', 't', 'o', '/', 0xC3, 0xA9, '!'}, 11,
         {'p', 'a', 't', 'h', '/', 't', 'o', '/', 0xE9, '!'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ustring s = DecodeUtf8(c);
        EXPECT_EQ(CodePoints(s), c.expected);
        const uint32_t n = c.byte_count ? c.byte_count : uint32_t(std::strlen((const char*)c.bytes.data()));
        EXPECT_EQ(s.capacity(), n + 16 <= 32 ? 32u : n + 32) << "decoded into a string of capacity 32";
    }
}

TEST(UstringUtf8, ConstructorFromEmptyOrNullGivesEmptyCapacity32) {
    for (const char* text : {"", static_cast<const char*>(nullptr)}) {
        const ustring s(text);
        EXPECT_EQ(s.length(), 0u);
        EXPECT_TRUE(s.empty());
        EXPECT_EQ(s.capacity(), 32u);
    }
}

struct Utf16Case {
    const char* name;
    std::vector<char16_t> units;  // exactly the input
    uint32_t byte_count;
    int32_t encoding;
    Points expected;
};

TEST(UstringUtf16, DecodesMarksSurrogatesAndCounts) {
    const std::vector<Utf16Case> cases = {
        {"little mark", {0xFEFF, 0x41, 0}, 0, 0, {0x41}},
        {"big mark", {0xFFFE, 0x4100, 0}, 0, 0, {0x41}},
        {"big mark overridden", {0xFFFE, 0x4100, 0}, 0, ustring::UTF16_LE, {0x4100}},
        {"little mark overridden", {0xFEFF, 0x0041, 0}, 0, ustring::UTF16_BE, {0x4100}},
        {"host encoding keeps mark's order", {0xFFFE, 0x4100, 0}, 0, ustring::UTF16, {0x41}},
        {"pair", {0xD83D, 0xDE00, 0}, 0, 0, {0x1F600}},
        {"big-endian pair", {0x3DD8, 0x00DE, 0}, 0, ustring::UTF16_BE, {0x1F600}},
        {"lone low", {0xDE00, 0x41, 0}, 0, 0, {0xDE00, 0x41}},
        {"high swallows next", {0xD83D, 0x41, 0}, 0, 0, {0x1F441}},
        {"high before terminator", {0xD83D, 0}, 0, 0, {0x1F400}},
        {"byte count 3 reads one unit", {0x41, 0x42}, 3, 0, {0x41}},
        {"byte count 1 reads none", {0x41}, 1, 0, {}},
        {"count stops at zero", {0x41, 0, 0x42}, 6, 0, {0x41}},
        {"partner past counted units", {0x41, 0xD83D}, 4, 0, {0x41, 0xD83D}},
        {"zero partner inside counted units", {0xD83D, 0, 0x41}, 6, 0, {0x1F400}},
        {"mark only", {0xFEFF, 0}, 0, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<char16_t> input = c.units;
        ustring s("");
        const uint32_t returned = s.assign_utf16(input.data(), c.byte_count, c.encoding);
        EXPECT_EQ(CodePoints(s), c.expected);
        EXPECT_EQ(returned, s.length());
    }
}

TEST(UstringUtf16, ConstructorReadsMarkAndSizesByUnits) {
    const ustring swapped(u"\xFFFE\x4100\x4200");
    EXPECT_EQ(CodePoints(swapped), (Points{0x41, 0x42}));
    EXPECT_EQ(swapped.capacity(), 3u + 32u);

    const ustring marked(u"\xFEFFx");
    EXPECT_EQ(CodePoints(marked), (Points{'x'}));
}

template <typename Wide>
void ExpectWideTextMatches(const Wide* wide, const char16_t* expected) {
    if constexpr (sizeof(Wide) == sizeof(char16_t)) {
        EXPECT_EQ(ustring(wide), ustring(expected));
    }
}

TEST(UstringUtf16, AcceptsPlatformWideTextWhereItIsUtf16) {
    if (sizeof(wchar_t) != sizeof(char16_t)) GTEST_SKIP() << "wchar_t is not a UTF-16 unit here";
    ExpectWideTextMatches(L"C:\\Users\\\u00e9\U0001F600", u"C:\\Users\\\u00e9\U0001F600");
}

std::vector<uint8_t> Bytes(const char16_t* units, uint32_t byte_count) {
    const auto* p = reinterpret_cast<const uint8_t*>(units);
    return std::vector<uint8_t>(p, p + byte_count);
}

TEST(UstringToUtf16, EncodesOrderMarkAndSurrogates) {
    const ustring s = FromCodePoints({0x41, 0x1F600});
    uint32_t count = 99;

    char16_t* big = s.to_utf16(&count, ustring::UTF16_BE, true);
    EXPECT_EQ(count, 8u);
    EXPECT_EQ(Bytes(big, count), (std::vector<uint8_t>{0xFE, 0xFF, 0x00, 0x41, 0xD8, 0x3D, 0xDE, 0x00}));
    EXPECT_EQ(big[4], 0);
    delete[] big;

    char16_t* host = s.to_utf16(&count, ustring::UTF16, false);
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(std::vector<char16_t>(host, host + 4), (std::vector<char16_t>{0x41, 0xD83D, 0xDE00, 0}));
    delete[] host;

    char16_t* other = s.to_utf16(&count, 0, false);  // any other code is big-endian
    EXPECT_EQ(other[0], 0x4100);
    delete[] other;
}

TEST(UstringToUtf16, CarriesInvalidValuesByTheFormula) {
    const ustring s = FromCodePoints({0xD800, 0x110000, 0xFFFFFFFF});
    uint32_t count = 0;
    char16_t* units = s.to_utf16(&count, ustring::UTF16_LE, false);
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(std::vector<char16_t>(units, units + 6),
              (std::vector<char16_t>{0xD800, 0xDC00, 0xDC00, 0xD7BF, 0xDFFF, 0}));
    delete[] units;
}

TEST(UstringToUtf16, RoundTripsValidText) {
    const ustring original = FromCodePoints({'a', 0xE9, 0x20AC, 0xFFFD, 0x10000, 0x1F600, 0x10FFFF, 0xFEFF});
    for (int32_t encoding : {ustring::UTF16, ustring::UTF16_LE, ustring::UTF16_BE}) {
        for (bool mark : {false, true}) {
            uint32_t bytes = 0;
            char16_t* units = original.to_utf16(&bytes, encoding, mark);
            ustring decoded("");
            // Without a mark, the reader must be told a big-endian order.
            decoded.assign_utf16(units, bytes, mark ? 0 : encoding);
            delete[] units;
            EXPECT_EQ(decoded, original) << "encoding " << encoding << " mark " << mark;
        }
    }
}

TEST(UstringWideCache, FilledOnceAndReleasedByChanges) {
    ustring s("abc");
    const char16_t* first = s.wide_c_str();
    EXPECT_EQ(first, s.wide_c_str());
    EXPECT_EQ(std::u16string(first), u"abc");

    s.resize(2, false);
    EXPECT_EQ(std::u16string(s.wide_c_str()), u"ab");
    s.assign_utf8("xyz\xC3\xA9", 0);
    EXPECT_EQ(std::u16string(s.wide_c_str()), u"xyz\u00e9");
    s.assign_utf16(u"\U0001F600", 0, 0);
    EXPECT_EQ(std::u16string(s.wide_c_str()), u"\U0001F600");

    ustring copy(s);
    EXPECT_NE(copy.wide_c_str(), s.wide_c_str()) << "a copy never shares the source's cache";
}

TEST(UstringWideCache, OwnWideTextCanBeAssignedBack) {
    ustring s(u"C:\\Users\\\u00e9\U0001F600");
    const ustring original(s);
    s.assign_utf16(s.wide_c_str(), 0, 0);
    EXPECT_EQ(s, original);
    uint32_t bytes = 0;
    delete[] s.to_utf16(&bytes, ustring::UTF16, false);
    s.assign_utf16(s.wide_c_str(), bytes, ustring::UTF16_LE);
    EXPECT_EQ(s, original);
}

TEST(UstringStorage, ConstructorCapacities) {
    const ustring fill10(0x78, 10);
    EXPECT_EQ(fill10.capacity(), 26u);
    EXPECT_EQ(CodePoints(fill10), Points(10, 0x78));
    EXPECT_EQ(ustring(0x78, 0).capacity(), 16u);
    EXPECT_EQ(ustring("abcd").capacity(), 36u);
    EXPECT_EQ(ustring(u"abcd").capacity(), 36u);
}

TEST(UstringStorage, DecodersReuseABufferWithSixteenSlotsToSpare) {
    ustring s("");  // capacity 32
    s.assign_utf8("0123456789abcdef", 16);
    EXPECT_EQ(s.capacity(), 32u);
    s.assign_utf8("0123456789abcdefg", 17);
    EXPECT_EQ(s.capacity(), 49u);

    ustring w("");
    w.assign_utf16(u"0123456789abcdef", 0, 0);
    EXPECT_EQ(w.capacity(), 32u);
    w.assign_utf16(u"0123456789abcdefg", 0, 0);
    EXPECT_EQ(w.capacity(), 49u);
}

TEST(UstringStorage, DecodingZeroesSlotsLeftFromLongerText) {
    ustring s("abcdefgh");
    s.assign_utf8("xy", 0);
    s.resize(5, false);  // takes in spare slots without clearing them
    EXPECT_EQ(CodePoints(s), (Points{'x', 'y', 0, 0, 0}));
}

TEST(UstringStorage, ResizeRules) {
    ustring zeroed("abc");
    zeroed.resize(5, true);
    EXPECT_EQ(CodePoints(zeroed), Points(5, 0));

    ustring shorter("abc");
    shorter.resize(2, false);
    EXPECT_EQ(CodePoints(shorter), (Points{'a', 'b'}));
    shorter.resize(3, false);  // the cut slot was zeroed
    EXPECT_EQ(CodePoints(shorter), (Points{'a', 'b', 0}));

    ustring longer("abc");  // capacity 35
    longer.resize(36, false);
    EXPECT_EQ(longer.capacity(), 52u);
    EXPECT_EQ(longer.length(), 36u);
    EXPECT_EQ(CodePoints(longer), Points(36, 0)) << "new buffers start zeroed";
}

TEST(UstringStorage, CopyTakesCapacityAndSpareSlots) {
    ustring source("abcdef");
    source.resize(2, false);
    ustring reuse(source);
    EXPECT_EQ(reuse.capacity(), source.capacity());
    reuse.resize(4, false);
    EXPECT_EQ(CodePoints(reuse), (Points{'a', 'b', 0, 0}));
}

TEST(UstringStorage, UnrepresentableSizesRaiseBadAllocAndChangeNothing) {
    EXPECT_THROW(ustring(0x41, UINT32_MAX - 15), std::bad_alloc);

    ustring s("abc");
    const char16_t* cached = s.wide_c_str();
    EXPECT_THROW(s.resize(UINT32_MAX - 15, false), std::bad_alloc);
    const char small[] = "x";
    EXPECT_THROW(s.assign_utf8(small, UINT32_MAX - 31), std::bad_alloc);
    EXPECT_EQ(s, ustring("abc"));
    EXPECT_EQ(s.capacity(), 35u);
    EXPECT_EQ(s.wide_c_str(), cached);
}

}  // namespace
