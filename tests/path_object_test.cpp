// The Path object: extending a folder text by components and removing what
// the result names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "driver/Path.h"
#include "tests/temp_folder.h"
#include "tests/ustring_test_util.h"

namespace {

namespace fs = std::filesystem;
constexpr KoPathUtils::PathStyle kWindows = 2;

TEST(PathObject, AppendCombinesEachNonEmptyComponent) {
    struct Case {
        const char16_t* folder;
        const char* first;
        const char* second;
        const char16_t* expected;
    };
    const Case cases[] = {
        {u"C:\\Users\\u1\\AppData\\Local", "com.quillmoor.tarn", "params.dat",
         u"C:\\Users\\u1\\AppData\\Local\\com.quillmoor.tarn\\params.dat"},
        {u"C:\\Users\\u1\\AppData\\Local\\", "com.quillmoor.tarn", "params.dat",
         u"C:\\Users\\u1\\AppData\\Local\\com.quillmoor.tarn\\params.dat"},
        {u"C:/x//y", "", "", u"C:/x//y"},  // nothing to combine: kept as given
        {u"C:/x//y", "", "z", u"C:\\x\\y\\z"},
        {u"\\\\?\\C:\\base", "a", "", u"C:\\base\\a"},
    };
    for (const auto& c : cases) {
        Path path(c.folder, kWindows);
        Path& same = path.Append(ustring(c.first), ustring(c.second));
        EXPECT_EQ(&same, &path);
        EXPECT_EQ(path.Text(), ustring(c.expected)) << ::testing::PrintToString(ustring(c.folder));
    }

    Path five(u"C:\\", kWindows);
    five.Append(ustring("a"), ustring(""), ustring("b"), ustring(""), ustring("c"));
    EXPECT_EQ(five.Text(), ustring("C:\\a\\b\\c"));
}

TEST(PathObject, ACombinationErrorLeavesTheComponentsBeforeIt) {
    Path path(u"C:\\base", kWindows);
    EXPECT_THROW(path.Append(ustring("a"), ustring("D:x"), ustring("b")), KoPathUtils::Exception);
    EXPECT_EQ(path.Text(), ustring("C:\\base\\a"));
}

class PathRemoveTest : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(settings_); }

    bool RemoveSettingsFile() {
        Path path(Text(local_).wide_c_str(), kWindows);
        return path.Append(ustring("com.quillmoor.tarn"), ustring("params.dat")).Remove();
    }

    TempFolder temp_{"tarn-path-"};
    const fs::path& local_ = temp_.path();
    const fs::path settings_ = local_ / "com.quillmoor.tarn";
};

TEST_F(PathRemoveTest, RemovesAReadOnlyFileAndKeepsItsFolder) {
    const fs::path file = settings_ / "params.dat";
    std::ofstream(file) << "parameters";
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_TRUE(RemoveSettingsFile());
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::is_directory(settings_));
}

TEST_F(PathRemoveTest, RemovesAnEmptyFolderAndKeepsAFullOne) {
    const fs::path folder = settings_ / "params.dat";
    fs::create_directory(folder);
    std::ofstream(folder / "entry") << "x";
    EXPECT_FALSE(RemoveSettingsFile());
    EXPECT_TRUE(fs::exists(folder / "entry"));

    fs::remove(folder / "entry");
    EXPECT_TRUE(RemoveSettingsFile());
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(fs::is_directory(settings_));
}

TEST_F(PathRemoveTest, NothingThereRemovesNothing) {
    EXPECT_FALSE(RemoveSettingsFile());
    EXPECT_TRUE(fs::is_directory(settings_));
}

}  // namespace
