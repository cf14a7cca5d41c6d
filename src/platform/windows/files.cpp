// The program's files on Windows. A name in the working folder may stand for
// a link, a folder, a device or a pipe; the handles are opened with the Win32
// calls that say so, and only then handed to stdio.
#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

static const int FRESH_NAME_TRIES = 100;

// The errno value nearest to a Win32 error.
static int errno_of(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_DIRECTORY:
        return EISDIR;
    default:
        return EIO;
    }
}

// A plain file on a disk: not a folder, a link, a pipe or a device.
static bool regular(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info;
    return GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
           (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// Hands an open handle to stdio; closes it on failure.
static FILE *stream_of(HANDLE handle, int flags, const char *mode)
{
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return NULL;
    }
    FILE *file = _fdopen(fd, mode);
    if (file == NULL) {
        _close(fd);
    }
    return file;
}

// Opens a regular file; `link_itself` opens a link as the link (then refused)
// rather than what it points to.
static FILE *open_regular(const char *name, DWORD access, DWORD disposition, bool link_itself,
                          int flags, const char *mode, const char **why)
{
    // A folder opens only with backup semantics, which is how it is told
    // apart from a file that may not be read.
    const DWORD attributes = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS |
                             (link_itself ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    HANDLE handle =
        CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                    disposition, attributes, NULL);
    if (handle == INVALID_HANDLE_VALUE) {
        *why = strerror(errno_of(GetLastError()));
        return NULL;
    }
    if (!regular(handle)) {
        CloseHandle(handle);
        *why = "not a regular file";
        return NULL;
    }
    FILE *file = stream_of(handle, flags, mode);
    if (file == NULL) {
        *why = strerror(errno);
    }
    return file;
}

FILE *ZE_open_data_file(const char *path, const char **why)
{
    return open_regular(path, GENERIC_READ, OPEN_EXISTING, false, _O_RDONLY, "rb", why);
}

FILE *ZE_open_log_file(const char *name, const char **why)
{
    return open_regular(name, FILE_APPEND_DATA, OPEN_ALWAYS, true, _O_APPEND | _O_WRONLY, "ab",
                        why);
}

// Creates `path` anew; CREATE_NEW fails on any name that exists, a link or
// a dangling link included, so nothing is followed.
static HANDLE create_new(const char *path)
{
    HANDLE handle =
        CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = errno_of(GetLastError());
    }
    return handle;
}

FILE *ZE_create_private_file(const char *path)
{
    // DeleteFile removes a link itself, never what it points to.
    if (!DeleteFileA(path) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        errno = errno_of(GetLastError());
        return NULL;
    }
    HANDLE handle = create_new(path);
    if (handle == INVALID_HANDLE_VALUE) {
        return NULL;
    }
    return stream_of(handle, _O_WRONLY, "wb");
}

int ZE_replace_file(const char *name, const void *bytes, size_t n)
{
    char fresh[MAX_PATH];
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int i = 0; i < FRESH_NAME_TRIES && handle == INVALID_HANDLE_VALUE; i++) {
        snprintf(fresh, sizeof fresh, "%s.%lu.%d", name, GetCurrentProcessId(), i);
        handle = create_new(fresh);
        if (handle == INVALID_HANDLE_VALUE && errno != EEXIST) {
            return errno;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return EEXIST;
    }
    int error = 0;
    const char *from = static_cast<const char *>(bytes);
    for (size_t done = 0; done < n && error == 0;) {
        const DWORD chunk = n - done > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n - done);
        DWORD wrote = 0;
        if (WriteFile(handle, from + done, chunk, &wrote, NULL) && wrote > 0) {
            done += wrote;
        } else {
            error = errno_of(GetLastError());
        }
    }
    if (!CloseHandle(handle) && error == 0) {
        error = errno_of(GetLastError());
    }
    // A link of the name is replaced, never followed; a folder is refused.
    if (error == 0 && !MoveFileExA(fresh, name, MOVEFILE_REPLACE_EXISTING)) {
        error = errno_of(GetLastError());
    }
    if (error != 0) {
        DeleteFileA(fresh);
    }
    return error;
}

bool ZE_working_folder_takes_files(void)
{
    char here[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(sizeof here, here);
    if (length == 0 || length >= sizeof here) {
        return false;
    }
    // A drive's root folder ("C:\\") is nobody's to litter.
    if (here[length - 1] == '\\' || here[length - 1] == '/') {
        return false;
    }
    // Folders' read-only mark does not say whether files may be made in them
    // (Program Files is not marked, yet closed to users): a file that removes
    // itself when closed is made and closed at once.
    char probe[64];
    snprintf(probe, sizeof probe, "tessera-%lu.probe", GetCurrentProcessId());
    HANDLE handle = CreateFileA(probe, GENERIC_WRITE, 0, NULL, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, NULL);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(handle);
    return true;
}

bool ZE_make_private_folder(char *path, size_t size)
{
    char temp[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length > MAX_PATH) {
        return false;
    }
    for (int i = 0; i < FRESH_NAME_TRIES; i++) {
        const int made = snprintf(path, size, "%stessera-%lu-%d", temp, GetCurrentProcessId(), i);
        if (made < 0 || static_cast<size_t>(made) >= size) {
            return false;
        }
        if (CreateDirectoryA(path, NULL)) {
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    return false;
}

bool ZE_executable_folder(char *path, size_t size)
{
    const DWORD length = GetModuleFileNameA(NULL, path, static_cast<DWORD>(size));
    if (length == 0 || length >= size) {
        return false;
    }
    char *last = strrchr(path, '\\');
    if (last == NULL) {
        return false;
    }
    *last = '\0';
    return true;
}
