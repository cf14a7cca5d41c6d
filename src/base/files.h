// Opening the program's files by name, where the name in the working folder
// may stand for a link, a folder or a FIFO that somebody put there.
#ifndef TESSERA_FILES_H
#define TESSERA_FILES_H

#include <cstdio>
#include <fcntl.h>

// Opens `name` with the open(2) `flags` as a stream of stdio `mode`, if it
// is (or, without O_NOFOLLOW, links to) a regular file; a file it creates
// gets 0666 less the umask. Never blocks on a FIFO. On failure returns NULL
// and sets *why to the reason.
FILE *ZE_open_regular_file(const char *name, int flags, const char *mode, const char **why);

// The data files are opened for reading only, and may be links.
inline FILE *ZE_open_data_file(const char *name, const char **why)
{
    return ZE_open_regular_file(name, O_RDONLY, "rb", why);
}

#endif
