// Writing Standard MIDI Files: tracks are collected as timed events and
// encoded with running status, each ending on a given tick.
#ifndef TESSERA_DB_SONG_SMF_H
#define TESSERA_DB_SONG_SMF_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One event of a track. Events on the same tick go out in rank order
// (meta, note-off, controller and program, note-on), then in the order added.
struct smf_event {
    int32_t tick;
    int rank;
    std::vector<unsigned char> bytes; // status byte and data, or FF type len data
};

struct smf_track {
    std::vector<smf_event> events;
};

// A note of `length` ticks; its note-off is a note-on with velocity 0.
void DB_smf_note(smf_track &track, int channel, int32_t tick, int32_t length, int key,
                 int velocity);

void DB_smf_control(smf_track &track, int channel, int32_t tick, int control, int value);
void DB_smf_program(smf_track &track, int channel, int32_t tick, int program);

// A meta event of `type` carrying `data`.
void DB_smf_meta(smf_track &track, int32_t tick, int type, const std::string &data);

// The tempo meta event, in microseconds per quarter note.
void DB_smf_tempo(smf_track &track, int32_t tick, uint32_t usec_per_quarter);

// The bytes a meta event of `length` data bytes takes on tick 0 of a track
// whose previous event is also on tick 0.
size_t DB_smf_meta_size(size_t length);

// The whole MTrk chunk, its end-of-track event on `end_tick`. Aborts with a
// message if an event lies beyond the end or a note is struck again on its
// channel while it still sounds.
std::vector<unsigned char> DB_smf_encode_track(const smf_track &track, int32_t end_tick);

// A format 1 file of the given MTrk chunks.
std::vector<unsigned char> DB_smf_file(const std::vector<std::vector<unsigned char>> &chunks,
                                       int ticks_per_quarter);

#endif
