#include "Painters.h"

#include "Geometry.h"
#include "Primitives.h"
#include "WarningRules.h"

#include "Art.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmon::paint {
namespace {

namespace geo = velmon::geometry;
using detail::Canvas;
using detail::polar;

QPointF centreOf(const geo::DialCentre& c) { return {double(c.cx), double(c.cy)}; }

void redBand(Canvas& c, const geo::DialCentre& d, int threshold) {
    const double theta = geo::zoneStartAngle(threshold);
    c.arc(centreOf(d), d.R - 2, theta, 240.0, kRed, 2);
    c.arc(centreOf(d), d.R, theta, 240.0, kRed, 2);
    // Without antialiasing the two rings leave pinholes where they meet on
    // the diagonals; one more between them closes the band.
    c.arc(centreOf(d), d.R - 1, theta, 240.0, kRed, 2);
}

void ticks(Canvas& c, const geo::DialCentre& d) {
    for (int a = -60; a <= 240; a += 15) {
        const double outer = (a % 30 == 0) ? d.R + 7 : d.R + 2;
        c.line(polar(centreOf(d), a, d.R - 3), polar(centreOf(d), a, outer), kWhite);
    }
}

// Distance from a point to the long tick of angle a (degrees).
double tickDistance(const geo::DialCentre& d, double a, QPointF p) {
    const QPointF from = polar(centreOf(d), a, d.R - 3), to = polar(centreOf(d), a, d.R + 7);
    const QPointF v = to - from, w = p - from;
    const double t = std::clamp(QPointF::dotProduct(w, v) / QPointF::dotProduct(v, v), 0.0, 1.0);
    const QPointF q = from + t * v - p;
    return std::hypot(q.x(), q.y());
}

// A scale number: its text starts at the anchor with one blank for the sign.
// Where the thousand tick that points at it would run into its digits, the
// digits move outwards along that tick until two blank pixels part them.
void scaleNumber(Canvas& c, const geo::DialCentre& d, QPointF anchor, int number) {
    constexpr int kPixels = 10;
    constexpr double kClearance = 3.0;  // two blank pixels and a half for rounding
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(kPixels);
    font.setBold(true);
    const QFontMetrics fm(font);
    const QString digits = QString::number(number);
    const double a = 240.0 - 30.0 * number;
    const QPointF out(std::cos(a * std::numbers::pi / 180.0), -std::sin(a * std::numbers::pi / 180.0));
    // The digits' ink, relative to the text's top-left corner.
    const QRectF ink = QRectF(fm.tightBoundingRect(digits)).translated(fm.horizontalAdvance(QLatin1Char(' ')), fm.ascent());
    QPointF at = anchor;
    for (int step = 0; step < 12; ++step) {
        const QRectF r = ink.translated(at);
        const QPointF corners[] = {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()};
        double nearest = tickDistance(d, a, r.center());
        for (const QPointF& k : corners) nearest = std::min(nearest, tickDistance(d, a, k));
        // the tick's outer end against the box's edges
        const QPointF end = polar(centreOf(d), a, d.R + 7);
        const double dx = std::max({r.left() - end.x(), 0.0, end.x() - r.right()});
        const double dy = std::max({r.top() - end.y(), 0.0, end.y() - r.bottom()});
        nearest = std::min(nearest, std::hypot(dx, dy));
        if (nearest >= kClearance) break;
        at += out * 0.5;
    }
    c.text(at, QStringLiteral(" ") + digits, kWhite, kPixels);
}

void needle(Canvas& c, const geo::DialCentre& d, int speed) {
    c.circle(centreOf(d), d.R - 5, kBlack, 1, QColor::fromRgb(kBlack));
    const geo::Point tip = geo::needleTip(d, speed);
    const geo::PieAngles w = geo::needleWedge(speed);
    c.pie(QPointF(tip.x, tip.y), d.R - 8, w.start, w.end, kYellow);
    c.circle(centreOf(d), 5, kGrey, 1, QColor::fromRgb(kGrey));
}

// The scales' own sizes bound every loop and box below: a threshold far
// beyond a scale costs no more than one at its end, and nothing is painted
// outside the scale column.
constexpr int kGaugeSlots = 10;
constexpr int kBarSlots = 8;

void gaugeSlot(Canvas& c, int slot, QRgb colour) {
    const int y = geo::gaugeSlotTop(slot);
    c.box(29, y, 80, y + 10, colour);
}

// The unit legend in the label size would crowd the 0 and 10 beside it.
constexpr int kLegendPixels = 9;

void barSlot(Canvas& c, int slot, QRgb colour) {
    const int y = geo::barSlotTop(slot);
    c.box(28, y, 38, y + 14, colour);
}

// Rows y1 … y2 of a scale column, cut to the rows of its slots.
void columnBox(Canvas& c, int x1, int x2, int y1, int y2, int firstRow, int lastRow, QRgb colour) {
    y1 = std::max(y1, firstRow);
    y2 = std::min(y2, lastRow);
    if (y1 <= y2) c.box(x1, y1, x2, y2, colour);
}
void gaugeBox(Canvas& c, int y1, int y2, QRgb colour) {
    columnBox(c, 29, 80, y1, y2, geo::gaugeSlotTop(0), geo::gaugeSlotTop(kGaugeSlots - 1) + 10, colour);
}
void barBox(Canvas& c, int y1, int y2, QRgb colour) {
    columnBox(c, 28, 38, y1, y2, geo::barSlotTop(0), geo::barSlotTop(kBarSlots - 1) + 14, colour);
}

// The tube copies combine bits, which QPainter only does between RGB32 images.
void ensureRgb32(QImage& image) {
    if (image.format() != QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

void drawFanDial(QImage& dial, int threshold, int speed) {
    const int W = dial.width(), H = dial.height();
    const geo::DialCentre d = geo::dialCentre(W, H);
    Canvas c(dial);
    // cx / 2 unrounded: 33.5 on the standard dial
    c.circle(centreOf(d), d.cx / 2.0, kBlack, 1, QColor::fromRgb(kBlack));
    redBand(c, d, threshold);

    const auto anchors = geo::scaleNumberAnchors(W, H);
    for (int i = 0; i <= 10; ++i) scaleNumber(c, d, QPointF(anchors[i].x, anchors[i].y), i);
    const geo::TextAnchor rpm = geo::rpmAnchor(W, H), x1000 = geo::x1000Anchor(W, H);
    c.text(QPointF(rpm.x, rpm.y), QStringLiteral("RPM"), kYellow, kLegendPixels);
    c.text(QPointF(x1000.x, x1000.y), QStringLiteral("x1000"), kYellow, kLegendPixels);

    ticks(c, d);
    needle(c, d, speed);
}

void drawFanNeedle(QImage& dial, int speed) {
    const geo::DialCentre d = geo::dialCentre(dial.width(), dial.height());
    Canvas c(dial);
    needle(c, d, speed);
}

void drawFanZone(QImage& dial, int threshold) {
    const int W = dial.width(), H = dial.height();
    const geo::DialCentre d = geo::dialCentre(W, H);
    Canvas c(dial);
    c.circle(centreOf(d), d.cx / 2.0 + 5, kBlack, 10);
    redBand(c, d, threshold);
    ticks(c, d);
    const geo::TextAnchor rpm = geo::rpmAnchor(W, H);
    c.text(QPointF(rpm.x, rpm.y), QStringLiteral("RPM"), kYellow, kLegendPixels);
}

int drawTemperatureGauge(QImage& gauge, int base, int current, int threshold) {
    ensureRgb32(gauge);
    const geo::GaugeSplit s = geo::gaugeSplit(base, threshold);
    {
        Canvas c(gauge);
        for (int k = 0; k < std::min(s.n, kGaugeSlots); ++k) gaugeSlot(c, k, kDarkRed);
        if (s.n >= 0 && s.n < kGaugeSlots) {
            const int y = geo::gaugeSlotTop(s.n);
            gaugeBox(c, y, y + 2 * (s.r + 1), kDarkRed);
            if (s.r != 4) gaugeBox(c, y + 2 * (s.r + 1) + 1, y + 10, kGreen);
        }
        for (int k = std::max(s.n + 1, 0); k < kGaugeSlots; ++k) gaugeSlot(c, k, kGreen);
    }
    {
        QPainter p(&gauge);
        const QPoint at(41, -1);
        p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        p.drawImage(at, art::image(art::Art::StickSilhouette));
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(at, art::image(art::Art::Stick));
    }
    {
        Canvas c(gauge);
        const geo::RowSpan rows = geo::mercuryRows(current, base);
        c.box(52, rows.top, 58, rows.bottom, kRed);
    }
    // The pointer stays inside the gauge, at the end of the scale nearer its threshold.
    return std::clamp(geo::gaugePointerTop(base, threshold), geo::gaugePointerTop(base, base + 50),
                      geo::gaugePointerTop(base, base + 1));
}

MarkerTops drawVoltageBar(QImage& bar, int base, float upper, float lower, float value) {
    Canvas c(bar);
    const geo::BarStep u = geo::barStep(base, upper);
    const int yU = geo::barSlotTop(u.slot);
    for (int s = 0; s < std::min(u.slot, kBarSlots); ++s) barSlot(c, s, kDarkRed);
    barBox(c, yU, yU + 3 * (u.step + 1) - 1, kDarkRed);
    if (u.step != 4) barBox(c, yU + 3 * (u.step + 1), yU + 14, kGreen);

    const geo::BarStep l = geo::barStep(base, lower);
    const int yD = geo::barSlotTop(l.slot);
    if (l.slot != u.slot) {
        for (int s = std::max(u.slot + 1, 0); s < std::min(l.slot, kBarSlots); ++s) barSlot(c, s, kGreen);
        if (l.step != 0) barBox(c, yD, yD + 3 * l.step - 1, kGreen);
    }
    barBox(c, yD + 3 * l.step, yD + 14, kDarkRed);
    for (int s = std::max(l.slot + 1, 0); s < kBarSlots; ++s) barSlot(c, s, kDarkRed);

    const float top = static_cast<float>(base + 4);
    const float bottom = static_cast<float>(base);
    // A reading in warning beyond the scale's ends has no tick.
    QRgb tick = 0;
    if (voltageVerdict(value, upper, lower) == Verdict::Normal) tick = kBrightGreen;
    else if (bottom <= value && value <= top) tick = kRed;
    if (tick != 0) {
        const int y = geo::barStepTop(geo::barStep(base, value));
        c.box(28, y, 38, y + 2, tick);
    }
    // Markers stay on the bar, at the end of the scale nearer their thresholds.
    const geo::BarStep first{0, 0, 0}, last{kBarSlots * 5 - 1, kBarSlots - 1, 4};
    const auto onBar = [&](const geo::BarStep& b) {
        return std::clamp(geo::barMarkerTop(b), geo::barMarkerTop(first), geo::barMarkerTop(last));
    };
    return {onBar(u), onBar(l)};
}

void drawUnmeasuredVoltageBar(QImage& bar) {
    Canvas c(bar);
    for (int s = 0; s <= 7; ++s) barSlot(c, s, kUnlit);
}

void copyRect(QImage& to, QPoint at, const QImage& from, QRect source) {
    QPainter p(&to);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(at, from, source);
}

}  // namespace velmon::paint
