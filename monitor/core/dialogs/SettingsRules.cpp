#include "SettingsRules.h"

#include <utility>

#include "IntervalText.h"
#include "Texts.h"

namespace velmon::dialogs {

namespace {

constexpr std::array<const char*, kIntervalGroups> kIntervalKeys{"FanInterval", "TempInterval",
                                                                 "VoltInterval"};

struct VoltDefault {
    int input;
    float upper;
    float lower;
};

// Rows Vcore … VMinus5; input 1 (the hidden second core input) is never reset.
constexpr std::array<VoltDefault, 6> kVoltDefaults{{
    {0, 3.7F, 1.5F},
    {2, 3.9F, 2.9F},
    {3, 5.5F, 4.5F},
    {4, 13.0F, 11.0F},
    {5, -10.3F, -13.7F},
    {6, -4.3F, -5.7F},
}};

constexpr std::array<std::int16_t, 3> kFanDefaults{2800, 2700, 1800};
constexpr std::array<std::int16_t, 2> kTempDefaults{80, 50};

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
        form_.txtSec[static_cast<std::size_t>(i)] = std::to_string(seconds);
        form_.spinPosition[static_cast<std::size_t>(i)] =
            seconds < kSpinMin ? kSpinMin : (seconds > kSpinMax ? kSpinMax : seconds);
    }
    form_.chkRun = autostart_.present();
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
    const int r = static_cast<int>(row);
    if (r <= static_cast<int>(ResetRow::ChassisFan)) {
        const auto rpm = kFanDefaults[static_cast<std::size_t>(r)];
        monitor_.setFanThreshold(r, rpm);
        view.setText({Ctl::FanWarnLabel, r}, fanText(rpm));
        return;
    }
    if (r <= static_cast<int>(ResetRow::MbTemp)) {
        const int gauge = r - static_cast<int>(ResetRow::CpuTemp);
        const auto celsius = kTempDefaults[static_cast<std::size_t>(gauge)];
        monitor_.setTemperatureThreshold(gauge, celsius);
        view.setText({Ctl::TempWarnLabel, gauge}, temperaturePair(celsius));
        return;
    }
    const auto& v = kVoltDefaults[static_cast<std::size_t>(r - static_cast<int>(ResetRow::Vcore))];
    monitor_.setVoltageThresholds(v.input, v.upper, v.lower);
    view.setText({Ctl::VoltUpLabel, v.input}, voltText(v.upper));
    view.setText({Ctl::VoltDnLabel, v.input}, voltText(v.lower));
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
