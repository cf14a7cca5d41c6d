// Where the files lie.
#include "paths.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "directory.h"
#include "platform/files.h"

#ifndef TESSERA_DATA_FROM_BIN
#define TESSERA_DATA_FROM_BIN "../share/games/tessera"
#endif

static const size_t PATH_ROOM = 4096;

static std::string found_folder;
static std::string archive_path = RES_ARCHIVE_NAME;
static std::string rows_path = RES_ROWS_NAME;
static std::string song_font_path = RES_SONG_FONT_NAME;

// Plain arrays, so that a signal handler may read them; `placed` says they
// are complete.
static char temp_folder[PATH_ROOM];
static char temp_path[PATH_ROOM];
static std::atomic<bool> placed{false};
static std::atomic<bool> in_private_folder{false};

static std::string in_folder(const std::string &folder, const char *name)
{
    return folder.empty() ? std::string(name) : folder + "/" + name;
}

static bool holds_archive(const std::string &folder)
{
    const char *why = NULL;
    FILE *file = ZE_open_data_file(in_folder(folder, RES_ARCHIVE_NAME).c_str(), &why);
    if (file == NULL) {
        return false;
    }
    fclose(file);
    return true;
}

const char *ZE_find_data_folder(const char *given)
{
    found_folder.clear();
    if (given != NULL) {
        found_folder = given;
        return found_folder.c_str();
    }
    if (holds_archive("")) {
        return found_folder.c_str();
    }
    char program[PATH_ROOM];
    if (ZE_executable_folder(program, sizeof program)) {
        const std::string installed = std::string(program) + "/" + TESSERA_DATA_FROM_BIN;
        if (holds_archive(installed)) {
            found_folder = installed;
        }
    }
    return found_folder.c_str();
}

void ZE_use_data_folder(const char *folder)
{
    archive_path = in_folder(folder, RES_ARCHIVE_NAME);
    rows_path = in_folder(folder, RES_ROWS_NAME);
    song_font_path = in_folder(folder, RES_SONG_FONT_NAME);
}

const char *ZE_archive_path(void)
{
    return archive_path.c_str();
}

const char *ZE_rows_path(void)
{
    return rows_path.c_str();
}

const char *ZE_song_font_path(void)
{
    return song_font_path.c_str();
}

const char *ZE_temp_path(void)
{
    return placed.load() ? temp_path : RES_TEMP_NAME;
}

void ZE_remove_temp_file(void)
{
    if (!placed.load()) {
        return;
    }
    if (in_private_folder.load()) {
        ZE_remove_private_folder(temp_folder, RES_TEMP_NAME);
    } else {
        remove(temp_path);
    }
}

static void remove_at_exit(void)
{
    ZE_remove_temp_file();
}

// Moves the temporary file into a private folder of its own; false with
// errno set if none can be made.
static bool place_in_private_folder(void)
{
    placed.store(false);
    if (!ZE_make_private_folder(temp_folder, sizeof temp_folder)) {
        return false;
    }
    const int n = snprintf(temp_path, sizeof temp_path, "%s/%s", temp_folder, RES_TEMP_NAME);
    if (n < 0 || static_cast<size_t>(n) >= sizeof temp_path) {
        ZE_remove_private_folder(temp_folder, RES_TEMP_NAME);
        errno = ENAMETOOLONG;
        return false;
    }
    in_private_folder.store(true);
    placed.store(true);
    return true;
}

FILE *ZE_create_temp_file(void)
{
    if (placed.load()) {
        return ZE_create_private_file(temp_path);
    }
    // The first call decides where the file lies: in the working folder if
    // it takes the file, else in a private folder. A folder that seems to
    // take it may still refuse (root in /proc, a root-squashed NFS share,
    // some FUSE mounts, a folder of that name in the way).
    static bool removed_at_exit = false;
    if (!removed_at_exit) {
        atexit(remove_at_exit);
        removed_at_exit = true;
    }
    FILE *file = NULL;
    if (ZE_working_folder_takes_files()) {
        snprintf(temp_path, sizeof temp_path, "%s", RES_TEMP_NAME);
        placed.store(true);
        file = ZE_create_private_file(temp_path);
    }
    if (file == NULL && place_in_private_folder()) {
        file = ZE_create_private_file(temp_path);
    }
    if (file == NULL && errno == 0) {
        errno = EACCES;
    }
    return file;
}
