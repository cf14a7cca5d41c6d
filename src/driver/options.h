// The command line of the demo and its [tessera] settings in allegro.cfg:
// which screen, how large, whether to wait for the retrace, where the data
// lies. Without any, the demo runs as it always has.
#ifndef TESSERA_OPTIONS_H
#define TESSERA_OPTIONS_H

#include <string>

enum ze_screen {
    SCREEN_FULL,   // full screen, the picture doubled: 640 x 480 where the display switches to it
    SCREEN_FILL,   // full screen at the desktop's size, the largest whole enlargement
    SCREEN_WINDOW, // an ordinary window of 320 x 240 times the scale
};

struct ze_options {
    ze_screen screen = SCREEN_FULL;
    int scale = 0;           // 0: the screen's own choice (x2, or the largest that fits)
    bool vsync = false;      // wait for the retrace from the main part's first frame
    const char *data = NULL; // the folder of the data files, or NULL to look for it
    // Which of the above the command line gave; allegro.cfg fills the others.
    bool screen_given = false, scale_given = false, vsync_given = false;
};

enum ze_parse { PARSE_RUN, PARSE_HELP, PARSE_VERSION, PARSE_BAD };

// Reads argv[*i] by the rules of both programs and moves *i past a value it
// takes from the next argument. An argument of two characters or more that
// starts with "-" is an option, *name: one of the words of `flags`, which take
// no value, or of `valued`, whose *value follows as the next argument or after
// "=" ("--scale 3", "--scale=3") and is never empty. Anything else is an
// operand: *name empty, *value the argument. False, with a one-line *message,
// for an unknown option, a missing or empty value, or a value given to an
// option that takes none.
bool ZE_read_arg(int argc, char **argv, int *i, const char *flags, const char *valued,
                 std::string *name, const char **value, std::string *message);

// Reads the whole of `text` as a number from `min` to `max` into *number:
// decimal digits alone when `whole`, else any finite number strtod reads.
bool ZE_read_number(const char *text, double min, double max, bool whole, double *number);

// The scales a window or a filled screen may take.
constexpr int OPTION_SCALE_MIN = 1;
constexpr int OPTION_SCALE_MAX = 16;

// Reads the arguments into *o. A wrong one gives PARSE_BAD and a line in
// *message; --help and --version give their own results. Touches nothing else.
ze_parse ZE_parse_options(int argc, char **argv, ze_options *o, std::string *message);

// Reads the arguments; prints the usage or the version and exits 0, or a
// wrong one and the usage on standard error and exits 2. Before anything
// opens a window.
void ZE_take_options(int argc, char **argv);

// Fills what the command line left open from allegro.cfg's [tessera]
// section (screen = full | fill | window, scale, vsync); a wrong value exits
// 2 as on the command line. Called after allegro_init, before the screen opens.
void ZE_take_config_options(void);

// The usage text of --help.
extern const char ZE_usage[];

// The choices in force, the command line's and the configuration's.
extern ze_options ZE_options;

#endif
