#!/usr/bin/env python3
"""Writes a sound font that holds only what a MIDI song plays, taken from a
General MIDI sound font: the presets the song's channels select, and in each
only the zones (and so the samples) of the keys it strikes. Everything kept
is copied unchanged and in its order, so that a synthesizer plays the song
from it exactly as from the whole font.
   song_font.py FONT.sf2 SONG OUT.sf2
SONG is a MIDI file, or FILE:OFFSET:LENGTH for one lying inside another file.
"""
import os
import struct
import sys

DRUM_CHANNEL = 9
DRUM_BANK = 128
GEN_KEY_RANGE = 43
GEN_INSTRUMENT = 41
GEN_SAMPLE = 53
SAMPLE_PAD = 46  # zero points after each sample, as sound fonts require
SAMPLE_ROM = 0x8000
SAMPLE_MONO = 1

# Record layouts of the hydra, with the fields that index the next table.
PHDR, BAG, MOD, GEN, INST, SHDR = "<20sHHHIII", "<HH", "<HHhHH", "<HH", "<20sH", "<20sIIIIIBbHH"


class Failure(Exception):
    pass


# ---------------------------------------------------------------- the song

def read_song(where):
    path, offset, length = where, 0, None
    parts = where.rsplit(":", 2)
    if len(parts) == 3 and parts[1].isdigit() and parts[2].isdigit():
        path, offset, length = parts[0], int(parts[1]), int(parts[2])
    with open(path, "rb") as f:
        f.seek(offset)
        data = f.read(-1 if length is None else length)
    if length is not None and len(data) != length:
        raise Failure("%s ends before byte %d" % (path, offset + length))
    return data


def song_keys(data):
    """{(bank, program): set of keys} struck by the song's note-ons."""
    if data[:4] != b"MThd" or len(data) < 14:
        raise Failure("the song is not a MIDI file")
    header = struct.unpack(">I", data[4:8])[0]
    events, at, track = [], 8 + header, 0
    while at + 8 <= len(data):
        kind, size = data[at:at + 4], struct.unpack(">I", data[at + 4:at + 8])[0]
        body = data[at + 8:at + 8 + size]
        if len(body) != size:
            raise Failure("a chunk of the song is cut short")
        if kind == b"MTrk":
            events += track_events(body, track)
            track += 1
        at += 8 + size
    # Tracks merged by tick; on the same tick, earlier tracks first.
    events.sort(key=lambda e: e[:3])
    bank, program = [0] * 16, [0] * 16
    keys = {}
    for _, _, _, status, a, b in events:
        channel, kind = status & 0x0F, status & 0xF0
        if kind == 0xB0 and a == 0:
            bank[channel] = b
        elif kind == 0xC0:
            program[channel] = a
        elif kind == 0x90 and b > 0:
            preset = (DRUM_BANK, program[channel]) if channel == DRUM_CHANNEL else \
                (bank[channel], program[channel])
            keys.setdefault(preset, set()).add(a)
    return keys


def track_events(body, track):
    """(tick, track, order, status, data1, data2) of the track's channel messages."""
    out, at, tick, status = [], 0, 0, 0

    def varlen():
        nonlocal at
        value = 0
        for _ in range(4):
            if at >= len(body):
                break
            c = body[at]
            at += 1
            value = (value << 7) | (c & 0x7F)
            if c < 0x80:
                return value
        raise Failure("a bad delta time in the song")

    while at < len(body):
        tick += varlen()
        if at >= len(body):
            raise Failure("a track of the song is cut short")
        if body[at] >= 0x80:
            status = body[at]
            at += 1
        if status in (0xF0, 0xF7, 0xFF):
            if status == 0xFF:
                at += 1
            length = varlen()
            at += length
            status = 0
            continue
        if status < 0x80:
            raise Failure("a data byte without a status in the song")
        size = 1 if status & 0xF0 in (0xC0, 0xD0) else 2
        message = body[at:at + size]
        if len(message) != size:
            raise Failure("a track of the song is cut short")
        at += size
        out.append((tick, track, len(out), status, message[0], message[-1] if size == 2 else 0))
    return out


# ---------------------------------------------------------------- the font

def riff_chunks(data, at, end):
    while at + 8 <= end:
        kind, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        if at + 8 + size > end:
            raise Failure("a chunk of the sound font is cut short")
        yield kind, at + 8, size
        at += 8 + size + (size & 1)


def read_font(data):
    if data[:4] != b"RIFF" or data[8:12] != b"sfbk":
        raise Failure("not a sound font")
    lists = {}
    for kind, at, size in riff_chunks(data, 12, len(data)):
        if kind == b"LIST":
            lists[data[at:at + 4]] = {k: data[a:a + s] for k, a, s in riff_chunks(data, at + 4, at + size)}
    try:
        info, smpl, hydra = lists[b"INFO"], lists[b"sdta"][b"smpl"], lists[b"pdta"]
        if b"sm24" in lists[b"sdta"]:
            raise Failure("24-bit samples are not supported")
        tables = {name: [list(r) for r in struct.iter_unpack(layout, hydra[name])]
                  for name, layout in ((b"phdr", PHDR), (b"pbag", BAG), (b"pmod", MOD),
                                       (b"pgen", GEN), (b"inst", INST), (b"ibag", BAG),
                                       (b"imod", MOD), (b"igen", GEN), (b"shdr", SHDR))}
    except (KeyError, struct.error):
        raise Failure("the sound font lacks a part or has a damaged one")
    return info, smpl, tables


def zones(headers, bag_field, bags, gens, mods):
    """Per header (the terminal record left out), its zones as (gens, mods) lists."""
    out = []
    for h in range(len(headers) - 1):
        first, last = headers[h][bag_field], headers[h + 1][bag_field]
        if not first <= last < len(bags):
            raise Failure("the sound font's zone lists are out of order")
        out.append([(gens[bags[b][0]:bags[b + 1][0]], mods[bags[b][1]:bags[b + 1][1]])
                    for b in range(first, last)])
    return out


def key_range(zone):
    for oper, amount in zone[0]:
        if oper == GEN_KEY_RANGE:
            return amount & 0xFF, amount >> 8
    return 0, 127


def target(zone, oper):
    """The instrument or sample a zone plays, or None for a global zone."""
    gens = zone[0]
    return gens[-1][1] if gens and gens[-1][0] == oper else None


def keep_zones(zone_list, keys, oper):
    """The zones that a key of `keys` sounds (and a leading global zone), with
    the keys that reach each zone's instrument or sample."""
    kept, reach = [], {}
    for n, zone in enumerate(zone_list):
        what = target(zone, oper)
        if what is None:
            if n == 0:
                kept.append(zone)
            continue
        low, high = key_range(zone)
        struck = {k for k in keys if low <= k <= high}
        if struck:
            kept.append(zone)
            reach.setdefault(what, set()).update(struck)
    return kept, reach


def subset(tables, smpl, keys):
    presets = zones(tables[b"phdr"], 3, tables[b"pbag"], tables[b"pgen"], tables[b"pmod"])
    instruments = zones(tables[b"inst"], 1, tables[b"ibag"], tables[b"igen"], tables[b"imod"])
    samples = tables[b"shdr"][:-1]
    by_number = {(h[2], h[1]): n for n, h in enumerate(tables[b"phdr"][:-1])}

    preset_keys = {}
    for (bank, program), struck in keys.items():
        n = by_number.get((bank, program))
        if n is None:  # the synthesizer falls back to the default kit or bank
            n = by_number.get((DRUM_BANK, 0) if bank == DRUM_BANK else (0, program))
        if n is None:
            raise Failure("the sound font has no preset %d:%d" % (bank, program))
        preset_keys.setdefault(n, set()).update(struck)
    kept_presets, inst_keys = {}, {}
    for n, struck in preset_keys.items():
        kept_presets[n], reach = keep_zones(presets[n], struck, GEN_INSTRUMENT)
        for i, k in reach.items():
            inst_keys.setdefault(i, set()).update(k)
    kept_instruments, wanted = {}, set()
    for i, struck in inst_keys.items():
        if i >= len(instruments):
            raise Failure("a preset plays instrument %d, which is not there" % i)
        kept_instruments[i], reach = keep_zones(instruments[i], struck, GEN_SAMPLE)
        wanted.update(reach)
    if any(s >= len(samples) for s in wanted):
        raise Failure("an instrument plays a sample that is not there")
    for s in list(wanted):  # a stereo sample brings its other side
        while samples[s][9] & 0x7FFF != SAMPLE_MONO and samples[s][8] not in wanted:
            s = samples[s][8]
            if s >= len(samples):
                raise Failure("a stereo sample's other side is not there")
            wanted.add(s)

    # Renumbered, in their old order.
    inst_index = {i: n for n, i in enumerate(sorted(kept_instruments))}
    sample_index = {s: n for n, s in enumerate(sorted(wanted))}
    out = {name: [] for name in (b"phdr", b"pbag", b"pmod", b"pgen", b"inst", b"ibag",
                                 b"imod", b"igen", b"shdr")}

    def put_zones(zone_list, bag, gen, mod, oper, index):
        for gens, mods in zone_list:
            out[bag].append([len(out[gen]), len(out[mod])])
            for o, amount in gens:
                out[gen].append([o, index[amount] if o == oper else amount])
            out[mod].extend(list(m) for m in mods)

    for n in sorted(kept_presets):
        header = list(tables[b"phdr"][n])
        header[3] = len(out[b"pbag"])
        out[b"phdr"].append(header)
        put_zones(kept_presets[n], b"pbag", b"pgen", b"pmod", GEN_INSTRUMENT, inst_index)
    for i in sorted(kept_instruments):
        out[b"inst"].append([tables[b"inst"][i][0], len(out[b"ibag"])])
        put_zones(kept_instruments[i], b"ibag", b"igen", b"imod", GEN_SAMPLE, sample_index)

    points = bytearray()
    for s in sorted(wanted):
        name, start, end, loop_start, loop_end, rate, key, cents, link, kind = samples[s]
        if kind & SAMPLE_ROM:
            raise Failure("sample %d lies in a ROM" % s)
        if not start <= end <= len(smpl) // 2:
            raise Failure("sample %d lies outside the sample data" % s)
        if not start <= loop_start <= loop_end <= end:
            raise Failure("sample %d loops outside itself" % s)
        at = len(points) // 2
        points += smpl[2 * start:2 * end] + bytes(2 * SAMPLE_PAD)
        out[b"shdr"].append([name, at, at + end - start, at + loop_start - start,
                             at + loop_end - start, rate, key, cents,
                             sample_index.get(link, 0) if kind & 0x7FFF != SAMPLE_MONO else 0, kind])

    # The terminal records.
    out[b"phdr"].append([b"EOP", 0, 0, len(out[b"pbag"]), 0, 0, 0])
    out[b"pbag"].append([len(out[b"pgen"]), len(out[b"pmod"])])
    out[b"inst"].append([b"EOI", len(out[b"ibag"])])
    out[b"ibag"].append([len(out[b"igen"]), len(out[b"imod"])])
    for table in (b"pmod", b"imod"):
        out[table].append([0, 0, 0, 0, 0])
    for table in (b"pgen", b"igen"):
        out[table].append([0, 0])
    out[b"shdr"].append([b"EOS", 0, 0, 0, 0, 0, 0, 0, 0, 0])
    return out, bytes(points)


def chunk(kind, body):
    return kind + struct.pack("<I", len(body)) + body + (b"\0" if len(body) & 1 else b"")


def text(value):
    raw = value.encode("ascii", "replace") + b"\0"
    return raw + (b"\0" if len(raw) & 1 else b"")


def write_font(info, tables, points, source_name):
    layouts = {b"phdr": PHDR, b"pbag": BAG, b"pmod": MOD, b"pgen": GEN, b"inst": INST,
               b"ibag": BAG, b"imod": MOD, b"igen": GEN, b"shdr": SHDR}
    hydra = b"".join(chunk(name, b"".join(struct.pack(layouts[name], *r) for r in tables[name]))
                     for name in layouts)
    head = chunk(b"ifil", info.get(b"ifil", struct.pack("<HH", 2, 1)))
    head += chunk(b"isng", info.get(b"isng", text("EMU8000")))
    head += chunk(b"INAM", text("A song's share of " + source_name))
    for kind in (b"ICOP", b"IENG"):
        if kind in info:
            head += chunk(kind, info[kind])
    head += chunk(b"ICMT", text("The presets and keys one song plays, copied unchanged from "
                                + source_name + "."))
    body = b"sfbk" + chunk(b"LIST", b"INFO" + head) + \
        chunk(b"LIST", b"sdta" + chunk(b"smpl", points)) + chunk(b"LIST", b"pdta" + hydra)
    return chunk(b"RIFF", body)


def main(argv):
    if len(argv) != 4:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    font_path, song, out_path = argv[1:]
    try:
        keys = song_keys(read_song(song))
        if not keys:
            raise Failure("the song strikes no note")
        with open(font_path, "rb") as f:
            info, smpl, tables = read_font(f.read())
        kept, points = subset(tables, smpl, keys)
        name = info.get(b"INAM", b"").split(b"\0")[0].decode("ascii", "replace") or font_path
        data = write_font(info, kept, points, name)
    except (OSError, Failure) as e:
        print("song_font.py: %s" % e, file=sys.stderr)
        return 1
    except (IndexError, KeyError, struct.error):
        print("song_font.py: %s is damaged" % font_path, file=sys.stderr)
        return 1
    with open(out_path + ".new", "wb") as f:
        f.write(data)
    os.replace(out_path + ".new", out_path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
