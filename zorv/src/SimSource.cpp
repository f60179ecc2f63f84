#include <cmath>
#include <cstdlib>
#include <numbers>

#include "platform/Files.h"
#include "Source.h"

namespace zorv {
namespace {

struct Nominal {
    double centre;     // in the channel's unit
    double amplitude;  // largest drift either side
};

// Centres and drifts stay well inside the default thresholds
// (fans 2800/2700/1800, temperatures 80/50, the voltage windows).
constexpr std::array<Nominal, kChannelCount> kNominal = {{
    {4500, 120}, {3300, 90}, {2400, 80},    // RPM
    {45, 2.4}, {33, 1.4},                   // degrees Celsius
    {2000, 30}, {2000, 30}, {3300, 35},     // mV: VCORE, second core, +3.3 V
    {5000, 60}, {12000, 150},               // +5 V, +12 V
    {-12000, 150}, {-5000, 60},             // -12 V, -5 V
}};

std::uint64_t splitmix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double unit(std::uint64_t& state) { return static_cast<double>(splitmix(state) >> 11) * 0x1.0p-53; }

}  // namespace

Clock steadyClock() {
    const auto start = std::chrono::steady_clock::now();
    return [start] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
}

SimSource::SimSource(std::uint64_t seed, Clock clock, std::vector<ScriptedValue> script)
    : clock_(std::move(clock)), script_(std::move(script)) {
    std::uint64_t state = seed;
    for (auto& w : waves_) {
        w.phase1 = unit(state) * 2 * std::numbers::pi;
        w.phase2 = unit(state) * 2 * std::numbers::pi;
        w.period1 = 180 + unit(state) * 420;  // minutes, not seconds: a slow drift
        w.period2 = 40 + unit(state) * 80;
    }
}

std::int16_t SimSource::simulated(Channel channel, double t) const {
    const auto i = static_cast<std::size_t>(channel);
    const Wave& w = waves_[i];
    const double drift = 0.7 * std::sin(2 * std::numbers::pi * t / w.period1 + w.phase1) +
                         0.3 * std::sin(2 * std::numbers::pi * t / w.period2 + w.phase2);
    return clamp16(kNominal[i].centre + kNominal[i].amplitude * drift);
}

std::int16_t SimSource::read(Channel channel) {
    const double t = clock_();
    const ScriptedValue* current = nullptr;
    for (const auto& s : script_)
        if (s.channel == channel && s.atSecond <= t && (!current || s.atSecond >= current->atSecond)) current = &s;
    return current ? current->value : simulated(channel, t);
}

std::vector<SimSource::ScriptedValue> parseScenario(std::string_view text) {
    std::vector<SimSource::ScriptedValue> out;
    for (const auto& [key, value] : parseKeyValues(text)) {
        const std::string_view k = key;
        const std::size_t space = k.find_first_of(" \t");
        if (space == std::string_view::npos) continue;
        const std::string at(platform::trimBlanks(k.substr(0, space)));
        const auto channel = channelFromName(platform::trimBlanks(k.substr(space + 1)));
        if (!channel) continue;
        char* end = nullptr;
        const double seconds = std::strtod(at.c_str(), &end);
        if (end == at.c_str() || *end != '\0' || !std::isfinite(seconds)) continue;
        const std::string line = std::string(channelName(*channel)) + " = " + value;
        out.push_back({seconds, *channel, readingFromText(line, *channel)});
    }
    return out;
}

}  // namespace zorv
