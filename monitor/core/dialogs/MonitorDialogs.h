// The dialogs' view of the running monitor: frmStart's state and timers.
#pragma once

#include "DialogPorts.h"
#include "Monitor.h"

namespace velmon::dialogs {

class MonitorDialogHost final : public DialogMonitor {
public:
    explicit MonitorDialogHost(Monitor& monitor) : monitor_(monitor) {}

    [[nodiscard]] std::int16_t interval(IntervalGroup group) const override;
    void setInterval(IntervalGroup group, std::int16_t seconds) override;
    [[nodiscard]] bool fanConfigured(int fan) const override;
    [[nodiscard]] WarningThresholds defaultThresholds() const override {
        return monitor_.machineDefaults().thresholds;
    }
    void setFanThreshold(int fan, std::int16_t rpm) override;
    void setTemperatureThreshold(int gauge, std::int16_t celsius) override;
    void setVoltageThresholds(int input, float upper, float lower) override;
    void setThresholdsResetPending() override;
    void setTrayTip(const std::string& text) override;
    Timer& tmrMonitor() override { return monitor_.ports().tmrMonitor; }
    Timer& tmrWarn() override { return monitor_.ports().tmrWarn; }
    MainView& mainView() override { return monitor_.ports().view; }
    SettingsBackend& settings() override { return monitor_.ports().settings; }

private:
    Monitor& monitor_;
};

// The sensor library's choosing exports, and the monitor taking the channels
// anew after a reload.
class MonitorSensorChoice final : public SensorChoicePort {
public:
    explicit MonitorSensorChoice(Monitor& monitor) : monitor_(monitor) {}
    std::optional<std::string> sensorList() override { return monitor_.ports().sensor.sensorList(); }
    bool save(const std::string& choices, std::string& message) override {
        return monitor_.ports().sensor.saveChannelSensors(choices, message);
    }
    void reload() override {
        if (monitor_.ports().sensor.reloadSensors()) monitor_.sensorsChanged();
    }

private:
    Monitor& monitor_;
};

}  // namespace velmon::dialogs
