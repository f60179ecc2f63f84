// The dialogs as the program holds them: the logo window the startup shows,
// and what the main window's Setting and System ovals open, modally.
#pragma once

#include <memory>

#include "Autostart.h"
#include "LogoWindow.h"
#include "MainWindow.h"
#include "Monitor.h"
#include "MonitorDialogs.h"
#include "SystemMemory.h"

namespace velmon {

class Dialogs final : public window::DialogLauncher {
public:
    Dialogs();
    ~Dialogs() override;

    LogoView& logo() { return logo_; }
    window::DialogLauncher& launcher() { return *this; }
    // Binds the dialogs to the monitor; the main window is their parent.
    void attach(Monitor& monitor, window::MainWindow& mainWindow);

    // DialogLauncher: each opening builds its dialog anew and runs it modally.
    void showSettings() override;
    void showSystemInfo() override;
    // The Sensors dialog, over the Settings dialog that opens it.
    void showSensors(QWidget* parent);

private:
    std::unique_ptr<dialogs::MonitorDialogHost> host_;
    std::unique_ptr<dialogs::MonitorSensorChoice> sensorChoice_;
    LogoWindow logo_;
    Monitor* monitor_ = nullptr;
    window::MainWindow* mainWindow_ = nullptr;
    dialogs::SystemMemory memory_;
};

}  // namespace velmon
