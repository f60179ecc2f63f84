// Prints what libzorv reads, once or every second: a quick look at a source
// without starting Velmon.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "HwmonSource.h"
#include "platform/ModulePath.h"
#include "zorv.h"

namespace {

void printOnce(int32_t mask) {
    struct Row {
        const char* name;
        int16_t (*read)();
        const char* unit;
    };
    static const Row rows[] = {
        {"cpu_fan", GetFanCPURPM, "RPM"},   {"power_fan", GetFanPowerRPM, "RPM"}, {"chassis_fan", GetFanChasisRPM, "RPM"},
        {"cpu_temp", GetCPUTemperature, "C"}, {"mb_temp", GetMBTemperature, "C"},  {"in0", GetVoltIN0, "mV"},
        {"in1", GetVoltIN1, "mV"},          {"in2", GetVoltIN2, "mV"},          {"in3", GetVoltIN3, "mV"},
        {"in4", GetVoltIN4, "mV"},          {"in5", GetVoltIN5, "mV"},          {"in6", GetVoltIN6, "mV"},
    };
    for (int i = 0; i < 12; ++i) {
        if (mask & (1 << i))
            std::printf("%-11s %6d %s\n", rows[i].name, rows[i].read(), rows[i].unit);
        else
            std::printf("%-11s %6s\n", rows[i].name, "absent");
    }
}

void printBoard() {
    char buf[ZORV_TEXT_BUFFER];
    std::printf("board       %s", DMI_GetMBManufacturer(buf));
    std::printf(" %s\n", DMI_GetMBProduct(buf));
    DMI_GetBIOSVender(buf);
    std::printf("bios        %s", buf);
    std::printf(" %s\n", DMI_GetBIOSVersion(buf));
    GetCPUName(buf);
    std::printf("cpu         %s%d\n", buf, DMI_GetMBClock());
}

// The hwmon source's own view, built here rather than through the exports so
// that it shows the map even when zorv.conf chooses another source.
int printHwmonList() {
    const std::string exe = platform::executablePath();
    const zorv::Config config = zorv::loadConfig(exe.empty() ? std::string() : platform::directoryOf(exe));
    zorv::hwmon::HwmonSource source(
        zorv::hwmon::openLibSensors(zorv::hwmon::kLibSensors, zorv::hwmon::sensorsConfigPath()), config);
    std::fputs(source.listing(config).c_str(), stdout);
    return 0;
}

void usage() {
    std::puts("usage: zorvread [--watch] [--board] | --list\n"
              "  prints the twelve readings of the source that ZORV_SOURCE or zorv.conf chooses\n"
              "  (\"absent\" for a channel the machine does not have)\n"
              "  --watch   print them again every second\n"
              "  --board   also print the DMI board, BIOS and processor facts\n"
              "  --list    print every chip feature libsensors sees and the channel map in force;\n"
              "            a line \"cpu_fan = CHIP/FEATURE\" in zorv.conf maps a channel");
}

}  // namespace

int main(int argc, char** argv) {
    bool watch = false, board = false, list = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--watch") watch = true;
        else if (a == "--board") board = true;
        else if (a == "--list") list = true;
        else if (a == "--help" || a == "-h") {
            usage();
            return 0;
        } else {
            std::fprintf(stderr, "zorvread: unknown option '%s'\n", argv[i]);
            usage();
            return 2;
        }
    }
    if (list) return printHwmonList();
    if (board) printBoard();
    const int32_t mask = GetChannelMask();  // asked once, as Velmon does
    do {
        printOnce(mask);
        if (watch) {
            std::puts("");
            std::fflush(stdout);
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    } while (watch);
    return 0;
}
