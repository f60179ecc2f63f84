// The C exports: one process-wide source and pass-through, made at first use.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "Passthrough.h"
#include "Source.h"
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

// The source and, when its name names none, the message saying so.
struct ChosenSource {
    std::unique_ptr<zorv::Source> source;
    std::string error;
};

const ChosenSource& chosen() {
    static const ChosenSource c = [] {
        const zorv::Config config = zorv::loadConfig(libraryDir());
        const std::string name = zorv::chooseSourceName(config);
        ChosenSource out{zorv::makeSource(name, config), {}};
        if (!zorv::isKnownSourceName(name)) out.error = zorv::unknownSourceText(name, zorv::sourceOrigin(config));
        return out;
    }();
    return c;
}

zorv::Source& source() { return *chosen().source; }

zorv::Passthrough& passthrough() {
    static zorv::Passthrough p(libraryDir());
    return p;
}

std::int16_t readChannel(zorv::Channel c) { return source().read(c); }

// Once per process, like the mask Velmon asks before its first reading.
const zorv::ChannelDefaults& defaults() {
    static const zorv::ChannelDefaults d = [] {
        zorv::ChannelDefaults out = source().defaults();
        const std::uint32_t mask = source().channelMask();
        for (int i = 0; i < zorv::kChannelCount; ++i)
            if (!(mask & (1u << i))) out[static_cast<std::size_t>(i)] = {};
        return out;
    }();
    return d;
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
    if (buffer && size > 0) {
        const std::size_t n = std::min(error.size(), static_cast<std::size_t>(size) - 1);
        std::memcpy(buffer, error.data(), n);
        buffer[n] = '\0';
    }
    return error.empty() ? 0 : 1;
}

}  // extern "C"
