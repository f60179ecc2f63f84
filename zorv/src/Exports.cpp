// The C exports: one process-wide source and pass-through, made at first use.
#include <memory>

#include "Passthrough.h"
#include "Source.h"
#include "platform/ModulePath.h"
#include "zorv.h"

namespace {

std::string libraryDir() {
    static const std::string dir = [] {
        const std::string self = platform::modulePathOf(reinterpret_cast<const void*>(&GetFanCPURPM));
        return self.empty() ? std::string() : platform::directoryOf(self);
    }();
    return dir;
}

zorv::Source& source() {
    static const std::unique_ptr<zorv::Source> s = [] {
        const zorv::Config config = zorv::loadConfig(libraryDir());
        return zorv::makeSource(zorv::chooseSourceName(config), config);
    }();
    return *s;
}

zorv::Passthrough& passthrough() {
    static zorv::Passthrough p(libraryDir());
    return p;
}

std::int16_t readChannel(zorv::Channel c) { return source().read(c); }

}  // namespace

extern "C" {

int16_t GetFanCPURPM(void) { return readChannel(zorv::Channel::CpuFan); }
int16_t GetFanPowerRPM(void) { return readChannel(zorv::Channel::PowerFan); }
int16_t GetFanChasisRPM(void) { return readChannel(zorv::Channel::ChassisFan); }
int16_t GetCPUTemperature(void) { return readChannel(zorv::Channel::CpuTemp); }
int16_t GetMBTemperature(void) { return readChannel(zorv::Channel::MbTemp); }
int16_t GetVoltIN0(void) { return readChannel(zorv::Channel::In0); }
int16_t GetVoltIN1(void) { return readChannel(zorv::Channel::In1); }
int16_t GetVoltIN2(void) { return readChannel(zorv::Channel::In2); }
int16_t GetVoltIN3(void) { return readChannel(zorv::Channel::In3); }
int16_t GetVoltIN4(void) { return readChannel(zorv::Channel::In4); }
int16_t GetVoltIN5(void) { return readChannel(zorv::Channel::In5); }
int16_t GetVoltIN6(void) { return readChannel(zorv::Channel::In6); }
int32_t GetChannelMask(void) { return static_cast<int32_t>(source().channelMask() & zorv::kAllChannels); }

char* DMI_GetMBProduct(char* buffer) {
    if (buffer) passthrough().mbProduct(buffer, ZORV_TEXT_BUFFER);
    return buffer;
}
char* DMI_GetMBManufacturer(char* buffer) {
    if (buffer) passthrough().mbManufacturer(buffer, ZORV_TEXT_BUFFER);
    return buffer;
}
int32_t DMI_GetBIOSVender(char* buffer) {
    if (buffer) passthrough().biosVendor(buffer, ZORV_TEXT_BUFFER);
    return 1;
}
char* DMI_GetBIOSVersion(char* buffer) {
    if (buffer) passthrough().biosVersion(buffer, ZORV_TEXT_BUFFER);
    return buffer;
}
int32_t GetCPUName(char* buffer) {
    if (!buffer) return 0;
    return passthrough().cpuName(buffer, ZORV_TEXT_BUFFER) ? 1 : 0;
}
int16_t DMI_GetMBClock(void) { return static_cast<int16_t>(passthrough().mbClock()); }

}  // extern "C"
