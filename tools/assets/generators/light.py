"""Lights and shades: the two spotlights of dark corridors, the plain shade, and the six soft shadows."""

import numpy as np

from assetlib import palette

# Bayer order of an 8 x 8 block: which pixels of the ring stop being key first as it darkens outwards.
BAYER8 = np.array([[0, 32, 8, 40, 2, 34, 10, 42], [48, 16, 56, 24, 50, 18, 58, 26],
                   [12, 44, 4, 36, 14, 46, 6, 38], [60, 28, 52, 20, 62, 30, 54, 22],
                   [3, 35, 11, 43, 1, 33, 9, 41], [51, 19, 59, 27, 49, 17, 57, 25],
                   [15, 47, 7, 39, 13, 45, 5, 37], [63, 31, 55, 23, 61, 29, 53, 21]]) / 64.0
# The grey of the ring where it begins: about the value of a lit dungeon floor, so that blending it at
# half strength barely changes the floor there; it falls to black at the rim.
RING_GREY = 64


def spotlight(size):
    """A keyed disc (the lit part) about 3/4 of the half-size wide, a ring from key to black, black
    corners. The spotlight is blended at half strength, so a ring pixel of grey g turns a floor pixel s into
    (s + g) / 2: the ring's non-key pixels darken smoothly from a floor-like grey to black while the share
    of key pixels among them falls, so the two kinds of pixel stay close in value wherever they mix and the
    light fades without a coarse checker."""
    half = size / 2
    inner, outer = 0.72 * half, half
    yy, xx = np.mgrid[0:size, 0:size]
    r = np.hypot(xx + 0.5 - half, yy + 0.5 - half)
    darkness = np.clip((r - inner) / (outer - 1 - inner), 0, 1)
    darkness = darkness * darkness * (3 - 2 * darkness)
    # Key only in the inner quarter of the ring, thinning out while the grey is still near a floor's value.
    key_share = np.clip(1 - 4 * darkness, 0, 1)
    keyed = key_share > BAYER8[yy % 8, xx % 8] + 1 / 128
    grey = np.round(RING_GREY * (1 - darkness)).astype(np.uint8)
    out = np.empty((size, size, 3), dtype=np.uint8)
    out[...] = grey[..., None]
    out[(r >= outer - 1)] = (0, 0, 0)
    out[keyed & (r < outer - 1)] = palette.KEY
    out[r < inner] = palette.KEY
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
