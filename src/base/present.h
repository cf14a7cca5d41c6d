// Showing a finished 320 x 240 frame: doubled on the 640 x 480 screen, or
// enlarged as the screen chosen asks, and saved as "capture.pcx" while Space
// is held. Both parts present through it.
#ifndef TESSERA_PRESENT_H
#define TESSERA_PRESENT_H

#include <allegro.h>

// Where a frame goes on the screen: its top left corner and how many times it
// is enlarged, every pixel a scale x scale block.
struct ze_view {
    int x, y, scale;
};
constexpr int VIEW_DEFAULT_SCALE = 2; // the picture doubled on a 640 x 480 screen

// Set once by start-up when it opens the screen; the default fills 640 x 480.
extern ze_view ZE_view;

// The screenshot, written in the working folder.
constexpr const char *CAPTURE_NAME = "capture.pcx";

// Both parts end with fade_out(FADE_SPEED), the palette fading to black.
constexpr int FADE_SPEED = 4;

// Waits for the retrace if flags.vsync is set, shows the 320 x 240 bitmap
// on the screen as ZE_view says, and while Space is down saves it as "capture.pcx"
// with the palette of the picture on show (`shot_palette`, never a tint): a
// new file renamed over the name. A screenshot that cannot be written is
// told once on standard error.
void ZE_final_pass(BITMAP *bmp, const RGB *shot_palette);

#endif
