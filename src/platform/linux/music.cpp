// Music on Linux: the song plays on the FluidSynth synthesizer through a
// MIDI driver of the program's own (fluid_midi.cpp), tried before the
// library's drivers, which rarely make a sound on a modern desktop.
#include "platform/music.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <allegro/platform/aintunix.h>

#include "platform/linux/fluid_midi.h"

void ZE_register_midi_drivers(void)
{
    ZE_quiet_sound_libraries();
    // Only Allegro's Unix system drivers keep a list that can grow; without
    // one (no system driver yet, or the display-less one) there is nothing
    // to join, and registering twice must not list the driver twice.
    if (_unix_midi_driver_list == NULL) {
        return;
    }
    for (const _DRIVER_INFO *d = _unix_midi_driver_list; d->driver != NULL; d++) {
        if (d->id == MIDI_FLUIDSYNTH) {
            return;
        }
    }
    _unix_register_midi_driver(MIDI_FLUIDSYNTH, &ZE_midi_fluidsynth, TRUE, TRUE);
}

void ZE_set_song_font(const char *path)
{
    ZE_fluid_use_song_font(path);
}
