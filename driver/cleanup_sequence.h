#pragma once

#include "driver/cleanup_services.h"
#include "driver/settings_file.h"

// The step that removes the settings file, given the path of the folder.
using SettingsFileStep = void (*)(Path& local_app_data);

// Runs the cleanup sequence once, top to bottom:
//   1. look up the local application-data folder into a zero-filled buffer;
//   2. remove the settings file in it, but only when the lookup succeeded
//      and gave a non-empty, terminated text (otherwise the settings path
//      would be relative to the current directory); the path made from the
//      folder text, in Windows syntax, lives until the sequence ends;
//   3-5. delete the three "Preferences" keys of the installer's brands under
//        the classes root, in a fixed order;
//   6. return the exit status 0.
// No outcome of a step stops a later one.
int RunCleanupSequence(CleanupServices& services,
                       SettingsFileStep remove_settings_file = RemoveSettingsFile);
