#include "SettingsRules.h"

#include <utility>

#include "IntervalText.h"
#include "Texts.h"

namespace velmon::dialogs {

namespace {

constexpr std::array<const char*, kIntervalGroups> kIntervalKeys{"FanInterval", "TempInterval",
                                                                 "VoltInterval"};

// The voltage input of each reset row Vcore … VMinus5; input 1 (the hidden
// second core input) is never reset.
constexpr std::array<int, 6> kVoltRowInputs{0, 2, 3, 4, 5, 6};

}  // namespace

SettingsRules::SettingsRules(DialogMonitor& monitor, Prompter& prompter, AutostartPort& autostart,
                             std::string programPath)
    : monitor_(monitor), prompter_(prompter), autostart_(autostart),
      programPath_(std::move(programPath)) {}

void SettingsRules::formLoad() {
    monitor_.tmrMonitor().setEnabled(false);
    form_ = SettingsForm{};
    for (int i = 0; i < kIntervalGroups; ++i) {
        const auto seconds = monitor_.interval(static_cast<IntervalGroup>(i));
        openedIntervals_[static_cast<std::size_t>(i)] = seconds;
        form_.txtSec[static_cast<std::size_t>(i)] = std::to_string(seconds);
        form_.spinPosition[static_cast<std::size_t>(i)] =
            seconds < kSpinMin ? kSpinMin : (seconds > kSpinMax ? kSpinMax : seconds);
    }
    form_.chkRun = autostart_.present();
    openedRun_ = form_.chkRun;
    form_.resetChecked.fill(true);
    form_.resetVisible.fill(true);
    for (int fan = 0; fan < 3; ++fan) {
        if (!monitor_.fanConfigured(fan)) {
            form_.resetVisible[static_cast<std::size_t>(fan)] = false;  // keeps its tick
        }
    }
    loaded_ = true;
}

void SettingsRules::textChanged(int box, const std::string& text) {
    if (box < 0 || box >= kIntervalGroups) {
        return;
    }
    form_.txtSec[static_cast<std::size_t>(box)] = text;
    if (const auto seconds = intervalFromText(text)) {
        monitor_.setInterval(static_cast<IntervalGroup>(box), *seconds);
    }
}

std::string SettingsRules::spinPressed(int box, bool up) {
    if (box < 0 || box >= kIntervalGroups) {
        return {};
    }
    const auto i = static_cast<std::size_t>(box);
    form_.spinPosition[i] = spinStep(form_.txtSec[i], form_.spinPosition[i], up);
    // The spin control writes its buddy box (which runs the box's own rule),
    // then its change handler takes the box's number without the range test.
    textChanged(box, std::to_string(form_.spinPosition[i]));
    monitor_.setInterval(static_cast<IntervalGroup>(box), intervalFromSpinText(form_.txtSec[i]));
    return form_.txtSec[i];
}

void SettingsRules::setResetChecked(ResetRow row, bool checked) {
    form_.resetChecked[static_cast<std::size_t>(row)] = checked;
}

void SettingsRules::applyRow(ResetRow row) {
    MainView& view = monitor_.mainView();
    const WarningThresholds defaults = monitor_.defaultThresholds();
    const int r = static_cast<int>(row);
    if (r <= static_cast<int>(ResetRow::ChassisFan)) {
        const auto rpm = defaults.fan.at(static_cast<std::size_t>(r));
        monitor_.setFanThreshold(r, rpm);
        view.setText({Ctl::FanWarnLabel, r}, fanText(rpm));
        return;
    }
    if (r <= static_cast<int>(ResetRow::MbTemp)) {
        const int gauge = r - static_cast<int>(ResetRow::CpuTemp);
        const auto celsius = defaults.temp.at(static_cast<std::size_t>(gauge));
        monitor_.setTemperatureThreshold(gauge, celsius);
        view.setText({Ctl::TempWarnLabel, gauge}, temperaturePair(celsius));
        return;
    }
    const int input = kVoltRowInputs.at(static_cast<std::size_t>(r - static_cast<int>(ResetRow::Vcore)));
    const float upper = defaults.volUp.at(static_cast<std::size_t>(input));
    const float lower = defaults.volDn.at(static_cast<std::size_t>(input));
    monitor_.setVoltageThresholds(input, upper, lower);
    view.setText({Ctl::VoltUpLabel, input}, voltText(upper));
    view.setText({Ctl::VoltDnLabel, input}, voltText(lower));
}

void SettingsRules::resetClicked(DialogWindow& window) {
    for (int r = 0; r < kResetRows; ++r) {
        if (form_.resetChecked[static_cast<std::size_t>(r)]) {
            applyRow(static_cast<ResetRow>(r));
        }
    }
    monitor_.setThresholdsResetPending();
    prompter_.information(kSettingsResetTitle, kSettingsResetText);
    window.close();
    monitor_.mainView().setTopmost(true);
}

void SettingsRules::okClicked(DialogWindow& window) {
    window.close();
    monitor_.mainView().setTopmost(true);
}

void SettingsRules::cancelClicked(DialogWindow& window) {
    if (loaded_) {
        for (int i = 0; i < kIntervalGroups; ++i)
            monitor_.setInterval(static_cast<IntervalGroup>(i), openedIntervals_[static_cast<std::size_t>(i)]);
        form_.chkRun = openedRun_;
    }
    okClicked(window);
}

void SettingsRules::formUnload() {
    if (!loaded_) {
        return;
    }
    loaded_ = false;
    monitor_.tmrMonitor().setEnabled(true);
    for (int i = 0; i < kIntervalGroups; ++i) {
        monitor_.settings().write(kIntervalKeys[static_cast<std::size_t>(i)],
                                  std::to_string(monitor_.interval(static_cast<IntervalGroup>(i))));
    }
    if (form_.chkRun) {
        // Without its own path the program cannot name what the session should start.
        if (!programPath_.empty()) {
            autostart_.write(programPath_);
        }
    } else {
        autostart_.remove();
    }
}

}  // namespace velmon::dialogs
