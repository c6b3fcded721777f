#!/usr/bin/env python3
"""Draws the toolbar button strips in the program's flat 16-colour style and writes them as PNG
files beside this script: toolbar.png (16 x 15 per button) and toolbarlarge.png (48 x 32 per
button: the small picture centred across the top, leaving the lower part to the caption that
large buttons show under their picture). Each button is a character map over the 16-colour
palette, so the images can be reviewed and changed as text; 's' is the button face."""
import os
import struct
import zlib

PAL = {
    'k': (0, 0, 0), 'r': (128, 0, 0), 'g': (0, 128, 0), 'y': (128, 128, 0),
    'b': (0, 0, 128), 'm': (128, 0, 128), 'c': (0, 128, 128), 's': (192, 192, 192),
    'd': (128, 128, 128), 'R': (255, 0, 0), 'G': (0, 255, 0), 'Y': (255, 255, 0),
    'B': (0, 0, 255), 'M': (255, 0, 255), 'C': (0, 255, 255), 'w': (255, 255, 255),
}

# In the order of the TOOLBAR resources in app.rc.
BUTTONS = [
    ('New Project', [
        'ssskkkkkkkkssss',
        'ssskwwwwwwkkssss',
        'ssskwwwwwwkwkss',
        'ssskwwwwwwkkkks',
        'ssskwwwwwwwwwks',
        'ssskwwwwwwwwwks',
        'ssskwwwwwwwwwks',
        'ssskwwwwwwwwwks',
        'ssskwwwwwwwwwks',
        'ssskwwwwwwwwwks',
        'ssskwwwwwwwwwks',
        'ssskwwwwwwwwwks',
        'ssskwwwwwwwwwks',
        'ssskkkkkkkkkkks',
        'ssssssssssssssss',
    ]),
    ('Open Project', [
        'ssssssssssssssss',
        'sssssssssskkksss',
        'sssssssssssssksk',
        'ssssssssssssssks',
        'skkkssssssssskks',
        'kYwYkkkkkkksssss',
        'kwYwYwYwYwkssss',
        'kYwYwYwYwYksss',
        'kwYwYkkkkkkkkkk',
        'kYwYkyyyyyyyyyk',
        'kwYkyyyyyyyyyks',
        'kYkyyyyyyyyyksss',
        'kkyyyyyyyyyksss',
        'kkkkkkkkkkkssss',
        'ssssssssssssssss',
    ]),
    ('Print', [
        'ssssssssssssssss',
        'sssskkkkkkkkssss',
        'sssskwwwwwwkssss',
        'sssskwkkkkwkssss',
        'sssskwwwwwwkssss',
        'ssskkwkkkkwkkkss',
        'sskskwwwwwwkskks',
        'skkkkkkkkkkkkskk',
        'skssssssssssskks',
        'skssssssssGGskks',
        'skkkkkkkkkkkkksk',
        'sskssssssssssksk',
        'ssskkkkkkkkkkkks',
        'ssssssssssssssss',
        'ssssssssssssssss',
    ]),
    ('Cut', [
        'ssssssssssssssss',
        'sssskssssskssss',
        'sssskssssskssss',
        'sssskksssskksss',
        'ssssskssskksssss',
        'ssssskkskksssss',
        'sssssskkksssssss',
        'sssssskksssssss',
        'sssssbkbbsssssss',
        'sssbbbsbssbbbsss',
        'ssbssbsbssbssbss',
        'ssbssbsbssbssbss',
        'ssbssbssssbssbss',
        'sssbbsssssbbssss',
        'ssssssssssssssss',
    ]),
    ('Copy', [
        'skkkkkkssssssss',
        'skwwwwkkssssssss',
        'skwkkwkwksssssss',
        'skwwwwkkkkssssss',
        'skwkkkkkkkkkssss',
        'skwwwwkwwwwkkss',
        'skwkkkkwkkwkwks',
        'skwwwwkwwwwkkkk',
        'skwkkkkwkkkkwwk',
        'skwwwwkwwwwwwwk',
        'skkkkkkwkkkkkwk',
        'sssssskwwwwwwwk',
        'sssssskwkkkkkwk',
        'sssssskwwwwwwwk',
        'sssssskkkkkkkkk',
    ]),
    ('Paste', [
        'sssssskkkkssssss',
        'sskkkkYkkYkkkkss',
        'skyyykwwwwkyyyks',
        'skyyykkkkkkyyyks',
        'skyyyyyyyyyyyyks',
        'skyyyyyybbbbbbbb',
        'skyyyyyybwwwwwbb',
        'skyyyyyybwkkkwbwb',
        'skyyyyyybwwwwwbbbb',
        'skyyyyyybwkkkkwwb',
        'skyyyyyybwwwwwwwb',
        'skyyyyyybwkkkkkwb',
        'sskkkkkkbwwwwwwwb',
        'ssssssssbbbbbbbbb',
        'ssssssssssssssss',
    ]),
    ('Undo', [
        'ssssssssssssssss',
        'ssssssssssssssss',
        'ssssssssssssssss',
        'ssssbsssssssssss',
        'sssbbsssssssssss',
        'ssbbbbbbbbbsssss',
        'sbbbbbbbbbbbssss',
        'ssbbbssssssbbsss',
        'sssbbsssssssbbss',
        'ssssbsssssssbbss',
        'ssssssssssssbbss',
        'sssssssssssbbsss',
        'sssssssssbbbssss',
        'ssssssssssssssss',
        'ssssssssssssssss',
    ]),
    ('Redo', [
        'ssssssssssssssss',
        'ssssssssssssssss',
        'ssssssssssssssss',
        'sssssssssssbssss',
        'sssssssssssbbsss',
        'sssssbbbbbbbbbss',
        'ssssbbbbbbbbbbbs',
        'sssbbssssssbbbss',
        'ssbbsssssssbbsss',
        'ssbbsssssssbssss',
        'ssbbssssssssssss',
        'sssbbsssssssssss',
        'ssssbbbsssssssss',
        'ssssssssssssssss',
        'ssssssssssssssss',
    ]),
    ('Start Scan', [
        'ssssssssssssssss',
        'ssskkkkkkkssssss',
        'ssskwwwwwkkkssss',
        'ssskwkkkwwkwkss',
        'ssskwwwwwwkkkks',
        'ssskwkkkkkwwwks',
        'ssskwwwwwwwwwks',
        'ssskwkkkgsssssss',
        'ssskwwwwgggsssss',
        'ssskwkkkgGGgssss',
        'ssskwwwwgGGGgsss',
        'ssskwkkkgGGgssss',
        'ssskwwwwgggsssss',
        'ssskkkkkgsssssss',
        'ssssssssssssssss',
    ]),
    ('Stop Scan', [
        'ssssssssssssssss',
        'sssssrrrrrrsssss',
        'ssssrRRRRRRrssss',
        'sssrRRRRRRRRrsss',
        'ssrRRRRRRRRRRrss',
        'ssrRRwwwwwwRRrss',
        'ssrRRwwwwwwRRrss',
        'ssrRRwwwwwwRRrss',
        'ssrRRwwwwwwRRrss',
        'ssrRRRRRRRRRRrss',
        'sssrRRRRRRRRrsss',
        'ssssrRRRRRRrssss',
        'sssssrrrrrrsssss',
        'ssssssssssssssss',
        'ssssssssssssssss',
    ]),
    ('Metatag Settings', [
        'ssssssssssssssss',
        'ssssssssskkkkkks',
        'sssssssskYYYYYks',
        'ssssssskYYYYYYks',
        'sssssskYYYYkYYks',
        'ssssskYYYYYYYYks',
        'sssskYYYYYYYYYks',
        'ssskYYYYYYYYYkss',
        'sskYYYYYYYYYkss',
        'skYYbYYYYYYkssss',
        'sskYYbYYYYksssss',
        'ssskYYbYYksssss',
        'sssskYYYkssssss',
        'ssssskkkssssssss',
        'ssssssssssssssss',
    ]),
    ('Context Help', [
        'ssssssssssssssss',
        'skssssssssbbbbss',
        'skksssssssbbssbb',
        'skwkssssssssssbb',
        'skwwkssssssssbbs',
        'skwwwksssssssbbs',
        'skwwwwksssssbbss',
        'skwwwwwksssbbsss',
        'skwwkkkkssbbssss',
        'skwkwksssssssss',
        'skkskwksssbbssss',
        'sksssKwksbbssss',
        'sssssskwksssssss',
        'ssssssskkssssss',
        'ssssssssssssssss',
    ]),
    ('Save Edited Files', [
        'ssssssssssssssss',
        'skkkkkkkkkkkkkss',
        'skckwwwwwwwwkcks',
        'skckwwwwwwwwkcks',
        'skckwwwwwwwwkcks',
        'skckwwwwwwwwkcks',
        'skcckkkkkkkkccks',
        'skcccccccccccks',
        'skcckkkkkkkkccks',
        'skcckkkkkkwwkcks',
        'skcckkkkkkwwkcks',
        'skcckkkkkkwwkcks',
        'sskkkkkkkkkkkkks',
        'ssssssssssssssss',
        'ssssssssssssssss',
    ]),
    ('View Changes', [
        'skkkkkkkssssssss',
        'skwwwwwkkksssss',
        'skwkkkwwkwksssss',
        'skwwwwwwkkkkssss',
        'skwkkkkkwwwkssss',
        'skwwwwwwwwwkssss',
        'skwkkkkkwwkkkkss',
        'skwwwwwwwkddddks',
        'skwkkkkwkdwwdddk',
        'skwwwwwwkdwdddd k',
        'skkkkkkkkddddddk',
        'sssssssssdkddddk',
        'sssssssssskkkkkks',
        'ssssssssssssskkk',
        'sssssssssssssskk',
    ]),
    ('Zoom In', [
        'ssssssssssssssss',
        'ssskkkkksssssss',
        'sskkwwwkkssssss',
        'skwwwkwwwksssss',
        'skwwwkwwwksssss',
        'skwkkkkkwksssss',
        'skwwwkwwwksssss',
        'skwwwkwwwksssss',
        'sskkwwwkkksssss',
        'ssskkkkkkkkssss',
        'ssssssssskkkssss',
        'sssssssssskkksss',
        'ssssssssssskkkss',
        'sssssssssssskkss',
        'ssssssssssssssss',
    ]),
    ('Zoom Out', [
        'ssssssssssssssss',
        'ssskkkkksssssss',
        'sskkwwwkkssssss',
        'skwwwwwwwksssss',
        'skwwwwwwwksssss',
        'skwkkkkkwksssss',
        'skwwwwwwwksssss',
        'skwwwwwwwksssss',
        'sskkwwwkkksssss',
        'ssskkkkkkkkssss',
        'ssssssssskkkssss',
        'sssssssssskkksss',
        'ssssssssssskkkss',
        'sssssssssssskkss',
        'ssssssssssssssss',
    ]),
    ('Full Size', [
        'ssssssssssssssss',
        'ssskkkkksssssss',
        'sskkwwwkkssssss',
        'skwwwkwwwksssss',
        'skwwkkwwwksssss',
        'skwwwkwwwksssss',
        'skwwwkwwwksssss',
        'skwwkkkwwksssss',
        'sskkwwwkkksssss',
        'ssskkkkkkkkssss',
        'ssssssssskkkssss',
        'sssssssssskkksss',
        'ssssssssssskkkss',
        'sssssssssssskkss',
        'ssssssssssssssss',
    ]),
    ('Find', [
        'ssssssssssssssss',
        'sskkkksssskkkkss',
        'sskddkssssskddkss',
        'sskddkssssskddks',
        'skkkkkkkkkkkkkks',
        'skdkkdkkddkkdkks',
        'skdkkdkddkkdkkks',
        'kddddkkkkkkdddkk',
        'kdwwdkssssskwwdk',
        'kdwwdkssssskwwdk',
        'kddddkssssskdddk',
        'skkkkssssssskkkk',
        'ssssssssssssssss',
        'ssssssssssssssss',
        'ssssssssssssssss',
    ]),
    ('Sort Ascending', [
        'ssssssssssssssss',
        'sskkkssssssbsss',
        'skssskssssbbbsss',
        'skssskssssbbbsss',
        'skkkkksssbsbsbss',
        'skssskssssssbsss',
        'skssskssssssbsss',
        'ssssssssssssbsss',
        'skkkkkssssssbsss',
        'sssskssssssssbss',
        'ssskssssssssbsss',
        'sskssssssssbbbss',
        'skkkkkssssssbsss',
        'ssssssssssssssss',
        'ssssssssssssssss',
    ]),
    ('Sort Descending', [
        'ssssssssssssssss',
        'skkkkkssssssbsss',
        'sssskssssssbbbss',
        'ssskssssssssbsss',
        'sskssssssssbbsss',
        'skkkkkssssssbsss',
        'ssssssssssssbsss',
        'ssssssssssssbsss',
        'sskkksssssssbsss',
        'skssskssssbsbsbs',
        'skkkkksssssbbbss',
        'skssskssssssbsss',
        'skssskssssssssss',
        'ssssssssssssssss',
        'ssssssssssssssss',
    ]),
]

W, H = 16, 15
LW, LH = 48, 32


def norm(rows):
    """Each map cut or padded with button face to exactly 16 x 15."""
    out = []
    for r in rows[:H]:
        r = r.replace(' ', 's').replace('K', 'k')
        out.append((r + 's' * W)[:W])
    while len(out) < H:
        out.append('s' * W)
    return out


def write_png(path, pixels, w, h):
    raw = b''
    for y in range(h):
        raw += b'\x00' + b''.join(bytes(PAL[pixels[y][x]]) for x in range(w))

    def chunk(tag, data):
        c = struct.pack('>I', len(data)) + tag + data
        return c + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    n = len(BUTTONS)
    small = [['s'] * (W * n) for _ in range(H)]
    large = [['s'] * (LW * n) for _ in range(LH)]
    for i, (_, rows) in enumerate(BUTTONS):
        rows = norm(rows)
        for y in range(H):
            for x in range(W):
                small[y][i * W + x] = rows[y][x]
        ox, oy = (LW - W) // 2, 2
        for y in range(H):
            for x in range(W):
                large[oy + y][i * LW + ox + x] = rows[y][x]
    write_png(os.path.join(here, 'toolbar.png'), small, W * n, H)
    write_png(os.path.join(here, 'toolbarlarge.png'), large, LW * n, LH)


if __name__ == '__main__':
    main()
