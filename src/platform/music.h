// The MIDI driver the song is played on: each platform brings its own, or
// leaves the choice to the library's autodetection.
#ifndef TESSERA_MUSIC_H
#define TESSERA_MUSIC_H

// Makes the platform's MIDI driver known to the library, ahead of its own.
// Called after allegro_init and before install_sound.
void ZE_register_midi_drivers(void);

// The sound font to play the song with when the system has no General MIDI
// font of its own: the one made for the song, which may be missing too.
// Called before install_sound; a synthesizer that brings its own
// instruments ignores it.
void ZE_set_song_font(const char *path);

#endif
