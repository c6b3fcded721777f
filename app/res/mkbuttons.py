#!/usr/bin/env python3
"""Draws the dialogs' bitmap buttons (up, down, focused, disabled) for OK, Cancel, Help and Stop
in the raised 3D style of the program's other buttons, one PNG each, beside this script. Each
underlines its first letter, the one Alt presses it with, as the dialogs' other buttons do.
Needs ImageMagick and the Liberation fonts; the PNGs are kept in the tree, so the build does
not."""
import os
import subprocess

W, H = 75, 23
HERE = os.path.dirname(os.path.abspath(__file__))
FONT = subprocess.run(['fc-match', '-f', '%{file}', 'Liberation Sans'], capture_output=True, text=True).stdout


def line(colour, x0, y0, x1, y1):
    return ['-stroke', colour, '-draw', f'line {x0},{y0} {x1},{y1}']


def raised():
    return (['-fill', 'none'] + line('#ffffff', 0, 0, W - 2, 0) + line('#ffffff', 0, 0, 0, H - 2)
            + line('#000000', 0, H - 1, W - 1, H - 1) + line('#000000', W - 1, 0, W - 1, H - 1)
            + line('#808080', 1, H - 2, W - 2, H - 2) + line('#808080', W - 2, 1, W - 2, H - 2))


def sunken():
    return (['-fill', 'none', '-stroke', '#000000', '-draw', f'rectangle 0,0 {W - 1},{H - 1}',
             '-stroke', '#808080', '-draw', f'rectangle 1,1 {W - 2},{H - 2}'])


def advance(label):
    """The width the font gives the text, in pixels."""
    out = subprocess.run(['convert', '-debug', 'annotate', 'xc:', '+antialias', '-font', FONT, '-pointsize', '11',
                          '-annotate', '0', label, 'null:'], capture_output=True, text=True).stderr
    return int(out.split('width: ', 1)[1].split(';', 1)[0])


def text(label, colour, dx=0, dy=0):
    """The label centred, its first letter underlined a pixel below the baseline."""
    x = (W - advance(label)) // 2 + dx
    top = (H - 13) // 2 + dy
    baseline = top + 10
    return (['-stroke', 'none', '-fill', colour, '-annotate', f'+{x}+{top}', label]
            + ['-fill', 'none'] + line(colour, x, baseline + 1, x + advance(label[0]) - 2, baseline + 1))


def make(path, ops):
    subprocess.run(['convert', '-size', f'{W}x{H}', 'xc:#c0c0c0', '+antialias', '-gravity', 'northwest', '-font',
                    FONT, '-pointsize', '11'] + ops + ['PNG24:' + path], check=True)


for label in ('OK', 'Cancel', 'Help', 'Stop'):
    name = os.path.join(HERE, label.upper())
    make(name + 'U.png', raised() + text(label, 'black'))
    make(name + 'D.png', sunken() + text(label, 'black', 1, 1))
    make(name + 'F.png', raised() + text(label, 'black')
         + ['-fill', 'none', '-stroke', '#000000', '-draw', f'rectangle 4,4 {W - 5},{H - 5}'])
    make(name + 'X.png', raised() + text(label, 'white', 1, 1) + text(label, '#808080'))
