#include "support.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ftw.h>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

#include "base/system.h"
#include "driver/run.h"
#include "resources/archive.h"
#include "resources/colormaps.h"

static char workdir[] = "/tmp/tessera-test-XXXXXX";

static int remove_entry(const char *path, const struct stat *, int, struct FTW *)
{
    return remove(path);
}

static pid_t workdir_owner;

// The working folder goes when the test program ends; not when a death
// test's child process does.
static void remove_workdir(void)
{
    if (getpid() != workdir_owner) {
        return;
    }
    nftw(workdir, remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string TT_enter_workdir(bool with_data)
{
    static bool made = false;
    if (made) {
        remove_workdir();
        strcpy(workdir, "/tmp/tessera-test-XXXXXX");
    } else {
        atexit(remove_workdir);
    }
    made = true;
    workdir_owner = getpid();
    const char *dir = mkdtemp(workdir);
    if (dir == NULL || chdir(dir) != 0) {
        abort();
    }
    if (with_data) {
        if (!TT_copy_file(std::string(TESSERA_DATA_DIR) + "/res.dat", "res.dat") ||
            !TT_copy_file(std::string(TESSERA_DATA_DIR) + "/res_2.dat", "res_2.dat")) {
            abort();
        }
    }
    return dir;
}

bool TT_copy_file(const std::string &from, const std::string &to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    if (!in || !out) {
        return false;
    }
    out << in.rdbuf();
    return bool(out);
}

std::string TT_read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void TT_write_file(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

void TT_start_without_screen(void)
{
    TT_enter_workdir(true);
    ZE_prepare_run(1, ZE_load_resources);
}

// Stands in for ZE_load_resources without data files: ten patterned
// pictures with distinct palettes, glyphs in colours 103 and 176 (logo) and
// 1..60 (scroller), colour maps whose filed rows are set and row 0 identity.
static void fake_resources(void)
{
    for (int i = 0; i < RES_PICTURES; i++) {
        iso_backs[i] = create_bitmap(PICTURE_W, PICTURE_H);
        for (int y = 0; y < PICTURE_H; y++) {
            for (int x = 0; x < PICTURE_W; x++) {
                iso_backs[i]->line[y][x] = static_cast<unsigned char>((x * (i + 1) + y * 3) % 256);
            }
        }
        for (int c = 0; c < PAL_SIZE; c++) {
            iso_pal[i][c].r = static_cast<unsigned char>((c + i) % 64);
            iso_pal[i][c].g = static_cast<unsigned char>((c * 5 + i) % 64);
            iso_pal[i][c].b = static_cast<unsigned char>((c / 4 + 3 * i) % 64);
        }
        _shadows[i] = ZE_shadow_maps[i];
        _lights[i] = ZE_light_maps[i];
        for (int d = 0; d < PAL_SIZE; d++) {
            _shadows[i]->data[0][d] = _lights[i]->data[0][d] = static_cast<unsigned char>(d);
            for (int row : SHADOW_ROWS) {
                _shadows[i]->data[row][d] = static_cast<unsigned char>(d / 2 + row % 7 + i);
            }
            _lights[i]->data[LIGHT_ROW_BODY][d] = static_cast<unsigned char>(255 - d / 2);
            _lights[i]->data[LIGHT_ROW_EDGE][d] = static_cast<unsigned char>(255 - d / 3 - i);
        }
    }
    for (int g = 0; g < SCROLL_GLYPHS; g++) {
        scrollie[g] = create_bitmap(SCROLL_GLYPH_W, SCROLL_GLYPH_H);
        clear_bitmap(scrollie[g]);
        rectfill(scrollie[g], 2, 2, 28, 16, 1 + g);
        circlefill(scrollie[g], 15, 9, 4, 0);
    }
    for (int g = 0; g < LOGO_GLYPHS; g++) {
        logo[g] = create_bitmap(LOGO_GLYPH_W, LOGO_GLYPH_H);
        clear_bitmap(logo[g]);
        rectfill(logo[g], 3, 3, 28, 25, LIGHT_ROW_EDGE);
        rectfill(logo[g], 6, 6, 25, 22, LIGHT_ROW_BODY);
        rectfill(logo[g], 10 + g % 10, 9, 14 + g % 10, 19, 0);
    }
}

void TT_start_main_part(unsigned seed)
{
    TT_enter_workdir(false);
    ZE_prepare_run(seed, fake_resources);
    ZE_seed_random(); // where the intro, skipped here, would seed it
    ZE_enter_part(ZE_MAIN);
}

// Tests make bitmaps freely and leave them to the end of the process, as the
// demo leaves its song: leaks are not what these programs look for.
extern "C" const char *__asan_default_options(void)
{
    return "detect_leaks=0";
}

// Every test program runs on Allegro without a display: memory bitmaps,
// loaders and colour maps work; timers do not, so tests call handlers.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fprintf(stderr, "cannot start Allegro without a display\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
