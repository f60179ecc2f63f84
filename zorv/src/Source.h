#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Channels.h"
#include "Config.h"

namespace zorv {

// One sensor a source has, for a user choosing which one a channel reads.
struct SensorInfo {
    std::string kind;  // "fan", "temp", "in" or "other"
    std::string chip;  // libsensors' full chip name; the source's name for sim and file:
    std::string feature;
    std::string label;
    std::optional<double> value;  // RPM, degrees Celsius, volts; nothing when unreadable
    std::string channel;          // the channel that reads it now; empty for none
};

// What a channel reads now: "chip/feature" (with " * FACTOR" where one
// applies), or empty with the reason in why.
struct ChannelSourceState {
    std::string target;
    std::string why;
};
using ChannelStates = std::array<ChannelSourceState, kChannelCount>;

// Where readings come from. Units are the exports' units: RPM, whole degrees
// Celsius, millivolts. A channel that cannot be read answers 0.
class Source {
public:
    virtual ~Source() = default;
    virtual std::int16_t read(Channel channel) = 0;
    // Bit i set when channel i can be measured at all (Channel order).
    virtual std::uint32_t channelMask() = 0;
    // The machine's own default thresholds; asked once per process. A source
    // that knows no chip leaves the caller's defaults (all System).
    virtual ChannelDefaults defaults() { return {}; }
    // Why the source reads nothing at all, and what to do about it; empty
    // when it reads. noChip: the source works but finds no chip (the board
    // has none, or its driver is not loaded), as against one that cannot work.
    struct Trouble {
        std::string text;
        bool noChip = false;
    };
    virtual Trouble trouble() { return {}; }
    // Every sensor there is, and what each channel reads; a source whose
    // channels are its sensors lists them as such.
    virtual std::vector<SensorInfo> sensors();
    virtual ChannelStates channelStates();
    // Whether the map of zorv.conf chooses this source's sensors.
    [[nodiscard]] virtual bool mapsSensors() const { return false; }
    // Bit i set when the last read of channel i failed; that read answered 0.
    [[nodiscard]] std::uint32_t readFailures() const { return failures_; }

protected:
    void noteRead(Channel channel, bool ok) {
        const std::uint32_t bit = 1u << static_cast<int>(channel);
        failures_ = ok ? failures_ & ~bit : failures_ | bit;
    }

private:
    std::uint32_t failures_ = 0;
};

inline constexpr std::uint32_t kAllChannels = (1u << kChannelCount) - 1;

// Seconds since an arbitrary start; swapped in tests.
using Clock = std::function<double()>;
Clock steadyClock();

// Simulated LM78 board: readings drift slowly around plausible values and
// never cross a default warning threshold on their own. The same seed and
// time always give the same readings.
class SimSource final : public Source {
public:
    struct ScriptedValue {
        double atSecond;
        Channel channel;
        std::int16_t value;
    };
    SimSource(std::uint64_t seed, Clock clock, std::vector<ScriptedValue> script = {});
    std::int16_t read(Channel channel) override;
    std::uint32_t channelMask() override { return kAllChannels; }

    // The unscripted reading of a channel at time t.
    [[nodiscard]] std::int16_t simulated(Channel channel, double t) const;

private:
    struct Wave {
        double phase1, phase2, period1, period2;
    };
    std::array<Wave, kChannelCount> waves_{};
    Clock clock_;
    std::vector<ScriptedValue> script_;
};

// Parses a scenario: lines "SECOND NAME = VALUE", for example "12 cpu_fan = 0".
// From that second on the channel reads the value; lines that do not parse are skipped.
std::vector<SimSource::ScriptedValue> parseScenario(std::string_view text);

// Readings from a "name = value" text file, read anew at every call. A name
// the file set once and sets no longer is a failed read of its channel.
class FileSource final : public Source {
public:
    explicit FileSource(std::string path) : path_(std::move(path)) {}
    std::int16_t read(Channel channel) override;
    // The channels the file names now.
    std::uint32_t channelMask() override;

private:
    std::string path_;
    std::uint32_t seen_ = 0;  // the channels the file has set
};

// The reading for a channel from the text of a readings file: its last line
// naming the channel, as a number rounded and clamped to 16 bits; a value
// that is not a number reads 0; nothing when the file does not set the name.
std::optional<std::int16_t> valueFromText(std::string_view text, Channel channel);
// The same with a missing name read as 0.
std::int16_t readingFromText(std::string_view text, Channel channel);

// The channels a readings file sets: named on a line with a value, whatever
// the value (one that is not a number is a reading of 0, not an absent channel).
std::uint32_t channelsSetInText(std::string_view text);

// The first 64 KiB of a file, or empty when it cannot be read.
std::string readSmallFile(const std::string& path);

// Real chips through libsensors.
std::unique_ptr<Source> makeHwmonSource(const Config& config);

// Whether a name names a source: "sim", "sim:PATH", "file:PATH" or "hwmon".
bool isKnownSourceName(const std::string& name);

// The message for a name that names no source; origin says where the name
// was set ("ZORV_SOURCE", a zorv.conf path), empty when unknown.
std::string unknownSourceText(const std::string& name, const std::string& origin);

// The source a name names; an unknown name gives a source that reads 0
// everywhere (the caller reports it, see unknownSourceText).
std::unique_ptr<Source> makeSource(const std::string& name, const Config& config);

}  // namespace zorv
