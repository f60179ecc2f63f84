// The tray layer's record handling and activation numbers, and the prompter's
// unattended answers.
#include "QtPorts.h"
#include "TrayIcon.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <cstdlib>
#include <cstring>

namespace velmon {
namespace {

TrayIconRecord recordWith(const char* tip, TrayImage image) {
    TrayIconRecord r;
    r.hIcon = image;
    r.szTip.fill(' ');
    std::memcpy(r.szTip.data(), tip, std::strlen(tip) + 1);
    return r;
}

TEST(TrayTip, EndsAtTheFirstNul) {
    EXPECT_EQ(window::trayTip(recordWith("System is in normal state", TrayImage::Normal)),
              "System is in normal state");
    TrayIconRecord full;
    full.szTip.fill('x');  // no NUL at all: the whole field, never beyond it
    EXPECT_EQ(window::trayTip(full).size(), 64);
}

TEST(TrayMessages, ActivationsMapToMouseMessages) {
    EXPECT_EQ(window::trayMessageFor(QSystemTrayIcon::Trigger), 513U);
    EXPECT_EQ(window::trayMessageFor(QSystemTrayIcon::Context), 516U);
    EXPECT_EQ(window::trayMessageFor(QSystemTrayIcon::DoubleClick), 515U);
    EXPECT_EQ(window::trayMessageFor(QSystemTrayIcon::MiddleClick), 519U);
    EXPECT_EQ(window::trayMessageFor(QSystemTrayIcon::Unknown), 0U);
}

TEST(TrayIcon, AddModifyRemoveFollowTheRecord) {
    window::TrayIcon tray;
    EXPECT_FALSE(tray.isShown());
    tray.modify(recordWith("Velmora is Off", TrayImage::Off));  // nothing to modify yet
    EXPECT_FALSE(tray.isShown());
    tray.add(recordWith("System is in normal state", TrayImage::Normal));
    EXPECT_TRUE(tray.isShown());
    EXPECT_EQ(tray.toolTip(), "System is in normal state");
    tray.modify(recordWith("System is in warning state", TrayImage::Alert));
    EXPECT_EQ(tray.image(), TrayImage::Alert);
    EXPECT_EQ(tray.toolTip(), "System is in warning state");
    tray.remove(recordWith("", TrayImage::Normal));
    EXPECT_FALSE(tray.isShown());
}

TEST(TrayIcon, MenuHoldsOnOffAndExitWithTheirChecks) {
    window::TrayIcon tray;
    const auto actions = tray.menu()->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0]->text(), "On");
    EXPECT_EQ(actions[1]->text(), "Off");
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_EQ(actions[3]->text(), "Exit");
    EXPECT_TRUE(actions[0]->isChecked());
    EXPECT_FALSE(actions[1]->isChecked());
    tray.setMenuChecks(false, true);
    EXPECT_FALSE(actions[0]->isChecked());
    EXPECT_TRUE(actions[1]->isChecked());
}

TEST(Prompter, AnswersFromTheEnvironment) {
    window::QtPrompter prompter;
    ::setenv("VELMON_TEST_ANSWER", "yes", 1);
    EXPECT_TRUE(prompter.question("Velmora", "Do you want to exit Velmora ?"));
    ::setenv("VELMON_TEST_ANSWER", "no", 1);
    EXPECT_FALSE(prompter.question("Velmora", "Do you want to exit Velmora ?"));
    prompter.information("Velmora", "shown on standard error, no box");
    ::unsetenv("VELMON_TEST_ANSWER");
}

TEST(Beeper, CountsTheTwoKindsApart) {
    window::QtBeeper beeper;
    for (int i = 0; i < 3; ++i) beeper.simpleBeep();
    beeper.standardBeep();
    EXPECT_EQ(beeper.simpleCount(), 3);
    EXPECT_EQ(beeper.standardCount(), 1);
}

struct FakePlayer : window::SoundPlayer {
    bool works = true;
    std::vector<std::string> played;
    bool play(const char* eventId) override {
        played.emplace_back(eventId);
        return works;
    }
};

TEST(Beeper, PlaysTheThemesSoundsAndRingsTheBellWhereTheyFail) {
    FakePlayer player;
    window::QtBeeper beeper(&player);
    // One channel's tick: three simple beeps, then the standard one.
    for (int i = 0; i < 3; ++i) beeper.simpleBeep();
    beeper.standardBeep();
    EXPECT_EQ(beeper.simpleCount(), 3);
    EXPECT_EQ(beeper.standardCount(), 1);
    EXPECT_EQ(player.played, (std::vector<std::string>{"bell", "dialog-warning"}))
        << "a kind repeated at once is counted, not started again";
    EXPECT_EQ(beeper.bells(), 0);

    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    player.works = false;  // the sound server went away
    beeper.simpleBeep();
    beeper.standardBeep();
    EXPECT_EQ(player.played.size(), 4U);
    EXPECT_EQ(beeper.played(), 2);
    EXPECT_EQ(beeper.bells(), 2);
    EXPECT_EQ(beeper.simpleCount(), 4);
    EXPECT_EQ(beeper.standardCount(), 2);
}

TEST(Beeper, WithoutAPlayerRingsTheBell) {
    window::QtBeeper beeper;
    beeper.standardBeep();
    EXPECT_EQ(beeper.bells(), 1);
    EXPECT_EQ(beeper.played(), 0);
}

TEST(Timer, EnablingARunningTimerKeepsIt) {
    int ticks = 0;
    window::QtTimer timer(1000, [&ticks] { ++ticks; });
    EXPECT_EQ(timer.interval(), 1000);
    EXPECT_FALSE(timer.isEnabled());
    timer.setEnabled(true);
    timer.setEnabled(true);
    EXPECT_TRUE(timer.isEnabled());
    timer.setEnabled(false);
    EXPECT_FALSE(timer.isEnabled());
    EXPECT_EQ(ticks, 0);
}

}  // namespace
}  // namespace velmon
