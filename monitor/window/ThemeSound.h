// The desktop's sound theme, played through libcanberra: what a user hears
// where the X bell is switched off, which is most desktops today.
#pragma once

#include <memory>

namespace velmon::window {

// Plays sounds of the freedesktop sound theme by name.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the sound and returns at once; false when it cannot be played
    // (no sound server, no such sound), so the caller can fall back.
    virtual bool play(const char* eventId) = 0;
};

// libcanberra's context, opened at the first sound: the library and the
// sound server's client it brings are mapped only once a sound is asked for.
// Without libcanberra in the build or on the machine, or when no sound
// server answers, every play() is false; the first answer stands.
class CanberraPlayer final : public SoundPlayer {
public:
    // library: the file bound at the first sound.
    explicit CanberraPlayer(const char* library = "libcanberra.so.0");
    ~CanberraPlayer() override;
    CanberraPlayer(const CanberraPlayer&) = delete;
    CanberraPlayer& operator=(const CanberraPlayer&) = delete;

    bool play(const char* eventId) override;
    // Whether the library has been bound (it stays bound once it is).
    [[nodiscard]] bool bound() const { return library_ != nullptr; }

private:
    struct Library;
    bool openContext();

    const char* libraryName_;
    std::unique_ptr<Library> library_;
    void* context_ = nullptr;  // ca_context*
    bool tried_ = false;
};

}  // namespace velmon::window
