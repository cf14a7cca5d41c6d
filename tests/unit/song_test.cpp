// The song in the archive: a MIDI file Allegro loads and can repeat without
// a gap or a hanging note. The file is read here with a parser of its own,
// independent of the builder that wrote it.
#include <gtest/gtest.h>

#include <algorithm>
#include <allegro.h>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resources/directory.h"
#include "support.h"

namespace
{

struct midi_event {
    int32_t tick;
    int status;            // 0x80..0xef, or 0xff for meta, 0xf0/0xf7 for sysex
    int meta;              // meta type, or -1
    std::vector<int> data; // data bytes of a channel message, or the meta/sysex payload
};

struct midi_track {
    std::vector<midi_event> events;
    int32_t end_tick = -1;  // tick of the end-of-track event
    bool ends_last = false; // nothing follows the end-of-track event
};

struct midi_file {
    int format = -1;
    int division = 0;
    std::vector<midi_track> tracks;
    size_t parsed = 0; // bytes the chunks account for
};

// A cursor over bytes [at, end); reading past the end sets `failed`.
struct reader {
    const std::string &b;
    size_t at, end;
    bool failed;
};

int next_byte(reader &r)
{
    if (r.at >= r.end) {
        r.failed = true;
        return 0;
    }
    return static_cast<unsigned char>(r.b[r.at++]);
}

uint32_t big_endian(reader &r, int n)
{
    uint32_t v = 0;
    while (n-- > 0) {
        v = (v << 8) | next_byte(r);
    }
    return v;
}

uint32_t varlen(reader &r)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; i++) {
        int c = next_byte(r);
        v = (v << 7) | (c & 0x7f);
        if (!(c & 0x80)) {
            return v;
        }
    }
    r.failed = true; // longer than four bytes
    return v;
}

// Parses a Standard MIDI File; the message says what is wrong, if anything.
std::string parse(const std::string &bytes, midi_file &out)
{
    reader head{bytes, 0, bytes.size(), false};
    if (bytes.compare(0, 4, "MThd") != 0) {
        return "no MThd";
    }
    big_endian(head, 4);
    if (big_endian(head, 4) != 6) {
        return "header length is not 6";
    }
    out.format = static_cast<int>(big_endian(head, 2));
    int tracks = static_cast<int>(big_endian(head, 2));
    out.division = static_cast<int>(big_endian(head, 2));
    size_t at = head.at;
    for (int t = 0; t < tracks; t++) {
        if (bytes.size() < at + 8 || bytes.compare(at, 4, "MTrk") != 0) {
            return "track " + std::to_string(t) + " has no MTrk chunk";
        }
        reader len{bytes, at + 4, at + 8, false};
        size_t body = big_endian(len, 4);
        if (bytes.size() < at + 8 + body) {
            return "track " + std::to_string(t) + " runs past the end of the file";
        }
        reader r{bytes, at + 8, at + 8 + body, false};
        midi_track track;
        int32_t tick = 0;
        int running = 0;
        while (r.at < r.end && track.end_tick < 0) {
            tick += static_cast<int32_t>(varlen(r));
            midi_event e{tick, 0, -1, {}};
            int first = next_byte(r);
            if (first == 0xff || first == 0xf0 || first == 0xf7) {
                // Meta events and sysex carry a counted payload and cancel running status.
                e.status = first;
                e.meta = first == 0xff ? next_byte(r) : -1;
                uint32_t n = varlen(r);
                for (uint32_t i = 0; i < n && !r.failed; i++) {
                    e.data.push_back(next_byte(r));
                }
                running = 0;
                if (e.meta == 0x2f) {
                    track.end_tick = tick;
                }
            } else {
                if (first & 0x80) {
                    running = first;
                    e.data.push_back(next_byte(r));
                } else if (running != 0) {
                    e.data.push_back(first);
                } else {
                    return "data byte without running status in track " + std::to_string(t);
                }
                e.status = running;
                int kind = running >> 4;
                if (kind != 0xc && kind != 0xd) {
                    e.data.push_back(next_byte(r));
                }
                for (int d : e.data) {
                    if (d > 127) {
                        return "status byte where data belongs in track " + std::to_string(t);
                    }
                }
            }
            track.events.push_back(e);
        }
        if (r.failed) {
            return "track " + std::to_string(t) + " is cut short";
        }
        track.ends_last = r.at == r.end;
        out.tracks.push_back(track);
        at += 8 + body;
    }
    out.parsed = at;
    return "";
}

std::string song_bytes()
{
    std::string archive = TT_read_file(std::string(TESSERA_DATA_DIR) + "/" + RES_ARCHIVE_NAME);
    if (archive.size() < static_cast<size_t>(RES_SONG.offset + RES_SONG.length)) {
        return "";
    }
    return archive.substr(RES_SONG.offset, RES_SONG.length);
}

// The song from the archive, parsed once for all the tests.
const midi_file &song()
{
    static midi_file file;
    static bool done = false;
    if (!done) {
        done = true;
        std::string error = parse(song_bytes(), file);
        EXPECT_EQ(error, "");
    }
    return file;
}

bool is_note_on(const midi_event &e)
{
    return (e.status >> 4) == 0x9 && e.data[1] > 0;
}

bool is_note_off(const midi_event &e)
{
    return (e.status >> 4) == 0x8 || ((e.status >> 4) == 0x9 && e.data[1] == 0);
}

// Seconds from the start to `tick`, through the tempo map (120 bpm until
// the first tempo event).
double seconds_at(const midi_file &f, int32_t tick)
{
    std::map<int32_t, uint32_t> tempo;
    for (const midi_track &t : f.tracks) {
        for (const midi_event &e : t.events) {
            if (e.meta == 0x51 && e.data.size() == 3) {
                tempo[e.tick] = (e.data[0] << 16) | (e.data[1] << 8) | e.data[2];
            }
        }
    }
    double seconds = 0;
    int32_t at = 0;
    uint32_t usec = 500000;
    for (const auto &change : tempo) {
        if (change.first >= tick) {
            break;
        }
        seconds += (change.first - at) * (usec / 1e6) / f.division;
        at = change.first;
        usec = change.second;
    }
    return seconds + (tick - at) * (usec / 1e6) / f.division;
}

} // namespace

// The member is a whole MIDI file that fills its place exactly, and the
// library's loader takes it from the temporary file as the demo does.
TEST(Song, FillsItsPlaceAndLoads)
{
    std::string bytes = song_bytes();
    ASSERT_EQ(bytes.size(), static_cast<size_t>(RES_SONG.length));
    const midi_file &f = song();
    EXPECT_EQ(f.parsed, bytes.size()) << "bytes after the last track";
    EXPECT_TRUE(f.format == 0 || f.format == 1);
    ASSERT_GE(f.tracks.size(), 1u);
    EXPECT_LE(f.tracks.size(), static_cast<size_t>(MIDI_TRACKS));
    EXPECT_GT(f.division, 0) << "ticks per quarter note, not SMPTE time";

    TT_enter_workdir(false);
    TT_write_file(RES_TEMP_NAME, bytes);
    MIDI *midi = load_midi(RES_TEMP_NAME);
    ASSERT_NE(midi, nullptr);
    EXPECT_EQ(midi->divisions, f.division);
    size_t loaded = 0;
    for (int t = 0; t < MIDI_TRACKS; t++) {
        if (midi->track[t].data != nullptr) {
            loaded++;
        }
    }
    EXPECT_EQ(loaded, f.tracks.size());
    destroy_midi(midi);
}

// The player starts again as soon as every track has ended: so all end on
// one tick, at a bar line, and none has bytes after its end.
TEST(Song, EveryTrackEndsTogetherOnABarLine)
{
    const midi_file &f = song();
    ASSERT_FALSE(f.tracks.empty());
    int32_t end = f.tracks[0].end_tick;
    for (size_t t = 0; t < f.tracks.size(); t++) {
        EXPECT_GE(f.tracks[t].end_tick, 0) << "track " << t << " has no end";
        EXPECT_EQ(f.tracks[t].end_tick, end) << "track " << t;
        EXPECT_TRUE(f.tracks[t].ends_last) << "track " << t << " goes on after its end";
    }
    const int32_t bar = 4 * f.division;
    EXPECT_GT(end, 0);
    EXPECT_EQ(end % bar, 0) << "the repeat would not come on the beat";
    EXPECT_GE(seconds_at(f, end), 90.0);
}

// Every note is released before the repeat (which silences the rest), and
// no note is struck again on its channel while it still sounds, which some
// players answer by cutting it off.
TEST(Song, NotesArePairedAndReleasedBeforeTheEnd)
{
    const midi_file &f = song();
    // All tracks' notes in playing order: by tick, then track by track.
    std::vector<std::pair<int32_t, const midi_event *>> order;
    for (const midi_track &t : f.tracks) {
        for (const midi_event &e : t.events) {
            if (is_note_on(e) || is_note_off(e)) {
                order.push_back({e.tick, &e});
            }
        }
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    std::set<int> sounding; // channel * 128 + key
    int notes = 0;
    for (const auto &item : order) {
        const midi_event &e = *item.second;
        int id = (e.status & 0x0f) * 128 + e.data[0];
        if (is_note_on(e)) {
            EXPECT_EQ(sounding.count(id), 0u) << "key " << e.data[0] << " struck again at "
                                              << e.tick << " on channel " << id / 128 + 1;
            sounding.insert(id);
            notes++;
        } else {
            EXPECT_EQ(sounding.erase(id), 1u)
                << "key " << e.data[0] << " released at " << e.tick << " on channel "
                << id / 128 + 1 << " while not sounding";
        }
    }
    EXPECT_TRUE(sounding.empty()) << sounding.size() << " notes still sound at the end";
    EXPECT_GT(notes, 1000);
}

// Drums on channel 10, a band of General MIDI instruments, and the sound
// set up on tick 0 so every repeat starts alike. The music runs from the
// first tick to the last beat, so the repeat leaves no silent gap.
TEST(Song, ArrangementAndSetUpRepeatAlike)
{
    const midi_file &f = song();
    ASSERT_FALSE(f.tracks.empty());
    const int32_t end = f.tracks[0].end_tick;
    std::set<int> programs, playing, programmed;
    bool drums = false, tempo_at_start = false, starts = false, runs_to_end = false;
    for (const midi_track &t : f.tracks) {
        for (const midi_event &e : t.events) {
            int kind = e.status >> 4, channel = e.status & 0x0f;
            if (kind == 0xc) {
                EXPECT_EQ(e.tick, 0) << "program change after the start";
                programs.insert(e.data[0]);
                programmed.insert(channel);
            }
            if (kind == 0xb && (e.data[0] == 7 || e.data[0] == 10)) {
                EXPECT_EQ(e.tick, 0) << "volume or pan set after the start";
            }
            if (e.meta == 0x51) {
                // One tempo from the start keeps every track's clock in step.
                EXPECT_EQ(e.tick, 0) << "tempo change after the start";
                tempo_at_start = true;
            }
            if (is_note_on(e)) {
                playing.insert(channel);
                drums = drums || channel == 9;
                starts = starts || e.tick == 0;
                runs_to_end = runs_to_end || e.tick >= end - f.division;
            }
        }
    }
    EXPECT_TRUE(drums) << "no drums on channel 10";
    EXPECT_GE(programs.size(), 4u);
    for (int channel : playing) {
        if (channel != 9) {
            EXPECT_EQ(programmed.count(channel), 1u)
                << "channel " << channel + 1 << " plays without its instrument";
        }
    }
    EXPECT_TRUE(tempo_at_start);
    EXPECT_TRUE(starts) << "silence at the start of each repeat";
    EXPECT_TRUE(runs_to_end) << "silence before the repeat";
}
