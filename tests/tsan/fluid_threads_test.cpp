#include <allegro.h>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>

#include "platform/linux/fluid_midi.h"
#include "support.h"

// Allegro's player feeds the byte stream on its timer thread while the main
// thread sets the volume, stops the song (which sends its own bytes) and
// finally shuts the driver down under the player's feet.
TEST(FluidThreads, PlayerThreadAgainstMainThread)
{
    std::string wav = TT_enter_workdir(false) + "/music.wav";
    set_config_string("tessera", "music_output", "file");
    set_config_string("tessera", "music_file", wav.c_str());
    ASSERT_EQ(ZE_midi_fluidsynth.init(FALSE, 0), 0);

    std::atomic<bool> running{true};
    std::thread player([&running] {
        int note = 48;
        while (running.load(std::memory_order_relaxed)) {
            // Running status, so that a byte from the other thread landing
            // in between would show up as a damaged message, not a crash.
            for (int b : {0x90, note, 90, note, 0, 0xE0, 0, 0x40}) {
                ZE_midi_fluidsynth.raw_midi(b);
            }
            note = note < 72 ? note + 1 : 48;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });

    for (int round = 0; round < 20; round++) {
        ZE_midi_fluidsynth.set_mixer_volume(round * 12);
        EXPECT_EQ(ZE_midi_fluidsynth.get_mixer_volume(), round * 12);
        for (int channel = 0; channel < 16; channel++) {
            for (int b : {0xB0 + channel, 123, 0, 0xB0 + channel, 120, 0}) {
                ZE_midi_fluidsynth.raw_midi(b);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ZE_midi_fluidsynth.exit(FALSE);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    running.store(false, std::memory_order_relaxed);
    player.join();
}
