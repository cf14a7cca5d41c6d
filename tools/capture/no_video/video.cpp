// The recorder where it is built without ffmpeg and FluidSynth (Windows,
// Node): PNG frames, stills and checksums. OUT.mp4 is refused as soon as the
// options are read, so nothing below is ever asked to record.
#include "capture/capture.h"

bool CP_makes_video(void)
{
    return false;
}

// Any preset passes: the video it would encode is refused, with the reason.
bool CP_known_preset(const std::string &)
{
    return true;
}

std::string CP_preset_names(void)
{
    return "";
}

void CP_end_encoder_now(void) {}

int CP_encoder_input_scale(int scale)
{
    return scale;
}

bool CP_open_encoder(const std::string &, const cp_encoding &)
{
    return false;
}

bool CP_encode_frame(const unsigned char *)
{
    return false;
}

bool CP_close_encoder(void)
{
    return false;
}

bool CP_mux(const std::string &, const std::string &, const std::string &, double)
{
    return false;
}

bool CP_open_song(const char *, const char *)
{
    return false;
}

void CP_start_song(void) {}

void CP_render_frame_sound(float *) {}

double CP_song_gain(void)
{
    return 1;
}

void CP_close_song(void) {}

FILE *CP_open_wav(const char *)
{
    return NULL;
}

bool CP_write_wav(FILE *, const float *, int)
{
    return false;
}

bool CP_close_wav(FILE *, long)
{
    return false;
}
