#!/usr/bin/env python3
"""Assembles an animated PNG from still PNG files of one colour type and bit
depth (made by ImageMagick), so that each frame's rectangle, delay, dispose and
blend operation are chosen exactly. Only chunks are written: the pixel data is
the stills' own IDAT payload.

usage: apng_chunks.py OUT.png WIDTH HEIGHT PLAYS [--hidden DEFAULT.png] FRAME...
FRAME: file.png:x:y:delay_num:delay_den:dispose:blend
"""
import struct
import sys
import zlib


def chunks(path):
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', path
    at = 8
    while at < len(data):
        (length,) = struct.unpack('>I', data[at:at + 4])
        kind = data[at + 4:at + 8]
        yield kind, data[at + 8:at + 8 + length]
        at += 12 + length


def chunk(kind, payload):
    return struct.pack('>I', len(payload)) + kind + payload + struct.pack('>I', zlib.crc32(kind + payload))


def still(path):
    ihdr, idat = None, b''
    for kind, payload in chunks(path):
        if kind == b'IHDR':
            ihdr = payload
        elif kind == b'IDAT':
            idat += payload
    return ihdr, idat


def main(args):
    out, width, height, plays = args[0], int(args[1]), int(args[2]), int(args[3])
    rest = args[4:]
    hidden = None
    if rest[0] == '--hidden':
        hidden, rest = rest[1], rest[2:]
    frames = [f.split(':') for f in rest]
    first_ihdr, _ = still(frames[0][0])
    ihdr = struct.pack('>II', width, height) + first_ihdr[8:]
    body = chunk(b'IHDR', ihdr) + chunk(b'acTL', struct.pack('>II', len(frames), plays))
    seq = 0
    for k, (path, x, y, num, den, dispose, blend) in enumerate(frames):
        frame_ihdr, idat = still(path)
        assert frame_ihdr[8:] == first_ihdr[8:], path
        w, h = struct.unpack('>II', frame_ihdr[:8])
        control = struct.pack('>IIIIIHHBB', seq, w, h, int(x), int(y), int(num), int(den), int(dispose), int(blend))
        seq += 1
        if k == 0 and hidden is not None:
            _, default = still(hidden)
            body += chunk(b'IDAT', default) + chunk(b'fcTL', control)
        else:
            body += chunk(b'fcTL', control)
        if k == 0 and hidden is None:
            body += chunk(b'IDAT', idat)
        elif k > 0 or hidden is not None:
            body += chunk(b'fdAT', struct.pack('>I', seq) + idat)
            seq += 1
    open(out, 'wb').write(b'\x89PNG\r\n\x1a\n' + body + chunk(b'IEND', b''))


main(sys.argv[1:])
