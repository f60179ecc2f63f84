// The sensor library and the CPU data library, bound by name: each library is
// opened at the first call of one of its functions (next to the program
// first), each function looked up at its own first call.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "Ports.h"

namespace velmon {

// Called after the message about a missing library or function has been
// shown, with the status to end with. The app ends there; when it returns
// (tests), the call that failed answers 0 or an empty text.
using FatalHandler = std::function<void(int status)>;

inline constexpr int kMissingLibraryStatus = 3;

// One shared library opened by file name, its symbols by name.
class DynamicLibrary {
public:
    // directory: searched first; empty means next to the running program.
    DynamicLibrary(std::string fileName, std::string directory, Prompter& prompter, FatalHandler fatal);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // The symbol, or null after the message and the fatal handler.
    void* symbol(const char* name);
    // The symbol or null, without a message: for functions a library may
    // lack. A library that cannot be opened is reported by the next symbol().
    void* optionalSymbol(const char* name);
    [[nodiscard]] const std::string& fileName() const { return fileName_; }

private:
    bool open(const char* forFunction, bool report = true);
    void fail(const std::string& text);

    std::string fileName_;
    std::string directory_;
    Prompter& prompter_;
    FatalHandler fatal_;
    void* handle_ = nullptr;
    bool failed_ = false;
};

// libzorv.so.
class ZorvSensorPort final : public SensorPort {
public:
    ZorvSensorPort(Prompter& prompter, FatalHandler fatal, std::string directory = {});
    std::int16_t read(SensorChannel channel) override;
    void text(DmiText query, TextBuffer& buffer) override;
    std::int16_t mbClock() override;
    // GetSourceError, an export that older libraries lack: they report nothing.
    std::string sourceError() override;
    std::string noChipReason() override;
    std::int32_t channelMask() override;
    // GetChannelDefault, optional like the mask: without it the system's defaults hold.
    std::optional<ChannelDefault> channelDefault(SensorChannel channel) override;
    // GetSensorList, SetChannelSensors and ReloadSensors, optional as well.
    std::optional<std::string> sensorList() override;
    bool saveChannelSensors(const std::string& choices, std::string& message) override;
    bool reloadSensors() override;
    // GetReadFailures, optional too: without it a failed read is a reading of 0.
    std::int32_t readFailures() override;

private:
    // GetSourceError's result and text.
    std::pair<std::int32_t, std::string> askSource();
    using ReadFn = std::int16_t (*)();
    DynamicLibrary lib_;
    std::array<ReadFn, kChannelCount> reads_{};
    std::array<void*, 5> texts_{};
    ReadFn clock_ = nullptr;
};

// libzorvahd.so.
class ZorvAhdCpuDataPort final : public CpuDataPort {
public:
    ZorvAhdCpuDataPort(Prompter& prompter, FatalHandler fatal, std::string directory = {});
    std::int32_t writeCpuInfoIntoRegistry() override;

private:
    using WriteFn = std::int32_t (*)();
    DynamicLibrary lib_;
    WriteFn write_ = nullptr;
};

// The message shown for a library or function that cannot be bound.
std::string missingLibraryText(const std::string& library, const std::string& function, const std::string& why);
std::string missingFunctionText(const std::string& library, const std::string& function);

}  // namespace velmon
