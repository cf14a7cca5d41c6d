// A browser tab sends no signals: closing it simply ends the program.
#include "platform/signals.h"

void ZE_hold_signals(void) {}

void ZE_catch_signals(void (*)(void)) {}
