// Ending the run on SIGINT, SIGTERM or SIGHUP the way Esc ends it. The
// handlers only note the signal; the loading steps and both frame loops look
// at the note and wind down (handlers removed, song stopped), and the process
// then leaves the screen mode and ends by that same signal. Should that not
// happen within two seconds, a watchdog (SIGALRM) ends it by the signal at once.
#ifndef TESSERA_SIGNALS_H
#define TESSERA_SIGNALS_H

// Holds SIGINT, SIGTERM and SIGHUP back until ZE_catch_signals, and notes
// which of them the process was started with ignored (they stay ignored).
// Called just before allegro_init, so that none reaches the library's handlers.
void ZE_hold_signals(void);

// Puts our handlers in place of the library's for SIGINT, SIGTERM and SIGHUP
// and lets held signals through. Called once, right after allegro_init. From
// then on a process that exits after such a signal shuts the library down
// and ends by that signal, however it exits; should the watchdog end it
// instead, it calls `tidy` (async-signal-safe, may be NULL) first.
void ZE_catch_signals(void (*tidy)(void));

// The signal that asked the run to end, or 0. Set from any thread.
int ZE_stop_signal(void);

// Ends the process by the signal if one has asked the run to end. Called
// where nothing is running that needs winding down first.
void ZE_end_if_signalled(void);

#endif
