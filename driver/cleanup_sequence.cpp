#include "driver/cleanup_sequence.h"

namespace {

// The keys that the sequence deletes, in order.
const char16_t* const kPreferenceKeys[] = {
    u"Software\\Belmarch\\1.0\\Preferences",
    u"Software\\Orvik\\1.0\\Preferences",
    u"Software\\Quillmoor\\2.0\\Preferences",
};

}  // namespace

int RunCleanupSequence(CleanupServices& services, SettingsFileStep remove_settings_file) {
    char16_t folder[kFolderTextUnits] = {};
    const bool found = services.LookUpLocalAppDataFolder(folder);
    const bool usable = found && folder[0] != u'\0' && folder[kFolderTextUnits - 1] == u'\0';
    if (usable) remove_settings_file(folder);

    for (const char16_t* key : kPreferenceKeys) services.DeleteClassesRootKey(key);
    return 0;
}
