#include <windows.h>
#include <shlobj.h>

#include "driver/cleanup_services.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units are handed to the system as wchar_t");
static_assert(kFolderTextUnits >= MAX_PATH, "the folder lookup writes up to MAX_PATH units");
static_assert((CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE) == 0x801C, "local application data, created when missing");

namespace {

class Win32CleanupServices final : public CleanupServices {
public:
    bool LookUpLocalAppDataFolder(char16_t (&folder)[kFolderTextUnits]) override {
        // No owner window, the calling user's token, the folder's current location.
        const HRESULT result = SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                                SHGFP_TYPE_CURRENT, reinterpret_cast<wchar_t*>(folder));
        return result == S_OK;
    }

    bool DeleteClassesRootKey(const char16_t* key) override {
        // RegDeleteKeyW refuses a key that has subkeys.
        return RegDeleteKeyW(HKEY_CLASSES_ROOT, reinterpret_cast<const wchar_t*>(key)) == ERROR_SUCCESS;
    }
};

}  // namespace

CleanupServices& PlatformCleanupServices() {
    static Win32CleanupServices services;
    return services;
}
