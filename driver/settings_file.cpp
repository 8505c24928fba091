#include "driver/settings_file.h"

#include "ustring/ustring.h"

void RemoveSettingsFile(Path& local_app_data) {
    const ustring settings_folder(u"com.quillmoor.tarn");
    const ustring settings_file(u"params.dat");
    local_app_data.Append(settings_folder, settings_file).Remove();
}
