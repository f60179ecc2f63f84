#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFrame>
#include <QPushButton>
#include <QTest>

#include "Art.h"

#include "FakeMonitor.h"
#include "LogoWindow.h"
#include "WindowMover.h"

namespace velmon {
namespace {

using dialogs::testing::FakeMonitor;

struct CountingMover final : window::WindowMover {
    void beginMove(QWidget&, QPoint, std::function<void()> ended) override {
        ++moves;
        ended();
    }
    int moves = 0;
};

class LogoWindowTest : public ::testing::Test {
protected:
    LogoWindowTest() : logo(&mover) { logo.attach(m); }
    FakeMonitor m;
    CountingMover mover;
    LogoWindow logo;
};

TEST_F(LogoWindowTest, BorderlessTopmostBannerWithItsControls) {
    EXPECT_EQ(logo.windowTitle(), "Velmora");
    EXPECT_TRUE(logo.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(logo.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(logo.size(), QSize(505, 247));
    EXPECT_EQ(logo.image1()->geometry(), QRect(6, 4, 494, 195));
    EXPECT_EQ(logo.image1()->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(logo.image1()->frameWidth(), 2);
    EXPECT_EQ(logo.image1()->contentsRect().size(), QSize(490, 191));
    EXPECT_EQ(logo.command2()->text(), "Show Monitor");
    EXPECT_EQ(logo.command2()->geometry(), QRect(256, 210, 105, 25));
    EXPECT_EQ(logo.command1()->text(), "Hide");
    EXPECT_EQ(logo.command1()->geometry(), QRect(380, 210, 105, 25));
    EXPECT_EQ(logo.chkLogo()->text(), "Show this next time");
    EXPECT_EQ(logo.chkLogo()->geometry(), QRect(22, 212, 155, 19));
    EXPECT_EQ(logo.command2()->nextInFocusChain(), logo.command1());
    EXPECT_EQ(logo.command1()->nextInFocusChain(), logo.chkLogo());
}

TEST_F(LogoWindowTest, ShowingPausesBothTimersAndTicksTheBox) {
    logo.show();
    EXPECT_TRUE(logo.isVisible());
    EXPECT_EQ(m.log, (std::vector<std::string>{"tmrWarn off", "tmrMonitor off"}));
    EXPECT_TRUE(logo.chkLogo()->isChecked());
    logo.show();  // already open: nothing runs again
    EXPECT_EQ(m.log.size(), 2U);
}

TEST_F(LogoWindowTest, UntouchedBannerHidesItselfAsHideWould) {
    logo.setAutoHideDelay(50);
    logo.show();
    EXPECT_FALSE(m.monitorTimer.isEnabled());
    QTest::qWait(400);
    EXPECT_FALSE(logo.isVisible());
    EXPECT_FALSE(logo.loaded());
    EXPECT_TRUE(m.monitorTimer.isEnabled());
    EXPECT_TRUE(m.warnTimer.isEnabled());
    EXPECT_EQ(m.store.values.count("ShowLogo"), 0U);  // the box stayed ticked
    EXPECT_FALSE(m.view.windowVisible);
}

TEST_F(LogoWindowTest, APressOrTheBoxKeepsTheBannerOpen) {
    for (int way = 0; way < 2; ++way) {
        LogoWindow banner(&mover);
        banner.attach(m);
        banner.setAutoHideDelay(50);
        banner.show();
        if (way == 0) QTest::mousePress(banner.image1(), Qt::LeftButton, {}, QPoint(40, 40));
        else QTest::mouseClick(banner.chkLogo(), Qt::LeftButton);
        QTest::qWait(400);
        EXPECT_TRUE(banner.isVisible()) << way;
        banner.unload();
    }
}

TEST_F(LogoWindowTest, HideWithTheBoxClearedStoresZeroAndRestartsBothTimers) {
    m.warnTimer.setEnabled(false);  // no warning before the banner opened
    logo.show();
    QTest::mouseClick(logo.chkLogo(), Qt::LeftButton);
    ASSERT_FALSE(logo.chkLogo()->isChecked());
    QTest::mouseClick(logo.command1(), Qt::LeftButton);
    EXPECT_FALSE(logo.isVisible());
    EXPECT_EQ(m.store.values.at("ShowLogo"), "0");
    EXPECT_TRUE(m.monitorTimer.isEnabled());
    EXPECT_TRUE(m.warnTimer.isEnabled());
    EXPECT_FALSE(m.view.windowVisible);
}

TEST_F(LogoWindowTest, ShowMonitorWithTheBoxTickedStoresNothingAndShowsTheMainWindow) {
    logo.show();
    QTest::mouseClick(logo.command2(), Qt::LeftButton);
    EXPECT_FALSE(logo.isVisible());
    EXPECT_TRUE(m.store.values.empty());
    EXPECT_TRUE(m.view.windowVisible);
    EXPECT_EQ(m.log.back(), "show main");
}

TEST_F(LogoWindowTest, UnloadFromOutsideRunsTheClosingStepsOnce) {
    logo.unload();  // not loaded: nothing happens
    EXPECT_TRUE(m.log.empty());
    logo.show();
    logo.chkLogo()->setChecked(false);
    logo.unload();
    EXPECT_FALSE(logo.isVisible());
    EXPECT_EQ(m.store.values.at("ShowLogo"), "0");
    const auto entries = m.log.size();
    logo.unload();
    EXPECT_EQ(m.log.size(), entries);
    // Opened again, the box is ticked once more.
    logo.show();
    EXPECT_TRUE(logo.chkLogo()->isChecked());
}

TEST_F(LogoWindowTest, LeftPressOnBackgroundOrPictureMovesTheWindow) {
    logo.show();
    QTest::mousePress(logo.image1(), Qt::LeftButton, {}, QPoint(100, 50));
    EXPECT_EQ(mover.moves, 1);
    QTest::mousePress(&logo, Qt::LeftButton, {}, QPoint(250, 240));
    EXPECT_EQ(mover.moves, 2);
    QTest::mousePress(logo.image1(), Qt::RightButton, {}, QPoint(100, 50));
    QTest::mousePress(&logo, Qt::MiddleButton, {}, QPoint(250, 240));
    EXPECT_EQ(mover.moves, 2);
    QTest::mousePress(logo.command1(), Qt::LeftButton);
    EXPECT_EQ(mover.moves, 2);
    EXPECT_TRUE(logo.isVisible());
}

TEST_F(LogoWindowTest, BannerArtworkIsPaintedInsideTheBorder) {
    logo.show();
    const QImage shot = logo.image1()->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(494, 195));
    const QImage banner = art::image(art::Art::LogoBanner);
    ASSERT_EQ(banner.size(), QSize(490, 191));
    int same = 0;
    for (int y = 0; y < 191; y += 10) {
        for (int x = 0; x < 490; x += 10) {
            same += shot.pixel(x + 2, y + 2) == banner.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(same, 49 * 20);
}

}  // namespace
}  // namespace velmon
