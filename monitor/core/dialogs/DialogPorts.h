// What the three dialogs need of the running monitor, kept small so that the
// dialogs' rules are tested against fakes and adapted to the monitor's state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "MonitorState.h"
#include "Ports.h"

namespace velmon::dialogs {

// The polling groups in the order of the Settings dialog's rows.
enum class IntervalGroup : int { Fan = 0, Temp = 1, Volt = 2 };
inline constexpr int kIntervalGroups = 3;

class DialogMonitor {
public:
    virtual ~DialogMonitor() = default;

    [[nodiscard]] virtual std::int16_t interval(IntervalGroup group) const = 0;
    virtual void setInterval(IntervalGroup group, std::int16_t seconds) = 0;

    // A fan (0 CPU, 1 power, 2 chassis) is configured when its MBFAN.INI flag is non-zero.
    [[nodiscard]] virtual bool fanConfigured(int fan) const = 0;

    // What Reset to Default gives: this machine's defaults, the system's
    // where the sensor library names none.
    [[nodiscard]] virtual WarningThresholds defaultThresholds() const { return {}; }
    virtual void setFanThreshold(int fan, std::int16_t rpm) = 0;
    virtual void setTemperatureThreshold(int gauge, std::int16_t celsius) = 0;
    virtual void setVoltageThresholds(int input, float upper, float lower) = 0;
    // The main window repaints and re-evaluates everything at its next activation.
    virtual void setThresholdsResetPending() = 0;

    // The tray icon's tooltip, for a state the alert timer does not set.
    virtual void setTrayTip(const std::string& text) { static_cast<void>(text); }

    virtual Timer& tmrMonitor() = 0;
    virtual Timer& tmrWarn() = 0;
    // The main window's labels, its topmost state and showing it.
    virtual MainView& mainView() = 0;
    // Section "ZORVMonitor" of the application "Velmon".
    virtual SettingsBackend& settings() = 0;
};

// A dialog's own window as its rules see it. close() runs the dialog's
// closing steps before it returns, as unloading a form does.
class DialogWindow {
public:
    virtual ~DialogWindow() = default;
    virtual void close() = 0;
};

// Total physical memory in bytes, as the operating system reports it.
class MemoryPort {
public:
    virtual ~MemoryPort() = default;
    [[nodiscard]] virtual std::uint64_t totalPhysicalBytes() const = 0;
};

// The start-with-the-session entry: present, create or replace, remove.
// Failures are silent by design; the dialog never reports them.
class AutostartPort {
public:
    virtual ~AutostartPort() = default;
    [[nodiscard]] virtual bool present() const = 0;
    virtual void write(const std::string& programPath) = 0;
    virtual void remove() = 0;
};

// Choosing the sensor behind each channel, through the sensor library.
class SensorChoicePort {
public:
    virtual ~SensorChoicePort() = default;
    // The library's list (GetSensorList's text); nothing when it cannot list.
    virtual std::optional<std::string> sensorList() = 0;
    // Saves "CHANNEL = VALUE" lines; message: the path written or why not.
    virtual bool save(const std::string& choices, std::string& message) = 0;
    // The library reads its map anew and the monitor takes the channels from it.
    virtual void reload() = 0;
};

}  // namespace velmon::dialogs
