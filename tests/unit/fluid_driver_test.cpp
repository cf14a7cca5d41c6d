#include <chrono>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <allegro/platform/aintunix.h>

#include "driver/fluid_midi.h"
#include "support.h"

// The 16-bit samples of a WAV file, both channels interleaved; empty when
// the file is missing or has no data chunk.
static std::vector<int16_t> wav_samples(const std::string &path)
{
    std::string bytes = TT_read_file(path);
    std::vector<int16_t> samples;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return samples;
    }
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        uint32_t length;
        memcpy(&length, bytes.data() + at + 4, 4);
        if (bytes.compare(at, 4, "data") == 0) {
            size_t end = std::min(bytes.size(), at + 8 + length);
            for (size_t i = at + 8; i + 1 < end; i += 2) {
                int16_t s;
                memcpy(&s, bytes.data() + i, 2);
                samples.push_back(s);
            }
            break;
        }
        at += 8 + length + (length & 1);
    }
    return samples;
}

static const int RATE = 44100;
static const int DITHER = 4;

// The loudest sample of a stereo recording between two times in seconds;
// negative times count back from its end.
static int peak(const std::vector<int16_t> &samples, double from, double to)
{
    double length = samples.size() / 2.0 / RATE;
    from = from < 0 ? length + from : from;
    to = to <= 0 ? length + to : to;
    int loudest = 0;
    size_t end = std::min(samples.size(), static_cast<size_t>(to * RATE) * 2);
    for (size_t i = static_cast<size_t>(from * RATE) * 2; i < end; i++) {
        loudest = std::max(loudest, std::abs(static_cast<int>(samples[i])));
    }
    return loudest;
}

static void send(std::initializer_list<int> bytes)
{
    for (int b : bytes) {
        ZE_midi_fluidsynth.raw_midi(b);
    }
}

static void pause_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Points the driver at a WAV file in a fresh working folder.
static std::string configure_file_output(void)
{
    std::string wav = TT_enter_workdir(false) + "/music.wav";
    set_config_string("tessera", "music_output", "file");
    set_config_string("tessera", "music_file", wav.c_str());
    set_config_string("tessera", "sound_font", NULL);
    return wav;
}

// With file output the driver is found, plays what the byte stream says,
// and falls silent when the player sends all-sound-off on every channel,
// as stop_midi does; at exit the file is finished and readable.
TEST(FluidDriver, FileOutputPlaysAndStops)
{
    std::string wav = configure_file_output();
    ASSERT_TRUE(ZE_midi_fluidsynth.detect(FALSE));
    ASSERT_EQ(ZE_midi_fluidsynth.init(FALSE, 0), 0);
    pause_ms(300);
    send({0xC0, 0, 0xB0, 7, 127, 0x90, 60, 110, 64, 110, 67, 110});
    pause_ms(500);
    for (int channel = 0; channel < 16; channel++) {
        send({0xB0 + channel, 123, 0, 0xB0 + channel, 120, 0});
    }
    pause_ms(500);
    ZE_midi_fluidsynth.exit(FALSE);

    std::vector<int16_t> samples = wav_samples(wav);
    // About 1.3 s of stereo sound at 44.1 kHz; the clock of the file output
    // is the wall clock, so allow for a slow machine.
    ASSERT_GT(samples.size(), 1.0 * RATE * 2);
    // FluidSynth dithers its output, so silence is a sample or two of noise;
    // the reverb rings on faintly after the voices are cut.
    int chord = peak(samples, 0.4, 0.7);
    EXPECT_LE(peak(samples, 0.0, 0.2), DITHER) << "sound before the first note";
    EXPECT_GT(chord, 1000) << "the chord is missing";
    EXPECT_LT(peak(samples, -0.2, 0), chord / 50) << "sound after all-sound-off";
}

// The driver is skipped when there is no sound font or no audio output,
// and everything it is sent then is dropped without harm.
TEST(FluidDriver, NotFoundWithoutFontOrOutput)
{
    configure_file_output();
    set_config_string("tessera", "sound_font", "/nonexistent/font.sf2");
    EXPECT_FALSE(ZE_midi_fluidsynth.detect(FALSE));
    EXPECT_NE(ZE_midi_fluidsynth.init(FALSE, 0), 0);
    send({0x90, 60, 100});

    // A file that is not a sound font does not count as one.
    TT_write_file("fake.sf2", std::string(4096, 'x'));
    set_config_string("tessera", "sound_font", "fake.sf2");
    EXPECT_FALSE(ZE_midi_fluidsynth.detect(FALSE));

    set_config_string("tessera", "sound_font", NULL);
    set_config_string("tessera", "music_output", "no-such-output");
    EXPECT_FALSE(ZE_midi_fluidsynth.detect(FALSE));

    // A file that cannot be created is an output that fails.
    set_config_string("tessera", "music_output", "file");
    set_config_string("tessera", "music_file", "/nonexistent/folder/music.wav");
    EXPECT_FALSE(ZE_midi_fluidsynth.detect(FALSE));

    EXPECT_FALSE(ZE_midi_fluidsynth.detect(TRUE)) << "no MIDI input";
    ZE_midi_fluidsynth.exit(FALSE);
    ZE_midi_fluidsynth.exit(FALSE);
}

// The mixer volume is kept within 0..255 whether or not the synthesizer
// runs, and a second init after exit works.
TEST(FluidDriver, MixerVolumeAndRestart)
{
    configure_file_output();
    EXPECT_EQ(ZE_midi_fluidsynth.set_mixer_volume(300), 0);
    EXPECT_EQ(ZE_midi_fluidsynth.get_mixer_volume(), 255);
    ASSERT_EQ(ZE_midi_fluidsynth.init(FALSE, 0), 0);
    ZE_midi_fluidsynth.set_mixer_volume(-5);
    EXPECT_EQ(ZE_midi_fluidsynth.get_mixer_volume(), 0);
    ZE_midi_fluidsynth.set_mixer_volume(128);
    EXPECT_EQ(ZE_midi_fluidsynth.get_mixer_volume(), 128);
    ZE_midi_fluidsynth.exit(FALSE);
    ASSERT_EQ(ZE_midi_fluidsynth.init(FALSE, 0), 0);
    EXPECT_EQ(ZE_midi_fluidsynth.get_mixer_volume(), 255);
    ZE_midi_fluidsynth.exit(FALSE);
}

// Registered once, at the head of the autodetected drivers, ahead of the
// library's own; without a driver list there is nothing to join.
TEST(FluidDriver, RegisteredFirstAndOnce)
{
    ZE_register_midi_drivers();
    ASSERT_EQ(_unix_midi_driver_list, nullptr);

    _unix_driver_lists_init();
    ASSERT_NE(_unix_midi_driver_list, nullptr);
    int library_drivers = 0;
    while (_unix_midi_driver_list[library_drivers].driver != NULL) {
        library_drivers++;
    }
    ZE_register_midi_drivers();
    ZE_register_midi_drivers();
    const _DRIVER_INFO *list = _unix_midi_driver_list;
    EXPECT_EQ(list[0].id, MIDI_FLUIDSYNTH);
    EXPECT_EQ(list[0].driver, &ZE_midi_fluidsynth);
    EXPECT_TRUE(list[0].autodetect);
    int count = 0;
    while (list[count].driver != NULL) {
        count++;
    }
    EXPECT_EQ(count, library_drivers + 1);
    _unix_driver_lists_shutdown();
}

// Probing an audio output that is not there prints nothing: neither ALSA's
// library nor FluidSynth may write to the console behind the demo's back.
TEST(FluidDriver, FailedProbeIsQuiet)
{
    configure_file_output();
    set_config_string("tessera", "music_output", "alsa");
    setenv("ALSA_CARD", "NoSuchCard", 1);

    fflush(stderr);
    int saved = dup(STDERR_FILENO);
    FILE *capture = fopen("stderr.txt", "w");
    ASSERT_NE(capture, nullptr);
    dup2(fileno(capture), STDERR_FILENO);
    int found = ZE_midi_fluidsynth.detect(FALSE);
    fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    fclose(capture);

    unsetenv("ALSA_CARD");
    EXPECT_FALSE(found);
    EXPECT_EQ(TT_read_file("stderr.txt"), "");
}
