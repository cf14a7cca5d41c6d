// A MIDI driver for Allegro that plays through the FluidSynth synthesizer.
// It is found when FluidSynth can open an audio output and a General MIDI
// sound font is installed, or the song's own font (ZE_set_song_font) is
// there; allegro.cfg's [tessera] section can point it at a WAV file,
// another audio output or another sound font instead. ZE_register_midi_drivers
// (linux/music.cpp) adds it to Allegro's list of autodetected MIDI drivers,
// ahead of the library's own.
#ifndef TESSERA_FLUID_MIDI_H
#define TESSERA_FLUID_MIDI_H

#include <allegro.h>

#include "platform/synth.h"

#define MIDI_FLUIDSYNTH AL_ID('F', 'L', 'U', 'I')

// The driver itself, for install_sound; its raw_midi may be called from any
// thread, and exit may be called whether or not init succeeded.
extern MIDI_DRIVER ZE_midi_fluidsynth;

// Keeps ALSA and FluidSynth from complaining on the console when the
// outputs probed (by this driver or by the library's own) are not there: a
// missing output is an ordinary outcome here, not news.
void ZE_quiet_sound_libraries(void);

// The font the driver falls back on when no General MIDI font is found
// (ZE_set_song_font, platform/music.h). Called before install_sound.
void ZE_fluid_use_song_font(const char *path);

#endif
