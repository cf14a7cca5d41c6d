// The resource archive: members copied out through the temporary file and
// loaded by the library's loaders, and everything the main part loads.
#ifndef TESSERA_ARCHIVE_H
#define TESSERA_ARCHIVE_H

#include <allegro.h>
#include <cstdint>

#include "directory.h"

// Copies `length` bytes of archive `name` from `offset` into the temporary
// file (ZE_temp_path), a new file (mode 0600) in place of whatever had that
// name; it is removed at exit. Exits with a message if the archive ends early or the temporary file
// cannot be written.
void extract_resource(const char *name, int32_t offset, int32_t length);

// Loads the colour-map rows, the ten pictures, both glyph sheets and the song.
// Called once by start-up, before the graphics mode is set. Leaves
// "tempola.xyz" holding the song.
void ZE_load_resources(void);

// Extracts `member` once its bytes pass the picture check and loads it as an
// 8-bit PCX of at least min_w x min_h, the size its header gives, removing
// the temporary file again; `what` names it in the message if not.
BITMAP *ZE_load_picture_member(res_member member, RGB *pal, int min_w, int min_h, const char *what);

// Load a glyph sheet and cut it into scrollie or logo. Parts of ZE_load_resources.
void ZE_load_scroller_glyphs(void);
void ZE_load_logo_glyphs(void);

// Loads the song into muzak once its bytes pass the song check, leaving its
// copy in the temporary file. Part of ZE_load_resources.
void ZE_load_song(void);

extern BITMAP *iso_backs[RES_PICTURES];
extern PALETTE iso_pal[RES_PICTURES];
extern BITMAP *scrollie[SCROLL_GLYPHS];
extern BITMAP *logo[LOGO_GLYPHS];
extern MIDI *muzak;

#endif
