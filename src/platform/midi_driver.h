// An Allegro MIDI driver that takes the player's song as raw MIDI bytes
// (raw_midi) and hands it on whole, as the drivers that play it on a
// synthesizer of their own do; the entries for the library's own
// note-by-note players are its no-ops.
#ifndef TESSERA_MIDI_DRIVER_H
#define TESSERA_MIDI_DRIVER_H

#include <allegro.h>
#include <allegro/internal/aintern.h>

constexpr MIDI_DRIVER ZE_raw_midi_driver(int id, const char *name, int (*detect)(int),
                                         int (*init)(int, int), void (*exit)(int),
                                         int (*set_volume)(int), int (*get_volume)(void),
                                         void (*raw_midi)(int))
{
    const int ANY_VOICES = 0xFFFF;
    return {id,
            empty_string,
            empty_string,
            name,
            0,
            0,
            ANY_VOICES,
            0,
            -1,
            -1,
            detect,
            init,
            exit,
            set_volume,
            get_volume,
            raw_midi,
            _dummy_load_patches,
            _dummy_adjust_patches,
            _dummy_key_on,
            _dummy_noop1,
            _dummy_noop2,
            _dummy_noop3,
            _dummy_noop2,
            _dummy_noop2};
}

#endif
