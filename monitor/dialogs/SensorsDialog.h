// The Sensors dialog: every sensor the machine has, and for each of the
// twelve channels the sensor it reads. Opened from Settings; created anew for
// each opening; every way of closing runs its unload once.
#pragma once

#include <QDialog>

#include <array>
#include <memory>

#include "SensorsRules.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace velmon {

class SensorsDialog final : public QDialog {
public:
    SensorsDialog(dialogs::DialogMonitor& monitor, dialogs::SensorChoicePort& port, QWidget* parent = nullptr);
    ~SensorsDialog() override;

    [[nodiscard]] const dialogs::SensorsRules& rules() const { return rules_; }
    QTreeWidget* sensorList() const { return list_; }
    QComboBox* channelChoice(int channel) const { return choice_.at(static_cast<std::size_t>(channel)); }
    QLineEdit* factor(int channel) const { return factor_.at(static_cast<std::size_t>(channel)); }
    QLabel* status() const { return status_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    void done(int result) override;

private:
    void build();
    void showList();
    void showChoices();

    dialogs::SensorsRules rules_;
    QTreeWidget* list_ = nullptr;
    std::array<QComboBox*, kChannelCount> choice_{};
    std::array<QLineEdit*, kChannelCount> factor_{};
    QLabel* status_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QTimer* refresh_ = nullptr;
};

}  // namespace velmon
