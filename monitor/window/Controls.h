// Small controls of the main window that Qt has no exact match for.
#pragma once

#include <QLabel>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace velmon::window {

// A transparent hot area over the window's own picture (the page buttons and
// the ovals): it paints nothing and hands its mouse input out.
class HotArea : public QWidget {
public:
    using Handler = std::function<void(Qt::MouseButton button, QPoint pos)>;
    explicit HotArea(QWidget* parent, QRect geometry);

    Handler onPress, onRelease, onDoubleClick;
    // The tooltip for a position inside the area (empty: none).
    std::function<QString(QPoint pos)> toolTipAt;

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// Milliseconds before the n-th repeat (from 0) of a held spin arrow: a pause
// after the first step, so a click steps once, then ever faster.
int spinRepeatDelay(int repeat);

// The up-down control of a fan threshold: two arrows in 18 x 16 pixels. A
// click steps once; an arrow held down repeats and speeds up.
class SpinArrows : public QWidget {
public:
    explicit SpinArrows(QWidget* parent);
    std::function<void(bool up)> onStep;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void stop();
    int pressed_ = -1;  // 0 up, 1 down
    int repeats_ = 0;
    QTimer* repeat_;
};

// A black frame with a white border and a white caption on its top edge.
class CaptionFrame : public QWidget {
public:
    CaptionFrame(QWidget* parent, const QString& caption, QRect geometry);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};

// A blank stretch of a foot plate laid over fields that mean nothing for a
// channel the machine lacks (warning glyphs, threshold boxes), with an
// optional note in its middle. The plate's gradient runs from plateTop to
// plateBottom in the parent's rows, as the artwork's does.
class PlateCover : public QWidget {
public:
    PlateCover(QWidget* parent, QRect geometry, int plateTop, int plateBottom, const QString& note = {});

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int plateTop_, plateBottom_;
    QString note_;
};

// The label font: bold 8.25 pt of the system's sans serif, 11 pixels here.
QFont labelFont(bool bold);

// A label in a colour on a transparent background. Fixed labels keep their
// box and centre their text, growing evenly on both sides when a text is wider
// than the box; sized labels fit their text.
class TextLabel : public QLabel {
public:
    TextLabel(QWidget* parent, QRgb colour, bool bold, const QString& text = {});
    // A fixed, centred box; without one the label is sized to its text.
    void setBox(QRect box);
    // The width of the field drawn behind the label: a text wider than it
    // is set in a smaller size (down to 8 pixels) so it stays on the field.
    void setFieldWidth(int width);
    void setLabelText(const QString& text);
    // Called after each new text, for what repeats it elsewhere.
    std::function<void()> onTextChanged;

private:
    void fit();
    QRect box_;
    bool bold_ = false;
    int fieldWidth_ = 0;
};

}  // namespace velmon::window
