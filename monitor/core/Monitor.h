// frmStart's state and the handlers that change it: the initial reading, the
// polling cycle, the alert timer, the fan check boxes and spin controls, page
// switching, the threshold drags and the redraw after a threshold reset.
#pragma once

#include <functional>

#include "MachineDefaults.h"
#include "MonitorState.h"
#include "Ports.h"
#include "SensorHealth.h"
#include "SettingsStore.h"
#include "WarningRules.h"

namespace velmon {

// Everything outside the core, by reference; the app owns the objects.
struct Ports {
    SensorPort& sensor;
    CpuDataPort& cpuData;
    SettingsBackend& settings;
    Timer& tmrMonitor;  // 1000 ms, the polling cycle
    Timer& tmrWarn;     // 700 ms, the alerts
    Beeper& beeper;
    Prompter& prompter;
    TrayPort& tray;
    MainView& view;
    LogoView& logo;
    Environment& env;
};

class Monitor final : public MainWindowEvents {
public:
    explicit Monitor(Ports ports);

    // frmStart's load, after the window's layout: the first full reading and
    // the thresholds. Leaves tmrMonitor enabled and tmrWarn as the alarms left it.
    void load();
    // frmStart's unload: saves the installed flags and thresholds. Does
    // nothing before load(), so an early end never stores defaults.
    void unload();
    [[nodiscard]] bool loaded() const { return loaded_; }

    // MainWindowEvents
    void tmrMonitorTick() override;
    void tmrWarnTick() override;
    void fanCheckClicked(int fan, bool checked) override;
    void fanSpinChanged(int fan, bool up) override;
    void formActivated() override;
    void pageButtonPressed(int button) override;
    void windowClosedByOval() override;
    void temperaturePointerPressed(int gauge, double y) override;
    void temperatureGaugeMoved(int gauge, double y) override;
    void temperatureGaugeReleased(int gauge) override;
    void temperaturePageReleased() override;
    void voltageMarkerPressed(int input, bool upper, double y) override;
    void voltageBarMoved(int input, double y) override;
    void voltageBarReleased() override;
    void voltageMarkerReleased(bool overUpper) override;
    void voltagePageReleased() override;
    void backgroundReleased() override;
    void pausePolling() override;
    void resumePolling() override;

    // ShowAlarmPage: only while the window is hidden.
    void showAlarmPage(Page page);
    // RefreshTrayIcon: flips TrayIconIndex and the record's image.
    void refreshTrayIcon();
    // The three fans' check box states as the core last set or saw them.
    [[nodiscard]] bool fanChecked(int fan) const { return checked_[static_cast<std::size_t>(fan)]; }

    // Shared state, for the tray, the dialogs and the window's layout.
    FanConfiguration& fanConfiguration() { return watch_.fans; }
    // What the machine can measure; set once by startup, before load().
    [[nodiscard]] const ChannelPresence& presence() const { return watch_.presence; }
    void setPresence(const ChannelPresence& presence) { watch_.presence = presence; }
    // The board's MBFAN.INI flags before presence cuts them; set by startup.
    void setBoardFans(const FanConfiguration& fans) { boardFans_ = fans; }
    // The sensor library's map changed (a choice of sensors, zorv.conf edited):
    // the channel mask and this machine's defaults are taken anew.
    void sensorsChanged();
    // What sensorsChanged does with the new watch: a channel that goes keeps
    // its thresholds in the settings and stops warning; one that comes is
    // read at once with its stored thresholds, else the machine's defaults.
    void presenceChanged(const ChannelWatch& next, const MachineDefaults& defaults);
    // Which channels are watched: the two above together.
    [[nodiscard]] const ChannelWatch& watch() const { return watch_; }
    // This machine's default thresholds and gauge scales; set once by startup, before load().
    [[nodiscard]] const MachineDefaults& machineDefaults() const { return defaults_; }
    void setMachineDefaults(const MachineDefaults& defaults) { defaults_ = defaults; }
    PollingIntervals& intervals() { return intervals_; }
    WarningThresholds& thresholds() { return thresholds_; }
    [[nodiscard]] const ChannelReadings& readings() const { return readings_; }
    [[nodiscard]] const ShownReadings& shown() const { return shown_; }
    AlarmState& alarms() { return alarms_; }
    [[nodiscard]] const PollTickCounters& counters() const { return counters_; }
    [[nodiscard]] PageChoice pageChoice() const { return pageChoice_; }
    [[nodiscard]] const TemperatureDragState& temperatureDrag() const { return tempDrag_; }
    [[nodiscard]] const VoltageDragState& voltageDrag() const { return voltDrag_; }
    TrayIconRecord& trayRecord() { return tray_; }
    [[nodiscard]] std::int16_t trayIconIndex() const { return trayIconIndex_; }
    void setTrayIconIndex(std::int16_t index) { trayIconIndex_ = index; }
    float& dpiFactor() { return dpiFactor_; }
    // Set by the Settings dialog after it reset thresholds; formActivated redraws.
    bool& thresholdsResetPending() { return resetPending_; }
    SettingsStore& settings() { return store_; }
    [[nodiscard]] const Ports& ports() const { return ports_; }

    // Failed reads per channel, as the sensor library reported them.
    [[nodiscard]] const SensorHealth& health() const { return health_; }
    // Where a lost sensor is said; none by default.
    void setSensorNotices(SensorNoticePort* notices) { notices_ = notices; }
    // The tray's tooltip when nothing warns: the normal state's, or the lost sensor's.
    [[nodiscard]] std::string quietTip() const;

    // Alarm helpers with the side effects the rules give them: raising
    // enables tmrWarn; clearing makes the channel's page and Summary labels visible.
    void raiseAlarm(SensorChannel channel);
    void clearAlarm(SensorChannel channel);

private:
    // The channel's verdict from its reading and threshold, by its kind's rule.
    [[nodiscard]] Verdict verdict(SensorChannel channel) const;
    // A watched channel's alarm raised or cleared by its verdict; true on a warning.
    bool evaluate(SensorChannel channel);
    // The fan's installed flag and its check box after a reading.
    void showFanState(int fan, std::int16_t speed, bool firstReading);
    void readFan(int fan);
    void runFanGroup();
    void runTempGroup();
    void runVoltGroup();
    void readVoltages();
    void setChecked(int fan, bool checked);
    void checkClickRules(int fan, bool checked);
    void drawGauge(int gauge);
    void drawBar(int input);
    void showTempSummary(int gauge);
    void endTemperatureDrag(int gauge);
    void setValueLabelsVisible(SensorChannel channel);
    void showAlarmMark(SensorChannel channel);
    void storeThresholds(SensorChannel channel);
    void loadThresholds(SensorChannel channel);
    void showChannel(SensorChannel channel);
    // Notes one read of a watched channel against the library's failure
    // mask; true when it failed. Says a lost or returning sensor.
    bool noteRead(SensorChannel channel, std::int32_t failures);
    // The page and Summary labels of a channel without a reading.
    void showNoReading(SensorChannel channel);

    Ports ports_;
    SettingsStore store_;
    ChannelWatch watch_;
    FanConfiguration boardFans_;
    MachineDefaults defaults_;
    PollingIntervals intervals_;
    WarningThresholds thresholds_;
    ChannelReadings readings_;
    ShownReadings shown_;
    AlarmState alarms_;
    PollTickCounters counters_;
    PageChoice pageChoice_ = PageChoice::None;
    TemperatureDragState tempDrag_;
    VoltageDragState voltDrag_;
    TrayIconRecord tray_;
    std::int16_t trayIconIndex_ = 0;
    float dpiFactor_ = 1.0F;
    bool resetPending_ = false;
    bool loaded_ = false;
    bool warned_ = false;
    std::array<bool, kFanCount> checked_{};
    SensorHealth health_;
    SensorNoticePort* notices_ = nullptr;
    // Labels that say "no reading": the next good read rewrites them, changed or not.
    std::array<bool, kChannelCount> noReadingShown_{};
};

// The page label and Summary label that blink for a channel.
ControlRef pageLabelOf(SensorChannel channel);
ControlRef summaryLabelOf(SensorChannel channel);

}  // namespace velmon
