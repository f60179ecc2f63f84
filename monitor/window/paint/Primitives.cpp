#include "Primitives.h"

#include <QFont>
#include <QPainterPath>
#include <QRectF>

#include <cmath>
#include <numbers>

namespace velmon::paint::detail {
namespace {

QRectF square(QPointF centre, double radius) {
    return {centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius};
}

// Anticlockwise sweep from start to end, 0 … 360.
double sweep(double startDeg, double endDeg) {
    double s = endDeg - startDeg;
    while (s < 0) s += 360.0;
    while (s > 360.0) s -= 360.0;
    return s;
}

QPen pen(QRgb colour, int width) {
    QPen p{QColor::fromRgb(colour)};
    p.setWidth(width);
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

}  // namespace

Canvas::Canvas(QImage& image) : painter_(&image) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
}

void Canvas::box(int x1, int y1, int x2, int y2, QRgb colour) {
    painter_.fillRect(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized(), QColor::fromRgb(colour));
}

void Canvas::circle(QPointF centre, double radius, QRgb colour, int penWidth, const QColor& fill) {
    painter_.setPen(pen(colour, penWidth));
    painter_.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    painter_.drawEllipse(centre, radius, radius);
}

void Canvas::arc(QPointF centre, double radius, double startDeg, double endDeg, QRgb colour, int penWidth) {
    const double length = sweep(startDeg, endDeg) * radius * std::numbers::pi / 180.0;
    if (length > 0 && length < 1) {
        // Shorter than a pixel: the pen still leaves its mark at the start,
        // where the flat-capped path would leave nothing.
        const QPointF p = polar(centre, startDeg, radius);
        const QRectF dot(p.x() - penWidth / 2.0, p.y() - penWidth / 2.0, penWidth, penWidth);
        painter_.fillRect(dot.toRect(), QColor::fromRgb(colour));
        return;
    }
    QPainterPath path;
    path.arcMoveTo(square(centre, radius), startDeg);
    path.arcTo(square(centre, radius), startDeg, sweep(startDeg, endDeg));
    painter_.setPen(pen(colour, penWidth));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPath(path);
}

void Canvas::pie(QPointF centre, double radius, double startDeg, double endDeg, QRgb colour) {
    QPainterPath path(centre);
    path.arcTo(square(centre, radius), startDeg, sweep(startDeg, endDeg));
    path.closeSubpath();
    painter_.setPen(pen(colour, 1));
    painter_.setBrush(QColor::fromRgb(colour));
    painter_.drawPath(path);
}

void Canvas::line(QPointF from, QPointF to, QRgb colour) {
    painter_.setPen(pen(colour, 1));
    painter_.drawLine(from, to);
}

void Canvas::text(QPointF topLeft, const QString& s, QRgb colour, int pixelSize) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    painter_.setFont(font);
    painter_.setPen(QColor::fromRgb(colour));
    painter_.drawText(QRectF(topLeft, QSizeF(200, 40)), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, s);
}

QPointF polar(QPointF centre, double degrees, double distance) {
    const double a = degrees * std::numbers::pi / 180.0;
    return {centre.x() + distance * std::cos(a), centre.y() - distance * std::sin(a)};
}

}  // namespace velmon::paint::detail
