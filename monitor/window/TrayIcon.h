// The tray icon of the hidden tray window: QSystemTrayIcon driven by the
// record and the add / modify / delete operations the core uses, and the
// popup menu "On", "Off", "Exit".
#pragma once

#include "Ports.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include <array>
#include <functional>
#include <memory>

namespace velmon::window {

// The tooltip text of a record: szTip up to its first NUL.
QString trayTip(const TrayIconRecord& record);

// The mouse message number the core expects for a tray activation (0: none).
std::uint32_t trayMessageFor(QSystemTrayIcon::ActivationReason reason);

class TrayIcon final : public QObject, public TrayPort {
public:
    TrayIcon();
    ~TrayIcon() override;

    void setEvents(TaskbarEvents* events) { events_ = events; }
    // Whether the menu may be used now: neither the main window nor the logo
    // shown, no earlier click being handled.
    void setMenuAllowed(std::function<bool()> allowed) { menuAllowed_ = std::move(allowed); }

    void add(const TrayIconRecord& record) override;
    void modify(const TrayIconRecord& record) override;
    void remove(const TrayIconRecord& record) override;
    void popupMenu() override;
    void setMenuChecks(bool on, bool off) override;

    // For the tests.
    [[nodiscard]] bool isShown() const { return shown_; }
    [[nodiscard]] QString toolTip() const;
    [[nodiscard]] TrayImage image() const { return image_; }
    [[nodiscard]] QMenu* menu() { return &menu_; }
    [[nodiscard]] QSystemTrayIcon* icon() { return &icon_; }
    [[nodiscard]] bool menuExported() const { return exported_; }

private:
    void apply(const TrayIconRecord& record);
    void exportMenu();
    void chosen(QAction* action);

    TaskbarEvents* events_ = nullptr;
    QSystemTrayIcon icon_;
    std::array<QIcon, 3> images_;
    TrayImage image_ = TrayImage::Normal;
    bool shown_ = false;
    QMenu menu_;
    QAction* on_ = nullptr;
    QAction* off_ = nullptr;
    QAction* exit_ = nullptr;
    std::function<bool()> menuAllowed_;
    bool exported_ = false;
    bool inPopup_ = false;
    bool checkedOn_ = true, checkedOff_ = false;  // as the core last set them
};

}  // namespace velmon::window
