#include "support.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

#include "driver/startup.h"
#include "resources/archive.h"

std::string TT_enter_workdir(bool with_data)
{
    char pattern[] = "/tmp/tessera-test-XXXXXX";
    const char *dir = mkdtemp(pattern);
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
    ZE_initialize_variables();
    ZE_load_resources();
}

static uint32_t fnv(uint32_t h, unsigned char byte)
{
    return (h ^ byte) * 16777619u;
}

uint32_t TT_checksum(BITMAP *bmp)
{
    uint32_t h = 2166136261u;
    for (int y = 0; y < bmp->h; y++) {
        for (int x = 0; x < bmp->w; x++) {
            h = fnv(h, bmp->line[y][x]);
        }
    }
    return h;
}

uint32_t TT_checksum(const RGB *pal)
{
    uint32_t h = 2166136261u;
    for (int i = 0; i < PAL_SIZE; i++) {
        h = fnv(fnv(fnv(h, pal[i].r), pal[i].g), pal[i].b);
    }
    return h;
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
