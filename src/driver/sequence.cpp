// The picture sequence and the flash.
#include "sequence.h"

PALETTE tinted;

void ZE_track_transition(void) {}
void ZE_modify_palette(void) {}
void ZE_tint_palette(const RGB *, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}
void ZE_status_log_i(const char *, int32_t) {}
