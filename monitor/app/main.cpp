// velmon: the tray program. Builds the Qt realisations of the core's ports,
// runs the tray window's startup and then the event loop.
#include "AppEnvironment.h"
#include "AppDialogs.h"
#include "InstanceBeacon.h"
#include "MemoryTrim.h"
#include "PlatformChoice.h"
#include "SignalBridge.h"
#include "SummaryDump.h"
#include "TrayChanges.h"

#include "AlarmNotice.h"
#include "ConfigWatch.h"
#if VELMON_HAVE_DIALOGS
#include "SensorsRules.h"
#endif
#include "DesktopNotifications.h"
#include "IniSettingsBackend.h"
#include "LibraryBinding.h"
#include "MainWindow.h"
#include "MetricsExport.h"
#include "Monitor.h"
#include "PollPlan.h"
#include "QtPorts.h"
#include "Taskbar.h"
#include "TextfileWriter.h"
#include "ThresholdAutosave.h"
#include "TrayIcon.h"

#include <QApplication>
#include <QDir>
#include <QSystemTrayIcon>
#include <QTimer>

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
    "The sensor source is chosen by ZORV_SOURCE (sim, sim:SCENARIO, file:PATH, hwmon).\n"
    "Exit status:\n"
    "  0  ended by Exit, by the end of the session, or handed over to the Velmon\n"
    "     already running\n"
    "  1  another monitoring agent is installed, or the board has no sensor chip\n"
    "     (with the hwmon source: none under /sys/class/hwmon)\n"
    "  2  a wrong option, or a sensor source that cannot be used (an unknown\n"
    "     name, libsensors missing)\n"
    "  3  a library Velmon needs (libzorv.so, libzorvahd.so) or one of its\n"
    "     functions is missing\n"
    "  4  no display to run on\n"
    "Each of these ends says why on stderr, and in a message box where there is a display.\n";

constexpr int kNoDisplayStatus = 4;

// Qt ends the program inside QApplication's constructor when its platform
// cannot start, which in practice means no display. Until the application
// stands, a fatal message ends Velmon with a status of its own and says why
// instead of aborting.
bool gApplicationStarted = false;
QtMessageHandler gQtHandler = nullptr;
QString gPlatformWhy;

void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // The first of the platform's words names the cause ("could not connect to display").
    if (!gApplicationStarted && type != QtFatalMsg && gPlatformWhy.isEmpty() && context.category != nullptr &&
        std::strncmp(context.category, "qt.qpa", 6) == 0) {
        gPlatformWhy = text.trimmed();
    }
    if (gApplicationStarted || type != QtFatalMsg) {
        if (gQtHandler) gQtHandler(type, context, text);
        return;
    }
    const auto shown = [](const char* name) {
        const QByteArray v = qgetenv(name);
        return v.isEmpty() ? QStringLiteral("%1 is not set").arg(QLatin1String(name))
                           : QStringLiteral("%1=%2").arg(QLatin1String(name), QString::fromLocal8Bit(v));
    };
    std::fprintf(stderr,
                 "velmon: there is no display to run on (%s, %s%s%s).\n"
                 "Velmon is a tray program of the desktop: start it inside a desktop session, or set\n"
                 "DISPLAY or WAYLAND_DISPLAY to a running display.\n",
                 qPrintable(shown("DISPLAY")), qPrintable(shown("WAYLAND_DISPLAY")),
                 gPlatformWhy.isEmpty() ? "" : "; ", qPrintable(gPlatformWhy));
    std::fflush(stderr);
    std::_Exit(kNoDisplayStatus);
}

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
    gQtHandler = qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
    gApplicationStarted = true;
    QApplication::setApplicationName(QStringLiteral("Velmon"));
    QApplication::setQuitOnLastWindowClosed(false);

    using namespace velmon;
    window::QtPrompter prompter;
    // A missing library or function has been reported to the user by now.
    FatalHandler fatal = [](int status) { std::exit(status); };
    ZorvSensorPort sensor(prompter, fatal);
    ZorvAhdCpuDataPort cpuData(prompter, fatal);
    IniSettingsBackend settings;
    // The writes of one handler (all thresholds at once) make one save.
    settings.setSaveLater([&settings] {
        QMetaObject::invokeMethod(qApp, [&settings] { settings.save(); }, Qt::QueuedConnection);
    });
    const auto toStderr = [](const std::string& line) {
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    };
    settings.setReport(toStderr);
    Monitor* monitor = nullptr;
    AlarmNotifier* alarmNotice = nullptr;
    // The core, or the metrics export's tap in front of it.
    MainWindowEvents* events = nullptr;
    window::QtTimer tmrMonitor(1000, [&events] { if (events) events->tmrMonitorTick(); });
    // Between readings a tick only counts: the process sleeps through those.
    tmrMonitor.setQuietTicks([&monitor] {
        return monitor ? quietPollTicks(monitor->counters(), monitor->intervals()) : 0;
    });
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
    app::TrayChanges trayChanges(tray);
    app::TrayDump trayView(trayChanges, view);
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
    const bool notificationsWanted = desktopNotificationsEnabled();
    AlarmNotifier notifier(notifications, notificationsWanted);
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
    app::MemoryTrim memoryTrim;
    memoryTrim.soon();

    // What happens to the settings file is told as the warning is, in a
    // notification of its own, but it is no warning state.
    window::DesktopNotifications settingsNotices;
    settings.setReport([&settingsNotices, notificationsWanted, toStderr](const std::string& line) {
        toStderr(line);
        if (!notificationsWanted) return;
        const std::string text = line.rfind("velmon: ", 0) == 0 ? line.substr(8) : line;
        settingsNotices.show("Velmon settings", text);
    });
    settings.keepDamagedFile();
    ThresholdAutosave autosave([&core] { return core.thresholds(); }, [&core, &settings] {
        core.unload();
        settings.save();
    });
    autosave.start();
    QTimer autosaveTimer;
    QObject::connect(&autosaveTimer, &QTimer::timeout, &app, [&autosave] { autosave.tick(); });
    autosaveTimer.start(1000);

    // zorv.conf edited by hand (or replaced by rename) takes effect within a
    // second, while polling runs; a dialog open holds it back.
    ConfigWatch zorvConf;
#if VELMON_HAVE_DIALOGS
    if (const auto list = sensor.sensorList())
        if (const auto listing = dialogs::parseSensorListing(*list)) zorvConf.watch(listing->configPath);
#endif
    QTimer zorvConfLook;
    zorvConfLook.setInterval(1000);
    QObject::connect(&zorvConfLook, &QTimer::timeout, &app, [&] {
        if (!tmrMonitor.isEnabled() || !zorvConf.changed()) return;
        if (!sensor.reloadSensors()) return;
        // A source name mistyped in the edit leaves nothing to read: say why.
        if (const std::string why = sensor.sourceError(); !why.empty()) std::fprintf(stderr, "velmon: %s\n", why.c_str());
        core.sensorsChanged();
    });
    zorvConfLook.start();

    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Without a tray the icon cannot be clicked: the window stands in
        // for it until a tray starts and the icon shows there.
        prompter.information("Velmora",
                             "No system tray is available. Velmora shows its window instead; "
                             "its icon appears when a system tray starts.");
        mainWindow.showWindow();
    }
    const int status = QApplication::exec();
    // The exit's save, in one piece, while failures can still be said.
    settings.setReport(toStderr);
    settings.save();
    return status;
}
