#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "FakeMonitor.h"
#include "SettingsDialog.h"
#include "SpinButtons.h"

namespace velmon {
namespace {

using dialogs::ResetRow;
using dialogs::testing::FakeAutostart;
using dialogs::testing::FakeMonitor;
using dialogs::testing::FakePrompter;

class SettingsDialogTest : public ::testing::Test {
protected:
    SettingsDialogTest() : prompter(m.log), autostart(m.log) {}
    std::unique_ptr<SettingsDialog> open() {
        auto d = std::make_unique<SettingsDialog>(m, prompter, autostart, "/usr/bin/velmon");
        d->show();  // modeless in tests: nothing blocks
        return d;
    }
    FakeMonitor m;
    FakePrompter prompter;
    FakeAutostart autostart;
};

TEST_F(SettingsDialogTest, WindowAndFramesHaveTheirCaptionsAndGeometry) {
    auto d = open();
    EXPECT_EQ(d->windowTitle(), "Settings -- Velmora V1.3");
    EXPECT_EQ(d->size(), QSize(452, 236));
    EXPECT_EQ(d->frame1()->title(), "Polling Interval");
    EXPECT_EQ(d->frame1()->geometry(), QRect(10, 8, 191, 121));
    EXPECT_EQ(d->frame3()->title(), "Option");
    EXPECT_EQ(d->frame3()->geometry(), QRect(10, 132, 191, 53));
    EXPECT_EQ(d->frame2()->title(), "Default Warning Thresholds");
    EXPECT_EQ(d->frame2()->geometry(), QRect(212, 6, 231, 179));
    EXPECT_EQ(d->cmdOK()->text(), "OK");
    EXPECT_EQ(d->cmdOK()->toolTip(), "Close This Window");
    EXPECT_EQ(d->cmdOK()->geometry(), QRect(288, 200, 91, 25));
    EXPECT_EQ(d->cmdOK()->parentWidget(), d.get());
    EXPECT_EQ(d->cmdDefault()->text(), "Reset to Default");
    EXPECT_EQ(d->cmdDefault()->toolTip(), "Reset Select Warning Thresholds to Default Thresholds");
    EXPECT_EQ(d->cmdDefault()->geometry(), QRect(38, 146, 155, 23));
    EXPECT_EQ(d->cmdDefault()->parentWidget(), d->frame2());
    EXPECT_EQ(d->chkRun()->text(), "Run When Windows Starts");
    EXPECT_EQ(d->chkRun()->toolTip(), "Run Velmora Everytime Windows Starts ");
    EXPECT_EQ(d->chkRun()->geometry(), QRect(8, 18, 177, 23));
    EXPECT_EQ(d->chkRun()->parentWidget(), d->frame3());
}

TEST_F(SettingsDialogTest, IntervalRowsHaveTheirControls) {
    auto d = open();
    const std::array<const char*, 3> captions{"Fan     :", "Temp  :", "Volt     :"};
    const std::array<const char*, 3> names{"Fan", "Temp", "Volt"};
    const std::array<int, 3> tops{18, 52, 86};
    const std::array<int, 3> secondsLefts{128, 127, 127};
    for (int i = 0; i < 3; ++i) {
        const auto k = static_cast<std::size_t>(i);
        EXPECT_EQ(d->label2(i)->text(), captions[k]);
        EXPECT_EQ(d->label2(i)->pos(), QPoint(18, tops[k] + 6));
        EXPECT_EQ(d->label1(i)->text(), "Seconds");
        EXPECT_EQ(d->label1(i)->pos(), QPoint(secondsLefts[k], tops[k] + 6));
        EXPECT_EQ(d->upDownSec(i)->geometry(), QRect(75, tops[k], 18, 24));
        EXPECT_EQ(d->upDownSec(i)->toolTip(), QString("Adjust %1 Polling Time Interval").arg(names[k]));
        EXPECT_EQ(d->txtSec(i)->geometry(), QRect(93, tops[k], 30, 24));
        EXPECT_EQ(d->txtSec(i)->toolTip(), QString("%1 Polling Time Interval").arg(names[k]));
        EXPECT_EQ(d->txtSec(i)->parentWidget(), d->frame1());
    }
}

TEST_F(SettingsDialogTest, ThresholdBoxesAreTickedAndPlaced) {
    m.configured = {true, false, true};
    auto d = open();
    struct Box {
        ResetRow row;
        const char* caption;
        QRect geometry;
    };
    const std::array<Box, 11> boxes{{
        {ResetRow::CpuFan, "CPU Fan", {22, 18, 109, 19}},
        {ResetRow::PowerFan, "Power Fan", {22, 38, 109, 19}},
        {ResetRow::ChassisFan, "Chassis Fan", {22, 58, 109, 19}},
        {ResetRow::CpuTemp, "CPU Temp", {22, 98, 109, 19}},
        {ResetRow::MbTemp, "Mainboard Temp", {22, 118, 109, 19}},
        {ResetRow::Vcore, "VCORE", {136, 18, 81, 19}},
        {ResetRow::V33, "+3.3V", {136, 38, 81, 19}},
        {ResetRow::V5, "+5V", {136, 58, 81, 19}},
        {ResetRow::V12, "+12V", {136, 78, 81, 19}},
        {ResetRow::VMinus12, "-12V", {136, 98, 81, 19}},
        {ResetRow::VMinus5, "-5V", {136, 118, 81, 19}},
    }};
    for (const auto& b : boxes) {
        QCheckBox* box = d->resetBox(b.row);
        EXPECT_EQ(box->text(), b.caption);
        EXPECT_EQ(box->geometry(), b.geometry) << b.caption;
        EXPECT_TRUE(box->isChecked()) << b.caption;
        EXPECT_EQ(box->isHidden(), b.row == ResetRow::PowerFan) << b.caption;
        EXPECT_EQ(box->parentWidget(), d->frame2());
    }
    EXPECT_FALSE(d->chkRun()->isChecked());
}

TEST_F(SettingsDialogTest, OpeningPausesPollingAndShowsIntervalsAndTheEntry) {
    m.intervals = {2, 30, 60};
    autostart.exists = true;
    auto d = open();
    EXPECT_FALSE(m.monitorTimer.isEnabled());
    EXPECT_EQ(d->txtSec(0)->text(), "2");
    EXPECT_EQ(d->txtSec(1)->text(), "30");
    EXPECT_EQ(d->txtSec(2)->text(), "60");
    EXPECT_TRUE(d->chkRun()->isChecked());
}

TEST_F(SettingsDialogTest, TypingAndSpinningChangeTheIntervalAtOnce) {
    auto d = open();
    d->txtSec(1)->clear();
    QTest::keyClicks(d->txtSec(1), "12s");
    EXPECT_EQ(m.intervals[1], 12);
    EXPECT_EQ(d->txtSec(1)->text(), "12s");
    QTest::mouseClick(d->upDownSec(0)->upButton(), Qt::LeftButton);
    EXPECT_EQ(d->txtSec(0)->text(), "6");
    EXPECT_EQ(m.intervals[0], 6);
    QTest::mouseClick(d->upDownSec(2)->downButton(), Qt::LeftButton);
    EXPECT_EQ(d->txtSec(2)->text(), "4");
    EXPECT_EQ(m.intervals[2], 4);
    EXPECT_TRUE(m.store.values.empty());  // stored only when the dialog closes
}

TEST_F(SettingsDialogTest, OkClosesSavesAndMakesTheMainWindowTopmost) {
    auto d = open();
    QTest::mouseClick(d->chkRun(), Qt::LeftButton);
    ASSERT_TRUE(d->chkRun()->isChecked());
    QTest::mouseClick(d->cmdOK(), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(m.monitorTimer.isEnabled());
    EXPECT_EQ(m.store.values.at("FanInterval"), "5");
    EXPECT_EQ(autostart.written, "/usr/bin/velmon");
    EXPECT_EQ(m.log.back(), "topmost");
}

// A fixed dialog with a way back: Cancel closes and keeps what was there.
TEST_F(SettingsDialogTest, FixedSizeWithoutMaximiseAndCancelKeepsWhatWasThere) {
    auto d = open();
    EXPECT_EQ(d->minimumSize(), d->maximumSize());
    EXPECT_FALSE(d->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    ASSERT_NE(d->cmdCancel(), nullptr);
    EXPECT_EQ(d->cmdCancel()->text(), "Cancel");
    EXPECT_FALSE(d->cmdCancel()->geometry().intersects(d->cmdOK()->geometry()));
    QTest::mouseClick(d->upDownSec(0)->upButton(), Qt::LeftButton);
    QTest::mouseClick(d->chkRun(), Qt::LeftButton);
    ASSERT_EQ(m.intervals[0], 6);
    QTest::mouseClick(d->cmdCancel(), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(m.intervals[0], 5);
    EXPECT_EQ(m.store.values.at("FanInterval"), "5");
    EXPECT_TRUE(autostart.written.empty());
    EXPECT_TRUE(m.monitorTimer.isEnabled());
    EXPECT_EQ(m.log.back(), "topmost");
}

TEST_F(SettingsDialogTest, ResetAppliesTickedRowsShowsTheMessageAndCloses) {
    auto d = open();
    for (int r = 0; r < dialogs::kResetRows; ++r) {
        d->resetBox(static_cast<ResetRow>(r))->setChecked(false);
    }
    d->resetBox(ResetRow::MbTemp)->setChecked(true);
    QTest::mouseClick(d->cmdDefault(), Qt::LeftButton);
    EXPECT_EQ(m.tempThreshold, (std::array<std::int16_t, 2>{99, 50}));
    EXPECT_EQ(m.fanThreshold[0], 1000);
    EXPECT_EQ(m.view.text(Ctl::TempWarnLabel, 1), "50/122");
    EXPECT_TRUE(m.resetPending);
    EXPECT_EQ(prompter.message, "All select warning thresholds have been reset to default thresholds.");
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(m.monitorTimer.isEnabled());
    EXPECT_EQ(m.log.back(), "topmost");
}

TEST_F(SettingsDialogTest, EscapeAndTheFrameCloseRunTheClosingStepsOnce) {
    autostart.exists = true;
    {
        auto d = open();
        QTest::mouseClick(d->chkRun(), Qt::LeftButton);  // untick
        QTest::keyClick(d.get(), Qt::Key_Escape);
        EXPECT_FALSE(d->isVisible());
        EXPECT_FALSE(autostart.exists);
        EXPECT_TRUE(m.monitorTimer.isEnabled());
        EXPECT_EQ(std::count(m.log.begin(), m.log.end(), "autostart remove"), 1);
    }
    m.log.clear();
    {
        auto d = open();
        d->close();
        EXPECT_EQ(std::count(m.log.begin(), m.log.end(), "tmrMonitor on"), 1);
        EXPECT_EQ(std::count(m.log.begin(), m.log.end(), "topmost"), 0);
    }
    // Destroying the closed dialog adds nothing.
    EXPECT_EQ(std::count(m.log.begin(), m.log.end(), "tmrMonitor on"), 1);
}

}  // namespace
}  // namespace velmon
