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

static void BM_MainFrame(benchmark::State &state)
{
    start();
    for (auto _ : state) {
        ZE_draw_frame();
    }
}
BENCHMARK(BM_MainFrame)->Unit(benchmark::kMicrosecond);

static void BM_TileField(benchmark::State &state)
{
    start();
    for (auto _ : state) {
        ZE_draw_iso_field(screenbuf);
    }
}
BENCHMARK(BM_TileField)->Unit(benchmark::kMicrosecond);

static void BM_Dots(benchmark::State &state)
{
    start();
    for (auto _ : state) {
        ZE_draw_dots(screenbuf);
    }
}
BENCHMARK(BM_Dots)->Unit(benchmark::kMicrosecond);

// The edge bars and the letters, composed and laid over the frame.
static void BM_Extras(benchmark::State &state)
{
    start();
    for (auto _ : state) {
        ZE_draw_extras(screenbuf);
    }
}
BENCHMARK(BM_Extras)->Unit(benchmark::kMicrosecond);

static void BM_MainTick(benchmark::State &state)
{
    start();
    for (auto _ : state) {
        ZE_tick_main_part();
    }
}
BENCHMARK(BM_MainTick)->Unit(benchmark::kMicrosecond);

static void start_intro(void)
{
    start();
    static bool loaded = false;
    if (!loaded) {
        TU_begin_intro();
        loaded = true;
    }
}

static void BM_IntroFrame(benchmark::State &state)
{
    start_intro();
    for (auto _ : state) {
        TU_draw_frame(screenbuf);
    }
}
BENCHMARK(BM_IntroFrame)->Unit(benchmark::kMicrosecond);

static void BM_IntroTick(benchmark::State &state)
{
    start_intro();
    for (auto _ : state) {
        TU_animate_cells();
    }
}
BENCHMARK(BM_IntroTick)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
