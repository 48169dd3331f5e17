#!/usr/bin/env python3
"""Writes the demo gallery that `make run` crawls: a few dozen pages and
pictures drawn here (coloured patterns with a little noise), so the demo owns
everything it serves. Deterministic: the same files every time.

Usage: scripts/make-demo-gallery.py OUT_DIR
"""
import os
import random
import struct
import sys
import zlib

WIDTH, HEIGHT = 128, 96
ALBUMS = ["Coast", "Forest", "City", "Desert", "Mountains", "Night"]
PICTURES_PER_ALBUM = 6


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def bmp(width, height, rows):
    stride = (width * 3 + 3) & ~3
    pixels = b"".join(bytes(row[x * 3 + 2 - c] for x in range(width) for c in range(3)).ljust(stride, b"\0")
                      for row in reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def picture(rng, album, number):
    base = [rng.randrange(40, 216) for _ in range(3)]
    wave = rng.randrange(8, 40)
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            for c in range(3):
                value = base[c] + ((x * (c + 1) + y * (3 - c) + album * 17) % wave) * 3 + rng.randrange(-10, 11)
                row.append(max(0, min(255, value)))
        rows.append(row)
    return rows


def page(title, body, links):
    nav = " | ".join(f'<a href="{href}">{text}</a>' for href, text in links)
    return (f"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>{title}</title>"
            f"<link rel=\"stylesheet\" href=\"style.css\"></head>\n<body>\n<h1>{title}</h1>\n"
            f"<p class=\"nav\">{nav}</p>\n{body}\n</body></html>\n")


def main():
    out = sys.argv[1]
    os.makedirs(os.path.join(out, "pictures"), exist_ok=True)
    rng = random.Random(20261208)
    albums = [(f"{name.lower()}.html", name) for name in ALBUMS]
    for index, (href, name) in enumerate(albums):
        cells = []
        for number in range(PICTURES_PER_ALBUM):
            rows = picture(rng, index, number)
            if number % 3 == 2:
                file_name, data = f"{name.lower()}-{number + 1}.bmp", bmp(WIDTH, HEIGHT, rows)
            else:
                file_name, data = f"{name.lower()}-{number + 1}.png", png(WIDTH, HEIGHT, rows)
            with open(os.path.join(out, "pictures", file_name), "wb") as f:
                f.write(data)
            cells.append(f'<a href="pictures/{file_name}"><img src="pictures/{file_name}" alt="{name} {number + 1}"></a>')
        links = [("index.html", "All albums")] + [albums[(index + 1) % len(albums)]]
        with open(os.path.join(out, href), "w") as f:
            f.write(page(f"{name} album", "\n".join(cells), links))
    body = "<ul>\n" + "\n".join(f'<li><a href="{href}">{name}</a></li>' for href, name in albums) + "\n</ul>"
    with open(os.path.join(out, "index.html"), "w") as f:
        f.write(page("Vendrake demo gallery", body, [("about.html", "About")]))
    with open(os.path.join(out, "about.html"), "w") as f:
        f.write(page("About", "<p>Pictures drawn by scripts/make-demo-gallery.py.</p>", [("index.html", "Back")]))
    with open(os.path.join(out, "style.css"), "w") as f:
        f.write("body { font-family: sans-serif; } img { margin: 4px; border: 1px solid #888; }\n")


if __name__ == "__main__":
    main()
