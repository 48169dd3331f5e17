#!/usr/bin/env python3
"""Writes a project server's files from a readable source: "index.dat" and one
project-list file of 604-byte records per list, into OUTPUT_FOLDER, which any
static web server can then serve as "/projects/" (docs/formats/project-list.md
has the layout).

Source format (UTF-8 text):
    # a comment; blank lines are ignored
    [space.dat]                      starts a project list of that file name
    Category | Name | https://start  one project of the list, in order

Every value is checked the way Vendrake's import checks what a server sends,
so a list that this script writes is imported whole.

Usage: scripts/make-project-lists.py SOURCE OUTPUT_FOLDER
"""
import os
import struct
import sys

FIELD = 200
TASK_NAME_REFUSES = set('"#$%&\'*+,./:;<>?@\\^|')


def has_control(text):
    return any(ord(c) < 0x20 or ord(c) == 0x7F for c in text)


def field(text, what):
    data = text.encode('utf-8')
    if len(data) >= FIELD:
        raise ValueError(f'{what} is longer than {FIELD - 1} bytes')
    return data + b'\0' * (FIELD - len(data))


def check_list_name(name):
    if (not name or name in ('.', '..') or '/' in name or '\\' in name or has_control(name)
            or len(name.encode('utf-8')) > 255):
        raise ValueError(f'"{name}" is not a usable list file name')


def check_project(category, name, url):
    if not name.strip() or has_control(name) or TASK_NAME_REFUSES & set(name):
        raise ValueError(f'"{name}" is not a valid task name (none of {"".join(sorted(TASK_NAME_REFUSES))})')
    if (not category.strip() or category in ('.', '..') or any(c in category for c in '/\\:')
            or has_control(category)):
        raise ValueError(f'"{category}" is not a valid category folder name')
    lower = url.lower()
    rest = lower[8:] if lower.startswith('https://') else lower[7:] if lower.startswith('http://') else None
    if not rest or rest.startswith('/') or ' ' in url or has_control(url):
        raise ValueError(f'"{url}" is not an http:// or https:// address')


def read_source(path):
    """The lists of the source in order: [(file name, [(category, name, url)])]."""
    lists = []
    with open(path, encoding='utf-8') as source:
        for number, raw in enumerate(source, 1):
            line = raw.strip()
            try:
                if not line or line.startswith('#'):
                    continue
                if line.startswith('[') and line.endswith(']'):
                    check_list_name(line[1:-1])
                    lists.append((line[1:-1], []))
                    continue
                parts = [part.strip() for part in line.split('|')]
                if len(parts) != 3:
                    raise ValueError('expected "Category | Name | URL"')
                if not lists:
                    raise ValueError('a project before the first [list.dat] line')
                check_project(*parts)
                lists[-1][1].append(tuple(parts))
            except ValueError as error:
                sys.exit(f'{path}:{number}: {error}')
    return lists


def write_atomically(path, data):
    temporary = path + '.tmp'
    with open(temporary, 'wb') as out:
        out.write(data)
    os.replace(temporary, path)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    source, output = sys.argv[1], sys.argv[2]
    lists = read_source(source)
    os.makedirs(output, exist_ok=True)
    for file_name, projects in lists:
        records = b''.join(
            struct.pack('<i', number) + field(name, 'name') + field(url, 'URL') + field(category, 'category')
            for number, (category, name, url) in enumerate(projects, 1))
        write_atomically(os.path.join(output, file_name), records)
    write_atomically(os.path.join(output, 'index.dat'), ''.join(f'{name}\n' for name, _ in lists).encode('utf-8'))
    count = sum(len(projects) for _, projects in lists)
    print(f'{output}: index.dat and {len(lists)} lists, {count} projects')


if __name__ == '__main__':
    main()
