// What every system's files share.
#include "platform/files.h"

#include <climits>
#include <cstring>
#include <unistd.h> // unlink and rmdir: POSIX's, and mingw-w64's on Windows

void ZE_remove_private_folder(const char *folder, const char *file)
{
    // Built on the stack with no allocation: this may run in a signal
    // handler. Windows takes '/' between the parts of a path too.
    char path[PATH_MAX];
    const size_t a = strlen(folder);
    const size_t b = strlen(file);
    if (a + 1 + b < sizeof path) {
        memcpy(path, folder, a);
        path[a] = '/';
        memcpy(path + a + 1, file, b + 1);
        unlink(path);
    }
    rmdir(folder);
}
