#!/usr/bin/env python3
"""Draws the Metatag Settings toolbar strip in the program's flat 16-colour style, as a PNG file
beside this script: open a settings file, save it, add and delete a tag, restore the default
tags and hide every tag. Each picture is 16 x 15 over the 16-colour palette; silver is the
button face."""
import os

from mkimages import write_png

OPEN = [
    'ssssssssssssssss',
    'ssssssssssssssss',
    'ssssssssssssssss',
    'sskkkkssssssssss',
    'skYwYwksssssssss',
    'skwYwYwkkkkkkkss',
    'skYwYwYwYwYwYkss',
    'skwYwYwkkkkkkkkk',
    'skYwYwkyyyyyyyyk',
    'skwYwkyyyyyyyyks',
    'skYwkyyyyyyyyksss',
    'skwkyyyyyyyykss',
    'skkyyyyyyyykssss',
    'skkkkkkkkkkksss',
    'ssssssssssssssss',
]
SAVE = [
    'ssssssssssssssss',
    'skkkkkkkkkkkkkss',
    'skckwwwwwwwwkckss',
    'skckwwwwwwwwkcks',
    'skckwwwwwwwwkcks',
    'skckwwwwwwwwkcks',
    'skckkkkkkkkkkcks',
    'skcccccccccccck',
    'skcckkkkkkkkcck',
    'skcckkkkkswkcck',
    'skcckkkkkswkcck',
    'skcckkkkkswkcck',
    'sskkkkkkkkkkkkk',
    'ssssssssssssssss',
    'ssssssssssssssss',
]
TAG = [
    'ssssssssssssssss',
    'ssssssssssssssss',
    'ssssdddddddddsss',
    'sssdwwwwwwwwwdss',
    'ssdwwkwwwwwwwdss',
    'sdwwwwwwwwwwwdss',
    'ssdwwwwwwwwwwdss',
    'sssdwwwwwwwwwdss',
    'ssssdddddddddsss',
]
ADD = TAG + [
    'ssssssssssssssss',
    'ssssssssssssGsss',
    'ssssssssssssGsss',
    'ssssssssssGGGGGs',
    'ssssssssssssGsss',
    'ssssssssssssGsss',
]
DELETE = TAG + [
    'ssssssssssssssss',
    'ssssssssssRsssRs',
    'sssssssssssRsRss',
    'ssssssssssssRsss',
    'sssssssssssRsRss',
    'ssssssssssRsssRs',
]
RESTORE = TAG + [
    'ssssssssssssssss',
    'ssssssbbbbbsssss',
    'sssssbsssssbssss',
    'sssbbbbsssssbsss',
    'ssssbbssssssbsss',
    'sssssbsssssbssss',
]
DISABLE = [
    'ssssssssssssssss',
    'ssssssssssssssss',
    'ssssdddddddddsss',
    'sssdssssssssswss',
    'ssdssdsssssssswss',
    'sdssssssssssswss',
    'sswsssssssssswss',
    'ssswsssssssssswss',
    'sssswwwwwwwwwsss',
    'ssssssssssssssss',
    'ssssssssssssssss',
    'ssssssssssssssss',
    'ssssssssssssssss',
    'ssssssssssssssss',
    'ssssssssssssssss',
]
ICONS = (OPEN, SAVE, ADD, DELETE, RESTORE, DISABLE)
BAR = [''.join((icon[row] + 's' * 16)[:16] for icon in ICONS) for row in range(15)]

if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(here, 'settingsbar.png'), BAR)
