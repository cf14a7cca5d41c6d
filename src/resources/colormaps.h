// The shadows and lights colour maps of the ten pictures. Only the rows the
// bars and letters look up hold data: row 0 (the identity), shadows rows 75,
// 130, 175 and 225 and lights rows 103 and 176, read from res_2.dat.
#ifndef TESSERA_COLORMAPS_H
#define TESSERA_COLORMAPS_H

#include <allegro.h>

#include "directory.h"

// Fills the filed rows of every map from the rows file (ZE_rows_path). Exits
// with a message if the file is missing or shorter than RES_ROWS_SIZE bytes.
void ZE_read_color_maps(void);

extern COLOR_MAP shadows_1, shadows_2, shadows_3, shadows_4, shadows_5, shadows_6, shadows_7,
    shadows_8, shadows_9, shadows_10;
extern COLOR_MAP lights_1, lights_2, lights_3, lights_4, lights_5, lights_6, lights_7, lights_8,
    lights_9, lights_10;

// Shadows map n + 1 and lights map n + 1, in picture order.
extern COLOR_MAP *const ZE_shadow_maps[RES_PICTURES];
extern COLOR_MAP *const ZE_light_maps[RES_PICTURES];

// The maps of picture i: set by ZE_load_resources.
extern COLOR_MAP *_shadows[RES_PICTURES];
extern COLOR_MAP *_lights[RES_PICTURES];

#endif
