#!/usr/bin/env python3
"""Writes damaged members, as inputs of members_fuzz, into the folder given.

Each input is the byte that picks a target and then the member's bytes. They
are the damage that once crashed the demo (sizes that wrap, lines of no
bytes, a song without ticks a beat, lengths past a track) and more of the
same kind; the fuzz target must refuse every one without a fault.
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
    left = min(w, 320)
    while left > 0:
        run = min(left, 63)
        line += bytes([0xC0 | run, colour])
        left -= run
    return header + line * min(h, 200) + b"\x0c" + bytes(768)


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

INPUTS = {
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


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, (target, member) in INPUTS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(bytes([target]) + member)


if __name__ == "__main__":
    main()
