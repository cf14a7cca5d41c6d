// Presenting a frame.
#include "present.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "state.h"

static const char CAPTURE_NAME[] = "capture.pcx";
static const int FRESH_NAME_TRIES = 100;

// The screenshot is encoded in memory by the library's PCX writer, through a
// write-only PACKFILE over a byte buffer; nothing ever reads from it.
static void append(void *buffer, const void *p, long n)
{
    const unsigned char *from = static_cast<const unsigned char *>(p);
    std::vector<unsigned char> &bytes = *static_cast<std::vector<unsigned char> *>(buffer);
    bytes.insert(bytes.end(), from, from + n);
}

static const PACKFILE_VTABLE TO_MEMORY = {
    [](void *) { return 0; },                // fclose
    [](void *) { return EOF; },              // getc
    [](int, void *) { return EOF; },         // ungetc
    [](void *, long, void *) { return 0L; }, // fread
    [](int c, void *buffer) {                // putc
        const unsigned char byte = static_cast<unsigned char>(c);
        append(buffer, &byte, 1);
        return c;
    },
    [](const void *p, long n, void *buffer) { // fwrite
        append(buffer, p, n);
        return n;
    },
    [](void *, int) { return -1; }, // fseek
    [](void *) { return 1; },       // feof
    [](void *) { return 0; },       // ferror
};

// Writes `bytes` to a fresh file beside "capture.pcx" and renames it over
// that name: a link of the name is replaced, never followed, a FIFO is never
// opened, and a viewer never sees half a file. The new file has the usual
// permissions (0666 less the umask). Returns 0, or the errno of the failure.
static int replace_capture(const std::vector<unsigned char> &bytes)
{
    char fresh[64];
    int fd = -1;
    for (int i = 0; i < FRESH_NAME_TRIES && fd < 0; i++) {
        snprintf(fresh, sizeof fresh, "%s.%ld.%d", CAPTURE_NAME, static_cast<long>(getpid()), i);
        fd = open(fresh, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return errno;
        }
    }
    if (fd < 0) {
        return EEXIST;
    }
    int error = 0;
    for (size_t done = 0; done < bytes.size() && error == 0;) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno != EINTR) {
            error = errno;
        }
    }
    if (close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && rename(fresh, CAPTURE_NAME) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(fresh);
    }
    return error;
}

// Saves the screenshot; a failure is told once, and the demo runs on.
static void save_capture(BITMAP *bmp, const RGB *shot_palette)
{
    static bool told = false;
    static std::vector<unsigned char> bytes; // kept, so that its room is reused
    bytes.clear();
    PACKFILE *memory = pack_fopen_vtable(&TO_MEMORY, &bytes);
    int error = ENOMEM;
    if (memory != NULL) {
        save_pcx_pf(memory, bmp, shot_palette);
        pack_fclose(memory);
        error = replace_capture(bytes);
    }
    if (error != 0 && !told) {
        fprintf(stderr, "tessera: %s: %s\n", CAPTURE_NAME, strerror(error));
        told = true;
    }
}

void ZE_final_pass(BITMAP *bmp, const RGB *shot_palette)
{
    if (ZE_read(flags.vsync)) {
        vsync();
    }
    stretch_blit(bmp, screen, 0, 0, SCREENBUF_W, SCREENBUF_H, 0, 0, 2 * SCREENBUF_W,
                 2 * SCREENBUF_H);
    if (key[KEY_SPACE]) {
        save_capture(bmp, shot_palette);
    }
}
