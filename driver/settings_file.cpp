#include "driver/settings_file.h"

// The removal is built on the path and file layers; until it is wired in,
// this step removes nothing.
void RemoveSettingsFile(const char16_t* /*folder*/) {}
