// Writing RGB images as PNG files through libpng, for the recorder's frames
// and stills and the data builder's contact sheet and icons.
#ifndef TESSERA_PNG_WRITER_H
#define TESSERA_PNG_WRITER_H

// Writes `width` x `height` pixels of 3 bytes (r, g, b), row after row, to
// `path` as an 8-bit RGB PNG. False, with `path` perhaps half written, if it
// cannot be written.
bool PW_write_rgb(const char *path, const unsigned char *rgb, int width, int height);

// The same with 4 bytes a pixel (r, g, b, alpha), as an 8-bit RGBA PNG.
bool PW_write_rgba(const char *path, const unsigned char *rgba, int width, int height);

#endif
