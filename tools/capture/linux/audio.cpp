// The song, rendered offline by FluidSynth on the video's clock: the player
// counts time in rendered samples, so every video frame gets exactly 735
// samples of it. The song loops as play_midi(song, 1) loops, from the start
// once all its tracks have ended, with the synthesizer reset in between.
// The sound is kept as floating point until the end, when its loudest moment
// is known: the video's sound is then brought to 1 dB below full scale.
#include "capture/capture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fluidsynth.h>
#include <vector>

#include "platform/synth.h"
#include "resources/directory.h"

static const char MIDI_MAGIC[] = "MThd";
static const uint32_t WAVE_FLOAT = 3;
static const double TARGET_PEAK = 0.891; // 1 dB below full scale
static const double MAX_BOOST = 10.0;

static fluid_settings_t *settings;
static fluid_synth_t *synth;
static fluid_player_t *player;
static bool playing;
static float peak; // the loudest sample rendered, 1.0 being full scale

// Reads the song's bytes straight out of the archive.
static bool read_song(const char *archive, std::vector<unsigned char> &song)
{
    FILE *f = fopen(archive, "rb");
    if (f == NULL) {
        fprintf(stderr, "tessera-capture: cannot open %s\n", archive);
        return false;
    }
    song.resize(RES_SONG.length);
    const bool read = fseek(f, RES_SONG.offset, SEEK_SET) == 0 &&
                      fread(song.data(), 1, song.size(), f) == song.size();
    fclose(f);
    if (!read) {
        fprintf(stderr, "tessera-capture: %s ends before its song does\n", archive);
        return false;
    }
    if (memcmp(song.data(), MIDI_MAGIC, 4) != 0) {
        fprintf(stderr, "tessera-capture: the song in %s is not a MIDI file\n", archive);
        return false;
    }
    return true;
}

bool CP_open_song(const char *archive, const char *soundfont)
{
    std::vector<unsigned char> song;
    if (!read_song(archive, song)) {
        return false;
    }

    // FluidSynth's warnings about the sound font would only clutter the bar.
    fluid_set_log_function(FLUID_WARN, NULL, NULL);
    fluid_set_log_function(FLUID_INFO, NULL, NULL);
    fluid_set_log_function(FLUID_DBG, NULL, NULL);

    settings = new_fluid_settings();
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    fluid_settings_setint(settings, "player.reset-synth", 1);
    fluid_settings_setnum(settings, "synth.sample-rate", CP_RATE);
    fluid_settings_setnum(settings, "synth.gain", FLUID_FULL_GAIN);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    synth = new_fluid_synth(settings);
    if (synth == NULL) {
        fprintf(stderr, "tessera-capture: cannot start the synthesizer\n");
        return false;
    }
    if (fluid_synth_sfload(synth, soundfont, 1) == FLUID_FAILED) {
        fprintf(stderr, "tessera-capture: cannot load the sound font %s\n", soundfont);
        return false;
    }
    player = new_fluid_player(synth);
    if (player == NULL || fluid_player_add_mem(player, song.data(), song.size()) != FLUID_OK) {
        fprintf(stderr, "tessera-capture: FluidSynth cannot read the song in %s\n", archive);
        return false;
    }
    fluid_player_set_loop(player, -1);
    playing = false;
    peak = 0;
    return true;
}

void CP_start_song(void)
{
    if (player != NULL && !playing) {
        fluid_player_play(player);
        playing = true;
    }
}

void CP_render_frame_sound(float *out)
{
    if (!playing) {
        std::fill(out, out + 2 * CP_FRAME_SAMPLES, 0.0f);
        return;
    }
    fluid_synth_write_float(synth, CP_FRAME_SAMPLES, out, 0, 2, out, 1, 2);
    for (int i = 0; i < 2 * CP_FRAME_SAMPLES; i++) {
        peak = std::max(peak, std::fabs(out[i]));
    }
}

double CP_song_gain(void)
{
    if (peak <= 0) {
        return 1.0;
    }
    return std::min(TARGET_PEAK / peak, MAX_BOOST);
}

void CP_close_song(void)
{
    if (player != NULL) {
        fluid_player_stop(player);
        delete_fluid_player(player);
    }
    if (synth != NULL) {
        delete_fluid_synth(synth);
    }
    if (settings != NULL) {
        delete_fluid_settings(settings);
    }
    player = NULL;
    synth = NULL;
    settings = NULL;
    playing = false;
}

static void put_le(FILE *f, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; i++) {
        fputc(static_cast<int>((v >> (8 * i)) & 0xff), f);
    }
}

// The 44-byte header of a WAV file of 32-bit float stereo sound holding
// `samples` sample frames.
static void put_wav_header(FILE *f, long samples)
{
    const uint32_t frame_bytes = 2 * sizeof(float);
    const uint32_t data_bytes = static_cast<uint32_t>(samples) * frame_bytes;
    fputs("RIFF", f);
    put_le(f, 36 + data_bytes, 4);
    fputs("WAVEfmt ", f);
    put_le(f, 16, 4);                    // format chunk size
    put_le(f, WAVE_FLOAT, 2);            // IEEE floating point
    put_le(f, 2, 2);                     // channels
    put_le(f, CP_RATE, 4);               // sample rate
    put_le(f, CP_RATE * frame_bytes, 4); // bytes a second
    put_le(f, frame_bytes, 2);           // bytes a sample frame
    put_le(f, 8 * sizeof(float), 2);     // bits a sample
    fputs("data", f);
    put_le(f, data_bytes, 4);
}

FILE *CP_open_wav(const char *path)
{
    FILE *f = fopen(path, "wb");
    if (f != NULL) {
        put_wav_header(f, 0);
    }
    return f;
}

bool CP_write_wav(FILE *wav, const float *samples, int count)
{
    unsigned char bytes[4 * 2 * CP_FRAME_SAMPLES];
    while (count > 0) {
        const int n = std::min(count, 2 * CP_FRAME_SAMPLES);
        for (int i = 0; i < n; i++) {
            uint32_t v;
            memcpy(&v, &samples[i], sizeof v);
            for (int b = 0; b < 4; b++) {
                bytes[4 * i + b] = static_cast<unsigned char>(v >> (8 * b));
            }
        }
        if (fwrite(bytes, 4, n, wav) != static_cast<size_t>(n)) {
            return false;
        }
        samples += n;
        count -= n;
    }
    return true;
}

bool CP_close_wav(FILE *wav, long samples)
{
    bool ok = fseek(wav, 0, SEEK_SET) == 0;
    if (ok) {
        put_wav_header(wav, samples);
    }
    ok = !ferror(wav) && ok;
    return fclose(wav) == 0 && ok;
}
