// The sound theme's library is bound at the first alarm sound, not at start:
// a run that never warns maps neither it nor the sound server's client.
#include "QtPorts.h"
#include "ThemeSound.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace velmon {
namespace {

bool mapped(const std::string& name) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find(name) != std::string::npos) return true;
    }
    return false;
}

TEST(SoundLoading, TheLibraryIsMappedAtTheFirstBeepNotBefore) {
    window::CanberraPlayer sounds;
    window::QtBeeper beeper(&sounds);
    EXPECT_FALSE(mapped("libcanberra")) << "mapped before any sound was asked for";
    EXPECT_FALSE(sounds.bound());

    // One channel's alarm tick.
    for (int i = 0; i < 3; ++i) beeper.simpleBeep();
    beeper.standardBeep();
    EXPECT_EQ(beeper.simpleCount(), 3);
    EXPECT_EQ(beeper.standardCount(), 1);
    // Each kind sounded, through the theme or, without a sound server, the bell
    // (more than once where binding took longer than the beeper's 100 ms).
    EXPECT_GE(beeper.played() + beeper.bells(), 2);
#ifdef VELMON_EXPECT_CANBERRA
    EXPECT_TRUE(sounds.bound());
    EXPECT_TRUE(mapped("libcanberra"));
#else
    EXPECT_FALSE(sounds.bound());
#endif
}

TEST(SoundLoading, AMissingLibraryRingsTheBell) {
    window::CanberraPlayer sounds("libvelmon-no-such-sound-library.so.0");
    window::QtBeeper beeper(&sounds);
    beeper.standardBeep();
    EXPECT_FALSE(sounds.bound());
    EXPECT_EQ(beeper.bells(), 1);
    EXPECT_EQ(beeper.played(), 0);
    EXPECT_FALSE(sounds.play("bell")) << "the first answer stands";
}

}  // namespace
}  // namespace velmon
