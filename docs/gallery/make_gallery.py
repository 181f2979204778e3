#!/usr/bin/env python3
# docs/gallery/make_gallery.py -- the gallery's pictures, made from the golden images of tests/golden/images:
# the still pictures copied as they are, the movement styles at half size (each output pixel the mean of
# four). Standard library only (zlib), so it runs wherever the tests run.
import os, struct, sys, zlib

HERE = os.path.dirname(os.path.abspath(__file__))
GOLDEN = os.path.join(HERE, '..', '..', 'tests', 'golden', 'images')

FULL_SIZE = ['solid_cubes_numerals_pm', 'wire_cubes_numerals_pm', 'solid_spheres_plain_am',
             'wire_spheres_numerals_am', 'solid_both_numerals_am', 'wire_both_plain', 'solid_no_markers_ampm',
             'prompt_640x480', 'prompt_800x600', 'bad_scheme_99', 'bad_style_-5']
HALF_SIZE = ['movement_%02d' % style for style in range(13)]


def read_png(path):
    data = open(path, 'rb').read()
    pos, idat = 8, b''
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            if depth != 8 or colour != 2:
                sys.exit('%s: only 8-bit RGB pictures are expected' % path)
        elif kind == b'IDAT':
            idat += body
    raw, stride, rows, prev, at = zlib.decompress(idat), width * 3, [], bytearray(width * 3), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for x in range(stride):
            a = line[x - 3] if x >= 3 else 0
            b = prev[x]
            c = prev[x - 3] if x >= 3 else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prev = line
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff)
    raw = b''.join(b'\0' + bytes(row) for row in rows)
    with open(path, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)) +
                  chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def half(width, height, rows):
    out = []
    for y in range(0, height - 1, 2):
        top, bottom, line = rows[y], rows[y + 1], bytearray((width // 2) * 3)
        for x in range(width // 2):
            for c in range(3):
                i = x * 6 + c
                line[x * 3 + c] = (top[i] + top[i + 3] + bottom[i] + bottom[i + 3] + 2) // 4
        out.append(line)
    return width // 2, height // 2, out


for name in FULL_SIZE:
    write_png(os.path.join(HERE, name + '.png'), *read_png(os.path.join(GOLDEN, name + '.png')))
for name in HALF_SIZE:
    write_png(os.path.join(HERE, name + '.png'), *half(*read_png(os.path.join(GOLDEN, name + '.png'))))
print('gallery pictures written to', HERE)
