#include <gtest/gtest.h>

#include "resources/directory.h"

// The directory covers the archive without overlap, with its one gap.
TEST(Directory, MembersTileTheArchive)
{
    res_member all[] = {RES_SCROLL_SHEET, RES_LOGO_SHEET, RES_PICTURE[0], RES_PICTURE[9],
                        RES_PICTURE[2],   RES_PICTURE[3], RES_PICTURE[4], RES_PICTURE[5],
                        RES_PICTURE[6],   RES_PICTURE[7], RES_PICTURE[8], RES_INTRO_SOURCE,
                        RES_INTRO_PATTERN, RES_PICTURE[1], RES_SONG};
    int32_t at = 0;
    for (const res_member &m : all) {
        if (at == RES_GAP_OFFSET) {
            at += RES_GAP_LENGTH;
        }
        EXPECT_EQ(m.offset, at);
        EXPECT_LE(m.length, RES_STAGING_SIZE);
        at = m.offset + m.length;
    }
    EXPECT_EQ(at, RES_ARCHIVE_SIZE);
}
