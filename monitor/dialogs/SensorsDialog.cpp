#include "SensorsDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "DialogLook.h"

namespace velmon {

namespace {

constexpr int kWidth = 700, kHeight = 446;
constexpr int kRowTop = 20, kRowStep = 25;
constexpr int kFirstVoltage = 5;

QString text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

SensorsDialog::SensorsDialog(dialogs::DialogMonitor& monitor, dialogs::SensorChoicePort& port, QWidget* parent)
    : QDialog(parent), rules_(monitor, port) {
    build();
    rules_.formLoad();
    centreOnScreen(*this);
    showList();
    showChoices();
    // Live values while the dialog is open; polling itself is paused.
    refresh_ = new QTimer(this);
    refresh_->setInterval(1000);
    QObject::connect(refresh_, &QTimer::timeout, this, [this] {
        rules_.refresh();
        showList();
        status_->setText(text(rules_.form().status));
    });
    refresh_->start();
}

SensorsDialog::~SensorsDialog() { rules_.formUnload(); }

void SensorsDialog::build() {
    setWindowTitle(QString::fromLatin1(dialogs::kSensorsTitle));
    setFont(dialogFont());
    setFixedSize(kWidth, kHeight);
    setModal(true);

    auto* sensors = new QGroupBox(QStringLiteral("Sensors of This Machine"), this);
    sensors->setGeometry(10, 8, 680, 200);
    list_ = new QTreeWidget(sensors);
    list_->setGeometry(8, 18, 664, 174);
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("Chip"), QStringLiteral("Sensor"), QStringLiteral("Label"),
                            QStringLiteral("Value"), QStringLiteral("Channel")});
    list_->setColumnWidth(0, 170);
    list_->setColumnWidth(1, 70);
    list_->setColumnWidth(2, 170);
    list_->setColumnWidth(3, 90);
    list_->setToolTip(QStringLiteral("Every Sensor the Sensor Library Finds, with Its Value Now"));

    auto* channels = new QGroupBox(QStringLiteral("Channels"), this);
    channels->setGeometry(10, 214, 680, 170);
    for (int c = 0; c < kChannelCount; ++c) {
        const auto at = static_cast<std::size_t>(c);
        const int column = c < 6 ? 0 : 1, row = c % 6;
        const int left = 10 + column * 334, top = kRowTop + row * kRowStep;
        auto* caption = new QLabel(QString::fromLatin1(dialogs::kChannelCaptions[at]) + QStringLiteral(":"), channels);
        caption->setGeometry(left, top + 3, 90, 16);
        auto* combo = new QComboBox(channels);
        combo->setGeometry(left + 92, top, 190, 22);
        // The list opens wide enough for a chip's full name, its label and value.
        combo->view()->setMinimumWidth(340);
        combo->setToolTip(QStringLiteral("The Sensor %1 Reads").arg(QString::fromLatin1(dialogs::kChannelCaptions[at])));
        QObject::connect(combo, &QComboBox::activated, this, [this, c, combo](int index) {
            rules_.choose(c, combo->itemData(index).toString().toStdString());
        });
        choice_[at] = combo;
        if (c >= kFirstVoltage) {
            auto* times = new QLabel(QStringLiteral("\u00d7"), channels);
            times->setGeometry(left + 286, top + 3, 8, 16);
            auto* f = new QLineEdit(channels);
            f->setGeometry(left + 295, top, 30, 22);
            f->setToolTip(QStringLiteral("Multiplier for an Input Whose Divider You Know"));
            QObject::connect(f, &QLineEdit::editingFinished, this, [this, c, f] {
                bool ok = false;
                const double v = f->text().toDouble(&ok);
                if (ok) rules_.setFactor(c, v);
            });
            factor_[at] = f;
        }
    }

    status_ = new QLabel(this);
    status_->setGeometry(12, 388, 676, 16);
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setGeometry(504, 412, 91, 25);
    cmdOK_->setToolTip(QStringLiteral("Save the Choice and Close This Window"));
    cmdOK_->setAutoDefault(false);
    QObject::connect(cmdOK_, &QPushButton::clicked, this, [this] {
        // What the rows show is what is saved, however it was picked.
        for (int c = 0; c < kChannelCount; ++c) {
            const auto at = static_cast<std::size_t>(c);
            if (choice_[at]->isEnabled()) rules_.choose(c, choice_[at]->currentData().toString().toStdString());
            if (factor_[at] && factor_[at]->isEnabled()) emit factor_[at]->editingFinished();
        }
        if (rules_.apply()) {
            accept();
            return;
        }
        status_->setText(text(rules_.form().status));
    });
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setGeometry(599, 412, 91, 25);
    cmdCancel_->setToolTip(QStringLiteral("Close This Window without Saving"));
    cmdCancel_->setAutoDefault(false);
    QObject::connect(cmdCancel_, &QPushButton::clicked, this, [this] { reject(); });
}

void SensorsDialog::showList() {
    const auto& form = rules_.form();
    list_->clear();
    if (!form.listing) return;
    for (const auto& s : form.listing->sensors) {
        bool notUtf8 = false;
        const QString label = text(dialogs::readableLabel(s.label, &notUtf8));
        auto* item = new QTreeWidgetItem(list_, {text(s.chip), text(s.feature), label,
                                                 text(dialogs::sensorValueText(s)), text(s.channel)});
        if (notUtf8) item->setToolTip(2, QStringLiteral("This label is not UTF-8: the bytes that are not show as \ufffd"));
        for (int c = 0; c < kChannelCount; ++c)
            if (s.channel == dialogs::kChannelKeys[static_cast<std::size_t>(c)])
                item->setText(4, QString::fromLatin1(dialogs::kChannelCaptions[static_cast<std::size_t>(c)]));
    }
}

void SensorsDialog::showChoices() {
    const auto& form = rules_.form();
    for (int c = 0; c < kChannelCount; ++c) {
        const auto at = static_cast<std::size_t>(c);
        QComboBox* combo = choice_[at];
        combo->clear();
        const auto chosen = dialogs::splitChoice(form.chosen[at]);
        if (form.listing) {
            for (const auto& offer : dialogs::offersFor(c, *form.listing))
                combo->addItem(text(offer.text), text(offer.value));
        } else {
            combo->addItem(QStringLiteral("automatic"), QString());
        }
        int index = combo->findData(text(chosen.value));
        if (index < 0) {
            // A pattern or a sensor not there now: the choice is kept as written.
            combo->addItem(text(chosen.value + "  (not there now)"), text(chosen.value));
            index = combo->count() - 1;
        }
        combo->setCurrentIndex(index);
        combo->setEnabled(form.canChoose);
        if (QLineEdit* f = factor_[at]) {
            f->setText(QString::number(chosen.factor));
            f->setEnabled(form.canChoose);
        }
    }
    status_->setText(text(form.status));
}

void SensorsDialog::done(int result) {
    refresh_->stop();
    rules_.formUnload();
    QDialog::done(result);
}

}  // namespace velmon
