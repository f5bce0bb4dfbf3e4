"""The common sheet (image 10): items by class in flight, on the floor and in water, the list icons and
their plated forms, stairs, chests, thrown and shot things, sparkles, the ice pillar, the status marks,
puffs, guides, record icons, and the additive splash, comet, strike and staff bullets (on black)."""

import math

import numpy as np

from assetlib import fx, glyphs, items, palette, pixels
from assetlib.pixels import Canvas, Sprite, idx

# Direction d: 0 down, 1 down-left, 2 left, 3 up-left, 4 up, 5 up-right, 6 right, 7 down-right, as
# unit vectors on the screen (y down).
DIRECTIONS = [(0, 1), (-1, 1), (-1, 0), (-1, -1), (0, -1), (1, -1), (1, 0), (1, 1)]
PLATED = [1, 2, 5, 6, 7, 8, 9, 10, 11]


def unit(d):
    dx, dy = DIRECTIONS[d]
    n = math.hypot(dx, dy)
    return dx / n, dy / n


# ---- items

def floor_item(icon, shadow=True):
    """The icon lying on a 32 x 32 cell, with its shadow on the ground."""
    s = Sprite(32, 32)
    if shadow:
        s.ellipse(16, 24.5, 6.5, 2.2, "outline1")
    s.stamp(icon, 8, 9)
    return s


def flying_item(icon):
    """Turned a quarter, in the air: no shadow, a little higher."""
    s = Sprite(32, 32)
    s.stamp(icon.rot90(1), 8, 7)
    return s


def water_item(icon):
    """Half sunk: a ring of disturbed water around it, its lower half blue-tinted under the waterline."""
    line = 18
    s = Sprite(32, 32)
    s.ellipse(16, line + 1, 10, 3.2, "water1")
    s.ellipse(16, line + 0.5, 9, 2.4, "water2")
    yy, xx = np.mgrid[0:32, 0:32] + 0.5
    ring = np.abs(((xx - 16) / 9) ** 2 + ((yy - line - 0.5) / 2.4) ** 2 - 1) < 0.25
    s.px[ring & (yy < line + 0.5)] = idx("water3")
    item = Sprite(32, 32)
    item.stamp(icon, 8, 9)
    tinted = item.tint_ramp("water")
    item.px[line:, :] = tinted.px[line:, :]
    item.px[line:, :][item.px[line:, :] == idx("outline0")] = idx("water0")
    s.stamp(item, 0, 0)
    s.px[line, 8:24][item.px[line, 8:24] >= 0] = idx("water3")
    return s.outline()


def plated(icon):
    return icon.tint_ramp("gold")


def kanji_badge(text, ramp, ink):
    s = Sprite(16, 16)
    s.lit_ellipse(8, 8, 7, 7, ramp, 1, len(palette.ramp(ramp)) - 1)
    mask = glyphs.parse(text)
    for y, x in np.argwhere(mask):
        s.put(3 + x, 3 + y, ink)
    return s.outline()


# ---- stairs, chests

def stairs(up):
    s = Sprite(32, 32)
    if not up:
        # A flight of steps going down, seen from above: bright treads and black risers, each step
        # narrower and dimmer than the one before, between two side walls, so that its stepped
        # silhouette and its contrast stand out from any floor.
        s.rect(2, 3, 30, 30, "outline0")
        treads = ["bone3", "bone2", "bone1", "stone3", "stone2", "stone1"]
        for k in range(6):
            y = 25 - 4 * k
            left, right = 4 + k, 28 - k
            s.rect(left, y, right, y + 2, treads[k])
            s.rect(left, y, right, y + 1, "bone3" if k < 2 else treads[k - 1])
            s.rect(left, y + 2, right, y + 4, "outline0")
        # The side walls, lit from the upper left, and the stair's near lip.
        for k in range(6):
            y = 25 - 4 * k
            s.rect(3 + k, y - 1, 4 + k, y + 4, "stone3")
            s.rect(28 - k, y - 1, 29 - k, y + 4, "stone1")
        s.rect(2, 28, 30, 30, "stone4")
        s.rect(2, 29, 30, 30, "stone2")
        return s.outline()
    # Exit stairs: steps climbing to a gate of light under a small torii.
    s.ellipse(16, 12, 11, 9, "gold1")
    s.lit_ellipse(16, 12, 9, 7.5, "gold", 1, 3)
    s.ellipse(16, 13, 5, 5, "bone3")
    for k, shade in enumerate(("stone4", "stone3", "stone3", "stone2")):
        y = 17 + 3 * k
        w = 7 + 2 * k
        s.rect(16 - w, y, 16 + w, y + 3, shade)
        s.rect(16 - w, y, 16 + w, y + 1, "bone2" if k < 2 else "stone4")
    s.rect(5, 3, 27, 5, "crimson2")
    s.rect(4, 3, 28, 4, "crimson3")
    s.rect(7, 7, 25, 8, "crimson2")
    s.rect(8, 3, 10, 17, "crimson2")
    s.rect(22, 3, 24, 17, "crimson1")
    s.rect(8, 3, 9, 17, "crimson3")
    return s.outline()


def chest(hit):
    s = Sprite(32, 32)
    ox = 1 if hit else 0
    lid = 2 if hit else 0
    s.ellipse(16, 27, 11, 2.5, "outline1")
    # The box: front face and lid in lacquer, gold bands and a lock.
    s.rect(5 + ox, 14, 27 + ox, 27, "crimson1")
    s.rect(5 + ox, 14, 27 + ox, 15, "crimson2")
    s.rect(4 + ox, 7 - lid, 28 + ox, 14 - lid, "crimson2")
    s.rect(4 + ox, 7 - lid, 28 + ox, 9 - lid, "crimson3")
    s.rect(4 + ox, 6 - lid, 28 + ox, 7 - lid, "crimson2")
    for x in (8, 22):
        s.rect(x + ox, 6 - lid, x + 2 + ox, 27, "gold2")
        s.rect(x + ox, 6 - lid, x + 1 + ox, 27, "gold3")
    s.rect(4 + ox, 13 - lid, 28 + ox, 14 - lid, "gold1")
    s.rect(14 + ox, 12 - lid, 18 + ox, 18, "gold2")
    s.rect(15 + ox, 15, 17 + ox, 17, "outline1")
    s.put(15 + ox, 12 - lid, "gold3")
    if hit:
        s.rect(5 + ox, 12, 27 + ox, 14, "outline1")
        for x, y in ((3, 4), (28, 3), (2, 19), (29, 20)):
            s.put(x, y, "bone3")
            s.put(x, y + 1, "gold3")
    return s.outline()


# ---- thrown and shot

def spinning(icon, k):
    s = Sprite(32, 32)
    s.stamp(icon.rot90(k), 8, 8)
    return s


def arrow_sprite(d):
    """A flying arrow pointing in direction d, centred on its cell."""
    s = Sprite(32, 32)
    ux, uy = unit(d)
    head = (round(16 + 9 * ux), round(16 + 9 * uy))
    tail = (round(16 - 9 * ux), round(16 - 9 * uy))
    for x, y in pixels.line_points(*tail, *head):
        s.put(x, y, "earth3")
    px, py = -uy, ux
    hx, hy = 16 + 10 * ux, 16 + 10 * uy
    s.polygon([(hx + 0.5 + 2 * ux, hy + 0.5 + 2 * uy), (hx + 0.5 - 2.5 * ux + 2.5 * px, hy + 0.5 - 2.5 * uy + 2.5 * py),
               (hx + 0.5 - 2.5 * ux - 2.5 * px, hy + 0.5 - 2.5 * uy - 2.5 * py)], "stone4")
    s.put(round(hx), round(hy), "bone3")
    for k in range(3):
        fx_, fy_ = 16 - (9 - k) * ux, 16 - (9 - k) * uy
        for side in (-1, 1):
            s.put(round(fx_ + side * 1.6 * px - ux), round(fy_ + side * 1.6 * py - uy), "crimson2" if k else "bone3")
    return s.outline()


def big_arrow(d, body, light):
    """A 24 x 24 arrow pointing in direction d (the facing arrow)."""
    s = Sprite(24, 24)
    ux, uy = unit(d)
    px, py = -uy, ux
    c = 12

    def p(a, b):
        return (c + a * ux + b * px, c + a * uy + b * py)

    outline = [p(9, 0), p(1, 7.5), p(1, 3), p(-8, 3), p(-8, -3), p(1, -3), p(1, -7.5)]
    mask = s.polygon_mask(outline)
    s.fill_mask(mask, body)
    yy, xx = np.mgrid[0:24, 0:24] + 0.5
    lit = mask & ((xx - c) * (-0.7) + (yy - c) * (-0.7) > 0)
    s.fill_mask(lit, light)
    return s.outline()


def guide(i):
    """The diagonal guides ↙ ↖ ↗ ↘: pale blue arrows, slimmer than the facing arrow."""
    d = [1, 3, 5, 7][i]
    s = Sprite(24, 24)
    ux, uy = unit(d)
    px, py = -uy, ux

    def p(a, b):
        return (12 + a * ux + b * px, 12 + a * uy + b * py)

    s.polygon([p(9, 0), p(2, 6.5), p(2, 2), p(-8, 2), p(-8, -2), p(2, -2), p(2, -6.5)], "ui2")
    s.polygon([p(9, 0), p(2, 6.5), p(2, 2), p(-8, 2), p(-8, 0), p(9, 0)], "ui3")
    return s.outline()


def bomb(k):
    s = Sprite(16, 16)
    s.lit_ellipse(8, 9.5, 5, 5, "stone", 0, 2)
    angle = k * math.pi / 2 - math.pi / 4
    fx_, fy_ = 8 + 5 * math.cos(angle), 9.5 + 5 * math.sin(angle)
    s.put(round(8 + 4 * math.cos(angle)), round(9.5 + 4 * math.sin(angle)), "earth2")
    s.put(round(fx_), round(fy_), "earth3")
    tip = (round(8 + 6.2 * math.cos(angle)), round(9.5 + 6.2 * math.sin(angle)))
    s.put(*tip, "lava3")
    s.put(6, 7, "stone4")
    out = s.outline()
    for ox, oy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        x, y = tip[0] + ox, tip[1] + oy
        if 1 <= x < 15 and 1 <= y < 15 and out.px[y, x] == idx("outline0"):
            out.px[y, x] = idx("lava2")
    return out.outline()


def record_icon(k):
    s = Sprite(16, 16)
    if k == 1:
        # Reached: a pennant on its pole.
        s.rect(4, 2, 5, 14, "earth3")
        s.polygon([(5, 2), (13, 5), (5, 8)], "crimson2")
        s.polygon([(5, 2), (13, 5), (5, 4)], "crimson3")
        s.rect(3, 13, 7, 14, "stone3")
    elif k == 2:
        # Beyond the last floor: a star burst.
        s.polygon([(8, 1), (9.8, 6), (15, 6.5), (11, 9.8), (12.5, 15), (8, 12), (3.5, 15), (5, 9.8), (1, 6.5),
                   (6.2, 6)], "gold2")
        s.polygon([(8, 1), (9.8, 6), (8, 8), (6.2, 6)], "gold3")
        s.put(8, 7, "bone3")
    else:
        # A thousand floors or more: a crown.
        s.polygon([(2, 12), (2, 4), (5, 8), (8, 3), (11, 8), (14, 4), (14, 12)], "gold2")
        s.rect(2, 11, 15, 13, "gold1")
        s.rect(2, 4, 3, 12, "gold3")
        for x in (5, 8, 11):
            s.put(x, 10, "crimson2")
        s.put(8, 3, "bone3")
    return s.outline()


# ---- ice pillar

def ice_pillar(stage):
    """Whole, cracked, badly cracked, then three frames of shattering."""
    s = Sprite(32, 32)
    if stage < 3:
        s.ellipse(16, 27, 9, 2.5, "outline1")
        body = [(11, 4), (21, 4), (25, 9), (24, 27), (8, 27), (7, 9)]
        s.polygon(body, "ice1")
        s.polygon([(11, 4), (21, 4), (25, 9), (7, 9)], "ice2")
        s.polygon([(7, 9), (12, 9), (12, 27), (8, 27)], "ice2")
        s.rect(20, 9, 24, 27, "ice0")
        s.rect(12, 9, 13, 27, "water3")
        s.rect(19, 9, 20, 27, "water3")
        s.put(9, 11, "bone3")
        s.put(9, 12, "bone3")
        cracks = [[(16, 10), (15, 14), (17, 17), (15, 21)], [(22, 12), (20, 16), (22, 20)], [(10, 15), (13, 19)],
                  [(17, 17), (20, 24)], [(15, 21), (11, 25)]]
        for crack in cracks[: [0, 2, 5][stage]]:
            for a, b in zip(crack, crack[1:]):
                s.line(*a, *b, "water1")
        if stage == 2:
            s.polygon([(21, 4), (25, 9), (21, 10)], "water2")
        return s.outline()
    # Shattering: pieces flying apart and shrinking.
    r = np.random.default_rng(352)
    spread = [4, 6, 8][stage - 3]
    size = [3.5, 2.8, 2.0][stage - 3]
    for k in range(7):
        angle = k * 2 * math.pi / 7 + r.uniform(-0.3, 0.3)
        cx = 16 + spread * math.cos(angle)
        cy = 16 + spread * 0.8 * math.sin(angle) - stage
        s.polygon([(cx - size, cy), (cx, cy - size * 1.2), (cx + size, cy + 0.5), (cx + 0.3, cy + size)],
                  "ice1" if k % 2 else "ice2")
        s.put(round(cx - 0.5), round(cy - 0.5), "bone3")
    return s.outline()


# ---- marks

def sparkle(variant, j, t):
    ramp = [("gold1", "gold3"), ("ice0", "ice2"), ("moss2", "poison2")][variant]
    s = Sprite(8, 8)
    size = [3, 2, 1][t]
    c = 4
    if j == 0:
        for k in range(-size, size + 1):
            s.put(c + k, c, ramp[0])
            s.put(c, c + k, ramp[0])
    elif j == 1:
        for k in range(-size, size + 1):
            s.put(c + k, c + k, ramp[0])
            s.put(c + k, c - k, ramp[0])
    else:
        s.polygon([(c + 0.5, c + 0.5 - size - 0.5), (c + 0.5 + size, c + 0.5), (c + 0.5, c + 0.5 + size + 0.5),
                   (c + 0.5 - size, c + 0.5)], ramp[0])
    s.put(c, c, ramp[1] if t < 2 else "bone3")
    return s.outline()


def zz():
    s = Sprite(16, 16)
    s.grid("""
#####....
...##....
..##.....
.##......
#####....
.....###.
......#..
.....#...
.....###.""", {"#": "bone3"}, 2, 3)
    s.grid("""
#####
""", {"#": "ui3"}, 2, 7)
    return s.outline()


def star(k):
    s = Sprite(16, 16)
    angle = k * math.pi / 5
    pts = []
    for i in range(10):
        r = 5.6 if i % 2 == 0 else 2.4
        a = angle + i * math.pi / 5 - math.pi / 2
        pts.append((8 + r * math.cos(a), 8 + r * math.sin(a)))
    s.polygon(pts, "gold2")
    s.ellipse(8, 8, 1.8, 1.8, "gold3")
    s.put(7, 7, "bone3")
    return s.outline()


def hallucination_mark():
    s = Sprite(16, 16)
    s.ellipse(8, 8, 6.5, 6.5, "violet1")
    s.fill_mask(s.spiral(8, 8, 6.5, 2.5, 2.6), "spirit1")
    s.ellipse(8, 8, 1.6, 1.6, "spirit2")
    return s.outline()


def sealed_mark():
    """「封」 on a paper talisman."""
    s = Sprite(16, 16)
    s.rect(2, 1, 14, 15, "bone3")
    s.rect(2, 1, 14, 2, "crimson2")
    s.rect(2, 14, 14, 15, "crimson2")
    s.grid("""
.#.....#..
###....#..
.#..######
####...#..
.#...#.#..
###...##..
.#.....#..
####..##..""", {"#": "crimson1"}, 3, 4)
    return s.outline()


def blind_mark():
    s = Sprite(16, 16)
    s.ellipse(8, 8, 6.5, 3.5, "bone3")
    s.ellipse(8, 8, 2.5, 2.5, "outline2")
    s.line(2, 13, 13, 2, "crimson2")
    s.line(3, 13, 14, 2, "crimson2")
    return s.outline()


def spark_half(right):
    s = Sprite(16, 16)
    pts = [(7, 1), (4, 6), (8, 7), (3, 14), (11, 6), (7, 5), (10, 1)]
    s.polygon(pts, "gold3")
    s.polygon([(7, 1), (4, 6), (6, 6), (9, 1)], "bone3")
    return s.flip().outline() if right else s.outline()


def puff(k):
    """A puff of smoke, 4 frames: a small round puff that swells into a billowing cloud, breaks into
    separate curls and thins to wisps. Each round lobe is drawn back to front with its own contour, a lit
    upper left and a grey underside, so that the cloud reads as soft smoke rather than a stone."""
    s = Sprite(16, 32)
    rise = [0, 3, 7, 12][k]
    base = 24 - rise
    lobes = [
        [(5.5, base - 1, 2.6), (10.5, base - 1, 2.6), (8, base + 1, 3.2)],
        [(5.4, base - 4, 3.0), (10.4, base - 5, 3.0), (4.8, base + 0.5, 3.0), (11.2, base + 0.5, 3.0), (8, base + 1, 3.4)],
        [(8, base - 6, 3.0), (4.6, base - 1, 3.0), (11.2, base - 2, 3.0), (7.6, base + 2, 2.6)],
        [(5, base + 2, 2.0), (11, base - 1, 2.0), (7.5, base - 5, 1.6)],
    ][k]
    light, body_shade, under_shade, contour = (("bone3", "bone2", "bone0", "stone3") if k < 3
                                               else ("bone2", "bone1", "stone3", "stone3"))
    yy, xx = np.mgrid[0:32, 0:16] + 0.5
    for cx, cy, r in lobes:
        d = np.hypot(xx - cx, yy - cy)
        disc = d <= r
        inner = d <= r - 1
        s.fill_mask(disc & ~inner, contour)
        s.fill_mask(inner, body_shade)
        s.fill_mask(inner & (yy - cy > 0.35 * r), under_shade)
        s.fill_mask(inner & (np.hypot(xx - cx + 0.45 * r, yy - cy + 0.45 * r) <= 0.45 * r), light)
    return s.outline("outline1")


def scales():
    s = Sprite(32, 32)
    r = np.random.default_rng(480)
    for k in range(9):
        cx, cy = r.uniform(5, 27), r.uniform(4, 27)
        ramp = ["violet", "gold", "spirit"][k % 3]
        s.lit_ellipse(cx, cy, 2.2, 1.5, ramp, 1, len(palette.ramp(ramp)) - 1, dither=False)
    return s.outline()


def hallucinated_object():
    s = Sprite(32, 32)
    s.ellipse(16, 17, 11, 11, "violet1")
    s.fill_mask(s.spiral(16, 17, 11, 3, 3.2), "spirit1")
    s.outline()
    mark = glyphs.glyph(""".####./##..##/....##/...##./..##../..##../....../..##..""", ["bone3", "bone3", "bone2"])
    s.stamp(mark, 12, 7)
    return s


def treasure_spot():
    s = Sprite(32, 32)
    s.ellipse(16, 25, 11, 3, "outline1")
    s.lit_polygon([(5, 25), (10, 15), (16, 11), (22, 15), (27, 25)], "gold", 1, 3, cy=14)
    r = np.random.default_rng(32)
    for k in range(7):
        x, y = r.integers(8, 24), r.integers(15, 24)
        s.rect(x, y, x + 3, y + 1, "gold1")
        s.put(x, y - 1, "gold3")
    s.put(13, 16, "crimson2")
    s.put(19, 19, "water3")
    for x, y in ((16, 6), (9, 10), (24, 9)):
        s.put(x, y, "bone3")
        s.put(x - 1, y, "gold3")
        s.put(x + 1, y, "gold3")
        s.put(x, y - 1, "gold3")
        s.put(x, y + 1, "gold3")
    return s.outline()


# ---- additive cells (any colour, on black)

ICE_GLOW = fx.ramp([(0, (0, 0, 0)), (0.35, (20, 60, 110)), (0.7, (110, 190, 240)), (1, (240, 252, 255))])
SPLASH = fx.ramp([(0, (0, 0, 0)), (0.4, (30, 80, 150)), (0.75, (120, 190, 240)), (1, (236, 248, 255))])
BOLT = fx.ramp([(0, (0, 0, 0)), (0.3, (50, 40, 140)), (0.6, (150, 140, 255)), (1, (255, 255, 255))])
MAGIC = fx.ramp([(0, (0, 0, 0)), (0.4, (90, 30, 140)), (0.75, (210, 120, 255)), (1, (255, 240, 255))])


def splash(k):
    """A water splash: the upper part (32 x 64) and the lower part (32 x 32), frame k of 4."""
    h = 96
    yy, xx = np.mgrid[0:h, 0:32] + 0.5
    r = np.random.default_rng(128 + k)
    field = np.zeros((h, 32))
    t = (k + 0.5) / 4
    for j in range(14):
        a = r.uniform(-1.1, 1.1)
        v = r.uniform(0.6, 1.0)
        height = 62 * v * (0.45 + 0.55 * math.sin(math.pi * min(t * 1.1, 1.0))) * (1 - 0.15 * k)
        px = 16 + a * 12 * t
        py = 82 - height * (1 - (a * 0.6) ** 2)
        field += 1.1 * np.exp(-((xx - px) ** 2 + (yy - py) ** 2) / (2.2 + k))
        field += 0.35 * np.exp(-((xx - px) ** 2) / 1.5) * ((yy > py) & (yy < 84)) * (1 - t)
    ring = np.exp(-((np.hypot((xx - 16) / (6 + 9 * t), (yy - 84) / (2 + 2 * t)) - 1) ** 2) / 0.05) * (1 - 0.6 * t)
    frame = fx.clean(SPLASH(np.clip(field + ring, 0, 1)))
    return frame[:64], frame[64:]


def comet(i):
    x, y = fx.grid(32, 32)
    r = np.hypot(x, y)
    strength = [0.35, 0.55, 0.8, 1.0][i]
    size = [0.35, 0.45, 0.6, 0.75][i]
    core = np.exp(-(r / (size * 0.5)) ** 2) * strength
    rays = 0.25 * strength * (np.exp(-(x / 0.06) ** 2) + np.exp(-(y / 0.06) ** 2)) * np.exp(-(r / size) ** 2)
    return fx.clean(ICE_GLOW(np.clip(core + rays, 0, 1)))


def bolt_path(seed, height, x0=16.0):
    r = np.random.default_rng(seed)
    xs = [x0]
    for _ in range(height - 1):
        xs.append(xs[-1] + r.normal(0, 1.1))
    xs = np.array(xs)
    # Both ends come back to the centre, so that pieces stack 64 apart.
    ramp = np.linspace(0, 1, height)
    return xs - (xs[-1] - x0) * ramp


def strike(k):
    yy, xx = np.mgrid[0:64, 0:32] + 0.5
    path = bolt_path(416 + k, 64)
    d = np.abs(xx - path[yy.astype(int)])
    field = np.exp(-(d / 0.9) ** 2) + 0.45 * np.exp(-(d / 3.5) ** 2) * (0.8 + 0.2 * k)
    column = fx.clean(BOLT(np.clip(field, 0, 1)))
    x, y = fx.grid(32, 32)
    burst = np.exp(-(np.hypot(x, (y - 0.3) * 1.8) / (0.45 + 0.1 * k)) ** 2)
    path2 = bolt_path(480 + k, 32)
    yy2, xx2 = np.mgrid[0:32, 0:32] + 0.5
    d2 = np.abs(xx2 - path2[yy2.astype(int)]) * (yy2 < 22)
    field2 = burst + np.exp(-(d2 / 0.9) ** 2) * (yy2 < 22)
    base = fx.clean(BOLT(np.clip(field2, 0, 1)))
    return column, base


def staff_bullet(v):
    x, y = fx.grid(16, 16)
    ux, uy = unit(v)
    along = x * ux + y * uy
    across = -x * uy + y * ux
    head = np.exp(-((x - 0.35 * ux) ** 2 + (y - 0.35 * uy) ** 2) / 0.06)
    tail = np.exp(-(across / 0.12) ** 2) * np.clip(0.6 - along, 0, 1.2) * (along < 0.35) * 0.7
    return fx.clean(MAGIC(np.clip(head + tail, 0, 1)))


# ---- the sheet

def sheet():
    c = Canvas(320, 512)
    icons = {n: items.icon(n) for n in range(1, 14)}
    for n in range(1, 12):
        y = 32 * n - 32
        c.paste(flying_item(icons[n]), 0, y)
        c.paste(floor_item(icons[n]), 32, y)
        c.paste(water_item(icons[n]), 64, y)
        c.paste(icons[n], 112, 128 + 16 * n)
    c.paste(icons[12], 112, 128 + 16 * 12)
    c.paste(icons[13], 112, 128 + 16 * 13)
    for n in PLATED:
        c.paste(plated(icons[n]), 96, 128 + 16 * n)
    c.paste(kanji_badge(glyphs.MIZU, "water", "bone3"), 96, 176)
    c.paste(kanji_badge(glyphs.KORI, "ice", "water0"), 96, 192)
    c.paste(stairs(False), 96, 0)
    c.paste(stairs(True), 96, 32)
    c.paste(chest(False), 96, 64)
    c.paste(chest(True), 96, 96)
    for k in range(4):
        top, bottom = splash(k)
        c.paste_rgb(top, 128 + 32 * k, 0)
        c.paste_rgb(bottom, 128 + 32 * k, 64)
        c.paste(spinning(icons[1], k), 128 + 32 * k, 96)
        c.paste(spinning(icons[7], k), 128 + 32 * k, 128)
        c.paste(bomb(k), 208, 160 + 16 * k)
    for d in range(8):
        c.paste(arrow_sprite(d), 224, 32 * (d + 5))
        c.paste(big_arrow(d, "gold2", "gold3"), 152, 160 + 24 * d)
        c.paste_rgb(staff_bullet(d), 176, 16 * (d + 10))
    for i in range(4):
        c.paste(guide(i), 160 + 24 * i, 464)
        c.paste_rgb(comet(i), 32 + 32 * i, 384)
    for k in range(1, 4):
        c.paste(record_icon(k), 208, 16 * (13 + k))
    for col in range(6):
        c.paste(ice_pillar(col), 32 * col, 352)
    for v in range(3):
        for j in range(3):
            for t in range(3):
                c.paste(sparkle(v, j, t), 192 + 8 * t, 384 + 24 * v + 8 * j)
    for k in range(3):
        column, base = strike(k)
        c.paste_rgb(column, 32 * k, 416)
        c.paste_rgb(base, 32 * k, 480)
        c.paste(star(k), 144 + 16 * k, 416)
    c.paste(zz(), 96, 416)
    c.paste(hallucination_mark(), 96, 432)
    c.paste(sealed_mark(), 112, 432)
    c.paste(blind_mark(), 128, 432)
    c.paste(spark_half(False), 144, 432)
    c.paste(spark_half(True), 160, 432)
    for k in range(4):
        c.paste(puff(k), 96 + 16 * k, 448)
    c.paste(scales(), 96, 480)
    c.paste(hallucinated_object(), 256, 0)
    c.paste(treasure_spot(), 256, 32)
    return c.rgb


def make(image, argument):
    return sheet()
