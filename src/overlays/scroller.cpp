// The scroller.
#include "scroller.h"

#include <cstdlib>
#include <cstring>

char *__text;
const char ZE_scroll_text[] = "";

char *ZE_new_scroll_buffer(const char *text)
{
    char *buffer = static_cast<char *>(malloc(SCROLL_BUFFER_SIZE));
    if (buffer != NULL) {
        memset(buffer, 0, SCROLL_BUFFER_SIZE);
        strncpy(buffer, text, SCROLL_TEXT_MAX);
    }
    return buffer;
}

int ZE_scroll_glyph(int) { return -1; }

void ZE_draw_scrollie(BITMAP *) {}
