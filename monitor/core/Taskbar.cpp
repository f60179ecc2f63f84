#include "Taskbar.h"

#include <cstdio>

#include <platform/IniReader.h>
#include <platform/ModulePath.h>
#include <platform/Registry.h>

#include "Texts.h"

namespace velmon {
namespace {

constexpr std::uint32_t kLeftButtonDown = 513;
constexpr std::uint32_t kRightButtonDown = 516;

// A conflicting management agent is recognised by its version value.
bool conflictingSoftwareInstalled() {
    namespace reg = platform::registry;
    reg::Key key;
    if (reg::Key::open("SOFTWARE\\Intel\\LANDesk\\Client Manager", key) != reg::kSuccess) return false;
    std::uint8_t version[64] = {};
    std::uint32_t size = sizeof version;
    std::uint32_t type = 0;
    const long rc = key.queryValue("Version", &type, version, &size);
    key.close();
    return rc == reg::kSuccess;
}

// MBFAN.INI values live in 16 bits; anything else counts as fitted.
std::int16_t fanFlag(const std::string& path, const std::string& section, const char* key) {
    const std::int64_t v = platform::iniReadIntFromFile(path, section, key, 1);
    if (v < -32768 || v > 32767) return 1;
    return static_cast<std::int16_t>(v);
}

}  // namespace

Taskbar::Taskbar(Ports ports, Monitor& monitor) : ports_(ports), monitor_(monitor) {}

void Taskbar::end(int status) {
    exitStatus_ = status;
    ended_ = true;
    ports_.env.quit(status);
}

void Taskbar::removeIcon() {
    TrayIconRecord& r = monitor_.trayRecord();
    r.cbSize = 88;
    r.uID = 1;
    ports_.tray.remove(r);
    iconAdded_ = false;
}

bool Taskbar::startup() {
    if (ports_.env.anotherInstanceRunning()) {
        end(0);
        return false;
    }
    if (conflictingSoftwareInstalled()) {
        ports_.prompter.information(kTitle, kConflictMessage);
        end(1);
        return false;
    }
    static_cast<void>(ports_.cpuData.writeCpuInfoIntoRegistry());
    // Said before the temperature check, whose zeros would blame the board.
    if (const std::string why = ports_.sensor.sourceError(); !why.empty()) {
        std::fprintf(stderr, "velmon: %s\n", why.c_str());
        ports_.prompter.information(kTitle, why);
        end(kUnknownSourceStatus);
        return false;
    }

    monitor_.setTrayIconIndex(0);
    TrayIconRecord& record = monitor_.trayRecord();
    record.hIcon = TrayImage::Normal;
    setTrayTip(record, kTipNormal);
    ports_.tray.add(record);
    iconAdded_ = true;
    ports_.tray.setMenuChecks(true, false);

    // What the machine can measure is asked once, before the first reading.
    const ChannelPresence presence = ChannelPresence::fromMask(ports_.sensor.channelMask());
    monitor_.setPresence(presence);
    monitor_.setMachineDefaults(machineDefaults(ports_.sensor, presence));
    // Without a temperature, or with every one there reading 0, there is no
    // sensor chip to watch.
    bool noChip = true;
    for (const SensorChannel t : {SensorChannel::CpuTemp, SensorChannel::MbTemp}) {
        if (presence.present(t) && ports_.sensor.read(t) != 0) noChip = false;
    }
    if (noChip) {
        removeIcon();
        ports_.prompter.information(kTitle, kNoChipMessage);
        // A source that knows why it found no chip says so, with what to do.
        if (const std::string why = ports_.sensor.noChipReason(); !why.empty()) {
            std::fprintf(stderr, "velmon: %s\n", why.c_str());
            ports_.prompter.information(kTitle, why);
        }
        end(1);
        return false;
    }

    monitor_.dpiFactor() = static_cast<float>(ports_.env.logicalDpiX() / 96.0);

    mbfanPath_ = platform::joinPath(ports_.env.programDirectory(), "MBFAN.INI");
    TextBuffer buffer{};
    ports_.sensor.text(DmiText::MBProduct, buffer);
    boardName_ = trimAtNull(buffer.data(), buffer.size());
    FanConfiguration& fans = monitor_.fanConfiguration();
    fans.fitted[0] = fanFlag(mbfanPath_, boardName_, "CPU");
    fans.fitted[1] = fanFlag(mbfanPath_, boardName_, "POWER");
    fans.fitted[2] = fanFlag(mbfanPath_, boardName_, "CHASSIS");
    monitor_.setBoardFans(fans);
    fans = watchFor(fans, presence).fans;

    if (layout_) layout_(monitor_);
    monitor_.load();

    SettingsStore& store = monitor_.settings();
    PollingIntervals& iv = monitor_.intervals();
    iv.fan = store.readInt("FanInterval", 5);
    iv.temp = store.readInt("TempInterval", 5);
    iv.volt = store.readInt("VoltInterval", 5);

    if (store.readBool("ShowLogo", true)) ports_.logo.show();
    return true;
}

void Taskbar::trayMessage(std::uint32_t message) {
    lastMessage_ = message;
    if (busy_) return;
    busy_ = true;
    if (message == kLeftButtonDown) {
        openWindow(std::nullopt);
    } else if (message == kRightButtonDown) {
        if (!ports_.view.isWindowVisible() && !ports_.logo.isVisible()) ports_.tray.popupMenu();
    }
    busy_ = false;
}

void Taskbar::openWindow(std::optional<Page> page) {
    if (ports_.view.isWindowVisible()) return;
    if (ports_.logo.isVisible()) ports_.logo.unload();
    if (!on_) return;
    if (page) {
        monitor_.showAlarmPage(*page);
    } else {
        ports_.view.showWindow();
    }
    ports_.tmrMonitor.setEnabled(true);
}

void Taskbar::showWindowRequested() {
    // Ignored while the popup menu or an earlier click is being handled.
    if (busy_ || ended_) return;
    busy_ = true;
    openWindow(std::nullopt);
    busy_ = false;
}

void Taskbar::alarmNoticeActivated(Page page) {
    if (busy_ || ended_) return;
    busy_ = true;
    openWindow(page);
    busy_ = false;
}

void Taskbar::menuOn() {
    on_ = true;
    ports_.tray.setMenuChecks(true, false);
    TrayIconRecord& r = monitor_.trayRecord();
    r.hIcon = TrayImage::Normal;
    setTrayTip(r, kTipNormal);
    ports_.tray.modify(r);
    ports_.tmrMonitor.setEnabled(true);
    ports_.tmrWarn.setEnabled(true);
}

void Taskbar::menuOff() {
    on_ = false;
    ports_.tray.setMenuChecks(false, true);
    TrayIconRecord& r = monitor_.trayRecord();
    r.hIcon = TrayImage::Off;
    setTrayTip(r, kTipOff);
    ports_.tray.modify(r);
    ports_.tmrMonitor.setEnabled(false);
    ports_.tmrWarn.setEnabled(false);
}

void Taskbar::menuExit() {
    ports_.tmrMonitor.setEnabled(false);
    ports_.tmrWarn.setEnabled(false);
    if (ports_.prompter.question(kTitle, kExitQuestion)) {
        ports_.logo.unload();
        monitor_.unload();
        removeIcon();
        end(0);
        return;
    }
    if (on_) {
        ports_.tmrMonitor.setEnabled(true);
        ports_.tmrWarn.setEnabled(true);
    }
}

void Taskbar::queryUnload() { sessionEnding(); }

void Taskbar::sessionSaveRequested() {
    if (ended_) return;
    monitor_.unload();
}

void Taskbar::sessionEnding() {
    if (ended_) return;
    ended_ = true;
    ports_.tmrMonitor.setEnabled(false);
    ports_.tmrWarn.setEnabled(false);
    monitor_.unload();
    if (iconAdded_) removeIcon();
}

}  // namespace velmon
