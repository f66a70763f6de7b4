#!/usr/bin/env python3
"""Draws the control's two bitmaps as 4-bit BMP files (the standard 16-colour
palette): toolbox.bmp (16 x 16, resource 102, the control's toolbox picture)
and checkboxes.bmp (80 x 16, resource 205, five tree check-box images:
blank, empty box, checked box, partly checked, partly checked).
Run it after changing a picture; the .bmp files are kept in the repository."""
import struct

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, DARKGREEN, GREY, DARKGREY, WHITE, NAVY, CYAN = 0, 2, 7, 8, 15, 4, 14


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    stride = ((width * 4 + 31) // 32) * 4
    pixels = b""
    for row in reversed(rows):  # BMP rows run bottom-up
        line = bytearray()
        for x in range(0, width, 2):
            line.append(row[x] << 4 | (row[x + 1] if x + 1 < width else 0))
        pixels += bytes(line) + b"\0" * (stride - len(line))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as out:
        out.write(header + info + palette + pixels)


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def toolbox():
    # A chip with pins and a small hexadecimal display.
    img = canvas(16, 16, GREY)
    for y in range(3, 13):
        for x in range(3, 13):
            img[y][x] = NAVY
    for i in range(4, 13, 2):
        img[1][i - 1] = img[2][i - 1] = DARKGREY
        img[13][i - 1] = img[14][i - 1] = DARKGREY
    for y in range(6, 10):
        for x in range(5, 11):
            img[y][x] = CYAN if (x + y) % 3 else WHITE
    return img


def box(img, left, fill, check):
    for y in range(2, 14):
        for x in range(left + 2, left + 14):
            edge = y in (2, 13) or x in (left + 2, left + 13)
            img[y][x] = DARKGREY if edge else fill
    if check:
        for x, y in [(5, 8), (6, 9), (7, 10), (8, 9), (9, 8), (10, 7), (11, 6)]:
            img[y][left + x] = BLACK
            img[y - 1][left + x] = BLACK


def checkboxes():
    img = canvas(80, 16, WHITE)
    box(img, 16, WHITE, False)
    box(img, 32, WHITE, True)
    box(img, 48, GREY, True)
    box(img, 64, GREY, True)
    return img


write_bmp("toolbox.bmp", toolbox())
write_bmp("checkboxes.bmp", checkboxes())
