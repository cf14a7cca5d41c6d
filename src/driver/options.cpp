// The command line and the [tessera] settings of allegro.cfg.
#include "options.h"

#include <allegro.h>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef TESSERA_VERSION
#define TESSERA_VERSION "unknown"
#endif

static const int EXIT_USAGE = 2;
static const char CONFIG_SECTION[] = "tessera";

ze_options ZE_options;

const char ZE_usage[] =
    "Usage: tessera [OPTION]...\n"
    "A self-running demo: a logo that builds itself from its own pixels, then ten\n"
    "pictures breaking into diamond tiles over scrolling dots, a text scroller and\n"
    "circling letters, to a looping MIDI song.\n"
    "\n"
    "Options:\n"
    "  --fill         full screen at the desktop's own size, the picture enlarged\n"
    "                 by the largest whole factor that fits, centred on black\n"
    "  --window       in an ordinary window, 640x480 unless --scale says otherwise\n"
    "  --scale N      enlarge the picture N times (1 to 16): a 320N x 240N window\n"
    "                 with --window, N instead of the largest with --fill, else a\n"
    "                 320N x 240N full screen\n"
    "  --vsync        wait for the display's refresh from the start of the main part,\n"
    "                 drawing no more frames than the screen shows (keys 1 and 2\n"
    "                 still switch it)\n"
    "  --data DIR     read res.dat and res_2.dat from DIR\n"
    "  --help         show this text and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Without options the demo takes the whole screen, the picture doubled in its\n"
    "middle (a 640x480 mode where the display really switches to one), and draws\n"
    "as fast as it can. The [tessera] section of allegro.cfg gives the same\n"
    "choices (screen = full | fill | window, scale = N, vsync = yes | no); the\n"
    "command line wins. The data files are looked for in DIR, else in the working\n"
    "folder, else in the folder they are installed in.\n"
    "\n"
    "Keys: Esc ends the demo when it is let go (in the intro, Esc or Alt end the\n"
    "intro), 1 turns waiting for the retrace on and 2 off, Space saves every frame\n"
    "shown to capture.pcx while it is held.\n";

static bool parse_screen(const char *text, ze_screen *screen)
{
    static const struct {
        const char *name;
        ze_screen screen;
    } NAMES[] = {{"full", SCREEN_FULL}, {"fill", SCREEN_FILL}, {"window", SCREEN_WINDOW}};
    for (const auto &n : NAMES) {
        if (strcmp(text, n.name) == 0) {
            *screen = n.screen;
            return true;
        }
    }
    return false;
}

static bool parse_scale(const char *text, int *scale)
{
    double n;
    if (!ZE_read_number(text, OPTION_SCALE_MIN, OPTION_SCALE_MAX, true, &n)) {
        return false;
    }
    *scale = static_cast<int>(n);
    return true;
}

static std::string scale_range(void)
{
    return "a whole number from " + std::to_string(OPTION_SCALE_MIN) + " to " +
           std::to_string(OPTION_SCALE_MAX);
}

static bool parse_yes_no(const char *text, bool *value)
{
    static const char *const YES[] = {"yes", "on", "true", "1"};
    static const char *const NO[] = {"no", "off", "false", "0"};
    for (const char *y : YES) {
        if (strcmp(text, y) == 0) {
            *value = true;
            return true;
        }
    }
    for (const char *n : NO) {
        if (strcmp(text, n) == 0) {
            *value = false;
            return true;
        }
    }
    return false;
}

bool ZE_read_number(const char *text, double min, double max, bool whole, double *number)
{
    char *end = NULL;
    errno = 0;
    const double n = whole ? static_cast<double>(strtoull(text, &end, 10)) : strtod(text, &end);
    if (end == text || *end != '\0' || errno != 0 || !std::isfinite(n) || n < min || n > max ||
        (whole && (text[0] < '0' || text[0] > '9'))) {
        return false;
    }
    *number = n;
    return true;
}

// Whether `name` is one of the space-separated words of `words`.
static bool listed(const char *words, const std::string &name)
{
    return name.find(' ') == std::string::npos &&
           (std::string(" ") + words + " ").find(" " + name + " ") != std::string::npos;
}

bool ZE_read_arg(int argc, char **argv, int *i, const char *flags, const char *valued,
                 std::string *name, const char **value, std::string *message)
{
    const char *text = argv[*i];
    name->clear();
    *value = text;
    if (text[0] != '-' || text[1] == '\0') {
        return true;
    }
    // --name=value is taken as --name value.
    const char *equals = strncmp(text, "--", 2) == 0 ? strchr(text, '=') : NULL;
    *name = equals != NULL ? std::string(text, equals) : std::string(text);
    *value = equals != NULL ? equals + 1 : NULL;
    const bool takes_value = listed(valued, *name);
    if (!takes_value && !listed(flags, *name)) {
        *message = std::string("unknown option ") + text;
        return false;
    }
    if (!takes_value && *value != NULL) {
        *message = "option " + *name + " takes no value";
        return false;
    }
    if (takes_value && *value == NULL && *i + 1 < argc) {
        *value = argv[++*i];
    }
    if (takes_value && (*value == NULL || **value == '\0')) {
        *message = "option " + *name + " needs a value";
        return false;
    }
    return true;
}

ze_parse ZE_parse_options(int argc, char **argv, ze_options *o, std::string *message)
{
    for (int i = 1; i < argc; i++) {
        std::string arg;
        const char *value;
        if (!ZE_read_arg(argc, argv, &i, "--help -h --version --fill --window --vsync",
                         "--scale --data", &arg, &value, message)) {
            return PARSE_BAD;
        }
        if (arg.empty()) {
            *message = std::string("unexpected argument ") + value;
            return PARSE_BAD;
        }
        if (arg == "--help" || arg == "-h") {
            return PARSE_HELP;
        } else if (arg == "--version") {
            return PARSE_VERSION;
        } else if (arg == "--fill" || arg == "--window") {
            const ze_screen screen = arg == "--fill" ? SCREEN_FILL : SCREEN_WINDOW;
            if (o->screen_given && o->screen != screen) {
                *message = "--fill and --window exclude each other";
                return PARSE_BAD;
            }
            o->screen = screen;
            o->screen_given = true;
        } else if (arg == "--scale") {
            if (!parse_scale(value, &o->scale)) {
                *message = "--scale takes " + scale_range() + ", not \"" + value + "\"";
                return PARSE_BAD;
            }
            o->scale_given = true;
        } else if (arg == "--vsync") {
            o->vsync = true;
            o->vsync_given = true;
        } else {
            o->data = value;
        }
    }
    return PARSE_RUN;
}

[[noreturn]] static void bad_usage(const std::string &message)
{
    fprintf(stderr, "tessera: %s\n\n%s", message.c_str(), ZE_usage);
    exit(EXIT_USAGE);
}

void ZE_take_options(int argc, char **argv)
{
    std::string message;
    switch (ZE_parse_options(argc, argv, &ZE_options, &message)) {
    case PARSE_HELP:
        fputs(ZE_usage, stdout);
        exit(0);
    case PARSE_VERSION:
        printf("tessera %s\n", TESSERA_VERSION);
        exit(0);
    case PARSE_BAD:
        bad_usage(message);
    case PARSE_RUN:
        break;
    }
}

void ZE_take_config_options(void)
{
    const char *screen = get_config_string(CONFIG_SECTION, "screen", NULL);
    if (screen != NULL && !ZE_options.screen_given && !parse_screen(screen, &ZE_options.screen)) {
        bad_usage(std::string("allegro.cfg: [tessera] screen is full, fill or window, not \"") +
                  screen + "\"");
    }
    const char *scale = get_config_string(CONFIG_SECTION, "scale", NULL);
    if (scale != NULL && !ZE_options.scale_given && !parse_scale(scale, &ZE_options.scale)) {
        bad_usage("allegro.cfg: [tessera] scale is " + scale_range() + ", not \"" + scale + "\"");
    }
    const char *vsync = get_config_string(CONFIG_SECTION, "vsync", NULL);
    if (vsync != NULL && !ZE_options.vsync_given && !parse_yes_no(vsync, &ZE_options.vsync)) {
        bad_usage(std::string("allegro.cfg: [tessera] vsync is yes or no, not \"") + vsync + "\"");
    }
}
