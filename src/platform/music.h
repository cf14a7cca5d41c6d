// The MIDI driver the song is played on: each platform brings its own, or
// leaves the choice to the library's autodetection.
#ifndef TESSERA_MUSIC_H
#define TESSERA_MUSIC_H

// Makes the platform's MIDI driver known to the library, ahead of its own.
// Called after allegro_init and before install_sound.
void ZE_register_midi_drivers(void);

#endif
