// Music in a browser tab: Allegro's web platform has the MIDI driver that
// hands the song to the page's synthesizer (tools/allegro/web/wmidi.cpp)
// in its own list, so there is nothing to add.
#include "platform/music.h"

void ZE_register_midi_drivers(void) {}

// The page loads the song's sound font for its synthesizer itself.
void ZE_set_song_font(const char *) {}
