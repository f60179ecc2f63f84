// frmStart's load and unload: the first full reading with the stored
// thresholds, and saving them; also a channel's thresholds alone, for a
// channel that comes or goes while Velmon runs.
#include "Monitor.h"

#include "Texts.h"
#include "ThresholdLimits.h"

namespace velmon {
namespace {

constexpr std::array<const char*, kFanCount> kInstKeys{"CPUInst", "PowerInst", "ChassisInst"};
constexpr std::array<const char*, kFanCount> kFanKeys{"CPUFan", "PowerFan", "ChassisFan"};
constexpr std::array<const char*, kTempCount> kTempKeys{"CPUTemp", "MBTemp"};

std::size_t at(int i) { return static_cast<std::size_t>(i); }

}  // namespace

// ---- Load and unload ---------------------------------------------------------

void Monitor::load() {
    ports_.tmrWarn.setEnabled(false);
    MainView& v = ports_.view;
    const WarningThresholds& defaults = defaults_.thresholds;
    // The first reading only raises: every flag is still clear.
    auto raiseOnWarning = [this](SensorChannel c) {
        if (verdict(c) == Verdict::Warning) raiseAlarm(c);
    };

    for (int f = 0; f < kFanCount; ++f) {
        if (!watch_.fan(f)) continue;
        const std::int16_t speed = ports_.sensor.read(fanChannel(f));
        readings_.fan[at(f)] = speed;
        const bool failed = noteRead(fanChannel(f), ports_.sensor.readFailures());
        thresholds_.installed[at(f)] = store_.readBool(kInstKeys[at(f)], true);
        if (!failed) {
            showFanState(f, speed, true);
            v.setText({Ctl::FanSpeedLabel, f}, fanText(speed));
            v.setText({Ctl::FanSummaryValue, f}, fanText(speed));
        }
        const std::int16_t threshold = fanThresholdFrom(ports_.settings.read(kFanKeys[at(f)]), defaults.fan[at(f)]);
        thresholds_.fan[at(f)] = threshold;
        v.setText({Ctl::FanWarnLabel, f}, fanText(threshold));
        raiseOnWarning(fanChannel(f));
        shown_.fan[at(f)] = speed;
        v.drawFanDial(f, threshold, speed);
    }

    readVoltages();
    for (int i = 0; i < kVoltCount; ++i) {
        if (!watch_.volt(i)) continue;
        if (!health_.failed(voltChannel(i))) v.setText({Ctl::VoltSummaryValue, i}, voltText(readings_.rounded[at(i)]));
        shown_.rounded[at(i)] = readings_.rounded[at(i)];
    }
    for (int i = 0; i < kVoltCount; ++i) {
        thresholds_.volUp[at(i)] =
            voltageThresholdFrom(ports_.settings.read("VolUp" + std::to_string(i)), kVoltageScaleBase[at(i)],
                                 defaults.volUp[at(i)]);
    }
    for (int i = 0; i < kVoltCount; ++i) {
        thresholds_.volDn[at(i)] =
            voltageThresholdFrom(ports_.settings.read("VolDn" + std::to_string(i)), kVoltageScaleBase[at(i)],
                                 defaults.volDn[at(i)]);
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (watch_.volt(i)) raiseOnWarning(voltChannel(i));
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (!watch_.volt(i)) continue;
        drawBar(i);
        // The bar's drawing writes the reading's label.
        if (health_.failed(voltChannel(i))) showNoReading(voltChannel(i));
    }

    for (int g = 0; g < kTempCount; ++g) {
        thresholds_.temp[at(g)] = temperatureThresholdFrom(ports_.settings.read(kTempKeys[at(g)]),
                                                           defaults_.gaugeBase[at(g)], defaults.temp[at(g)]);
    }
    for (int g = 0; g < kTempCount; ++g) {
        if (watch_.temp(g)) readings_.temp[at(g)] = ports_.sensor.read(tempChannel(g));
    }
    const std::int32_t tempFailures = ports_.sensor.readFailures();
    for (int g = 0; g < kTempCount; ++g) {
        if (watch_.temp(g)) noteRead(tempChannel(g), tempFailures);
    }
    if (watch_.temp(0) && readings_.temp[0] <= 0 && !health_.failed(tempChannel(0)))
        v.setVisible({Ctl::TempGauge, 0}, false);
    for (int g = 0; g < kTempCount; ++g) {
        if (watch_.temp(g) && !health_.failed(tempChannel(g))) showTempSummary(g);
    }
    for (int g = 0; g < kTempCount; ++g) shown_.temp[at(g)] = readings_.temp[at(g)];
    for (int g = 0; g < kTempCount; ++g) {
        if (!watch_.temp(g)) continue;
        drawGauge(g);
        if (health_.failed(tempChannel(g))) showNoReading(tempChannel(g));
    }
    for (int g = 0; g < kTempCount; ++g) {
        if (watch_.temp(g)) raiseOnWarning(tempChannel(g));
    }

    counters_ = {};
    loaded_ = true;
    ports_.tmrMonitor.setEnabled(true);
}

void Monitor::unload() {
    if (!loaded_) return;
    for (int f = 0; f < kFanCount; ++f) {
        if (!watch_.fan(f)) continue;
        store_.writeBool(kInstKeys[at(f)], thresholds_.installed[at(f)]);
        store_.writeInt(kFanKeys[at(f)], thresholds_.fan[at(f)]);
    }
    // The thresholds of a channel the machine lacks stay in the file as the
    // user left them, for a machine or a library that has it.
    for (int g = 0; g < kTempCount; ++g) {
        if (watch_.temp(g)) store_.writeInt(kTempKeys[at(g)], thresholds_.temp[at(g)]);
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (watch_.volt(i)) store_.writeSingle("VolUp" + std::to_string(i), thresholds_.volUp[at(i)]);
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (watch_.volt(i)) store_.writeSingle("VolDn" + std::to_string(i), thresholds_.volDn[at(i)]);
    }
}

void Monitor::storeThresholds(SensorChannel channel) {
    const int c = static_cast<int>(channel);
    if (c < kFanCount) {
        store_.writeBool(kInstKeys[at(c)], thresholds_.installed[at(c)]);
        store_.writeInt(kFanKeys[at(c)], thresholds_.fan[at(c)]);
    } else if (c < kFanCount + kTempCount) {
        store_.writeInt(kTempKeys[at(c - kFanCount)], thresholds_.temp[at(c - kFanCount)]);
    } else {
        const int i = c - kFanCount - kTempCount;
        store_.writeSingle("VolUp" + std::to_string(i), thresholds_.volUp[at(i)]);
        store_.writeSingle("VolDn" + std::to_string(i), thresholds_.volDn[at(i)]);
    }
}

void Monitor::loadThresholds(SensorChannel channel) {
    const int c = static_cast<int>(channel);
    const WarningThresholds& d = defaults_.thresholds;
    if (c < kFanCount) {
        thresholds_.installed[at(c)] = store_.readBool(kInstKeys[at(c)], true);
        thresholds_.fan[at(c)] = fanThresholdFrom(ports_.settings.read(kFanKeys[at(c)]), d.fan[at(c)]);
    } else if (c < kFanCount + kTempCount) {
        const int g = c - kFanCount;
        thresholds_.temp[at(g)] =
            temperatureThresholdFrom(ports_.settings.read(kTempKeys[at(g)]), defaults_.gaugeBase[at(g)], d.temp[at(g)]);
    } else {
        const int i = c - kFanCount - kTempCount;
        const std::string n = std::to_string(i);
        thresholds_.volUp[at(i)] =
            voltageThresholdFrom(ports_.settings.read("VolUp" + n), kVoltageScaleBase[at(i)], d.volUp[at(i)]);
        thresholds_.volDn[at(i)] =
            voltageThresholdFrom(ports_.settings.read("VolDn" + n), kVoltageScaleBase[at(i)], d.volDn[at(i)]);
    }
}

}  // namespace velmon
