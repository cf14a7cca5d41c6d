// Ending the run on a signal. Allegro's own handlers for SIGINT and SIGTERM
// shut the library down from inside the handler, where it can deadlock on
// the X connection's lock or abort; ours do nothing but note the signal,
// which may land on any thread (the synthesizer's audio threads among them).
#include "platform/signals.h"

#include <allegro.h>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <unistd.h>

static const int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
static const int STOP_SIGNAL_COUNT = sizeof STOP_SIGNALS / sizeof STOP_SIGNALS[0];

// The orderly end takes a tenth of a second, half a second more during a
// fade. Should it not come within this time (the library stuck in its
// shutdown after the X server went away, say), the process ends by the
// signal at once.
static const unsigned WATCHDOG_SECONDS = 2;

// A signal the process was started with ignored (under nohup, SIGHUP; in a
// shell's background job, SIGINT) stays ignored, as the starter meant.
static bool started_ignored[STOP_SIGNAL_COUNT];

static void note_signal(int sig)
{
    if (ZE_note_stop_signal(sig)) {
        alarm(WATCHDOG_SECONDS);
    }
}

// Ends the process by the noted signal with its default action, from any
// thread; async-signal-safe.
static void raise_noted_signal(void)
{
    const int sig = ZE_stop_signal();
    signal(sig, SIG_DFL);
    sigset_t just;
    sigemptyset(&just);
    sigaddset(&just, sig);
    pthread_sigmask(SIG_UNBLOCK, &just, NULL);
    raise(sig);
}

// What the watchdog's way out, which skips the exit handlers, tidies first.
static std::atomic<void (*)(void)> tidy_at_watchdog{nullptr};

static void watchdog(int)
{
    void (*tidy)(void) = tidy_at_watchdog.load();
    if (tidy != nullptr) {
        tidy();
    }
    raise_noted_signal();
}

static sigset_t stop_set(void)
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : STOP_SIGNALS) {
        sigaddset(&set, sig);
    }
    return set;
}

// An exit handler. exit runs the handlers registered after it first (the
// temporary file's removal); the library's own, registered before it, would
// run only afterwards, so it shuts the library down itself: the screen mode,
// the timers and the sound are gone before the process ends by the signal.
static void end_by_signal(void)
{
    const int sig = ZE_stop_signal();
    if (sig == 0) {
        return;
    }
    allegro_exit();
    fflush(NULL);
    raise_noted_signal();
    // Should the signal not end the process, exit goes on with its status.
}

void ZE_hold_signals(void)
{
    const sigset_t set = stop_set();
    pthread_sigmask(SIG_BLOCK, &set, NULL);
    for (int i = 0; i < STOP_SIGNAL_COUNT; i++) {
        struct sigaction was;
        started_ignored[i] =
            sigaction(STOP_SIGNALS[i], NULL, &was) == 0 && was.sa_handler == SIG_IGN;
    }
}

void ZE_catch_signals(void (*tidy)(void))
{
    tidy_at_watchdog.store(tidy);
    struct sigaction action = {};
    action.sa_handler = note_signal;
    action.sa_mask = stop_set();
    // Calls under way go on: the loops look at the note often enough.
    action.sa_flags = SA_RESTART;
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    for (int i = 0; i < STOP_SIGNAL_COUNT; i++) {
        sigaction(STOP_SIGNALS[i], started_ignored[i] ? &ignore : &action, NULL);
    }
    struct sigaction alarm_action = {};
    alarm_action.sa_handler = watchdog;
    sigaction(SIGALRM, &alarm_action, NULL);
    atexit(end_by_signal);
    const sigset_t set = stop_set();
    pthread_sigmask(SIG_UNBLOCK, &set, NULL);
}
