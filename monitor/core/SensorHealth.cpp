#include "SensorHealth.h"

#include "AlarmNotice.h"

namespace velmon {

HealthChange SensorHealth::note(SensorChannel channel, bool failed) {
    const std::size_t i = at(channel);
    if (i >= inARow_.size()) return HealthChange::None;
    if (!failed) {
        inARow_[i] = 0;
        if (!lost_[i]) return HealthChange::None;
        lost_[i] = false;
        return HealthChange::Back;
    }
    ++total_[i];
    if (inARow_[i] < kLostAfterFailures) ++inARow_[i];
    if (lost_[i] || inARow_[i] < kLostAfterFailures) return HealthChange::None;
    lost_[i] = true;
    return HealthChange::Lost;
}

bool SensorHealth::anyLost() const {
    for (bool l : lost_) {
        if (l) return true;
    }
    return false;
}

std::string sensorLostText(SensorChannel channel) {
    return std::string(channelName(channel)) + " sensor lost: no reading after " +
           std::to_string(kLostAfterFailures) + " failed reads";
}

std::string sensorBackText(SensorChannel channel) { return std::string(channelName(channel)) + " sensor reads again"; }

std::string sensorLostTip(SensorChannel channel) { return "Sensor lost: " + std::string(channelName(channel)); }

void SensorNotices::sensorLost(SensorChannel channel, const std::string& text) {
    if (line_) line_("velmon: " + text);
    lost_[static_cast<std::size_t>(channel)] = text;
    update();
}

void SensorNotices::sensorBack(SensorChannel channel, const std::string& text) {
    if (line_) line_("velmon: " + text);
    lost_[static_cast<std::size_t>(channel)].clear();
    update();
}

void SensorNotices::update() {
    if (!notification_) return;
    std::string body;
    for (const auto& text : lost_) {
        if (text.empty()) continue;
        if (!body.empty()) body += '\n';
        body += text;
    }
    if (body.empty())
        notification_->close();
    else
        notification_->show(kSensorLostSummary, body);
}

}  // namespace velmon
