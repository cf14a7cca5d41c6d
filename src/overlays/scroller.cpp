// The scroller: one line of text moving right to left along the bottom band,
// two pixels a 60 Hz tick, one glyph in every 32-pixel place. Its position
// follows from the frame's copy of the scroll clock alone.
#include "scroller.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/state.h"
#include "resources/archive.h"

char *__text;

static const int SCROLL_SPEED = 2; // pixels per tick

// Glyph numbers of the characters the sheet has besides the letters.
static const int GLYPH_FIRST_DIGIT = 30;
static const char MARKS[] = ".,':!";
static const int GLYPH_FIRST_MARK = 40;

char *ZE_new_scroll_buffer(const char *text)
{
    char *buffer = static_cast<char *>(malloc(SCROLL_BUFFER_SIZE));
    if (buffer != NULL) {
        memset(buffer, 0, SCROLL_BUFFER_SIZE);
        if (text != NULL) {
            strncpy(buffer, text, SCROLL_TEXT_MAX);
        }
    }
    return buffer;
}

// Upper case for the letters of the line alone. The keyboard driver sets the
// viewer's locale, and there toupper may send 'i' elsewhere (Turkish) and
// leave its place empty; the glyph sheet only knows A to Z.
static int ascii_upper(int c)
{
    return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

int ZE_scroll_glyph(int character)
{
    const int c = ascii_upper(character);
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= '0' && c <= '9') {
        return GLYPH_FIRST_DIGIT + (c - '0');
    }
    for (int m = 0; MARKS[m] != '\0'; m++) {
        if (c == MARKS[m]) {
            return GLYPH_FIRST_MARK + m;
        }
    }
    return -1;
}

void ZE_draw_scrollie(BITMAP *bmp)
{
    if (__text == NULL) {
        return;
    }
    // In 64 bits so that no value of the clock can overflow a position.
    const int64_t base = -int64_t{SCROLL_SPEED} * snap.scroll_clock;
    for (int i = 0; i < SCROLL_BUFFER_SIZE; i++) {
        const int64_t x = base + int64_t{SCROLL_PLACE_W} * i;
        // Places wholly off the bitmap would be clipped away entirely.
        if (x <= -SCROLL_PLACE_W || x >= bmp->w) {
            continue;
        }
        const int g = ZE_scroll_glyph(static_cast<unsigned char>(__text[i]));
        if (g < 0 || scrollie[g] == NULL) {
            continue;
        }
        masked_blit(scrollie[g], bmp, 0, 0, static_cast<int>(x), SCROLL_Y, SCROLL_GLYPH_W,
                    SCROLL_GLYPH_H);
    }
}
