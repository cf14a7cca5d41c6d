// Opening the program's files by name.
#include "files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FILE *ZE_open_regular_file(const char *name, int flags, const char *mode, const char **why)
{
    // Without O_NONBLOCK, opening a FIFO waits for a peer that never comes.
    const int fd = open(name, flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        *why = strerror(errno);
        return NULL;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *why = "not a regular file";
        close(fd);
        return NULL;
    }
    // Regular files never block; the flag goes for good measure.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE *file = fdopen(fd, mode);
    if (file == NULL) {
        *why = strerror(errno);
        close(fd);
    }
    return file;
}
