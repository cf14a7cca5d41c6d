// Where the files lie: the two data files in the data folder, the temporary
// file in the working folder, or in a private folder of its own when the
// working folder cannot hold it (read-only, the root folder, or any folder
// where the file cannot be made).
#ifndef TESSERA_PATHS_H
#define TESSERA_PATHS_H

#include <cstdio>

// The folder the data files are read from: `given` when it is not NULL; else
// the working folder when it holds res.dat; else the installed data folder
// beside the program (TESSERA_DATA_FROM_BIN from the program's folder) when
// that holds res.dat; else the working folder. "" stands for the working
// folder. The result stays valid until the next call.
const char *ZE_find_data_folder(const char *given);

// Reads the data files from `folder` from now on ("" is the working folder).
void ZE_use_data_folder(const char *folder);

// "res.dat" and "res_2.dat" in the data folder in use.
const char *ZE_archive_path(void);
const char *ZE_rows_path(void);

// The song's own sound font (song.sf2) in the data folder in use; it may
// not be there.
const char *ZE_song_font_path(void);

// The temporary file's path, "tempola.xyz" unless it had to go elsewhere.
const char *ZE_temp_path(void);

// Makes the temporary file afresh and opens it for writing; NULL with errno
// set if it cannot. The first call decides where it lies, and it is removed
// (with its private folder) on every way out through exit.
FILE *ZE_create_temp_file(void);

// Removes the temporary file and its private folder. Async-signal-safe, for
// the ways out that skip the exit handlers.
void ZE_remove_temp_file(void);

#endif
