"""Writers for the picture files the resource compiler takes in.

Pillow cannot write 4-bit bitmaps and chooses its own icon layout, so the
Windows formats are put together here by hand: plain BITMAPINFOHEADER
bitmaps at 4, 8 or 24 bits, and .ico files whose small images are 32-bit
DIBs with an AND mask and whose 256-pixel image is a PNG. Everything is
written from the pixels alone, so the same picture gives the same bytes.
"""

import io
import struct

from PIL import Image

KEY = (255, 0, 255)


def _row_bytes(bits, width):
    return ((bits * width + 31) // 32) * 4


def _palette_image(img, colours, key):
    """Maps an RGB image onto at most `colours` palette entries.

    The key colour, when given, gets an entry of its own and no other entry
    equals it, so the key stays exact and appears only where it was drawn.
    Returns (indices, palette) with palette a list of RGB tuples.
    """
    w, h = img.size
    pixels = list(img.getdata())
    keyed = [p == key for p in pixels] if key else [False] * len(pixels)
    others = [p for p, k in zip(pixels, keyed) if not k]
    budget = colours - (1 if key else 0)
    if not others:
        palette, lookup = [], []
    else:
        distinct = sorted(set(others))
        if len(distinct) <= budget:
            palette = distinct
            index = {c: i for i, c in enumerate(palette)}
            lookup = [index[p] for p in others]
        else:
            tmp = Image.new('RGB', (len(others), 1))
            tmp.putdata(others)
            q = tmp.quantize(colors=budget, method=Image.Quantize.MEDIANCUT,
                             dither=Image.Dither.NONE)
            raw = q.getpalette()
            used = max(q.getdata()) + 1
            palette = [tuple(raw[3 * i:3 * i + 3]) for i in range(used)]
            lookup = list(q.getdata())
    palette = [(0xFE, 0, 0xFE) if key and c == key else c for c in palette]
    key_index = len(palette)
    if key:
        palette.append(key)
    it = iter(lookup)
    indices = [key_index if k else next(it) for k in keyed]
    assert len(palette) <= colours
    palette += [(0, 0, 0)] * (colours - len(palette))
    return indices, palette


def bmp_bytes(img, bits, key=None):
    """A Windows bitmap file of the RGB image at 4, 8 or 24 bits per pixel."""
    img = img.convert('RGB')
    w, h = img.size
    stride = _row_bytes(bits, w)
    if bits == 24:
        palette = []
        px = img.load()
        rows = []
        for y in range(h - 1, -1, -1):
            row = bytearray()
            for x in range(w):
                r, g, b = px[x, y]
                row += bytes((b, g, r))
            row += b'\0' * (stride - len(row))
            rows.append(bytes(row))
    elif bits in (4, 8):
        indices, palette = _palette_image(img, 1 << bits, key)
        rows = []
        for y in range(h - 1, -1, -1):
            line = indices[y * w:(y + 1) * w]
            if bits == 8:
                row = bytearray(line)
            else:
                row = bytearray()
                for x in range(0, w, 2):
                    hi = line[x]
                    lo = line[x + 1] if x + 1 < w else 0
                    row.append((hi << 4) | lo)
            row += b'\0' * (stride - len(row))
            rows.append(bytes(row))
    else:
        raise ValueError('unsupported bit depth %d' % bits)
    pal = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    data = b''.join(rows)
    offset = 14 + 40 + len(pal)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 0, len(data),
                       2835, 2835, len(palette), 0)
    head = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    return head + info + pal + data


def ico_bytes(images):
    """An icon file of RGBA images; 256-pixel images are stored as PNG."""
    entries, blobs = [], []
    for img in images:
        img = img.convert('RGBA')
        w, h = img.size
        if w >= 256:
            buf = io.BytesIO()
            img.save(buf, format='PNG', optimize=False)
            blob = buf.getvalue()
        else:
            px = img.load()
            xor = bytearray()
            and_stride = _row_bytes(1, w)
            mask = bytearray()
            for y in range(h - 1, -1, -1):
                bitrow = bytearray(and_stride)
                for x in range(w):
                    r, g, b, a = px[x, y]
                    xor += bytes((b, g, r, a))
                    if a == 0:
                        bitrow[x // 8] |= 0x80 >> (x % 8)
                mask += bitrow
            info = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 32, 0,
                               len(xor) + len(mask), 0, 0, 0, 0)
            blob = info + bytes(xor) + bytes(mask)
        entries.append((w, h, blob))
        blobs.append(blob)
    out = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for w, h, blob in entries:
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, 32,
                           len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)
