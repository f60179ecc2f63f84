// The DMI library's driver sequence against the service control manager:
//   service_check.exe STAGE_DIR MESSAGE_LOG
// with ZORVDMI_MESSAGE_LOG=MESSAGE_LOG in the environment, no driver file
// and no captured image. Prints one line per failed check; exit 1 on any.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "zorvdmi.h"

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
    if (!ok) {
        std::printf("FAILED: %s\n", what.c_str());
        ++failures;
    }
}

std::string stage, messageLog;

std::vector<std::string> messages() {
    std::vector<std::string> lines;
    std::ifstream in(messageLog);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string join(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += "[" + l + "]";
    return out;
}

void checkMessages(const std::vector<std::string>& want, const std::string& when) {
    const auto got = messages();
    check(got == want, when + ": messages " + join(got) + ", want " + join(want));
}

struct ServiceFacts {
    bool exists = false;
    DWORD openError = 0;
    DWORD type = 0, start = 0, errorControl = 0;
    std::string path, displayName;
};

ServiceFacts serviceFacts() {
    ServiceFacts facts;
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return facts;
    SC_HANDLE service = OpenServiceA(manager, "zvlm75", SERVICE_QUERY_CONFIG);
    if (!service) {
        facts.openError = GetLastError();
    } else {
        facts.exists = true;
        std::vector<unsigned char> buffer(8192);
        DWORD needed = 0;
        auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
        if (QueryServiceConfigA(service, config, static_cast<DWORD>(buffer.size()), &needed)) {
            facts.type = config->dwServiceType;
            facts.start = config->dwStartType;
            facts.errorControl = config->dwErrorControl;
            facts.path = config->lpBinaryPathName ? config->lpBinaryPathName : "";
            facts.displayName = config->lpDisplayName ? config->lpDisplayName : "";
        }
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return facts;
}

// Whether the service database lists a driver service of that name.
bool listed(const char* name) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE);
    if (!manager) return false;
    std::vector<unsigned char> buffer(256 * 1024);
    DWORD needed = 0, count = 0, resume = 0;
    bool found = false;
    if (EnumServicesStatusA(manager, SERVICE_DRIVER | SERVICE_WIN32, SERVICE_STATE_ALL,
                            reinterpret_cast<ENUM_SERVICE_STATUSA*>(buffer.data()), static_cast<DWORD>(buffer.size()),
                            &needed, &count, &resume)) {
        const auto* entries = reinterpret_cast<const ENUM_SERVICE_STATUSA*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) found = found || _stricmp(entries[i].lpServiceName, name) == 0;
    }
    CloseServiceHandle(manager);
    return found;
}

void removeLeftover() {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return;
    if (SC_HANDLE service = OpenServiceA(manager, "zvlm75", SERVICE_ALL_ACCESS)) {
        DeleteService(service);
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
}

bool endsWithNoCase(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && _stricmp(s.c_str() + s.size() - tail.size(), tail.c_str()) == 0;
}

template <typename Fn>
Fn bind(HMODULE dll, const char* name) {
    auto p = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    check(p != nullptr, std::string("export ") + name);
    return p;
}

// With the device unopened, every query answers nothing found.
void checkNothingFound(HMODULE dll) {
    if (auto handle = bind<decltype(&DMI_GetServiceHandle)>(dll, "DMI_GetServiceHandle"))
        check(handle() == -1, "the device handle is the invalid-handle value, got " + std::to_string(handle()));
    char buffer[80];
    std::memset(buffer, 'x', sizeof buffer);
    if (auto vender = bind<decltype(&DMI_GetBIOSVender)>(dll, "DMI_GetBIOSVender"))
        check(vender(buffer) == 1 && buffer[0] == '\0', "BIOS vendor: empty, result 1");
    std::memset(buffer, 'x', sizeof buffer);
    if (auto product = bind<decltype(&DMI_GetMBProduct)>(dll, "DMI_GetMBProduct"))
        check(product(buffer) == buffer && buffer[0] == '\0', "board product: empty");
    if (auto clock = bind<decltype(&DMI_GetMBClock)>(dll, "DMI_GetMBClock")) check(clock() == 0, "clock: 0");
    if (auto info = bind<decltype(&DMI_GetCPUInfo)>(dll, "DMI_GetCPUInfo")) check(info() == nullptr, "CPU record: none");
}

HMODULE loadDmi() {
    HMODULE dll = LoadLibraryA((stage + "\\ZORVDMI.dll").c_str());
    check(dll != nullptr, "LoadLibraryA ZORVDMI.dll");
    return dll;
}

void checkGoneAfterUnload(HMODULE dll, const std::vector<std::string>& messagesBefore, const std::string& when) {
    FreeLibrary(dll);
    const ServiceFacts after = serviceFacts();
    check(!after.exists && after.openError == ERROR_SERVICE_DOES_NOT_EXIST,
          when + ": unload stops and deletes the service (open error " + std::to_string(after.openError) + ")");
    check(!listed("zvlm75"), when + ": the service database no longer lists zvlm75");
    checkMessages(messagesBefore, when + ": unload shows nothing");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::printf("usage: service_check STAGE_DIR MESSAGE_LOG\n");
        return 2;
    }
    stage = argv[1];
    messageLog = argv[2];
    const std::string execute = "ZORV DMI Browser DLL|Can't execute driver service ";
    removeLeftover();

    // First load: the service is created, starting it fails (no driver file).
    std::remove(messageLog.c_str());
    HMODULE dll = loadDmi();
    if (!dll) return 1;
    const ServiceFacts created = serviceFacts();
    check(created.exists, "load creates the service zvlm75");
    check(created.type == SERVICE_KERNEL_DRIVER, "a kernel driver, type " + std::to_string(created.type));
    check(created.start == SERVICE_DEMAND_START, "started on demand, start type " + std::to_string(created.start));
    check(created.errorControl == SERVICE_ERROR_NORMAL, "normal error control");
    check(created.displayName == "zvlm75", "display name zvlm75, got " + created.displayName);
    check(endsWithNoCase(created.path, "\\system32\\drivers\\zvlm75.sys"), "driver path, got " + created.path);
    checkMessages({execute}, "first load");
    checkNothingFound(dll);
    checkGoneAfterUnload(dll, {execute}, "first unload");

    // Second load: the service is there already (1073): no message for it,
    // the existing one is opened and started.
    {
        SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        SC_HANDLE service = CreateServiceA(manager, "zvlm75", "zvlm75 installed before", SERVICE_ALL_ACCESS,
                                           SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                           "C:\\windows\\system32\\drivers\\zvlm75.sys", nullptr, nullptr, nullptr,
                                           nullptr, nullptr);
        check(service != nullptr, "the test installs zvlm75 beforehand");
        if (service) CloseServiceHandle(service);
        if (manager) CloseServiceHandle(manager);
    }
    std::remove(messageLog.c_str());
    dll = loadDmi();
    if (!dll) return 1;
    check(serviceFacts().displayName == "zvlm75 installed before", "the existing service is kept");
    checkMessages({execute}, "second load");
    checkNothingFound(dll);
    checkGoneAfterUnload(dll, {execute}, "second unload");

    std::printf("%s: %d failed checks\n", failures ? "FAILED" : "ok", failures);
    return failures ? 1 : 0;
}
