// Properties over generated paths: splitting loses nothing, combination
// raises only its own two errors, and dot resolution matches a plain
// list-based model of the rule.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "pathutils/KoPathUtils.h"
#include "tests/path_test_util.h"
#include "ustring/ustring.h"

namespace {

using KoPathUtils::PathComponent;
using KoPathUtils::PathStyle;

constexpr PathStyle kStyles[] = {0, 1, 2, 3};
constexpr uint32_t kBackslash = 0x5C;
constexpr uint32_t kSlash = 0x2F;
constexpr uint32_t kColon = 0x3A;

// Short paths over both separators, dots, colons, '?', letters and U+00E9,
// some behind a long-path or long UNC prefix. Fixed seed: the same paths on
// every run and platform (only the engine's raw output is used).
std::vector<ustring> GeneratePaths(size_t count) {
    static const uint32_t kAlphabet[] = {kBackslash, kSlash, 0x2E, 0x2E, kColon, 0x3F,
                                         0x61,       0x42,   0x63, 0xE9};
    std::mt19937 engine(0x7A4E5u);
    std::vector<ustring> paths;
    paths.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        std::vector<uint32_t> points;
        const uint32_t prefix = engine() % 16;
        if (prefix == 0) points = {kBackslash, kBackslash, 0x3F, kBackslash};
        if (prefix == 1) points = {kBackslash, kBackslash, 0x3F, kBackslash, 0x55, 0x4E, 0x43, kBackslash};
        const uint32_t length = engine() % 13;
        for (uint32_t j = 0; j < length; ++j) {
            points.push_back(kAlphabet[engine() % (sizeof kAlphabet / sizeof kAlphabet[0])]);
        }
        paths.push_back(FromCodePoints(points));
    }
    return paths;
}

const std::vector<ustring>& Paths() {
    static const std::vector<ustring> paths = GeneratePaths(4000);
    return paths;
}

// Dot resolution written plainly over the public component list.
ustring ResolveDotsModel(PathStyle style, const ustring& path) {
    const bool windows = (style & 2) != 0;
    const ustring dot("."), dot_dot("..");
    std::vector<PathComponent> kept;
    for (const PathComponent& c : KoPathUtils::Split(style, path)) {
        if (c.text == dot) continue;
        if (c.text != dot_dot) {
            kept.push_back(c);
            continue;
        }
        const bool drive_first =
            windows && kept.size() == 1 && KoPathUtils::HasDriveLetter(style, kept[0].text);
        if (kept.empty() || kept.back().text == dot_dot ||
            (drive_first && !kept[0].followed_by_separator)) {
            kept.push_back(PathComponent(dot_dot, true));
        } else if ((kept.size() == 1 && kept[0].text.empty()) ||
                   (drive_first && kept[0].followed_by_separator)) {
            // the root absorbs it
        } else {
            kept.pop_back();
        }
    }
    return Join(kept, style);
}

TEST(PathProperties, JoiningSplitGivesThePathBack) {
    for (PathStyle style : kStyles) {
        const uint32_t sep = (style & 2) ? kBackslash : kSlash;
        for (const ustring& path : Paths()) {
            SCOPED_TRACE(Where(style, Utf8(path)));
            const ustring joined = Join(KoPathUtils::Split(style, path), style);
            const uint32_t* p = path.data();
            if ((style & 2) && path.length() >= 2 && p[0] == sep && p[1] == kColon) {
                // The colon joins the root: the first two characters swap.
                std::vector<uint32_t> swapped = CodePoints(path);
                std::swap(swapped[0], swapped[1]);
                EXPECT_EQ(joined, FromCodePoints(swapped));
            } else {
                EXPECT_EQ(joined, path);
            }
        }
    }
}

TEST(PathProperties, CombineRaisesOnlyItsTwoErrors) {
    const std::string absolute = "Cannot combine 'Path' + 'Absolute Path'";
    const std::string drives = "Cannot combine paths on different drives";
    const std::vector<ustring>& paths = Paths();
    int errors = 0;
    for (PathStyle style : kStyles) {
        for (size_t i = 0; i < paths.size(); ++i) {
            const ustring& base = paths[i];
            const ustring& relative = paths[(i * 7 + 3) % paths.size()];
            SCOPED_TRACE(Where(style, Utf8(base)) + " + '" + Utf8(relative) + "'");
            try {
                const ustring combined = KoPathUtils::Combine(base, relative, style);
                // The result uses the style's separator only.
                const uint32_t other = (style & 2) ? kSlash : kBackslash;
                for (uint32_t k = 0; k < combined.length(); ++k) {
                    ASSERT_NE(combined.data()[k], other);
                }
            } catch (const KoPathUtils::Exception& e) {
                ++errors;
                EXPECT_TRUE(e.what() == absolute || e.what() == drives) << e.what();
            } catch (...) {
                ADD_FAILURE() << "unexpected error type";
            }
        }
    }
    EXPECT_GT(errors, 0);  // the generated pairs do reach both checks
}

TEST(PathProperties, DotResolutionMatchesTheListModel) {
    for (PathStyle style : kStyles) {
        for (const ustring& path : Paths()) {
            SCOPED_TRACE(Where(style, Utf8(path)));
            EXPECT_EQ(KoPathUtils::ResolveDots(style, path), ResolveDotsModel(style, path));
            const ustring separated = KoPathUtils::NormalizeSeparators(style, path);
            const ustring model = ResolveDotsModel(style, separated);
            EXPECT_EQ(KoPathUtils::Normalize(path, style, false), model);
            EXPECT_EQ(KoPathUtils::Normalize(path, style, true),
                      KoPathUtils::FoldCase(style, model));
        }
    }
}

}  // namespace
