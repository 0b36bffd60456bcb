#!/usr/bin/env python3
"""Draws the preview pictures of the HTML snippets.

Writes 160 x 120 PNG files into resources/Snippets/billeder/ using only the
standard library: each picture is drawn at three times the size and scaled
down, which smooths the edges. Run it from anywhere; the output is
committed, so the build never needs it.
"""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "Snippets",
                   "billeder")
W, H = 160, 120
SS = 3  # supersampling factor

# 5 x 7 capitals, digits and a few signs; one string per row.
FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "J": ["00111", "00010", "00010", "00010", "00010", "10010", "01100"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "10001", "11001", "10101", "10011", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "Æ": ["01111", "10100", "10100", "11111", "10100", "10100", "10111"],
    "Ø": ["01111", "10011", "10101", "10101", "10101", "11001", "11110"],
    "Å": ["00100", "01010", "01110", "10001", "11111", "10001", "10001"],
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11111", "00010", "00100", "00010", "00001", "10001", "01110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    "7": ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    "9": ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    ":": ["00000", "01100", "01100", "00000", "01100", "01100", "00000"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    "!": ["00100", "00100", "00100", "00100", "00100", "00000", "00100"],
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    "@": ["01110", "10001", "10111", "10101", "10111", "10000", "01111"],
    " ": ["00000"] * 7,
}

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREY = (128, 128, 128)
LIGHT = (235, 238, 242)
BLUE = (0, 0, 160)


class Canvas:
    """An RGB picture drawn in supersampled coordinates of the final size."""

    def __init__(self, colour):
        self.w, self.h = W * SS, H * SS
        self.px = [list(colour) * self.w for _ in range(self.h)]

    def _set(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            row = self.px[y]
            row[3 * x:3 * x + 3] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, int(y0 * SS)), min(self.h, int(y1 * SS))):
            row = self.px[y]
            a, b = max(0, int(x0 * SS)), min(self.w, int(x1 * SS))
            if b > a:
                row[3 * a:3 * b] = list(colour) * (b - a)

    def frame(self, x0, y0, x1, y1, colour, width=1):
        self.rect(x0, y0, x1, y0 + width, colour)
        self.rect(x0, y1 - width, x1, y1, colour)
        self.rect(x0, y0, x0 + width, y1, colour)
        self.rect(x1 - width, y0, x1, y1, colour)

    def round_rect(self, x0, y0, x1, y1, r, colour):
        self.rect(x0 + r, y0, x1 - r, y1, colour)
        self.rect(x0, y0 + r, x1, y1 - r, colour)
        for cx, cy in ((x0 + r, y0 + r), (x1 - r, y0 + r), (x0 + r, y1 - r), (x1 - r, y1 - r)):
            self.circle(cx, cy, r, colour)

    def circle(self, cx, cy, r, colour, ring=None):
        """A disc, or with ring a circle line of that width."""
        inner = (r - ring) if ring else -1
        for y in range(max(0, int((cy - r) * SS)), min(self.h, int((cy + r) * SS) + 1)):
            for x in range(max(0, int((cx - r) * SS)), min(self.w, int((cx + r) * SS) + 1)):
                d = ((x + 0.5) / SS - cx) ** 2 + ((y + 0.5) / SS - cy) ** 2
                if d <= r * r and d >= inner * abs(inner):
                    self._set(x, y, colour)

    def polygon(self, points, colour):
        pts = [(x * SS, y * SS) for x, y in points]
        ys = [p[1] for p in pts]
        for y in range(max(0, int(min(ys))), min(self.h, int(max(ys)) + 1)):
            yc = y + 0.5
            xs = []
            for (xa, ya), (xb, yb) in zip(pts, pts[1:] + pts[:1]):
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                for x in range(max(0, int(a + 0.5)), min(self.w, int(b + 0.5))):
                    self._set(x, y, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length = (dx * dx + dy * dy) ** 0.5 or 1
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny),
                      (x0 - nx, y0 - ny)], colour)

    def text(self, x, y, text, scale, colour):
        """Capitals of the 5 x 7 font; x, y is the top-left corner."""
        for ch in text.upper():
            glyph = FONT.get(ch, FONT[" "])
            for row, bits in enumerate(glyph):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        self.rect(x + col * scale, y + row * scale, x + (col + 1) * scale,
                                  y + (row + 1) * scale, colour)
            x += 6 * scale

    @staticmethod
    def text_width(text, scale):
        return len(text) * 6 * scale - scale

    def centred_text(self, y, text, scale, colour, x0=0, x1=W):
        self.text((x0 + x1 - self.text_width(text, scale)) / 2, y, text, scale, colour)

    def save(self, name):
        raw = bytearray()
        for y in range(H):
            raw.append(0)  # no row filter
            rows = self.px[y * SS:(y + 1) * SS]
            for x in range(W):
                for c in range(3):
                    total = 0
                    for row in rows:
                        total += sum(row[3 * (x * SS + k) + c] for k in range(SS))
                    raw.append((total + SS * SS // 2) // (SS * SS))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        png += chunk(b"IEND", b"")
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(png)


def page(title_colour=(70, 110, 170)):
    """A little browser page: a title bar and a light body."""
    c = Canvas(LIGHT)
    c.rect(0, 0, W, 12, title_colour)
    for i, col in enumerate(((230, 90, 80), (240, 190, 60), (90, 190, 90))):
        c.circle(8 + i * 8, 6, 2.5, col)
    c.frame(0, 0, W, H, (90, 100, 120))
    return c


def clock():
    c = page()
    c.circle(44, 62, 30, WHITE)
    c.circle(44, 62, 30, (40, 40, 40), ring=3)
    for k in range(12):
        a = k * math.pi / 6
        c.line(44 + 24 * math.sin(a), 62 - 24 * math.cos(a), 44 + 27 * math.sin(a),
               62 - 27 * math.cos(a), 2, (40, 40, 40))
    c.line(44, 62, 44, 42, 3, BLACK)
    c.line(44, 62, 58, 70, 3, BLACK)
    c.circle(44, 62, 3, (200, 0, 0))
    c.text(86, 44, "12:34", 2, BLACK)
    c.text(86, 66, "MANDAG", 1, (60, 60, 60))
    c.text(86, 76, "8. DEC", 1, (60, 60, 60))
    c.save("klokken.png")


def to_top():
    c = page()
    for y in range(22, 80, 9):
        c.rect(14, y, 146 - (y * 7) % 40, y + 4, (180, 188, 200))
    c.polygon([(80, 84), (96, 100), (86, 100), (86, 112), (74, 112), (74, 100), (64, 100)],
              BLUE)
    c.text(100, 98, "TIL TOP", 1, BLUE)
    c.save("til-toppen.png")


def last_updated():
    c = page()
    c.rect(50, 24, 110, 80, WHITE)
    c.rect(50, 24, 110, 38, (200, 40, 40))
    c.frame(50, 24, 110, 80, (120, 120, 120))
    c.rect(62, 19, 66, 30, (80, 80, 80))
    c.rect(94, 19, 98, 30, (80, 80, 80))
    c.centred_text(44, "8", 4, (40, 40, 40))
    c.centred_text(92, "OPDATERET", 1, (96, 96, 96))
    c.centred_text(104, "8. DEC 2026", 1, (96, 96, 96))
    c.save("sidst-opdateret.png")


def map_():
    c = page()
    c.rect(10, 20, 150, 98, (200, 225, 190))
    c.polygon([(10, 70), (60, 60), (90, 98), (10, 98)], (170, 205, 235))
    c.line(10, 40, 150, 52, 5, WHITE)
    c.line(100, 20, 80, 98, 4, (250, 220, 120))
    c.frame(10, 20, 150, 98, GREY)
    c.circle(96, 44, 9, (220, 40, 40))
    c.polygon([(88, 48), (104, 48), (96, 62)], (220, 40, 40))
    c.circle(96, 44, 3.5, WHITE)
    c.text(10, 104, "VIS STØRRE KORT", 1, BLUE)
    c.save("kort.png")


def video():
    c = page()
    c.rect(10, 20, 150, 100, (20, 20, 24))
    c.circle(80, 56, 18, (200, 30, 30))
    c.polygon([(74, 46), (74, 66), (90, 56)], WHITE)
    c.rect(16, 90, 144, 92, (90, 90, 90))
    c.rect(16, 90, 60, 92, (200, 30, 30))
    c.circle(60, 91, 3, WHITE)
    c.save("video.png")


def slideshow():
    c = page()
    c.rect(20, 18, 140, 98, BLACK)
    c.rect(26, 24, 134, 92, (150, 200, 240))
    c.circle(112, 40, 8, (255, 220, 80))
    c.polygon([(26, 92), (60, 50), (86, 80), (100, 66), (134, 92)], (70, 140, 70))
    for i in range(4):
        c.circle(68 + i * 8, 108, 2.5, (60, 60, 60) if i == 1 else (170, 170, 170))
    c.polygon([(8, 58), (15, 51), (15, 65)], (80, 80, 80))
    c.polygon([(152, 58), (145, 51), (145, 65)], (80, 80, 80))
    c.save("billedshow.png")


def envelope(c, x0, y0, x1, y1, paper, edge):
    c.rect(x0, y0, x1, y1, paper)
    c.frame(x0, y0, x1, y1, edge, 2)
    mx, my = (x0 + x1) / 2, y0 + (y1 - y0) * 0.55
    c.line(x0, y0, mx, my, 2, edge)
    c.line(x1, y0, mx, my, 2, edge)


def mail_link():
    c = page()
    envelope(c, 40, 24, 120, 78, WHITE, BLUE)
    c.centred_text(90, "SKRIV TIL MIG", 1, BLUE)
    c.rect(44, 99, 116, 100, BLUE)
    c.save("email-link.png")


def guest_book():
    c = page()
    c.round_rect(12, 18, 148, 112, 6, (255, 248, 220))
    c.text(20, 24, "GÆSTEBOG", 2, (170, 110, 20))
    for y in (46, 54, 62):
        c.rect(20, y, 136 - (y % 16) * 2, y + 3, (150, 140, 120))
    c.round_rect(20, 78, 92, 98, 3, (170, 110, 20))
    envelope(c, 26, 82, 40, 94, WHITE, (170, 110, 20))
    c.text(45, 85, "SKRIV", 1, WHITE)
    c.save("gaestebog.png")


def social():
    c = page()
    colour = (40, 90, 160)
    labels = ["FACEBOOK", "INSTAGRAM", "YOUTUBE", "LINKEDIN"]
    for i, label in enumerate(labels):
        x0, y0 = 12 + (i % 2) * 70, 30 + (i // 2) * 34
        c.round_rect(x0, y0, x0 + 66, y0 + 22, 9, colour)
        c.centred_text(y0 + 8, label, 1, WHITE, x0, x0 + 66)
    c.save("sociale-medier.png")


def redirect():
    c = page()
    c.rect(10, 20, 150, 104, (255, 248, 224))
    c.frame(10, 20, 150, 104, (192, 128, 0), 2)
    c.text(18, 28, "SIDEN ER FLYTTET", 1, BLACK)
    c.rect(18, 44, 110, 46, BLUE)
    c.line(60, 76, 100, 76, 5, (192, 128, 0))
    c.polygon([(98, 66), (114, 76), (98, 86)], (192, 128, 0))
    c.text(18, 92, "OM 10 SEKUNDER", 1, (96, 96, 96))
    c.save("omdirigering.png")


def greeting():
    c = page()
    c.circle(36, 62, 22, (255, 210, 60))
    c.circle(28, 56, 3, BLACK)
    c.circle(44, 56, 3, BLACK)
    c.circle(36, 66, 11, BLACK, ring=2.5)
    c.rect(22, 54, 50, 66, (255, 210, 60))
    c.circle(28, 56, 3, BLACK)
    c.circle(44, 56, 3, BLACK)
    c.text(68, 50, "GOD", 2, (0, 96, 0))
    c.text(68, 68, "MORGEN", 1, (0, 96, 0))
    c.save("velkomst.png")


def countdown():
    c = page()
    c.polygon([(50, 22), (110, 22), (84, 58), (110, 94), (50, 94), (76, 58)], (120, 80, 40))
    c.polygon([(56, 26), (104, 26), (80, 56)], (240, 230, 200))
    c.polygon([(80, 68), (100, 90), (60, 90)], (230, 190, 90))
    c.rect(46, 18, 114, 23, (80, 50, 20))
    c.rect(46, 93, 114, 98, (80, 50, 20))
    c.centred_text(104, "17 DAGE", 1, (160, 0, 0))
    c.save("nedtaelling.png")


def print_():
    c = page()
    c.rect(52, 22, 108, 50, WHITE)
    c.frame(52, 22, 108, 50, GREY)
    c.round_rect(34, 46, 126, 86, 5, (70, 70, 70))
    c.rect(50, 72, 110, 100, WHITE)
    c.frame(50, 72, 110, 100, GREY)
    for y in (78, 84, 90):
        c.rect(56, y, 104, y + 2, (160, 160, 160))
    c.circle(116, 56, 3, (90, 200, 90))
    c.centred_text(106, "UDSKRIV", 1, (60, 60, 60))
    c.save("udskriv.png")


def ticker():
    c = page()
    for y in range(20, 50, 8):
        c.rect(14, y, 146, y + 4, (180, 188, 200))
    c.rect(0, 60, W, 84, (0, 70, 140))
    c.text(-8, 65, "NYHEDER! VELKOMMEN", 2, WHITE)
    c.polygon([(110, 90), (124, 82), (124, 86), (140, 86), (140, 94), (124, 94), (124, 98)],
              (0, 70, 140))
    c.save("rulletekst.png")


def main():
    os.makedirs(OUT, exist_ok=True)
    for draw in (clock, to_top, last_updated, map_, video, slideshow, mail_link, guest_book,
                 social, redirect, greeting, countdown, print_, ticker):
        draw()


if __name__ == "__main__":
    main()
