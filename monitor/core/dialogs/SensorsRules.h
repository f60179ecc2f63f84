// The Sensors dialog's rules: which sensor each of the twelve channels reads,
// as the sensor library lists them and saves the choice in zorv.conf. The
// widget only shows the form held here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DialogPorts.h"

namespace velmon::dialogs {

struct SensorEntry {
    std::string kind;  // "fan", "temp", "in" or "other"
    std::string chip, feature;
    std::string label;  // as the library gives it: bytes, not always UTF-8
    std::optional<double> value;
    std::string channel;  // the channel name reading it, empty for none
};

struct ChannelEntry {
    std::string choice;  // as zorv.conf states it; empty for automatic
    std::string target;  // what the channel reads now, empty when absent
    std::string why;     // why it is absent
};

struct SensorListing {
    std::string source;
    bool real = false;  // the choice applies to this source's sensors
    std::string configPath;
    std::vector<SensorEntry> sensors;
    std::array<ChannelEntry, kChannelCount> channels;
};

// GetSensorList's text, read through a bounded cursor; lines it does not
// know are skipped. Nothing when the text has no source line.
std::optional<SensorListing> parseSensorListing(std::string_view text);

// The channel names of zorv.conf and of the dialog's rows.
inline constexpr std::array<const char*, kChannelCount> kChannelKeys{
    "cpu_fan", "power_fan", "chassis_fan", "cpu_temp", "mb_temp", "in0", "in1", "in2", "in3", "in4", "in5", "in6"};
inline constexpr std::array<const char*, kChannelCount> kChannelCaptions{
    "CPU Fan", "Power Fan", "Chassis Fan", "CPU Temp", "Mainboard Temp", "VCORE",
    "Second Core", "+3.3V", "+5V", "+12V", "-12V", "-5V"};

// A choice offered for a channel: "automatic" (value empty), "none", or a
// sensor of the channel's kind ("chip/feature").
struct ChannelOffer {
    std::string text;
    std::string value;
};
std::vector<ChannelOffer> offersFor(int channel, const SensorListing& listing);

// A sensor's value with its unit: "1050 RPM", "38.9 °C", "3.344 V"; "no reading".
std::string sensorValueText(const SensorEntry& sensor);

// A label as UTF-8 text: unchanged when it is UTF-8, else each byte that is
// not replaced by U+FFFD and notUtf8 set.
std::string readableLabel(std::string_view bytes, bool* notUtf8 = nullptr);

// A choice as zorv.conf holds it, split into the sensor and a voltage's factor.
struct SplitChoice {
    std::string value;
    double factor = 1.0;
};
SplitChoice splitChoice(const std::string& choice);
std::string joinChoice(const std::string& value, double factor);

inline constexpr const char* kSensorsTitle = "Sensors -- Velmora V1.3";
inline constexpr const char* kNoListText = "This sensor library cannot list its sensors.";

struct SensorsForm {
    std::optional<SensorListing> listing;
    std::array<std::string, kChannelCount> chosen;  // what the rows show, "" automatic
    std::string status;                              // one line under the lists
    bool canChoose = false;
};

class SensorsRules {
public:
    SensorsRules(DialogMonitor& monitor, SensorChoicePort& port);

    // Opening: polling stops (it may already be stopped by Settings), the
    // list is read and each row shows the channel's choice.
    void formLoad();
    // The live values read anew; the rows keep what the user chose, and a
    // chosen sensor that is gone is said.
    void refresh();
    void choose(int channel, std::string value);
    void setFactor(int channel, double factor);
    // Saves the rows that differ from zorv.conf, then the library and the
    // monitor take the map anew. True when nothing is left unsaved.
    bool apply();
    // Closing, however it happens: polling as it was before opening.
    void formUnload();

    [[nodiscard]] const SensorsForm& form() const { return form_; }

private:
    void noteMissingChoices();

    DialogMonitor& monitor_;
    SensorChoicePort& port_;
    SensorsForm form_;
    bool loaded_ = false;
    bool pollingWasOn_ = false;
};

}  // namespace velmon::dialogs
