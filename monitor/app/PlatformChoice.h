// Which Qt platform Velmon asks for, decided before the application object
// exists. On a Wayland session with XWayland the panel runs as an X11 client:
// there it can centre itself, stay on top and be raised on an alarm where the
// compositor allows it, which the Wayland protocol gives no client. Without
// XWayland it runs natively and the compositor places and moves it.
#pragma once

#include <string>

namespace velmon::app {

struct SessionFacts {
    std::string qpaPlatform;      // QT_QPA_PLATFORM
    bool platformOption = false;  // -platform on the command line
    std::string waylandDisplay;   // WAYLAND_DISPLAY
    std::string display;          // DISPLAY
};

// The value for QT_QPA_PLATFORM, or empty to leave Qt's own choice (the
// user's, or an X11 session's).
std::string choosePlatform(const SessionFacts& facts);

// The facts of this process's environment and command line.
SessionFacts sessionFacts(int argc, char** argv);

}  // namespace velmon::app
