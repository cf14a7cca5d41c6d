// The recorder's ties to a POSIX system: Linux, and Node, whose file system
// emscripten's runtime hands through (the data files are linked).
#include "capture/system.h"

#include <csignal>
#include <unistd.h>

static const int END_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGSEGV,
                                  SIGBUS, SIGFPE,  SIGILL, SIGABRT};

void CP_catch_end_signals(void (*handler)(int))
{
    for (int sig : END_SIGNALS) {
        signal(sig, handler);
    }
}

void CP_binary_output(void)
{
    // Lines end in "\n" as written.
}

bool CP_place_data_file(const char *from, const char *to)
{
    return symlink(from, to) == 0;
}
