// What startup learns from the machine and the process, for the Qt program.
#pragma once

#include "IniSettingsBackend.h"
#include "Ports.h"

#include <QString>

namespace velmon::app {

class AppEnvironment final : public Environment {
public:
    // When another Velmon runs, it is asked to show its window first.
    bool anotherInstanceRunning() override;
    [[nodiscard]] double logicalDpiX() const override;
    [[nodiscard]] std::string programDirectory() const override;
    // Leaves the event loop with the status; before it runs, main() ends
    // with the status startup reports.
    void quit(int status) override;
    // Where the running instance listens for a second start's request.
    [[nodiscard]] QString beaconPath() const;

private:
    InstanceLock lock_;
};

}  // namespace velmon::app
