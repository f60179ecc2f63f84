// The Windows realisation: the service manager and device calls of the
// driver sequence, the load and unload notifications, and the view of each
// operation (a driver-mapped window on Windows NT, low memory read in place
// on Windows 95).
#ifdef _WIN32

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstring>

#include "DriverService.h"
#include "FlatView.h"
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
    void showMessage(const std::string& text, const std::string& caption) override {
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
    if (!driver().ntMode()) {
        LowMemory memory;
        copy_ = readFlatImage(memory);
        view_ = {platform::ByteSpan(copy_.data(), copy_.size()), Mode::Flat};
        return;
    }
    if (const auto address = driver().mapBiosWindow()) {
        mapped_ = *address;
        view_ = {platform::ByteSpan(reinterpret_cast<const std::uint8_t*>(mapped_), kWindowSize), Mode::Window};
    }
}

ViewLease::~ViewLease() {
    if (mapped_) driver().unmapBiosWindow(static_cast<std::uint32_t>(mapped_));
}

std::intptr_t serviceHandle() { return driver().deviceHandle(); }

}  // namespace zorvdmi

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) zorvdmi::driver().load();
    if (reason == DLL_PROCESS_DETACH) zorvdmi::driver().unload();
    return TRUE;
}

#endif  // _WIN32
