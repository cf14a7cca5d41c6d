// Files by name on POSIX systems: Linux, and the browser's file system in
// memory, which emscripten serves through the same calls.
#include "platform/files.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static const int FRESH_NAME_TRIES = 100;

// Opens `name` with the open(2) `flags` as a stream of stdio `mode`, if it
// is (or, without O_NOFOLLOW, links to) a regular file.
static FILE *open_regular_file(const char *name, int flags, const char *mode, const char **why)
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

FILE *ZE_open_data_file(const char *path, const char **why)
{
    return open_regular_file(path, O_RDONLY, "rb", why);
}

FILE *ZE_open_log_file(const char *name, const char **why)
{
    return open_regular_file(name, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW, "a", why);
}

FILE *ZE_create_private_file(const char *path)
{
    if (unlink(path) != 0 && errno != ENOENT) {
        return NULL;
    }
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return NULL;
    }
    FILE *file = fdopen(fd, "wb");
    if (file == NULL) {
        const int error = errno;
        close(fd);
        errno = error;
    }
    return file;
}

int ZE_replace_file(const char *name, const void *bytes, size_t n)
{
    // The new file has the usual permissions (0666 less the umask).
    char fresh[PATH_MAX];
    int fd = -1;
    for (int i = 0; i < FRESH_NAME_TRIES && fd < 0; i++) {
        snprintf(fresh, sizeof fresh, "%s.%ld.%d", name, static_cast<long>(getpid()), i);
        fd = open(fresh, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return errno;
        }
    }
    if (fd < 0) {
        return EEXIST;
    }
    const unsigned char *from = static_cast<const unsigned char *>(bytes);
    int error = 0;
    for (size_t done = 0; done < n && error == 0;) {
        const ssize_t wrote = write(fd, from + done, n - done);
        if (wrote > 0) {
            done += static_cast<size_t>(wrote);
        } else if (wrote < 0 && errno != EINTR) {
            error = errno;
        }
    }
    if (close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && rename(fresh, name) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(fresh);
    }
    return error;
}

bool ZE_make_private_folder(char *path, size_t size)
{
    const char *tmp = getenv("TMPDIR");
    if (tmp == NULL || tmp[0] == '\0') {
        tmp = "/tmp";
    }
    const int n = snprintf(path, size, "%s/tessera.XXXXXX", tmp);
    return n > 0 && static_cast<size_t>(n) < size && mkdtemp(path) != NULL;
}
