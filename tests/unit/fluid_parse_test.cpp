#include <gtest/gtest.h>
#include <vector>

#include "driver/fluid_parse.h"

// Feeds a whole stream and collects the messages it yields.
static std::vector<midi_event> parse(std::initializer_list<int> bytes)
{
    midi_parser parser;
    ZE_midi_parser_reset(&parser);
    std::vector<midi_event> events;
    for (int b : bytes) {
        midi_event e;
        if (ZE_midi_parse_byte(&parser, b, &e)) {
            events.push_back(e);
        }
    }
    return events;
}

static void expect_event(const midi_event &e, midi_event_type type, int channel, int data1,
                         int data2)
{
    EXPECT_EQ(e.type, type);
    EXPECT_EQ(e.channel, channel);
    EXPECT_EQ(e.data1, data1);
    EXPECT_EQ(e.data2, data2);
}

// One status byte serves the messages that follow it until another status
// byte comes, and a note-on of velocity 0 ends the note.
TEST(MidiParser, RunningStatusAndZeroVelocity)
{
    auto events = parse({0x93, 60, 100, 64, 90, 60, 0, 0x83, 64, 10, 67, 0});
    ASSERT_EQ(events.size(), 5u);
    expect_event(events[0], MIDI_NOTE_ON, 3, 60, 100);
    expect_event(events[1], MIDI_NOTE_ON, 3, 64, 90);
    expect_event(events[2], MIDI_NOTE_OFF, 3, 60, 0);
    expect_event(events[3], MIDI_NOTE_OFF, 3, 64, 10);
    expect_event(events[4], MIDI_NOTE_OFF, 3, 67, 0);
}

// Program change and channel pressure carry one data byte, so running
// status repeats them byte by byte; the others carry two.
TEST(MidiParser, MessageLengths)
{
    auto events = parse({0xC9, 5, 7, 0xD2, 40, 0xA1, 60, 33, 0xB0, 7, 127, 10, 64});
    ASSERT_EQ(events.size(), 6u);
    expect_event(events[0], MIDI_PROGRAM, 9, 5, 0);
    expect_event(events[1], MIDI_PROGRAM, 9, 7, 0);
    expect_event(events[2], MIDI_CHANNEL_PRESSURE, 2, 40, 0);
    expect_event(events[3], MIDI_KEY_PRESSURE, 1, 60, 33);
    expect_event(events[4], MIDI_CONTROL, 0, 7, 127);
    expect_event(events[5], MIDI_CONTROL, 0, 10, 64);
}

// Pitch bend: low seven bits first, then the high seven.
TEST(MidiParser, PitchBendIsFourteenBits)
{
    auto events = parse({0xEF, 0x00, 0x40, 0x7F, 0x7F, 0x00, 0x00, 0x01, 0x02});
    ASSERT_EQ(events.size(), 4u);
    expect_event(events[0], MIDI_PITCH_BEND, 15, 8192, 0);
    expect_event(events[1], MIDI_PITCH_BEND, 15, 16383, 0);
    expect_event(events[2], MIDI_PITCH_BEND, 15, 0, 0);
    expect_event(events[3], MIDI_PITCH_BEND, 15, 0x101, 0);
}

// Clock and other real-time bytes may fall between the bytes of a message,
// even during a system exclusive message, without breaking it.
TEST(MidiParser, RealTimeBytesBetweenDataBytes)
{
    auto events = parse({0x90, 0xF8, 60, 0xFE, 100, 0xFA, 62, 0xFF, 0xFC, 80});
    ASSERT_EQ(events.size(), 2u);
    expect_event(events[0], MIDI_NOTE_ON, 0, 60, 100);
    expect_event(events[1], MIDI_NOTE_ON, 0, 62, 80);

    events = parse({0xB4, 0xF8, 91, 0xF8, 40, 0xF8});
    ASSERT_EQ(events.size(), 1u);
    expect_event(events[0], MIDI_CONTROL, 4, 91, 40);
}

// The bytes of a system exclusive message are never read as notes; it ends
// the running status, and the next status byte is obeyed again, also when
// it cuts a message short.
TEST(MidiParser, SystemExclusiveIsSkipped)
{
    auto events = parse({0x90, 60,   100,  0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 61,   101, 0x91,
                         62,   0xF0, 0x43, 0x10, 0x92, 63,   64,   0xF0, 0x41, 0x80, 64,  0});
    ASSERT_EQ(events.size(), 3u);
    expect_event(events[0], MIDI_NOTE_ON, 0, 60, 100);
    expect_event(events[1], MIDI_NOTE_ON, 2, 63, 64);
    expect_event(events[2], MIDI_NOTE_OFF, 0, 64, 0);
}

// System common messages are skipped with their data bytes and end the
// running status; data without any status is dropped, and so is anything
// that is not a byte at all.
TEST(MidiParser, StrayAndSystemCommonBytesAreDropped)
{
    auto events = parse(
        {60, 100, 0x90, 60, 0xF2, 0x10, 0x20, 61, 0xF3, 5, 0xF6, 70, 0x95, 70, -1, 256, 0x1FF, 50});
    ASSERT_EQ(events.size(), 1u);
    expect_event(events[0], MIDI_NOTE_ON, 5, 70, 50);
}

// After a reset, a message cut short does not complete with later bytes.
TEST(MidiParser, ResetForgetsMessageInProgress)
{
    midi_parser parser;
    ZE_midi_parser_reset(&parser);
    midi_event e;
    EXPECT_FALSE(ZE_midi_parse_byte(&parser, 0x90, &e));
    EXPECT_FALSE(ZE_midi_parse_byte(&parser, 60, &e));
    ZE_midi_parser_reset(&parser);
    EXPECT_FALSE(ZE_midi_parse_byte(&parser, 100, &e));
    EXPECT_FALSE(ZE_midi_parse_byte(&parser, 100, &e));
}
