// The tray port passes on a modification only when it changes what the icon
// shows; adding and removing always go through.
#include "TrayChanges.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace velmon::app {
namespace {

struct RecordingTray final : TrayPort {
    std::vector<std::string> calls;
    void add(const TrayIconRecord& r) override { calls.push_back("add " + describe(r)); }
    void modify(const TrayIconRecord& r) override { calls.push_back("modify " + describe(r)); }
    void remove(const TrayIconRecord&) override { calls.emplace_back("remove"); }
    void popupMenu() override { calls.emplace_back("menu"); }
    void setMenuChecks(bool on, bool off) override {
        calls.push_back(std::string("checks ") + (on ? "on" : "-") + (off ? "off" : "-"));
    }
    static std::string describe(const TrayIconRecord& r) {
        return std::to_string(static_cast<int>(r.hIcon)) + ' ' + r.szTip.data();
    }
};

TrayIconRecord record(TrayImage image, const char* tip) {
    TrayIconRecord r;
    r.hIcon = image;
    r.szTip.fill(' ');
    std::memcpy(r.szTip.data(), tip, std::strlen(tip) + 1);
    return r;
}

TEST(TrayChanges, PassesOnOnlyWhatChangesTheIcon) {
    RecordingTray tray;
    TrayChanges changes(tray);
    const auto normal = record(TrayImage::Normal, "System is in normal state");
    const auto warning = record(TrayImage::Normal, "System is in warning state");
    const auto flipped = record(TrayImage::Alert, "System is in warning state");

    changes.add(normal);
    changes.modify(normal);  // the alert timer's normal-state tick
    changes.modify(normal);
    changes.modify(flipped);
    changes.modify(warning);  // flipped back: a change
    changes.modify(warning);
    changes.modify(normal);
    changes.remove(normal);
    changes.modify(normal);  // after a removal nothing is known to be shown
    changes.add(normal);     // always added
    changes.popupMenu();
    changes.setMenuChecks(true, false);

    EXPECT_EQ(tray.calls, (std::vector<std::string>{
                              "add 0 System is in normal state",
                              "modify 1 System is in warning state",
                              "modify 0 System is in warning state",
                              "modify 0 System is in normal state",
                              "remove",
                              "modify 0 System is in normal state",
                              "add 0 System is in normal state",
                              "menu",
                              "checks on-",
                          }));
}

}  // namespace
}  // namespace velmon::app
