"""Pictures drawn as vector shapes at the companion's size (twice the 1x size) and reduced for 1x.

Shapes are filled without anti-aliasing, so edges stay hard against the key; the 1x picture takes the mean
of each 2 x 2 block's ink and is key only where the whole block is key, so the companion stays keyed in
the same places."""

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

from . import palette

MINCHO = "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf"
KEY = palette.KEY


class Painter:
    def __init__(self, w, h, background=KEY):
        self.image = Image.new("RGB", (w, h), background)
        self.draw = ImageDraw.Draw(self.image)
        self.w, self.h = w, h

    def poly(self, points, fill, outline=None, width=1):
        self.draw.polygon([(float(x), float(y)) for x, y in points], fill=fill)
        if outline:
            pts = [(float(x), float(y)) for x, y in points]
            self.draw.line(pts + [pts[0]], fill=outline, width=width, joint="curve")

    def ellipse(self, cx, cy, rx, ry, fill, outline=None, width=1):
        self.draw.ellipse([cx - rx, cy - ry, cx + rx, cy + ry], fill=fill, outline=outline, width=width)

    def line(self, points, fill, width=1):
        self.draw.line([(float(x), float(y)) for x, y in points], fill=fill, width=width, joint="curve")

    def arc(self, cx, cy, rx, ry, start, end, fill, width=1):
        self.draw.arc([cx - rx, cy - ry, cx + rx, cy + ry], start, end, fill=fill, width=width)

    def text(self, xy, text, size, fill, font=MINCHO, stroke=0, stroke_fill=None, anchor="mm"):
        face = ImageFont.truetype(font, size)
        self.draw.text(xy, text, font=face, fill=fill, stroke_width=stroke, stroke_fill=stroke_fill, anchor=anchor)

    def array(self):
        return np.array(self.image, dtype=np.uint8)


def curve(points, steps=12):
    """A smooth path through control points (Catmull-Rom), for hair locks and outlines."""
    pts = [points[0]] + list(points) + [points[-1]]
    out = []
    for i in range(1, len(pts) - 2):
        p0, p1, p2, p3 = (np.array(pts[j], dtype=float) for j in (i - 1, i, i + 1, i + 2))
        for t in np.linspace(0, 1, steps, endpoint=False):
            t2, t3 = t * t, t * t * t
            out.append(tuple(0.5 * ((2 * p1) + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t2
                                    + (-p0 + 3 * p1 - 3 * p2 + p3) * t3)))
    out.append(tuple(points[-1]))
    return out


def reduce_keyed(big):
    """The 1x picture of a keyed companion: the mean of each block's ink, key only where all four are key."""
    h, w = big.shape[0] // 2, big.shape[1] // 2
    blocks = big.reshape(h, 2, w, 2, 3).transpose(0, 2, 1, 3, 4).reshape(h, w, 4, 3).astype(np.float64)
    key = (blocks == np.array(KEY)).all(axis=-1)
    ink = ~key
    count = ink.sum(axis=-1)
    total = (blocks * ink[..., None]).sum(axis=2)
    out = np.empty((h, w, 3), dtype=np.uint8)
    out[...] = KEY
    has = count > 0
    out[has] = np.clip(np.round(total[has] / count[has, None]), 0, 255).astype(np.uint8)
    return safe(out, ~has)


def reduce_opaque(big):
    h, w = big.shape[0] // 2, big.shape[1] // 2
    out = big.reshape(h, 2, w, 2, 3).astype(np.float64).mean(axis=(1, 3))
    return safe(np.clip(np.round(out), 0, 255).astype(np.uint8), np.zeros((h, w), dtype=bool))


def safe(rgb, key):
    """No ink pixel takes the key's colour or one near it."""
    r, g, b = (rgb[..., i].astype(int) for i in range(3))
    near = (r >= 248) & (b >= 248) & (g <= 3) & ~key
    rgb[near, 1] = 8
    return rgb


def companion_safe(big, key_colour=KEY):
    """The companion itself: ink near the key is moved off it."""
    key = (big == np.array(key_colour)).all(axis=-1)
    return safe(big.copy(), key)


def blur(array, radius):
    return np.array(Image.fromarray(array).filter(ImageFilter.GaussianBlur(radius)), dtype=np.uint8)
