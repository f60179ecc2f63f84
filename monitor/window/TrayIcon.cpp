#include "TrayIcon.h"

#include "Art.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusInterface>
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

// Qt shows the icon as a StatusNotifierItem exactly when a watcher with a
// host runs on the session bus; there the host draws the menu itself.
bool statusNotifierHostPresent() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
                           QStringLiteral("org.kde.StatusNotifierWatcher"), bus);
    watcher.setTimeout(2000);
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

void TrayIcon::exportMenu() {
    exported_ = true;
    icon_.setContextMenu(&menu_);
    // The host opens the menu whatever is shown; its commands obey the
    // right click's rule, so they are greyed and ignored meanwhile.
    QObject::connect(&menu_, &QMenu::aboutToShow, this, [this] {
        const bool allowed = inPopup_ || !menuAllowed_ || menuAllowed_();
        for (QAction* a : {on_, off_, exit_}) a->setEnabled(allowed);
    });
    QObject::connect(&menu_, &QMenu::triggered, this, [this](QAction* action) {
        if (inPopup_) return;  // popupMenu() runs the command itself
        setMenuChecks(checkedOn_, checkedOff_);
        if (menuAllowed_ && !menuAllowed_()) return;
        // Queued, as a click: Exit may remove the icon the host is talking to.
        QMetaObject::invokeMethod(this, [this, action] { chosen(action); }, Qt::QueuedConnection);
    });
}

void TrayIcon::chosen(QAction* action) {
    if (!events_) return;
    if (action == on_) events_->menuOn();
    else if (action == off_) events_->menuOff();
    else if (action == exit_) events_->menuExit();
}

void TrayIcon::add(const TrayIconRecord& record) {
    apply(record);
    if (!exported_ && statusNotifierHostPresent()) exportMenu();
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
    inPopup_ = true;
    QAction* action = menu_.exec(QCursor::pos());
    inPopup_ = false;
    // The check marks are the core's to set, not the menu's own toggling.
    setMenuChecks(wasOn, wasOff);
    if (action) chosen(action);
}

void TrayIcon::setMenuChecks(bool on, bool off) {
    checkedOn_ = on;
    checkedOff_ = off;
    on_->setChecked(on);
    off_->setChecked(off);
}

}  // namespace velmon::window
