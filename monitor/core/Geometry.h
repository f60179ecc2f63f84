// The arithmetic of the main window's pages: dial angles, gauge slots, bar
// steps and the drag rules that turn pointer moves into thresholds. Pure
// functions, shared by the painters and the drag handlers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace velmon::geometry {

// ---- Fan dials ------------------------------------------------------------

struct DialCentre {
    std::int16_t cx = 0, cy = 0, R = 0;
};
// cx = W \ 2, cy = H * 29 / 81 rounded, R = (W * 2) \ 7; 135 x 195 gives 67, 70, 38.
DialCentre dialCentre(int width, int height);

// 240 - s * 30 / 1000 degrees, plus 360 when negative (mathematical angles).
double dialAngle(int speed);

// 241 - t * 30 / 1000; above 240 take one off; negative add 360.
double zoneStartAngle(int threshold);

struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};
// The needle's tip at distance R - 8 along the speed's angle, halves to even.
Point needleTip(const DialCentre& c, int speed);

struct PieAngles {
    double start = 0, end = 0;  // degrees, anticlockwise from start to end
};
// The needle wedge seen from its tip: 10 degrees wide, pointing back at the hub.
PieAngles needleWedge(int speed);

// Left edges of the dials on the fan page for a fan count (1 to 3; others give zeros).
std::array<int, 3> dialLefts(int fanCount);

// Where the scale numbers 0 … 10 start (top-left), from the dial's size.
struct TextAnchor {
    double x = 0, y = 0;
};
std::array<TextAnchor, 11> scaleNumberAnchors(int width, int height);
TextAnchor rpmAnchor(int width, int height);
TextAnchor x1000Anchor(int width, int height);

// The spin control of a fan threshold: steps of 100 inside 1 … 9999.
int fanThresholdStep(int threshold, bool up);

// ---- Thermometer gauges ---------------------------------------------------

struct GaugeSplit {
    int D = 0, n = 0, r = 0;
};
// D = base + 50 - threshold, n = D / 5 (toward zero), r = D mod 5 (sign of D).
GaugeSplit gaugeSplit(int base, int threshold);

// First row of slot k: 6 + 12k; a slot has 11 rows.
constexpr int gaugeSlotTop(int slot) { return 6 + 12 * slot; }

// Top of the threshold pointer: 2D + 2n - 2.
int gaugePointerTop(int base, int threshold);

// Rows of the mercury column (both included; top may exceed bottom only when
// the reading is exactly at base, where the rectangle still covers 125 … 126).
struct RowSpan {
    int top = 0, bottom = 0;
    friend bool operator==(const RowSpan&, const RowSpan&) = default;
};
RowSpan mercuryRows(int current, int base);

// A pointer drag: delta is the move in pixels from where the pointer was grabbed.
struct TemperatureDrag {
    int pointerTop = 0;
    int threshold = 0;
};
// Nothing when the move is outside -2 … 115.
std::optional<TemperatureDrag> temperatureDrag(int delta, int base);

// ---- Voltage bars -----------------------------------------------------------

struct BarStep {
    int t = 0;  // 0.1 V steps below the top of the scale
    int slot = 0;
    int step = 0;  // within the slot, 0 … 4
};
// top = base + 4; t = (top - v) * 10 rounded (single precision, halves to even).
BarStep barStep(int base, float volts);

constexpr int barSlotTop(int slot) { return 5 + 18 * slot; }
// First row of a step: 5 + 18s + 3w.
constexpr int barStepTop(const BarStep& s) { return barSlotTop(s.slot) + 3 * s.step; }
// Marker Top: centred on the step, y + 3w - 1.
constexpr int barMarkerTop(const BarStep& s) { return barStepTop(s) - 1; }

struct VoltageDrag {
    int markerTop = 0;
    float threshold = 0;
};
// Dragging the upper marker of a bar; nothing when the move is refused.
std::optional<VoltageDrag> voltageUpperDrag(int delta, int base, float lower);
// Dragging the lower marker; nothing when the move is refused.
std::optional<VoltageDrag> voltageLowerDrag(int delta, int base, float upper);

// ---- Texts and conversions -------------------------------------------------

// Volts from a raw millivolt reading, in single precision as the monitor holds them.
float voltsFromMillivolts(std::int16_t millivolts);
// floor((v + 0.05) * 10) / 10: the sum in double precision, as the monitor
// always did, so 3350 mV (just below 3.35 in single precision) gives 3.3.
float roundVolts(float volts);

}  // namespace velmon::geometry
