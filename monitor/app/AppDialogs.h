// The dialogs as the program sees them: the logo window (LogoView) and the
// launcher behind the Setting and System ovals.
#pragma once

#if VELMON_HAVE_DIALOGS
#include "Dialogs.h"
namespace velmon::app {
using Dialogs = velmon::Dialogs;
}
#else
#include "MainWindow.h"
#include "Monitor.h"
#include "Ports.h"

namespace velmon::app {

class Dialogs {
public:
    LogoView& logo() { return logo_; }
    window::DialogLauncher& launcher() { return launcher_; }
    void attach(Monitor&, window::MainWindow&) {}

private:
    // Until the dialogs are built in, the logo never shows and the ovals open nothing.
    struct NoLogo final : LogoView {
        [[nodiscard]] bool isVisible() const override { return false; }
        void show() override {}
        void unload() override {}
    } logo_;
    struct NoLauncher final : window::DialogLauncher {
        void showSettings() override {}
        void showSystemInfo() override {}
    } launcher_;
};

}  // namespace velmon::app
#endif
