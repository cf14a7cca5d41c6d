// The data builder itself: the same bytes on every run, a test variant that
// differs yet conforms, and loud failures on bad arguments.
#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "data_checks.h"
#include "driver/run.h"
#include "intro/tulor.h"
#include "support.h"

void DT_check_intro(void);

// Runs the builder with `args`; returns its exit status and keeps its output.
static int run_builder(const std::string &args, std::string *output = nullptr)
{
    std::string cmd = std::string(TESSERA_BUILD_DIR) + "/databuilder " + args + " 2>&1";
    FILE *p = popen(cmd.c_str(), "r");
    if (p == nullptr) {
        return -1;
    }
    std::string out;
    char buf[256];
    while (fgets(buf, sizeof buf, p) != nullptr) {
        out += buf;
    }
    int status = pclose(p);
    if (output != nullptr) {
        *output = out;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DataBuilder, EveryRunWritesTheSameBytes)
{
    std::string dir = TT_enter_workdir(false);
    ASSERT_EQ(run_builder("--contact-sheet '' " + dir), 0);
    // The build's data files came from an earlier run of the same builder.
    EXPECT_TRUE(TT_read_file("res.dat") ==
                TT_read_file(std::string(TESSERA_DATA_DIR) + "/res.dat"));
    EXPECT_TRUE(TT_read_file("res_2.dat") ==
                TT_read_file(std::string(TESSERA_DATA_DIR) + "/res_2.dat"));
}

TEST(DataBuilder, TheTestVariantDiffersYetConforms)
{
    std::string dir = TT_enter_workdir(false);
    ASSERT_EQ(run_builder("--variant 1 --contact-sheet '' " + dir), 0);
    const std::string archive = TT_read_file("res.dat");
    const std::string release = TT_read_file(std::string(TESSERA_DATA_DIR) + "/res.dat");
    ASSERT_EQ(archive.size(), static_cast<size_t>(RES_ARCHIVE_SIZE));
    EXPECT_EQ(TT_read_file("res_2.dat").size(), static_cast<size_t>(RES_ROWS_SIZE));
    const res_member members[] = {RES_SCROLL_SHEET, RES_LOGO_SHEET, RES_INTRO_SOURCE,
                                  RES_INTRO_PATTERN};
    for (const res_member &m : members) {
        EXPECT_NE(archive.substr(m.offset, m.length), release.substr(m.offset, m.length))
            << "member at " << m.offset;
    }
    for (int i = 0; i < RES_PICTURES; i++) {
        const res_member &m = RES_PICTURE[i];
        EXPECT_NE(archive.substr(m.offset, m.length), release.substr(m.offset, m.length))
            << "picture " << i;
    }

    ZE_prepare_run(1, ZE_load_resources);
    DT_check_loaded_set();
    TU_read_source_graphic("tulor.pcx");
    DT_check_intro();
}

TEST(DataBuilder, BadArgumentsAndUnwritablePlacesFailLoudly)
{
    TT_enter_workdir(false);
    std::string out;
    EXPECT_NE(run_builder("", &out), 0);
    EXPECT_NE(out.find("usage"), std::string::npos);
    EXPECT_NE(run_builder("--variant 2 .", &out), 0);
    EXPECT_NE(run_builder("--variant", &out), 0);
    EXPECT_NE(run_builder("--contact-sheet '' /nonexistent/place", &out), 0);
    EXPECT_NE(out.find("/nonexistent/place/res.dat"), std::string::npos) << out;
}
