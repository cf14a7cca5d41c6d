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
                                         int (*set_mixer_volume)(int),
                                         int (*get_mixer_volume)(void), void (*raw_midi)(int))
{
    return MIDI_DRIVER{.id = id,
                       .name = empty_string,
                       .desc = empty_string,
                       .ascii_name = name,
                       .voices = 0,
                       .basevoice = 0,
                       .max_voices = 0xFFFF,
                       .def_voices = 0,
                       .xmin = -1,
                       .xmax = -1,
                       .detect = detect,
                       .init = init,
                       .exit = exit,
                       .set_mixer_volume = set_mixer_volume,
                       .get_mixer_volume = get_mixer_volume,
                       .raw_midi = raw_midi,
                       .load_patches = _dummy_load_patches,
                       .adjust_patches = _dummy_adjust_patches,
                       .key_on = _dummy_key_on,
                       .key_off = _dummy_noop1,
                       .set_volume = _dummy_noop2,
                       .set_pitch = _dummy_noop3,
                       .set_pan = _dummy_noop2,
                       .set_vibrato = _dummy_noop2};
}

#endif
