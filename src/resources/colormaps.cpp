// The colour maps of the ten pictures and the file that fills their rows.
#include "colormaps.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "paths.h"
#include "platform/files.h"
#include "base/system.h"

COLOR_MAP shadows_1, shadows_2, shadows_3, shadows_4, shadows_5, shadows_6, shadows_7, shadows_8,
    shadows_9, shadows_10;
COLOR_MAP lights_1, lights_2, lights_3, lights_4, lights_5, lights_6, lights_7, lights_8, lights_9,
    lights_10;

COLOR_MAP *_shadows[RES_PICTURES];
COLOR_MAP *_lights[RES_PICTURES];

COLOR_MAP *const ZE_shadow_maps[RES_PICTURES] = {&shadows_1, &shadows_2, &shadows_3, &shadows_4,
                                                 &shadows_5, &shadows_6, &shadows_7, &shadows_8,
                                                 &shadows_9, &shadows_10};
COLOR_MAP *const ZE_light_maps[RES_PICTURES] = {&lights_1, &lights_2, &lights_3, &lights_4,
                                                &lights_5, &lights_6, &lights_7, &lights_8,
                                                &lights_9, &lights_10};

void ZE_read_color_maps(void)
{
    const char *why = NULL;
    FILE *rows = ZE_open_data_file(ZE_rows_path(), &why);
    if (rows == NULL) {
        ZE_fatal("%s: cannot open the colour-map rows (%s)", ZE_rows_path(), why);
    }
    // Group j holds entry j of all sixty rows: per picture, the two lights
    // rows and then the four shadows rows.
    for (int j = 0; j < PAL_SIZE; j++) {
        for (int n = 0; n < RES_PICTURES; n++) {
            int block[ROWS_BLOCK];
            for (int k = 0; k < ROWS_BLOCK; k++) {
                block[k] = fgetc(rows);
                if (block[k] == EOF) {
                    fclose(rows);
                    ZE_fatal("%s: shorter than %d bytes", ZE_rows_path(), (int)RES_ROWS_SIZE);
                }
            }
            ZE_light_maps[n]->data[LIGHT_ROW_BODY][j] = static_cast<unsigned char>(block[0]);
            ZE_light_maps[n]->data[LIGHT_ROW_EDGE][j] = static_cast<unsigned char>(block[1]);
            for (int s = 0; s < 4; s++) {
                ZE_shadow_maps[n]->data[SHADOW_ROWS[s]][j] =
                    static_cast<unsigned char>(block[2 + s]);
            }
        }
    }
    fclose(rows);
}
