#include "Geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmon::geometry {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// Integer division and remainder that truncate toward zero, as the page
// arithmetic was written.
constexpr int quot(int a, int b) { return a / b; }
constexpr int rem(int a, int b) { return a % b; }

int roundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

// Snaps a marker move as both voltage drags do, then picks the row that
// lies on a step (Top congruent to 1 modulo 3) and converts it to volts.
VoltageDrag voltageFromDelta(int delta, int base) {
    const int m = rem(delta, 18);
    if (m >= 0 && m <= 3) delta = 18 * quot(delta, 18) + 4;
    else if (m == 17) delta = 18 * (quot(delta, 18) + 1) + 4;
    int top = delta;
    for (int candidate : {delta, delta - 1, delta - 2}) {
        if (((candidate % 3) + 3) % 3 == 1) {
            top = candidate;
            break;
        }
    }
    const int k = quot(top - 4, 3);
    const int g = k < 5 ? 0 : quot(k - 5, 6) + 1;
    const double volts = (base + 4) - 0.1 * k + 0.1 * g;
    return {top, static_cast<float>(volts)};
}

}  // namespace

DialCentre dialCentre(int width, int height) {
    DialCentre c;
    c.cx = static_cast<std::int16_t>(width / 2);
    c.cy = static_cast<std::int16_t>(roundHalfEven(height * 29.0 / 81.0));
    c.R = static_cast<std::int16_t>((width * 2) / 7);
    return c;
}

double dialAngle(int speed) {
    double a = 240.0 - speed * 30.0 / 1000.0;
    if (a < 0) a += 360.0;
    return a;
}

double zoneStartAngle(int threshold) {
    double a = 241.0 - threshold * 30.0 / 1000.0;
    if (a > 240.0) a -= 1.0;
    if (a < 0) a += 360.0;
    return a;
}

Point needleTip(const DialCentre& c, int speed) {
    const double phi = dialAngle(speed) * kDegree;
    const double d = c.R - 8;
    return {roundHalfEven(c.cx + d * std::cos(phi)), roundHalfEven(c.cy - d * std::sin(phi))};
}

PieAngles needleWedge(int speed) {
    double a1 = dialAngle(speed) - 180.0 - 5.0;
    if (a1 < 0) a1 += 360.0;
    double a2 = a1 + 10.0;
    if (a2 > 360.0) a2 -= 360.0;
    return {a1, a2};
}

std::array<int, 3> dialLefts(int fanCount) {
    switch (fanCount) {
        case 1: return {165, 0, 0};
        case 2: return {52, 266, 0};
        case 3: return {14, 161, 308};
        default: return {0, 0, 0};
    }
}

std::array<TextAnchor, 11> scaleNumberAnchors(int width, int height) {
    const double W = width, H = height;
    return {{
        {W * 22 / 90, H * 53 / 96},
        {W / 8, H * 43 / 96},
        {W / 15, H * 63 / 192},
        {W * 3 / 26, H * 19 / 96},
        {W * 7 / 30, H / 10},
        {W * 7 / 16, H / 20},
        {W * 31 / 48, H / 10},
        {W * 73 / 96, H * 20 / 96},
        {W * 13 / 16, H * 63 / 192},
        {W * 49 / 64, H * 44 / 96},
        {W * 29 / 48, H * 52 / 96},
    }};
}

TextAnchor rpmAnchor(int width, int height) { return {width * 74.0 / 192.0, height * 25.0 / 48.0}; }
TextAnchor x1000Anchor(int width, int height) { return {width * 34.0 / 96.0, height * 111.0 / 192.0}; }

int fanThresholdStep(int threshold, bool up) {
    const int next = threshold + (up ? 100 : -100);
    if (next > 9999) return 9999;
    if (next < 1) return 1;
    return next;
}

GaugeSplit gaugeSplit(int base, int threshold) {
    const int D = base + 50 - threshold;
    return {D, quot(D, 5), rem(D, 5)};
}

int gaugePointerTop(int base, int threshold) {
    const GaugeSplit s = gaugeSplit(base, threshold);
    return 2 * s.D + 2 * s.n - 2;
}

RowSpan mercuryRows(int current, int base) {
    if (current < base) return {125, 125};
    const int d = current - base;
    const int q = (d % 5 == 0) ? d / 5 - 1 : d / 5;
    return {124 - 2 * d - 2 * q, 125};
}

std::optional<TemperatureDrag> temperatureDrag(int delta, int base) {
    if (delta < -2 || delta > 115) return std::nullopt;
    const int m = rem(delta, 12);
    if (m == 8 || m == 9) delta = 12 * quot(delta, 12) + 10;
    const int top = (delta % 2 == 0) ? delta : delta - 1;
    const int threshold = base + 50 - (top + 2) / 2 + quot(delta + 2, 12);
    return TemperatureDrag{top, threshold};
}

BarStep barStep(int base, float volts) {
    const float top = static_cast<float>(base + 4);
    // Far beyond the scale every step is as far as any other; limiting the
    // count keeps the conversion to int defined for any float (and NaN).
    constexpr double kFar = 1e6;
    const double steps = static_cast<double>((top - volts) * 10.0f);
    const int t = roundHalfEven(std::isnan(steps) ? kFar : std::clamp(steps, -kFar, kFar));
    const int s = quot(t, 5);
    return {t, s, t - 5 * s};
}

std::optional<VoltageDrag> voltageUpperDrag(int delta, int base, float lower) {
    const int limitUp = barStepTop(barStep(base, lower)) - 9;
    if (!(3 < delta && delta < limitUp)) return std::nullopt;
    return voltageFromDelta(delta, base);
}

std::optional<VoltageDrag> voltageLowerDrag(int delta, int base, float upper) {
    const BarStep u = barStep(base, upper);
    const int y = barSlotTop(u.slot);
    const int limitDn = u.step == 4 ? y + 21 : u.step == 2 ? y + 10 : y + 3 * u.step + 6;
    if (!(limitDn < delta && delta < 143)) return std::nullopt;
    return voltageFromDelta(delta, base);
}

float voltsFromMillivolts(std::int16_t millivolts) { return static_cast<float>(millivolts) / 1000.0f; }

float roundVolts(float volts) {
    return static_cast<float>(std::floor((static_cast<double>(volts) + 0.05) * 10.0) / 10.0);
}

}  // namespace velmon::geometry
