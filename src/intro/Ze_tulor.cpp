// The intro.
#include "tulor.h"

tulor_record tulor;
COLOR_MAP tulor_map;
BITMAP *_32x_textures;
PALETTE palette;

void TU_read_source_graphic(const char *) {}
void TU_scatter_cells(void) {}
void TU_animate_cells(void) {}
void TU_draw_frame(BITMAP *) {}
void TU_render_frame(BITMAP *) {}
void TU_intro(void) {}
