// The alert timer and the tray record it changes.
#include "Monitor.h"

#include "Texts.h"

namespace velmon {
namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

}  // namespace

// ---- Alerts ----------------------------------------------------------------------

void Monitor::refreshTrayIcon() {
    trayIconIndex_ = static_cast<std::int16_t>(1 - trayIconIndex_);
    tray_.hIcon = trayIconIndex_ == 0 ? TrayImage::Normal : TrayImage::Alert;
    ports_.tray.modify(tray_);
}

void Monitor::tmrWarnTick() {
    MainView& v = ports_.view;
    warned_ = false;
    for (int c = 0; c < kChannelCount; ++c) {
        const auto channel = static_cast<SensorChannel>(c);
        // Flags set from outside the rules (the dialogs) get their mark here.
        showAlarmMark(channel);
        if (!alarms_.flags[at(c)]) continue;
        const ControlRef page = pageLabelOf(channel);
        const ControlRef summary = summaryLabelOf(channel);
        v.setVisible(page, !v.isVisible(page));
        v.setVisible(summary, !v.isVisible(summary));
        ports_.beeper.simpleBeep();
        ports_.beeper.simpleBeep();
        ports_.beeper.simpleBeep();
        ports_.beeper.standardBeep();
        refreshTrayIcon();
        warned_ = true;
    }
    if (warned_) {
        setTrayTip(tray_, kTipWarning);
    } else {
        tray_.hIcon = TrayImage::Normal;
        setTrayTip(tray_, quietTip());
    }
    ports_.tray.modify(tray_);
}

// ---- Tray record ---------------------------------------------------------------

void setTrayTip(TrayIconRecord& record, const std::string& text) {
    record.szTip.fill(' ');
    const std::size_t n = text.size() < record.szTip.size() - 1 ? text.size() : record.szTip.size() - 1;
    for (std::size_t i = 0; i < n; ++i) record.szTip[i] = text[i];
    record.szTip[n] = '\0';
}

std::string trayTip(const TrayIconRecord& record) { return trimAtNull(record.szTip.data(), record.szTip.size()); }

}  // namespace velmon
