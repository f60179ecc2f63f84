// What startup learns from the machine and the process, for the Qt program.
#pragma once

#include "IniSettingsBackend.h"
#include "Ports.h"

namespace velmon::app {

class AppEnvironment final : public Environment {
public:
    bool anotherInstanceRunning() override { return lock_.anotherInstanceRunning(); }
    [[nodiscard]] double logicalDpiX() const override;
    [[nodiscard]] std::string programDirectory() const override;
    // Leaves the event loop with the status; before it runs, main() ends
    // with the status startup reports.
    void quit(int status) override;

private:
    InstanceLock lock_;
};

}  // namespace velmon::app
