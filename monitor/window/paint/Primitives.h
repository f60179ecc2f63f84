// The small drawing vocabulary the page painters are written in: boxes given
// by two corners, circles and arcs in mathematical degrees, pies, lines with
// unrounded ends and bold text at a top-left point. Antialiasing is off.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QString>

namespace velmon::paint::detail {

class Canvas {
public:
    explicit Canvas(QImage& image);

    // Filled box including both corner points, in whichever order they come.
    void box(int x1, int y1, int x2, int y2, QRgb colour);
    // Circle outline of the pen width; filled as well when fill is given.
    void circle(QPointF centre, double radius, QRgb colour, int penWidth, const QColor& fill = QColor());
    // Arc from start anticlockwise to end, in degrees.
    void arc(QPointF centre, double radius, double startDeg, double endDeg, QRgb colour, int penWidth);
    // Closed pie from start anticlockwise to end, outlined and filled in one colour.
    void pie(QPointF centre, double radius, double startDeg, double endDeg, QRgb colour);
    void line(QPointF from, QPointF to, QRgb colour);
    // Bold Liberation Sans (11 pixels unless told), transparent background.
    void text(QPointF topLeft, const QString& s, QRgb colour, int pixelSize = 11);

private:
    QPainter painter_;
};

// A point at angle a (degrees, anticlockwise from the right) and distance d.
QPointF polar(QPointF centre, double degrees, double distance);

}  // namespace velmon::paint::detail
