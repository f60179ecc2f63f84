// The tray port, passing on a modification only when it changes the icon or
// its tooltip. Once the alert timer runs it puts the same image and tooltip
// back every 700 ms in the normal state; the tray host would repaint the
// icon each time for nothing.
#pragma once

#include "Ports.h"

#include <optional>

namespace velmon::app {

class TrayChanges final : public TrayPort {
public:
    explicit TrayChanges(TrayPort& inner) : inner_(inner) {}
    void add(const TrayIconRecord& record) override {
        inner_.add(record);
        shown_ = record;
    }
    void modify(const TrayIconRecord& record) override {
        if (shown_ && same(*shown_, record)) return;
        inner_.modify(record);
        shown_ = record;
    }
    void remove(const TrayIconRecord& record) override {
        inner_.remove(record);
        shown_.reset();
    }
    void popupMenu() override { inner_.popupMenu(); }
    void setMenuChecks(bool on, bool off) override { inner_.setMenuChecks(on, off); }

private:
    static bool same(const TrayIconRecord& a, const TrayIconRecord& b) {
        return a.cbSize == b.cbSize && a.hWnd == b.hWnd && a.uID == b.uID && a.uFlags == b.uFlags &&
               a.uCallbackMessage == b.uCallbackMessage && a.hIcon == b.hIcon && a.szTip == b.szTip;
    }

    TrayPort& inner_;
    std::optional<TrayIconRecord> shown_;
};

}  // namespace velmon::app
