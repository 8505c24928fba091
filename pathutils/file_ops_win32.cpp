// Windows system calls of the file operations: the C runtime's wide file
// functions and the security functions that replace an access list.
#include <windows.h>
#include <aclapi.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>

#include "pathutils/file_ops_platform.h"

namespace KoPathUtils::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text is handed over as wchar_t");
static_assert(kAttributeReadWrite == (_S_IREAD | _S_IWRITE) && kAttributeReadOnly == _S_IREAD);
static_assert(kStandardRightsAll == STANDARD_RIGHTS_ALL && kGenericAll == GENERIC_ALL &&
              kGenericExecute == GENERIC_EXECUTE && kGenericWrite == GENERIC_WRITE &&
              kGenericRead == GENERIC_READ);
static_assert(kGrantAccess == GRANT_ACCESS && kSetAccess == SET_ACCESS);
static_assert(kInheritToObjectsAndContainers == SUB_CONTAINERS_AND_OBJECTS_INHERIT);

namespace {

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// The resources held while an access list is built, released in a fixed
// order whatever way the grant ends.
struct GrantResources {
    PSID world_sid = nullptr;
    HANDLE token = nullptr;
    PTOKEN_USER token_user = nullptr;
    PACL access_list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;

    GrantResources() = default;
    GrantResources(const GrantResources&) = delete;
    GrantResources& operator=(const GrantResources&) = delete;
    ~GrantResources() {
        if (world_sid) FreeSid(world_sid);
        if (access_list) LocalFree(access_list);
        if (descriptor) LocalFree(descriptor);
        if (token_user) LocalFree(token_user);
        if (token) CloseHandle(token);
    }
};

bool OpenCallerToken(HANDLE* token) {
    return OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, token) ||
           OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token);
}

// Reads the token's user into a block of the size the system asks for.
bool ReadTokenUser(GrantResources& held) {
    DWORD length = 0;
    if (!GetTokenInformation(held.token, TokenUser, nullptr, 0, &length) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return false;
    }
    held.token_user = static_cast<PTOKEN_USER>(LocalAlloc(LPTR, length));
    return held.token_user != nullptr &&
           GetTokenInformation(held.token, TokenUser, held.token_user, length, &length);
}

void FillEntry(EXPLICIT_ACCESS_A& entry, DWORD rights, ACCESS_MODE mode, TRUSTEE_TYPE type, PSID sid) {
    entry.grfAccessPermissions = rights;
    entry.grfAccessMode = mode;
    entry.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    entry.Trustee.pMultipleTrustee = nullptr;
    entry.Trustee.MultipleTrusteeOperation = NO_MULTIPLE_TRUSTEE;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = type;
    entry.Trustee.ptstrName = static_cast<LPSTR>(sid);
}

}  // namespace

bool IsLink(const char16_t* path) {
    const DWORD attributes = GetFileAttributesW(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool ApplyAccess(const char16_t* path, const AccessPlan& plan) {
    const wchar_t* text = Wide(path);
    _wchmod(text, plan.attribute);

    EXPLICIT_ACCESS_A entries[2];
    ZeroMemory(entries, sizeof entries);
    bool applied = false;
    GrantResources held;

    SID_IDENTIFIER_AUTHORITY world_authority = SECURITY_WORLD_SID_AUTHORITY;
    if (!AllocateAndInitializeSid(&world_authority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                                  &held.world_sid)) {
        return false;
    }
    if (!OpenCallerToken(&held.token)) return false;
    if (!ReadTokenUser(held)) return false;

    const auto mode = static_cast<ACCESS_MODE>(plan.access_mode);
    FillEntry(entries[0], plan.everyone_mask, mode, TRUSTEE_IS_WELL_KNOWN_GROUP, held.world_sid);
    FillEntry(entries[1], plan.user_mask, mode, TRUSTEE_IS_USER, held.token_user->User.Sid);
    if (SetEntriesInAclA(2, entries, nullptr, &held.access_list) != ERROR_SUCCESS) return false;

    held.descriptor = LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH);
    if (held.descriptor == nullptr ||
        !InitializeSecurityDescriptor(held.descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(held.descriptor, TRUE, held.access_list, FALSE)) {
        return false;
    }
    applied = SetFileSecurityW(text, DACL_SECURITY_INFORMATION, held.descriptor) != 0;
    _wchmod(text, plan.attribute);
    return applied;
}

bool ReadStatus(const char16_t* path, FileStatus& status) {
    struct _stat64 st;
    if (_wstat64(Wide(path), &st) != 0) return false;
    status.dev = static_cast<uint32_t>(st.st_dev);
    status.ino = static_cast<uint16_t>(st.st_ino);
    status.mode = static_cast<uint16_t>(st.st_mode);
    status.nlink = static_cast<int16_t>(st.st_nlink);
    status.uid = static_cast<int16_t>(st.st_uid);
    status.gid = static_cast<int16_t>(st.st_gid);
    status.rdev = static_cast<uint32_t>(st.st_rdev);
    status.size = static_cast<int64_t>(st.st_size);
    status.atime = static_cast<int64_t>(st.st_atime);
    status.mtime = static_cast<int64_t>(st.st_mtime);
    status.ctime = static_cast<int64_t>(st.st_ctime);
    return true;
}

bool RemoveFileEntry(const char16_t* path) { return _wremove(Wide(path)) == 0; }

bool RemoveEmptyFolder(const char16_t* path) { return _wrmdir(Wide(path)) == 0; }

}  // namespace KoPathUtils::platform
