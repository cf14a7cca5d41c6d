// The encoder: Debian's ffmpeg program, fed raw RGB frames through a pipe.
// The picture is encoded while the run goes on; the sound, complete only at
// the end, is joined to it in a second, quick pass that copies the picture.
#include "capture/capture.h"

#include <cerrno>
#include <atomic>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "base/state.h"

extern char **environ;

static const char FFMPEG[] = "ffmpeg";
static pid_t encoder = -1;
// The ffmpeg now running, if any, for a signal handler to end.
static std::atomic<pid_t> running{-1};
static int encoder_input = -1;
static size_t frame_bytes; // of one frame as the encoder takes it

// Starts ffmpeg with `args`; with `input`, its standard input is a pipe whose
// writing end is returned there. Returns the process id, or -1.
static pid_t spawn_ffmpeg(const std::vector<std::string> &args, int *input)
{
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(FFMPEG));
    for (const std::string &a : args) {
        argv.push_back(const_cast<char *>(a.c_str()));
    }
    argv.push_back(NULL);

    int fds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input != NULL) {
        if (pipe(fds) != 0) {
            posix_spawn_file_actions_destroy(&actions);
            return -1;
        }
        posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
    }
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, FFMPEG, &actions, NULL, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (input != NULL) {
        close(fds[0]);
        if (failed) {
            close(fds[1]);
        } else {
            *input = fds[1];
        }
    }
    if (failed) {
        fprintf(stderr, "tessera-capture: cannot run %s (install the ffmpeg package)\n", FFMPEG);
        return -1;
    }
    running.store(pid);
    return pid;
}

// Waits for a process; true if it exited with status 0.
static bool finished_well(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            running.store(-1);
            return false;
        }
    }
    running.store(-1);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void CP_end_encoder_now(void)
{
    const pid_t pid = running.exchange(-1);
    if (pid > 0) {
        kill(pid, SIGKILL);
        while (waitpid(pid, NULL, 0) < 0 && errno == EINTR) {
        }
    }
}

bool CP_makes_video(void)
{
    return true;
}

// libx264's presets, fastest first.
static const char *const PRESETS[] = {"ultrafast", "superfast", "veryfast", "faster",   "fast",
                                      "medium",    "slow",      "slower",   "veryslow", "placebo"};

bool CP_known_preset(const std::string &name)
{
    for (const char *preset : PRESETS) {
        if (name == preset) {
            return true;
        }
    }
    return false;
}

std::string CP_preset_names(void)
{
    std::string names;
    for (const char *preset : PRESETS) {
        names += (names.empty() ? "" : ", ") + std::string(preset);
    }
    return names;
}

// The doubled frame is piped as it is. Any other size is piped unenlarged
// and enlarged by ffmpeg's nearest-neighbour scaler, which costs less than
// piping a large frame and gives the same pixels.
int CP_encoder_input_scale(int scale)
{
    return scale == CP_DEFAULT_SCALE ? CP_DEFAULT_SCALE : 1;
}

bool CP_open_encoder(const std::string &path, const cp_encoding &encoding)
{
    // A dead encoder must show up as a failed write, not kill the recorder.
    signal(SIGPIPE, SIG_IGN);
    const int input_scale = CP_encoder_input_scale(encoding.scale);
    const int input_w = SCREENBUF_W * input_scale;
    const int input_h = SCREENBUF_H * input_scale;
    frame_bytes = static_cast<size_t>(input_w) * input_h * 3;
    const std::string size = std::to_string(input_w) + "x" + std::to_string(input_h);
    const std::string rate = std::to_string(TICK_HZ);
    std::vector<std::string> args = {"-hide_banner", "-loglevel", "error", "-y",          "-f",
                                     "rawvideo",     "-pix_fmt",  "rgb24", "-video_size", size,
                                     "-framerate",   rate,        "-i",    "pipe:0",      "-an"};
    if (input_scale != encoding.scale) {
        // Enlarged in RGB, then converted as the doubled frame is. Left to
        // do both in one step, the scaler enlarges the colour planes after
        // subsampling them, and the edges of the pixels change colour.
        const std::string w = std::to_string(SCREENBUF_W * encoding.scale);
        const std::string h = std::to_string(SCREENBUF_H * encoding.scale);
        args.insert(args.end(), {"-vf", "scale=" + w + ":" + h + ":flags=neighbor,format=rgb24"});
    }
    args.insert(args.end(), {"-c:v", "libx264", "-preset", encoding.preset, "-crf", encoding.crf,
                             "-pix_fmt", "yuv420p", "-r", rate, path});
    encoder = spawn_ffmpeg(args, &encoder_input);
    return encoder >= 0;
}

bool CP_encode_frame(const unsigned char *rgb)
{
    size_t left = frame_bytes;
    while (left > 0) {
        const ssize_t n = write(encoder_input, rgb, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        rgb += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

bool CP_close_encoder(void)
{
    if (encoder < 0) {
        return false;
    }
    close(encoder_input);
    encoder_input = -1;
    const bool ok = finished_well(encoder);
    encoder = -1;
    return ok;
}

bool CP_mux(const std::string &video, const std::string &wav, const std::string &out, double gain)
{
    char volume[64];
    snprintf(volume, sizeof volume, "volume=%.6f", gain);
    const std::vector<std::string> args = {
        "-hide_banner", "-loglevel", "error", "-nostdin",  "-y",         "-i",
        video,          "-i",        wav,     "-map",      "0:v",        "-map",
        "1:a",          "-c:v",      "copy",  "-af",       volume,       "-c:a",
        "aac",          "-b:a",      "192k",  "-movflags", "+faststart", out};
    const pid_t pid = spawn_ffmpeg(args, NULL);
    return pid >= 0 && finished_well(pid);
}
