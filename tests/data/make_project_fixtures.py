#!/usr/bin/env python3
"""Writes the project-list fixtures of tests/data and the seed corpus of the
project-list fuzz target. The bytes are assembled here field by field, apart
from the C++ code and from scripts/make-project-lists.py, so that tests
comparing against them check the layout.

Run from anywhere: python3 tests/data/make_project_fixtures.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, '..', 'fuzz', 'corpus', 'fuzz_project_list')


def text_field(text):
    assert len(text) < 200
    return text + b'\0' * (200 - len(text))


def record(number, name, url, category):
    return struct.pack('<i', number) + text_field(name) + text_field(url) + text_field(category)


SPACE = record(1, b'Space pictures', b'https://example.org/space/', b'Space')
MAPS = record(2, b'Old maps', b'https://example.org/maps/', b'Maps')
CUT = record(3, b'Cut here', b'https://example.org/cut/', b'Cut')

# Every kind of record an import must refuse, between two it accepts.
HOSTILE = b''.join([
    record(1, b'Good one', b'https://example.org/good/', b'Fine'),
    record(2, b'../x', b'https://example.org/a/', b'Fine'),
    record(3, b'', b'https://example.org/b/', b'Fine'),
    record(4, b'a/b', b'https://example.org/c/', b'Fine'),
    record(5, b'Dotdot category', b'https://example.org/d/', b'..'),
    record(6, b'Absolute category', b'https://example.org/e/', b'/etc'),
    record(7, b'Control\x07name', b'https://example.org/f/', b'Fine'),
    record(8, b'Control category', b'https://example.org/g/', b'Fi\x1bne'),
    record(9, b'Blank category', b'https://example.org/h/', b'   '),
    record(10, b'File URL', b'file:///etc/passwd', b'Fine'),
    record(11, b'Backslash category', b'https://example.org/i/', b'a\\b'),
    record(12, b'Good two', b'https://example.org/good2/', b'Fine'),
])

FIXTURES = {
    'project_index_lf.dat': b'a.dat\nb.dat\n',
    'project_index_crlf.dat': b'a.dat\r\nb.dat\r\n',
    'project_index_no_final_lf.dat': b'a.dat\nb.dat',
    'project_list_two_records.dat': SPACE + MAPS,
    'project_list_partial_third.dat': SPACE + MAPS + CUT[:1300 - 1208],
    'project_list_empty.dat': b'',
    'project_list_hostile.dat': HOSTILE,
}


def main():
    assert len(SPACE) == 604
    for name, data in FIXTURES.items():
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(data)
    os.makedirs(CORPUS, exist_ok=True)
    for name in ('project_list_two_records.dat', 'project_list_partial_third.dat', 'project_list_hostile.dat'):
        with open(os.path.join(CORPUS, name[len('project_list_'):-len('.dat')]), 'wb') as f:
            f.write(FIXTURES[name])


if __name__ == '__main__':
    main()
