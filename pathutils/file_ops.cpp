#include "pathutils/file_ops.h"

#include <algorithm>

#include "pathutils/KoPathUtils.h"
#include "pathutils/file_ops_platform.h"

namespace KoPathUtils {

namespace {

constexpr PathStyle kWindowsSyntax = 2;
constexpr int32_t kOpenToAll = 0777;

ustring NormalizeForSystem(const ustring& path) { return Normalize(path, kWindowsSyntax, false); }

// The system reads a path up to its first zero unit, so a text holding
// U+0000 would name a shorter path than the caller gave: such a text names
// nothing.
bool NamesSomethingToTheSystem(const ustring& path) {
    const uint32_t* first = path.data();
    return std::find(first, first + path.length(), 0u) == first + path.length();
}

// Both removals open the object's access first, whatever that achieves.
template <typename Delete>
bool OpenAccessAndDelete(const ustring& path, Delete delete_object) {
    ustring normalized = NormalizeForSystem(path);
    if (!NamesSomethingToTheSystem(normalized)) return false;
    const char16_t* text = normalized.wide_c_str();
    SetPermissions(normalized, kOpenToAll);
    return delete_object(text);
}

}  // namespace

bool SetPermissions(const ustring& path, int32_t mode, bool grant) {
    try {
        ustring normalized = NormalizeForSystem(path);
        if (!NamesSomethingToTheSystem(normalized)) return false;
        const char16_t* text = normalized.wide_c_str();
        // Running with raised rights on a folder that the user controls, the
        // grant must not reach through a link to whatever it points at.
        if (platform::IsLink(text)) return false;
        return platform::ApplyAccess(text, PlanAccess(mode, grant));
    } catch (...) {
        return false;
    }
}

bool SetPermissions(const ustring& path, int32_t mode) {
    try {
        return SetPermissions(NormalizeForSystem(path), mode, false);
    } catch (...) {
        return false;
    }
}

bool GetStatus(const ustring& path, FileStatus& status) {
    try {
        ustring prepared = NormalizeForSystem(path);
        StripTrailingSeparators(prepared);
        status = FileStatus{};
        return NamesSomethingToTheSystem(prepared) && platform::ReadStatus(prepared.wide_c_str(), status);
    } catch (...) {
        return false;
    }
}

bool IsFile(const ustring& path) {
    FileStatus status{};
    return GetStatus(path, status) && (status.mode & kFileTypeMask) == kRegularFileType;
}

bool RemoveFile(const ustring& path) { return OpenAccessAndDelete(path, platform::RemoveFileEntry); }

bool RemoveDir(const ustring& path) { return OpenAccessAndDelete(path, platform::RemoveEmptyFolder); }

}  // namespace KoPathUtils
