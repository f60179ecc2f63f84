// A picture box: a widget that owns the image it shows. Drawing goes into the
// image and persists; clear() brings back the background picture. Child
// controls (labels, pointers, markers, check boxes) are ordinary child widgets
// placed in pixels. Mouse input is handed out through callbacks, so the page
// code decides what a press, a move or a release means.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace velmon::window {

class PictureBox : public QWidget {
public:
    using PointHandler = std::function<void(Qt::MouseButton button, QPointF pos)>;

    explicit PictureBox(QWidget* parent, const QImage& background = {});

    void setBackground(const QImage& background);  // also the current image
    void clear();                                  // the background again
    QImage& image() { return image_; }
    [[nodiscard]] const QImage& image() const { return image_; }

    PointHandler onPress;
    PointHandler onMove;         // with or without a button held (tracking on)
    PointHandler onRelease;      // the press was taken here (or a drag ended over it)
    PointHandler onDoubleClick;  // in place of the second press

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage background_;
    QImage image_;
};

// The widget that mouse input at globalPos reaches while a drag routes it by
// position: the deepest enabled picture box there, or the window itself;
// nullptr outside the window.
QWidget* mouseTargetAt(QWidget* window, QPoint globalPos);

}  // namespace velmon::window
