// Path syntax queries and the character-level rewrites.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "pathutils/KoPathUtils.h"
#include "tests/path_test_util.h"
#include "ustring/ustring.h"

namespace {

using KoPathUtils::PathStyle;

struct BoolRow {
    PathStyle style;
    const char* path;
    bool expected;
};

struct TextRow {
    PathStyle style;
    const char* path;
    const char* expected;
};

TEST(PathSyntax, HasDriveLetter) {
    const std::vector<BoolRow> rows = {
        {2, "C:", true},
        {2, "C:foo", true},
        {2, "c:\\x", true},
        {2, "1:", false},
        {2, "CC:", false},
        {2, "C", false},
        {2, "", false},
        {2, ":", false},
        {2, R"(\\?\C:)", true},
        {2, R"(\\?\d:\x)", true},
        {2, R"(\\?\C)", false},
        {2, R"(\\?\1:\x)", false},
        {2, R"(//?/C:)", false},  // the long-path prefix is backslashes only
        {2, "é:", false},         // only ASCII letters name drives
        {0, "C:\\x", false},
        {1, "C:\\x", false},
        {1, R"(\\?\C:)", false},
        {3, "C:\\x", true},
        {3, R"(\\?\C:)", true},
    };
    for (const BoolRow& row : rows) {
        SCOPED_TRACE(Where(row.style, row.path));
        EXPECT_EQ(KoPathUtils::HasDriveLetter(row.style, ustring(row.path)), row.expected);
    }
}

// The drive letter test passes exactly the 52 ASCII letters, also for code
// points far outside Latin-1 whose low bits look like a letter.
TEST(PathSyntax, DriveLetterTestTakesOnlyAsciiLetters) {
    const PathStyle windows = 2;
    int passed = 0;
    for (uint32_t c = 0; c < 0x300; ++c) {
        if (KoPathUtils::HasDriveLetter(windows, FromCodePoints({c, 0x3A}))) ++passed;
    }
    EXPECT_EQ(passed, 52);
    for (uint32_t c : {0x141u, 0x10041u, 0x10061u, 0x80000043u, 0xFFFFFF41u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(c);
        EXPECT_FALSE(KoPathUtils::HasDriveLetter(windows, FromCodePoints({c, 0x3A})));
        EXPECT_TRUE(KoPathUtils::GetDrive(windows, FromCodePoints({c, 0x3A})).empty());
    }
}

TEST(PathSyntax, IsAbsolute) {
    const std::vector<BoolRow> rows = {
        {2, "C:", true},
        {2, "C:foo", false},
        {2, "C:\\x", true},
        {2, "C:/x", true},
        {2, "1:\\x", false},
        {2, "é:\\x", true},   // a letter by the string's letter class
        {2, "é:", true},
        {2, "×:\\x", false},  // U+00D7 is a sign
        {2, ":\\x", false},
        {2, "\\x", true},
        {2, "/x", true},
        {2, "\\\\server", true},
        {2, R"(\\?\C:\x)", true},
        {2, "", false},
        {2, "x", false},
        {2, "a\\b", false},
        {3, "\\x", true},
        {3, "C:", true},
        {0, "\\x", false},
        {0, "/x", true},
        {0, "C:\\x", false},
        {0, "C:", false},
        {1, "/x", true},
        {1, "", false},
    };
    for (const BoolRow& row : rows) {
        SCOPED_TRACE(Where(row.style, row.path));
        EXPECT_EQ(KoPathUtils::IsAbsolute(row.style, ustring(row.path)), row.expected);
    }
}

TEST(PathSyntax, GetDrive) {
    const std::vector<TextRow> rows = {
        {2, "Z:foo", "z"},
        {2, "C:\\x", "c"},
        {2, "c:", "c"},
        {2, "x", ""},
        {2, "", ""},
        {2, "é:\\x", ""},
        {3, "C:\\x", "c"},
        {0, "C:\\x", ""},
        {1, "C:\\x", ""},
        // The letter after the long-path prefix, not the prefix's backslash.
        {2, R"(\\?\D:\x)", "d"},
        {2, R"(\\?\d:)", "d"},
        {0, R"(\\?\D:\x)", ""},
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(Where(row.style, row.path));
        EXPECT_EQ(KoPathUtils::GetDrive(row.style, ustring(row.path)), ustring(row.expected));
    }
}

TEST(PathSyntax, NormalizeSeparators) {
    const std::vector<TextRow> rows = {
        {2, "", ""},
        {2, "a/b\\c", R"(a\b\c)"},
        {2, R"(a//b\\c)", R"(a\b\c)"},
        {2, R"(\\server\share)", R"(\\server\share)"},
        {2, "//server/share", R"(\server\share)"},
        {2, R"(\/server)", R"(\server)"},
        {2, R"(/\server)", R"(\server)"},
        {2, R"(\\\server)", R"(\\server)"},
        {2, R"(a\\\b)", R"(a\b)"},
        {2, R"(\\?\C:\a\b)", R"(C:\a\b)"},
        {2, R"(\\?\C:/a//b)", R"(C:\a\b)"},
        {2, R"(\\?\)", ""},
        {2, R"(\\?\\/x)", R"(\\x)"},  // two separators right after the prefix
        {2, R"(\\?\\x)", R"(\x)"},
        {2, R"(\\?)", R"(\\?)"},
        {2, ".", ".\\"},
        {2, "..", "..\\"},
        {2, "a/.", R"(a\.\)"},
        {2, "/..", R"(\..\)"},
        {2, "a/..", R"(a\..\)"},
        {2, "a.", "a."},
        {2, "a..", "a.."},
        {2, "x/...", R"(x\...)"},
        {2, ".a", ".a"},
        {2, "C:..", "C:.."},
        {2, R"(a\b\)", R"(a\b\)"},
        {2, R"(a\b\\)", R"(a\b\)"},
        {3, "a/b//c", R"(a\b\c)"},
        {0, R"(a\b//c)", "a/b/c"},
        {0, R"(\\server\share)", "/server/share"},
        {0, "//server", "/server"},
        {0, R"(\\?\C:\a)", "/?/C:/a"},
        {0, "..", "../"},
        {0, R"(a\.)", "a/./"},
        {1, R"(a\b)", "a/b"},
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(Where(row.style, row.path));
        EXPECT_EQ(KoPathUtils::NormalizeSeparators(row.style, ustring(row.path)),
                  ustring(row.expected));
    }
}

// The long-path UNC form '\\?\UNC\server\share' stays a UNC path; without the
// leading pair it would name a relative 'UNC\server\share'.
TEST(PathSyntax, NormalizeSeparatorsKeepsLongFormUncPathsUnc) {
    const std::vector<TextRow> rows = {
        {2, R"(\\?\UNC\srv\sh)", R"(\\srv\sh)"},
        {2, R"(\\?\unc\srv\sh)", R"(\\srv\sh)"},
        {2, R"(\\?\UnC\srv/sh/)", R"(\\srv\sh\)"},
        {3, R"(\\?\UNC\srv\sh)", R"(\\srv\sh)"},
        {2, R"(\\?\UNC\\\srv)", R"(\\srv)"},  // later runs still collapse
        {2, R"(\\?\UNC\)", R"(\\)"},
        {2, R"(\\?\UNC\..)", R"(\\..\)"},
        // Not the UNC form: only the four prefix characters go.
        {2, R"(\\?\UNC/srv)", R"(UNC\srv)"},
        {2, R"(\\?\UNC)", "UNC"},
        {2, R"(\\?\UNCX\srv)", R"(UNCX\srv)"},
        {2, R"(\\?\UN\srv)", R"(UN\srv)"},
        // Slash syntax knows no long-path prefix.
        {0, R"(\\?\UNC\srv\sh)", "/?/UNC/srv/sh"},
        {1, R"(\\?\UNC\srv\sh)", "/?/UNC/srv/sh"},
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(Where(row.style, row.path));
        EXPECT_EQ(KoPathUtils::NormalizeSeparators(row.style, ustring(row.path)),
                  ustring(row.expected));
    }
}

TEST(PathSyntax, FoldCase) {
    const ustring mixed("AbC:\\Éx@[`{Z");
    EXPECT_EQ(KoPathUtils::FoldCase(0, mixed), ustring("abc:\\Éx@[`{z"));
    EXPECT_EQ(KoPathUtils::FoldCase(2, mixed), ustring("abc:\\Éx@[`{z"));
    EXPECT_EQ(KoPathUtils::FoldCase(3, mixed), ustring("abc:\\Éx@[`{z"));
    EXPECT_EQ(KoPathUtils::FoldCase(-1, mixed), ustring("abc:\\Éx@[`{z"));
    EXPECT_EQ(KoPathUtils::FoldCase(1, mixed), mixed);
    EXPECT_EQ(KoPathUtils::FoldCase(2, ustring("")), ustring(""));
    // Only A to Z move, also when a larger code point ends in their bits.
    EXPECT_EQ(CodePoints(KoPathUtils::FoldCase(2, FromCodePoints({0x10041, 0x141, 0x41}))),
              (std::vector<uint32_t>{0x10041, 0x141, 0x61}));
}

TEST(PathSyntax, StripTrailingSeparators) {
    const std::vector<TextRow> rows = {
        {0, R"(a\b\/)", R"(a\b)"},
        {0, "C:\\", "C:"},
        {0, "\\", ""},
        {0, "/", ""},
        {0, "", ""},
        {0, R"(\\)", ""},
        {0, "a", "a"},
        {0, R"(\a)", R"(\a)"},
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.path);
        ustring path(row.path);
        KoPathUtils::StripTrailingSeparators(path);
        EXPECT_EQ(path, ustring(row.expected));
    }
}

}  // namespace
