// Checks on an archive member's bytes, made before the library's loaders see
// them. What they accept, load_pcx and load_midi read within the member, and
// Allegro's MIDI player reads within each track and never divides by zero.
// Pure functions: no files, no library calls, no way out of the program.
#ifndef TESSERA_CHECKS_H
#define TESSERA_CHECKS_H

#include <cstddef>

// The PCX file as load_pcx reads it and the data builder writes it.
constexpr size_t PCX_HEADER_SIZE = 128;
constexpr size_t PCX_MARK = 0;     // 10 in every PCX
constexpr size_t PCX_ENCODING = 2; // 1: run-length lines, the only kind load_pcx decodes
constexpr size_t PCX_BITS = 3;
constexpr size_t PCX_XMIN = 4; // then ymin, xmax, ymax: 16-bit, low byte first
constexpr size_t PCX_PLANES = 65;
constexpr size_t PCX_LINE_BYTES = 66;
constexpr unsigned char PCX_MARK_VALUE = 10;
constexpr unsigned char PCX_RUN_FLAGS = 0xC0; // a byte with both top bits set starts a run
constexpr unsigned char PCX_RUN_COUNT = 0x3F;
constexpr unsigned char PCX_PALETTE_MARK = 12; // then the 256-colour palette
constexpr size_t PCX_PALETTE_SIZE = 768;
constexpr int PCX_MAX_SIDE = 4096; // far above the demo's 320 x 200 pictures
constexpr size_t CHECK_REASON_SIZE = 128;

// The verdict on a member; when it is refused, why, as a clause that follows
// "is not ...: " in a message ("it has 4 bits per pixel, not 8").
struct check_result {
    bool ok;
    char reason[CHECK_REASON_SIZE];
};

// Accepts a run-length PCX of 8 bits per pixel in one plane, 1..PCX_MAX_SIDE
// pixels each way, with at least as many bytes per line as pixels, whose
// lines and 256-colour palette all lie within the `size` bytes, read the way
// load_pcx reads them. Sets *w and *h to the picture's size when it accepts.
check_result ZE_check_picture(const unsigned char *bytes, size_t size, int *w, int *h);

// Accepts a standard MIDI file of type 0 or 1 with 1..32 tracks and a
// non-zero number of ticks a beat, whose tracks lie within the `size` bytes
// and each hold whole events ending with an end-of-track event, and that
// lasts more than no time at all.
check_result ZE_check_song(const unsigned char *bytes, size_t size);

#endif
