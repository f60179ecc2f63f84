#include "Monitor.h"

#include <cmath>

#include "Geometry.h"
#include "Texts.h"

namespace velmon {
namespace {

constexpr std::array<const char*, kFanCount> kInstKeys{"CPUInst", "PowerInst", "ChassisInst"};
constexpr std::array<const char*, kFanCount> kFanKeys{"CPUFan", "PowerFan", "ChassisFan"};
constexpr std::array<const char*, kTempCount> kTempKeys{"CPUTemp", "MBTemp"};
constexpr std::array<const char*, kTempCount> kGaugeTips{"CPU Temperature", "Mainboard Temperature"};

std::size_t at(int i) { return static_cast<std::size_t>(i); }

SensorChannel fanChannel(int fan) { return static_cast<SensorChannel>(fan); }
SensorChannel tempChannel(int gauge) { return static_cast<SensorChannel>(3 + gauge); }
SensorChannel voltChannel(int input) { return static_cast<SensorChannel>(5 + input); }

// Pointer rows arrive as doubles; the handlers take them rounded as the
// toolkit's integer conversion does (halves to even).
std::int16_t roundRow(double y) {
    const double r = std::nearbyint(y);
    if (!(r >= -32768.0 && r <= 32767.0)) return r < 0 ? std::int16_t{-32768} : std::int16_t{32767};
    return static_cast<std::int16_t>(r);
}

int clampDelta(double d) {
    const double r = std::nearbyint(d);
    if (!(r >= -1e6 && r <= 1e6)) return r < 0 ? -1000000 : 1000000;
    return static_cast<int>(r);
}

bool validFan(int i) { return i >= 0 && i < kFanCount; }
bool validGauge(int i) { return i >= 0 && i < kTempCount; }
bool validInput(int i) { return i >= 0 && i < kVoltCount; }

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
    ports_.tmrWarn.setEnabled(true);
}

void Monitor::clearAlarm(SensorChannel channel) {
    alarms_.flags[at(static_cast<int>(channel))] = false;
    setValueLabelsVisible(channel);
}

void Monitor::setValueLabelsVisible(SensorChannel channel) {
    ports_.view.setVisible(pageLabelOf(channel), true);
    ports_.view.setVisible(summaryLabelOf(channel), true);
}

// ---- Load and unload ---------------------------------------------------------

void Monitor::load() {
    ports_.tmrWarn.setEnabled(false);
    MainView& v = ports_.view;

    for (int f = 0; f < kFanCount; ++f) {
        if (!fanConfig_.configured(f)) continue;
        const std::int16_t speed = ports_.sensor.read(fanChannel(f));
        readings_.fan[at(f)] = speed;
        bool installed = store_.readBool(kInstKeys[at(f)], true);
        if (speed == 0) {
            if (installed) {
                setChecked(f, false);
                v.setVisible({Ctl::FanCheck, f}, true);
                v.setVisible({Ctl::FanInstLabel, f}, true);
            } else {
                v.setVisible({Ctl::FanDial, f}, false);
            }
        } else {
            installed = true;
        }
        thresholds_.installed[at(f)] = installed;
        v.setText({Ctl::FanSpeedLabel, f}, fanText(speed));
        v.setText({Ctl::FanSummaryValue, f}, fanText(speed));
        const std::int16_t threshold = store_.readInt(kFanKeys[at(f)], defaults_.thresholds.fan[at(f)]);
        thresholds_.fan[at(f)] = threshold;
        v.setText({Ctl::FanWarnLabel, f}, fanText(threshold));
        if (speed <= threshold && installed) raiseAlarm(fanChannel(f));
        shown_.fan[at(f)] = speed;
        v.drawFanDial(f, threshold, speed);
    }

    readVoltages();
    for (int i = 0; i < kVoltCount; ++i) {
        if (!presence_.volt(i)) continue;
        v.setText({Ctl::VoltSummaryValue, i}, voltText(readings_.rounded[at(i)]));
        shown_.rounded[at(i)] = readings_.rounded[at(i)];
    }
    const WarningThresholds& defaults = defaults_.thresholds;
    for (int i = 0; i < kVoltCount; ++i) {
        thresholds_.volUp[at(i)] = store_.readSingle("VolUp" + std::to_string(i), defaults.volUp[at(i)]);
    }
    for (int i = 0; i < kVoltCount; ++i) {
        thresholds_.volDn[at(i)] = store_.readSingle("VolDn" + std::to_string(i), defaults.volDn[at(i)]);
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (!presence_.volt(i)) continue;
        const float r = readings_.rounded[at(i)];
        if (!(thresholds_.volDn[at(i)] < r && r < thresholds_.volUp[at(i)])) raiseAlarm(voltChannel(i));
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (presence_.volt(i)) drawBar(i);
    }

    for (int g = 0; g < kTempCount; ++g) {
        thresholds_.temp[at(g)] = store_.readInt(kTempKeys[at(g)], defaults.temp[at(g)]);
    }
    for (int g = 0; g < kTempCount; ++g) {
        if (presence_.temp(g)) readings_.temp[at(g)] = ports_.sensor.read(tempChannel(g));
    }
    if (presence_.temp(0) && readings_.temp[0] <= 0) v.setVisible({Ctl::TempGauge, 0}, false);
    for (int g = 0; g < kTempCount; ++g) {
        if (presence_.temp(g)) showTempSummary(g);
    }
    for (int g = 0; g < kTempCount; ++g) shown_.temp[at(g)] = readings_.temp[at(g)];
    for (int g = 0; g < kTempCount; ++g) {
        if (presence_.temp(g)) drawGauge(g);
    }
    for (int g = 0; g < kTempCount; ++g) {
        if (presence_.temp(g) && readings_.temp[at(g)] >= thresholds_.temp[at(g)]) raiseAlarm(tempChannel(g));
    }

    counters_ = {};
    loaded_ = true;
    ports_.tmrMonitor.setEnabled(true);
}

void Monitor::unload() {
    if (!loaded_) return;
    for (int f = 0; f < kFanCount; ++f) {
        if (!fanConfig_.configured(f)) continue;
        store_.writeBool(kInstKeys[at(f)], thresholds_.installed[at(f)]);
        store_.writeInt(kFanKeys[at(f)], thresholds_.fan[at(f)]);
    }
    // The thresholds of a channel the machine lacks stay in the file as the
    // user left them, for a machine or a library that has it.
    for (int g = 0; g < kTempCount; ++g) {
        if (presence_.temp(g)) store_.writeInt(kTempKeys[at(g)], thresholds_.temp[at(g)]);
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (presence_.volt(i)) store_.writeSingle("VolUp" + std::to_string(i), thresholds_.volUp[at(i)]);
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (presence_.volt(i)) store_.writeSingle("VolDn" + std::to_string(i), thresholds_.volDn[at(i)]);
    }
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
        if (fanConfig_.configured(f)) readFan(f);
    }
}

void Monitor::readFan(int f) {
    MainView& v = ports_.view;
    const std::int16_t speed = ports_.sensor.read(fanChannel(f));
    readings_.fan[at(f)] = speed;
    if (speed != shown_.fan[at(f)]) {
        v.setText({Ctl::FanSpeedLabel, f}, fanText(speed));
        v.setText({Ctl::FanSummaryValue, f}, fanText(speed));
        v.drawFanNeedle(f, speed);
        shown_.fan[at(f)] = speed;
    }
    if (speed == 0) {
        if (thresholds_.installed[at(f)]) {
            setChecked(f, false);
            v.setVisible({Ctl::FanCheck, f}, true);
            v.setVisible({Ctl::FanInstLabel, f}, true);
        } else {
            setChecked(f, true);
        }
    } else {
        thresholds_.installed[at(f)] = true;
        v.setVisible({Ctl::FanDial, f}, true);
        v.setVisible({Ctl::FanCheck, f}, false);
        v.setVisible({Ctl::FanInstLabel, f}, false);
    }
    if (speed > thresholds_.fan[at(f)]) {
        clearAlarm(fanChannel(f));
    } else if (thresholds_.installed[at(f)]) {
        raiseAlarm(fanChannel(f));
        showAlarmPage(Page::Fan);
    }
}

void Monitor::runTempGroup() {
    MainView& v = ports_.view;
    if (presence_.temp(0)) readings_.temp[0] = ports_.sensor.read(SensorChannel::CpuTemp);
    if (presence_.temp(1)) readings_.temp[1] = ports_.sensor.read(SensorChannel::MbTemp);
    if (presence_.temp(0) && readings_.temp[0] != shown_.temp[0]) {
        drawGauge(0);
        v.setVisible({Ctl::TempGauge, 0}, readings_.temp[0] > 0);
        showTempSummary(0);
        shown_.temp[0] = readings_.temp[0];
    }
    if (presence_.temp(1) && readings_.temp[1] != shown_.temp[1]) {
        drawGauge(1);
        showTempSummary(1);
        shown_.temp[1] = readings_.temp[1];
    }
    for (int g = 0; g < kTempCount; ++g) {
        if (!presence_.temp(g)) continue;
        if (readings_.temp[at(g)] >= thresholds_.temp[at(g)]) {
            raiseAlarm(tempChannel(g));
            showAlarmPage(Page::Temp);
        } else {
            clearAlarm(tempChannel(g));
        }
    }
}

void Monitor::readVoltages() {
    for (int i = 0; i < kVoltCount; ++i) {
        if (!presence_.volt(i)) continue;
        const std::int16_t raw = ports_.sensor.read(static_cast<SensorChannel>(static_cast<int>(SensorChannel::In0) + i));
        readings_.volts[at(i)] = geometry::voltsFromMillivolts(raw);
        readings_.rounded[at(i)] = geometry::roundVolts(readings_.volts[at(i)]);
    }
}

void Monitor::runVoltGroup() {
    readVoltages();
    for (int i = 0; i < kVoltCount; ++i) {
        if (!presence_.volt(i)) continue;
        const float r = readings_.rounded[at(i)];
        if (r != shown_.rounded[at(i)]) {
            drawBar(i);
            ports_.view.setText({Ctl::VoltSummaryValue, i}, voltText(r));
            shown_.rounded[at(i)] = r;
        }
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (!presence_.volt(i)) continue;
        const float r = readings_.rounded[at(i)];
        if (!(thresholds_.volDn[at(i)] < r && r < thresholds_.volUp[at(i)])) {
            raiseAlarm(voltChannel(i));
            showAlarmPage(Page::Volt);
        } else {
            clearAlarm(voltChannel(i));
        }
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
        thresholds_.installed[at(fan)] = false;
        setValueLabelsVisible(fanChannel(fan));
        v.setVisible({Ctl::FanDial, fan}, false);
        v.setVisible({Ctl::FanCheck, fan}, false);
        v.setVisible({Ctl::FanInstLabel, fan}, false);
    } else {
        alarms_.fan(fan) = true;
        thresholds_.installed[at(fan)] = true;
    }
}

void Monitor::evaluateFan(int f) {
    // A fan the board does not have is never read: its reading stays 0 and
    // its installed flag at the initial true, which must not count as a stop.
    if (!fanConfig_.configured(f)) return;
    if (readings_.fan[at(f)] > thresholds_.fan[at(f)]) {
        clearAlarm(fanChannel(f));
    } else if (thresholds_.installed[at(f)]) {
        raiseAlarm(fanChannel(f));
    }
}

void Monitor::fanSpinChanged(int fan, bool up) {
    if (!validFan(fan)) return;
    const int next = geometry::fanThresholdStep(thresholds_.fan[at(fan)], up);
    if (next == thresholds_.fan[at(fan)]) return;  // at the bound the control does not change
    pausePolling();
    thresholds_.fan[at(fan)] = static_cast<std::int16_t>(next);
    ports_.view.setText({Ctl::FanWarnLabel, fan}, fanText(next));
    evaluateFan(fan);
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
        if (presence_.fan(f)) evaluateFan(f);
    }
    for (int g = 0; g < kTempCount; ++g) {
        if (!presence_.temp(g)) continue;
        drawGauge(g);
        evaluateTemp(g);
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (i != 1 && presence_.volt(i)) drawBar(i);
    }
    for (int i = 0; i < kVoltCount; ++i) {
        if (i != 1 && presence_.volt(i)) evaluateVolt(i);
    }
    resetPending_ = false;
}

void Monitor::evaluateTemp(int g) {
    if (readings_.temp[at(g)] < thresholds_.temp[at(g)]) clearAlarm(tempChannel(g));
    else raiseAlarm(tempChannel(g));
}

void Monitor::evaluateVolt(int i) {
    const float r = readings_.rounded[at(i)];
    if (thresholds_.volDn[at(i)] < r && r < thresholds_.volUp[at(i)]) clearAlarm(voltChannel(i));
    else raiseAlarm(voltChannel(i));
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

// ---- Temperature pointers ----------------------------------------------------

void Monitor::temperaturePointerPressed(int gauge, double y) {
    if (!validGauge(gauge) || !presence_.temp(gauge)) return;
    pausePolling();
    ports_.view.setEnabled({Ctl::TempPointer, gauge}, false);
    tempDrag_.dragging[at(gauge)] = true;
    tempDrag_.grabY = roundRow(y);
}

void Monitor::temperatureGaugeMoved(int gauge, double y) {
    if (!validGauge(gauge) || !tempDrag_.dragging[at(gauge)]) return;
    const int delta = clampDelta(y - tempDrag_.grabY);
    const auto drag = geometry::temperatureDrag(delta, defaults_.gaugeBase[at(gauge)]);
    if (!drag) return;
    MainView& v = ports_.view;
    v.setToolTip({Ctl::TempGauge, gauge}, "");
    thresholds_.temp[at(gauge)] = static_cast<std::int16_t>(drag->threshold);
    v.setText({Ctl::TempWarnLabel, gauge}, temperaturePair(drag->threshold));
    if (readings_.temp[at(gauge)] >= thresholds_.temp[at(gauge)]) raiseAlarm(tempChannel(gauge));
    else clearAlarm(tempChannel(gauge));
    drawGauge(gauge);
}

void Monitor::endTemperatureDrag(int gauge) {
    tempDrag_.dragging[at(gauge)] = false;
    ports_.view.setEnabled({Ctl::TempPointer, gauge}, true);
    ports_.view.setToolTip({Ctl::TempGauge, gauge}, kGaugeTips[at(gauge)]);
}

void Monitor::temperatureGaugeReleased(int gauge) {
    if (!validGauge(gauge)) return;
    endTemperatureDrag(gauge);
    resumePolling();
}

void Monitor::temperaturePageReleased() {
    endTemperatureDrag(0);
    endTemperatureDrag(1);
    resumePolling();
}

// ---- Voltage markers --------------------------------------------------------------

void Monitor::voltageMarkerPressed(int input, bool upper, double y) {
    if (!validInput(input) || !presence_.volt(input)) return;
    pausePolling();
    ports_.view.setEnabled({upper ? Ctl::VoltUpMarker : Ctl::VoltDnMarker, input}, false);
    (upper ? voltDrag_.upDragging : voltDrag_.dnDragging)[at(input)] = true;
    voltDrag_.grabY[at(input)] = roundRow(y);
    voltDrag_.dragIndex = static_cast<std::int16_t>(input);
}

void Monitor::voltageBarMoved(int input, double y) {
    if (!validInput(input) || !presence_.volt(input)) return;
    const int delta = clampDelta(y - voltDrag_.grabY[at(input)]);
    const int base = kVoltageScaleBase[at(input)];
    MainView& v = ports_.view;
    if (voltDrag_.upDragging[at(input)]) {
        if (const auto d = geometry::voltageUpperDrag(delta, base, thresholds_.volDn[at(input)])) {
            thresholds_.volUp[at(input)] = d->threshold;
            v.setText({Ctl::VoltUpLabel, input}, voltText(d->threshold));
            drawBar(input);
        }
    }
    evaluateVolt(input);
    if (voltDrag_.dnDragging[at(input)]) {
        if (const auto d = geometry::voltageLowerDrag(delta, base, thresholds_.volUp[at(input)])) {
            thresholds_.volDn[at(input)] = d->threshold;
            v.setText({Ctl::VoltDnLabel, input}, voltText(d->threshold));
            drawBar(input);
        }
        evaluateVolt(input);
    }
}

void Monitor::voltageBarReleased() {
    const int i = voltDrag_.dragIndex;
    voltDrag_.upDragging[at(i)] = false;
    voltDrag_.dnDragging[at(i)] = false;
    ports_.view.setEnabled({Ctl::VoltUpMarker, i}, true);
    ports_.view.setEnabled({Ctl::VoltDnMarker, i}, true);
    resumePolling();
}

void Monitor::voltageMarkerReleased(bool overUpper) {
    const int i = voltDrag_.dragIndex;
    if (overUpper) {
        voltDrag_.dnDragging[at(i)] = false;
        ports_.view.setEnabled({Ctl::VoltDnMarker, i}, true);
    } else {
        voltDrag_.upDragging[at(i)] = false;
        ports_.view.setEnabled({Ctl::VoltUpMarker, i}, true);
    }
    resumePolling();
}

void Monitor::voltagePageReleased() { voltageBarReleased(); }

void Monitor::backgroundReleased() {
    endTemperatureDrag(0);
    endTemperatureDrag(1);
    voltageBarReleased();
}

// ---- Alerts ----------------------------------------------------------------------

void Monitor::refreshTrayIcon() {
    trayIconIndex_ = static_cast<std::int16_t>(1 - trayIconIndex_);
    tray_.hIcon = trayIconIndex_ == 0 ? TrayImage::Normal : TrayImage::Alert;
    ports_.tray.modify(tray_);
}

void Monitor::tmrWarnTick() {
    MainView& v = ports_.view;
    warned_ = false;
    for (int c = 0; c < kChannelCount; ++c) {
        if (!alarms_.flags[at(c)]) continue;
        const auto channel = static_cast<SensorChannel>(c);
        const ControlRef page = pageLabelOf(channel);
        const ControlRef summary = summaryLabelOf(channel);
        v.setVisible(page, !v.isVisible(page));
        v.setVisible(summary, !v.isVisible(summary));
        ports_.beeper.simpleBeep();
        ports_.beeper.simpleBeep();
        ports_.beeper.simpleBeep();
        ports_.beeper.standardBeep();
        refreshTrayIcon();
        warned_ = true;
    }
    if (warned_) {
        setTrayTip(tray_, kTipWarning);
    } else {
        tray_.hIcon = TrayImage::Normal;
        setTrayTip(tray_, kTipNormal);
    }
    ports_.tray.modify(tray_);
}

// ---- Tray record ---------------------------------------------------------------

void setTrayTip(TrayIconRecord& record, const std::string& text) {
    record.szTip.fill(' ');
    const std::size_t n = text.size() < record.szTip.size() - 1 ? text.size() : record.szTip.size() - 1;
    for (std::size_t i = 0; i < n; ++i) record.szTip[i] = text[i];
    record.szTip[n] = '\0';
}

std::string trayTip(const TrayIconRecord& record) { return trimAtNull(record.szTip.data(), record.szTip.size()); }

}  // namespace velmon
