// A sensor library's list and save as the Sensors dialog's tests need them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "DialogPorts.h"

namespace velmon::dialogs {

// The list of a desktop: two Nuvoton fan headers, an NVMe drive, SYSTIN, in4.
inline std::string listing(const std::string& source, const std::string& kind, const std::string& extra = "") {
    std::string t = "source\t" + source + "\t" + kind + "\nconfig\t/home/u/.config/zorv/zorv.conf\n"
                    "sensor\tfan\tnct6775-isa-0290\tfan2\tfan2\t880.000\tcpu_fan\n"
                    "sensor\tfan\tnct6775-isa-0290\tfan3\tfan3\t760.000\t-\n"
                    "sensor\ttemp\tnvme-pci-0100\ttemp1\tComposite\t38.850\t-\n"
                    "sensor\ttemp\tnct6775-isa-0290\ttemp1\tSYSTIN\t30.000\tmb_temp\n"
                    "sensor\tin\tnct6775-isa-0290\tin4\tin4\t1.528\t-\n" + extra;
    t += "channel\tmb_temp\tauto\tnct6775-isa-0290/temp1\t-\n";
    const char* keys[] = {"cpu_fan", "power_fan", "chassis_fan", "cpu_temp", "mb_temp", "in0",
                          "in1", "in2", "in3", "in4", "in5", "in6"};
    for (const char* k : keys)
        if (std::string(k) != "mb_temp") t += std::string("channel\t") + k + "\tauto\t-\tnot mapped\n";
    return t;
}

struct FakeChoice final : SensorChoicePort {
    std::optional<std::string> list;
    std::vector<std::string> saved;
    bool refuse = false;
    int reloads = 0;
    std::optional<std::string> sensorList() override { return list; }
    bool save(const std::string& choices, std::string& message) override {
        if (refuse) {
            message = "cannot write /home/u/.config/zorv/zorv.conf: No space left on device";
            return false;
        }
        saved.push_back(choices);
        message = "/home/u/.config/zorv/zorv.conf";
        return true;
    }
    void reload() override { ++reloads; }
};

}  // namespace velmon::dialogs
