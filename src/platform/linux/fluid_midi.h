// A MIDI driver for Allegro that plays through the FluidSynth synthesizer.
// It is found when FluidSynth can open an audio output and a General MIDI
// sound font is installed, or the song's own font (ZE_set_song_font) is
// there; allegro.cfg's [tessera] section can point it at a WAV file,
// another audio output or another sound font instead.
#ifndef TESSERA_FLUID_MIDI_H
#define TESSERA_FLUID_MIDI_H

#include <allegro.h>

#include "platform/music.h"

#define MIDI_FLUIDSYNTH AL_ID('F', 'L', 'U', 'I')

// What the recorder's offline synthesizer shares with the driver. The gain
// at full volume: FluidSynth's own (0.2) is quiet next to other programs,
// and 0.5 still leaves the song's loudest chords well short of clipping.
constexpr float FLUID_FULL_GAIN = 0.5f;
// The General MIDI sound font of Debian's fluid-soundfont-gm; a macro, so
// that it can stand in a usage text.
#define FLUID_DEFAULT_SOUND_FONT "/usr/share/sounds/sf2/default-GM.sf2"

// ZE_register_midi_drivers (platform/music.h) adds the driver to Allegro's
// list of autodetected MIDI drivers, ahead of the library's own.

// The driver itself, for install_sound; its raw_midi may be called from any
// thread, and exit may be called whether or not init succeeded.
extern MIDI_DRIVER ZE_midi_fluidsynth;

#endif
