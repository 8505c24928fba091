// Status, removal and permission grant on real files, in a fresh folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "pathutils/file_ops.h"
#include "tests/temp_folder.h"
#include "ustring/ustring.h"

namespace {

namespace fs = std::filesystem;
using namespace KoPathUtils;

// The same path written with slashes, each separator doubled.
ustring SlashesDoubled(const fs::path& path) {
    std::u16string text;
    for (char16_t c : path.generic_u16string()) {
        text += c;
        if (c == u'/') text += u'/';
    }
    return ustring(text.c_str());
}

bool IsAllZero(const FileStatus& s) {
    return s.dev == 0 && s.ino == 0 && s.mode == 0 && s.nlink == 0 && s.uid == 0 && s.gid == 0 &&
           s.rdev == 0 && s.size == 0 && s.blksize == 0 && s.blocks == 0 && s.atime == 0 &&
           s.mtime == 0 && s.ctime == 0;
}

FileStatus Garbage() {
    FileStatus s{};
    s.dev = 7;
    s.mode = 0xFFFF;
    s.size = -1;
    s.mtime = 42;
    return s;
}

constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

class FileOpsTest : public testing::Test {
protected:
    fs::path MakeFile(const fs::path& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    fs::path MakeFolder(const fs::path& path) {
        fs::create_directories(path);
        return path;
    }

    TempFolder temp_{"tarn-file-ops-"};
    const fs::path& root_ = temp_.path();
};

TEST_F(FileOpsTest, StatusOfAFileAndAFolder) {
    const fs::path file = MakeFile(root_ / "file.txt", "hello");
    FileStatus status = Garbage();
    ASSERT_TRUE(GetStatus(Text(file), status));
    EXPECT_EQ(status.mode & kFileTypeMask, kRegularFileType);
    EXPECT_EQ(status.size, 5);
    EXPECT_EQ(status.nlink, 1);
    EXPECT_GT(status.mtime, 0);
    EXPECT_TRUE(IsFile(Text(file)));

    const fs::path folder = MakeFolder(root_ / "folder");
    ASSERT_TRUE(GetStatus(Text(folder), status));
    EXPECT_EQ(status.mode & kFileTypeMask, 0x4000u);
    EXPECT_FALSE(IsFile(Text(folder)));
}

TEST_F(FileOpsTest, SeparatorsDoNotChangeTheStatus) {
    const fs::path folder = MakeFolder(root_ / "Data" / "Sub");
    const fs::path file = MakeFile(folder / "file.txt", "abc");

    FileStatus plain{};
    ASSERT_TRUE(GetStatus(Text(file), plain));
    FileStatus slashed{};
    ASSERT_TRUE(GetStatus(SlashesDoubled(file), slashed));
    EXPECT_EQ(slashed.ino, plain.ino);
    EXPECT_EQ(slashed.size, plain.size);
    EXPECT_EQ(slashed.mtime, plain.mtime);

    FileStatus folder_status{};
    ASSERT_TRUE(GetStatus(Text(folder), folder_status));
    for (const char* trailing : {"\\", "/", "\\/", "//\\"}) {
        ustring with_trailing = Text(folder);
        with_trailing.append(ustring(trailing));
        FileStatus status = Garbage();
        EXPECT_TRUE(GetStatus(with_trailing, status)) << trailing;
        EXPECT_EQ(status.mode, folder_status.mode) << trailing;
        EXPECT_EQ(status.ino, folder_status.ino) << trailing;
        EXPECT_FALSE(IsFile(with_trailing)) << trailing;
    }
}

TEST_F(FileOpsTest, PathsThatNameNothingFailWithAZeroRecord) {
    ustring missing = Text(root_ / "missing" / "params.dat");
    for (const ustring& path : {missing, ustring(""), ustring("\\"), ustring("//\\")}) {
        FileStatus status = Garbage();
        EXPECT_FALSE(GetStatus(path, status));
        EXPECT_TRUE(IsAllZero(status));
        EXPECT_FALSE(IsFile(path));
    }
    EXPECT_FALSE(RemoveFile(missing));
    EXPECT_FALSE(RemoveDir(missing));
    EXPECT_FALSE(SetPermissions(missing, 0777));
    EXPECT_FALSE(SetPermissions(missing, 0777, true));
}

// The system would stop reading at U+0000 and act on the shorter path.
TEST_F(FileOpsTest, APathHoldingU0000NamesNothing) {
    const fs::path file = MakeFile(root_ / "params", "x");
    ustring with_zero = Text(file);
    with_zero.push_back(0);
    with_zero.append(ustring(".dat"));

    FileStatus status = Garbage();
    EXPECT_FALSE(GetStatus(with_zero, status));
    EXPECT_TRUE(IsAllZero(status));
    EXPECT_FALSE(SetPermissions(with_zero, 0));
    EXPECT_FALSE(RemoveFile(with_zero));
    EXPECT_FALSE(RemoveDir(with_zero));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_NE(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(FileOpsTest, RemovesAReadOnlyFile) {
    const fs::path file = MakeFile(root_ / "params.dat", "x");
    fs::permissions(file, kAnyWrite, fs::perm_options::remove);
    ASSERT_EQ(fs::status(file).permissions() & kAnyWrite, fs::perms::none);

    EXPECT_TRUE(RemoveFile(Text(file)));
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(FileOpsTest, FoldersAreRemovedOnlyAsEmptyFolders) {
    const fs::path folder = MakeFolder(root_ / "full");
    MakeFile(folder / "entry", "x");
    EXPECT_FALSE(RemoveFile(Text(folder)));
    EXPECT_FALSE(RemoveDir(Text(folder)));
    EXPECT_TRUE(fs::exists(folder / "entry"));

    const fs::path empty = MakeFolder(root_ / "empty");
    EXPECT_TRUE(RemoveDir(Text(empty)));
    EXPECT_FALSE(fs::exists(empty));
}

TEST_F(FileOpsTest, GrantOpensOrClosesTheWriteAttribute) {
    const fs::path file = MakeFile(root_ / "file.txt", "x");
    SetPermissions(Text(file), 0444);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);
    SetPermissions(Text(file), 0777);
    EXPECT_NE(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);
}

#ifdef _WIN32
TEST_F(FileOpsTest, WindowsStatusHasNoBlocksAndA16BitInode) {
    const fs::path file = MakeFile(root_ / "file.txt", "x");
    FileStatus status{};
    ASSERT_TRUE(GetStatus(Text(file), status));
    EXPECT_EQ(status.blksize, 0u);
    EXPECT_EQ(status.blocks, 0u);
    EXPECT_LT(status.ino, 65536u);
}
#else
TEST_F(FileOpsTest, PosixGrantSetsPermissionBitsFromTheEntries) {
    const fs::path file = MakeFile(root_ / "file.txt", "x");
    struct Case {
        int32_t mode;
        bool grant;
        fs::perms expected;
    };
    const Case cases[] = {
        {0777, false, fs::perms::all},
        {0, false, fs::perms::none},
        {0644, false, fs::perms(0744)},  // read with write is GENERIC_ALL: rwx
        {0070, false, fs::perms(0277)},  // the group joins everyone; the write bit clears read-only
        {0070, true, fs::perms(0200)},   // the group is ignored; the write bit clears read-only
        {0555, false, fs::perms(0555)},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(SetPermissions(Text(file), c.mode, c.grant)) << std::oct << c.mode;
        EXPECT_EQ(fs::status(file).permissions(), c.expected) << std::oct << c.mode << " grant " << c.grant;
    }
}
#endif

// The tool may run with raised rights in a folder the user controls: a link
// planted as the settings file must not hand it something outside.
TEST_F(FileOpsTest, NeverActsThroughALink) {
    const fs::path outside = MakeFolder(root_ / "outside");
    const fs::path target = MakeFile(outside / "secret.txt", "secret");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path target_folder = MakeFolder(outside / "folder");
    fs::permissions(target_folder, fs::perms::owner_all);

    const fs::path inside = MakeFolder(root_ / "com.quillmoor.tarn");
    const fs::path file_link = inside / "params.dat";
    const fs::path folder_link = inside / "folder-link";
    try {
        fs::create_symlink(target, file_link);
        fs::create_directory_symlink(target_folder, folder_link);
    } catch (const fs::filesystem_error& e) {
        GTEST_SKIP() << "links cannot be made here: " << e.what();
    }

    EXPECT_FALSE(SetPermissions(Text(file_link), 0777));
    EXPECT_FALSE(SetPermissions(Text(folder_link), 0777));
    EXPECT_FALSE(RemoveDir(Text(folder_link)));
    EXPECT_TRUE(RemoveFile(Text(file_link)));

    EXPECT_FALSE(fs::exists(fs::symlink_status(file_link)));
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    std::ifstream content(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(content), {}), "secret");
    EXPECT_EQ(fs::status(target_folder).permissions(), fs::perms::owner_all);
}

}  // namespace
