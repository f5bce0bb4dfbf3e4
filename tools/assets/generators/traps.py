"""Image 11, the traps: a muted floor plate with a device that tells the trap's effect at a glance, the
falling pieces, the binding snap, the gust puff and the arrows that fly from walls."""

import math

import numpy as np

from assetlib import palette
from assetlib.pixels import Canvas, Sprite, idx

# Where each trap id's icon lies on image 11.
TRAP_CELLS = {**{t: (32 * (t - 1), 0) for t in range(1, 6)}, **{t: (32 * (t - 7), 32) for t in range(7, 15)},
              **{t: (32 * (t - 16), 64) for t in range(16, 24)}, 25: (0, 96), 26: (32, 96), 27: (64, 96),
              29: (96, 96)}


def plate(rim="stone1", face="stone2", light="stone3"):
    """A square pressure plate set into the floor, lit from the upper left."""
    s = Sprite(32, 32)
    s.rect(3, 3, 29, 29, rim)
    s.rect(4, 4, 28, 28, face)
    s.rect(4, 4, 28, 5, light)
    s.rect(4, 4, 5, 28, light)
    for x, y in ((5, 5), (26, 5), (5, 26), (26, 26)):
        s.put(x, y, "stone1")
    return s


def vent(s, ramp, symbol=None):
    """A gas vent: a grille in the plate with a cloud rising from it."""
    s.ellipse(16, 19, 7, 4, "outline1")
    for x in (12, 15, 18, 21):
        s.rect(x - 1, 17, x, 22, "stone1")
    shades = palette.ramp(ramp)
    for cx, cy, r in ((12, 12, 4), (19, 11, 4.5), (16, 8, 4)):
        s.lit_ellipse(cx, cy, r, r * 0.85, ramp, 1, len(shades) - 1)
    if symbol:
        s.grid(symbol, {"#": "outline1"}, 13, 8)


def device(t):
    s = plate()
    if t == 1:  # hallucination gas: a pink cloud with a swirl
        vent(s, "spirit", ".##./#..#/#.##/.#..")
    elif t == 2:  # warp: a spiral portal
        s.ellipse(16, 16, 10.5, 10.5, "ui1")
        s.fill_mask(s.spiral(16, 16, 10, 2, 4), "ui3")
        s.ellipse(16, 16, 2.5, 2.5, "bone3")
    elif t == 3:  # binding jaws: an open iron trap seen from above, two toothed jaws about a trigger pan
        yy, xx = np.mgrid[0:32, 0:32] + 0.5
        for sign in (-1, 1):
            # Each jaw a thick half ring, its teeth pointing in towards the pan.
            d = np.hypot((xx - 16) / 10, (yy - 16) / 8)
            half = (yy - 16) * sign > 0.5
            s.fill_mask(half & (d <= 1) & (d >= 0.78), "stone3")
            s.fill_mask(half & (d <= 1) & (d >= 0.93) & ((yy - 16) * sign > 3), "stone1")
            for k in range(5):
                x = 9 + 3.5 * k
                y0 = 16 + sign * 8 * math.sqrt(max(0.0, 1 - ((x - 16) / 10) ** 2)) * 0.8
                s.polygon([(x - 1.5, y0), (x, y0 - sign * 3.5), (x + 1.5, y0)], "bone1")
        # The hinges at the ends of the jaws, and a chain running off to its peg.
        for x in (5, 25):
            s.rect(x, 14, x + 2, 19, "stone1")
            s.rect(x, 15, x + 2, 16, "stone4")
        for k, x in enumerate((25, 22, 19)):
            s.rect(x, 25 + k % 2, x + 2, 27 + k % 2, "stone1" if k % 2 else "stone3")
        # The trigger pan in the middle.
        s.rect(14, 15, 18, 18, "earth2")
        s.rect(14, 15, 18, 16, "earth3")
    elif t == 4:  # tripwire: a taut rope between two pegs
        for x in (6, 25):
            s.rect(x, 12, x + 2, 20, "earth2")
            s.rect(x, 12, x + 1, 20, "earth3")
        for x in range(8, 25):
            s.put(x, 15 + (1 if 12 < x < 20 else 0), "bone2")
            s.put(x, 16 + (1 if 12 < x < 20 else 0), "earth1")
    elif t == 5:  # gust: curling wind
        for k, (y, w) in enumerate(((10, 16), (16, 20), (22, 12))):
            for x in range(7, 7 + w):
                s.put(x, y + round(1.5 * math.sin((x + 3 * k) / 2.5)), "ice2" if k != 1 else "bone3")
            s.put(7 + w, y - 1, "ice1")
            s.put(8 + w, y - 2, "ice1")
    elif t == 7:  # alarm: a bell
        s.lit_polygon([(10, 22), (12, 10), (16, 7), (20, 10), (22, 22)], "gold", 0, 3, cy=10)
        s.rect(9, 21, 24, 23, "gold1")
        s.ellipse(16, 24, 2, 1.5, "gold2")
        s.rect(15, 5, 17, 7, "gold1")
    elif t == 8:  # confusion: stars circling
        for k in range(3):
            a = k * 2 * math.pi / 3 - 0.5
            cx, cy = 16 + 7 * math.cos(a), 16 + 5 * math.sin(a)
            pts = [(cx + (3.5 if i % 2 == 0 else 1.5) * math.cos(i * math.pi / 5 - math.pi / 2),
                    cy + (3.5 if i % 2 == 0 else 1.5) * math.sin(i * math.pi / 5 - math.pi / 2)) for i in range(10)]
            s.polygon(pts, "gold3")
        yy, xx = np.mgrid[0:32, 0:32] + 0.5
        ring = np.abs(np.hypot((xx - 16) / 7, (yy - 16) / 5) - 1) < 0.1
        s.px[ring & (s.px == idx("stone2"))] = idx("stone3")
    elif t == 9:  # poison gas: a green cloud over the vent
        vent(s, "poison", "#..#/.##./.##./#..#")
    elif t in (10, 11):  # rust: orange drops falling on a sword (10) or a shield (11), rust eating it
        drops = ((8, 5), (13, 4), (19, 5), (24, 4))
        if t == 10:
            # A sword from lower left to upper right: steel blade, gold guard, rust along the edge.
            for k in range(-1, 2):
                s.line(9 + k, 24, 24 + k, 9, "stone3" if k else "stone4")
            s.line(10, 25, 25, 10, "stone1")
            s.line(6, 21, 12, 27, "gold1")
            s.line(7, 21, 12, 26, "gold2")
            s.rect(5, 26, 8, 29, "earth1")
            for x, y in ((14, 18), (18, 14), (21, 12), (16, 17)):
                s.rect(x, y, x + 2, y + 2, "lava1")
                s.put(x + 1, y + 1, "earth1")
        else:
            # A shield: a heater shape with an indigo face and an iron rim, rust blotching it and its
            # lower edge eaten away.
            pts = [(8, 9), (24, 9), (24, 17), (16, 27), (8, 17)]
            s.polygon(pts, "stone1")
            s.polygon([(9, 10), (23, 10), (23, 17), (16, 25), (9, 17)], "indigo2")
            s.polygon([(9, 10), (16, 10), (16, 25), (9, 17)], "indigo3")
            s.rect(15, 10, 17, 25, "stone3")
            s.rect(9, 14, 23, 16, "stone3")
            for x, y, w, h in ((18, 17, 4, 3), (11, 18, 3, 2), (19, 11, 2, 2), (15, 21, 3, 3)):
                s.rect(x, y, x + w, y + h, "lava1")
                s.put(x + w - 1, y + h - 1, "earth1")
            for x, y in ((20, 21), (21, 20), (12, 22)):
                s.put(x, y, palette.OUTLINE)
        for x, y in drops:
            s.rect(x, y, x + 2, y + 2, "lava1")
            s.put(x, y + 2, "lava2")
    elif t == 12:  # water: a drop falling into ripples
        s.ellipse(16, 22, 8, 3, "water1")
        s.ellipse(16, 22, 5, 1.8, "water2")
        s.lit_polygon([(16, 4), (20, 12), (20, 15), (16, 18), (12, 15), (12, 12)], "water", 1, 3, cy=10)
    elif t == 13:  # falling rocks: stones over the plate
        for cx, cy, r in ((11, 12, 4), (20, 9, 3.5), (17, 19, 4.5)):
            s.lit_ellipse(cx, cy, r, r * 0.9, "earth", 1, 4)
    elif t == 14:  # curse: a violet skull in a dark aura
        s.ellipse(16, 16, 10, 9, "violet0")
        s.grid("""
..#####..
.#######.
##o###o##
##o###o##
.#######.
..##.##..
..#.#.#..""", {"#": "violet3", "o": "outline0"}, 12, 11)
    elif t == 16:  # fire: a flame over a grate
        s.rect(8, 21, 25, 24, "outline1")
        s.lit_polygon([(16, 5), (21, 13), (22, 19), (16, 23), (10, 19), (11, 13)], "lava", 1, 3, cy=16)
        s.polygon([(16, 12), (18, 17), (16, 21), (14, 17)], "lava3")
    elif t == 17:  # cold: a snowflake
        for k in range(3):
            a = k * math.pi / 3
            s.line(16 - 9 * math.cos(a), 16 - 9 * math.sin(a), 16 + 9 * math.cos(a), 16 + 9 * math.sin(a), "ice2")
        s.ellipse(16, 16, 2, 2, "ice1")
        for k in range(6):
            a = k * math.pi / 3
            s.put(round(16 + 6 * math.cos(a) - 0.5), round(16 + 6 * math.sin(a) - 0.5), "bone3")
    elif t in (18, 25):  # blasts: a bomb, small or large
        big = t == 25
        r = 8 if big else 5.5
        s.lit_ellipse(16, 18 if big else 19, r, r, "stone", 0, 2)
        s.line(16 + r * 0.6, 18 - r * 0.8, 16 + r, 18 - r - 2, "earth3")
        s.ellipse(16 + r + 0.5, 18 - r - 2.5, 2, 2, "lava2")
        s.put(round(16 + r), round(18 - r - 3), "lava3")
        if big:
            s.line(11, 15, 14, 19, "lava1")
            s.line(19, 21, 21, 18, "lava1")
    elif t == 19:  # sleep gas: a pale blue cloud with a crescent moon
        vent(s, "ice")
        s.ellipse(16, 10, 3.5, 3.5, "gold2")
        s.ellipse(17.5, 9, 3, 3, "ice1")
    elif t == 20:  # seal gas: a grey-violet cloud with a paper seal
        vent(s, "violet")
        s.rect(13, 6, 20, 16, "bone3")
        s.rect(13, 6, 20, 7, "crimson2")
        s.rect(15, 9, 18, 10, "crimson1")
        s.rect(16, 8, 17, 14, "crimson1")
    elif t == 21:  # summon: a red circle with a rising figure
        yy, xx = np.mgrid[0:32, 0:32] + 0.5
        r = np.hypot(xx - 16, (yy - 17) * 1.4)
        s.px[np.abs(r - 9) < 1] = idx("crimson2")
        s.px[np.abs(r - 6) < 0.6] = idx("crimson1")
        s.ellipse(16, 10, 3, 3, "outline2")
        s.polygon([(11, 21), (13, 13), (19, 13), (21, 21)], "outline2")
        s.put(15, 9, "crimson3")
        s.put(17, 9, "crimson3")
    elif t == 22:  # hunger: an empty bowl and chopsticks
        s.lit_polygon([(7, 15), (25, 15), (22, 22), (10, 22)], "crimson", 0, 2, cy=14)
        s.ellipse(16, 15, 9, 2.2, "outline1")
        s.line(10, 7, 22, 13, "earth3")
        s.line(12, 6, 23, 12, "earth3")
    elif t == 23:  # slowness: a snail
        s.lit_ellipse(18, 15, 6, 6, "earth", 1, 4)
        s.fill_mask(s.spiral(18, 15, 6, 1, 5, 0.16), "earth1")
        s.rect(7, 20, 25, 23, "moss2")
        s.rect(7, 20, 25, 21, "moss3")
        s.rect(8, 15, 10, 20, "moss2")
        s.put(8, 14, "moss3")
        s.put(10, 14, "moss3")
    elif t == 26:  # great boulder
        s.lit_ellipse(16, 15, 11, 10.5, "stone", 1, 4)
        s.line(10, 12, 14, 16, "stone1")
        s.line(18, 20, 22, 17, "stone1")
    elif t == 27:  # the pit, hidden: a trapdoor's faint seams in the plate
        s.rect(8, 8, 24, 24, "stone2")
        for x in range(8, 24, 2):
            s.put(x, 8, "stone1")
            s.put(x + 1, 23, "stone1")
        for y in range(8, 24, 2):
            s.put(8, y, "stone1")
            s.put(23, y + 1, "stone1")
        s.line(8, 8, 23, 23, "stone3")
    elif t == 29:  # the pit, open
        s.rect(6, 6, 26, 26, "outline0")
        s.rect(6, 6, 26, 9, "stone1")
        s.rect(7, 9, 25, 12, "outline2")
        s.rect(8, 12, 24, 26, "outline0")
    return s.outline()


def rock(size, ramp="stone", seed=0):
    s = Sprite(size[0], size[1])
    w, h = size
    s.lit_ellipse(w / 2, h / 2 + 0.5, w / 2 - 2, h / 2 - 2.5, ramp, 1, 4)
    r = np.random.default_rng(seed)
    for _ in range(max(1, w // 10)):
        x, y = r.integers(w // 4, 3 * w // 4), r.integers(h // 4, 3 * h // 4)
        s.line(x, y, x + 2, y + 1, palette.ramp(ramp)[1])
    return s.outline()


def ice_chunk():
    s = Sprite(16, 32)
    s.polygon([(4, 6), (11, 3), (13, 14), (12, 28), (4, 27), (3, 15)], "ice1")
    s.polygon([(4, 6), (11, 3), (8, 15), (3, 15)], "ice2")
    s.line(9, 10, 8, 24, "water3")
    s.put(5, 8, "bone3")
    return s.outline()


def fragment(k):
    s = Sprite(16, 16)
    pts = [[(3, 8), (8, 3), (12, 6), (11, 12), (5, 12)], [(4, 5), (10, 4), (12, 10), (6, 12)]][k]
    s.lit_polygon(pts, "stone", 1, 3)
    return s.outline()


def snap():
    """The binding jaws snapped shut."""
    s = Sprite(32, 32)
    s.lit_ellipse(16, 16, 11, 6, "stone", 1, 4)
    s.rect(5, 15, 27, 17, "outline1")
    for x in range(7, 26, 3):
        s.polygon([(x, 12), (x + 1.5, 16), (x + 3, 12)], "stone4")
        s.polygon([(x + 1.5, 20), (x + 3, 16), (x + 4.5, 20)], "stone3")
    s.rect(14, 21, 18, 27, "stone2")
    for x, y in ((4, 8), (27, 9), (16, 5)):
        s.put(x, y, "bone3")
    return s.outline()


def gust_puff():
    s = Sprite(32, 32)
    for cx, cy, r in ((11, 17, 6), (20, 15, 7), (16, 11, 5), (24, 20, 4.5)):
        s.lit_ellipse(cx, cy, r, r * 0.8, "bone", 1, 3)
    for y, x0 in ((9, 4), (22, 6)):
        for x in range(x0, x0 + 9):
            s.put(x, y + round(math.sin(x / 2)), "ice1")
    return s.outline()


def wall_arrow(d):
    """A bolt shot from a wall in direction d: iron-headed, grey-fletched."""
    dirs = [(0, 1), (-1, 1), (-1, 0), (-1, -1), (0, -1), (1, -1), (1, 0), (1, 1)]
    dx, dy = dirs[d]
    n = math.hypot(dx, dy)
    ux, uy = dx / n, dy / n
    px, py = -uy, ux
    s = Sprite(32, 32)
    s.line(round(16 - 9 * ux), round(16 - 9 * uy), round(16 + 8 * ux), round(16 + 8 * uy), "earth2")
    hx, hy = 16.5 + 9 * ux, 16.5 + 9 * uy
    s.polygon([(hx + 2.5 * ux, hy + 2.5 * uy), (hx - 2 * ux + 3 * px, hy - 2 * uy + 3 * py),
               (hx - 2 * ux - 3 * px, hy - 2 * uy - 3 * py)], "stone3")
    for k in range(3):
        for side in (-1, 1):
            s.put(round(16 - (10 - k) * ux + side * 1.7 * px), round(16 - (10 - k) * uy + side * 1.7 * py), "stone4")
    return s.outline()


def traps_sheet():
    c = Canvas(256, 192)
    for t, (x, y) in TRAP_CELLS.items():
        c.paste(device(t), x, y)
    c.paste(ice_chunk(), 0, 128)
    c.paste(fragment(0), 16, 128)
    c.paste(rock((32, 32), "stone", 1), 32, 128)
    c.paste(rock((16, 16), "earth", 2), 64, 128)
    c.paste(fragment(1), 64, 144)
    c.paste(snap(), 80, 128)
    c.paste(gust_puff(), 112, 128)
    for d in range(8):
        c.paste(wall_arrow(d), 32 * d, 160)
    return c.rgb


def make(image, argument):
    return traps_sheet()
