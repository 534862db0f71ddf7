#!/usr/bin/python3
"""Draws the two default textures once; the JPEG files are committed.

texture_a.jpg: warm bricks with mortar joints and a little grain.
texture_b.jpg: cool rings of a wood-like grain.
Run from this folder with the Debian python3 (python3-pil): /usr/bin/python3 make_samples.py
"""
import math
import random

from PIL import Image

SIZE = 256


def bricks(rng):
    img = Image.new("RGB", (SIZE, SIZE))
    px = img.load()
    brick_w, brick_h, joint = 64, 32, 3
    shades = {}
    for y in range(SIZE):
        row = y // brick_h
        shift = (brick_w // 2) * (row % 2)
        for x in range(SIZE):
            col = ((x + shift) // brick_w)
            in_joint = (y % brick_h) < joint or ((x + shift) % brick_w) < joint
            if in_joint:
                g = 190 + rng.randint(-12, 12)
                px[x, y] = (g, g - 6, g - 16)
                continue
            base = shades.setdefault((row, col % (SIZE // brick_w)), rng.randint(-25, 25))
            n = rng.randint(-14, 14)
            px[x, y] = (165 + base + n, 70 + base // 2 + n, 48 + n)
    return img


def rings(rng):
    img = Image.new("RGB", (SIZE, SIZE))
    px = img.load()
    cx, cy = -40.0, 300.0
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x - cx, y - cy)
            wave = math.sin(d * 0.22 + 2.5 * math.sin(x * 0.03) + 1.5 * math.sin(y * 0.05))
            t = 0.5 + 0.5 * wave
            n = rng.randint(-8, 8)
            px[x, y] = (int(40 + 50 * t) + n, int(90 + 70 * t) + n, int(150 + 90 * t) + n)
    return img


def main():
    rng = random.Random(7)
    bricks(rng).save("texture_a.jpg", quality=92)
    rings(rng).save("texture_b.jpg", quality=92)


if __name__ == "__main__":
    main()
