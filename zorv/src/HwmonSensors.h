// The thin layer over libsensors. Everything above it sees chip names,
// feature lists and numbers; nothing above it calls libsensors.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "HwmonMap.h"

namespace zorv::hwmon {

class Backend {
public:
    virtual ~Backend() = default;
    [[nodiscard]] virtual const std::vector<ChipInfo>& chips() const = 0;
    // A handle for the feature's input value, or nothing when it has none.
    virtual std::optional<int> inputOf(const FeatureRef& ref) = 0;
    // The value now; nothing when the read fails (the next read tries again).
    virtual std::optional<double> read(int handle) = 0;
    // What went wrong while starting: no library, a configuration that did not parse, …
    [[nodiscard]] virtual const std::vector<std::string>& notes() const = 0;
    // False when libsensors itself could not be loaded.
    [[nodiscard]] virtual bool libraryLoaded() const { return true; }
};

// The library name loaded at run time, so that libzorv.so loads (and reads 0)
// on a machine without libsensors.
inline constexpr const char* kLibSensors = "libsensors.so.5";

// The libsensors configuration to use: $ZORV_SENSORS_CONF names one file that
// replaces /etc/sensors3.conf and /etc/sensors.d; empty means the system's.
std::string sensorsConfigPath();

// One libsensors session: detects the chips once and reads at every call.
// Without the library, without sysfs or while another session is open, it
// has no chips. A configuration that does not parse is reported in notes()
// and the chips are read without it.
std::unique_ptr<Backend> openLibSensors(const std::string& library, const std::string& configPath);

// Runs fn(context) so that a fatal error inside libsensors returns here
// (false) instead of ending the process. After one, libsensors' state is
// unknown and no session calls it again.
bool runGuarded(void (*fn)(void*), void* context);

}  // namespace zorv::hwmon
