// Presenting a frame.
#include "present.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/display.h"
#include "platform/files.h"
#include "state.h"

ze_view ZE_view = {0, 0, VIEW_DEFAULT_SCALE};

// The screenshot is encoded in memory by the library's PCX writer, through a
// write-only PACKFILE over a byte buffer; nothing ever reads from it.
static void append(void *buffer, const void *p, long n)
{
    const unsigned char *from = static_cast<const unsigned char *>(p);
    std::vector<unsigned char> &bytes = *static_cast<std::vector<unsigned char> *>(buffer);
    bytes.insert(bytes.end(), from, from + n);
}

static const PACKFILE_VTABLE TO_MEMORY = {
    [](void *) { return 0; },                // fclose
    [](void *) { return EOF; },              // getc
    [](int, void *) { return EOF; },         // ungetc
    [](void *, long, void *) { return 0L; }, // fread
    [](int c, void *buffer) {                // putc
        const unsigned char byte = static_cast<unsigned char>(c);
        append(buffer, &byte, 1);
        return c;
    },
    [](const void *p, long n, void *buffer) { // fwrite
        append(buffer, p, n);
        return n;
    },
    [](void *, int) { return -1; }, // fseek
    [](void *) { return 1; },       // feof
    [](void *) { return 0; },       // ferror
};

// Saves the screenshot; a failure is told once, and the demo runs on.
static void save_capture(BITMAP *bmp, const RGB *shot_palette)
{
    static bool told = false;
    static std::vector<unsigned char> bytes; // kept, so that its room is reused
    bytes.clear();
    PACKFILE *memory = pack_fopen_vtable(&TO_MEMORY, &bytes);
    int error = ENOMEM;
    if (memory != NULL) {
        save_pcx_pf(memory, bmp, shot_palette);
        pack_fclose(memory);
        error = ZE_replace_file(CAPTURE_NAME, bytes.data(), bytes.size());
    }
    if (error != 0 && !told) {
        fprintf(stderr, "tessera: %s: %s\n", CAPTURE_NAME, strerror(error));
        told = true;
    }
}

// Allegro's X screen sends a frame stretched onto it line by line, each
// line as wide as the screen. Where the picture covers at most half that
// width (the doubled picture on a desktop-sized screen), sending those lines
// costs more than enlarging the frame in memory and showing it with one
// blit, which goes as the one rectangle it covers. Wider pictures are
// stretched straight on, which is as fast or faster for them.
static BITMAP *enlarged = NULL; // made again if the view's scale changes

// Shows the frame through `enlarged`; false if it cannot be had.
static bool show_enlarged(BITMAP *bmp, int w, int h)
{
    if (enlarged != NULL && (enlarged->w != w || enlarged->h != h)) {
        destroy_bitmap(enlarged);
        enlarged = NULL;
    }
    if (enlarged == NULL) {
        enlarged = create_bitmap_ex(8, w, h);
    }
    if (enlarged == NULL) {
        return false;
    }
    stretch_blit(bmp, enlarged, 0, 0, SCREENBUF_W, SCREENBUF_H, 0, 0, w, h);
    blit(enlarged, screen, 0, 0, ZE_view.x, ZE_view.y, w, h);
    return true;
}

void ZE_final_pass(BITMAP *bmp, const RGB *shot_palette)
{
    if (ZE_read(flags.vsync)) {
        ZE_wait_refresh();
    }
    const int w = ZE_view.scale * SCREENBUF_W, h = ZE_view.scale * SCREENBUF_H;
    if (2 * w > SCREEN_W || !show_enlarged(bmp, w, h)) {
        stretch_blit(bmp, screen, 0, 0, SCREENBUF_W, SCREENBUF_H, ZE_view.x, ZE_view.y, w, h);
    }
    if (key[KEY_SPACE]) {
        save_capture(bmp, shot_palette);
    }
    ZE_frame_shown();
}
