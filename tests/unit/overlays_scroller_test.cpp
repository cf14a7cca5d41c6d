// The scroller: where places land at a given clock, which characters draw
// which glyph, what stays empty, and the line built into the program.
#include <gtest/gtest.h>

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/state.h"
#include "overlays/scroller.h"
#include "resources/archive.h"

namespace
{

const int BACKGROUND = 3;
const int HOLE_X = 5, HOLE_Y = 5; // the one transparent pixel of each glyph

int glyph_colour(int g)
{
    return 100 + g;
}

// Synthetic glyphs, each a solid block of its own colour with one hole, and a
// buffer of our own in place of the program's.
class Scroller : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        for (int g = 0; g < SCROLL_GLYPHS; g++) {
            saved_glyphs[g] = scrollie[g];
            scrollie[g] = create_bitmap(SCROLL_GLYPH_W, SCROLL_GLYPH_H);
            clear_to_color(scrollie[g], glyph_colour(g));
            putpixel(scrollie[g], HOLE_X, HOLE_Y, 0);
        }
        saved_text = __text;
        __text = NULL; // draw() replaces it with buffers of our own
        frame = create_bitmap(SCREENBUF_W, SCREENBUF_H);
        clear_to_color(frame, BACKGROUND);
    }
    void TearDown() override
    {
        for (int g = 0; g < SCROLL_GLYPHS; g++) {
            destroy_bitmap(scrollie[g]);
            scrollie[g] = saved_glyphs[g];
        }
        free(__text);
        __text = saved_text;
        destroy_bitmap(frame);
    }

    void draw(const char *text, int32_t clock)
    {
        free(__text);
        __text = ZE_new_scroll_buffer(text);
        ASSERT_NE(__text, nullptr);
        snap.scroll_clock = clock;
        ZE_draw_scrollie(frame);
    }

    // The colour at column x of the glyph row, away from the hole.
    int at(int x) { return getpixel(frame, x, SCROLL_Y + 1); }

    // Pixels of the frame that are not background.
    int drawn_pixels()
    {
        int n = 0;
        for (int y = 0; y < SCREENBUF_H; y++) {
            for (int x = 0; x < SCREENBUF_W; x++) {
                n += getpixel(frame, x, y) != BACKGROUND;
            }
        }
        return n;
    }

    BITMAP *saved_glyphs[SCROLL_GLYPHS];
    char *saved_text;
    BITMAP *frame;
};

const int GLYPH_AREA = SCROLL_GLYPH_W * SCROLL_GLYPH_H;

} // namespace

TEST_F(Scroller, PlacesAtTheStartingClock)
{
    draw("ABCDE", -100);
    EXPECT_EQ(at(199), BACKGROUND);
    EXPECT_EQ(at(200), glyph_colour(0));
    EXPECT_EQ(at(230), glyph_colour(0));
    EXPECT_EQ(at(231), BACKGROUND); // the pixel between two places
    EXPECT_EQ(at(232), glyph_colour(1));
    EXPECT_EQ(at(296), glyph_colour(3));
    EXPECT_EQ(at(319), glyph_colour(3));
    EXPECT_EQ(getpixel(frame, 200, SCROLL_Y - 1), BACKGROUND);
    EXPECT_EQ(getpixel(frame, 200, SCROLL_Y + SCROLL_GLYPH_H - 1), glyph_colour(0));
    EXPECT_EQ(getpixel(frame, 200, SCROLL_Y + SCROLL_GLYPH_H), BACKGROUND);
    // Places 0..2 whole, place 3 cut at the right edge, place 4 off it.
    EXPECT_EQ(drawn_pixels(), 3 * (GLYPH_AREA - 1) + 24 * SCROLL_GLYPH_H - 1);
}

TEST_F(Scroller, PlacesLeaveByTheLeftEdge)
{
    draw("ABCDEFGHIJKL", 16);
    EXPECT_EQ(at(0), glyph_colour(1)); // place 0 is at -32, wholly off
    EXPECT_EQ(at(30), glyph_colour(1));
    EXPECT_EQ(at(31), BACKGROUND);
    EXPECT_EQ(at(32), glyph_colour(2));

    clear_to_color(frame, BACKGROUND);
    draw("ABCDEFGHIJKL", 5); // place 0 at -10: its right 21 columns show
    EXPECT_EQ(at(0), glyph_colour(0));
    EXPECT_EQ(at(20), glyph_colour(0));
    EXPECT_EQ(at(21), BACKGROUND);
    EXPECT_EQ(at(22), glyph_colour(1));
}

TEST_F(Scroller, CharactersAndTheirGlyphs)
{
    EXPECT_EQ(ZE_scroll_glyph('A'), 0);
    EXPECT_EQ(ZE_scroll_glyph('Z'), 25);
    EXPECT_EQ(ZE_scroll_glyph('q'), ZE_scroll_glyph('Q'));
    EXPECT_EQ(ZE_scroll_glyph('0'), 30);
    EXPECT_EQ(ZE_scroll_glyph('9'), 39);
    EXPECT_EQ(ZE_scroll_glyph('.'), 40);
    EXPECT_EQ(ZE_scroll_glyph(','), 41);
    EXPECT_EQ(ZE_scroll_glyph('\''), 42);
    EXPECT_EQ(ZE_scroll_glyph(':'), 43);
    EXPECT_EQ(ZE_scroll_glyph('!'), 44);
    for (int c : std::initializer_list<int>{' ', '\0', '?', '-', ';', '"', '@', '[', '`', '{', 0xE9,
                                            -23, 300}) {
        EXPECT_EQ(ZE_scroll_glyph(c), -1) << c;
    }

    draw("aZ", -100);
    EXPECT_EQ(at(200), glyph_colour(0));
    EXPECT_EQ(at(232), glyph_colour(25));
}

// Upper case must not depend on the viewer's locale (the X keyboard driver
// adopts it): in a Turkish one the C library's toupper('i') is a letter the
// glyph sheet does not have. The locale is compiled here if it is missing.
TEST_F(Scroller, LowerCaseIDrawsInATurkishLocale)
{
    const std::string before = setlocale(LC_CTYPE, NULL);
    const char *name = "tr_TR.ISO-8859-9";
    if (setlocale(LC_CTYPE, name) == NULL) {
        char dir[] = "/tmp/tessera-locale-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        const std::string build = std::string("localedef -i tr_TR -f ISO-8859-9 ") + dir + "/" +
                                  name + " >/dev/null 2>&1";
        if (system(build.c_str()) == 0) {
            setenv("LOCPATH", dir, 1);
        }
        const bool had = setlocale(LC_CTYPE, name) != NULL; // loaded now, files not needed
        system((std::string("rm -rf ") + dir).c_str());
        if (!had) {
            GTEST_SKIP() << "no Turkish locale can be had on this machine";
        }
    }
    ASSERT_NE(toupper('i'), 'I'); // the trap is really there
    EXPECT_EQ(ZE_scroll_glyph('i'), 8);
    draw("i", -100);
    EXPECT_EQ(at(200), glyph_colour(8));
    setlocale(LC_CTYPE, before.c_str());
}

TEST_F(Scroller, EmptyPlacesKeepTheOthersInStep)
{
    // Blank, a high byte, a mark the sheet lacks, a control character.
    draw("A \xE9?\x01"
         "B",
         -100);
    EXPECT_EQ(at(200), glyph_colour(0));
    for (int x = 232; x < 320; x++) {
        ASSERT_EQ(at(x), BACKGROUND) << x; // places 1..3
    }
    EXPECT_EQ(drawn_pixels(), GLYPH_AREA - 1);

    // Place 5 comes into view with the clock; the control character before
    // it stayed empty and 'B' kept its place.
    clear_to_color(frame, BACKGROUND);
    draw("A \xE9?\x01"
         "B",
         -4); // place 5 at 168
    EXPECT_EQ(at(135), BACKGROUND);
    EXPECT_EQ(at(8), glyph_colour(0));
    EXPECT_EQ(at(168), glyph_colour(1));
    EXPECT_EQ(drawn_pixels(), 2 * (GLYPH_AREA - 1));
}

TEST_F(Scroller, TransparentGlyphPixelsLeaveTheFrame)
{
    draw("A", -100);
    EXPECT_EQ(getpixel(frame, 200 + HOLE_X, SCROLL_Y + HOLE_Y), BACKGROUND);
    EXPECT_EQ(getpixel(frame, 200 + HOLE_X + 1, SCROLL_Y + HOLE_Y), glyph_colour(0));
}

TEST_F(Scroller, OnlyTheFirstThousandCharactersAreKept)
{
    const std::string long_text(1200, 'M');
    char *buffer = ZE_new_scroll_buffer(long_text.c_str());
    ASSERT_NE(buffer, nullptr);
    for (int i = 0; i < SCROLL_BUFFER_SIZE; i++) {
        ASSERT_EQ(buffer[i], i < SCROLL_TEXT_MAX ? 'M' : '\0') << i;
    }
    free(buffer);

    // Place 999 partly shown at x = -12, place 1000 at 20 stays empty.
    draw(long_text.c_str(), 15990);
    EXPECT_EQ(at(0), glyph_colour('M' - 'A'));
    EXPECT_EQ(at(18), glyph_colour('M' - 'A'));
    EXPECT_EQ(drawn_pixels(), 19 * SCROLL_GLYPH_H);

    // Beyond the text the rest of the buffer draws nothing.
    clear_to_color(frame, BACKGROUND);
    draw("AB", 500);
    EXPECT_EQ(drawn_pixels(), 0);
}

// The line as built into the program.
TEST(ScrollText, ShapeOfTheBuiltInLine)
{
    const std::string text = ZE_scroll_text;
    ASSERT_EQ(text.size(), 985u);
    EXPECT_EQ(text.find_last_not_of(' '), 949u) << "35 trailing blanks after place 949";
    EXPECT_NE(text[0], ' ');

    int sections = 1;
    size_t i = 0;
    while (i < 950) {
        const char c = text[i];
        if (c != ' ') {
            EXPECT_NE(ZE_scroll_glyph(static_cast<unsigned char>(c)), -1)
                << "'" << c << "' at " << i << " has no glyph";
            i++;
            continue;
        }
        const size_t run = text.find_first_not_of(' ', i) - i;
        // A blank between words, or a run of 4 to 16 between sections.
        EXPECT_TRUE(run == 1 || (run >= 4 && run <= 16)) << run << " blanks at " << i;
        sections += run >= 4;
        i += run;
    }
    EXPECT_GE(sections, 3);

    // The start-up buffer holds it whole, then zero bytes.
    char *buffer = ZE_new_scroll_buffer(ZE_scroll_text);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(std::string(buffer, 985), text);
    for (int k = 985; k < SCROLL_BUFFER_SIZE; k++) {
        ASSERT_EQ(buffer[k], '\0') << k;
    }
    free(buffer);
}
