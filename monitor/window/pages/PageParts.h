// What the frame gives each page of the main window: the way back to the
// core's handlers and the table in which the core's control names resolve.
// A page enters its own controls there, so a new control touches its page only.
#pragma once

#include "Ports.h"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <string>
#include <utility>

namespace velmon::window {

struct PageHooks {
    MainWindowEvents* events = nullptr;
    // A pointer or marker drag sends its moves and release to whatever lies
    // under the pointer; the frame does the routing.
    std::function<void()> beginRoutedDrag;
};

class ControlTable {
public:
    void add(Ctl kind, int index, QWidget* widget) { widgets_[{kind, index}] = widget; }
    [[nodiscard]] QWidget* find(ControlRef ref) const {
        const auto it = widgets_.find({ref.ctl, ref.index});
        return it == widgets_.end() ? nullptr : it->second;
    }

private:
    std::map<std::pair<Ctl, int>, QWidget*> widgets_;
};

// What the gauge and the Summary row of a missing temperature sensor say.
inline constexpr std::array<const char*, 2> kNoTemperatureSensorTips{
    "This machine has no CPU temperature sensor", "This machine has no mainboard temperature sensor"};

inline QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace velmon::window
