#!/usr/bin/env python3
"""Draws the application's own artwork (splash bitmaps, icons, toolbar buttons) as PNG files.

Run from this folder (data/artwork); the PNGs are committed and compiled into the program as Qt
resources (src/gui/resources/velora.qrc), so the build does not need this script.
Shapes are drawn with 4x supersampling for smooth edges. The toolbar buttons are drawn a second
time at twice the size (name@2x.png), so they stay sharp on high-density screens.
"""
import math
import struct
import zlib

SS = 4


class Canvas:
    """Drawing in units of the nominal size; scale multiplies the pixels of the saved image."""

    def __init__(self, w, h, bg=(0, 0, 0, 0), scale=1):
        self.w, self.h = w * scale, h * scale
        self.f = SS * scale  # canvas pixels per drawing unit
        self.W, self.H = self.w * SS, self.h * SS
        self.px = [list(bg) for _ in range(self.W * self.H)]

    def blend(self, x, y, c):
        if 0 <= x < self.W and 0 <= y < self.H:
            d = self.px[y * self.W + x]
            a = c[3] / 255.0
            for i in range(3):
                d[i] = int(c[i] * a + d[i] * (1 - a))
            d[3] = int(255 * (a + d[3] / 255.0 * (1 - a)))

    def rect(self, x0, y0, x1, y1, c):
        for y in range(int(y0 * self.f), int(y1 * self.f)):
            for x in range(int(x0 * self.f), int(x1 * self.f)):
                self.blend(x, y, c)

    def gradient(self, x0, y0, x1, y1, top, bottom):
        Y0, Y1 = int(y0 * self.f), int(y1 * self.f)
        for y in range(Y0, Y1):
            t = (y - Y0) / max(1, Y1 - Y0 - 1)
            c = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)) + (255,)
            for x in range(int(x0 * self.f), int(x1 * self.f)):
                self.blend(x, y, c)

    def circle(self, cx, cy, r, c, ring=None):
        f = self.f
        for y in range(int((cy - r) * f), int((cy + r) * f) + 1):
            for x in range(int((cx - r) * f), int((cx + r) * f) + 1):
                d = math.hypot(x / f - cx, y / f - cy)
                if d <= r and (ring is None or d >= r - ring):
                    self.blend(x, y, c)

    def polygon(self, pts, c):
        P = [(x * self.f, y * self.f) for x, y in pts]
        ys = [p[1] for p in P]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            xs = []
            for i in range(len(P)):
                (xa, ya), (xb, yb) = P[i], P[(i + 1) % len(P)]
                if (ya <= y + 0.5 < yb) or (yb <= y + 0.5 < ya):
                    xs.append(xa + (y + 0.5 - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(int(xs[i]), int(xs[i + 1])):
                    self.blend(x, y, c)

    def line(self, x0, y0, x1, y1, width, c):
        dx, dy = x1 - x0, y1 - y0
        n = math.hypot(dx, dy) or 1
        ox, oy = -dy / n * width / 2, dx / n * width / 2
        self.polygon([(x0 + ox, y0 + oy), (x1 + ox, y1 + oy), (x1 - ox, y1 - oy), (x0 - ox, y0 - oy)], c)

    def save(self, path, palette_levels=None):
        rows = []
        for y in range(self.h):
            row = bytearray([0])
            for x in range(self.w):
                acc = [0, 0, 0, 0]
                for sy in range(SS):
                    for sx in range(SS):
                        p = self.px[(y * SS + sy) * self.W + x * SS + sx]
                        for i in range(4):
                            acc[i] += p[i]
                px = [v // (SS * SS) for v in acc]
                if palette_levels:
                    step = 255 // (palette_levels - 1)
                    px[:3] = [round(v / step) * step for v in px[:3]]
                row += bytes(px)
            rows.append(bytes(row))
        raw = zlib.compress(b"".join(rows), 9)

        def chunk(t, d):
            return struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d) & 0xFFFFFFFF)

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)))
            f.write(chunk(b"IDAT", raw))
            f.write(chunk(b"IEND", b""))


NAVY = (24, 52, 96, 255)
TEAL = (32, 150, 160, 255)
ORANGE = (240, 140, 40, 255)
WHITE = (255, 255, 255, 255)
GREY = (120, 120, 120, 255)
DARK = (40, 40, 40, 255)
PAPER = (250, 250, 245, 255)
YELLOW = (240, 200, 70, 255)
GREEN = (40, 150, 70, 255)
RED = (200, 50, 40, 255)


def radio(c, x, y, s):
    """A hand-held radio silhouette in a box of size s at (x, y)."""
    c.rect(x + 0.62 * s, y + 0.02 * s, x + 0.70 * s, y + 0.3 * s, DARK)  # antenna
    c.rect(x + 0.25 * s, y + 0.25 * s, x + 0.78 * s, y + 0.98 * s, NAVY)
    c.rect(x + 0.32 * s, y + 0.33 * s, x + 0.71 * s, y + 0.50 * s, (150, 220, 200, 255))
    for i in range(3):
        for j in range(2):
            c.rect(x + (0.33 + 0.14 * i) * s, y + (0.60 + 0.14 * j) * s,
                   x + (0.42 + 0.14 * i) * s, y + (0.68 + 0.14 * j) * s, WHITE)


def splash(path, levels=None):
    w, h = 440, 290
    c = Canvas(w, h)
    c.gradient(0, 0, w, h, (210, 228, 242), (150, 185, 215))
    c.rect(0, 0, w, 6, NAVY)
    c.rect(0, h - 6, w, h, NAVY)
    # Radio waves in the corners, kept clear of the centred text column.
    for r in (30, 50, 70):
        c.circle(40, 250, r, (255, 255, 255, 90), ring=4)
        c.circle(400, 40, r, (24, 52, 96, 60), ring=4)
    radio(c, 14, 14, 60)
    c.rect(120, 60, 320, 62, (24, 52, 96, 120))
    c.save(path, palette_levels=levels)


def icon_radio(path, size=32):
    c = Canvas(size, size)
    radio(c, 0, 0, size)
    c.save(path)


def icon_app(path, size=32):
    c = Canvas(size, size)
    c.circle(size / 2, size / 2, size / 2 - 0.5, NAVY)
    for r in (0.22, 0.33):
        c.circle(size / 2, size / 2, r * size, WHITE, ring=size * 0.05)
    c.circle(size / 2, size / 2, 0.09 * size, ORANGE)
    c.save(path)


def icon_page(path, size=16):
    c = Canvas(size, size)
    s = size / 16
    c.polygon([(3 * s, 1 * s), (10 * s, 1 * s), (13 * s, 4 * s), (13 * s, 15 * s), (3 * s, 15 * s)], GREY)
    c.polygon([(4 * s, 2 * s), (9.5 * s, 2 * s), (12 * s, 4.5 * s), (12 * s, 14 * s), (4 * s, 14 * s)], PAPER)
    for i in range(4):
        c.rect(5 * s, (6 + 2 * i) * s, 11 * s, (6.8 + 2 * i) * s, TEAL)
    c.save(path)


def tb(name, draw):
    for scale, suffix in ((1, ""), (2, "@2x")):
        c = Canvas(16, 15, scale=scale)
        draw(c)
        c.save("toolbar/%s%s.png" % (name, suffix))


def tb_new(c):
    c.polygon([(3, 1), (10, 1), (13, 4), (13, 14), (3, 14)], DARK)
    c.polygon([(4, 2), (9.5, 2), (12, 4.5), (12, 13), (4, 13)], WHITE)
    c.polygon([(9.5, 1.5), (12.5, 4.5), (9.5, 4.5)], GREY)


def tb_open(c):
    c.polygon([(1, 3), (6, 3), (7, 5), (14, 5), (14, 13), (1, 13)], (180, 130, 30, 255))
    c.polygon([(3, 7), (15.5, 7), (13.5, 13), (1, 13)], YELLOW)


def tb_save(c):
    c.rect(1.5, 1.5, 14.5, 14, NAVY)
    c.rect(4, 1.5, 12, 6, WHITE)
    c.rect(10, 2.5, 11.5, 5, NAVY)
    c.rect(4, 9, 12, 14, (200, 200, 200, 255))


def tb_print(c):
    c.rect(4, 1, 12, 6, WHITE)
    c.rect(4, 1, 12, 1.8, DARK)
    c.rect(1, 6, 15, 11.5, GREY)
    c.rect(12, 7, 13.5, 8, GREEN)
    c.rect(4, 9.5, 12, 14, WHITE)
    c.rect(5, 11, 11, 11.8, DARK)


def arrow(c, down, colour):
    if down:
        c.rect(10.5, 1, 13.5, 7, colour)
        c.polygon([(8.5, 7), (15.5, 7), (12, 11)], colour)
    else:
        c.rect(10.5, 5, 13.5, 11, colour)
        c.polygon([(8.5, 5), (15.5, 5), (12, 1)], colour)


def tb_read(c):
    radio(c, -2, 0, 15)
    arrow(c, True, GREEN)
    c.rect(8, 12, 16, 14, DARK)


def tb_write(c):
    radio(c, -2, 0, 15)
    arrow(c, False, RED)
    c.rect(8, 12, 16, 14, DARK)


def tb_about(c):
    c.circle(8, 7.5, 6.8, NAVY)
    c.circle(8, 6, 2.6, WHITE, ring=1.3)
    c.rect(5, 5.8, 6.6, 7.5, NAVY)  # open the left side of the hook
    c.rect(7.3, 8, 8.7, 10, WHITE)
    c.circle(8, 11.6, 0.9, WHITE)


if __name__ == "__main__":
    splash("bmp/132.png")
    splash("bmp/134.png", levels=4)  # the low-colour variant
    icon_radio("icons/128.png")
    icon_app("icons/129.png")
    icon_page("icons/135.png")
    for name, fn in [("new", tb_new), ("open", tb_open), ("save", tb_save), ("print", tb_print),
                     ("read", tb_read), ("write", tb_write), ("about", tb_about)]:
        tb(name, fn)
