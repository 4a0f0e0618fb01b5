#!/usr/bin/env python3
"""Draws the organisation's pictures as resource data files.

common/verbalia.ico: two 32 x 32, 16-colour images (a speech bubble in the
stripes of the Catalan flag with a "V"; the second image is the same bubble
for dark backgrounds).
linkhelper/res/urlhop32.ico: the link helper's picture, 32 x 32 in 16
colours: two chain links, blue and red, joined.
installer/res/logo.bmp: the organisation's logo for the installer, 150 x 57,
8 bits per pixel with a 256-entry colour table, on a black background (black
is drawn transparent). The lettering is rendered by ImageMagick, its
smoothed edges as coverages of its colours that the installer blends with the
dialog's face.
Run from the project root; the outputs are committed.
"""
import struct
import subprocess
import sys
from pathlib import Path

# The standard 16-colour palette, as (r, g, b).
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, BLUE_DARK, GREY, RED, YELLOW, BLUE, WHITE = 0, 1, 4, 8, 9, 11, 12, 15


def bubble_shape(x, y):
    """0 outside, 1 outline, 2 inside of the speech bubble."""
    def inside(px, py):
        # Rounded rectangle 1..30 x 2..22 with corner radius 5, plus a tail.
        left, right, top, bottom, r = 1, 30, 2, 22, 5
        if left <= px <= right and top <= py <= bottom:
            cx = min(max(px, left + r), right - r)
            cy = min(max(py, top + r), bottom - r)
            return (px - cx) ** 2 + (py - cy) ** 2 <= r * r + 1
        # Tail: a triangle below the body, pointing down-left.
        if bottom < py <= 29:
            d = py - bottom
            return 7 - d // 2 <= px <= 13 - d
        return False

    if not inside(x, y):
        return 0
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        if not inside(x + dx, y + dy):
            return 1
    return 2


def in_letter_v(x, y):
    """A bold "V" over the bubble's body (rows 5..19)."""
    if not 5 <= y <= 19:
        return False
    t = y - 5  # 0..14
    half = 10 - (t * 9) // 14  # distance of each stroke from the centre
    centre = 15.5
    for side in (-1, 1):
        stroke = centre + side * half
        if abs(x - stroke) <= 1.6:
            return True
    return False


def picture(dark):
    pixels, mask = [], []
    for y in range(32):
        row, mrow = [], []
        for x in range(32):
            shape = bubble_shape(x, y)
            if shape == 0:
                row.append(BLACK)
                mrow.append(1)  # transparent
                continue
            mrow.append(0)
            if shape == 1:
                row.append(WHITE if dark else BLACK)
            elif in_letter_v(x, y):
                row.append(WHITE if dark else BLUE_DARK)
            else:
                stripe = ((y - 3) // 2) % 2  # the flag's yellow and red bars
                if dark:
                    row.append(DARK_RED if stripe else YELLOW)
                else:
                    row.append(RED if stripe else YELLOW)
        pixels.append(row)
        mask.append(mrow)
    return pixels, mask


def dib_4bpp(pixels, mask):
    w, h = 32, 32
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE16)
    xor = bytearray()
    for row in reversed(pixels):  # bottom-up
        for i in range(0, w, 2):
            xor.append((row[i] << 4) | row[i + 1])
    andm = bytearray()
    for row in reversed(mask):
        for i in range(0, w, 8):
            byte = 0
            for bit in range(8):
                byte |= row[i + bit] << (7 - bit)
            andm.append(byte)
    return header + palette + bytes(xor) + bytes(andm)


def ico(images):
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for img in images:
        out += struct.pack('<BBBBHHII', 32, 32, 16, 0, 1, 4, len(img), offset)
        offset += len(img)
        blobs.append(img)
    return out + b''.join(blobs)


def rendered_text(width, height, text, font, size, x, y):
    """A grey-level raster of one line of text, white on black."""
    raw = subprocess.run(
        ['convert', '-size', f'{width}x{height}', 'xc:black', '-font', font,
         '-pointsize', str(size), '-fill', 'white', '-annotate', f'+{x}+{y}', text,
         '-depth', '8', 'gray:-'],
        check=True, capture_output=True).stdout
    return [[raw[row * width + col] for col in range(width)] for row in range(height)]


# The logo's lettering: each of its colours at 15 coverages, from the
# faintest to the full colour, blended with black here; the installer blends
# them again with the face colour it draws the logo on (installer_dlg.cpp
# knows where they are).
LOGO_RAMP_FIRST = 216
LOGO_RAMP_LENGTH = 15
LOGO_LETTERING = [(255, 204, 0), (0, 0, 153)]  # the name, the motto


def logo_palette():
    """256 entries: black first, a 6 x 6 x 6 colour cube, the lettering's
    coverages, then greys."""
    colours = [(0, 0, 0)]
    for r in range(6):
        for g in range(6):
            for b in range(6):
                if (r, g, b) != (0, 0, 0):
                    colours.append((r * 51, g * 51, b * 51))
    assert len(colours) == LOGO_RAMP_FIRST
    for colour in LOGO_LETTERING:
        for k in range(1, LOGO_RAMP_LENGTH + 1):
            colours.append(tuple(c * k // LOGO_RAMP_LENGTH for c in colour))
    while len(colours) < 256:
        level = 8 + (len(colours) - 216) * 6
        colours.append((level, level, level))
    return colours


def coverage_entry(ramp, grey):
    """The palette entry of a lettering pixel of coverage `grey` (0-255), or
    None where the letter does not cover it."""
    k = (grey * LOGO_RAMP_LENGTH + 127) // 255
    return LOGO_RAMP_FIRST + ramp * LOGO_RAMP_LENGTH + k - 1 if k else None


def nearest(palette, colour):
    r, g, b = colour
    return min(range(len(palette)),
               key=lambda i: (palette[i][0] - r) ** 2 + (palette[i][1] - g) ** 2 + (palette[i][2] - b) ** 2)


def logo():
    width, height = 150, 57
    bubble_w = 52
    rgb = [[(0, 0, 0)] * width for _ in range(height)]
    # The bubble of the icon, drawn at 1.5 times its size on the left.
    for y in range(height):
        for x in range(bubble_w):
            sx, sy = int(x / 1.5), int((y - 4) / 1.5)
            if not (0 <= sx < 32 and 0 <= sy < 32):
                continue
            shape = bubble_shape(sx, sy)
            if shape == 0:
                continue
            if shape == 1:
                rgb[y][x] = (255, 255, 255)
            elif in_letter_v(sx, sy):
                rgb[y][x] = (0, 0, 153)
            else:
                rgb[y][x] = (204, 0, 0) if ((sy - 3) // 2) % 2 else (255, 204, 0)
    name = rendered_text(width - bubble_w, height, 'Verbalia', 'DejaVu-Sans-Bold', 19, 2, 27)
    motto = rendered_text(width - bubble_w, height, 'programes en català', 'DejaVu-Sans', 8, 1, 44)
    palette = logo_palette()
    cache = {}
    rows = []
    for y in reversed(range(height)):  # bottom-up
        indices = []
        for x in range(width):
            entry = None
            if x >= bubble_w:
                a, m = name[y][x - bubble_w], motto[y][x - bubble_w]
                entry = coverage_entry(0, a) if a >= m else coverage_entry(1, m)
            if entry is None:
                entry = cache.setdefault(rgb[y][x], nearest(palette[:LOGO_RAMP_FIRST], rgb[y][x]))
            indices.append(entry)
        rows.append(bytes(indices) + b'\0' * ((4 - width % 4) % 4))
    bits = b''.join(rows)
    table = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in palette)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    return header + info + table + bits


def chain_icon():
    """Two interlocking chain links."""
    pixels = [[BLACK] * 32 for _ in range(32)]
    mask = [[1] * 32 for _ in range(32)]

    def ring(x0, y0, x1, y1, colour, skip=None):
        for y in range(32):
            for x in range(32):
                if skip and skip(x, y):
                    continue
                # Distance outside the inner rounded rectangle, 0 inside it.
                cx = min(max(x, x0 + 4), x1 - 4)
                cy = min(max(y, y0 + 4), y1 - 4)
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if 2.2 <= d <= 4.6:
                    pixels[y][x] = colour
                    mask[y][x] = 0
                elif 1.6 <= d < 2.2 or 4.6 < d <= 5.2:
                    pixels[y][x] = WHITE if pixels[y][x] == BLACK and mask[y][x] else pixels[y][x]
                    if mask[y][x]:
                        pixels[y][x] = BLACK
                        mask[y][x] = 0

    ring(2, 9, 19, 23, BLUE)
    # The red link passes over the blue one on its left side only.
    ring(13, 9, 30, 23, RED, skip=lambda x, y: 15 <= x <= 19 and y >= 16)
    return pixels, mask


def main():
    root = Path(sys.argv[1]) if len(sys.argv) > 1 else Path('.')
    light = dib_4bpp(*picture(dark=False))
    dark = dib_4bpp(*picture(dark=True))
    (root / 'common' / 'verbalia.ico').write_bytes(ico([light, dark]))
    (root / 'installer' / 'res' / 'logo.bmp').write_bytes(logo())
    (root / 'linkhelper' / 'res' / 'urlhop32.ico').write_bytes(ico([dib_4bpp(*chain_icon())]))


if __name__ == '__main__':
    main()
