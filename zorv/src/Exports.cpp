// The C exports: one process-wide source and pass-through, made at first use.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <cstring>
#include <memory>
#include <string>

#include "Passthrough.h"
#include "SensorList.h"
#include "Source.h"
#ifndef _WIN32
#include "ConfigEdit.h"
#endif
#include "platform/ModulePath.h"
#include "zorv.h"

static_assert(static_cast<int>(zorv::DefaultOrigin::System) == ZORV_DEFAULT_SYSTEM &&
              static_cast<int>(zorv::DefaultOrigin::Chip) == ZORV_DEFAULT_CHIP &&
              static_cast<int>(zorv::DefaultOrigin::Today) == ZORV_DEFAULT_TODAY);

namespace {

std::string libraryDir() {
    static const std::string dir = [] {
        const std::string self = platform::modulePathOf(reinterpret_cast<const void*>(&GetFanCPURPM));
        return self.empty() ? std::string() : platform::directoryOf(self);
    }();
    return dir;
}

// The source and, when it cannot read, the message saying why.
struct ChosenSource {
    std::unique_ptr<zorv::Source> source;
    std::string error;
    int32_t code = 0;  // GetSourceError's result
    std::string name;
    zorv::Config config;
    std::optional<zorv::ChannelDefaults> defaults;
};

ChosenSource choose() {
    ChosenSource out;
    out.config = zorv::loadConfig(libraryDir());
    out.name = zorv::chooseSourceName(out.config);
    out.source = zorv::makeSource(out.name, out.config);
    if (!zorv::isKnownSourceName(out.name)) {
        out.error = zorv::unknownSourceText(out.name, zorv::sourceOrigin(out.config));
        out.code = ZORV_SOURCE_UNKNOWN;
    } else if (const zorv::Source::Trouble t = out.source->trouble(); !t.text.empty()) {
        out.error = t.text;
        out.code = t.noChip ? ZORV_SOURCE_NO_CHIP : ZORV_SOURCE_BROKEN;
    }
    return out;
}

// Made at the first call; made anew only by ReloadSensors.
std::optional<ChosenSource>& current() {
    static std::optional<ChosenSource> c;
    return c;
}

ChosenSource& chosen() {
    auto& c = current();
    if (!c) c = choose();
    return *c;
}

zorv::Source& source() { return *chosen().source; }

// Where a choice is saved: the zorv.conf in force, else the user's.
std::string savePath() {
    const std::string& inForce = chosen().config.path;
    return inForce.empty() ? zorv::userConfigPath() : inForce;
}

void writeText(const std::string& text, char* buffer, std::int32_t size) {
    if (!buffer || size <= 0) return;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

zorv::Passthrough& passthrough() {
    static zorv::Passthrough p(libraryDir());
    return p;
}

std::int16_t readChannel(zorv::Channel c) { return source().read(c); }

// Once per source, like the mask Velmon asks before its first reading.
const zorv::ChannelDefaults& defaults() {
    auto& d = chosen().defaults;
    if (!d) {
        zorv::ChannelDefaults out = source().defaults();
        const std::uint32_t mask = source().channelMask();
        for (int i = 0; i < zorv::kChannelCount; ++i)
            if (!(mask & (1u << i))) out[static_cast<std::size_t>(i)] = {};
        d = out;
    }
    return *d;
}

}  // namespace

extern "C" {

int16_t ZORV_CALL GetFanCPURPM(void) { return readChannel(zorv::Channel::CpuFan); }
int16_t ZORV_CALL GetFanPowerRPM(void) { return readChannel(zorv::Channel::PowerFan); }
int16_t ZORV_CALL GetFanChasisRPM(void) { return readChannel(zorv::Channel::ChassisFan); }
int16_t ZORV_CALL GetCPUTemperature(void) { return readChannel(zorv::Channel::CpuTemp); }
int16_t ZORV_CALL GetMBTemperature(void) { return readChannel(zorv::Channel::MbTemp); }
int16_t ZORV_CALL GetVoltIN0(void) { return readChannel(zorv::Channel::In0); }
int16_t ZORV_CALL GetVoltIN1(void) { return readChannel(zorv::Channel::In1); }
int16_t ZORV_CALL GetVoltIN2(void) { return readChannel(zorv::Channel::In2); }
int16_t ZORV_CALL GetVoltIN3(void) { return readChannel(zorv::Channel::In3); }
int16_t ZORV_CALL GetVoltIN4(void) { return readChannel(zorv::Channel::In4); }
int16_t ZORV_CALL GetVoltIN5(void) { return readChannel(zorv::Channel::In5); }
int16_t ZORV_CALL GetVoltIN6(void) { return readChannel(zorv::Channel::In6); }
int32_t ZORV_CALL GetChannelMask(void) { return static_cast<int32_t>(source().channelMask() & zorv::kAllChannels); }

int32_t ZORV_CALL GetReadFailures(void) {
    return static_cast<int32_t>(source().readFailures() & zorv::kAllChannels);
}

int32_t ZORV_CALL GetChannelDefault(int32_t channel, int32_t* lower, int32_t* upper) {
    if (channel < 0 || channel >= zorv::kChannelCount || !lower || !upper) return -1;
    const zorv::ChannelDefault& d = defaults()[static_cast<std::size_t>(channel)];
    const bool own = d.origin != zorv::DefaultOrigin::System;
    *lower = own ? d.lower : 0;
    *upper = own ? d.upper : 0;
    return static_cast<int32_t>(d.origin);
}

char* ZORV_CALL DMI_GetMBProduct(char* buffer) {
    if (buffer) passthrough().mbProduct(buffer, ZORV_TEXT_BUFFER);
    return buffer;
}
char* ZORV_CALL DMI_GetMBManufacturer(char* buffer) {
    if (buffer) passthrough().mbManufacturer(buffer, ZORV_TEXT_BUFFER);
    return buffer;
}
int32_t ZORV_CALL DMI_GetBIOSVender(char* buffer) {
    if (buffer) passthrough().biosVendor(buffer, ZORV_TEXT_BUFFER);
    return 1;
}
char* ZORV_CALL DMI_GetBIOSVersion(char* buffer) {
    if (buffer) passthrough().biosVersion(buffer, ZORV_TEXT_BUFFER);
    return buffer;
}
int32_t ZORV_CALL GetCPUName(char* buffer) {
    if (!buffer) return 0;
    return passthrough().cpuName(buffer, ZORV_TEXT_BUFFER) ? 1 : 0;
}
int16_t ZORV_CALL DMI_GetMBClock(void) { return static_cast<int16_t>(passthrough().mbClock()); }

int32_t ZORV_CALL GetSourceError(char* buffer, int32_t size) {
    const std::string& error = chosen().error;
    writeText(error, buffer, size);
    return chosen().code;
}

int32_t ZORV_CALL GetSensorList(char* buffer, int32_t size) {
    if (size < 0 || (size > 0 && !buffer)) return -1;
    ChosenSource& c = chosen();
    const std::string text = zorv::sensorListText(c.name, *c.source, c.config, savePath());
    if (size > 0) {
        const std::size_t n = zorv::wholeLinesWithin(text, static_cast<std::size_t>(size));
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int32_t>(std::min<std::size_t>(text.size() + 1, INT32_MAX));
}

int32_t ZORV_CALL ReloadSensors(void) {
    // The old source goes first: libsensors holds one session at a time.
    current().reset();
    return GetChannelMask();
}

int32_t ZORV_CALL SetChannelSensors(const char* choices, char* message, int32_t size) {
    if (!choices || size < 0 || (size > 0 && !message)) return -1;
#ifdef _WIN32
    writeText("Sensors are chosen on systems with hwmon only.", message, size);
    return 1;
#else
    std::string error;
    const auto parsed = zorv::parseChoices(choices, error);
    if (!parsed) {
        writeText(error, message, size);
        return 1;
    }
    const std::string path = savePath();
    if (path.empty()) {
        writeText("There is no zorv.conf to write: neither XDG_CONFIG_HOME nor HOME is set.", message, size);
        return 1;
    }
    error = zorv::saveChoices(path, *parsed);
    writeText(error.empty() ? path : error, message, size);
    return error.empty() ? 0 : 1;
#endif
}

}  // extern "C"
