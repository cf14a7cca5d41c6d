// The colour-map rows file: each picture's block must have been computed
// from that picture's own palette, darker in the shadows rows and brighter
// in the lights rows.
#include <allegro.h>
#include <gtest/gtest.h>
#include <string>

#include "data_checks.h"
#include "resources/colormaps.h"
#include "support.h"

// Byte k of picture n's block for destination colour j, read straight from the file.
static unsigned char row_byte(const std::string &rows, int j, int n, int k)
{
    return static_cast<unsigned char>(rows[60 * j + ROWS_BLOCK * n + k]);
}

TEST(DataRows, ShadowsDarkenAndLightsBrightenInEachPicturesOwnPalette)
{
    TT_start_without_screen();
    const std::string rows = TT_read_file(RES_ROWS_NAME);
    ASSERT_EQ(rows.size(), static_cast<size_t>(RES_ROWS_SIZE));
    for (int n = 0; n < RES_PICTURES; n++) {
        SCOPED_TRACE("picture " + std::to_string(n));
        const RGB *pal = iso_pal[n];
        long sum[ROWS_BLOCK] = {0}, own = 0;
        int darker = 0, brighter = 0;
        for (int j = 0; j < 256; j++) {
            int l = DT_luma(pal[j]);
            own += l;
            for (int k = 0; k < ROWS_BLOCK; k++) {
                sum[k] += DT_luma(pal[row_byte(rows, j, n, k)]);
            }
            // A grade never lifts a colour; a light never dims one.
            for (int k = 2; k < ROWS_BLOCK; k++) {
                darker += DT_luma(pal[row_byte(rows, j, n, k)]) <= l + 8;
            }
            brighter += DT_luma(pal[row_byte(rows, j, n, 0)]) >= l - 8;
            brighter += DT_luma(pal[row_byte(rows, j, n, 1)]) >= l - 8;
        }
        // Blocks swapped between pictures would point into a foreign palette
        // and miss these by far.
        EXPECT_GE(darker, 4 * 256 * 97 / 100);
        EXPECT_GE(brighter, 2 * 256 * 97 / 100);
        // Four grades of shade, 75 darkest; body light below edge light.
        EXPECT_LT(sum[2], sum[3]);
        EXPECT_LT(sum[3], sum[4]);
        EXPECT_LT(sum[4], sum[5]);
        EXPECT_LT(sum[5], own);
        EXPECT_GT(sum[0], own + 256 * 40);
        EXPECT_GT(sum[1], sum[0]);
    }
}

TEST(DataRows, LoadedMapsHoldTheFileRowsOfTheirPicture)
{
    TT_start_without_screen();
    const std::string rows = TT_read_file(RES_ROWS_NAME);
    for (int n = 0; n < RES_PICTURES; n++) {
        for (int j = 0; j < 256; j++) {
            ASSERT_EQ(_lights[n]->data[LIGHT_ROW_BODY][j], row_byte(rows, j, n, 0));
            ASSERT_EQ(_lights[n]->data[LIGHT_ROW_EDGE][j], row_byte(rows, j, n, 1));
            for (int k = 0; k < 4; k++) {
                ASSERT_EQ(_shadows[n]->data[SHADOW_ROWS[k]][j], row_byte(rows, j, n, 2 + k));
            }
        }
    }
}
