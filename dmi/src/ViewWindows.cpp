// The Windows realisation: the service manager and device calls of the
// driver sequence, the load and unload notifications, and the view of each
// operation (a captured image when one is given; else a driver-mapped
// window on Windows NT, low memory read in place on Windows 95).
#ifdef _WIN32

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "DriverService.h"
#include "FlatView.h"
#include "Sources.h"
#include "ViewLease.h"

namespace zorvdmi {
namespace {

class WindowsServiceManager final : public ServiceManager {
public:
    int platformId() override {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;  // 148
        if (!GetVersionExA(&info)) return 0;
        return static_cast<int>(info.dwPlatformId);
    }
    std::string windowsDirectory() override {
        // Sized by the system, so that a long folder keeps its full path.
        const UINT size = GetWindowsDirectoryA(nullptr, 0);
        if (size == 0) return {};
        std::string dir(size, '\0');
        const UINT n = GetWindowsDirectoryA(dir.data(), size);
        dir.resize(n < size ? n : 0);
        return dir;
    }
    ServiceHandle openManager(std::uint32_t access) override {
        return reinterpret_cast<ServiceHandle>(OpenSCManagerA(nullptr, nullptr, access));
    }
    ServiceHandle createService(ServiceHandle manager, const std::string& name, const std::string& displayName,
                                std::uint32_t access, std::uint32_t type, std::uint32_t start,
                                std::uint32_t errorControl, const std::string& binaryPath) override {
        return reinterpret_cast<ServiceHandle>(CreateServiceA(sc(manager), name.c_str(), displayName.c_str(), access,
                                                              type, start, errorControl, binaryPath.c_str(), nullptr,
                                                              nullptr, nullptr, nullptr, nullptr));
    }
    ServiceHandle openService(ServiceHandle manager, const std::string& name, std::uint32_t access) override {
        return reinterpret_cast<ServiceHandle>(OpenServiceA(sc(manager), name.c_str(), access));
    }
    bool startService(ServiceHandle service) override { return StartServiceA(sc(service), 0, nullptr) != 0; }
    bool controlService(ServiceHandle service, std::uint32_t control) override {
        SERVICE_STATUS status{};
        return ControlService(sc(service), control, &status) != 0;
    }
    bool deleteService(ServiceHandle service) override { return DeleteService(sc(service)) != 0; }
    void closeServiceHandle(ServiceHandle handle) override { CloseServiceHandle(sc(handle)); }
    std::uint32_t lastError() override { return GetLastError(); }
    DeviceHandle openDevice(const std::string& path, std::uint32_t access, std::uint32_t share,
                            std::uint32_t disposition, std::uint32_t attributes) override {
        return reinterpret_cast<DeviceHandle>(
            CreateFileA(path.c_str(), access, share, nullptr, disposition, attributes, nullptr));
    }
    bool deviceControl(DeviceHandle device, std::uint32_t code, std::span<const std::uint8_t> in,
                       std::span<std::uint8_t> out) override {
        DWORD returned = 0;
        return DeviceIoControl(reinterpret_cast<HANDLE>(device), code, const_cast<std::uint8_t*>(in.data()),
                               static_cast<DWORD>(in.size()), out.empty() ? nullptr : out.data(),
                               static_cast<DWORD>(out.size()), &returned, nullptr) != 0;
    }
    void closeDevice(DeviceHandle device) override { CloseHandle(reinterpret_cast<HANDLE>(device)); }
    // $ZORVDMI_MESSAGE_LOG answers the boxes for unattended runs: each
    // message is appended to that file as one line, as if OK were pressed.
    void showMessage(const std::string& text, const std::string& caption) override {
        if (const char* log = std::getenv("ZORVDMI_MESSAGE_LOG"); log && *log) {
            if (std::FILE* f = std::fopen(log, "ab")) {
                std::fprintf(f, "%s|%s\n", caption.c_str(), text.c_str());
                std::fclose(f);
            }
            return;
        }
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
    }

private:
    static SC_HANDLE sc(ServiceHandle h) { return reinterpret_cast<SC_HANDLE>(h); }
};

WindowsServiceManager& services() {
    static WindowsServiceManager instance;
    return instance;
}

DriverService& driver() {
    static DriverService instance(services());
    return instance;
}

// The driver answers with a 4-byte address. It is read only where it names
// that many readable bytes of this process: a 64-bit process cannot even be
// told an address above 4 GiB, and a wrong answer must not crash the caller.
bool readable(std::uintptr_t address, std::size_t size) {
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const std::uintptr_t end = address + size;
    for (std::uintptr_t at = address; at < end;) {
        MEMORY_BASIC_INFORMATION info{};
        if (VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof info) == 0) return false;
        if (info.State != MEM_COMMIT || (info.Protect & PAGE_GUARD) || !(info.Protect & kReadable)) return false;
        at = reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize;
    }
    return address != 0;
}

// A captured BIOS area ($ZORVDMI_IMAGE) stands in for the machine's own, so
// no driver is set up for a process that reads one.
const std::optional<Image>& capturedImage() {
    static const std::optional<Image> image = []() -> std::optional<Image> {
        const char* path = std::getenv("ZORVDMI_IMAGE");
        if (!path || !*path) return std::nullopt;
        return loadImageFile(path);
    }();
    return image;
}

// Windows 95 shows the first megabyte at the same addresses in every
// process. Its first page holds no table and is not read.
class LowMemory final : public PhysicalMemory {
public:
    bool read(std::uint32_t address, std::span<std::uint8_t> out) override {
        if (address < 0x1000 || address > kFlatLimit || out.size() > kFlatLimit - address) return false;
        std::memcpy(out.data(), reinterpret_cast<const void*>(static_cast<std::uintptr_t>(address)), out.size());
        return true;
    }
};

}  // namespace

ViewLease::ViewLease() {
    if (const auto& image = capturedImage()) {
        view_ = image->view();
        return;
    }
    if (!driver().ntMode()) {
        LowMemory memory;
        copy_ = readFlatImage(memory);
        view_ = {platform::ByteSpan(copy_.data(), copy_.size()), Mode::Flat};
        return;
    }
    if (const auto address = driver().mapBiosWindow()) {
        if (!readable(*address, kWindowSize)) {
            driver().unmapBiosWindow(*address);
            return;
        }
        mapped_ = *address;
        view_ = {platform::ByteSpan(reinterpret_cast<const std::uint8_t*>(mapped_), kWindowSize), Mode::Window};
    }
}

ViewLease::~ViewLease() {
    if (mapped_) driver().unmapBiosWindow(static_cast<std::uint32_t>(mapped_));
}

std::intptr_t serviceHandle() { return driver().deviceHandle(); }

}  // namespace zorvdmi

// Both notifications report success, so the library loads whatever the
// driver set-up gives.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (zorvdmi::capturedImage()) return TRUE;
    if (reason == DLL_PROCESS_ATTACH) zorvdmi::driver().load();
    if (reason == DLL_PROCESS_DETACH) zorvdmi::driver().unload();
    return TRUE;
}

#endif  // _WIN32
