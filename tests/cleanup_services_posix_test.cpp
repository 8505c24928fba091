// The POSIX services of the cleanup sequence on a real folder tree: where
// the local application-data folder is found and how it is made, and how
// keys of the directory-backed classes root are deleted.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "driver/cleanup_services.h"

namespace {

namespace fs = std::filesystem;

// Sets or clears an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        Set(value);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() { Set(old_); }

private:
    void Set(const std::optional<std::string>& value) {
        if (value) {
            setenv(name_, value->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    const char* name_;
    std::optional<std::string> old_;
};

class PosixServices : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = fs::temp_directory_path() / "tarn-services.XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        home_ = root_ / "home";
        fs::create_directory(home_);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
    fs::path home_;
    ScopedEnv home_env_{"HOME", std::nullopt};
    ScopedEnv data_env_{"XDG_DATA_HOME", std::nullopt};
    ScopedEnv config_env_{"XDG_CONFIG_HOME", std::nullopt};
};

// ---- local application-data folder ----

struct LookupResult {
    bool found;
    std::u16string text;
};

LookupResult LookUp() {
    char16_t folder[kFolderTextUnits] = {};
    const bool found = PlatformCleanupServices().LookUpLocalAppDataFolder(folder);
    return {found, std::u16string(folder)};
}

// A folder the lookup made: the owner's alone.
void ExpectPrivateFolder(const fs::path& path) {
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0) << path;
    EXPECT_TRUE(S_ISDIR(status.st_mode)) << path;
    EXPECT_EQ(status.st_mode & 0777, 0700u) << path;
}

TEST_F(PosixServices, LookupUsesHomeUnlessXdgDataHomeIsAbsoluteAndCreatesTheFolderPrivately) {
    setenv("HOME", home_.c_str(), 1);

    for (const char* ignored : {"", "relative/data"}) {
        setenv("XDG_DATA_HOME", ignored, 1);
        const LookupResult result = LookUp();
        EXPECT_TRUE(result.found) << ignored;
        EXPECT_EQ(result.text, (home_ / ".local/share").u16string()) << ignored;
    }
    ExpectPrivateFolder(home_ / ".local");
    ExpectPrivateFolder(home_ / ".local/share");

    const fs::path data = root_ / "x/y/data";
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    const LookupResult result = LookUp();
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.text, data.u16string());
    for (const fs::path& made : {root_ / "x", root_ / "x/y", data}) ExpectPrivateFolder(made);
}

TEST_F(PosixServices, LookupConvertsTheFolderToUtf16) {
    const fs::path data = root_ / u8"donn\u00e9es-\U0001F600";
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    const LookupResult result = LookUp();
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.text, root_.u16string() + u"/donn\u00e9es-\U0001F600");
    EXPECT_TRUE(fs::is_directory(data));
}

TEST_F(PosixServices, LookupFailsWithEmptyTextWhenNoUsableFolderCanBeNamed) {
    const std::string longest_fitting = root_.string() + "/" + std::string(kFolderTextUnits - 2 - root_.string().size(), 'd');
    {
        setenv("XDG_DATA_HOME", longest_fitting.c_str(), 1);
        const LookupResult result = LookUp();
        EXPECT_TRUE(result.found);
        EXPECT_EQ(result.text.size(), kFolderTextUnits - 1);
    }

    struct Case {
        const char* name;
        std::optional<std::string> home;
        std::optional<std::string> data;
    };
    const std::string blocked = (root_ / "file").string();
    std::ofstream(blocked) << "x";
    const Case cases[] = {
        {"no HOME", std::nullopt, std::nullopt},
        {"empty HOME", std::string(), std::nullopt},
        {"relative HOME", std::string("home"), std::nullopt},
        {"no HOME, relative data", std::nullopt, std::string("data")},
        {"a file in the way", std::nullopt, blocked + "/data"},
        {"not UTF-8", std::nullopt, root_.string() + "/bad\xff"},
        {"backslash", std::nullopt, root_.string() + "/a\\b"},
        {"too long", std::nullopt, longest_fitting + "e"},
    };
    for (const Case& c : cases) {
        ScopedEnv home("HOME", c.home);
        ScopedEnv data("XDG_DATA_HOME", c.data);
        const LookupResult result = LookUp();
        EXPECT_FALSE(result.found) << c.name;
        EXPECT_EQ(result.text, u"") << c.name;
    }
    EXPECT_FALSE(fs::exists("home/.local")) << "a relative HOME was used";
    EXPECT_FALSE(fs::exists("data")) << "a relative XDG_DATA_HOME was used";
}

// ---- classes-root keys ----

class ClassesRoot : public PosixServices {
protected:
    void SetUp() override {
        PosixServices::SetUp();
        setenv("HOME", home_.c_str(), 1);
        store_ = home_ / ".config/registry/HKEY_CLASSES_ROOT";
    }

    // Makes key `relative` (slash-separated) with one value file.
    fs::path MakeKey(const fs::path& base, const std::string& relative) {
        const fs::path key = base / relative;
        fs::create_directories(key);
        std::ofstream(key / "Volume") << "7";
        return key;
    }

    static bool Delete(const char16_t* key) { return PlatformCleanupServices().DeleteClassesRootKey(key); }

    fs::path store_;
};

TEST_F(ClassesRoot, DeletesTheKeyWithItsValuesAndKeepsItsParentAndSiblings) {
    const fs::path key = MakeKey(store_, "Software/Belmarch/1.0/Preferences");
    std::ofstream(key / "Second") << "";
    MakeKey(store_, "Software/Belmarch/1.0/Other");

    EXPECT_TRUE(Delete(u"Software\\Belmarch\\1.0\\Preferences"));
    EXPECT_FALSE(fs::exists(key));
    EXPECT_TRUE(fs::exists(store_ / "Software/Belmarch/1.0/Other/Volume"));
    EXPECT_FALSE(Delete(u"Software\\Belmarch\\1.0\\Preferences")) << "a missing key";
}

TEST_F(ClassesRoot, UsesXdgConfigHomeWhenAbsolute) {
    const fs::path config = root_ / "config";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const fs::path key = MakeKey(config / "registry/HKEY_CLASSES_ROOT", "Software/Orvik/1.0/Preferences");
    const fs::path beside = MakeKey(store_, "Software/Orvik/1.0/Preferences");

    EXPECT_TRUE(Delete(u"Software\\Orvik\\1.0\\Preferences"));
    EXPECT_FALSE(fs::exists(key));
    EXPECT_TRUE(fs::exists(beside));

    setenv("XDG_CONFIG_HOME", "config", 1);  // relative: ignored
    EXPECT_TRUE(Delete(u"Software\\Orvik\\1.0\\Preferences"));
    EXPECT_FALSE(fs::exists(beside));

    unsetenv("HOME");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_FALSE(Delete(u"Software\\Orvik\\1.0\\Preferences")) << "no store can be named";
}

TEST_F(ClassesRoot, LeavesAKeyWholeWhenItHoldsAnythingButValueFiles) {
    const fs::path outside = root_ / "outside";
    fs::create_directory(outside);
    std::ofstream(outside / "precious") << "keep";

    struct Case {
        const char* name;
        void (*add)(const fs::path& key, const fs::path& outside);
    };
    const Case cases[] = {
        {"subkey", [](const fs::path& key, const fs::path&) { fs::create_directory(key / "Sub"); }},
        {"link to a folder", [](const fs::path& key, const fs::path& out) { fs::create_directory_symlink(out, key / "l"); }},
        {"link to a file", [](const fs::path& key, const fs::path& out) { fs::create_symlink(out / "precious", key / "l"); }},
        {"fifo", [](const fs::path& key, const fs::path&) { ASSERT_EQ(mkfifo((key / "f").c_str(), 0600), 0); }},
    };
    for (const Case& c : cases) {
        const fs::path key = MakeKey(store_, "Software/Quillmoor/2.0/Preferences");
        c.add(key, outside);
        EXPECT_FALSE(Delete(u"Software\\Quillmoor\\2.0\\Preferences")) << c.name;
        EXPECT_TRUE(fs::exists(key / "Volume")) << c.name << ": a value went";
        fs::remove_all(key);
    }
    EXPECT_TRUE(fs::exists(outside / "precious"));
}

TEST_F(ClassesRoot, FollowsNoSymbolicLinkInsideTheStore) {
    // Each link leads to a tree in which the key would be found if the link
    // were followed.
    struct Case {
        const char* name;
        fs::path link;
        std::string below_link;
    };
    const Case cases[] = {
        {"the key itself", store_ / "Software/Belmarch/1.0/Preferences", ""},
        {"a folder above the key", store_ / "Software/Belmarch/1.0", "Preferences"},
        {"the classes root", store_, "Software/Belmarch/1.0/Preferences"},
    };
    for (const Case& c : cases) {
        const fs::path outside = root_ / "outside";
        const fs::path target = MakeKey(outside, c.below_link);
        fs::create_directories(c.link.parent_path());
        fs::create_directory_symlink(outside, c.link);

        EXPECT_FALSE(Delete(u"Software\\Belmarch\\1.0\\Preferences")) << c.name;
        EXPECT_TRUE(fs::is_symlink(c.link)) << c.name;
        EXPECT_TRUE(fs::exists(target / "Volume")) << c.name;
        fs::remove_all(home_ / ".config");
        fs::remove_all(outside);
    }
}

TEST_F(ClassesRoot, RefusesKeyTextsThatNameNoSingleKey) {
    MakeKey(store_, "A/B");
    MakeKey(store_, "B");
    for (const char16_t* key : {u"", u"A\\\\B", u"\\A\\B", u"A\\B\\", u"A\\.\\B", u"A\\..\\B", u"A/B", u"..\\B"}) {
        EXPECT_FALSE(Delete(key));
    }
    EXPECT_TRUE(fs::exists(store_ / "A/B/Volume"));
    EXPECT_TRUE(fs::exists(store_ / "B/Volume"));
}

}  // namespace
