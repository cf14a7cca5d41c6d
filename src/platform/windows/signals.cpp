// Ending the run on Ctrl+C, Ctrl+Break or the closing of the console, the
// way Esc ends it. Windows calls the handler on a thread of its own; it
// notes the event as the matching signal number and the loops wind down as
// they do for a signal on other systems. Should the orderly end not come
// within eight seconds, the handler ends the process itself.
#include "platform/signals.h"

#include <csignal>
#include <windows.h>

// The orderly end takes a tenth of a second, half a second more during a
// fade, and leaving a full-screen mode some seconds more (4.3 s under Wine).
static const DWORD WATCHDOG_MS = 8000;

// What the watchdog does before it ends the process.
static void (*tidy_up)(void) = NULL;

static int signal_of(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
        return SIGINT;
    case CTRL_BREAK_EVENT:
        return SIGBREAK;
    case CTRL_CLOSE_EVENT:
        return SIGTERM;
    default:
        return 0;
    }
}

static BOOL WINAPI note_event(DWORD event)
{
    const int sig = signal_of(event);
    if (sig == 0) {
        return FALSE;
    }
    ZE_note_stop_signal(sig);
    // Returning from the close event ends the process at once, and a
    // watchdog must not fire while a second Ctrl+C waits here either: this
    // thread waits, and the orderly end (exit from the main thread) ends it.
    Sleep(WATCHDOG_MS);
    if (tidy_up != NULL) {
        tidy_up();
    }
    TerminateProcess(GetCurrentProcess(), 128 + ZE_stop_signal());
    return TRUE;
}

void ZE_hold_signals(void)
{
    // Nothing to hold: the library sets no console handler of its own, and
    // until ours is in place Ctrl+C ends the process before anything is made.
}

void ZE_catch_signals(void (*tidy)(void))
{
    tidy_up = tidy;
    // A process started with Ctrl+C ignored is never called for it: it stays
    // ignored, as the starter meant.
    SetConsoleCtrlHandler(note_event, TRUE);
}
