// Where everything lies in the resource archive res.dat and the colour-map
// rows file res_2.dat. The loader reads these places and the data builder
// writes them, so this table is the only copy of the layout.
#ifndef TESSERA_DIRECTORY_H
#define TESSERA_DIRECTORY_H

#include <cstdint>

// A member of the archive: a complete PCX or MIDI file at a fixed place.
struct res_member {
    int32_t offset; // bytes from the start of res.dat
    int32_t length; // bytes the member occupies, padding included
};

constexpr const char *RES_ARCHIVE_NAME = "res.dat";
constexpr const char *RES_ROWS_NAME = "res_2.dat";
constexpr const char *RES_TEMP_NAME = "tempola.xyz";
// Beside the data files, the build puts a sound font with just the
// instruments and drum notes the song plays, for systems without a
// General MIDI font of their own.
constexpr const char *RES_SONG_FONT_NAME = "song.sf2";

constexpr int32_t RES_ARCHIVE_SIZE = 505192;
constexpr int32_t RES_ROWS_SIZE = 15360;     // 256 destination colours x 10 pictures x 6 rows
constexpr int32_t RES_STAGING_SIZE = 128000; // the largest member extraction takes

constexpr int RES_PICTURES = 10;

constexpr res_member RES_SCROLL_SHEET = {0, 14249};
constexpr res_member RES_LOGO_SHEET = {14249, 13929};
// Indexed by picture number; the archive stores them as 0, 9, 2..8, then 1.
constexpr res_member RES_PICTURE[RES_PICTURES] = {
    {28178, 30141},  {422835, 48168}, {113306, 29764}, {143070, 39651}, {182721, 63070},
    {245794, 60422}, {306216, 35218}, {341434, 54495}, {395929, 16318}, {58319, 54987},
};
constexpr res_member RES_INTRO_SOURCE = {412247, 5823};
constexpr res_member RES_INTRO_PATTERN = {418070, 4765};
constexpr res_member RES_SONG = {471003, 34189};

// Bytes 245791..245793 lie between picture 4 and picture 5 and belong to no member.
constexpr int32_t RES_GAP_OFFSET = 245791;
constexpr int32_t RES_GAP_LENGTH = 3;

// Picture geometry: the tiles sample x 11..304, y 4..193, so a picture must
// be at least 305 x 194; the builder makes them 320 x 200.
constexpr int PICTURE_W = 320;
constexpr int PICTURE_H = 200;
constexpr int PICTURE_MIN_W = 305;
constexpr int PICTURE_MIN_H = 194;

// Scroller glyph sheet: 6 rows of 10 cells of 32 x 20; each glyph is the
// top-left 31 x 19 of its cell.
constexpr int SCROLL_SHEET_COLS = 10;
constexpr int SCROLL_SHEET_ROWS = 6;
constexpr int SCROLL_CELL_W = 32;
constexpr int SCROLL_CELL_H = 20;
constexpr int SCROLL_GLYPH_W = 31;
constexpr int SCROLL_GLYPH_H = 19;
constexpr int SCROLL_GLYPHS = SCROLL_SHEET_COLS * SCROLL_SHEET_ROWS;

// Logo glyph sheet: 6 rows of 9 cells of 33 x 30; each glyph is the
// bottom-right 32 x 29 of its cell.
constexpr int LOGO_SHEET_COLS = 9;
constexpr int LOGO_SHEET_ROWS = 6;
constexpr int LOGO_CELL_W = 33;
constexpr int LOGO_CELL_H = 30;
constexpr int LOGO_GLYPH_W = 32;
constexpr int LOGO_GLYPH_H = 29;
constexpr int LOGO_GLYPHS = LOGO_SHEET_COLS * LOGO_SHEET_ROWS;

// Intro members: the logo picture, 320 x 200 with at most 5000 pixels of
// colours 1..31, and the pattern sheet whose tile is the 32 x 32 square at (0, 32).
constexpr int INTRO_MAX_CELLS = 5000;
constexpr int INTRO_CELL_COLOUR_MIN = 1;
constexpr int INTRO_CELL_COLOUR_MAX = 31;
constexpr int INTRO_PATTERN_MIN_W = 32;
constexpr int INTRO_PATTERN_MIN_H = 64;

// The rows of each picture's colour maps that res_2.dat fills, in the order
// of a 6-byte block. Rows 103 and 176 are the lights rows, the other four
// the shadows rows (75 darkest, 225 lightest).
constexpr int LIGHT_ROW_BODY = 103;
constexpr int LIGHT_ROW_EDGE = 176;
constexpr int SHADOW_ROWS[4] = {75, 130, 175, 225};
constexpr int ROWS_BLOCK = 6;

#endif
