#!/usr/bin/env python3
"""Draws the pictures of the counter, form and HTML objects.

Writes 24-bit BMP files into resources/objects/ using only the standard
library. Run it from anywhere; the output is committed, so the build never
needs it.
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "objects")

# 3 x 5 digit shapes, one string per row.
DIGITS = {
    "0": ["111", "101", "101", "101", "111"],
    "1": ["010", "110", "010", "010", "111"],
    "2": ["111", "001", "111", "100", "111"],
    "3": ["111", "001", "111", "001", "111"],
    "4": ["101", "101", "111", "001", "001"],
    "5": ["111", "100", "111", "001", "111"],
    "6": ["111", "100", "111", "101", "111"],
    "7": ["111", "001", "010", "010", "010"],
    "8": ["111", "101", "111", "101", "111"],
    "9": ["111", "101", "111", "001", "111"],
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.pixels[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0 + 1, colour)
        self.rect(x0, y1 - 1, x1, y1, colour)
        self.rect(x0, y0, x0 + 1, y1, colour)
        self.rect(x1 - 1, y0, x1, y1, colour)

    def text(self, x, y, digits, scale, colour):
        for d in digits:
            for row, bits in enumerate(DIGITS[d]):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        self.rect(x + col * scale, y + row * scale,
                                  x + (col + 1) * scale, y + (row + 1) * scale, colour)
            x += 4 * scale

    def save(self, name):
        row_bytes = (self.width * 3 + 3) // 4 * 4
        data = bytearray()
        for y in range(self.height - 1, -1, -1):  # bottom-up rows
            row = bytearray()
            for r, g, b in self.pixels[y]:
                row += bytes((b, g, r))
            row += b"\0" * (row_bytes - len(row))
            data += row
        header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(data),
                           3780, 3780, 0, 0)
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(header + info + data)


def counter(style):
    # Four looks of the same six-digit counter.
    looks = [
        # width, height, background, frame, digit colour, cell colour, scale
        (88, 31, (0, 0, 0), (128, 128, 128), (0, 255, 0), None, 3),
        (100, 24, (255, 255, 255), (0, 0, 128), (0, 0, 128), (220, 230, 255), 2),
        (120, 30, (40, 40, 40), (200, 160, 0), (255, 200, 0), (70, 70, 70), 3),
        (80, 20, (192, 0, 0), (255, 255, 255), (255, 255, 255), None, 2),
    ]
    w, h, bg, fr, fg, cell, scale = looks[style]
    c = Canvas(w, h, bg)
    c.frame(0, 0, w, h, fr)
    digit_w = 4 * scale
    total = 6 * digit_w - scale
    x = (w - total) // 2
    y = (h - 5 * scale) // 2
    if cell:
        for i in range(6):
            cx = x + i * digit_w
            c.rect(cx - 1, y - 2, cx + 3 * scale + 1, y + 5 * scale + 2, cell)
    c.text(x, y, "000123", scale, fg)
    c.save("counter-style-%d.bmp" % style)


def form():
    # A mail form: four labelled fields and two buttons on a light panel.
    w, h = 260, 300
    colours = Canvas(w, h, (236, 236, 236))
    alpha = Canvas(w, h, (255, 255, 255))
    dark, white, blue = (60, 60, 60), (255, 255, 255), (0, 70, 160)
    y = 12
    for label_width, field_height in ((40, 20), (90, 20), (80, 50), (85, 50)):
        colours.rect(14, y, 14 + label_width, y + 6, blue)  # the label as a bar
        y += 12
        colours.rect(24, y, 24 + 200, y + field_height, white)
        colours.frame(24, y, 24 + 200, y + field_height, dark)
        y += field_height + 14
    for bx in (30, 140):
        colours.rect(bx, y, bx + 90, y + 24, (212, 208, 200))
        colours.frame(bx, y, bx + 90, y + 24, dark)
        colours.rect(bx + 25, y + 10, bx + 65, y + 14, dark)
    # Rounded corners and a soft shadow edge come from the grey alpha picture.
    for (x0, y0) in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        alpha.rect(x0, y0, x0 + 1, y0 + 1, (0, 0, 0))
    alpha.rect(0, h - 2, w, h, (128, 128, 128))
    alpha.rect(w - 2, 0, w, h, (128, 128, 128))
    colours.save("form.bmp")
    alpha.save("form-alpha.bmp")


def html_pattern():
    # A light diagonal hatch that says "HTML goes here" without any text.
    c = Canvas(16, 16, (255, 255, 240))
    for i in range(16):
        c.rect(i, (i + 8) % 16, i + 1, (i + 8) % 16 + 1, (200, 120, 40))
        c.rect(i, i, i + 1, i + 1, (230, 190, 140))
    c.save("html-placeholder.bmp")


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for s in range(4):
        counter(s)
    form()
    html_pattern()
