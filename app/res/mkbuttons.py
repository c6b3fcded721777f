#!/usr/bin/env python3
"""Draws the dialogs' bitmap buttons (up, down, focused, disabled) for OK, Cancel, Help and Stop
in the raised 3D style of the program's other buttons, one PNG each, beside this script. Needs
ImageMagick and the Liberation fonts; the PNGs are kept in the tree, so the build does not."""
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


def text(label, colour, dx=0, dy=0):
    return ['-stroke', 'none', '-fill', colour, '-gravity', 'center', '-annotate', f'+{dx}+{dy}', label,
            '-gravity', 'northwest']


def make(path, ops):
    subprocess.run(['convert', '-size', f'{W}x{H}', 'xc:#c0c0c0', '+antialias', '-font', FONT,
                    '-pointsize', '11'] + ops + ['PNG24:' + path], check=True)


for label in ('OK', 'Cancel', 'Help', 'Stop'):
    name = os.path.join(HERE, label.upper())
    make(name + 'U.png', raised() + text(label, 'black'))
    make(name + 'D.png', sunken() + text(label, 'black', 1, 1))
    make(name + 'F.png', raised() + text(label, 'black')
         + ['-fill', 'none', '-stroke', '#000000', '-draw', f'rectangle 4,4 {W - 5},{H - 5}'])
    make(name + 'X.png', raised() + text(label, 'white', 1, 1) + text(label, '#808080'))
