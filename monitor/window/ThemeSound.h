// The desktop's sound theme, played through libcanberra: what a user hears
// where the X bell is switched off, which is most desktops today.
#pragma once

#include <QElapsedTimer>

#include <array>

namespace velmon::window {

// Plays sounds of the freedesktop sound theme by name.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the sound and returns at once; false when it cannot be played
    // (no sound server, no such sound), so the caller can fall back.
    virtual bool play(const char* eventId) = 0;
};

// libcanberra's context, opened once. Without libcanberra in the build, or
// when no sound server answers, every play() is false.
class CanberraPlayer final : public SoundPlayer {
public:
    CanberraPlayer();
    ~CanberraPlayer() override;
    CanberraPlayer(const CanberraPlayer&) = delete;
    CanberraPlayer& operator=(const CanberraPlayer&) = delete;

    bool play(const char* eventId) override;
    [[nodiscard]] bool open() const { return context_ != nullptr; }

private:
    void* context_ = nullptr;  // ca_context*
};

}  // namespace velmon::window
