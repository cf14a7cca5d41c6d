// The intro's members as the intro reads them: a title of a few thousand
// glowing pixels, and a pattern tile that visibly lights it.
#include <algorithm>
#include <allegro.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

#include "data_checks.h"
#include "intro/tulor.h"
#include "support.h"

// Checks the intro members loaded by TU_read_source_graphic.
void DT_check_intro(void)
{
    ASSERT_GE(tulor.count, 3000);
    ASSERT_LE(tulor.count, INTRO_MAX_CELLS);
    int left = 320, right = 0, top = 200, bottom = 0, in_band = 0;
    std::set<int> colours;
    for (int i = 0; i < tulor.count; i++) {
        int x = tulor.cells[i].x, y = tulor.cells[i].y.load();
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
        colours.insert(tulor.cells[i].colour);
        in_band +=
            y + INTRO_LOGO_TOP >= INTRO_BAND_Y && y + INTRO_LOGO_TOP < INTRO_BAND_Y + INTRO_BAND_H;
    }
    // Centred, and shaded through most of the 31 colours.
    EXPECT_NEAR((left + right) / 2.0, 160, 8);
    EXPECT_NEAR((top + bottom) / 2.0, 100, 8);
    EXPECT_GE(colours.size(), 20u);
    EXPECT_GT(in_band, tulor.count / 3) << "the light band must cross the logo";
    // The logo colours glow: none near black, the brightest near white.
    for (int c : colours) {
        EXPECT_GT(DT_luma(palette[c]), 60) << "colour " << c;
    }
    EXPECT_GT(DT_luma(palette[*colours.rbegin()]), 450);

    // The pattern tile gives a spread of light levels and repeats without a seam.
    ASSERT_GE(_32x_textures->w, INTRO_PATTERN_MIN_W);
    ASSERT_GE(_32x_textures->h, INTRO_PATTERN_MIN_H);
    auto level = [](int x, int y) {
        return static_cast<int>(
            _32x_textures->line[INTRO_TILE_Y + (y & 31)][INTRO_TILE_X + (x & 31)]);
    };
    std::set<int> levels;
    long inner = 0, seam = 0;
    for (int y = 0; y < 32; y++) {
        for (int x = 0; x < 32; x++) {
            levels.insert(level(x, y));
            if (x < 31) {
                inner += std::abs(level(x + 1, y) - level(x, y));
            }
        }
        seam += std::abs(level(0, y) - level(31, y));
    }
    EXPECT_GE(levels.size(), 16u);
    EXPECT_LT(*levels.begin(), 128);
    EXPECT_GT(*levels.rbegin(), 200);
    EXPECT_LE(seam, 3 * inner / 31 + 32) << "the tile shows a seam where it repeats";
    // The darkest level visibly changes the logo's colours.
    int changed = 0;
    for (int c : colours) {
        changed += tulor_map.data[*levels.begin()][c] != c;
    }
    EXPECT_GT(changed, static_cast<int>(colours.size()) * 3 / 4);
}

TEST(DataIntro, TitleAndPatternAsTheIntroReadsThem)
{
    TT_enter_workdir(true);
    TU_read_source_graphic("tulor.pcx");
    DT_check_intro();
}
