// A libFuzzer target over the archive members: the first byte of an input
// picks a member, the rest become that member's bytes in a copy of the real
// archive, and the demo's own loaders read it, checks and all. What they
// accept then goes where the demo sends it: a picture is drawn as the tile
// field, the glyph sheets are sliced, the intro collects its cells and draws
// a frame, the song is played by Allegro's own player through a raw MIDI
// driver that feeds the demo's MIDI parser, and the rows fill the maps.
//
// The player runs on a timer of the harness's own, called back to back, and
// every track it reads lies at the very end of a page with an unreadable
// page behind it, so a read past a track faults even inside the library.
#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <cerrno>
#include <csetjmp>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "base/state.h"
#include "base/system.h"
#include "field/field.h"
#include "intro/tulor.h"
#include "platform/display.h"
#include "resources/archive.h"
#include "resources/colormaps.h"
#include "resources/directory.h"
#include "platform/linux/fluid_parse.h"

// What the first byte of an input chooses, modulo their number.
enum fuzz_target {
    FUZZ_PICTURE,
    FUZZ_SCROLL_SHEET,
    FUZZ_LOGO_SHEET,
    FUZZ_INTRO_SOURCE,
    FUZZ_INTRO_PATTERN,
    FUZZ_SONG,
    FUZZ_ROWS,
    FUZZ_TARGETS,
};

// Where each target's bytes go; pictures take the longest picture's place.
static const res_member PLACE[FUZZ_ROWS] = {
    RES_PICTURE[4], RES_SCROLL_SHEET, RES_LOGO_SHEET, RES_INTRO_SOURCE, RES_INTRO_PATTERN, RES_SONG,
};

// Every call of the player handles at least one event of two bytes or more
// (a time and a running-status byte), so as many calls as the song has bytes
// in its tracks play it through at least once; a few more start it over.
static const long PLAYER_EXTRA_CALLS = 64;

static std::string archive; // the real res.dat
static int archive_fd = -1; // the working copy
static BITMAP *frame;
static std::jmp_buf refused;
static char refusal[512];
static bool say_refusals; // TESSERA_FUZZ_REFUSALS set: each refusal on stderr

// The program's way out for faults, brought back here: a refusal ends the
// input, and the harness can read what it said.
void ZE_fatal(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    vsnprintf(refusal, sizeof refusal, format, args);
    va_end(args);
    longjmp(refused, 1);
}

// Frames go to no screen here, so they wait for no refresh.
void ZE_wait_refresh(void) {}

bool ZE_use_fixed_seed = true;
unsigned ZE_fixed_seed = 1;

void ZE_seed_random(void)
{
    srand(ZE_fixed_seed);
}

// A timer that never fires by itself: the harness calls the player.
static void (*player)(void);

static int timer_install(void (*proc)(void), long)
{
    player = proc;
    return 0;
}

static void timer_remove(void (*proc)(void))
{
    if (player == proc) {
        player = NULL;
    }
}

static TIMER_DRIVER manual_timer = {
    0,    empty_string, empty_string, "manual", NULL, NULL, timer_install, timer_remove,
    NULL, NULL,         NULL,         NULL,     NULL,
};

// The raw MIDI stream goes through the demo's parser, as in the demo.
static midi_parser parser;

static void parse_raw(int byte)
{
    midi_event event;
    if (byte < 0 || byte > 255) {
        __builtin_trap();
    }
    ZE_midi_parse_byte(&parser, byte, &event);
}

static MIDI_DRIVER raw_midi = {
    0,
    empty_string,
    empty_string,
    "parser",
    0,
    0,
    0xFFFF,
    0,
    -1,
    -1,
    NULL,
    NULL,
    NULL,
    NULL,
    NULL,
    parse_raw,
    _dummy_load_patches,
    _dummy_adjust_patches,
    _dummy_key_on,
    _dummy_noop1,
    _dummy_noop2,
    _dummy_noop3,
    _dummy_noop2,
    _dummy_noop2,
};

static void fail(const char *what)
{
    fprintf(stderr, "members_fuzz: %s (%s)\n", what, strerror(errno));
    exit(2);
}

static std::string read_file(const std::string &path)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (f == NULL) {
        fail(("cannot read " + path).c_str());
    }
    std::string bytes;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.append(buffer, n);
    }
    fclose(f);
    return bytes;
}

static void write_at(int fd, const void *bytes, size_t size, off_t offset)
{
    if (pwrite(fd, bytes, size, offset) != static_cast<ssize_t>(size)) {
        fail("cannot write the working archive");
    }
}

// The harness works in a folder of its own, so the folders and files named
// on the command line are made absolute before it moves there.
static void absolute_paths(int *argc, char ***argv)
{
    static std::string here;
    static std::string *kept;
    static char **args;
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == NULL) {
        fail("cannot tell the working folder");
    }
    here = cwd;
    kept = new std::string[*argc];
    args = new char *[*argc + 1];
    static const char *const OPTIONS[] = {"-artifact_prefix=", "-exact_artifact_path=", "-dict="};
    for (int i = 0; i < *argc; i++) {
        std::string arg = (*argv)[i];
        size_t path = arg[0] == '-' ? std::string::npos : 0;
        for (const char *option : OPTIONS) {
            if (arg.rfind(option, 0) == 0) {
                path = strlen(option);
            }
        }
        if (i > 0 && path != std::string::npos && path < arg.size() && arg[path] != '/') {
            arg.insert(path, here + "/");
        }
        kept[i] = arg;
        args[i] = kept[i].data();
    }
    args[*argc] = NULL;
    *argv = args;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    absolute_paths(argc, argv);
    say_refusals = getenv("TESSERA_FUZZ_REFUSALS") != NULL;
    const char *data = getenv("TESSERA_FUZZ_DATA");
    const std::string dir = data != NULL ? data : TESSERA_DATA_DIR;
    archive = read_file(dir + "/" + RES_ARCHIVE_NAME);
    const std::string rows = read_file(dir + "/" + RES_ROWS_NAME);
    if (archive.size() != static_cast<size_t>(RES_ARCHIVE_SIZE)) {
        fail("the archive is not the demo's");
    }

    const char *tmp = getenv("TMPDIR");
    std::string work = std::string(tmp != NULL ? tmp : "/tmp") + "/members_fuzz.XXXXXX";
    if (mkdtemp(work.data()) == NULL || chdir(work.c_str()) != 0) {
        fail("cannot make a working folder");
    }
    archive_fd = open(RES_ARCHIVE_NAME, O_RDWR | O_CREAT | O_TRUNC, 0600);
    if (archive_fd < 0) {
        fail("cannot make the working archive");
    }
    write_at(archive_fd, archive.data(), archive.size(), 0);
    int rows_fd = open(RES_ROWS_NAME, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (rows_fd < 0) {
        fail("cannot make the rows file");
    }
    write_at(rows_fd, rows.data(), rows.size(), 0);
    close(rows_fd);

    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fail("cannot start Allegro");
    }
    timer_driver = &manual_timer;
    midi_driver = &raw_midi;
    frame = create_bitmap(SCREENBUF_W, SCREENBUF_H);
    ZE_read_color_maps();
    return 0;
}

// A copy of `size` bytes that ends where an unreadable page begins.
static unsigned char *fenced_copy(const unsigned char *bytes, size_t size, size_t *mapped)
{
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t body = (size + page - 1) / page * page;
    *mapped = body + page;
    void *map = mmap(NULL, *mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) {
        fail("cannot map a fenced track");
    }
    unsigned char *base = static_cast<unsigned char *>(map);
    mprotect(base + body, page, PROT_NONE);
    memcpy(base + body - size, bytes, size);
    return base + body - size;
}

// Plays the loaded song with play_midi(song, 1), as the main part does, until
// it has started over twice or the calls run out.
static void play_song(MIDI *song)
{
    unsigned char *kept[MIDI_TRACKS];
    unsigned char *fenced[MIDI_TRACKS] = {};
    size_t mapped[MIDI_TRACKS] = {};
    long calls = PLAYER_EXTRA_CALLS;
    for (int t = 0; t < MIDI_TRACKS; t++) {
        kept[t] = song->track[t].data;
        if (kept[t] != NULL) {
            calls += song->track[t].len;
            fenced[t] = fenced_copy(kept[t], song->track[t].len, &mapped[t]);
            song->track[t].data = fenced[t];
        }
    }

    ZE_midi_parser_reset(&parser);
    play_midi(song, 1);
    int starts = 0;
    long last_pos = 0;
    for (long i = 0; i < calls && player != NULL && starts < 2; i++) {
        player();
        if (midi_pos < last_pos) {
            starts++;
        }
        last_pos = midi_pos;
    }
    stop_midi();

    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    for (int t = 0; t < MIDI_TRACKS; t++) {
        if (kept[t] != NULL) {
            song->track[t].data = kept[t];
            unsigned char *base = reinterpret_cast<unsigned char *>(
                reinterpret_cast<uintptr_t>(fenced[t]) / page * page);
            munmap(base, mapped[t]);
        }
    }
}

static void run(fuzz_target target)
{
    switch (target) {
    case FUZZ_PICTURE:
        iso_backs[0] = ZE_load_picture_member(PLACE[target], iso_pal[0], PICTURE_MIN_W,
                                              PICTURE_MIN_H, "picture");
        ZE_write(flags.field, int16_t{0});
        ZE_assign_iso_field(4);
        ZE_draw_iso_field(frame);
        break;
    case FUZZ_SCROLL_SHEET:
        ZE_load_scroller_glyphs();
        break;
    case FUZZ_LOGO_SHEET:
        ZE_load_logo_glyphs();
        break;
    case FUZZ_INTRO_SOURCE:
    case FUZZ_INTRO_PATTERN:
        TU_read_source_graphic("tulor.pcx");
        TU_scatter_cells();
        TU_animate_cells();
        TU_draw_frame(frame);
        break;
    case FUZZ_SONG:
        ZE_load_song();
        play_song(muzak);
        break;
    case FUZZ_ROWS:
        ZE_read_color_maps();
        break;
    case FUZZ_TARGETS:
        break;
    }
}

// Lets go of whatever the target made, so that inputs do not pile up.
static void release(void)
{
    if (iso_backs[0] != NULL) {
        destroy_bitmap(iso_backs[0]);
        iso_backs[0] = NULL;
    }
    for (BITMAP *&glyph : scrollie) {
        if (glyph != NULL) {
            destroy_bitmap(glyph);
            glyph = NULL;
        }
    }
    for (BITMAP *&glyph : logo) {
        if (glyph != NULL) {
            destroy_bitmap(glyph);
            glyph = NULL;
        }
    }
    if (muzak != NULL) {
        destroy_midi(muzak);
        muzak = NULL;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    const fuzz_target target = static_cast<fuzz_target>(data[0] % FUZZ_TARGETS);
    const unsigned char *body = data + 1;
    size_t length = size - 1;

    if (target == FUZZ_ROWS) {
        const int fd = open(RES_ROWS_NAME, O_WRONLY | O_TRUNC);
        if (fd < 0) {
            fail("cannot write the rows file");
        }
        write_at(fd, body, length, 0);
        close(fd);
    } else {
        // The input, then zeros, fill the member's place.
        const res_member place = PLACE[target];
        const size_t room = static_cast<size_t>(place.length);
        length = length < room ? length : room;
        std::string member(reinterpret_cast<const char *>(body), length);
        member.resize(room, '\0');
        write_at(archive_fd, member.data(), room, place.offset);
    }

    refusal[0] = '\0';
    if (setjmp(refused) == 0) {
        run(target);
    } else if (say_refusals) {
        fprintf(stderr, "refused: %s\n", refusal);
    }
    if (strstr(refusal, "did not load as") != NULL ||
        strstr(refusal, "the library can load") != NULL) {
        // The member checks passed something the library read otherwise.
        fprintf(stderr, "members_fuzz: %s\n", refusal);
        __builtin_trap();
    }
    release();

    if (target != FUZZ_ROWS) {
        const res_member place = PLACE[target];
        write_at(archive_fd, archive.data() + place.offset, static_cast<size_t>(place.length),
                 place.offset);
    }
    return 0;
}
