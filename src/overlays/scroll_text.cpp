// The words of the scroll line. It passes at about 3.75 characters a second,
// so its 985 characters last the whole main part: the last one reaches the
// right edge just before the tenth picture ends. Sections are set apart by
// runs of blanks, and the line ends in blanks.
#include "scroller.h"

const char ZE_scroll_text[] =
    "Welcome to Tessera!"
    "        " // 8 blanks
    "Ten pictures, each one cut into 471 diamond tiles that drift apart in waves and find their "
    "way back home again."
    "      " // 6 blanks
    "The logo of the intro builds itself out of its own pixels, and fourteen letters circle the "
    "screen as light."
    "      " // 6 blanks
    "Tessera is written in C plus plus on Allegro 4: 8 bit palette graphics on a 320 by 240 "
    "screen, shown at double size."
    "      " // 6 blanks
    "Nothing here was drawn or played by hand: every picture, every letter of type and every note "
    "of the song comes out of Tessera's own data builder."
    "      " // 6 blanks
    "Every motion runs on the clock, not on the frame rate, so a slow machine shows fewer frames "
    "but never a slower demo."
    "        " // 8 blanks
    "Greetings to the demoscene: to every coder, pixel artist and musician who ever chased the "
    "beam, to all the crews at the parties, and to you for watching!"
    "        " // 8 blanks
    "Press 1 to wait for the retrace, 2 to run free, and hold Space to save the screen."
    "        " // 8 blanks
    "Keep making demos. See you at the next party!"
    "                                   "; // the line runs out blank

static_assert(sizeof(ZE_scroll_text) - 1 == 985,
              "the line is timed to the length of the main part");
