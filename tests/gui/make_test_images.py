#!/usr/bin/python3
"""Writes the small pictures that the graphics tests load from gui_tests' resources.

Run it from anywhere; it rewrites tests/gui/images/. Every picture has a pixel layout that the
tests check exactly, so keep the two in step. Needs Pillow only for the JPEG.
"""
import io
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'images')

MAGENTA = (255, 0, 255)
RED = (255, 0, 0)
GREEN = (0, 255, 0)
BLUE = (0, 0, 255)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREY = (128, 128, 128)


def bmp(width, height, bits, pixels, palette=None):
    """pixels: rows top first; an entry is an (r, g, b) for 24 bits or a palette index."""
    stride = ((width * bits + 31) // 32) * 4
    body = b''
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        if bits == 24:
            for r, g, b in row:
                line += bytes((b, g, r))
        elif bits == 8:
            line += bytes(row)
        elif bits == 4:
            for i in range(0, width, 2):
                hi = row[i]
                lo = row[i + 1] if i + 1 < width else 0
                line.append((hi << 4) | lo)
        line += b'\0' * (stride - len(line))
        body += bytes(line)
    table = b''
    if palette:
        for r, g, b in palette:
            table += bytes((b, g, r, 0))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(body), 2835, 2835,
                       len(palette) if palette else 0, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(body), 0, 0, offset)
    return header + info + table + body


def ico_16_and_32():
    """A 16 x 16 green square with a transparent top-left 4 x 4 corner, and a 32 x 32 red one."""
    images = []
    for size, colour in ((16, GREEN), (32, RED)):
        xor = b''
        mask_stride = ((size + 31) // 32) * 4
        and_mask = b''
        for y in reversed(range(size)):
            for x in range(size):
                transparent = size == 16 and x < 4 and y < 4
                r, g, b = BLACK if transparent else colour
                xor += bytes((b, g, r))
            bits = bytearray(mask_stride)
            for x in range(size):
                if size == 16 and x < 4 and y < 4:
                    bits[x // 8] |= 0x80 >> (x % 8)
            and_mask += bytes(bits)
        info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 24, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
        images.append((size, info + xor + and_mask))
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b''
    data = b''
    for size, blob in images:
        entries += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 24, len(blob), offset + len(data))
        data += blob
    return directory + entries + data


def jpeg():
    """16 x 8: the left 8 x 8 block red, the right one blue."""
    from PIL import Image
    image = Image.new('RGB', (16, 8))
    for y in range(8):
        for x in range(16):
            image.putpixel((x, y), RED if x < 8 else BLUE)
    out = io.BytesIO()
    image.save(out, format='JPEG', quality=95, subsampling=0)
    return out.getvalue()


def main():
    os.makedirs(HERE, exist_ok=True)
    # 24 bits, 5 x 3: red, green, blue, white, black on top; grey row; magenta first at the bottom.
    rows24 = [[RED, GREEN, BLUE, WHITE, BLACK],
              [GREY] * 5,
              [MAGENTA, RED, RED, RED, GREEN]]
    files = {
        'test24.bmp': bmp(5, 3, 24, rows24),
        # 8 bits, 6 x 4 with a four-colour table; index = (x + y) % 4.
        'test8.bmp': bmp(6, 4, 8, [[(x + y) % 4 for x in range(6)] for y in range(4)],
                         [RED, GREEN, BLUE, WHITE]),
        # 4 bits, 7 x 3 (odd width): column x has index x % 3.
        'test4.bmp': bmp(7, 3, 4, [[x % 3 for x in range(7)] for _ in range(3)], [BLACK, MAGENTA, GREEN]),
        'test.ico': ico_16_and_32(),
        'test.jpg': jpeg(),
        'broken.jpg': jpeg()[:40],
    }
    for name, data in files.items():
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
