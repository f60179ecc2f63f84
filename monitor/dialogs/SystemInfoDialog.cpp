#include "SystemInfoDialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "Art.h"
#include "DialogLook.h"

namespace velmon {

namespace {

QLabel* caption(QWidget* frame, const char* text, int leftTwips, int topTwips) {
    auto* l = new QLabel(QString::fromLatin1(text), frame);
    l->setFont(dialogFont());
    l->adjustSize();
    l->move(twips(leftTwips), twips(topTwips));
    return l;
}

QLabel* value(QWidget* frame, int topTwips) {
    auto* l = new QLabel(frame);
    l->setFont(dialogFont());
    l->setGeometry(twips(2100), twips(topTwips), twips(3405), twips(255));
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(p);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QString text(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

struct SystemInfoDialog::Closer final : dialogs::DialogWindow {
    explicit Closer(SystemInfoDialog& d) : dialog(d) {}
    void close() override { dialog.QDialog::close(); }
    SystemInfoDialog& dialog;
};

SystemInfoDialog::SystemInfoDialog(dialogs::DialogMonitor& monitor, SensorPort& sensors,
                                   dialogs::MemoryPort& memory, QWidget* parent)
    : QDialog(parent), rules_(monitor, sensors, memory), closer_(std::make_unique<Closer>(*this)) {
    setWindowTitle(QStringLiteral("System Information -- Velmora V1.3"));
    setWindowIcon(QIcon(QPixmap::fromImage(art::image(art::Art::AppIcon))));
    setFont(dialogFont());
    setFixedSize(twips(6780), twips(3570));
    setModal(true);
    // A fixed dialog: a title and a close button, nothing to maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    frame1_ = new QGroupBox(QStringLiteral("Mainboard"), this);
    frame1_->setFont(dialogFont(true));
    frame1_->setGeometry(twips(180), twips(0), twips(6405), twips(1905));
    caption(frame1_, "Manufacturer:", 780, 270);
    manufacturer_ = value(frame1_, 270);
    caption(frame1_, "Product:", 780, 660);
    product_ = value(frame1_, 660);
    caption(frame1_, "CPU:", 780, 1050);
    cpu_ = value(frame1_, 1050);
    caption(frame1_, "Physical Memory:", 780, 1440);
    memory_ = value(frame1_, 1440);

    frame2_ = new QGroupBox(QStringLiteral("BIOS"), this);
    frame2_->setFont(dialogFont(true));
    frame2_->setGeometry(twips(180), twips(1920), twips(6405), twips(1095));
    caption(frame2_, "Vendor:", 780, 270);
    biosVendor_ = value(frame2_, 270);
    caption(frame2_, "Version:", 780, 660);
    biosVersion_ = value(frame2_, 660);

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setGeometry(twips(4470), twips(3120), twips(1365), twips(375));
    cmdOK_->setToolTip(QStringLiteral("Close This Window"));
    QObject::connect(cmdOK_, &QPushButton::clicked, this, [this] { rules_.okClicked(*closer_); });

    // Form_Load: polling stops first, then the window is centred, then the queries.
    const auto texts = rules_.formLoad();
    centreOnScreen(*this);
    manufacturer_->setText(text(texts.manufacturer));
    product_->setText(text(texts.product));
    cpu_->setText(text(texts.cpu));
    memory_->setText(text(texts.memory));
    biosVendor_->setText(text(texts.biosVendor));
    biosVersion_->setText(text(texts.biosVersion));
}

SystemInfoDialog::~SystemInfoDialog() { rules_.formUnload(); }

void SystemInfoDialog::done(int result) {
    rules_.formUnload();
    QDialog::done(result);
}

void SystemInfoDialog::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    if (event->isAccepted()) {
        rules_.formUnload();
    }
}

}  // namespace velmon
