#!/usr/bin/env python3
"""Writes the image library fixtures of tests/data and the seed corpora of the
library's fuzz targets. The bytes are assembled here field by field, apart
from the C++ code, so that tests comparing against them check the layout.

Run from anywhere: python3 tests/data/make_library_fixtures.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, '..', 'fuzz', 'corpus')
SIGNATURE = b'Vendrake Images Library File'


def text_field(text, width=256):
    assert len(text) < width
    return text + b'\0' * (width - len(text))


def header(count, version=227, signature=SIGNATURE):
    return text_field(signature) + struct.pack('<ii', version, count)


def record(name, added, size, height, width):
    return text_field(name) + struct.pack('<diiii', added, size, height, width, 0)


CAT = record(b'/home/ann/Images/Saved/cat.jpg', 45000.5, 256, 480, 640)
BROKEN = record(b'/home/ann/Images/Saved/broken.gif', 45000.75, 0, -1, -1)


def gif(width, height):
    """A GIF89a of one frame, 256 colours, LZW-coded without compression
    tricks: a clear code every 254 pixels keeps the code width at 9 bits."""
    palette = b''.join(bytes([i, 255 - i, (7 * i) & 255]) for i in range(256))
    pixels = [(3 * x + 5 * y) & 255 for y in range(height) for x in range(width)]
    codes = []
    for i, p in enumerate(pixels):
        if i % 254 == 0:
            codes.append(256)
        codes.append(p)
    codes.append(257)
    bits = 0
    nbits = 0
    data = bytearray()
    for code in codes:
        bits |= code << nbits
        nbits += 9
        while nbits >= 8:
            data.append(bits & 255)
            bits >>= 8
            nbits -= 8
    if nbits:
        data.append(bits & 255)
    blocks = b''.join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255))
    return (b'GIF89a' + struct.pack('<HHBBB', width, height, 0xF7, 0, 0) + palette +
            b',' + struct.pack('<HHHHB', 0, 0, width, height, 0) + b'\x08' + blocks + b'\0;')


def png_chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))


def png_declaring(width, height):
    """A valid PNG signature and header for a huge picture, with one tiny
    compressed row: a decoder that trusts the header allocates gigabytes."""
    ihdr = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', ihdr) +
            png_chunk(b'IDAT', zlib.compress(b'\0' * 16)) + png_chunk(b'IEND', b''))


def tga(width, height):
    """Uncompressed 24-bit TGA with the version 2 footer Qt's reader expects."""
    head = struct.pack('<BBBHHBHHHHBB', 0, 0, 2, 0, 0, 0, 0, 0, width, height, 24, 0)
    pixels = bytes(((x + y) & 255) for y in range(height) for x in range(width) for _ in range(3))
    return head + pixels + struct.pack('<II', 0, 0) + b'TRUEVISION-XFILE.\0'


def pcx(width, height, bits, planes, line_bytes, body, trailer=b''):
    head = struct.pack('<BBBBHHHHHH', 10, 5, 1, bits, 0, 0, width - 1, height - 1, 72, 72)
    head += bytes(48) + b'\0' + bytes([planes]) + struct.pack('<HH', line_bytes, 1)
    return head.ljust(128, b'\0') + body + trailer


def rle(data):
    out = bytearray()
    i = 0
    while i < len(data):
        run = 1
        while i + run < len(data) and run < 63 and data[i + run] == data[i]:
            run += 1
        if run > 1 or data[i] >= 0xC0:
            out += bytes([0xC0 | run, data[i]])
        else:
            out.append(data[i])
        i += run
    return bytes(out)


def pcx_256(width, height):
    lines = b''.join(rle(bytes((x * y) & 255 for x in range(width + width % 2))) for y in range(height))
    palette = b'\x0c' + b''.join(bytes([i, i, 255 - i]) for i in range(256))
    return pcx(width, height, 8, 1, width + width % 2, lines, palette)


def pcx_rgb(width, height):
    lines = b''.join(rle(bytes(((x + c * 40) * (y + 1)) & 255 for c in range(3) for x in range(width)))
                     for y in range(height))
    return pcx(width, height, 8, 3, width, lines)


def dcx(pages):
    table_end = 4 + 4 * (len(pages) + 1)
    offsets, at = [], table_end
    for page in pages:
        offsets.append(at)
        at += len(page)
    return struct.pack('<I', 987654321) + b''.join(struct.pack('<I', o) for o in offsets + [0]) + b''.join(pages)


def write(folder, name, data):
    with open(os.path.join(folder, name), 'wb') as out:
        out.write(data)


def main():
    write(HERE, 'imglib_empty.db', header(0))
    write(HERE, 'imglib_two_records.db', header(2) + CAT + BROKEN)
    write(HERE, 'imglib_foreign_version.db', header(1, version=300) + CAT)
    write(HERE, 'imglib_wrong_signature.db', header(1, signature=SIGNATURE[:-1] + b'X') + CAT)
    write(HERE, 'imglib_count_past_end.db', header(2000000000) + CAT + BROKEN[:40])
    write(HERE, 'gif_40x30.gif', gif(40, 30))
    write(HERE, 'gif_cut_in_pixel_data.gif', gif(40, 30)[:900])
    write(HERE, 'png_declares_60000x60000.png', png_declaring(60000, 60000))
    write(HERE, 'tga_truevision_32x24.tga', tga(32, 24))
    write(HERE, 'postscript_page.eps',
          b'%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 120 80\nnewpath 0 0 moveto 120 80 lineto stroke\nshowpage\n')
    write(HERE, 'wmf_placeable_100x50.wmf',
          struct.pack('<IHhhhhHIH', 0x9AC6CDD7, 0, 0, 0, 100, 50, 96, 0, 0) +
          struct.pack('<HHIHIH', 1, 9, 0x300, 0, 3, 0) + struct.pack('<IH', 3, 0))

    library = os.path.join(CORPUS, 'fuzz_image_library')
    write(library, 'two_records', header(2) + CAT + BROKEN)
    write(library, 'count_past_end', header(2000000000) + CAT + BROKEN[:40])
    write(library, 'negative_count', header(-5) + CAT)
    pictures = os.path.join(CORPUS, 'fuzz_pcx')
    write(pictures, 'pcx_256_colours', pcx_256(9, 5))
    write(pictures, 'pcx_rgb', pcx_rgb(6, 4))
    write(pictures, 'dcx_two_pages', dcx([pcx_256(9, 5), pcx_rgb(6, 4)]))


if __name__ == '__main__':
    main()
