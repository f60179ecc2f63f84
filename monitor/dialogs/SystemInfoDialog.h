// frmSystem: mainboard, processor, memory and BIOS facts, read once at load.
#pragma once

#include <QDialog>

#include <memory>

#include "SystemInfoRules.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace velmon {

// Twips of the form's design to pixels at 96 dpi.
constexpr int twips(int t) { return t / 15; }

class SystemInfoDialog final : public QDialog {
public:
    SystemInfoDialog(dialogs::DialogMonitor& monitor, SensorPort& sensors, dialogs::MemoryPort& memory,
                     QWidget* parent = nullptr);
    ~SystemInfoDialog() override;

    QGroupBox* frame1() const { return frame1_; }
    QGroupBox* frame2() const { return frame2_; }
    QLabel* lblMBManufacturer() const { return manufacturer_; }
    QLabel* lblMBProduct() const { return product_; }
    QLabel* lblCPU() const { return cpu_; }
    QLabel* lblMemory() const { return memory_; }
    QLabel* lblBIOSVendor() const { return biosVendor_; }
    QLabel* lblBIOSVersion() const { return biosVersion_; }
    QPushButton* cmdOK() const { return cmdOK_; }

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Closer;

    dialogs::SystemInfoRules rules_;
    std::unique_ptr<Closer> closer_;
    QGroupBox* frame1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    QLabel* manufacturer_ = nullptr;
    QLabel* product_ = nullptr;
    QLabel* cpu_ = nullptr;
    QLabel* memory_ = nullptr;
    QLabel* biosVendor_ = nullptr;
    QLabel* biosVersion_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};

}  // namespace velmon
