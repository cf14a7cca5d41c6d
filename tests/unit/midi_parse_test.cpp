#include <gtest/gtest.h>
#include <string>

#include "platform/midi_parse.h"

// Feeds a whole stream and lists the messages it yields, one word each:
// type letter, channel, data1, data2.
static std::string parse(std::initializer_list<int> bytes)
{
    midi_parser parser;
    ZE_midi_parser_reset(&parser);
    std::string out;
    for (int b : bytes) {
        midi_event e;
        if (ZE_midi_parse_byte(&parser, b, &e)) {
            out += std::string(out.empty() ? "" : " ") + "FNKCPDB"[e.type] +
                   std::to_string(e.channel) + ":" + std::to_string(e.data1) + "/" +
                   std::to_string(e.data2);
        }
    }
    return out;
}

// Running status carries over messages of one and two data bytes; a
// note-on of velocity 0 ends the note; pitch bend puts its low seven bits
// first.
TEST(MidiParser, ChannelMessages)
{
    EXPECT_EQ(parse({0x93, 60, 100, 64, 90, 60, 0, 0x83, 64, 10, 67, 0}),
              "N3:60/100 N3:64/90 F3:60/0 F3:64/10 F3:67/0");
    EXPECT_EQ(parse({0xC9, 5, 7, 0xD2, 40, 41, 0xA1, 60, 33, 0xB0, 7, 127, 10, 64}),
              "P9:5/0 P9:7/0 D2:40/0 D2:41/0 K1:60/33 C0:7/127 C0:10/64");
    EXPECT_EQ(parse({0xEF, 0x00, 0x40, 0x7F, 0x7F, 0x00, 0x00, 0x01, 0x02}),
              "B15:8192/0 B15:16383/0 B15:0/0 B15:257/0");
}

// Real-time bytes may fall anywhere without breaking the message in
// progress. System exclusive and system common messages are skipped with
// their data and end the running status; a status byte cuts a message
// short; data without a status, and values that are not bytes, are dropped.
TEST(MidiParser, SystemAndStrayBytes)
{
    EXPECT_EQ(parse({0x90, 0xF8, 60, 0xFE, 100, 0xFA, 62, 0xFF, 0xFC, 80}), "N0:60/100 N0:62/80");
    EXPECT_EQ(parse({0x90, 60,   100,  0xF0, 0x7E, 0xF8, 0x09, 0xF7, 61,   101, 0x91,
                     62,   0xF0, 0x43, 0x92, 63,   64,   0xF0, 0x41, 0x80, 64,  0}),
              "N0:60/100 N2:63/64 F0:64/0");
    EXPECT_EQ(
        parse({60, 100, 0x90, 60, 0xF2, 0x10, 0x20, 61, 0xF3, 5, 0xF6, 70, 0x95, 70, -1, 256, 50}),
        "N5:70/50");
}
