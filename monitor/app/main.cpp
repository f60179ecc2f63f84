// velmon: the tray program. Builds the Qt realisations of the core's ports,
// runs the tray window's startup and then the event loop.
#include "AppEnvironment.h"
#include "AppDialogs.h"
#include "InstanceBeacon.h"
#include "PlatformChoice.h"
#include "SignalBridge.h"
#include "SummaryDump.h"

#include "AlarmNotice.h"
#include "DesktopNotifications.h"
#include "IniSettingsBackend.h"
#include "LibraryBinding.h"
#include "MainWindow.h"
#include "MetricsExport.h"
#include "Monitor.h"
#include "QtPorts.h"
#include "Taskbar.h"
#include "TextfileWriter.h"
#include "TrayIcon.h"

#include <QApplication>
#include <QDir>
#include <QSystemTrayIcon>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr const char* kUsage =
    "Usage: velmon [--metrics-dir DIR] [--version] [--help]\n"
    "Watches the mainboard's fans, temperatures and voltages from the tray.\n"
    "  --metrics-dir DIR  write velmon.prom for node_exporter's textfile collector\n"
    "                     into DIR (instead of TextfileDirectory in group Export\n"
    "                     of Velmon.ini)\n"
    "  --version          print the version and exit\n"
    "  --help             print this text and exit\n"
    "The sensor source is chosen by ZORV_SOURCE (sim, sim:SCENARIO, file:PATH, hwmon).\n";

struct Options {
    std::optional<std::string> metricsDir;
};

// Returns the status to end with, or -1 to run.
int handleArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--metrics-dir") == 0 || std::strncmp(arg, "--metrics-dir=", 14) == 0) {
            const char* dir = arg[13] == '=' ? arg + 14 : (i + 1 < argc ? argv[++i] : nullptr);
            if (dir == nullptr || *dir == '\0') {
                std::fprintf(stderr, "velmon: --metrics-dir needs a directory\n%s", kUsage);
                return 2;
            }
            options.metricsDir = dir;
            continue;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("Velmon V%d.%d\n", VELMON_VERSION_MAJOR, VELMON_VERSION_MINOR);
            return 0;
        }
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        // Qt's own options (-platform, -display …) pass through to QApplication.
        if (std::strcmp(arg, "-platform") == 0 || std::strcmp(arg, "-display") == 0) {
            ++i;
            continue;
        }
        std::fprintf(stderr, "velmon: unknown option '%s'\n%s", arg, kUsage);
        return 2;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int status = handleArguments(argc, argv, options); status >= 0) return status;

    // The window and its pictures are laid out in pixels and keep them on
    // every display density.
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING")) qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    if (const std::string platform = velmon::app::choosePlatform(velmon::app::sessionFacts(argc, argv)); !platform.empty())
        qputenv("QT_QPA_PLATFORM", platform.c_str());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmon"));
    QApplication::setQuitOnLastWindowClosed(false);

    using namespace velmon;
    window::QtPrompter prompter;
    // A missing library or function has been reported to the user by now.
    FatalHandler fatal = [](int status) { std::exit(status); };
    ZorvSensorPort sensor(prompter, fatal);
    ZorvAhdCpuDataPort cpuData(prompter, fatal);
    IniSettingsBackend settings;
    Monitor* monitor = nullptr;
    AlarmNotifier* alarmNotice = nullptr;
    // The core, or the metrics export's tap in front of it.
    MainWindowEvents* events = nullptr;
    window::QtTimer tmrMonitor(1000, [&events] { if (events) events->tmrMonitorTick(); });
    window::QtTimer tmrWarn(700, [&events, &monitor, &alarmNotice] {
        if (!events) return;
        events->tmrWarnTick();
        if (alarmNotice && monitor) alarmNotice->update(monitor->alarms(), monitor->readings(), monitor->thresholds());
    });
    window::CanberraPlayer sounds;
    window::QtBeeper beeper(&sounds);
    window::TrayIcon tray;
    window::MainWindow mainWindow;
    app::AppEnvironment env;
    app::Dialogs dialogs;

    app::SummaryDump view(mainWindow, qEnvironmentVariable("VELMON_TEST_DUMP").toStdString());
    app::TrayDump trayView(tray, view);
    Ports ports{sensor, cpuData, settings, tmrMonitor, tmrWarn, beeper, prompter,
                trayView, view, dialogs.logo(), env};
    Monitor core(ports);
    monitor = &core;
    Taskbar taskbar(ports, core);
    events = &core;
    TaskbarEvents* trayEvents = &taskbar;

    const MetricsDirectoryChoice metrics = chooseMetricsDirectory(
        options.metricsDir, settings.readFrom("Export", "TextfileDirectory"), QDir::currentPath().toStdString());
    if (!metrics.message.empty()) std::fprintf(stderr, "%s\n", metrics.message.c_str());
    std::optional<TextfileWriter> metricsFile;
    std::optional<MetricsExporter> exporter;
    std::optional<EventTap> tap;
    if (!metrics.directory.empty()) {
        metricsFile.emplace(metrics.directory, [](const std::string& line) {
            std::fprintf(stderr, "%s\n", line.c_str());
            std::fflush(stderr);
        });
        const auto unixMs = [] {
            using namespace std::chrono;
            return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
        };
        exporter.emplace(
            core, [&taskbar] { return taskbar.isOn(); }, unixMs, VELMON_VERSION,
            [&metricsFile](const std::string& text) { metricsFile->write(text); });
        tap.emplace(core, taskbar, *exporter);
        events = &*tap;
        trayEvents = &*tap;
    }

    dialogs.attach(core, mainWindow);
    mainWindow.setEvents(events);
    mainWindow.setDialogLauncher(&dialogs.launcher());
    tray.setEvents(trayEvents);
    tray.setMenuAllowed([&taskbar, &mainWindow, &dialogs] {
        return !taskbar.busy() && !mainWindow.isWindowVisible() && !dialogs.logo().isVisible();
    });
    taskbar.setMainWindowLayout([&mainWindow](Monitor& m) {
        const auto& fitted = m.fanConfiguration().fitted;
        mainWindow.layOut({fitted[0], fitted[1], fitted[2]}, m.dpiFactor());
        mainWindow.showPresence(m.presence());
    });

    app::SignalBridge signalBridge([&taskbar](int) {
        taskbar.sessionEnding();
        QCoreApplication::exit(0);
    });
    // A session save may be followed by a cancelled log-off or by nothing at
    // all: save, but keep running; the end comes through aboutToQuit.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&taskbar](QSessionManager&) { taskbar.sessionSaveRequested(); });
    QObject::connect(&app, &QGuiApplication::saveStateRequest, &app,
                     [&taskbar](QSessionManager&) { taskbar.sessionSaveRequested(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&taskbar] { taskbar.queryUnload(); });

    if (!taskbar.startup()) return taskbar.exitStatus();
    app::InstanceBeacon beacon(env.beaconPath(), [&taskbar] { taskbar.showWindowRequested(); });

    // The warning state's desktop notification, beside the tray's alerts.
    window::DesktopNotifications notifications;
    AlarmNotifier notifier(notifications, desktopNotificationsEnabled());
    alarmNotice = &notifier;
    // A lost sensor: a line on standard error and a notification of its own.
    window::DesktopNotifications lostNotifications;
    SensorNotices sensorNotices(desktopNotificationsEnabled() ? &lostNotifications : nullptr,
                                [](const std::string& line) {
                                    std::fprintf(stderr, "%s\n", line.c_str());
                                    std::fflush(stderr);
                                });
    core.setSensorNotices(&sensorNotices);
    notifications.setOnActivated([&taskbar, &core] {
        if (const auto page = alarmPage(core.alarms())) taskbar.alarmNoticeActivated(*page);
        else taskbar.showWindowRequested();
    });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&notifications, &lostNotifications] {
        notifications.closeAtExit();
        lostNotifications.closeAtExit();
    });
    if (exporter) exporter->started();

    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Without a tray the icon cannot be clicked: the window stands in
        // for it until a tray starts and the icon shows there.
        prompter.information("Velmora",
                             "No system tray is available. Velmora shows its window instead; "
                             "its icon appears when a system tray starts.");
        mainWindow.showWindow();
    }
    return QApplication::exec();
}
