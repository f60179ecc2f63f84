// How the main window shows what the machine lacks: a gauge that says it has
// no sensor, an unlit bar without numbers, Summary rows only for what is
// there, and a note where a whole group is missing.
#include "MainWindow.h"

#include "Art.h"
#include "Painters.h"

#include <QLabel>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace velmon {
namespace {

using window::MainWindow;
using SC = SensorChannel;

ChannelPresence without(std::initializer_list<SC> absent) {
    ChannelPresence p;
    for (SC c : absent) p.flags[static_cast<std::size_t>(c)] = false;
    return p;
}

QString text(QWidget* w) { return dynamic_cast<QLabel*>(w)->text(); }

class PresenceLook : public ::testing::Test {
protected:
    QWidget* ctl(Ctl c, int i) { return window.control({c, i}); }
    bool hidden(Ctl c, int i) { return ctl(c, i)->isHidden(); }
    MainWindow window;
};

TEST_F(PresenceLook, AbsentTemperatureSaysSoAndShowsNoNumber) {
    window.showPresence(without({SC::MbTemp}));
    EXPECT_TRUE(hidden(Ctl::TempPointer, 1));
    EXPECT_TRUE(hidden(Ctl::TempWarnLabel, 1));
    EXPECT_TRUE(window.degreeLegend(1)->isHidden());
    for (int k = 0; k < 6; ++k) EXPECT_TRUE(window.scaleLabel(1, k, false)->isHidden()) << k;
    EXPECT_FALSE(hidden(Ctl::TempGauge, 1));
    EXPECT_EQ(text(ctl(Ctl::TempLabel, 1)), "No sensor");
    EXPECT_EQ(text(ctl(Ctl::TempSummaryValue, 1)), "No sensor");
    EXPECT_FALSE(hidden(Ctl::TempSummaryValue, 1));
    EXPECT_FALSE(window.summaryCaption(5)->isHidden());
    // The gauge keeps its bare artwork: no scale, tube or column is painted.
    const QImage bare = art::image(art::gauge(1)).convertToFormat(QImage::Format_RGB32);
    const auto* gauge = dynamic_cast<window::PictureBox*>(ctl(Ctl::TempGauge, 1));
    ASSERT_NE(gauge, nullptr);
    EXPECT_EQ(gauge->image().convertToFormat(QImage::Format_RGB32), bare);
    // The CPU gauge, which is there, is untouched.
    EXPECT_FALSE(hidden(Ctl::TempPointer, 0));
    EXPECT_FALSE(hidden(Ctl::TempWarnLabel, 0));
    EXPECT_FALSE(window.degreeLegend(0)->isHidden());
}

TEST_F(PresenceLook, AbsentVoltageIsAnUnlitBarWithoutNumbers) {
    window.drawVoltageBar(4, 10, 13.0F, 11.0F, 12.0F);
    window.showPresence(without({SC::In4, SC::In5, SC::In6}));
    for (int i : {4, 5, 6}) {
        EXPECT_TRUE(hidden(Ctl::VoltUpMarker, i)) << i;
        EXPECT_TRUE(hidden(Ctl::VoltDnMarker, i)) << i;
        EXPECT_TRUE(hidden(Ctl::VoltUpLabel, i)) << i;
        EXPECT_TRUE(hidden(Ctl::VoltDnLabel, i)) << i;
        for (int k = 0; k < 5; ++k) EXPECT_TRUE(window.scaleLabel(i, k, true)->isHidden()) << i << k;
        EXPECT_FALSE(hidden(Ctl::VoltBar, i)) << i;
        const QString reading = text(ctl(Ctl::VoltLabel, i));
        EXPECT_FALSE(reading.contains(QRegularExpression("[0-9]"))) << reading.toStdString();
        EXPECT_TRUE(hidden(Ctl::VoltSummaryValue, i)) << i;
        // Every scale row is unlit, including where the +12V bar had its colours and tick.
        const auto* bar = dynamic_cast<window::PictureBox*>(ctl(Ctl::VoltBar, i));
        for (int s = 0; s < 8; ++s) {
            for (int y = 5 + 18 * s; y <= 5 + 18 * s + 14; ++y) {
                for (int x = 28; x <= 38; ++x) ASSERT_EQ(bar->image().pixel(x, y), paint::kUnlit) << i << " " << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(window.summaryCaption(11)->isHidden());  // +12V:
    EXPECT_TRUE(window.summaryCaption(12)->isHidden());  // -12V:
    EXPECT_TRUE(window.summaryCaption(10)->isHidden());  // -5V:
    EXPECT_FALSE(window.summaryCaption(9)->isHidden());  // +5V: stays
    EXPECT_FALSE(hidden(Ctl::VoltSummaryValue, 3));
    EXPECT_FALSE(hidden(Ctl::VoltUpMarker, 3));
    EXPECT_TRUE(window.noVoltSummaryNote()->isHidden());
}

TEST_F(PresenceLook, MachineWithoutFansOrVoltagesSaysSo) {
    window.layOut({0, 0, 0}, 1.0);
    window.showPresence(without({SC::CpuFan, SC::PowerFan, SC::ChassisFan, SC::In0, SC::In1, SC::In2, SC::In3,
                                 SC::In4, SC::In5, SC::In6}));
    for (int f = 0; f < 3; ++f) {
        EXPECT_TRUE(hidden(Ctl::FanDial, f)) << f;
        EXPECT_TRUE(window.summaryCaption(f + 1)->isHidden()) << f;
    }
    EXPECT_FALSE(window.noFanPageNote()->isHidden());
    EXPECT_FALSE(window.noFanSummaryNote()->isHidden());
    EXPECT_FALSE(window.noVoltSummaryNote()->isHidden());
}

TEST_F(PresenceLook, EverythingPresentChangesNothing) {
    window.layOut({1, 1, 1}, 1.0);
    window.drawVoltageBar(4, 10, 13.0F, 11.0F, 12.0F);
    const auto* bar = dynamic_cast<window::PictureBox*>(ctl(Ctl::VoltBar, 4));
    const QImage before = bar->image();
    window.showPresence(ChannelPresence{});
    EXPECT_EQ(bar->image(), before);
    EXPECT_EQ(text(ctl(Ctl::VoltLabel, 4)), "12.0");
    EXPECT_FALSE(hidden(Ctl::TempPointer, 1));
    EXPECT_FALSE(hidden(Ctl::VoltSummaryValue, 4));
    EXPECT_TRUE(window.noFanPageNote()->isHidden());
    EXPECT_TRUE(window.noFanSummaryNote()->isHidden());
    EXPECT_TRUE(window.noVoltSummaryNote()->isHidden());
}

}  // namespace
// A channel chosen while Velmon runs comes back as the window built it.
TEST_F(PresenceLook, AChannelThatComesBackWhileRunningIsShownAsBuilt) {
    window.showPresence(without({SC::PowerFan, SC::MbTemp, SC::In4}));
    window.showChannels({1, 0, 1}, without({SC::PowerFan, SC::MbTemp, SC::In4}).flags);
    EXPECT_TRUE(hidden(Ctl::FanSummaryValue, 1));
    EXPECT_TRUE(hidden(Ctl::TempWarnLabel, 1));

    window.showChannels({1, 1, 1}, ChannelPresence{}.flags);
    EXPECT_FALSE(hidden(Ctl::FanSummaryValue, 1));
    EXPECT_FALSE(window.summaryCaption(2)->isHidden());  // Power:
    EXPECT_FALSE(hidden(Ctl::TempPointer, 1));
    EXPECT_FALSE(hidden(Ctl::TempWarnLabel, 1));
    EXPECT_FALSE(window.degreeLegend(1)->isHidden());
    for (int k = 0; k < 6; ++k) EXPECT_FALSE(window.scaleLabel(1, k, false)->isHidden()) << k;
    EXPECT_EQ(ctl(Ctl::TempLabel, 1)->toolTip(), "Current Mainboard Temperature");
    EXPECT_FALSE(hidden(Ctl::VoltUpMarker, 4));
    EXPECT_FALSE(hidden(Ctl::VoltDnMarker, 4));
    EXPECT_FALSE(hidden(Ctl::VoltUpLabel, 4));
    EXPECT_FALSE(hidden(Ctl::VoltDnLabel, 4));
    for (int k = 0; k < 5; ++k) EXPECT_FALSE(window.scaleLabel(4, k, true)->isHidden()) << k;
    EXPECT_FALSE(hidden(Ctl::VoltSummaryValue, 4));
    EXPECT_FALSE(window.summaryCaption(11)->isHidden());  // +12V:
    EXPECT_TRUE(hidden(Ctl::VoltSummaryValue, 1)) << "the second core input is never on the page";
}

}  // namespace velmon
