#!/usr/bin/env python3
"""Writes members for members_fuzz into OUT/damaged and OUT/conforming.

Each input is the byte that picks a target and then the member's bytes. The
damaged ones are the damage that once crashed the demo (sizes that wrap,
lines of no bytes, a song without ticks a beat, lengths past a track) and
more of the same kind: the fuzz target must refuse every one without a
fault. The conforming ones meet the formats at their edges, in ways the data
builder's members do not: every one must load, draw and play.
"""
import os
import struct
import sys

# The first byte of an input, as members_fuzz reads it.
PICTURE, SCROLL_SHEET, LOGO_SHEET, INTRO_SOURCE, INTRO_PATTERN, SONG, ROWS = range(7)


def pcx(w=320, h=200, planes=1, bits=8, line_bytes=None, colour=5):
    """A run-length PCX of one colour: header, lines, palette."""
    if line_bytes is None:
        line_bytes = w
    header = struct.pack("<BBBBHHHHHH", 10, 5, 1, bits, 0, 0, (w - 1) & 0xFFFF,
                         (h - 1) & 0xFFFF, 320, 200)
    header += bytes(48) + bytes([0, planes]) + struct.pack("<HH", line_bytes, 1)
    header += bytes(128 - len(header))
    line = b""
    left = line_bytes
    while left > 0:
        run = min(left, 63)
        line += bytes([0xC0 | run, colour])
        left -= run
    return header + line * h + b"\x0c" + bytes(768)


def with_size(member, w, h, line_bytes=None):
    """The member with its header's size (and bytes a line) replaced."""
    b = bytearray(member)
    struct.pack_into("<HHHH", b, 4, 0, 0, (w - 1) & 0xFFFF, (h - 1) & 0xFFFF)
    if line_bytes is not None:
        struct.pack_into("<H", b, 66, line_bytes)
    return bytes(b)


def song(events, division=96, tracks=1, header_tracks=None):
    """A type-1 song of `tracks` copies of one track holding `events`."""
    if header_tracks is None:
        header_tracks = tracks
    track = b"MTrk" + struct.pack(">I", len(events)) + events
    return b"MThd" + struct.pack(">IHHH", 6, 1, header_tracks, division) + track * tracks


NOTE = b"\x00\x90\x3c\x64\x60\x80\x3c\x00"
END = b"\x00\xff\x2f\x00"

DAMAGED = {
    # Width x height that wraps: the loader would write past its bitmap.
    "picture-wrapped-size": (PICTURE, with_size(pcx(), 65536, 65536)),
    "picture-three-planes": (PICTURE, with_size(pcx(planes=3), 65536, 21846)),
    # No bytes a line: a bitmap over nothing for whoever reads it first.
    "picture-empty-lines": (PICTURE, with_size(pcx(), 65536, 65536, 0)),
    "scroll-sheet-empty-lines": (SCROLL_SHEET, with_size(pcx(), 65536, 65536, 0)),
    "logo-sheet-empty-lines": (LOGO_SHEET, with_size(pcx(), 65536, 65536, 0)),
    "intro-source-empty-lines": (INTRO_SOURCE, with_size(pcx(), 65536, 65536, 0)),
    "intro-pattern-empty-lines": (INTRO_PATTERN, with_size(pcx(32, 64), 65536, 65536, 0)),
    "picture-short-lines": (PICTURE, with_size(pcx(), 320, 200, 100)),
    "picture-four-bits": (PICTURE, pcx(bits=4)),
    "picture-cut-short": (PICTURE, pcx()[:400]),
    "picture-run-at-the-end": (PICTURE, pcx()[:128] + b"\xc1\x05" * 10 + b"\xc1"),
    "picture-no-palette": (PICTURE, pcx()[:-769]),
    "intro-source-too-small": (INTRO_SOURCE, pcx(100, 100)),
    # The player divides by the ticks a beat.
    "song-no-ticks": (SONG, song(NOTE + END, division=0)),
    "song-frames": (SONG, song(NOTE + END, division=0xE728)),
    # Lengths past the track: the player reads on past it.
    "song-meta-past-track": (SONG, song(b"\x00\xff\x01\x7f" + NOTE + END)),
    "song-sysex-past-track": (SONG, song(b"\x00\xf0\x7f" + NOTE + END)),
    "song-track-past-song": (SONG, song(NOTE + END)[:18] + b"\x7f\xff\xff\xff" + NOTE + END),
    "song-no-end": (SONG, song(NOTE)),
    "song-no-status": (SONG, song(b"\x00\x3c\x64" + NOTE + END)),
    "song-endless-number": (SONG, song(b"\xff\xff\xff\xff\xff\x00" + NOTE + END)),
    "song-no-tracks": (SONG, song(b"", tracks=0)),
    "song-too-many-tracks": (SONG, song(NOTE + END, tracks=33)),
    # Every track over at once: the looping player would never return.
    "song-no-time": (SONG, song(b"\x00\x90\x3c\x64\x00\x80\x3c\x00" + END)),
    "rows-short": (ROWS, bytes(100)),
}

CONFORMING = {
    "picture-odd-width": (PICTURE, pcx(321, 200)),
    "picture-padded-lines": (PICTURE, pcx(320, 200, line_bytes=322)),
    "picture-widest": (PICTURE, pcx(4096, 194)),
    "picture-moved-origin": (PICTURE, pcx()[:4] + struct.pack("<HHHH", 10, 20, 329, 219)
                             + pcx()[12:]),
    "scroll-sheet-smallest": (SCROLL_SHEET, pcx(319, 119, colour=0)),
    "logo-sheet-smallest": (LOGO_SHEET, pcx(297, 180, colour=0)),
    "intro-source-blank": (INTRO_SOURCE, pcx(320, 200, colour=0)),
    "intro-pattern-wide": (INTRO_PATTERN, pcx(64, 64, colour=7)),
    "song-type-0": (SONG, b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk"
                    + struct.pack(">I", len(NOTE + END)) + NOTE + END),
    "song-32-tracks": (SONG, song(NOTE + END, tracks=32)),
    "song-shorter-than-a-beat": (SONG, song(b"\x00\x90\x3c\x64\x01\x80\x3c\x00" + END,
                                            division=0x7FFF)),
    "song-longest-time": (SONG, song(b"\x00\x90\x3c\x64\xff\xff\xff\x7f\x80\x3c\x00" + END)),
    "song-tempo-sysex-running": (SONG, song(
        b"\x00\xff\x51\x03\x07\xa1\x20" + b"\x00\xf0\x03\x7e\x09\xf7"
        + b"\x00\xc0\x05\x00\x90\x3c\x64\x10\x3e\x64\x60\x3c\x00\x00\x3e\x00"
        + b"\x00\xe0\x00\x40" + END)),
}


def main():
    out = sys.argv[1]
    for folder, inputs in (("damaged", DAMAGED), ("conforming", CONFORMING)):
        os.makedirs(os.path.join(out, folder), exist_ok=True)
        for name, (target, member) in inputs.items():
            with open(os.path.join(out, folder, name), "wb") as f:
                f.write(bytes([target]) + member)


if __name__ == "__main__":
    main()
