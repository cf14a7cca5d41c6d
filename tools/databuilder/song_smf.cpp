// Standard MIDI File writer for the song.
#include "song_smf.h"

#include <algorithm>

#include "db.h"

enum { RANK_META, RANK_NOTE_OFF, RANK_SETUP, RANK_NOTE_ON };

[[noreturn]] static void fail(const char *what, int32_t tick)
{
    DB_fail("song: %s at tick %ld", what, static_cast<long>(tick));
}

static unsigned char data_byte(int value, int32_t tick)
{
    if (value < 0 || value > 127) {
        fail("MIDI data byte out of range", tick);
    }
    return static_cast<unsigned char>(value);
}

static unsigned char status_byte(int kind, int channel, int32_t tick)
{
    if (channel < 0 || channel > 15) {
        fail("MIDI channel out of range", tick);
    }
    return static_cast<unsigned char>(kind | channel);
}

static void put_varlen(std::vector<unsigned char> &out, uint32_t value)
{
    unsigned char groups[5];
    int n = 0;
    do {
        groups[n++] = value & 0x7f;
        value >>= 7;
    } while (value != 0);
    while (n > 1) {
        out.push_back(groups[--n] | 0x80);
    }
    out.push_back(groups[0]);
}

static void put_be(std::vector<unsigned char> &out, uint32_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

static void add(smf_track &track, int32_t tick, int rank, std::vector<unsigned char> bytes)
{
    if (tick < 0) {
        fail("event before the start", tick);
    }
    track.events.push_back({tick, rank, std::move(bytes)});
}

void DB_smf_note(smf_track &track, int channel, int32_t tick, int32_t length, int key, int velocity)
{
    if (length <= 0 || velocity < 1) {
        fail("empty or silent note", tick);
    }
    unsigned char on = status_byte(0x90, channel, tick);
    add(track, tick, RANK_NOTE_ON, {on, data_byte(key, tick), data_byte(velocity, tick)});
    add(track, tick + length, RANK_NOTE_OFF, {on, data_byte(key, tick), 0});
}

void DB_smf_control(smf_track &track, int channel, int32_t tick, int control, int value)
{
    add(track, tick, RANK_SETUP,
        {status_byte(0xb0, channel, tick), data_byte(control, tick), data_byte(value, tick)});
}

void DB_smf_program(smf_track &track, int channel, int32_t tick, int program)
{
    add(track, tick, RANK_SETUP, {status_byte(0xc0, channel, tick), data_byte(program, tick)});
}

void DB_smf_meta(smf_track &track, int32_t tick, int type, const std::string &data)
{
    std::vector<unsigned char> bytes = {0xff, data_byte(type, tick)};
    put_varlen(bytes, static_cast<uint32_t>(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    add(track, tick, RANK_META, std::move(bytes));
}

void DB_smf_tempo(smf_track &track, int32_t tick, uint32_t usec_per_quarter)
{
    std::string data;
    for (int shift = 16; shift >= 0; shift -= 8) {
        data.push_back(static_cast<char>((usec_per_quarter >> shift) & 0xff));
    }
    DB_smf_meta(track, tick, 0x51, data);
}

size_t DB_smf_meta_size(size_t length)
{
    std::vector<unsigned char> len;
    put_varlen(len, static_cast<uint32_t>(length));
    return 1 + 2 + len.size() + length; // delta 0, FF, type, length, data
}

std::vector<unsigned char> DB_smf_encode_track(const smf_track &track, int32_t end_tick)
{
    std::vector<smf_event> events = track.events;
    std::stable_sort(events.begin(), events.end(), [](const smf_event &a, const smf_event &b) {
        return a.tick != b.tick ? a.tick < b.tick : a.rank < b.rank;
    });

    std::vector<unsigned char> body;
    bool sounding[16][128] = {};
    int32_t at = 0;
    int running = 0; // 0: no running status in effect
    for (const smf_event &e : events) {
        if (e.tick > end_tick) {
            fail("event after the end of the song", e.tick);
        }
        put_varlen(body, static_cast<uint32_t>(e.tick - at));
        at = e.tick;
        unsigned char status = e.bytes[0];
        if (status == 0xff) {
            // Meta events cancel running status.
            body.insert(body.end(), e.bytes.begin(), e.bytes.end());
            running = 0;
            continue;
        }
        if ((status & 0xf0) == 0x90) {
            bool &on = sounding[status & 0x0f][e.bytes[1]];
            bool strike = e.bytes[2] != 0;
            if (strike == on) {
                // A second strike would cut the first short on some players,
                // and a stray release would silence a later note.
                fail(strike ? "note struck while it sounds" : "note released twice", e.tick);
            }
            on = strike;
        }
        if (status != running) {
            body.push_back(status);
            running = status;
        }
        body.insert(body.end(), e.bytes.begin() + 1, e.bytes.end());
    }
    put_varlen(body, static_cast<uint32_t>(end_tick - at));
    body.insert(body.end(), {0xff, 0x2f, 0x00});

    std::vector<unsigned char> chunk = {'M', 'T', 'r', 'k'};
    put_be(chunk, static_cast<uint32_t>(body.size()), 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

std::vector<unsigned char> DB_smf_file(const std::vector<std::vector<unsigned char>> &chunks,
                                       int ticks_per_quarter)
{
    std::vector<unsigned char> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    put_be(file, static_cast<uint32_t>(chunks.size()), 2);
    put_be(file, static_cast<uint32_t>(ticks_per_quarter), 2);
    for (const std::vector<unsigned char> &chunk : chunks) {
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}
