#!/usr/bin/env python3
"""Draws every picture the program carries and lists them for the resource compiler.

    generate.py OUTDIR

writes the bitmaps, the JPEG and the icon into OUTDIR together with
nimbre_art.rc, the resource lines naming them. The pictures are drawn from
the colour tables below; change a colour here and rebuild.

Keys: pictures drawn by the skin routines with transparency are keyed on
their top-left pixel; title-bar buttons and panel pictures, which the
framework draws transparently, on their bottom-left pixel. The key colour
is magenta and appears only where the picture is meant to be see-through.
"""

import os
import sys

from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from bmpfile import KEY, bmp_bytes, ico_bytes  # noqa: E402
from paint import (Picture, darker, ellipse, gradient, lighter, lines, mask,  # noqa: E402
                   mix, polygon, rrect, subtract, texture, union)

FONT_DIR = '/usr/share/fonts/truetype/dejavu'
BOLD = os.path.join(FONT_DIR, 'DejaVuSans-Bold.ttf')

WHITE = (255, 255, 255)


def rgb(colorref):
    """A COLORREF of the theme table (0x00BBGGRR) as an RGB tuple."""
    return (colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF)


# ---------------------------------------------------------------------------
# The five looks. Sizes are those the controls lay themselves out by.

STYLES = {
    # A glossy light look: silver bars, white pill buttons, graphite accents.
    'MACOS': dict(
        form=rgb(0xE7E7E7), trackcolor=rgb(0xEEEEEE),
        title=dict(h=23, widths=(48, 49, 48), caption=(0, 0, 0),
                   stops=[(0, (252, 252, 252)), (0.5, (232, 232, 236)), (0.51, (222, 222, 228)), (1, (200, 200, 208))],
                   edge=(150, 150, 160), grain=0),
        tbtn=dict(size=17, top=4, keyed=False, shape='round',
                  face=[(0, (255, 255, 255)), (1, (196, 200, 210))], hover=[(0, (255, 255, 255)), (1, (170, 196, 232))],
                  down=[(0, (150, 160, 178)), (1, (210, 214, 224))], border=(120, 124, 136), glyph=(60, 64, 76)),
        button=dict(size=(84, 23), radius=10, keyed=False, border=(128, 132, 144),
                    normal=[(0, (255, 255, 255)), (0.5, (240, 240, 243)), (0.52, (226, 227, 232)), (1, (246, 246, 249))],
                    hover=[(0, (250, 252, 255)), (0.5, (224, 236, 252)), (0.52, (204, 222, 248)), (1, (236, 244, 255))],
                    down=[(0, (178, 186, 200)), (0.5, (198, 204, 216)), (0.52, (208, 213, 224)), (1, (232, 234, 240))],
                    gloss=0.55),
        check=dict(size=(15, 17), box=(1, 2, 14, 15), radio=(16, 17), radius=3, matte=(245, 245, 245),
                   face=[(0, (255, 255, 255)), (1, (214, 216, 224))], border=(120, 124, 136),
                   hover=[(0, (255, 255, 255)), (1, (190, 212, 240))], down=[(0, (180, 186, 200)), (1, (230, 232, 238))],
                   mark=(40, 44, 56), disabled=(170, 170, 176)),
        progress=dict(h=(13, 10), v=(13, 13), stops=[(0, (200, 214, 236)), (0.45, (120, 150, 200)), (0.55, (90, 122, 178)), (1, (150, 176, 220))]),
        tab=dict(size=(18, 27), line=(17, 7), radius=5, border=(128, 132, 144),
                 active=[(0, (255, 255, 255)), (1, (238, 238, 242))], inactive=[(0, (226, 226, 230)), (1, (200, 200, 208))]),
        track=dict(bar=(45, 5), slider=(11, 20), slider_v=(19, 11),
                   groove=[(0, (150, 154, 164)), (1, (230, 232, 236))], knob=[(0, (255, 255, 255)), (1, (196, 200, 210))],
                   border=(110, 114, 126)),
        accent=(90, 110, 150),
    ),
    # A blue look: a deep blue title band, light rounded buttons with blue rims.
    'WINXP': dict(
        form=rgb(0xDEEBEF), trackcolor=rgb(0xDEEBEF),
        title=dict(h=29, widths=(35, 37, 35), caption=WHITE,
                   stops=[(0, (92, 150, 244)), (0.12, (38, 104, 230)), (0.6, (16, 78, 210)), (1, (10, 62, 180))],
                   edge=(6, 42, 140), grain=0),
        tbtn=dict(size=21, top=5, keyed=False, shape='square',
                  face=[(0, (112, 160, 246)), (1, (30, 90, 220))], hover=[(0, (150, 190, 255)), (1, (60, 120, 240))],
                  down=[(0, (20, 70, 190)), (1, (70, 120, 220))], border=(235, 240, 255), glyph=WHITE,
                  close_face=[(0, (232, 130, 100)), (1, (200, 70, 40))], close_hover=[(0, (246, 160, 130)), (1, (224, 90, 60))],
                  close_down=[(0, (170, 50, 30)), (1, (210, 90, 60))]),
        button=dict(size=(18, 21), radius=3, keyed=False, border=(0, 52, 120),
                    normal=[(0, (255, 255, 255)), (0.85, (236, 236, 230)), (1, (214, 208, 196))],
                    hover=[(0, (255, 255, 255)), (0.85, (230, 240, 252)), (1, (150, 190, 245))],
                    down=[(0, (214, 210, 200)), (0.3, (232, 232, 226)), (1, (244, 244, 240))],
                    gloss=0.0, ring=(130, 176, 240)),
        check=dict(size=(13, 13), box=(0, 0, 13, 13), radio=(13, 13), radius=0, xp=True,
                   face=[(0, (222, 222, 214)), (1, (255, 255, 255))], border=(28, 82, 150),
                   hover=[(0, (255, 222, 170)), (1, (255, 246, 230))], down=[(0, (176, 176, 166)), (1, (232, 232, 224))],
                   mark=(34, 140, 34), disabled=(190, 190, 186)),
        progress=dict(h=(6, 10), v=(10, 6), stops=[(0, (170, 230, 170)), (0.4, (60, 190, 60)), (1, (30, 150, 40))], blocks=True),
        tab=dict(size=(9, 18), line=(8, 1), radius=2, border=(120, 140, 160),
                 active=[(0, (255, 200, 60)), (0.18, (255, 255, 255)), (1, (252, 252, 254))],
                 inactive=[(0, (255, 255, 255)), (1, (230, 234, 240))]),
        track=dict(bar=(45, 8), slider=(11, 21), slider_v=(22, 11),
                   groove=[(0, (170, 176, 180)), (1, (250, 250, 250))], knob=[(0, (255, 255, 255)), (1, (210, 220, 230))],
                   border=(60, 100, 150), knob_edge=(60, 170, 60)),
        accent=(30, 80, 200),
    ),
    # A dark blue look: a navy title band, steel blue buttons with dark rims.
    'DEEPBLUE': dict(
        form=rgb(0xE8E8E8), trackcolor=rgb(0xE8E8E8),
        title=dict(h=32, widths=(97, 98, 97), caption=WHITE,
                   stops=[(0, (70, 92, 150)), (0.06, (40, 58, 118)), (1, (10, 20, 62))],
                   edge=(4, 10, 36), grain=0),
        tbtn=dict(size=19, top=2, keyed=False, shape='square',
                  face=[(0, (60, 84, 150)), (1, (22, 36, 90))], hover=[(0, (96, 124, 196)), (1, (40, 60, 130))],
                  down=[(0, (10, 18, 56)), (1, (34, 50, 110))], border=(130, 150, 200), glyph=(220, 228, 255)),
        button=dict(size=(74, 21), radius=2, keyed=False, border=(16, 30, 76),
                    normal=[(0, (226, 232, 246)), (1, (164, 180, 214))],
                    hover=[(0, (240, 244, 255)), (1, (184, 204, 240))],
                    down=[(0, (140, 156, 194)), (1, (204, 214, 236))], gloss=0.0),
        check=dict(size=(13, 13), box=(0, 0, 13, 13), radio=(13, 13), radius=0,
                   face=[(0, (236, 240, 250)), (1, (196, 206, 228))], border=(16, 30, 76),
                   mark=(16, 30, 90), disabled=(170, 174, 184)),
        progress=dict(h=(1, 10), v=(10, 1), stops=[(0, (120, 146, 210)), (0.5, (40, 64, 140)), (1, (20, 36, 96))]),
        tab=dict(size=(6, 17), line=(5, 5), radius=2, border=(16, 30, 76),
                 active=[(0, (246, 248, 255)), (1, (214, 222, 240))], inactive=[(0, (150, 166, 204)), (1, (108, 126, 174))]),
        track=dict(bar=(45, 4), slider=(11, 20), slider_v=(18, 11),
                   groove=[(0, (16, 30, 76)), (1, (110, 130, 180))], knob=[(0, (190, 204, 236)), (1, (60, 84, 150))],
                   border=(16, 30, 76)),
        accent=(30, 50, 120),
    ),
    # A light grey-blue look: a textured blue title strip, pale blue-grey buttons.
    'PROTEIN': dict(
        form=rgb(0xFBFBFB), trackcolor=rgb(0xFBFBFB),
        title=dict(h=23, widths=(441, 1, 1), caption=WHITE,
                   stops=[(0, (116, 150, 204)), (0.1, (74, 112, 176)), (1, (38, 70, 134))],
                   edge=(24, 44, 92), grain=1),
        tbtn=dict(size=19, top=2, keyed=True, shape='square',
                  face=[(0, (240, 244, 250)), (1, (184, 198, 222))], hover=[(0, (255, 255, 255)), (1, (204, 222, 250))],
                  down=[(0, (150, 168, 200)), (1, (212, 222, 240))], border=(26, 46, 92), glyph=(28, 48, 96)),
        button=dict(size=(74, 21), radius=3, keyed=False, border=(112, 130, 162),
                    normal=[(0, (250, 251, 253)), (1, (206, 215, 230))],
                    hover=[(0, (255, 255, 255)), (1, (212, 228, 250))],
                    down=[(0, (190, 202, 222)), (1, (236, 240, 247))], gloss=0.0, ring=(255, 255, 255)),
        check=dict(size=(13, 13), box=(0, 0, 13, 13), radio=(13, 13), radius=2,
                   face=[(0, (255, 255, 255)), (1, (214, 222, 236))], border=(96, 116, 152),
                   mark=(36, 64, 120), disabled=(186, 190, 198)),
        progress=dict(h=(1, 10), v=(10, 1), stops=[(0, (200, 216, 240)), (0.5, (112, 142, 196)), (1, (74, 104, 162))]),
        tab=dict(size=(9, 17), line=(10, 5), radius=3, border=(112, 130, 162),
                 active=[(0, (255, 255, 255)), (1, (246, 248, 252))], inactive=[(0, (226, 232, 242)), (1, (196, 208, 226))]),
        track=dict(bar=(45, 4), slider=(11, 20), slider_v=(18, 11),
                   groove=[(0, (112, 130, 162)), (1, (220, 228, 240))], knob=[(0, (255, 255, 255)), (1, (190, 204, 226))],
                   border=(96, 116, 152)),
        accent=(60, 94, 156),
    ),
    # A glassy blue look: a shining two-tone title band and glass capsules.
    'BLUEGLASS': dict(
        form=rgb(0xE7E7E7), trackcolor=rgb(0xE7E7E7),
        title=dict(h=33, widths=(162, 179, 101), caption=WHITE,
                   stops=[(0, (196, 222, 252)), (0.48, (104, 160, 232)), (0.5, (44, 100, 196)), (1, (84, 150, 230))],
                   edge=(30, 70, 150), grain=0),
        tbtn=dict(size=19, top=6, keyed=True, shape='round',
                  face=[(0, (210, 232, 255)), (0.5, (100, 156, 230)), (0.52, (50, 104, 200)), (1, (120, 180, 245))],
                  hover=[(0, (230, 244, 255)), (0.5, (130, 186, 250)), (0.52, (80, 140, 230)), (1, (160, 210, 255))],
                  down=[(0, (40, 90, 180)), (0.5, (60, 112, 200)), (0.52, (40, 90, 180)), (1, (90, 150, 220))],
                  border=(24, 60, 140), glyph=WHITE,
                  close_face=[(0, (255, 214, 210)), (0.5, (232, 104, 96)), (0.52, (196, 50, 40)), (1, (240, 120, 100))],
                  close_hover=[(0, (255, 230, 226)), (0.5, (250, 130, 120)), (0.52, (220, 70, 60)), (1, (255, 150, 130))],
                  close_down=[(0, (160, 40, 30)), (0.5, (190, 60, 50)), (0.52, (160, 40, 30)), (1, (220, 100, 80))]),
        button=dict(size=(77, 27), radius=9, keyed=True, border=(34, 80, 160),
                    normal=[(0, (232, 244, 255)), (0.48, (170, 206, 246)), (0.5, (120, 170, 236)), (1, (190, 226, 255))],
                    hover=[(0, (242, 250, 255)), (0.48, (190, 222, 255)), (0.5, (140, 192, 250)), (1, (210, 240, 255))],
                    down=[(0, (110, 156, 220)), (0.48, (140, 180, 236)), (0.5, (120, 166, 228)), (1, (170, 210, 250))],
                    gloss=0.5),
        check=dict(size=(13, 13), box=(0, 0, 13, 13), radio=(13, 13), radius=3,
                   face=[(0, (240, 248, 255)), (0.5, (196, 222, 250)), (0.52, (160, 200, 244)), (1, (220, 240, 255))],
                   border=(34, 80, 160), mark=(20, 60, 150), disabled=(176, 184, 196)),
        progress=dict(h=(1, 10), v=(10, 1), stops=[(0, (220, 240, 255)), (0.45, (110, 170, 240)), (0.5, (50, 110, 210)), (1, (120, 180, 250))]),
        tab=dict(size=(9, 17), line=(10, 5), radius=4, border=(34, 80, 160),
                 active=[(0, (250, 252, 255)), (0.5, (226, 240, 255)), (1, (246, 250, 255))],
                 inactive=[(0, (210, 230, 252)), (0.5, (150, 192, 240)), (0.52, (120, 170, 232)), (1, (170, 210, 250))]),
        track=dict(bar=(45, 4), slider=(11, 20), slider_v=(18, 11),
                   groove=[(0, (34, 80, 160)), (1, (170, 210, 250))], knob=[(0, (236, 246, 255)), (0.5, (150, 196, 246)), (1, (90, 150, 230))],
                   border=(34, 80, 160)),
        accent=(40, 100, 200),
    ),
}


# ---------------------------------------------------------------------------
# Elements, each drawn from a style's table.

def title_strip(st, width):
    """The title band of a style, `width` wide, without end caps."""
    t = st['title']
    img = gradient(width, t['h'], t['stops'])
    px = img.load()
    for x in range(width):
        px[x, t['h'] - 1] = t['edge']
    return img


def title_part(st, which):
    t = st['title']
    h = t['h']
    w = t['widths'][('LEFT', 'CLIENT', 'RIGHT').index(which)]
    pic = Picture(w, h, st['form'])
    pic.fill(title_strip(st, w))
    if which == 'LEFT':
        # A thin light rim at the outer edge; the window frame sits beside it.
        pic.fill(lighter(t['stops'][1][1], 0.35), mask(w, h, rrect(0, 0, 1, h - 1, 0)), alpha=0.8)
        if t.get('grain'):
            # The textured strip: a woven grain that fades out towards the client part.
            grain = texture(w, h - 1, 0x5EED, 0.28)
            fade = gradient(w, h - 1, [(0, (255, 255, 255)), (0.75, (110, 110, 110)), (1, (0, 0, 0))], vertical=False).convert('L')
            weave = Image.new('L', (w, h - 1))
            wp = weave.load()
            for y in range(h - 1):
                for x in range(w):
                    wp[x, y] = 70 if (x + y) % 4 == 0 or (x - y) % 6 == 0 else 0
            g = Image.composite(union(grain, weave), Image.new('L', (w, h - 1), 0), fade)
            full = Image.new('L', (w, h), 0)
            full.paste(g, (0, 0))
            pic.fill(lighter(t['stops'][1][1], 0.5), full, alpha=0.55)
    if which == 'RIGHT' and w > 2:
        pic.fill(darker(t['stops'][-1][1], 0.3), mask(w, h, rrect(w - 1, 0, w, h - 1, 0)))
    return pic.opaque()




def glyph_mask(kind, s):
    a = max(4, round(s * 0.3))
    b = s - 1 - a
    wd = max(1.5, s / 11)
    if kind == 'CLOSE':
        return mask(s, s, lines([[(a, a), (b, b)], [(a, b), (b, a)]], wd))
    if kind == 'MAX':
        frame = mask(s, s, rrect(a, a, b + 1, b + 1, 0))
        hole = mask(s, s, rrect(a + 1, a + 2, b, b, 0))
        return subtract(frame, hole)
    if kind == 'RST':
        o = max(2, s // 7)
        back = subtract(mask(s, s, rrect(a + o, a, b + 1, b + 1 - o, 0)), mask(s, s, rrect(a + o + 1, a + 2, b, b - o, 0)))
        front_outer = mask(s, s, rrect(a, a + o, b + 1 - o, b + 1, 0))
        front = subtract(front_outer, mask(s, s, rrect(a + 1, a + o + 2, b - o, b, 0)))
        return union(subtract(back, front_outer), front)
    if kind == 'MIN':
        return mask(s, s, rrect(a, b - 1, b + 1, b + 1, 0))
    if kind == 'CTLBOX':
        # Three bars: the window menu.
        m = Image.new('L', (s, s), 0)
        for i in range(3):
            y = a + i * ((b - a) // 2)
            m = union(m, mask(s, s, rrect(a, y, b + 1, y + 2, 0.5)))
        return m
    if kind == 'HELP':
        def fn(d, k):
            font = ImageFont.truetype(BOLD, int(s * 0.72 * k))
            box = d.textbbox((0, 0), '?', font=font)
            tw, th = box[2] - box[0], box[3] - box[1]
            d.text(((s * k - tw) / 2 - box[0], (s * k - th) / 2 - box[1]), '?', font=font, fill=255)
        return mask(s, s, fn)
    raise ValueError(kind)


def title_button(st, kind, state):
    b = st['tbtn']
    s = b['size']
    if b['keyed']:
        pic = Picture(s, s, mix(st['title']['stops'][1][1], st['title']['stops'][-1][1], 0.5))
    else:
        # Drawn opaque over the title band: carry the band's own rows behind the button.
        band = title_strip(st, s)
        top = b['top']
        rows = band.crop((0, top, s, min(top + s, band.height)))
        pic = Picture(s, s, st['title']['stops'][-1][1])
        pic.img.paste(rows, (0, 0))
    prefix = 'close_' if kind == 'CLOSE' and ('close_face' in b) else ''
    face = {'NORMAL': b[prefix + 'face'], 'MOUSEON': b[prefix + 'hover'], 'MOUSEDOWN': b[prefix + 'down']}[state]
    if b['shape'] == 'round':
        outer, inner = ellipse(0, 0, s, s), ellipse(1, 1, s - 1, s - 1)
    else:
        outer, inner = rrect(0, 0, s, s, 3), rrect(1, 1, s - 1, s - 1, 2)
    mo, mi = mask(s, s, outer), mask(s, s, inner)
    pic.fill(b['border'], mo)
    pic.fill(gradient(s, s, face), mi)
    if state != 'MOUSEDOWN':
        pic.fill(WHITE, mask(s, s, rrect(2, 1.5, s - 2, s // 2, s // 4)), alpha=0.28, shape=False)
    glyph = glyph_mask(kind, s)
    if state == 'MOUSEDOWN':
        glyph = glyph.transform(glyph.size, Image.AFFINE, (1, 0, -1, 0, 1, -1))
    gc = b['glyph']
    pic.fill(darker(face[-1][1], 0.35) if gc == WHITE else lighter(face[0][1], 0.6),
             glyph.transform(glyph.size, Image.AFFINE, (1, 0, 0, 0, 1, -1)), alpha=0.45, shape=False)
    pic.fill(gc, glyph, shape=False)
    if b['keyed']:
        return pic.keyed(corners=((0, -1), (0, 0), (-1, 0), (-1, -1)))
    return pic.opaque()


def push_button(st, state):
    b = st['button']
    w, h = b['size']
    r = b['radius']
    pic = Picture(w, h, st['form'])
    face = b[{'NORMAL': 'normal', 'MOUSEON': 'hover', 'MOUSEDOWN': 'down'}[state]]
    mo = mask(w, h, rrect(0, 0, w, h, r))
    mi = mask(w, h, rrect(1, 1, w - 1, h - 1, max(r - 1, 0)))
    border = b['border'] if state != 'MOUSEON' else darker(b['border'], 0.15)
    pic.fill(border, mo)
    pic.fill(gradient(w, h, face), mi)
    if b.get('ring') and state == 'MOUSEON':
        ring = subtract(mi, mask(w, h, rrect(3, 3, w - 3, h - 3, max(r - 2, 0))))
        pic.fill(b['ring'], ring, alpha=0.9, shape=False)
    elif b.get('ring') and state == 'NORMAL':
        ring = subtract(mi, mask(w, h, rrect(2, 2, w - 2, h - 2, max(r - 1, 0))))
        pic.fill(b['ring'], ring, alpha=0.6, shape=False)
    if b['gloss'] and state != 'MOUSEDOWN':
        gl = mask(w, h, rrect(2, 1.5, w - 2, h // 2, max(r - 2, 1)))
        pic.fill(WHITE, gl, alpha=b['gloss'], shape=False)
    if state == 'MOUSEDOWN':
        shade = subtract(mi, mask(w, h, rrect(1, 2, w - 1, h - 1, max(r - 1, 0))))
        pic.fill(darker(face[0][1], 0.25), shade, alpha=0.6, shape=False)
    if b['keyed']:
        return pic.keyed(corners=((0, 0),))
    return pic.opaque()


def check_mark(w, h, box):
    x0, y0, x1, y1 = box
    bw, bh = x1 - x0, y1 - y0
    pts = [(x0 + bw * 0.24, y0 + bh * 0.5), (x0 + bw * 0.42, y0 + bh * 0.7), (x0 + bw * 0.74, y0 + bh * 0.26)]
    return mask(w, h, lines([pts], max(1.6, bw / 7.5)))


def check_box(st, checked, state):
    c = st['check']
    w, h = c['size']
    box = c['box']
    pic = Picture(w, h, c.get('matte', st['form']))
    disabled = state == 'DISABLE'
    face = c['face']
    if state == 'MOUSEON' and 'hover' in c:
        face = c['hover']
    if state == 'MOUSEDOWN' and 'down' in c:
        face = c['down']
    border = c['disabled'] if disabled else c['border']
    x0, y0, x1, y1 = box
    pic.fill(border, mask(w, h, rrect(x0, y0, x1, y1, c['radius'])))
    inner = mask(w, h, rrect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, max(c['radius'] - 1, 0)))
    g = gradient(w, h, face)
    if disabled:
        g = Image.blend(g, Image.new('RGB', (w, h), st['form']), 0.6)
    pic.fill(g, inner)
    if c.get('xp') and state == 'MOUSEON':
        ring = subtract(inner, mask(w, h, rrect(x0 + 3, y0 + 3, x1 - 3, y1 - 3, 0)))
        pic.fill((250, 180, 60), ring, alpha=0.8, shape=False)
    if checked:
        pic.fill(c['disabled'] if disabled else c['mark'], check_mark(w, h, box), shape=False)
    return pic.opaque()


def radio_button(st, checked, state):
    c = st['check']
    w, h = c['radio']
    d = min(w, h) if w != h else w
    oy = (h - d) // 2
    ox = (w - d) // 2
    pic = Picture(w, h, st['form'])
    disabled = state == 'DISABLE'
    face = c['face']
    if state == 'MOUSEON' and 'hover' in c:
        face = c['hover']
    if state == 'MOUSEDOWN' and 'down' in c:
        face = c['down']
    border = c['disabled'] if disabled else c['border']
    pic.fill(border, mask(w, h, ellipse(ox, oy, ox + d, oy + d)))
    g = gradient(w, h, face)
    if disabled:
        g = Image.blend(g, Image.new('RGB', (w, h), st['form']), 0.6)
    pic.fill(g, mask(w, h, ellipse(ox + 1, oy + 1, ox + d - 1, oy + d - 1)))
    if c.get('xp') and state == 'MOUSEON':
        ring = subtract(mask(w, h, ellipse(ox + 1, oy + 1, ox + d - 1, oy + d - 1)), mask(w, h, ellipse(ox + 3, oy + 3, ox + d - 3, oy + d - 3)))
        pic.fill((250, 180, 60), ring, alpha=0.8, shape=False)
    if checked:
        k = d * 0.3
        dot = mask(w, h, ellipse(ox + k, oy + k, ox + d - k, oy + d - k))
        pic.fill(c['disabled'] if disabled else c['mark'], dot, shape=False)
        pic.fill(WHITE, mask(w, h, ellipse(ox + k + 0.6, oy + k + 0.5, ox + d / 2, oy + d / 2)), alpha=0.35, shape=False)
    return pic.keyed(corners=((0, 0),))


def progress(st, vertical):
    p = st['progress']
    w, h = p['v'] if vertical else p['h']
    img = gradient(w, h, p['stops'], vertical=not vertical)
    if p.get('blocks'):
        # One block and its gap: the bar is built of blocks.
        px = img.load()
        if vertical:
            for x in range(w):
                px[x, h - 1] = WHITE
                px[x, h - 2] = lighter(px[x, h - 2], 0.5)
        else:
            for y in range(h):
                px[w - 1, y] = WHITE
                px[w - 2, y] = lighter(px[w - 2, y], 0.5)
    return img


def tab(st, active):
    t = st['tab']
    w, h = t['size']
    r = t['radius']
    pic = Picture(w, h, st['form'])
    # Rounded at the top, open at the bottom where the tab meets its line.
    mo = mask(w, h, rrect(0, 0, w, h + r + 1, r))
    mi = mask(w, h, rrect(1, 1, w - 1, h + r + 1, max(r - 1, 0)))
    pic.fill(t['border'], mo)
    pic.fill(gradient(w, h, t['active' if active else 'inactive']), mi)
    return pic.keyed(corners=((0, 0),))


def tab_line(st):
    t = st['tab']
    w, h = t['line']
    face = t['active'][-1][1]
    img = gradient(w, h, [(0, face), (1, darker(face, 0.06))])
    px = img.load()
    if h > 1:
        for x in range(w):
            px[x, h - 1] = mix(face, t['border'], 0.5)
    return img


def track_bar(st):
    t = st['track']
    w, h = t['bar']
    pic = Picture(w, h, st['trackcolor'])
    pic.fill(gradient(w, h, t['groove']), mask(w, h, rrect(0, 0, w, h, h / 2)))
    inner = mask(w, h, rrect(1, 1, w - 1, h - 1, max(h / 2 - 1, 0))) if h > 3 else None
    if inner is not None:
        pic.fill(gradient(w, h, [(0, t['groove'][-1][1]), (1, lighter(t['groove'][-1][1], 0.4))]), inner, alpha=0.5)
    return pic.opaque()


def track_slider(st, vertical):
    t = st['track']
    w, h = t['slider_v'] if vertical else t['slider']
    pic = Picture(w, h, st['trackcolor'])
    if vertical:
        tip = w * 0.3
        shape = polygon([(0.5, 0.5), (w - tip, 0.5), (w - 0.5, h / 2), (w - tip, h - 0.5), (0.5, h - 0.5)])
        inner = polygon([(1.5, 1.5), (w - tip - 0.5, 1.5), (w - 1.8, h / 2), (w - tip - 0.5, h - 1.5), (1.5, h - 1.5)])
        g = gradient(w, h, t['knob'], vertical=False)
    else:
        tip = h * 0.3
        shape = polygon([(0.5, 0.5), (w - 0.5, 0.5), (w - 0.5, h - tip), (w / 2, h - 0.5), (0.5, h - tip)])
        inner = polygon([(1.5, 1.5), (w - 1.5, 1.5), (w - 1.5, h - tip - 0.5), (w / 2, h - 1.8), (1.5, h - tip - 0.5)])
        g = gradient(w, h, t['knob'])
    pic.fill(t['border'], mask(w, h, shape))
    pic.fill(g, mask(w, h, inner))
    if 'knob_edge' in t:
        edge = subtract(mask(w, h, inner), mask(w, h, polygon([(2.5, 2.5), (w - 2.5, 2.5), (w - 2.5, h - tip - 1), (w / 2, h - 3), (2.5, h - tip - 1)]) if not vertical else polygon([(2.5, 2.5), (w - tip - 1, 2.5), (w - 3, h / 2), (w - tip - 1, h - 2.5), (2.5, h - 2.5)])))
        pic.fill(t['knob_edge'], edge, alpha=0.8, shape=False)
    # Three grip lines across the middle.
    for i in (-2, 0, 2):
        if vertical:
            x = int((w - tip) / 2) + i
            pic.fill(darker(t['knob'][-1][1], 0.25), mask(w, h, rrect(x, 3, x + 1, h - 3, 0)), alpha=0.7, shape=False)
        else:
            y = int((h - tip) / 2) + i
            pic.fill(darker(t['knob'][-1][1], 0.25), mask(w, h, rrect(3, y, w - 3, y + 1, 0)), alpha=0.7, shape=False)
    return pic.opaque()


# ---------------------------------------------------------------------------
# Pictures loaded by literal name.

def menu_checked():
    pic = Picture(16, 16, WHITE)
    pic.fill((0, 0, 0), mask(16, 16, lines([[(4, 8), (6.5, 10.5), (11.5, 4.5)]], 1.8)), shape=False)
    return pic.opaque()


def macos_menu_bar():
    return gradient(1, 22, [(0, (252, 252, 252)), (0.5, (238, 238, 240)), (1, (214, 214, 220))])


def macos_menu_select():
    return gradient(1, 21, [(0, (120, 140, 178)), (0.5, (84, 104, 146)), (0.52, (70, 90, 132)), (1, (96, 118, 160))])


def form_background(base, ink, pattern):
    img = Image.new('RGB', (8, 8), base)
    px = img.load()
    for y in range(8):
        for x in range(8):
            if pattern(x, y):
                px[x, y] = ink
    return img


def macos_combobox_button():
    st = STYLES['MACOS']
    pic = Picture(16, 17, st['form'])
    pic.fill((128, 132, 144), mask(16, 17, rrect(0, 0, 16, 17, 3)))
    pic.fill(gradient(16, 17, st['button']['normal']), mask(16, 17, rrect(1, 1, 15, 16, 2)))
    pic.fill(WHITE, mask(16, 17, rrect(2, 1.5, 14, 8, 2)), alpha=0.5, shape=False)
    pic.fill((50, 54, 66), mask(16, 17, polygon([(4.5, 6.5), (11.5, 6.5), (8, 11)])), shape=False)
    return pic.opaque()


def side_bar(hot):
    w, h = 8, 172
    base = (196, 206, 224) if not hot else (214, 228, 250)
    pic = Picture(w, h, base)
    pic.fill(gradient(w, h, [(0, lighter(base, 0.5)), (0.5, base), (1, darker(base, 0.12))], vertical=False))
    pic.fill((100, 116, 150), mask(w, h, rrect(w - 1, 0, w, h, 0)))
    # Grip dots above and below a small arrow pointing into the channel.
    for y in list(range(52, 72, 4)) + list(range(102, 122, 4)):
        pic.fill((90, 106, 140), mask(w, h, ellipse(2.5, y, 5.5, y + 3)), shape=False)
        pic.fill(WHITE, mask(w, h, ellipse(3, y + 0.5, 4.5, y + 2)), alpha=0.7, shape=False)
    pic.fill((40, 60, 110) if hot else (70, 86, 120), mask(w, h, polygon([(2, 80), (6.5, 86), (2, 92)])), shape=False)
    return pic.opaque()


def pin(ontop):
    if ontop:
        # Pressed in, seen from above: the head and a short shadow.
        w, h = 8, 7
        pic = Picture(w, h, (210, 214, 222))
        pic.fill((40, 56, 96), mask(w, h, ellipse(0.5, 0.5, 6.5, 6.5)))
        pic.fill((120, 150, 210), mask(w, h, ellipse(1.5, 1.5, 5.5, 5.5)), shape=False)
        pic.fill(WHITE, mask(w, h, ellipse(2, 2, 3.8, 3.8)), alpha=0.8, shape=False)
    else:
        # Lying loose: the head on the left, the needle pointing down and right.
        w, h = 7, 9
        pic = Picture(w, h, (210, 214, 222))
        pic.fill((70, 74, 84), mask(w, h, lines([[(3, 4), (5.5, 7.5)]], 1.0)))
        pic.fill((40, 56, 96), mask(w, h, rrect(0, 1, 6, 5, 1.5)))
        pic.fill((120, 150, 210), mask(w, h, rrect(1, 2, 5, 4, 1)), shape=False)
    return pic.keyed(corners=((0, -1),))


# ---------------------------------------------------------------------------
# The dialogs' own pictures.

DIALOG_FORM = rgb(0xFBFBFB)


def cartoon_figure():
    """A little night cloud with a sleepy smile and its crescent moon."""
    w, h = 51, 43
    pic = Picture(w, h, DIALOG_FORM)
    body = Image.new('L', (w, h), 0)
    for x0, y0, x1, y1 in ((4, 16, 24, 36), (13, 7, 37, 31), (27, 14, 47, 34), (8, 22, 44, 40)):
        body = union(body, mask(w, h, ellipse(x0, y0, x1, y1)))
    rim = Image.new('L', (w, h), 0)
    for x0, y0, x1, y1 in ((3, 15, 25, 37), (12, 6, 38, 32), (26, 13, 48, 35), (7, 21, 45, 41)):
        rim = union(rim, mask(w, h, ellipse(x0, y0, x1, y1)))
    pic.fill((46, 78, 150), rim)
    pic.fill(gradient(w, h, [(0, (255, 255, 255)), (0.6, (222, 234, 252)), (1, (176, 198, 238))]), body)
    # The moon, tucked behind the cloud's upper right.
    moon = subtract(mask(w, h, ellipse(35, 1, 49, 15)), mask(w, h, ellipse(31, -1, 45, 12)))
    moon = subtract(moon, rim)
    pic.fill((214, 160, 20), moon)
    pic.fill((255, 214, 70), subtract(mask(w, h, ellipse(36, 2, 48, 14)), mask(w, h, ellipse(31, -1, 45, 12))), shape=False)
    # Closed eyes, cheeks and a smile.
    ink = (40, 56, 100)
    pic.fill(ink, mask(w, h, lines([[(17, 22), (19, 23.6), (21, 22)], [(28, 22), (30, 23.6), (32, 22)]], 1.3)), shape=False)
    pic.fill((250, 150, 160), mask(w, h, ellipse(13, 25, 18, 29)), alpha=0.8, shape=False)
    pic.fill((250, 150, 160), mask(w, h, ellipse(31, 25, 36, 29)), alpha=0.8, shape=False)
    pic.fill(ink, mask(w, h, lines([[(21.5, 28), (24.5, 30.2), (27.5, 28)]], 1.3)), shape=False)
    # Two small stars.
    for cx, cy in ((6, 6), (27, 2)):
        pic.fill((255, 196, 40), mask(w, h, polygon([(cx, cy - 2.5), (cx + 0.8, cy - 0.8), (cx + 2.5, cy), (cx + 0.8, cy + 0.8),
                                                     (cx, cy + 2.5), (cx - 0.8, cy + 0.8), (cx - 2.5, cy), (cx - 0.8, cy - 0.8)])), shape=False)
    return pic.opaque()


def speaker_off():
    """A loudspeaker with its sound waves, crossed out in red."""
    s = 21
    pic = Picture(s, s, DIALOG_FORM)
    body = polygon([(2, 7.5), (6, 7.5), (11, 3), (11, 18), (6, 13.5), (2, 13.5)])
    pic.fill((50, 54, 66), mask(s, s, body))
    pic.fill(gradient(s, s, [(0, (170, 176, 190)), (1, (96, 102, 118))]),
             mask(s, s, polygon([(3, 8.5), (6.4, 8.5), (10, 5.3), (10, 15.7), (6.4, 12.5), (3, 12.5)])), shape=False)
    waves = Image.new('L', (s, s), 0)
    for r in (3.5, 6.5):
        def arc(d, k, r=r):
            cx, cy = 10.5 * k, 10.5 * k
            d.arc([cx - r * k, cy - r * k, cx + r * k, cy + r * k], start=-50, end=50, fill=255, width=int(1.4 * k))
        waves = union(waves, mask(s, s, arc))
    pic.fill((50, 54, 66), waves)
    # One red stroke across it all, from top right to bottom left, with a darker rim.
    slash = [[(17.5, 2.5), (3, 17)]]
    pic.fill((130, 0, 0), mask(s, s, lines(slash, 3.4)))
    pic.fill((228, 28, 28), mask(s, s, lines(slash, 2.2)))
    return pic.keyed(corners=((0, -1),))


def banner():
    """Bold blue lettering on white: the bottom-left white is its key."""
    w, h = 127, 27
    img = Image.new('RGB', (w * 4, h * 4), WHITE)
    d = ImageDraw.Draw(img)
    font = ImageFont.truetype(BOLD, 14 * 4)
    text = 'Enjoy Yourself!'
    box = d.textbbox((0, 0), text, font=font)
    tw, th = box[2] - box[0], box[3] - box[1]
    d.text(((w * 4 - tw) / 2 - box[0], (h * 4 - th) / 2 - box[1] - 2), text, font=font, fill=(0, 0, 230))
    return img.reduce(4)


def app_icon(size):
    """A night-blue tile with a white cloud and a golden crescent."""
    k = size / 32.0
    pic = Picture(size, size, (0, 0, 0))
    tile = mask(size, size, rrect(0.5 * k, 0.5 * k, 31.5 * k, 31.5 * k, 6 * k))
    pic.fill(gradient(size, size, [(0, (70, 120, 210)), (1, (16, 34, 96))]), tile)
    pic.fill(WHITE, mask(size, size, rrect(2 * k, 1.5 * k, 30 * k, 14 * k, 5 * k)), alpha=0.16, shape=False)
    moon = subtract(mask(size, size, ellipse(15 * k, 3 * k, 28 * k, 16 * k)), mask(size, size, ellipse(12 * k, 1 * k, 24.5 * k, 13 * k)))
    pic.fill((255, 206, 60), moon, shape=False)
    cloud = Image.new('L', (size, size), 0)
    for x0, y0, x1, y1 in ((4, 15, 16, 27), (10, 10, 24, 24), (18, 14, 29, 25), (6, 19, 27, 28)):
        cloud = union(cloud, mask(size, size, ellipse(x0 * k, y0 * k, x1 * k, y1 * k)))
    pic.fill(gradient(size, size, [(0, (255, 255, 255)), (1, (200, 216, 244))]), cloud, shape=False)
    out = Image.new('RGBA', (size, size))
    out.paste(pic.img, (0, 0))
    out.putalpha(pic.cover)
    return out


# ---------------------------------------------------------------------------
# Names.

STATES = ('NORMAL', 'MOUSEON', 'MOUSEDOWN')


def theme_pictures(word):
    """Every theme bitmap of one style: name -> (RGB image, bits, key)."""
    st = STYLES[word]
    out = {}

    def put(element, img, key=None):
        out['%s_%s' % (word, element)] = (img, 24, key)

    for s in STATES:
        put('BUTTON_' + s, push_button(st, s), KEY if st['button']['keyed'] else None)
    checked = {'CHECK': True, 'UNCHECK': False}
    for kind, draw, keyed in (('CHECKBOX', check_box, False), ('RADIOBUTTON', radio_button, True)):
        states = [('DISABLE', 'DISABLE')]
        if word == 'WINXP':
            states += [('NORMAL', 'NORMAL'), ('MOUSEON', 'MOUSEON'), ('MOUSEDOWN', 'MOUSEDOWN')]
        else:
            states += [(None, 'NORMAL')]
        for label, state in states:
            for c, flag in checked.items():
                name = '%s_%s_%s' % (kind, label, c) if label else '%s_%s' % (kind, c)
                put(name, draw(st, flag, state), KEY if keyed else None)
    put('PROGRESSBAR', progress(st, False))
    put('PROGRESSBAR_V', progress(st, True))
    for part in ('LEFT', 'CLIENT', 'RIGHT'):
        put('TITLE_' + part, title_part(st, part))
    glyphs = ['CLOSE', 'MAX', 'MIN', 'HELP', 'CTLBOX'] + (['RST'] if word == 'WINXP' else [])
    for g in glyphs:
        for s in STATES:
            put('TITLEBTN_%s_%s' % (g, s), title_button(st, g, s), KEY if st['tbtn']['keyed'] else None)
    put('TAB_ACTIVE', tab(st, True), KEY)
    put('TAB_INACTIVE', tab(st, False), KEY)
    put('TAB_LINE', tab_line(st))
    put('TRACKBAR_BAR', track_bar(st))
    put('TRACKBAR_SLIDER', track_slider(st, False))
    put('TRACKBAR_SLIDER_V', track_slider(st, True))
    return out


def literal_pictures():
    mac, pro = STYLES['MACOS'], STYLES['PROTEIN']
    return {
        'MENU_CHECKED': (menu_checked(), 24, None),
        'MACOS_MENU_BAR': (macos_menu_bar(), 24, None),
        'MACOS_MENU_SELECT': (macos_menu_select(), 24, None),
        'MACOS_FORM_BACKGROUND': (form_background(mac['form'], (223, 223, 226), lambda x, y: (x + 2 * y) % 8 in (0, 1) and y % 2 == 0), 24, None),
        'PROTEIN_FORM_BACKGROUND': (form_background(pro['form'], (236, 240, 246), lambda x, y: (x % 4 == 0 and y % 4 == 0) or (x % 4 == 2 and y % 4 == 2)), 24, None),
        'MACOS_COMBOBOX_BUTTON': (macos_combobox_button(), 24, None),
        'SIDECHANNEL_BAR_NORMAL': (side_bar(False), 24, None),
        'SIDECHANNEL_BAR_MOUSEON': (side_bar(True), 24, None),
        'SIDECHANNEL_BTN_ONTOP': (pin(True), 24, KEY),
        'SIDECHANNEL_BTN_NOONTOP': (pin(False), 24, KEY),
    }


def dialog_pictures():
    """The settings dialog's and preview window's own pictures."""
    pro = STYLES['PROTEIN']
    out = {
        'DIALOG_SOUNDOFF': (speaker_off(), 24, KEY),
        'DIALOG_BANNER': (banner(), 24, None),
        'DIALOG_TITLE_LEFT': (title_part(pro, 'LEFT'), 8, None),
        'DIALOG_TITLE_RIGHT': (title_part(pro, 'RIGHT'), 4, None),
        'DIALOG_TITLE_CLIENT': (title_part(pro, 'CLIENT'), 4, None),
    }
    for glyph, word in (('CTLBOX', 'CTLBOX'), ('CLOSE', 'CLOSE')):
        for s in STATES:
            out['DIALOG_%s_%s' % (word, s)] = (title_button(pro, glyph, s), 4, KEY)
    return out


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write('usage: generate.py OUTDIR\n')
        return 2
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)
    pictures = {}
    for word in STYLES:
        pictures.update(theme_pictures(word))
    pictures.update(literal_pictures())
    pictures.update(dialog_pictures())
    rc = ['// Generated by resources/artwork/generate.py: every picture the program carries.']
    for name in sorted(pictures):
        img, bits, key = pictures[name]
        write(os.path.join(outdir, name + '.bmp'), bmp_bytes(img, bits, key))
        rc.append('%s BITMAP "%s.bmp"' % (name, name))
    buf_path = os.path.join(outdir, 'DIALOG_FIGURE.jpg')
    cartoon_figure().save(buf_path, format='JPEG', quality=92, subsampling=0, optimize=False)
    rc.append('DIALOG_FIGURE RCDATA "DIALOG_FIGURE.jpg"')
    write(os.path.join(outdir, 'nimbre.ico'), ico_bytes([app_icon(s) for s in (16, 32, 48, 256)]))
    rc.append('MAINICON ICON "nimbre.ico"')
    write(os.path.join(outdir, 'nimbre_art.rc'), ('\n'.join(rc) + '\n').encode('ascii'))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
