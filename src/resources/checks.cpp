// Member checks. Each one walks the bytes in the order the library will read
// them, so that whatever passes is read by the library within the member:
// load_pcx trusts the header's size and decodes lines until it has its bytes,
// and Allegro's MIDI player trusts every length it meets in a track.
#include "checks.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

// The standard MIDI file as load_midi and the player read it.
constexpr size_t MIDI_HEADER_SIZE = 14; // "MThd", length 6, type, tracks, division
constexpr uint32_t MIDI_HEADER_LENGTH = 6;
constexpr size_t MIDI_CHUNK_HEADER = 8; // "MTrk" and the length
constexpr int MIDI_MAX_TRACKS = 32;     // the player's MIDI_TRACKS
constexpr unsigned MIDI_SMPTE = 0x8000; // a division in frames, not ticks a beat
constexpr int MIDI_MAX_NUMBER = 4;      // bytes in a time or a length, at most
constexpr unsigned char MIDI_META = 0xFF;
constexpr unsigned char MIDI_SYSEX = 0xF0;
constexpr unsigned char MIDI_SYSEX_MORE = 0xF7;
constexpr unsigned char MIDI_END_OF_TRACK = 0x2F;
constexpr unsigned char MIDI_TEMPO = 0x51;
constexpr uint32_t MIDI_TEMPO_LENGTH = 3; // the player reads three bytes of a tempo

static check_result accept(void)
{
    check_result r;
    r.ok = true;
    r.reason[0] = '\0';
    return r;
}

static check_result refuse(const char *format, ...) __attribute__((format(printf, 1, 2)));

static check_result refuse(const char *format, ...)
{
    check_result r;
    r.ok = false;
    va_list args;
    va_start(args, format);
    vsnprintf(r.reason, sizeof r.reason, format, args);
    va_end(args);
    return r;
}

static unsigned le16(const unsigned char *p)
{
    return p[0] | p[1] << 8;
}

static unsigned be16(const unsigned char *p)
{
    return p[0] << 8 | p[1];
}

static uint32_t be32(const unsigned char *p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

check_result ZE_check_picture(const unsigned char *bytes, size_t size, int *w, int *h)
{
    if (size < PCX_HEADER_SIZE) {
        return refuse("it is %zu bytes long, shorter than a PCX header", size);
    }
    if (bytes[PCX_MARK] != PCX_MARK_VALUE || bytes[PCX_ENCODING] != 1) {
        return refuse("it does not begin as a run-length PCX does");
    }
    if (bytes[PCX_BITS] != 8) {
        return refuse("it has %d bits per pixel, not 8", bytes[PCX_BITS]);
    }
    if (bytes[PCX_PLANES] != 1) {
        return refuse("it has %d colour planes, not 1", bytes[PCX_PLANES]);
    }
    // The loader takes xmax - xmin + 1 as it comes, wrapping or negative.
    const long width = static_cast<long>(le16(bytes + PCX_XMIN + 4)) - le16(bytes + PCX_XMIN) + 1;
    const long height =
        static_cast<long>(le16(bytes + PCX_XMIN + 6)) - le16(bytes + PCX_XMIN + 2) + 1;
    if (width < 1 || width > PCX_MAX_SIDE || height < 1 || height > PCX_MAX_SIDE) {
        return refuse("it claims %ld x %ld pixels, outside 1..%d each way", width, height,
                      PCX_MAX_SIDE);
    }
    const long line_bytes = le16(bytes + PCX_LINE_BYTES);
    if (line_bytes < width) {
        return refuse("its lines hold %ld bytes, fewer than its %ld pixels", line_bytes, width);
    }

    // Every line takes runs until it has its bytes; a run that ends past the
    // line would lose its rest, as the loader starts each line afresh.
    size_t at = PCX_HEADER_SIZE;
    for (long y = 0; y < height; y++) {
        long x = 0;
        while (x < line_bytes) {
            if (at >= size) {
                return refuse("its pixels end in line %ld", y);
            }
            long run = 1;
            if ((bytes[at] & PCX_RUN_FLAGS) == PCX_RUN_FLAGS) {
                run = bytes[at] & PCX_RUN_COUNT;
                at++;
                if (at >= size) {
                    return refuse("its pixels end in line %ld", y);
                }
            }
            at++;
            if (x + run > line_bytes) {
                return refuse("a run crosses the end of line %ld", y);
            }
            x += run;
        }
    }

    // The loader takes the first 12 after the pixels as the palette's mark.
    const void *mark = memchr(bytes + at, PCX_PALETTE_MARK, size - at);
    if (mark == NULL) {
        return refuse("it has no 256-colour palette after its pixels");
    }
    const size_t palette = static_cast<const unsigned char *>(mark) - bytes + 1;
    if (size - palette < PCX_PALETTE_SIZE) {
        return refuse("its 256-colour palette is cut short");
    }
    *w = static_cast<int>(width);
    *h = static_cast<int>(height);
    return accept();
}

// Reads a time or a length of 1..4 bytes at *at, within `end`. Returns false
// if it runs past either.
static bool read_number(const unsigned char *track, size_t end, size_t *at, uint32_t *value)
{
    *value = 0;
    for (int i = 0; i < MIDI_MAX_NUMBER; i++) {
        if (*at >= end) {
            return false;
        }
        const unsigned char b = track[(*at)++];
        *value = *value << 7 | (b & 0x7F);
        if ((b & 0x80) == 0) {
            return true;
        }
    }
    return false;
}

// Walks one track as the player does: a time, an event, a time, an event...
// up to the end-of-track event, which must be its last byte. Sets *timed if
// any time in it is above zero.
static check_result check_track(const unsigned char *track, size_t length, int number, bool *timed)
{
    unsigned char running = 0; // the last channel status; meta and sysex events keep it
    size_t at = 0;
    for (;;) {
        if (at >= length) {
            return refuse("track %d ends without an end-of-track event", number);
        }
        uint32_t delta;
        if (!read_number(track, length, &at, &delta)) {
            return refuse("track %d has a time at byte %zu that does not end in 4 bytes or in "
                          "the track",
                          number, at);
        }
        if (delta > 0) {
            *timed = true;
        }
        if (at >= length) {
            return refuse("track %d ends without an end-of-track event", number);
        }
        const size_t event = at;
        unsigned char status = track[at];
        if (status & 0x80) {
            at++;
        } else if (running != 0) {
            status = running; // the byte is the first data byte
        } else {
            return refuse("track %d has a data byte at byte %zu with no status before it", number,
                          event);
        }

        if (status < 0xF0) {
            running = status;
            const size_t data = (status >> 4 == 0xC || status >> 4 == 0xD) ? 1 : 2;
            if (length - at < data) {
                return refuse("track %d ends inside the event at byte %zu", number, event);
            }
            for (size_t i = 0; i < data; i++) {
                if (track[at + i] & 0x80) {
                    return refuse("track %d has a data byte above 127 at byte %zu", number, at + i);
                }
            }
            at += data;
            continue;
        }

        unsigned char meta = 0;
        if (status == MIDI_META) {
            if (at >= length) {
                return refuse("track %d ends inside the event at byte %zu", number, event);
            }
            meta = track[at++];
        } else if (status != MIDI_SYSEX && status != MIDI_SYSEX_MORE) {
            return refuse("track %d has a status 0x%02X at byte %zu that no song may hold", number,
                          status, event);
        }
        uint32_t data;
        if (!read_number(track, length, &at, &data)) {
            return refuse("track %d has a length at byte %zu that does not end in 4 bytes or in "
                          "the track",
                          number, at);
        }
        if (data > length - at) {
            return refuse("track %d has an event at byte %zu whose %u bytes run past the track",
                          number, event, data);
        }
        at += data;
        if (status != MIDI_META) {
            continue;
        }
        if (meta == MIDI_TEMPO && data != MIDI_TEMPO_LENGTH) {
            return refuse("track %d has a tempo of %u bytes, not 3, at byte %zu", number, data,
                          event);
        }
        if (meta == MIDI_END_OF_TRACK) {
            if (data != 0) {
                return refuse("track %d has an end-of-track event of %u bytes", number, data);
            }
            if (at != length) {
                return refuse("track %d goes on for %zu bytes after its end-of-track event", number,
                              length - at);
            }
            return accept();
        }
    }
}

check_result ZE_check_song(const unsigned char *bytes, size_t size)
{
    if (size < MIDI_HEADER_SIZE || memcmp(bytes, "MThd", 4) != 0) {
        return refuse("it does not begin with a MIDI header");
    }
    if (be32(bytes + 4) != MIDI_HEADER_LENGTH) {
        return refuse("its header is %u bytes long, not 6", be32(bytes + 4));
    }
    const unsigned type = be16(bytes + 8);
    const int tracks = static_cast<int>(be16(bytes + 10));
    const unsigned division = be16(bytes + 12);
    if (type > 1) {
        return refuse("it is of type %u; the player reads types 0 and 1", type);
    }
    if (tracks < 1 || tracks > MIDI_MAX_TRACKS) {
        return refuse("it has %d tracks; the player reads 1 to %d", tracks, MIDI_MAX_TRACKS);
    }
    // The player divides by the division, and would read a count of frames
    // as a huge number of ticks a beat.
    if (division == 0) {
        return refuse("its beat has 0 ticks");
    }
    if (division & MIDI_SMPTE) {
        return refuse("its time is counted in frames, which the player does not read");
    }

    size_t at = MIDI_HEADER_SIZE;
    bool timed = false;
    for (int t = 0; t < tracks; t++) {
        if (size - at < MIDI_CHUNK_HEADER || memcmp(bytes + at, "MTrk", 4) != 0) {
            return refuse("track %d does not begin at byte %zu", t, at);
        }
        const uint32_t length = be32(bytes + at + 4);
        at += MIDI_CHUNK_HEADER;
        if (length > size - at) {
            return refuse("track %d is %u bytes long, past the end of the song", t, length);
        }
        const check_result track = check_track(bytes + at, length, t, &timed);
        if (!track.ok) {
            return track;
        }
        at += length;
    }
    // A looping player that finds every track over at once starts it over at
    // once, without end.
    if (!timed) {
        return refuse("it lasts no time at all");
    }
    return accept();
}
