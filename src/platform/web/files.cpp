// Files by name, in a browser tab: the page's file system lives in memory
// and holds the preloaded data files and what the program itself writes;
// nobody else can put a link or a FIFO there. The working folder is "/".
#include "platform/files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

static const char FRESH_SUFFIX[] = ".new";

FILE *ZE_open_data_file(const char *path, const char **why)
{
    struct stat st;
    if (stat(path, &st) != 0) {
        *why = strerror(errno);
        return NULL;
    }
    if (!S_ISREG(st.st_mode)) {
        *why = "not a regular file";
        return NULL;
    }
    FILE *file = fopen(path, "rb");
    if (file == NULL) {
        *why = strerror(errno);
    }
    return file;
}

FILE *ZE_open_log_file(const char *name, const char **why)
{
    struct stat st;
    if (lstat(name, &st) == 0 && !S_ISREG(st.st_mode)) {
        *why = "not a regular file";
        return NULL;
    }
    FILE *file = fopen(name, "a");
    if (file == NULL) {
        *why = strerror(errno);
    }
    return file;
}

FILE *ZE_create_private_file(const char *path)
{
    if (unlink(path) != 0 && errno != ENOENT) {
        return NULL;
    }
    return fopen(path, "wbx");
}

int ZE_replace_file(const char *name, const void *bytes, size_t n)
{
    char fresh[256];
    if (snprintf(fresh, sizeof fresh, "%s%s", name, FRESH_SUFFIX) >=
        static_cast<int>(sizeof fresh)) {
        return ENAMETOOLONG;
    }
    FILE *file = fopen(fresh, "wb");
    if (file == NULL) {
        return errno;
    }
    int error = fwrite(bytes, 1, n, file) == n ? 0 : errno;
    if (fclose(file) != 0 && error == 0) {
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

// The page's root folder is the program's own, and where the page looks
// for capture.pcx.
bool ZE_working_folder_takes_files(void)
{
    return true;
}

bool ZE_make_private_folder(char *path, size_t size)
{
    const int n = snprintf(path, size, "/tmp/tessera.XXXXXX");
    return n > 0 && static_cast<size_t>(n) < size && mkdtemp(path) != NULL;
}

void ZE_remove_private_folder(const char *folder, const char *file)
{
    char path[256];
    if (snprintf(path, sizeof path, "%s/%s", folder, file) < static_cast<int>(sizeof path)) {
        unlink(path);
    }
    rmdir(folder);
}

// The program is not a file here: there is no installed folder to look in.
bool ZE_executable_folder(char *, size_t)
{
    return false;
}
