#!/usr/bin/env python3
"""Writes the binary resources of corvane.exe into resources/:

  corvane.ico        icon 107: 32x32 and 16x16, a small programme-guide grid
  corvane_small.ico  icon 108: the 16x16 image alone
  sd_mark.bmp        bitmap IDR_SDBMP: 13x13 monochrome "SD" mark, black on white

Only the standard library is used and the output is byte-for-byte
reproducible. The generated files are kept in the repository, so building
never needs Python; run this again only after changing a drawing below.
"""

import os
import struct
import sys

# Palette of the icons, (R, G, B). The colours are those the guide itself uses.
PALETTE = [
    (0, 0, 0),          # 0 black (transparent pixels are black under the mask)
    (105, 105, 105),    # 1 frame and corner button
    (169, 169, 169),    # 2 grid lines
    (255, 255, 255),    # 3 white
    (183, 255, 183),    # 4 column header
    (168, 211, 255),    # 5 hour cell, sports
    (255, 142, 198),    # 6 news
    (255, 214, 173),    # 7 hour cell, afternoon
    (255, 255, 173),    # 8 drama
    (216, 255, 178),    # 9 music
    (219, 183, 255),    # 10 animation
    (255, 56, 56),      # 11 line of the current time
    (244, 244, 255),    # 12 ordinary programme
    (0, 0, 0), (0, 0, 0), (0, 0, 0),
]
TRANSPARENT = -1


class Canvas:
    def __init__(self, size, fill):
        self.size = size
        self.pixels = [[fill] * size for _ in range(size)]

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the inclusive rectangle (x0, y0)-(x1, y1)."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.pixels[y][x] = colour

    def frame(self, colour):
        last = self.size - 1
        self.rect(0, 0, last, 0, colour)
        self.rect(0, last, last, last, colour)
        self.rect(0, 0, 0, last, colour)
        self.rect(last, 0, last, last, colour)

    def round_corners(self):
        last = self.size - 1
        for x, y in ((0, 0), (last, 0), (0, last), (last, last)):
            self.pixels[y][x] = TRANSPARENT


def guide_icon_32():
    c = Canvas(32, 2)
    c.frame(1)
    c.rect(1, 1, 7, 5, 1)                        # corner button
    for x0, x1 in ((9, 15), (17, 23), (25, 30)):  # three column headers
        c.rect(x0, 1, x1, 5, 4)
    c.rect(1, 7, 7, 17, 7)                       # time column, two hours
    c.rect(1, 19, 7, 30, 5)
    c.rect(9, 7, 15, 13, 6)                      # programmes, column 1
    c.rect(9, 15, 15, 22, 8)
    c.rect(9, 24, 15, 30, 12)
    c.rect(17, 7, 23, 10, 12)                    # column 2
    c.rect(17, 12, 23, 20, 9)
    c.rect(17, 22, 23, 30, 10)
    c.rect(25, 7, 30, 16, 5)                     # column 3
    c.rect(25, 18, 30, 30, 6)
    c.rect(1, 21, 30, 21, 11)                    # line of the current time
    c.round_corners()
    return c


def guide_icon_16():
    c = Canvas(16, 2)
    c.frame(1)
    c.rect(1, 1, 3, 3, 1)
    c.rect(5, 1, 9, 3, 4)
    c.rect(11, 1, 14, 3, 4)
    c.rect(1, 5, 3, 8, 7)
    c.rect(1, 10, 3, 14, 5)
    c.rect(5, 5, 9, 8, 6)
    c.rect(5, 10, 9, 14, 8)
    c.rect(11, 5, 14, 6, 12)
    c.rect(11, 8, 14, 14, 9)
    c.rect(1, 11, 14, 11, 11)
    c.round_corners()
    return c


def icon_image(canvas):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour rows, AND mask."""
    size = canvas.size
    colour_stride = (size * 4 + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    colour_rows = b""
    mask_rows = b""
    for row in reversed(canvas.pixels):          # bottom-up
        nibbles = [0 if p == TRANSPARENT else p for p in row]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        colour_rows += packed.ljust(colour_stride, b"\0")
        bits = 0
        for x, p in enumerate(row):
            if p == TRANSPARENT:
                bits |= 1 << (mask_stride * 8 - 1 - x)
        mask_rows += bits.to_bytes(mask_stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colour_rows) + len(mask_rows), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + colour_rows + mask_rows


def icon_file(canvases):
    images = [icon_image(c) for c in canvases]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for canvas, image in zip(canvases, images):
        directory += struct.pack("<BBBBHHII", canvas.size, canvas.size, 16, 0, 1, 4,
                                 len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


# The SD mark: a framed "SD", '#' black, '.' white. Drawn with SRCAND, so the
# white pixels leave the cell colour untouched.
SD_MARK = [
    "#############",
    "#...........#",
    "#...........#",
    "#..###.###..#",
    "#.#....#..#.#",
    "#.#....#..#.#",
    "#..##..#..#.#",
    "#....#.#..#.#",
    "#....#.#..#.#",
    "#.###..###..#",
    "#...........#",
    "#...........#",
    "#############",
]


def monochrome_bitmap(rows):
    width = len(rows[0])
    height = len(rows)
    stride = (width + 31) // 32 * 4
    data = b""
    for row in reversed(rows):                   # bottom-up
        bits = 0
        for x, ch in enumerate(row):
            if ch == ".":                        # palette entry 1 is white
                bits |= 1 << (stride * 8 - 1 - x)
        data += bits.to_bytes(stride, "big")
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(data), 2835, 2835, 2, 2)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    offset = 14 + len(info) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return file_header + info + palette + data


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    if len(sys.argv) > 1:
        out = sys.argv[1]
    assert all(len(r) == 13 for r in SD_MARK) and len(SD_MARK) == 13
    small = guide_icon_16()
    files = {
        "corvane.ico": icon_file([guide_icon_32(), small]),
        "corvane_small.ico": icon_file([small]),
        "sd_mark.bmp": monochrome_bitmap(SD_MARK),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
