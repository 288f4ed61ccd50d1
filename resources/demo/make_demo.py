#!/usr/bin/env python3
"""Writes the bundled demo movie, nimbre.s: a 12-second loop at 25 frames per
second on a 960 x 540 stage. Gradients (linear, radial, in both colour
spaces), curves, transparency, nested sprites with their own timelines, a
morph and text drawn from glyph outlines authored here, and music: a
twelve-second arpeggio over a bass line that streams with the frames as
22 kHz ADPCM, so it starts again with the movie and loops without a seam.

Everything is computed from integers and rounded the same way on every run,
so the output is the same byte for byte.  Usage: make_demo.py OUTPUT
"""
import math
import struct
import sys

W, H = 960 * 20, 540 * 20  # stage in twips
FPS = 25
FRAMES = 300


class Bits:
    """Most-significant-first bit writer over a byte buffer."""

    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def ub(self, v, n):
        for i in range(n - 1, -1, -1):
            self.acc = (self.acc << 1) | ((v >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                self.acc = 0
                self.n = 0

    def sb(self, v, n):
        self.ub(v & ((1 << n) - 1), n)

    def align(self):
        if self.n:
            self.ub(0, 8 - self.n)

    def bytes(self, b):
        self.align()
        self.out += b

    def done(self):
        self.align()
        return bytes(self.out)


def sbits(*vals):
    n = 1
    for v in vals:
        need = (v.bit_length() + 1) if v >= 0 else ((~v).bit_length() + 1)
        n = max(n, need)
    return n


def ubits(*vals):
    return max([1] + [v.bit_length() for v in vals])


def rect(x0, x1, y0, y1):
    b = Bits()
    n = sbits(x0, x1, y0, y1)
    b.ub(n, 5)
    for v in (x0, x1, y0, y1):
        b.sb(v, n)
    return b.done()


def fixed(v):
    return int(round(v * 65536))


def matrix(a=1.0, b=0.0, c=0.0, d=1.0, tx=0, ty=0, bits=None):
    """SWF MATRIX: x' = a*x + c*y + tx, y' = b*x + d*y + ty."""
    own = bits is None
    if own:
        bits = Bits()
    if a != 1.0 or d != 1.0:
        sa, sd = fixed(a), fixed(d)
        n = sbits(sa, sd)
        bits.ub(1, 1)
        bits.ub(n, 5)
        bits.sb(sa, n)
        bits.sb(sd, n)
    else:
        bits.ub(0, 1)
    if b != 0.0 or c != 0.0:
        sb_, sc = fixed(b), fixed(c)
        n = sbits(sb_, sc)
        bits.ub(1, 1)
        bits.ub(n, 5)
        bits.sb(sb_, n)
        bits.sb(sc, n)
    else:
        bits.ub(0, 1)
    tx, ty = int(round(tx)), int(round(ty))
    n = sbits(tx, ty) if (tx or ty) else 0
    bits.ub(n, 5)
    if n:
        bits.sb(tx, n)
        bits.sb(ty, n)
    if own:
        return bits.done()
    return None


def rot(angle, scale=1.0, tx=0, ty=0, sx=None, sy=None):
    sx = scale if sx is None else sx
    sy = scale if sy is None else sy
    ca, sa = math.cos(angle), math.sin(angle)
    return matrix(ca * sx, sa * sx, -sa * sy, ca * sy, tx, ty)


def cxform_alpha(mult=(256, 256, 256, 256), add=(0, 0, 0, 0)):
    b = Bits()
    has_add = any(add)
    has_mult = any(m != 256 for m in mult)
    vals = (list(mult) if has_mult else []) + (list(add) if has_add else [])
    n = sbits(*vals) if vals else 1
    b.ub(1 if has_add else 0, 1)
    b.ub(1 if has_mult else 0, 1)
    b.ub(n, 4)
    if has_mult:
        for v in mult:
            b.sb(v, n)
    if has_add:
        for v in add:
            b.sb(v, n)
    return b.done()


def tag(code, body):
    if len(body) < 63 and code not in (2, 20, 22, 32, 36, 46, 10, 11, 39):
        return struct.pack('<H', (code << 6) | len(body)) + body
    return struct.pack('<HI', (code << 6) | 0x3F, len(body)) + body


def rgba(c):
    return bytes(c if len(c) == 4 else (*c, 255))


# ---- shapes ---------------------------------------------------------------

class Outline:
    """Shape records: paths of straight and curved edges in absolute twips."""

    def __init__(self, fill_bits, line_bits):
        self.fb, self.lb = fill_bits, line_bits
        self.b = Bits()
        self.b.ub(fill_bits, 4)
        self.b.ub(line_bits, 4)
        self.x = self.y = 0

    def move(self, x, y, fill0=None, fill1=None, line=None):
        b = self.b
        b.ub(0, 1)  # style change
        b.ub(0, 1)  # new styles
        b.ub(1 if line is not None else 0, 1)
        b.ub(1 if fill1 is not None else 0, 1)
        b.ub(1 if fill0 is not None else 0, 1)
        b.ub(1, 1)  # move to
        n = sbits(x, y)
        b.ub(n, 5)
        b.sb(x, n)
        b.sb(y, n)
        if fill0 is not None:
            b.ub(fill0, self.fb)
        if fill1 is not None:
            b.ub(fill1, self.fb)
        if line is not None:
            b.ub(line, self.lb)
        self.x, self.y = x, y
        return self

    def line(self, x, y):
        dx, dy = x - self.x, y - self.y
        b = self.b
        n = max(2, sbits(dx, dy))
        b.ub(1, 1)
        b.ub(1, 1)
        b.ub(n - 2, 4)
        b.ub(1, 1)  # general line
        b.sb(dx, n)
        b.sb(dy, n)
        self.x, self.y = x, y
        return self

    def curve(self, cx, cy, x, y):
        cdx, cdy, adx, ady = cx - self.x, cy - self.y, x - cx, y - cy
        b = self.b
        n = max(2, sbits(cdx, cdy, adx, ady))
        b.ub(1, 1)
        b.ub(0, 1)
        b.ub(n - 2, 4)
        for v in (cdx, cdy, adx, ady):
            b.sb(v, n)
        self.x, self.y = x, y
        return self

    def done(self):
        self.b.ub(0, 6)  # end of shape
        return self.b.done()


def solid(c):
    return b'\x00' + rgba(c)


def gradient(kind, mtx, stops, spread=0, interp=0):
    body = bytes([kind]) + mtx
    b = Bits()
    b.ub(spread, 2)
    b.ub(interp, 2)
    b.ub(len(stops), 4)
    body += b.done()
    for ratio, c in stops:
        body += bytes([ratio]) + rgba(c)
    return body


def define_shape3(sid, bounds, fills, lines, outline):
    body = struct.pack('<H', sid) + rect(*bounds)
    body += bytes([len(fills)]) + b''.join(fills)
    body += bytes([len(lines)]) + b''.join(struct.pack('<H', w) + rgba(c) for w, c in lines)
    return tag(32, body + outline)


def circle_path(o, cx, cy, r, fill0=None, fill1=None, line=None):
    """Eight quadratic arcs."""
    k = math.tan(math.pi / 8)
    pts = []
    for i in range(8):
        a0 = i * math.pi / 4
        a1 = (i + 1) * math.pi / 4
        am = (a0 + a1) / 2
        rc = r / math.cos(math.pi / 8)
        pts.append((cx + rc * math.cos(am), cy + rc * math.sin(am), cx + r * math.cos(a1), cy + r * math.sin(a1)))
    o.move(int(round(cx + r)), int(round(cy)), fill0=fill0, fill1=fill1, line=line)
    for (qx, qy, x, y) in pts:
        o.curve(int(round(qx)), int(round(qy)), int(round(x)), int(round(y)))
    del k


def petal_outline():
    o = Outline(1, 1)
    o.move(0, 0, fill1=1, line=1)
    o.curve(900, -900, 0, -2400)
    o.curve(-900, -900, 0, 0)
    return o.done()


# ---- font: blocky capitals on a 1024 em, baseline at y = 0 ----------------

def glyph(contours):
    """Contours of (op, points) in em units (y up is negative)."""
    o = Outline(1, 0)
    for contour in contours:
        first = True
        for item in contour:
            if first:
                o.move(item[0], item[1], fill1=1)
                first = False
            elif len(item) == 2:
                o.line(*item)
            else:
                o.curve(*item)
    return o.done()


def box(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1), (x0, y0)]


GLYPHS = {
    'N': [[(80, 0), (80, -720), (220, -720), (480, -260), (480, -720), (600, -720), (600, 0), (460, 0),
           (200, -460), (200, 0), (80, 0)]],
    'I': [box(80, -720, 220, 0)],
    'M': [[(70, 0), (70, -720), (220, -720), (360, -380), (500, -720), (650, -720), (650, 0), (530, 0),
           (530, -480), (400, -180), (320, -180), (190, -480), (190, 0), (70, 0)]],
    'B': [[(80, 0), (80, -720), (360, -720), (560, -720, 560, -545), (560, -420, 450, -380),
           (600, -340, 600, -200), (600, 0, 380, 0), (80, 0)],
          [(210, -430), (340, -430), (430, -430, 430, -510), (430, -600, 340, -600), (210, -600), (210, -430)],
          [(210, -120), (360, -120), (460, -120, 460, -210), (460, -310, 360, -310), (210, -310), (210, -120)]],
    'R': [[(80, 0), (80, -720), (380, -720), (580, -720, 580, -520), (580, -360, 430, -330), (610, 0),
           (470, 0), (300, -320), (210, -320), (210, 0), (80, 0)],
          [(210, -430), (350, -430), (450, -430, 450, -520), (450, -610, 350, -610), (210, -610), (210, -430)]],
    'E': [[(80, 0), (80, -720), (560, -720), (560, -600), (210, -600), (210, -430), (500, -430), (500, -310),
           (210, -310), (210, -120), (570, -120), (570, 0), (80, 0)]],
}
ADVANCE = {'N': 680, 'I': 300, 'M': 720, 'B': 650, 'R': 650, 'E': 620}
ORDER = 'NIMBRE'


def define_font(fid):
    shapes = [glyph(GLYPHS[ch]) for ch in ORDER]
    offsets = []
    pos = 2 * len(shapes)
    for s in shapes:
        offsets.append(pos)
        pos += len(s)
    body = struct.pack('<H', fid) + b''.join(struct.pack('<H', o) for o in offsets) + b''.join(shapes)
    return tag(10, body)


def define_text(tid, fid, text, height, color):
    scale = height / 1024
    advances = [int(round(ADVANCE[ch] * scale)) for ch in text]
    width = sum(advances)
    body = struct.pack('<H', tid) + rect(0, width, -height, int(height * 0.2)) + matrix()
    gbits = ubits(len(ORDER) - 1)
    abits = sbits(*advances)
    body += bytes([gbits, abits])
    b = Bits()
    b.ub(1, 1)
    b.ub(0, 3)
    b.ub(1, 1)  # has font
    b.ub(1, 1)  # has colour
    b.ub(1, 1)  # has y offset
    b.ub(1, 1)  # has x offset
    body += b.done() + struct.pack('<H', fid) + bytes(color[:3]) + struct.pack('<hhH', 0, 0, height)
    body += bytes([len(text)])
    b = Bits()
    for ch, adv in zip(text, advances):
        b.ub(ORDER.index(ch), gbits)
        b.sb(adv, abits)
    body += b.done() + b'\x00'
    return tag(11, body), width


# ---- morph ------------------------------------------------------------------

def morph_edges(points):
    o = Outline(1, 1)
    x0, y0 = points[0][2], points[0][3]
    o.move(x0, y0, fill0=None, fill1=1, line=1)
    for i in range(1, len(points)):
        qx, qy, x, y = points[i]
        o.curve(qx, qy, x, y)
    qx, qy, _, _ = points[0]
    o.curve(qx, qy, x0, y0)
    return o.done()


def morph_shape(mid):
    n = 10
    start, end = [], []
    for i in range(n):
        a = 2 * math.pi * i / n - math.pi / 2
        am = a - math.pi / n
        # start: a round-cornered decagon; end: a ten-pointed star
        r0, r1 = 1500, 1900
        start.append((int(round(r0 * 1.05 * math.cos(am))), int(round(r0 * 1.05 * math.sin(am))),
                      int(round(r0 * math.cos(a))), int(round(r0 * math.sin(a)))))
        end.append((int(round(700 * math.cos(am))), int(round(700 * math.sin(am))),
                    int(round(r1 * math.cos(a))), int(round(r1 * math.sin(a)))))
    fills = b'\x12' + matrix(0.12, 0, 0, 0.12) + matrix(0.14, 0, 0, 0.14)
    stops = [((0, (255, 240, 120, 255)), (0, (120, 255, 240, 255))),
             ((255, (230, 60, 90, 255)), (255, (40, 90, 230, 230)))]
    fills += bytes([len(stops)])
    for (r0_, c0), (r1_, c1) in stops:
        fills += bytes([r0_]) + rgba(c0) + bytes([r1_]) + rgba(c1)
    lines = struct.pack('<HH', 40, 80) + rgba((255, 255, 255, 200)) + rgba((255, 255, 255, 90))
    start_edges = morph_edges(start)
    end_edges = morph_edges(end)
    rest = bytes([1]) + fills + bytes([1]) + lines + start_edges
    body = struct.pack('<H', mid) + rect(-2000, 2000, -2000, 2000) + rect(-2000, 2000, -2000, 2000)
    body += struct.pack('<I', len(rest) - len(start_edges) + len(start_edges)) + rest + end_edges
    return tag(46, body)


# ---- timeline -----------------------------------------------------------------

def place2(depth, cid=None, mtx=None, cx=None, ratio=None, move=False, clip=None):
    flags = (0x40 if clip is not None else 0) | (0x10 if ratio is not None else 0) | \
            (0x08 if cx is not None else 0) | (0x04 if mtx is not None else 0) | \
            (0x02 if cid is not None else 0) | (0x01 if move else 0)
    body = bytes([flags]) + struct.pack('<H', depth)
    if cid is not None:
        body += struct.pack('<H', cid)
    if mtx is not None:
        body += mtx
    if cx is not None:
        body += cx
    if ratio is not None:
        body += struct.pack('<H', ratio)
    if clip is not None:
        body += struct.pack('<H', clip)
    return tag(26, body)


SHOW = tag(1, b'')
END = tag(0, b'')


def sprite(sid, frames):
    body = struct.pack('<HH', sid, len(frames))
    for f in frames:
        body += b''.join(f) + SHOW
    return tag(39, body + END)


RATE = 22050                    # music sample rate
PER_FRAME = RATE // FPS         # samples per frame: 882
SAMPLES = PER_FRAME * FRAMES    # the whole loop


def music():
    """The loop's samples: an eighth-note arpeggio over a bass note per bar,
    C Am F G F G at 120 beats a minute. Every note is written round the loop
    (its tail past the end rings on at the start), so the loop has no seam."""
    out = [0.0] * SAMPLES
    bars = [48, 45, 41, 43, 41, 43]       # bass roots, MIDI numbers
    shapes = [(0, 4, 7), (0, 3, 7), (0, 4, 7), (0, 4, 7), (0, 4, 7), (0, 4, 7)]
    steps = [0, 1, 2, 4, 3, 2, 1, 2]      # chord tones, counted upward
    eighths = 8 * len(bars)

    def note(start, midi, seconds, level, decay):
        freq = 440.0 * 2 ** ((midi - 69) / 12)
        w = 2 * math.pi * freq / RATE
        for i in range(int(seconds * RATE)):
            env = min(1.0, i / 220.0) * math.exp(-decay * i / RATE)
            out[(start + i) % SAMPLES] += level * env * (math.sin(w * i) + 0.3 * math.sin(2 * w * i))

    for k in range(eighths):
        bar = k // 8
        root, shape = bars[bar] + 24, shapes[bar]
        tone = steps[k % 8]
        midi = root + shape[tone % 3] + 12 * (tone // 3)
        note(k * SAMPLES // eighths, midi, 0.9, 0.30, 5.0)
    for b, root in enumerate(bars):
        note(b * SAMPLES // len(bars), root, 2.6, 0.45, 1.2)
    peak = max(abs(v) for v in out)
    return [int(round(v * 12000 / peak)) for v in out]


ADPCM_STEPS = [
    7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 21, 23, 25, 28, 31, 34, 37, 41, 45, 50, 55, 60, 66, 73, 80, 88, 97,
    107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307, 337, 371, 408, 449, 494, 544, 598, 658, 724, 796,
    876, 963, 1060, 1166, 1282, 1411, 1552, 1707, 1878, 2066, 2272, 2499, 2749, 3024, 3327, 3660, 4026, 4428,
    4871, 5358, 5894, 6484, 7132, 7845, 8630, 9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350,
    22385, 24623, 27086, 29794, 32767]
ADPCM_MOVES = [-1, -1, -1, -1, 2, 4, 6, 8]


def adpcm_block(samples, index):
    """One stream block of 4-bit mono ADPCM; returns it and the index after."""
    b = Bits()
    b.ub(2, 2)  # 4-bit codes
    pred = samples[0]
    b.sb(pred, 16)
    b.ub(index, 6)
    for s in samples[1:]:
        step, diff, code, delta = ADPCM_STEPS[index], s - pred, 0, 0
        if diff < 0:
            code, diff = 8, -diff
        for k in (4, 2, 1):
            if diff >= step:
                code |= k
                diff -= step
                delta += step
            step >>= 1
        delta += step
        pred = max(-32768, min(32767, pred - delta if code & 8 else pred + delta))
        index = max(0, min(88, index + ADPCM_MOVES[code & 7]))
        b.ub(code, 4)
    return b.done(), index


def music_blocks():
    samples = music()
    blocks, index = [], 0
    for f in range(FRAMES):
        block, index = adpcm_block(samples[f * PER_FRAME:(f + 1) * PER_FRAME], index)
        blocks.append(tag(19, block))
    return blocks


def build():
    tags = []
    tags.append(tag(9, bytes((12, 16, 40))))  # background colour
    # The music's stream: ADPCM, 22 kHz, 16-bit, mono, a block per frame.
    stream_format = (1 << 4) | (2 << 2) | (1 << 1)
    tags.append(tag(45, bytes((stream_format & 0x0F, stream_format)) + struct.pack('<H', PER_FRAME)))
    blocks = music_blocks()

    # 1: the sky, a vertical linear gradient interpolated in linear light
    o = Outline(1, 0)
    o.move(0, 0, fill1=1).line(W, 0).line(W, H).line(0, H).line(0, 0)
    sky = gradient(0x10, matrix(0, H / 32768, -W / 32768 * 0 - H / 32768, 0, W // 2, H // 2),
                   [(0, (14, 20, 60)), (140, (60, 30, 100)), (255, (200, 90, 90))], interp=1)
    tags.append(define_shape3(1, (0, W, 0, H), [sky], [], o.done()))

    # 2: a glow, a radial gradient fading to transparent
    o = Outline(1, 0)
    circle_path(o, 0, 0, 4000, fill1=1)
    glow = gradient(0x12, matrix(4000 / 16384, 0, 0, 4000 / 16384),
                    [(0, (255, 220, 150, 170)), (120, (255, 140, 80, 70)), (255, (255, 80, 60, 0))])
    tags.append(define_shape3(2, (-4000, 4000, -4000, 4000), [glow], [], o.done()))

    # 3: a petal with a reflected linear gradient and a thin outline
    petal = gradient(0x10, matrix(0, -1200 / 32768, 1200 / 32768, 0, 0, -1200),
                     [(0, (255, 120, 170, 235)), (255, (255, 230, 120, 235))], spread=1)
    tags.append(define_shape3(3, (-500, 500, -2450, 50), [petal], [(20, (120, 20, 60, 255))], petal_outline()))

    # 4: the flower's heart
    o = Outline(1, 1)
    circle_path(o, 0, 0, 420, fill1=1, line=1)
    heart = gradient(0x12, matrix(420 / 16384, 0, 0, 420 / 16384, -120, -120),
                     [(0, (255, 250, 200)), (255, (240, 150, 20))])
    tags.append(define_shape3(4, (-440, 440, -440, 440), [heart], [(30, (90, 40, 10, 255))], o.done()))

    # 5: a translucent wave, two wavelengths wide so it can slide by one
    o = Outline(1, 0)
    wl = W // 2
    o.move(-wl, 1200, fill1=1)
    for i in range(6):
        x = -wl + (i + 1) * wl // 2
        cy = 2000 if i % 2 == 0 else 400
        o.curve(x - wl // 4, cy, x, 1200)
    o.line(W + wl // 2, 3400).line(-wl, 3400).line(-wl, 1200)
    tags.append(define_shape3(5, (-wl, W + wl, 300, 3400), [solid((80, 200, 255, 90))], [], o.done()))

    # 10: a flower, six petals turning once every 60 frames (its own timeline)
    frames = []
    for f in range(60):
        spin = 2 * math.pi * f / 60
        if f == 0:
            fr = [place2(1 + i, 3, rot(spin + i * math.pi / 3)) for i in range(6)]
            fr.append(place2(7, 4, matrix()))
        else:
            fr = [place2(1 + i, None, rot(spin + i * math.pi / 3), move=True) for i in range(6)]
        frames.append(fr)
    tags.append(sprite(10, frames))

    # 11: three flowers orbiting (sprites inside a sprite), one turn per 100 frames
    frames = []
    for f in range(100):
        a = 2 * math.pi * f / 100
        fr = []
        for i in range(3):
            ang = a + i * 2 * math.pi / 3
            m = rot(-a, 0.55, 2600 * math.cos(ang), 2600 * math.sin(ang))
            tint = cxform_alpha(add=(0, 40 * i, 60 - 30 * i, 0))
            fr.append(place2(1 + i, 10 if f == 0 else None, m, tint if f == 0 else None, move=f != 0))
        frames.append(fr)
    tags.append(sprite(11, frames))

    # 20: the morph, decagon to star
    tags.append(morph_shape(20))

    # 30, 31: the font and the title
    tags.append(define_font(30))
    text_tag, text_width = define_text(31, 30, 'NIMBRE', 1800, (255, 255, 255))
    tags.append(text_tag)

    # main timeline
    for f in range(FRAMES):
        t = f / FRAMES
        two_pi_t = 2 * math.pi * t
        fr = []
        g1 = matrix(1.0 + 0.2 * math.sin(two_pi_t), 0, 0, 1.0 + 0.2 * math.sin(two_pi_t),
                    W * 0.25 + 2500 * math.cos(two_pi_t), H * 0.35 + 1500 * math.sin(2 * two_pi_t))
        g2 = matrix(1.3, 0, 0, 1.3, W * 0.75 + 2500 * math.cos(two_pi_t + 2), H * 0.6 + 1500 * math.sin(two_pi_t))
        wave = matrix(tx=-(wl * f) // FRAMES, ty=H - 3200)
        orbit = rot(two_pi_t, 1.0, W * 0.5, H * 0.45)
        morph_ratio = int(round((1 - math.cos(two_pi_t * 2)) / 2 * 65535))
        morph_m = rot(-two_pi_t, 0.9 + 0.15 * math.sin(two_pi_t * 3), W * 0.82, H * 0.28)
        fade = int(round(160 + 96 * math.sin(two_pi_t * 3)))
        text_m = matrix(tx=(W - text_width) // 2, ty=H - 900)
        text_cx = cxform_alpha(mult=(256, 256, 256, fade), add=(0, int(60 * (1 + math.sin(two_pi_t))), 0, 0))
        if f == 0:
            fr += [place2(1, 1, matrix()), place2(2, 2, g1), place2(3, 2, g2), place2(4, 5, wave),
                   place2(5, 11, orbit), place2(6, 20, morph_m, ratio=morph_ratio),
                   place2(7, 31, text_m, text_cx)]
        else:
            fr += [place2(2, None, g1, move=True), place2(3, None, g2, move=True),
                   place2(4, None, wave, move=True), place2(5, None, orbit, move=True),
                   place2(6, None, morph_m, ratio=morph_ratio, move=True),
                   place2(7, None, text_m, text_cx, move=True)]
        tags += fr
        tags.append(blocks[f])
        tags.append(SHOW)
    tags.append(END)

    body = rect(0, W, 0, H) + struct.pack('<HH', FPS << 8, FRAMES) + b''.join(tags)
    return b'FWS' + bytes([8]) + struct.pack('<I', 8 + len(body)) + body


def main():
    if len(sys.argv) != 2:
        sys.stderr.write('usage: make_demo.py OUTPUT\n')
        return 2
    data = build()
    with open(sys.argv[1], 'wb') as f:
        f.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main())
