// Ending the run on a request from outside (Ctrl+C and the like) the way Esc
// ends it. The handlers only note the request as a signal number; the
// loading steps and both frame loops look at the note and wind down
// (handlers removed, song stopped), and the process then leaves the screen
// mode and ends. Should that not happen in time, a watchdog ends it at once.
//   Linux: SIGINT, SIGTERM and SIGHUP; the process ends by that signal; the
//     watchdog (SIGALRM) fires after 2 s.
//   Windows: Ctrl+C (SIGINT), Ctrl+Break (SIGBREAK) and the closing of the
//     console (SIGTERM); the exit status is 128 + the number; the watchdog
//     fires after 8 s, leaving a full-screen mode taking seconds there.
//   Browser: a tab sends no signals (closing it ends the program), so the
//     note stays 0 and nothing is caught.
#ifndef TESSERA_SIGNALS_H
#define TESSERA_SIGNALS_H

// Holds the stop signals back until ZE_catch_signals, and notes which of
// them the process was started with ignored (they stay ignored). Called just
// before allegro_init, so that none reaches the library's handlers.
void ZE_hold_signals(void);

// Puts our handlers in place of the library's and lets held signals
// through. Called once, right after allegro_init. From then on a process
// that exits after such a signal shuts the library down and ends as that
// signal asks, however it exits; should the watchdog end it instead, it
// calls `tidy` (async-signal-safe, may be NULL) first.
void ZE_catch_signals(void (*tidy)(void));

// Notes `sig` as the signal that asks the run to end, unless one has been
// noted already; true if this one was. Async-signal-safe, from any thread:
// the systems' handlers call it.
bool ZE_note_stop_signal(int sig);

// The signal that asked the run to end, or 0. Set from any thread.
int ZE_stop_signal(void);

// Ends the process by the signal if one has asked the run to end. Called
// where nothing is running that needs winding down first.
void ZE_end_if_signalled(void);

#endif
