#include "ThemeSound.h"

#ifdef VELMON_HAVE_CANBERRA
#include <canberra.h>
#include <dlfcn.h>
#endif

namespace velmon::window {

#ifdef VELMON_HAVE_CANBERRA

// libcanberra and the sound server's client libraries it brings are bound
// at the first sound: most runs never warn and need none of them mapped.
struct CanberraPlayer::Library {
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_destroy) destroy = nullptr;
    decltype(&ca_context_open) open = nullptr;
    decltype(&ca_context_change_props) changeProps = nullptr;
    decltype(&ca_context_play) play = nullptr;

    bool bind(void* handle) {
        create = reinterpret_cast<decltype(create)>(dlsym(handle, "ca_context_create"));
        destroy = reinterpret_cast<decltype(destroy)>(dlsym(handle, "ca_context_destroy"));
        open = reinterpret_cast<decltype(open)>(dlsym(handle, "ca_context_open"));
        changeProps = reinterpret_cast<decltype(changeProps)>(dlsym(handle, "ca_context_change_props"));
        play = reinterpret_cast<decltype(play)>(dlsym(handle, "ca_context_play"));
        return create && destroy && open && changeProps && play;
    }
};

CanberraPlayer::CanberraPlayer(const char* library) : libraryName_(library) {}

CanberraPlayer::~CanberraPlayer() {
    // The library stays mapped: its sound server client may still run a thread.
    if (context_) library_->destroy(static_cast<ca_context*>(context_));
}

bool CanberraPlayer::openContext() {
    if (tried_) return context_ != nullptr;
    tried_ = true;
    void* handle = dlopen(libraryName_, RTLD_NOW | RTLD_LOCAL);
    if (!handle) return false;
    auto library = std::make_unique<Library>();
    if (!library->bind(handle)) return false;
    library_ = std::move(library);
    ca_context* context = nullptr;
    if (library_->create(&context) != CA_SUCCESS) return false;
    library_->changeProps(context, CA_PROP_APPLICATION_NAME, "Velmon", CA_PROP_APPLICATION_ID, "velmon",
                          CA_PROP_APPLICATION_ICON_NAME, "velmon", nullptr);
    if (library_->open(context) != CA_SUCCESS) {
        library_->destroy(context);
        return false;
    }
    context_ = context;
    return true;
}

bool CanberraPlayer::play(const char* eventId) {
    if (!openContext()) return false;
    // Asynchronous: playback runs in libcanberra's own thread.
    return library_->play(static_cast<ca_context*>(context_), 0, CA_PROP_EVENT_ID, eventId, nullptr) == CA_SUCCESS;
}

#else

struct CanberraPlayer::Library {};
CanberraPlayer::CanberraPlayer(const char* library) : libraryName_(library) {}
CanberraPlayer::~CanberraPlayer() = default;
bool CanberraPlayer::openContext() { return false; }
bool CanberraPlayer::play(const char*) { return false; }

#endif

}  // namespace velmon::window
