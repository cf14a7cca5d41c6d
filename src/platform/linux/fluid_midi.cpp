// The FluidSynth MIDI driver: Allegro's player hands it the song as a raw
// MIDI byte stream on its timer thread; the parser turns the bytes into
// messages and FluidSynth plays them on an audio output of its own.
#include "platform/linux/fluid_midi.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <mutex>
#include <string>

#include "platform/midi_driver.h"
#include "platform/midi_parse.h"

static const int FULL_VOLUME = 255;

static const char CONFIG_SECTION[] = "tessera";
static const char DEFAULT_MUSIC_FILE[] = "music.wav";

// Audio outputs tried in turn when none is configured. PipeWire desktops
// answer as PulseAudio; JACK is left out, it is never there by chance.
static const char *const AUTO_OUTPUTS[] = {"pulseaudio", "alsa"};

// Where distributions put a General MIDI sound font, after the one this
// FluidSynth was built to expect.
static const char *const SOUND_FONT_PATHS[] = {
    FLUID_DEFAULT_SOUND_FONT,
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/soundfonts/default.sf2",
    "/usr/share/soundfonts/FluidR3_GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
    "/usr/share/soundfonts/default.sf3",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/soundfonts/FluidR3_GM.sf3",
};

// A synthesizer with its audio output.
struct fluid_chain {
    fluid_settings_t *settings;
    fluid_synth_t *synth;
    fluid_audio_driver_t *audio;
};

// Everything below is shared by the main thread (install_sound, stop_midi,
// remove_sound) and Allegro's timer thread (raw_midi), under this lock.
static std::mutex driver_lock;
static fluid_chain chain;
static midi_parser parser;
static int mixer_volume = FULL_VOLUME;
// The song's own font, the last one looked for; set on the main thread
// before install_sound.
static std::string song_font;

static int fluid_detect(int input);
static int fluid_init(int input, int voices);
static void fluid_exit(int input);
static int fluid_set_mixer_volume(int volume);
static int fluid_get_mixer_volume(void);
static void fluid_raw_midi(int data);

constinit MIDI_DRIVER ZE_midi_fluidsynth =
    ZE_raw_midi_driver(MIDI_FLUIDSYNTH, "FluidSynth", fluid_detect, fluid_init, fluid_exit,
                       fluid_set_mixer_volume, fluid_get_mixer_volume, fluid_raw_midi);

static void quiet_alsa(const char *, int, const char *, int, const char *, ...) {}

void ZE_quiet_sound_libraries(void)
{
    snd_lib_error_set_handler(quiet_alsa);
    for (int level = FLUID_PANIC; level <= FLUID_DBG; level++) {
        fluid_set_log_function(level, NULL, NULL);
    }
}

// The configured sound font, or the first General MIDI font found in the
// usual places, or else the song's own; empty when there is none.
static std::string find_sound_font(fluid_settings_t *settings)
{
    const char *configured = get_config_string(CONFIG_SECTION, "sound_font", NULL);
    if (configured != NULL && configured[0] != '\0') {
        return fluid_is_soundfont(configured) ? configured : "";
    }
    std::string found;
    char *built_in = NULL;
    if (fluid_settings_dupstr(settings, "synth.default-soundfont", &built_in) == FLUID_OK &&
        built_in != NULL && fluid_is_soundfont(built_in)) {
        found = built_in;
    }
    fluid_free(built_in);
    for (const char *candidate : SOUND_FONT_PATHS) {
        if (found.empty() && fluid_is_soundfont(candidate)) {
            found = candidate;
        }
    }
    if (found.empty() && !song_font.empty() && fluid_is_soundfont(song_font.c_str())) {
        found = song_font;
    }
    return found;
}

// Opens the audio output named by music_output (default: the first of
// AUTO_OUTPUTS that works) for the chain's synthesizer.
static bool open_audio(fluid_chain *c)
{
    const char *output = get_config_string(CONFIG_SECTION, "music_output", "auto");
    if (ustricmp(output, "file") == 0) {
        const char *file = get_config_string(CONFIG_SECTION, "music_file", DEFAULT_MUSIC_FILE);
        fluid_settings_setstr(c->settings, "audio.driver", "file");
        fluid_settings_setstr(c->settings, "audio.file.name", file);
        c->audio = new_fluid_audio_driver(c->settings, c->synth);
        return c->audio != NULL;
    }
    if (ustricmp(output, "auto") != 0) {
        if (fluid_settings_setstr(c->settings, "audio.driver", output) != FLUID_OK) {
            return false;
        }
        c->audio = new_fluid_audio_driver(c->settings, c->synth);
        return c->audio != NULL;
    }
    for (const char *name : AUTO_OUTPUTS) {
        if (fluid_settings_setstr(c->settings, "audio.driver", name) == FLUID_OK) {
            c->audio = new_fluid_audio_driver(c->settings, c->synth);
            if (c->audio != NULL) {
                return true;
            }
        }
    }
    return false;
}

static void close_chain(fluid_chain *c)
{
    // The output goes first, so that it stops asking the synthesizer for sound.
    if (c->audio != NULL) {
        delete_fluid_audio_driver(c->audio);
    }
    if (c->synth != NULL) {
        delete_fluid_synth(c->synth);
    }
    if (c->settings != NULL) {
        delete_fluid_settings(c->settings);
    }
    c->audio = NULL;
    c->synth = NULL;
    c->settings = NULL;
}

// Builds a synthesizer and opens its audio output; with `load_font` it also
// loads the sound font, before the output starts. On failure nothing stays
// open and allegro_error says what was missing.
static bool open_chain(fluid_chain *c, bool load_font)
{
    ZE_quiet_sound_libraries();
    *c = fluid_chain{};
    c->settings = new_fluid_settings();
    if (c->settings == NULL) {
        return false;
    }
    std::string font = find_sound_font(c->settings);
    if (font.empty()) {
        ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, "No General MIDI sound font found");
        close_chain(c);
        return false;
    }
    fluid_settings_setnum(c->settings, "synth.gain", FLUID_FULL_GAIN);
    c->synth = new_fluid_synth(c->settings);
    if (c->synth == NULL) {
        close_chain(c);
        return false;
    }
    if (load_font && fluid_synth_sfload(c->synth, font.c_str(), 1) == FLUID_FAILED) {
        ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, "Cannot load the sound font");
        close_chain(c);
        return false;
    }
    if (!open_audio(c)) {
        ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, "FluidSynth found no audio output");
        close_chain(c);
        return false;
    }
    return true;
}

// Found when a sound font is installed and an audio output opens; the
// output is closed again at once and the font is only checked, not loaded.
static int fluid_detect(int input)
{
    if (input) {
        return FALSE;
    }
    fluid_chain probe;
    if (!open_chain(&probe, false)) {
        return FALSE;
    }
    close_chain(&probe);
    return TRUE;
}

static int fluid_init(int input, int)
{
    if (input) {
        return -1;
    }
    std::lock_guard<std::mutex> hold(driver_lock);
    close_chain(&chain);
    if (!open_chain(&chain, true)) {
        return -1;
    }
    ZE_midi_parser_reset(&parser);
    mixer_volume = FULL_VOLUME;
    return 0;
}

// Silences every channel and shuts FluidSynth down; safe to call twice.
static void fluid_exit(int)
{
    std::lock_guard<std::mutex> hold(driver_lock);
    if (chain.synth != NULL) {
        fluid_synth_all_sounds_off(chain.synth, -1);
    }
    close_chain(&chain);
    ZE_midi_parser_reset(&parser);
}

// Volume 0..255 scales the synthesizer's gain.
static int fluid_set_mixer_volume(int volume)
{
    std::lock_guard<std::mutex> hold(driver_lock);
    mixer_volume = MID(0, volume, FULL_VOLUME);
    if (chain.synth != NULL) {
        fluid_synth_set_gain(chain.synth, FLUID_FULL_GAIN * mixer_volume / FULL_VOLUME);
    }
    return 0;
}

static int fluid_get_mixer_volume(void)
{
    std::lock_guard<std::mutex> hold(driver_lock);
    return mixer_volume;
}

// Plays one finished message.
static void send_event(fluid_synth_t *synth, const midi_event &e)
{
    switch (e.type) {
    case MIDI_NOTE_OFF:
        fluid_synth_noteoff(synth, e.channel, e.data1);
        break;
    case MIDI_NOTE_ON:
        fluid_synth_noteon(synth, e.channel, e.data1, e.data2);
        break;
    case MIDI_KEY_PRESSURE:
        fluid_synth_key_pressure(synth, e.channel, e.data1, e.data2);
        break;
    case MIDI_CONTROL:
        fluid_synth_cc(synth, e.channel, e.data1, e.data2);
        break;
    case MIDI_PROGRAM:
        fluid_synth_program_change(synth, e.channel, e.data1);
        break;
    case MIDI_CHANNEL_PRESSURE:
        fluid_synth_channel_pressure(synth, e.channel, e.data1);
        break;
    case MIDI_PITCH_BEND:
        fluid_synth_pitch_bend(synth, e.channel, e.data1);
        break;
    }
}

static void fluid_raw_midi(int data)
{
    std::lock_guard<std::mutex> hold(driver_lock);
    midi_event event;
    if (ZE_midi_parse_byte(&parser, data, &event) && chain.synth != NULL) {
        send_event(chain.synth, event);
    }
}

void ZE_fluid_use_song_font(const char *path)
{
    std::lock_guard<std::mutex> hold(driver_lock);
    song_font = path;
}
