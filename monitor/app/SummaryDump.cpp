#include "SummaryDump.h"

#include <cstdio>
#include <fstream>

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
    if (path_.empty() || !summaryName(control.ctl)) return;
    auto& slot = texts_[{static_cast<int>(control.ctl), control.index}];
    if (slot == text) return;
    slot = text;
    // Written whole and renamed, so a reader never sees half a file.
    const std::string tmp = path_ + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        for (const auto& [key, value] : texts_)
            out << summaryName(static_cast<Ctl>(key.first)) << ' ' << key.second << " = " << value << '\n';
    }
    std::rename(tmp.c_str(), path_.c_str());
}

}  // namespace velmon::app
