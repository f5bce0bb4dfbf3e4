"""Characters as rigs of simple shapes, posed and rendered in the three-quarter view.

A rig is a list of parts in body space: x to the character's left-right, y up from the ground, z forwards
(towards the viewer when the character faces down). A direction turns the body about y; the view looks
from the front and above, so a part nearer the viewer sits a little lower. Parts are drawn far to near,
each shaded from a palette ramp as lit from the upper left, and the whole is outlined.

Directions are those of the sheets: 0 down, 1 down-left, 2 left, 3 up-left, 4 up, 5 up-right, 6 right,
7 down-right. Five are rendered; 5, 6 and 7 are 3, 2 and 1 mirrored.
"""

import math
from dataclasses import dataclass, field

import numpy as np

from . import palette
from .pixels import CLEAR, Sprite, dome_level, idx

TILT = 0.35  # how far down a point one unit nearer the viewer appears
MIRRORED = {5: 3, 6: 2, 7: 1}


@dataclass
class Part:
    kind: str  # ball, limb, poly
    points: list  # body-space (x, y, z)
    size: tuple = (1.0, 1.0, 1.0)  # ball: radii across, up, deep; limb: (radius at start, at end)
    ramp: str = "stone"
    lo: int = 0
    hi: int = None
    flat: str = None  # one colour instead of shading
    bias: float = 0.0  # added to the depth when sorting


@dataclass
class Rig:
    parts: list = field(default_factory=list)

    def ball(self, x, y, z, rx, ry=None, rz=None, ramp="stone", lo=0, hi=None, flat=None, bias=0.0):
        ry = rx if ry is None else ry
        rz = rx if rz is None else rz
        self.parts.append(Part("ball", [(x, y, z)], (rx, ry, rz), ramp, lo, hi, flat, bias))

    def limb(self, a, b, r0, r1=None, ramp="stone", lo=0, hi=None, flat=None, bias=0.0):
        self.parts.append(Part("limb", [a, b], (r0, r0 if r1 is None else r1), ramp, lo, hi, flat, bias))

    def poly(self, points, ramp="stone", lo=0, hi=None, flat=None, bias=0.0):
        self.parts.append(Part("poly", list(points), (0, 0, 0), ramp, lo, hi, flat, bias))


def angle(direction):
    return -direction * math.pi / 4


def project(point, phi, cx, ground, scale):
    x, y, z = point
    c, s = math.cos(phi), math.sin(phi)
    wx = x * c + z * s
    depth = -x * s + z * c
    return cx + scale * wx, ground - scale * (y - TILT * depth), depth


def render(rig, w, h, direction, scale=1.0, ground=None, outline=True):
    """The rig drawn into a w x h sprite facing `direction`, standing on `ground` (default just above the
    frame's bottom ring) and centred. A pose that would reach the frame's edge is lifted off the bottom
    or, failing that, drawn a little smaller, so that key stays all round every frame."""
    if direction in MIRRORED:
        return render(rig, w, h, MIRRORED[direction], scale, ground, outline).flip()
    ground = h - 3.2 if ground is None else ground
    sprite = None
    for _ in range(12):
        sprite = draw(rig, w, h, direction, scale, ground, outline)
        ys, xs = np.nonzero(sprite.px != CLEAR)
        if not len(ys):
            return sprite
        low, high = ys.max() - (h - 2), 1 - ys.min()
        if low > 0 and high + low <= 0:
            ground -= low
        elif high > 0 and low + high <= 0:
            ground += high
        elif low > 0 or high > 0 or xs.min() < 1 or xs.max() > w - 2:
            scale *= 0.94
        else:
            return sprite
    return sprite


def draw(rig, w, h, direction, scale, ground, outline):
    phi = angle(direction)
    c, s = math.cos(phi), math.sin(phi)
    cx = w / 2
    sprite = Sprite(w, h)
    drawn = []
    for part in rig.parts:
        pts = [project(p, phi, cx, ground, scale) for p in part.points]
        depth = sum(p[2] for p in pts) / len(pts) + part.bias
        drawn.append((depth, part, pts))
    drawn.sort(key=lambda t: t[0])
    for _, part, pts in drawn:
        if part.kind == "ball":
            rx, ry, rz = part.size
            sx, sy, _ = pts[0]
            across = scale * math.hypot(rx * c, rz * s)
            up = scale * ry
            mask = sprite.ellipse_mask(sx, sy, max(across, 0.5), max(up, 0.5))
            paint(sprite, mask, part, sx, sy, across, up)
        elif part.kind == "limb":
            (ax, ay, _), (bx, by, _) = pts
            r0, r1 = part.size[0] * scale, part.size[1] * scale
            dx, dy = bx - ax, by - ay
            n = math.hypot(dx, dy) or 1.0
            nx, ny = -dy / n, dx / n
            quad = [(ax + nx * r0, ay + ny * r0), (bx + nx * r1, by + ny * r1), (bx - nx * r1, by - ny * r1),
                    (ax - nx * r0, ay - ny * r0)]
            mask = sprite.polygon_mask(quad) if n > 0.3 else np.zeros((h, w), dtype=bool)
            mask |= sprite.ellipse_mask(ax, ay, max(r0, 0.5), max(r0, 0.5))
            mask |= sprite.ellipse_mask(bx, by, max(r1, 0.5), max(r1, 0.5))
            paint(sprite, mask, part, (ax + bx) / 2, (ay + by) / 2, n / 2 + max(r0, r1), n / 2 + max(r0, r1))
        else:
            quad = [(p[0], p[1]) for p in pts]
            mask = sprite.polygon_mask(quad)
            if mask.any():
                ys, xs = np.nonzero(mask)
                r = max(xs.max() - xs.min(), ys.max() - ys.min()) / 2 + 1
                paint(sprite, mask, part, xs.mean(), ys.mean(), r, r)
    if outline:
        sprite.outline()
    return sprite


def paint(sprite, mask, part, cx, cy, rx, ry):
    if not mask.any():
        return
    if part.flat:
        sprite.px[mask] = idx(part.flat)
        return
    level = dome_level(sprite.w, sprite.h, cx, cy, rx, ry, 0.3)
    sprite.shade(mask, part.ramp, level, dither=False, lo=part.lo, hi=part.hi)


# ---- poses: what each sheet column asks of a rig

@dataclass
class Pose:
    step: float = 0.0  # -1, 0, 1: which foot is forward
    bob: float = 0.0  # up and down of the body
    lean: float = 0.0  # forwards (+) or backwards (-)
    reach: float = 0.0  # 0..1 the attacking limb thrust forwards
    raise_: float = 0.0  # 0..1 the arms (or wings, head) raised
    squash: float = 0.0  # 0..1 crushed by a blow
    open_: float = 0.0  # 0..1 a mouth or a shell opened
    flap: float = 0.0  # -1..1 wings
    column: int = 0


# Columns of a monster sheet: walk 0, 1, 0, 2; hurt; special; attack; shot (or follow-through).
MONSTER_POSES = [
    Pose(step=0, flap=1, column=0),
    Pose(step=1, bob=0.6, flap=-1, column=1),
    Pose(step=-1, bob=0.6, flap=0, column=2),
    Pose(lean=-0.8, squash=1, flap=-1, column=3),
    Pose(raise_=1, open_=1, flap=1, column=4),
    Pose(lean=0.9, reach=1, step=1, open_=0.6, flap=-1, column=5),
    Pose(lean=0.4, reach=0.5, step=-1, raise_=0.3, flap=0.5, column=6),
]


def rgb_sheet(frames, w, h):
    """frames[row][column] sprites into one keyed RGB sheet."""
    rows, cols = len(frames), len(frames[0])
    out = np.empty((rows * h, cols * w, 3), dtype=np.uint8)
    out[...] = palette.KEY
    for r, row in enumerate(frames):
        for c, sprite in enumerate(row):
            ink = sprite.px != CLEAR
            block = out[r * h : (r + 1) * h, c * w : (c + 1) * w]
            block[ink] = palette.ARRAY[sprite.px[ink]]
    return out
