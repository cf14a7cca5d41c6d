// Opening the data files.
#include "files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FILE *ZE_open_data_file(const char *name, const char **why)
{
    // Without O_NONBLOCK, opening a FIFO waits for a writer that never comes.
    const int fd = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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
    // Reads from a regular file never block; the flag goes for good measure.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE *file = fdopen(fd, "rb");
    if (file == NULL) {
        *why = strerror(errno);
        close(fd);
    }
    return file;
}
