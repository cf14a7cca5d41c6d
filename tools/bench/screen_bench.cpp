// How near the main part runs to the screen's own limit, in one run on a real
// 640 x 480 screen (an X display; Xvfb will do):
//   xvfb-run -a -s "-screen 0 640x480x24" build/tessera_screen_bench [OPTIONS] [ROUNDS [SECONDS]]
// With --fill, on the whole screen as tessera --fill shows it (the largest
// whole enlargement), say under -screen 0 1920x1080x24 or 3840x2160x24.
// With --vsync, every frame waits for the display's refresh first, as tessera
// --vsync does: both rates should then be the display's refresh rate.
// Rounds alternate two loops for SECONDS each: the bare loop only
// clears the 320 x 240 frame and shows it as the demo does; the main loop
// draws the main part's frame, with its timer handlers running, and shows it
// the same way. Alternating puts both under the same load from elsewhere. It prints
// the frames a second of each round and the main part's share of the bare
// loop's rate over all rounds.
#include <allegro.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "base/present.h"
#include "base/state.h"
#include "base/system.h"
#include "driver/loop.h"
#include "driver/options.h"
#include "driver/run.h"
#include "driver/startup.h"
#include "resources/archive.h"

using bench_clock = std::chrono::steady_clock;

static void bare_frame(void)
{
    clear_bitmap(screenbuf);
    ZE_final_pass(screenbuf, iso_pal[ZE_read(flags.field)]);
}

static void main_frame(void)
{
    ZE_draw_part(ZE_MAIN);
    ZE_final_pass(screenbuf, iso_pal[ZE_read(flags.field)]);
}

// Runs `frame` for `seconds`; returns the frames it made and the
// time they took.
static long run(void (*frame)(void), double seconds, double *took)
{
    const bench_clock::time_point start = bench_clock::now();
    const bench_clock::time_point stop = start + std::chrono::duration_cast<bench_clock::duration>(
                                                     std::chrono::duration<double>(seconds));
    long frames = 0;
    bench_clock::time_point now;
    do {
        frame();
        frames++;
        now = bench_clock::now();
    } while (now < stop);
    *took = std::chrono::duration<double>(now - start).count();
    return frames;
}

int main(int argc, char **argv)
{
    bool fill = false, paced = false;
    for (; argc > 1 && (std::string(argv[1]) == "--fill" || std::string(argv[1]) == "--vsync");
         argc--, argv++) {
        (std::string(argv[1]) == "--fill" ? fill : paced) = true;
    }
    const int rounds = argc > 1 ? atoi(argv[1]) : 5;
    const double seconds = argc > 2 ? atof(argv[2]) : 1.0;
    if (argc > 3 || rounds < 1 || !(seconds > 0)) {
        fprintf(stderr, "usage: tessera_screen_bench [--fill] [--vsync] [ROUNDS [SECONDS]]\n");
        return 2;
    }
    if (allegro_init() != 0) {
        fprintf(stderr,
                "tessera_screen_bench: cannot start Allegro; it needs an X display "
                "(DISPLAY=%s)\n",
                getenv("DISPLAY") != NULL ? getenv("DISPLAY") : "");
        return 1;
    }
    install_timer();
    if (chdir(TESSERA_DATA_DIR) != 0) {
        ZE_fatal("cannot enter %s", TESSERA_DATA_DIR);
    }
    ZE_prepare_run(0, ZE_load_resources);
    ZE_options.screen = fill ? SCREEN_FILL : SCREEN_FULL;
    ZE_open_screen();
    printf("screen %dx%d, the frame x%d at (%d, %d)\n", SCREEN_W, SCREEN_H, ZE_view.scale,
           ZE_view.x, ZE_view.y);
    ZE_enter_part(ZE_MAIN);
    // Into the first cycle, every letter launched, tiles apart, as in
    // tessera_bench; from there the handlers run the demo on.
    for (int tick = 0; tick < 600; tick++) {
        ZE_tick_part(ZE_MAIN);
    }
    ZE_write(flags.vsync, uint8_t{paced});
    ZE_start_main_clock();

    long bare_frames = 0, main_frames = 0;
    double bare_time = 0, main_time = 0;
    for (int r = 1; r <= rounds; r++) {
        double tb, tm;
        const long fb = run(bare_frame, seconds, &tb);
        const long fm = run(main_frame, seconds, &tm);
        printf("round %2d: bare loop %6.0f fps, main part %6.0f fps\n", r, fb / tb, fm / tm);
        fflush(stdout);
        bare_frames += fb;
        bare_time += tb;
        main_frames += fm;
        main_time += tm;
    }
    ZE_stop_main_clock();
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);

    const double bare_rate = bare_frames / bare_time;
    const double main_rate = main_frames / main_time;
    printf("bare loop %.0f fps, main part %.0f fps: %.2f of the bare loop's rate\n", bare_rate,
           main_rate, main_rate / bare_rate);
    return 0;
}
