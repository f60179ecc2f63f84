// Painting of the main window's page pictures. Every function draws into a
// picture's own QImage with antialiasing off, so the pixels are exact. The
// dial, gauge and bar images must already hold their background artwork.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

namespace velmon::paint {

// Fan dial, 135 x 195 image already holding the dial plate: blanks the inner
// disc, paints the red zone, scale numbers, "RPM", "x1000", ticks and needle.
void drawFanDial(QImage& dial, int threshold, int speed);

// Needle only: blanks the disc of radius R - 5, paints the wedge and the hub.
void drawFanNeedle(QImage& dial, int speed);

// Threshold repaint after a spin step: black ring, red arcs, ticks, "RPM".
void drawFanZone(QImage& dial, int threshold);

// Scale segments, tube (OR then AND) and mercury column into the 120 x 204
// gauge image; returns the pointer Top. Labels are set by the caller. The
// bitwise tube copies need Format_RGB32: another format is converted first.
int drawTemperatureGauge(QImage& gauge, int base, int current, int threshold);

// Segments and reading tick into the 73 x 220 bar image; returns both marker
// Tops. Labels are set by the caller.
struct MarkerTops {
    int upper;
    int lower;
};
MarkerTops drawVoltageBar(QImage& bar, int base, float upper, float lower, float value);

// A bar whose input the machine does not measure: its eight slots unlit,
// no threshold colours and no tick.
void drawUnmeasuredVoltageBar(QImage& bar);

// Plain copy of a rectangle between images (pressed-button feedback).
void copyRect(QImage& to, QPoint at, const QImage& from, QRect source);

// Colours of the pages.
inline constexpr QRgb kDarkRed = 0xff800000;     // 128, 0, 0
inline constexpr QRgb kGreen = 0xff008040;       // 0, 128, 64
inline constexpr QRgb kBrightGreen = 0xff00ff00; // 0, 255, 0
inline constexpr QRgb kRed = 0xffff0000;         // 255, 0, 0
inline constexpr QRgb kYellow = 0xffffff00;      // 255, 255, 0
inline constexpr QRgb kWhite = 0xffffffff;
inline constexpr QRgb kBlack = 0xff000000;
inline constexpr QRgb kGrey = 0xff808080;        // 128, 128, 128
inline constexpr QRgb kUnlit = 0xff3c3c3c;       // 60, 60, 60: a scale that shows nothing

}  // namespace velmon::paint
