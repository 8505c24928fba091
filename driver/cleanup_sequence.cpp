#include "driver/cleanup_sequence.h"

#include <optional>

namespace {

// The keys that the sequence deletes, in order.
const char16_t* const kPreferenceKeys[] = {
    u"Software\\Belmarch\\1.0\\Preferences",
    u"Software\\Orvik\\1.0\\Preferences",
    u"Software\\Quillmoor\\2.0\\Preferences",
};

constexpr KoPathUtils::PathStyle kWindowsSyntax = 2;

}  // namespace

int RunCleanupSequence(CleanupServices& services, SettingsFileStep remove_settings_file) {
    char16_t folder[kFolderTextUnits] = {};
    const bool found = services.LookUpLocalAppDataFolder(folder);
    const bool usable = found && folder[0] != u'\0' && folder[kFolderTextUnits - 1] == u'\0';

    std::optional<Path> settings_path;  // released after the key deletions
    if (usable) remove_settings_file(settings_path.emplace(folder, kWindowsSyntax));

    for (const char16_t* key : kPreferenceKeys) services.DeleteClassesRootKey(key);
    return 0;
}
