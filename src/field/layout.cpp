// Tile field layout and motion.
#include "field.h"

cels_record cels;

void ZE_assign_iso_field(int) {}
void ZE_step_wave(void) {}
void ZE_move_cels(void) {}
