// The edge bars and the logo letters: launches, turning,
// the circle they run, how they are drawn and what the drawing leaves set.
#include <gtest/gtest.h>

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <cmath>
#include <cstring>

#include "base/state.h"
#include "overlays/extras.h"
#include "resources/archive.h"
#include "resources/colormaps.h"

namespace
{

const int16_t FIELD = 3;
const int FRAME = 50;      // the colour the frame is filled with
const int NEVER = 1000000; // a logo_clock no launch matches

// Each bar colour adds its own amount to the pixel under it, so a bar drawn
// twice, or the wrong shade, shows.
int shade_of(int colour)
{
    return colour == 75 ? 1 : colour == 130 ? 2 : colour == 175 ? 3 : colour == 225 ? 4 : 0;
}
const int LIGHT = 103; // the one glyph colour the lighting map acts on
const int LIGHT_GAIN = 7;

COLOR_MAP shadow_map, light_map;

double px(int32_t f)
{
    return f / 65536.0;
}

// Synthetic glyphs, our own colour maps for one picture and a fresh
// `construct`, put in place of the program's for each test.
class Extras : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        for (int c = 0; c < 256; c++) {
            for (int d = 0; d < 256; d++) {
                shadow_map.data[c][d] = static_cast<unsigned char>(d + shade_of(c));
                light_map.data[c][d] = static_cast<unsigned char>(c == LIGHT ? d + LIGHT_GAIN : d);
            }
        }
        saved_shadows = _shadows[FIELD];
        saved_lights = _lights[FIELD];
        _shadows[FIELD] = &shadow_map;
        _lights[FIELD] = &light_map;
        ZE_write(flags.field, FIELD);

        for (int g = 0; g < LOGO_GLYPHS; g++) {
            saved_logo[g] = logo[g];
            logo[g] = create_bitmap(LOGO_GLYPH_W, LOGO_GLYPH_H);
            clear_to_color(logo[g], LIGHT);
        }
        saved_construct = construct;
        construct = create_bitmap(CONSTRUCT_W, CONSTRUCT_H);
        frame = create_bitmap(SCREENBUF_W, SCREENBUF_H);
        clear_to_color(frame, FRAME);

        ZE_initialize_letters();
        ZE_write(flags.logo_delay, int16_t{0});
        ZE_write(flags.logo_clock, 0);
        for (int i = 0; i < LETTERS; i++) {
            ZE_write(flags.angle[i], 0.0f);
        }
    }
    void TearDown() override
    {
        _shadows[FIELD] = saved_shadows;
        _lights[FIELD] = saved_lights;
        for (int g = 0; g < LOGO_GLYPHS; g++) {
            destroy_bitmap(logo[g]);
            logo[g] = saved_logo[g];
        }
        destroy_bitmap(construct);
        construct = saved_construct;
        destroy_bitmap(frame);
        drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
    }

    // Leaves only letter `which` active, at (x, y) with `heading`.
    void only_letter(int which, int x, int y, float heading)
    {
        for (int i = 0; i < LETTERS; i++) {
            ZE_write(_logo.active[i], uint8_t{i == which});
        }
        ZE_write(_logo.x[which], itofix(x));
        ZE_write(_logo.y[which], itofix(y));
        ZE_write(flags.angle[which], heading);
    }

    COLOR_MAP *saved_shadows, *saved_lights;
    BITMAP *saved_logo[LOGO_GLYPHS];
    BITMAP *saved_construct;
    BITMAP *frame;
};

} // namespace

// Twice a clock tick, as at 120 Hz against 60 Hz: every launch tick is
// seen, and a letter seen twice at its tick still launches only once.
TEST_F(Extras, LettersLaunchOnScheduleAndOnlyOnce)
{
    const int launches[LETTERS] = {0,   35,  70,  105, 140, 175, 210,
                                   245, 350, 385, 420, 455, 490, 525};
    EXPECT_EQ(ZE_read(_logo.x[0]), 63 * 65536);
    EXPECT_EQ(ZE_read(_logo.x[1]), -50 * 65536) << "parked left of the screen";
    for (int32_t tick = 0; tick <= 600; tick++) {
        ZE_write(flags.logo_clock, tick);
        ZE_track_logo();
        for (int i = 1; i < LETTERS; i++) {
            if (tick == launches[i]) {
                ASSERT_EQ(ZE_read(_logo.active[i]), 1) << i;
                EXPECT_EQ(ZE_read(flags.angle[i]), 0.0f) << i;
                EXPECT_EQ(ZE_read(_logo.x[i]), itofix(63)) << i;
                EXPECT_EQ(ZE_read(_logo.y[i]), itofix(85)) << i;
                EXPECT_EQ(ZE_read(flags.launch[i]), -1) << i;
            }
        }
        ZE_track_logo();
        for (int i = 0; i < LETTERS; i++) {
            ASSERT_EQ(ZE_read(_logo.active[i]), tick >= launches[i] ? 1 : 0)
                << "letter " << i << " at tick " << tick;
            if (tick == launches[i] && i > 0) {
                // Turned once since launch, not set back by the second call.
                EXPECT_FLOAT_EQ(ZE_read(flags.angle[i]), 0.2f) << i;
            }
        }
    }
    for (int i = 0; i < LETTERS; i++) {
        EXPECT_EQ(ZE_read(flags.launch[i]), -1) << i;
    }
}

TEST_F(Extras, HeadingWrapsAt255)
{
    ZE_write(flags.logo_clock, NEVER);
    ZE_write(flags.angle[0], 254.9f); // + 0.2 = 255.1
    ZE_write(flags.angle[1], 254.8f); // + 0.2 lands on 255.0
    ZE_write(flags.angle[2], 100.0f);
    ZE_track_logo();
    EXPECT_NEAR(ZE_read(flags.angle[0]), 0.1f, 1e-4);
    EXPECT_EQ(ZE_read(flags.angle[1]), 255.0f);
    EXPECT_NEAR(ZE_read(flags.angle[2]), 100.2f, 1e-5);
    ZE_track_logo();
    EXPECT_NEAR(ZE_read(flags.angle[1]), 0.2f, 1e-4);
}

// The glyph's top-left corner runs a 256-sided polygon of 2-pixel sides:
// radius 1 / sin(pi / 256), about 81.5, centred near (144.5, 84).
TEST_F(Extras, LetterRunsTheCircle)
{
    ZE_write(flags.logo_clock, NEVER);
    double min_x = 1e9, max_x = -1e9, min_y = 1e9, max_y = -1e9;
    double last_x = px(ZE_read(_logo.x[0])), last_y = px(ZE_read(_logo.y[0]));
    int steps = 0;
    for (int call = 1; call <= 256 * 5; call++) {
        ZE_track_logo();
        const double x = px(ZE_read(_logo.x[0])), y = px(ZE_read(_logo.y[0]));
        const double moved = std::hypot(x - last_x, y - last_y);
        if (call % 5 == 0) {
            ASSERT_NEAR(moved, 2.0, 0.01) << "call " << call;
            steps++;
        } else {
            ASSERT_EQ(moved, 0.0) << "only every fifth call steps; call " << call;
        }
        if (call == 5) { // heading 1.0 by now: down, a little to the right
            EXPECT_NEAR(y - last_y, 2.0, 0.01);
            EXPECT_NEAR(x - last_x, 2 * std::sin(2 * M_PI / 256), 0.001);
        }
        min_x = std::fmin(min_x, x), max_x = std::fmax(max_x, x);
        min_y = std::fmin(min_y, y), max_y = std::fmax(max_y, y);
        last_x = x, last_y = y;
    }
    EXPECT_EQ(steps, 256);
    EXPECT_NEAR((max_x - min_x) / 2, 81.5, 1.0);
    EXPECT_NEAR((max_y - min_y) / 2, 81.5, 1.0);
    EXPECT_NEAR((max_x + min_x) / 2, 144.5, 1.0);
    EXPECT_NEAR((max_y + min_y) / 2, 84.0, 1.0);
}

// The bars, and what the drawing leaves set for the frame steps after it.
TEST_F(Extras, BarsShadeTheEndsOfTheBottomBand)
{
    for (int i = 0; i < LETTERS; i++) {
        ZE_write(_logo.active[i], uint8_t{0});
    }
    drawing_mode(DRAW_MODE_XOR, NULL, 0, 0);
    ZE_draw_extras(frame);
    EXPECT_EQ(_drawing_mode, DRAW_MODE_SOLID);
    EXPECT_EQ(color_map, &light_map);
    // Column ranges and the shade each gets, left to right.
    const struct {
        int x1, x2, shade;
    } expect[] = {{0, 5, 1},     {6, 10, 2},    {11, 15, 3},   {16, 20, 4},  {21, 299, 0},
                  {300, 304, 4}, {305, 309, 3}, {310, 314, 2}, {315, 319, 1}};
    for (int y = 0; y < SCREENBUF_H; y++) {
        for (const auto &span : expect) {
            for (int x = span.x1; x <= span.x2; x++) {
                const int want = y >= 200 ? FRAME + span.shade : FRAME;
                ASSERT_EQ(getpixel(frame, x, y), want) << x << "," << y;
            }
        }
    }
}

// Glyph colours pick rows of the lighting map; colour 0 leaves the frame
// alone; a letter lowered past row 199 is cut there, clear of the band, and
// one risen past the top is cut at row 0.
TEST_F(Extras, LettersLightThePictureAboveTheBand)
{
    putpixel(logo[27], 0, 0, 0);
    only_letter(0, 100, 190, 63.0f); // heading 63 draws the glyph unturned
    ZE_draw_extras(frame);
    EXPECT_EQ(getpixel(frame, 100, 190), FRAME); // the glyph's clear pixel
    EXPECT_EQ(getpixel(frame, 99, 195), FRAME);
    EXPECT_EQ(getpixel(frame, 132, 195), FRAME);
    for (int x = 101; x < 132; x++) {
        ASSERT_EQ(getpixel(frame, x, 190), FRAME + LIGHT_GAIN) << x;
        ASSERT_EQ(getpixel(frame, x, 199), FRAME + LIGHT_GAIN) << x;
        for (int y = 200; y < SCREENBUF_H; y++) {
            ASSERT_EQ(getpixel(frame, x, y), FRAME) << x << "," << y;
        }
    }

    // Risen above row 0 and left of column 0, as late in a run: cut there.
    clear_to_color(frame, FRAME);
    only_letter(0, -10, -5, 63.0f);
    ZE_draw_extras(frame);
    EXPECT_EQ(getpixel(frame, 0, 0), FRAME + LIGHT_GAIN);
    EXPECT_EQ(getpixel(frame, 21, 23), FRAME + LIGHT_GAIN);
    EXPECT_EQ(getpixel(frame, 22, 10), FRAME);
    EXPECT_EQ(getpixel(frame, 10, 24), FRAME);
}

// The composed letters are laid over the frame as the library lays a
// translucent sprite through the lighting map: within the clip rectangle,
// and with every pixel looked up when colour 0 is not left alone.
TEST_F(Extras, LettersAreLaidAsTheLibraryLaysTheSprite)
{
    for (int c = 0; c < 256; c++) {
        for (int d = 0; d < 256; d++) {
            shadow_map.data[c][d] = static_cast<unsigned char>(d); // the bars change nothing
            light_map.data[c][d] = static_cast<unsigned char>(c * 7 + d);
        }
    }
    for (int g = 0; g < LOGO_GLYPHS; g++) {
        for (int y = 0; y < LOGO_GLYPH_H; y++) {
            for (int x = 0; x < LOGO_GLYPH_W; x++) {
                putpixel(logo[g], x, y, (x + y) % 5 == 0 ? 0 : 100 + (x * y + g) % 50);
            }
        }
    }
    for (int i = 0; i < LETTERS; i++) { // strewn over the edges
        ZE_write(_logo.active[i], uint8_t{1});
        ZE_write(_logo.x[i], itofix(i * 23 - 12));
        ZE_write(_logo.y[i], itofix(i * 37 % 210 - 12));
        ZE_write(flags.angle[i], i * 17.0f);
    }
    const struct {
        const char *what;
        int clip[4]; // x1, y1, x2, y2; all 0: the whole frame
        int zero_gain;
    } cases[] = {
        {"the whole frame", {0, 0, 0, 0}, 0},
        {"a clip rectangle", {9, 13, 250, 150}, 0},
        {"colour 0 not left alone", {0, 0, 0, 0}, 5},
    };
    BITMAP *want = create_bitmap(SCREENBUF_W, SCREENBUF_H);
    for (const auto &c : cases) {
        for (int d = 0; d < 256; d++) {
            light_map.data[0][d] = static_cast<unsigned char>(d + c.zero_gain);
        }
        for (BITMAP *b : {frame, want}) {
            for (int y = 0; y < SCREENBUF_H; y++) {
                for (int x = 0; x < SCREENBUF_W; x++) {
                    putpixel(b, x, y, (x + 3 * y) % 256);
                }
            }
            if (c.clip[2] != 0) {
                set_clip_rect(b, c.clip[0], c.clip[1], c.clip[2], c.clip[3]);
            }
        }
        ZE_draw_extras(frame);
        draw_trans_sprite(want, construct, 0, 0);
        for (int y = 0; y < SCREENBUF_H; y++) {
            ASSERT_EQ(memcmp(frame->line[y], want->line[y], SCREENBUF_W), 0)
                << c.what << ", row " << y;
        }
    }
    destroy_bitmap(want);
}

// Letters never launched stay out of the picture wherever they are; of two
// letters in one place the later one shows.
TEST_F(Extras, OnlyActiveLettersAreComposedLaterOnTop)
{
    clear_to_color(logo[14], 14);
    clear_to_color(logo[17], 17);
    clear_to_color(logo[27], 27);
    only_letter(0, 40, 40, 63.0f);
    ZE_write(_logo.active[1], uint8_t{1});
    ZE_write(_logo.x[1], itofix(40));
    ZE_write(_logo.y[1], itofix(40));
    ZE_write(flags.angle[1], 63.0f);
    ZE_write(_logo.x[2], itofix(200)); // inactive, in plain sight
    ZE_write(_logo.y[2], itofix(100));
    ZE_draw_extras(frame);
    EXPECT_EQ(getpixel(construct, 56, 54), 14); // letter 1 over letter 0
    EXPECT_EQ(getpixel(construct, 216, 114), 0);
    int lit = 0;
    for (int y = 0; y < CONSTRUCT_H; y++) {
        for (int x = 0; x < CONSTRUCT_W; x++) {
            lit += getpixel(construct, x, y) != 0;
        }
    }
    EXPECT_EQ(lit, LOGO_GLYPH_W * LOGO_GLYPH_H);
}

// The glyph turns by (63 - heading) mod 256 with the heading cut to a whole
// number: compared against the library drawing the expected turn itself.
TEST_F(Extras, RotationFollowsTheHeading)
{
    // A long lopsided glyph, so that even one unit of turn draws differently.
    const int W = 150, H = LOGO_GLYPH_H;
    destroy_bitmap(logo[27]);
    BITMAP *g = logo[27] = create_bitmap(W, H);
    clear_bitmap(g);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            if (x < y || (y < 4 && x > 20)) {
                putpixel(g, x, y, x < 10 ? LIGHT : 176);
            }
        }
    }
    BITMAP *want = create_bitmap(CONSTRUCT_W, CONSTRUCT_H);
    auto drawn_as = [&](int rotation) {
        clear_bitmap(want);
        rotate_sprite(want, g, 120, 80, itofix(rotation));
        for (int y = 0; y < CONSTRUCT_H; y++) {
            if (memcmp(want->line[y], construct->line[y], CONSTRUCT_W) != 0) {
                return false;
            }
        }
        return true;
    };
    const struct {
        float heading;
        int rotation;
    } cases[] = {{0.0f, 63},   {0.99f, 63},   {63.0f, 0},   {63.9f, 0},
                 {64.0f, 255}, {128.5f, 191}, {255.0f, 64}, {254.9f, 65}};
    for (const auto &c : cases) {
        only_letter(0, 120, 80, c.heading);
        ZE_draw_extras(frame);
        EXPECT_TRUE(drawn_as(c.rotation)) << "heading " << c.heading;
        EXPECT_FALSE(drawn_as((c.rotation + 1) & 255)) << "heading " << c.heading;
        EXPECT_FALSE(drawn_as((c.rotation - 1) & 255)) << "heading " << c.heading;
    }
    destroy_bitmap(want);
}
