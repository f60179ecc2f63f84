// The channels watched change while Velmon runs: the user chose other
// sensors, or zorv.conf was edited. Each channel that comes or goes is
// treated as at load and unload, one channel at a time.
#include "Monitor.h"

#include "Geometry.h"
#include "Texts.h"

namespace velmon {
namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

}  // namespace

void Monitor::sensorsChanged() {
    const ChannelPresence presence = ChannelPresence::fromMask(ports_.sensor.channelMask());
    presenceChanged(watchFor(boardFans_, presence), velmon::machineDefaults(ports_.sensor, presence));
}

void Monitor::presenceChanged(const ChannelWatch& next, const MachineDefaults& defaults) {
    if (!loaded_) {
        watch_ = next;
        defaults_ = defaults;
        return;
    }
    const ChannelWatch before = watch_;
    for (int c = 0; c < kChannelCount; ++c) {
        const auto channel = static_cast<SensorChannel>(c);
        if (!before.watched(channel) || next.watched(channel)) continue;
        // What the user set for it stays in the settings, for when it comes back.
        storeThresholds(channel);
        alarms_.flags[at(c)] = false;
        setValueLabelsVisible(channel);
        ports_.view.setText(summaryLabelOf(channel), "");
    }
    watch_ = next;
    defaults_ = defaults;
    for (int c = 0; c < kChannelCount; ++c) {
        const auto channel = static_cast<SensorChannel>(c);
        if (!before.watched(channel) && next.watched(channel)) loadThresholds(channel);
    }

    std::array<int, kFanCount> fans{};
    for (int f = 0; f < kFanCount; ++f) fans[at(f)] = watch_.fans.fitted[at(f)];
    ports_.view.showChannels(fans, watch_.presence.flags);
    for (int c = 0; c < kChannelCount; ++c) {
        const auto channel = static_cast<SensorChannel>(c);
        if (watch_.watched(channel)) showChannel(channel);
    }
}

// A watched channel read now and shown as load() shows it, then judged.
void Monitor::showChannel(SensorChannel channel) {
    MainView& v = ports_.view;
    const int c = static_cast<int>(channel);
    if (c < kFanCount) {
        const std::int16_t speed = ports_.sensor.read(channel);
        readings_.fan[at(c)] = speed;
        showFanState(c, speed, true);
        v.setText({Ctl::FanSpeedLabel, c}, fanText(speed));
        v.setText({Ctl::FanSummaryValue, c}, fanText(speed));
        v.setText({Ctl::FanWarnLabel, c}, fanText(thresholds_.fan[at(c)]));
        shown_.fan[at(c)] = speed;
        v.drawFanDial(c, thresholds_.fan[at(c)], speed);
    } else if (c < kFanCount + kTempCount) {
        const int g = c - kFanCount;
        readings_.temp[at(g)] = ports_.sensor.read(channel);
        if (g == 0) v.setVisible({Ctl::TempGauge, 0}, readings_.temp[0] > 0);
        showTempSummary(g);
        shown_.temp[at(g)] = readings_.temp[at(g)];
        drawGauge(g);
    } else {
        const int i = c - kFanCount - kTempCount;
        readings_.volts[at(i)] = geometry::voltsFromMillivolts(ports_.sensor.read(channel));
        readings_.rounded[at(i)] = geometry::roundVolts(readings_.volts[at(i)]);
        v.setText({Ctl::VoltSummaryValue, i}, voltText(readings_.rounded[at(i)]));
        shown_.rounded[at(i)] = readings_.rounded[at(i)];
        drawBar(i);
    }
    evaluate(channel);
}

}  // namespace velmon
