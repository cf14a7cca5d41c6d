// The scroller: one line of text passing right to left along the bottom
// band, two pixels a tick, one glyph every 32 pixels.
#ifndef TESSERA_SCROLLER_H
#define TESSERA_SCROLLER_H

#include <allegro.h>

constexpr int SCROLL_BUFFER_SIZE = 1500; // places of the line
constexpr int SCROLL_TEXT_MAX = 1000;    // characters of the text copied in at most
constexpr int SCROLL_Y = 205;
constexpr int SCROLL_PLACE_W = 32;

// The text of the line, as it is built into the program.
extern const char ZE_scroll_text[];

// A new 1500-byte buffer holding the first 1000 characters of `text` at most
// and zero bytes after; NULL if memory is short.
char *ZE_new_scroll_buffer(const char *text);

// Draws the line into `bmp` at the position snap.scroll_clock gives.
void ZE_draw_scrollie(BITMAP *bmp);

// The scrollie glyph of a character, or -1 if it leaves its place empty.
int ZE_scroll_glyph(int character);

extern char *__text;

#endif
