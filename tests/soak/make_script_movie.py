#!/usr/bin/env python3
"""Writes a movie whose timeline its own actions drive, for the soak run: 48
frames at 30 per second on a 640 x 480 stage, two shapes moving, and frame
actions that jump ahead, jump back and play on, so that the timeline never
runs straight through. Built with the demo's own writers.  Usage:
make_script_movie.py OUTPUT
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'resources', 'demo'))
from make_demo import (Outline, circle_path, define_shape3, matrix, place2, rect, solid, tag,  # noqa: E402
                       SHOW, END)

W, H = 640 * 20, 480 * 20
FPS, FRAMES = 30, 48


def goto_and_play(frame):
    # GotoFrame (0-based), then Play.
    return bytes([0x81, 2, 0]) + struct.pack('<H', frame) + bytes([0x06])


def do_action(actions):
    return tag(12, actions + b'\x00')


def build():
    tags = [tag(9, bytes((20, 24, 32)))]
    o = Outline(1, 0)
    o.move(-1000, -600, fill1=1).line(1000, -600).line(1000, 600).line(-1000, 600).line(-1000, -600)
    tags.append(define_shape3(1, (-1000, 1000, -600, 600), [solid((230, 120, 40))], [], o.done()))
    o = Outline(1, 0)
    circle_path(o, 0, 0, 900, fill1=1)
    tags.append(define_shape3(2, (-900, 900, -900, 900), [solid((60, 160, 230, 200))], [], o.done()))
    # Jumps: 10 -> 30, 40 -> 12, 47 -> 0; the rest plays on.
    jumps = {10: 30, 40: 12, 47: 0}
    for f in range(FRAMES):
        t = f / FRAMES * 2 * math.pi
        box = matrix(math.cos(t), math.sin(t), -math.sin(t), math.cos(t), W // 2 + int(3000 * math.cos(t)), H // 2)
        ball = matrix(tx=W // 2, ty=H // 2 + int(3000 * math.sin(2 * t)))
        if f == 0:
            tags += [place2(1, 1, box), place2(2, 2, ball)]
        else:
            tags += [place2(1, None, box, move=True), place2(2, None, ball, move=True)]
        if f in jumps:
            tags.append(do_action(goto_and_play(jumps[f])))
        tags.append(SHOW)
    tags.append(END)
    body = rect(0, W, 0, H) + struct.pack('<HH', FPS << 8, FRAMES) + b''.join(tags)
    return b'FWS' + bytes([6]) + struct.pack('<I', 8 + len(body)) + body


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.stderr.write('usage: make_script_movie.py OUTPUT\n')
        sys.exit(2)
    with open(sys.argv[1], 'wb') as out:
        out.write(build())
