// The way out for faults, and seeding.
#include "system.h"

#include <allegro.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "random.h"

static unsigned run_seed;

void ZE_keep_seed(unsigned seed)
{
    run_seed = seed;
}

void ZE_seed_random(void)
{
    ZE_srand(run_seed);
}

void ZE_fatal(const char *format, ...)
{
    // A message printed under a full-screen window would not be seen.
    if (screen != NULL) {
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    }
    va_list args;
    va_start(args, format);
    fputs("tessera: ", stderr);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
    va_end(args);
    exit(1);
}
