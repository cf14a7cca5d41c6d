// The song of the demo, composed by the builder.
#ifndef TESSERA_DB_SONG_H
#define TESSERA_DB_SONG_H

#include <vector>

// A Standard MIDI File of exactly RES_SONG.length bytes that loops cleanly
// under Allegro's play_midi(song, 1).
std::vector<unsigned char> DB_build_song(void);

#endif
