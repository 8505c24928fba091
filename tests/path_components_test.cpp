// Splitting, dot resolution, normalisation and combination of paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pathutils/KoPathUtils.h"
#include "tests/path_test_util.h"
#include "ustring/ustring.h"

namespace {

using KoPathUtils::PathComponent;
using KoPathUtils::PathStyle;

struct Piece {
    const char* text;
    bool followed;
};

struct SplitRow {
    PathStyle style;
    const char* path;
    std::vector<Piece> expected;
};

std::string Describe(const std::vector<PathComponent>& components) {
    std::string out;
    for (const PathComponent& c : components) {
        out += "'" + Utf8(c.text) + "'" + (c.followed_by_separator ? " F, " : " N, ");
    }
    return out;
}

std::string Describe(const std::vector<Piece>& pieces) {
    std::string out;
    for (const Piece& p : pieces) {
        out += std::string("'") + p.text + "'" + (p.followed ? " F, " : " N, ");
    }
    return out;
}

TEST(PathComponents, Split) {
    const std::vector<SplitRow> rows = {
        {2, "", {}},
        {2, "a", {{"a", false}}},
        {2, R"(a\b)", {{"a", true}, {"b", false}}},
        {2, R"(\a)", {{"", true}, {"a", false}}},
        {2, R"(a\)", {{"a", true}}},
        {2, R"(a\\b)", {{"a", true}, {"", true}, {"b", false}}},
        {2, R"(\\srv\sh)", {{"", true}, {"", true}, {"srv", true}, {"sh", false}}},
        {2, "C:", {{"C:", false}}},
        {2, R"(C:\)", {{"C:", true}}},
        {2, R"(C:\a)", {{"C:", true}, {"a", false}}},
        {2, R"(C:\\a)", {{"C:", true}, {"", true}, {"a", false}}},
        {2, R"(C:a\b)", {{"C:", false}, {"a", true}, {"b", false}}},
        {2, "C:/a", {{"C:", false}, {"/a", false}}},
        {2, R"(ab:\c)", {{"ab:", true}, {"c", false}}},
        {2, "1:x", {{"1:", false}, {"x", false}}},  // any character before the colon
        {2, R"(\:x)", {{":", true}, {"", false}, {"x", false}}},
        {2, R"(\:\x)", {{":", true}, {"", true}, {"x", false}}},
        {2, R"(\:)", {{":", true}, {"", false}}},
        {2, "a/b", {{"a/b", false}}},
        {2, "é\\x", {{"é", true}, {"x", false}}},
        {3, R"(C:\a)", {{"C:", true}, {"a", false}}},
        {0, "/a/b", {{"", true}, {"a", true}, {"b", false}}},
        {0, "C:/a", {{"C:", true}, {"a", false}}},
        {0, R"(a\b)", {{"a\\b", false}}},
        {0, "/:x", {{"", true}, {":x", false}}},  // no drive colon in slash syntax
        {1, "a//", {{"a", true}, {"", true}}},
    };
    for (const SplitRow& row : rows) {
        SCOPED_TRACE(Where(row.style, row.path));
        const std::vector<PathComponent> got = KoPathUtils::Split(row.style, ustring(row.path));
        ASSERT_EQ(got.size(), row.expected.size())
            << Describe(got) << " expected " << Describe(row.expected);
        for (size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(got[i].text, ustring(row.expected[i].text));
            EXPECT_EQ(got[i].followed_by_separator, row.expected[i].followed);
        }
    }
}

struct TextRow {
    PathStyle style;
    const char* path;
    const char* expected;
};

TEST(PathComponents, ResolveDots) {
    const std::vector<TextRow> rows = {
        {2, R"(a\.\b)", R"(a\b)"},
        {2, R"(a\..\b)", "b"},
        {2, R"(..\a)", R"(..\a)"},
        {2, R"(a\..\..\b)", R"(..\b)"},
        {2, R"(a\..\..\..\b)", R"(..\..\b)"},
        {2, "..", R"(..\)"},
        {2, R"(a\b\..)", R"(a\)"},
        {2, R"(\..\a)", R"(\a)"},
        {2, R"(\a\..\..)", "\\"},
        {2, R"(C:\..\a)", R"(C:\a)"},
        {2, R"(C:..\a)", R"(C:..\a)"},
        {2, R"(C:a\..\..)", R"(C:..\)"},
        {2, R"(\\srv\sh\..\x)", R"(\\srv\x)"},
        {2, R"(\\srv\..)", R"(\\)"},
        {2, R"(\\srv\..\..)", "\\"},
        {2, R"(x\..\C:\a)", R"(C:\a)"},
        {2, R"(.\.\.)", ""},
        {2, R"(...\.a\a.)", R"(...\.a\a.)"},
        {2, R"(a\..\..)", R"(..\)"},  // a kept ".." always ends with a separator
        {3, R"(a\..\b)", "b"},
        {0, "a/../b", "b"},
        {0, "/../a", "/a"},
        {0, "C:/../a", "a"},  // no drive roots in slash syntax
        {0, R"(a\..\b)", R"(a\..\b)"},  // backslash is ordinary in slash syntax
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(Where(row.style, row.path));
        EXPECT_EQ(KoPathUtils::ResolveDots(row.style, ustring(row.path)), ustring(row.expected));
    }
}

struct NormalizeRow {
    PathStyle style;
    bool fold;
    const char* path;
    const char* expected;
};

TEST(PathComponents, Normalize) {
    const std::vector<NormalizeRow> rows = {
        {2, false, "", ""},
        {2, false, ".", ""},
        {2, false, "..", R"(..\)"},
        {2, false, R"(.\..)", R"(..\)"},
        {2, false, "a/./b/../c", R"(a\c)"},
        {2, false, R"(a\..)", ""},
        {2, false, "/a/b/..", R"(\a\)"},
        {2, false, R"(\..)", "\\"},
        {2, false, R"(C:\..)", R"(C:\)"},
        {2, false, R"(C:\a\..\..\b)", R"(C:\b)"},
        {2, false, "C:/x/./y/", R"(C:\x\y\)"},
        {2, false, "C:", "C:"},
        {2, false, "C:..", R"(C:..\)"},
        {2, false, R"(C:a\..)", "C:"},
        {2, false, R"(C:a\..\..\b)", R"(C:..\b)"},
        {2, false, "//a", R"(\a)"},
        {2, false, R"(\\srv\sh\..\x)", R"(\\srv\x)"},
        {2, false, R"(\\srv\..\..\x)", R"(\x)"},
        {2, false, R"(\\?\C:\a\..\b)", R"(C:\b)"},
        {2, false, R"(\:x)", R"(:\x)"},
        {2, false, R"(\:\a)", R"(:\\a)"},
        {3, false, "a/./b/../c", R"(a\c)"},
        {0, false, "/a/./b/../c", "/a/c"},
        {0, false, R"(a\b)", "a/b"},
        {0, false, "/..", "/"},
        {0, false, "..", "../"},
        {1, false, R"(\\srv\sh\..)", "/srv/"},
        {2, true, R"(C:\ABC\..\Def)", R"(c:\def)"},
        {2, true, "ÉA/B", R"(Éa\b)"},
        {0, true, "A/B", "a/b"},
        {3, true, "A/B", R"(a\b)"},
        {1, true, "A/B", "A/B"},
    };
    for (const NormalizeRow& row : rows) {
        SCOPED_TRACE(Where(row.style, row.path) + (row.fold ? ", fold" : ""));
        EXPECT_EQ(KoPathUtils::Normalize(ustring(row.path), row.style, row.fold),
                  ustring(row.expected));
    }
}

// The long-path UNC form normalises to the UNC path it names.
TEST(PathComponents, NormalizeKeepsLongFormUncPathsUnc) {
    EXPECT_EQ(KoPathUtils::Normalize(ustring(R"(\\?\UNC\srv\sh)"), 2, false),
              ustring(R"(\\srv\sh)"));
    EXPECT_EQ(KoPathUtils::Normalize(ustring(R"(\\?\unc\srv\sh\.\d\..\f)"), 2, false),
              ustring(R"(\\srv\sh\f)"));
    EXPECT_EQ(KoPathUtils::Normalize(ustring(R"(\\?\UNC\Srv\Sh)"), 2, true),
              ustring(R"(\\srv\sh)"));
}

// Paths with more names than fit the short-path storage.
TEST(PathComponents, LongPaths) {
    std::string path;
    std::string half;
    for (int i = 0; i < 100; ++i) {
        const std::string name = "d" + std::to_string(i);
        path += name + "\\";
        if (i < 50) half += name + "\\";
    }
    const std::string up = path + "x\\..";
    std::string up50 = path;
    for (int i = 0; i < 50; ++i) up50 += "..\\";

    EXPECT_EQ(KoPathUtils::Split(2, ustring(path.c_str())).size(), 100u);
    EXPECT_EQ(Join(KoPathUtils::Split(2, ustring(up50.c_str())), 2), ustring(up50.c_str()));
    EXPECT_EQ(KoPathUtils::Normalize(ustring(up.c_str()), 2, false), ustring(path.c_str()));
    EXPECT_EQ(KoPathUtils::Normalize(ustring(up50.c_str()), 2, false), ustring(half.c_str()));
    EXPECT_EQ(KoPathUtils::ResolveDots(2, ustring(up50.c_str())), ustring(half.c_str()));

    std::string dots;  // 60 ".." names stay, then one name
    for (int i = 0; i < 60; ++i) dots += "../";
    EXPECT_EQ(KoPathUtils::Normalize(ustring((dots + "a").c_str()), 0, false),
              ustring((dots + "a").c_str()));
    EXPECT_EQ(KoPathUtils::Combine(ustring(dots.c_str()), ustring("b/.."), 0),
              ustring(dots.c_str()));
}

struct CombineRow {
    PathStyle style;
    const char* base;
    const char* relative;
    const char* expected;
};

TEST(PathComponents, Combine) {
    const std::vector<CombineRow> rows = {
        {2, R"(C:\Users\u\AppData\Local)", "com.quillmoor.tarn",
         R"(C:\Users\u\AppData\Local\com.quillmoor.tarn)"},
        {2, R"(C:\Users\u\AppData\Local\com.quillmoor.tarn)", "params.dat",
         R"(C:\Users\u\AppData\Local\com.quillmoor.tarn\params.dat)"},
        {2, R"(C:\base)", R"(x\y)", R"(C:\base\x\y)"},
        {2, R"(C:\base\)", "x", R"(C:\base\x)"},
        {2, "C:\\", "x", R"(C:\x)"},
        {2, "C:", "x", "C:x"},
        {2, "", "x", "x"},
        {2, "a", "b", R"(a\b)"},
        {2, "\\", "x", R"(\x)"},
        {2, R"(C:\a\..\b)", "", R"(C:\b)"},
        {2, "", "", ""},
        {2, R"(\:\a)", "", R"(:\a)"},  // the base is normalised twice
        {2, R"(C:\base)", "C:x", R"(C:\base\x)"},
        {2, R"(c:\a)", "C:b", R"(c:\a\b)"},
        {2, "C:x", "C:y", R"(C:x\y)"},
        {2, "C:", "C:x", "C:x"},
        {2, R"(C:\base)", R"(C:..\x)", R"(C:\x)"},
        {2, R"(C:\base)", R"(..\x)", R"(C:\x)"},
        {2, R"(C:\base)", R"(..\..\..\x)", R"(C:\x)"},
        {2, R"(C:\a\)", "..", "C:\\"},
        {2, "C:", R"(..\x)", R"(C:..\x)"},
        {2, R"(\\srv\sh)", R"(..\..\x)", R"(\\x)"},
        {2, R"(C:\base)", ".", R"(C:\base\)"},
        {2, R"(C:\a)", "b/c/", R"(C:\a\b\c\)"},
        {2, R"(C:\b)", "1:x", R"(C:\b\1:x)"},
        {2, R"(C:\b)", "é:x", R"(C:\b\é:x)"},
        {2, R"(C:\a)", ":x", R"(C:\a\:x)"},
        {2, R"(\\?\C:\base)", "x", R"(C:\base\x)"},
        {2, "..", "..", R"(..\..\)"},
        {3, R"(C:\base)", "x/y", R"(C:\base\x\y)"},
        {0, "/base", "x", "/base/x"},
        {0, "base", "C:x", "base/C:x"},
        {0, "C:", "x", "C:/x"},
        {0, "a/b", "../../..", "../"},
        {0, "/", "../x", "/x"},
        {0, "", "", ""},
        {1, "/Base", "X", "/Base/X"},
        {1, "base", "\\x", "base/x"},  // a leading backslash is not a root in slash syntax
    };
    for (const CombineRow& row : rows) {
        SCOPED_TRACE(Where(row.style, row.base) + " + '" + row.relative + "'");
        EXPECT_EQ(KoPathUtils::Combine(ustring(row.base), ustring(row.relative), row.style),
                  ustring(row.expected));
    }
}

// A base in long-path form has the drive after its prefix, so a drive-relative
// path on that drive joins it, and one on another drive does not.
TEST(PathComponents, CombineLongFormBaseWithDriveRelativePath) {
    EXPECT_EQ(KoPathUtils::Combine(ustring(R"(\\?\C:\base)"), ustring("C:x"), 2),
              ustring(R"(C:\base\x)"));
    EXPECT_EQ(KoPathUtils::Combine(ustring(R"(\\?\c:\base)"), ustring(R"(C:x\..\y)"), 2),
              ustring(R"(c:\base\y)"));
    EXPECT_THROW(KoPathUtils::Combine(ustring(R"(\\?\D:\base)"), ustring("C:x"), 2),
                 KoPathUtils::Exception);
}

TEST(PathComponents, CombineLongFormUncBase) {
    EXPECT_EQ(KoPathUtils::Combine(ustring(R"(\\?\UNC\s\h)"), ustring("x"), 2),
              ustring(R"(\\s\h\x)"));
    EXPECT_EQ(KoPathUtils::Combine(ustring(R"(\\?\UNC\s\h)"), ustring(R"(..\y)"), 2),
              ustring(R"(\\s\y)"));
    EXPECT_EQ(KoPathUtils::Combine(ustring(R"(\\?\UNC\s\h)"), ustring(""), 2),
              ustring(R"(\\s\h)"));
}

struct CombineErrorRow {
    PathStyle style;
    const char* base;
    const char* relative;
    const char* detail;
};

constexpr const char* kAbsolute = "Cannot combine 'Path' + 'Absolute Path'";
constexpr const char* kDrives = "Cannot combine paths on different drives";

TEST(PathComponents, CombineErrors) {
    const std::vector<CombineErrorRow> rows = {
        {2, R"(C:\base)", "D:x", kDrives},
        {2, R"(C:\base)", "d:x", kDrives},
        {2, "base", "C:x", kDrives},
        {2, "", "C:x", kDrives},
        {2, R"(\\srv\sh)", "C:x", kDrives},
        {2, R"(\\?\UNC\srv\sh)", "C:x", kDrives},
        {3, R"(C:\base)", "D:x", kDrives},
        {2, R"(C:\base)", R"(\x)", kAbsolute},
        {2, R"(C:\base)", "/x", kAbsolute},
        {2, R"(C:\base)", R"(C:\x)", kAbsolute},
        {2, R"(C:\base)", R"(D:\x)", kAbsolute},
        {2, R"(C:\base)", "D:/x", kAbsolute},
        {2, R"(C:\base)", "C:", kAbsolute},
        {2, "", "D:", kAbsolute},
        {2, R"(C:\base)", R"(\\srv\x)", kAbsolute},
        {2, "x", R"(\\?\C:\y)", kAbsolute},
        {2, R"(C:\b)", "é:\\x", kAbsolute},
        {0, "/base", "/x", kAbsolute},
        {1, "", "/", kAbsolute},
    };
    for (const CombineErrorRow& row : rows) {
        SCOPED_TRACE(Where(row.style, row.base) + " + '" + row.relative + "'");
        try {
            KoPathUtils::Combine(ustring(row.base), ustring(row.relative), row.style);
            ADD_FAILURE() << "no error raised";
        } catch (const KoPathUtils::Exception& e) {
            EXPECT_STREQ(e.what(), row.detail);
            EXPECT_STREQ(e.Module(), "KoPathUtils");
            EXPECT_STREQ(e.Message(), "");
            EXPECT_EQ(e.Code(), 0);
        }
    }
}

// Caught as the common error base, the error still answers for its library.
TEST(PathComponents, CombineErrorThroughBaseClass) {
    try {
        KoPathUtils::Combine(ustring(R"(C:\base)"), ustring("D:x"), 2);
        FAIL() << "no error raised";
    } catch (const KoException& e) {
        EXPECT_STREQ(e.what(), kDrives);
        EXPECT_STREQ(e.Module(), "KoPathUtils");
    }
}

}  // namespace
