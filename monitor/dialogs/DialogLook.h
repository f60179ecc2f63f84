// What the three windows share: the face standing in for 8-point MS Sans Serif
// and centring on the screen with whole-pixel truncation.
#pragma once

#include <QFont>
#include <QPoint>
#include <QSize>

class QWidget;

namespace velmon {

QFont dialogFont(bool bold = false);

// (screen - window) / 2 in each direction, cut toward zero.
QPoint centredOrigin(QSize screen, QSize window);

// Moves window so that its client area is centred on its screen.
void centreOnScreen(QWidget& window);

}  // namespace velmon
