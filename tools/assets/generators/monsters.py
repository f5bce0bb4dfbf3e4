"""Images 500 + kind, the monster sheets: one per named kind of the monster table, at its letter's frame
size, 7 columns (walk 0, 1, 0, 2; hurt; special pose; attack; shot or follow-through) by 8 directions.

Each species has its own small design below: a rig of simple shapes (assetlib.rig) built for a pose, in
units of the 32-pixel frame, scaled for the small, large and person frames. The ranks of a species share
its rig and differ by one colour rule: rank 0 its natural colours, 1 blue-green, 2 crimson, 3 violet
and gold; from rank 2 a small extra (a horn, a crest) on the head.
"""

import math

import numpy as np

from assetlib import monster_table, rig as rigs
from assetlib.pixels import CLEAR
from assetlib.rig import MONSTER_POSES, Rig

SCALE = {"s": 0.75, "l": 1.25, "p": 1.0}
RANK_MAIN = [None, "water", "crimson", "violet"]
RANK_TRIM = [None, "moss", "crimson", "gold"]
IOU_LIMIT = 0.85


class Colours:
    """The ramps of a species at a rank: main (the body), trim (its second colour), and the extra."""

    def __init__(self, main, trim, rank):
        self.rank = rank
        self.main = main if rank == 0 else RANK_MAIN[rank]
        self.trim = trim if rank == 0 else RANK_TRIM[rank]
        if self.trim == self.main:
            self.trim = "gold" if rank == 3 else "bone"
        self.extra = rank >= 2


def crest(r, c, x, y, z, size=1.0):
    """The rank extra: a small horn from rank 2, gold at rank 3."""
    if c.extra:
        ramp = "gold" if c.rank == 3 else "bone"
        r.limb((x, y, z), (x, y + 3.2 * size, z + 0.8 * size), 1.1 * size, 0.4, ramp=ramp, lo=1, bias=0.2)


def eyes(r, x, y, z, sep, colour="outline0", size=0.7, shine=None):
    for s in (-1, 1):
        r.ball(x + s * sep, y, z, size, flat=colour, bias=0.5)
        if shine:
            r.ball(x + s * sep - 0.3, y + 0.3, z + 0.1, 0.35, flat=shine, bias=0.6)


# ---- body plans shared by several species

def humanoid(P, c, skin="skin", legs=None, height=1.0, width=1.0, head=4.2, robe=0.0, arms=True, hair=None,
             eye="outline0"):
    """A standing person: legs, body, arms, head. Returns the rig and the places of its hands and head."""
    r = Rig()
    k = height
    up = P.bob * 0.7 - P.squash * 1.5
    lean = P.lean * 1.8
    legs = legs or c.trim
    for s in (-1, 1):
        foot_z = P.step * s * 2.4
        r.limb((s * 1.8 * width, 9 * k + up, lean * 0.2), (s * 2.0 * width, 1.2, foot_z), 1.5 * width, 1.3, ramp=legs, lo=0)
    if robe:
        r.ball(0, 7.5 * k + up, lean * 0.4, 5.2 * width * robe, 6.5 * k, 3.8 * robe, ramp=c.main, lo=0, bias=-0.1)
    r.ball(0, 13.5 * k + up, lean * 0.6, 4.3 * width, 5.2 * k, 3.0, ramp=c.main, lo=0)
    hands = []
    if arms:
        for s in (-1, 1):
            attack = P.reach if s == -1 else 0.0
            raise_ = P.raise_ * (1 if s == -1 else 0.6)
            hx = s * (5.2 * width - attack * 2.0)
            hy = (11.5 - P.squash * 2 + raise_ * 9) * k + up
            hz = lean + attack * 5.5 + raise_ * 1.5 - (P.step * s * 1.2 if not P.reach else 0)
            shoulder = (s * 4.0 * width, 16.8 * k + up, lean * 0.7)
            r.limb(shoulder, (hx, hy, hz), 1.3 * width, 1.1, ramp=c.main, lo=0, bias=0.3 if attack else 0)
            r.ball(hx, hy, hz, 1.2, ramp=skin, lo=1, bias=0.35 if attack else 0.05)
            hands.append((hx, hy, hz))
    hy = 21.5 * k + up - P.squash * 0.5 + head * 0.25
    hz = lean * 1.1 - P.squash * 0.6
    r.ball(0, hy, hz, head, head * 0.95, head * 0.9, ramp=skin, lo=0)
    if hair:
        r.ball(0, hy + head * 0.35, hz - head * 0.3, head * 1.02, head * 0.8, head * 0.85, ramp=hair, lo=0, bias=-0.05)
    eyes(r, 0, hy - 0.3, hz + head * 0.85, head * 0.38, eye, 0.65)
    return r, hands, (0, hy, hz, head)


def quadruped(P, c, length=7.0, height=6.0, girth=4.0, head=3.5, leg=1.4, tail=None, snout=1.0, ears=None,
              body=None, belly=None, legs=None):
    """A four-legged beast, its head forwards (+z)."""
    r = Rig()
    body = body or c.main
    up = P.bob * 0.8 - P.squash * 1.5
    lean = P.lean * 1.5
    y = height + girth * 0.3 + up
    for fz, s in ((length * 0.45, 1), (-length * 0.45, -1)):
        for x in (-1, 1):
            swing = P.step * s * x * 1.8
            r.limb((x * girth * 0.55, y - girth * 0.4, fz + lean * 0.3), (x * girth * 0.6, 1.0, fz + swing + lean * 0.2),
                   leg, leg * 0.9, ramp=legs or body, lo=0)
    r.ball(0, y, -length * 0.3 + lean * 0.3, girth, girth * 0.95, girth * 1.1, ramp=body)
    r.ball(0, y + 0.3, length * 0.2 + lean * 0.5, girth * 1.02, girth, girth, ramp=body)
    if belly:
        r.ball(0, y - girth * 0.35, length * 0.25 + lean * 0.5 + girth * 0.5, girth * 0.6, girth * 0.5, 0.8, ramp=belly,
               lo=1, bias=0.1)
    hz = length * 0.55 + lean + P.reach * 2.5
    hy = y + girth * 0.6 + P.raise_ * 2 - P.reach * 1.0
    r.ball(0, hy, hz, head, head * 0.9, head, ramp=body)
    if snout:
        r.ball(0, hy - head * 0.35, hz + head * 0.75, head * 0.45 * snout, head * 0.38 * snout, head * 0.5 * snout,
               ramp=belly or body, lo=1, bias=0.1)
        r.ball(0, hy - head * 0.15, hz + head * (0.75 + 0.5 * snout), 0.55, flat="outline0", bias=0.3)
    if P.open_ > 0.5:
        r.ball(0, hy - head * 0.6, hz + head * 0.8, head * 0.35, head * 0.2, 0.5, flat="crimson1", bias=0.35)
    eyes(r, 0, hy + head * 0.2, hz + head * 0.8, head * 0.42, "outline0", 0.6)
    if ears:
        for s in (-1, 1):
            r.poly([(s * head * 0.35, hy + head * 0.6, hz), (s * head * 0.95, hy + head * 0.5, hz),
                    (s * head * 0.75, hy + head * (0.9 + ears), hz - 0.5)], ramp=body, lo=1)
    if tail:
        tail_ramp, tail_len, tail_r = tail
        r.limb((0, y + 0.5, -length * 0.6), (P.step * 1.2, y + tail_len * 0.8, -length * 0.6 - tail_len * 0.6),
               tail_r, tail_r * 0.6, ramp=tail_ramp)
    return r, (0, hy, hz, head)


def wings(r, P, y, z, span, ramp, lo=0, drop=0.0, thin=False):
    """Two wings from the back, flapping with the pose."""
    lift = P.flap * 3.0
    for s in (-1, 1):
        tip = (s * span, y + 2.0 + lift, z - 1.5)
        r.poly([(s * 1.0, y + 1.0, z - 1.0), tip, (s * span * 0.75, y - 2.5 - drop + lift * 0.5, z - 1.2),
                (s * 1.0, y - 1.5, z - 1.0)], ramp=ramp, lo=lo, bias=-1.5 if not thin else -0.8)


def legs_many(r, P, y, pairs, spread, length, ramp, z0=0.0, dz=2.5, thick=0.7):
    """Insect or spider legs in pairs along z."""
    for i in range(pairs):
        z = z0 + (i - (pairs - 1) / 2) * dz
        for s in (-1, 1):
            swing = P.step * (1 if (i + (s > 0)) % 2 else -1) * 1.2
            knee = (s * (spread + length * 0.5), y + 2.0, z + swing * 0.5)
            r.limb((s * spread * 0.5, y, z), knee, thick, thick, ramp=ramp, lo=0, bias=-0.2)
            r.limb(knee, (s * (spread + length), 1.0, z + swing), thick, thick * 0.7, ramp=ramp, lo=0, bias=-0.2)


def hover(P, base=5.0):
    """The height of a flier above the ground: it bobs as it flies and drops when hit."""
    return base + P.bob * 1.4 + (1 - abs(P.flap)) * 0.6 - P.squash * 1.5


# ---- the species

def s00_merchants(P, c, rank):
    """店主 and the shop's guards: a stout merchant with an abacus; the guards carry a long staff."""
    r, hands, (hx, hy, hz, hr) = humanoid(P, c, legs="indigo", width=1.4, height=0.92, robe=1.15, hair="hair",
                                          head=4.5)
    r.ball(0, 11, 2.6 + P.lean * 1.5, 3.8, 4.5, 0.8, ramp="bone", lo=1, bias=0.2)  # apron
    r.ball(0, hy + 4.0, hz - 0.5, 2.2, 1.6, 1.6, ramp="hair", bias=0.1)  # topknot
    if rank == 0:
        x, y, z = hands[0]
        r.poly([(x - 3, y + 1.5, z + 1), (x + 3, y + 1.5, z + 1), (x + 3, y - 1.5, z + 1), (x - 3, y - 1.5, z + 1)],
               ramp="earth", lo=1, bias=0.5)
        for i in range(4):
            r.ball(x - 2 + 1.4 * i, y, z + 1.2, 0.6, flat="gold2", bias=0.6)
    else:
        x, y, z = hands[0]
        r.limb((x, y - 9, z - 1), (x, y + 12, z + 2 + P.reach * 2), 0.7, 0.7, ramp="earth", lo=1, bias=0.4)
        r.ball(x, y + 12, z + 2 + P.reach * 2, 1.3, ramp="stone", lo=2, bias=0.45)
        crest(r, c, hx, hy + hr * 0.8, hz, 0.9)
    return r


def s01_tanuki(P, c, rank):
    r, (hx, hy, hz, hr) = quadruped(P, c, length=5.5, height=3.5, girth=5.0, head=4.2, leg=1.5, snout=0.8,
                                    ears=0.2, belly="bone", tail=(c.main, 6, 2.2))
    for s in (-1, 1):  # the mask around the eyes
        r.ball(s * 1.7, hy + 0.7, hz + hr * 0.7, 1.3, 1.0, 0.6, flat="hair0", bias=0.3)
        r.ball(s * 1.7, hy + 0.8, hz + hr * 0.85, 0.45, flat="bone3", bias=0.4)
    r.ball(0, hy + hr * 1.0, hz - 0.6, 2.0, 0.8, 2.0, ramp="moss", lo=1, bias=0.2)  # the leaf of a shape-changer
    crest(r, c, hx, hy + hr, hz)
    return r


def s02_mushroom(P, c, rank):
    r = Rig()
    sq = P.squash * 2 - P.raise_ * 1.5
    sway = P.lean * 1.5 + P.step * 0.8
    r.limb((0, 1.5, 0), (sway * 0.5, 11 - sq, sway * 0.4), 3.4, 2.8, ramp="bone", lo=0)
    y = 15 - sq + P.bob * 0.5
    r.ball(sway * 0.6, y, sway * 0.5, 9.0 + P.raise_, 5.5, 7.0, ramp=c.main, lo=0)
    for a in range(5):
        ang = a * 1.3
        r.ball(sway * 0.6 + 5.5 * math.cos(ang), y + 2.5 + 1.2 * math.sin(a), sway * 0.5 + 4.2 * math.sin(ang), 1.3,
               flat="bone3", bias=0.6 if math.sin(ang) > -0.2 else -3)
    # closed, sleeping eyes; open and round in the special pose
    for s in (-1, 1):
        if P.open_ > 0.5 or P.reach > 0.5:
            r.ball(s * 1.4 + sway * 0.4, 7.0 - sq, 2.9, 0.8, flat="outline0", bias=0.5)
        else:
            r.limb((s * 1.4 - 0.8 + sway * 0.4, 7.0 - sq, 2.9), (s * 1.4 + 0.8 + sway * 0.4, 6.8 - sq, 2.9), 0.35,
                   flat="outline0", bias=0.5)
    crest(r, c, sway * 0.6, y + 5, 0)
    return r


def s03_boar(P, c, rank):
    r, (hx, hy, hz, hr) = quadruped(P, c, length=9.0, height=4.5, girth=5.0, head=4.0, leg=1.3, snout=1.3,
                                    ears=0.3, tail=(c.main, 2, 0.7))
    for s in (-1, 1):  # tusks
        r.limb((s * 1.5, hy - hr * 0.5, hz + hr * 0.9), (s * 2.6, hy + 0.6, hz + hr * 1.2), 0.7, 0.4, ramp="bone", lo=2,
               bias=0.5)
    for i in range(4):  # a ridge of bristles
        r.ball(0, hy + hr * 0.3 + 4.2 - i * 0.2, hz - 3 - i * 2.4, 1.4, ramp=c.trim, lo=0, bias=-0.3)
    crest(r, c, hx, hy + hr * 0.8, hz)
    return r


def s04_spider(P, c, rank):
    r = Rig()
    y = 5.0 + P.bob * 0.5 - P.squash * 1.2 + P.raise_ * 1.5
    legs_many(r, P, y, 4, 3.0, 6.0, c.trim, z0=0.5, dz=1.6, thick=0.75)
    r.ball(0, y + 1.6, -3.5 + P.lean, 6.2, 5.3, 5.5, ramp=c.main, lo=0)
    for i in range(3):  # a pale cross on the abdomen
        r.ball(0, y + 5.2, -4.5 + i * 1.6, 1.1, flat="bone2", bias=0.4)
    r.ball(0, y + 0.5, 2.2 + P.lean + P.reach * 1.5, 3.4, 3.0, 3.0, ramp=c.main, lo=0)
    for s in (-1, 1):
        r.limb((s * 1.2, y - 0.5, 4.6 + P.reach * 1.5), (s * 0.7, y - 2.2 - P.open_, 5.2 + P.reach * 2), 0.7, 0.4,
               ramp="bone", lo=1, bias=0.4)
    eyes(r, 0, y + 1.4, 5.0 + P.lean + P.reach * 1.5, 1.0, "crimson3", 0.55)
    eyes(r, 0, y + 2.3, 4.6 + P.lean + P.reach * 1.5, 0.5, "crimson2", 0.45)
    crest(r, c, 0, y + 3.0, 2.2)
    return r


def s05_beckoning_doll(P, c, rank):
    r, hands, (hx, hy, hz, hr) = humanoid(P, c, legs="crimson", height=0.82, width=0.9, head=4.8, robe=1.1,
                                          hair="hair")
    # straight bangs, long black hair to the shoulders
    r.ball(0, hy + 1.2, hz - 0.6, hr * 1.1, hr * 0.9, hr * 0.95, ramp="hair", bias=-0.2)
    r.ball(0, hy + 2.4, hz + 1.8, hr * 0.9, 1.2, 1.5, ramp="hair", lo=0, bias=0.3)
    r.ball(0, 12, 3.0, 2.6, 0.9, 0.6, ramp="gold", lo=1, bias=0.3)  # the obi
    x, y, z = hands[1]  # the beckoning hand, always raised
    wave = 2.0 if P.column in (1, 4, 5) else 0.0
    r.limb((4.0, 14.5, 0), (4.5, 19 + wave, 2.5), 1.1, 1.0, ramp=c.main, bias=0.5)
    r.ball(4.5, 19.6 + wave, 2.8 + wave * 0.4, 1.3, ramp="skin", lo=1, bias=0.6)
    crest(r, c, hx, hy + hr * 0.9, hz, 0.8)
    return r


def s06_vine(P, c, rank):
    r = Rig()
    r.ball(0, 2.5, 0, 6.5, 2.6, 5.0, ramp="earth", lo=0)  # the root mound
    reach = P.reach * 7 + P.raise_ * 2
    for i, (a, h) in enumerate(((-2.5, 15), (2.5, 13), (0, 19))):
        sway = math.sin(i * 2 + P.step * 1.2) * 1.6
        top = (a * 1.3 + sway, h + P.bob * 0.5 - P.squash * 2, (reach if i == 2 else reach * 0.3) + 0.5)
        r.limb((a, 2.5, 0), (a * 0.6 - sway, h * 0.5, 0.5), 1.3, 1.1, ramp=c.main, lo=0)
        r.limb((a * 0.6 - sway, h * 0.5, 0.5), top, 1.1, 0.8, ramp=c.main, lo=0)
        for j in range(2):  # leaves
            lx = a * 0.6 - sway + (1.8 if (i + j) % 2 else -1.8)
            ly = h * (0.4 + 0.3 * j)
            r.ball(lx, ly, 0.8, 1.8, 1.1, 1.0, ramp=c.trim, lo=0, bias=0.2)
        if i == 2:  # the hooked tip that pulls its prey
            r.limb(top, (top[0] + 2.2, top[1] + 0.8, top[2] + 0.5), 0.9, 0.5, ramp=c.main, lo=1)
            r.ball(top[0] + 2.2, top[1] - 0.6, top[2] + 0.6, 1.1, ramp="crimson", lo=2, bias=0.3)
    crest(r, c, 0, 19 + P.bob * 0.5, 0.5)
    return r


def s07_monkey(P, c, rank):
    r = Rig()
    leap = P.reach * 4 + P.raise_ * 2
    up = P.bob - P.squash * 1.2 + leap
    for s in (-1, 1):
        r.limb((s * 2, 7 + up, -1), (s * 3.2, 1.2 + leap * 0.8, 1.5 + P.step * s * 1.5), 1.3, 1.1, ramp=c.main)
    r.ball(0, 9 + up, -0.5, 4.0, 4.4, 3.4, ramp=c.main)
    r.ball(0, 8.5 + up, 2.4, 2.6, 3.0, 0.9, ramp="skin", lo=0, bias=0.2)
    for s in (-1, 1):  # long arms reaching down
        r.limb((s * 3.6, 12 + up, 0), (s * (6.2 + P.raise_ * 1.5), 5 + up + P.raise_ * 9, 1.5 + P.reach * 2),
               1.1, 1.0, ramp=c.main)
    hy = 15.5 + up
    r.ball(0, hy, 0.5, 3.8, 3.6, 3.4, ramp=c.main)
    r.ball(0, hy - 0.5, 2.3, 2.8, 2.4, 1.5, ramp="skin", lo=1, bias=0.2)
    for s in (-1, 1):
        r.ball(s * 4.0, hy + 0.5, 0, 1.4, 1.5, 0.8, ramp="skin", lo=0)
    eyes(r, 0, hy, 3.7, 1.1, "outline0", 0.6)
    r.limb((0, 8 + up, -3), (2.5 * P.step + 3, 17 + up, -5.0), 0.8, 0.6, ramp=c.main, bias=-0.5)  # a curled tail
    r.ball(0, hy + 3.3, -0.2, 2.2, 1.3, 1.8, ramp=c.trim, lo=1)  # a tuft of head fur
    crest(r, c, 0, hy + 3.5, 0)
    return r


def s08_firefly(P, c, rank):
    r = Rig()
    y = hover(P, 8.0)
    glow = "gold" if rank in (0, 3) else c.main
    wings(r, P, y + 1.5, -0.5, 7.0, "ice", lo=1, thin=True)
    r.ball(0, y - 1.5 + (P.raise_ - P.squash), -3.0, 3.6 + P.raise_ * 1.2, 3.4 + P.raise_, 3.6, ramp=glow, lo=2)
    r.ball(0, y + 1.0, 0.6, 2.6, 2.6, 2.8, ramp="hair", lo=0)
    r.ball(0, y + 2.5, 2.6, 2.0, ramp="crimson", lo=1)
    for s in (-1, 1):
        r.limb((s * 0.8, y + 3.8, 3.2), (s * 2.4, y + 6.8, 3.6 + P.reach * 1.5), 0.35, flat="outline1", bias=0.3)
    eyes(r, 0, y + 2.6, 4.3, 0.9, "outline0", 0.5)
    crest(r, c, 0, y + 4.0, 2.4, 0.8)
    return r


def s09_archer(P, c, rank):
    r, hands, (hx, hy, hz, hr) = humanoid(P, c, skin="earth", legs="earth", width=0.95, head=3.9, eye="crimson3")
    r.ball(0, hy + 1.6, hz, hr * 1.9, 1.2, hr * 1.9, ramp="gold", lo=0, bias=0.2)  # a wide straw hat
    r.ball(0, hy + 2.8, hz, hr * 0.9, 1.4, hr * 0.9, ramp="gold", lo=1, bias=0.25)
    for s in (-1, 1):  # the joints of a wooden doll
        r.ball(s * 4.0, 16.5, 0.5, 1.2, ramp="stone", lo=1, bias=0.2)
    x, y, z = hands[0]
    aim = P.column in (5, 6)
    bow_z = z + (2 if aim else 0.5)
    r.limb((x - 0.5, y + 7, bow_z - 1.5), (x - 0.5, y, bow_z + 1.5), 0.6, ramp="crimson", lo=1, bias=0.6)
    r.limb((x - 0.5, y, bow_z + 1.5), (x - 0.5, y - 7, bow_z - 1.5), 0.6, ramp="crimson", lo=1, bias=0.6)
    r.limb((x, y + 7, bow_z - 1.8), (x, y - 7, bow_z - 1.8), 0.2, flat="bone3", bias=0.55)
    if P.column == 5:  # the arrow nocked and drawn
        r.limb((x, y, bow_z - 4), (x, y, bow_z + 4), 0.3, flat="bone2", bias=0.7)
    r.limb((-3.2, 11, -2.8), (-4.5, 21, -3.5), 1.2, 1.2, ramp="earth", lo=0, bias=-1)  # the quiver
    crest(r, c, hx, hy + 3, hz, 0.8)
    return r


def s10_moth(P, c, rank):
    r = Rig()
    y = hover(P, 9.0)
    lift = P.flap * 2.5 + P.raise_ * 2
    for s in (-1, 1):
        r.poly([(s * 1, y + 2, -1), (s * 11.5, y + 6 + lift, -2.0), (s * 10, y - 1 + lift * 0.5, -1.5),
                (s * 1, y - 0.5, -1)], ramp=c.main, lo=0, bias=-2)
        r.poly([(s * 1, y - 0.5, -1), (s * 8, y - 3 + lift * 0.3, -1.5), (s * 4.5, y - 6.5, -1.0),
                (s * 0.8, y - 2.5, -1)], ramp=c.trim, lo=0, bias=-2)
        r.ball(s * 6.5, y + 3 + lift * 0.6, -1.0, 1.6, 1.6, 0.5, ramp="gold" if rank != 3 else "bone", lo=1, bias=-1.2)
        r.ball(s * 6.5, y + 3 + lift * 0.6, -0.9, 0.6, flat="outline0", bias=-1.1)
    r.limb((0, y + 1.5, 0), (0, y - 5, -0.5), 1.8, 1.2, ramp="bone", lo=0)
    r.ball(0, y + 2.5, 1.5, 2.0, ramp="bone", lo=1)
    for s in (-1, 1):
        r.limb((s * 0.6, y + 4, 2), (s * 3.2, y + 7.5, 3), 0.45, 0.6, ramp="earth", lo=2, bias=0.3)
    eyes(r, 0, y + 2.6, 3.3, 0.9, "crimson1", 0.55)
    if P.open_ > 0.5 or P.reach > 0.5:  # the poison scales shaken off
        for i in range(6):
            r.ball(math.cos(i * 1.1) * 6, y - 5 - (i % 3) * 1.5, 1.5, 0.5, flat="poison2", bias=1)
    crest(r, c, 0, y + 4, 1.5, 0.7)
    return r


def s11_slug(P, c, rank):
    r = Rig()
    stretch = P.step * 1.2 + P.reach * 2
    r.ball(0, 2.2, -3.5, 4.0, 2.4, 4.5, ramp=c.main, lo=0)
    r.ball(0, 3.0, 0.5 + stretch * 0.4, 4.3, 3.0, 4.0, ramp=c.main, lo=0)
    hz = 3.8 + stretch
    hy = 5.0 + P.raise_ * 2.5 - P.squash * 1.5
    r.ball(0, hy, hz, 3.3, 3.5, 2.8, ramp=c.main, lo=1)
    for s in (-1, 1):  # eye stalks
        r.limb((s * 1.2, hy + 2, hz), (s * 2.2, hy + 6.0 - P.squash * 2, hz + 0.5), 0.55, 0.45, ramp=c.main, lo=1)
        r.ball(s * 2.2, hy + 6.3 - P.squash * 2, hz + 0.5, 1.0, ramp="bone", lo=2)
        r.ball(s * 2.2, hy + 6.3 - P.squash * 2, hz + 1.3, 0.5, flat="outline0", bias=0.2)
    r.ball(0, 4.5, -1.5, 2.2, 1.0, 2.0, ramp=c.trim, lo=1, bias=0.3)  # shine of slime
    if P.open_ > 0.5 or P.reach > 0.5:
        r.ball(0, hy - 1.5, hz + 3, 1.3, flat="poison2", bias=1)
        r.ball(0, hy - 2.0, hz + 5, 0.9, flat="poison1", bias=1)
    crest(r, c, 0, hy + 2.5, hz - 0.5, 0.7)
    return r


def s12_lantern(P, c, rank):
    r = Rig()
    y = 4.5 + P.bob * 0.8 - P.squash * 1.5
    hop = P.raise_ * 2
    for s in (-1, 1):
        r.limb((s * 2, y, 0), (s * 2.3, 1.2, P.step * s * 2), 0.9, 0.8, ramp="earth", lo=1)
    body = 4.6 + P.open_ * 0.5
    r.ball(0, y + 8 + hop, P.lean, body, 8.0, body * 0.9, ramp="lava", lo=2)
    for k in (-4.5, -1.5, 1.5, 4.5):  # paper ribs
        r.ball(0, y + 8 + hop + k, P.lean + 0.2, body * 0.98 * math.sqrt(1 - (k / 8.2) ** 2), 0.35, 0.1,
               flat="earth1", bias=0.3)
    r.ball(0, y + 16 + hop, P.lean, 3.5, 1.2, 3.2, ramp="outline", lo=1)
    r.ball(0, y + 0.6 + hop, P.lean, 3.5, 1.0, 3.2, ramp="outline", lo=1)
    r.ball(0, y + 6 + hop, P.lean + body * 0.85, 2.2 + P.open_, 1.2 + P.open_ * 1.3, 0.4, flat="crimson1", bias=0.6)
    r.ball(0, y + 6.3 + hop, P.lean + body * 0.9, 1.2, 0.6, 0.2, flat="crimson3", bias=0.65)
    r.ball(-1.9, y + 10 + hop, P.lean + body * 0.8, 1.1, flat="outline0", bias=0.5)
    r.ball(1.9, y + 10 + hop, P.lean + body * 0.8, 0.9, flat="outline0", bias=0.5)
    if rank:  # the higher ranks wear a ring of coloured paper
        r.ball(0, y + 4 + hop, P.lean, body * 1.02, 1.1, body * 0.92, ramp=c.main, lo=1, bias=0.1)
    crest(r, c, 0, y + 17 + hop, P.lean, 0.8)
    return r


def s13_crow(P, c, rank):
    r = Rig()
    y = hover(P, 6.5) if P.column in (1, 2, 4) else 4.5 - P.squash
    for s in (-1, 1):
        r.limb((s * 1.2, y, 0), (s * 1.4, 1.2 if y < 6 else y - 4, 0.8), 0.5, flat="gold1")
    r.ball(0, y + 4, -0.5 + P.lean, 3.8, 4.6, 4.5, ramp="outline", lo=0)
    r.ball(0, y + 4, 2.2 + P.lean, 2.6, 3.4, 1.2, ramp=c.main if rank else "stone", lo=0, hi=2, bias=0.1)
    wings(r, P, y + 5, 0, 7.5 if P.column in (1, 2, 4) else 4.6, "outline", lo=0)
    r.poly([(-1.6, y + 1.5, -4), (1.6, y + 1.5, -4), (0, y - 0.5, -7.5)], ramp="outline", lo=0)
    hy = y + 9.5 + P.raise_
    hz = 1.5 + P.lean * 1.5 + P.reach * 2
    r.ball(0, hy, hz, 2.9, ramp="outline", lo=0)
    r.poly([(-1.0, hy, hz + 2.4), (1.0, hy, hz + 2.4), (0, hy - 1.6 - P.open_, hz + 5.0)], ramp="stone", lo=2, bias=0.5)
    eyes(r, 0, hy + 0.6, hz + 2.4, 1.3, "gold3", 0.5)
    # a coin held in the beak or tossed (it steals gold)
    r.ball(1.6, hy - 2.5 + P.raise_ * 3, hz + 3.6, 1.3, 1.3, 0.4, ramp="gold", lo=1, bias=0.8)
    crest(r, c, 0, hy + 2.4, hz, 0.8)
    return r


def s14_scorpion(P, c, rank):
    r = Rig()
    y = 3.5 + P.bob * 0.4 - P.squash
    legs_many(r, P, y, 3, 3.2, 3.6, c.main, z0=-0.5, dz=2.0, thick=0.65)
    r.ball(0, y + 1, 0.5, 4.0, 2.6, 5.5, ramp=c.main, lo=0)
    for s in (-1, 1):  # claws
        r.limb((s * 2.5, y + 1, 4), (s * 4.5, y + 1.5, 7 + P.reach), 0.9, 0.9, ramp=c.main, lo=1)
        r.ball(s * 4.8, y + 2, 8 + P.reach, 1.9, 1.4, 1.8, ramp=c.main, lo=1, bias=0.2)
    sting = P.reach * 4 + P.raise_ * 2
    pts = [(0, y + 2, -4.5), (0, y + 6, -6.5), (0, y + 11, -5.5 + sting * 0.5), (0, y + 13 - sting * 0.5, -2 + sting)]
    for a, b in zip(pts, pts[1:]):
        r.limb(a, b, 1.4, 1.2, ramp=c.main, lo=0, bias=-0.3)
    r.limb(pts[-1], (0, pts[-1][1] - 2.5, pts[-1][2] + 1.5), 0.9, 0.3, ramp="poison", lo=1, bias=0.2)
    eyes(r, 0, y + 2.2, 5.8, 0.8, "crimson3", 0.45)
    crest(r, c, 0, y + 3, 2.5, 0.7)
    return r


def s15_fox(P, c, rank):
    r, (hx, hy, hz, hr) = quadruped(P, c, length=7.5, height=6.0, girth=3.0, head=3.3, leg=0.8, snout=1.5,
                                    ears=2.0, belly="bone")
    tip = (6.5 + P.step * 1.2, 15.5, -6.0)
    r.limb((0, 8.5, -4.5), tip, 1.8, 3.0, ramp=c.main, lo=1, bias=-0.1)  # the great brush of a tail
    r.ball(tip[0] + 0.5, tip[1] + 2.0, tip[2], 1.8, ramp="bone", lo=2, bias=0.0)
    if P.raise_ > 0.5 or P.column == 6:  # a foxfire of its spell
        r.ball(0, hy + 6, hz + 1, 1.8, 2.4, 1.8, ramp="spirit", lo=1, bias=1)
    crest(r, c, hx, hy + hr * 0.9, hz)
    return r


def s16_rabbit(P, c, rank):
    r = Rig()
    up = P.bob * 1.5 + P.raise_ * 2 - P.squash * 1.5
    r.ball(0, 5.5 + up, -0.8, 5.4, 5.2, 4.8, ramp=c.main, lo=1)
    r.ball(0, 4 + up, 2.4, 2.6, 2.6, 1.5, ramp="bone", lo=2, bias=0.1)
    for s in (-1, 1):
        r.ball(s * 3.0, 1.7 + up * 0.4, 1.0 + P.step * s, 1.9, 1.3, 2.6, ramp=c.main, lo=1, bias=0.2)
    hy = 10.5 + up
    r.ball(0, hy, 1.2 + P.reach * 2, 3.6, 3.3, 3.3, ramp=c.main, lo=1)
    for s in (-1, 1):  # tall ears
        r.limb((s * 1.2, hy + 2.5, 0.5), (s * (2.6 + P.squash * 3), hy + 7.5 - P.squash * 3, -0.6), 1.3, 1.1,
               ramp=c.main, lo=1)
        r.limb((s * 1.2, hy + 3.5, 1.1), (s * (2.6 + P.squash * 3), hy + 6.8 - P.squash * 3, 0.0), 0.5, 0.4,
               ramp="spirit", lo=0, bias=0.1)
    eyes(r, 0, hy + 0.4, 4.1 + P.reach * 2, 1.4, "crimson2", 0.6)
    r.ball(0, hy - 1.3, 4.5 + P.reach * 2, 0.5, flat="spirit0", bias=0.7)
    r.ball(0, 5 + up, -5.0, 1.6, ramp="bone", lo=2, bias=-0.1)
    crest(r, c, 0, hy + 3, 1.2, 0.8)
    return r


def s17_weasel(P, c, rank):
    r, (hx, hy, hz, hr) = quadruped(P, c, length=10.0, height=2.6, girth=2.6, head=2.8, leg=0.8, snout=1.1,
                                    ears=0.2, belly="bone", tail=(c.main, 7, 1.6))
    r.ball(0, hy - 0.2, hz + 0.5, hr * 1.05, 1.0, hr * 1.05, ramp="indigo", lo=0, bias=0.15)  # a thief's kerchief
    r.ball(0, 6.5, -2.5, 2.4, 2.4, 2.0, ramp="bone" if rank else "earth", lo=2, bias=0.5)  # the stolen bundle
    r.limb((-1.5, 8.5, -1.2), (1.5, 8.5, -3.6), 0.4, flat="crimson1", bias=0.6)
    crest(r, c, hx, hy + hr, hz)
    return r


def s18_haniwa(P, c, rank):
    r = Rig()
    sway = P.step * 0.6
    r.ball(0, 3.5, 0, 6.2, 3.4, 5.0, ramp=c.main, lo=1)
    r.limb((0, 4, 0), (sway, 15, 0.5 * P.lean), 5.0, 4.5, ramp=c.main, lo=1)
    for s in (-1, 1):
        lift = (P.raise_ * 6 + P.reach * 3) if s == -1 else P.raise_ * 3
        r.limb((s * 4.5 + sway, 12.5, 0), (s * 6.5 + sway, 13 + lift, 1.5 + P.reach * 2), 1.5, 1.3, ramp=c.main, lo=1)
    hy = 19 - P.squash * 1.5
    r.ball(sway, hy, 0.4, 4.2, 4.2, 3.8, ramp=c.main, lo=1)
    for s in (-1, 1):  # the hollow eyes and mouth of clay
        r.ball(sway + s * 1.6, hy + 0.6, 4.0, 0.9, 0.7, 0.3, flat="earth0", bias=0.5)
    r.ball(sway, hy - 2.0, 4.0, 1.2 + P.open_ * 0.5, 0.9 + P.open_ * 0.6, 0.3, flat="earth0", bias=0.5)
    for s in (-1, 1):  # the side-knots of its hair
        r.ball(sway + s * 4.4, hy - 1.5, 0.4, 1.2, 2.0, 1.2, ramp=c.main, lo=0, bias=0.1)
    if rank:
        r.ball(sway, hy + 4.2, 0.4, 3.8, 1.3, 3.4, ramp=c.trim, lo=1)  # a helmet
    crest(r, c, sway, hy + 4, 0.4)
    return r


def s19_bear(P, c, rank):
    r, hands, (hx, hy, hz, hr) = humanoid(P, c, skin=c.main, legs=c.main, height=0.95, width=1.45, head=4.5)
    r.ball(0, 13.5 + P.bob * 0.7, 2.6 + P.lean * 1.6, 3.2, 3.6, 0.8, ramp="bone", lo=0, bias=0.25)  # the chest moon
    for s in (-1, 1):
        r.ball(s * 3.3, hy + 3.4, hz - 0.3, 1.6, 1.5, 1.0, ramp=c.main, lo=1)
    r.ball(0, hy - 1.5, hz + hr * 0.9, 1.9, 1.4, 1.3, ramp="earth", lo=3, bias=0.3)
    r.ball(0, hy - 0.9, hz + hr * 1.3, 0.7, flat="outline0", bias=0.4)
    for x, y, z in hands:
        for k in (-1, 0, 1):
            r.ball(x + k * 0.7, y - 0.6, z + 1.2, 0.45, flat="bone3", bias=0.5)
    crest(r, c, hx, hy + hr * 0.9, hz)
    return r


def s20_tengu(P, c, rank):
    r, hands, (hx, hy, hz, hr) = humanoid(P, c, skin="crimson", legs="stone", width=0.9, head=3.9, robe=0.9)
    wings(r, P, 16, -1.5, 9.0, "outline", lo=0, drop=3)
    r.limb((0, hy - 0.2, hz + hr * 0.8), (0, hy + 0.4, hz + hr * 0.8 + 3.2), 0.9, 0.6, ramp="crimson", lo=2,
           bias=0.5)  # the long nose
    r.ball(0, hy + 3.6, hz, 1.6, 1.3, 1.3, ramp="outline", lo=0, bias=0.2)  # the tokin cap
    for s in (-1, 1):  # pompoms of the yamabushi sash
        r.ball(s * 1.5, 15.5, 3.2, 0.9, ramp="bone", lo=2, bias=0.3)
    x, y, z = hands[0]  # the staff with its rings
    top = (x, y + 10 + P.raise_ * 2, z + 1.5 + P.reach * 2)
    r.limb((x, y - 9, z - 1), top, 0.55, 0.55, ramp="earth", lo=1, bias=0.5)
    r.ball(*top, 1.6, 1.6, 0.6, ramp="gold", lo=1, bias=0.6)
    crest(r, c, hx, hy + hr, hz, 0.8)
    return r


def s21_straw_doll(P, c, rank):
    r = Rig()
    up = P.bob - P.squash * 1.5
    for s in (-1, 1):
        r.limb((s * 1.5, 8 + up, 0), (s * 2.8, 1.2, P.step * s * 2), 1.0, 0.6, ramp="gold", lo=0)
    r.limb((0, 7 + up, 0), (0, 15 + up, P.lean), 2.8, 2.4, ramp="gold", lo=0)
    arms = 13.5 + up + P.raise_ * 3
    r.limb((-7.5, arms - P.reach * 2, 1 + P.reach * 3), (7.5, arms, 0), 1.0, 1.0, ramp="gold", lo=0, bias=0.1)
    for s in (-1, 1):  # tufts at the ends
        r.poly([(s * 7, arms + 1.5, 0.5), (s * 9.5, arms, 0.5), (s * 7, arms - 1.5, 0.5)], ramp="gold", lo=1, bias=0.1)
    r.limb((0, 11 + up, 2.4 + P.lean), (0, 8 + up, 2.4 + P.lean), 1.6, 1.8, ramp=c.main if rank else "crimson",
           lo=1, bias=0.3)  # a sash
    hy = 19 + up
    r.ball(0, hy, P.lean, 3.6, 4.0, 3.0, ramp="gold", lo=1)
    r.limb((-0.6, hy + 1.5, 3.4 + P.lean), (0.6, hy - 1.5, 2.6 + P.lean), 0.25, flat="outline1", bias=0.5)
    r.limb((0, hy + 4.2, 0), (1.5, hy + 6.5, -1.5), 0.5, 0.3, ramp="gold", lo=0)  # the knot on top
    # the nail through it: its curse
    r.limb((2.2, hy + 0.5, 5.5), (0.6, hy - 0.1, 2.4), 0.35, flat="stone3", bias=0.8)
    r.ball(2.2, hy + 0.5, 5.5, 0.6, flat="stone4", bias=0.85)
    crest(r, c, 0, hy + 3.5, 0, 0.8)
    return r


def s22_shade(P, c, rank):
    r = Rig()
    y = hover(P, 5.0)
    sway = P.step * 1.5
    body = c.main
    r.poly([(-4.5, y + 10, 0), (4.5, y + 10, 0), (3.0 + sway, y, 0.5), (1.2 + sway, y - 3.5, 0.5),
            (-1.0 + sway, y - 1.0, 0.5), (-2.8 + sway, y - 4.0, 0.5), (-3.5 + sway * 0.5, y + 1, 0.5)],
           ramp="outline", lo=1)
    r.ball(0, y + 11.5 + P.raise_, P.lean, 5.0, 5.2, 4.2, ramp="outline", lo=1)
    r.ball(0, y + 12 + P.raise_, P.lean + 1.5, 3.6, 3.6, 2.6, ramp=body, lo=0, hi=1, bias=0.1)
    for s in (-1, 1):  # hollow glowing eyes
        r.ball(s * 1.6, y + 12.5 + P.raise_, P.lean + 4.1, 1.0, 0.8, 0.3, flat="spirit2", bias=0.5)
    r.ball(0, y + 10 + P.raise_, P.lean + 4.1, 0.7 + P.open_ * 0.4, 0.9 + P.open_ * 0.9, 0.3, flat="spirit0",
           bias=0.5)
    for s in (-1, 1):  # trailing arms
        r.limb((s * 4.2, y + 8.5, 0.5), (s * (6.5 - P.reach * 2), y + 3.5 + P.raise_ * 7, 1.5 + P.reach * 4),
               1.1, 0.5, ramp="outline", lo=1)
    crest(r, c, 0, y + 16, P.lean, 0.8)
    return r


def s23_mosquito(P, c, rank):
    r = Rig()
    y = hover(P, 9.5)
    for s in (-1, 1):
        for k in (-1, 1):  # long thin legs
            r.limb((s * 0.8, y, k * 1.0), (s * 4.5, 1.5 + (y - 9.5), k * 3.0 + P.step * s), 0.35, flat="outline1",
                   bias=-0.3)
    wings(r, P, y + 2, -0.5, 8.0, "ice", lo=1, thin=True)
    r.limb((0, y + 1, -0.5), (0, y + 0.5 - P.open_ * 1.5, -6.0), 1.9 + P.open_ * 0.8, 1.0 + P.open_ * 1.2,
           ramp=c.main, lo=0, bias=-0.2)  # the abdomen, swollen with blood when it drains
    for k in (2.0, 4.0):
        r.ball(0, y + 0.8, -k, 0.5, 0.4, 0.4, flat="bone2", bias=0.0)
    r.ball(0, y + 2.0, 1.2, 2.2, ramp=c.main, lo=1)
    r.ball(0, y + 3.0, 3.5, 1.7, ramp=c.main, lo=1)
    eyes(r, 0, y + 3.6, 4.8, 0.9, "crimson2", 0.6)
    r.limb((0, y + 2.4, 5), (0, y - 2.5 - P.reach * 1.5, 6.5 + P.reach * 3), 0.35, flat="outline0", bias=0.5)
    crest(r, c, 0, y + 4.5, 3.5, 0.7)
    return r


def s24_fire_child(P, c, rank):
    r = Rig()
    y = hover(P, 3.5)
    flicker = [0, 1.5, -1.2, 0.8, 2.0, -1.5, 1.0][P.column]
    fire = "lava" if rank in (0, 2) else c.main
    r.poly([(-4.5, y + 4, 0), (-2.5 + flicker * 0.5, y + 14 + P.raise_ * 3, 0), (0, y + 9, 0),
            (2.0 + flicker * 0.4, y + 16 + P.raise_ * 3, 0), (3.0, y + 9, 0), (5.0 - flicker * 0.5, y + 12, 0),
            (4.5, y + 3, 0), (0, y - 0.5, 0)], ramp=fire, lo=1)
    r.ball(0, y + 4.5, 0.5, 4.8, 4.5, 4.0, ramp=fire, lo=2)
    r.ball(0, y + 4.0, 1.2, 3.0, 2.8, 2.5, ramp="lava" if rank != 1 else "ice", lo=3, bias=0.1)
    eyes(r, 0, y + 5.0, 4.3, 1.3, "outline0", 0.65)
    r.ball(0, y + 2.5, 4.3, 1.0 + P.open_ * 0.5, 0.5 + P.open_ * 0.8, 0.3, flat="outline1", bias=0.5)
    crest(r, c, 0, y + 8.5, 0, 0.8)
    return r


def s25_oni(P, c, rank):
    r, hands, (hx, hy, hz, hr) = humanoid(P, c, skin="earth" if rank == 0 else c.main, legs="gold", height=1.05,
                                          width=1.3, head=4.3, hair="hair")
    r.ball(0, 8.5 + P.bob * 0.7, P.lean * 0.4, 4.8, 2.6, 3.4, ramp="gold", lo=1, bias=0.1)  # tiger-skin loincloth
    for k in (-2, 0, 2):
        r.ball(k, 8.5 + P.bob * 0.7, P.lean * 0.4 + 3.2, 0.4, 1.6, 0.2, flat="outline1", bias=0.3)
    for s in (-1, 1):  # horns
        r.limb((s * 1.8, hy + hr * 0.7, hz), (s * 2.6, hy + hr * 0.7 + 3.2, hz + 0.5), 1.0, 0.35, ramp="bone", lo=1,
               bias=0.2)
    r.ball(0, hy - 2.0, hz + hr * 0.85, 1.4 + P.open_, 0.5 + P.open_ * 0.7, 0.3, flat="outline0", bias=0.5)
    if P.reach > 0.5 or P.column == 4:  # grabbing with both hands
        for s in (-1, 1):
            r.ball(s * 2.4, 13, 6.5, 1.6, ramp="skin" if not rank else c.main, lo=1, bias=0.8)
    crest(r, c, hx, hy + hr, hz - 1.5, 0.9)
    return r


def s26_conch(P, c, rank):
    r = Rig()
    y = 1.5 + P.bob * 0.3
    tilt = P.raise_ * 3 - P.squash * 1.5 + P.step * 1.0
    for i in range(5):  # the spiral of the shell, narrowing upwards
        rr = 6.5 - i * 1.2
        r.ball(0.4 * i + P.step * 0.35 * i, y + 4 + i * 3.0 + tilt * i * 0.2, -1.5 + i * 0.4, rr, 2.4, rr * 0.9, ramp=c.main, lo=1,
               bias=i * 0.02)
        r.ball(0.4 * i + rr * 0.5, y + 4 + i * 3.0 + tilt * i * 0.2, -1.5 + i * 0.4 + rr * 0.5, 0.6, flat="earth1",
               bias=0.3)
    r.ball(0, y + 16.8 + tilt, 0.3, 0.9, 1.6, 0.9, ramp=c.trim, lo=1)
    r.ball(0, y + 4, 3.5 + P.open_ * 1.5, 4.0 + P.open_ * 0.8, 3.6 + P.open_ * 0.8, 1.0, ramp="spirit", lo=0, bias=0.4)
    r.ball(0, y + 4, 4.2 + P.open_ * 1.5, 2.2, 2.0, 0.8, flat="crimson0", bias=0.5)
    for s in (-1, 1):
        r.limb((s * 2.5, y + 2, 4.2), (s * 3.2, y + 4.5, 6.0), 0.55, 0.5, ramp="bone", lo=1, bias=0.5)
        r.ball(s * 3.2, y + 5.0, 6.0, 0.8, flat="outline0", bias=0.6)
    crest(r, c, 0.4 * 4, y + 17, 0.1, 0.8)
    return r


def s27_crab(P, c, rank):
    r = Rig()
    y = 4.0 + P.bob * 0.5 - P.squash
    legs_many(r, P, y, 3, 5.0, 4.5, c.main, z0=-1.0, dz=2.0, thick=0.8)
    r.ball(0, y + 1.5, -0.5, 7.5, 3.5, 5.5, ramp=c.main, lo=0)
    r.ball(0, y + 3.5, -0.8, 5.0, 1.5, 4.0, ramp=c.main, lo=1, bias=0.05)
    for s in (-1, 1):
        big = 1.3 if s == 1 else 1.0
        open_ = P.open_ + P.reach
        r.limb((s * 5.5, y + 1.5, 3), (s * 6.5, y + 4 + P.raise_ * 4, 6 + P.reach * 2), 1.0, 1.0, ramp=c.main, lo=0)
        r.ball(s * 6.5, y + 6 + P.raise_ * 4, 6.5 + P.reach * 2, 2.5 * big, 2.0 * big, 1.8, ramp=c.main, lo=1, bias=0.2)
        r.poly([(s * 5.5, y + 7.5 + P.raise_ * 4, 6.5 + P.reach * 2),
                (s * (6.0 + open_ * 1.5), y + 11 + P.raise_ * 4, 6.5 + P.reach * 2),
                (s * 7.5, y + 7.5 + P.raise_ * 4, 6.5 + P.reach * 2)], ramp=c.main, lo=1, bias=0.25)
    for s in (-1, 1):
        r.limb((s * 1.5, y + 4, 4), (s * 1.8, y + 6.5, 4.5), 0.4, flat="outline1", bias=0.3)
        r.ball(s * 1.8, y + 6.8, 4.5, 0.8, flat="outline0", bias=0.4)
    crest(r, c, 0, y + 4.5, 0, 0.9)
    return r


def s28_bomb(P, c, rank):
    r = Rig()
    y = 5.5 + P.bob - P.squash * 1.5 + P.raise_ * 1.5
    swell = P.open_ * 0.8 - P.squash * 0.5
    shell = "outline" if rank == 0 else c.main
    r.ball(0, y + 4, 0, 6.2 + swell, 6.0 + swell, 6.0, ramp=shell, lo=1)
    r.ball(-2, y + 6.5, 2.5, 1.6, 1.1, 0.8, ramp="stone", lo=3, bias=0.2)
    r.limb((0, y + 10, 0), (1.5, y + 12.5, -0.5), 1.1, 0.9, ramp="earth", lo=1)  # the fuse
    spark = [0, 1, -1, 0.5, 1.5, -0.5, 1][P.column]
    r.ball(1.8 + spark * 0.3, y + 13.8 + abs(spark) * 0.3, -0.5, 1.8, 1.8, 1.0, ramp="lava", lo=2, bias=0.3)
    eyes(r, 0, y + 4.5, 5.8, 1.8, "lava3", 0.8)
    r.limb((-1.6, y + 2.5, 5.9), (1.6, y + 2.5 - P.open_, 5.9), 0.4, flat="lava2", bias=0.5)
    for s in (-1, 1):  # stubby feet
        r.ball(s * 2.5, 1.6, 1 + P.step * s * 1.5, 1.8, 1.1, 1.8, ramp="outline", lo=1)
    crest(r, c, 0, y + 9.5, -2, 0.8)
    return r


def s29_armour(P, c, rank):
    r, hands, (hx, hy, hz, hr) = humanoid(P, c, skin="outline", legs="stone", width=1.1, head=3.6, eye="lava3")
    for s in (-1, 1):  # the broad shoulder guards
        r.ball(s * 5.4, 16.5 + P.bob * 0.7, P.lean * 0.7, 2.6, 2.0, 2.6, ramp=c.main, lo=1, bias=0.2)
    for k in range(3):  # the laced plates of the skirt
        r.ball(0, 9.5 - k * 1.5 + P.bob * 0.7, P.lean * 0.4, 5.0 + k * 0.4, 0.9, 3.6, ramp=c.main, lo=1 if k % 2 else 0,
               bias=0.1)
    r.ball(0, hy + 1.5, hz - 0.3, hr * 1.15, hr * 0.8, hr * 1.1, ramp=c.main, lo=1, bias=0.1)  # the helmet
    r.poly([(-3.5, hy + 2, hz + 2.0), (0, hy + 2.5, hz + 3.5), (3.5, hy + 2, hz + 2.0), (4.5, hy + 6, hz + 1.5),
            (0, hy + 3.6, hz + 2.5), (-4.5, hy + 6, hz + 1.5)], ramp="gold", lo=1, bias=0.4)  # the crest
    for (x, y, z), up in zip(hands, (1, -1)):  # two swords for its dance
        tip = (x + up * 2 + P.raise_ * up * 3, y + 9 * (1 if up > 0 or P.raise_ else 0.2), z + 2 + P.reach * 3)
        r.limb((x, y, z), tip, 0.55, 0.35, ramp="ice", lo=0, bias=0.6)
    return r


def s30_thunder_beast(P, c, rank):
    r, (hx, hy, hz, hr) = quadruped(P, c, length=8.0, height=4.0, girth=4.0, head=3.4, leg=1.3, snout=1.4,
                                    ears=0.6, belly="bone")
    for i in range(4):  # a crackling mane along its back
        r.poly([(-1.2, 10.5, 3 - i * 2.4), (0.3, 14.5 - i * 0.6, 2 - i * 2.4), (1.2, 10.5, 2.5 - i * 2.4)],
               ramp="gold", lo=2, bias=0.1)
    zig = [(0, 8, -6), (-4.5, 12, -7.5), (-1.5, 14, -8), (-5.5, 19, -9)]
    for a, b in zip(zig, zig[1:]):
        r.limb(a, b, 0.9, 0.9, ramp="gold", lo=2, bias=-0.5)
    if P.raise_ > 0.5:
        r.ball(0, hy + 7, hz, 1.7, 2.2, 1.7, ramp="gold", lo=2, bias=1)
    crest(r, c, hx, hy + hr * 0.9, hz)
    return r


def s31_puppeteer(P, c, rank):
    r, hands, (hx, hy, hz, hr) = humanoid(P, c, skin="bone", legs="outline", width=1.0, head=3.8, robe=1.2,
                                          hair="hair")
    r.ball(0, hy + 3.5, hz - 0.8, 2.3, 2.6, 2.0, ramp="hair", bias=0.1)  # a tall bun
    r.limb((-2.5, hy + 5.5, hz - 0.8), (2.5, hy + 5.5, hz - 0.8), 0.4, flat="crimson2", bias=0.2)
    x, y, z = hands[0]
    cross_y = 30 + P.raise_ * 1.5
    r.limb((x, y, z), (x + 0.5, cross_y - 2.5, z + 1), 1.1, 1.0, ramp=c.main, lo=1, bias=0.5)  # the raised arm
    r.limb((x - 4, cross_y, z + 1), (x + 4, cross_y, z + 1), 0.6, ramp="earth", lo=2, bias=0.6)  # the control bar
    r.limb((x + 0.5, cross_y + 2, z + 1), (x + 0.5, cross_y - 3, z + 1), 0.6, ramp="earth", lo=1, bias=0.6)
    dx = 2.0 + P.step * 0.7
    for s in (-1, 1):  # strings down to a small puppet at its feet
        r.limb((x + s * 4, cross_y, z + 1), (x + s * 1.0 + dx, 7, z + 3), 0.12, flat="bone3", bias=0.55)
    r.ball(x + dx, 6.0 + P.bob, z + 3.2, 1.7, 2.4, 1.2, ramp="crimson", lo=1, bias=0.7)
    r.ball(x + dx, 9.5 + P.bob, z + 3.2, 1.4, ramp="skin", lo=1, bias=0.7)
    crest(r, c, hx, hy + hr + 1, hz, 0.8)
    return r


def s32_skeleton(P, c, rank):
    r = Rig()
    up = P.bob * 0.7 - P.squash * 2
    lean = P.lean * 1.8
    bone = "bone"
    for s in (-1, 1):
        r.limb((s * 1.6, 10 + up, lean * 0.2), (s * 3.2, 1.2, P.step * s * 2.4), 0.8, 0.7, ramp=bone, lo=1)
    r.ball(0, 10 + up, lean * 0.3, 3.0, 1.6, 2.0, ramp=bone, lo=1)  # the pelvis
    r.limb((0, 10 + up, lean * 0.3), (0, 17 + up, lean * 0.7), 0.6, ramp=bone, lo=1)
    for k in range(3):  # ribs
        r.ball(0, 16.5 - k * 1.6 + up, lean * 0.65, 3.6 - k * 0.4, 0.55, 2.3, ramp=bone, lo=1, bias=0.05)
    hands = []
    for s in (-1, 1):
        attack = P.reach if s == -1 else 0.0
        hx, hy_, hz_ = s * (5 - attack * 2), 11 + P.raise_ * 9 * (s == -1) + up, lean + attack * 5.5
        r.limb((s * 3.6, 17 + up, lean * 0.7), (hx, hy_, hz_), 0.6, 0.55, ramp=bone, lo=1, bias=0.3 if attack else 0)
        hands.append((hx, hy_, hz_))
    if rank >= 1:  # a cuirass from the second rank
        r.ball(0, 15 + up, lean * 0.6, 3.8, 3.0, 2.5, ramp=c.main, lo=0, bias=0.1)
    hy, hz = 21.5 + up, lean * 1.1
    r.ball(0, hy, hz, 3.9, 3.8, 3.5, ramp=bone, lo=1)
    r.ball(0, hy - 2.5, hz + 1.0, 2.4, 1.5, 2.3, ramp=bone, lo=1, bias=0.05)
    for s in (-1, 1):
        r.ball(s * 1.5, hy + 0.1, hz + 3.0, 1.1, 1.2, 0.5, flat="outline0", bias=0.4)
        r.ball(s * 1.5, hy + 0.1, hz + 3.4, 0.4, flat="crimson3" if rank else "outline1", bias=0.5)
    x, y, z = hands[0]  # a long notched sword, held up beside it
    r.limb((x, y, z), (x - 2.5 - 1.5 * P.raise_, y + 16 - P.reach * 10, z + 2.5 + P.reach * 7), 0.8, 0.5, ramp="stone",
           lo=2, bias=0.6)
    r.limb((x - 1.5, y + 1, z), (x + 1.5, y + 1, z), 0.5, ramp="gold", lo=1, bias=0.65)
    if c.extra:
        r.poly([(-3, hy + 3.5, hz), (0, hy + 6.5 + c.rank, hz - 0.5), (3, hy + 3.5, hz)],
               ramp="gold" if c.rank == 3 else "crimson", lo=1, bias=0.2)
    return r


def s33_dragon(P, c, rank):
    r, (hx, hy, hz, hr) = quadruped(P, c, length=9.0, height=5.5, girth=5.0, head=4.3, leg=1.6, snout=1.4,
                                    tail=(c.main, 9, 2.2), belly="gold")
    wings(r, P, 16, -2.0, 11.0, c.trim, lo=1, drop=2)
    for s in (-1, 1):
        r.limb((s * 1.6, hy + hr * 0.6, hz - 1), (s * 2.6, hy + hr * 0.6 + 3.2, hz - 3.5), 0.9, 0.4, ramp="bone", lo=2)
    for i in range(4):
        r.poly([(0, 11 + 0.3 * i, -5 + i * 3), (0, 13.5 + 0.3 * i, -5.5 + i * 3), (0, 11 + 0.3 * i, -3.5 + i * 3)],
               ramp="gold", lo=1, bias=-0.1)
    if P.open_ > 0.5 or P.column == 4:  # breath
        for k in range(3):
            r.ball(0, hy - 1.5, hz + hr + 1.5 + k * 2.5, 1.4 + k * 0.7, ramp="lava", lo=2, bias=1 + k)
    return r


def s34_mochi(P, c, rank):
    r = Rig()
    sq = P.squash * 1.5 - P.raise_ * 1.5 + abs(P.step) * 0.8
    body = "bone" if rank == 0 else c.main
    r.ball(0, 5.0 - sq * 0.6, 0, 8.0 + sq, 5.0 - sq, 7.0 + sq * 0.5, ramp=body, lo=1)
    r.ball(P.step * 1.2, 9.0 - sq * 1.2, -0.5, 5.0 + sq * 0.5, 3.5 - sq * 0.5, 4.5, ramp=body, lo=1, bias=0.1)
    r.ball(-2.5, 10 - sq, 2.0, 1.5, 0.9, 0.8, flat="bone3", bias=0.3)
    for s in (-1, 1):
        r.ball(s * 2.2, 6.5 - sq * 0.8, 6.4 + sq * 0.3, 0.65, 0.9, 0.3, flat="outline0", bias=0.5)
        r.ball(s * 3.6, 5.2 - sq * 0.8, 6.0 + sq * 0.3, 0.9, 0.5, 0.3, flat="spirit0", bias=0.5)
    r.ball(0, 5.0 - sq * 0.8, 6.6, 0.7 + P.open_ * 0.3, 0.4 + P.open_ * 0.4, 0.2, flat="outline1", bias=0.5)
    if rank:  # a leaf or a tangerine on top marks the higher mochi
        r.ball(0, 13.2 - sq * 1.4, -0.5, 1.8, 1.3, 1.8, ramp="lava" if rank == 3 else "moss", lo=1, bias=0.2)
    crest(r, c, 1.5, 12.5 - sq, 0, 0.8)
    return r


def s35_beetle(P, c, rank):
    r = Rig()
    y = 3.0 + P.bob * 0.4 - P.squash
    legs_many(r, P, y, 3, 3.5, 3.0, "outline", z0=0, dz=2.6, thick=0.7)
    r.ball(0, y + 3.0, -1.5, 5.6, 4.6, 6.4, ramp=c.main, lo=0)
    r.limb((0, y + 7.5, -6), (0, y + 7.5, 3), 0.25, flat="outline0", bias=0.3)  # the line between wing cases
    r.ball(-2, y + 6.0, 0, 1.6, 1.0, 2.0, ramp=c.main, lo=2, bias=0.2)
    r.ball(0, y + 3.2, 4.2 + P.reach, 3.4, 2.8, 2.4, ramp="outline", lo=1)
    horn = 1.0 + P.raise_ * 0.3
    r.limb((0, y + 4, 6.0 + P.reach), (0, y + 10 * horn, 8.0 + P.reach * 2), 1.1, 0.7, ramp=c.main, lo=1, bias=0.3)
    r.limb((0, y + 10 * horn, 8 + P.reach * 2), (0, y + 11.5 * horn, 6.5 + P.reach * 2), 0.7, 0.4, ramp=c.main, lo=1,
           bias=0.35)
    eyes(r, 0, y + 3.5, 6.4 + P.reach, 1.6, "gold2", 0.5)
    crest(r, c, 0, y + 7.0, -2, 0.8)
    return r


def s36_snow_girl(P, c, rank):
    r, hands, (hx, hy, hz, hr) = humanoid(P, c, skin="bone", legs="ice", width=0.95, head=3.9, robe=1.3,
                                          hair="hair", eye="water0")
    for s in (-1, 1):  # long straight hair falling past the shoulders
        r.limb((s * 3.0, hy, hz - 1.0), (s * 3.6, hy - 9, hz - 1.5), 1.5, 1.2, ramp="hair", lo=0, bias=-0.3)
    r.ball(0, hy - 1, hz - 2.5, 3.8, 5, 1.5, ramp="hair", lo=0, bias=-0.5)
    r.ball(0, 12.5, 3.0, 2.4, 0.8, 0.6, ramp="ice", lo=1, bias=0.3)  # the obi
    r.poly([(0, hy + 7.5, hz - 0.5), (-7.0, hy - 7.5, hz - 1.5), (-4.2, hy - 1, hz + 2.5), (0, hy + 4.5, hz + 3.0),
            (4.2, hy - 1, hz + 2.5), (7.0, hy - 7.5, hz - 1.5)], ramp="gold", lo=0, hi=2, bias=-0.6)  # a straw hood
    if P.raise_ > 0.5 or P.reach > 0.5:  # a breath of cold
        for k in range(3):
            r.ball(-1 + k * 1.3, hy - 2 + k * 0.5, hz + 5 + k * 2, 0.9 + k * 0.3, ramp="ice", lo=1, bias=1)
    crest(r, c, hx, hy + hr, hz, 0.8)
    return r


def s37_snowman(P, c, rank):
    r = Rig()
    sway = P.step * 0.8 + P.lean
    snow = "ice" if rank == 0 else c.main
    r.ball(0, 5.5, 0, 6.8, 5.5, 6.0, ramp=snow, lo=0 if rank else 1)
    r.ball(sway * 0.5, 13.5 - P.squash * 2, 0, 4.8, 4.2, 4.4, ramp=snow, lo=0 if rank else 1)
    r.ball(sway * 0.5, 17.0 - P.squash * 2, -0.2, 4.2, 1.6, 4.0, ramp="crimson" if rank != 2 else "earth", lo=1,
           bias=0.2)  # a bucket hat
    for s in (-1, 1):
        r.ball(sway * 0.5 + s * 1.6, 14.2 - P.squash * 2, 4.4, 0.7, flat="outline0", bias=0.5)
        r.limb((s * 5.5, 9, 0), (s * (9.0 - P.reach * 2), 11.5 + P.raise_ * 4, 1.5 + P.reach * 3), 0.45, 0.3,
               ramp="earth", lo=1)  # twig arms
    r.ball(sway * 0.5, 12.6 - P.squash * 2, 4.6, 0.7, 0.5, 1.2, ramp="lava", lo=2, bias=0.6)
    for k in (7.5, 4.5):
        r.ball(0, k, 5.9, 0.6, flat="outline1", bias=0.5)
    crest(r, c, sway * 0.5, 18, 0, 0.8)
    return r


def s38_kappa(P, c, rank):
    r, hands, (hx, hy, hz, hr) = humanoid(P, c, skin=c.main, legs=c.main, height=0.78, width=1.35, head=4.6)
    r.ball(0, 14 + P.bob * 0.7, -3.0 + P.lean * 0.5, 4.8, 5.0, 2.2, ramp="earth", lo=1, bias=-0.5)  # the shell
    for k in (-1.5, 1.5):
        r.ball(k, 14 + P.bob * 0.7, -4.8 + P.lean * 0.5, 1.5, 1.5, 0.5, ramp="earth", lo=3, bias=-0.4)
    r.ball(0, hy + hr * 0.85, hz, hr * 0.95, 0.9, hr * 0.95, ramp="ice", lo=1, bias=0.2)  # the dish of water
    for k in range(8):  # a fringe of hair around the dish
        a = k * math.pi / 4
        r.ball(hr * math.cos(a) * 0.95, hy + hr * 0.55, hz + hr * 0.95 * math.sin(a), 0.9, ramp="hair", lo=0,
               bias=0.1 if math.sin(a) > 0 else -0.1)
    r.poly([(-1.4, hy - 1.0, hz + hr * 0.85), (1.4, hy - 1.0, hz + hr * 0.85), (0, hy - 2.8, hz + hr * 1.3)],
           ramp="gold", lo=2, bias=0.5)  # the beak
    if P.open_ > 0.5 or P.reach > 0.5:  # a spout of water
        for k in range(3):
            r.ball(0, hy - 2 - k * 0.4, hz + hr + 2 + k * 2.4, 0.9 + k * 0.3, ramp="water", lo=2, bias=1 + k)
    crest(r, c, hx + 1.5, hy + hr, hz, 0.7)
    return r


def s39_jizo(P, c, rank):
    r = Rig()
    sway = P.step * 0.5
    r.ball(0, 2.5, 0, 6.0, 2.6, 5.0, ramp="stone", lo=0)  # the lotus base
    r.limb((0, 4, 0), (sway, 12, 0.5), 5.2, 4.2, ramp=c.main, lo=0)
    r.ball(0, 14, 3.0, 4.6, 2.4, 1.8, ramp="crimson", lo=1, bias=0.2)  # the red bib
    hy = 19 - P.squash * 1.2
    r.ball(sway, hy, 0.5, 4.4, 4.4, 4.0, ramp=c.main, lo=1)
    for s in (-1, 1):  # closed, kind eyes
        r.limb((sway + s * 1.6 - 0.8, hy + 0.2, 4.4), (sway + s * 1.6 + 0.8, hy + 0.2, 4.4), 0.3, flat="outline1",
               bias=0.5)
    x = -3.5 if P.column != 4 else -2.0
    r.limb((x, 12, 3.5), (x - 0.5, 12 + 10 + P.raise_ * 2, 3.0), 0.5, ramp="earth", lo=2, bias=0.6)  # the ringed staff
    r.ball(x - 0.5, 23 + P.raise_ * 2, 3.0, 1.6, 1.8, 0.6, ramp="gold", lo=1, bias=0.7)
    if P.raise_ > 0.5:  # the glow of healing
        r.ball(x - 0.5, 23 + P.raise_ * 2, 3.5, 0.8, flat="moss3", bias=0.8)
    if rank >= 1:
        r.ball(sway, hy + 3.8, 0.5, 3.2, 1.2, 3.0, ramp=c.trim if rank != 1 else "moss", lo=1, bias=0.1)  # a hat of moss
    crest(r, c, sway, hy + 4, 0.5, 0.8)
    return r


def s40_leech(P, c, rank):
    r = Rig()
    wave = P.step
    pts = [(wave * 0.8, 2.2, -6.5), (-wave * 0.8, 2.6, -3.0), (wave * 0.6, 3.0, 0.5),
           (0, 3.5 + P.raise_ * 5, 3.5 + P.reach * 3), (0, 4.5 + P.raise_ * 8, 5.5 + P.reach * 5)]
    radii = [3.2, 4.0, 4.3, 3.7, 3.0]
    for (x, y, z), rr in zip(pts, radii):
        r.ball(x, y, z, rr, rr * 0.8, rr, ramp=c.main, lo=0)
        r.ball(x, y + rr * 0.55, z, rr * 0.6, 0.35, rr * 0.5, flat="outline1", bias=0.05)
    x, y, z = pts[-1]
    r.ball(x, y, z + 2.2, 1.8 + P.open_ * 0.4, 1.8 + P.open_ * 0.4, 0.4, flat="crimson1", bias=0.3)
    r.ball(x, y, z + 2.5, 0.9, flat="outline0", bias=0.35)
    r.ball(0, 0.9, 0, 7.5, 0.8, 6.0, ramp="water", lo=1, bias=-5)  # the puddle it lurks in
    crest(r, c, x, y + 2, z - 0.5, 0.7)
    return r


def s41_keeper(P, c, rank):
    """倉庫番: ルゥナ, the storehouse keeper, as in her portrait."""
    from assetlib import people

    return people.luna_rig(P)


SPECIES = {
    0: (s00_merchants, "indigo", "earth"), 1: (s01_tanuki, "earth", "hair"), 2: (s02_mushroom, "earth", "bone"),
    3: (s03_boar, "earth", "hair"), 4: (s04_spider, "hair", "stone"), 5: (s05_beckoning_doll, "lava", "gold"),
    6: (s06_vine, "moss", "poison"), 7: (s07_monkey, "earth", "gold"), 8: (s08_firefly, "gold", "hair"),
    9: (s09_archer, "earth", "stone"), 10: (s10_moth, "bone", "earth"), 11: (s11_slug, "poison", "moss"),
    12: (s12_lantern, "lava", "indigo"), 13: (s13_crow, "outline", "stone"), 14: (s14_scorpion, "earth", "poison"),
    15: (s15_fox, "lava", "bone"), 16: (s16_rabbit, "bone", "spirit"), 17: (s17_weasel, "earth", "indigo"),
    18: (s18_haniwa, "earth", "stone"), 19: (s19_bear, "earth", "hair"), 20: (s20_tengu, "bone", "indigo"),
    21: (s21_straw_doll, "gold", "crimson"), 22: (s22_shade, "stone", "spirit"), 23: (s23_mosquito, "stone", "crimson"),
    24: (s24_fire_child, "lava", "gold"), 25: (s25_oni, "earth", "gold"), 26: (s26_conch, "bone", "spirit"),
    27: (s27_crab, "stone", "earth"), 28: (s28_bomb, "outline", "lava"), 29: (s29_armour, "earth", "stone"),
    30: (s30_thunder_beast, "stone", "outline"), 31: (s31_puppeteer, "earth", "crimson"),
    32: (s32_skeleton, "stone", "crimson"), 33: (s33_dragon, "moss", "crimson"), 34: (s34_mochi, "bone", "moss"),
    35: (s35_beetle, "hair", "outline"), 36: (s36_snow_girl, "bone", "ice"), 37: (s37_snowman, "ice", "crimson"),
    38: (s38_kappa, "moss", "earth"), 39: (s39_jizo, "stone", "moss"), 40: (s40_leech, "hair", "crimson"),
    41: (s41_keeper, "indigo", "crimson"),
}


def letter_scale(kind):
    return SCALE.get(kind.letter[:1], 1.0)


def frame(species, rank, pose, direction, w, h, scale):
    design, main, trim = SPECIES[species]
    rig = design(pose, Colours(main, trim, rank), rank)
    return rigs.render(rig, w, h, direction, scale)


FILL = 0.8  # how much of its frame a species fills, standing, at its widest or tallest
SMALLER = {5: 0.64, 21: 0.7, 39: 0.72, 12: 0.74}  # the little ones of their frame


def fitted_scale(kind):
    """The scale that makes the species standing facing down or sideways fill its frame alike, whatever the
    units its design was drawn in."""
    w, h = kind.frame
    base = letter_scale(kind)
    tall = wide = 1
    for direction in (0, 2):
        sprite = frame(kind.species, 0, MONSTER_POSES[0], direction, 2 * w, 2 * h, base)
        ys, xs = np.nonzero(sprite.px != CLEAR)
        tall, wide = max(tall, ys.max() - ys.min() + 1), max(wide, xs.max() - xs.min() + 1)
    fill = SMALLER.get(kind.species, FILL)
    return base * float(np.clip(min(fill * h / tall, fill * w / wide), 0.7, 2.4))


def sheet(kind):
    w, h = kind.frame
    scale = fitted_scale(kind)
    rows = [[frame(kind.species, kind.rank, pose, d, w, h, scale) for pose in MONSTER_POSES] for d in range(8)]
    return rows


_KINDS = None


def kinds():
    global _KINDS
    if _KINDS is None:
        _KINDS = {k.kind: k for k in monster_table.read()}
    return _KINDS


def make(image, argument):
    kind = kinds()[image.id - 500]
    w, h = kind.frame
    return rigs.rgb_sheet(sheet(kind), w, h)


# ---- the characters' own checks

def standing_mask(kind):
    """Column 0 facing down, bottom-centred on a 48 x 48 field: the species' silhouette."""
    w, h = kind.frame
    sprite = frame(kind.species, 0, MONSTER_POSES[0], 0, w, h, fitted_scale(kind))
    field = np.zeros((48, 48), dtype=bool)
    x0 = (48 - w) // 2
    field[48 - h :, x0 : x0 + w] = sprite.px != CLEAR
    return field


_MASKS = None


def species_masks():
    """The silhouette of every species (its rank 0, or its first named kind)."""
    global _MASKS
    if _MASKS is None:
        first = {}
        for k in kinds().values():
            first.setdefault(k.species, k)
        _MASKS = {s: standing_mask(k) for s, k in sorted(first.items())}
    return _MASKS


def iou(a, b):
    union = (a | b).sum()
    return (a & b).sum() / union if union else 1.0


def problems(image, array):
    from assetlib import character_checks

    kind = kinds()[image.id - 500]
    out = character_checks.sheet_problems(image.file, array, *kind.frame)
    if kind.rank == 0 or kind.kind == min(k.kind for k in kinds().values() if k.species == kind.species):
        masks = species_masks()
        for other, mask in masks.items():
            if other != kind.species:
                value = iou(masks[kind.species], mask)
                if value >= IOU_LIMIT:
                    out.append(f"{image.file}: species {kind.species}'s standing shape overlaps species {other}'s "
                               f"(intersection over union {value:.2f}, at most {IOU_LIMIT})")
    return out
