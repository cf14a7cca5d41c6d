// The sequence of ten pictures and the white flash at every change.
#ifndef TESSERA_SEQUENCE_H
#define TESSERA_SEQUENCE_H

#include <allegro.h>
#include <cstdint>

constexpr int32_t PART_TICKS = 1569;  // a picture is replaced after this many 60 Hz ticks
constexpr int16_t FLASH_START = 100;  // tint percent at a picture change
constexpr int16_t FLASH_RESTORE = -2; // the next frame restores the picture's palette
constexpr int16_t FLASH_IDLE = -1;
constexpr int16_t CHANGE_HOLD = 45;      // the tiles rest this long after a change
constexpr int32_t LETTER_DROP = 4 << 16; // letters sink 4 pixels at a change (16.16)

// Called by the frame loop once per frame, before the snapshot: moves on to
// the next picture once the current one has run its time, or sets flags.done
// after the tenth.
void ZE_track_transition(void);

// Called by the frame loop once per frame after drawing: turns snap.flash
// into the screen palette.
void ZE_modify_palette(void);

// Computes `source` moved `percent` towards (red, green, blue), scaled by
// `brightness` unless it is 0 or 100, into `tinted`: all 256 entries when
// `whole` is non-zero, else 128..255. Percent 100 leaves the colours alone.
// Each component is the exact value truncated toward zero, its low 8 bits
// kept; with components and targets 0..63 and percent and brightness 0..100,
// every result is 0..63.
void ZE_tint_palette(const RGB *source, int32_t red, int32_t green, int32_t blue, int32_t percent,
                     int32_t brightness, int32_t whole);

// Appends " text value" to the file LOG_NAME in the working folder; a
// diagnostic aid.
void ZE_status_log_i(const char *text, int32_t value);
constexpr const char *LOG_NAME = "logfile";

extern PALETTE tinted;

#endif
