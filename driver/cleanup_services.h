#pragma once

#include <cstddef>

// Length of the folder text buffer in UTF-16 units: MAX_PATH, as the
// Windows folder lookup requires.
constexpr std::size_t kFolderTextUnits = 260;

// The platform services that the cleanup sequence uses. Each platform has one
// implementation (cleanup_services_win32.cpp, cleanup_services_posix.cpp);
// tests substitute their own.
class CleanupServices {
public:
    virtual ~CleanupServices() = default;

    // Writes the zero-terminated path of the current user's local
    // application-data folder into `folder`, creating the folder when it does
    // not exist yet. The caller zero-fills the buffer first. Answers whether
    // the lookup reports success; on failure the buffer may hold anything
    // the lookup left there.
    virtual bool LookUpLocalAppDataFolder(char16_t (&folder)[kFolderTextUnits]) = 0;

    // Deletes `key` (components separated by single backslashes) under the
    // classes root, together with its values, but only when it has no
    // subkeys. Answers whether the key was deleted.
    virtual bool DeleteClassesRootKey(const char16_t* key) = 0;
};

// The services of the platform the program was built for.
CleanupServices& PlatformCleanupServices();
