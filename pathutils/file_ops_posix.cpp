// POSIX system calls of the file operations.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "pathutils/file_ops_platform.h"
#include "pathutils/native_path_posix.h"

namespace KoPathUtils::platform {

namespace {

constexpr mode_t kAllWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// rwx bits of one class from the rights of an access entry.
mode_t ClassBits(uint32_t rights) {
    if (rights & kGenericAll) return 07;
    mode_t bits = 0;
    if (rights & kGenericRead) bits |= 04;
    if (rights & kGenericWrite) bits |= 02;
    if (rights & kGenericExecute) bits |= 01;
    return bits;
}

// Changes the mode of the object itself; never follows a link.
bool ChangeMode(const std::string& path, mode_t mode) {
    return fchmodat(AT_FDCWD, path.c_str(), mode, AT_SYMLINK_NOFOLLOW) == 0;
}

// The read-only attribute as POSIX sees it: read-write adds the owner's
// write bit, read-only clears every write bit.
void ChangeAttribute(const std::string& path, int32_t attribute) {
    struct stat st;
    if (fstatat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return;
    const mode_t current = st.st_mode & 07777;
    const mode_t wanted =
        attribute == kAttributeReadWrite ? (current | S_IWUSR) : (current & ~kAllWriteBits);
    ChangeMode(path, wanted);
}

// The access entries as permission bits: the owner's from the user entry,
// the group's and others' from the everyone entry. Special bits stay.
bool ChangeAccess(const std::string& path, const AccessPlan& plan) {
    struct stat st;
    if (fstatat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    const mode_t everyone = ClassBits(plan.everyone_mask);
    const mode_t permissions = (ClassBits(plan.user_mask) << 6) | (everyone << 3) | everyone;
    return ChangeMode(path, (st.st_mode & 07000) | permissions);
}

}  // namespace

bool IsLink(const char16_t* path) {
    struct stat st;
    return lstat(NativePath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool ApplyAccess(const char16_t* path, const AccessPlan& plan) {
    const std::string native = NativePath(path);
    ChangeAttribute(native, plan.attribute);
    const bool applied = ChangeAccess(native, plan);
    ChangeAttribute(native, plan.attribute);
    return applied;
}

bool ReadStatus(const char16_t* path, FileStatus& status) {
    const std::string native = NativePath(path);
    if (native.empty()) return false;
    struct stat st;
    if (stat(native.c_str(), &st) != 0) return false;
    status.dev = static_cast<uint32_t>(st.st_dev);
    status.ino = static_cast<uint64_t>(st.st_ino);
    status.mode = static_cast<uint32_t>(st.st_mode);
    status.nlink = static_cast<int32_t>(st.st_nlink);
    status.uid = static_cast<int32_t>(st.st_uid);
    status.gid = static_cast<int32_t>(st.st_gid);
    status.rdev = static_cast<uint32_t>(st.st_rdev);
    status.size = static_cast<int64_t>(st.st_size);
    status.blksize = static_cast<uint32_t>(st.st_blksize);
    status.blocks = static_cast<uint64_t>(st.st_blocks);
    status.atime = static_cast<int64_t>(st.st_atime);
    status.mtime = static_cast<int64_t>(st.st_mtime);
    status.ctime = static_cast<int64_t>(st.st_ctime);
    return true;
}

bool RemoveFileEntry(const char16_t* path) {
    // unlink never removes a folder, and removes a link itself.
    return unlink(NativePath(path).c_str()) == 0;
}

bool RemoveEmptyFolder(const char16_t* path) {
    // rmdir refuses a link, so a linked folder is never emptied or removed.
    return rmdir(NativePath(path).c_str()) == 0;
}

}  // namespace KoPathUtils::platform
