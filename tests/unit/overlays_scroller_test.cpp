// The scroller: where places land at a given clock, which characters draw
// which glyph, what stays empty, and the line built into the program.
#include <gtest/gtest.h>

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <string>

#include "base/state.h"
#include "overlays/scroller.h"
#include "resources/archive.h"

namespace
{

const int BACKGROUND = 3;
const int HOLE = 5; // each glyph has a transparent pixel at (HOLE, HOLE)
const int GLYPH_AREA = SCROLL_GLYPH_W * SCROLL_GLYPH_H;

int glyph_colour(int g)
{
    return 100 + g;
}

// Synthetic glyphs, each a block of its own colour, and buffers of our own
// in place of the program's.
class Scroller : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        for (int g = 0; g < SCROLL_GLYPHS; g++) {
            saved_glyphs[g] = scrollie[g];
            scrollie[g] = create_bitmap(SCROLL_GLYPH_W, SCROLL_GLYPH_H);
            clear_to_color(scrollie[g], glyph_colour(g));
            putpixel(scrollie[g], HOLE, HOLE, 0);
        }
        saved_text = __text;
        __text = NULL;
        frame = create_bitmap(SCREENBUF_W, SCREENBUF_H);
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

    // Draws `text` on a fresh frame at `clock`; returns the pixels drawn.
    int draw(const char *text, int32_t clock)
    {
        free(__text);
        __text = ZE_new_scroll_buffer(text);
        snap.scroll_clock = clock;
        clear_to_color(frame, BACKGROUND);
        ZE_draw_scrollie(frame);
        int n = 0;
        for (int y = 0; y < SCREENBUF_H; y++) {
            for (int x = 0; x < SCREENBUF_W; x++) {
                n += getpixel(frame, x, y) != BACKGROUND;
            }
        }
        return n;
    }

    int at(int x) { return getpixel(frame, x, SCROLL_Y + 1); }

    BITMAP *saved_glyphs[SCROLL_GLYPHS];
    char *saved_text;
    BITMAP *frame;
};

} // namespace

TEST_F(Scroller, PlacesFollowTheClock)
{
    // Start of the main part: places 0..2 whole, 3 cut at the right edge
    // (x 296), 4 at 328 off it.
    EXPECT_EQ(draw("ABCDE", -100), 3 * (GLYPH_AREA - 1) + 24 * SCROLL_GLYPH_H - 1);
    EXPECT_EQ(at(199), BACKGROUND);
    EXPECT_EQ(at(200), glyph_colour(0));
    EXPECT_EQ(at(231), BACKGROUND); // the column between two places
    EXPECT_EQ(at(232), glyph_colour(1));
    EXPECT_EQ(at(296), glyph_colour(3));
    EXPECT_EQ(getpixel(frame, 200, SCROLL_Y - 1), BACKGROUND);
    EXPECT_EQ(getpixel(frame, 200, SCROLL_Y + SCROLL_GLYPH_H), BACKGROUND);
    EXPECT_EQ(getpixel(frame, 200 + HOLE, SCROLL_Y + HOLE), BACKGROUND) << "colour 0 is clear";

    // Place 0 at -32 has left; place 1 stands at 0.
    draw("ABCDEFGHIJKL", 16);
    EXPECT_EQ(at(0), glyph_colour(1));
    EXPECT_EQ(at(31), BACKGROUND);
    // Place 0 at -10: its right 21 columns still show.
    draw("ABCDEFGHIJKL", 5);
    EXPECT_EQ(at(20), glyph_colour(0));
    EXPECT_EQ(at(21), BACKGROUND);
}

TEST_F(Scroller, CharactersAndTheirGlyphs)
{
    const char *shown = "AZaz09.,':!";
    const int glyphs[] = {0, 25, 0, 25, 30, 39, 40, 41, 42, 43, 44};
    for (int k = 0; shown[k] != '\0'; k++) {
        EXPECT_EQ(ZE_scroll_glyph(shown[k]), glyphs[k]) << shown[k];
    }
    for (int c : std::initializer_list<int>{' ', '\0', '?', '-', ';', '"', '@', '[', '`', '{', 0xE9,
                                            -23, 300}) {
        EXPECT_EQ(ZE_scroll_glyph(c), -1) << c;
    }

    // Blank, high byte, unknown mark and control character leave their
    // places empty; 'b' keeps its place (5, at x 168) and draws as 'B'.
    EXPECT_EQ(draw("A \xE9?\x01"
                   "b",
                   -4),
              2 * (GLYPH_AREA - 1));
    EXPECT_EQ(at(8), glyph_colour(0));
    EXPECT_EQ(at(168), glyph_colour(1));
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
    setlocale(LC_CTYPE, before.c_str());
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

    // Place 999 partly shown at x -12; place 1000, at 20, stays empty.
    EXPECT_EQ(draw(long_text.c_str(), 15990), 19 * SCROLL_GLYPH_H);
    EXPECT_EQ(at(18), glyph_colour('M' - 'A'));
    EXPECT_EQ(draw("AB", 500), 0) << "the buffer beyond the text draws nothing";
}

// The line as built into the program.
TEST(ScrollText, ShapeOfTheBuiltInLine)
{
    const std::string text = ZE_scroll_text;
    ASSERT_EQ(text.size(), 985u);
    EXPECT_EQ(text.find_last_not_of(' '), 949u) << "35 trailing blanks after place 949";
    EXPECT_NE(text[0], ' ');

    int sections = 1;
    for (size_t i = 0; i < 950;) {
        if (text[i] != ' ') {
            EXPECT_NE(ZE_scroll_glyph(static_cast<unsigned char>(text[i])), -1)
                << "'" << text[i] << "' at " << i << " has no glyph";
            i++;
            continue;
        }
        // A blank between words, or a run of 4 to 16 between sections.
        const size_t run = text.find_first_not_of(' ', i) - i;
        EXPECT_TRUE(run == 1 || (run >= 4 && run <= 16)) << run << " blanks at " << i;
        sections += run >= 4;
        i += run;
    }
    EXPECT_GE(sections, 3);

    char *buffer = ZE_new_scroll_buffer(ZE_scroll_text);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(std::string(buffer, 985), text);
    EXPECT_EQ(std::string(buffer + 985, SCROLL_BUFFER_SIZE - 985),
              std::string(SCROLL_BUFFER_SIZE - 985, '\0'));
    free(buffer);
}
