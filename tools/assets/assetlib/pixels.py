"""Pixel-art drawing: sprites as grids of palette colours, shapes, lit shading, hand-made grids, outlines.

Coordinates are pixels, x to the right and y down. Shapes are rasterised without anti-aliasing. Light
comes from the upper left (the direction LIGHT), so lit shapes are brightest towards the top left.
"""

import numpy as np
from PIL import Image, ImageDraw

from . import palette

CLEAR = -1
INDEX = {name: i for i, name in enumerate(palette.NAMES)}
LIGHT = np.array([-0.55, -0.65, 0.52])
LIGHT = LIGHT / np.linalg.norm(LIGHT)
BAYER4 = np.array([[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]) / 16.0 - 0.5 + 1 / 32


def idx(colour):
    return colour if isinstance(colour, (int, np.integer)) else INDEX[colour]


class Sprite:
    """A small picture of palette colours; CLEAR is the key."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = np.full((h, w), CLEAR, dtype=np.int16)

    # ---- plain shapes
    def put(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y, x] = idx(colour)

    def fill_mask(self, mask, colour):
        self.px[mask] = idx(colour)

    def rect(self, x0, y0, x1, y1, colour):
        """Fills x0 <= x < x1, y0 <= y < y1."""
        x0, y0, x1, y1 = max(x0, 0), max(y0, 0), min(x1, self.w), min(y1, self.h)
        if x1 > x0 and y1 > y0:
            self.px[y0:y1, x0:x1] = idx(colour)

    def line(self, x0, y0, x1, y1, colour):
        for x, y in line_points(x0, y0, x1, y1):
            self.put(x, y, colour)

    def ellipse_mask(self, cx, cy, rx, ry):
        return ellipse_mask(self.w, self.h, cx, cy, rx, ry)

    def ellipse(self, cx, cy, rx, ry, colour):
        self.fill_mask(self.ellipse_mask(cx, cy, rx, ry), colour)

    def polygon_mask(self, points):
        return polygon_mask(self.w, self.h, points)

    def polygon(self, points, colour):
        self.fill_mask(self.polygon_mask(points), colour)

    def spiral(self, cx, cy, radius, arms, pitch, width=0.5):
        """The arms of a spiral within `radius` of (cx, cy), as a mask: `arms` turns of the band per
        revolution, a new band every `pitch` pixels outwards, each band `width` of the step wide."""
        yy, xx = np.mgrid[0 : self.h, 0 : self.w] + 0.5
        r = np.hypot(xx - cx, yy - cy)
        a = np.arctan2(yy - cy, xx - cx)
        phase = np.mod(a / (2 * np.pi) * arms + r / pitch, 1.0)
        return (np.abs(phase - 0.5) < width / 2) & (r < radius)

    # ---- lit shading
    def shade(self, mask, ramp_name, level, dither=True, lo=0, hi=None):
        """Colours the mask from a ramp by `level` (an array 0..1 over the sprite, 1 brightest). `dither`:
        True for ordered dithering across the whole step between two shades, False for none, or a number
        below 1 for dithering only in a band of that share of the step around each boundary (solid shades
        elsewhere, so that broad areas carry no screen-door pattern)."""
        shades = palette.ramp(ramp_name)
        hi = len(shades) - 1 if hi is None else hi
        n = hi - lo + 1
        value = level * n
        amount = 0.9 if dither is True else float(dither)
        if amount:
            yy, xx = np.mgrid[0 : self.h, 0 : self.w]
            value = value + BAYER4[yy % 4, xx % 4] * amount
        step = np.clip(np.floor(value), 0, n - 1).astype(int) + lo
        table = np.array([INDEX[s] for s in shades], dtype=np.int16)
        self.px[mask] = table[step[mask]]

    def lit_ellipse(self, cx, cy, rx, ry, ramp_name, lo=0, hi=None, dither=True, ambient=0.25):
        """A shaded dome: the ellipse lit from the upper left."""
        mask = self.ellipse_mask(cx, cy, rx, ry)
        self.shade(mask, ramp_name, dome_level(self.w, self.h, cx, cy, rx, ry, ambient), dither, lo, hi)
        return mask

    def lit_polygon(self, points, ramp_name, lo=0, hi=None, dither=True, cx=None, cy=None, r=None):
        mask = self.polygon_mask(points)
        if not mask.any():
            return mask
        ys, xs = np.nonzero(mask)
        cx = xs.mean() if cx is None else cx
        cy = ys.mean() if cy is None else cy
        r = max(xs.max() - xs.min(), ys.max() - ys.min()) / 2 + 1 if r is None else r
        self.shade(mask, ramp_name, dome_level(self.w, self.h, cx, cy, r, r, 0.3), dither, lo, hi)
        return mask

    # ---- hand-made grids
    def grid(self, text, legend, x=0, y=0):
        """Draws a grid of characters (rows on lines, or separated by '/'): each character names a colour
        through `legend`; '.' and ' ' are left alone."""
        rows = text.strip("\n").replace("/", "\n").split("\n")
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch in ". ":
                    continue
                self.put(x + i, y + j, legend[ch])
        return self

    # ---- whole-sprite operations
    def ink(self):
        return self.px != CLEAR

    def outline(self, colour=palette.OUTLINE, diagonal=False):
        """Every clear pixel beside ink becomes the outline colour."""
        ink = self.ink()
        near = np.zeros_like(ink)
        near[1:, :] |= ink[:-1, :]
        near[:-1, :] |= ink[1:, :]
        near[:, 1:] |= ink[:, :-1]
        near[:, :-1] |= ink[:, 1:]
        if diagonal:
            near[1:, 1:] |= ink[:-1, :-1]
            near[1:, :-1] |= ink[:-1, 1:]
            near[:-1, 1:] |= ink[1:, :-1]
            near[:-1, :-1] |= ink[1:, 1:]
        self.px[near & ~ink] = idx(colour)
        return self

    def seal_edges(self, colour=palette.OUTLINE):
        """Ink on the sprite's border that meets the key outside becomes the outline colour too."""
        ink = self.ink()
        for sl in (np.s_[0, :], np.s_[-1, :], np.s_[:, 0], np.s_[:, -1]):
            edge = self.px[sl]
            edge[ink[sl]] = idx(colour)
        return self

    def recolour(self, mapping):
        """Replaces colours by name: {"gold2": "water1", ...}."""
        out = self.copy()
        for a, b in mapping.items():
            out.px[self.px == idx(a)] = idx(b)
        return out

    def tint_ramp(self, ramp_name, keep=()):
        """Every ink colour (but the outline and `keep`) moved onto a ramp by its brightness."""
        out = self.copy()
        shades = palette.ramp(ramp_name)
        keep = {idx(k) for k in keep} | {idx("outline0"), idx("outline1")}
        lum = luminance(palette.ARRAY)
        lo, hi = lum.min(), lum.max()
        for i in np.unique(self.px):
            if i == CLEAR or i in keep:
                continue
            t = (lum[i] - 40) / 200
            k = int(np.clip(round(t * (len(shades) - 1) + 0.3), 0, len(shades) - 1))
            out.px[self.px == i] = idx(shades[k])
        return out

    def copy(self):
        s = Sprite(self.w, self.h)
        s.px = self.px.copy()
        return s

    def rot90(self, k=1):
        """Turned k quarter turns clockwise."""
        s = Sprite(self.h if k % 2 else self.w, self.w if k % 2 else self.h)
        s.px = np.rot90(self.px, -k).copy()
        return s

    def flip(self, horizontal=True):
        s = self.copy()
        s.px = (self.px[:, ::-1] if horizontal else self.px[::-1, :]).copy()
        return s

    def stamp(self, other, x, y):
        """Lays another sprite's ink over this one at (x, y)."""
        for j in range(other.h):
            ty = y + j
            if not 0 <= ty < self.h:
                continue
            for i in range(other.w):
                tx = x + i
                v = other.px[j, i]
                if v != CLEAR and 0 <= tx < self.w:
                    self.px[ty, tx] = v
        return self

    def rgb(self, background=palette.KEY):
        out = np.empty((self.h, self.w, 3), dtype=np.uint8)
        out[...] = background
        ink = self.ink()
        out[ink] = palette.ARRAY[self.px[ink]]
        return out


def luminance(rgb_array):
    a = rgb_array.astype(np.float64)
    return 0.299 * a[..., 0] + 0.587 * a[..., 1] + 0.114 * a[..., 2]


def line_points(x0, y0, x1, y1):
    x0, y0, x1, y1 = int(round(x0)), int(round(y0)), int(round(x1)), int(round(y1))
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = dx + dy
    points = []
    while True:
        points.append((x0, y0))
        if x0 == x1 and y0 == y1:
            return points
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def ellipse_mask(w, h, cx, cy, rx, ry):
    """Pixels whose centre lies inside the ellipse centred at (cx, cy) (pixel centres are at +0.5)."""
    yy, xx = np.mgrid[0:h, 0:w]
    return ((xx + 0.5 - cx) / max(rx, 1e-6)) ** 2 + ((yy + 0.5 - cy) / max(ry, 1e-6)) ** 2 <= 1.0


def polygon_mask(w, h, points):
    img = Image.new("1", (w, h), 0)
    ImageDraw.Draw(img).polygon([(float(x), float(y)) for x, y in points], fill=1, outline=1)
    return np.array(img, dtype=bool)


def dome_level(w, h, cx, cy, rx, ry, ambient=0.25):
    """Brightness 0..1 of a dome over the ellipse lit from LIGHT."""
    yy, xx = np.mgrid[0:h, 0:w]
    nx = (xx + 0.5 - cx) / max(rx, 1e-6)
    ny = (yy + 0.5 - cy) / max(ry, 1e-6)
    r2 = np.clip(nx * nx + ny * ny, 0, 1)
    nz = np.sqrt(1 - r2)
    d = np.clip(nx * LIGHT[0] + ny * LIGHT[1] + nz * LIGHT[2], 0, 1)
    return np.clip(ambient + (1 - ambient) * d, 0, 1)


class Canvas:
    """A whole image in RGB, filled with its background."""

    def __init__(self, w, h, background=palette.KEY):
        self.w, self.h = w, h
        self.rgb = np.empty((h, w, 3), dtype=np.uint8)
        self.rgb[...] = background

    def paste(self, sprite, x, y):
        """A sprite's ink at (x, y); its key stays out."""
        ink = sprite.ink()
        region = self.rgb[y : y + sprite.h, x : x + sprite.w]
        region[ink] = palette.ARRAY[sprite.px[ink]]

    def paste_rgb(self, array, x, y):
        h, w = array.shape[:2]
        self.rgb[y : y + h, x : x + w] = array

    def fill(self, x, y, w, h, colour):
        self.rgb[y : y + h, x : x + w] = colour


def fx_blank(w, h):
    """An effect frame: black, as float RGB 0..255."""
    return np.zeros((h, w, 3), dtype=np.float64)


def to_u8(array):
    return np.clip(np.round(array), 0, 255).astype(np.uint8)


def rng(*seed):
    """A generator seeded from the given integers, the same on every run."""
    return np.random.default_rng(list(seed))
