// The HKEY_LOCAL_MACHINE part of the Windows registry. On Windows the calls
// go to the registry itself; elsewhere a small stand-in keeps it on disk.
//
// The stand-in:
// A key is a folder under the root, a value is a file named after the value
// that holds exactly the value's data bytes. The calls give the outcomes the
// Windows calls give (ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_MORE_DATA, …).
//
// Root: $ZORV_REGISTRY, else $XDG_DATA_HOME/zorv/registry/HKEY_LOCAL_MACHINE,
// else ~/.local/share/zorv/registry/HKEY_LOCAL_MACHINE.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace platform::registry {

enum : long {
    kSuccess = 0,
    kFileNotFound = 2,
    kAccessDenied = 5,
    kInvalidHandle = 6,
    kInvalidParameter = 87,
    kMoreData = 234,
};

enum : std::uint32_t { kRegNone = 0, kRegSz = 1, kRegBinary = 3, kRegDword = 4 };

#ifndef _WIN32
// Root folder standing for HKEY_LOCAL_MACHINE, read from the environment at each call.
std::filesystem::path localMachineRoot();

// Value names may hold characters a file name cannot; they are stored escaped.
std::string valueFileName(const std::string& valueName);
#endif

class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
#ifndef _WIN32
    Key(Key&&) noexcept = default;
    Key& operator=(Key&&) noexcept = default;
    ~Key() = default;
#endif

    // RegOpenKeyEx: the key must exist. subKey uses "\" (or "/") between parts.
    static long open(const std::string& subKey, Key& out);
    // RegCreateKeyEx: opens, creating every missing part.
    static long create(const std::string& subKey, Key& out);

    // RegQueryValueEx. data may be null to ask for the size; *size is the
    // buffer size on entry and the value's size on return. A buffer that is
    // too small gives kMoreData and the size needed.
    long queryValue(const std::string& name, std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) const;
    // Convenience: the whole value, or an error code.
    long queryValue(const std::string& name, std::vector<std::uint8_t>& out, std::uint32_t* type = nullptr) const;

    // RegSetValueEx. Written to a temporary file and renamed, so a crash
    // never leaves half a value. The type is kept beside the value.
    long setValue(const std::string& name, std::uint32_t type, const std::uint8_t* data, std::uint32_t size) const;
    // RegDeleteValue.
    long deleteValue(const std::string& name) const;
    // RegCloseKey.
    long close();

#ifdef _WIN32
    Key(Key&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    Key& operator=(Key&& other) noexcept {
        if (this != &other) {
            close();
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }
    ~Key() { close(); }
    [[nodiscard]] bool isOpen() const { return handle_ != nullptr; }

private:
    void* handle_ = nullptr;  // HKEY
#else
    [[nodiscard]] bool isOpen() const { return !path_.empty(); }
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
#endif
};

}  // namespace platform::registry
