// Music on Windows: the library's own driver plays the song on the system's
// MIDI synthesizer, and is found by autodetection.
#include "platform/music.h"

void ZE_register_midi_drivers(void)
{
    // Nothing to add: the library lists the system's MIDI devices itself.
}

void ZE_set_song_font(const char *)
{
    // The system's synthesizer has its own instruments.
}
