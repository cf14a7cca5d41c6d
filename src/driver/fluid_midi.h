// A MIDI driver for Allegro that plays through the FluidSynth synthesizer.
#ifndef TESSERA_FLUID_MIDI_H
#define TESSERA_FLUID_MIDI_H

// Adds the driver to Allegro's list of autodetected MIDI drivers, ahead of
// the library's own. Called after allegro_init and before install_sound.
void ZE_register_midi_drivers(void);

#endif
