// A MIDI driver for Allegro that plays through the FluidSynth synthesizer.
// It is found when FluidSynth can open an audio output and a General MIDI
// sound font is installed; allegro.cfg's [tessera] section can point it at
// a WAV file, another audio output or another sound font instead.
#ifndef TESSERA_FLUID_MIDI_H
#define TESSERA_FLUID_MIDI_H

#include <allegro.h>

#include "platform/music.h"

#define MIDI_FLUIDSYNTH AL_ID('F', 'L', 'U', 'I')

// ZE_register_midi_drivers (platform/music.h) adds the driver to Allegro's
// list of autodetected MIDI drivers, ahead of the library's own.

// The driver itself, for install_sound; its raw_midi may be called from any
// thread, and exit may be called whether or not init succeeded.
extern MIDI_DRIVER ZE_midi_fluidsynth;

#endif
