#pragma once

#include <cstdint>

#include "ustring/ustring.h"

// File-system operations of the path layer. Every path is taken in Windows
// syntax and normalised before it reaches the system; each operation answers
// with a boolean and stores no error code. A path holding U+0000 names
// nothing: the system would read only the part before it.
namespace KoPathUtils {

// Status of a file-system object.
struct FileStatus {
    uint32_t dev;
    uint64_t ino;
    uint32_t mode;  // file type in the bits 0xF000, permission bits below
    int32_t nlink;
    int32_t uid;
    int32_t gid;
    uint32_t rdev;
    int64_t size;
    uint32_t blksize;  // 0 where the platform reports no block size (Windows)
    uint64_t blocks;   // 0 where the platform reports no block count (Windows)
    int64_t atime;     // seconds since 1970-01-01 UTC
    int64_t mtime;
    int64_t ctime;  // creation time on Windows
};

constexpr uint32_t kFileTypeMask = 0xF000;
constexpr uint32_t kRegularFileType = 0x8000;

// Opens a file's or folder's access from a POSIX-style mode: the read-only
// attribute follows the write bits, and the access list is replaced by one
// entry for everyone and one for the current user. True when the access
// update was applied. Never acts through a symbolic link or other reparse
// point: for such a path nothing changes and the answer is false. Never
// raises.
bool SetPermissions(const ustring& path, int32_t mode, bool grant);
bool SetPermissions(const ustring& path, int32_t mode);

// Reads the status of what the path names (trailing separators ignored).
// On failure the record is all zero, unless the path could not even be
// prepared. Never raises.
bool GetStatus(const ustring& path, FileStatus& status);
// True when the path names a regular file. Never raises.
bool IsFile(const ustring& path);

// Open the object's access (mode 0777), then delete it: a file (never a
// folder) or an empty folder. A link is removed itself, never its target.
bool RemoveFile(const ustring& path);
bool RemoveDir(const ustring& path);

}  // namespace KoPathUtils
