#include "MonitorDialogs.h"

namespace velmon::dialogs {

namespace {

std::int16_t& slot(PollingIntervals& p, IntervalGroup g) {
    switch (g) {
    case IntervalGroup::Fan: return p.fan;
    case IntervalGroup::Temp: return p.temp;
    case IntervalGroup::Volt: break;
    }
    return p.volt;
}

std::size_t at(int i) { return static_cast<std::size_t>(i); }

}  // namespace

std::int16_t MonitorDialogHost::interval(IntervalGroup group) const {
    return slot(monitor_.intervals(), group);
}

void MonitorDialogHost::setInterval(IntervalGroup group, std::int16_t seconds) {
    slot(monitor_.intervals(), group) = seconds;
}

bool MonitorDialogHost::fanConfigured(int fan) const {
    return monitor_.fanConfiguration().configured(fan);
}

void MonitorDialogHost::setFanThreshold(int fan, std::int16_t rpm) {
    monitor_.thresholds().fan.at(at(fan)) = rpm;
}

void MonitorDialogHost::setTemperatureThreshold(int gauge, std::int16_t celsius) {
    monitor_.thresholds().temp.at(at(gauge)) = celsius;
}

void MonitorDialogHost::setVoltageThresholds(int input, float upper, float lower) {
    monitor_.thresholds().volUp.at(at(input)) = upper;
    monitor_.thresholds().volDn.at(at(input)) = lower;
}

void MonitorDialogHost::setThresholdsResetPending() { monitor_.thresholdsResetPending() = true; }

void MonitorDialogHost::setTrayTip(const std::string& text) {
    velmon::setTrayTip(monitor_.trayRecord(), text);
    monitor_.ports().tray.modify(monitor_.trayRecord());
}

}  // namespace velmon::dialogs
