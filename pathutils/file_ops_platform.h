#pragma once

#include "pathutils/file_ops.h"
#include "pathutils/permissions.h"

// The system calls behind the file operations, one implementation per
// platform (file_ops_win32.cpp, file_ops_posix.cpp). Each takes the
// zero-terminated UTF-16 text of a path already normalised to Windows
// syntax, and none raises.
namespace KoPathUtils::platform {

// True when the path itself names a symbolic link or other reparse point.
bool IsLink(const char16_t* path);

// The attribute change, the replacement of the access entries, and the
// attribute change again. True when the access entries were applied.
bool ApplyAccess(const char16_t* path, const AccessPlan& plan);

// Fills `status` (already zeroed) and answers true when the status call
// succeeded.
bool ReadStatus(const char16_t* path, FileStatus& status);

// Deletes a file, or a link itself; never a folder.
bool RemoveFileEntry(const char16_t* path);

// Removes an empty folder.
bool RemoveEmptyFolder(const char16_t* path);

}  // namespace KoPathUtils::platform
