#include <gtest/gtest.h>

#include "FakeMonitor.h"
#include "LogoRules.h"

namespace velmon::dialogs {
namespace {

using testing::FakeMonitor;
using testing::FakeWindow;

class LogoRulesTest : public ::testing::Test {
protected:
    LogoRulesTest() : rules(m), window(rules, m.log) {}
    FakeMonitor m;
    LogoRules rules;
    FakeWindow<LogoRules> window;
};

TEST_F(LogoRulesTest, LoadStopsAlertsThenPolling) {
    rules.formLoad();
    EXPECT_EQ(m.log, (std::vector<std::string>{"tmrWarn off", "tmrMonitor off"}));
    EXPECT_TRUE(rules.showNextTime());
}

// The banner holds the watch: the tray must not say the readings are normal.
TEST_F(LogoRulesTest, LoadSaysTheWatchWaitsForTheBanner) {
    rules.formLoad();
    EXPECT_EQ(m.trayTip, kTipBanner);
    EXPECT_NE(m.trayTip, kTipNormal);
}

TEST_F(LogoRulesTest, ClearedBoxStoresZeroOnHide) {
    rules.formLoad();
    rules.setShowNextTime(false);
    m.log.clear();
    rules.hideClicked(window);
    EXPECT_EQ(m.log, (std::vector<std::string>{"close", "store ShowLogo=0", "tmrMonitor on",
                                               "tmrWarn on"}));
    EXPECT_FALSE(m.view.windowVisible);
}

TEST_F(LogoRulesTest, TickedBoxStoresNothing) {
    m.store.values["ShowLogo"] = "True";
    rules.formLoad();
    rules.hideClicked(window);
    EXPECT_EQ(m.store.values.at("ShowLogo"), "True");
    EXPECT_EQ(m.store.values.size(), 1U);
}

TEST_F(LogoRulesTest, BothTimersRunAfterCloseWhateverTheyWere) {
    for (const bool warnBefore : {false, true}) {
        for (const bool monitorBefore : {false, true}) {
            m.warnTimer.setEnabled(warnBefore);
            m.monitorTimer.setEnabled(monitorBefore);
            rules.formLoad();
            EXPECT_FALSE(m.warnTimer.isEnabled());
            EXPECT_FALSE(m.monitorTimer.isEnabled());
            rules.formUnload();
            EXPECT_TRUE(m.warnTimer.isEnabled()) << warnBefore << monitorBefore;
            EXPECT_TRUE(m.monitorTimer.isEnabled()) << warnBefore << monitorBefore;
        }
    }
}

TEST_F(LogoRulesTest, ShowMonitorClosesFirstThenShowsTheMainWindow) {
    rules.formLoad();
    m.log.clear();
    rules.showMonitorClicked(window);
    EXPECT_EQ(m.log, (std::vector<std::string>{"close", "tmrMonitor on", "tmrWarn on", "show main"}));
    EXPECT_TRUE(m.view.windowVisible);
}

TEST_F(LogoRulesTest, UnloadWithoutLoadDoesNothing) {
    rules.formUnload();
    EXPECT_TRUE(m.log.empty());
    rules.formLoad();
    rules.formUnload();
    m.log.clear();
    rules.formUnload();
    EXPECT_TRUE(m.log.empty());
}

TEST_F(LogoRulesTest, EveryOpeningStartsTicked) {
    rules.formLoad();
    rules.setShowNextTime(false);
    rules.formUnload();
    rules.formLoad();
    EXPECT_TRUE(rules.showNextTime());
}

}  // namespace
}  // namespace velmon::dialogs
