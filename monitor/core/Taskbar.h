// frmTaskbar: startup and exit, the tray icon's mouse messages, On and Off,
// and the end of the session.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Monitor.h"

namespace velmon {

class Taskbar final : public TaskbarEvents {
public:
    Taskbar(Ports ports, Monitor& monitor);

    // Runs before frmStart's load (startup step 8) so the window can lay
    // itself out from the fan configuration and DpiFactor.
    void setMainWindowLayout(std::function<void(Monitor&)> layout) { layout_ = std::move(layout); }

    // Startup steps 1 to 10. False when the program ends; exitStatus() then
    // says with which status (Environment::quit has been called with it too).
    bool startup();
    [[nodiscard]] int exitStatus() const { return exitStatus_; }

    // TaskbarEvents
    void trayMessage(std::uint32_t message) override;
    void menuOn() override;
    void menuOff() override;
    void menuExit() override;
    // frmTaskbar is closed for good (the application quits): as sessionEnding.
    void queryUnload() override;

    // SIGTERM, SIGHUP, SIGINT or the real end of the program: save the
    // thresholds as Exit does and remove the tray icon. Runs once; later calls
    // do nothing.
    void sessionEnding();

    // The session manager asks for the state to be saved. That is no end: a
    // log-off may be cancelled and a session save is routine, so only the
    // thresholds are saved and polling, alerts and the icon go on.
    void sessionSaveRequested();

    [[nodiscard]] bool isOn() const { return on_; }
    [[nodiscard]] bool busy() const { return busy_; }
    [[nodiscard]] std::uint32_t lastMessage() const { return lastMessage_; }
    [[nodiscard]] const std::string& mbfanPath() const { return mbfanPath_; }
    [[nodiscard]] const std::string& boardName() const { return boardName_; }

private:
    void end(int status);
    void removeIcon();

    Ports ports_;
    Monitor& monitor_;
    std::function<void(Monitor&)> layout_;
    bool on_ = true;
    bool busy_ = false;
    std::uint32_t lastMessage_ = 0;
    bool ended_ = false;
    bool iconAdded_ = false;
    int exitStatus_ = 0;
    std::string mbfanPath_;
    std::string boardName_;
};

// Startup's messages.
inline constexpr const char* kConflictMessage =
    "You have already installed Intel LDCM, this program cannot run simultaneously !";
inline constexpr const char* kNoChipMessage = "Your mainboard has no LM75/78 chipsets !";
inline constexpr const char* kExitQuestion = "Do you want to exit Velmora ?";

}  // namespace velmon
