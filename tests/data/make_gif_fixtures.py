#!/usr/bin/env python3
"""Writes the animated GIF fixture: gif_anim_red_then_blue.gif, 16 x 12
pixels, a red first frame and a blue second one, looping, 100 ms a frame.
The LZW data sends a clear code before every two pixels, so every code stays
3 bits wide and no table is needed."""
import struct


def lzw_literal(indices):
    clear, end, bits, nbits, out = 4, 5, 0, 0, bytearray()

    def put(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += 3
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    for i, index in enumerate(indices):
        if i % 2 == 0:
            put(clear)
        put(index)
    put(end)
    if nbits:
        out.append(bits & 0xFF)
    blocks = bytearray([2])  # minimum code size
    for at in range(0, len(out), 255):
        chunk = out[at:at + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks + b"\x00")


def frame(index, width, height):
    control = b"\x21\xF9\x04\x00" + struct.pack("<H", 10) + b"\x00\x00"
    descriptor = b"\x2C" + struct.pack("<HHHH", 0, 0, width, height) + b"\x00"
    return control + descriptor + lzw_literal([index] * (width * height))


def main():
    width, height = 16, 12
    palette = bytes([255, 0, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255])  # red, blue, black, white
    data = b"GIF89a" + struct.pack("<HH", width, height) + b"\x91\x00\x00" + palette
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    data += frame(0, width, height) + frame(1, width, height) + b"\x3B"
    with open("gif_anim_red_then_blue.gif", "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
