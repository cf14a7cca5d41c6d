// The MIDI driver the song is played on. Linux brings a driver of its own
// that plays it on the FluidSynth synthesizer (linux/fluid_midi.cpp, its
// settings in synth.h). On Windows the library's own driver plays it on the
// system's MIDI synthesizer; in a browser the library's web port has a
// driver that hands it to the page's synthesizer (tools/allegro/web/). Both
// are found by the library's autodetection. Where no driver is found the
// demo runs in silence.
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
