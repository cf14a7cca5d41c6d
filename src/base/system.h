// Services every level of the program uses: the one way out for faults the
// demo cannot run with, and the seed of the run.
#ifndef TESSERA_SYSTEM_H
#define TESSERA_SYSTEM_H

// Leaves the graphics mode if one is set, prints "tessera: <message>" on
// standard error and exits with status 1. For faults the demo cannot run with.
[[noreturn]] void ZE_fatal(const char *format, ...) __attribute__((format(printf, 1, 2)));

// The run's seed: kept once, when the run is prepared, and applied to the
// demo's generator (random.h) by ZE_seed_random where the intro scatters its cells,
// so that one seed makes one run, frame for frame.
void ZE_keep_seed(unsigned seed);
void ZE_seed_random(void);

#endif
