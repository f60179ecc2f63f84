// The fan threshold's spin arrows: a click steps once, an arrow held down
// repeats and speeds up, and a release or a hidden page stops it.
#include "Controls.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace velmon {
namespace {

using window::SpinArrows;

void mouse(QWidget* w, QEvent::Type type, QPoint at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void runFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

struct Steps {
    int up = 0, down = 0;
};

class SpinRepeat : public ::testing::Test {
protected:
    SpinRepeat() {
        spin.onStep = [this](bool up) { ++(up ? steps.up : steps.down); };
        parent.show();
    }
    QWidget parent;
    SpinArrows spin{&parent};
    Steps steps;
};

TEST_F(SpinRepeat, AClickStepsOnce) {
    mouse(&spin, QEvent::MouseButtonPress, {9, 12});
    mouse(&spin, QEvent::MouseButtonRelease, {9, 12});
    runFor(700);
    EXPECT_EQ(steps.down, 1);
    EXPECT_EQ(steps.up, 0);
}

TEST_F(SpinRepeat, HeldItRepeatsUntilReleased) {
    mouse(&spin, QEvent::MouseButtonPress, {9, 3});
    runFor(2500);
    mouse(&spin, QEvent::MouseButtonRelease, {9, 3});
    const int held = steps.up;
    // 2800 RPM down to 600 is 22 steps: one press of a second or two.
    EXPECT_GE(held, 22);
    runFor(300);
    EXPECT_EQ(steps.up, held);
    EXPECT_EQ(steps.down, 0);
}

TEST_F(SpinRepeat, HidingThePageStopsIt) {
    mouse(&spin, QEvent::MouseButtonPress, {9, 12});
    runFor(600);
    parent.hide();
    const int seen = steps.down;
    EXPECT_GE(seen, 2);
    runFor(400);
    EXPECT_EQ(steps.down, seen);
}

TEST(SpinRepeatDelay, APauseThenEverFaster) {
    EXPECT_GE(window::spinRepeatDelay(0), 300);  // longer than a click
    int previous = window::spinRepeatDelay(0);
    for (int n = 1; n < 40; ++n) {
        EXPECT_LE(window::spinRepeatDelay(n), previous) << n;
        previous = window::spinRepeatDelay(n);
    }
    EXPECT_LT(window::spinRepeatDelay(30), window::spinRepeatDelay(1));
    EXPECT_GT(window::spinRepeatDelay(1000), 0);
}

}  // namespace
}  // namespace velmon
