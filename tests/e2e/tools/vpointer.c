/* vpointer: a pointer device made through a wlroots compositor's virtual
 * pointer interface, for the Wayland end-to-end runs. The compositor treats
 * its events as those of a mouse: it moves its own cursor, runs its own
 * window moves and delivers presses to the window under the cursor, whether
 * a native client or one through XWayland.
 *
 *   vpointer WIDTH HEIGHT COMMAND…
 *     move X Y   the pointer to X Y of a WIDTH x HEIGHT output layout
 *     down, up   the left button
 *     wait MS    a pause (the device lives until the last command is done)
 *
 * The protocol is small enough that its two interfaces are declared here
 * rather than generated; their requests are listed in protocol order. */
#define _POSIX_C_SOURCE 200809L
#include <wayland-client.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { kButtonLeft = 0x110 }; /* BTN_LEFT */

static const struct wl_interface virtual_pointer_interface;

static const struct wl_interface* create_types[] = {&wl_seat_interface, &virtual_pointer_interface};
static const struct wl_interface* none[8] = {NULL};

static const struct wl_message manager_requests[] = {
    {"create_virtual_pointer", "?on", create_types},
    {"destroy", "", none},
};
static const struct wl_interface manager_interface = {
    "zwlr_virtual_pointer_manager_v1", 1, 2, manager_requests, 0, NULL,
};

enum { kMotionAbsolute = 1, kButton = 2, kFrame = 4, kDestroy = 8 };
static const struct wl_message pointer_requests[] = {
    {"motion", "uff", none},
    {"motion_absolute", "uuuuu", none},
    {"button", "uuu", none},
    {"axis", "uuf", none},
    {"frame", "", none},
    {"axis_source", "u", none},
    {"axis_stop", "uu", none},
    {"axis_discrete", "uufi", none},
    {"destroy", "", none},
};
static const struct wl_interface virtual_pointer_interface = {
    "zwlr_virtual_pointer_v1", 1, 9, pointer_requests, 0, NULL,
};

struct globals {
    struct wl_seat* seat;
    struct wl_proxy* manager;
};

static void global_added(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version) {
    struct globals* g = data;
    (void)version;
    if (strcmp(interface, wl_seat_interface.name) == 0 && !g->seat)
        g->seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (strcmp(interface, manager_interface.name) == 0)
        g->manager = wl_registry_bind(registry, name, &manager_interface, 1);
}
static void global_removed(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data, (void)registry, (void)name;
}
static const struct wl_registry_listener registry_listener = {global_added, global_removed};

static uint32_t now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint32_t)(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

static void pause_ms(long ms) {
    struct timespec ts = {ms / 1000, (ms % 1000) * 1000000};
    nanosleep(&ts, NULL);
}

static int number(const char* text, long* out) {
    char* end = NULL;
    *out = strtol(text, &end, 10);
    return end != text && *end == '\0' && *out >= 0;
}

int main(int argc, char** argv) {
    long width = 0, height = 0;
    if (argc < 3 || !number(argv[1], &width) || !number(argv[2], &height) || width == 0 || height == 0) {
        fprintf(stderr, "usage: vpointer WIDTH HEIGHT [move X Y | down | up | wait MS]...\n");
        return 2;
    }
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "vpointer: no Wayland display\n");
        return 1;
    }
    struct globals g = {NULL, NULL};
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, &g);
    wl_display_roundtrip(display);
    if (!g.manager) {
        fprintf(stderr, "vpointer: the compositor offers no %s\n", manager_interface.name);
        return 1;
    }
    struct wl_proxy* pointer = wl_proxy_marshal_constructor(g.manager, 0, &virtual_pointer_interface, g.seat, NULL);
    wl_display_roundtrip(display);

    int status = 0;
    for (int i = 3; i < argc && status == 0; ++i) {
        long x = 0, y = 0, ms = 0;
        if (strcmp(argv[i], "move") == 0 && i + 2 < argc && number(argv[i + 1], &x) && number(argv[i + 2], &y)) {
            wl_proxy_marshal(pointer, kMotionAbsolute, now_ms(), (uint32_t)x, (uint32_t)y, (uint32_t)width,
                             (uint32_t)height);
            wl_proxy_marshal(pointer, kFrame);
            i += 2;
        } else if (strcmp(argv[i], "down") == 0 || strcmp(argv[i], "up") == 0) {
            const uint32_t state = argv[i][0] == 'd' ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED;
            wl_proxy_marshal(pointer, kButton, now_ms(), (uint32_t)kButtonLeft, state);
            wl_proxy_marshal(pointer, kFrame);
        } else if (strcmp(argv[i], "wait") == 0 && i + 1 < argc && number(argv[i + 1], &ms)) {
            pause_ms(ms);
            ++i;
        } else {
            fprintf(stderr, "vpointer: cannot read the command at '%s'\n", argv[i]);
            status = 2;
        }
        if (wl_display_roundtrip(display) < 0) {
            fprintf(stderr, "vpointer: the compositor closed the connection\n");
            status = 1;
        }
    }
    wl_proxy_marshal(pointer, kDestroy);
    wl_proxy_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return status;
}
