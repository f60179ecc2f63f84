#include "SensorsRules.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/ByteCursor.h"

namespace velmon::dialogs {
namespace {

constexpr std::size_t kMaxFields = 8;
constexpr std::size_t kMaxSensors = 4096;

// The fields of each line, split at TABs; "-" stands for an empty field.
std::vector<std::vector<std::string>> linesOf(std::string_view text) {
    const platform::ByteSpan span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    platform::ByteCursor cur(span);
    std::vector<std::vector<std::string>> lines(1);
    std::string field;
    auto endField = [&] {
        if (lines.back().size() < kMaxFields) lines.back().push_back(field == "-" ? std::string() : field);
        field.clear();
    };
    while (auto b = cur.u8()) {
        if (*b == '\t') {
            endField();
        } else if (*b == '\n') {
            endField();
            if (lines.size() > kMaxSensors + 32) break;
            lines.emplace_back();
        } else if (*b != 0) {
            field.push_back(static_cast<char>(*b));
        }
    }
    if (!field.empty()) endField();
    return lines;
}

std::optional<double> numberOf(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(v)) return std::nullopt;
    return v;
}

int channelOf(std::string_view key) {
    for (int c = 0; c < kChannelCount; ++c)
        if (key == kChannelKeys[static_cast<std::size_t>(c)]) return c;
    return -1;
}

const char* kindOf(int channel) { return channel < 3 ? "fan" : channel < 5 ? "temp" : "in"; }

// The value rounded to the places given, with a point whatever the locale.
std::string decimals(double v, int places) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", places, v);
    return text;
}

}  // namespace

std::optional<SensorListing> parseSensorListing(std::string_view text) {
    SensorListing out;
    bool sourceSeen = false;
    for (const auto& f : linesOf(text)) {
        if (f.empty()) continue;
        if (f[0] == "source" && f.size() >= 3) {
            out.source = f[1];
            out.real = f[2] == "real";
            sourceSeen = true;
        } else if (f[0] == "config" && f.size() >= 2) {
            out.configPath = f[1];
        } else if (f[0] == "sensor" && f.size() >= 7 && out.sensors.size() < kMaxSensors) {
            out.sensors.push_back({f[1], f[2], f[3], f[4], numberOf(f[5]), f[6]});
        } else if (f[0] == "channel" && f.size() >= 5) {
            const int c = channelOf(f[1]);
            if (c < 0) continue;
            auto& entry = out.channels[static_cast<std::size_t>(c)];
            entry.choice = f[2] == "auto" ? std::string() : f[2];
            entry.target = f[3];
            entry.why = f[4];
        }
    }
    if (!sourceSeen) return std::nullopt;
    return out;
}

std::string sensorValueText(const SensorEntry& s) {
    if (!s.value) return "no reading";
    if (s.kind == "fan") return decimals(*s.value, 0) + " RPM";
    if (s.kind == "temp") return decimals(*s.value, 1) + " \u00b0C";
    if (s.kind == "in") return decimals(*s.value, 3) + " V";
    return decimals(*s.value, 3);
}

std::string readableLabel(std::string_view bytes, bool* notUtf8) {
    std::string out;
    bool bad = false;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        std::size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        bool ok = n != 0 && i + n <= bytes.size();
        for (std::size_t k = 1; ok && k < n; ++k) ok = (static_cast<unsigned char>(bytes[i + k]) & 0xC0) == 0x80;
        if (ok && n > 1) {
            // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
            std::uint32_t cp = b & (0x7F >> n);
            for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
            static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
            ok = cp >= kLeast[n] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        }
        if (!ok) {
            out += "\xEF\xBF\xBD";
            bad = true;
            ++i;
            continue;
        }
        out.append(bytes.substr(i, n));
        i += n;
    }
    if (notUtf8) *notUtf8 = bad;
    return out;
}

std::vector<ChannelOffer> offersFor(int channel, const SensorListing& listing) {
    std::vector<ChannelOffer> out{{"automatic", ""}, {"none", "none"}};
    if (channel < 0 || channel >= kChannelCount) return out;
    // While the built-in map is in force, say what it reads.
    const ChannelEntry& now = listing.channels[static_cast<std::size_t>(channel)];
    if (now.choice.empty()) out[0].text += now.target.empty() ? " (absent)" : " (" + now.target + ")";
    for (const auto& s : listing.sensors) {
        if (s.kind != kindOf(channel)) continue;
        std::string text = s.chip + "/" + s.feature;
        if (!s.label.empty() && s.label != s.feature) text += " \"" + readableLabel(s.label) + "\"";
        out.push_back({text + "  " + sensorValueText(s), s.chip + "/" + s.feature});
    }
    return out;
}

SplitChoice splitChoice(const std::string& choice) {
    const std::size_t star = choice.find('*');
    if (star == std::string::npos) return {choice, 1.0};
    std::string value = choice.substr(0, star);
    while (!value.empty() && value.back() == ' ') value.pop_back();
    const auto f = numberOf(std::string(choice.substr(choice.find_first_not_of(' ', star + 1) == std::string::npos
                                                          ? choice.size()
                                                          : choice.find_first_not_of(' ', star + 1))));
    return {value, f.value_or(1.0)};
}

std::string joinChoice(const std::string& value, double factor) {
    if (value.empty() || value == "none" || factor == 1.0) return value;
    char text[48];
    std::snprintf(text, sizeof text, "%g", factor);
    return value + " * " + text;
}

SensorsRules::SensorsRules(DialogMonitor& monitor, SensorChoicePort& port) : monitor_(monitor), port_(port) {}

void SensorsRules::formLoad() {
    pollingWasOn_ = monitor_.tmrMonitor().isEnabled();
    monitor_.tmrMonitor().setEnabled(false);
    loaded_ = true;
    form_ = SensorsForm{};
    if (const auto text = port_.sensorList()) form_.listing = parseSensorListing(*text);
    if (!form_.listing) {
        form_.status = kNoListText;
        return;
    }
    for (int c = 0; c < kChannelCount; ++c)
        form_.chosen[static_cast<std::size_t>(c)] = form_.listing->channels[static_cast<std::size_t>(c)].choice;
    form_.canChoose = form_.listing->real;
    if (!form_.canChoose)
        form_.status = "These are the channels of the \"" + form_.listing->source +
                       "\" source: the choice applies to real sensors (hwmon) only.";
    noteMissingChoices();
}

void SensorsRules::refresh() {
    if (!loaded_) return;
    const auto text = port_.sensorList();
    auto listing = text ? parseSensorListing(*text) : std::nullopt;
    if (!listing) return;  // the rows keep the last list
    form_.listing = std::move(listing);
    noteMissingChoices();
}

// A sensor chosen but not in the list: the choice stays and is said.
void SensorsRules::noteMissingChoices() {
    if (!form_.listing || !form_.canChoose) return;
    for (int c = 0; c < kChannelCount; ++c) {
        const std::string value = splitChoice(form_.chosen[static_cast<std::size_t>(c)]).value;
        if (value.empty() || value == "none") continue;
        bool there = false;
        for (const auto& s : form_.listing->sensors) there = there || (s.chip + "/" + s.feature) == value;
        // A pattern ("nct6798-*/fan2") is resolved by the library; only a full name can be missed.
        if (!there && value.find('*') == std::string::npos) {
            form_.status = value + " (" + kChannelCaptions[static_cast<std::size_t>(c)] +
                           ") is not there now: the channel is absent until it comes back.";
            return;
        }
    }
}

void SensorsRules::choose(int channel, std::string value) {
    if (channel < 0 || channel >= kChannelCount || !form_.canChoose) return;
    auto& chosen = form_.chosen[static_cast<std::size_t>(channel)];
    const double factor = channel >= 5 ? splitChoice(chosen).factor : 1.0;
    chosen = joinChoice(value, factor);
}

void SensorsRules::setFactor(int channel, double factor) {
    if (channel < 5 || channel >= kChannelCount || !form_.canChoose) return;
    if (!(factor >= 0.001 && factor <= 1000.0)) return;
    auto& chosen = form_.chosen[static_cast<std::size_t>(channel)];
    chosen = joinChoice(splitChoice(chosen).value, factor);
}

bool SensorsRules::apply() {
    if (!form_.listing || !form_.canChoose) return true;
    std::string lines;
    for (int c = 0; c < kChannelCount; ++c) {
        const auto at = static_cast<std::size_t>(c);
        if (form_.chosen[at] == form_.listing->channels[at].choice) continue;
        lines += std::string(kChannelKeys[at]) + " = " + (form_.chosen[at].empty() ? "auto" : form_.chosen[at]) + "\n";
    }
    if (lines.empty()) return true;
    std::string message;
    if (!port_.save(lines, message)) {
        form_.status = "zorv.conf was not changed: " + message;
        return false;
    }
    port_.reload();
    form_.status = "Saved in " + message + ".";
    refresh();
    return true;
}

void SensorsRules::formUnload() {
    if (!loaded_) return;
    loaded_ = false;
    monitor_.tmrMonitor().setEnabled(pollingWasOn_);
}

}  // namespace velmon::dialogs
