#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_capture_file: small capture files (docs/capture-format.md)
that exercise every record kind, every createTexture overload and every device query, plus a
few that the reader must refuse. Usage: MakeCaptureSeeds.py <corpus folder>"""
import os
import struct
import sys

M = (1 << 64) - 1
P1, P2, P3 = 0x9E3779B185EBCA87, 0xC2B2AE3D27D4EB4F, 0x165667B19E3779F9


def rotl(v, b):
    return ((v << b) | (v >> (64 - b))) & M


def content_hash(data):
    lanes = [(P1 + P2) & M, P2, 0, (-P1) & M]
    off = 0
    while off + 32 <= len(data):
        for i in range(4):
            word = struct.unpack_from('<Q', data, off + 8 * i)[0]
            lanes[i] = (rotl((lanes[i] + word * P2) & M, 31) * P1) & M
        off += 32
    h = (rotl(lanes[0], 1) + rotl(lanes[1], 7) + rotl(lanes[2], 12) + rotl(lanes[3], 18) + len(data) * P3) & M
    for b in data[off:]:
        h = (rotl(h ^ ((b * P3) & M), 11) * P1) & M
    h ^= h >> 33
    h = (h * P2) & M
    h ^= h >> 29
    return h


class Capture:
    def __init__(self):
        self.out = bytearray(b'DD7RCAPT' + struct.pack('<II', 1, 32))
        self.blobs = 0

    def record(self, kind, payload):
        self.out += struct.pack('<BI', kind, len(payload)) + payload

    def blob(self, data):
        self.blobs += 1
        self.record(1, struct.pack('<IQ', self.blobs, content_hash(data)) + data)
        return self.blobs


def s(text):
    if text is None:
        return struct.pack('<I', 0xFFFFFFFF)
    b = text.encode()
    return struct.pack('<I', len(b)) + b


def pf(bits, r, g, b, a=0):
    return struct.pack('<6I', 0x40, bits, r, g, b, a)


def answers(c, size=(32.0, 24.0), blend=2):
    c.record(4, struct.pack('<BB', 1, 1))                                # DirectDraw present
    c.record(4, struct.pack('<BII', 6, 0, 0) + pf(16, 0xF800, 0x07E0, 0x001F))
    c.record(4, struct.pack('<Bi', 3, blend))
    c.record(4, struct.pack('<Bff', 2, *size))
    c.record(4, struct.pack('<Bi', 4, 2))
    c.record(4, struct.pack('<Bi', 5, 565))


def quad(c, renderer, texture, colour=0xFFFFFFFF):
    c.record(8, struct.pack('<I4ffI4f4Ii', renderer, 2, 2, 18, 12, 0.5, texture, 0, 0, 8, 8,
                            colour, colour, colour, colour, 0))


def session(blend):
    c = Capture()
    c.record(2, struct.pack('<IBIB', 1, 1, 0, 0) + s(None) + struct.pack('<II', 0, 0))
    answers(c, blend=blend)
    c.record(6, struct.pack('<IBII', 1, 1, 32, 24) + pf(16, 0xF800, 0x07E0, 0x001F) + struct.pack('<I', 0x840))
    c.record(12, struct.pack('<IIB', 1, 1, 0))                           # createTexture()
    c.record(17, struct.pack('<IB', 1, 1))                               # in-memory flag
    pixels = bytes((i * 37) & 0xFF for i in range(8 * 8 * 4))
    c.record(20, struct.pack('<IBIIII', 1, 1, 8, 8, 1, c.blob(pixels)))
    c.record(4, struct.pack('<Bi', 4, 2))
    c.record(4, struct.pack('<Bi', 5, 565))
    c.record(21, struct.pack('<IBIIIIIII', 1, 1, 2, 2, 4, 4, 32, 1, c.blob(pixels[:3 * 32 + 16])))
    c.record(12, struct.pack('<IIBf', 1, 2, 1, 64.9))                   # sized
    c.record(12, struct.pack('<IIB', 1, 3, 3) + s('skin/button.png') + s('C:\\game\\') +
             struct.pack('<I', c.blob(b'\x89PNG\r\n\x1a\nnot really')))
    c.record(5, struct.pack('<B', 1) + s('CDD7Render::createTexture failed from file : (reason)'))
    c.record(12, struct.pack('<IIBBII', 1, 4, 2, 1, 6, c.blob(b'BM\x00\x01\x02\x03')))
    c.record(11, struct.pack('<IB', 1, 1))
    target = bytes((i * 7) & 0xFF for i in range(32 * 24 * 2))
    c.record(7, struct.pack('<IIIII', 1, c.blob(target), 32, 24, 64))
    quad(c, 1, 1)
    quad(c, 1, 0, 0x80FF0000)
    quad(c, 1, 0xFFFFFFFF)
    c.record(9, struct.pack('<I', 1))
    c.record(15, struct.pack('<I', 1))
    c.record(16, struct.pack('<IB', 1, 1))
    c.record(4, struct.pack('<BB', 1, 1))
    c.record(4, struct.pack('<Bff', 2, 40.0, 30.0))
    c.record(18, struct.pack('<I', 3) + s('a.bmp') + s(None) + struct.pack('<I', 0))
    c.record(19, struct.pack('<IBII', 4, 1, 6, 0))
    c.record(10, struct.pack('<I', 1))
    c.record(11, struct.pack('<IB', 1, 0))
    quad(c, 1, 2)
    c.record(13, struct.pack('<II', 1, 2))
    c.record(14, struct.pack('<I', 1))
    c.record(3, struct.pack('<I', 1))
    return bytes(c.out)


def refused():
    ok = session(0)
    yield 'refused-short-header', ok[:10]
    yield 'refused-version', ok[:8] + struct.pack('<I', 2) + ok[12:]
    yield 'refused-record-length', ok[:16] + struct.pack('<BI', 2, 0x7FFFFFFF) + ok[21:]
    c = Capture()
    c.record(20, struct.pack('<IBIIII', 1, 1, 4096, 4096, 1, 0))  # stand-in beyond the limit? no: 64 MiB
    c.record(20, struct.pack('<IBIIII', 1, 1, 65535, 65535, 1, 0))
    yield 'refused-stand-in', bytes(c.out)
    c = Capture()
    c.blob(b'abc')
    c.record(20, struct.pack('<IBIIII', 1, 1, 8, 8, 1, 1))           # blob too short for 8x8
    yield 'refused-blob-size', bytes(c.out)
    c = Capture()
    c.record(1, struct.pack('<IQ', 1, 0) + b'xyz')                     # wrong hash
    yield 'refused-blob-hash', bytes(c.out)
    c = Capture()
    c.record(99, b'')
    yield 'refused-kind', bytes(c.out)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    seeds = [('seed-session-blend%d' % blend, session(blend)) for blend in (0, 1, 2)]
    seeds += [('seed-header-only', bytes(Capture().out))]
    seeds += [('seed-' + name, data) for name, data in refused()]
    for name, data in seeds:
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
