#!/usr/bin/env python3
"""Draw the program's icons and write them to res/icons as .ico files.

Each icon is built from signed-distance shapes painted on a supersampled
canvas. Every file holds the classic image first (16 or 256 colours with a
1-bit transparency mask), which is what loaders asking for the resource's own
size get on displays without true colour, then the same picture drawn again at
each size in FRAME_SIZES in 32-bit colour with anti-aliased alpha. Shapes are
given on the classic image's pixel grid; at other sizes their straight edges
are snapped to whole pixels and outlines stay at least a pixel wide, so small
frames stay crisp. Run from anywhere: python3 tools/make_icons.py
"""

import math
import os
import struct

SS = 8  # samples per pixel along each axis
FRAME_SIZES = (16, 20, 24, 32, 40, 48, 64)

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
    """A picture `size` pixels wide whose shapes are given on a `design`-pixel grid."""

    def __init__(self, size, design=None):
        self.size = size
        self.design = size if design is None else design
        self.k = size / self.design
        self.n = size * SS
        self.samples = [None] * (self.n * self.n)

    def snap(self, v):
        """v moved to the nearest pixel edge; the design grid keeps its own positions."""
        if self.size == self.design:
            return v
        return math.floor(v * self.k + 0.5) / self.k

    def px(self, pixels):
        """A length of that many pixels, in design units."""
        return pixels / self.k

    @property
    def line(self):
        """The width of an outline: one pixel, two where a design pixel is 1.5 or more."""
        return self.px(max(1, round(self.k)))

    def span(self, centre, half):
        """Ends of a bar of that half width round centre, symmetric on the pixel grid."""
        if self.size == self.design:
            return centre - half, centre + half
        mid, h = self.snap(centre), self.px(max(1, math.ceil(half * self.k - 0.5)))
        return mid - h, mid + h

    def band(self, start, length):
        """Snapped ends of a bar from start, at least one pixel long; halves round down."""
        a = self.snap(start)
        if self.size == self.design:
            return a, a + length
        return a, a + self.px(max(1, math.ceil(length * self.k - 0.5)))

    def paint(self, shape, colour, alpha=1.0):
        """Paint the shape; with alpha below 1 it only tints what is already there."""
        n = self.n
        scale = self.k * SS
        x0, y0, x1, y1 = shape.box
        i0, j0 = max(0, int(math.floor(x0 * scale)) - 1), max(0, int(math.floor(y0 * scale)) - 1)
        i1, j1 = min(n, int(math.ceil(x1 * scale)) + 1), min(n, int(math.ceil(y1 * scale)) + 1)
        f = shape.sdf
        flat = not callable(colour)
        samples = self.samples
        for j in range(j0, j1):
            y = (j + 0.5) / scale
            row = j * n
            for i in range(i0, i1):
                x = (i + 0.5) / scale
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
        return [[None if 2 * cover < SS * SS else colour for colour, cover in row]
                for row in self.coverage()]

    def coverage(self):
        """Rows of (averaged colour or None, number of covered samples)."""
        rows = []
        for py in range(self.size):
            row = []
            for px in range(self.size):
                opaque = [s for s in self.pixel_samples(px, py) if s is not None]
                if not opaque:
                    row.append((None, 0))
                    continue
                mean = tuple(sum(c[k] for c in opaque) / len(opaque) for k in range(3))
                row.append((mean, len(opaque)))
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


def dib(size, bpp, palette, rows):
    """An icon image: BITMAPINFOHEADER, palette, XOR bitmap and AND mask.

    rows holds, top row first, the row's pixel bytes and which pixels are transparent.
    """
    and_stride = (size + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for pixels, clear in reversed(rows):  # bitmaps are stored bottom-up
        arow = bytearray(and_stride)
        for x, transparent in enumerate(clear):
            if transparent:
                arow[x // 8] |= 0x80 >> (x % 8)
        xor += pixels
        mask += arow
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + palette + bytes(xor) + bytes(mask)


def palette_image(size, bpp, palette, indices):
    """A 16- or 256-colour image; transparent pixels carry index 0."""
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    pal += b"\0" * (4 * ((1 << bpp) - len(palette)))
    stride = (size * bpp + 31) // 32 * 4
    rows = []
    for row in indices:
        pixels = bytearray(stride)
        for x, index in enumerate(row):
            if index is None:
                continue
            if bpp == 8:
                pixels[x] = index
            else:
                pixels[x // 2] |= index << (4 if x % 2 == 0 else 0)
        rows.append((pixels, [index is None for index in row]))
    return dib(size, bpp, pal, rows)


def alpha_image(canvas):
    """A 32-bit image, alpha from each pixel's coverage (not premultiplied).

    The mask clears the pixels less than half covered, as the palette images do,
    for the few drawing paths that ignore alpha.
    """
    full = SS * SS
    rows = []
    for row in canvas.coverage():
        pixels = bytearray()
        for colour, cover in row:
            if colour is None:
                pixels += bytes(4)
                continue
            r, g, b = (max(0, min(255, int(round(v)))) for v in colour)
            pixels += bytes((b, g, r, int(round(255 * cover / full))))
        rows.append((pixels, [2 * cover < full for _, cover in row]))
    return dib(canvas.size, 32, b"", rows)


def ico_bytes(images):
    """An icon file of (size, bits per pixel, image) in that order."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bpp, image in images:
        colours = (1 << bpp) % 256 if bpp <= 8 else 0
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp,
                           len(image), offset)
        offset += len(image)
    return out + b"".join(image for _, _, image in images)


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


def draw_notes(c):
    snap, w = c.snap, c.line
    left, top, right, bottom = snap(4), snap(2), snap(25), snap(30)
    fold_x, fold_y = snap(19), snap(8)
    sheet = polygon([(left, top), (fold_x, top), (right, fold_y), (right, bottom), (left, bottom)])
    c.paint(sheet, BLACK)
    c.paint(sheet.grow(-w), WHITE)
    c.paint(rect(right - 2 * w, fold_y + w, right - w, bottom - w)
            | rect(left + w, bottom - 2 * w, right - w, bottom - w), SILVER)
    c.paint(polygon([(fold_x, top), (fold_x, fold_y), (right, fold_y)]), SILVER)
    edge = fold_x + w / 2, fold_y + w / 2
    c.paint(stroke([(edge[0], top), edge, (right, edge[1])], w / 2) & sheet, BLACK)
    for y, end, colour in ((10, 21, GREY), (14, 21, GREY), (18, 18, GREY), (22, 21, GREY),
                           (26, 12, BLUE)):
        y0, y1 = c.band(y, 2)
        c.paint(rect(snap(7), y0, snap(end), y1), colour)

    # The pen lies from its tip at the end of the last line up to the top right;
    # light falls from the top left, so its right-hand side is shaded. Small frames
    # get a slimmer, shorter pen without the highlight, so that the lines and the
    # folded corner stay visible.
    t, end = (1.0, 19.5) if c.size >= 24 else (0.75, 16.5)
    forward, right, at = axis((12.5, 27.0), (27.5, 12.0))
    cone = polygon([at(0, 0), at(7 * t, -3 * t), at(7 * t, 3 * t)])
    body = (polygon([at(7 * t, -3 * t), at(end, -3 * t), at(end, 3 * t), at(7 * t, 3 * t)])
            | circle(*at(end, 0), 3 * t))
    c.paint((cone | body).grow(w), BLACK)
    c.paint(cone, SILVER)
    c.paint(cone & beyond(*at(0, 0), *right), GREY)
    c.paint(circle(*at(0.8 * t, 0), 1.3 * t), BLACK)
    c.paint(body, BLUE)
    if c.size >= 24:
        c.paint(body & stroke([at(7, -1.6), at(17, -1.6)], 0.6), CYAN)
    c.paint(body & beyond(*at(0, 1.5 * t), *right), NAVY)
    c.paint(body & beyond(*at(end - 2, 0), *forward), NAVY)


def draw_help(c):
    snap, w = c.snap, c.line
    x0, y0, x1, y1 = snap(5), snap(2), snap(27), snap(30)
    spine = c.band(x0 + w, 2)[1]
    height = c.band(0, 3)[1]
    pages = y1 - 2 * w - height
    c.paint(rect(x0, y0, x1, y1, 1.5), BLACK)
    c.paint(rect(x0 + w, y0 + w, x1 - w, y1 - w, 0.8), PURPLE)
    c.paint(rect(spine + w, pages, x1 - w, pages + height), WHITE)
    if height >= c.px(3):
        c.paint(rect(spine + w, snap(pages + height / 3), x1 - w, snap(pages + 2 * height / 3)),
                SILVER)
    c.paint(stroke([(spine + w, pages - w / 2), (x1 - w, pages - w / 2)], w / 2)
            | stroke([(spine + w / 2, y0 + w), (spine + w / 2, y1 - w)], w / 2), BLACK)
    c.paint(rect(x0 + w, y0 + w, spine, y1 - w), NAVY)
    shine = rect(spine + w, y0 + 2 * w, spine + 2 * w, pages - w)
    if c.size >= 24:
        shine = shine | rect(spine + 2 * w, y0 + 2 * w, x1 - 2 * w, y0 + 3 * w)
    c.paint(shine, MAGENTA)

    if c.size >= 24:
        mark = stroke(arc_points(17.5, 9.8, 4.0, 165, -40) + [(17.5, 14.8), (17.5, 16.4)], 1.7)
        dot = circle(17.5, 20.8, 1.8)
        c.paint((mark | dot).grow(w), BLACK)
        c.paint(mark | dot, YELLOW)
        return
    # Smaller, a curve this thick only blurs: the mark is built from blocks on the grid
    # of a 16-pixel frame, without an outline (yellow on purple reads without one), and
    # the cover loses the highlight under its top edge, which would show through the hook.
    blocks = ((16, 4, 24, 6), (14, 6, 18, 8), (22, 6, 26, 10), (20, 10, 24, 12), (18, 12, 22, 16),
              (18, 18, 22, 22))
    for bx0, by0, bx1, by1 in blocks:
        c.paint(rect(snap(bx0), snap(by0), snap(bx1), snap(by1)), YELLOW)


def draw_info(c):
    bubble = ellipse(16, 13.5, 14.5, 11.5) | polygon([(7, 19), (14, 23.5), (4.5, 30.5)])
    c.paint(bubble, (80, 84, 92))
    c.paint(bubble.grow(-c.line), gradient(0, 3, (250, 250, 252), 0, 26, (170, 174, 182)))
    c.paint(ellipse(14, 8, 10, 4.5), (255, 255, 255), 0.45)

    blue = gradient(0, 4, (90, 150, 255), 0, 22, (20, 60, 190))
    if c.size >= 24:
        stem = rect(13.8, 11, 18.2, 21.5, 0.8) | rect(12, 11, 15, 13, 0.6)
        foot = rect(11.8, 19.5, 20.2, 21.8, 0.6)
        glyph = stem | foot | circle(16, 6.8, 2.4)
        c.paint(glyph.grow(0.8), (8, 30, 110))
        c.paint(glyph, blue)
        return
    # Smaller, the letter is two pixels wide on whole pixels, with a one-pixel gap
    # under its dot and no outline.
    snap, px = c.snap, c.px
    x, top, bottom = snap(16), snap(10), snap(22)
    stem = rect(x - px(1), top, x + px(1), bottom) | rect(x - px(2), top, x, top + px(1))
    foot = rect(x - px(2), bottom - px(1), x + px(2), bottom)
    c.paint(stem | foot | circle(x, snap(6), px(1.1)), blue)


def draw_erase(c):
    snap, span, w = c.snap, c.span, c.line
    metal = gradient(6, 0, (150, 156, 164), 26, 0, (80, 86, 96))
    shine = gradient(6, 0, (205, 210, 216), 26, 0, (120, 126, 134))
    handle_x0, handle_x1 = span(16, 4)
    hole_x0, hole_x1 = span(16, 2)
    if c.size >= 24:
        top, bottom = snap(10), snap(30.5)
        body = polygon([(6.5, top), (25.5, top), (23.5, bottom), (8.5, bottom)])
        rim_top, rim_bottom = c.band(top, 2)
        rim = rect(0, rim_top, 32, rim_bottom)
        lid = rect(snap(4), snap(6), snap(28), snap(10.5), 1.2)
        handle = rect(handle_x0, snap(2), handle_x1, snap(7), 2)
        hole = rect(hole_x0, snap(4), hole_x1, snap(8), 0.8)
    else:
        # Smaller, the sides go straight (a taper of a pixel only blurs them), the lid
        # is three pixels high and the rim under it goes.
        body_x0, body_x1 = span(16, 10)
        lid_x0, lid_x1 = span(16, 12)
        body = rect(body_x0, snap(10), body_x1, snap(30))
        rim = None
        lid = rect(lid_x0, snap(6), lid_x1, snap(12), 1.2)
        handle = rect(handle_x0, snap(2), handle_x1, snap(8), 2)
        hole = rect(hole_x0, snap(4), hole_x1, snap(9))
    c.paint(body, (40, 44, 50))
    c.paint(body.grow(-w), lambda x, y: mix(shine(x, y), metal(x, y), 0.4))
    if rim is not None:
        c.paint(body & rim, (90, 96, 106))
    handle = handle - hole
    c.paint((lid | handle), (40, 44, 50))
    c.paint(lid.grow(-w), gradient(0, 6, (225, 229, 234), 0, 10.5, (140, 146, 156)))
    c.paint(handle.grow(-w), (170, 176, 184))

    # Three arrows chasing each other clockwise round the front of the bin. Small
    # frames get shorter, darker arrows without an outline, so the gaps stay open.
    if c.size >= 24:
        cx, cy, radius, sweep, pen, head = 16, 20.5, 5.6, 62, 1.15, 2.7
    else:
        cx, cy, radius, sweep, pen, head = snap(16), snap(20), 5.2, 50, c.px(0.75), 2.8
    arrows = None
    for k in range(3):
        start = 100 + 120 * k
        band = stroke(arc_points(cx, cy, radius, start, start - sweep, 12), pen)
        tip = polygon([polar(cx, cy, radius - head, start - sweep),
                       polar(cx, cy, radius + head, start - sweep),
                       polar(cx, cy, radius, start - sweep - 30)])
        arrows = band | tip if arrows is None else arrows | band | tip
    if c.size >= 24:
        c.paint(arrows.grow(0.8 * w), (0, 60, 10))
        c.paint(arrows, gradient(10, 14, (130, 240, 110), 22, 27, (20, 150, 40)))
    else:
        c.paint(arrows, gradient(10, 14, (30, 170, 40), 22, 27, (0, 110, 20)))


def draw_options(c):
    snap, w, small = c.snap, c.line, c.size < 32
    x0, y0, x1, y1, title = snap(2), snap(4), snap(40), snap(38), snap(12)
    edge = (40, 56, 90)
    c.paint(rect(x0, y0, x1, y1, 1.5), edge)
    c.paint(rect(x0 + w, y0 + w, x1 - w, title),
            gradient(3, 0, (40, 90, 200), 39, 0, (120, 170, 240)))
    c.paint(rect(x0 + w, title, x1 - w, y1 - w), (246, 247, 250))
    if small:  # the window keeps its title bar; buttons and divider would only blur
        rows = ((15, True), (27, False))
    else:
        c.paint(rect(x0 + w, title, x1 - w, title + w), (150, 160, 180))
        for x in (21, 27, 33):
            c.paint(rect(snap(x), snap(6), snap(x + 5), snap(11), 0.6), (235, 240, 250))
        if c.size >= 48:  # smaller, the cross is only a smudge
            down = stroke([(34.5, 7.5), (36.5, 9.5)], 0.5)
            c.paint(down | stroke([(34.5, 9.5), (36.5, 7.5)], 0.5), edge)
        rows = ((15, True), (22, False), (29, True))

    for row, (y, checked) in enumerate(rows):
        y = snap(y)
        if small:
            side = c.px(max(3, round(7 * c.k)))
            box = rect(snap(6), y, snap(6) + side, y + side)
            inner = box.grow(-w)
            label_top, label_bottom = c.span(y + side / 2, c.px(0.5))
            label = rect(snap(18), label_top, snap(30 - 6 * row), label_bottom)
        else:
            box = rect(snap(6), y, snap(13), snap(y + 7), 0.5)
            ix, iy, side = snap(7), snap(y + 1), snap(12) - snap(7)
            inner = rect(ix, iy, ix + side, snap(y + 6))
            label_top, label_bottom = c.band(y + 2.5, 2)
            label = rect(snap(16), label_top, snap(34 - 6 * row), label_bottom, 1)
        c.paint(box, (90, 100, 120))
        c.paint(inner, gradient(0, y, (222, 226, 234), 0, y + 6, (255, 255, 255)))
        if checked and small:
            c.paint(inner, (20, 130, 40))
        elif checked:
            u = side / 5  # the tick is drawn for a box five pixels wide
            tick = [(ix + 1.1 * u, iy + 2.6 * u), (ix + 2.4 * u, iy + 3.9 * u),
                    (ix + 4.3 * u, iy + u)]
            c.paint(stroke(tick, max(0.8, c.px(0.6))), (20, 130, 40))
        c.paint(label, (150, 156, 168))

    # Small gears get a pixel-aligned hub and broader teeth in a lighter rim, so that
    # they stay yellow rather than turning into a brown blot.
    if small:
        cx = cy = snap(35.5)
        teeth, root, tip, hub, rim = 6, (6.5, 3.4), (11.6, 2.6), c.px(0.8), (196, 132, 0)
    else:
        cx = cy = 35.5
        teeth, root, tip, hub, rim = 8, (6.5, 2.6), (11.2, 1.8), 3.2, (110, 74, 0)
    gear = circle(cx, cy, 8.2)
    for k in range(teeth):
        u = (math.cos(math.radians(360 / teeth * k)), math.sin(math.radians(360 / teeth * k)))
        tooth = [(cx + u[0] * r - u[1] * d, cy + u[1] * r + u[0] * d)
                 for r, d in ((root[0], -root[1]), (tip[0], -tip[1]), tip, root)]
        gear = gear | polygon(tooth)
    gear = gear - circle(cx, cy, hub)
    c.paint(gear, rim)
    c.paint(gear.grow(-w), radial(cx - 3, cy - 3, 13, (255, 240, 120), (220, 160, 10)))
    if not small:
        c.paint(circle(cx, cy, 5.2) - circle(cx, cy, hub), (200, 140, 0), 0.6)


ICONS = [
    ("notes.ico", 32, 4, draw_notes),
    ("erase.ico", 32, 8, draw_erase),
    ("help.ico", 32, 4, draw_help),
    ("info.ico", 32, 8, draw_info),
    ("options.ico", 48, 8, draw_options),
]


def icon_images(size, bpp, draw):
    """The classic image, then one 32-bit frame per size in FRAME_SIZES.

    The classic image comes first: a loader asking for the icon's own size (a static
    control showing an icon at its real size) takes the first entry's size.
    """
    classic = Canvas(size)
    draw(classic)
    palette, indices = (to_vga if bpp == 4 else to_256)(classic)
    images = [(size, bpp, palette_image(size, bpp, palette, indices))]
    for frame in FRAME_SIZES:
        if frame == size:
            canvas = classic
        else:
            canvas = Canvas(frame, size)
            draw(canvas)
        images.append((frame, 32, alpha_image(canvas)))
    return images


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = os.path.join(root, "res", "icons")
    os.makedirs(out_dir, exist_ok=True)
    for name, size, bpp, draw in ICONS:
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(ico_bytes(icon_images(size, bpp, draw)))


if __name__ == "__main__":
    main()
