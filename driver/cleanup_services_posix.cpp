#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "driver/cleanup_services.h"
#include "pathutils/native_path_posix.h"
#include "ustring/ustring.h"

// The POSIX stand-ins for the Windows services:
//   local application data  $XDG_DATA_HOME when it is absolute, else
//                           $HOME/.local/share (HOME must be absolute);
//                           created with its parents, mode 0700
//   classes root            ${XDG_CONFIG_HOME or $HOME/.config}/registry/
//                           HKEY_CLASSES_ROOT; key A\B\C is the directory
//                           A/B/C below it and its values are the regular
//                           files inside that directory
// Below the configuration folder no symbolic link is ever followed.

namespace {

// One open file descriptor, closed when the owner goes.
class UniqueFd {
public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() {
        if (fd_ >= 0) close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd) {
        if (fd_ >= 0) close(fd_);
        fd_ = fd;
    }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// The value of an environment variable when it is an absolute path, else "".
std::string AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

// $<xdg_name> when absolute, else $HOME/<fallback>, else "" (no usable HOME).
std::string XdgFolder(const char* xdg_name, const char* fallback) {
    std::string folder = AbsoluteFromEnvironment(xdg_name);
    if (!folder.empty()) return folder;
    const std::string home = AbsoluteFromEnvironment("HOME");
    return home.empty() ? home : home + "/" + fallback;
}

// mkdir -p with mode 0700 for every folder it has to make.
bool MakeFolderWithParents(const std::string& folder) {
    for (std::string::size_type slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
    }
    mkdir(folder.c_str(), 0700);
    struct stat status;
    return stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Splits a key text at its backslashes into UTF-8 names. Gives nothing when
// a name is empty, "." or "..", or holds a slash, since none of these can
// stand for one key name in a directory tree.
std::vector<std::string> KeyNames(const char16_t* key) {
    std::vector<std::string> names;
    std::u16string name;
    for (const char16_t* p = key;; ++p) {
        if (*p == u'\\' || *p == u'\0') {
            if (name.empty() || name == u"." || name == u"..") return {};
            names.push_back(KoPathUtils::platform::NativePath(name.c_str()));
            name.clear();
            if (*p == u'\0') return names;
        } else if (*p == u'/') {
            return {};
        } else {
            name += *p;
        }
    }
}

int OpenFolderNoFollow(int parent, const std::string& name) {
    return openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Removes the folder `name` in `parent` with the regular files in it, but
// only when every entry is a regular file: a subfolder is a subkey, and a
// link or any other kind of entry is left alone with the whole key.
bool RemoveKeyFolder(int parent, const std::string& name) {
    UniqueFd key(OpenFolderNoFollow(parent, name));
    if (!key.valid()) return false;
    DIR* listing = fdopendir(key.get());
    if (listing == nullptr) return false;
    const int key_fd = key.release();  // now owned by the listing

    std::vector<std::string> values;
    bool only_values = true;
    while (const dirent* entry = readdir(listing)) {
        const std::string entry_name = entry->d_name;
        if (entry_name == "." || entry_name == "..") continue;
        struct stat status;
        if (fstatat(key_fd, entry_name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(status.st_mode)) {
            only_values = false;
            break;
        }
        values.push_back(entry_name);
    }
    if (only_values) {
        for (const std::string& value : values) unlinkat(key_fd, value.c_str(), 0);
    }
    closedir(listing);
    return only_values && unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0;
}

class PosixCleanupServices final : public CleanupServices {
public:
    bool LookUpLocalAppDataFolder(char16_t (&folder)[kFolderTextUnits]) override {
        const std::string path = XdgFolder("XDG_DATA_HOME", ".local/share");
        if (path.empty() || !MakeFolderWithParents(path)) return false;

        // The folder text goes on as UTF-16 in Windows syntax and comes back
        // to bytes through NativePath: accept only a path that survives the
        // round trip unchanged (valid UTF-8, no backslash).
        ustring text(path.c_str());
        const char16_t* units = text.wide_c_str();
        if (KoPathUtils::platform::NativePath(units) != path) return false;
        const std::u16string wide(units);
        if (wide.size() >= kFolderTextUnits) return false;
        wide.copy(folder, wide.size());
        folder[wide.size()] = u'\0';
        return true;
    }

    bool DeleteClassesRootKey(const char16_t* key) override {
        const std::string config = XdgFolder("XDG_CONFIG_HOME", ".config");
        std::vector<std::string> names = KeyNames(key);
        if (config.empty() || names.empty()) return false;
        names.insert(names.begin(), {"registry", "HKEY_CLASSES_ROOT"});

        UniqueFd parent(open(config.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        for (std::size_t i = 0; parent.valid() && i + 1 < names.size(); ++i) {
            parent.reset(OpenFolderNoFollow(parent.get(), names[i]));
        }
        return parent.valid() && RemoveKeyFolder(parent.get(), names.back());
    }
};

}  // namespace

CleanupServices& PlatformCleanupServices() {
    static PosixCleanupServices services;
    return services;
}
