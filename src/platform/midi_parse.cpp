// The MIDI byte-stream parser: status bytes, running status, data bytes.
#include "platform/midi_parse.h"

static const int STATUS_BIT = 0x80;
static const int SYSEX_START = 0xF0;
static const int SYSEX_END = 0xF7;
static const int FIRST_REAL_TIME = 0xF8;
static const int FIRST_SYSTEM = 0xF0;

// How many data bytes follow a status byte.
static int data_length(int status)
{
    switch (status & 0xF0) {
    case 0xC0: // program change
    case 0xD0: // channel pressure
        return 1;
    case 0xF0:
        break;
    default:
        return 2;
    }
    switch (status) {
    case 0xF1: // time code quarter frame
    case 0xF3: // song select
        return 1;
    case 0xF2: // song position
        return 2;
    default:
        return 0;
    }
}

// Builds the event of a finished channel message.
static midi_event make_event(int status, const uint8_t *data)
{
    midi_event event;
    event.type = static_cast<midi_event_type>((status - MIDI_FIRST_STATUS) >> 4);
    event.channel = status & 0x0F;
    event.data1 = data[0];
    event.data2 = data_length(status) == 2 ? data[1] : 0;
    if (event.type == MIDI_NOTE_ON && event.data2 == 0) {
        // A note-on with velocity 0 is the usual way to end a note.
        event.type = MIDI_NOTE_OFF;
    } else if (event.type == MIDI_PITCH_BEND) {
        event.data1 = data[0] | (data[1] << 7);
        event.data2 = 0;
    }
    return event;
}

void ZE_midi_parser_reset(midi_parser *parser)
{
    parser->status = 0;
    parser->data[0] = 0;
    parser->data[1] = 0;
    parser->count = 0;
    parser->in_sysex = false;
}

bool ZE_midi_parse_byte(midi_parser *parser, int byte, midi_event *event)
{
    if (byte < 0 || byte > 0xFF) {
        return false;
    }
    // Clock, start, stop and the like are single bytes that may come between
    // the data bytes of another message without disturbing it.
    if (byte >= FIRST_REAL_TIME) {
        return false;
    }
    if (byte & STATUS_BIT) {
        parser->count = 0;
        parser->in_sysex = byte == SYSEX_START;
        // System messages cancel the running status; a system common
        // message keeps its status only while its own data bytes arrive.
        if (byte == SYSEX_START || byte == SYSEX_END ||
            (byte >= FIRST_SYSTEM && data_length(byte) == 0)) {
            parser->status = 0;
        } else {
            parser->status = static_cast<uint8_t>(byte);
        }
        return false;
    }
    if (parser->in_sysex || parser->status == 0) {
        return false;
    }
    parser->data[parser->count++] = static_cast<uint8_t>(byte);
    if (parser->count < data_length(parser->status)) {
        return false;
    }
    parser->count = 0;
    if (parser->status >= FIRST_SYSTEM) {
        parser->status = 0;
        return false;
    }
    *event = make_event(parser->status, parser->data);
    return true;
}
