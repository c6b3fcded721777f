#!/usr/bin/env python3
"""Draws the value dialogs' small images (the classification tree's node pictures and the
classification toolbar's strip) in the program's flat 16-colour style, as PNG files beside this
script. Each image is a character map over the 16-colour palette, reviewable as text. The
tree's pictures are outlined in dark grey: black is their transparent background."""
import os

from mkimages import write_png

NODE = [
    '................',
    '................',
    '..dddddddd......',
    '..dYYYYYYdd.....',
    '..dYwwwwYdYd....',
    '..dYwwwwYdddd...',
    '..dYwwwwwwwYd...',
    '..dYwwwwwwwYd...',
    '..dYwwwwwwwYd...',
    '..dYwwwwwwwYd...',
    '..dYwwwwwwwYd...',
    '..dYYYYYYYYYd...',
    '..ddddddddddd...',
    '................',
    '................',
    '................',
]

NODE_SELECTED = [
    '................',
    '................',
    '..dddddddd......',
    '..dbbbbbbdd.....',
    '..dbCCCCbdbd....',
    '..dbCCCCbdddd...',
    '..dbCCCCCCCbd...',
    '..dbCCRRCCCbd...',
    '..dbCCRRRCCbd...',
    '..dbCCRRRRCbd...',
    '..dbCCCCCCCbd...',
    '..dbbbbbbbbbd...',
    '..ddddddddddd...',
    '................',
    '................',
    '................',
]

# Create tree, add node, delete node, rename node: 16 x 15 each, silver is the button face.
CREATE_TREE = [
    'ssssssssssssssss',
    'sssssssGssssssss',
    'ssssssGgGsssssss',
    'sssssGgggGssssss',
    'ssssGgggggGsssss',
    'sssssgggggssssss',
    'ssssGgggggGsssss',
    'sssGgggggggGssss',
    'ssGgggggggggGsss',
    'sssssssyssssssss',
    'sssssssysssssss',
    'sssssssysssssss',
    'sssssyyyyysssss',
    'ssssssssssssssss',
    'ssssssssssssssss',
]
ADD_NODE = [
    'ssssssssssssssss',
    'sdddddssssssssss',
    'sdwwwdssssssssss',
    'sdddddssssssssss',
    'ssskssssssssssss',
    'ssskssssssssssss',
    'ssskkkkdddddssss',
    'sssssssdwwwdssss',
    'sssssssdddddssss',
    'ssssssssssssGsss',
    'ssssssssssssGsss',
    'ssssssssssGGGGGs',
    'ssssssssssssGsss',
    'ssssssssssssGsss',
    'ssssssssssssssss',
]
DELETE_NODE = [
    'ssssssssssssssss',
    'sdddddssssssssss',
    'sdwwwdssssssssss',
    'sdddddssssssssss',
    'ssskssssssssssss',
    'ssskssssssssssss',
    'ssskkkkdddddssss',
    'sssssssdwwwdssss',
    'sssssssdddddssss',
    'ssssssssssRsssRs',
    'sssssssssssRsRss',
    'ssssssssssssRsss',
    'sssssssssssRsRss',
    'ssssssssssRsssRs',
    'ssssssssssssssss',
]
RENAME_NODE = [
    'ssssssssssssssss',
    'ssssssssssssssss',
    'sddddddddddddsss',
    'sdwwwwwwwwwwdsss',
    'sdwkkwkkwkkwdsss',
    'sdwwwwwwwwwwdsss',
    'sddddddbdddddsss',
    'sssssssbssssssss',
    'ssssssbbbsssssss',
    'sssssssbssssssss',
    'sssssssbssssssss',
    'sssssssbssssssss',
    'ssssssbbbsssssss',
    'ssssssssssssssss',
    'ssssssssssssssss',
]
BAR = [''.join(icon[row][:16].ljust(16, 's') for icon in (CREATE_TREE, ADD_NODE, DELETE_NODE, RENAME_NODE))
       for row in range(15)]


def fit(rows, width, fill='s'):
    return [(r.replace(' ', 'w') + fill * width)[:width] for r in rows]


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(here, 'classnode.png'), NODE)
    write_png(os.path.join(here, 'classnodesel.png'), NODE_SELECTED)
    write_png(os.path.join(here, 'classbar.png'), fit(BAR, 64))
