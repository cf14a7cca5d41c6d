// The one PNG writer of the tools. Rows are stored unfiltered: the recorder's
// frames are doubled, and deflate finds each doubled row whole in its window,
// which no filter improves on; the tests read the rows back as they are.
#include "png_writer.h"

#include <csetjmp>
#include <cstdio>
#include <png.h>

// libpng reports errors by longjmp to here; nothing with a destructor lives
// in this frame, and nothing is changed between setjmp and the last call
// that may jump.
static bool write_rows(png_structp png, png_infop info, FILE *f, const unsigned char *pixels,
                       int width, int height, int channels)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_write_info(png, info);
    const size_t row_bytes = static_cast<size_t>(width) * channels;
    for (int y = 0; y < height; y++) {
        png_write_row(png, pixels + static_cast<size_t>(y) * row_bytes);
    }
    png_write_end(png, nullptr);
    return true;
}

static bool write_png(const char *path, const unsigned char *pixels, int width, int height,
                      int channels)
{
    if (width <= 0 || height <= 0) {
        return false;
    }
    FILE *f = fopen(path, "wb");
    if (f == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool written =
        info != nullptr && write_rows(png, info, f, pixels, width, height, channels);
    png_destroy_write_struct(&png, &info);
    // A full disk may show only when the buffered rest is flushed.
    return fclose(f) == 0 && written;
}

bool PW_write_rgb(const char *path, const unsigned char *rgb, int width, int height)
{
    return write_png(path, rgb, width, height, 3);
}

bool PW_write_rgba(const char *path, const unsigned char *rgba, int width, int height)
{
    return write_png(path, rgba, width, height, 4);
}
