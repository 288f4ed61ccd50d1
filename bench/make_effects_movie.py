#!/usr/bin/env python3
"""Writes a movie for measuring filters and blend modes: twenty sprites on a
1920 x 1080 stage at 25 frames per second, each a radially shaded disc with
a blur and a glow, half of them added and half screened onto a linear
gradient, all moving on every frame so that each frame is drawn afresh.

The same bytes on every run.  Usage: make_effects_movie.py OUTPUT [FRAMES]
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources', 'demo'))
import make_demo as swf  # noqa: E402  (the demo's SWF writing helpers)

W, H = 1920 * 20, 1080 * 20
FPS = 25
SPRITES = 20
BLEND_ADD, BLEND_SCREEN = 8, 4


def fixed16(v):
    return struct.pack('<i', int(round(v * 65536)))


def blur_filter(bx, by, passes):
    return bytes([1]) + fixed16(bx) + fixed16(by) + bytes([passes << 3])


def glow_filter(color, bx, by, strength, passes):
    flags = 0x20 | passes  # composite the source over the glow
    return bytes([2]) + swf.rgba(color) + fixed16(bx) + fixed16(by) + \
        struct.pack('<h', int(round(strength * 256))) + bytes([flags])


def place3(depth, cid=None, mtx=None, move=False, filters=None, blend=None):
    flags = (0x04 if mtx is not None else 0) | (0x02 if cid is not None else 0) | (0x01 if move else 0)
    flags2 = (0x02 if blend is not None else 0) | (0x01 if filters else 0)
    body = bytes([flags, flags2]) + struct.pack('<H', depth)
    if cid is not None:
        body += struct.pack('<H', cid)
    if mtx is not None:
        body += mtx
    if filters:
        body += bytes([len(filters)]) + b''.join(filters)
    if blend is not None:
        body += bytes([blend])
    return swf.tag(70, body)


def position(i, frame, frames):
    """Where sprite i is at a frame: on its own ellipse around the centre."""
    a = 2 * math.pi * (frame / frames + i / SPRITES) * (1 + i % 3)
    rx, ry = W * (0.18 + 0.012 * i), H * (0.16 + 0.012 * i)
    return int(W / 2 + rx * math.cos(a)), int(H / 2 + ry * math.sin(a))


def build(frames):
    tags = [swf.tag(9, bytes((0, 0, 0)))]
    # 1: the backdrop, a diagonal linear gradient over the whole stage.
    o = swf.Outline(1, 0)
    o.move(0, 0, fill1=1).line(W, 0).line(W, H).line(0, H).line(0, 0)
    sky = swf.gradient(0x10, swf.matrix(W / 32768, H / 32768 * 0.5, -W / 32768 * 0.3, H / 32768, W // 2, H // 2),
                       [(0, (10, 24, 70)), (120, (90, 40, 120)), (255, (240, 150, 60))])
    tags.append(swf.define_shape3(1, (0, W, 0, H), [sky], [], o.done()))
    # 2: a disc of 90 px radius, light at its heart.
    r = 90 * 20
    o = swf.Outline(1, 0)
    swf.circle_path(o, 0, 0, r, fill1=1)
    disc = swf.gradient(0x12, swf.matrix(r / 16384, 0, 0, r / 16384, 0, 0),
                        [(0, (255, 255, 230)), (150, (120, 200, 255)), (255, (40, 80, 200, 160))])
    tags.append(swf.define_shape3(2, (-r, r, -r, r), [disc], [], o.done()))
    # 3: a sprite holding it.
    tags.append(swf.sprite(3, [[swf.place2(1, 2, swf.matrix())]]))
    colors = [(255, 80, 40), (60, 255, 120), (80, 140, 255), (255, 220, 60)]
    for f in range(frames):
        if f == 0:
            tags.append(swf.place2(1, 1, swf.matrix()))
        for i in range(SPRITES):
            x, y = position(i, f, frames)
            s = 0.7 + 0.05 * (i % 7)
            m = swf.matrix(s, 0, 0, s, x, y)
            if f == 0:
                filters = [blur_filter(4 + i % 5, 4 + i % 5, 1 + i % 2),
                           glow_filter((*colors[i % 4], 220), 16, 16, 1.5, 2)]
                tags.append(place3(2 + i, 3, m, filters=filters, blend=BLEND_ADD if i % 2 else BLEND_SCREEN))
            else:
                tags.append(place3(2 + i, None, m, move=True))
        tags.append(swf.SHOW)
    tags.append(swf.END)
    body = swf.rect(0, W, 0, H) + struct.pack('<HH', FPS << 8, frames) + b''.join(tags)
    return b'FWS' + bytes([8]) + struct.pack('<I', 8 + len(body)) + body


def main():
    if len(sys.argv) not in (2, 3):
        sys.stderr.write('usage: make_effects_movie.py OUTPUT [FRAMES]\n')
        return 2
    frames = int(sys.argv[2]) if len(sys.argv) == 3 else 250
    with open(sys.argv[1], 'wb') as f:
        f.write(build(frames))
    return 0


if __name__ == '__main__':
    sys.exit(main())
