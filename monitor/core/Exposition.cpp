#include "Exposition.h"

#include <charconv>

#include "SettingsStore.h"

namespace velmon {
namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

SensorChannel channelAt(int c) { return static_cast<SensorChannel>(c); }

void header(std::string& out, const char* name, const char* help, const char* type = "gauge") {
    out += "# HELP ";
    out += name;
    out += ' ';
    out += help;
    out += "\n# TYPE ";
    out += name;
    out += ' ';
    out += type;
    out += '\n';
}

// Label values here are the fixed names above, or the version, which is
// escaped as the format asks.
void appendLabelValue(std::string& out, const std::string& value) {
    for (char c : value) {
        if (c == '\\') out += "\\\\";
        else if (c == '"') out += "\\\"";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
}

void sampleStart(std::string& out, const char* name, const char* label, const std::string& value) {
    out += name;
    if (label != nullptr) {
        out += '{';
        out += label;
        out += "=\"";
        appendLabelValue(out, value);
        out += "\"}";
    }
    out += ' ';
}

void appendInt(std::string& out, std::int64_t v) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, res.ptr);
}

void sample(std::string& out, const char* name, const char* label, const std::string& value, std::int64_t v) {
    sampleStart(out, name, label, value);
    appendInt(out, v);
    out += '\n';
}

void sample(std::string& out, const char* name, const char* label, const std::string& value, float v) {
    sampleStart(out, name, label, value);
    out += singleText(v);
    out += '\n';
}

// Milliseconds as decimal seconds without trailing zeros: 1765389600.25.
void appendSeconds(std::string& out, std::int64_t ms) {
    if (ms < 0) {
        out += '-';
        ms = -ms;
    }
    appendInt(out, ms / 1000);
    int frac = static_cast<int>(ms % 1000);
    if (frac == 0) return;
    char digits[4] = {static_cast<char>('0' + frac / 100), static_cast<char>('0' + frac / 10 % 10),
                      static_cast<char>('0' + frac % 10), '\0'};
    int n = 3;
    while (digits[n - 1] == '0') --n;
    out += '.';
    out.append(digits, static_cast<std::size_t>(n));
}

// Which channels a family has samples for.
enum class Only { All, Present, Read };

// A family of per-channel samples over the channels first … first+count-1.
// Families without samples are left out.
template <typename Value>
void family(std::string& out, const ExportSnapshot& s, const char* name, const char* help, const char* label,
            const char* const* labels, int first, int count, Only only, Value value, const char* type = "gauge") {
    bool any = false;
    for (int i = 0; i < count; ++i) {
        if (only == Only::Present && !s.present(channelAt(first + i))) continue;
        if (only == Only::Read && !s.hasReading(channelAt(first + i))) continue;
        if (!any) header(out, name, help, type);
        any = true;
        sample(out, name, label, labels[i], value(i));
    }
}

}  // namespace

bool ExportSnapshot::present(SensorChannel channel) const {
    return ChannelWatch{fans, ChannelPresence{measurable}}.watched(channel);
}

bool ExportSnapshot::hasReading(SensorChannel channel) const {
    return present(channel) && !noReading[at(static_cast<int>(channel))];
}

void appendExposition(const ExportSnapshot& s, std::string& out) {
    out.clear();
    const ChannelReadings& r = s.readings;
    const WarningThresholds& t = s.thresholds;
    const char* const* fans = kFanLabels.data();
    const char* const* sensors = kSensorLabels.data();
    const char* const* inputs = kInputLabels.data();
    const char* const* channels = kChannelLabels.data();
    const int temp0 = static_cast<int>(SensorChannel::CpuTemp);
    const int volt0 = static_cast<int>(SensorChannel::In0);

    family(out, s, "velmon_fan_speed_rpm", "Fan speed as last read, in revolutions per minute.", "fan", fans, 0,
           kFanCount, Only::Read, [&](int i) { return std::int64_t{r.fan[at(i)]}; });
    family(out, s, "velmon_fan_threshold_rpm",
           "Warning threshold of the fan speed; a speed at or below it warns while the fan is installed.", "fan",
           fans, 0, kFanCount, Only::All, [&](int i) { return std::int64_t{t.fan[at(i)]}; });
    family(out, s, "velmon_fan_installed", "1 when the fan is present and marked as installed, else 0.", "fan",
           fans, 0, kFanCount, Only::All,
           [&](int i) { return std::int64_t{s.present(channelAt(i)) && t.installed[at(i)] ? 1 : 0}; });
    family(out, s, "velmon_temperature_celsius", "Temperature as last read, in degrees Celsius.", "sensor",
           sensors, temp0, kTempCount, Only::Read, [&](int i) { return std::int64_t{r.temp[at(i)]}; });
    family(out, s, "velmon_temperature_threshold_celsius",
           "Warning threshold of the temperature; a temperature at or above it warns.", "sensor", sensors, temp0,
           kTempCount, Only::All, [&](int i) { return std::int64_t{t.temp[at(i)]}; });
    family(out, s, "velmon_voltage_volts", "Supply voltage as last read, in volts.", "input", inputs, volt0,
           kVoltCount, Only::Read, [&](int i) { return r.volts[at(i)]; });
    family(out, s, "velmon_voltage_upper_threshold_volts",
           "Upper warning threshold of the voltage; the rounded reading must stay below it.", "input", inputs,
           volt0, kVoltCount, Only::All, [&](int i) { return t.volUp[at(i)]; });
    family(out, s, "velmon_voltage_lower_threshold_volts",
           "Lower warning threshold of the voltage; the rounded reading must stay above it.", "input", inputs,
           volt0, kVoltCount, Only::All, [&](int i) { return t.volDn[at(i)]; });
    family(out, s, "velmon_channel_present",
           "1 when the channel is measured on this machine, 0 when it is absent or not configured.", "channel",
           channels, 0, kChannelCount, Only::All,
           [&](int i) { return std::int64_t{s.present(channelAt(i)) ? 1 : 0}; });
    family(out, s, "velmon_channel_alarm", "1 while the channel is in warning, else 0.", "channel", channels, 0,
           kChannelCount, Only::All, [&](int i) { return std::int64_t{s.alarms.flags[at(i)] ? 1 : 0}; });
    family(out, s, "velmon_read_failures_total",
           "Failed reads of the channel since Velmon started; while its last read failed, the channel's reading "
           "has no sample.",
           "channel", channels, 0, kChannelCount, Only::Present,
           [&](int i) { return static_cast<std::int64_t>(s.readFailures[at(i)]); }, "counter");

    header(out, "velmon_warning_state", "1 while any channel is in warning, else 0.");
    sample(out, "velmon_warning_state", nullptr, {}, std::int64_t{s.alarms.any() ? 1 : 0});
    header(out, "velmon_monitoring", "0 while monitoring is switched off from the tray menu, else 1.");
    sample(out, "velmon_monitoring", nullptr, {}, std::int64_t{s.monitoring ? 1 : 0});
    header(out, "velmon_last_reading_timestamp_seconds", "Unix time of the last reading of the sensors.");
    sampleStart(out, "velmon_last_reading_timestamp_seconds", nullptr, {});
    appendSeconds(out, s.lastReadingMs);
    out += '\n';
    header(out, "velmon_build_info", "Always 1; the version label names the running Velmon.");
    sample(out, "velmon_build_info", "version", s.version, std::int64_t{1});
}

std::string expositionText(const ExportSnapshot& snapshot) {
    std::string out;
    out.reserve(4096);
    appendExposition(snapshot, out);
    return out;
}

}  // namespace velmon
