// frmSystem's rules: what the machine says about itself, read once at load.
#pragma once

#include <cstdint>
#include <string>

#include "DialogPorts.h"

namespace velmon::dialogs {

struct SystemInfoTexts {
    std::string manufacturer;  // lblMBManufacturer
    std::string product;       // lblMBProduct
    std::string cpu;           // lblCPU
    std::string memory;        // lblMemory
    std::string biosVendor;    // lblBIOSVendor
    std::string biosVersion;   // lblBIOSVersion
};

// Whole MB plus one, made even: 33,554,432 bytes give "34 MB". Counted in 64
// bits, so memory beyond 2 GiB is not wrapped negative.
std::string memoryText(std::uint64_t totalBytes);

// The CPU name immediately followed by the speed, no separator: "Pentium II300".
std::string cpuText(const std::string& name, std::int16_t speed);

class SystemInfoRules {
public:
    SystemInfoRules(DialogMonitor& monitor, SensorPort& sensors, MemoryPort& memory);

    // Form_Load after centring: pauses polling, then the queries in order.
    SystemInfoTexts formLoad();
    // cmdOK_Click: close (running formUnload), then the main window topmost again.
    void okClicked(DialogWindow& window);
    // Form_Unload: polling runs again; closing by the frame does only this.
    void formUnload();

private:
    std::string query(DmiText which);

    DialogMonitor& monitor_;
    SensorPort& sensors_;
    MemoryPort& memory_;
    TextBuffer buffer_{};
    bool loaded_ = false;
};

}  // namespace velmon::dialogs
