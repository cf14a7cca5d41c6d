// How long the demo's per-frame and per-tick work takes, on the release data:
//   build/tessera_bench            (run from anywhere; it reads data/)
// The frame loop is unpaced, so these numbers are the demo's frame rate
// ceiling before the doubled stretch to the screen; tessera_screen_bench
// measures the frame rate with it.
#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdlib>
#include <unistd.h>

#include "driver/loop.h"
#include "base/system.h"
#include "driver/startup.h"
#include "base/state.h"
#include "field/field.h"
#include "intro/tulor.h"
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
    ZE_use_fixed_seed = true;
    ZE_initialize_variables();
    ZE_load_resources();
    ZE_begin_main_part();
    // Into the first cycle, every letter launched, tiles apart.
    for (int tick = 0; tick < 600; tick++) {
        ZE_tick_main_part();
    }
}

static void start_intro(void)
{
    start();
    static bool loaded = false;
    if (!loaded) {
        TU_begin_intro();
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
BENCHMARK_CAPTURE(timed, MainFrame, start, ZE_draw_frame)->Unit(US);
BENCHMARK_CAPTURE(timed, TileField, start, [] { ZE_draw_iso_field(screenbuf); })->Unit(US);
BENCHMARK_CAPTURE(timed, Dots, start, [] { ZE_draw_dots(screenbuf); })->Unit(US);
// The edge bars and the letters, composed and laid over the frame.
BENCHMARK_CAPTURE(timed, Extras, start, [] { ZE_draw_extras(screenbuf); })->Unit(US);
BENCHMARK_CAPTURE(timed, MainTick, start, ZE_tick_main_part)->Unit(US);
BENCHMARK_CAPTURE(timed, IntroFrame, start_intro, [] { TU_draw_frame(screenbuf); })->Unit(US);
BENCHMARK_CAPTURE(timed, IntroTick, start_intro, TU_animate_cells)->Unit(US);

BENCHMARK_MAIN();
