#include "SummaryDump.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace velmon::app {
namespace {

const char* summaryName(Ctl ctl) {
    switch (ctl) {
        case Ctl::FanSummaryValue: return "fan";
        case Ctl::TempSummaryValue: return "temp";
        case Ctl::VoltSummaryValue: return "volt";
        default: return nullptr;
    }
}

}  // namespace

void SummaryDump::setText(ControlRef control, const std::string& text) {
    inner_.setText(control, text);
    if (const char* name = summaryName(control.ctl))
        note(std::string(name) + ' ' + std::to_string(control.index), text);
}

void SummaryDump::noteTray(const TrayIconRecord& record) { note("tray", trayTip(record)); }

void SummaryDump::note(const std::string& key, const std::string& text) {
    if (path_.empty()) return;
    auto& slot = texts_[key];
    if (slot == text) return;
    slot = text;
    // Written whole and renamed, so a reader never sees half a file.
    const std::string tmp = path_ + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        for (const auto& [name, value] : texts_) out << name << " = " << value << '\n';
    }
    std::rename(tmp.c_str(), path_.c_str());
}

}  // namespace velmon::app
