// The process-wide monitor state: configuration, thresholds, readings and
// alarm flags. Plain values; Monitor and Taskbar change them by the rules.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "Ports.h"

namespace velmon {

inline constexpr int kFanCount = 3;
inline constexpr int kTempCount = 2;
inline constexpr int kVoltCount = 7;

inline SensorChannel fanChannel(int fan) { return static_cast<SensorChannel>(fan); }
inline SensorChannel tempChannel(int gauge) { return static_cast<SensorChannel>(kFanCount + gauge); }
inline SensorChannel voltChannel(int input) { return static_cast<SensorChannel>(kFanCount + kTempCount + input); }

// Per-board fan flags from MBFAN.INI; a fan with 0 is never read.
struct FanConfiguration {
    std::array<std::int16_t, kFanCount> fitted{1, 1, 1};  // CPU, POWER, CHASSIS
    [[nodiscard]] bool configured(int fan) const { return fitted[static_cast<std::size_t>(fan)] != 0; }
    // The 16-bit sum of the three values.
    [[nodiscard]] std::int16_t fanCount() const {
        return static_cast<std::int16_t>(fitted[0] + fitted[1] + fitted[2]);
    }
};

// Which of the twelve channels the sensor source can measure, taken once at
// startup from the library's channel mask. A library without the mask has
// them all. An absent channel is never read, never judged and shown as absent.
struct ChannelPresence {
    std::array<bool, kChannelCount> flags{true, true, true, true, true, true,
                                          true, true, true, true, true, true};
    [[nodiscard]] bool present(SensorChannel channel) const {
        const auto i = static_cast<std::size_t>(channel);
        return i < flags.size() && flags[i];
    }
    [[nodiscard]] bool fan(int i) const { return present(static_cast<SensorChannel>(i)); }
    [[nodiscard]] bool temp(int i) const { return present(static_cast<SensorChannel>(3 + i)); }
    [[nodiscard]] bool volt(int i) const { return present(static_cast<SensorChannel>(5 + i)); }
    // Bit i of the mask stands for channel i in SensorChannel order.
    static ChannelPresence fromMask(std::int32_t mask) {
        ChannelPresence p;
        for (std::size_t i = 0; i < p.flags.size(); ++i) p.flags[i] = ((mask >> i) & 1) != 0;
        return p;
    }
};

// Whether the monitor watches a channel: the sensor library can measure it
// and, for a fan, the board's MBFAN.INI entry fits it. The one question every
// rule asks, the same way for fans, temperatures and voltages: a channel that
// is not watched is never read, never judged, never stored and shown as absent.
struct ChannelWatch {
    FanConfiguration fans;
    ChannelPresence presence;
    [[nodiscard]] bool watched(SensorChannel channel) const {
        const int c = static_cast<int>(channel);
        if (!presence.present(channel)) return false;
        return c >= kFanCount || fans.configured(c);
    }
    [[nodiscard]] bool fan(int i) const { return watched(fanChannel(i)); }
    [[nodiscard]] bool temp(int i) const { return watched(tempChannel(i)); }
    [[nodiscard]] bool volt(int i) const { return watched(voltChannel(i)); }
};

// The watch for the board's MBFAN.INI flags and what the library measures: a
// fan the machine cannot measure is not fitted, whatever the board's entry says.
inline ChannelWatch watchFor(const FanConfiguration& board, const ChannelPresence& presence) {
    ChannelWatch w{board, presence};
    for (int f = 0; f < kFanCount; ++f)
        if (!presence.fan(f)) w.fans.fitted[static_cast<std::size_t>(f)] = 0;
    return w;
}

struct PollingIntervals {
    std::int16_t fan = 5, temp = 5, volt = 5;  // seconds
};

struct WarningThresholds {
    std::array<std::int16_t, kFanCount> fan{2800, 2700, 1800};  // lower, RPM
    std::array<bool, kFanCount> installed{true, true, true};
    std::array<std::int16_t, kTempCount> temp{80, 50};  // upper, degrees Celsius
    std::array<float, kVoltCount> volUp{3.7F, 3.7F, 3.9F, 5.5F, 13.0F, -10.3F, -4.3F};
    std::array<float, kVoltCount> volDn{1.5F, 1.3F, 2.9F, 4.5F, 11.0F, -13.7F, -5.7F};

    bool operator==(const WarningThresholds&) const = default;
};

// The first whole volt of each voltage bar's scale.
inline constexpr std::array<int, kVoltCount> kVoltageScaleBase{0, 0, 1, 3, 10, -14, -7};
// Scale start of the CPU and mainboard gauges.
inline constexpr std::array<int, kTempCount> kGaugeBase{40, 10};

struct ChannelReadings {
    std::array<std::int16_t, kFanCount> fan{};
    std::array<std::int16_t, kTempCount> temp{};
    std::array<float, kVoltCount> volts{};    // as read
    std::array<float, kVoltCount> rounded{};  // to 0.1 V; every display and rule uses these
};

struct ShownReadings {
    std::array<std::int16_t, kFanCount> fan{};
    std::array<std::int16_t, kTempCount> temp{};
    std::array<float, kVoltCount> rounded{};
};

// One flag per channel in SensorChannel order.
struct AlarmState {
    std::array<bool, kChannelCount> flags{};
    [[nodiscard]] bool any() const {
        for (bool f : flags) {
            if (f) return true;
        }
        return false;
    }
    bool& fan(int i) { return flags[static_cast<std::size_t>(i)]; }
    bool& temp(int i) { return flags[static_cast<std::size_t>(3 + i)]; }
    bool& volt(int i) { return flags[static_cast<std::size_t>(5 + i)]; }
};

struct PollTickCounters {
    std::int16_t fan = 0, temp = 0, volt = 0;
};

enum class PageChoice { None, Fan, Temp, Volt };

struct TemperatureDragState {
    std::array<bool, kTempCount> dragging{};  // CPUTempDragging, MBTempDragging
    std::int16_t grabY = 0;                   // TempGrabY
};

struct VoltageDragState {
    std::array<bool, kVoltCount> upDragging{};
    std::array<bool, kVoltCount> dnDragging{};
    std::array<std::int16_t, kVoltCount> grabY{};
    std::int16_t dragIndex = 0;  // VoltDragIndex
};

// Tooltip texts of the tray icon.
inline constexpr const char* kTipNormal = "System is in normal state";
inline constexpr const char* kTipWarning = "System is in warning state";
inline constexpr const char* kTipOff = "Velmora is Off";
// While the start-up banner holds the watch, nothing has been judged yet.
inline constexpr const char* kTipBanner = "Velmora: watching starts when the banner closes";
inline constexpr const char* kTitle = "Velmora";

// The tray record's tip field: the text, a NUL, then blanks to 64 (cut at 63).
void setTrayTip(TrayIconRecord& record, const std::string& text);
// The tip text up to its NUL.
std::string trayTip(const TrayIconRecord& record);

}  // namespace velmon
