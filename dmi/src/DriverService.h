// The kernel-driver service that maps the BIOS area on Windows NT: its load
// and unload sequence, written against a small service-manager-and-device
// interface so that the sequence is the same wherever it runs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace zorvdmi {

// Service manager and service handles: 0 is none. Device handles: -1 is the
// invalid-handle value.
using ServiceHandle = std::uintptr_t;
using DeviceHandle = std::intptr_t;
inline constexpr DeviceHandle kInvalidDevice = -1;

namespace win {
inline constexpr int kPlatformWindowsNt = 2;
inline constexpr std::uint32_t kManagerAllAccess = 0xF003F;
inline constexpr std::uint32_t kServiceAllAccess = 0xF01FF;
inline constexpr std::uint32_t kKernelDriver = 1;
inline constexpr std::uint32_t kDemandStart = 3;
inline constexpr std::uint32_t kErrorNormal = 1;
inline constexpr std::uint32_t kServiceExists = 1073;
inline constexpr std::uint32_t kAlreadyRunning = 1056;
inline constexpr std::uint32_t kControlStop = 1;
inline constexpr std::uint32_t kGenericReadWrite = 0xC0000000;
inline constexpr std::uint32_t kCreateAlways = 2;
inline constexpr std::uint32_t kAttributeNormal = 0x80;
inline constexpr std::uint32_t kMapControlCode = 0xA028244C;
inline constexpr std::uint32_t kUnmapControlCode = 0xA0282450;
}  // namespace win

inline constexpr const char* kServiceName = "zvlm75";
inline constexpr const char* kDevicePath = "\\\\.\\ZVLM75";
inline constexpr const char* kMessageCaption = "ZORV DMI Browser DLL";

// The 24-byte input of the map request: 1, 0, 0xF0000, 0, 0, 0xFFFF.
std::array<std::uint8_t, 24> mapRequest();

class ServiceManager {
public:
    virtual ~ServiceManager() = default;
    virtual int platformId() = 0;
    virtual std::string windowsDirectory() = 0;
    virtual ServiceHandle openManager(std::uint32_t access) = 0;
    virtual ServiceHandle createService(ServiceHandle manager, const std::string& name, const std::string& displayName,
                                        std::uint32_t access, std::uint32_t type, std::uint32_t start,
                                        std::uint32_t errorControl, const std::string& binaryPath) = 0;
    virtual ServiceHandle openService(ServiceHandle manager, const std::string& name, std::uint32_t access) = 0;
    virtual bool startService(ServiceHandle service) = 0;
    virtual bool controlService(ServiceHandle service, std::uint32_t control) = 0;
    virtual bool deleteService(ServiceHandle service) = 0;
    virtual void closeServiceHandle(ServiceHandle handle) = 0;
    virtual std::uint32_t lastError() = 0;
    virtual DeviceHandle openDevice(const std::string& path, std::uint32_t access, std::uint32_t share,
                                    std::uint32_t disposition, std::uint32_t attributes) = 0;
    virtual bool deviceControl(DeviceHandle device, std::uint32_t code, std::span<const std::uint8_t> in,
                               std::span<std::uint8_t> out) = 0;
    virtual void closeDevice(DeviceHandle device) = 0;
    virtual void showMessage(const std::string& text, const std::string& caption) = 0;
};

class DriverService {
public:
    explicit DriverService(ServiceManager& system) : system_(system) {}

    // Whatever fails is reported by its message and the sequence goes on.
    void load();
    void unload();

    // The address at which the driver mapped the 65,535 bytes from
    // physical 0xF0000, or none.
    std::optional<std::uint32_t> mapBiosWindow();
    void unmapBiosWindow(std::uint32_t address);

    [[nodiscard]] bool ntMode() const { return ntMode_; }
    [[nodiscard]] DeviceHandle deviceHandle() const { return device_; }
    [[nodiscard]] const std::string& driverPath() const { return driverPath_; }

private:
    ServiceManager& system_;
    bool ntMode_ = false;
    ServiceHandle manager_ = 0;
    DeviceHandle device_ = 0;
    std::string driverPath_;
};

}  // namespace zorvdmi
