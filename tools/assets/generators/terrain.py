"""Terrain sheets 300 + floor type: plain floors in row 0 and joined tiles in rows 1-24.

A joined row holds five 32 x 32 blocks, one per joining state of a quarter: 0 alone, 1 joined vertically
only, 2 horizontally only, 3 both ways without the diagonal (inner corner), 4 all round. The map draws
each 16 x 16 quarter of a cell from its own quarter of the block of its state, so every block is drawn
as a whole tile in its state: borders only on its unjoined sides, continuing across the joined ones.
Rows: 1 wall (a raised block: lighter top, darker front face where the wall ends below), 2 solid fill,
3-7 puddles on the floors of terrain 5-9, 8 ice, 9-24 the 16 frames of water (or lava, or mist).
"""

import functools

import numpy as np

from assetlib import palette, pixels, tiles
from assetlib.pixels import Sprite, idx

T = tiles.T
# Ordered dithering only in a narrow band at each boundary between two shades: broad areas stay solid,
# so that floors and walls show no screen-door pattern at double size.
TILE_DITHER = 0.1
FACE = 22  # the front face of a wall that ends below starts at this row of the block
WATER_FRAMES = 16
# The share of a floor's pixels that keep a shade of their own: a fine grain, no pattern.
FLOOR_GRAIN = 0.06


# ---- joining geometry

def joined(col):
    """(vertical, horizontal, diagonal) joins of a block column."""
    return col in (1, 3, 4), col in (2, 3, 4), col == 4


def occupancy(col):
    v, h, d = joined(col)
    occ = np.zeros((3, 3), dtype=bool)
    occ[1, 1] = True
    occ[0, 1] = occ[2, 1] = v
    occ[1, 0] = occ[1, 2] = h
    occ[0, 0] = occ[0, 2] = occ[2, 0] = occ[2, 2] = d
    return occ


@functools.lru_cache(maxsize=None)
def region(col, inset, radius):
    """The part of block `col` that a shape inset from its unjoined sides covers (convex corners rounded
    by `radius`), its rim, and the distance of each pixel from the unjoined outside."""
    margin = inset + radius + 3
    lo, n = T - margin, T + 2 * margin
    yy, xx = np.mgrid[0:n, 0:n] + lo
    occ = occupancy(col)
    # The outside is the union of the empty neighbour cells: the distance to each is exact.
    dist = np.full((n, n), 99.0)
    for cy in range(3):
        for cx in range(3):
            if occ[cy, cx]:
                continue
            dx = np.maximum(np.maximum(cx * T - xx, 0), xx - (cx * T + T - 1))
            dy = np.maximum(np.maximum(cy * T - yy, 0), yy - (cy * T + T - 1))
            dist = np.minimum(dist, np.hypot(dx, dy))
    inside = dist >= max(inset, 0.5)
    if radius > 0:
        # An opening: the points within `radius` of the shape shrunk by `radius` more.
        core = dist >= inset + radius
        edge = core & ~(np.roll(core, 1, 0) & np.roll(core, -1, 0) & np.roll(core, 1, 1) & np.roll(core, -1, 1))
        points = np.argwhere(edge).astype(np.float64)
        rest = np.argwhere(~core)
        inside = core.copy()
        if len(points):
            d2 = ((rest[:, None, :] - points[None, :, :]) ** 2).sum(axis=2).min(axis=1)
            near = d2 <= (radius + 0.01) ** 2
            inside[rest[near, 0], rest[near, 1]] = True
        inside &= dist >= max(inset, 0.5)
    rim = inside.copy()
    rim[1:-1, 1:-1] = inside[1:-1, 1:-1] & ~(inside[:-2, 1:-1] & inside[2:, 1:-1] & inside[1:-1, :-2] & inside[1:-1, 2:])
    c = slice(margin, margin + T)
    return inside[c, c], rim[c, c], dist[c, c]


def border_mask(col, width=1):
    """The outermost `width` pixels of each unjoined side."""
    v, h, _ = joined(col)
    m = np.zeros((T, T), dtype=bool)
    if not v:
        m[:width, :] = m[-width:, :] = True
    if not h:
        m[:, :width] = m[:, -width:] = True
    return m


# ---- painting helpers

def level_sprite(level, ramp, lo=0, hi=None, dither=TILE_DITHER):
    return tiles.to_ramp(np.clip(level, 0, 0.999), ramp, lo, hi, dither)


def paint(sprite, mask, colour):
    sprite.px[mask] = idx(colour)
    return sprite


def overlay(base, top, mask):
    out = base.copy()
    out.px[mask] = top.px[mask]
    return out


def wrapped_shift(mask, dy, dx):
    return np.roll(np.roll(mask, dy, 0), dx, 1)


def darker(sprite):
    """Every colour one shade darker on its own ramp (the darkest shade stays)."""
    out = sprite.copy()
    for i in np.unique(sprite.px):
        if i == pixels.CLEAR:
            continue
        name = palette.NAMES[i]
        ramp = name.rstrip("0123456789")
        shade = int(name[len(ramp):])
        if shade > 0:
            out.px[sprite.px == i] = idx(f"{ramp}{shade - 1}")
    return out


def motif(text, legend):
    return Sprite(8, 8).grid(text, legend) if isinstance(text, str) else text


def strew(s, seed, variants, step=8, chance=0.5, where=None, shift=(0, 0)):
    """Small motifs scattered over a wrapping tile: the tile is cut into step x step squares and a hash of
    each square's place (with `seed`) decides whether it holds a motif, which of the `variants`, where in
    the square, and whether it is mirrored; so no two squares repeat one stamp in one place. `where` limits
    the motifs to a mask; `shift` moves them all (wrapping), for drifting motifs."""
    size = s.w
    for j in range(size // step):
        for i in range(size // step):
            r = np.random.default_rng([*np.atleast_1d(seed).tolist(), j, i])
            if r.random() >= chance:
                continue
            m = variants[r.integers(len(variants))]
            if r.random() < 0.5:
                m = m.flip()
            ox = i * step + int(r.integers(0, step)) + shift[1]
            oy = j * step + int(r.integers(0, step)) + shift[0]
            ys, xs = np.nonzero(m.ink())
            ty, tx = (oy + ys) % size, (ox + xs) % size
            keep = np.ones(len(ys), dtype=bool) if where is None else where[ty, tx]
            s.px[ty[keep], tx[keep]] = m.px[ys[keep], xs[keep]]
    return s


# ---- themes

class Theme:
    """A floor type's look. Subclasses give the textures; the layout of the sheet is common."""

    seed = 0
    wall_ramp = "stone"
    water_kind = "water"

    def rng(self, *k):
        return np.random.default_rng([self.seed, *k])

    # plain floors, each wrapping
    def room(self):
        raise NotImplementedError

    def corridor(self):
        return self.room()

    def patch(self):
        return self.room()

    def broken(self):
        """Floor where a wall was broken or water dried up: rubble and cracks on the room floor."""
        s = self.room()
        body, high, shadow = tiles.pebbles(self.seed + 9, 9, radius=(1.0, 2.0))
        paint(s, shadow, self.dark)
        paint(s, body, self.rubble[0])
        paint(s, high, self.rubble[1])
        paint(s, tiles.cracks(self.seed + 10, 3), self.dark)
        return s

    # walls: the top face and the front face, each wrapping sideways
    def wall_top(self):
        raise NotImplementedError

    def wall_face(self):
        raise NotImplementedError

    def fill(self):
        n = tiles.pnoise(self.seed + 20)
        return level_sprite(0.2 + 0.5 * n, "outline", 0, 2)

    def ice(self, base):
        return None

    def water(self, frame):
        raise NotImplementedError

    def calm(self, floor):
        """The walkable floor as a plain surface: its commonest shade all over, with a sparse grain of
        its other shades, so that the path reads calmer than the textured walls beside it."""
        values, counts = np.unique(floor.px, return_counts=True)
        base = values[counts.argmax()]
        grain = self.rng(70).random(floor.px.shape) < FLOOR_GRAIN
        out = floor.copy()
        out.px[~grain] = base
        return out

    # ---- the blocks
    def wall_block(self, col):
        v, h, _ = joined(col)
        s = self.wall_top()
        face = self.wall_face()
        top_lit, edge_light, edge_dark = self.wall_light
        if not h:
            paint(s, np.s_[:, 1], edge_light)
            paint(s, np.s_[:, T - 2], edge_dark)
        if not v:
            paint(s, np.s_[1, :], top_lit)
            s.px[FACE:, :] = face.px[FACE:, :]
            paint(s, np.s_[FACE - 1, :], top_lit)
            paint(s, np.s_[FACE, :], self.face_shadow)
            if not h:
                paint(s, np.s_[FACE:, 1], self.face_shadow)
                paint(s, np.s_[FACE:, T - 2], self.face_shadow)
        if col == 3:
            # Inner corners: the unjoined diagonal pokes in at each corner of the block.
            for x in (0, T - 1):
                paint(s, np.s_[0, x], palette.OUTLINE)
                s.px[FACE:, x - 3 if x else 0 : x + 1 if x else 4] = face.px[FACE:, : 4]
                paint(s, np.s_[FACE - 1, x - 3 if x else 0 : x + 1 if x else 4], top_lit)
                paint(s, np.s_[FACE:, x], palette.OUTLINE)
                paint(s, np.s_[T - 1, x - 3 if x else 0 : x + 1 if x else 4], palette.OUTLINE)
        paint(s, border_mask(col), palette.OUTLINE)
        return s

    def fill_block(self, col):
        """Terrain 1 is unbreakable wall on every dungeon floor (rings around rooms and lines through
        the rock): it reads as wall, one shade darker than the breakable wall."""
        return darker(self.wall_block(col))

    def field_block(self, col):
        s = self.fill()
        edge = border_mask(col, 2) & ~border_mask(col, 1)
        paint(s, edge, self.fill_edge)
        paint(s, border_mask(col), palette.OUTLINE)
        if col == 3:
            for y in (0, T - 1):
                for x in (0, T - 1):
                    paint(s, np.s_[y, x], palette.OUTLINE)
        return s

    def puddle_block(self, base, col):
        """A shallow puddle: the floor shows through, darkened and tinted by the water, with glints;
        deep water, by contrast, hides the floor."""
        inside, rim, dist = region(col, 4, 5)
        s = base.copy()
        wet = base.tint_ramp(self.puddle_ramp)
        lo, hi = self.puddle_range
        shades = palette.ramp(self.puddle_ramp)
        # Keep the floor's pattern but hold it within the puddle's shades.
        for i, name in enumerate(shades):
            if i < lo:
                wet.px[wet.px == idx(name)] = idx(shades[lo])
            if i > hi:
                wet.px[wet.px == idx(name)] = idx(shades[hi])
        # The floor's own pattern shows through in the water's shades: the water is shallow and clear.
        yy, xx = np.mgrid[0:T, 0:T]
        s = overlay(s, wet, inside)
        glints = inside & ~rim & ((xx - yy) % 16 == 0) & (tiles.pnoise(self.seed + 31, cells=(4, 8)) > 0.6)
        paint(s, glints, self.puddle_glint)
        shade = inside & ~rim & (wrapped_shift(rim, 1, 0) | wrapped_shift(rim, 0, 1))
        paint(s, shade, self.puddle_shadow)
        paint(s, rim, self.puddle_rim)
        return s

    def ice_block(self, col):
        inside, rim, dist = region(col, 2, 3)
        s = self.calm(self.room())
        n = tiles.pnoise(self.seed + 40, cells=(2, 4, 8))
        ice = level_sprite(0.35 + 0.5 * n, "ice", 0, 2)
        streak = ((np.add.outer(np.arange(T), np.arange(T)) % 11) == 0)
        paint(ice, streak, "ice2")
        paint(ice, tiles.cracks(self.seed + 41, 3, (3, 7)), "water3")
        s = overlay(s, ice, inside)
        paint(s, rim, "water1")
        return s

    def water_block(self, col, frame):
        inside, rim, dist = region(col, 2, 4)
        s = self.calm(self.room())
        surface = self.water(frame)
        s = overlay(s, surface, inside)
        near = inside & ~rim & (dist < 3.5)
        paint(s, near & (wrapped_shift(rim, 1, 0) | wrapped_shift(rim, 0, 1) | wrapped_shift(rim, 1, 1)), self.water_shadow)
        paint(s, rim, self.water_rim)
        return s

    # ---- the sheet
    def sheet(self):
        canvas = pixels.Canvas(160, 800)
        floors = [self.calm(f) for f in (self.room(), self.corridor(), self.patch(), self.room())]
        floors.append(self.broken())
        for i, f in enumerate(floors):
            canvas.paste(f, 32 * i, 0)
        wet_bases = [f.copy() for f in floors]
        for col in range(5):
            x = 32 * col
            canvas.paste(self.wall_block(col), x, 32)
            canvas.paste(self.fill_block(col), x, 64)
            for k, base in enumerate(wet_bases):
                canvas.paste(self.puddle_block(base, col), x, 96 + 32 * k)
            canvas.paste(self.ice_block(col), x, 256)
            for frame in range(WATER_FRAMES):
                canvas.paste(self.water_block(col, frame), x, 288 + 32 * frame)
        return canvas.rgb


def water_surface(theme, frame, ramp, lo, hi, glints, seed_shift=0, scale=1.0):
    """Moving water: two layers of looping waves, with glints on the crests."""
    a = tiles.waves(T, frame, WATER_FRAMES, theme.seed + 50 + seed_shift, count=5, spatial=(1, 2))
    b = tiles.waves(T, frame, WATER_FRAMES, theme.seed + 60 + seed_shift, count=4, spatial=(2, 3), turns=(1, 1))
    level = scale * (0.6 * a + 0.4 * b)
    s = level_sprite(level, ramp, lo, hi)
    crest = (0.6 * a + 0.4 * b) > 0.8
    paint(s, crest, glints)
    return s


class Storehouse(Theme):
    """The warehouse: wooden boards, plaster walls on a timber base, still water."""

    seed = 300
    dark = "earth0"
    rubble = ("earth2", "bone0")
    wall_light = ("bone3", "bone3", "bone0")
    face_shadow = "earth0"
    fill_edge = "earth1"
    puddle_ramp, puddle_range = "water", (1, 2)
    puddle_shadow, puddle_glint, puddle_rim = "water0", "water3", "earth0"
    water_shadow, water_rim = "water0", "earth0"

    def fill_block(self, col):
        # The warehouse fills its storage field with terrain 1: the field keeps a look of its own.
        return self.field_block(col)

    def boards(self, seed, shades=(1, 2)):
        rows = [(8, [32], 0), (8, [20, 12], 5), (8, [32], 17), (8, [14, 18], 9)]
        ids, seam, light = tiles.slabs(rows)
        grain = tiles.pnoise(seed, cells=(2, 16, 32), weights=(0.4, 1.0, 0.3))
        grain = np.roll(grain, 0, 0)
        r = self.rng(seed)
        tone = r.uniform(-0.12, 0.12, ids.max() + 1)[ids]
        s = level_sprite(0.45 + tone + 0.25 * (grain - 0.5), "earth", *shades)
        paint(s, seam, "earth0")
        paint(s, light & ~seam, "earth3" if shades[1] >= 2 else "earth2")
        return s

    def room(self):
        return self.boards(1)

    def corridor(self):
        s = self.boards(2, (1, 1))
        paint(s, tiles.cracks(self.seed + 3, 2), "earth0")
        return s

    def patch(self):
        # A straw mat laid on the boards.
        s = self.boards(1)
        yy, xx = np.mgrid[0:T, 0:T]
        weave = (xx // 2 + yy // 4) % 2 == 0
        level = 0.35 + 0.25 * weave + 0.2 * (tiles.pnoise(7) - 0.5)
        mat = level_sprite(level, "gold", 0, 1)
        paint(mat, yy % 16 == 15, "earth1")
        return mat

    def wall_top(self):
        n = tiles.pnoise(self.seed + 11, cells=(4, 8, 16))
        s = level_sprite(0.45 + 0.35 * n, "bone", 1, 3)
        paint(s, tiles.cracks(self.seed + 12, 1, (3, 6)), "bone0")
        return s

    def wall_face(self):
        s = self.boards(4, (1, 2))
        return s

    def fill(self):
        n = tiles.pnoise(self.seed + 20)
        return level_sprite(0.3 + 0.5 * n, "earth", 0, 1)

    def water(self, frame):
        return water_surface(self, frame, "water", 0, 2, "water3")


def noise_floor(seed, ramp, lo, hi, contrast=0.45, cells=(4, 8, 16)):
    return level_sprite(0.5 + contrast * (tiles.pnoise(seed, cells=cells) - 0.5), ramp, lo, hi)


def grain_floor(seed, ramp, lo, hi):
    """A quiet ground: the lower shade with small flecks of the upper one, fine-grained so that no large
    shape repeats from tile to tile."""
    n = tiles.pnoise(seed, cells=(8, 16, 32), weights=(0.6, 1.0, 0.8))
    return level_sprite(0.32 + 0.32 * n, ramp, lo, hi, dither=False)


def slab_floor(seed, rows, ramp, lo, hi, seam, light, variation=0.1, contrast=0.3):
    ids, seams, lights = tiles.slabs(rows)
    r = np.random.default_rng(seed)
    tone = r.uniform(-variation, variation, ids.max() + 1)[ids]
    s = level_sprite(0.5 + tone + contrast * (tiles.pnoise(seed) - 0.5), ramp, lo, hi)
    paint(s, seams, seam)
    if light:
        paint(s, lights, light)
    return s


def scatter(s, seed, count, body, high=None, shadow=None, radius=(0.8, 1.8)):
    b, h, sh = tiles.pebbles(seed, count, radius=radius)
    if shadow:
        paint(s, sh, shadow)
    paint(s, b, body)
    if high:
        paint(s, h, high)
    return s


def strata(seed, ramp, lo, hi, step=4):
    """A front face of rock: horizontal beds broken by noise."""
    yy, xx = np.mgrid[0:T, 0:T]
    n = tiles.pnoise(seed, cells=(2, 8, 16))
    level = 0.45 + 0.3 * np.sin(2 * np.pi * (yy + 3 * n) / step * 0.5) * 0.5 + 0.3 * (n - 0.5)
    return level_sprite(level, ramp, lo, hi)


def voronoi(seed, count):
    """Cells around seeded points, wrapping: the cell number of every pixel."""
    r = np.random.default_rng(seed)
    yy, xx = np.mgrid[0:T, 0:T] + 0.5
    points = r.uniform(0, T, (count, 2))
    best = np.full((T, T), 1e9)
    which = np.zeros((T, T), dtype=int)
    for k, (px, py) in enumerate(points):
        for ox in (-T, 0, T):
            for oy in (-T, 0, T):
                d = (xx - px - ox) ** 2 + (yy - py - oy) ** 2
                closer = d < best
                best[closer], which[closer] = d[closer], k
    return which


def facet_edges(seed, count):
    which = voronoi(seed, count)
    return (which != np.roll(which, 1, 0)) | (which != np.roll(which, 1, 1))


def facets(seed, count, ramp, lo, hi, edge):
    """Stones or crystal faces: a flat tone per cell, a line between cells."""
    which = voronoi(seed, count)
    r = np.random.default_rng(seed + 1)
    tone = r.uniform(0.25, 0.85, count)[which] + 0.15 * (tiles.pnoise(seed + 2) - 0.5)
    s = level_sprite(tone, ramp, lo, hi)
    paint(s, facet_edges(seed, count), edge)
    return s


SQUARE16 = [(16, [16, 16], 0), (16, [16, 16], 8)]
BRICKS = [(8, [16, 16], 0), (8, [16, 16], 8), (8, [16, 16], 0), (8, [16, 16], 8)]
COBBLES = [(8, [8, 8, 8, 8], 0), (8, [8, 8, 8, 8], 4), (8, [8, 8, 8, 8], 0), (8, [8, 8, 8, 8], 4)]
BLOCKS = [(16, [32], 0), (16, [16, 16], 8)]


class MossCave(Theme):
    """First floors: mossy rock cave, clear stream."""

    seed = 301
    dark = "stone0"
    rubble = ("stone2", "stone3")
    wall_light = ("stone4", "stone4", "stone1")
    face_shadow = "stone0"
    fill_edge = "stone0"
    puddle_ramp, puddle_range = "water", (1, 2)
    puddle_shadow, puddle_glint, puddle_rim = "water0", "water3", "outline1"
    water_shadow, water_rim = "water0", "outline1"

    def room(self):
        s = noise_floor(1, "stone", 1, 2, 0.35)
        paint(s, tiles.cracks(2, 2, (3, 6)), "stone0")
        return scatter(s, 4, 2, "stone2", None, "stone0", radius=(0.8, 1.3))

    def corridor(self):
        s = noise_floor(5, "stone", 0, 1, 0.5)
        return scatter(s, 6, 10, "stone1", "stone2", "outline2", radius=(0.7, 1.4))

    def patch(self):
        s = noise_floor(7, "moss", 0, 1, 0.6, cells=(4, 16, 32))
        paint(s, tiles.pnoise(8, cells=(16, 32)) > 0.78, "moss2")
        return s

    def wall_top(self):
        n = tiles.pnoise(11, cells=(2, 4, 8))
        s = level_sprite(0.35 + 0.5 * n, "stone", 2, 3)
        paint(s, tiles.cracks(14, 2, (3, 6)), "stone1")
        # Moss in small tufts of several shapes, strewn by the place of each square, in the moss shades
        # nearest the stone's own value.
        tufts = [Sprite(5, 3).grid(".ab../abbba/.aaa.", {"a": "moss1", "b": "moss2"}),
                 Sprite(3, 3).grid(".b./aba/.a.", {"a": "moss1", "b": "moss2"}),
                 Sprite(4, 2).grid("abba/.aa.", {"a": "moss1", "b": "moss2"}),
                 Sprite(6, 3).grid("..ab../.abbba/aa..a.", {"a": "moss1", "b": "moss2"}),
                 Sprite(2, 2).grid("ab/a.", {"a": "moss1", "b": "moss2"})]
        return strew(s, 12, tufts, step=8, chance=0.4)

    def wall_face(self):
        return strata(15, "stone", 1, 2)

    def water(self, frame):
        return water_surface(self, frame, "water", 1, 3, "ice2")


class StoneMaze(Theme):
    """An old stone-paved labyrinth: square slabs, cut-stone walls, dark water."""

    seed = 302
    dark = "stone0"
    rubble = ("stone2", "stone3")
    wall_light = ("stone3", "stone3", "stone0")
    face_shadow = "stone0"
    fill_edge = "stone0"
    puddle_ramp, puddle_range = "water", (0, 1)
    puddle_shadow, puddle_glint, puddle_rim = "outline1", "water2", "outline1"
    water_shadow, water_rim = "outline1", "outline0"

    def room(self):
        return slab_floor(21, SQUARE16, "stone", 0, 1, "outline1", "stone2", 0.12, 0.25)

    def corridor(self):
        return slab_floor(22, COBBLES, "stone", 1, 1, "stone0", None, 0.15, 0.2)

    def patch(self):
        s = slab_floor(23, SQUARE16, "stone", 0, 1, "moss0", "stone2", 0.12, 0.25)
        paint(s, tiles.cracks(24, 3), "stone0")
        return s

    def wall_top(self):
        return slab_floor(25, BLOCKS, "stone", 1, 2, "stone0", "stone3", 0.08, 0.25)

    def wall_face(self):
        return slab_floor(26, BRICKS, "stone", 0, 1, "outline1", "stone2", 0.1, 0.2)

    def water(self, frame):
        return water_surface(self, frame, "water", 0, 1, "water2")


PEBBLES = [
    """
.ab.
abbc
.cc.
""", """
ab
bc
""", """
.ab..
abbbc
.bcc.
""", """
a
""", """
ab.
.bc
""",
]


def pebble_set(body, light, shade):
    legend = {"a": light, "b": body, "c": shade}
    return [Sprite(5, 3).grid(text, legend) for text in PEBBLES]


class RootCavern(Theme):
    """Root and earth cavern: dark packed earth with pebbles and root threads; walls of pale clay bound by
    roots with tufts of moss; murky olive water, clearly greener and darker than the earth."""

    seed = 303
    dark = "earth0"
    rubble = ("earth2", "earth3")
    wall_light = ("earth4", "earth4", "earth1")
    face_shadow = "earth0"
    fill_edge = "earth0"
    puddle_ramp, puddle_range = "water", (0, 1)
    puddle_shadow, puddle_glint, puddle_rim = "outline1", "water3", "earth0"
    water_shadow, water_rim = "outline1", "earth0"

    def roots(self, seed, count, length=(8, 16)):
        r = np.random.default_rng(seed)
        mask = np.zeros((T, T), dtype=bool)
        for _ in range(count):
            x, y = r.integers(0, T, 2)
            dx = r.choice([-1, 1])
            for _ in range(r.integers(*length)):
                nx, ny = x + dx, y + r.choice([0, 0, 1, -1])
                tiles.wrap_line(mask, x, y, nx, ny)
                x, y = nx, ny
        return mask

    def room(self):
        s = grain_floor(31, "earth", 1, 2)
        paint(s, self.roots(32, 1, (6, 10)), "earth0")
        return strew(s, 33, pebble_set("earth2", "earth3", "earth0"), chance=0.35)

    def corridor(self):
        s = grain_floor(34, "earth", 0, 1)
        return strew(s, 35, pebble_set("earth1", "earth2", "outline1"), chance=0.25)

    def patch(self):
        s = grain_floor(36, "earth", 1, 2)
        leaf = [Sprite(3, 2).grid("ab/.a", {"a": "moss1", "b": "moss2"}),
                Sprite(3, 2).grid("aa./.ab", {"a": "earth3", "b": "earth2"}),
                Sprite(2, 2).grid("ab/b.", {"a": "gold0", "b": "earth3"})]
        return strew(s, 37, leaf, step=6, chance=0.55)

    def wall_top(self):
        s = noise_floor(39, "earth", 3, 4, 0.5, cells=(2, 4, 8))
        paint(s, self.roots(40, 3), "earth1")
        tufts = [Sprite(5, 3).grid(".ab../abbba/.aaa.", {"a": "moss1", "b": "moss2"}),
                 Sprite(3, 3).grid(".b./aba/.a.", {"a": "moss1", "b": "moss2"}),
                 Sprite(4, 2).grid("abba/.aa.", {"a": "moss1", "b": "moss2"})]
        return strew(s, 41, tufts, step=8, chance=0.22)

    def wall_face(self):
        s = strata(43, "earth", 1, 2)
        paint(s, self.roots(44, 2), "earth0")
        return s

    def water(self, frame):
        # Murky water, darker and bluer than the earth: a deep body, ripple strokes along the crests of
        # the slow swell, brown silt drifting through.
        a = tiles.waves(T, frame, WATER_FRAMES, self.seed + 50, count=5, spatial=(1, 2))
        b = tiles.waves(T, frame, WATER_FRAMES, self.seed + 60, count=4, spatial=(2, 3), turns=(1, 1))
        level = 0.6 * a + 0.4 * b
        s = level_sprite(0.15 + 0.6 * level, "water", 0, 1, dither=0.15)
        silt = tiles.waves(T, frame, WATER_FRAMES, self.seed + 70, count=3, spatial=(1, 2), turns=(1, 1))
        paint(s, (silt > 0.7) & (level < 0.55), "earth0")
        crest = (level > np.roll(level, 1, 0)) & (level >= np.roll(level, -1, 0)) & (level > 0.55)
        paint(s, crest, "water2")
        paint(s, crest & (level > 0.8), "water3")
        return s


class CrystalGrotto(Theme):
    """A blue-violet crystal grotto, glowing water."""

    seed = 304
    dark = "outline1"
    rubble = ("violet2", "ice1")
    wall_light = ("violet3", "ice2", "violet0")
    face_shadow = "outline1"
    fill_edge = "violet0"
    puddle_ramp, puddle_range = "ui", (1, 2)
    puddle_shadow, puddle_glint, puddle_rim = "ui0", "ice1", "outline1"
    water_shadow, water_rim = "ui1", "outline1"

    def room(self):
        s = noise_floor(51, "violet", 0, 1, 0.5)
        return scatter(s, 52, 3, "violet2", "ice1", "outline1", radius=(0.6, 1.2))

    def corridor(self):
        return noise_floor(53, "stone", 0, 1, 0.4)

    def patch(self):
        s = noise_floor(54, "violet", 1, 2, 0.5, cells=(8, 16, 32))
        paint(s, tiles.pnoise(55, cells=(16, 32)) > 0.85, "ice1")
        return s

    def wall_top(self):
        s = facets(56, 11, "violet", 1, 3, "violet0")
        paint(s, facet_edges(56, 11) & (tiles.pnoise(58) > 0.6), "ice1")
        return s

    def wall_face(self):
        return facets(57, 9, "violet", 0, 1, "outline1")

    def water(self, frame):
        return water_surface(self, frame, "ui", 1, 3, "ice2")


class Shrine(Theme):
    """Ruined shrine corridors: stone tiles, red lacquered walls with gold trim, black water."""

    seed = 305
    dark = "stone0"
    rubble = ("stone2", "crimson1")
    wall_light = ("stone3", "stone3", "outline1")
    face_shadow = "outline1"
    fill_edge = "crimson0"
    puddle_ramp, puddle_range = "indigo", (0, 1)
    puddle_shadow, puddle_glint, puddle_rim = "outline0", "indigo2", "outline0"
    water_shadow, water_rim = "outline0", "outline0"

    def room(self):
        s = slab_floor(61, SQUARE16, "stone", 1, 2, "stone0", None, 0.08, 0.25)
        paint(s, tiles.cracks(62, 2), "stone0")
        return s

    def corridor(self):
        return slab_floor(63, [(8, [32], 0), (8, [32], 0), (8, [32], 0), (8, [32], 0)], "earth", 1, 2, "earth0", None,
                          0.08, 0.2)

    def patch(self):
        # Lacquered boards, dulled by age.
        return slab_floor(64, [(8, [32], 0), (8, [16, 16], 8), (8, [32], 0), (8, [16, 16], 0)], "crimson", 0, 0,
                          "outline1", "crimson1", 0.1, 0.2)

    def wall_top(self):
        # Dark grey roof tiles seen from above: rows of rounded tile ends, each row half a tile along.
        s = noise_floor(65, "stone", 1, 1, 0.2)
        yy, xx = np.mgrid[0:T, 0:T]
        row = yy // 8
        u = (xx + 4 * (row % 2)) % 8
        v = yy % 8
        end = (u - 3.5) ** 2 / 12 + (v - 5.5) ** 2 / 6 <= 1
        paint(s, end, "stone2")
        paint(s, end & ((u - 3.5) ** 2 / 12 + (v - 4.5) ** 2 / 6 > 1), "stone3")
        paint(s, (u == 0) | (u == 7), "stone0")
        paint(s, v == 7, "outline1")
        return s

    def wall_face(self):
        # Lacquered posts and dark wooden panels over a stone plinth: the red is a trim, not a field.
        s = noise_floor(66, "earth", 0, 1, 0.2)
        yy, xx = np.mgrid[0:T, 0:T]
        paint(s, (xx % 16 == 3) | (xx % 16 == 4), "crimson1")
        paint(s, xx % 16 == 2, "crimson0")
        paint(s, (yy == FACE + 1) & (xx % 16 > 4), "crimson0")
        paint(s, yy >= 28, "stone1")
        paint(s, yy == 28, "stone2")
        return s

    def water(self, frame):
        return water_surface(self, frame, "indigo", 0, 1, "indigo2", scale=0.9)


class Catacombs(Theme):
    """Bone-grey catacombs: flagstones, ossuary walls, stagnant water."""

    seed = 306
    dark = "stone1"
    rubble = ("bone1", "bone2")
    wall_light = ("bone3", "bone3", "stone1")
    face_shadow = "outline1"
    fill_edge = "stone0"
    puddle_ramp, puddle_range = "poison", (0, 1)
    puddle_shadow, puddle_glint, puddle_rim = "moss0", "poison2", "outline1"
    water_shadow, water_rim = "moss0", "outline1"

    def room(self):
        return slab_floor(71, BLOCKS, "stone", 2, 3, "stone1", None, 0.08, 0.25)

    def corridor(self):
        s = noise_floor(72, "stone", 1, 2, 0.4)
        return scatter(s, 73, 5, "bone1", None, "stone0", radius=(0.6, 1.1))

    def patch(self):
        s = slab_floor(74, BLOCKS, "stone", 2, 3, "stone1", None, 0.08, 0.25)
        return scatter(s, 75, 7, "bone1", "bone2", "stone1", radius=(0.8, 1.5))

    def wall_top(self):
        return slab_floor(76, BRICKS, "bone", 1, 2, "bone0", "bone3", 0.1, 0.25)

    def wall_face(self):
        # Niches along the face, each holding what a hash of its place gives: a skull, crossed bones, an
        # urn, or nothing; so a run of wall does not repeat one skull.
        s = noise_floor(77, "bone", 0, 1, 0.3)
        legend = {"a": "bone1", "b": "bone2", "c": "earth2", "d": "earth3"}
        contents = [
            Sprite(8, 8).grid("""
..aaaa..
.abbbba.
abbbbbba
ab.bb.ba
abbbbbba
.abb.ba.
..b.b...
""", legend),
            Sprite(8, 8).grid("""
.b....b.
..b..b..
...bb...
...bb...
..b..b..
.a....a.
""", legend),
            Sprite(8, 8).grid("""
...cc...
..cddc..
.cdddcc.
.cdddcc.
..cccc..
""", legend, 0, 1),
            None,
        ]
        for k, x in enumerate((2, 18)):
            s.rect(x, FACE + 1, x + 11, T - 1, "outline1")
            thing = contents[np.random.default_rng([self.seed, 77, k]).integers(len(contents))]
            if thing is not None:
                s.stamp(thing, x + 2, FACE + 2)
        return s

    def water(self, frame):
        return water_surface(self, frame, "poison", 0, 1, "poison2", scale=0.9)


FLOES = [Sprite(7, 5).grid("""
.bbbb..
bcccca.
bccccca
.aaaaa.
..ddd..
""", {"a": "ice0", "b": "ice2", "c": "ice1", "d": "water0"}),
         Sprite(5, 4).grid(".bb../bccab/.aaa./..dd.", {"a": "ice0", "b": "ice2", "c": "ice1", "d": "water0"}),
         Sprite(3, 3).grid("bb./cca/.d.", {"a": "ice0", "b": "ice2", "c": "ice1", "d": "water0"}),
         Sprite(9, 5).grid(".bbb.bb../bcccccca./.acccccaa/..aaaaa../...dddd..",
                           {"a": "ice0", "b": "ice2", "c": "ice1", "d": "water0"})]


class IceCave(Theme):
    """An ice cave: packed snow, ice-block walls, icy water with floes."""

    seed = 320
    block = 0
    dark = "water2"
    rubble = ("ice0", "ice2")
    wall_light = ("ice2", "ice2", "water2")
    face_shadow = "water1"
    fill_edge = "water2"
    puddle_ramp, puddle_range = "water", (2, 3)
    puddle_shadow, puddle_glint, puddle_rim = "water1", "ice2", "water1"
    water_shadow, water_rim = "water1", "water0"

    def room(self):
        s = noise_floor(81, "stone", 2, 3, 0.4)
        paint(s, tiles.cracks(80, 2, (3, 6)), "water3")
        return s

    def corridor(self):
        s = noise_floor(82, "water", 2, 3, 0.3)
        paint(s, tiles.cracks(83, 2), "ice0")
        return s

    def patch(self):
        return noise_floor(84, "ice", 0, 1, 0.5, cells=(2, 4, 8))

    def wall_top(self):
        return slab_floor(85, BLOCKS, "ice", 1, 2, "water3", "ice2", 0.1, 0.3)

    def wall_face(self):
        yy, xx = np.mgrid[0:T, 0:T]
        n = tiles.pnoise(86, cells=(8, 32), weights=(1.0, 0.5))
        return level_sprite(0.3 + 0.4 * n + 0.2 * (xx % 5 == 0), "water", 2, 3)

    def water(self, frame):
        s = water_surface(self, frame, "water", 1, 2, "water3")
        # Floes of several shapes drifting across, wrapping with the tile, back to their start after 16
        # frames; each block of the sheet strews its own, so neighbouring water cells differ.
        strew(s, (87, self.block), FLOES, step=16, chance=0.55, shift=(0, 2 * frame))
        return s

    def water_block(self, col, frame):
        self.block = col
        return super().water_block(col, frame)

    def ice_block(self, col):
        s = super().ice_block(col)
        return s


class Basalt(Theme):
    """A basalt cavern over lava."""

    seed = 321
    dark = "outline0"
    rubble = ("stone1", "stone2")
    wall_light = ("stone3", "stone3", "outline1")
    face_shadow = "outline0"
    fill_edge = "outline0"
    puddle_ramp, puddle_range = "water", (0, 1)
    puddle_shadow, puddle_glint, puddle_rim = "outline0", "water2", "outline0"
    water_shadow, water_rim = "lava1", "outline0"

    def room(self):
        return facets(91, 8, "stone", 0, 1, "outline1")

    def corridor(self):
        s = noise_floor(92, "outline", 1, 2, 0.4)
        return scatter(s, 93, 6, "stone0", "stone1", "outline0", radius=(0.7, 1.3))

    def patch(self):
        return noise_floor(94, "stone", 1, 2, 0.4, cells=(8, 16, 32))

    def wall_top(self):
        return facets(95, 6, "stone", 2, 3, "stone0")

    def wall_face(self):
        yy, xx = np.mgrid[0:T, 0:T]
        s = level_sprite(0.3 + 0.4 * ((xx % 8) / 8) + 0.2 * (tiles.pnoise(96) - 0.5), "stone", 0, 1)
        paint(s, xx % 8 == 7, "outline0")
        paint(s, (xx % 8 == 7) & (tiles.pnoise(97, cells=(4, 8)) > 0.6), "lava0")
        return s

    def fill(self):
        return noise_floor(98, "outline", 0, 1, 0.5)

    def water(self, frame):
        a = tiles.waves(T, frame, WATER_FRAMES, 100, count=5, spatial=(1, 2))
        b = tiles.waves(T, frame, WATER_FRAMES, 101, count=4, spatial=(2, 3), turns=(1, 1))
        level = 0.55 * a + 0.45 * b
        s = level_sprite(level, "lava", 0, 3)
        crust = (0.5 * a + 0.5 * tiles.waves(T, frame, WATER_FRAMES, 102, count=3, spatial=(1, 2), turns=(1, 1))) < 0.3
        paint(s, crust, "outline1")
        paint(s, crust & ~np.roll(crust, 1, 0), "stone0")
        return s


class DeepHalls(Theme):
    """The deepest halls: obsidian with gold, over a sea of mist."""

    seed = 322
    dark = "outline0"
    rubble = ("violet0", "gold0")
    wall_light = ("gold1", "gold1", "outline0")
    face_shadow = "outline0"
    fill_edge = "outline0"
    puddle_ramp, puddle_range = "indigo", (0, 1)
    puddle_shadow, puddle_glint, puddle_rim = "outline0", "indigo3", "outline0"
    water_shadow, water_rim = "outline0", "gold0"

    def room(self):
        s = grain_floor(111, "stone", 0, 1)
        yy, xx = np.mgrid[0:T, 0:T]
        paint(s, ((xx == 0) | (yy == 0)), "gold0")
        paint(s, (xx == 0) & (yy == 0), "gold1")
        return s

    def corridor(self):
        s = noise_floor(112, "stone", 0, 0, 0.3)
        s = overlay(s, noise_floor(116, "violet", 0, 0, 0.3), tiles.pnoise(117) > 0.5)
        paint(s, tiles.cracks(118, 2), "outline1")
        return s

    def patch(self):
        s = grain_floor(113, "stone", 0, 1)
        yy, xx = np.mgrid[0:T, 0:T] + 0.5
        r = np.hypot(xx - 16, yy - 16)
        paint(s, np.abs(r - 11) < 0.6, "gold0")
        paint(s, np.abs(r - 6) < 0.6, "violet1")
        return s

    def wall_top(self):
        # Obsidian: black glassy facets with a few violet glints along their edges.
        which = voronoi(114, 7)
        r = np.random.default_rng(115)
        tone = r.uniform(0.1, 0.9, 7)[which] + 0.2 * (tiles.pnoise(116) - 0.5)
        s = level_sprite(tone, "outline", 0, 1)
        edges = facet_edges(114, 7)
        paint(s, edges, "outline2")
        paint(s, edges & (tiles.pnoise(117, cells=(4, 8)) > 0.62), "violet1")
        return s

    def wall_face(self):
        s = noise_floor(115, "outline", 0, 1, 0.3)
        yy, xx = np.mgrid[0:T, 0:T]
        paint(s, (xx % 8 == 0) & (yy > FACE), "violet0")
        paint(s, yy == T - 4, "gold1")
        paint(s, (yy == T - 4) & (xx % 8 == 4), "gold2")
        return s

    def water(self, frame):
        # A sea of mist over a dark drop: dim violet haze with grey wisps along the crests of its slow
        # swell and a glimpse of the black below where it thins; never brighter than the floor's gold.
        a = tiles.waves(T, frame, WATER_FRAMES, 120, count=5, spatial=(1, 2))
        b = tiles.waves(T, frame, WATER_FRAMES, 121, count=4, spatial=(1, 3), turns=(1, 1))
        level = 0.5 * a + 0.5 * b
        s = level_sprite(0.1 + 0.6 * level, "violet", 0, 0, dither=False)
        paint(s, level < 0.42, "outline2")
        paint(s, level < 0.22, "outline1")
        crest = (level > np.roll(level, 1, 0)) & (level >= np.roll(level, -1, 0))
        paint(s, crest & (level > 0.5), "stone1")
        paint(s, crest & (level > 0.72), "violet1")
        return s


THEMES = {"storehouse": Storehouse, "moss-cave": MossCave, "stone-maze": StoneMaze, "root-cavern": RootCavern,
          "crystal-grotto": CrystalGrotto, "shrine": Shrine, "catacombs": Catacombs, "ice-cave": IceCave,
          "basalt": Basalt, "deep-halls": DeepHalls}


def make(image, argument):
    return THEMES[argument]().sheet()
