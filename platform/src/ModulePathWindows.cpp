#include "platform/ModulePath.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <vector>

namespace platform {
namespace {

std::string fileNameOf(HMODULE module) {
    // Grown until the name fits: GetModuleFileNameA cuts a long path silently.
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::vector<char> buf(size);
        const DWORD n = GetModuleFileNameA(module, buf.data(), size);
        if (n == 0) return {};
        if (n < size) return std::string(buf.data(), n);
        if (size >= 32768) return {};
    }
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string modulePathOf(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &module))
        return {};
    return fileNameOf(module);
}

std::string executablePath() { return fileNameOf(nullptr); }

std::string directoryOf(const std::string& path) {
    const auto sep = path.find_last_of("\\/");
    if (sep == std::string::npos) return ".";
    // "C:\" and "\" keep their separator: they are roots.
    if (sep == 0 || (sep == 2 && path[1] == ':')) return path.substr(0, sep + 1);
    return path.substr(0, sep);
}

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (isSeparator(dir.back())) return dir + name;
    return dir + "\\" + name;
}

}  // namespace platform
