#include "Dialogs.h"

#include "platform/ModulePath.h"
#include "SensorsDialog.h"
#include "SettingsDialog.h"
#include "SystemInfoDialog.h"

namespace velmon {

Dialogs::Dialogs() = default;
Dialogs::~Dialogs() = default;

void Dialogs::attach(Monitor& monitor, window::MainWindow& mainWindow) {
    monitor_ = &monitor;
    mainWindow_ = &mainWindow;
    host_ = std::make_unique<dialogs::MonitorDialogHost>(monitor);
    sensorChoice_ = std::make_unique<dialogs::MonitorSensorChoice>(monitor);
    logo_.attach(*host_);
}

void Dialogs::showSettings() {
    if (!host_) {
        return;
    }
    // The session folder is read at each opening, as the entry's state is.
    dialogs::XdgAutostart autostart;
    SettingsDialog dialog(*host_, monitor_->ports().prompter, autostart, platform::executablePath(),
                          mainWindow_);
    dialog.setSensorsLauncher([this, &dialog] { showSensors(&dialog); });
    dialog.exec();
}

void Dialogs::showSensors(QWidget* parent) {
    if (!host_) return;
    SensorsDialog dialog(*host_, *sensorChoice_, parent);
    dialog.exec();
}

void Dialogs::showSystemInfo() {
    if (!host_) {
        return;
    }
    SystemInfoDialog dialog(*host_, monitor_->ports().sensor, memory_, mainWindow_);
    dialog.exec();
}

}  // namespace velmon
