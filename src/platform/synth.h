// The settings of the FluidSynth synthesizer that the Linux MIDI driver
// (linux/fluid_midi.cpp) plays the song on, and that the recorder's offline
// synthesizer shares with it, so that a recording sounds as the demo does.
#ifndef TESSERA_SYNTH_H
#define TESSERA_SYNTH_H

// The gain at full volume: FluidSynth's own (0.2) is quiet next to other
// programs, and 0.5 still leaves the song's loudest chords well short of
// clipping.
constexpr float FLUID_FULL_GAIN = 0.5f;

// The General MIDI sound font of Debian's fluid-soundfont-gm; a macro, so
// that it can stand in a usage text.
#define FLUID_DEFAULT_SOUND_FONT "/usr/share/sounds/sf2/default-GM.sf2"

#endif
