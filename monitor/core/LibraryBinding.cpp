#include "LibraryBinding.h"

#include <dlfcn.h>

#include <platform/ModulePath.h>

#include "MonitorState.h"

namespace velmon {
namespace {

constexpr std::array<const char*, kChannelCount> kReadNames{
    "GetFanCPURPM", "GetFanPowerRPM", "GetFanChasisRPM", "GetCPUTemperature", "GetMBTemperature", "GetVoltIN0",
    "GetVoltIN1",   "GetVoltIN2",     "GetVoltIN3",      "GetVoltIN4",        "GetVoltIN5",       "GetVoltIN6"};

constexpr std::array<const char*, 5> kTextNames{"DMI_GetMBProduct", "DMI_GetMBManufacturer", "DMI_GetBIOSVender",
                                                "DMI_GetBIOSVersion", "GetCPUName"};

}  // namespace

std::string missingLibraryText(const std::string& library, const std::string& function, const std::string& why) {
    std::string text = "The library " + library + " could not be loaded (needed for " + function + ").";
    if (!why.empty()) text += "\n" + why;
    return text;
}

std::string missingFunctionText(const std::string& library, const std::string& function) {
    return "The library " + library + " has no function " + function + ".";
}

DynamicLibrary::DynamicLibrary(std::string fileName, std::string directory, Prompter& prompter, FatalHandler fatal)
    : fileName_(std::move(fileName)), directory_(std::move(directory)), prompter_(prompter), fatal_(std::move(fatal)) {}

DynamicLibrary::~DynamicLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

void DynamicLibrary::fail(const std::string& text) {
    prompter_.information(kTitle, text);
    if (fatal_) fatal_(kMissingLibraryStatus);
}

bool DynamicLibrary::open(const char* forFunction, bool report) {
    if (handle_ != nullptr) return true;
    if (failed_) return false;
    std::string dir = directory_;
    if (dir.empty()) {
        const std::string exe = platform::executablePath();
        if (!exe.empty()) dir = platform::directoryOf(exe);
    }
    std::string why;
    if (!dir.empty()) {
        handle_ = dlopen(platform::joinPath(dir, fileName_).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) {
            const char* e = dlerror();
            why = e != nullptr ? e : "";
        }
    }
    // Only an explicit directory is exclusive; otherwise the loader's search follows.
    if (handle_ == nullptr && directory_.empty()) {
        handle_ = dlopen(fileName_.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) {
            const char* e = dlerror();
            why = e != nullptr ? e : why;
        }
    }
    if (handle_ == nullptr) {
        if (!report) return false;
        failed_ = true;
        fail(missingLibraryText(fileName_, forFunction, why));
        return false;
    }
    return true;
}

void* DynamicLibrary::symbol(const char* name) {
    if (!open(name)) return nullptr;
    dlerror();
    void* s = dlsym(handle_, name);
    if (s == nullptr) fail(missingFunctionText(fileName_, name));
    return s;
}

void* DynamicLibrary::optionalSymbol(const char* name) {
    if (!open(name, false)) return nullptr;
    dlerror();
    return dlsym(handle_, name);
}

// dlsym hands out object pointers; the exports are functions of known types.
template <typename Fn>
Fn asFunction(void* p) {
    Fn f = nullptr;
    static_assert(sizeof f == sizeof p);
    __builtin_memcpy(&f, &p, sizeof f);
    return f;
}

ZorvSensorPort::ZorvSensorPort(Prompter& prompter, FatalHandler fatal, std::string directory)
    : lib_("libzorv.so", std::move(directory), prompter, std::move(fatal)) {}

std::int16_t ZorvSensorPort::read(SensorChannel channel) {
    const auto i = static_cast<std::size_t>(channel);
    if (i >= reads_.size()) return 0;
    if (reads_[i] == nullptr) reads_[i] = asFunction<ReadFn>(lib_.symbol(kReadNames[i]));
    return reads_[i] != nullptr ? reads_[i]() : std::int16_t{0};
}

void ZorvSensorPort::text(DmiText query, TextBuffer& buffer) {
    buffer.fill('\0');
    const auto i = static_cast<std::size_t>(query);
    if (i >= texts_.size()) return;
    if (texts_[i] == nullptr) texts_[i] = lib_.symbol(kTextNames[i]);
    if (texts_[i] == nullptr) return;
    if (query == DmiText::BIOSVender || query == DmiText::CPUName) {
        asFunction<std::int32_t (*)(char*)>(texts_[i])(buffer.data());
    } else {
        asFunction<char* (*)(char*)>(texts_[i])(buffer.data());
    }
    // Whatever the library wrote, the text ends inside the buffer.
    buffer.back() = '\0';
}

std::int16_t ZorvSensorPort::mbClock() {
    if (clock_ == nullptr) clock_ = asFunction<ReadFn>(lib_.symbol("DMI_GetMBClock"));
    return clock_ != nullptr ? clock_() : std::int16_t{0};
}

namespace {

// GetSourceError's result for a source that works but finds no chip.
constexpr std::int32_t kSourceNoChip = 3;

}  // namespace

std::pair<std::int32_t, std::string> ZorvSensorPort::askSource() {
    using ErrorFn = std::int32_t (*)(char*, std::int32_t);
    const auto fn = asFunction<ErrorFn>(lib_.optionalSymbol("GetSourceError"));
    if (fn == nullptr) return {0, {}};
    std::array<char, 512> buffer{};
    const std::int32_t rc = fn(buffer.data(), static_cast<std::int32_t>(buffer.size()));
    if (rc == 0) return {0, {}};
    buffer.back() = '\0';
    std::string text = buffer.data();
    // A library that says "error" without words still gets a message.
    if (text.empty()) text = "The sensor library libzorv.so cannot read its sensor source.";
    return {rc, text};
}

std::string ZorvSensorPort::sourceError() {
    auto [rc, text] = askSource();
    return rc == kSourceNoChip ? std::string() : text;
}

std::string ZorvSensorPort::noChipReason() {
    auto [rc, text] = askSource();
    return rc == kSourceNoChip ? text : std::string();
}

std::int32_t ZorvSensorPort::channelMask() {
    using MaskFn = std::int32_t (*)();
    void* s = lib_.optionalSymbol("GetChannelMask");
    if (s == nullptr) return kAllChannels;
    return asFunction<MaskFn>(s)() & kAllChannels;
}

std::int32_t ZorvSensorPort::readFailures() {
    using FailuresFn = std::int32_t (*)();
    const auto fn = asFunction<FailuresFn>(lib_.optionalSymbol("GetReadFailures"));
    return fn == nullptr ? 0 : fn() & kAllChannels;
}

std::optional<ChannelDefault> ZorvSensorPort::channelDefault(SensorChannel channel) {
    using DefaultFn = std::int32_t (*)(std::int32_t, std::int32_t*, std::int32_t*);
    const auto fn = asFunction<DefaultFn>(lib_.optionalSymbol("GetChannelDefault"));
    if (fn == nullptr) return std::nullopt;
    std::int32_t lower = 0, upper = 0;
    switch (fn(static_cast<std::int32_t>(channel), &lower, &upper)) {
    case 1: return ChannelDefault{DefaultOrigin::Chip, lower, upper};
    case 2: return ChannelDefault{DefaultOrigin::Today, lower, upper};
    default: return std::nullopt;  // the system's default, or an answer this program does not know
    }
}

std::optional<std::string> ZorvSensorPort::sensorList() {
    using ListFn = std::int32_t (*)(char*, std::int32_t);
    const auto fn = asFunction<ListFn>(lib_.optionalSymbol("GetSensorList"));
    if (fn == nullptr) return std::nullopt;
    // The list may grow between the two calls (a chip came back): ask again.
    std::int32_t need = fn(nullptr, 0);
    for (int attempt = 0; attempt < 3 && need > 0; ++attempt) {
        std::string text(static_cast<std::size_t>(need) + 256, '\0');
        const std::int32_t size = static_cast<std::int32_t>(text.size());
        const std::int32_t now = fn(text.data(), size);
        if (now <= 0) return std::nullopt;
        if (now <= size) {
            text.back() = '\0';
            text.resize(std::char_traits<char>::length(text.c_str()));
            return text;
        }
        need = now;
    }
    return std::nullopt;
}

bool ZorvSensorPort::saveChannelSensors(const std::string& choices, std::string& message) {
    using SaveFn = std::int32_t (*)(const char*, char*, std::int32_t);
    const auto fn = asFunction<SaveFn>(lib_.optionalSymbol("SetChannelSensors"));
    if (fn == nullptr) return SensorPort::saveChannelSensors(choices, message);
    std::array<char, 1024> buffer{};
    const std::int32_t rc = fn(choices.c_str(), buffer.data(), static_cast<std::int32_t>(buffer.size()));
    buffer.back() = '\0';
    message = buffer.data();
    if (rc != 0 && message.empty()) message = "The sensor library did not save the choice.";
    return rc == 0;
}

bool ZorvSensorPort::reloadSensors() {
    using ReloadFn = std::int32_t (*)();
    const auto fn = asFunction<ReloadFn>(lib_.optionalSymbol("ReloadSensors"));
    if (fn == nullptr) return false;
    fn();
    return true;
}

ZorvAhdCpuDataPort::ZorvAhdCpuDataPort(Prompter& prompter, FatalHandler fatal, std::string directory)
    : lib_("libzorvahd.so", std::move(directory), prompter, std::move(fatal)) {}

std::int32_t ZorvAhdCpuDataPort::writeCpuInfoIntoRegistry() {
    if (write_ == nullptr) write_ = asFunction<WriteFn>(lib_.symbol("WriteCPUInfoIntoRegistry"));
    return write_ != nullptr ? write_() : 0;
}

}  // namespace velmon
