// Writes the fuzz target's seed corpus from a built data set: every member of
// res.dat and the rows file, each behind the byte that picks its target.
//   fuzz_seeds DATA_DIR OUT_DIR
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "resources/directory.h"

// The first bytes members_fuzz reads for each kind of member.
enum { PICTURE, SCROLL_SHEET, LOGO_SHEET, INTRO_SOURCE, INTRO_PATTERN, SONG, ROWS };

static std::string read_file(const std::string &path)
{
    std::string bytes;
    FILE *f = fopen(path.c_str(), "rb");
    if (f == NULL) {
        return bytes;
    }
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.append(buffer, n);
    }
    fclose(f);
    return bytes;
}

static bool write_seed(const std::string &path, int target, const std::string &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (f == NULL) {
        return false;
    }
    const bool ok =
        fputc(target, f) != EOF && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: fuzz_seeds DATA_DIR OUT_DIR\n");
        return 2;
    }
    const std::string data = argv[1], out = argv[2];
    const std::string archive = read_file(data + "/" + RES_ARCHIVE_NAME);
    const std::string rows = read_file(data + "/" + RES_ROWS_NAME);
    if (archive.size() != static_cast<size_t>(RES_ARCHIVE_SIZE) || rows.empty()) {
        fprintf(stderr, "fuzz_seeds: no data set of the demo's in %s\n", argv[1]);
        return 1;
    }
    mkdir(out.c_str(), 0755);

    struct seed {
        std::string name;
        int target;
        res_member member;
    };
    seed seeds[] = {
        {"scroll-sheet", SCROLL_SHEET, RES_SCROLL_SHEET},
        {"logo-sheet", LOGO_SHEET, RES_LOGO_SHEET},
        {"intro-source", INTRO_SOURCE, RES_INTRO_SOURCE},
        {"intro-pattern", INTRO_PATTERN, RES_INTRO_PATTERN},
        {"song", SONG, RES_SONG},
    };
    bool ok = true;
    for (const seed &s : seeds) {
        ok = ok && write_seed(out + "/" + s.name, s.target,
                              archive.substr(s.member.offset, s.member.length));
    }
    for (int i = 0; i < RES_PICTURES; i++) {
        ok = ok && write_seed(out + "/picture-" + std::to_string(i), PICTURE,
                              archive.substr(RES_PICTURE[i].offset, RES_PICTURE[i].length));
    }
    ok = ok && write_seed(out + "/rows", ROWS, rows);
    if (!ok) {
        fprintf(stderr, "fuzz_seeds: cannot write the seeds into %s\n", argv[2]);
        return 1;
    }
    return 0;
}
