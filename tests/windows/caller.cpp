// Loads each library by name, as the monitor and the sensor library do on
// Windows, binds the exports by their undecorated names and checks the
// answers on a captured BIOS image:
//   caller.exe STAGE_DIR
// with ZORVDMI_IMAGE set to tests/dmi/data/p2b-0922-97.bin and ZORV_SOURCE
// to a readings file. Prints one line per failed check; exit 1 on any.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include "zorvahd.h"
#include "zorvdmi.h"

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
    if (!ok) {
        std::printf("FAILED: %s\n", what.c_str());
        ++failures;
    }
}

void checkText(const std::string& got, const std::string& want, const std::string& what) {
    check(got == want, what + ": got \"" + got + "\", want \"" + want + "\"");
}

// The export by its plain name, typed as the header declares it (stdcall).
// zorv.dll's DMI and CPU-name exports have the same types as the DMI and CPU
// data libraries' ones, except DMI_GetMBClock.
template <auto& Fn>
auto bind(HMODULE module, const char* name) {
    using Ptr = std::add_pointer_t<std::remove_reference_t<decltype(Fn)>>;
    auto p = reinterpret_cast<Ptr>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    check(p != nullptr, std::string("export ") + name);
    return p;
}

template <auto& Fn>
std::string text(HMODULE module, const char* name) {
    char buffer[80];
    std::memset(buffer, 0x55, sizeof buffer);
    auto fn = bind<Fn>(module, name);
    if (!fn) return "<missing>";
    fn(buffer);
    if (!std::memchr(buffer, 0, sizeof buffer)) return "<unterminated>";
    return buffer;
}

// The exports carry the Windows calling convention the callers bind with.
static_assert(std::is_same_v<decltype(&DMI_GetMBClock), uint16_t(__stdcall*)(void)>);
static_assert(std::is_same_v<decltype(&DoYouKnowThisCPU), int32_t(__stdcall*)(const void*, int32_t)>);

void checkDmi(HMODULE dmi) {
    checkText(text<DMI_GetBIOSVender>(dmi, "DMI_GetBIOSVender"), "Firmware Works", "ZORVDMI BIOS vendor");
    checkText(text<DMI_GetBIOSVersion>(dmi, "DMI_GetBIOSVersion"), "1.00.07", "ZORVDMI BIOS version");
    checkText(text<DMI_GetBIOSDate>(dmi, "DMI_GetBIOSDate"), "09/22/97", "ZORVDMI BIOS date");
    checkText(text<DMI_GetMBManufacturer>(dmi, "DMI_GetMBManufacturer"), "Board Maker Inc.", "ZORVDMI board maker");
    checkText(text<DMI_GetMBProduct>(dmi, "DMI_GetMBProduct"), "P2B-LS", "ZORVDMI board product");
    checkText(text<DMI_GetCPUVendor>(dmi, "DMI_GetCPUVendor"), "Zorvel", "ZORVDMI processor maker");
    checkText(text<DMI_GetCPUVersion>(dmi, "DMI_GetCPUVersion"), "Zorvel Pro 450", "ZORVDMI processor version");
    if (auto clock = bind<DMI_GetMBClock>(dmi, "DMI_GetMBClock")) check(clock() == 450, "ZORVDMI clock 450");
    if (auto dmi20 = bind<DMI_IsDMI20BIOS>(dmi, "DMI_IsDMI20BIOS")) check(dmi20() == 1, "ZORVDMI 09/22/97 is DMI 2.0");
    if (auto nb = bind<DMI_IsNoteBook>(dmi, "DMI_IsNoteBook")) check(nb() == 0, "ZORVDMI not a notebook");
    if (auto info = bind<DMI_GetCPUInfo>(dmi, "DMI_GetCPUInfo")) {
        const DmiProcessorRecord* r = info();
        check(r != nullptr && r->current_speed_mhz == 450 && r->max_speed_mhz == 500 &&
                  std::strcmp(r->version, "Zorvel Pro 450") == 0,
              "ZORVDMI processor record");
    }
    if (auto handle = bind<DMI_GetServiceHandle>(dmi, "DMI_GetServiceHandle"))
        check(handle() == 0, "ZORVDMI uses no driver for a captured image");
    // Bound by plain names only: the decorated ones are not exported.
    check(GetProcAddress(dmi, "_DMI_GetMBClock@0") == nullptr && GetProcAddress(dmi, "DMI_GetMBClock@0") == nullptr,
          "ZORVDMI exports no decorated names");
}

std::vector<unsigned char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void checkAhd(HMODULE ahd, const std::string& stage) {
    auto write = bind<WriteCPUInfoIntoRegistry>(ahd, "WriteCPUInfoIntoRegistry");
    if (!write) return;
    check(write() == 1, "ZORVAHD stores Zorv.ahd");
    // Where the system keeps it: HKLM\SOFTWARE\ZORV\ZORVAHD, "DATA", REG_BINARY, the file unchanged.
    HKEY key = nullptr;
    std::vector<unsigned char> stored(64 * 1024);
    DWORD type = 0, size = static_cast<DWORD>(stored.size());
    const bool read = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZORV\\ZORVAHD", 0, KEY_READ, &key) == 0 &&
                      RegQueryValueExA(key, "DATA", nullptr, &type, stored.data(), &size) == 0;
    if (key) RegCloseKey(key);
    stored.resize(read ? size : 0);
    const auto file = fileBytes(stage + "\\Zorv.ahd");
    check(read && type == REG_BINARY && !file.empty() && stored == file, "ZORVAHD value DATA holds Zorv.ahd");

    // A Pentium 100 (family 0x0B, ID 0x525) as the DMI library would hand it over.
    DmiProcessorRecord record{};
    record.processor_family = 0x0B;
    record.processor_id[0] = 0x25;
    record.processor_id[1] = 0x05;
    record.current_speed_mhz = 100;
    if (auto know = bind<DoYouKnowThisCPU>(ahd, "DoYouKnowThisCPU")) check(know(&record, 1) == 1, "ZORVAHD knows it");
    checkText(text<GetCPUName>(ahd, "GetCPUName"), "Pentium 100", "ZORVAHD processor name");
    if (auto nominal = bind<GetCPUNominal>(ahd, "GetCPUNominal")) check(nominal() == 33, "ZORVAHD nominal 33");
    if (auto offset = bind<GetCPUOffset>(ahd, "GetCPUOffset")) check(offset() == 0, "ZORVAHD offset 0");
}

void checkZorv(HMODULE zorv) {
    struct Reading {
        int16_t(__stdcall* fn)();
        const char* name;
        int want;
    };
    // The values of the readings file the runner writes.
    const char* names[] = {"GetFanCPURPM", "GetFanPowerRPM", "GetFanChasisRPM", "GetCPUTemperature",
                           "GetMBTemperature", "GetVoltIN0", "GetVoltIN1", "GetVoltIN2", "GetVoltIN3",
                           "GetVoltIN4", "GetVoltIN5", "GetVoltIN6"};
    const int want[] = {2600, 3100, 0, 41, 30, 2050, 2000, 3300, 5000, 12000, -12100, -5000};
    for (int i = 0; i < 12; ++i) {
        auto fn = reinterpret_cast<int16_t(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(zorv, names[i])));
        check(fn != nullptr, std::string("zorv export ") + names[i]);
        if (fn) check(fn() == want[i], std::string("zorv ") + names[i] + " = " + std::to_string(want[i]));
    }
    // The DMI and CPU-name queries pass through to the two DLLs beside it.
    checkText(text<DMI_GetMBProduct>(zorv, "DMI_GetMBProduct"), "P2B-LS", "zorv board product");
    checkText(text<DMI_GetMBManufacturer>(zorv, "DMI_GetMBManufacturer"), "Board Maker Inc.", "zorv board maker");
    checkText(text<DMI_GetBIOSVender>(zorv, "DMI_GetBIOSVender"), "Firmware Works", "zorv BIOS vendor");
    checkText(text<DMI_GetBIOSVersion>(zorv, "DMI_GetBIOSVersion"), "1.00.07", "zorv BIOS version");
    // zorv.h declares it signed, the DMI library unsigned; both stdcall.
    auto clock = reinterpret_cast<int16_t(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(zorv, "DMI_GetMBClock")));
    check(clock && clock() == 450, "zorv clock 450");
    // The lookup runs once per process, and this process's first one was the
    // caller's own Pentium 100 above: zorv.dll answers from the same ZORVAHD.dll.
    checkText(text<GetCPUName>(zorv, "GetCPUName"), "Pentium 100", "zorv processor name");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: caller STAGE_DIR\n");
        return 2;
    }
    const std::string stage = argv[1];
    // By name, from the stage folder, as a program beside the DLLs finds them.
    SetDllDirectoryA(stage.c_str());
    HMODULE dmi = LoadLibraryA("ZORVDMI.dll");
    HMODULE ahd = LoadLibraryA("ZORVAHD.dll");
    HMODULE zorv = LoadLibraryA("zorv.dll");
    check(dmi && ahd && zorv, "LoadLibraryA of ZORVDMI.dll, ZORVAHD.dll, zorv.dll");
    if (dmi) checkDmi(dmi);
    if (ahd) checkAhd(ahd, stage);
    if (zorv) checkZorv(zorv);
    std::printf("%s: %d failed checks\n", failures ? "FAILED" : "ok", failures);
    return failures ? 1 : 0;
}
