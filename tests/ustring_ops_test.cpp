// Access, comparison, search, substrings and editing of ustring.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ustring_test_util.h"
#include "ustring/ustring.h"

namespace {

constexpr int32_t npos = ustring::npos;

TEST(UstringAccess, IndexesFromEitherEnd) {
    const ustring abc("abc");
    EXPECT_EQ(abc.at(0), 0x61u);
    EXPECT_EQ(abc.at(-1), 0x63u);
    EXPECT_EQ(abc.at(-3), 0x61u);
    for (int32_t bad : {3, -4, npos, INT32_MIN}) {
        EXPECT_THROW((void)abc.at(bad), ustring::Exception) << bad;
    }
    const ustring empty("");
    for (int32_t bad : {0, -1, 1}) EXPECT_THROW((void)empty.at(bad), ustring::Exception);
}

TEST(UstringAccess, RefAtReleasesTheCacheOnlyWhenValid) {
    ustring s("abc");
    const char16_t* cached = s.wide_c_str();
    EXPECT_THROW(s.ref_at(5), ustring::Exception);
    EXPECT_EQ(s.wide_c_str(), cached) << "a failed ref_at leaves the cache in place";

    s.ref_at(-1) = 'z';
    EXPECT_EQ(std::u16string(s.wide_c_str()), u"abz");
}

TEST(UstringCompare, EqualityIsExactCodePoints) {
    EXPECT_TRUE(ustring("abc") == ustring("abc"));
    EXPECT_TRUE(ustring("abc") != ustring("abC"));
    EXPECT_TRUE(ustring("") == ustring(""));
    EXPECT_TRUE(ustring("ab") != ustring("abc"));
    EXPECT_TRUE(ustring("\xC3\xA9") != ustring("e\xCC\x81")) << "no normalisation";
}

TEST(UstringCompare, IsAlphaUsesTheLetterTable) {
    struct Case {
        std::vector<uint32_t> text;
        bool letters;
    };
    const std::vector<Case> cases = {
        {{}, true},         {{'C'}, true},      {{0xE9}, true},     {{0x1C5}, true},
        {{0xAA, 0xB5, 0xBA}, true},             {{0x24F}, true},    {{'a', 'Z'}, true},
        {{'1'}, false},     {{'C', ':'}, false}, {{0xD7}, false},   {{0xF7}, false},
        {{0x250}, false},   {{0x2D3}, false},   {{0x3A9}, false},   {{0x2D4}, false},
        {{0x10041}, false}, {{'a', 0x40}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FromCodePoints(c.text).is_alpha(), c.letters) << ::testing::PrintToString(FromCodePoints(c.text));
    }
    uint32_t letters = 0;
    for (uint32_t c = 0; c < 0x400; ++c) letters += ustring(c, 1).is_alpha();
    EXPECT_EQ(letters, 453u);
}

uint32_t FoldAscii(uint32_t c) { return c >= 'A' && c <= 'Z' ? c + 0x20 : c; }

TEST(UstringSearch, FindFollowsStartAndBounds) {
    struct Case {
        const char* text;
        const char* needle;
        int32_t start;
        int32_t expected;
    };
    const std::vector<Case> cases = {
        {"abcabc", "c", 3, 5},    {"abcabc", "bc", -2, 4},  {"abcabc", "abc", -7, npos},
        {"abcabc", "abc", 0, 0},  {"abcabc", "abc", 1, 3},  {"abcabc", "cab", 0, 2},
        {"abc", "", 2, 2},        {"abc", "", 3, npos},     {"abc", "abcd", 0, npos},
        {"", "", 0, npos},        {"", "a", 0, npos},       {"abc", "c", npos, npos},
        {"abc", "bd", 0, npos},   {"aab", "ab", 0, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ustring(c.text).find(ustring(c.needle), c.start, ustring::identity_map), c.expected)
            << c.text << " / " << c.needle << " from " << c.start;
    }
}

TEST(UstringSearch, MapDecidesEquality) {
    const ustring text("C:\\Data\\File");
    EXPECT_EQ(text.find(ustring("data"), 0, ustring::identity_map), npos);
    EXPECT_EQ(text.find(ustring("dATa"), 0, FoldAscii), 3);
}

TEST(UstringSearch, StartsWith) {
    EXPECT_TRUE(ustring("abc").starts_with(ustring("ab")));
    EXPECT_TRUE(ustring("abc").starts_with(ustring("")));
    EXPECT_FALSE(ustring("").starts_with(ustring("")));
    EXPECT_FALSE(ustring("ab").starts_with(ustring("abc")));
    EXPECT_FALSE(ustring("abc").starts_with(ustring("b")));
}

TEST(UstringSubstring, MidLeftAndSliceClipTheirBounds) {
    const ustring s("abcdef");
    struct Case {
        ustring result;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {s.mid(2, 3), "cde"},      {s.mid(4, npos), "ef"},     {s.mid(4, 100), "ef"},
        {s.mid(-2, 1), "e"},       {s.mid(6, 1), ""},          {s.mid(-7, 1), ""},
        {s.mid(1, 0), ""},         {s.mid(5, UINT32_MAX), "f"},
        {ustring("abc").left(2), "ab"}, {ustring("abc").left(5), "abc"}, {ustring("abc").left(0), ""},
        {s.slice(1, 3), "bc"},     {s.slice(3, 1), "bc"},      {s.slice(-2, npos), "ef"},
        {s.slice(0, -1), "abcde"}, {s.slice(-10, 2), "ab"},    {s.slice(4, 4), ""},
        {s.slice(INT32_MIN, npos), "abcdef"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(cases[i].result, ustring(cases[i].expected)) << "case " << i;
    }
}

TEST(UstringSubstring, ResultCapacities) {
    const ustring long_text(0x78, 50);
    EXPECT_EQ(long_text.mid(0, 20).capacity(), 32u);
    EXPECT_EQ(long_text.mid(0, 32).capacity(), 32u);
    EXPECT_EQ(long_text.mid(0, 40).capacity(), 56u);
    EXPECT_EQ(long_text.mid(60, 1).capacity(), 32u);
    EXPECT_EQ(long_text.slice(10, 50).capacity(), 56u);
}

TEST(UstringAppend, AppendsAndGrowsByTheRule) {
    ustring ab("ab");
    ab.append(ustring("cd"));
    EXPECT_EQ(ab, ustring("abcd"));

    ustring fill(0x78, 10);  // capacity 26
    fill.append(ustring(0x79, 15));
    EXPECT_EQ(fill.capacity(), 26u);
    ustring fill2(0x78, 10);
    fill2 += ustring(0x79, 16);
    EXPECT_EQ(fill2.capacity(), 10u + 2u + 32u + 32u);  // L + L/4 + 2k + 32 = 76
    EXPECT_EQ(fill2.length(), 26u);
    EXPECT_EQ(fill2.at(9), 0x78u);
    EXPECT_EQ(fill2.at(10), 0x79u);
}

TEST(UstringAppend, AppendingItselfDoubles) {
    ustring s("abc");
    s.append(s);
    EXPECT_EQ(s, ustring("abcabc"));
    ustring big(0x61, 20);  // capacity 36: doubling must grow
    big.append(big);
    EXPECT_EQ(big, ustring(0x61, 40));
}

TEST(UstringAppend, EmptyAppendLeavesCacheWhileRealAppendReleasesIt) {
    ustring s("ab");
    const char16_t* cached = s.wide_c_str();
    s.append(ustring(""));
    EXPECT_EQ(s.wide_c_str(), cached);
    s.push_back('c');
    EXPECT_EQ(std::u16string(s.wide_c_str()), u"abc");
}

TEST(UstringAssign, SelfAssignmentChangesNothing) {
    ustring s("abc");
    const char16_t* cached = s.wide_c_str();
    const uint32_t capacity = s.capacity();
    s.assign(s);
    ustring& alias = s;
    s = alias;
    EXPECT_EQ(s, ustring("abc"));
    EXPECT_EQ(s.capacity(), capacity);
    EXPECT_EQ(s.wide_c_str(), cached);
}

TEST(UstringAssign, ReusesOrGrowsByTheRule) {
    ustring target("abc");  // capacity 35
    target.assign(ustring("xyz"));
    EXPECT_EQ(target, ustring("xyz"));
    EXPECT_EQ(target.capacity(), 35u);
    target.assign(ustring(0x41, 30));
    EXPECT_EQ(target.capacity(), 62u);
    EXPECT_EQ(target, ustring(0x41, 30));

    std::vector<ustring> list = {ustring("one"), ustring("two")};
    list.push_back(ustring("three"));  // elements copied on growth
    EXPECT_EQ(list[0], ustring("one"));
}

TEST(UstringAssign, ShorterTextLeavesNoStaleSlotsBeyondItsHeadroom) {
    ustring target(0x41, 40);  // capacity 56
    target.assign(ustring("xy"));
    target.resize(target.capacity(), false);
    // Slot 2 is the written terminator, slots 18 and on were zeroed.
    EXPECT_EQ(target.at(2), 0u);
    for (uint32_t i = 18; i < target.length(); ++i) EXPECT_EQ(target.at(int32_t(i)), 0u) << i;
}

TEST(UstringTruncate, KeepsAPrefixAndAlwaysReleasesTheCache) {
    ustring s("abc");
    s.truncate(2);
    EXPECT_EQ(s, ustring("ab"));
    s.truncate(0);
    EXPECT_EQ(s, ustring(""));

    ustring whole("abc");
    const uint32_t capacity = whole.capacity();
    uint32_t& first = whole.ref_at(0);
    EXPECT_EQ(std::u16string(whole.wide_c_str()), u"abc");
    first = 'X';  // the cache still holds the old text
    whole.truncate(5);
    EXPECT_EQ(whole, ustring("Xbc"));
    EXPECT_EQ(whole.capacity(), capacity);
    EXPECT_EQ(std::u16string(whole.wide_c_str()), u"Xbc");
}

}  // namespace
