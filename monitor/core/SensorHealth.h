// Failed reads, per channel. A read the sensor library says failed is no
// reading: shown as such and never judged. A few in a row and the sensor is
// lost, which is said once; its next good read brings it back.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "Ports.h"

namespace velmon {

// Failed reads in a row after which a sensor is lost: one read that fails
// now and then (a busy bus) is not worth a word.
inline constexpr int kLostAfterFailures = 3;

// What the page and Summary labels show for a channel without a reading.
inline constexpr const char* kNoReading = "no reading";

enum class HealthChange { None, Lost, Back };

class SensorHealth {
public:
    // One read of a channel; what it changed for the user.
    HealthChange note(SensorChannel channel, bool failed);
    // The last read failed: there is no reading.
    [[nodiscard]] bool failed(SensorChannel channel) const { return inARow_[at(channel)] > 0; }
    [[nodiscard]] bool lost(SensorChannel channel) const { return lost_[at(channel)]; }
    [[nodiscard]] bool anyLost() const;
    // Failed reads since the start.
    [[nodiscard]] std::uint64_t failures(SensorChannel channel) const { return total_[at(channel)]; }

private:
    static std::size_t at(SensorChannel c) { return static_cast<std::size_t>(c); }
    std::array<int, kChannelCount> inARow_{};
    std::array<bool, kChannelCount> lost_{};
    std::array<std::uint64_t, kChannelCount> total_{};
};

// "CPU Temperature sensor lost: no reading after 3 failed reads"
std::string sensorLostText(SensorChannel channel);
// "CPU Temperature sensor reads again"
std::string sensorBackText(SensorChannel channel);
// The tray's tooltip while a sensor is lost and nothing warns: "Sensor lost: CPU Fan".
std::string sensorLostTip(SensorChannel channel);

// Told when a sensor is lost and when it is back; the tray program says it on
// standard error and as a desktop notification.
class SensorNoticePort {
public:
    virtual ~SensorNoticePort() = default;
    virtual void sensorLost(SensorChannel channel, const std::string& text) = 0;
    virtual void sensorBack(SensorChannel channel, const std::string& text) = 0;
};

class NotificationPort;

// Says each loss and return once as a line (the tray program's standard
// error), and keeps one desktop notification naming the sensors lost until
// all of them read again.
class SensorNotices final : public SensorNoticePort {
public:
    using Line = std::function<void(const std::string&)>;
    // notification: none when desktop notifications are off.
    SensorNotices(NotificationPort* notification, Line line)
        : notification_(notification), line_(std::move(line)) {}
    void sensorLost(SensorChannel channel, const std::string& text) override;
    void sensorBack(SensorChannel channel, const std::string& text) override;

private:
    void update();
    NotificationPort* notification_;
    Line line_;
    std::array<std::string, kChannelCount> lost_;  // the text of each lost sensor
};

// The notification's summary while a sensor is lost.
inline constexpr const char* kSensorLostSummary = "Velmora: sensor lost";

}  // namespace velmon
