#!/usr/bin/env python3
"""Writes a movie that its own ActionScript drives, for the soak run: a 640 x
480 stage at 30 frames per second whose first frame's script duplicates a
clip 40 times and gives each copy speeds and an onEnterFrame handler that
moves, turns and bounces it and leaves a new array on it every frame; half
way through the 60-frame loop a script removes every other copy, and the
next loop duplicates them all again over the old ones. So the script
machine makes and drops clips, functions' calls and objects for as long as
the movie plays. Built with the demo's own writers.  Usage:
make_script_movie.py OUTPUT
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'resources', 'demo'))
from make_demo import (Outline, circle_path, define_shape3, matrix, place2, rect, solid, sprite, tag,  # noqa: E402
                       SHOW, END)

W, H = 640 * 20, 480 * 20
FPS, FRAMES = 30, 60
COPIES = 40

# Action codes.
ADD2, SUBTRACT, LESS2, GREATER, NOT, INCREMENT = 0x47, 0x0B, 0x48, 0x67, 0x12, 0x50
GET_VARIABLE, SET_VARIABLE, GET_MEMBER, SET_MEMBER = 0x1C, 0x1D, 0x4E, 0x4F
CLONE_SPRITE, REMOVE_SPRITE, RANDOM, INIT_ARRAY = 0x24, 0x25, 0x30, 0x42
PUSH, JUMP, IF, DEFINE_FUNCTION = 0x96, 0x99, 0x9D, 0x9B


class Script:
    """Action records with jumps to named places."""

    def __init__(self):
        self.parts = []  # bytes, or (code, label) for a jump to resolve
        self.places = {}

    def op(self, code, payload=b''):
        self.parts.append(bytes([code]) + (struct.pack('<H', len(payload)) + payload if code >= 0x80 else b''))
        return self

    def push(self, *values):
        payload = b''
        for v in values:
            payload += b'\x00' + v.encode() + b'\x00' if isinstance(v, str) else b'\x07' + struct.pack('<i', v)
        return self.op(PUSH, payload)

    def get(self, name):  # the variable's value
        return self.push(name).op(GET_VARIABLE)

    def member(self, obj, name):  # obj.name
        return self.get(obj).push(name).op(GET_MEMBER)

    def jump(self, code, label):
        self.parts.append((code, label))
        return self

    def place(self, label):
        self.parts.append(label)
        return self

    def function(self, body):  # an anonymous function without parameters
        code = body.bytes()
        return self.op(DEFINE_FUNCTION, b'\x00' + struct.pack('<HH', 0, len(code))).raw(code)

    def raw(self, data):
        self.parts.append(data)
        return self

    def bytes(self):
        size = lambda p: 5 if isinstance(p, tuple) else 0 if isinstance(p, str) else len(p)  # noqa: E731
        at, places = 0, {}
        for p in self.parts:
            if isinstance(p, str):
                places[p] = at
            at += size(p)
        out, at = b'', 0
        for p in self.parts:
            at += size(p)
            if isinstance(p, tuple):
                out += bytes([p[0]]) + struct.pack('<Hh', 2, places[p[1]] - at)
            elif not isinstance(p, str):
                out += p
        return out


def step():
    """this: move by (vx, vy), bounce off the stage's edges, turn, keep a trail."""
    s = Script()
    for axis, speed in (('_x', 'vx'), ('_y', 'vy')):
        s.get('this').push(axis).member('this', axis).member('this', speed).op(ADD2).op(SET_MEMBER)
    for axis, speed, size in (('_x', 'vx', 640), ('_y', 'vy', 480)):
        s.member('this', axis).push(size).op(GREATER).jump(IF, 'flip' + axis)
        s.member('this', axis).push(0).op(LESS2).op(NOT).jump(IF, 'kept' + axis)
        s.place('flip' + axis).get('this').push(speed).push(0).member('this', speed).op(SUBTRACT).op(SET_MEMBER)
        s.place('kept' + axis)
    s.get('this').push('_rotation').member('this', '_rotation').push(6).op(ADD2).op(SET_MEMBER)
    s.get('this').push('trail').member('this', '_y').member('this', '_x').push(2).op(INIT_ARRAY).op(SET_MEMBER)
    return s


def name_of_copy(s):  # "b" + i
    return s.push('b').get('i').op(ADD2)


def duplicate_all():
    s = Script()
    s.push('step').function(step()).op(SET_VARIABLE)
    s.push('i', 0).op(SET_VARIABLE)
    s.place('loop').get('i').push(COPIES).op(LESS2).op(NOT).jump(IF, 'done')
    s.push('ball')
    # The action takes the depth as the timeline stores it: a script's depth plus 16384.
    name_of_copy(s).push(16384 + 100).get('i').op(ADD2).op(CLONE_SPRITE)
    s.push('clip')
    name_of_copy(s).op(GET_VARIABLE).op(SET_VARIABLE)
    s.get('clip').push('onEnterFrame').get('step').op(SET_MEMBER)
    for speed in ('vx', 'vy'):
        s.get('clip').push(speed).push(11).op(RANDOM).push(5).op(SUBTRACT).op(SET_MEMBER)
    s.get('clip').push('_x').push(640).op(RANDOM).op(SET_MEMBER)
    s.get('clip').push('_y').push(480).op(RANDOM).op(SET_MEMBER)
    s.get('clip').push('_alpha').push(40).push(60).op(RANDOM).op(ADD2).op(SET_MEMBER)
    s.push('i').get('i').op(INCREMENT).op(SET_VARIABLE)
    s.jump(JUMP, 'loop').place('done')
    return s


def remove_half():
    s = Script()
    s.push('i', 0).op(SET_VARIABLE)
    s.place('loop').get('i').push(COPIES).op(LESS2).op(NOT).jump(IF, 'done')
    name_of_copy(s).op(REMOVE_SPRITE)
    s.push('i').get('i').push(2).op(ADD2).op(SET_VARIABLE)
    s.jump(JUMP, 'loop').place('done')
    return s


def do_action(script):
    return tag(12, script.bytes() + b'\x00')


def place_named(depth, cid, name, mtx):
    return tag(26, bytes([0x20 | 0x04 | 0x02]) + struct.pack('<HH', depth, cid) + mtx + name.encode() + b'\x00')


def build():
    tags = [tag(9, bytes((20, 24, 32)))]
    o = Outline(1, 0)
    o.move(-300, -200, fill1=1).line(300, -200).line(300, 200).line(-300, 200).line(-300, -200)
    tags.append(define_shape3(1, (-300, 300, -200, 200), [solid((230, 120, 40))], [], o.done()))
    o = Outline(1, 0)
    circle_path(o, 0, 0, 400, fill1=1)
    tags.append(define_shape3(2, (-400, 400, -400, 400), [solid((60, 160, 230, 200))], [], o.done()))
    # The clip that is copied: a ball with a bar turning on it, a timeline of its own.
    frames = []
    for f in range(8):
        bar = matrix(1.0, 0.0, 0.0, 1.0, 0, 0) if f == 0 else None
        turn = matrix(0.7 if f % 2 else 1.0, 0.0, 0.0, 1.0)
        frames.append([place2(1, 2, bar), place2(2, 1, turn)] if f == 0 else [place2(2, None, turn, move=True)])
    tags.append(sprite(3, frames))
    for f in range(FRAMES):
        if f == 0:
            tags += [place_named(1, 3, 'ball', matrix(tx=W // 2, ty=H // 2)), do_action(duplicate_all())]
        if f == FRAMES // 2:
            tags.append(do_action(remove_half()))
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
