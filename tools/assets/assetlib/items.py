"""The item classes as 16 x 16 icons (outlined, bodies up to 14 x 14), shared by the common sheet's list
icons, floor and flight sprites, and by the preview's mock screens.

Classes: 1 weapon (katana), 2 shield, 3 arrows, 4 food (onigiri), 5 potion (gourd), 6 scroll (makimono),
7 staff, 8 pen (writing brush), 9 magic stone (magatama), 10 pot, 11 gold (koban), 12 trap, 13 circle.
"""

import numpy as np

from .pixels import Sprite

LEGEND = {
    "w": "bone3", "W": "bone2", "S": "stone4", "s": "stone3", "d": "stone2", "D": "stone1",
    "G": "gold2", "g": "gold1", "Y": "gold3", "o": "gold0",
    "I": "indigo2", "i": "indigo1", "j": "indigo0",
    "E": "earth3", "e": "earth2", "f": "earth1", "F": "earth4",
    "R": "crimson2", "r": "crimson1", "P": "crimson3",
    "k": "outline1", "K": "outline2", "m": "moss1", "M": "moss2", "n": "moss3", "p": "poison2",
    "v": "violet2", "V": "violet3", "u": "violet1", "x": "spirit1", "X": "spirit2", "z": "spirit0",
    "b": "water2", "B": "water3", "c": "ice1", "C": "ice2", "l": "lava2", "L": "lava3",
}

GRIDS = {
    1: """
............wS
...........wSd
..........wSd.
.........wSd..
........wSd...
.......wSd....
......wSd.....
..g..wSd......
..GYGSd.......
...GGg........
..iIgg........
.iIj..........
iIj...........
Ij............""",
    6: """
..............
..............
..rr......rr..
.rPRwwwwwwRPr.
.rRRwwwwwwRRr.
fEfRWwwwwwRfEf
fEfRWWwRWWRfEf
fefRWWWRWWRfef
.rRRWWWRWWRRr.
.rrRdddRdddrr.
..rr...R..rr..
.......R......
......R.R.....
..............""",
    7: """
..........vVv.
.........vCcVv
.........VcvVu
..........uvu.
.........Gg...
........Eg....
.......Ef.....
......Ef......
.....Ef.......
....Ef........
...Ef.........
..Ef..........
.Ef...........
Gg............""",
    8: """
..............
...........kK.
..........kKK.
.........kKk..
........kKk...
.......gGg....
......nMm.....
.....nMm......
....gGg.......
...nMm........
..nMm.........
.nMm..........
nMm...........
Mm............""",
}


def grid_icon(number):
    s = Sprite(16, 16)
    s.grid(GRIDS[number], LEGEND, 1, 1)
    return s.outline()


def shield():
    s = Sprite(16, 16)
    s.lit_ellipse(8, 8, 7, 7, "stone", 1, 4)
    s.lit_ellipse(8, 8, 5.6, 5.6, "earth", 1, 4)
    yy, xx = np.mgrid[0:16, 0:16]
    inner = s.ellipse_mask(8, 8, 5.6, 5.6)
    s.px[inner & ((xx == 5) | (xx == 10))] = s.px[inner & ((xx == 5) | (xx == 10))] * 0 + pix("earth1")
    s.lit_ellipse(8, 8, 2.2, 2.2, "gold", 1, 3)
    s.put(7, 7, "bone3")
    return s.outline()


def onigiri():
    s = Sprite(16, 16)
    s.lit_polygon([(8, 1.5), (14.5, 12.5), (1.5, 12.5)], "bone", 1, 3, r=8)
    s.ellipse(8, 11, 6.5, 3.6, "bone2")
    s.rect(5, 9, 11, 14, "outline2")
    s.rect(5, 9, 6, 14, "moss0")
    s.put(6, 3, "bone3")
    s.put(5, 4, "bone3")
    return s.outline()


def gourd():
    s = Sprite(16, 16)
    s.lit_ellipse(8, 10.5, 5, 4.5, "gold", 0, 3)
    s.lit_ellipse(8, 5, 3.2, 3, "gold", 0, 3)
    s.rect(6, 7, 10, 8, "crimson2")
    s.put(10, 8, "crimson2")
    s.put(11, 9, "crimson1")
    s.rect(7, 1, 9, 3, "earth1")
    s.put(7, 1, "earth2")
    return s.outline()


def magatama():
    s = Sprite(16, 16)
    s.lit_ellipse(7, 6.5, 5, 5, "spirit", 0, 2)
    tail = s.polygon_mask([(2.5, 8), (7, 11.5), (11, 14.5), (7.5, 14.5), (3.5, 12)])
    s.shade(tail, "violet", np.full((16, 16), 0.4), False, 1, 2)
    s.ellipse(7, 6, 1.4, 1.4, "outline1")
    s.put(5, 3, "bone3")
    s.put(4, 4, "bone3")
    return s.outline()


def pot():
    s = Sprite(16, 16)
    s.lit_ellipse(8, 9.5, 6, 5.5, "earth", 0, 3)
    s.rect(5, 2, 11, 5, "earth2")
    s.rect(4, 1, 12, 3, "earth3")
    s.rect(5, 2, 11, 3, "earth1")
    yy, xx = np.mgrid[0:16, 0:16]
    body = s.ellipse_mask(8, 9.5, 6, 5.5)
    s.px[body & (yy == 8)] = pix("crimson1")
    s.put(5, 6, "earth4")
    s.put(4, 7, "earth4")
    return s.outline()


def koban():
    """An oval gold coin standing upright: a rim, hammered lines and two stamps."""
    s = Sprite(16, 16)
    s.ellipse(8, 8, 5.6, 7, "gold1")
    s.lit_ellipse(8, 8, 4.6, 6, "gold", 1, 3, dither=False)
    for y in (4, 6, 10, 12):
        s.rect(5, y, 11, y + 1, "gold1")
    s.rect(6, 7, 10, 10, "gold2")
    s.rect(7, 7, 9, 9, "crimson1")
    s.put(6, 3, "bone3")
    s.put(5, 4, "bone3")
    return s.outline()


def arrow_line(s, tail, head, fletch="crimson2"):
    """A straight arrow: a wooden shaft, a steel head at `head`, feathers at `tail`."""
    from .pixels import line_points

    points = line_points(*tail, *head)
    for x, y in points:
        s.put(x, y, "earth3")
    hx, hy = head
    dx = np.sign(head[0] - tail[0])
    dy = np.sign(head[1] - tail[1])
    for ox, oy, c in ((0, 0, "bone3"), (-dx, 0, "stone4"), (0, -dy, "stone4"), (-dx, -dy, "stone3"),
                      (-2 * dx, 0, "stone2"), (0, -2 * dy, "stone2")):
        s.put(hx + ox, hy + oy, c)
    tx, ty = tail
    for k in range(3):
        s.put(tx + dx * k - dx, ty + dy * k, fletch)
        s.put(tx + dx * k, ty + dy * k - dy, "bone3" if k == 1 else fletch)


def arrows():
    s = Sprite(16, 16)
    arrow_line(s, (2, 10), (10, 2))
    arrow_line(s, (5, 13), (13, 5))
    return s.outline()


def trap_icon():
    s = Sprite(16, 16)
    s.polygon([(8, 1.5), (14.5, 8), (8, 14.5), (1.5, 8)], "stone2")
    s.polygon([(8, 1.5), (14.5, 8), (8, 8), (1.5, 8)], "stone3")
    for x, y in ((8, 4), (5, 8), (11, 8), (8, 11)):
        s.put(x, y, "crimson2")
    s.ellipse(8, 8, 2, 2, "crimson1")
    s.put(7, 7, "crimson3")
    return s.outline()


def circle_icon():
    s = Sprite(16, 16)
    yy, xx = np.mgrid[0:16, 0:16] + 0.5
    r = np.hypot(xx - 8, yy - 8)
    s.px[(r > 5.5) & (r < 7.2)] = pix("violet2")
    s.px[(r > 6.4) & (r < 7.2) & (xx + yy < 16)] = pix("violet3")
    star = s.polygon_mask([(8, 2.5), (9.3, 6.3), (13.3, 6.3), (10, 8.8), (11.3, 12.6), (8, 10.3), (4.7, 12.6),
                           (6, 8.8), (2.7, 6.3), (6.7, 6.3)])
    s.px[star & (r < 5.6)] = pix("spirit2")
    return s.outline()


def pix(name):
    from .pixels import INDEX
    return INDEX[name]


def icon(number):
    """The 16 x 16 icon of an item class."""
    if number in GRIDS:
        return grid_icon(number)
    return {2: shield, 3: arrows, 4: onigiri, 5: gourd, 9: magatama, 10: pot, 11: koban, 12: trap_icon, 13: circle_icon}[number]()
