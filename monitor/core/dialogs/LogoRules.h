// frmLogo's rules: the start-up banner pauses readings and alerts while open.
#pragma once

#include "DialogPorts.h"

namespace velmon::dialogs {

class LogoRules {
public:
    explicit LogoRules(DialogMonitor& monitor);

    // Form_Load: tmrWarn off, then tmrMonitor; the tray tip says the watch
    // waits for the banner. The box starts ticked.
    void formLoad();
    void setShowNextTime(bool checked) { showNextTime_ = checked; }
    [[nodiscard]] bool showNextTime() const { return showNextTime_; }

    // "Hide" closes; "Show Monitor" closes, then shows the main window.
    void hideClicked(DialogWindow& window);
    void showMonitorClicked(DialogWindow& window);

    // Form_Unload, whoever closes the window; runs once per load.
    void formUnload();
    [[nodiscard]] bool loaded() const { return loaded_; }

private:
    DialogMonitor& monitor_;
    bool showNextTime_ = true;
    bool loaded_ = false;
};

}  // namespace velmon::dialogs
