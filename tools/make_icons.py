#!/usr/bin/env python3
"""Draw the program's icons and write them to res/icons as .ico files.

Each icon is built from signed-distance shapes painted on a supersampled
canvas, reduced to one colour per pixel plus a 1-bit transparency mask, and
written as a classic single-image BMP icon with 16 or 256 colours.
Run from anywhere: python3 tools/make_icons.py
"""

import math
import os
import struct

SS = 8  # samples per pixel along each axis

# The standard 16-colour palette, in the order icons use it.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = VGA[:8]
GREY, RED, LIME, YELLOW, BLUE, MAGENTA, CYAN, WHITE = VGA[8:]


# ---------------------------------------------------------------- shapes


class Shape:
    """A region given by its signed distance (negative inside) and a bounding box."""

    def __init__(self, sdf, box):
        self.sdf = sdf
        self.box = box

    def __or__(self, other):
        a, b = self.sdf, other.sdf
        box = (min(self.box[0], other.box[0]), min(self.box[1], other.box[1]),
               max(self.box[2], other.box[2]), max(self.box[3], other.box[3]))
        return Shape(lambda x, y: min(a(x, y), b(x, y)), box)

    def __and__(self, other):
        a, b = self.sdf, other.sdf
        box = (max(self.box[0], other.box[0]), max(self.box[1], other.box[1]),
               min(self.box[2], other.box[2]), min(self.box[3], other.box[3]))
        return Shape(lambda x, y: max(a(x, y), b(x, y)), box)

    def __sub__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: max(a(x, y), -b(x, y)), self.box)

    def grow(self, d):
        """The shape widened by d pixels (narrowed when d is negative)."""
        f = self.sdf
        x0, y0, x1, y1 = self.box
        return Shape(lambda x, y: f(x, y) - d, (x0 - d, y0 - d, x1 + d, y1 + d))


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    def sdf(x, y):
        px, py = x - cx, y - cy
        k0 = math.hypot(px / rx, py / ry)
        k1 = math.hypot(px / (rx * rx), py / (ry * ry))
        if k1 == 0.0:
            return -min(rx, ry)
        return k0 * (k0 - 1.0) / k1

    return Shape(sdf, (cx - rx, cy - ry, cx + rx, cy + ry))


def rect(x0, y0, x1, y1, r=0.0):
    """Axis-aligned rectangle with corners rounded by r."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r

    return Shape(sdf, (x0, y0, x1, y1))


def polygon(points):
    pts = list(points)

    def sdf(x, y):
        best = math.inf
        inside = False
        bx, by = pts[-1]
        for ax, ay in pts:
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            dx, dy = wx - ex * t, wy - ey * t
            best = min(best, dx * dx + dy * dy)
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
            bx, by = ax, ay
        d = math.sqrt(best)
        return -d if inside else d

    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return Shape(sdf, (min(xs), min(ys), max(xs), max(ys)))


def stroke(points, r):
    """A polyline drawn with a round pen of radius r."""
    segs = list(zip(points, points[1:])) or [(points[0], points[0])]

    def sdf(x, y):
        best = math.inf
        for (ax, ay), (bx, by) in segs:
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            ll = ex * ex + ey * ey
            t = 0.0 if ll == 0.0 else max(0.0, min(1.0, (wx * ex + wy * ey) / ll))
            dx, dy = wx - ex * t, wy - ey * t
            best = min(best, dx * dx + dy * dy)
        return math.sqrt(best) - r

    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(sdf, (min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r))


def polar(cx, cy, radius, degrees):
    """The point at that angle (counter-clockwise on screen) on a circle."""
    a = math.radians(degrees)
    return (cx + radius * math.cos(a), cy - radius * math.sin(a))


def arc_points(cx, cy, radius, a0, a1, steps=24):
    """Points on a circle from angle a0 to angle a1 in degrees."""
    return [polar(cx, cy, radius, a0 + (a1 - a0) * i / steps) for i in range(steps + 1)]


def beyond(px, py, dx, dy):
    """The half plane from the line through (px, py) onwards in direction (dx, dy)."""
    length = math.hypot(dx, dy)
    nx, ny = dx / length, dy / length
    return Shape(lambda x, y: (px - x) * nx + (py - y) * ny, (-1e3, -1e3, 1e3, 1e3))


# ---------------------------------------------------------------- colour


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def gradient(x0, y0, c0, x1, y1, c1):
    """Linear gradient from c0 at (x0, y0) to c1 at (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy

    def colour(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / ll))
        return mix(c0, c1, t)

    return colour


def radial(cx, cy, radius, c0, c1):
    def colour(x, y):
        return mix(c0, c1, min(1.0, math.hypot(x - cx, y - cy) / radius))

    return colour


# ---------------------------------------------------------------- canvas


class Canvas:
    def __init__(self, size):
        self.size = size
        self.n = size * SS
        self.samples = [None] * (self.n * self.n)

    def paint(self, shape, colour, alpha=1.0):
        """Paint the shape; with alpha below 1 it only tints what is already there."""
        n = self.n
        x0, y0, x1, y1 = shape.box
        i0, j0 = max(0, int(math.floor(x0 * SS)) - 1), max(0, int(math.floor(y0 * SS)) - 1)
        i1, j1 = min(n, int(math.ceil(x1 * SS)) + 1), min(n, int(math.ceil(y1 * SS)) + 1)
        f = shape.sdf
        flat = not callable(colour)
        samples = self.samples
        for j in range(j0, j1):
            y = (j + 0.5) / SS
            row = j * n
            for i in range(i0, i1):
                x = (i + 0.5) / SS
                if f(x, y) > 0.0:
                    continue
                c = colour if flat else colour(x, y)
                if alpha < 1.0:
                    old = samples[row + i]
                    if old is None:
                        continue
                    c = mix(old, c, alpha)
                samples[row + i] = c

    def pixel_samples(self, px, py):
        n = self.n
        out = []
        for j in range(py * SS, py * SS + SS):
            out.extend(self.samples[j * n + px * SS: j * n + px * SS + SS])
        return out

    def resolve(self):
        """Rows of averaged colours, None where less than half the pixel is covered."""
        rows = []
        for py in range(self.size):
            row = []
            for px in range(self.size):
                opaque = [s for s in self.pixel_samples(px, py) if s is not None]
                if 2 * len(opaque) < SS * SS:
                    row.append(None)
                else:
                    row.append(tuple(sum(c[k] for c in opaque) / len(opaque) for k in range(3)))
            rows.append(row)
        return rows


def dist2(a, b):
    return sum((p - q) ** 2 for p, q in zip(a, b))


def between(p, a, b):
    """Whether palette colour p lies near the middle of the blend from a to b."""
    ab = [q - r for q, r in zip(b, a)]
    ll = sum(v * v for v in ab)
    if ll == 0:
        return False
    t = sum((q - r) * v for q, r, v in zip(p, a, ab)) / ll
    if not 0.2 <= t <= 0.8:
        return False
    return dist2(p, [r + v * t for r, v in zip(a, ab)]) < 40 * 40


def to_vga(canvas):
    """Palette indices for a canvas painted in VGA colours only.

    Edge pixels take the drawn colour closest to their average, or a palette
    colour that is a true blend of two drawn colours (grey between black and
    white), so the 16-colour icons get anti-aliasing without stray hues.
    """
    indices = []
    for py in range(canvas.size):
        row = []
        for px in range(canvas.size):
            opaque = [s for s in canvas.pixel_samples(px, py) if s is not None]
            if 2 * len(opaque) < SS * SS:
                row.append(None)
                continue
            present = sorted(set(opaque))
            for c in present:
                if c not in VGA:
                    raise ValueError("colour %r is not in the 16-colour palette" % (c,))
            mean = tuple(sum(c[k] for c in opaque) / len(opaque) for k in range(3))
            candidates = set(present)
            for a in present:
                for b in present:
                    candidates.update(p for p in VGA if between(p, a, b))
            best = min(sorted(candidates), key=lambda p: dist2(p, mean))
            row.append(VGA.index(best))
        indices.append(row)
    return VGA, indices


def median_cut(counts, wanted):
    """Reduce {colour: count} to at most `wanted` representative colours."""
    boxes = [sorted(counts.items())]
    while len(boxes) < wanted:
        best, best_score, best_axis = None, 0, 0
        for k, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for axis in range(3):
                values = [c[axis] for c, _ in box]
                score = (max(values) - min(values)) * math.sqrt(sum(n for _, n in box))
                if score > best_score:
                    best, best_score, best_axis = k, score, axis
        if best is None:
            break
        box = sorted(boxes[best], key=lambda item: (item[0][best_axis], item[0]))
        half = sum(n for _, n in box) / 2
        running, cut = 0, 1
        for k, (_, n) in enumerate(box[:-1]):
            running += n
            cut = k + 1
            if running >= half:
                break
        boxes[best:best + 1] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(round(sum(c[k] * n for c, n in box) / total) for k in range(3)))
    return sorted(set(palette))


def to_256(canvas):
    """A palette of up to 256 colours fitted to the picture, and its indices.

    Entry 0 is black: transparent pixels carry it, so the screen shows through.
    """
    rows = canvas.resolve()
    counts = {}
    for row in rows:
        for c in row:
            if c is not None:
                key = tuple(int(round(v)) for v in c)
                counts[key] = counts.get(key, 0) + 1
    counts.pop((0, 0, 0), None)
    palette = [(0, 0, 0)] + median_cut(counts, 255)
    lookup = {}
    indices = []
    for row in rows:
        out = []
        for c in row:
            if c is None:
                out.append(None)
                continue
            key = tuple(int(round(v)) for v in c)
            if key not in lookup:
                lookup[key] = min(range(len(palette)), key=lambda i: dist2(palette[i], key))
            out.append(lookup[key])
        indices.append(out)
    return palette, indices


# ---------------------------------------------------------------- file format


def ico_bytes(size, bpp, palette, indices):
    """A one-image icon file: BITMAPINFOHEADER, palette, XOR bitmap, AND mask."""
    colours = 1 << bpp
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    pal += b"\0" * (4 * (colours - len(palette)))
    xor_stride = (size * bpp + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):  # bitmaps are stored bottom-up
        xrow = bytearray(xor_stride)
        arow = bytearray(and_stride)
        for x, index in enumerate(indices[y]):
            if index is None:
                arow[x // 8] |= 0x80 >> (x % 8)
                index = 0
            if bpp == 8:
                xrow[x] = index
            else:
                xrow[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor += xrow
        mask += arow
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image = header + pal + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size % 256, size % 256, colours % 256, 0, 1, bpp,
                        len(image), 6 + 16)
    return directory + entry + image


# ---------------------------------------------------------------- pictures


def axis(start, end):
    """Unit vectors along start->end and to its right, and a point maker for that frame."""
    dx, dy = end[0] - start[0], end[1] - start[1]
    length = math.hypot(dx, dy)
    ux, uy = dx / length, dy / length
    rx, ry = -uy, ux

    def at(t, s):
        return (start[0] + ux * t + rx * s, start[1] + uy * t + ry * s)

    return (ux, uy), (rx, ry), at


def draw_notes():
    c = Canvas(32)
    sheet = polygon([(4, 2), (19, 2), (25, 8), (25, 30), (4, 30)])
    c.paint(sheet, BLACK)
    c.paint(sheet.grow(-1), WHITE)
    c.paint(rect(23, 9, 24, 29) | rect(5, 28, 24, 29), SILVER)
    fold = polygon([(19, 2), (19, 8), (25, 8)])
    c.paint(fold, SILVER)
    c.paint(stroke([(19.5, 2), (19.5, 8.5), (25, 8.5)], 0.5), BLACK)
    for y, right in ((10, 21), (14, 21), (18, 18), (22, 21)):
        c.paint(rect(7, y, right, y + 2), GREY)
    c.paint(rect(7, 26, 12, 28), BLUE)

    # The pen lies from its tip at the end of the last line up to the top right;
    # light falls from the top left, so its right-hand side is shaded.
    forward, right, at = axis((12.5, 27.0), (27.5, 12.0))
    cone = polygon([at(0, 0), at(7, -3), at(7, 3)])
    body = polygon([at(7, -3), at(19.5, -3), at(19.5, 3), at(7, 3)]) | circle(*at(19.5, 0), 3)
    c.paint((cone | body).grow(1), BLACK)
    c.paint(cone, SILVER)
    c.paint(cone & beyond(*at(0, 0), *right), GREY)
    c.paint(circle(*at(0.8, 0), 1.3), BLACK)
    c.paint(body, BLUE)
    c.paint(body & stroke([at(7, -1.6), at(17, -1.6)], 0.6), CYAN)
    c.paint(body & beyond(*at(0, 1.5), *right), NAVY)
    c.paint(body & beyond(*at(17.5, 0), *forward), NAVY)
    return to_vga(c)


def draw_help():
    c = Canvas(32)
    book = rect(5, 2, 27, 30, 1.5)
    c.paint(book, BLACK)
    c.paint(rect(6, 3, 26, 29, 0.8), PURPLE)
    pages = rect(9, 25, 26, 28)
    c.paint(pages, WHITE)
    c.paint(rect(9, 26, 26, 27), SILVER)
    c.paint(stroke([(9, 24.5), (26, 24.5)], 0.5) | stroke([(8.5, 3), (8.5, 29)], 0.5), BLACK)
    c.paint(rect(6, 3, 8, 29), NAVY)
    c.paint(rect(10, 4, 25, 5) | rect(9, 4, 10, 24), MAGENTA)

    mark = stroke(arc_points(17.5, 9.8, 4.0, 165, -40) + [(17.5, 14.8), (17.5, 16.4)], 1.7)
    dot = circle(17.5, 20.8, 1.8)
    c.paint((mark | dot).grow(1), BLACK)
    c.paint(mark | dot, YELLOW)
    return to_vga(c)


def draw_info():
    c = Canvas(32)
    bubble = ellipse(16, 13.5, 14.5, 11.5) | polygon([(7, 19), (14, 23.5), (4.5, 30.5)])
    c.paint(bubble, (80, 84, 92))
    c.paint(bubble.grow(-1), gradient(0, 3, (250, 250, 252), 0, 26, (170, 174, 182)))
    c.paint(ellipse(14, 8, 10, 4.5), (255, 255, 255), 0.45)

    stem = rect(13.8, 11, 18.2, 21.5, 0.8) | rect(12, 11, 15, 13, 0.6)
    foot = rect(11.8, 19.5, 20.2, 21.8, 0.6)
    glyph = stem | foot | circle(16, 6.8, 2.4)
    c.paint(glyph.grow(0.8), (8, 30, 110))
    c.paint(glyph, gradient(0, 4, (90, 150, 255), 0, 22, (20, 60, 190)))
    return to_256(c)


def draw_erase():
    c = Canvas(32)
    metal = gradient(6, 0, (150, 156, 164), 26, 0, (80, 86, 96))
    shine = gradient(6, 0, (205, 210, 216), 26, 0, (120, 126, 134))
    body = polygon([(6.5, 10), (25.5, 10), (23.5, 30.5), (8.5, 30.5)])
    c.paint(body, (40, 44, 50))
    c.paint(body.grow(-1), lambda x, y: mix(shine(x, y), metal(x, y), 0.4))
    c.paint(body & rect(0, 9, 32, 12), (90, 96, 106))
    handle = rect(12, 2, 20, 7, 2) - rect(14, 4, 18, 8, 0.8)
    lid = rect(4, 6, 28, 10.5, 1.2)
    c.paint((lid | handle), (40, 44, 50))
    c.paint(lid.grow(-1), gradient(0, 6, (225, 229, 234), 0, 10.5, (140, 146, 156)))
    c.paint(handle.grow(-1), (170, 176, 184))

    # Three arrows chasing each other clockwise round the front of the bin.
    cx, cy, radius = 16, 20.5, 5.6
    arrows = None
    for k in range(3):
        start = 100 + 120 * k
        band = stroke(arc_points(cx, cy, radius, start, start - 62, 12), 1.15)
        head = polygon([polar(cx, cy, radius - 2.7, start - 62),
                        polar(cx, cy, radius + 2.7, start - 62),
                        polar(cx, cy, radius, start - 92)])
        arrows = band | head if arrows is None else arrows | band | head
    c.paint(arrows.grow(0.8), (0, 60, 10))
    c.paint(arrows, gradient(10, 14, (130, 240, 110), 22, 27, (20, 150, 40)))
    return to_256(c)


def draw_options():
    c = Canvas(48)
    frame = rect(2, 4, 40, 38, 1.5)
    c.paint(frame, (40, 56, 90))
    c.paint(rect(3, 5, 39, 12), gradient(3, 0, (40, 90, 200), 39, 0, (120, 170, 240)))
    c.paint(rect(3, 12, 39, 37), (246, 247, 250))
    c.paint(rect(3, 12, 39, 13), (150, 160, 180))
    for x in (21, 27, 33):
        c.paint(rect(x, 6, x + 5, 11, 0.6), (235, 240, 250))
    close = stroke([(34.5, 7.5), (36.5, 9.5)], 0.5) | stroke([(34.5, 9.5), (36.5, 7.5)], 0.5)
    c.paint(close, (40, 56, 90))

    for row, checked in enumerate((True, False, True)):
        y = 15 + 7 * row
        c.paint(rect(6, y, 13, y + 7, 0.5), (90, 100, 120))
        inset = gradient(0, y, (222, 226, 234), 0, y + 6, (255, 255, 255))
        c.paint(rect(7, y + 1, 12, y + 6), inset)
        if checked:
            c.paint(stroke([(8.1, y + 3.6), (9.4, y + 4.9), (11.3, y + 2.0)], 0.8), (20, 130, 40))
        c.paint(rect(16, y + 2.5, 34 - 6 * row, y + 4.5, 1), (150, 156, 168))

    cx, cy = 35.5, 35.5
    gear = circle(cx, cy, 8.2)
    for k in range(8):
        u = (math.cos(math.radians(45 * k)), math.sin(math.radians(45 * k)))
        tooth = [(cx + u[0] * r - u[1] * w, cy + u[1] * r + u[0] * w)
                 for r, w in ((6.5, -2.6), (11.2, -1.8), (11.2, 1.8), (6.5, 2.6))]
        gear = gear | polygon(tooth)
    gear = gear - circle(cx, cy, 3.2)
    c.paint(gear, (110, 74, 0))
    c.paint(gear.grow(-1), radial(cx - 3, cy - 3, 13, (255, 240, 120), (220, 160, 10)))
    c.paint(circle(cx, cy, 5.2) - circle(cx, cy, 3.2), (200, 140, 0), 0.6)
    return to_256(c)


ICONS = [
    ("notes.ico", 32, 4, draw_notes),
    ("erase.ico", 32, 8, draw_erase),
    ("help.ico", 32, 4, draw_help),
    ("info.ico", 32, 8, draw_info),
    ("options.ico", 48, 8, draw_options),
]


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = os.path.join(root, "res", "icons")
    os.makedirs(out_dir, exist_ok=True)
    for name, size, bpp, draw in ICONS:
        palette, indices = draw()
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(ico_bytes(size, bpp, palette, indices))


if __name__ == "__main__":
    main()
