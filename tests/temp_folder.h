#pragma once

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "ustring/ustring.h"

// A fresh folder under the system's temporary folder, removed with all it
// holds (made writable first) when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix) {
        std::mt19937_64 random(std::random_device{}() ^
                               uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
        path_ = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        namespace fs = std::filesystem;
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
            if (!entry.is_symlink()) fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A file-system path as a ustring.
inline ustring Text(const std::filesystem::path& path) { return ustring(path.u16string().c_str()); }
