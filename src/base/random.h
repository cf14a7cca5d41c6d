// The demo's random numbers, the same on every system. For a seed the
// generator gives exactly the numbers that the GNU C library's rand() gives
// after srand() with that seed, so that a seed names one demo on Linux, on
// Windows and in a browser, whatever their own C libraries draw.
#ifndef TESSERA_RANDOM_H
#define TESSERA_RANDOM_H

constexpr int ZE_RAND_MAX = 2147483647; // ZE_rand() gives 0..ZE_RAND_MAX

// Starts the sequence again from `seed`; 0 counts as 1. Until the first
// call, the sequence is that of seed 1.
void ZE_srand(unsigned seed);

// The next number of the sequence, 0..ZE_RAND_MAX. Any thread may call it.
int ZE_rand(void);

#endif
