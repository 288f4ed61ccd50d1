"""Small drawing kit for the artwork: anti-aliased masks, gradients, glyphs.

Shapes are drawn four times larger into a coverage mask and reduced with a
box filter, which gives clean edges at 1:1. A picture that is drawn with a
transparent key gets the key wherever its shape covers less than half a
pixel; partly covered pixels are blended with the backdrop the picture is
meant to sit on, so no coloured fringe shows around it.
"""

from PIL import Image, ImageChops, ImageDraw

from bmpfile import KEY

SS = 4


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def lighter(c, t):
    return mix(c, (255, 255, 255), t)


def darker(c, t):
    return mix(c, (0, 0, 0), t)


def gradient(w, h, stops, vertical=True):
    """An RGB image whose colour runs through the stops [(pos 0..1, rgb)]."""
    n = h if vertical else w
    line = []
    for i in range(n):
        t = (i + 0.5) / n if n > 1 else 0.0
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if t <= p1 or (p1, c1) == stops[-1]:
                f = 0.0 if p1 == p0 else min(max((t - p0) / (p1 - p0), 0.0), 1.0)
                line.append(mix(c0, c1, f))
                break
    img = Image.new('RGB', (w, h))
    px = img.load()
    for y in range(h):
        for x in range(w):
            px[x, y] = line[y] if vertical else line[x]
    return img


def mask(w, h, draw_fn):
    """Coverage mask of what draw_fn(draw, s) paints white at scale s."""
    big = Image.new('L', (w * SS, h * SS), 0)
    draw_fn(ImageDraw.Draw(big), SS)
    return big.reduce(SS)


def rrect(x0, y0, x1, y1, r):
    """Mask painter for a rounded rectangle covering [x0, x1) x [y0, y1)."""
    def fn(d, s):
        rad = max(0, r * s)
        d.rounded_rectangle([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], radius=rad, fill=255)
    return fn


def ellipse(x0, y0, x1, y1):
    def fn(d, s):
        d.ellipse([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], fill=255)
    return fn


def lines(points_list, width, joint=True):
    """Mask painter for polylines given in pixel coordinates (centres)."""
    def fn(d, s):
        for pts in points_list:
            sp = [((x + 0.5) * s, (y + 0.5) * s) for x, y in pts]
            d.line(sp, fill=255, width=int(round(width * s)), joint='curve' if joint else None)
            r = width * s / 2
            for x, y in sp:
                d.ellipse([x - r, y - r, x + r, y + r], fill=255)
    return fn


def polygon(pts):
    def fn(d, s):
        d.polygon([(x * s, y * s) for x, y in pts], fill=255)
    return fn


def scale_mask(m, f):
    return m.point(lambda v: int(v * f))


def subtract(a, b):
    return ImageChops.subtract(a, b)


def union(a, b):
    return ImageChops.lighter(a, b)


class Picture:
    """An RGB picture being painted, with the coverage of its shape."""

    def __init__(self, w, h, backdrop):
        self.w, self.h = w, h
        self.img = Image.new('RGB', (w, h), backdrop)
        self.cover = Image.new('L', (w, h), 0)

    def fill(self, colour_or_img, m=None, alpha=1.0, shape=True):
        src = colour_or_img
        if not isinstance(src, Image.Image):
            src = Image.new('RGB', (self.w, self.h), src)
        if m is None:
            m = Image.new('L', (self.w, self.h), 255)
        if alpha != 1.0:
            m = scale_mask(m, alpha)
        self.img.paste(src, (0, 0), m)
        if shape:
            self.cover = union(self.cover, m)
        return self

    def keyed(self, key=KEY, threshold=128, corners=()):
        """Puts the key where the shape is not; corners listed are forced to it."""
        out = self.img.copy()
        px, cv = out.load(), self.cover.load()
        for y in range(self.h):
            for x in range(self.w):
                if cv[x, y] < threshold:
                    px[x, y] = key
                elif px[x, y] == key:
                    px[x, y] = (0xFE, 0, 0xFE)
        for x, y in corners:
            px[x % self.w, y % self.h] = key
        return out

    def opaque(self):
        out = self.img.copy()
        px = out.load()
        for y in range(self.h):
            for x in range(self.w):
                if px[x, y] == KEY:
                    px[x, y] = (0xFE, 0, 0xFE)
        return out


def texture(w, h, seed, amount):
    """A deterministic fine grain: a mask of small values from a fixed sequence."""
    m = Image.new('L', (w, h), 0)
    px = m.load()
    state = seed & 0xFFFFFFFF
    for y in range(h):
        for x in range(w):
            state = (state * 1103515245 + 12345) & 0x7FFFFFFF
            px[x, y] = int(((state >> 16) & 0xFF) * amount)
    return m
