#include "PlatformChoice.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace velmon::app {
namespace {

struct Case {
    const char* what;
    SessionFacts facts;
    const char* expected;
};

TEST(PlatformChoice, PerSession) {
    const std::array<Case, 8> cases{{
        {"X11 session: Qt's own choice, as before", {"", false, "", ":0"}, ""},
        {"Wayland with XWayland: X11 first", {"", false, "wayland-0", ":1"}, "xcb;wayland"},
        {"Wayland without XWayland: native", {"", false, "wayland-0", ""}, "wayland"},
        {"the user's variable wins over XWayland", {"wayland", false, "wayland-0", ":1"}, ""},
        {"the user's variable wins without XWayland", {"xcb", false, "wayland-0", ""}, ""},
        {"the user's -platform wins", {"", true, "wayland-0", ":1"}, ""},
        {"-platform on X11", {"", true, "", ":0"}, ""},
        {"no display at all: Qt says so itself", {"", false, "", ""}, ""},
    }};
    for (const Case& c : cases) EXPECT_EQ(choosePlatform(c.facts), c.expected) << c.what;
}

TEST(PlatformChoice, FactsFromEnvironmentAndCommandLine) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("WAYLAND_DISPLAY", "wayland-7", 1);
    ::unsetenv("DISPLAY");
    std::array<char*, 4> argv{const_cast<char*>("velmon"), const_cast<char*>("-platform"),
                              const_cast<char*>("wayland"), nullptr};
    SessionFacts facts = sessionFacts(3, argv.data());
    EXPECT_EQ(facts.qpaPlatform, "offscreen");
    EXPECT_EQ(facts.waylandDisplay, "wayland-7");
    EXPECT_EQ(facts.display, "");
    EXPECT_TRUE(facts.platformOption);
}

}  // namespace
}  // namespace velmon::app
