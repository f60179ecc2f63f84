// The registry layer on the registry itself.
#include "platform/Registry.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace platform::registry {
namespace {

HKEY hkey(void* h) { return static_cast<HKEY>(h); }

// The stand-in takes "/" between parts too; the registry only "\".
std::string withBackslashes(std::string subKey) {
    for (char& c : subKey)
        if (c == '/') c = '\\';
    return subKey;
}

}  // namespace

long Key::open(const std::string& subKey, Key& out) {
    out.close();
    HKEY h = nullptr;
    const std::string path = withBackslashes(subKey);
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &h);
    // A user without write rights to the machine's keys can still read them.
    if (rc == ERROR_ACCESS_DENIED) rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &h);
    if (rc == ERROR_SUCCESS) out.handle_ = h;
    return rc;
}

long Key::create(const std::string& subKey, Key& out) {
    out.close();
    HKEY h = nullptr;
    const LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, withBackslashes(subKey).c_str(), 0, nullptr,
                                    REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &h, nullptr);
    if (rc == ERROR_SUCCESS) out.handle_ = h;
    return rc;
}

long Key::queryValue(const std::string& name, std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) const {
    if (!handle_) return kInvalidHandle;
    DWORD t = 0;
    DWORD n = size ? *size : 0;
    const LONG rc = RegQueryValueExA(hkey(handle_), name.c_str(), nullptr, &t, data, size ? &n : nullptr);
    if (type) *type = t;
    if (size) *size = n;
    return rc;
}

long Key::queryValue(const std::string& name, std::vector<std::uint8_t>& out, std::uint32_t* type) const {
    std::uint32_t size = 0;
    long rc = queryValue(name, type, nullptr, &size);
    for (int attempt = 0; rc == kSuccess && attempt < 3; ++attempt) {
        out.resize(size);
        rc = queryValue(name, type, out.data(), &size);
        if (rc == kSuccess) {
            out.resize(size);
            return rc;
        }
        if (rc == kMoreData) rc = kSuccess;  // grew in between: again
    }
    return rc;
}

long Key::setValue(const std::string& name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size) const {
    if (!handle_) return kInvalidHandle;
    return RegSetValueExA(hkey(handle_), name.c_str(), 0, type, data, size);
}

long Key::deleteValue(const std::string& name) const {
    if (!handle_) return kInvalidHandle;
    return RegDeleteValueA(hkey(handle_), name.c_str());
}

long Key::close() {
    if (!handle_) return kInvalidHandle;
    const LONG rc = RegCloseKey(hkey(handle_));
    handle_ = nullptr;
    return rc;
}

}  // namespace platform::registry
