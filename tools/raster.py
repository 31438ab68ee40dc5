"""Small raster helpers for the asset scripts: an RGBA canvas with
anti-aliased strokes, discs and polygons, a PNG writer (zlib + struct
only), and a stroke font for digits, capitals and ASCII punctuation.

Canvas colours are straight (non-premultiplied) RGBA floats 0..1; shapes
are composited with the usual "over" rule, so overlapping strokes of one
glyph join without seams.
"""

import math
import struct
import zlib


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        # Premultiplied RGBA per pixel, row 0 at the top.
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def blend(self, x, y, rgba, coverage):
        """Composites rgba (straight alpha) over pixel (x, y) with coverage."""
        if coverage <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        a = rgba[3] * min(coverage, 1.0)
        p = self.px[y * self.width + x]
        keep = 1.0 - a
        p[0] = rgba[0] * a + p[0] * keep
        p[1] = rgba[1] * a + p[1] * keep
        p[2] = rgba[2] * a + p[2] * keep
        p[3] = a + p[3] * keep

    def coverage_mask(self, x0, y0, x1, y1, coverage_at):
        """Calls coverage_at(px, py) for the pixel centres in the box and
        returns {(x, y): coverage}; lets one shape be composited once even
        when it is made of several overlapping parts."""
        mask = {}
        for y in range(max(0, int(math.floor(y0))), min(self.height, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(math.floor(x0))), min(self.width, int(math.ceil(x1)) + 1)):
                c = coverage_at(x + 0.5, y + 0.5)
                if c > 0.0:
                    mask[(x, y)] = min(c, 1.0)
        return mask

    def apply(self, mask, rgba):
        for (x, y), c in mask.items():
            self.blend(x, y, rgba, c)

    def strokes(self, polylines, width, rgba):
        """Draws polylines (lists of (x, y) in pixels) with round joins and
        caps, anti-aliased over one pixel; a one-point polyline is a dot."""
        segments = []
        for line in polylines:
            if len(line) == 1:
                segments.append((line[0], line[0]))
            segments.extend(zip(line, line[1:]))
        if not segments:
            return
        r = width / 2.0
        xs = [p[0] for s in segments for p in s]
        ys = [p[1] for s in segments for p in s]

        def cover(px, py):
            d = min(_segment_distance(px, py, a, b) for a, b in segments)
            return r + 0.5 - d

        self.apply(self.coverage_mask(min(xs) - r - 1, min(ys) - r - 1, max(xs) + r + 1, max(ys) + r + 1, cover), rgba)

    def disc(self, cx, cy, radius, rgba):
        def cover(px, py):
            return radius + 0.5 - math.hypot(px - cx, py - cy)

        self.apply(self.coverage_mask(cx - radius - 1, cy - radius - 1, cx + radius + 1, cy + radius + 1, cover), rgba)

    def polygon(self, points, rgba, samples=4):
        """Fills a polygon (non-zero rule), anti-aliased by supersampling."""
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        n = samples
        offsets = [((i + 0.5) / n - 0.5, (j + 0.5) / n - 0.5) for i in range(n) for j in range(n)]

        def cover(px, py):
            inside = sum(1 for dx, dy in offsets if _winding(px + dx, py + dy, points) != 0)
            return inside / float(len(offsets))

        self.apply(self.coverage_mask(min(xs) - 1, min(ys) - 1, max(xs) + 1, max(ys) + 1, cover), rgba)

    def rect(self, x, y, w, h, rgba):
        self.polygon([(x, y), (x + w, y), (x + w, y + h), (x, y + h)], rgba)

    def blit(self, src, dx, dy):
        """Copies src's pixels to (dx, dy), replacing what was there."""
        for y in range(src.height):
            for x in range(src.width):
                tx, ty = dx + x, dy + y
                if 0 <= tx < self.width and 0 <= ty < self.height:
                    self.px[ty * self.width + tx] = list(src.px[y * src.width + x])

    def crop(self, x, y, w, h):
        out = Canvas(w, h)
        for j in range(h):
            for i in range(w):
                out.px[j * w + i] = list(self.px[(y + j) * self.width + x + i])
        return out

    def rotated_clockwise(self):
        """The image turned 90 degrees clockwise (width and height swap)."""
        out = Canvas(self.height, self.width)
        for ry in range(out.height):
            for rx in range(out.width):
                out.px[ry * out.width + rx] = list(self.px[(self.height - 1 - rx) * self.width + ry])
        return out

    def opaque_bounds(self, threshold=1.0 / 255):
        """(x, y, w, h) of the pixels with visible alpha; None when empty."""
        found = [(i % self.width, i // self.width) for i, p in enumerate(self.px) if p[3] >= threshold]
        if not found:
            return None
        x0 = min(x for x, _ in found)
        y0 = min(y for _, y in found)
        x1 = max(x for x, _ in found)
        y1 = max(y for _, y in found)
        return (x0, y0, x1 - x0 + 1, y1 - y0 + 1)

    def png_bytes(self):
        rows = bytearray()
        for y in range(self.height):
            rows.append(0)  # filter: none
            for p in self.px[y * self.width:(y + 1) * self.width]:
                a = p[3]
                if a > 0:
                    rgb = [min(255, int(round(c / a * 255))) for c in p[:3]]
                else:
                    rgb = [0, 0, 0]
                rows.extend(rgb)
                rows.append(min(255, int(round(a * 255))))
        return encode_png(self.width, self.height, bytes(rows))

    def save(self, path):
        with open(path, "wb") as f:
            f.write(self.png_bytes())


def encode_png(width, height, filtered_rows):
    """An 8-bit RGBA PNG from rows that already carry their filter byte."""

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(filtered_rows, 9)) + chunk(b"IEND", b""))


def _segment_distance(px, py, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def _winding(x, y, points):
    w = 0
    n = len(points)
    for i in range(n):
        x0, y0 = points[i]
        x1, y1 = points[(i + 1) % n]
        if y0 <= y < y1 or y1 <= y < y0:
            cross = (x1 - x0) * (y - y0) - (x - x0) * (y1 - y0)
            if y1 > y0 and cross > 0:
                w += 1
            elif y1 < y0 and cross < 0:
                w -= 1
    return w


# ---- Stroke font -----------------------------------------------------------
#
# Glyphs live in a box 4 units wide and 6 high, y downwards. Angles of arcs
# are in degrees with y downwards too: 0 is right, 90 is down, 270 is up.

def arc(cx, cy, rx, ry, a0, a1, steps=None):
    if steps is None:
        steps = max(4, int(abs(a1 - a0) / 10))
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]


def ellipse(cx, cy, rx, ry):
    return arc(cx, cy, rx, ry, 0, 360, 40)


def _mirror_x(strokes):
    return [[(4 - x, y) for x, y in s] for s in strokes]


def _turn_half(strokes):
    return [[(4 - x, 6 - y) for x, y in s] for s in strokes]


def _scaled(strokes, sx, sy, ox, oy):
    return [[(ox + x * sx, oy + y * sy) for x, y in s] for s in strokes]


_SIX = [arc(3.6, 4.2, 3.6, 4.2, 250, 180), ellipse(2, 4.2, 2, 1.8)]
_S = [arc(2, 1.5, 1.9, 1.5, 330, 90) + arc(2, 4.5, 2, 1.5, 270, 510)]
_P = [[(0, 6), (0, 0), (2.6, 0)] + arc(2.6, 1.6, 1.4, 1.6, 270, 450) + [(0, 3.2)]]
_OPEN_PAREN = [arc(3.5, 3, 2.2, 3.2, 235, 125)]
_LESS = [[(4, 0.8), (0, 3), (4, 5.2)]]


def _dot(x, y):
    return [(x, y)]


GLYPHS = {
    " ": [],
    "!": [[(2, 0), (2, 4.2)], _dot(2, 5.8)],
    '"': [[(1.3, 0), (1.3, 1.5)], [(2.7, 0), (2.7, 1.5)]],
    "#": [[(1.4, 0.5), (1.0, 5.5)], [(3.0, 0.5), (2.6, 5.5)], [(0, 2), (4, 2)], [(0, 4), (4, 4)]],
    "$": _scaled(_S, 1, 0.8, 0, 0.6) + [[(2, 0), (2, 6)]],
    "%": [[(4, 0), (0, 6)], ellipse(0.9, 1.1, 0.8, 1.0), ellipse(3.1, 4.9, 0.8, 1.0)],
    "&": [[(4, 6)] + arc(1.9, 1.3, 1.1, 1.3, 60, -210) + arc(1.8, 4.5, 1.7, 1.5, 210, 80) + [(3.8, 3.2)]],
    "'": [[(2, 0), (2, 1.5)]],
    "(": _OPEN_PAREN,
    ")": _mirror_x(_OPEN_PAREN),
    "*": [[(2, 0.8), (2, 4.2)], [(0.5, 1.6), (3.5, 3.4)], [(3.5, 1.6), (0.5, 3.4)]],
    "+": [[(2, 1), (2, 5)], [(0, 3), (4, 3)]],
    ",": [[(2.3, 5.0), (1.6, 6.4)]],
    "-": [[(0.5, 3), (3.5, 3)]],
    ".": [_dot(2, 5.6)],
    "/": [[(3.5, 0), (0.5, 6)]],
    "0": [ellipse(2, 3, 2, 3)],
    "1": [[(0.9, 1.1), (2.2, 0), (2.2, 6)], [(0.9, 6), (3.5, 6)]],
    "2": [arc(2, 1.75, 2, 1.75, 190, 380) + [(0, 6), (4, 6)]],
    "3": [arc(2, 1.5, 1.8, 1.5, 200, 450) + arc(2, 4.5, 2, 1.5, 270, 520)],
    "4": [[(3, 6), (3, 0), (0, 4.2), (4, 4.2)]],
    "5": [[(3.8, 0), (0.4, 0), (0.2, 2.7)] + arc(1.9, 4.2, 2, 1.8, 235, 495)],
    "6": _SIX,
    "7": [[(0, 0), (4, 0), (1.4, 6)]],
    "8": [ellipse(2, 1.5, 1.7, 1.5), ellipse(2, 4.4, 2, 1.6)],
    "9": _turn_half(_SIX),
    ":": [_dot(2, 1.8), _dot(2, 5.2)],
    ";": [_dot(2, 1.8), [(2.3, 4.8), (1.6, 6.3)]],
    "<": _LESS,
    "=": [[(0, 2), (4, 2)], [(0, 4), (4, 4)]],
    ">": _mirror_x(_LESS),
    "?": [arc(2, 1.6, 1.9, 1.6, 190, 440) + [(2, 3.7), (2, 4.3)], _dot(2, 5.8)],
    "@": [ellipse(2.1, 3.1, 0.9, 1.2),
          [(3.0, 1.9), (3.0, 4.0)] + arc(3.5, 4.0, 0.5, 0.6, 180, 0) + arc(2, 3, 2, 3, 17, -300)],
    "A": [[(0, 6), (2, 0), (4, 6)], [(0.7, 4), (3.3, 4)]],
    "B": [[(0, 0), (0, 6)],
          [(0, 0), (2.6, 0)] + arc(2.6, 1.45, 1.3, 1.45, 270, 450) + [(0, 2.9)],
          [(0, 2.9), (2.8, 2.9)] + arc(2.8, 4.45, 1.2, 1.55, 270, 450) + [(0, 6)]],
    "C": [arc(2, 3, 2, 3, 40, 320)],
    "D": [[(0, 0), (0, 6)], [(0, 0), (1.8, 0)] + arc(1.8, 3, 2.2, 3, 270, 450) + [(0, 6)]],
    "E": [[(4, 0), (0, 0), (0, 6), (4, 6)], [(0, 3), (3, 3)]],
    "F": [[(4, 0), (0, 0), (0, 6)], [(0, 3), (3, 3)]],
    "G": [arc(2, 3, 2, 3, 315, 0) + [(2.2, 3)]],
    "H": [[(0, 0), (0, 6)], [(4, 0), (4, 6)], [(0, 3), (4, 3)]],
    "I": [[(2, 0), (2, 6)], [(1, 0), (3, 0)], [(1, 6), (3, 6)]],
    "J": [[(4, 0), (4, 4.2)] + arc(2, 4.2, 2, 1.8, 0, 180)],
    "K": [[(0, 0), (0, 6)], [(4, 0), (0, 3.6)], [(1.3, 2.6), (4, 6)]],
    "L": [[(0, 0), (0, 6), (4, 6)]],
    "M": [[(0, 6), (0, 0), (2, 3.5), (4, 0), (4, 6)]],
    "N": [[(0, 6), (0, 0), (4, 6), (4, 0)]],
    "O": [ellipse(2, 3, 2, 3)],
    "P": _P,
    "Q": [ellipse(2, 3, 2, 3), [(2.5, 4.5), (4.1, 6.1)]],
    "R": _P + [[(1.8, 3.2), (4, 6)]],
    "S": _S,
    "T": [[(0, 0), (4, 0)], [(2, 0), (2, 6)]],
    "U": [[(0, 0), (0, 4)] + arc(2, 4, 2, 2, 180, 0) + [(4, 0)]],
    "V": [[(0, 0), (2, 6), (4, 0)]],
    "W": [[(0, 0), (1, 6), (2, 2.5), (3, 6), (4, 0)]],
    "X": [[(0, 0), (4, 6)], [(4, 0), (0, 6)]],
    "Y": [[(0, 0), (2, 3), (4, 0)], [(2, 3), (2, 6)]],
    "Z": [[(0, 0), (4, 0), (0, 6), (4, 6)]],
}


def draw_glyph(canvas, char, x, y, cell_w, cell_h, rgba, stroke_ratio=0.14):
    """Draws char centred in the cell whose top-left pixel is (x, y); the
    glyph box takes about two thirds of the cell height."""
    strokes = GLYPHS[char]
    unit = cell_h * 0.66 / 6.0
    unit = min(unit, cell_w * 0.62 / 4.0)
    ox = x + (cell_w - 4 * unit) / 2.0
    oy = y + (cell_h - 6 * unit) / 2.0
    placed = [[(ox + gx * unit, oy + gy * unit) for gx, gy in s] for s in strokes]
    canvas.strokes(placed, max(1.0, stroke_ratio * cell_h), rgba)


def character_map(first, last, cell_w, cell_h, per_row, rgba=(1, 1, 1, 1)):
    """A canvas with the characters first..last (inclusive, by code) in
    consecutive cells, left to right and top to bottom."""
    count = ord(last) - ord(first) + 1
    rows = (count + per_row - 1) // per_row
    canvas = Canvas(cell_w * min(count, per_row), cell_h * rows)
    for i in range(count):
        draw_glyph(canvas, chr(ord(first) + i), (i % per_row) * cell_w, (i // per_row) * cell_h,
                   cell_w, cell_h, rgba)
    return canvas
