// frmSet's rules: the polling intervals, start with the session and the reset
// of selected thresholds. The widget mirrors the state held here.
#pragma once

#include <array>
#include <string>

#include "DialogPorts.h"

namespace velmon::dialogs {

// The threshold check boxes in the order the reset applies them.
enum class ResetRow : int {
    CpuFan, PowerFan, ChassisFan, CpuTemp, MbTemp, Vcore, V33, V5, V12, VMinus12, VMinus5
};
inline constexpr int kResetRows = 11;

struct SettingsForm {
    std::array<std::string, kIntervalGroups> txtSec;
    std::array<int, kIntervalGroups> spinPosition{1, 1, 1};
    bool chkRun = false;
    std::array<bool, kResetRows> resetChecked{};
    std::array<bool, kResetRows> resetVisible{};
};

inline constexpr const char* kSettingsResetTitle = "Velmora";
inline constexpr const char* kSettingsResetText =
    "All select warning thresholds have been reset to default thresholds.";

class SettingsRules {
public:
    SettingsRules(DialogMonitor& monitor, Prompter& prompter, AutostartPort& autostart,
                  std::string programPath);

    // Form_Load; the window is centred by the widget.
    void formLoad();
    // txtSec_Change: the box shows text, whatever it is.
    void textChanged(int box, const std::string& text);
    // An arrow of UpDownSec(box): the box's new text, then UpDownSec_Change.
    // Returns the text the box now shows.
    std::string spinPressed(int box, bool up);
    void setRunChecked(bool checked) { form_.chkRun = checked; }
    void setResetChecked(ResetRow row, bool checked);

    // cmdDefault_Click and cmdOK_Click close through window, whose closing
    // runs formUnload before close() returns.
    void resetClicked(DialogWindow& window);
    void okClicked(DialogWindow& window);
    // Cancel: the intervals and the start-with-the-session box go
    // back to what they were at opening, then the dialog closes as OK does;
    // its closing then writes back only what was there.
    void cancelClicked(DialogWindow& window);
    // Form_Unload, however the dialog is closed; runs once per load.
    void formUnload();

    [[nodiscard]] const SettingsForm& form() const { return form_; }
    [[nodiscard]] bool loaded() const { return loaded_; }

private:
    void applyRow(ResetRow row);

    DialogMonitor& monitor_;
    Prompter& prompter_;
    AutostartPort& autostart_;
    std::string programPath_;
    SettingsForm form_;
    std::array<std::int16_t, kIntervalGroups> openedIntervals_{};
    bool openedRun_ = false;
    bool loaded_ = false;
};

}  // namespace velmon::dialogs
