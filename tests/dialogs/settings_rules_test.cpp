#include <gtest/gtest.h>

#include <algorithm>

#include "FakeMonitor.h"
#include "SettingsRules.h"

namespace velmon::dialogs {
namespace {

using testing::FakeAutostart;
using testing::FakeMonitor;
using testing::FakePrompter;
using testing::FakeWindow;

class SettingsRulesTest : public ::testing::Test {
protected:
    SettingsRulesTest() : prompter(m.log), autostart(m.log), rules(m, prompter, autostart, "/opt/v/velmon"),
                          window(rules, m.log) {}

    void load() {
        rules.formLoad();
        m.log.clear();
    }
    void untickAll() {
        for (int r = 0; r < kResetRows; ++r) {
            rules.setResetChecked(static_cast<ResetRow>(r), false);
        }
    }
    std::size_t position(const std::string& entry) const {
        const auto it = std::find(m.log.begin(), m.log.end(), entry);
        return it == m.log.end() ? m.log.size() : static_cast<std::size_t>(it - m.log.begin());
    }

    FakeMonitor m;
    FakePrompter prompter;
    FakeAutostart autostart;
    SettingsRules rules;
    FakeWindow<SettingsRules> window;
};

TEST_F(SettingsRulesTest, LoadPausesPollingAndFillsTheForm) {
    m.intervals = {3, 17, 60};
    m.configured = {true, false, true};
    autostart.exists = true;
    rules.formLoad();
    EXPECT_FALSE(m.monitorTimer.isEnabled());
    EXPECT_EQ(rules.form().txtSec, (std::array<std::string, 3>{"3", "17", "60"}));
    EXPECT_TRUE(rules.form().chkRun);
    for (int r = 0; r < kResetRows; ++r) {
        EXPECT_TRUE(rules.form().resetChecked[static_cast<std::size_t>(r)]) << r;
    }
    EXPECT_TRUE(rules.form().resetVisible[0]);
    EXPECT_FALSE(rules.form().resetVisible[1]);
    EXPECT_TRUE(rules.form().resetVisible[2]);
}

TEST_F(SettingsRulesTest, AbsentEntryLeavesRunUnticked) {
    rules.formLoad();
    EXPECT_FALSE(rules.form().chkRun);
}

TEST_F(SettingsRulesTest, TypedTextChangesOnlyItsOwnIntervalAndKeepsTheText) {
    load();
    rules.textChanged(1, "12s");
    EXPECT_EQ(m.intervals, (std::array<std::int16_t, 3>{5, 12, 5}));
    rules.textChanged(1, "abc");
    EXPECT_EQ(m.intervals[1], 12);
    EXPECT_EQ(rules.form().txtSec[1], "abc");
    rules.textChanged(2, "3.5");
    EXPECT_EQ(m.intervals[2], 4);
}

TEST_F(SettingsRulesTest, SpinStepsTheBoxAndSetsTheInterval) {
    m.intervals = {60, 1, 5};
    load();
    EXPECT_EQ(rules.spinPressed(0, true), "60");
    EXPECT_EQ(rules.spinPressed(0, false), "59");
    EXPECT_EQ(m.intervals[0], 59);
    EXPECT_EQ(rules.spinPressed(1, false), "1");
    EXPECT_EQ(m.intervals[1], 1);
    rules.textChanged(2, "20");
    EXPECT_EQ(rules.spinPressed(2, true), "21");
    EXPECT_EQ(m.intervals[2], 21);
}

TEST_F(SettingsRulesTest, ClosingResumesPollingWritesIntervalsAndTheEntry) {
    load();
    rules.textChanged(0, "7");
    rules.setRunChecked(true);
    rules.okClicked(window);
    EXPECT_TRUE(m.monitorTimer.isEnabled());
    EXPECT_EQ(m.store.values.at("FanInterval"), "7");
    EXPECT_EQ(m.store.values.at("TempInterval"), "5");
    EXPECT_EQ(m.store.values.at("VoltInterval"), "5");
    EXPECT_TRUE(autostart.exists);
    EXPECT_EQ(autostart.written, "/opt/v/velmon");
    // Topmost comes after the close and its unload steps.
    EXPECT_EQ(m.log.back(), "topmost");
    EXPECT_LT(position("autostart write"), position("topmost"));
    EXPECT_LT(position("close"), position("tmrMonitor on"));
}

// Cancel takes back what the user typed, spun and ticked, for both states of
// the entry at opening, and then closes as OK does.
TEST_F(SettingsRulesTest, CancelPutsBackIntervalsAndTheEntryAsTheyWereAtOpening) {
    for (const bool present : {false, true}) {
        autostart.exists = present;
        autostart.written.clear();
        m.store.values.clear();
        m.log.clear();
        load();
        rules.textChanged(0, "7");
        rules.spinPressed(2, true);
        rules.setRunChecked(!present);
        rules.cancelClicked(window);
        EXPECT_EQ(m.store.values.at("FanInterval"), "5") << present;
        EXPECT_EQ(m.store.values.at("VoltInterval"), "5") << present;
        EXPECT_EQ(m.intervals[0], 5);
        EXPECT_EQ(m.intervals[2], 5);
        EXPECT_EQ(autostart.exists, present);
        EXPECT_TRUE(m.monitorTimer.isEnabled());
        EXPECT_EQ(m.log.back(), "topmost");
    }
}

TEST_F(SettingsRulesTest, ClosingWithRunUntickedRemovesTheEntry) {
    autostart.exists = true;
    load();
    rules.setRunChecked(false);
    rules.formUnload();
    EXPECT_FALSE(autostart.exists);
    // A second unload (the widget closing again) does nothing more.
    m.log.clear();
    rules.formUnload();
    EXPECT_TRUE(m.log.empty());
}

TEST_F(SettingsRulesTest, UnknownProgramPathLeavesTheEntryAlone) {
    FakeAutostart entry(m.log);
    entry.exists = true;
    entry.written = "/old/velmon";
    SettingsRules noPath(m, prompter, entry, "");
    noPath.formLoad();
    ASSERT_TRUE(noPath.form().chkRun);
    noPath.formUnload();
    EXPECT_TRUE(entry.exists);
    EXPECT_EQ(entry.written, "/old/velmon");
    EXPECT_TRUE(m.monitorTimer.isEnabled());
}

TEST_F(SettingsRulesTest, ResetOfEveryRowSetsDefaultsAndLabelsInOrder) {
    load();
    rules.resetClicked(window);
    EXPECT_EQ(m.fanThreshold, (std::array<std::int16_t, 3>{2800, 2700, 1800}));
    EXPECT_EQ(m.tempThreshold, (std::array<std::int16_t, 2>{80, 50}));
    const std::array<float, 7> up{3.7F, 9, 3.9F, 5.5F, 13.0F, -10.3F, -4.3F};
    const std::array<float, 7> dn{1.5F, -9, 2.9F, 4.5F, 11.0F, -13.7F, -5.7F};
    EXPECT_EQ(m.voltUp, up);  // input 1 untouched
    EXPECT_EQ(m.voltDn, dn);

    const auto& v = m.view;
    EXPECT_EQ(v.text(Ctl::FanWarnLabel, 0), "2800");
    EXPECT_EQ(v.text(Ctl::FanWarnLabel, 1), "2700");
    EXPECT_EQ(v.text(Ctl::FanWarnLabel, 2), "1800");
    EXPECT_EQ(v.text(Ctl::TempWarnLabel, 0), "80/176");
    EXPECT_EQ(v.text(Ctl::TempWarnLabel, 1), "50/122");
    const std::array<const char*, 7> upText{"3.7", nullptr, "3.9", "5.5", "13.0", "-10.3", "-4.3"};
    const std::array<const char*, 7> dnText{"1.5", nullptr, "2.9", "4.5", "11.0", "-13.7", "-5.7"};
    for (int i = 0; i < 7; ++i) {
        const auto u = upText[static_cast<std::size_t>(i)];
        const auto d = dnText[static_cast<std::size_t>(i)];
        EXPECT_EQ(v.text(Ctl::VoltUpLabel, i), u ? std::optional<std::string>(u) : std::nullopt) << i;
        EXPECT_EQ(v.text(Ctl::VoltDnLabel, i), d ? std::optional<std::string>(d) : std::nullopt) << i;
    }
    // Rows in the table's order, then the flag, the message, the close, topmost.
    const std::vector<std::string> order{"fan 0", "fan 1", "fan 2", "temp 0", "temp 1", "volt 0",
                                         "volt 2", "volt 3", "volt 4", "volt 5", "volt 6",
                                         "reset pending", "message", "close", "tmrMonitor on",
                                         "topmost"};
    std::size_t last = 0;
    for (const auto& step : order) {
        const auto at = position(step);
        ASSERT_LT(at, m.log.size()) << step;
        EXPECT_GE(at, last) << step;
        last = at;
    }
    EXPECT_EQ(m.log.back(), "topmost");
    // Gauges and bars wait for the main window's activation.
    EXPECT_EQ(std::count(m.log.begin(), m.log.end(), "draw"), 0);
}

TEST_F(SettingsRulesTest, ResetWithEveryBoxUntickedOnlySetsTheFlagShowsAndCloses) {
    load();
    untickAll();
    rules.resetClicked(window);
    EXPECT_EQ(m.fanThreshold, (std::array<std::int16_t, 3>{1000, 1000, 1000}));
    EXPECT_EQ(m.tempThreshold, (std::array<std::int16_t, 2>{99, 99}));
    EXPECT_EQ(m.voltUp[0], 9.0F);
    EXPECT_TRUE(m.view.texts.empty());
    EXPECT_TRUE(m.resetPending);
    EXPECT_EQ(prompter.title, "Velmora");
    EXPECT_EQ(prompter.message, "All select warning thresholds have been reset to default thresholds.");
    EXPECT_FALSE(rules.loaded());
    EXPECT_TRUE(m.monitorTimer.isEnabled());
    EXPECT_EQ(m.store.values.count("FanInterval"), 1U);
}

TEST_F(SettingsRulesTest, HiddenCpuFanBoxStillResetsItsThreshold) {
    m.configured = {false, true, true};
    load();
    ASSERT_FALSE(rules.form().resetVisible[0]);
    untickAll();
    rules.setResetChecked(ResetRow::CpuFan, true);
    rules.resetClicked(window);
    EXPECT_EQ(m.fanThreshold[0], 2800);
    EXPECT_EQ(m.fanThreshold[1], 1000);
    EXPECT_EQ(m.view.text(Ctl::FanWarnLabel, 0), "2800");
}

TEST_F(SettingsRulesTest, MainboardResetLabelReads50Over122) {
    load();
    untickAll();
    rules.setResetChecked(ResetRow::MbTemp, true);
    rules.resetClicked(window);
    EXPECT_EQ(m.tempThreshold, (std::array<std::int16_t, 2>{99, 50}));
    EXPECT_EQ(m.view.text(Ctl::TempWarnLabel, 1), "50/122");
    EXPECT_EQ(m.view.text(Ctl::TempWarnLabel, 0), std::nullopt);
}

}  // namespace
}  // namespace velmon::dialogs
