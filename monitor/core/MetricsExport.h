// The metrics export beside the monitor: an event tap that passes the
// window's and the tray's events on to the core unchanged and then tells a
// listener, and the exporter that listens and publishes the exposition text
// after every polling tick that read something and at every change of the
// warning state or of On/Off. Without an export none of this is wired in.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "Exposition.h"
#include "Monitor.h"

namespace velmon {

class MonitorListener {
public:
    virtual ~MonitorListener() = default;
    virtual void afterTick() = 0;   // after each tmrMonitor tick
    virtual void afterEvent() = 0;  // after any other event of the window or the tray
};

class EventTap final : public MainWindowEvents, public TaskbarEvents {
public:
    EventTap(MainWindowEvents& window, TaskbarEvents& tray, MonitorListener& listener)
        : window_(window), tray_(tray), listener_(listener) {}

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

    // TaskbarEvents
    void trayMessage(std::uint32_t message) override;
    void menuOn() override;
    void menuOff() override;
    void menuExit() override;
    void queryUnload() override;

private:
    template <typename Call>
    void forward(Call call) {
        call();
        listener_.afterEvent();
    }

    MainWindowEvents& window_;
    TaskbarEvents& tray_;
    MonitorListener& listener_;
};

// Which channels the sensor library measures, as the monitor knows it.
std::array<bool, kChannelCount> measurableChannels(Monitor& monitor);

class MetricsExporter final : public MonitorListener {
public:
    using Clock = std::function<std::int64_t()>;               // Unix time, milliseconds
    using Publish = std::function<void(const std::string& text)>;

    MetricsExporter(Monitor& monitor, std::function<bool()> monitoringOn, Clock clock, std::string version,
                    Publish publish);

    // Startup has taken the first full reading: publish it.
    void started();
    void afterTick() override;
    void afterEvent() override;

    [[nodiscard]] ExportSnapshot snapshot();

private:
    void publish();

    Monitor& monitor_;
    std::function<bool()> monitoringOn_;
    Clock clock_;
    std::string version_;
    Publish publish_;
    std::int64_t lastReadingMs_ = 0;
    bool publishedWarning_ = false;
    bool publishedOn_ = true;
    bool started_ = false;
    std::string text_;
};

// Where velmon.prom goes: the command line's directory wins over the
// setting (group Export, key TextfileDirectory); neither means no export.
// A relative directory on the command line is taken from the working
// directory; in the settings file it is refused with a message, since it
// would depend on where the desktop happened to start Velmon.
struct MetricsDirectoryChoice {
    std::string directory;  // empty: no export
    std::string message;    // for standard error, when the setting was refused
};
MetricsDirectoryChoice chooseMetricsDirectory(const std::optional<std::string>& commandLine,
                                              const std::optional<std::string>& setting,
                                              const std::string& workingDirectory);

}  // namespace velmon
