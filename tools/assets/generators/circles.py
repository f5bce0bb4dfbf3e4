"""Image 12, the magic circles drawn on the floor: a row per range kind (ahead, room, floor, self), four
frames in which the runes turn."""

import math

import numpy as np

from assetlib.pixels import Canvas, Sprite, idx

CIRCLES = [  # (ring colours, radius, rune colour, disc colour) per range kind: ahead, room, floor, self
    (("ice0", "ice2"), 8.5, "bone3", "water0"),
    (("moss2", "moss3"), 11, "poison2", "moss0"),
    (("gold1", "gold3"), 13.5, "bone3", "gold0"),
    (("violet2", "violet3"), 11, "spirit2", "violet0"),
]


def circle(kind, frame):
    (dark, light), radius, rune, disc = CIRCLES[kind]
    s = Sprite(32, 32)
    yy, xx = np.mgrid[0:32, 0:32] + 0.5
    # Seen from above at a slant: a little flatter than round; a dark disc carries the glowing lines.
    r = np.hypot(xx - 16, (yy - 16) * 1.15)
    s.px[r < radius + 0.8] = idx(disc)
    s.px[np.abs(r - radius) < 0.8] = idx(light)
    s.px[np.abs(r - (radius - 2.5)) < 0.55] = idx(dark)
    turn = frame * (2 * math.pi / 8) / 4
    points = 5 if kind != 2 else 6
    for k in range(points):
        ang = turn + k * 2 * math.pi / points
        x, y = 16 + (radius - 1.2) * math.cos(ang), 16 + (radius - 1.2) * math.sin(ang) / 1.15
        s.put(round(x - 0.5), round(y - 0.5), rune)
    inner = radius - 4.5
    for k in range(points):
        a1 = -turn + k * 2 * math.pi / points
        a2 = -turn + (k + 2) * 2 * math.pi / points
        s.line(16 + inner * math.cos(a1), 16 + inner * math.sin(a1) / 1.15, 16 + inner * math.cos(a2),
               16 + inner * math.sin(a2) / 1.15, dark)
    return s.outline()


def circles_sheet():
    c = Canvas(128, 128)
    for kind in range(4):
        for frame in range(4):
            c.paste(circle(kind, frame), 32 * frame, 32 * kind)
    return c.rgb


def make(image, argument):
    return circles_sheet()
