#!/usr/bin/env python3
"""Writes the button glyphs as 24-bit BMP files from the pixel drawings below.

Each drawing is 16 rows of 16 characters (two images side by side are 32 wide); '.' is
the transparent colour, which is also the bottom-left pixel of every glyph. Each is also
written at 24 and 32 pixels, for displays scaled to 150 % and 200 %."""
import os
import struct

PALETTE = {
    '.': (255, 0, 255),   # transparent
    'k': (0, 0, 0),
    'g': (128, 128, 128),
    'l': (192, 192, 192),
    'w': (255, 255, 255),
    'y': (255, 214, 64),
    'o': (200, 150, 20),
    'b': (40, 80, 200),
    'n': (20, 40, 120),
    'r': (200, 40, 40),
    'd': (150, 95, 45),
    'e': (100, 60, 25),
}

TRACK_ARTISTS = """
................
....gggggggggg..
....gwwwwwwwwg..
....gwkkkkkkwg..
..ggggggggggwg..
..gwwwwwwwwgwg..
..gwkkkkkkwgwg..
..gwwwwwwwwgwg..
..gwkkkkkwwgwg..
..gwwwwwwwwgwg..
..gwkkkkkkwggg..
..gwwwwwwwwg....
..gwkkkwwwwg....
..gwwwwwwwwg....
..gggggggggg....
................
"""

LOAD = """
................
................
..oooo..........
.oyyyyo.........
.oyyyyoooooooo..
.oyyyyyyyyyyyo..
.oyyooooooooooo.
.oyoyyyyyyyyyyo.
.oyoyyyyyyyyyo..
.ooyyyyyyyyyyo..
.ooyyyyyyyyyo...
.oyyyyyyyyyyo...
.oooooooooooo...
................
................
................
"""

SAVE = """
................
.nnnnnnnnnnnnn..
.nbwwwwwwwwwbn..
.nbwwwwwwwwwbn..
.nbwkkkkkkkwbn..
.nbwwwwwwwwwbn..
.nbwkkkkkkkwbn..
.nbbbbbbbbbbbn..
.nbbbbbbbbbbbn..
.nbbllllllbbbn..
.nbbllggllbbbn..
.nbbllggllbbbn..
.nbbllllllbbbn..
..nnnnnnnnnnnn..
................
................
"""

# Two images: the door in colour, then the same door in grey for the disabled button.
END = """
................................
...kkkkkkkkk.......ggggggggg....
...kwwddddk........gwwllllg.....
...kwweddddk.......gwwglllg.....
...kwweddddk.......gwwglllg.....
...kwweddddk.......gwwglllg.....
...kwweddddk..r....gwwglllg..g..
...kwweddyddkrrr...gwwgllwlggggg
...kwweddyddk.r....gwwgllwlg.g..
...kwweddddk.......gwwglllg.....
...kwweddddk.......gwwglllg.....
...kwweddddk.......gwwglllg.....
...kwweddddk.......gwwglllg.....
...kwwkkkkk........gwwggggg.....
...kkkk............gggg.........
................................
"""


def scaled(drawing, size):
    """The drawing at `size` pixels a glyph instead of 16: each pixel repeated (at 24, in a
    pattern of one and two), so that edges stay sharp."""
    rows = drawing.strip('\n').split('\n')
    return '\n'.join(''.join(rows[y * 16 // size][x * 16 // size]
                              for x in range(len(rows[0]) * size // 16))
                      for y in range(size))


def write_bmp(path, drawing):
    rows = [line for line in drawing.strip('\n').split('\n')]
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # BMP rows go bottom-up
        line = bytearray()
        for ch in row:
            r, g, b = PALETTE[ch]
            line += bytes((b, g, r))
        line += b'\0' * (stride - len(line))
        pixels += line
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + pixels)


here = os.path.dirname(os.path.abspath(__file__))
for name, drawing in (('trackartists', TRACK_ARTISTS), ('load', LOAD), ('save', SAVE),
                      ('end', END)):
    write_bmp(os.path.join(here, name + '.bmp'), drawing)
    # The same glyphs for displays at 150 % and 200 %.
    for size in (24, 32):
        write_bmp(os.path.join(here, '%s-%d.bmp' % (name, size)), scaled(drawing, size))

# The application icon: a note on a record, 16 x 16, also written doubled to 32 x 32.
ICON = """
.....kkkkkk.....
...kkggggggkk...
..kggggggggggk..
.kgggggggwkgggk.
.kggggggwwkgggk.
kgggggggwgkggggk
kggggglllgkggggk
kgggglrrrlkggggk
kgggglrrrlkggggk
kgggkklllkkggggk
kggkkkkgggggggk.
.kgkkkkggggggk..
.kgkkkggggggk...
..kggggggggk....
...kkggggkk.....
.....kkkkk......
"""


def write_ico(path, drawing):
    rows = drawing.strip('\n').split('\n')
    images = []
    for scale in (1, 2):
        size = 16 * scale
        pixels = bytearray()
        mask = bytearray()
        for y in reversed(range(size)):
            row = rows[y // scale]
            bits = 0
            mask_row = bytearray()
            for x in range(size):
                ch = row[x // scale]
                r, g, b = PALETTE[ch]
                alpha = 0 if ch == '.' else 255
                pixels += bytes((b, g, r, alpha))
                bits = (bits << 1) | (1 if ch == '.' else 0)
                if x % 8 == 7:
                    mask_row.append(bits)
                    bits = 0
            mask_row += b'\0' * ((4 - len(mask_row) % 4) % 4)
            mask += mask_row
        info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask),
                           0, 0, 0, 0)
        images.append((size, info + pixels + mask))
    header = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b''
    data = b''
    for size, blob in images:
        entries += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(blob), offset + len(data))
        data += blob
    with open(path, 'wb') as f:
        f.write(header + entries + data)


write_ico(os.path.join(here, 'quorvel.ico'), ICON)
