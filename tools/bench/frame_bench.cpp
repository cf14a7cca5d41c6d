// How long the demo's per-frame and per-tick work takes, on the release data:
//   build/tessera_bench            (run from anywhere; it reads data/)
// The frame loop is unpaced, so these numbers are the demo's frame rate
// ceiling before the doubled stretch to the screen; tessera_screen_bench
// measures the frame rate with it.
#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdlib>
#include <unistd.h>

#include "base/state.h"
#include "driver/run.h"
#include "field/field.h"
#include "overlays/dots.h"
#include "overlays/extras.h"
#include "resources/archive.h"

static void start(void)
{
    static bool started = false;
    if (started) {
        return;
    }
    started = true;
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0 || chdir(TESSERA_DATA_DIR) != 0) {
        abort();
    }
    ZE_prepare_run(0, ZE_load_resources);
    ZE_enter_part(ZE_MAIN);
    // Into the first cycle, every letter launched, tiles apart.
    for (int tick = 0; tick < 600; tick++) {
        ZE_tick_part(ZE_MAIN);
    }
}

static void start_intro(void)
{
    start();
    static bool loaded = false;
    if (!loaded) {
        ZE_enter_part(ZE_INTRO);
        loaded = true;
    }
}

// Times `step`, again and again, once `prepare` has set the scene.
static void timed(benchmark::State &state, void (*prepare)(void), void (*step)(void))
{
    prepare();
    for (auto _ : state) {
        step();
    }
}

static const benchmark::TimeUnit US = benchmark::kMicrosecond;
BENCHMARK_CAPTURE(timed, MainFrame, start, [] { ZE_draw_part(ZE_MAIN); })->Unit(US);
BENCHMARK_CAPTURE(timed, TileField, start, [] { ZE_draw_iso_field(screenbuf); })->Unit(US);
BENCHMARK_CAPTURE(timed, Dots, start, [] { ZE_draw_dots(screenbuf); })->Unit(US);
// The edge bars and the letters, composed and laid over the frame.
BENCHMARK_CAPTURE(timed, Extras, start, [] { ZE_draw_extras(screenbuf); })->Unit(US);
BENCHMARK_CAPTURE(timed, MainTick, start, [] { ZE_tick_part(ZE_MAIN); })->Unit(US);
BENCHMARK_CAPTURE(timed, IntroFrame, start_intro, [] { ZE_draw_part(ZE_INTRO); })->Unit(US);
BENCHMARK_CAPTURE(timed, IntroTick, start_intro, [] { ZE_tick_part(ZE_INTRO); })->Unit(US);

BENCHMARK_MAIN();
