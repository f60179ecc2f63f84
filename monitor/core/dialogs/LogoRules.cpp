#include "LogoRules.h"

namespace velmon::dialogs {

LogoRules::LogoRules(DialogMonitor& monitor) : monitor_(monitor) {}

void LogoRules::formLoad() {
    monitor_.tmrWarn().setEnabled(false);
    monitor_.tmrMonitor().setEnabled(false);
    // The tray must not say "normal" for readings the banner keeps from being
    // taken; the alert timer's first tick after the close sets the real state.
    monitor_.setTrayTip(kTipBanner);
    showNextTime_ = true;
    loaded_ = true;
}

void LogoRules::hideClicked(DialogWindow& window) { window.close(); }

void LogoRules::showMonitorClicked(DialogWindow& window) {
    window.close();
    monitor_.mainView().showWindow();
}

void LogoRules::formUnload() {
    if (!loaded_) {
        return;
    }
    loaded_ = false;
    if (!showNextTime_) {
        monitor_.settings().write("ShowLogo", "0");
    }
    // Both run again whatever they were before: an alert timer with no
    // warning only puts the normal tray icon back.
    monitor_.tmrMonitor().setEnabled(true);
    monitor_.tmrWarn().setEnabled(true);
}

}  // namespace velmon::dialogs
