#include <gtest/gtest.h>

#include <platform/Registry.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Fakes.h"
#include "ProgramFolderTest.h"

namespace velmon {
namespace {

using test::Rig;
using SC = SensorChannel;
namespace fs = std::filesystem;

class TaskbarTest : public test::ProgramFolderTest {
protected:
    void writeMbfan(const std::string& text) {
        std::ofstream out(root / "program" / "MBFAN.INI", std::ios::binary);
        out << text;
    }
    void conflictingKey(bool withVersion) {
        namespace reg = platform::registry;
        reg::Key key;
        ASSERT_EQ(reg::Key::create("SOFTWARE\\Intel\\LANDesk\\Client Manager", key), reg::kSuccess);
        if (withVersion) {
            const std::uint8_t v[] = "6.3";
            ASSERT_EQ(key.setValue("Version", reg::kRegSz, v, sizeof v), reg::kSuccess);
        } else {
            const std::uint8_t v[] = "x";
            ASSERT_EQ(key.setValue("Other", reg::kRegSz, v, sizeof v), reg::kSuccess);
        }
    }
};

TEST_F(TaskbarTest, NormalStartup) {
    r.env.dpi = 120;
    r.settings.values["FanInterval"] = "3";
    EXPECT_TRUE(r.taskbar.startup());
    EXPECT_TRUE(r.env.quits.empty());
    EXPECT_EQ(r.cpu.calls, 1);
    ASSERT_EQ(r.tray.count('a'), 1);
    const TrayIconRecord& added = r.tray.calls.front().record;
    EXPECT_EQ(added.cbSize, 88U);
    EXPECT_EQ(added.uID, 1U);
    EXPECT_EQ(added.uFlags, 7U);
    EXPECT_EQ(added.uCallbackMessage, 512U);
    EXPECT_EQ(added.hIcon, TrayImage::Normal);
    EXPECT_EQ(trayTip(added), kTipNormal);
    EXPECT_FLOAT_EQ(r.monitor.dpiFactor(), 1.25F);
    EXPECT_EQ(r.monitor.intervals().fan, 3);
    EXPECT_EQ(r.monitor.intervals().temp, 5);
    EXPECT_TRUE(r.monitor.loaded());
    EXPECT_EQ(r.logo.shows, 1);
    EXPECT_EQ(r.monitor.fanConfiguration().fanCount(), 3);
    EXPECT_EQ(r.taskbar.mbfanPath(), (root / "program" / "MBFAN.INI").string());
}

TEST_F(TaskbarTest, LogoSwitchedOff) {
    r.settings.values["ShowLogo"] = "0";
    EXPECT_TRUE(r.taskbar.startup());
    EXPECT_EQ(r.logo.shows, 0);
}

TEST_F(TaskbarTest, SecondInstanceEndsSilently) {
    r.env.another = true;
    EXPECT_FALSE(r.taskbar.startup());
    EXPECT_EQ(r.env.quits, std::vector<int>{0});
    EXPECT_TRUE(r.prompter.infos.empty());
    EXPECT_TRUE(r.tray.calls.empty());
    EXPECT_EQ(r.cpu.calls, 0);
}

TEST_F(TaskbarTest, ConflictingSoftwareEndsWithMessage) {
    conflictingKey(true);
    EXPECT_FALSE(r.taskbar.startup());
    ASSERT_EQ(r.prompter.infos.size(), 1U);
    EXPECT_EQ(r.prompter.infos[0].first, "Velmora");
    EXPECT_EQ(r.prompter.infos[0].second,
              "You have already installed Intel LDCM, this program cannot run simultaneously !");
    EXPECT_TRUE(r.tray.calls.empty());
    EXPECT_EQ(r.cpu.calls, 0);
    EXPECT_NE(r.taskbar.exitStatus(), 0);
}

TEST_F(TaskbarTest, ConflictingKeyWithoutVersionGoesOn) {
    conflictingKey(false);
    EXPECT_TRUE(r.taskbar.startup());
    EXPECT_TRUE(r.prompter.infos.empty());
}

TEST_F(TaskbarTest, BothTemperaturesZeroMeansNoChip) {
    r.sensor[SC::CpuTemp] = 0;
    r.sensor[SC::MbTemp] = 0;
    EXPECT_FALSE(r.taskbar.startup());
    ASSERT_EQ(r.tray.calls.size(), 2U);
    EXPECT_EQ(r.tray.calls[0].op, 'a');
    EXPECT_EQ(r.tray.calls[1].op, 'r');
    ASSERT_EQ(r.prompter.infos.size(), 1U);
    EXPECT_EQ(r.prompter.infos[0].second, "Your mainboard has no LM75/78 chipsets !");
    EXPECT_FALSE(r.monitor.loaded());
    ASSERT_EQ(r.env.quits.size(), 1U);
    // Ending later must not store anything or remove the icon again.
    r.taskbar.sessionEnding();
    EXPECT_TRUE(r.settings.writtenKeys.empty());
    EXPECT_EQ(r.tray.count('r'), 1);
}

TEST_F(TaskbarTest, NoChipSaysWhyWhenTheSourceKnows) {
    r.sensor.mask = 0;  // hwmon with nothing under /sys/class/hwmon
    r.sensor.noChip = "libsensors finds no sensor chip under /sys/class/hwmon. Load the driver";
    EXPECT_FALSE(r.taskbar.startup());
    ASSERT_EQ(r.prompter.infos.size(), 2U);
    EXPECT_EQ(r.prompter.infos[0].second, "Your mainboard has no LM75/78 chipsets !");
    EXPECT_EQ(r.prompter.infos[1].second, r.sensor.noChip);
    EXPECT_EQ(r.taskbar.exitStatus(), 1);
}

TEST_F(TaskbarTest, UnknownSourceIsNamedInsteadOfBlamingTheBoard) {
    r.sensor[SC::CpuTemp] = 0;
    r.sensor[SC::MbTemp] = 0;
    r.sensor.error = "Unknown sensor source \"bogus\" (from ZORV_SOURCE). The sources are: sim, hwmon.";
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(r.taskbar.startup());
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "velmon: " + r.sensor.error + "\n");
    ASSERT_EQ(r.prompter.infos.size(), 1U);
    EXPECT_EQ(r.prompter.infos[0].first, "Velmora");
    EXPECT_EQ(r.prompter.infos[0].second, r.sensor.error);
    EXPECT_EQ(r.env.quits, std::vector<int>{kUnknownSourceStatus});
    EXPECT_EQ(r.taskbar.exitStatus(), kUnknownSourceStatus);
    EXPECT_NE(kUnknownSourceStatus, 0);
    EXPECT_EQ(r.sensor.readsOf(SC::CpuTemp), 0);
    EXPECT_TRUE(r.tray.calls.empty());
    EXPECT_FALSE(r.monitor.loaded());
    r.taskbar.sessionEnding();
    EXPECT_TRUE(r.settings.writtenKeys.empty());
}

TEST_F(TaskbarTest, CpuZeroWithMainboardReadingGoesOn) {
    r.sensor[SC::CpuTemp] = 0;
    r.sensor[SC::MbTemp] = 35;
    EXPECT_TRUE(r.taskbar.startup());
    EXPECT_EQ(r.view.text(Ctl::TempSummaryValue, 0), "N/A");
}

TEST_F(TaskbarTest, SectionSettingOnlyPowerOff) {
    writeMbfan("[ZV-6VA Pro]\nPOWER=0\n");
    r.sensor.product = "ZV-6VA Pro";
    ASSERT_TRUE(r.taskbar.startup());
    EXPECT_EQ(r.monitor.fanConfiguration().fanCount(), 2);
    EXPECT_TRUE(r.monitor.fanConfiguration().configured(0));
    EXPECT_FALSE(r.monitor.fanConfiguration().configured(1));
    r.monitor.intervals().fan = 1;
    r.monitor.tmrMonitorTick();
    EXPECT_EQ(r.sensor.readsOf(SC::PowerFan), 0);
    EXPECT_EQ(r.sensor.readsOf(SC::CpuFan), 2);
}

// As the platform reads MBFAN.INI: blanks around a section name do not
// count, and only the first section of a name is read.
TEST_F(TaskbarTest, BlanksAroundTheSectionNameDoNotCount) {
    writeMbfan("[ZV-5TX]\nCPU=0\n[ZV-5TX  ]\nCHASSIS=0\n");
    r.sensor.product = "ZV-5TX  ";
    ASSERT_TRUE(r.taskbar.startup());
    EXPECT_EQ(r.taskbar.boardName(), "ZV-5TX  ");
    EXPECT_EQ(r.monitor.fanConfiguration().fitted, (std::array<std::int16_t, 3>{0, 1, 1}));
}

TEST_F(TaskbarTest, MissingFileOrBoardGivesAllFans) {
    r.sensor.product = "Unknown";
    ASSERT_TRUE(r.taskbar.startup());
    EXPECT_EQ(r.monitor.fanConfiguration().fitted, (std::array<std::int16_t, 3>{1, 1, 1}));
}

TEST_F(TaskbarTest, ValuesOutside16BitsCountAsFitted) {
    writeMbfan("[B]\nCPU=70000\nPOWER=-70000\nCHASSIS=0\n");
    r.sensor.product = "B";
    ASSERT_TRUE(r.taskbar.startup());
    EXPECT_EQ(r.monitor.fanConfiguration().fitted, (std::array<std::int16_t, 3>{1, 1, 0}));
}

TEST_F(TaskbarTest, LayoutRunsBeforeTheFirstReading) {
    writeMbfan("[B]\nCPU=0\n");
    r.sensor.product = "B";
    int seenCount = -1;
    bool loadedAtLayout = true;
    r.taskbar.setMainWindowLayout([&](Monitor& m) {
        seenCount = m.fanConfiguration().fanCount();
        loadedAtLayout = m.loaded();
    });
    ASSERT_TRUE(r.taskbar.startup());
    EXPECT_EQ(seenCount, 2);
    EXPECT_FALSE(loadedAtLayout);
}

// ---- Exit ----------------------------------------------------------------------

TEST_F(TaskbarTest, ExitAnsweredNoWhileOffKeepsTimersOff) {
    ASSERT_TRUE(r.taskbar.startup());
    r.taskbar.menuOff();
    r.prompter.answer = false;
    r.taskbar.menuExit();
    ASSERT_EQ(r.prompter.questions.size(), 1U);
    EXPECT_EQ(r.prompter.questions[0].second, "Do you want to exit Velmora ?");
    EXPECT_FALSE(r.tmrMonitor.enabled);
    EXPECT_FALSE(r.tmrWarn.enabled);
    EXPECT_TRUE(r.env.quits.empty());
    r.taskbar.menuOn();
    r.taskbar.menuExit();
    EXPECT_TRUE(r.tmrMonitor.enabled);
    EXPECT_TRUE(r.tmrWarn.enabled);
}

TEST_F(TaskbarTest, ExitAnsweredYesSavesAndRemovesTheIcon) {
    ASSERT_TRUE(r.taskbar.startup());
    r.monitor.thresholds().fan[0] = 2500;
    r.taskbar.menuExit();
    EXPECT_EQ(r.logo.unloads, 1);
    EXPECT_EQ(r.settings.values["CPUFan"], "2500");
    EXPECT_EQ(r.tray.calls.back().op, 'r');
    EXPECT_EQ(r.env.quits, std::vector<int>{0});
    r.taskbar.sessionEnding();  // a signal after Exit changes nothing
    EXPECT_EQ(r.tray.count('r'), 1);
}

TEST_F(TaskbarTest, SessionEndSavesThresholdsOnce) {
    ASSERT_TRUE(r.taskbar.startup());
    r.monitor.thresholds().temp[1] = 55;
    r.taskbar.queryUnload();
    EXPECT_EQ(r.settings.values["MBTemp"], "55");
    ASSERT_EQ(r.tray.count('r'), 1);
    const TrayIconRecord& removed = r.tray.calls.back().record;
    EXPECT_EQ(removed.cbSize, 88U);
    EXPECT_EQ(removed.uID, 1U);
    const auto writes = r.settings.writtenKeys.size();
    r.taskbar.sessionEnding();
    EXPECT_EQ(r.settings.writtenKeys.size(), writes);
    EXPECT_EQ(r.tray.count('r'), 1);
}

TEST_F(TaskbarTest, SessionSaveKeepsMonitoringAndTheRealEndStillSaves) {
    ASSERT_TRUE(r.taskbar.startup());
    r.tmrWarn.enabled = true;
    r.monitor.thresholds().temp[1] = 55;
    r.taskbar.sessionSaveRequested();
    EXPECT_EQ(r.settings.values["MBTemp"], "55");
    // The log-off is cancelled: everything goes on as before.
    EXPECT_TRUE(r.tmrMonitor.enabled);
    EXPECT_TRUE(r.tmrWarn.enabled);
    EXPECT_EQ(r.tray.count('r'), 0);
    EXPECT_TRUE(r.env.quits.empty());
    r.sensor[SC::CpuFan] = 0;
    r.monitor.intervals().fan = 1;
    r.monitor.tmrMonitorTick();
    EXPECT_TRUE(r.alarm(SC::CpuFan));
    // A change after the save is stored at the real end, which removes the icon.
    r.monitor.thresholds().temp[1] = 57;
    r.taskbar.queryUnload();
    EXPECT_EQ(r.settings.values["MBTemp"], "57");
    EXPECT_EQ(r.tray.count('r'), 1);
    EXPECT_FALSE(r.tmrMonitor.enabled);
}

// ---- Tray messages and On/Off --------------------------------------------------

TEST_F(TaskbarTest, LeftClickShowsTheWindowOnlyWhenOn) {
    ASSERT_TRUE(r.taskbar.startup());
    r.tmrMonitor.enabled = false;  // the logo paused it
    r.taskbar.trayMessage(513);
    EXPECT_EQ(r.logo.unloads, 1);
    EXPECT_TRUE(r.view.windowVisible);
    EXPECT_TRUE(r.tmrMonitor.enabled);
    r.taskbar.trayMessage(513);  // already visible
    EXPECT_EQ(r.view.shows, 1);

    r.view.windowVisible = false;
    r.taskbar.menuOff();
    r.logo.visible = true;
    r.taskbar.trayMessage(513);
    EXPECT_FALSE(r.logo.visible);
    EXPECT_FALSE(r.view.windowVisible);
    EXPECT_FALSE(r.tmrMonitor.enabled);
}

TEST_F(TaskbarTest, RightClickMenuOnlyWithNothingShown) {
    r.settings.values["ShowLogo"] = "0";
    ASSERT_TRUE(r.taskbar.startup());
    r.view.windowVisible = true;
    r.taskbar.trayMessage(516);
    EXPECT_EQ(r.tray.popups, 0);
    r.view.windowVisible = false;
    r.logo.visible = true;
    r.taskbar.trayMessage(516);
    EXPECT_EQ(r.tray.popups, 0);
    r.logo.visible = false;
    r.taskbar.trayMessage(516);
    EXPECT_EQ(r.tray.popups, 1);
}

TEST_F(TaskbarTest, OtherMessagesDoNothing) {
    r.settings.values["ShowLogo"] = "0";
    ASSERT_TRUE(r.taskbar.startup());
    const auto calls = r.tray.calls.size();
    for (std::uint32_t m : {512U, 514U, 515U, 517U, 519U, 0U}) {
        r.taskbar.trayMessage(m);
        EXPECT_EQ(r.taskbar.lastMessage(), m);
    }
    EXPECT_FALSE(r.view.windowVisible);
    EXPECT_EQ(r.tray.popups, 0);
    EXPECT_EQ(r.tray.calls.size(), calls);
}

TEST_F(TaskbarTest, BusyGuardIgnoresMessagesDuringTheMenu) {
    r.settings.values["ShowLogo"] = "0";
    ASSERT_TRUE(r.taskbar.startup());
    bool busyInside = false;
    r.tray.duringPopup = [&] {
        busyInside = r.taskbar.busy();
        r.taskbar.trayMessage(513);
        r.taskbar.trayMessage(516);
    };
    r.taskbar.trayMessage(516);
    EXPECT_TRUE(busyInside);
    EXPECT_EQ(r.tray.popups, 1);
    EXPECT_FALSE(r.view.windowVisible);
    EXPECT_EQ(r.taskbar.lastMessage(), 516U);
    EXPECT_FALSE(r.taskbar.busy());
    r.tray.duringPopup = nullptr;
    r.taskbar.trayMessage(513);
    EXPECT_TRUE(r.view.windowVisible);
}

// Another start of Velmon and the desktop notification ask for the window
// with the left click's rules: On only, the logo closes, the menu's busy
// guard holds; the notification also chooses the page.
TEST_F(TaskbarTest, WindowRequestsFollowTheLeftClicksRules) {
    ASSERT_TRUE(r.taskbar.startup());
    r.tmrMonitor.enabled = false;  // the logo paused it
    r.taskbar.showWindowRequested();
    EXPECT_EQ(r.logo.unloads, 1);
    EXPECT_TRUE(r.view.windowVisible);
    EXPECT_TRUE(r.tmrMonitor.enabled);
    EXPECT_EQ(r.taskbar.lastMessage(), 0U) << "not a tray message";
    r.taskbar.alarmNoticeActivated(Page::Volt);  // already visible: the page stays
    EXPECT_EQ(r.view.shows, 1);
    EXPECT_TRUE(r.view.isVisible({Ctl::PagePanel, static_cast<int>(Page::Fan)}));

    r.view.windowVisible = false;
    r.taskbar.alarmNoticeActivated(Page::Temp);
    EXPECT_TRUE(r.view.windowVisible);
    EXPECT_TRUE(r.view.isVisible({Ctl::PagePanel, static_cast<int>(Page::Temp)}));
    EXPECT_FALSE(r.view.isVisible({Ctl::PagePanel, static_cast<int>(Page::Fan)}));

    r.view.windowVisible = false;
    r.taskbar.menuOff();
    r.taskbar.showWindowRequested();
    r.taskbar.alarmNoticeActivated(Page::Fan);
    EXPECT_FALSE(r.view.windowVisible);
    EXPECT_FALSE(r.tmrMonitor.enabled);

    r.taskbar.menuOn();
    r.tray.duringPopup = [&] { r.taskbar.showWindowRequested(); };
    r.taskbar.trayMessage(516);
    EXPECT_EQ(r.tray.popups, 1);
    EXPECT_FALSE(r.view.windowVisible) << "ignored while the menu is open";
}

TEST_F(TaskbarTest, OnAndOffRecords) {
    ASSERT_TRUE(r.taskbar.startup());
    r.sensor[SC::CpuFan] = 100;
    r.monitor.raiseAlarm(SC::CpuFan);
    r.taskbar.menuOff();
    EXPECT_FALSE(r.taskbar.isOn());
    EXPECT_EQ(r.tray.checks, std::make_pair(false, true));
    EXPECT_EQ(r.tray.calls.back().op, 'm');
    EXPECT_EQ(r.tray.calls.back().record.hIcon, TrayImage::Off);
    EXPECT_EQ(trayTip(r.tray.calls.back().record), "Velmora is Off");
    EXPECT_FALSE(r.tmrMonitor.enabled);
    EXPECT_FALSE(r.tmrWarn.enabled);
    EXPECT_TRUE(r.alarm(SC::CpuFan));  // flags stay
    r.taskbar.menuOn();
    EXPECT_EQ(r.tray.checks, std::make_pair(true, false));
    EXPECT_EQ(r.tray.calls.back().record.hIcon, TrayImage::Normal);
    EXPECT_EQ(trayTip(r.tray.calls.back().record), "System is in normal state");
    EXPECT_TRUE(r.tmrMonitor.enabled);
    EXPECT_TRUE(r.tmrWarn.enabled);
    r.monitor.tmrWarnTick();  // the pending warning shows again
    EXPECT_EQ(trayTip(r.tray.calls.back().record), "System is in warning state");
}

}  // namespace
}  // namespace velmon
