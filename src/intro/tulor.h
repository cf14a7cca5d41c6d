// The intro: the logo assembles from its own pixels, which rain in from above
// and below, while a band of textured light drifts across it.
#ifndef TESSERA_TULOR_H
#define TESSERA_TULOR_H

#include <allegro.h>

// Runs the whole intro and returns once it has faded out.
void TU_intro(void);

// The intro palette: the logo picture's own.
extern PALETTE palette;

#endif
