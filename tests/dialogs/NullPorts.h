// Ports the dialog tests wire into a real Monitor but never look at.
#pragma once

#include "Ports.h"

namespace velmon::dialogs::testing {

struct NullCpuData final : CpuDataPort {
    std::int32_t writeCpuInfoIntoRegistry() override { return 1; }
};
struct NullBeeper final : Beeper {
    void simpleBeep() override {}
    void standardBeep() override {}
};
struct NullTray final : TrayPort {
    void add(const TrayIconRecord&) override {}
    void modify(const TrayIconRecord&) override {}
    void remove(const TrayIconRecord&) override {}
    void popupMenu() override {}
    void setMenuChecks(bool, bool) override {}
};

}  // namespace velmon::dialogs::testing
