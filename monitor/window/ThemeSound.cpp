#include "ThemeSound.h"

#ifdef VELMON_HAVE_CANBERRA
#include <canberra.h>
#endif

namespace velmon::window {

#ifdef VELMON_HAVE_CANBERRA

CanberraPlayer::CanberraPlayer() {
    ca_context* context = nullptr;
    if (ca_context_create(&context) != CA_SUCCESS) return;
    ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Velmon", CA_PROP_APPLICATION_ID, "velmon",
                            CA_PROP_APPLICATION_ICON_NAME, "velmon", nullptr);
    if (ca_context_open(context) != CA_SUCCESS) {
        ca_context_destroy(context);
        return;
    }
    context_ = context;
}

CanberraPlayer::~CanberraPlayer() {
    if (context_) ca_context_destroy(static_cast<ca_context*>(context_));
}

bool CanberraPlayer::play(const char* eventId) {
    if (!context_) return false;
    // Asynchronous: playback runs in libcanberra's own thread.
    return ca_context_play(static_cast<ca_context*>(context_), 0, CA_PROP_EVENT_ID, eventId, nullptr) ==
           CA_SUCCESS;
}

#else

CanberraPlayer::CanberraPlayer() = default;
CanberraPlayer::~CanberraPlayer() = default;
bool CanberraPlayer::play(const char*) { return false; }

#endif

}  // namespace velmon::window
