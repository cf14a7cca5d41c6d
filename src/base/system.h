// Services every level of the program uses: the one way out for faults the
// demo cannot run with, and the seeding of the demo's generator.
#ifndef TESSERA_SYSTEM_H
#define TESSERA_SYSTEM_H

// Leaves the graphics mode if one is set, prints "tessera: <message>" on
// standard error and exits with status 1. For faults the demo cannot run with.
[[noreturn]] void ZE_fatal(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Seeds the demo's generator (random.h) from the clock, or from ZE_fixed_seed
// when a recording run has set ZE_use_fixed_seed, so that its sequence repeats.
void ZE_seed_random(void);
extern bool ZE_use_fixed_seed;
extern unsigned ZE_fixed_seed;

#endif
