#pragma once

#include <string>

namespace KoPathUtils::platform {

// The POSIX spelling of a path held as UTF-16 in Windows syntax: UTF-8
// bytes, with every backslash turned into a slash. Unpaired surrogates are
// written as their own three-byte sequences so that no unit is lost.
std::string NativePath(const char16_t* windows_path);

}  // namespace KoPathUtils::platform
