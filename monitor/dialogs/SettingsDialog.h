// frmSet: polling intervals, start with the session, reset of thresholds.
// Created anew for each opening; construction runs its load, every way of
// closing runs its unload once.
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "SettingsRules.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmon {

class SpinButtons;

class SettingsDialog final : public QDialog {
public:
    SettingsDialog(dialogs::DialogMonitor& monitor, Prompter& prompter, dialogs::AutostartPort& autostart,
                   std::string programPath, QWidget* parent = nullptr);
    ~SettingsDialog() override;

    [[nodiscard]] const dialogs::SettingsRules& rules() const { return rules_; }

    // The controls, by their names, for the tests and the screenshots.
    QGroupBox* frame1() const { return frame1_; }
    QGroupBox* frame2() const { return frame2_; }
    QGroupBox* frame3() const { return frame3_; }
    QLabel* label2(int i) const { return label2_.at(static_cast<std::size_t>(i)); }
    QLabel* label1(int i) const { return label1_.at(static_cast<std::size_t>(i)); }
    SpinButtons* upDownSec(int i) const { return upDown_.at(static_cast<std::size_t>(i)); }
    QLineEdit* txtSec(int i) const { return txtSec_.at(static_cast<std::size_t>(i)); }
    QCheckBox* chkRun() const { return chkRun_; }
    QCheckBox* resetBox(dialogs::ResetRow row) const { return reset_.at(static_cast<std::size_t>(row)); }
    QPushButton* cmdDefault() const { return cmdDefault_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QPushButton* cmdSensors() const { return cmdSensors_; }
    // What "Sensors…" opens; without one the button is disabled.
    void setSensorsLauncher(std::function<void()> launch);

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Closer;

    void build();
    void showForm();

    dialogs::SettingsRules rules_;
    std::unique_ptr<Closer> closer_;
    QGroupBox* frame1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    QGroupBox* frame3_ = nullptr;
    std::array<QLabel*, 3> label2_{};
    std::array<QLabel*, 3> label1_{};
    std::array<SpinButtons*, 3> upDown_{};
    std::array<QLineEdit*, 3> txtSec_{};
    QCheckBox* chkRun_ = nullptr;
    std::array<QCheckBox*, dialogs::kResetRows> reset_{};
    QPushButton* cmdDefault_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdSensors_ = nullptr;
    std::function<void()> launchSensors_;
};

}  // namespace velmon
