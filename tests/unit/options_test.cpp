// The command line: what each argument list gives, and which are refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/options.h"

namespace
{

struct Case {
    std::vector<const char *> args;
    ze_parse result;
    ze_screen screen;
    int scale;
    bool vsync;
    const char *data;
};

const Case CASES[] = {
    {{}, PARSE_RUN, SCREEN_FULL, 0, false, nullptr},
    {{"--fill"}, PARSE_RUN, SCREEN_FILL, 0, false, nullptr},
    {{"--fill", "--scale", "3"}, PARSE_RUN, SCREEN_FILL, 3, false, nullptr},
    {{"--window", "--scale=3", "--vsync"}, PARSE_RUN, SCREEN_WINDOW, 3, true, nullptr},
    {{"--window", "--window"}, PARSE_RUN, SCREEN_WINDOW, 0, false, nullptr},
    {{"--scale", "16", "--data", "some dir"}, PARSE_RUN, SCREEN_FULL, 16, false, "some dir"},
    {{"--data=d", "--fill"}, PARSE_RUN, SCREEN_FILL, 0, false, "d"},
    {{"--vsync", "--help", "--bogus"}, PARSE_HELP, SCREEN_FULL, 0, true, nullptr},
    {{"--version"}, PARSE_VERSION, SCREEN_FULL, 0, false, nullptr},
    {{"--fill", "--window"}, PARSE_BAD},
    {{"--scale", "0"}, PARSE_BAD},
    {{"--scale", "17"}, PARSE_BAD},
    {{"--scale", "-2"}, PARSE_BAD},
    {{"--scale", " 3"}, PARSE_BAD},
    {{"--scale", "3x"}, PARSE_BAD},
    {{"--scale", "99999999999999999999"}, PARSE_BAD},
    {{"--scale"}, PARSE_BAD},
    {{"--data"}, PARSE_BAD},
    {{"--data="}, PARSE_BAD},
    {{"--vsync=yes"}, PARSE_BAD},
    {{"--help=1"}, PARSE_BAD},
    {{"--data", ""}, PARSE_BAD},
    {{"--scale --data", "d"}, PARSE_BAD},
    {{"-x"}, PARSE_BAD},
    {{"picture.pcx"}, PARSE_BAD},
};

} // namespace

TEST(Options, EachArgumentListGivesItsChoicesOrIsRefused)
{
    for (const Case &c : CASES) {
        std::vector<char *> argv = {const_cast<char *>("tessera")};
        std::string line = "tessera";
        for (const char *a : c.args) {
            argv.push_back(const_cast<char *>(a));
            line += std::string(" ") + a;
        }
        ze_options o;
        std::string message;
        const ze_parse got =
            ZE_parse_options(static_cast<int>(argv.size()), argv.data(), &o, &message);
        ASSERT_EQ(got, c.result) << line;
        if (got == PARSE_BAD) {
            EXPECT_FALSE(message.empty()) << line;
            EXPECT_EQ(message.find('\n'), std::string::npos) << line;
            continue;
        }
        EXPECT_EQ(o.screen, c.screen) << line;
        EXPECT_EQ(o.scale, c.scale) << line;
        EXPECT_EQ(o.vsync, c.vsync) << line;
        EXPECT_STREQ(o.data, c.data) << line;
    }
}
