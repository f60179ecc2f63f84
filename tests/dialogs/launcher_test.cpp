// The dialogs as the program wires them: the real monitor, the real main
// window, modal dialogs answered by a timer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstring>

#include "Dialogs.h"
#include "FakeMonitor.h"
#include "NullPorts.h"
#include "SettingsDialog.h"
#include "SystemInfoDialog.h"

namespace velmon {
namespace {

using dialogs::testing::FakePrompter;
using dialogs::testing::FakeSettings;
using dialogs::testing::FakeTimer;
using dialogs::testing::Log;

struct Sensors final : SensorPort {
    std::int16_t read(SensorChannel c) override { return c == SensorChannel::CpuTemp ? 40 : 3000; }
    void text(DmiText q, TextBuffer& b) override {
        b.fill('\0');
        if (q == DmiText::MBProduct) std::strcpy(b.data(), "ZB-6");
    }
    std::int16_t mbClock() override { return 350; }
};
using CpuData = dialogs::testing::NullCpuData;
using Beeps = dialogs::testing::NullBeeper;
using Tray = dialogs::testing::NullTray;
struct Env final : Environment {
    bool anotherInstanceRunning() override { return false; }
    [[nodiscard]] double logicalDpiX() const override { return 96.0; }
    [[nodiscard]] std::string programDirectory() const override { return "/tmp"; }
    void quit(int) override {}
};

// Runs check on the modal dialog once it is open, then closes it with OK.
template <typename Dialog>
void answerModal(std::function<void(Dialog&)> check, bool& seen) {
    QTimer::singleShot(0, [check, &seen] {
        auto* d = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
        if (d == nullptr) {
            return;
        }
        seen = true;
        check(*d);
        d->cmdOK()->click();
    });
}

class LauncherTest : public ::testing::Test {
protected:
    LauncherTest()
        : tmrMonitor(log, "tmrMonitor"), tmrWarn(log, "tmrWarn"), settings(log), prompter(log),
          monitor(Ports{sensors, cpuData, settings, tmrMonitor, tmrWarn, beeps, prompter, tray, mainWindow,
                        dialogs.logo(), env}) {
        dialogs.attach(monitor, mainWindow);
        mainWindow.setDialogLauncher(&dialogs.launcher());
    }
    Log log;
    Sensors sensors;
    CpuData cpuData;
    FakeTimer tmrMonitor;
    FakeTimer tmrWarn;
    FakeSettings settings;
    FakePrompter prompter;
    Beeps beeps;
    Tray tray;
    Env env;
    window::MainWindow mainWindow;
    Dialogs dialogs;
    Monitor monitor;
};

TEST_F(LauncherTest, LogoPausesTheMonitorsTimersUntilItCloses) {
    dialogs.logo().show();
    EXPECT_TRUE(dialogs.logo().isVisible());
    EXPECT_FALSE(tmrMonitor.isEnabled());
    EXPECT_FALSE(tmrWarn.isEnabled());
    dialogs.logo().unload();
    EXPECT_FALSE(dialogs.logo().isVisible());
    EXPECT_TRUE(tmrMonitor.isEnabled());
    EXPECT_TRUE(tmrWarn.isEnabled());
    EXPECT_TRUE(settings.values.empty());
}

TEST_F(LauncherTest, SystemInfoReadsThroughTheMonitorsSensorLibrary) {
    bool seen = false;
    answerModal<SystemInfoDialog>(
        [this](SystemInfoDialog& d) {
            EXPECT_FALSE(tmrMonitor.isEnabled());
            EXPECT_EQ(d.lblMBProduct()->text(), "ZB-6");
            EXPECT_EQ(d.lblCPU()->text(), "350");
            EXPECT_TRUE(d.lblMemory()->text().endsWith(" MB"));
        },
        seen);
    dialogs.launcher().showSystemInfo();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(tmrMonitor.isEnabled());
}

TEST_F(LauncherTest, SettingsChangeTheMonitorsIntervals) {
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/proc/velmon-no-such-folder");  // nothing can be written there
    monitor.intervals() = {5, 5, 5};
    bool seen = false;
    answerModal<SettingsDialog>(
        [](SettingsDialog& d) {
            EXPECT_FALSE(d.chkRun()->isChecked());
            d.chkRun()->setChecked(true);
            d.txtSec(1)->setText("9");
        },
        seen);
    dialogs.launcher().showSettings();
    qputenv("XDG_CONFIG_HOME", oldConfig);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(tmrMonitor.isEnabled());
    EXPECT_EQ(monitor.intervals().temp, 9);
    EXPECT_EQ(settings.values.at("TempInterval"), "9");
    EXPECT_EQ(settings.values.at("FanInterval"), "5");
}

}  // namespace
}  // namespace velmon
