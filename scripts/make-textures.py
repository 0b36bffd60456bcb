#!/usr/bin/env python3
"""Draws the five fill textures (tex1.jpg .. tex5.jpg) of the style presets and
the fill tab's texture buttons.

Each texture is 128 x 128 and tiles seamlessly: every pattern is made of
periodic functions of the position (sines of whole periods, value noise on a
wrapping lattice), so a picture fill that repeats it shows no seams. Pixels are
computed with the standard library and compressed with cjpeg (libjpeg-turbo's
encoder) into resources/Textures/. Run it from anywhere; the output is
committed, so the build never needs it.
"""
import math
import os
import random
import subprocess
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "Textures")
SIZE = 128
CJPEG = os.environ.get("CJPEG", "cjpeg")


def lattice(seed, cells):
    rng = random.Random(seed)
    return [[rng.random() for _ in range(cells)] for _ in range(cells)]


def noise(grid, x, y):
    """Smooth value noise on a lattice that wraps, so it tiles over SIZE."""
    cells = len(grid)
    fx, fy = x * cells / SIZE, y * cells / SIZE
    x0, y0 = int(fx) % cells, int(fy) % cells
    x1, y1 = (x0 + 1) % cells, (y0 + 1) % cells
    tx, ty = fx - int(fx), fy - int(fy)
    tx, ty = tx * tx * (3 - 2 * tx), ty * ty * (3 - 2 * ty)
    top = grid[y0][x0] * (1 - tx) + grid[y0][x1] * tx
    bottom = grid[y1][x0] * (1 - tx) + grid[y1][x1] * tx
    return top * (1 - ty) + bottom * ty


def turbulence(grids, x, y):
    total, weight = 0.0, 0.0
    for i, grid in enumerate(grids):
        w = 0.5 ** i
        total += noise(grid, x, y) * w
        weight += w
    return total / weight


def mix(a, b, t):
    t = min(1.0, max(0.0, t))
    return tuple(int(round(a[k] + (b[k] - a[k]) * t)) for k in range(3))


def marble(x, y, g):
    v = math.sin(2 * math.pi * (x / SIZE + 2 * y / SIZE) + 6 * turbulence(g, x, y))
    return mix((236, 232, 226), (120, 126, 140), (v + 1) / 2 * 0.8)


def wood(x, y, g):
    rings = 6 * y / SIZE + 1.5 * turbulence(g, x, y) + 0.15 * math.sin(2 * math.pi * x / SIZE)
    t = (rings - math.floor(rings)) ** 2
    return mix((196, 140, 84), (126, 78, 40), t)


def linen(x, y, g):
    warp = 0.5 + 0.5 * math.sin(2 * math.pi * 32 * x / SIZE)
    weft = 0.5 + 0.5 * math.sin(2 * math.pi * 32 * y / SIZE)
    t = 0.35 * warp + 0.35 * weft + 0.3 * turbulence(g, x, y)
    return mix((238, 228, 204), (186, 170, 140), t)


def granite(x, y, g):
    base = mix((150, 150, 154), (96, 92, 96), turbulence(g, x, y))
    speck = noise(g[-1], x * 4 % SIZE, y * 4 % SIZE)
    if speck > 0.8:
        return mix(base, (232, 228, 220), (speck - 0.8) * 5)
    if speck < 0.15:
        return mix(base, (30, 28, 30), (0.15 - speck) * 6)
    return base


def sky(x, y, g):
    t = turbulence(g, x, y)
    return mix((70, 120, 200), (246, 248, 252), (t - 0.35) * 2.2)


PATTERNS = [(marble, 1), (wood, 2), (linen, 3), (granite, 4), (sky, 5)]


def main():
    os.makedirs(OUT, exist_ok=True)
    for number, (pattern, seed) in enumerate(PATTERNS, start=1):
        grids = [lattice(seed * 10 + i, 4 << i) for i in range(5)]
        pixels = bytearray()
        for y in range(SIZE):
            for x in range(SIZE):
                pixels += bytes(pattern(x, y, grids))
        ppm = b"P6\n%d %d\n255\n" % (SIZE, SIZE) + bytes(pixels)
        target = os.path.join(OUT, "tex%d.jpg" % number)
        with open(target, "wb") as out:
            subprocess.run([CJPEG, "-quality", "90", "-optimize"], input=ppm, stdout=out,
                           check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
