#!/usr/bin/env python3
"""Draws the value dialogs' small images (the classification tree's node pictures and the
classification toolbar's strip) in the program's flat 16-colour style, as PNG files beside this
script. Each image is a character map over the 16-colour palette, reviewable as text."""
import os

from mkimages import write_png

NODE = [
    '................',
    '................',
    '..kkkkkkkk......',
    '..kYYYYYYkk.....',
    '..kYwwwwYkYk....',
    '..kYwwwwYkkkk...',
    '..kYwwwwwwwYk...',
    '..kYwwwwwwwYk...',
    '..kYwwwwwwwYk...',
    '..kYwwwwwwwYk...',
    '..kYwwwwwwwYk...',
    '..kYYYYYYYYYk...',
    '..kkkkkkkkkkk...',
    '................',
    '................',
    '................',
]

NODE_SELECTED = [
    '................',
    '................',
    '..kkkkkkkk......',
    '..kbbbbbbkk.....',
    '..kbCCCCbkbk....',
    '..kbCCCCbkkkk...',
    '..kbCCCCCCCbk...',
    '..kbCCRRCCCbk...',
    '..kbCCRRRCCbk...',
    '..kbCCRRRRCbk...',
    '..kbCCCCCCCbk...',
    '..kbbbbbbbbbk...',
    '..kkkkkkkkkkk...',
    '................',
    '................',
    '................',
]

# Create tree, add node, delete node, rename node: 16 x 15 each, silver is the button face.
BAR = [
    'sssssssssssssssssssssssssssssssssssssssssssssssssssssssssssssss s',
    'ssssssskssssssssssssssssssssssssssssssssssssssssssssssssssssssss',
    'sssssskgkssssssssssskkkkssssssssssssskkkkssssssssssssssssssssss',
    'ssssskgggkssssssssssk  kssssssssssssk  kssssssssssssssssssssssss',
    'sssskgggggksssssssssk  ksssssssssssskkkkssssssssssskkkkkkkkkkkss',
    'ssskgggggggkssssssssskkssssssssssssssskssssssssssssk wwwwwwwwkss',
    'sssskkkgkkkssssssssssksssssssssssssssskssRssRssssssk wkkwkkwwkss',
    'sssssssysssssssssssssksGGGssssssssssssksssRRsssssssk wwwwwwwwkss',
    'sssssssysssssskkkksssskkGkkkkssssssssskkssRRssssssskkkkkkkkkkkss',
    'ssssskyyyksssskwwksssssGGGwwksssssssskwwkRssRsssssssssssbsssssss',
    'sssskyyyyyksssskkksssssssskkkssssssssskkkssssssssssssssbbbssssss',
    'ssssssysyssssssssssssssssssssssssssssssssssssssssssssssbsssssss',
    'ssssssssssssssssssssssssssssssssssssssssssssssssssssssssbssssss',
    'sssssssssssssssssssssssssssssssssssssssssssssssssssssssbbbsssss',
    'ssssssssssssssssssssssssssssssssssssssssssssssssssssssssssssssss',
]


def fit(rows, width, fill='s'):
    return [(r.replace(' ', 'w') + fill * width)[:width] for r in rows]


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(here, 'classnode.png'), NODE)
    write_png(os.path.join(here, 'classnodesel.png'), NODE_SELECTED)
    write_png(os.path.join(here, 'classbar.png'), fit(BAR, 64))
