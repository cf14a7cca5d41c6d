// Tessera's recorder: the demo played on a simulated clock, one 60 Hz tick
// per video frame however long a frame takes to draw, and written out as
// video with its song, as PNG frames, or as checksums of every frame.
#ifndef TESSERA_CAPTURE_H
#define TESSERA_CAPTURE_H

#include <allegro.h>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/state.h"

// A video frame is one tick: TICK_HZ frames a second.
constexpr int CP_RATE = 44100;                      // audio samples a second
constexpr int CP_FRAME_SAMPLES = CP_RATE / TICK_HZ; // 735 stereo samples a frame
constexpr int CP_DEFAULT_SCALE = 2;                 // the 320 x 240 frame doubled, as on screen
constexpr int CP_MAX_SCALE = 9;                     // 2880 x 2160
constexpr int CP_MAX_CRF = 51;                      // libx264's quality scale: 0 lossless, 51 worst

// What the demo is doing in a frame.
enum cp_phase { CP_INTRO, CP_INTRO_FADE, CP_MAIN, CP_MAIN_FADE };

// One video frame: the 8-bit picture and the palette in force when it is shown.
struct cp_frame {
    long index; // 0 for the first frame of the run
    cp_phase phase;
    long phase_index; // 0 for the first frame of this phase
    BITMAP *pixels;   // screenbuf, 320 x 240
    PALETTE palette;
};

// timeline.cpp: the demo on the simulated clock.

// Prepares the run on `seed` with every resource from the working directory
// (which must hold res.dat and res_2.dat) and enters the intro.
void CP_start_demo(unsigned seed);

// Runs one frame's worth of ticks and draws it. False once the demo is over.
bool CP_next_frame(cp_frame *frame);

// Frames still expected after the frame `phase_index` of `phase`: the rest
// of that phase as it normally runs (none once it runs over), then the
// later phases in full.
long CP_frames_left(cp_phase phase, long phase_index);

// image.cpp: turning the 8-bit frame into colours.

// Fills `rgb` (320 x 240 x 3 bytes, times scale squared) with the frame
// enlarged `scale` times, every pixel a block of scale x scale in the colour
// its palette entry shows on an X display.
void CP_frame_to_rgb(const cp_frame *frame, int scale, unsigned char *rgb);

// Writes a width x height RGB image as a PNG file. False if it cannot be written.
bool CP_write_png(const char *path, const unsigned char *rgb, int width, int height);

// FNV-1a of the frame's pixels (row by row) and of its palette (r, g, b).
uint32_t CP_pixel_checksum(BITMAP *bmp);
uint32_t CP_palette_checksum(const RGB *pal);

// linux/audio.cpp: the song rendered offline, as the demo's MIDI player plays it.

// Prepares a synthesizer with `soundfont` and the song member of `archive`;
// the song waits for CP_start_song. On failure prints why and returns false.
bool CP_open_song(const char *archive, const char *soundfont);

// Starts the song from its beginning, looping when all its tracks end.
void CP_start_song(void);

// Renders one video frame of sound (CP_FRAME_SAMPLES stereo samples, left
// and right interleaved, full scale 1.0) into `out`: the song if it has
// been started, else silence.
void CP_render_frame_sound(float *out);

// The gain that brings the loudest sample rendered so far to 1 dB below
// full scale (at most a tenfold boost; 1 for silence).
double CP_song_gain(void);

void CP_close_song(void);

// Writes 32-bit float stereo sound at CP_RATE to a WAV file, its header
// patched on close.
FILE *CP_open_wav(const char *path);
// Appends `count` values (left and right interleaved), little-endian.
bool CP_write_wav(FILE *wav, const float *samples, int count);
bool CP_close_wav(FILE *wav, long samples);

// linux/video.cpp: the encoder. Elsewhere no_video/video.cpp refuses video
// (and the song with it): no ffmpeg or FluidSynth there.

// False where the recorder is built without the encoder and the song: it
// then refuses OUT.mp4 as soon as it has read its options.
bool CP_makes_video(void);

// How the picture is written: its size, and for a video its H.264 encoding
// by libx264 at a constant quality.
struct cp_encoding {
    int scale;          // the 320 x 240 frame enlarged this many times
    std::string crf;    // libx264's constant rate factor, 0 to CP_MAX_CRF
    std::string preset; // libx264's speed preset, one that CP_known_preset accepts
};

// True if `name` is one of libx264's presets, ultrafast to placebo.
bool CP_known_preset(const std::string &name);

// Ends a running ffmpeg at once and waits for it, so that it writes nothing
// more. Async-signal-safe: for the recorder's way out on a signal.
void CP_end_encoder_now(void);
// Those presets, fastest first, as a list for a message.
std::string CP_preset_names(void);

// The scale of the frames the encoder takes for a video of `scale`; it
// enlarges them itself from there.
int CP_encoder_input_scale(int scale);

// Starts ffmpeg encoding raw RGB frames at 60 fps into `path`, enlarged to
// the encoding's scale.
bool CP_open_encoder(const std::string &path, const cp_encoding &encoding);
// Hands the encoder one frame of CP_encoder_input_scale.
bool CP_encode_frame(const unsigned char *rgb);
// Waits for the encoder; false if it failed.
bool CP_close_encoder(void);
// Joins the video with the sound, scaled by `gain`, into `out` (H.264
// copied, AAC encoded).
bool CP_mux(const std::string &video, const std::string &wav, const std::string &out, double gain);

// progress.cpp: the progress bar on standard error.

void CP_progress_start(bool enabled);
void CP_progress(long done, long total);
void CP_progress_end(long done);

#endif
