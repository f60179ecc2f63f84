#include "TrayIcon.h"

#include "Art.h"

#include <QCursor>
#include <QPixmap>

#include <cstring>

namespace velmon::window {

QString trayTip(const TrayIconRecord& record) {
    const auto* begin = record.szTip.data();
    const auto* nul = static_cast<const char*>(std::memchr(begin, '\0', record.szTip.size()));
    const auto length = nul ? nul - begin : static_cast<std::ptrdiff_t>(record.szTip.size());
    return QString::fromLatin1(begin, length);
}

std::uint32_t trayMessageFor(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger: return 513;      // left button down
    case QSystemTrayIcon::Context: return 516;      // right button down
    case QSystemTrayIcon::DoubleClick: return 515;  // left double click
    case QSystemTrayIcon::MiddleClick: return 519;  // middle button down
    default: return 0;
    }
}

TrayIcon::TrayIcon() {
    images_[0] = QIcon(QPixmap::fromImage(art::image(art::Art::TrayNormal)));
    images_[1] = QIcon(QPixmap::fromImage(art::image(art::Art::TrayAlert)));
    images_[2] = QIcon(QPixmap::fromImage(art::image(art::Art::TrayOff)));
    on_ = menu_.addAction(QStringLiteral("On"));
    on_->setCheckable(true);
    on_->setChecked(true);
    off_ = menu_.addAction(QStringLiteral("Off"));
    off_->setCheckable(true);
    menu_.addSeparator();
    exit_ = menu_.addAction(QStringLiteral("Exit"));
    // Queued: the handler may run the menu and Exit, which removes the icon,
    // and the icon's widget must not be deleted inside its own mouse event.
    QObject::connect(
        &icon_, &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (const std::uint32_t message = trayMessageFor(reason); message && events_)
                events_->trayMessage(message);
        },
        Qt::QueuedConnection);
}

TrayIcon::~TrayIcon() { icon_.hide(); }

void TrayIcon::apply(const TrayIconRecord& record) {
    const auto index = static_cast<std::size_t>(record.hIcon);
    image_ = index < images_.size() ? record.hIcon : TrayImage::Normal;
    icon_.setIcon(images_[static_cast<std::size_t>(image_)]);
    icon_.setToolTip(trayTip(record));
}

void TrayIcon::add(const TrayIconRecord& record) {
    apply(record);
    // Shown even while no tray is running: the icon appears when one starts.
    icon_.show();
    shown_ = true;
}

void TrayIcon::modify(const TrayIconRecord& record) {
    if (shown_) apply(record);
}

void TrayIcon::remove(const TrayIconRecord&) {
    icon_.hide();
    shown_ = false;
}

QString TrayIcon::toolTip() const { return icon_.toolTip(); }

void TrayIcon::popupMenu() {
    // The command runs after the menu has closed, before this returns.
    const bool wasOn = on_->isChecked(), wasOff = off_->isChecked();
    QAction* chosen = menu_.exec(QCursor::pos());
    // The check marks are the core's to set, not the menu's own toggling.
    setMenuChecks(wasOn, wasOff);
    if (!events_ || !chosen) return;
    if (chosen == on_) events_->menuOn();
    else if (chosen == off_) events_->menuOff();
    else if (chosen == exit_) events_->menuExit();
}

void TrayIcon::setMenuChecks(bool on, bool off) {
    on_->setChecked(on);
    off_->setChecked(off);
}

}  // namespace velmon::window
