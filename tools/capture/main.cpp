// tessera-capture: records Tessera frame-exact, without a display. The demo
// runs on a simulated clock (see timeline.cpp); its frames go to an MP4 with
// the song, to PNG files, or to checksums on standard output.
#include "capture.h"
#include "system.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/present.h"
#include "base/state.h"
#include "driver/options.h"
#include "driver/sequence.h"
#include "platform/files.h"
#include "platform/synth.h"
#include "resources/directory.h"
#include "resources/paths.h"

static const char USAGE[] =
    "Usage: tessera-capture [options] OUT.mp4\n"
    "  or:  tessera-capture [options] --frames DIR\n"
    "  or:  tessera-capture [options] --still T OUT.png\n"
    "  or:  tessera-capture [options] --checksums\n"
    "Records the Tessera demo, without a display: OUT.mp4 is the demo as video\n"
    "with its song, --frames DIR every frame as DIR/frame-NNNNNN.png, --still\n"
    "the frame shown at T seconds, --checksums a checksum line per frame.\n"
    "\n"
    "The demo runs on a simulated clock: video frame n (60 a second) is the frame\n"
    "the demo draws after exactly n ticks of its 60 Hz timer, however long drawing\n"
    "takes, so the recording is frame-exact and the same on every machine.\n"
    "\n"
    "Options:\n"
    "  --seed N        seed of the random generator (default 1); equal seeds give\n"
    "                  equal recordings\n"
    "  --data DIR      folder holding res.dat and res_2.dat (default: the working\n"
    "                  folder if it holds res.dat, else the installed data folder)\n"
    "  --duration S    stop after S seconds of the demo (default: the whole demo)\n"
    "  --soundfont F   General MIDI sound font for the song (default\n"
    "                  " FLUID_DEFAULT_SOUND_FONT ", else the song's own\n"
    "                  song.sf2 in the data folder)\n"
    "  --scale N       the 320x240 picture enlarged N times, every pixel a block\n"
    "                  of N x N: 1 to 9 (default 2, 640x480; 6 is 1920x1440)\n"
    "  --crf Q         the video's quality, libx264's constant rate factor: 0\n"
    "                  (lossless) to 51 (smallest file); default 18\n"
    "  --preset P      libx264's speed preset, ultrafast to placebo: slower\n"
    "                  presets take longer to encode better (default veryfast)\n"
    "  --checksums     also with OUT.mp4 or --frames: print for every frame its\n"
    "                  number, part, frame within its part and the FNV-1a checksums\n"
    "                  of its 8-bit pixels and of its palette\n"
    "  --quiet         no progress bar\n"
    "  --help          this text\n"
    "  --version       the version of Tessera this recorder belongs to\n";

static const unsigned DEFAULT_SEED = 1;
static const char DEFAULT_CRF[] = "18";
static const char DEFAULT_PRESET[] = "veryfast";
static const double DAY = 86400; // the longest --duration or --still, in seconds
static const char SECONDS[] = " of seconds";

struct options {
    std::string out;    // OUT.mp4 or, with --still, OUT.png
    std::string frames; // --frames DIR
    std::string data;
    std::string soundfont; // empty: the default
    unsigned seed = DEFAULT_SEED;
    cp_encoding encoding = {CP_DEFAULT_SCALE, DEFAULT_CRF, DEFAULT_PRESET};
    long max_frames = LONG_MAX;
    long still = -1; // frame number of --still
    bool checksums = false;
    bool quiet = false;
};

[[noreturn]] static void fail(const char *format, const char *what)
{
    fputs("tessera-capture: ", stderr);
    fprintf(stderr, format, what);
    fputc('\n', stderr);
    exit(1);
}

[[noreturn]] __attribute__((format(printf, 1, 2))) static void usage_error(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    fputs("tessera-capture: ", stderr);
    vfprintf(stderr, format, args);
    fputs("\n(tessera-capture --help shows the usage)\n", stderr);
    va_end(args);
    exit(2);
}

// The value of `option`, a number from `min` to `max` (whole if `whole`).
static double number(const char *option, const char *value, double min, double max, bool whole,
                     const char *unit = "")
{
    double n;
    if (!ZE_read_number(value, min, max, whole, &n)) {
        usage_error("%s takes a %snumber%s from %.15g to %.15g", option, whole ? "whole " : "",
                    unit, min, max);
    }
    return n;
}

// The frame on show at `seconds`: frame n is shown from n/60 s to (n+1)/60 s.
static long frame_at(double seconds)
{
    return static_cast<long>(std::floor(seconds * TICK_HZ + 1e-9));
}

static options parse_options(int argc, char **argv)
{
    options o;
    std::vector<std::string> positional;
    const char *encoding_option = NULL; // --crf or --preset, once given
    bool scale_given = false;
    for (int i = 1; i < argc; i++) {
        std::string arg, why;
        const char *value;
        if (!ZE_read_arg(argc, argv, &i, "--help -h --version --checksums --quiet",
                         "--seed --data --duration --soundfont --frames --still --scale --crf "
                         "--preset",
                         &arg, &value, &why)) {
            usage_error("%s", why.c_str());
        }
        if (arg.empty()) {
            positional.push_back(value);
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            fputs(USAGE, stdout);
            exit(0);
        } else if (arg == "--version") {
            puts("tessera-capture " TESSERA_VERSION);
            exit(0);
        } else if (arg == "--checksums") {
            o.checksums = true;
        } else if (arg == "--quiet") {
            o.quiet = true;
        } else if (arg == "--seed") {
            o.seed = static_cast<unsigned>(number("--seed", value, 0, UINT_MAX, true));
        } else if (arg == "--data") {
            o.data = value;
        } else if (arg == "--duration") {
            o.max_frames = frame_at(number("--duration", value, 0, DAY, false, SECONDS));
            if (o.max_frames < 1) {
                usage_error("--duration %s is shorter than one frame", value);
            }
        } else if (arg == "--soundfont") {
            o.soundfont = value;
        } else if (arg == "--frames") {
            o.frames = value;
        } else if (arg == "--scale") {
            o.encoding.scale = static_cast<int>(number("--scale", value, 1, CP_MAX_SCALE, true));
            scale_given = true;
        } else if (arg == "--crf") {
            // Written back as ffmpeg reads it: "18", "20.5".
            char written[32];
            snprintf(written, sizeof written, "%g", number("--crf", value, 0, CP_MAX_CRF, false));
            o.encoding.crf = written;
            encoding_option = "--crf";
        } else if (arg == "--preset") {
            if (!CP_known_preset(value)) {
                usage_error("--preset takes one of libx264's presets (%s), not %s",
                            CP_preset_names().c_str(), value);
            }
            o.encoding.preset = value;
            encoding_option = "--preset";
        } else {
            o.still = frame_at(number("--still", value, 0, DAY, false, SECONDS));
        }
    }

    if (positional.size() > 1) {
        usage_error("one output file at most, not also %s", positional[1].c_str());
    }
    if (positional.size() == 1) {
        o.out = positional[0];
    }
    if (o.still >= 0) {
        if (o.out.empty() || !o.frames.empty()) {
            usage_error("--still needs one output file, OUT.png, and no --frames");
        }
    } else if (!o.frames.empty()) {
        if (!o.out.empty()) {
            usage_error("--frames writes PNG files only, not also %s", o.out.c_str());
        }
    } else if (o.out.empty() && !o.checksums) {
        usage_error("say where to write: OUT.mp4, --frames DIR, --still T OUT.png or "
                    "--checksums");
    }
    const bool video = o.still < 0 && o.frames.empty() && !o.out.empty();
    if (video && !CP_makes_video()) {
        fail("%s: this recorder makes no video (it has no ffmpeg or FluidSynth here); "
             "--frames DIR, --still T OUT.png and --checksums work",
             o.out.c_str());
    }
    if (encoding_option != NULL && !video) {
        usage_error("%s sets how the video is encoded, and there is no OUT.mp4 to encode",
                    encoding_option);
    }
    if (scale_given && o.out.empty() && o.frames.empty()) {
        usage_error("--scale sizes a video, PNG frames or a still; --checksums alone makes "
                    "no picture");
    }
    return o;
}

// `path` made absolute against the folder the recorder was started in.
static std::string absolute(const std::string &path)
{
    if (path.empty()) {
        return path;
    }
    std::error_code error;
    const std::filesystem::path made = std::filesystem::absolute(path, error);
    if (error) {
        fail("cannot tell the current folder: %s", error.message().c_str());
    }
    return made.string();
}

static bool is_file(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The data folder: where the demo would find it (--data, else the working
// folder if it holds res.dat, else the installed data folder); failing
// those, for a recorder still in its build folder, the data folder beside it.
static std::string data_folder(const std::string &given)
{
    const std::string found = ZE_find_data_folder(given.empty() ? NULL : given.c_str());
    if (!found.empty() || is_file(RES_ARCHIVE_NAME)) {
        return absolute(found.empty() ? "." : found);
    }
    char here[PATH_MAX];
    if (!ZE_executable_folder(here, sizeof here)) {
        return absolute(".");
    }
    const std::string built = std::string(here) + "/../data";
    return is_file(built + "/" + RES_ARCHIVE_NAME) ? built : absolute(".");
}

static bool is_folder(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The files the demo may leave in its working folder.
static const char *const WORK_FILES[] = {RES_ARCHIVE_NAME, RES_ROWS_NAME, RES_TEMP_NAME,
                                         CAPTURE_NAME, LOG_NAME};

// Files and a folder to remove when the recorder ends, however it ends: an
// interrupted recording leaves nothing behind. Kept as plain C strings, so
// that a signal handler can remove them.
static const int MAX_LEFTOVERS = 8;
static char leftovers[MAX_LEFTOVERS][PATH_MAX];
static int leftover_count;
static char leftover_folder[PATH_MAX];
static char start_folder[PATH_MAX]; // "" if it cannot be told

static void remove_leftovers(void)
{
    for (int i = 0; i < leftover_count; i++) {
        unlink(leftovers[i]);
    }
    if (leftover_folder[0] != '\0') {
        // Windows removes no folder that a process works in (Linux does,
        // and removes it also when the start folder has gone meanwhile).
        if (start_folder[0] != '\0') {
            [[maybe_unused]] const int left = chdir(start_folder);
        }
        rmdir(leftover_folder);
    }
}

// Removes the leftovers, then ends the process by the same signal with its
// default action: raised while the handler runs, it arrives as it returns.
static void on_signal(int sig)
{
    // An encoder still starting would otherwise create its file afterwards.
    CP_end_encoder_now();
    remove_leftovers();
    signal(sig, SIG_DFL);
    raise(sig);
}

// Every way out: exit, being stopped, and a crash of the demo's code.
static void leave_behind_nothing(void)
{
    if (getcwd(start_folder, sizeof start_folder) == NULL) {
        start_folder[0] = '\0';
    }
    atexit(remove_leftovers);
    CP_catch_end_signals(on_signal);
}

static void remove_at_end(const std::string &path)
{
    if (leftover_count < MAX_LEFTOVERS && path.size() < PATH_MAX) {
        strcpy(leftovers[leftover_count++], path.c_str());
    }
}

// The demo works in its current folder, where it writes its temporary file;
// it is given a fresh one holding links to the data files (copies on
// Windows), so that the data folder stays untouched and recordings can run
// side by side.
static void enter_private_folder(const std::string &data)
{
    char made[PATH_MAX - 16]; // room for the names in it
    if (!ZE_make_private_folder(made, sizeof made)) {
        fail("cannot make a working folder: %s", strerror(errno));
    }
    strcpy(leftover_folder, made);
    const std::string folder = made;
    for (const char *name : WORK_FILES) {
        remove_at_end(folder + "/" + name);
    }
    for (const char *name : {RES_ARCHIVE_NAME, RES_ROWS_NAME}) {
        if (!CP_place_data_file((data + "/" + name).c_str(), (folder + "/" + name).c_str())) {
            fail("cannot link the data files into %s", folder.c_str());
        }
    }
    if (chdir(folder.c_str()) != 0) {
        fail("cannot enter %s", folder.c_str());
    }
}

static std::string video_part;
static std::string sound_part;

static const char *phase_name(cp_phase phase)
{
    static const char *const NAMES[] = {"intro", "intro-fade", "main", "main-fade"};
    return NAMES[phase];
}

// Where the frames go, besides the checksums.
enum sink { TO_VIDEO, TO_FRAMES, TO_STILL, TO_NOTHING };

static FILE *wav;
static long samples;

// Hands one frame to its sink. False if the video's encoder or sound failed;
// the other sinks exit with a message on failure. Returns once the still is written.
static bool deliver(const options &o, sink to, const cp_frame &frame, unsigned char *rgb)
{
    if (o.checksums) {
        printf("%06ld %s %ld %08x %08x\n", frame.index, phase_name(frame.phase), frame.phase_index,
               CP_pixel_checksum(frame.pixels), CP_palette_checksum(frame.palette));
    }
    switch (to) {
    case TO_VIDEO: {
        // The song starts with the main part, before its first frame is shown.
        if (frame.phase == CP_MAIN && frame.phase_index == 0) {
            CP_start_song();
        }
        float sound[2 * CP_FRAME_SAMPLES];
        CP_render_frame_sound(sound);
        if (!CP_write_wav(wav, sound, 2 * CP_FRAME_SAMPLES)) {
            fprintf(stderr, "\ntessera-capture: cannot write %s\n", sound_part.c_str());
            return false;
        }
        samples += CP_FRAME_SAMPLES;
        CP_frame_to_rgb(&frame, CP_encoder_input_scale(o.encoding.scale), rgb);
        if (!CP_encode_frame(rgb)) {
            fprintf(stderr, "\ntessera-capture: the encoder stopped taking frames\n");
            return false;
        }
        return true;
    }
    case TO_FRAMES: {
        char name[32];
        snprintf(name, sizeof name, "/frame-%06ld.png", frame.index);
        CP_frame_to_rgb(&frame, o.encoding.scale, rgb);
        if (!CP_write_png((o.frames + name).c_str(), rgb, SCREENBUF_W * o.encoding.scale,
                          SCREENBUF_H * o.encoding.scale)) {
            fail("cannot write %s", (o.frames + name).c_str());
        }
        return true;
    }
    case TO_STILL:
        if (frame.index == o.still) {
            CP_frame_to_rgb(&frame, o.encoding.scale, rgb);
            if (!CP_write_png(o.out.c_str(), rgb, SCREENBUF_W * o.encoding.scale,
                              SCREENBUF_H * o.encoding.scale)) {
                fail("cannot write %s", o.out.c_str());
            }
            exit(0);
        }
        return true;
    case TO_NOTHING:
        return true;
    }
    return true;
}

// Closes the encoder and the sound and joins them into the output. The
// output is left only if every step worked.
static bool finish_video(const options &o, bool ok)
{
    const double gain = CP_song_gain();
    CP_close_song();
    const bool sound_ok = CP_close_wav(wav, samples);
    const bool video_ok = CP_close_encoder();
    if (ok && !video_ok) {
        fprintf(stderr, "tessera-capture: ffmpeg failed to encode the video\n");
    }
    if (ok && !sound_ok) {
        fprintf(stderr, "tessera-capture: cannot write %s\n", sound_part.c_str());
    }
    ok = ok && video_ok && sound_ok;
    if (ok && !CP_mux(video_part, sound_part, o.out, gain)) {
        fprintf(stderr, "tessera-capture: ffmpeg failed to join picture and sound\n");
        remove(o.out.c_str());
        ok = false;
    }
    return ok;
}

int main(int argc, char **argv)
{
    CP_binary_output();
    options o = parse_options(argc, argv);
    const sink to = o.still >= 0        ? TO_STILL
                    : !o.frames.empty() ? TO_FRAMES
                    : !o.out.empty()    ? TO_VIDEO
                                        : TO_NOTHING;
    o.out = absolute(o.out);
    o.frames = absolute(o.frames);
    const std::string data = data_folder(o.data);
    for (const char *name : {RES_ARCHIVE_NAME, RES_ROWS_NAME}) {
        if (!is_file(data + "/" + name)) {
            fprintf(stderr,
                    "tessera-capture: no %s in %s (build the data files: cmake --build build "
                    "--target data, or give --data DIR)\n",
                    name, data.c_str());
            return 1;
        }
    }
    std::error_code error;
    if (to == TO_FRAMES && !is_folder(o.frames) &&
        !std::filesystem::create_directory(o.frames, error)) {
        fail("cannot make the folder %s", o.frames.c_str());
    }
    if (o.soundfont.empty()) {
        const std::string song_font = data + "/" + RES_SONG_FONT_NAME;
        o.soundfont = !is_file(FLUID_DEFAULT_SOUND_FONT) && is_file(song_font)
                          ? song_font
                          : FLUID_DEFAULT_SOUND_FONT;
    }
    if (to == TO_VIDEO && !is_file(o.soundfont)) {
        fail("no sound font %s (install fluid-soundfont-gm or give --soundfont FILE)",
             o.soundfont.c_str());
    }

    leave_behind_nothing();
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fail("cannot start Allegro: %s", allegro_error);
    }
    // The synthesizer draws on the C library's rand(); the demo's numbers come
    // from a generator of its own (base/random.h), which it cannot disturb.
    if (to == TO_VIDEO &&
        !CP_open_song((data + "/" + RES_ARCHIVE_NAME).c_str(), o.soundfont.c_str())) {
        return 1;
    }
    enter_private_folder(data);
    CP_start_demo(o.seed);

    // Picture and sound are written beside the output and joined at the end.
    if (to == TO_VIDEO) {
        video_part = o.out + ".video.mp4";
        sound_part = o.out + ".sound.wav";
        remove_at_end(video_part);
        remove_at_end(sound_part);
        wav = CP_open_wav(sound_part.c_str());
        if (wav == NULL) {
            fail("cannot write beside %s: is its folder there and writable?", o.out.c_str());
        }
        if (!CP_open_encoder(video_part, o.encoding)) {
            return 1;
        }
    }

    std::vector<unsigned char> rgb(static_cast<size_t>(SCREENBUF_W) * SCREENBUF_H * 3 *
                                   o.encoding.scale * o.encoding.scale);
    long frames = 0;
    bool ok = true;
    cp_frame frame;
    CP_progress_start(!o.quiet && (to == TO_VIDEO || to == TO_FRAMES));
    while (ok && frames < o.max_frames && CP_next_frame(&frame)) {
        frames++;
        ok = deliver(o, to, frame, rgb.data());
        const long total = frame.index + 1 + CP_frames_left(frame.phase, frame.phase_index);
        CP_progress(frames, total < o.max_frames ? total : o.max_frames);
    }
    CP_progress_end(frames);
    if (fflush(stdout) != 0 || ferror(stdout)) {
        fail("cannot write the checksums: %s", strerror(errno));
    }

    if (to == TO_STILL) {
        char seconds[32];
        snprintf(seconds, sizeof seconds, "%.2f", static_cast<double>(frames) / TICK_HZ);
        fail(frames == o.max_frames ? "--duration ends the run at %s seconds, before the still"
                                    : "the demo lasts only %s seconds",
             seconds);
    }
    if (to == TO_VIDEO) {
        if (!finish_video(o, ok)) {
            return 1;
        }
        fprintf(stderr, "tessera-capture: wrote %s (%ld frames, %.1f s)\n", o.out.c_str(), frames,
                static_cast<double>(frames) / TICK_HZ);
    }
    return 0;
}
