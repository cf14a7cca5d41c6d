// A short placeholder song: one track of a rising scale, padded to length
// with a text event.
#include "song.h"

#include <cstddef>
#include <cstdint>

#include "resources/directory.h"

static void put32(std::vector<unsigned char> &v, uint32_t x)
{
    for (int s = 24; s >= 0; s -= 8) {
        v.push_back(static_cast<unsigned char>(x >> s));
    }
}

static void put_varlen(std::vector<unsigned char> &v, uint32_t x)
{
    unsigned char bytes[5];
    int n = 0;
    do {
        bytes[n++] = x & 0x7f;
        x >>= 7;
    } while (x != 0);
    while (n > 1) {
        v.push_back(bytes[--n] | 0x80);
    }
    v.push_back(bytes[0]);
}

std::vector<unsigned char> DB_build_song(void)
{
    std::vector<unsigned char> events;
    const int notes[] = {60, 62, 64, 65, 67, 69, 71, 72};
    for (int note : notes) {
        put_varlen(events, 0);
        events.insert(events.end(), {0x90, static_cast<unsigned char>(note), 100});
        put_varlen(events, 96);
        events.insert(events.end(), {0x80, static_cast<unsigned char>(note), 0});
    }
    const size_t fixed = 14 + 8 + events.size() + 4 /* end of track */;
    // Text event: delta 0, FF 01, length, text. Its length field grows with the text.
    size_t room = RES_SONG.length - fixed - 3;
    size_t text = room - (room > 127 + 1 ? (room > 16383 + 2 ? 3 : 2) : 1);
    std::vector<unsigned char> track;
    put_varlen(track, 0);
    track.insert(track.end(), {0xff, 0x01});
    put_varlen(track, static_cast<uint32_t>(text));
    track.insert(track.end(), text, ' ');
    track.insert(track.end(), events.begin(), events.end());
    track.insert(track.end(), {0x00, 0xff, 0x2f, 0x00});

    std::vector<unsigned char> song = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96};
    song.insert(song.end(), {'M', 'T', 'r', 'k'});
    put32(song, static_cast<uint32_t>(track.size()));
    song.insert(song.end(), track.begin(), track.end());
    return song;
}
