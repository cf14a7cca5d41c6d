// The resource archive. A member is never read in place: it is copied to
// the temporary file and loaded from there by the library's own loaders,
// once its bytes have passed the member checks.
#include "archive.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "checks.h"
#include "colormaps.h"
#include "paths.h"
#include "platform/files.h"
#include "base/system.h"

BITMAP *iso_backs[RES_PICTURES];
PALETTE iso_pal[RES_PICTURES];
BITMAP *scrollie[SCROLL_GLYPHS];
BITMAP *logo[LOGO_GLYPHS];
MIDI *muzak;

static BITMAP *trash; // a glyph sheet while it is being sliced
static PALETTE junk;  // receives the glyph sheets' palettes; nothing reads it

// Reads `length` bytes of archive `name` from `offset` into `staging`, which
// holds RES_STAGING_SIZE bytes, all zero beyond the member.
static void read_member(const char *name, int32_t offset, int32_t length, unsigned char *staging)
{
    memset(staging, 0, RES_STAGING_SIZE);
    if (length > RES_STAGING_SIZE) {
        ZE_fatal("%s: member at offset %d is longer than %d bytes", name, (int)offset,
                 (int)RES_STAGING_SIZE);
    }

    const char *why = NULL;
    FILE *archive = ZE_open_data_file(name, &why);
    if (archive == NULL) {
        ZE_fatal("%s: cannot open the archive (%s)", name, why);
    }
    fseek(archive, offset, SEEK_SET);
    for (int32_t i = 0; i < length; i++) {
        int c = fgetc(archive);
        if (c == EOF) {
            fclose(archive);
            ZE_fatal("%s: the archive ends inside the member at offset %d (%d bytes)", name,
                     (int)offset, (int)length);
        }
        staging[i] = static_cast<unsigned char>(c);
    }
    fclose(archive);
}

// Writes the `length` staged bytes into the temporary file, replacing it.
static void write_member(const unsigned char *staging, int32_t length)
{
    FILE *temp = ZE_create_temp_file();
    if (temp == NULL) {
        ZE_fatal("%s: cannot write the temporary file (%s)", ZE_temp_path(), strerror(errno));
    }
    bool written = true;
    for (int32_t i = 0; i < length && written; i++) {
        written = fputc(staging[i], temp) != EOF;
    }
    if (fclose(temp) != 0 || !written) {
        ZE_fatal("%s: cannot write the temporary file (%s)", ZE_temp_path(), strerror(errno));
    }
}

void extract_resource(const char *name, int32_t offset, int32_t length)
{
    unsigned char staging[RES_STAGING_SIZE];
    read_member(name, offset, length, staging);
    write_member(staging, length);
}

// The member's length as a count of bytes; the directory's are all positive.
static size_t member_size(res_member member)
{
    return member.length > 0 ? static_cast<size_t>(member.length) : 0;
}

BITMAP *ZE_load_picture_member(res_member member, RGB *pal, int min_w, int min_h, const char *what)
{
    unsigned char staging[RES_STAGING_SIZE];
    read_member(ZE_archive_path(), member.offset, member.length, staging);
    int w = 0;
    int h = 0;
    const check_result verdict = ZE_check_picture(staging, member_size(member), &w, &h);
    if (!verdict.ok) {
        ZE_fatal("%s: the %s at offset %d is not a PCX the demo can read: %s", ZE_archive_path(),
                 what, (int)member.offset, verdict.reason);
    }
    if (w < min_w || h < min_h) {
        ZE_fatal("%s: the %s at offset %d is not an 8-bit PCX of at least %dx%d", ZE_archive_path(),
                 what, (int)member.offset, min_w, min_h);
    }
    write_member(staging, member.length);

    BITMAP *bmp = load_pcx(ZE_temp_path(), pal);
    remove(ZE_temp_path());
    // Whoever draws from the picture relies on the size its header gave.
    if (bmp == NULL || bitmap_color_depth(bmp) != 8 || bmp->w != w || bmp->h != h) {
        if (bmp != NULL) {
            destroy_bitmap(bmp);
        }
        ZE_fatal("%s: the %s at offset %d did not load as the %dx%d picture its header describes",
                 ZE_archive_path(), what, (int)member.offset, w, h);
    }
    return bmp;
}

// Cuts a sheet into `count` glyphs of w x h, row by row: glyph r * cols + c
// is the rectangle at (left + c * cell_w, top + r * cell_h).
static void slice_sheet(BITMAP **glyphs, int cols, int rows, int cell_w, int cell_h, int left,
                        int top, int w, int h)
{
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < cols; c++) {
            BITMAP *glyph = create_bitmap(w, h);
            if (glyph == NULL) {
                ZE_fatal("out of memory for the glyphs");
            }
            glyphs[cols * r + c] = glyph;
            blit(trash, glyph, left + c * cell_w, top + r * cell_h, 0, 0, w, h);
        }
    }
}

void ZE_load_scroller_glyphs(void)
{
    trash = ZE_load_picture_member(
        RES_SCROLL_SHEET, junk, SCROLL_CELL_W * (SCROLL_SHEET_COLS - 1) + SCROLL_GLYPH_W,
        SCROLL_CELL_H * (SCROLL_SHEET_ROWS - 1) + SCROLL_GLYPH_H, "scroller glyph sheet");
    slice_sheet(scrollie, SCROLL_SHEET_COLS, SCROLL_SHEET_ROWS, SCROLL_CELL_W, SCROLL_CELL_H, 0, 0,
                SCROLL_GLYPH_W, SCROLL_GLYPH_H);
    destroy_bitmap(trash);
    trash = NULL;
}

void ZE_load_logo_glyphs(void)
{
    trash = ZE_load_picture_member(RES_LOGO_SHEET, junk, LOGO_CELL_W * LOGO_SHEET_COLS,
                                   LOGO_CELL_H * LOGO_SHEET_ROWS, "logo glyph sheet");
    slice_sheet(logo, LOGO_SHEET_COLS, LOGO_SHEET_ROWS, LOGO_CELL_W, LOGO_CELL_H, 1, 1,
                LOGO_GLYPH_W, LOGO_GLYPH_H);
    destroy_bitmap(trash);
    trash = NULL;
}

void ZE_load_song(void)
{
    unsigned char staging[RES_STAGING_SIZE];
    read_member(ZE_archive_path(), RES_SONG.offset, RES_SONG.length, staging);
    const check_result verdict = ZE_check_song(staging, member_size(RES_SONG));
    if (!verdict.ok) {
        ZE_fatal("%s: the song at offset %d is not a MIDI file the player can read: %s",
                 ZE_archive_path(), (int)RES_SONG.offset, verdict.reason);
    }
    write_member(staging, RES_SONG.length);
    muzak = load_midi(ZE_temp_path());
    if (muzak == NULL || muzak->divisions <= 0) {
        ZE_fatal("%s: the song at offset %d is not a MIDI file the library can load",
                 ZE_archive_path(), (int)RES_SONG.offset);
    }
}

void ZE_load_resources(void)
{
    ZE_read_color_maps();

    for (int i = 0; i < RES_PICTURES; i++) {
        iso_backs[i] = ZE_load_picture_member(RES_PICTURE[i], iso_pal[i], PICTURE_MIN_W,
                                              PICTURE_MIN_H, "picture");
        _shadows[i] = ZE_shadow_maps[i];
        _lights[i] = ZE_light_maps[i];
        // Row 0 is the identity, so colour-0 pixels leave what lies beneath.
        for (int k = 0; k < PAL_SIZE; k++) {
            _shadows[i]->data[0][k] = static_cast<unsigned char>(k);
            _lights[i]->data[0][k] = static_cast<unsigned char>(k);
        }
    }

    ZE_load_scroller_glyphs();
    ZE_load_logo_glyphs();
    // The song's copy stays in the temporary file until the intro's loading
    // replaces and removes it.
    ZE_load_song();
}
