#include "MetricsExport.h"

#include <string_view>

namespace velmon {

// ---- Event tap -------------------------------------------------------------

void EventTap::tmrMonitorTick() {
    window_.tmrMonitorTick();
    listener_.afterTick();
}

void EventTap::tmrWarnTick() { forward([&] { window_.tmrWarnTick(); }); }
void EventTap::fanCheckClicked(int fan, bool checked) { forward([&] { window_.fanCheckClicked(fan, checked); }); }
void EventTap::fanSpinChanged(int fan, bool up) { forward([&] { window_.fanSpinChanged(fan, up); }); }
void EventTap::formActivated() { forward([&] { window_.formActivated(); }); }
void EventTap::pageButtonPressed(int button) { forward([&] { window_.pageButtonPressed(button); }); }
void EventTap::windowClosedByOval() { forward([&] { window_.windowClosedByOval(); }); }
void EventTap::temperaturePointerPressed(int gauge, double y) {
    forward([&] { window_.temperaturePointerPressed(gauge, y); });
}
void EventTap::temperatureGaugeMoved(int gauge, double y) { forward([&] { window_.temperatureGaugeMoved(gauge, y); }); }
void EventTap::temperatureGaugeReleased(int gauge) { forward([&] { window_.temperatureGaugeReleased(gauge); }); }
void EventTap::temperaturePageReleased() { forward([&] { window_.temperaturePageReleased(); }); }
void EventTap::voltageMarkerPressed(int input, bool upper, double y) {
    forward([&] { window_.voltageMarkerPressed(input, upper, y); });
}
void EventTap::voltageBarMoved(int input, double y) { forward([&] { window_.voltageBarMoved(input, y); }); }
void EventTap::voltageBarReleased() { forward([&] { window_.voltageBarReleased(); }); }
void EventTap::voltageMarkerReleased(bool overUpper) { forward([&] { window_.voltageMarkerReleased(overUpper); }); }
void EventTap::voltagePageReleased() { forward([&] { window_.voltagePageReleased(); }); }
void EventTap::backgroundReleased() { forward([&] { window_.backgroundReleased(); }); }
void EventTap::pausePolling() { forward([&] { window_.pausePolling(); }); }
void EventTap::resumePolling() { forward([&] { window_.resumePolling(); }); }

void EventTap::trayMessage(std::uint32_t message) { forward([&] { tray_.trayMessage(message); }); }
void EventTap::menuOn() { forward([&] { tray_.menuOn(); }); }
void EventTap::menuOff() { forward([&] { tray_.menuOff(); }); }
void EventTap::menuExit() { forward([&] { tray_.menuExit(); }); }
void EventTap::queryUnload() { forward([&] { tray_.queryUnload(); }); }

// ---- Exporter ----------------------------------------------------------------

std::array<bool, kChannelCount> measurableChannels(Monitor& monitor) {
    return monitor.presence().flags;
}

MetricsExporter::MetricsExporter(Monitor& monitor, std::function<bool()> monitoringOn, Clock clock,
                                 std::string version, Publish publish)
    : monitor_(monitor),
      monitoringOn_(std::move(monitoringOn)),
      clock_(std::move(clock)),
      version_(std::move(version)),
      publish_(std::move(publish)) {
    text_.reserve(4096);
}

ExportSnapshot MetricsExporter::snapshot() {
    ExportSnapshot s;
    s.readings = monitor_.readings();
    s.thresholds = monitor_.thresholds();
    s.fans = monitor_.fanConfiguration();
    s.measurable = measurableChannels(monitor_);
    s.alarms = monitor_.alarms();
    for (int c = 0; c < kChannelCount; ++c) {
        const auto channel = static_cast<SensorChannel>(c);
        s.noReading[static_cast<std::size_t>(c)] = monitor_.health().failed(channel);
        s.readFailures[static_cast<std::size_t>(c)] = monitor_.health().failures(channel);
    }
    s.monitoring = monitoringOn_ ? monitoringOn_() : true;
    s.lastReadingMs = lastReadingMs_;
    s.version = version_;
    return s;
}

void MetricsExporter::publish() {
    const ExportSnapshot s = snapshot();
    publishedWarning_ = s.alarms.any();
    publishedOn_ = s.monitoring;
    appendExposition(s, text_);
    if (publish_) publish_(text_);
}

void MetricsExporter::started() {
    started_ = true;
    lastReadingMs_ = clock_();
    publish();
}

void MetricsExporter::afterTick() {
    if (!started_) return;
    // A group that ran this tick has its counter back at 0.
    const PollTickCounters& c = monitor_.counters();
    if (c.fan == 0 || c.temp == 0 || c.volt == 0) {
        lastReadingMs_ = clock_();
        publish();
        return;
    }
    afterEvent();
}

void MetricsExporter::afterEvent() {
    if (!started_) return;
    const bool on = monitoringOn_ ? monitoringOn_() : true;
    if (monitor_.alarms().any() != publishedWarning_ || on != publishedOn_) publish();
}

// ---- Where the file goes -----------------------------------------------------

MetricsDirectoryChoice chooseMetricsDirectory(const std::optional<std::string>& commandLine,
                                              const std::optional<std::string>& setting,
                                              const std::string& workingDirectory) {
    if (commandLine) {
        if (!commandLine->empty() && commandLine->front() == '/') return {*commandLine, {}};
        std::string base = workingDirectory;
        if (base.empty() || base.back() != '/') base += '/';
        return {base + *commandLine, {}};
    }
    if (!setting) return {};
    std::string_view dir = *setting;
    while (!dir.empty() && (dir.front() == ' ' || dir.front() == '\t')) dir.remove_prefix(1);
    while (!dir.empty() && (dir.back() == ' ' || dir.back() == '\t')) dir.remove_suffix(1);
    if (dir.empty()) return {};
    if (dir.front() != '/') {
        return {{},
                "velmon: TextfileDirectory in group Export of Velmon.ini must be an absolute path, not '" +
                    std::string(dir) + "'; no metrics are written"};
    }
    return {std::string(dir), {}};
}

}  // namespace velmon
