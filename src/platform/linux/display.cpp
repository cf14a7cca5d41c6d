// The X display: the screen opened on it, the pacing of frames by its
// refresh, and the end of a run that loses it. Xlib's own answer to a lost
// connection is to print its complaint and call exit, whose handlers include
// the library's shutdown; that waits for the connection's lock, held by the
// thread that found the connection gone, and the process hangs for ever.
// Here the run ends at once instead: there is no screen left to restore.
#include "platform/display.h"

#include <X11/Xlib.h>
#include <allegro.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <poll.h>
#include <unistd.h>
#include <xcb/present.h>

#include "platform/linux/x11_screen.h"

// Set before the handler is installed; read on whichever thread meets the loss.
static std::atomic<void (*)(void)> tidy_at_loss{nullptr};

void ZE_no_display(void)
{
    // Allegro leaves its reason empty here; the viewer is told which display it was.
    const char *display = getenv("DISPLAY");
    if (display == NULL || display[0] == '\0') {
        fputs("tessera: cannot open the X display: DISPLAY is not set\n", stderr);
    } else {
        fprintf(stderr, "tessera: cannot open the X display \"%s\"%s%s\n", display,
                allegro_error[0] != '\0' ? ": " : "", allegro_error);
    }
    exit(1);
}

// May run on any thread that talks to the server; only async-signal-safe
// calls, since another thread may hold any lock.
static int lost_display(Display *)
{
    static const char MESSAGE[] = "tessera: lost the connection to the X display\n";
    if (write(STDERR_FILENO, MESSAGE, sizeof MESSAGE - 1) < 0) {
        // Nothing more can be said.
    }
    void (*tidy)(void) = tidy_at_loss.load();
    if (tidy != nullptr) {
        tidy();
    }
    _exit(1);
}

void ZE_watch_display(void (*tidy)(void))
{
    tidy_at_loss = tidy;
    XSetIOErrorHandler(lost_display);
    // A server that went away mid-write would otherwise end the run by
    // SIGPIPE, silently and with the temporary file left behind; ignored, the
    // write fails and the handler above ends the run as it should.
    signal(SIGPIPE, SIG_IGN);
}

// What is drawn on the X screen is shown at once, and the timer handlers run
// on a thread of their own: there is nothing to do.
void ZE_frame_shown(void) {}

// A full screen that the display really switches to w x h for: not on
// Xwayland, which only pretends (its modes stay as they were, the picture is
// stretched and no key reaches the unmanaged window), and only where a mode of
// exactly that size exists and is not already shown.
static bool switches_to(int w, int h)
{
    return !ZE_x11_is_xwayland() && ZE_x11_mode_listed(w, h) && !ZE_x11_mode_shown(w, h);
}

int ZE_set_screen(int card, int w, int h)
{
    if (card == GFX_AUTODETECT_WINDOWED) {
        ZE_x11_prepare_window(false);
        return set_gfx_mode(card, w, h, 0, 0);
    }
    if (card == GFX_AUTODETECT && switches_to(w, h)) {
        // Allegro's own full screen: an unmanaged window over the display,
        // the keyboard grabbed, the mode switched. Kept only if the display
        // then really shows w x h.
        if (set_gfx_mode(GFX_AUTODETECT_FULLSCREEN, w, h, 0, 0) == 0) {
            if (ZE_x11_mode_shown(w, h)) {
                ZE_x11_mark_full_screen_window();
                return 0;
            }
            set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        }
    }
    int desktop_w, desktop_h;
    if (get_desktop_resolution(&desktop_w, &desktop_h) != 0) {
        desktop_w = desktop_h = 0;
    }
    if (w > desktop_w || h > desktop_h) {
        uszprintf(allegro_error, ALLEGRO_ERROR_SIZE, "the desktop is only %dx%d", desktop_w,
                  desktop_h);
        return -1;
    }
    ZE_x11_prepare_window(true);
    return set_gfx_mode(GFX_AUTODETECT_WINDOWED, desktop_w, desktop_h, 0, 0);
}

// How a frame waits for the refresh: the Present extension's notice of it,
// or a clock at the refresh rate where the server has no Present. Each wait
// is for the refresh after the one the last wait ended on; a frame that took
// longer than a refresh goes on at once rather than lose another, so that a
// busy machine still shows a frame at every refresh it can.
enum pacing { PACE_UNKNOWN, PACE_PRESENT, PACE_CLOCK };
static pacing pace = PACE_UNKNOWN;

// A notice that has not come after this long (a hidden window has no
// refresh) lets the frame go on all the same.
static const int PRESENT_TIMEOUT_MS = 100;
static const double DEFAULT_REFRESH_HZ = 60;
static const double LOWEST_REFRESH_HZ = 20, HIGHEST_REFRESH_HZ = 500;

static xcb_window_t present_window;
static uint8_t present_opcode;
static uint32_t present_serial;
static uint64_t last_msc = 0; // the refresh count the last wait ended on; 0: none yet

// Asks for the Present extension's notices of the drawing window's refresh.
static bool start_present(void)
{
    xcb_connection_t *c = ZE_x11_connection();
    if (c == NULL) {
        return false;
    }
    const xcb_query_extension_reply_t *present = xcb_get_extension_data(c, &xcb_present_id);
    present_window = ZE_x11_drawing_window();
    if (present == NULL || !present->present || present_window == XCB_NONE) {
        return false;
    }
    present_opcode = present->major_opcode;
    free(xcb_present_query_version_reply(c, xcb_present_query_version(c, 1, 0), NULL));
    xcb_generic_error_t *error = xcb_request_check(
        c, xcb_present_select_input_checked(c, xcb_generate_id(c), present_window,
                                            XCB_PRESENT_EVENT_MASK_COMPLETE_NOTIFY));
    free(error);
    return error == NULL;
}

// The notice of refresh `serial` asked for, or NULL if `event` is another.
static const xcb_present_complete_notify_event_t *notice(const xcb_generic_event_t *event,
                                                         uint32_t serial)
{
    const auto *n = reinterpret_cast<const xcb_present_complete_notify_event_t *>(event);
    if ((event->response_type & 0x7f) == XCB_GE_GENERIC && n->extension == present_opcode &&
        n->event_type == XCB_PRESENT_COMPLETE_NOTIFY &&
        n->kind == XCB_PRESENT_COMPLETE_KIND_NOTIFY_MSC && n->serial == serial) {
        return n;
    }
    return NULL;
}

static int64_t now_ns(void)
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * INT64_C(1000000000) + t.tv_nsec;
}

// Waits for the notice of the refresh after the last one; false if the
// connection failed.
static bool wait_present(void)
{
    xcb_connection_t *c = ZE_x11_connection();
    const uint32_t serial = ++present_serial;
    if (last_msc == 0) {
        xcb_present_notify_msc(c, present_window, serial, 0, 1, 0); // the next refresh
    } else {
        xcb_present_notify_msc(c, present_window, serial, last_msc + 1, 0, 0);
    }
    xcb_flush(c);
    const int64_t deadline = now_ns() + PRESENT_TIMEOUT_MS * INT64_C(1000000);
    for (;;) {
        xcb_generic_event_t *event;
        while ((event = xcb_poll_for_event(c)) != NULL) {
            const xcb_present_complete_notify_event_t *n = notice(event, serial);
            if (n != NULL) {
                last_msc = n->msc;
            }
            free(event);
            if (n != NULL) {
                return true;
            }
        }
        if (xcb_connection_has_error(c)) {
            return false;
        }
        const int64_t left = deadline - now_ns();
        if (left <= 0) {
            last_msc = 0;
            return true;
        }
        pollfd readable = {xcb_get_file_descriptor(c), POLLIN, 0};
        if (poll(&readable, 1, static_cast<int>((left + 999999) / 1000000)) < 0 && errno != EINTR) {
            return false;
        }
    }
}

// Sleeps until the tick after the last one of a clock at the refresh rate.
static void wait_clock(void)
{
    static int64_t start = 0, period = 0, last_tick = -1;
    if (period == 0) {
        double hz = ZE_x11_refresh_rate();
        if (!(hz >= LOWEST_REFRESH_HZ && hz <= HIGHEST_REFRESH_HZ)) {
            hz = DEFAULT_REFRESH_HZ;
        }
        period = static_cast<int64_t>(1e9 / hz);
        start = now_ns();
    }
    const int64_t now_tick = (now_ns() - start) / period;
    if (last_tick >= 0 && last_tick + 1 <= now_tick) {
        last_tick = now_tick;
        return;
    }
    last_tick = now_tick + 1;
    const int64_t next = start + last_tick * period;
    const timespec until = {static_cast<time_t>(next / 1000000000),
                            static_cast<long>(next % 1000000000)};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, NULL);
}

void ZE_wait_refresh(void)
{
    if (pace == PACE_UNKNOWN) {
        pace = start_present() ? PACE_PRESENT : PACE_CLOCK;
    }
    if (pace == PACE_PRESENT && !wait_present()) {
        pace = PACE_CLOCK;
    }
    if (pace == PACE_CLOCK) {
        wait_clock();
    }
}
