#include "SystemInfoRules.h"

#include "Texts.h"

namespace velmon::dialogs {

std::string memoryText(std::uint64_t totalBytes) {
    std::uint64_t mb = totalBytes / 1048576U + 1U;
    if (mb % 2U != 0U) {
        ++mb;
    }
    return std::to_string(mb) + " MB";
}

std::string cpuText(const std::string& name, std::int16_t speed) {
    return name + std::to_string(speed);
}

SystemInfoRules::SystemInfoRules(DialogMonitor& monitor, SensorPort& sensors, MemoryPort& memory)
    : monitor_(monitor), sensors_(sensors), memory_(memory) {}

std::string SystemInfoRules::query(DmiText which) {
    // One buffer serves every query; a library that leaves no NUL in it is
    // still read only within its 80 bytes.
    sensors_.text(which, buffer_);
    return trimAtNull(buffer_.data(), buffer_.size());
}

SystemInfoTexts SystemInfoRules::formLoad() {
    monitor_.tmrMonitor().setEnabled(false);
    loaded_ = true;
    SystemInfoTexts t;
    t.manufacturer = query(DmiText::MBManufacturer);
    t.product = query(DmiText::MBProduct);
    t.biosVendor = query(DmiText::BIOSVender);
    t.biosVersion = query(DmiText::BIOSVersion);
    const std::int16_t speed = sensors_.mbClock();
    t.cpu = cpuText(query(DmiText::CPUName), speed);
    t.memory = memoryText(memory_.totalPhysicalBytes());
    return t;
}

void SystemInfoRules::okClicked(DialogWindow& window) {
    window.close();
    monitor_.mainView().setTopmost(true);
}

void SystemInfoRules::formUnload() {
    if (!loaded_) {
        return;
    }
    loaded_ = false;
    monitor_.tmrMonitor().setEnabled(true);
}

}  // namespace velmon::dialogs
