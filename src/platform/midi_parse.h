// Turns the raw MIDI byte stream that Allegro's player sends a driver into
// whole channel messages, one byte at a time. Pure code: no synthesizer, no
// library calls, so every rule of the stream can be checked on its own.
#ifndef TESSERA_MIDI_PARSE_H
#define TESSERA_MIDI_PARSE_H

#include <cstdint>

// The channel messages, in the order of their status bytes: a message of
// type t has the status MIDI_FIRST_STATUS + 16 * t + its channel.
enum midi_event_type {
    MIDI_NOTE_OFF,
    MIDI_NOTE_ON,
    MIDI_KEY_PRESSURE,
    MIDI_CONTROL,
    MIDI_PROGRAM,
    MIDI_CHANNEL_PRESSURE,
    MIDI_PITCH_BEND,
};
const int MIDI_FIRST_STATUS = 0x80;

// One complete channel message. `data1` is the key, controller, program or
// pressure; `data2` the velocity, value or key pressure; for a pitch bend
// `data1` holds the 14-bit value (8192 is the centre) and `data2` is 0.
struct midi_event {
    midi_event_type type;
    int channel;
    int data1;
    int data2;
};

// The parser's memory between bytes: the running status, the data bytes
// gathered so far, and whether a system exclusive message is being skipped.
struct midi_parser {
    uint8_t status;  // 0x80..0xEF, a system common status 0xF1..0xF6, or 0
    uint8_t data[2]; // data bytes of the message in progress
    int count;       // how many of them have arrived
    bool in_sysex;
};

// Forgets any message in progress and the running status.
void ZE_midi_parser_reset(midi_parser *parser);

// Feeds one byte (0..255; anything else is ignored). Returns true and fills
// `event` when the byte completes a channel message. Real-time bytes may
// arrive anywhere and leave the message in progress intact; system
// exclusive and system common messages are skipped.
bool ZE_midi_parse_byte(midi_parser *parser, int byte, midi_event *event);

#endif
