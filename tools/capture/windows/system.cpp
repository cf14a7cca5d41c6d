// The recorder's ties to Windows: the C runtime's signals (Ctrl+C is SIGINT,
// Ctrl+Break SIGBREAK), standard output in text mode unless told otherwise,
// and symbolic links that need a privilege (and that Wine does not keep
// reliably), so the data files are copied.
#include "capture/system.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

static const int END_SIGNALS[] = {SIGINT, SIGTERM, SIGBREAK, SIGSEGV, SIGFPE, SIGILL, SIGABRT};

void CP_catch_end_signals(void (*handler)(int))
{
    for (int sig : END_SIGNALS) {
        signal(sig, handler);
    }
}

void CP_binary_output(void)
{
    _setmode(_fileno(stdout), _O_BINARY);
}

bool CP_place_data_file(const char *from, const char *to)
{
    return CopyFileA(from, to, TRUE);
}
