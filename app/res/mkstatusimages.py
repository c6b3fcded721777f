#!/usr/bin/env python3
"""Draws the page-status pictures of the grid's file column (14 x 16): a page not scanned yet
(grey outline, blank), a scanned page (black outline, text lines), an edited page (text lines
with a red pencil) and a page the scan could not read (blank, crossed out in red). 'i' is the file column's ivory, so the pictures sit in the cell."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mkimages  # noqa: E402

mkimages.PAL['i'] = (255, 251, 240)

IMAGES = {
    'notscanned.png': [
        'iiiiiiiiiiiiii',
        'iiddddddddiiii',
        'iidwwwwwwdwiii',
        'iidwwwwwwdwwii',
        'iidwwwwwwdddii',
        'iidwwwwwwwwdii',
        'iidwwwwwwwwdii',
        'iidwwwwwwwwdii',
        'iidwwwwwwwwdii',
        'iidwwwwwwwwdii',
        'iidwwwwwwwwdii',
        'iidwwwwwwwwdii',
        'iidwwwwwwwwdii',
        'iidwwwwwwwwdii',
        'iiddddddddddii',
        'iiiiiiiiiiiiii',
    ],
    'scanned.png': [
        'iiiiiiiiiiiiii',
        'iikkkkkkkkiiii',
        'iikwwwwwwkwiii',
        'iikwbbbwwkwwii',
        'iikwwwwwwkkkii',
        'iikwbbbbbbwkii',
        'iikwwwwwwwwkii',
        'iikwbbbbbbwkii',
        'iikwwwwwwwwkii',
        'iikwbbbbwwwkii',
        'iikwwwwwwwwkii',
        'iikwbbbbbbwkii',
        'iikwwwwwwwwkii',
        'iikwwwwwwwwkii',
        'iikkkkkkkkkkii',
        'iiiiiiiiiiiiii',
    ],
    'dirty.png': [
        'iiiiiiiiiiiiii',
        'iikkkkkkkkiiii',
        'iikwwwwwwkwiii',
        'iikwbbbwwkwwii',
        'iikwwwwwwkkkik',
        'iikwbbbbbbwkkY',
        'iikwwwwwwwwkYk',
        'iikwbbbbbwkYki',
        'iikwwwwwwkYkii',
        'iikwbbbbkYkkii',
        'iikwwwwkYkwkii',
        'iikwbbbRRkwkii',
        'iikwwwwRkwwkii',
        'iikwwwwwwwwkii',
        'iikkkkkkkkkkii',
        'iiiiiiiiiiiiii',
    ],
    'unreadable.png': [
        'iiiiiiiiiiiiii',
        'iikkkkkkkkiiii',
        'iikwwwwwwkwiii',
        'iikwwwwwwkwwii',
        'iikRRwwwRRkkii',
        'iikRRRwRRRwkii',
        'iikwRRRRRwwkii',
        'iikwwRRRwwwkii',
        'iikwRRRRRwwkii',
        'iikRRRwRRRwkii',
        'iikRRwwwRRwkii',
        'iikwwwwwwwwkii',
        'iikwwwwwwwwkii',
        'iikwwwwwwwwkii',
        'iikkkkkkkkkkii',
        'iiiiiiiiiiiiii',
    ],
}

if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    for name, rows in IMAGES.items():
        assert len(rows) == 16 and all(len(r) == 14 for r in rows), name
        mkimages.write_png(os.path.join(here, name), rows)
