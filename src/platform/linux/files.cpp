// What Linux alone tells about its files: whether the working folder takes
// a file, and where the program lies.
#include "platform/files.h"

#include <climits>
#include <cstring>
#include <unistd.h>

bool ZE_working_folder_takes_files(void)
{
    char here[PATH_MAX];
    if (getcwd(here, sizeof here) == NULL || strcmp(here, "/") == 0) {
        return false;
    }
    return access(".", W_OK) == 0;
}

bool ZE_executable_folder(char *path, size_t size)
{
    if (size == 0) {
        return false;
    }
    const ssize_t n = readlink("/proc/self/exe", path, size - 1);
    if (n <= 0) {
        return false;
    }
    path[n] = '\0';
    char *slash = strrchr(path, '/');
    if (slash == NULL) {
        return false;
    }
    *slash = '\0';
    return true;
}
