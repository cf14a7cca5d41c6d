#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <allegro/platform/aintunix.h>

#include "platform/linux/fluid_midi.h"
#include "platform/music.h"
#include "support.h"

static const int DITHER = 4; // FluidSynth dithers: silence is a sample or two of noise

// The loudest sample of a 16-bit stereo recording between two times in
// seconds; negative times count back from its end.
static int peak(const SAMPLE *wav, double from, double to)
{
    double length = double(wav->len) / wav->freq;
    from = from < 0 ? length + from : from;
    to = to <= 0 ? length + to : to;
    const uint16_t *data = static_cast<const uint16_t *>(wav->data);
    unsigned long end = std::min(wav->len, (unsigned long)(to * wav->freq)) * 2;
    int loudest = 0;
    for (unsigned long i = (unsigned long)(from * wav->freq) * 2; i < end; i++) {
        // Allegro keeps 16-bit samples unsigned, centred on 0x8000.
        loudest = std::max(loudest, std::abs(int(data[i]) - 0x8000));
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

    SAMPLE *samples = load_wav(wav.c_str());
    ASSERT_NE(samples, nullptr);
    ASSERT_TRUE(samples->bits == 16 && samples->stereo);
    // About 1.3 s; the file output runs on the wall clock, so allow for a
    // slow machine. The reverb rings on faintly after the voices are cut.
    ASSERT_GT(samples->len, (unsigned long)samples->freq);
    int chord = peak(samples, 0.4, 0.7);
    EXPECT_LE(peak(samples, 0.0, 0.2), DITHER) << "sound before the first note";
    EXPECT_GT(chord, 1000) << "the chord is missing";
    EXPECT_LT(peak(samples, -0.2, 0), chord / 50) << "sound after all-sound-off";
    destroy_sample(samples);
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

    set_config_string("tessera", "sound_font", NULL);
    set_config_string("tessera", "music_output", "no-such-output");
    EXPECT_FALSE(ZE_midi_fluidsynth.detect(FALSE));

    // A file that cannot be created is an output that fails.
    set_config_string("tessera", "music_output", "file");
    set_config_string("tessera", "music_file", "/nonexistent/folder/music.wav");
    EXPECT_FALSE(ZE_midi_fluidsynth.detect(FALSE));
    ZE_midi_fluidsynth.exit(FALSE);
}

// Registered once, at the head of the autodetected drivers, ahead of the
// library's own; without a driver list there is nothing to join.
TEST(FluidDriver, RegisteredFirstAndOnce)
{
    ZE_register_midi_drivers();
    ASSERT_EQ(_unix_midi_driver_list, nullptr);

    _unix_driver_lists_init();
    int library_first = _unix_midi_driver_list[0].id;
    ZE_register_midi_drivers();
    ZE_register_midi_drivers();
    const _DRIVER_INFO *list = _unix_midi_driver_list;
    EXPECT_EQ(list[0].driver, &ZE_midi_fluidsynth);
    EXPECT_TRUE(list[0].autodetect);
    EXPECT_EQ(list[1].id, library_first);
    EXPECT_NE(list[2].id, MIDI_FLUIDSYNTH);
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
