// Prints what libzorv reads, once or every second: a quick look at a source
// without starting Velmon.
#include <dlfcn.h>
#include <sys/sysinfo.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "HwmonDefaults.h"
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

// The text before the first NUL of an 80-byte buffer, as the dialog reads it.
std::string trimmed(const char* buf) { return std::string(buf, strnlen(buf, ZORV_TEXT_BUFFER)); }

// What the System Information dialog shows, label for label and in its
// order: the CPU name with the speed right after it, memory in whole MB plus
// one, made even.
void printBoard() {
    // Velmon's startup stores the hardware data file before anything asks for a name.
    const std::string exe = platform::executablePath();
    if (!exe.empty()) {
        const std::string ahd = platform::directoryOf(exe) + "/libzorvahd.so";
        if (void* lib = dlopen(ahd.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            if (auto store = reinterpret_cast<std::int32_t (*)()>(dlsym(lib, "WriteCPUInfoIntoRegistry"))) store();
        }
    }
    char buf[ZORV_TEXT_BUFFER];
    auto query = [&](auto fn) {
        std::memset(buf, 0, sizeof buf);
        fn(buf);
        return trimmed(buf);
    };
    const std::string manufacturer = query(DMI_GetMBManufacturer);
    const std::string product = query(DMI_GetMBProduct);
    const std::string vendor = query(DMI_GetBIOSVender);
    const std::string version = query(DMI_GetBIOSVersion);
    const int speed = DMI_GetMBClock();
    const std::string cpu = query(GetCPUName) + std::to_string(speed);
    struct sysinfo si {};
    std::uint64_t mb = 0;
    if (sysinfo(&si) == 0) mb = static_cast<std::uint64_t>(si.totalram) * si.mem_unit / 1048576U + 1U;
    if (mb % 2U != 0U) ++mb;
    std::printf("Mainboard\n");
    std::printf("  Manufacturer:     %s\n", manufacturer.c_str());
    std::printf("  Product:          %s\n", product.c_str());
    std::printf("  CPU:              %s\n", cpu.c_str());
    std::printf("  Physical Memory:  %llu MB\n", static_cast<unsigned long long>(mb));
    std::printf("BIOS\n");
    std::printf("  Vendor:           %s\n", vendor.c_str());
    std::printf("  Version:          %s\n\n", version.c_str());
}

// What a source is, in a few words, for the first line of --list.
std::string describeSource(const std::string& name) {
    if (name == "sim") return "a simulated LM78 board";
    if (name.rfind("sim:", 0) == 0) return "a simulated LM78 board with the scenario " + name.substr(4);
    if (name == "hwmon") return "the machine's sensor chips through libsensors";
    if (name.rfind("file:", 0) == 0) return "readings from the file " + name.substr(5);
    return "unknown";
}

// --list: the source in force first, then what it has. The hwmon source's
// chips and map are built here rather than through the exports, so that they
// can be shown even when zorv.conf or ZORV_SOURCE chooses another source;
// then they are shown as what hwmon would use, not as what is in force.
int printList() {
    const std::string exe = platform::executablePath();
    const zorv::Config config = zorv::loadConfig(exe.empty() ? std::string() : platform::directoryOf(exe));
    const std::string name = zorv::chooseSourceName(config);
    const std::string origin = zorv::sourceOrigin(config);
    std::printf("source in force: %s (%s), %s\n", name.c_str(),
                origin.empty() ? "the default" : ("from " + origin).c_str(), describeSource(name).c_str());
    // An unknown name ends here; a hwmon source that reads nothing is listed,
    // then said why below.
    if (char why[256]; GetSourceError(why, sizeof why) == 1) {
        std::printf("it cannot be used: %s\n", why);
        return 1;
    }
    zorv::hwmon::HwmonSource source(
        zorv::hwmon::openLibSensors(zorv::hwmon::kLibSensors, zorv::hwmon::sensorsConfigPath()), config);
    if (name == "hwmon") {
        std::puts("");
        std::fputs(source.listing(config).c_str(), stdout);
        // "no chips found" alone leaves the user guessing: say why, and end so
        // that a script sees it.
        if (const zorv::Source::Trouble t = source.trouble(); !t.text.empty()) {
            std::fflush(stdout);
            std::fprintf(stderr, "zorvread: %s\n", t.text.c_str());
            return t.noChip ? 3 : 2;
        }
        return 0;
    }
    // Velmon takes its defaults from the source in use; only hwmon has any of the machine's own.
    std::printf("\nthe source in use is %s, not hwmon; what it has, and its defaults:\n", name.c_str());
    const int32_t mask = GetChannelMask();
    for (int i = 0; i < zorv::kChannelCount; ++i) {
        const auto channel = static_cast<zorv::Channel>(i);
        const std::string text = (mask & (1 << i)) ? "default " + zorv::hwmon::describeDefault(channel, {}) : "absent";
        std::printf("  %-12s %s\n", std::string(zorv::channelName(channel)).c_str(), text.c_str());
    }
    std::puts("\nreadings now:");
    printOnce(mask);
    std::string hwmon = source.listing(config);
    if (hwmon.find("no chips found") != std::string::npos) {
        std::puts("\n(the hwmon source, not in force, finds no chips here)");
        return 0;
    }
    for (std::size_t at; (at = hwmon.find("map in force")) != std::string::npos;)
        hwmon.replace(at, 12, "map hwmon would use");
    std::printf("\nthe hwmon source, not in force, would see:\n%s", hwmon.c_str());
    return 0;
}

void usage() {
    std::puts("usage: zorvread [--watch] [--board] | --list\n"
              "  prints the twelve readings of the source that ZORV_SOURCE or zorv.conf chooses\n"
              "  (\"absent\" for a channel the machine does not have)\n"
              "  --watch   print them again every second\n"
              "  --board   first print what System Information shows: board, processor name\n"
              "            and speed, memory, BIOS\n"
              "  --list    name the source in force and list what it has: for hwmon every chip\n"
              "            feature libsensors sees, the channel map in force and each channel's\n"
              "            default threshold and where it comes from (a line\n"
              "            \"cpu_fan = CHIP/FEATURE\" in zorv.conf maps a channel); for sim and\n"
              "            file: the channels, their defaults and readings\n"
              "exit status:\n"
              "  0  read (or listed) as asked\n"
              "  1  the source chosen cannot read (an unknown name, libsensors missing, no chip);\n"
              "     stderr says why\n"
              "  2  a wrong option; with --list: libsensors could not be loaded\n"
              "  3  with --list: libsensors finds no sensor chip under /sys/class/hwmon");
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
    if (list) return printList();
    if (char why[256]; GetSourceError(why, sizeof why) != 0) {
        std::fprintf(stderr, "zorvread: %s\n", why);
        return 1;
    }
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
