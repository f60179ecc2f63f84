// Where a library or the program lives, so that files shipped "next to" it are found.
#pragma once

#include <string>

namespace platform {

// Full path of the loaded module (shared library or executable) that holds
// the code at address, or empty when the loader does not know it.
std::string modulePathOf(const void* address);

// Full path of the running executable, or empty.
std::string executablePath();

// The directory part of path, without the trailing slash ("/" for the root,
// "." for a bare file name).
std::string directoryOf(const std::string& path);

// dir joined with name by exactly one slash.
std::string joinPath(const std::string& dir, const std::string& name);

}  // namespace platform
