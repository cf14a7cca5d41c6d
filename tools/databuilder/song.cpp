// The demo's song: 64 bars in A minor at 125 beats a minute, about two
// minutes before it repeats. Intro (8 bars), theme (16), variation (16),
// break (8) and a fuller reprise of the theme (16). A conductor track holds
// the tempo and the credits; eight more carry the lead, its echo, an
// arpeggio, bass, pad, strings, a bell synth and the drums.
//
// The player restarts the song the moment every track has ended, so every
// track ends on the last tick of bar 64, every note is released by then, and
// each repeat begins from the same set-up events on tick 0. The reprise ends
// on E major, which the intro's A minor resolves.
#include "song.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "db.h"
#include "resources/directory.h"
#include "song_smf.h"

constexpr int TICKS_PER_QUARTER = 96;
constexpr int STEP = TICKS_PER_QUARTER / 4; // a sixteenth note
constexpr int BAR = 16 * STEP;
constexpr int BARS = 64;
constexpr int32_t SONG_END = BARS * BAR;
constexpr uint32_t USEC_PER_QUARTER = 480000; // 125 beats a minute

enum { CH_LEAD, CH_ARP, CH_BASS, CH_PAD, CH_STRINGS, CH_BELL, CH_ECHO, CH_DRUMS = 9 };

// General MIDI drum keys.
enum {
    DR_KICK = 36,
    DR_SNARE = 38,
    DR_CLAP = 39,
    DR_TOM_FLOOR = 41,
    DR_HAT = 42,
    DR_TOM_LOW = 45,
    DR_OPEN_HAT = 46,
    DR_TOM_MID = 47,
    DR_CRASH = 49,
    DR_TOM_HIGH = 50,
    DR_TAMBOURINE = 54,
};

enum section { INTRO, THEME, VARIATION, BREAK, REPRISE };

struct chord {
    const char *name;
    int bass;       // root for the bass, octaves 1 and 2
    int voicing[3]; // close voicing around middle C, led smoothly chord to chord
};

static const chord CHORDS[] = {
    {"Am", 33, {57, 60, 64}}, {"F", 29, {57, 60, 65}}, {"C", 36, {55, 60, 64}},
    {"G", 31, {55, 59, 62}},  {"E", 28, {56, 59, 64}}, {"Em", 28, {55, 59, 64}},
    {"Dm", 38, {57, 62, 65}},
};

struct section_plan {
    section kind;
    const char *chords; // one chord a bar
};

static const section_plan PLAN[] = {
    {INTRO, "Am F C G Am F C G"},
    {THEME, "Am F C G Am F G E Am F C G Am F G E"},
    {VARIATION, "F G Em Am Dm G C E F G Em Am Dm G C E"},
    {BREAK, "F G Am Am F G E E"},
    {REPRISE, "Am F C G Am F G E Am F C G Am F G E"},
};

// Melodies, a bar per string: a note name with octave (C4 is middle C) or
// r for a rest, then its length in sixteenths.
static const char *const THEME_LINE[8] = {
    "E5.3 A5.3 C6.2 B5.3 A5.3 G5.2", "A5.6 C6.2 A5.4 F5.4",
    "G5.3 C6.3 E6.2 D6.3 C6.3 B5.2", "D6.6 B5.2 G5.8",
    "E5.3 A5.3 C6.2 B5.3 A5.3 C6.2", "D6.3 C6.3 A5.2 F5.4 A5.4",
    "B5.3 D6.3 G6.2 F6.3 E6.3 D6.2", "E6.4 B5.2 G#5.2 E5.6 r.2",
};
static const char *const THEME_ANSWER[4] = {
    "C6.3 B5.3 A5.2 E6.8",
    "F6.3 E6.3 C6.2 A5.8",
    "B5.3 C6.3 D6.2 G5.4 B5.4",
    "G#5.4 B5.4 E6.6 r.2",
};
static const char *const VARIATION_LINE[8] = {
    "C6.6 A5.2 C6.2 D6.2 E6.4", "D6.6 B5.2 D6.2 E6.2 G6.4", "E6.8 D6.2 B5.2 G5.4",
    "A5.12 C6.2 D6.2",          "F6.6 E6.2 D6.4 A5.4",      "G6.6 F6.2 D6.4 B5.4",
    "E6.3 D6.3 C6.2 G5.4 C6.4", "B5.6 G#5.2 E5.8",
};
static const char *const VARIATION_CLIMAX[2] = {
    "E6.3 G6.3 C7.2 B6.4 G6.4",
    "G#6.6 F6.2 E6.8",
};
static const char *const COUNTER_LINE[8] = {
    "E5.8 C5.8", "C5.8 A4.8", "E5.8 G5.8", "D5.8 B4.8",
    "C5.8 E5.8", "F5.8 C5.8", "B4.8 D5.8", "G#4.8 B4.8",
};
static const char *const BREAK_BELLS[7] = {
    "A5.4 C6.4 F6.8", "D6.4 B5.4 G5.8", "C6.4 E6.4 A6.8",  "G6.4 E6.4 C6.4 B5.4",
    "A5.8 C6.8",      "B5.8 D6.8",      "G#5.4 B5.4 E6.8",
};
static const char *const BREAK_RUN =
    "A4.1 B4.1 C5.1 D5.1 E5.1 F5.1 G#5.1 A5.1 B5.1 C6.1 D6.1 E6.1 B5.1 G#5.1 E5.2";

// What a bar of the song is: its place, section and chord.
struct bar_info {
    int number; // 0..63
    section kind;
    int in_part; // bar within its section
    const chord *harmony;
    double level; // loudness of the section, 0..1
};

struct song_state {
    smf_track tracks[CH_DRUMS + 1];
    uint32_t seed;
};

// A fixed linear congruential generator, so the song is the same on every run.
static int jitter(song_state &s, int spread)
{
    s.seed = s.seed * 1103515245u + 12345u;
    return static_cast<int>((s.seed >> 16) % (2 * spread + 1)) - spread;
}

static int velocity(song_state &s, double base, double level)
{
    int v = static_cast<int>(base * level + 0.5) + jitter(s, 3);
    return v < 1 ? 1 : v > 127 ? 127 : v;
}

// A note, cut short at the end of the song so that nothing sounds across the repeat.
static void note(song_state &s, int channel, int32_t tick, int32_t length, int key, int vel)
{
    if (tick >= SONG_END) {
        return;
    }
    if (tick + length > SONG_END) {
        length = SONG_END - tick;
    }
    DB_smf_note(s.tracks[channel], channel, tick, length, key, vel);
}

// A controller change; none is needed once the song has ended.
static void control(song_state &s, int channel, int32_t tick, int number, int value)
{
    if (tick < SONG_END) {
        DB_smf_control(s.tracks[channel], channel, tick, number, value);
    }
}

static void hit(song_state &s, int32_t tick, int key, double vel, double level)
{
    note(s, CH_DRUMS, tick, STEP / 2, key, velocity(s, vel, level));
}

static const chord *find_chord(const std::string &name)
{
    for (const chord &c : CHORDS) {
        if (name == c.name) {
            return &c;
        }
    }
    DB_fail("song: unknown chord %s", name.c_str());
    return nullptr;
}

static int parse_key(const std::string &name)
{
    static const int steps[7] = {9, 11, 0, 2, 4, 5, 7}; // A..G above C
    if (name.empty() || name[0] < 'A' || name[0] > 'G') {
        DB_fail("song: bad note %s", name.c_str());
    }
    int key = steps[name[0] - 'A'];
    size_t at = 1;
    if (at < name.size() && (name[at] == '#' || name[at] == 'b')) {
        key += name[at] == '#' ? 1 : -1;
        at++;
    }
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '9') {
        DB_fail("song: bad note %s", name.c_str());
    }
    return key + 12 * (name[at] - '0' + 1);
}

// Plays a melody bar from `start`; `gap` ticks of each note are left
// silent so repeated notes are heard apart. With `vibrato`, notes of a
// dotted quarter or longer swell into a vibrato (modulation, controller 1).
// Returns the tick after the bar.
static int32_t melody(song_state &s, int channel, int32_t start, const char *line, int transpose,
                      double vel, double level, int gap, bool vibrato)
{
    int32_t at = start;
    const char *p = line;
    while (*p != '\0') {
        while (*p == ' ') {
            p++;
        }
        if (*p == '\0') {
            break;
        }
        const char *dot = strchr(p, '.');
        if (dot == nullptr) {
            DB_fail("song: bad melody %s", line);
        }
        std::string name(p, dot);
        char *end;
        int steps = static_cast<int>(strtol(dot + 1, &end, 10));
        p = end;
        if (steps <= 0) {
            DB_fail("song: bad melody %s", line);
        }
        if (name != "r") {
            // Notes on the beat a little louder.
            double accent = ((at - start) % (4 * STEP)) == 0 ? 8 : 0;
            note(s, channel, at, steps * STEP - gap, parse_key(name) + transpose,
                 velocity(s, vel + accent, level));
            if (vibrato && steps >= 6) {
                static const int depth[3] = {24, 44, 60};
                for (int i = 0; i < 3; i++) {
                    control(s, channel, at + (2 + i) * STEP, 1, depth[i]);
                }
                control(s, channel, at + steps * STEP - gap, 1, 0);
            }
        }
        at += steps * STEP;
    }
    return at;
}

// A lead bar with its echo three sixteenths later, softer, on the other side.
static void lead_bar(song_state &s, int32_t start, const char *line, double level)
{
    if (melody(s, CH_LEAD, start, line, 0, 100, level, 6, true) != start + BAR) {
        DB_fail("song: melody bar of the wrong length: %s", line);
    }
    melody(s, CH_ECHO, start + 3 * STEP, line, 0, 46, level, 6, true);
}

// The tune: bells hinting at the theme in the intro, the lead playing the
// theme, then the variation climbing to its climax, a bell tune through the
// break and a run into the reprise, where the bells double the theme an
// octave up.
static void play_lead(song_state &s, const bar_info &b)
{
    int32_t t = b.number * BAR;
    int phrase_bar = b.in_part % 8;
    switch (b.kind) {
    case INTRO:
        // The bells hint at the theme's opening as the groove comes in.
        if (b.in_part >= 4) {
            melody(s, CH_BELL, t, THEME_LINE[b.in_part - 4], 0, 60, b.level, 6, false);
        }
        break;
    case THEME:
    case REPRISE: {
        const char *line = b.in_part >= 8 && phrase_bar >= 4 ? THEME_ANSWER[phrase_bar - 4]
                                                             : THEME_LINE[phrase_bar];
        lead_bar(s, t, line, b.level);
        if (b.kind == REPRISE) {
            melody(s, CH_BELL, t, line, 12, 50, b.level, 6, false);
        }
        break;
    }
    case VARIATION: {
        const char *line =
            b.in_part >= 14 ? VARIATION_CLIMAX[b.in_part - 14] : VARIATION_LINE[phrase_bar];
        lead_bar(s, t, line, b.level);
        break;
    }
    case BREAK:
        if (b.in_part < 7) {
            melody(s, CH_BELL, t, BREAK_BELLS[b.in_part], 0, 96, b.level, 4, false);
        } else {
            lead_bar(s, t, BREAK_RUN, 0.75 + 0.25 * b.level);
        }
        break;
    }
}

// Sixteenth-note arpeggio over the chord; the variation bounces off the
// top note instead, and the first half of the break leaves it out.
static void play_arpeggio(song_state &s, const bar_info &b)
{
    static const int rolling[16] = {0, 1, 2, 3, 2, 1, 2, 3, 0, 1, 2, 3, 2, 1, 2, 1};
    static const int pedal[16] = {0, 3, 1, 3, 2, 3, 1, 3, 0, 3, 1, 3, 2, 3, 1, 3};
    if (b.kind == BREAK && b.in_part < 4) {
        return;
    }
    const int *pattern = b.kind == VARIATION ? pedal : rolling;
    const int *v = b.harmony->voicing;
    const int tones[4] = {v[0] + 12, v[1] + 12, v[2] + 12, v[0] + 24};
    for (int i = 0; i < 16; i++) {
        double vel = i % 4 == 0 ? 84 : 66;
        note(s, CH_ARP, b.number * BAR + i * STEP, STEP - 6, tones[pattern[i]],
             velocity(s, vel, b.level));
    }
}

// The pad holds each chord for its bar. The strings add its upper two notes
// an octave up from the second half of the variation through the break,
// and play a slow counter line in octaves under the reprise.
static void play_chords(song_state &s, const bar_info &b)
{
    int32_t t = b.number * BAR;
    for (int key : b.harmony->voicing) {
        note(s, CH_PAD, t, BAR, key, velocity(s, 78, b.level));
    }
    if (b.kind == REPRISE) {
        const char *line = COUNTER_LINE[b.in_part % 8];
        melody(s, CH_STRINGS, t, line, 0, 80, b.level, 0, false);
        melody(s, CH_STRINGS, t, line, -12, 72, b.level, 0, false);
    } else if ((b.kind == VARIATION && b.in_part >= 8) || b.kind == BREAK) {
        for (int i = 1; i < 3; i++) {
            note(s, CH_STRINGS, t, BAR, b.harmony->voicing[i] + 12, velocity(s, 80, b.level));
        }
    }
}

// The pad ducks under each kick and swells back within the beat, so the
// groove breathes (expression, controller 11).
static void pump(song_state &s, const bar_info &b)
{
    static const int shape[4] = {88, 106, 118, 127};
    for (int beat = 0; beat < 4; beat++) {
        for (int i = 0; i < 4; i++) {
            control(s, CH_PAD, b.number * BAR + (4 * beat + i) * STEP, 11, shape[i]);
        }
    }
}

static void bass_drive(song_state &s, int32_t t, int root, double level)
{
    for (int i = 0; i < 8; i++) {
        note(s, CH_BASS, t + 2 * i * STEP, 2 * STEP - 6, root + (i % 2) * 12,
             velocity(s, i % 2 == 0 ? 104 : 90, level));
    }
}

static void bass_syncopated(song_state &s, int32_t t, int root, double level)
{
    static const int at[7] = {0, 3, 6, 8, 10, 12, 14};
    static const int len[7] = {3, 3, 2, 2, 2, 2, 2};
    static const int offset[7] = {0, 0, 12, 0, 7, 12, 7};
    for (int i = 0; i < 7; i++) {
        note(s, CH_BASS, t + at[i] * STEP, len[i] * STEP - 6, root + offset[i],
             velocity(s, at[i] % 4 == 0 ? 108 : 94, level));
    }
}

static void play_bass(song_state &s, const bar_info &b)
{
    int32_t t = b.number * BAR;
    int root = b.harmony->bass;
    switch (b.kind) {
    case INTRO:
        if (b.in_part >= 6) {
            bass_drive(s, t, root, b.level);
        } else if (b.in_part >= 4) {
            note(s, CH_BASS, t, BAR - 12, root, velocity(s, 100, b.level));
        }
        break;
    case THEME:
        bass_drive(s, t, root, b.level);
        break;
    case VARIATION:
        bass_syncopated(s, t, root, b.level);
        break;
    case BREAK:
        if (b.in_part >= 6) {
            bass_drive(s, t, root, 0.6 + 0.2 * (b.in_part - 5));
        } else {
            note(s, CH_BASS, t, BAR - 12, root, velocity(s, 96, b.level));
        }
        break;
    case REPRISE:
        if (b.in_part % 4 == 3) {
            bass_syncopated(s, t, root, b.level);
        } else {
            bass_drive(s, t, root, b.level);
        }
        break;
    }
}

// Four on the floor with backbeat and hi-hats; the variation adds ghost
// notes and a pushed kick, the reprise claps and tambourine. The last bar of
// every eight ends in a tom fill.
static void groove(song_state &s, const bar_info &b)
{
    int32_t t = b.number * BAR;
    bool fill = b.in_part % 8 == 7;
    for (int i = 0; i < 16; i++) {
        int32_t at = t + i * STEP;
        if (i % 4 == 0) {
            hit(s, at, DR_KICK, i == 0 ? 116 : 108, b.level);
        }
        if (fill && i >= 8) {
            static const int toms[8] = {DR_SNARE,   DR_SNARE,   DR_TOM_HIGH, DR_TOM_HIGH,
                                        DR_TOM_MID, DR_TOM_MID, DR_TOM_LOW,  DR_TOM_FLOOR};
            hit(s, at, toms[i - 8], i == 9 ? 70 : 96 + 3 * (i - 8), b.level);
            continue;
        }
        if (i % 4 == 2) {
            hit(s, at, DR_OPEN_HAT, 72, b.level);
        } else {
            hit(s, at, DR_HAT, i % 2 == 0 ? 72 : 46, b.level);
        }
        if (i == 4 || i == 12) {
            hit(s, at, DR_SNARE, 106, b.level);
            if (b.kind == REPRISE) {
                hit(s, at, DR_CLAP, 78, b.level);
            }
        }
        if (b.kind == VARIATION) {
            if (i == 7 || i == 15) {
                hit(s, at, DR_SNARE, 40, b.level);
            }
            if (i == 10 && b.in_part % 2 == 1) {
                hit(s, at, DR_KICK, 88, b.level);
            }
        }
        if (b.kind == REPRISE && i % 4 == 2) {
            hit(s, at, DR_TAMBOURINE, 62, b.level);
        }
    }
}

// A snare roll rising to the next section: eighths, then sixteenths.
static void snare_roll(song_state &s, int32_t t, int every, double from, double to)
{
    for (int i = 0; i < 16; i += every) {
        hit(s, t + i * STEP, DR_SNARE, from + (to - from) * i / 15.0, 1.0);
    }
}

static void play_drums(song_state &s, const bar_info &b)
{
    int32_t t = b.number * BAR;
    if (b.in_part % 8 == 0 && b.kind != INTRO) {
        hit(s, t, DR_CRASH, 110, b.level);
    }
    switch (b.kind) {
    case INTRO:
        if (b.in_part == 0) {
            // A downbeat for each repeat to land on after the reprise.
            hit(s, t, DR_CRASH, 90, 1.0);
            hit(s, t, DR_KICK, 100, 1.0);
        }
        if (b.in_part >= 4) {
            for (int i = 0; i < 4; i++) {
                hit(s, t + 4 * i * STEP, DR_KICK, 100, b.level);
            }
        }
        if (b.in_part == 6) {
            for (int i = 0; i < 16; i += 2) {
                hit(s, t + i * STEP, DR_HAT, i % 4 == 2 ? 70 : 50, b.level);
            }
        }
        if (b.in_part == 7) {
            snare_roll(s, t, 1, 50, 118);
        }
        break;
    case THEME:
    case VARIATION:
    case REPRISE:
        groove(s, b);
        break;
    case BREAK:
        if (b.in_part >= 4) {
            for (int i = 0; i < 4; i++) {
                hit(s, t + 4 * i * STEP, DR_KICK, 70 + 10 * (b.in_part - 4), 1.0);
            }
        }
        if (b.in_part == 6) {
            snare_roll(s, t, 2, 50, 84);
        }
        if (b.in_part == 7) {
            snare_roll(s, t, 1, 84, 124);
        }
        break;
    }
}

// Expression (controller 11) rising over `bars` bars, an eighth at a time.
static void swell(song_state &s, int channel, int32_t start, int bars, int from, int to)
{
    int steps = bars * 8;
    for (int i = 0; i <= steps; i++) {
        DB_smf_control(s.tracks[channel], channel, start + i * (BAR / 8), 11,
                       from + (to - from) * i / steps);
    }
}

struct channel_setup {
    int channel;
    const char *name;
    int program; // General MIDI, from 0; -1 for the drum kit
    int volume, pan, reverb, chorus;
};

static const channel_setup SETUP[] = {
    {CH_LEAD, "Lead", 81, 54, 64, 50, 20},       // sawtooth lead
    {CH_ECHO, "Lead echo", 81, 58, 100, 60, 20}, // the same, delayed
    {CH_ARP, "Arpeggio", 80, 52, 36, 40, 0},     // square lead
    {CH_BASS, "Bass", 38, 86, 64, 10, 0},        // synth bass
    {CH_PAD, "Pad", 89, 66, 64, 70, 40},         // warm pad
    {CH_STRINGS, "Strings", 48, 84, 90, 64, 10}, // string ensemble
    {CH_BELL, "Crystal", 98, 100, 76, 70, 0},    // bell-like synth
    {CH_DRUMS, "Drums", -1, 120, 64, 30, 0},
};

// Set-up on tick 0, so every repeat starts from the same sound.
static void set_up_channel(song_state &s, const channel_setup &c)
{
    smf_track &track = s.tracks[c.channel];
    DB_smf_meta(track, 0, 0x03, c.name);
    if (c.program >= 0) {
        DB_smf_program(track, c.channel, 0, c.program);
    }
    DB_smf_control(track, c.channel, 0, 7, c.volume);
    DB_smf_control(track, c.channel, 0, 10, c.pan);
    DB_smf_control(track, c.channel, 0, 11, 127);
    DB_smf_control(track, c.channel, 0, 1, 0);
    DB_smf_control(track, c.channel, 0, 91, c.reverb);
    DB_smf_control(track, c.channel, 0, 93, c.chorus);
}

static const char *const SECTION_NAMES[] = {"Intro", "Theme", "Variation", "Break", "Reprise"};

static const char COPYRIGHT[] = "Tessera";
static const char CREDITS[] =
    "Tessera - the song. 64 bars in A minor at 125 bpm: intro, theme, variation, break "
    "and reprise, looping for as long as the pictures turn.";
static const char GREETINGS[] =
    "Greetings to everyone who still draws with 256 colours and plays their music through "
    "General MIDI. ";

// Lengths of text events that together take exactly `need` bytes on tick 0.
static std::vector<size_t> filler_lengths(size_t need)
{
    const size_t smallest = DB_smf_meta_size(0);
    std::vector<size_t> out;
    while (need > 0) {
        size_t len = need;
        // The longest event that leaves nothing, or room for one more.
        while (DB_smf_meta_size(len) > need ||
               (DB_smf_meta_size(len) < need && need - DB_smf_meta_size(len) < smallest)) {
            if (len == 0) {
                DB_fail("song: cannot pad the song by %zu bytes", need);
            }
            len--;
        }
        out.push_back(len);
        need -= DB_smf_meta_size(len);
    }
    return out;
}

std::vector<unsigned char> DB_build_song(void)
{
    song_state s = {};
    s.seed = 1994;

    for (const channel_setup &c : SETUP) {
        set_up_channel(s, c);
    }
    swell(s, CH_PAD, 0, 4, 72, 127);

    smf_track conductor;
    DB_smf_meta(conductor, 0, 0x03, "Tessera");
    DB_smf_tempo(conductor, 0, USEC_PER_QUARTER);
    DB_smf_meta(conductor, 0, 0x58, std::string("\x04\x02\x18\x08", 4)); // 4/4
    DB_smf_meta(conductor, 0, 0x59, std::string("\x00\x01", 2));         // A minor
    DB_smf_meta(conductor, 0, 0x02, COPYRIGHT);
    DB_smf_meta(conductor, 0, 0x01, CREDITS);

    int number = 0;
    for (const section_plan &part : PLAN) {
        std::vector<const chord *> chords;
        const char *p = part.chords;
        while (*p != '\0') {
            size_t n = strcspn(p, " ");
            chords.push_back(find_chord(std::string(p, n)));
            p += n + (p[n] == ' ' ? 1 : 0);
        }
        DB_smf_meta(conductor, number * BAR, 0x06, SECTION_NAMES[part.kind]);
        if (part.kind == BREAK) {
            swell(s, CH_STRINGS, number * BAR, 4, 50, 127);
        }
        for (size_t i = 0; i < chords.size(); i++, number++) {
            bar_info b;
            b.number = number;
            b.kind = part.kind;
            b.in_part = static_cast<int>(i);
            b.harmony = chords[i];
            static const double levels[] = {0.72, 0.86, 0.93, 0.7, 1.0};
            b.level = levels[part.kind];
            if (part.kind == INTRO) {
                b.level += 0.02 * b.in_part; // growing into the theme
            }
            play_drums(s, b);
            play_bass(s, b);
            play_chords(s, b);
            if (part.kind == THEME || part.kind == VARIATION || part.kind == REPRISE) {
                pump(s, b);
            }
            play_arpeggio(s, b);
            play_lead(s, b);
        }
    }
    if (number != BARS) {
        DB_fail("song: the plan has %d bars, not %d", number, BARS);
    }

    std::vector<std::vector<unsigned char>> chunks;
    size_t used = 14; // the MThd chunk
    for (const channel_setup &c : SETUP) {
        chunks.push_back(DB_smf_encode_track(s.tracks[c.channel], SONG_END));
        used += chunks.back().size();
    }
    used += DB_smf_encode_track(conductor, SONG_END).size();

    const size_t room = static_cast<size_t>(RES_SONG.length);
    if (used > room) {
        DB_fail("song: the song takes %zu bytes, more than the %zu of its place in the archive",
                used, room);
    }
    // The rest of the place is greetings in text events.
    size_t g = 0;
    for (size_t len : filler_lengths(room - used)) {
        std::string text;
        for (size_t i = 0; i < len; i++, g++) {
            text.push_back(GREETINGS[g % (sizeof GREETINGS - 1)]);
        }
        DB_smf_meta(conductor, 0, 0x01, text);
    }
    chunks.insert(chunks.begin(), DB_smf_encode_track(conductor, SONG_END));

    std::vector<unsigned char> song = DB_smf_file(chunks, TICKS_PER_QUARTER);
    if (song.size() != room) {
        DB_fail("song: the song came out at %zu bytes, not %zu", song.size(), room);
    }
    return song;
}
