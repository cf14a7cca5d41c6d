// Allegro's X window as the window manager sees it, and the display's modes.
// Allegro keeps its X state in _xwin, and its background thread reads
// events from the same Display at any time: every call on that Display here
// is made under Allegro's own X lock. RandR (and Present, display.cpp) go
// through a connection of our own, which only the main thread uses.
#include "platform/linux/x11_screen.h"

#include <allegro.h>
#include <xalleg.h>

#include <X11/Xatom.h>
#include <X11/extensions/xf86vmode.h>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <xcb/randr.h>

// Allegro's X lock, exported by the library but declared only in its
// private headers; XLOCK and XUNLOCK expand to the same.
extern "C" void _xwin_lock(BITMAP *bmp);
extern "C" void _xwin_unlock(BITMAP *bmp);

static const char XWAYLAND[] = "XWAYLAND";

// Marks `window` with the process's id and the host it runs on, as EWMH
// asks for the two together.
static void mark_process(Display *display, Window window)
{
    const long pid = getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(&pid), 1);
    char host[HOST_NAME_MAX + 1] = "";
    if (gethostname(host, sizeof host - 1) == 0) {
        char *names[] = {host};
        XTextProperty text;
        if (XStringListToTextProperty(names, 1, &text) != 0) {
            XSetWMClientMachine(display, window, &text);
            XFree(text.value);
        }
    }
}

void ZE_x11_prepare_window(bool full)
{
    _xwin_lock(NULL);
    Display *display = _xwin.display;
    const Window window = _xwin.wm_window;
    if (display != NULL && window != None) {
        mark_process(display, window);
        const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
        if (full) {
            const Atom fullscreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
            XChangeProperty(display, window, state, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char *>(&fullscreen), 1);
        } else {
            XDeleteProperty(display, window, state);
        }
    }
    _xwin_unlock(NULL);
}

void ZE_x11_mark_full_screen_window(void)
{
    _xwin_lock(NULL);
    if (_xwin.display != NULL && _xwin.fs_window != None) {
        mark_process(_xwin.display, _xwin.fs_window);
    }
    _xwin_unlock(NULL);
}

bool ZE_x11_mode_listed(int w, int h)
{
    bool listed = false;
    _xwin_lock(NULL);
    int events, errors, count = 0;
    XF86VidModeModeInfo **modes = NULL;
    if (_xwin.display != NULL && XF86VidModeQueryExtension(_xwin.display, &events, &errors) &&
        XF86VidModeGetAllModeLines(_xwin.display, _xwin.screen, &count, &modes)) {
        for (int i = 0; i < count; i++) {
            listed = listed || (modes[i]->hdisplay == w && modes[i]->vdisplay == h);
            if (modes[i]->privsize > 0) {
                XFree(modes[i]->c_private);
            }
        }
        XFree(modes);
    }
    _xwin_unlock(NULL);
    return listed;
}

bool ZE_x11_mode_shown(int w, int h)
{
    bool shown = false;
    _xwin_lock(NULL);
    int events, errors, dot_clock;
    XF86VidModeModeLine line;
    if (_xwin.display != NULL && XF86VidModeQueryExtension(_xwin.display, &events, &errors) &&
        XF86VidModeGetModeLine(_xwin.display, _xwin.screen, &dot_clock, &line)) {
        shown = line.hdisplay == w && line.vdisplay == h;
        if (line.privsize > 0) {
            XFree(line.c_private);
        }
    }
    _xwin_unlock(NULL);
    return shown;
}

static xcb_connection_t *connection = NULL;
static xcb_window_t root = XCB_NONE;
static bool have_randr = false;

xcb_connection_t *ZE_x11_connection(void)
{
    static bool tried = false;
    if (tried) {
        return connection;
    }
    tried = true;
    _xwin_lock(NULL);
    const char *name = _xwin.display != NULL ? DisplayString(_xwin.display) : NULL;
    _xwin_unlock(NULL);
    int screen = 0;
    connection = xcb_connect(name, &screen);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        connection = NULL;
        return NULL;
    }
    xcb_screen_iterator_t s = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && s.rem > 0; i++) {
        xcb_screen_next(&s);
    }
    root = s.rem > 0 ? s.data->root : XCB_NONE;
    // Outputs and their modes as they are now need RandR 1.3.
    const xcb_query_extension_reply_t *randr = xcb_get_extension_data(connection, &xcb_randr_id);
    if (randr != NULL && randr->present) {
        xcb_randr_query_version_reply_t *version = xcb_randr_query_version_reply(
            connection, xcb_randr_query_version(connection, 1, 3), NULL);
        have_randr = version != NULL && (version->major_version > 1 || version->minor_version >= 3);
        free(version);
    }
    return connection;
}

xcb_window_t ZE_x11_drawing_window(void)
{
    _xwin_lock(NULL);
    const xcb_window_t window = _xwin.window;
    _xwin_unlock(NULL);
    return window;
}

// The outputs and modes as they are now; NULL without RandR. Free it.
static xcb_randr_get_screen_resources_current_reply_t *screen_resources(void)
{
    if (ZE_x11_connection() == NULL || !have_randr || root == XCB_NONE) {
        return NULL;
    }
    return xcb_randr_get_screen_resources_current_reply(
        connection, xcb_randr_get_screen_resources_current(connection, root), NULL);
}

static xcb_randr_get_output_info_reply_t *output_info(xcb_randr_output_t output,
                                                      xcb_timestamp_t when)
{
    return xcb_randr_get_output_info_reply(
        connection, xcb_randr_get_output_info(connection, output, when), NULL);
}

bool ZE_x11_is_xwayland(void)
{
    if (ZE_x11_connection() == NULL) {
        return false;
    }
    xcb_query_extension_reply_t *extension = xcb_query_extension_reply(
        connection, xcb_query_extension(connection, strlen(XWAYLAND), XWAYLAND), NULL);
    bool xwayland = extension != NULL && extension->present;
    free(extension);
    xcb_randr_get_screen_resources_current_reply_t *resources = screen_resources();
    if (resources != NULL) {
        const xcb_randr_output_t *outputs =
            xcb_randr_get_screen_resources_current_outputs(resources);
        const int count = xcb_randr_get_screen_resources_current_outputs_length(resources);
        for (int i = 0; i < count && !xwayland; i++) {
            xcb_randr_get_output_info_reply_t *info =
                output_info(outputs[i], resources->config_timestamp);
            if (info != NULL) {
                const int length = xcb_randr_get_output_info_name_length(info);
                xwayland =
                    length >= static_cast<int>(strlen(XWAYLAND)) &&
                    memcmp(xcb_randr_get_output_info_name(info), XWAYLAND, strlen(XWAYLAND)) == 0;
                free(info);
            }
        }
        free(resources);
    }
    return xwayland;
}

// The refresh rate of the mode `id`, in Hz; 0 if it is not among `resources`.
static double mode_rate(const xcb_randr_get_screen_resources_current_reply_t *resources,
                        xcb_randr_mode_t id)
{
    xcb_randr_mode_info_iterator_t m =
        xcb_randr_get_screen_resources_current_modes_iterator(resources);
    for (; m.rem > 0; xcb_randr_mode_info_next(&m)) {
        const xcb_randr_mode_info_t *mode = m.data;
        if (mode->id != id || mode->htotal == 0 || mode->vtotal == 0) {
            continue;
        }
        double lines = mode->vtotal;
        if (mode->mode_flags & XCB_RANDR_MODE_FLAG_DOUBLE_SCAN) {
            lines *= 2;
        }
        if (mode->mode_flags & XCB_RANDR_MODE_FLAG_INTERLACE) {
            lines /= 2;
        }
        return mode->dot_clock / (mode->htotal * lines);
    }
    return 0;
}

// The refresh rate of the CRTC that shows `output`, in Hz; 0 if none does.
static double output_rate(const xcb_randr_get_screen_resources_current_reply_t *resources,
                          xcb_randr_output_t output)
{
    double rate = 0;
    xcb_randr_get_output_info_reply_t *info = output_info(output, resources->config_timestamp);
    if (info != NULL && info->crtc != XCB_NONE) {
        xcb_randr_get_crtc_info_reply_t *crtc = xcb_randr_get_crtc_info_reply(
            connection,
            xcb_randr_get_crtc_info(connection, info->crtc, resources->config_timestamp), NULL);
        if (crtc != NULL && crtc->mode != XCB_NONE) {
            rate = mode_rate(resources, crtc->mode);
        }
        free(crtc);
    }
    free(info);
    return rate;
}

double ZE_x11_refresh_rate(void)
{
    xcb_randr_get_screen_resources_current_reply_t *resources = screen_resources();
    if (resources == NULL) {
        return 0;
    }
    double rate = 0;
    xcb_randr_get_output_primary_reply_t *primary = xcb_randr_get_output_primary_reply(
        connection, xcb_randr_get_output_primary(connection, root), NULL);
    if (primary != NULL && primary->output != XCB_NONE) {
        rate = output_rate(resources, primary->output);
    }
    free(primary);
    const xcb_randr_output_t *outputs = xcb_randr_get_screen_resources_current_outputs(resources);
    const int count = xcb_randr_get_screen_resources_current_outputs_length(resources);
    for (int i = 0; i < count && rate == 0; i++) {
        rate = output_rate(resources, outputs[i]);
    }
    free(resources);
    return rate;
}
