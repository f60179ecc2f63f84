#include "HwmonSource.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "HwmonDefaults.h"

namespace zorv {
namespace hwmon {

namespace {
constexpr double kRedetectGap = 1.0;  // seconds
}

std::string hwmonSignature(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return {};
    std::vector<std::string> entries;
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.') continue;
        const std::string path = folder + "/" + e->d_name;
        std::string entry = e->d_name;
        char target[512];
        const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        if (n > 0) entry += " -> " + std::string(target, static_cast<std::size_t>(n));
        struct stat st {};
        if (stat(path.c_str(), &st) == 0) entry += " #" + std::to_string(st.st_ino);
        entries.push_back(std::move(entry));
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end());
    std::string out;
    for (const auto& e : entries) out += e + "\n";
    return out;
}

HwmonSource::HwmonSource(std::unique_ptr<Backend> backend, const Config& config, Opener reopen, Watch watch,
                         Clock clock)
    : backend_(std::move(backend)),
      user_(userMapFromConfig(config)),
      reopen_(std::move(reopen)),
      watch_(std::move(watch)),
      clock_(clock ? std::move(clock) : steadyClock()) {
    if (watch_) signature_ = watch_();
    lastDetect_ = lastWatch_ = clock_();
    mapChannels();
    measured_ = channelMask();
}

void HwmonSource::mapChannels() {
    map_ = resolveMap(backend_->chips(), user_);
    inputs_ = {};
    for (int i = 0; i < kChannelCount; ++i) {
        const auto& ref = map_.channels[static_cast<std::size_t>(i)];
        if (!ref) continue;
        inputs_[static_cast<std::size_t>(i)] = backend_->inputOf(*ref);
        if (!inputs_[static_cast<std::size_t>(i)]) {
            map_.notes.push_back(std::string(channelName(static_cast<Channel>(i))) + ": " + ref->chip + "/" +
                                 ref->feature + " has no readable input");
            map_.why[static_cast<std::size_t>(i)] = "no such sensor (" + ref->chip + "/" + ref->feature + " cannot be read)";
        }
    }
}

bool HwmonSource::redetect(bool force) {
    const double now = clock_();
    if (!reopen_ || (!force && now - lastDetect_ < kRedetectGap)) return false;
    lastDetect_ = now;
    // One libsensors session at a time: the old one ends (sensors_cleanup)
    // before the new one detects (sensors_init).
    backend_.reset();
    backend_ = reopen_();
    mapChannels();
    if (watch_) signature_ = watch_();
    ++redetections_;
    return true;
}

void HwmonSource::followHwmonChanges() {
    if (!watch_) return;
    const double now = clock_();
    if (now - lastWatch_ < kRedetectGap) return;
    lastWatch_ = now;
    // The old numbers may now name other chips: reading on would mix them up.
    if (watch_() != signature_) redetect(true);
}

std::int16_t HwmonSource::read(Channel channel) {
    const auto at = static_cast<std::size_t>(channel);
    const std::uint32_t bit = 1u << static_cast<int>(channel);
    if (!(measured_ & bit)) return 0;
    followHwmonChanges();
    auto value = [&]() -> std::optional<double> {
        return inputs_[at] ? backend_->read(*inputs_[at]) : std::nullopt;
    };
    auto v = value();
    if (!v && redetect(false)) v = value();
    noteRead(channel, v.has_value());
    return v ? toExportUnits(channel, *v * map_.factor[at]) : 0;
}

std::uint32_t HwmonSource::channelMask() {
    std::uint32_t mask = 0;
    for (int i = 0; i < kChannelCount; ++i)
        if (inputs_[static_cast<std::size_t>(i)]) mask |= 1u << i;
    return mask;
}

ChannelDefaults HwmonSource::defaults() {
    ChannelMap present;
    std::array<std::optional<double>, kChannelCount> now{};
    for (int i = 0; i < kChannelCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (!map_.channels[at] || !inputs_[at]) continue;
        present[at] = map_.channels[at];
        if (i <= static_cast<int>(Channel::ChassisFan)) now[at] = backend_->read(*inputs_[at]);
    }
    // A divider the user gave applies to the driver's limits as to the reading.
    std::vector<ChipInfo> chips = backend_->chips();
    for (int i = static_cast<int>(Channel::In0); i < kChannelCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (!present[at] || map_.factor[at] == 1.0) continue;
        for (auto& chip : chips)
            for (auto& f : chip.features)
                if (chip.name == present[at]->chip && f.name == present[at]->feature)
                    for (auto* limit : {&f.limits.min, &f.limits.max, &f.limits.crit})
                        if (*limit) **limit *= map_.factor[at];
    }
    return machineDefaults(chips, present, now);
}

std::vector<SensorInfo> HwmonSource::sensors() {
    std::vector<SensorInfo> out;
    for (const auto* chip : byName(backend_->chips())) {
        for (const auto& f : chip->features) {
            SensorInfo s;
            s.kind = f.name.starts_with("fan") ? "fan" : f.name.starts_with("temp") ? "temp"
                     : f.name.starts_with("in")                                     ? "in"
                                                                                    : "other";
            s.chip = chip->name;
            s.feature = f.name;
            s.label = f.label;
            if (const auto input = backend_->inputOf({chip->name, f.name})) s.value = backend_->read(*input);
            for (int i = 0; i < kChannelCount; ++i) {
                const auto& ref = map_.channels[static_cast<std::size_t>(i)];
                if (ref && inputs_[static_cast<std::size_t>(i)] && ref->chip == chip->name && ref->feature == f.name)
                    s.channel = channelName(static_cast<Channel>(i));
            }
            out.push_back(std::move(s));
        }
    }
    return out;
}

ChannelStates HwmonSource::channelStates() {
    ChannelStates out;
    for (int i = 0; i < kChannelCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const auto& ref = map_.channels[at];
        if (ref && inputs_[at]) {
            out[at].target = ref->chip + "/" + ref->feature;
            if (map_.factor[at] != 1.0) {
                char factor[32];
                std::snprintf(factor, sizeof factor, " * %g", map_.factor[at]);
                out[at].target += factor;
            }
        } else {
            out[at].why = map_.why[at];
        }
    }
    return out;
}

Source::Trouble HwmonSource::trouble() {
    if (!backend_->libraryLoaded()) {
        return {std::string("The hwmon source needs libsensors (") + kLibSensors +
                    "), which could not be loaded. Install it (the package libsensors5 on Debian and Ubuntu), "
                    "or choose another source with ZORV_SOURCE.",
                false};
    }
    if (backend_->chips().empty()) {
        return {"libsensors finds no sensor chip under /sys/class/hwmon. Load the driver of the mainboard's "
                "sensor chip (sensors-detect of lm-sensors names it), or choose another source with ZORV_SOURCE.",
                true};
    }
    return {};
}

std::string HwmonSource::listing(const Config& config) {
    std::string out;
    char line[512];
    const std::string conf = sensorsConfigPath();
    out += "libsensors configuration: " + (conf.empty() ? std::string("the system's (/etc/sensors3.conf, /etc/sensors.d)") : conf) + "\n";
    out += "zorv.conf: " + (config.path.empty() ? std::string("none found") : config.path) + "\n\n";

    const auto& chips = backend_->chips();
    if (chips.empty()) out += "no chips found\n";
    for (const auto& chip : chips) {
        out += chip.name + "\n";
        for (const auto& f : chip.features) {
            const auto input = backend_->inputOf({chip.name, f.name});
            std::optional<double> v;
            if (input) v = backend_->read(*input);
            if (v)
                std::snprintf(line, sizeof line, "  %-12s %-20s %12.3f\n", f.name.c_str(), f.label.c_str(), *v);
            else
                std::snprintf(line, sizeof line, "  %-12s %-20s %12s\n", f.name.c_str(), f.label.c_str(),
                              input ? "unreadable" : "-");
            out += line;
        }
    }

    out += "\nmap in force (a channel without a feature is absent: Velmon neither shows nor judges it):\n";
    for (int i = 0; i < kChannelCount; ++i) {
        const auto& ref = map_.channels[static_cast<std::size_t>(i)];
        const std::string name(channelName(static_cast<Channel>(i)));
        if (ref && inputs_[static_cast<std::size_t>(i)]) {
            const std::string target = ref->chip + "/" + ref->feature;
            const char* from = map_.fromUser[static_cast<std::size_t>(i)] ? "zorv.conf" : "built in";
            std::string label;
            for (const auto& chip : backend_->chips())
                if (chip.name == ref->chip)
                    for (const auto& f : chip.features)
                        if (f.name == ref->feature && f.label != f.name) label = "\"" + f.label + "\"";
            std::snprintf(line, sizeof line, "  %-12s = %-32s %-10s %s\n", name.c_str(), target.c_str(), from,
                          label.c_str());
        } else {
            std::snprintf(line, sizeof line, "  %-12s = %-32s %s\n", name.c_str(), "-",
                          map_.why[static_cast<std::size_t>(i)].c_str());
        }
        out += line;
    }
    out += "\ndefaults (Velmon's thresholds until the user sets one):\n";
    const ChannelDefaults defs = defaults();
    for (int i = 0; i < kChannelCount; ++i) {
        const auto channel = static_cast<Channel>(i);
        const std::string text = inputs_[static_cast<std::size_t>(i)]
                                     ? "default " + describeDefault(channel, defs[static_cast<std::size_t>(i)])
                                     : std::string("absent");
        std::snprintf(line, sizeof line, "  %-12s %s\n", std::string(channelName(channel)).c_str(), text.c_str());
        out += line;
    }
    std::vector<std::string> notes = backend_->notes();
    notes.insert(notes.end(), map_.notes.begin(), map_.notes.end());
    if (!notes.empty()) {
        out += "\nnotes:\n";
        for (const auto& n : notes) out += "  " + n + "\n";
    }
    return out;
}

}  // namespace hwmon

std::unique_ptr<Source> makeHwmonSource(const Config& config) {
    auto open = [] { return hwmon::openLibSensors(hwmon::kLibSensors, hwmon::sensorsConfigPath()); };
    return std::make_unique<hwmon::HwmonSource>(open(), config, open,
                                                [] { return hwmon::hwmonSignature("/sys/class/hwmon"); },
                                                steadyClock());
}

}  // namespace zorv
