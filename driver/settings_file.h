#pragma once

#include "driver/Path.h"

// Extends `local_app_data`, the path of the local application-data folder,
// by "com.quillmoor.tarn" and "params.dat", and removes what it then names:
// the installer's settings file after opening its access. The folder
// "com.quillmoor.tarn" itself stays. Whether the removal succeeded is not
// reported.
void RemoveSettingsFile(Path& local_app_data);
