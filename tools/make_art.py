#!/usr/bin/env python3
"""Draws the program's logo (res/logo.bmp: 100 x 28, 8 bits per pixel,
uncompressed) and icon (res/pyxet.ico: one 32 x 32 image in 16 colours).
Run it from the repository's top folder after changing the pictures; the
results are committed."""
import struct

# A 5 x 7 pixel font, just the letters of the name.
FONT = {
    'P': ['11110', '10001', '10001', '11110', '10000', '10000', '10000'],
    'Y': ['10001', '10001', '01010', '00100', '00100', '00100', '00100'],
    'X': ['10001', '10001', '01010', '00100', '01010', '10001', '10001'],
    'E': ['11111', '10000', '10000', '11110', '10000', '10000', '11111'],
    'T': ['11111', '00100', '00100', '00100', '00100', '00100', '00100'],
}
GREY = (192, 192, 192)
NAVY = (0, 0, 128)
WHITE = (255, 255, 255)
GOLD = (224, 176, 32)
BLACK = (0, 0, 0)
DARK = (64, 64, 64)


def draw_text(pixels, text, left, top, scale, colour):
    for n, letter in enumerate(text):
        for y, row in enumerate(FONT[letter]):
            for x, bit in enumerate(row):
                if bit == '1':
                    for dy in range(scale):
                        for dx in range(scale):
                            pixels[top + y * scale + dy][left + (n * 6 + x) * scale + dx] = colour


def draw_chip(pixels, left, top, size, pins, body, pin_colour):
    """A square chip package with pins on all four sides."""
    for y in range(top + 2, top + size - 2):
        for x in range(left + 2, left + size - 2):
            pixels[y][x] = body
    step = (size - 4) // pins
    for i in range(pins):
        at = left + 2 + step // 2 + i * step
        for d in range(2):
            pixels[top + d][at] = pin_colour
            pixels[top + size - 1 - d][at] = pin_colour
            pixels[at - left + top][left + d] = pin_colour
            pixels[at - left + top][left + size - 1 - d] = pin_colour


def logo():
    width, height = 100, 28
    pixels = [[GREY] * width for _ in range(height)]
    # A navy band fading to the dialog's grey on the right.
    for y in range(height):
        for x in range(width):
            t = min(1.0, x / 90.0)
            pixels[y][x] = tuple(int(n + (g - n) * t * t) for n, g in zip(NAVY, GREY))
    draw_chip(pixels, 2, 2, 24, 5, DARK, GOLD)
    draw_text(pixels, 'X', 9, 7, 2, GOLD)
    draw_text(pixels, 'PYXET', 31, 7, 2, WHITE)
    return width, height, pixels


def write_bmp(path, width, height, pixels):
    palette = sorted(set(c for row in pixels for c in row))
    assert len(palette) <= 256
    index = {c: i for i, c in enumerate(palette)}
    stride = (width + 3) & ~3
    rows = b''.join(bytes(index[c] for c in pixels[y]) + b'\0' * (stride - width)
                    for y in reversed(range(height)))
    # Only the colours the picture uses: biClrUsed says how many entries the
    # table holds, and the pixels follow right after them.
    colours = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(colours)
    header = struct.pack('<2sIHHI', b'BM', offset + len(rows), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(rows), 2835, 2835,
                       len(palette), 0)
    open(path, 'wb').write(header + info + colours + rows)


VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def icon():
    size = 32
    pixels = [[None] * size for _ in range(size)]  # None is transparent
    draw_chip(pixels, 2, 2, 28, 6, (128, 128, 128), (255, 255, 0))
    for y in range(7, 25):
        for x in range(7, 25):
            pixels[y][x] = (0, 0, 128)
    draw_text(pixels, 'X', 11, 9, 2, (255, 255, 255))
    return pixels


def write_ico(path, pixels):
    size = 32
    xor = b''
    for y in reversed(range(size)):
        row = [VGA.index(c) if c is not None else 0 for c in pixels[y]]
        xor += bytes((row[x] << 4) | row[x + 1] for x in range(0, size, 2))
    mask = b''
    for y in reversed(range(size)):
        bits = ''.join('1' if c is None else '0' for c in pixels[y])
        mask += int(bits, 2).to_bytes(4, 'big')
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in VGA)
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = info + palette + xor + mask
    header = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), 6 + 16)
    open(path, 'wb').write(header + entry + image)


if __name__ == '__main__':
    write_bmp('res/logo.bmp', *logo())
    write_ico('res/pyxet.ico', icon())
