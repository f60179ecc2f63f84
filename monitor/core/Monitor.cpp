#include "Monitor.h"

#include "Geometry.h"
#include "Texts.h"

namespace velmon {
namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

bool validFan(int i) { return i >= 0 && i < kFanCount; }

}  // namespace

ControlRef pageLabelOf(SensorChannel channel) {
    const int c = static_cast<int>(channel);
    if (c < 3) return {Ctl::FanSpeedLabel, c};
    if (c < 5) return {Ctl::TempLabel, c - 3};
    return {Ctl::VoltLabel, c - 5};
}

ControlRef summaryLabelOf(SensorChannel channel) {
    const int c = static_cast<int>(channel);
    if (c < 3) return {Ctl::FanSummaryValue, c};
    if (c < 5) return {Ctl::TempSummaryValue, c - 3};
    return {Ctl::VoltSummaryValue, c - 5};
}

Monitor::Monitor(Ports ports) : ports_(ports), store_(ports.settings) {
    setTrayTip(tray_, kTipNormal);
}

// ---- Alarm flags -----------------------------------------------------------

void Monitor::raiseAlarm(SensorChannel channel) {
    alarms_.flags[at(static_cast<int>(channel))] = true;
    showAlarmMark(channel);
    ports_.tmrWarn.setEnabled(true);
}

void Monitor::clearAlarm(SensorChannel channel) {
    alarms_.flags[at(static_cast<int>(channel))] = false;
    showAlarmMark(channel);
    setValueLabelsVisible(channel);
}

void Monitor::showAlarmMark(SensorChannel channel) {
    ports_.view.setAlarmMark(channel, alarms_.flags[at(static_cast<int>(channel))]);
}

void Monitor::setValueLabelsVisible(SensorChannel channel) {
    ports_.view.setVisible(pageLabelOf(channel), true);
    ports_.view.setVisible(summaryLabelOf(channel), true);
}

Verdict Monitor::verdict(SensorChannel channel) const {
    const int c = static_cast<int>(channel);
    // A failed read is no reading: nothing to judge.
    if (health_.failed(channel)) return Verdict::Unjudged;
    if (c < kFanCount)
        return fanVerdict(readings_.fan[at(c)], thresholds_.fan[at(c)], thresholds_.installed[at(c)]);
    if (c < kFanCount + kTempCount) {
        const int g = c - kFanCount;
        return temperatureVerdict(readings_.temp[at(g)], thresholds_.temp[at(g)]);
    }
    const int i = c - kFanCount - kTempCount;
    return voltageVerdict(readings_.rounded[at(i)], thresholds_.volUp[at(i)], thresholds_.volDn[at(i)]);
}

bool Monitor::evaluate(SensorChannel channel) {
    if (!watch_.watched(channel)) return false;
    switch (verdict(channel)) {
    case Verdict::Warning: raiseAlarm(channel); return true;
    case Verdict::Normal: clearAlarm(channel); break;
    case Verdict::Unjudged: break;
    }
    return false;
}

// ---- Failed reads ----------------------------------------------------------------

bool Monitor::noteRead(SensorChannel channel, std::int32_t failures) {
    const bool failed = ((failures >> static_cast<int>(channel)) & 1) != 0;
    switch (health_.note(channel, failed)) {
    case HealthChange::Lost:
        // Its warning, if it had one, rested on readings that are gone; the
        // word that the sensor is lost takes its place.
        if (alarms_.flags[at(static_cast<int>(channel))]) clearAlarm(channel);
        if (notices_) notices_->sensorLost(channel, sensorLostText(channel));
        if (!alarms_.any()) {
            setTrayTip(tray_, quietTip());
            ports_.tray.modify(tray_);
        }
        break;
    case HealthChange::Back:
        if (notices_) notices_->sensorBack(channel, sensorBackText(channel));
        if (!alarms_.any()) {
            setTrayTip(tray_, quietTip());
            ports_.tray.modify(tray_);
        }
        break;
    case HealthChange::None: break;
    }
    if (failed && !noReadingShown_[at(static_cast<int>(channel))]) showNoReading(channel);
    return failed;
}

void Monitor::showNoReading(SensorChannel channel) {
    ports_.view.setText(pageLabelOf(channel), kNoReading);
    ports_.view.setText(summaryLabelOf(channel), kNoReading);
    noReadingShown_[at(static_cast<int>(channel))] = true;
}

std::string Monitor::quietTip() const {
    for (int c = 0; c < kChannelCount; ++c) {
        const auto channel = static_cast<SensorChannel>(c);
        if (watch_.watched(channel) && health_.lost(channel)) return sensorLostTip(channel);
    }
    return kTipNormal;
}

// ---- Polling cycle -------------------------------------------------------------

void Monitor::tmrMonitorTick() {
    counters_.fan = static_cast<std::int16_t>(counters_.fan + 1);
    counters_.temp = static_cast<std::int16_t>(counters_.temp + 1);
    counters_.volt = static_cast<std::int16_t>(counters_.volt + 1);
    if (counters_.fan >= intervals_.fan) {
        runFanGroup();
        counters_.fan = 0;
    }
    if (counters_.temp >= intervals_.temp) {
        runTempGroup();
        counters_.temp = 0;
    }
    if (counters_.volt >= intervals_.volt) {
        runVoltGroup();
        counters_.volt = 0;
    }
}

void Monitor::runFanGroup() {
    for (int f = 0; f < kFanCount; ++f) {
        if (watch_.fan(f)) readFan(f);
    }
}

void Monitor::showFanState(int f, std::int16_t speed, bool firstReading) {
    MainView& v = ports_.view;
    if (speed != 0) {
        thresholds_.installed[at(f)] = true;
        // At load the dial and its box are still as the layout left them.
        if (firstReading) return;
        v.setVisible({Ctl::FanDial, f}, true);
        v.setVisible({Ctl::FanCheck, f}, false);
        v.setVisible({Ctl::FanInstLabel, f}, false);
    } else if (thresholds_.installed[at(f)]) {
        // A stopped fan offers the box that says it is not there.
        setChecked(f, false);
        v.setVisible({Ctl::FanCheck, f}, true);
        v.setVisible({Ctl::FanInstLabel, f}, true);
    } else if (firstReading) {
        v.setVisible({Ctl::FanDial, f}, false);
    } else {
        setChecked(f, true);
    }
}

void Monitor::readFan(int f) {
    MainView& v = ports_.view;
    const std::int16_t speed = ports_.sensor.read(fanChannel(f));
    if (noteRead(fanChannel(f), ports_.sensor.readFailures())) return;
    readings_.fan[at(f)] = speed;
    if (speed != shown_.fan[at(f)] || noReadingShown_[at(f)]) {
        noReadingShown_[at(f)] = false;
        v.setText({Ctl::FanSpeedLabel, f}, fanText(speed));
        v.setText({Ctl::FanSummaryValue, f}, fanText(speed));
        v.drawFanNeedle(f, speed);
        shown_.fan[at(f)] = speed;
    }
    showFanState(f, speed, false);
    if (evaluate(fanChannel(f))) showAlarmPage(Page::Fan);
}

void Monitor::runTempGroup() {
    MainView& v = ports_.view;
    std::array<std::int16_t, kTempCount> read{};
    for (int g = 0; g < kTempCount; ++g) {
        if (watch_.temp(g)) read[at(g)] = ports_.sensor.read(tempChannel(g));
    }
    const std::int32_t failures = ports_.sensor.readFailures();
    for (int g = 0; g < kTempCount; ++g) {
        if (!watch_.temp(g) || noteRead(tempChannel(g), failures)) continue;
        readings_.temp[at(g)] = read[at(g)];
        const auto c = at(static_cast<int>(tempChannel(g)));
        if (readings_.temp[at(g)] == shown_.temp[at(g)] && !noReadingShown_[c]) continue;
        noReadingShown_[c] = false;
        drawGauge(g);
        // Only the CPU gauge goes when its sensor reads nothing.
        if (g == 0) v.setVisible({Ctl::TempGauge, 0}, readings_.temp[0] > 0);
        showTempSummary(g);
        shown_.temp[at(g)] = readings_.temp[at(g)];
    }
    for (int g = 0; g < kTempCount; ++g) {
        if (evaluate(tempChannel(g))) showAlarmPage(Page::Temp);
    }
}

void Monitor::readVoltages() {
    std::array<std::int16_t, kVoltCount> raw{};
    for (int i = 0; i < kVoltCount; ++i) {
        if (watch_.volt(i)) raw[at(i)] = ports_.sensor.read(voltChannel(i));
    }
    const std::int32_t failures = ports_.sensor.readFailures();
    for (int i = 0; i < kVoltCount; ++i) {
        if (!watch_.volt(i) || noteRead(voltChannel(i), failures)) continue;
        readings_.volts[at(i)] = geometry::voltsFromMillivolts(raw[at(i)]);
        readings_.rounded[at(i)] = geometry::roundVolts(readings_.volts[at(i)]);
    }
}

void Monitor::runVoltGroup() {
    readVoltages();
    for (int i = 0; i < kVoltCount; ++i) {
        if (!watch_.volt(i) || health_.failed(voltChannel(i))) continue;
        const float r = readings_.rounded[at(i)];
        const auto c = at(static_cast<int>(voltChannel(i)));
        if (r != shown_.rounded[at(i)] || noReadingShown_[c]) {
            noReadingShown_[c] = false;
            drawBar(i);
            ports_.view.setText({Ctl::VoltSummaryValue, i}, voltText(r));
            shown_.rounded[at(i)] = r;
        }
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (evaluate(voltChannel(i))) showAlarmPage(Page::Volt);
    }
}

void Monitor::showAlarmPage(Page page) {
    MainView& v = ports_.view;
    if (v.isWindowVisible()) return;
    for (int p = 0; p < 4; ++p) {
        if (p != static_cast<int>(page)) v.setVisible({Ctl::PagePanel, p}, false);
    }
    v.setVisible({Ctl::PagePanel, static_cast<int>(page)}, true);
    v.showWindow();
}

void Monitor::showTempSummary(int g) {
    const std::int16_t t = readings_.temp[at(g)];
    const std::string text = (g == 0 && t <= 0) ? std::string("N/A") : temperatureText(t);
    ports_.view.setText({Ctl::TempSummaryValue, g}, text);
}

void Monitor::drawGauge(int g) {
    ports_.view.drawTemperatureGauge(g, readings_.temp[at(g)], thresholds_.temp[at(g)], defaults_.gaugeBase[at(g)]);
}

void Monitor::drawBar(int i) {
    ports_.view.drawVoltageBar(i, kVoltageScaleBase[at(i)], thresholds_.volUp[at(i)], thresholds_.volDn[at(i)],
                               readings_.rounded[at(i)]);
}

// ---- Fan check boxes and spin controls -------------------------------------

void Monitor::setChecked(int fan, bool checked) {
    if (checked_[at(fan)] == checked) return;
    checked_[at(fan)] = checked;
    ports_.view.setChecked(fan, checked);
    checkClickRules(fan, checked);
}

void Monitor::fanCheckClicked(int fan, bool checked) {
    if (!validFan(fan) || checked_[at(fan)] == checked) return;
    checked_[at(fan)] = checked;
    checkClickRules(fan, checked);
}

void Monitor::checkClickRules(int fan, bool checked) {
    MainView& v = ports_.view;
    if (checked) {
        alarms_.fan(fan) = false;
        showAlarmMark(fanChannel(fan));
        thresholds_.installed[at(fan)] = false;
        setValueLabelsVisible(fanChannel(fan));
        v.setVisible({Ctl::FanDial, fan}, false);
        v.setVisible({Ctl::FanCheck, fan}, false);
        v.setVisible({Ctl::FanInstLabel, fan}, false);
    } else {
        alarms_.fan(fan) = true;
        showAlarmMark(fanChannel(fan));
        thresholds_.installed[at(fan)] = true;
    }
}

void Monitor::fanSpinChanged(int fan, bool up) {
    if (!validFan(fan)) return;
    const int next = geometry::fanThresholdStep(thresholds_.fan[at(fan)], up);
    if (next == thresholds_.fan[at(fan)]) return;  // at the bound the control does not change
    pausePolling();
    thresholds_.fan[at(fan)] = static_cast<std::int16_t>(next);
    ports_.view.setText({Ctl::FanWarnLabel, fan}, fanText(next));
    evaluate(fanChannel(fan));
    ports_.view.drawFanZone(fan, next);
    resumePolling();
}

// ---- Redraw after a threshold reset ------------------------------------------

void Monitor::formActivated() {
    if (!resetPending_) return;
    MainView& v = ports_.view;
    for (int f = 0; f < kFanCount; ++f) v.clearFanDial(f);
    for (int f = 0; f < kFanCount; ++f) {
        v.drawFanDial(f, thresholds_.fan[at(f)], readings_.fan[at(f)]);
        evaluate(fanChannel(f));
    }
    for (int g = 0; g < kTempCount; ++g) {
        if (!watch_.temp(g)) continue;
        drawGauge(g);
        if (health_.failed(tempChannel(g))) showNoReading(tempChannel(g));
        evaluate(tempChannel(g));
    }
    // Input 1 is not on the page, so the redraw leaves it as it was.
    for (int i = 0; i < kVoltCount; ++i) {
        if (i != 1 && watch_.volt(i)) {
            drawBar(i);
            if (health_.failed(voltChannel(i))) showNoReading(voltChannel(i));
        }
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (i != 1) evaluate(voltChannel(i));
    }
    resetPending_ = false;
}

// ---- Navigation ------------------------------------------------------------------

void Monitor::pageButtonPressed(int button) {
    static constexpr std::array<PageChoice, 3> kChoice{PageChoice::Fan, PageChoice::Temp, PageChoice::Volt};
    if (button < 0 || button > 3) return;
    pausePolling();
    MainView& v = ports_.view;
    if (button < 3 && pageChoice_ == kChoice[at(button)]) return;
    for (int p = 0; p < 4; ++p) {
        if (p != button) v.setVisible({Ctl::PagePanel, p}, false);
    }
    v.setVisible({Ctl::PagePanel, button}, true);
    pageChoice_ = button < 3 ? kChoice[at(button)] : PageChoice::None;
}

void Monitor::windowClosedByOval() {
    ports_.view.hideWindow();
    pageChoice_ = PageChoice::None;
    resumePolling();
}

void Monitor::pausePolling() { ports_.tmrMonitor.setEnabled(false); }
void Monitor::resumePolling() { ports_.tmrMonitor.setEnabled(true); }

}  // namespace velmon
