// The main window in the offscreen platform: its shape, the page buttons and
// ovals (pressed images, moves, dialogs), the fan layout, the drawings the
// core asks for and how drags route their moves and releases.
#include "MainWindow.h"
#include "Recorder.h"

#include "Art.h"

#include <QCheckBox>
#include <QColor>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <algorithm>

namespace velmon {
namespace {

using window::MainWindow;

void send(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button = Qt::LeftButton) {
    const QPointF global = w->mapToGlobal(QPointF(local));
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(local), global, type == QEvent::MouseMove ? Qt::NoButton : button, held,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// A position on the window, sent to the window itself (a running drag has the mouse).
void sendToWindow(MainWindow& w, QEvent::Type type, QWidget* over, QPoint localToOver) {
    send(&w, type, over->mapTo(&w, localToOver));
}

QImage area(const QImage& image, QRect r) { return image.copy(r).convertToFormat(QImage::Format_RGB32); }
QImage rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

const QRect kFanButton(523, 31, 45, 45);
const QRect kTempButton(523, 99, 45, 45);
const QRect kSettingOval(446, 317, 58, 39);

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : window(&mover), launcher(window) {
        window.setEvents(&events);
        window.setDialogLauncher(&launcher);
    }
    QWidget* ctl(Ctl c, int i = 0) { return window.control({c, i}); }
    QString text(Ctl c, int i = 0) { return dynamic_cast<QLabel*>(ctl(c, i))->text(); }

    test::RecordingMover mover;
    MainWindow window;
    test::RecordingEvents events;
    test::RecordingLauncher launcher;
};

TEST(WindowShape, NotchesAtTheBottomCorners) {
    struct Case {
        QPoint p;
        bool inside;
    };
    const Case cases[] = {
        {{5, 370}, false}, {{15, 370}, true},  {{595, 370}, false}, {{585, 370}, true},
        {{5, 364}, true},  {{5, 365}, false},  {{9, 380}, false},   {{10, 380}, true},
        {{589, 380}, true}, {{590, 380}, false}, {{0, 0}, true},    {{599, 0}, true},
        {{599, 364}, true}, {{600, 10}, false}, {{300, 381}, false},
    };
    const QRegion shape = window::windowShape();
    for (const Case& c : cases) EXPECT_EQ(shape.contains(c.p), c.inside) << c.p.x() << "," << c.p.y();
    EXPECT_EQ(shape.boundingRect(), QRect(0, 0, 600, 381));
}

// The shape is the three rectangles; whatever of the window it lets show at
// its edges must be panel, not the dark backdrop the artwork stands on.
TEST_F(MainWindowTest, EdgesOfTheShapeShowThePanelNotItsBackdrop) {
    const QImage shown = rgb(window.grab().toImage());
    ASSERT_EQ(shown.size(), QSize(600, 381));
    const QRegion shape = window::windowShape();
    auto inShape = [&](int x, int y) { return shape.contains(QPoint(x, y)); };
    constexpr int kReach = 8;  // the corners' rounding stays within this of an edge
    int checked = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (!inShape(x, y)) continue;
            const bool nearEdge = !inShape(x - kReach, y) || !inShape(x + kReach, y) || !inShape(x, y - kReach) ||
                                  !inShape(x, y + kReach);
            if (!nearEdge) continue;
            ++checked;
            const QColor c = shown.pixelColor(x, y);
            // The darkest edge line the panel draws is #3e3e3e.
            EXPECT_GE(std::min({c.red(), c.green(), c.blue()}), 0x3e)
                << "dark pixel " << c.name().toStdString() << " at " << x << "," << y;
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(checked, 8 * (600 + 381));  // the whole rim was looked at
}

// Each voltage text stays on the dark field behind it: rendering a text may
// change no pixel of the bar outside that field's interior.
TEST_F(MainWindowTest, VoltageTextsStayInsideTheirFields) {
    struct Field {
        Ctl label;
        int top;  // first row of the dark interior; columns 40 … 63, 13 rows
    };
    const Field fields[] = {{Ctl::VoltUpLabel, 164}, {Ctl::VoltLabel, 181}, {Ctl::VoltDnLabel, 198}};
    const char* const texts[] = {"-10.3", "-12.1", "-13.7", "-11.1", "14.0", "3.3", "0.0"};
    for (int input : {0, 5}) {
        for (const Field& f : fields) window.setText({f.label, input}, "");
        QWidget* bar = ctl(Ctl::VoltBar, input);
        const QImage blank = rgb(bar->grab().toImage());
        for (const Field& f : fields) {
            for (const char* text : texts) {
                window.setText({f.label, input}, text);
                const QImage shown = rgb(bar->grab().toImage());
                window.setText({f.label, input}, "");
                const QRect interior(40, f.top, 24, 13);
                int inside = 0;
                for (int y = 0; y < shown.height(); ++y) {
                    for (int x = 0; x < shown.width(); ++x) {
                        if (shown.pixel(x, y) == blank.pixel(x, y)) continue;
                        if (interior.contains(x, y)) {
                            ++inside;
                            continue;
                        }
                        ADD_FAILURE() << '"' << text << "\" of input " << input << " leaves its field at " << x
                                      << "," << y;
                        return;
                    }
                }
                EXPECT_GT(inside, 15) << text;  // the text is there at all
            }
        }
    }
}

TEST_F(MainWindowTest, WindowIsShapedSizedAndTitled) {
    EXPECT_EQ(window.mask(), window::windowShape());
    EXPECT_EQ(window.size(), QSize(600, 381));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Velmora"));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.isTopmost());
}

TEST(WindowPlacement, CentredForTheDensity) {
    EXPECT_EQ(window::centredTopLeft({1024, 768}, 1.0), QPoint(212, 193));
    // At 1.25 the corner is where a 750 x 476 window would be centred.
    EXPECT_EQ(window::centredTopLeft({1024, 768}, 1.25), QPoint(137, 146));
    EXPECT_EQ(window::centredTopLeft({1280, 1024}, 1.25), QPoint(265, 274));
    EXPECT_EQ(window::centredTopLeft({1920, 1080}, 1.0), QPoint(660, 349));
}

TEST_F(MainWindowTest, KeepsItsPixelSizeOnDenseDisplays) {
    window.layOut({1, 1, 1}, 1.25);
    EXPECT_EQ(window.size(), QSize(600, 381));
    EXPECT_EQ(ctl(Ctl::FanSpeedLabel, 1)->pos(), QPoint(71, 150));
    EXPECT_EQ(window.spin(2)->pos(), QPoint(50, 173));
    EXPECT_EQ(ctl(Ctl::FanCheck, 0)->pos(), QPoint(14 + 25, 228));
    EXPECT_EQ(ctl(Ctl::TempLabel, 1)->pos(), QPoint(52, 161));
    EXPECT_EQ(ctl(Ctl::VoltDnLabel, 3)->pos(), QPoint(39, 198));
}

TEST_F(MainWindowTest, PageButtonShowsPressedImageUntilRelease) {
    const QImage before = area(window.layer(), kFanButton);
    send(window.pageButton(0), QEvent::MouseButtonPress, {20, 20});
    EXPECT_EQ(area(window.layer(), kFanButton), rgb(art::image(art::buttonDown(0))));
    EXPECT_EQ(events.calls, (std::vector<std::string>{"pausePolling", "pageButtonPressed 0"}));
    send(window.pageButton(0), QEvent::MouseButtonRelease, {20, 20});
    EXPECT_EQ(area(window.layer(), kFanButton), before);
    EXPECT_EQ(events.calls.back(), "resumePolling");
}

TEST_F(MainWindowTest, DoubleClickSwitchesOnceAndShowsPressedImageTwice) {
    QWidget* b = window.pageButton(1);
    const QImage pressed = rgb(art::image(art::buttonDown(1)));
    const QImage before = area(window.layer(), kTempButton);
    send(b, QEvent::MouseButtonPress, {10, 10});
    send(b, QEvent::MouseButtonRelease, {10, 10});
    EXPECT_EQ(area(window.layer(), kTempButton), before);
    send(b, QEvent::MouseButtonDblClick, {10, 10});
    EXPECT_EQ(area(window.layer(), kTempButton), pressed);
    send(b, QEvent::MouseButtonRelease, {10, 10});
    EXPECT_EQ(area(window.layer(), kTempButton), before);
    EXPECT_EQ(events.count("pageButtonPressed 1"), 1);
    // The double click neither pauses again nor switches; both releases resume.
    EXPECT_EQ(events.count("pausePolling"), 1);
    EXPECT_EQ(events.count("resumePolling"), 2);
}

TEST_F(MainWindowTest, RepaintedWindowShowsTheBackgroundAgain) {
    send(window.pageButton(0), QEvent::MouseButtonPress, {20, 20});
    window.show();  // a new showing: pressed images are not kept
    EXPECT_EQ(area(window.layer(), kFanButton), area(art::image(art::Art::Panel), kFanButton));
    window.hide();
}

TEST_F(MainWindowTest, LeftPressInOvalCornerMovesTheWindow) {
    const QImage before = area(window.layer(), kSettingOval);
    send(window.oval(1), QEvent::MouseButtonPress, {1, 1});
    EXPECT_EQ(mover.moves, 1);
    EXPECT_EQ(area(window.layer(), kSettingOval), before);  // not pressed
    EXPECT_EQ(events.calls, std::vector<std::string>{"pausePolling"});
    ASSERT_TRUE(mover.ended);
    mover.ended();
    EXPECT_EQ(events.calls.back(), "resumePolling");
    EXPECT_TRUE(launcher.opened.empty());
}

TEST_F(MainWindowTest, RightPressInOvalCornerDoesNothingButResumesAtRelease) {
    const QImage before = area(window.layer(), kSettingOval);
    send(window.oval(1), QEvent::MouseButtonPress, {1, 1}, Qt::RightButton);
    EXPECT_EQ(mover.moves, 0);
    EXPECT_EQ(area(window.layer(), kSettingOval), before);
    send(window.oval(1), QEvent::MouseButtonRelease, {1, 1}, Qt::RightButton);
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_EQ(events.calls, (std::vector<std::string>{"pausePolling", "resumePolling"}));
}

TEST_F(MainWindowTest, PressInsideSettingReleasedFarAwayStillOpensSettings) {
    const QImage before = area(window.layer(), kSettingOval);
    send(window.oval(1), QEvent::MouseButtonPress, {29, 19}, Qt::RightButton);
    EXPECT_EQ(area(window.layer(), kSettingOval), rgb(art::image(art::ovalDown(1))));
    send(window.oval(1), QEvent::MouseButtonRelease, {-400, -250}, Qt::RightButton);
    ASSERT_EQ(launcher.opened, std::vector<std::string>{"settings"});
    EXPECT_FALSE(launcher.topmostWhileOpen.front());
    EXPECT_EQ(area(window.layer(), kSettingOval), before);
    EXPECT_EQ(events.calls.back(), "resumePolling");
    EXPECT_EQ(mover.moves, 0);
}

TEST_F(MainWindowTest, OvalsActByItem) {
    send(window.oval(0), QEvent::MouseButtonPress, {29, 19});
    send(window.oval(0), QEvent::MouseButtonRelease, {29, 19});
    EXPECT_EQ(events.count("windowClosedByOval"), 1);
    send(window.oval(2), QEvent::MouseButtonPress, {29, 19});
    send(window.oval(2), QEvent::MouseButtonRelease, {29, 19});
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"system"});
    // A later press outside the oval resets the pressed state: its release opens nothing.
    send(window.oval(2), QEvent::MouseButtonPress, {57, 38}, Qt::RightButton);
    send(window.oval(2), QEvent::MouseButtonRelease, {29, 19}, Qt::RightButton);
    EXPECT_EQ(launcher.opened.size(), 1U);
}

TEST_F(MainWindowTest, BackgroundLeftPressMovesRightPressDoesNot) {
    send(&window, QEvent::MouseButtonPress, {300, 10}, Qt::RightButton);
    EXPECT_EQ(mover.moves, 0);
    send(&window, QEvent::MouseButtonPress, {300, 10});
    EXPECT_EQ(mover.moves, 1);
    send(&window, QEvent::MouseButtonRelease, {300, 10});
    EXPECT_EQ(events.calls, (std::vector<std::string>{"pausePolling", "backgroundReleased"}));
}

struct FanLayoutCase {
    std::array<int, 3> fitted;
    std::array<int, 3> x;  // -1: hidden
};

class FanLayoutTest : public MainWindowTest, public ::testing::WithParamInterface<FanLayoutCase> {};

TEST_P(FanLayoutTest, DialsStandWhereTheFanCountPutsThem) {
    const FanLayoutCase& c = GetParam();
    window.layOut(c.fitted, 1.0);
    for (int f = 0; f < 3; ++f) {
        const auto x = c.x[static_cast<std::size_t>(f)];
        QWidget* dial = ctl(Ctl::FanDial, f);
        EXPECT_EQ(!dial->isHidden(), x >= 0) << "fan " << f;
        EXPECT_EQ(!ctl(Ctl::FanSummaryValue, f)->isHidden(), x >= 0) << "fan " << f;
        EXPECT_EQ(!window.summaryCaption(f + 1)->isHidden(), x >= 0) << "fan " << f;
        if (x < 0) continue;
        EXPECT_EQ(dial->pos(), QPoint(x, 23)) << "fan " << f;
        EXPECT_EQ(ctl(Ctl::FanCheck, f)->pos(), QPoint(x + 24, 228)) << "fan " << f;
        EXPECT_EQ(ctl(Ctl::FanInstLabel, f)->pos(), QPoint(x + 46, 228)) << "fan " << f;
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, FanLayoutTest,
                         ::testing::Values(FanLayoutCase{{1, 1, 1}, {14, 161, 308}},
                                           FanLayoutCase{{0, 1, 1}, {-1, 52, 266}},
                                           FanLayoutCase{{1, 0, 1}, {52, -1, 266}},
                                           FanLayoutCase{{0, 0, 1}, {-1, -1, 165}}));

TEST_F(MainWindowTest, StartsOnTheFanPageWithPlaceholders) {
    EXPECT_FALSE(ctl(Ctl::PagePanel, 0)->isHidden());
    for (int p = 1; p < 4; ++p) EXPECT_TRUE(ctl(Ctl::PagePanel, p)->isHidden());
    EXPECT_EQ(text(Ctl::FanSummaryValue, 2), "3500");
    EXPECT_EQ(text(Ctl::TempSummaryValue, 1), "60");
    EXPECT_EQ(text(Ctl::VoltSummaryValue, 6), "2.8");
    EXPECT_EQ(dynamic_cast<QLabel*>(window.summaryCaption(5))->text(), "Mainboard:");
    EXPECT_TRUE(window.summaryCaption(7)->isHidden());
    EXPECT_TRUE(ctl(Ctl::VoltSummaryValue, 1)->isHidden());
    EXPECT_TRUE(ctl(Ctl::VoltBar, 1)->isHidden());
    EXPECT_EQ(ctl(Ctl::PagePanel, 3)->toolTip(), "Summary ");
    EXPECT_EQ(ctl(Ctl::FanDial, 0)->toolTip(), "CPU Fan ");
    EXPECT_EQ(ctl(Ctl::VoltUpMarker, 1)->toolTip(), "Adjust VCORE Upper Warnning Value");
    EXPECT_EQ(ctl(Ctl::TempPointer, 1)->toolTip(), "Adjust Mainboard Temperature Warning Threshold");
}

TEST_F(MainWindowTest, ViewCallsReachTheirControls) {
    window.setText({Ctl::FanSpeedLabel, 2}, "2600");
    EXPECT_EQ(text(Ctl::FanSpeedLabel, 2), "2600");
    window.setVisible({Ctl::TempLabel, 1}, false);
    EXPECT_FALSE(window.isVisible({Ctl::TempLabel, 1}));
    EXPECT_TRUE(window.isVisible({Ctl::TempLabel, 0}));  // its own state, window hidden or not
    window.setEnabled({Ctl::TempPointer, 0}, false);
    EXPECT_FALSE(ctl(Ctl::TempPointer, 0)->isEnabled());
    window.setToolTip({Ctl::TempGauge, 0}, "");
    EXPECT_EQ(ctl(Ctl::TempGauge, 0)->toolTip(), "");
}

TEST_F(MainWindowTest, CheckBoxesReportUserClicksOnly) {
    auto* box = dynamic_cast<QCheckBox*>(ctl(Ctl::FanCheck, 1));
    window.setChecked(1, true);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(events.calls.empty());
    box->click();  // the user unticks it
    EXPECT_EQ(events.calls, std::vector<std::string>{"fanCheckClicked 1 0"});
}

TEST_F(MainWindowTest, SpinArrowsStepUpAndDown) {
    send(window.spin(0), QEvent::MouseButtonPress, {9, 3});
    send(window.spin(0), QEvent::MouseButtonRelease, {9, 3});
    send(window.spin(2), QEvent::MouseButtonPress, {9, 12});
    EXPECT_EQ(events.calls, (std::vector<std::string>{"fanSpinChanged 0 1", "fanSpinChanged 2 0"}));
}

TEST_F(MainWindowTest, GaugeDrawingSetsCaptionsAndPointer) {
    window.drawTemperatureGauge(0, 45, 80, 40);
    EXPECT_EQ(dynamic_cast<QLabel*>(window.scaleLabel(0, 0, false))->text(), "40/104");
    EXPECT_EQ(dynamic_cast<QLabel*>(window.scaleLabel(0, 5, false))->text(), "90/194");
    EXPECT_EQ(text(Ctl::TempWarnLabel, 0), "80/176");
    EXPECT_EQ(text(Ctl::TempLabel, 0), "45/113");
    EXPECT_EQ(ctl(Ctl::TempPointer, 0)->pos(), QPoint(15, 22));
    window.drawTemperatureGauge(1, 30, 60, 10);  // threshold at the top of the scale
    EXPECT_EQ(ctl(Ctl::TempPointer, 1)->pos(), QPoint(15, -2));
    EXPECT_EQ(dynamic_cast<QLabel*>(window.scaleLabel(1, 0, false))->text(), "10/50");
}

TEST_F(MainWindowTest, BarDrawingSetsCaptionsAndMarkers) {
    window.drawVoltageBar(0, 0, 3.7F, 1.5F, 2.8F);
    EXPECT_EQ(ctl(Ctl::VoltUpMarker, 0)->pos(), QPoint(13, 13));
    EXPECT_EQ(ctl(Ctl::VoltDnMarker, 0)->pos(), QPoint(13, 94));
    EXPECT_EQ(text(Ctl::VoltUpLabel, 0), "3.7");
    EXPECT_EQ(text(Ctl::VoltDnLabel, 0), "1.5");
    EXPECT_EQ(text(Ctl::VoltLabel, 0), "2.8");
    window.drawVoltageBar(5, -14, -10.3F, -13.7F, -12.1F);
    EXPECT_EQ(dynamic_cast<QLabel*>(window.scaleLabel(5, 0, true))->text(), "-14");
    EXPECT_EQ(dynamic_cast<QLabel*>(window.scaleLabel(5, 4, true))->text(), "-10");
    EXPECT_EQ(text(Ctl::VoltLabel, 5), "-12.1");
}

TEST_F(MainWindowTest, FanDialDrawingPaintsAndClearRestores) {
    const QImage plate = rgb(art::image(art::dialPlate(0)));
    auto* dial = dynamic_cast<window::PictureBox*>(ctl(Ctl::FanDial, 0));
    window.drawFanDial(0, 2800, 3500);
    EXPECT_NE(rgb(dial->image()), plate);
    window.clearFanDial(0);
    EXPECT_EQ(rgb(dial->image()), plate);
}

TEST_F(MainWindowTest, PointerDragRoutesByPosition) {
    window.layOut({1, 1, 1}, 1.0);
    QWidget* pointer = ctl(Ctl::TempPointer, 0);
    QWidget* gauge0 = ctl(Ctl::TempGauge, 0);
    QWidget* gauge1 = ctl(Ctl::TempGauge, 1);
    QWidget* page = ctl(Ctl::PagePanel, 1);
    window.setVisible({Ctl::PagePanel, 0}, false);
    window.setVisible({Ctl::PagePanel, 1}, true);
    send(pointer, QEvent::MouseButtonPress, {4, 8});
    window.setEnabled({Ctl::TempPointer, 0}, false);  // as the core does
    sendToWindow(window, QEvent::MouseMove, gauge0, {30, 60});
    sendToWindow(window, QEvent::MouseMove, page, {5, 5});  // over the page: not the gauge's
    sendToWindow(window, QEvent::MouseMove, pointer, {4, 4});  // a disabled pointer passes it on
    sendToWindow(window, QEvent::MouseButtonRelease, gauge1, {30, 60});
    EXPECT_EQ(events.calls,
              (std::vector<std::string>{"temperaturePointerPressed 0 8", "temperatureGaugeMoved 0 60",
                                        "temperatureGaugeMoved 0 " + std::to_string(pointer->y() + 4),
                                        "temperatureGaugeReleased 1"}));
    events.clear();
    window.setEnabled({Ctl::TempPointer, 0}, true);
    send(pointer, QEvent::MouseButtonPress, {4, 8});
    sendToWindow(window, QEvent::MouseButtonRelease, page, {5, 5});
    EXPECT_EQ(events.calls.back(), "temperaturePageReleased");
    window.releaseMouse();
}

TEST_F(MainWindowTest, MarkerDragReleasesByPosition) {
    window.setVisible({Ctl::PagePanel, 0}, false);
    window.setVisible({Ctl::PagePanel, 2}, true);
    window.drawVoltageBar(3, 3, 5.5F, 4.5F, 5.0F);
    QWidget* up = ctl(Ctl::VoltUpMarker, 3);
    QWidget* down = ctl(Ctl::VoltDnMarker, 3);
    struct Case {
        QWidget* over;
        QPoint at;
        std::string expected;
    };
    const Case cases[] = {
        {ctl(Ctl::VoltBar, 3), {5, 100}, "voltageBarReleased"},
        {down, {2, 2}, "voltageMarkerReleased 0"},
        {window.voltTitle(), {200, 10}, "voltagePageReleased"},
        {ctl(Ctl::PagePanel, 2), {450, 240}, "voltagePageReleased"},
        {&window, {300, 300}, "backgroundReleased"},
    };
    for (const Case& c : cases) {
        events.clear();
        send(up, QEvent::MouseButtonPress, {3, 2});
        EXPECT_EQ(events.calls.front(), "voltageMarkerPressed 3 1 2");
        sendToWindow(window, QEvent::MouseButtonRelease, c.over, c.at);
        EXPECT_EQ(events.calls.back(), c.expected);
    }
    window.releaseMouse();
}

TEST_F(MainWindowTest, MovingOverABarWithoutDragIsReported) {
    send(ctl(Ctl::VoltBar, 4), QEvent::MouseMove, {30, 77});
    EXPECT_EQ(events.calls, std::vector<std::string>{"voltageBarMoved 4 77"});
}

TEST_F(MainWindowTest, ActivationIsForwarded) {
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&window, &activate);
    EXPECT_EQ(events.calls, std::vector<std::string>{"formActivated"});
}

TEST_F(MainWindowTest, TopmostChangesKeepTheWindowShown) {
    window.showWindow();
    window.setTopmost(false);
    EXPECT_FALSE(window.isTopmost());
    EXPECT_TRUE(window.isWindowVisible());
    window.setTopmost(true);
    EXPECT_TRUE(window.isTopmost());
    EXPECT_TRUE(window.isWindowVisible());
    window.hideWindow();
    EXPECT_FALSE(window.isWindowVisible());
}

TEST_F(MainWindowTest, OvalToolTipsOnlyInsideTheOval) {
    auto* close = dynamic_cast<window::HotArea*>(window.oval(0));
    auto* system = dynamic_cast<window::HotArea*>(window.oval(2));
    ASSERT_TRUE(close && system && close->toolTipAt);
    EXPECT_EQ(close->toolTipAt({29, 19}), "Hide Velmora");
    EXPECT_EQ(system->toolTipAt({29, 19}), "Show System Information");
    EXPECT_EQ(close->toolTipAt({0, 0}), "");
    EXPECT_EQ(window.pageButton(3)->toolTip(), "Summary");
}

}  // namespace
}  // namespace velmon
