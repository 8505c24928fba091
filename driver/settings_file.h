#pragma once

// Removes the installer's settings file "params.dat" in the subfolder
// "com.quillmoor.tarn" of `folder`, the local application-data folder.
// `folder` is a zero-terminated, non-empty UTF-16 path in Windows syntax.
// Whether the removal succeeded is not reported.
void RemoveSettingsFile(const char16_t* folder);
