#include "DriverService.h"

namespace zorvdmi {
namespace {

void putWord(std::array<std::uint8_t, 24>& b, std::size_t word, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) b[word * 4 + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::array<std::uint8_t, 24> mapRequest() {
    std::array<std::uint8_t, 24> b{};
    putWord(b, 0, 1);
    putWord(b, 1, 0);
    putWord(b, 2, 0xF0000);  // physical start, low half
    putWord(b, 3, 0);        // high half
    putWord(b, 4, 0);
    putWord(b, 5, 0xFFFF);   // length
    return b;
}

void DriverService::load() {
    ntMode_ = false;
    if (system_.platformId() != win::kPlatformWindowsNt) return;
    ntMode_ = true;
    // No fixed-size buffer here, so a long Windows folder keeps its full path.
    driverPath_ = system_.windowsDirectory() + "\\system32\\drivers\\zvlm75.sys";

    manager_ = system_.openManager(win::kManagerAllAccess);
    if (manager_ == 0) system_.showMessage("Can't open service control manager", kMessageCaption);

    const ServiceHandle created = system_.createService(manager_, kServiceName, kServiceName, win::kServiceAllAccess,
                                                        win::kKernelDriver, win::kDemandStart, win::kErrorNormal,
                                                        driverPath_);
    if (created != 0) {
        system_.closeServiceHandle(created);
    } else if (system_.lastError() != win::kServiceExists) {
        system_.showMessage("Can't create driver service ", kMessageCaption);
    }

    const ServiceHandle service = system_.openService(manager_, kServiceName, win::kServiceAllAccess);
    if (service != 0) {
        if (!system_.startService(service) && system_.lastError() != win::kAlreadyRunning)
            system_.showMessage("Can't execute driver service ", kMessageCaption);
        system_.closeServiceHandle(service);
    } else {
        system_.showMessage("Can't open driver service ", kMessageCaption);
    }

    device_ = system_.openDevice(kDevicePath, win::kGenericReadWrite, 0, win::kCreateAlways, win::kAttributeNormal);
}

std::optional<std::uint32_t> DriverService::mapBiosWindow() {
    if (device_ == kInvalidDevice) return std::nullopt;
    const auto request = mapRequest();
    std::array<std::uint8_t, 4> out{};
    if (!system_.deviceControl(device_, win::kMapControlCode, request, out)) return std::nullopt;
    return static_cast<std::uint32_t>(out[0]) | (static_cast<std::uint32_t>(out[1]) << 8) |
           (static_cast<std::uint32_t>(out[2]) << 16) | (static_cast<std::uint32_t>(out[3]) << 24);
}

void DriverService::unmapBiosWindow(std::uint32_t address) {
    if (address == 0 || device_ == kInvalidDevice) return;
    const std::array<std::uint8_t, 4> in{static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8),
                                         static_cast<std::uint8_t>(address >> 16),
                                         static_cast<std::uint8_t>(address >> 24)};
    (void)system_.deviceControl(device_, win::kUnmapControlCode, in, {});
}

void DriverService::unload() {
    if (!ntMode_) return;
    if (device_ != kInvalidDevice) system_.closeDevice(device_);
    const ServiceHandle service = system_.openService(manager_, kServiceName, win::kServiceAllAccess);
    if (service != 0) {
        (void)system_.controlService(service, win::kControlStop);
        (void)system_.deleteService(service);
        system_.closeServiceHandle(service);
    } else {
        system_.showMessage("Can't open zvLM75 driver service ", kMessageCaption);
    }
    if (manager_ != 0) system_.closeServiceHandle(manager_);
}

}  // namespace zorvdmi
