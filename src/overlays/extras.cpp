// The edge bars and the logo letters.
#include "extras.h"

logo_record _logo;

void ZE_initialize_letters(void) {}
void ZE_track_logo(void) {}
void ZE_draw_extras(BITMAP *) {}
