#!/usr/bin/env python3
"""Draws the panes' and dialogs' small images in the program's flat 16-colour style and writes
them as PNG files beside this script. Each image is a character map over the 16-colour palette,
so the images can be reviewed and changed as text."""
import os
import struct
import zlib

PAL = {
    'k': (0, 0, 0), 'r': (128, 0, 0), 'g': (0, 128, 0), 'y': (128, 128, 0),
    'b': (0, 0, 128), 'm': (128, 0, 128), 'c': (0, 128, 128), 's': (192, 192, 192),
    'd': (128, 128, 128), 'R': (255, 0, 0), 'G': (0, 255, 0), 'Y': (255, 255, 0),
    'B': (0, 0, 255), 'M': (255, 0, 255), 'C': (0, 255, 255), 'w': (255, 255, 255),
    '.': (0, 0, 0),
}


# The tree images' mask colour: a colour none of them draws with, so their black outlines stay.
MASK = (255, 0, 255)


def write_png(path, rows, alpha=False):
    # With alpha, '.' is transparent (icons); without, it is the tree images' mask colour.
    h = len(rows)
    w = max(len(r) for r in rows)
    raw = b''
    for r in rows:
        r = r.ljust(w, '.')
        if alpha:
            raw += b'\x00' + b''.join(bytes(PAL[ch]) + (b'\x00' if ch == '.' else b'\xff') for ch in r)
        else:
            raw += b'\x00' + b''.join(bytes(MASK if ch == '.' else PAL[ch]) for ch in r)
    def chunk(tag, data):
        c = struct.pack('>I', len(data)) + tag + data
        return c + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6 if alpha else 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)


IMAGES = {
    # The project root: a small monitor with a site on it.
    'treeroot.png': [
        '................',
        '..kkkkkkkkkkkk..',
        '..kwwwwwwwwwwk..',
        '..kwbbbbbbbbdk..',
        '..kwbCCbbbbbdk..',
        '..kwbbbCCbbbdk..',
        '..kwbbbbbCCbdk..',
        '..kwbbbbbbbbdk..',
        '..kwddddddddk...',
        '..kkkkkkkkkkkk..',
        '......kddk......',
        '.....kddddk.....',
        '...kkkkkkkkkk...',
        '...kssssssswk...',
        '...kkkkkkkkkk...',
        '................',
    ],
    # A closed folder.
    'treefolder.png': [
        '................',
        '................',
        '..kkkkk.........',
        '.kYwYwYk........',
        'kkkkkkkkkkkkk...',
        'kwYwYwYwYwYyk...',
        'kYwYwYwYwYwyk...',
        'kwYwYwYwYwYyk...',
        'kYwYwYwYwYwyk...',
        'kwYwYwYwYwYyk...',
        'kYwYwYwYwYwyk...',
        'kyyyyyyyyyyyk...',
        'kkkkkkkkkkkkk...',
        '................',
        '................',
        '................',
    ],
    # An open folder.
    'treeopen.png': [
        '................',
        '................',
        '..kkkkk.........',
        '.kYwYwYk........',
        'kkkkkkkkkkkk....',
        'kwYwYwYwYwYk....',
        'kYwYkkkkkkkkkkk.',
        'kwYkyYyYyYyYyk..',
        'kYkyYyYyYyYyk...',
        'kwkYyYyYyYyYk...',
        'kkyYyYyYyYyk....',
        'kkYyYyYyYyYk....',
        'kkkkkkkkkkk.....',
        '................',
        '................',
        '................',
    ],
    # A page file.
    'treefile.png': [
        '..kkkkkkkk......',
        '..kwwwwwwkk.....',
        '..kwwwwwwkwk....',
        '..kwddddwkkkk...',
        '..kwwwwwwwwwk...',
        '..kwbbbbbbwwk...',
        '..kwwwwwwwwwk...',
        '..kwbbbbbbbwk...',
        '..kwwwwwwwwwk...',
        '..kwbbbbbwwwk...',
        '..kwwwwwwwwwk...',
        '..kwbbbbbbbwk...',
        '..kwwwwwwwwwk...',
        '..kwwwwwwwwwk...',
        '..kkkkkkkkkkk...',
        '................',
    ],
}

IMAGES['scandone.png'] = ['................................', '...........kkkkkkkkkk...........', '........kkkwwwwwwwwwwkkk........', '......kkwwwwwwwwwwwwwwwwkk......', '.....kwwwwwwwwwwwwwwwwwwwwk.....', '....kwwwwwwwwwbbbbwwwwwwwwwk....', '...kwwwwwwwwwbbbbbbwwwwwwwwwk...', '...kwwwwwwwwwbbbbbbwwwwwwwwwk...', '..kwwwwwwwwwwwbbbbwwwwwwwwwwwk..', '..kwwwwwwwwwwwwwwwwwwwwwwwwwwk..', '.kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.', '.kwwwwwwwwwwbbbbbbbwwwwwwwwwwwk.', '.kwwwwwwwwwwwwbbbbbwwwwwwwwwwwk.', '.kwwwwwwwwwwwwbbbbbwwwwwwwwwwwk.', '.kwwwwwwwwwwwwbbbbbwwwwwwwwwwwk.', '.kwwwwwwwwwwwwbbbbbwwwwwwwwwwwk.', '.kwwwwwwwwwwwwbbbbbwwwwwwwwwwwk.', '.kwwwwwwwwwwwwbbbbbwwwwwwwwwwwk.', '.kwwwwwwwwwwwwbbbbbwwwwwwwwwwwk.', '..kwwwwwwwwwwwbbbbbwwwwwwwwwwk..', '..kwwwwwwwwwwwbbbbbwwwwwwwwwwk..', '...kwwwwwwwwbbbbbbbbbwwwwwwwk...', '...kwwwwwwwwwwwwwwwwwwwwwwwwk...', '....kwwwwwwwwwwwwwwwwwwwwwwk....', '.....kwwwwwwwwwwwwwwwwwwwwk.....', '......kkwwwwwwwwwwwwwwwwkk......', '........kkkwwwwwwwwwwkkk........', '.........kwwwwkkkkkkk...........', '........kwwwk...................', '.......kwwk.....................', '......kkk.......................', '................................']

ICONS = {'scandone.png'}


def splash_rows():
    """The start-up picture, 360 x 200: a white card in a navy frame with a teal band along the
    top and a page with its tag lines on the left. The program writes its name and version on it."""
    w, h = 360, 200
    rows = [['w'] * w for _ in range(h)]
    def rect(x0, y0, x1, y1, ch):
        for y in range(y0, y1):
            for x in range(x0, x1):
                rows[y][x] = ch
    rect(0, 0, w, h, 'b')                 # navy frame
    rect(4, 4, w - 4, h - 4, 'w')         # the card
    rect(4, 4, w - 4, 40, 'c')            # teal band
    rect(4, 40, w - 4, 42, 'b')
    # A page with a folded corner and tag lines.
    rect(24, 64, 84, 144, 'k')
    rect(25, 65, 83, 143, 'w')
    for i in range(12):
        rect(83 - 12 + i, 64 + i, 84, 65 + i, 'w')
        rows[64 + i][83 - 12 + i] = 'k'
    rect(71, 76, 84, 77, 'k')
    for y, (x1, ch) in zip(range(84, 136, 8), [(70, 'b'), (76, 'c'), (66, 'b'), (74, 'c'), (70, 'b'), (60, 'c')]):
        rect(32, y, x1, y + 3, ch)
    return [''.join(r) for r in rows]

if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    for name, rows in IMAGES.items():
        write_png(os.path.join(here, name), rows, alpha=name in ICONS)
    write_png(os.path.join(here, 'splash.png'), splash_rows())
