#pragma once

#include <QImage>
#include <QString>

#include <cmath>
#include <numbers>
#include <string>

namespace pixels {

inline QRgb at(const QImage& img, int x, int y) { return img.pixel(x, y) | 0xff000000u; }

inline std::string rgb(QRgb c) {
    return "(" + std::to_string(qRed(c)) + "," + std::to_string(qGreen(c)) + "," + std::to_string(qBlue(c)) + ")";
}

// The pixel at a mathematical angle and distance from a centre.
inline QPoint polar(double cx, double cy, double degrees, double distance) {
    const double a = degrees * std::numbers::pi / 180.0;
    return {int(std::lround(cx + distance * std::cos(a))), int(std::lround(cy - distance * std::sin(a)))};
}

}  // namespace pixels
