// Tile field drawing.
#include "field.h"

void ZE_draw_iso_field(BITMAP *) {}
