// Files by name, where a name in the working folder may stand for a link, a
// folder or a FIFO that somebody put there (on Windows also a device or a
// pipe): each call opens or replaces only what it means to, on every system.
// Linux and the browser share the POSIX code (posix/files.cpp; in a browser
// the files live in the page's memory, where nobody else puts anything);
// Windows has its own calls.
#ifndef TESSERA_FILES_H
#define TESSERA_FILES_H

#include <cstddef>
#include <cstdio>

// Opens a data file for reading if it is (or links to) a regular file; never
// blocks on a FIFO. On failure returns NULL and sets *why to the reason.
FILE *ZE_open_data_file(const char *path, const char **why);

// Opens `name` for appending, creating it (0666 less the umask) if need be,
// if it is a regular file and not a link. NULL and *why on failure.
FILE *ZE_open_log_file(const char *name, const char **why);

// Removes whatever held `path` (an earlier file, a link, a FIFO) and creates
// a new file there exclusively, readable by its owner only, without following
// a link. Returns NULL with errno set on failure.
FILE *ZE_create_private_file(const char *path);

// Writes `n` bytes to a fresh file beside `name` and renames it over `name`:
// a link of the name is replaced, never followed, a FIFO never opened, and
// a reader never sees half a file. Returns 0, or the errno of the failure.
int ZE_replace_file(const char *name, const void *bytes, size_t n);

// Whether the working folder may hold the program's temporary file: not the
// root folder (of a drive, on Windows), which is nobody's to litter, and not
// one the program may not write: on Linux as access(2) says, on Windows as a
// probe file made there says. In a browser always, the page's root folder
// being the program's own. A yes is no promise that the file can be made.
bool ZE_working_folder_takes_files(void);

// Makes a folder of the user's own in the system's folder for temporary
// files ($TMPDIR or /tmp; Windows' GetTempPath; /tmp in the page's memory)
// and writes its path into `path`. False if none can be made.
bool ZE_make_private_folder(char *path, size_t size);

// Removes the (empty) folder made by ZE_make_private_folder, and `file` in it
// first. Async-signal-safe, so that the fastest ways out may call it.
void ZE_remove_private_folder(const char *folder, const char *file);

// Writes the folder that holds the running program into `path`. False if it
// cannot be told, and always in a browser, where the program is no file.
bool ZE_executable_folder(char *path, size_t size);

#endif
