// The progress bar on standard error: frames done of the frames expected,
// the speed of the run and the time left at that speed. On a terminal the
// bar is redrawn in place; elsewhere a line is written now and then.
#include "capture.h"

#include <chrono>
#include <unistd.h>

static const int BAR_WIDTH = 30;
static const double TERMINAL_INTERVAL = 0.2; // seconds between redraws
static const double LOG_INTERVAL = 10.0;     // seconds between lines in a log

static bool shown;
static bool terminal;
static std::chrono::steady_clock::time_point started;
static double last_drawn; // seconds into the run of the last line drawn

static double seconds_since_start(void)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

void CP_progress_start(bool enabled)
{
    shown = enabled;
    terminal = isatty(STDERR_FILENO);
    started = std::chrono::steady_clock::now();
    last_drawn = 0;
}

static void draw(long done, long total, double elapsed)
{
    const double fps = elapsed > 0 ? done / elapsed : 0;
    const long left = total > done ? total - done : 0;
    const long eta = fps > 0 ? static_cast<long>(left / fps + 0.5) : 0;
    const int filled =
        total > 0 ? static_cast<int>(static_cast<double>(BAR_WIDTH) * done / total) : 0;
    char bar[BAR_WIDTH + 1];
    for (int i = 0; i < BAR_WIDTH; i++) {
        bar[i] = i < filled ? '#' : '.';
    }
    bar[BAR_WIDTH] = '\0';
    fprintf(stderr, "%s[%s] %ld/%ld frames  %.0f fps  %ld:%02ld left%s", terminal ? "\r" : "", bar,
            done, total, fps, eta / 60, eta % 60, terminal ? "\033[K" : "\n");
    fflush(stderr);
}

void CP_progress(long done, long total)
{
    if (!shown) {
        return;
    }
    const double now = seconds_since_start();
    if (now - last_drawn < (terminal ? TERMINAL_INTERVAL : LOG_INTERVAL)) {
        return;
    }
    last_drawn = now;
    draw(done, total, now);
}

void CP_progress_end(long done)
{
    if (!shown) {
        return;
    }
    draw(done, done, seconds_since_start());
    if (terminal) {
        fputc('\n', stderr);
    }
}
