#include "Passthrough.h"

#include <dlfcn.h>

#include <array>
#include <cstring>

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

void Passthrough::dmiString(const char* function, char* out, std::size_t size) {
    std::array<char, kScratch> scratch{};
    // The DMI string queries all take a buffer; their results are not needed here.
    using Fn = void* (*)(char*);
    if (auto fn = reinterpret_cast<Fn>(dmi_.symbol(function))) fn(scratch.data());
    scratch.back() = '\0';
    copyOut(scratch.data(), scratch.size(), out, size);
}

void Passthrough::mbProduct(char* out, std::size_t size) { dmiString("DMI_GetMBProduct", out, size); }
void Passthrough::mbManufacturer(char* out, std::size_t size) { dmiString("DMI_GetMBManufacturer", out, size); }
void Passthrough::biosVendor(char* out, std::size_t size) { dmiString("DMI_GetBIOSVender", out, size); }
void Passthrough::biosVersion(char* out, std::size_t size) { dmiString("DMI_GetBIOSVersion", out, size); }

std::uint16_t Passthrough::mbClock() {
    using Fn = std::uint16_t (*)();
    auto fn = reinterpret_cast<Fn>(dmi_.symbol("DMI_GetMBClock"));
    return fn ? fn() : 0;
}

bool Passthrough::cpuName(char* out, std::size_t size) {
    out[0] = '\0';
    using GetInfo = const void* (*)();
    using Know = std::int32_t (*)(const void*, std::int32_t);
    using Name = std::int32_t (*)(char*);
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
