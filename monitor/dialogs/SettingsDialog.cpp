#include "SettingsDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "DialogLook.h"
#include "SpinButtons.h"

namespace velmon {

namespace {

constexpr std::array<const char*, 3> kRowCaptions{"Fan     :", "Temp  :", "Volt     :"};
constexpr std::array<const char*, 3> kGroupNames{"Fan", "Temp", "Volt"};
constexpr std::array<int, 3> kRowTops{18, 52, 86};
constexpr std::array<int, 3> kSecondsLefts{128, 127, 127};

struct BoxPlace {
    const char* caption;
    int left;
    int top;
    int width;
};

constexpr std::array<BoxPlace, dialogs::kResetRows> kResetBoxes{{
    {"CPU Fan", 22, 18, 109},
    {"Power Fan", 22, 38, 109},
    {"Chassis Fan", 22, 58, 109},
    {"CPU Temp", 22, 98, 109},
    {"Mainboard Temp", 22, 118, 109},
    {"VCORE", 136, 18, 81},
    {"+3.3V", 136, 38, 81},
    {"+5V", 136, 58, 81},
    {"+12V", 136, 78, 81},
    {"-12V", 136, 98, 81},
    {"-5V", 136, 118, 81},
}};

QLabel* label(QWidget* parent, const char* text, int left, int top) {
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->adjustSize();
    l->move(left, top);
    return l;
}

}  // namespace

struct SettingsDialog::Closer final : dialogs::DialogWindow {
    explicit Closer(SettingsDialog& d) : dialog(d) {}
    void close() override { dialog.QDialog::close(); }
    SettingsDialog& dialog;
};

SettingsDialog::SettingsDialog(dialogs::DialogMonitor& monitor, Prompter& prompter,
                               dialogs::AutostartPort& autostart, std::string programPath, QWidget* parent)
    : QDialog(parent), rules_(monitor, prompter, autostart, std::move(programPath)),
      closer_(std::make_unique<Closer>(*this)) {
    build();
    rules_.formLoad();
    centreOnScreen(*this);
    showForm();
}

SettingsDialog::~SettingsDialog() {
    // A dialog destroyed without being closed still restarts polling and saves.
    rules_.formUnload();
}

void SettingsDialog::build() {
    setWindowTitle(QStringLiteral("Settings -- Velmora V1.3"));
    setFont(dialogFont());
    setFixedSize(452, 236);
    setModal(true);
    // A fixed dialog: a title and a close button, nothing to maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    frame1_ = new QGroupBox(QStringLiteral("Polling Interval"), this);
    frame1_->setGeometry(10, 8, 191, 121);
    for (int i = 0; i < 3; ++i) {
        const auto k = static_cast<std::size_t>(i);
        label2_[k] = label(frame1_, kRowCaptions[k], 18, kRowTops[k] + 6);
        upDown_[k] = new SpinButtons(frame1_, [this, i](bool up) {
            const std::string text = rules_.spinPressed(i, up);
            const QSignalBlocker block(txtSec_[static_cast<std::size_t>(i)]);
            txtSec_[static_cast<std::size_t>(i)]->setText(QString::fromStdString(text));
        });
        upDown_[k]->setGeometry(75, kRowTops[k], 18, 24);
        upDown_[k]->setToolTip(QStringLiteral("Adjust %1 Polling Time Interval").arg(QLatin1String(kGroupNames[k])));
        txtSec_[k] = new QLineEdit(frame1_);
        txtSec_[k]->setGeometry(93, kRowTops[k], 30, 24);
        txtSec_[k]->setToolTip(QStringLiteral("%1 Polling Time Interval").arg(QLatin1String(kGroupNames[k])));
        QObject::connect(txtSec_[k], &QLineEdit::textChanged, this,
                         [this, i](const QString& text) { rules_.textChanged(i, text.toStdString()); });
        label1_[k] = label(frame1_, "Seconds", kSecondsLefts[k], kRowTops[k] + 6);
    }

    frame3_ = new QGroupBox(QStringLiteral("Option"), this);
    frame3_->setGeometry(10, 132, 191, 53);
    chkRun_ = new QCheckBox(QStringLiteral("Run When Windows Starts"), frame3_);
    chkRun_->setGeometry(8, 18, 177, 23);
    chkRun_->setToolTip(QStringLiteral("Run Velmora Everytime Windows Starts "));
    QObject::connect(chkRun_, &QCheckBox::toggled, this, [this](bool on) { rules_.setRunChecked(on); });

    frame2_ = new QGroupBox(QStringLiteral("Default Warning Thresholds"), this);
    frame2_->setGeometry(212, 6, 231, 179);
    for (int r = 0; r < dialogs::kResetRows; ++r) {
        const auto& place = kResetBoxes[static_cast<std::size_t>(r)];
        auto* box = new QCheckBox(QString::fromLatin1(place.caption), frame2_);
        box->setGeometry(place.left, place.top, place.width, 19);
        QObject::connect(box, &QCheckBox::toggled, this, [this, r](bool on) {
            rules_.setResetChecked(static_cast<dialogs::ResetRow>(r), on);
        });
        reset_[static_cast<std::size_t>(r)] = box;
    }
    cmdDefault_ = new QPushButton(QStringLiteral("Reset to Default"), frame2_);
    cmdDefault_->setGeometry(38, 146, 155, 23);
    cmdDefault_->setToolTip(QStringLiteral("Reset Select Warning Thresholds to Default Thresholds"));
    cmdDefault_->setAutoDefault(false);
    QObject::connect(cmdDefault_, &QPushButton::clicked, this, [this] { rules_.resetClicked(*closer_); });

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setGeometry(288, 200, 91, 25);
    cmdOK_->setToolTip(QStringLiteral("Close This Window"));
    cmdOK_->setAutoDefault(false);
    QObject::connect(cmdOK_, &QPushButton::clicked, this, [this] { rules_.okClicked(*closer_); });

    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setGeometry(192, 200, 91, 25);
    cmdCancel_->setToolTip(QStringLiteral("Close This Window Without Changing the Intervals or the Start Option"));
    cmdCancel_->setAutoDefault(false);
    QObject::connect(cmdCancel_, &QPushButton::clicked, this, [this] { rules_.cancelClicked(*closer_); });
    // Beside OK, in its size, under the frames' left edge.
    cmdSensors_ = new QPushButton(QStringLiteral("Sensors\u2026"), this);
    cmdSensors_->setGeometry(10, 200, 91, 25);
    cmdSensors_->setToolTip(QStringLiteral("Choose Which Sensor Each Channel Reads"));
    cmdSensors_->setAutoDefault(false);
    cmdSensors_->setEnabled(false);
    QObject::connect(cmdSensors_, &QPushButton::clicked, this, [this] {
        if (launchSensors_) launchSensors_();
    });
}

void SettingsDialog::setSensorsLauncher(std::function<void()> launch) {
    launchSensors_ = std::move(launch);
    cmdSensors_->setEnabled(static_cast<bool>(launchSensors_));
}

void SettingsDialog::showForm() {
    const auto& form = rules_.form();
    for (std::size_t i = 0; i < txtSec_.size(); ++i) {
        const QSignalBlocker block(txtSec_[i]);
        txtSec_[i]->setText(QString::fromStdString(form.txtSec[i]));
    }
    {
        const QSignalBlocker block(chkRun_);
        chkRun_->setChecked(form.chkRun);
    }
    for (std::size_t r = 0; r < reset_.size(); ++r) {
        const QSignalBlocker block(reset_[r]);
        reset_[r]->setChecked(form.resetChecked[r]);
        reset_[r]->setVisible(form.resetVisible[r]);
    }
}

void SettingsDialog::done(int result) {
    rules_.formUnload();
    QDialog::done(result);
}

void SettingsDialog::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    if (event->isAccepted()) {
        rules_.formUnload();
    }
}

}  // namespace velmon
