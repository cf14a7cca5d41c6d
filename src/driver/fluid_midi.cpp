// The FluidSynth MIDI driver.
#include "fluid_midi.h"

void ZE_register_midi_drivers(void) {}
