"""Lights and shades: the two spotlights of dark corridors, the plain shade, and the six soft shadows."""

import numpy as np

from assetlib import palette

# Bayer order of a 4 x 4 block: which pixels turn black first as the ring darkens outwards.
BAYER = np.array([[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]) / 16.0


def spotlight(size):
    """A keyed disc (the lit part) about 3/4 of the half-size wide, a ring dithered from key to black,
    black corners."""
    half = size / 2
    inner, outer = 0.75 * half, half
    yy, xx = np.mgrid[0:size, 0:size]
    r = np.hypot(xx + 0.5 - half, yy + 0.5 - half)
    darkness = np.clip((r - inner) / (outer - inner), 0, 1)
    black = darkness > BAYER[yy % 4, xx % 4] + 1 / 32
    out = np.empty((size, size, 3), dtype=np.uint8)
    out[...] = palette.KEY
    out[black] = (0, 0, 0)
    return out


def shadows(image):
    """Six dark ellipses with alpha about 110 at the centre falling to 0 at the rim, one per cell."""
    out = np.zeros((image.h, image.w, 4), dtype=np.uint8)
    out[..., :3] = palette.KEY
    for cell in image.cells:
        for _, x, y, w, h in cell.rects():
            yy, xx = np.mgrid[0:h, 0:w]
            nx = (xx + 0.5 - w / 2) / (w / 2)
            ny = (yy + 0.5 - h / 2) / (h / 2)
            r2 = nx * nx + ny * ny
            alpha = np.round(112 * np.clip(1 - r2, 0, 1) ** 0.8).astype(int)
            part = out[y : y + h, x : x + w]
            shade = alpha > 0
            part[shade, :3] = palette.rgb("outline0")
            part[shade, 3] = alpha[shade]
    return out


def make(image, argument):
    if argument == "spot":
        return spotlight(128)
    if argument == "narrow":
        return spotlight(96)
    if argument == "shade":
        return np.zeros((image.h, image.w, 3), dtype=np.uint8)
    if argument == "shadows":
        return shadows(image)
    raise ValueError(argument)
