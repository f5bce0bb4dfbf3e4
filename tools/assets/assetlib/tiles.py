"""Seamless tile textures: periodic noise, slabs, boards, pebbles and cracks, all wrapping at the tile
size, mapped onto palette ramps with ordered dithering."""

import numpy as np

from . import pixels

T = 32
BAYER = pixels.BAYER4


def pnoise(seed, size=T, cells=(4, 8, 16), weights=(1.0, 0.5, 0.25)):
    """Value noise 0..1 that wraps at `size`: random lattices of `cells` points a side, smoothly
    interpolated with wrap-around, summed over octaves."""
    r = np.random.default_rng(seed)
    total = np.zeros((size, size))
    for n, weight in zip(cells, weights):
        lattice = r.random((n, n))
        t = (np.arange(size) + 0.5) * n / size - 0.5
        i0 = np.floor(t).astype(int)
        f = t - i0
        f = f * f * (3 - 2 * f)
        i0 %= n
        i1 = (i0 + 1) % n
        rows0 = lattice[i0][:, i0] * (1 - f)[None, :] + lattice[i0][:, i1] * f[None, :]
        rows1 = lattice[i1][:, i0] * (1 - f)[None, :] + lattice[i1][:, i1] * f[None, :]
        total += weight * (rows0 * (1 - f)[:, None] + rows1 * f[:, None])
    total -= total.min()
    return total / max(total.max(), 1e-9)


def waves(size, frame, period, seed, count=6, spatial=(1, 3), turns=(1, 2)):
    """A field that wraps at `size` in space and at `period` frames in time: a sum of seeded waves with
    whole numbers of cycles across the tile and of turns per period."""
    r = np.random.default_rng(seed)
    yy, xx = np.mgrid[0:size, 0:size] + 0.5
    total = np.zeros((size, size))
    for _ in range(count):
        kx, ky = r.integers(-spatial[1], spatial[1] + 1, 2)
        if kx == 0 and ky == 0:
            kx = 1
        k = r.integers(turns[0], turns[1] + 1) * r.choice([-1, 1])
        phase = r.uniform(0, 2 * np.pi)
        total += np.sin(2 * np.pi * (kx * xx + ky * yy) / size + 2 * np.pi * k * frame / period + phase)
    return (total / count + 1) / 2


def to_ramp(level, ramp_name, lo=0, hi=None, dither=True):
    """A sprite coloured from a ramp by a 0..1 level field (ordered dithering between shades)."""
    h, w = level.shape
    s = pixels.Sprite(w, h)
    s.shade(np.ones((h, w), dtype=bool), ramp_name, level, dither, lo, hi)
    return s


def wrap_line(mask, x0, y0, x1, y1):
    """A 1-pixel line on a wrapping mask."""
    h, w = mask.shape
    for x, y in pixels.line_points(x0, y0, x1, y1):
        mask[y % h, x % w] = True


def cracks(seed, count, length=(4, 9), size=T):
    """Thin wandering cracks that wrap."""
    r = np.random.default_rng(seed)
    mask = np.zeros((size, size), dtype=bool)
    for _ in range(count):
        x, y = r.integers(0, size, 2)
        for _ in range(r.integers(*length)):
            nx, ny = x + r.integers(-1, 2), y + r.choice([1, 1, 0, -1]) * r.choice([1, -1])
            wrap_line(mask, x, y, nx, ny)
            x, y = nx, ny
    return mask


def slabs(rows, size=T):
    """Paving slabs or boards: `rows` lists (height, [widths...], x offset) down the tile, each row's
    widths adding up to the tile. Returns a slab number per pixel, a seam mask (each slab's right and
    bottom line) and a highlight mask (its top and left line), all wrapping."""
    ids = np.zeros((size, size), dtype=int)
    seam = np.zeros((size, size), dtype=bool)
    light = np.zeros((size, size), dtype=bool)
    y, n = 0, 0
    for height, widths, offset in rows:
        x = offset
        for width in widths:
            ys = np.arange(y, y + height) % size
            xs = np.arange(x, x + width) % size
            ids[np.ix_(ys, xs)] = n
            seam[ys[-1], xs] = True
            seam[ys, xs[-1]] = True
            light[ys[0], xs] = True
            light[ys, xs[0]] = True
            x += width
            n += 1
        y += height
    light &= ~seam
    return ids, seam, light


def pebbles(seed, count, size=T, radius=(1.0, 2.2)):
    """Small stones: (body, highlight, shadow) masks, wrapping."""
    r = np.random.default_rng(seed)
    body = np.zeros((size, size), dtype=bool)
    high = np.zeros_like(body)
    yy, xx = np.mgrid[0:size, 0:size] + 0.5
    for _ in range(count):
        cx, cy = r.uniform(0, size, 2)
        rx = r.uniform(*radius)
        ry = rx * r.uniform(0.7, 1.0)
        dx = (xx - cx + size / 2) % size - size / 2
        dy = (yy - cy + size / 2) % size - size / 2
        inside = (dx / rx) ** 2 + (dy / ry) ** 2 <= 1
        body |= inside
        high |= inside & (dx < -0.2 * rx) & (dy < -0.2 * ry)
    shadow = np.roll(np.roll(body, 1, 0), 1, 1) & ~body
    return body, high & body, shadow
