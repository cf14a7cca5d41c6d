// The intro.
#include "tulor.h"

PALETTE palette;

void TU_intro(void) {}
