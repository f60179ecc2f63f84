#include "Passthrough.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <array>
#include <cstring>

#include "platform/LibraryCall.h"
#include "platform/ModulePath.h"

namespace zorv {
namespace {

// Wider than any answer the libraries give (30 bytes, 40 for a date), so a
// library that writes a little more than it promises still stays inside.
constexpr std::size_t kScratch = 256;

void copyOut(const char* from, std::size_t fromSize, char* out, std::size_t size) {
    std::size_t n = 0;
    while (n < fromSize && n + 1 < size && from[n] != '\0') ++n;
    std::memcpy(out, from, n);
    out[n] = '\0';
}

}  // namespace

LateBoundLibrary::LateBoundLibrary(std::string fileName, std::string preferredDir)
    : fileName_(std::move(fileName)), preferredDir_(std::move(preferredDir)) {}

#ifdef _WIN32
// Not freed: this runs while the library itself is unloaded, where freeing
// another library is not allowed; the system releases it with the process.
LateBoundLibrary::~LateBoundLibrary() = default;

bool LateBoundLibrary::tryOpen() {
    if (tried_) return handle_ != nullptr;
    tried_ = true;
    if (!preferredDir_.empty())
        handle_ = LoadLibraryA(platform::joinPath(preferredDir_, fileName_).c_str());
    if (!handle_) handle_ = LoadLibraryA(fileName_.c_str());
    return handle_ != nullptr;
}

void* LateBoundLibrary::symbol(const char* name) {
    if (!tryOpen()) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

Passthrough::Passthrough(const std::string& libraryDir)
    : dmi_("ZORVDMI.dll", libraryDir), ahd_("ZORVAHD.dll", libraryDir) {}
#else
LateBoundLibrary::~LateBoundLibrary() {
    if (handle_) dlclose(handle_);
}

bool LateBoundLibrary::tryOpen() {
    if (tried_) return handle_ != nullptr;
    tried_ = true;
    if (!preferredDir_.empty())
        handle_ = dlopen(platform::joinPath(preferredDir_, fileName_).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) handle_ = dlopen(fileName_.c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle_ != nullptr;
}

void* LateBoundLibrary::symbol(const char* name) {
    if (!tryOpen()) return nullptr;
    return dlsym(handle_, name);
}

Passthrough::Passthrough(const std::string& libraryDir)
    : dmi_("libzorvdmi.so", libraryDir), ahd_("libzorvahd.so", libraryDir) {}
#endif

void Passthrough::dmiString(const char* function, char* out, std::size_t size) {
    std::array<char, kScratch> scratch{};
    // The DMI string queries all take a buffer; their results are not needed here.
    using Fn = void*(VELMON_LIBCALL*)(char*);
    if (auto fn = reinterpret_cast<Fn>(dmi_.symbol(function))) fn(scratch.data());
    scratch.back() = '\0';
    copyOut(scratch.data(), scratch.size(), out, size);
}

void Passthrough::mbProduct(char* out, std::size_t size) { dmiString("DMI_GetMBProduct", out, size); }
void Passthrough::mbManufacturer(char* out, std::size_t size) { dmiString("DMI_GetMBManufacturer", out, size); }
void Passthrough::biosVendor(char* out, std::size_t size) { dmiString("DMI_GetBIOSVender", out, size); }
void Passthrough::biosVersion(char* out, std::size_t size) { dmiString("DMI_GetBIOSVersion", out, size); }

std::uint16_t Passthrough::mbClock() {
    using Fn = std::uint16_t(VELMON_LIBCALL*)();
    auto fn = reinterpret_cast<Fn>(dmi_.symbol("DMI_GetMBClock"));
    return fn ? fn() : 0;
}

bool Passthrough::cpuName(char* out, std::size_t size) {
    out[0] = '\0';
    using GetInfo = const void*(VELMON_LIBCALL*)();
    using Know = std::int32_t(VELMON_LIBCALL*)(const void*, std::int32_t);
    using Name = std::int32_t(VELMON_LIBCALL*)(char*);
    if (!lookupDone_) {
        lookupDone_ = true;
        auto getInfo = reinterpret_cast<GetInfo>(dmi_.symbol("DMI_GetCPUInfo"));
        auto know = reinterpret_cast<Know>(ahd_.symbol("DoYouKnowThisCPU"));
        // Selector 1 marks the processor records of the shipped data file.
        if (getInfo && know)
            if (const void* record = getInfo()) know(record, 1);
    }
    auto name = reinterpret_cast<Name>(ahd_.symbol("GetCPUName"));
    if (!name) return false;
    std::array<char, kScratch> scratch{};
    const std::int32_t found = name(scratch.data());
    scratch.back() = '\0';
    copyOut(scratch.data(), scratch.size(), out, size);
    return found != 0;
}

}  // namespace zorv
