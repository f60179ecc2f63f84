#include "PlatformChoice.h"

#include <cstdlib>
#include <cstring>

namespace velmon::app {

std::string choosePlatform(const SessionFacts& facts) {
    if (!facts.qpaPlatform.empty() || facts.platformOption) return {};
    if (facts.waylandDisplay.empty()) return {};
    // Natively still, should XWayland have gone away or Qt's X11 plugin be
    // missing: a window without self-placement beats none.
    if (!facts.display.empty()) return "xcb;wayland";
    return "wayland";
}

SessionFacts sessionFacts(int argc, char** argv) {
    const auto env = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    SessionFacts facts{env("QT_QPA_PLATFORM"), false, env("WAYLAND_DISPLAY"), env("DISPLAY")};
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0)
            facts.platformOption = true;
    return facts;
}

}  // namespace velmon::app
