// Placeholder data builder: writes files of the right sizes.
#include <cstdio>
#include <string>
#include <vector>

#include "resources/directory.h"

int main(int argc, char **argv)
{
    std::string dir = argc > 1 ? argv[1] : "data";
    std::vector<unsigned char> archive(RES_ARCHIVE_SIZE), rows(RES_ROWS_SIZE);
    FILE *f = fopen((dir + "/res.dat").c_str(), "wb");
    fwrite(archive.data(), 1, archive.size(), f);
    fclose(f);
    f = fopen((dir + "/res_2.dat").c_str(), "wb");
    fwrite(rows.data(), 1, rows.size(), f);
    fclose(f);
    return 0;
}
