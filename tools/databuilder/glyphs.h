// Characters rendered from a typeface, as coverage in 0..1.
#ifndef TESSERA_DB_GLYPHS_H
#define TESSERA_DB_GLYPHS_H

#include <vector>

typedef void *db_face;

// One rendered character: w x h coverage values whose top-left pixel lies
// `left` right of the pen and `top` above the baseline.
struct db_coverage {
    int w = 0, h = 0, left = 0, top = 0, advance = 0;
    std::vector<float> v;
};

// Opens a typeface of fonts-dejavu-core by file name; fails loudly if not there.
db_face DB_open_face(const char *file);

// Renders `ch` at `pixel_size` pixels per em.
db_coverage DB_render_char(db_face face, int pixel_size, unsigned long ch);

#endif
