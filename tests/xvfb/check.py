#!/usr/bin/env python3
"""Looks at Tessera from outside: its data files, its capture.pcx and the X screen.

The tests under Xvfb call this with a subcommand. Everything it expects is
worked out from the data files in the run folder (--data), so any conforming
data set gives its own expectations: the pictures and palettes come from the
archive's members, the bar shades from the colour-map rows file.

Frames are compared in the demo's own terms: a 320x240 grid of colours, each
colour the 6-bit red, green and blue of a palette entry packed into one int.
The X screen shows each frame pixel as a 2x2 block at the top left (or, with
--view X,Y,SCALE, as a SCALE x SCALE block with the frame's corner at X,Y,
and black all around it); its 8-bit components divided by 4 give the 6-bit
palette values back exactly.
"""
import argparse
import ctypes
import os
import select
import struct
import subprocess
import sys
import threading
import time
import zlib

W, H = 320, 240
FIELD_H = 200  # rows 0..199 hold the dots, the tiles and the letters
VIEW = (0, 0, 2)  # where the frame lies on the X screen, and its enlargement

# Where the members lie in res.dat: (offset, length).
PICTURES = [(28178, 30141), (422835, 48168), (113306, 29764), (143070, 39651),
            (182721, 63070), (245794, 60422), (306216, 35218), (341434, 54495),
            (395929, 16318), (58319, 54987)]
INTRO_SOURCE = (412247, 5823)
SCROLL_SHEET = (0, 14249)
SONG = (471003, 34189)

# res_2.dat: per destination colour j, per picture n, six bytes; bytes 2..5
# are the shadow rows 75, 130, 175 and 225.
ROWS_GROUP, ROWS_BLOCK = 60, 6
SHADOW_BYTE = {75: 2, 130: 3, 175: 4, 225: 5}
BARS = [(0, 5, 75), (6, 10, 130), (11, 15, 175), (16, 20, 225),
        (300, 304, 225), (305, 309, 175), (310, 314, 130), (315, 319, 75)]

# The intro: the logo sits on rows 20..219; the light band covers x 22..299, y 96..126.
LOGO_TOP = 20
BAND = (22, 96, 299, 126)

# Home of the tile field: this rectangle is wholly covered by tiles at rest.
FIELD_INNER = (18, 10, 297, 187)
TEXT_ROWS = (205, 223)
DOT_COLOURS = list(range(224, 240)) + list(range(239, 223, -1)) + [224, 224]


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def pack(r, g, b):
    return (r << 12) | (g << 6) | b


def unpack(c):
    return (c >> 12) & 63, (c >> 6) & 63, c & 63


# ---------------------------------------------------------------- PCX files

def decode_pcx(data):
    """(width, height, pixels as rows of bytes, palette as 256 packed 6-bit colours),
    read the way the game library reads a PCX: row by row, then the palette after
    the first marker byte 12 that follows the pixels (a member may be padded)."""
    if len(data) < 128 or data[3] != 8 or data[65] != 1:
        raise ValueError("not an 8-bit single-plane PCX")
    xmin, ymin, xmax, ymax = struct.unpack_from("<4h", data, 4)
    stride = struct.unpack_from("<H", data, 66)[0]
    width, height = xmax - xmin + 1, ymax - ymin + 1
    if width <= 0 or height <= 0 or stride < width:
        raise ValueError("PCX of %dx%d with %d bytes a line" % (width, height, stride))
    rows = []
    at = 128
    for _ in range(height):
        row = bytearray()
        while len(row) < stride:
            c = data[at]
            at += 1
            if c & 0xC0 == 0xC0:
                row += bytes([data[at]]) * (c & 0x3F)
                at += 1
            else:
                row.append(c)
        rows.append(bytes(row[:width]))
    marker = data.find(b"\x0c", at)
    if marker < 0 or marker + 769 > len(data):
        raise ValueError("PCX without a 256-colour palette")
    raw = data[marker + 1:marker + 769]
    palette = [pack(raw[3 * i] >> 2, raw[3 * i + 1] >> 2, raw[3 * i + 2] >> 2) for i in range(256)]
    return width, height, rows, palette


def read_pcx(path):
    with open(path, "rb") as f:
        return decode_pcx(f.read())


class Data:
    """What a run folder's data files say the screen will show."""

    def __init__(self, folder):
        with open(os.path.join(folder, "res.dat"), "rb") as f:
            archive = f.read()
        with open(os.path.join(folder, "res_2.dat"), "rb") as f:
            self.rows = f.read()
        self.archive = archive
        self.pictures = []
        for offset, length in PICTURES:
            w, h, rows, pal = decode_pcx(archive[offset:offset + length])
            self.pictures.append((rows, pal))
        w, h, rows, pal = decode_pcx(archive[INTRO_SOURCE[0]:INTRO_SOURCE[0] + INTRO_SOURCE[1]])
        self.intro_palette = pal
        self.intro_logo = rows
        self.palette_sets = [set(p) for _, p in self.pictures]
        offset, length = SCROLL_SHEET
        w, h, rows, pal = decode_pcx(archive[offset:offset + length])
        self.glyph_colours = {v for row in rows for v in row if v}

    def shadow(self, n, row, dest):
        """Shadow map of picture n, given row, entry dest."""
        return self.rows[dest * ROWS_GROUP + n * ROWS_BLOCK + SHADOW_BYTE[row]]

    def bar_colours(self, n):
        """Per column x, the colour a bar shows over colour 0 in picture n (None: no bar)."""
        cols = [None] * W
        for x1, x2, c in BARS:
            for x in range(x1, x2 + 1):
                cols[x] = self.pictures[n][1][self.shadow(n, c, 0)]
        return cols

    def intro_expected(self):
        """The intro frame with every cell home, as packed colours (band excluded by callers)."""
        pal = self.intro_palette
        frame = [[pal[0]] * W for _ in range(H)]
        for y, row in enumerate(self.intro_logo[:200]):
            line = frame[y + LOGO_TOP]
            for x in range(W):
                v = row[x]
                if 1 <= v <= 31:
                    line[x] = pal[v]
        return frame


# ---------------------------------------------------------------- the X screen

def parse_xwd(data, check_doubling=True):
    """A root window dump as a 320x240 frame of packed colours, read where VIEW
    says; the second result says whether every frame pixel was a whole block."""
    fields = struct.unpack_from(">25I", data, 0)
    header_size, bpp, bytes_per_line = fields[0], fields[11], fields[12]
    width, height, byte_order, ncolors = fields[4], fields[5], fields[7], fields[19]
    vx, vy, k = VIEW
    if bpp != 32 or width < vx + k * W or height < vy + k * H or \
            (VIEW == (0, 0, 2) and (width, height) != (2 * W, 2 * H)):
        raise ValueError("unexpected screen: %dx%d at %d bits" % (width, height, bpp))
    at = header_size + 12 * ncolors
    lsb = byte_order == 0
    if VIEW != (0, 0, 2):
        check_border(data[at:at + height * bytes_per_line], width, height, bytes_per_line)
    frame = []
    whole = True
    step = 4 * k
    for y in range(H):
        top = at + (vy + k * y) * bytes_per_line + 4 * vx
        row = data[top: top + step * W]
        if check_doubling and whole:
            for j in range(1, k):
                below = at + (vy + k * y + j) * bytes_per_line + 4 * vx
                if data[below: below + step * W] != row:
                    whole = False
            for j in range(1, k):
                for c in range(3):
                    if row[c::step] != row[4 * j + c::step]:
                        whole = False
        if lsb:
            b, g, r = row[0::step], row[1::step], row[2::step]
        else:
            r, g, b = row[1::step], row[2::step], row[3::step]
        frame.append([((rr >> 2) << 12) | ((gg >> 2) << 6) | (bb >> 2)
                      for rr, gg, bb in zip(r, g, b)])
    return frame, whole


class NotBlackAround(Exception):
    """Something is shown around the enlarged frame: another window, a panel."""


def check_border(pixels, width, height, bytes_per_line):
    """Everything around the enlarged frame must be black."""
    vx, vy, k = VIEW
    right = vx + k * W
    for y in range(height):
        line = pixels[y * bytes_per_line: y * bytes_per_line + 4 * width]
        if vy <= y < vy + k * H:
            outside = line[:4 * vx] + line[4 * right:]
        else:
            outside = line
        if any(outside[0::4]) or any(outside[1::4]) or any(outside[2::4]):
            raise NotBlackAround("the screen is not black around the frame (row %d)" % y)


# With --frames, the screen is a folder of 640x480 PPM frames (the browser's
# canvas, taken by tests/web/page.mjs), each read once, in the order of their names.
FRAMES = None


def next_frame():
    """The oldest frame left in FRAMES, removed, as a dump of the X screen."""
    names = sorted(os.listdir(FRAMES))
    if not names:
        fail("the frames ran out")
    path = os.path.join(FRAMES, names[0])
    with open(path, "rb") as f:
        magic, size, depth, rgb = f.read().split(b"\n", 3)
    os.remove(path)
    width, height = (int(v) for v in size.split())
    if magic != b"P6" or depth != b"255" or len(rgb) != 3 * width * height:
        fail("%s is not a PPM frame" % path)
    pixels = bytearray(4 * width * height)
    pixels[0::4], pixels[1::4], pixels[2::4] = rgb[2::3], rgb[1::3], rgb[0::3]
    header = [0] * 25
    header[0], header[4], header[5], header[11], header[12] = 100, width, height, 32, 4 * width
    return struct.pack(">25I", *header) + bytes(pixels)


def going(start, seconds):
    """Whether a loop over screenshots goes on: while time is left, or frames."""
    if FRAMES:
        return bool(os.listdir(FRAMES))
    return time.monotonic() - start < seconds


def pause(seconds):
    if not FRAMES:
        time.sleep(seconds)


def grab(keep=None):
    """The X screen now, halved; with keep, the raw dump is saved there too."""
    if FRAMES:
        data = next_frame()
    else:
        data = subprocess.run(["xwd", "-root", "-silent"], check=True,
                              stdout=subprocess.PIPE).stdout
    if keep:
        with open(keep, "wb") as f:
            f.write(data)
    return parse_xwd(data)


def write_png(path, frame, scale=2):
    """Saves a frame of packed colours as an RGB PNG, each pixel scale x scale."""
    raw = bytearray()
    for row in frame:
        line = bytearray(b"\0")
        for c in row:
            r, g, b = unpack(c)
            line += bytes((r * 255 // 63, g * 255 // 63, b * 255 // 63)) * scale
        raw += bytes(line) * scale
    def chunk(name, body):
        return struct.pack(">I", len(body)) + name + body + \
            struct.pack(">I", zlib.crc32(name + body) & 0xFFFFFFFF)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(
        ">IIBBBBB", W * scale, H * scale, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# ---------------------------------------------------------------- what a frame shows

def is_black(frame):
    return all(c == 0 for row in frame for c in row)


def is_uniform(frame):
    first = frame[0][0]
    return all(c == first for row in frame for c in row)


def intro_match(frame, expected):
    """Fraction of the pixels outside the light band that equal the assembled logo."""
    x1, y1, x2, y2 = BAND
    same = total = 0
    for y in range(H):
        row, want = frame[y], expected[y]
        if y1 <= y <= y2:
            row, want = row[:x1] + row[x2 + 1:], want[:x1] + want[x2 + 1:]
        total += len(row)
        same += sum(a == b for a, b in zip(row, want))
    return same / total


def bottom_band_match(frame, data, n):
    """Fraction of the rows below the text (224..239) that show picture n's colour 0,
    shaded by its bars at both ends. Rows 200..223 can hold tiles that strayed
    down and the text."""
    pal0 = data.pictures[n][1][0]
    bars = data.bar_colours(n)
    same = total = 0
    for y in range(TEXT_ROWS[1] + 1, H):
        row = frame[y]
        for x in range(W):
            want = bars[x] if bars[x] is not None else pal0
            same += row[x] == want
            total += 1
    return same / total


def field_match(frame, data, n):
    """Fraction of the always-covered field rectangle that shows picture n in place."""
    rows = data.pictures[n][0]
    pal = data.pictures[n][1]
    x1, y1, x2, y2 = FIELD_INNER
    same = total = 0
    for y in range(y1, y2 + 1):
        row, src = frame[y], rows[y]
        for x in range(x1, x2 + 1):
            same += row[x] == pal[src[x]]
            total += 1
    return same / total


def which_picture(frame, data):
    """The picture on show, or None (intro, flash, fade). Every colour on screen must
    be one of the picture's palette, the margins must show its dot ramp, and the
    bottom band its colour 0 shaded by its bars."""
    counts = {}
    for row in frame:
        for c in row:
            counts[c] = counts.get(c, 0) + 1
    best, best_score = None, 0.0
    for n in range(len(data.pictures)):
        colours = data.palette_sets[n]
        inside = sum(k for c, k in counts.items() if c in colours)
        if inside < 0.999 * W * H or bottom_band_match(frame, data, n) < 0.995:
            continue
        phase, dots, free = dots_check(frame, data, n)
        # Tiles that stray into the margins hide some of the dots.
        if dots < 0.5:
            continue
        score = dots + field_match(frame, data, n)
        if score > best_score:
            best, best_score = n, score
    return best


def margin_places():
    """The dot places and the places between them in the margins that the field
    leaves free at rest: x 0..3, x 308..319 and rows 0..1 of rows 0..199."""
    margin = [(x, y) for y in range(FIELD_H) for x in range(W) if x < 4 or x > 307 or y < 2]
    dots = {}
    for x, y in margin:
        if not x % 2 and not y % 2:
            dots.setdefault(y, []).append(x)
    between = [(x, y) for x, y in margin if x % 2 or y % 2]
    return dots, between


MARGIN_DOTS, MARGIN_BETWEEN = margin_places()


def dot_colour(y, phase):
    i = y + phase
    if i > 200:
        i -= 200
    return DOT_COLOURS[i // 6]


def dots_check(frame, data, n):
    """In the margins around the field: (phase, fraction of dot places that show the
    ramp at that phase, fraction of the places between dots that show colour 0)."""
    pal = data.pictures[n][1]
    free = sum(frame[y][x] == pal[0] for x, y in MARGIN_BETWEEN) / len(MARGIN_BETWEEN)
    # All dots of a row share one colour: the row's commonest colour stands for it.
    rows = []
    total = 0
    for y, xs in MARGIN_DOTS.items():
        seen = {}
        for x in xs:
            seen[frame[y][x]] = seen.get(frame[y][x], 0) + 1
        colour = max(seen, key=seen.get)
        rows.append((y, colour, seen[colour]))
        total += len(xs)
    best = (0, 0.0)
    for phase in range(200):
        same = sum(k for y, colour, k in rows if colour == pal[dot_colour(y, phase)])
        if same > best[1]:
            best = (phase, same)
    return best[0], best[1] / total, free


def bar_shading(frame, data, n):
    """Over the text, in rows 211..223 (below any tile that strays down): (fraction
    of the bar pixels that are a shade of the background or of a glyph colour
    through the bar's row of the shadows map, number that shade a glyph)."""
    pal = data.pictures[n][1]
    right = shaded = total = 0
    for x1, x2, c in BARS:
        plain = pal[data.shadow(n, c, 0)]
        allowed = {pal[data.shadow(n, c, d)] for d in data.glyph_colours} | {plain}
        for y in range(211, TEXT_ROWS[1] + 1):
            for x in range(x1, x2 + 1):
                v = frame[y][x]
                total += 1
                right += v in allowed
                shaded += v in allowed and v != plain
    return right / total, shaded


def text_ink(frame, data, n):
    """Pixels of the text rows, between the bars, that are not colour 0."""
    pal0 = data.pictures[n][1][0]
    return sum(frame[y][x] != pal0 for y in range(TEXT_ROWS[0], TEXT_ROWS[1] + 1)
               for x in range(21, 300))


def classify(frame, data, expected_intro):
    """'black', 'main N', 'intro' (the logo, whole or assembling) or 'other' (a flash,
    a fade, a frame torn by a palette change)."""
    if is_black(frame):
        return "black"
    n = which_picture(frame, data)
    if n is not None:
        return "main %d" % n
    pal = set(data.intro_palette)
    if all(c in pal for row in frame for c in row) and \
            intro_match(frame, expected_intro) > 0.5:
        return "intro"
    return "other"


def brightness(frame):
    total = 0
    for row in frame[::4]:
        for c in row[::4]:
            r, g, b = unpack(c)
            total += r + g + b
    return total / (3 * 63 * len(frame[::4]) * len(frame[0][::4]))


# ---------------------------------------------------------------- the program

def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    # A zombie has ended too.
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().split(")")[-1].split()[0] != "Z"
    except OSError:
        return False


class Writes:
    """Counts the times a file in a folder is written (inotify): written and
    closed under its name, or written under another and renamed to it."""
    IN_OPEN, IN_CLOSE_WRITE, IN_MOVED_TO = 0x20, 0x08, 0x80

    def __init__(self, folder, name):
        self.libc = ctypes.CDLL(None, use_errno=True)
        self.fd = self.libc.inotify_init1(os.O_NONBLOCK)
        if self.fd < 0:
            fail("inotify is not available")
        # Watching opens too keeps two closes from merging into one event.
        if self.libc.inotify_add_watch(self.fd, folder.encode(),
                                       self.IN_OPEN | self.IN_CLOSE_WRITE |
                                       self.IN_MOVED_TO) < 0:
            fail("cannot watch " + folder)
        self.name = name.encode()
        self.times = []

    def poll(self, seconds):
        end = time.monotonic() + seconds
        while True:
            left = end - time.monotonic()
            if left <= 0:
                return
            if not select.select([self.fd], [], [], left)[0]:
                continue
            buf = os.read(self.fd, 65536)
            now = time.monotonic()
            at = 0
            while at < len(buf):
                wd, mask, cookie, size = struct.unpack_from("iIII", buf, at)
                name = buf[at + 16:at + 16 + size].rstrip(b"\0")
                at += 16 + size
                if mask & (self.IN_CLOSE_WRITE | self.IN_MOVED_TO) and name == self.name:
                    self.times.append(now)


# ---------------------------------------------------------------- subcommands

def cmd_wait(args, data):
    """Waits until the screen shows the given state; prints the seconds it took."""
    start = time.monotonic()
    expected = data.intro_expected()
    last = None
    while going(start, args.timeout):
        if args.pid and not alive(args.pid):
            fail("the program ended while waiting for '%s' (last seen: %s)" % (args.state, last))
        try:
            frame, _ = grab()
        except NotBlackAround as e:
            # On a desktop the window may not yet cover it.
            last = str(e)
            pause(args.interval)
            continue
        if args.state == "shown":
            # The program's first frame: the intro, or the main part if the
            # intro was missed.
            last = "uniform" if is_uniform(frame) else classify(frame, data, expected)
            ok = last == "intro" or last.startswith("main ")
        elif args.state == "flash":
            light = brightness(frame)
            last = "brightness %.2f" % light
            ok = light > 0.5 and which_picture(frame, data) is None
        elif args.state == "logo":
            score = intro_match(frame, expected)
            last = "intro %.3f" % score
            ok = score == 1.0
        else:
            last = classify(frame, data, expected)
            ok = last == args.state or (args.state == "main" and last.startswith("main "))
        if ok:
            if args.logo_fraction:
                print("%.2f %.4f" % (time.monotonic() - start, intro_match(frame, expected)))
            else:
                print("%.2f" % (time.monotonic() - start))
            if args.png:
                write_png(args.png, frame)
            return
        pause(args.interval)
    fail("the screen did not show '%s' within %.0f s (last seen: %s)" %
         (args.state, args.timeout, last))


def cmd_classify(args, data):
    frame, doubled = grab(args.keep)
    print(classify(frame, data, data.intro_expected()))


def cmd_differs(args, data):
    """Two screenshots a moment apart differ: the picture moves."""
    first, _ = grab()
    time.sleep(args.gap)
    second, _ = grab()
    if first == second:
        fail("the screen stood still for %.1f s" % args.gap)


def cmd_intro(args, data):
    """The assembled logo: rows 20..219 show the logo picture's cells in their colours,
    every other pixel outside the light band is colour 0; the screen is doubled."""
    expected = data.intro_expected()
    for _ in range(10):
        frame, doubled = grab(args.keep)
        if doubled:
            break
    else:
        fail("the intro frame is not shown with each pixel doubled")
    score = intro_match(frame, expected)
    if score != 1.0:
        bad = [(x, y) for y in range(H) for x in range(W)
               if frame[y][x] != expected[y][x] and not (
                   BAND[1] <= y <= BAND[3] and BAND[0] <= x <= BAND[2])]
        fail("the intro frame differs from the assembled logo at %d pixels, first %s" %
             (len(bad), bad[:5]))
    pal0 = data.intro_palette[0]
    for y in list(range(LOGO_TOP)) + list(range(LOGO_TOP + 200, H)):
        if any(c != pal0 for c in frame[y]):
            fail("row %d of the intro is not empty" % y)
    ink = sum(c != pal0 for row in frame[LOGO_TOP:LOGO_TOP + 200] for c in row)
    if ink == 0:
        fail("the logo rows are empty")
    print("logo ok: %d pixels of ink" % ink)


def cmd_main(args, data):
    """The main part's layers, over some seconds of screenshots: the bars and the plain
    rows of the bottom band in every frame; the dot ramp in the margins; the field
    showing the picture in place once it rests; the text line."""
    n = args.picture
    start = time.monotonic()
    frames = torn = shaded = 0
    best_field = best_dots = 0.0
    best_free = 0.0
    text = 0
    phases = []
    if args.pcx:
        # Space may have been pressed before the picture came on show.
        grab_capture(args.pcx, data.pictures[n][1], timeout=20)
        start = time.monotonic()
    while going(start, args.seconds):
        frame, doubled = grab_capture(args.pcx, data.pictures[n][1]) if args.pcx else grab()
        # The screen is updated line by line, so a dump can catch two frames.
        torn += not doubled
        band = bottom_band_match(frame, data, n)
        if band != 1.0:
            fail("the bottom band of picture %d is wrong (%.3f of its plain pixels right)"
                 % (n, band))
        phase, dots, free = dots_check(frame, data, n)
        # Tiles that stray into the margins hide dots for a while.
        if min(dots, free) > min(best_dots, best_free):
            best_dots, best_free = dots, free
        if dots > 0.9:
            phases.append(phase)
        best_field = max(best_field, field_match(frame, data, n))
        text = max(text, text_ink(frame, data, n))
        bars, covered = bar_shading(frame, data, n)
        if bars != 1.0:
            fail("the bars do not shade the text through picture %d's shadows map" % n)
        shaded += covered
        frames += 1
        pause(args.interval)
    print("frames %d (%d torn), dots %.3f, field %.3f, text %d, shaded %d, phases %s" %
          (frames, torn, best_dots, best_field, text, shaded, phases))
    if torn > frames / 2:
        fail("the main part's frames are not shown with each pixel doubled")
    if best_dots < 0.98 or best_free < 0.98:
        fail("the margins never showed the dot ramp (dots %.3f, places between %.3f)"
             % (best_dots, best_free))
    if len(set(phases)) < 2:
        fail("the dot ramp does not scroll")
    if best_field < args.field:
        fail("the field never showed picture %d in place (best %.3f)" % (n, best_field))
    if text == 0:
        fail("the text line never showed")
    if shaded == 0:
        fail("the text never passed under the bars")


def cmd_monitor(args, data):
    """Writes what the screen shows, with times, until the program ends."""
    expected = data.intro_expected()
    start = time.monotonic()
    with open(args.out, "w") as out:
        while alive(args.pid):
            frame, _ = grab()
            state = classify(frame, data, expected)
            out.write("%.2f %s %.3f\n" % (time.monotonic() - start, state.replace(" ", "_"),
                                          brightness(frame)))
            out.flush()
            time.sleep(args.interval)


def cmd_timeline(args, data):
    """Checks a monitor log: the intro, then pictures 0..9 in order, each on show for
    1569 ticks (26.15 s), a flash near white after each change, then the end."""
    entries = []
    with open(args.log) as f:
        for line in f:
            t, state, light = line.split()
            entries.append((float(t), state, float(light)))
    pictures = [int(s[5:]) for _, s, _ in entries if s.startswith("main_")]
    order = [n for i, n in enumerate(pictures) if i == 0 or pictures[i - 1] != n]
    if order != list(range(10)):
        fail("the pictures came in the order %s" % order)
    intro = [t for t, s, _ in entries if s == "intro"]
    first = min(t for t, s, _ in entries if s == "main_0")
    if not intro or max(intro) > first:
        fail("the intro was not seen before the main part")
    # A change falls between the last sample of one picture and the next sample.
    changes = []
    for n in range(9):
        i = max(i for i, e in enumerate(entries) if e[1] == "main_%d" % n)
        changes.append((entries[i][0] + entries[i + 1][0]) / 2)
    last = max(t for t, s, _ in entries if s == "main_9")
    spans = [changes[0] - first] + [b - a for a, b in zip(changes, changes[1:])] + \
        [last - changes[-1]]
    print("pictures on show for: %s s" % " ".join("%.2f" % g for g in spans))
    for n, span in enumerate(spans):
        if args.open_end and n == 9 and span > 1569 / 60:
            continue
        if abs(span - 1569 / 60) > args.tolerance:
            fail("picture %d was on show %.2f s, not %.2f" % (n, span, 1569 / 60))
    for n, change in enumerate(changes):
        light = max([l for t, s, l in entries if change <= t < change + 2.5 and s == "other"]
                    or [0])
        if light < 0.6:
            fail("no flash near white after the change to picture %d (brightest %.2f)" %
                 (n + 1, light))
    print("intro seen for %.2f s, main part for %.2f s" % (first - min(intro), last - first))


def cmd_count_writes(args, data):
    """Counts the rewrites of a file over the given seconds; prints writes per second."""
    watch = Writes(args.folder, args.name)
    watch.poll(args.seconds)
    print("%.1f" % (len(watch.times) / args.seconds))


def cmd_pcx(args, data):
    """A screenshot file: 320x240, with the palette of the given part. The file may
    be rewritten meanwhile; a whole version of it is waited for."""
    start = time.monotonic()
    while True:
        try:
            w, h, rows, pal = read_pcx(args.file)
            break
        except (OSError, ValueError, IndexError, struct.error) as e:
            if time.monotonic() - start > 3:
                fail("%s could not be read: %s" % (args.file, e))
            time.sleep(0.01)
    if (w, h) != (W, H):
        fail("%s is %dx%d, not %dx%d" % (args.file, w, h, W, H))
    want = data.intro_palette if args.palette == "intro" else \
        data.pictures[int(args.palette)][1]
    if pal != want:
        diff = [i for i in range(256) if pal[i] != want[i]]
        fail("%s has not the palette of %s (entries %s differ)" %
             (args.file, args.palette, diff[:8]))
    print("%s: 320x240 with the palette of %s" % (args.file, args.palette))


def read_capture(path):
    """The screenshot file as a decoded frame of packed colours, or None while it
    is being rewritten."""
    try:
        with open(path, "rb") as f:
            w, h, rows, pal = decode_pcx(f.read())
    except (OSError, ValueError, IndexError, struct.error):
        return None
    if (w, h) != (W, H):
        return None
    return [[pal[v] for v in row] for row in rows], pal


def grab_capture(path, palette, timeout=3):
    """The frame in the screenshot file, as grab gives the screen's, once the
    file holds a frame in `palette`."""
    start = time.monotonic()
    while time.monotonic() - start < timeout:
        got = read_capture(path)
        if got and got[1] == palette:
            return got[0], True
        time.sleep(0.01)
    fail("%s held no frame in the expected palette within %.0f s" % (path, timeout))


def cmd_capture_matches(args, data):
    """While Space is held the screenshot file follows the screen: at some moment the
    file, shown through its own palette, equals the X screen halved. The file is read
    over and over while the screen is dumped, so that one of its versions is the
    frame on show at the moment of the dump."""
    best = 0.0
    start = time.monotonic()
    while time.monotonic() - start < args.seconds:
        versions = []
        dump = subprocess.Popen(["xwd", "-root", "-silent"], stdout=subprocess.PIPE)
        reader = threading.Thread(target=lambda: versions.append(
            dump.stdout.read()))
        reader.start()
        raw = []
        while reader.is_alive():
            try:
                with open(args.file, "rb") as f:
                    got = f.read()
            except OSError:
                continue
            if not raw or raw[-1] != got:
                raw.append(got)
        dump.wait()
        frame, _ = parse_xwd(versions[0])
        for got in raw:
            try:
                w, h, rows, pal = decode_pcx(got)
            except (ValueError, IndexError, struct.error):
                continue
            if (w, h) != (W, H):
                continue
            same = sum(pal[a] == b for ra, rb in zip(rows, frame) for a, b in zip(ra, rb))
            best = max(best, same / (W * H))
        if best == 1.0:
            print("capture equals the screen")
            return
    fail("the screenshot file never equalled the screen (best %.4f of the pixels)" % best)


def cmd_capture_palettes(args, data):
    """Reads the screenshot file again and again while Space is held across a picture
    change; each palette seen must be a picture's own, never a tinted one, even
    while the screen flashes. Stops some seconds after a change of palette, or
    after --seconds."""
    seen = []
    start = time.monotonic()
    known = {tuple(p[1]): n for n, p in enumerate(data.pictures)}
    reads = 0
    brightest = 0.0
    changed = start
    while time.monotonic() - start < args.seconds:
        if len(seen) > 1 and time.monotonic() - changed > args.after:
            break
        if args.flash:
            frame, _ = grab()
            brightest = max(brightest, brightness(frame))
        got = read_capture(args.file)
        if got is None:
            time.sleep(0.005)
            continue
        reads += 1
        n = known.get(tuple(got[1]))
        if n is None:
            fail("capture.pcx holds a palette that is no picture's own")
        if not seen or seen[-1] != n:
            seen.append(n)
            changed = time.monotonic()
            print("%.2f s: the palette of picture %d" % (time.monotonic() - start, n))
    print("palettes seen in order: %s over %d reads, brightest screen %.2f" %
          (seen, reads, brightest))
    want = [int(p) for p in args.expect.split(",")]
    if seen != want:
        fail("the screenshots had the palettes of pictures %s, not %s" % (seen, want))
    if args.flash and brightest < 0.6:
        fail("the screen never flashed (brightest %.2f)" % brightest)


def cmd_png(args, data):
    """Saves the X screen as a PNG."""
    frame, _ = grab()
    write_png(args.out, frame)


def cmd_member(args, data):
    """Exits 0 when a file holds exactly the given archive member."""
    offset, length = {"song": SONG, "intro": INTRO_SOURCE}[args.which]
    with open(args.file, "rb") as f:
        got = f.read()
    if got != data.archive[offset:offset + length]:
        fail("%s holds %d bytes, not the %s's %d" % (args.file, len(got), args.which, length))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", required=True, help="folder with res.dat and res_2.dat")
    parser.add_argument("--view", default="0,0,2",
                        help="X,Y,SCALE: where the frame lies on the screen, and its enlargement")
    parser.add_argument("--frames", help="a folder of PPM frames to read instead of the X screen")
    sub = parser.add_subparsers(dest="command", required=True)

    p = sub.add_parser("wait")
    p.add_argument("state", help="shown, logo, intro, main, 'main N', flash, black")
    p.add_argument("--png", help="save the frame that showed it here")
    p.add_argument("--logo-fraction", action="store_true",
                   help="print also how much of the frame equals the assembled logo")
    p.add_argument("--timeout", type=float, default=20)
    p.add_argument("--interval", type=float, default=0.05)
    p.add_argument("--pid", type=int)
    p.set_defaults(run=cmd_wait)

    p = sub.add_parser("classify")
    p.add_argument("--keep")
    p.set_defaults(run=cmd_classify)

    p = sub.add_parser("differs")
    p.add_argument("--gap", type=float, default=0.3)
    p.set_defaults(run=cmd_differs)

    p = sub.add_parser("intro")
    p.add_argument("--keep")
    p.set_defaults(run=cmd_intro)

    p = sub.add_parser("main")
    p.add_argument("--picture", type=int, default=0)
    p.add_argument("--seconds", type=float, default=6)
    p.add_argument("--interval", type=float, default=0.1)
    p.add_argument("--field", type=float, default=0.8)
    p.add_argument("--pcx", help="check the frames saved in this file instead of the screen")
    p.set_defaults(run=cmd_main)

    p = sub.add_parser("monitor")
    p.add_argument("--pid", type=int, required=True)
    p.add_argument("--out", required=True)
    p.add_argument("--interval", type=float, default=0.1)
    p.set_defaults(run=cmd_monitor)

    p = sub.add_parser("timeline")
    p.add_argument("log")
    p.add_argument("--tolerance", type=float, default=1.0)
    p.add_argument("--open-end", action="store_true",
                   help="the last picture may stay longer (Esc held over its end)")
    p.set_defaults(run=cmd_timeline)

    p = sub.add_parser("count-writes")
    p.add_argument("folder")
    p.add_argument("name")
    p.add_argument("--seconds", type=float, default=1.5)
    p.set_defaults(run=cmd_count_writes)

    p = sub.add_parser("pcx")
    p.add_argument("file")
    p.add_argument("palette", help="intro or a picture number")
    p.set_defaults(run=cmd_pcx)

    p = sub.add_parser("capture-matches")
    p.add_argument("file")
    p.add_argument("--seconds", type=float, default=3)
    p.set_defaults(run=cmd_capture_matches)

    p = sub.add_parser("capture-palettes")
    p.add_argument("file")
    p.add_argument("--seconds", type=float, required=True)
    p.add_argument("--expect", required=True, help="picture numbers in order, e.g. 0,1")
    p.add_argument("--flash", action="store_true", help="the screen must flash meanwhile")
    p.add_argument("--after", type=float, default=2,
                   help="stop this long after the palette changed")
    p.set_defaults(run=cmd_capture_palettes)

    p = sub.add_parser("png")
    p.add_argument("out")
    p.set_defaults(run=cmd_png)

    p = sub.add_parser("member")
    p.add_argument("file")
    p.add_argument("which", choices=["song", "intro"])
    p.set_defaults(run=cmd_member)

    args = parser.parse_args()
    global VIEW, FRAMES
    VIEW = tuple(int(v) for v in args.view.split(","))
    FRAMES = args.frames
    data = None if args.command in ("count-writes", "png", "capture-matches") \
        else Data(args.data)
    try:
        args.run(args, data)
    except NotBlackAround as e:
        fail(str(e))


if __name__ == "__main__":
    main()
