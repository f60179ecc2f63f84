// Runs the exported queries of a freshly loaded library in a child process,
// so that each run chooses its image anew from the environment it is given.
#pragma once

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "zorvdmi.h"

namespace dmitest {

using Env = std::vector<std::pair<std::string, std::string>>;

inline std::string stageDir() {
    const char* s = std::getenv("VELMON_STAGE_DIR");
    return s ? s : "";
}

inline std::string dataDir() {
    const char* s = std::getenv("DMI_TEST_DATA");
    return s ? s : "";
}

// The result of fn() computed in a child whose environment has env applied
// (an empty value is set as empty). ok is false when the child failed.
template <typename T>
std::pair<bool, T> inChild(const Env& env, const std::function<T()>& fn) {
    static_assert(std::is_trivially_copyable_v<T>);
    int fds[2];
    if (pipe(fds) != 0) return {false, T{}};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
        const T value = fn();
        const auto* p = reinterpret_cast<const char*>(&value);
        std::size_t left = sizeof value;
        while (left > 0) {
            const ssize_t n = write(fds[1], p, left);
            if (n <= 0) _exit(2);
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(fds[1]);
    T value{};
    auto* p = reinterpret_cast<char*>(&value);
    std::size_t got = 0;
    while (got < sizeof value) {
        const ssize_t n = read(fds[0], p + got, sizeof value - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return {got == sizeof value && WIFEXITED(status) && WEXITSTATUS(status) == 0, value};
}

// Every answer of the library, as one plain record.
struct Answers {
    bool loaded;
    char biosVendor[80], biosVersion[80], biosDate[80];
    char mbManufacturer[80], mbProduct[80], mbVersion[80], mbSerial[80];
    char cpuVendor[80], cpuVersion[80], mbSocket[80];
    std::int32_t venderResult;
    bool versionReturnsBuffer;
    std::uint8_t family, voltage;
    std::uint16_t clock;
    std::uint8_t cpuid[8];
    bool hasInfo;
    bool infoStable;  // the same address on a second call
    DmiProcessorRecord info;
    std::int32_t dmi20, notebook;
    std::intptr_t serviceHandle;
};

inline Answers queryAll(const std::string& library) {
    Answers a{};
    void* h = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) return a;
    a.loaded = true;
    using Str = char* (*)(char*);
    auto str = [&](const char* name, char* out) {
        std::memset(out, 0x55, 80);
        if (auto f = reinterpret_cast<Str>(dlsym(h, name))) {
            char* r = f(out);
            if (std::strcmp(name, "DMI_GetBIOSVersion") == 0) a.versionReturnsBuffer = r == out;
        }
        out[79] = '\0';
    };
    std::memset(a.biosVendor, 0x55, 80);
    a.venderResult = reinterpret_cast<std::int32_t (*)(char*)>(dlsym(h, "DMI_GetBIOSVender"))(a.biosVendor);
    a.biosVendor[79] = '\0';
    str("DMI_GetBIOSVersion", a.biosVersion);
    str("DMI_GetBIOSDate", a.biosDate);
    str("DMI_GetMBManufacturer", a.mbManufacturer);
    str("DMI_GetMBProduct", a.mbProduct);
    str("DMI_GetMBVersion", a.mbVersion);
    str("DMI_GetMBSerial", a.mbSerial);
    str("DMI_GetCPUVendor", a.cpuVendor);
    str("DMI_GetCPUVersion", a.cpuVersion);
    str("DMI_GetMBSocket", a.mbSocket);
    a.family = reinterpret_cast<std::uint8_t (*)()>(dlsym(h, "DMI_GetCPUFamily"))();
    a.voltage = reinterpret_cast<std::uint8_t (*)()>(dlsym(h, "DMI_GetCPUVoltage"))();
    a.clock = reinterpret_cast<std::uint16_t (*)()>(dlsym(h, "DMI_GetMBClock"))();
    std::memset(a.cpuid, 0xAA, sizeof a.cpuid);
    reinterpret_cast<void (*)(std::uint8_t*)>(dlsym(h, "DMI_GetCPUID"))(a.cpuid);
    auto info = reinterpret_cast<const DmiProcessorRecord* (*)()>(dlsym(h, "DMI_GetCPUInfo"));
    const DmiProcessorRecord* r = info();
    a.hasInfo = r != nullptr;
    if (r) {
        a.info = *r;
        a.infoStable = info() == r;
    }
    a.dmi20 = reinterpret_cast<std::int32_t (*)()>(dlsym(h, "DMI_IsDMI20BIOS"))();
    a.notebook = reinterpret_cast<std::int32_t (*)()>(dlsym(h, "DMI_IsNoteBook"))();
    a.serviceHandle = reinterpret_cast<std::intptr_t (*)()>(dlsym(h, "DMI_GetServiceHandle"))();
    return a;
}

inline std::string libraryPath() { return stageDir() + "/libzorvdmi.so"; }

// An environment that reads only the given image (or nothing at all).
inline Env onlyImage(const std::string& image, const std::string& emptyDir) {
    return {{"ZORVDMI_IMAGE", image}, {"ZORVDMI_SYSFS_ROOT", emptyDir}, {"ZORVDMI_DEVMEM", ""},
            {"ZORVDMI_CPUINFO", emptyDir + "/cpuinfo"}};
}

inline Answers answersFor(const Env& env) {
    auto [ok, a] = inChild<Answers>(env, [] { return queryAll(libraryPath()); });
    if (!ok) a.loaded = false;
    return a;
}

// A temporary folder removed with its object.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zorvdmi-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace dmitest
