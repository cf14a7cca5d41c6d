// Opening the data files, whose names in the working folder may stand for
// a link, a folder or a FIFO that somebody put there.
#ifndef TESSERA_FILES_H
#define TESSERA_FILES_H

#include <cstdio>

// Opens `name` for reading if it is, or links to, a regular file. Never
// blocks on a FIFO. On failure returns NULL and sets *why to the reason.
FILE *ZE_open_data_file(const char *name, const char **why);

#endif
