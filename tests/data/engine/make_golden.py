#!/usr/bin/env python3
"""Writes the golden stored files of the engine tests, composed byte by byte from the stored
layouts (independently of the program's own writers):

  all_types.vsl         a settings file holding one setting of every type, with own data
  project_defaults.vsp  a project file of a new project's settings
  project_custom.vsp    a project file with every field set to something else, each to a value
                        no other field holds (an on/off field is on at any number but 0), so
                        that a field read from another's place shows

Run it from this folder; the tests read the files it writes."""

import struct


def dword(v):
    return struct.pack('<I', v)


def word(v):
    return struct.pack('<H', v)


def string(s):
    b = s.encode('utf-8')
    if len(b) < 255:
        return bytes([len(b)]) + b
    if len(b) < 0xFFFE:
        return b'\xff' + word(len(b)) + b
    return b'\xff' + word(0xFFFF) + dword(len(b)) + b


def string_list(items):
    out = word(len(items)) if len(items) < 0xFFFF else word(0xFFFF) + dword(len(items))
    return out + b''.join(string(i) for i in items)


def base(name, type_id, description, show, http_equiv, fixed, name_fixed):
    return (string(name) + dword(type_id) + string(description) + dword(show) + dword(http_equiv)
            + dword(fixed) + dword(name_fixed))


def tree(nodes):
    """nodes: list of (name, children)"""
    out = dword(len(nodes))
    for name, children in nodes:
        out += string(name) + tree(children)
    return out


def settings_file():
    entries = [
        (0, base('Description', 0, 'An edit setting', 1, 0, 0, 0)),
        (1, base('Colour', 1, 'A fixed list', 0, 0, 0, 0) + string_list(['red', 'green', 'blue'])),
        (5, base('subject', 5, 'A category tree', 1, 0, 0, 1)
         + tree([('Science', [('Physics', []), ('Biology', [('Botany', [])])]), ('Arts', [])])),
        (7, base('x-custom', 7, 'This metatag has no metatag settings associated with it.', 0, 1, 0, 0)),
        (8, base('Keywords', 8, 'Keyword list', 1, 0, 1, 0)),
        (9, base('Refresh', 9, 'Reload', 0, 1, 1, 1)),
        (10, base('Pragma', 10, 'Caching', 1, 1, 1, 1)),
        (11, base('Robots', 11, 'Spider rules', 1, 0, 0, 0) + dword(1) + string(';')
         + string_list(['all', 'none', 'index'])),
        (12, base('Rating', 12, 'Age', 0, 0, 0, 0) + string_list(['general', 'mature'])),
        (13, base('Expires', 13, 'Expiry date', 0, 1, 0, 0) + string("ddd, dd MMM yyyy HH:mm:ss 'GMT'")),
        (14, base('Set Cookie', 14, 'x' * 300, 0, 1, 0, 0)),
    ]
    out = dword(len(entries))
    for type_id, data in entries:
        out += dword(type_id) + data
    return out


def project_file(directory, project_path, settings_path, show_all, extractor, extensions, auto_scan,
                 separator, show_title, backup, freeze):
    out = word(0xFFFF) + word(2) + word(16) + b'CProjectSettings'
    out += string(directory) + string(project_path) + string(settings_path)
    out += dword(show_all) + dword(extractor) + dword(len(extensions))
    out += b''.join(string(e) for e in extensions)
    out += dword(auto_scan) + string(separator) + dword(show_title) + dword(backup) + dword(freeze)
    return out


def main():
    with open('all_types.vsl', 'wb') as f:
        f.write(settings_file())
    with open('project_defaults.vsp', 'wb') as f:
        f.write(project_file('', '', '', 1, 0, ['.htm', '.html', '.shtm', '.shtml'], 1, ',', 1, 0, 1))
    with open('project_custom.vsp', 'wb') as f:
        f.write(project_file('/srv/www/site', '/home/me/site.vsp', '/home/me/VOSTREL.VSL', 3, 1,
                             ['.php', '.HTM'], 0, '; ', 4, 2, 5))


if __name__ == '__main__':
    main()
