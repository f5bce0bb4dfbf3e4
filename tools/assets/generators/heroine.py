"""Image 100, 霞野's sheet (404 x 288): 28 x 36 frames, a row per direction. Columns: 0-2 walk (0, 1, 0, 2),
3 hurt, 4 act, 5 swing, 6 aim, 7 shoot, 8 draw a circle, 9 hold up (row 0) and a second hold (row 1),
10 and 11 the special frames facing the viewer (A and B of each motion in two rows), 12 the water jar and,
40 wide, tripping."""

import numpy as np

from assetlib import palette, rig as rigs
from assetlib.character_checks import frame_problems, sheet_problems
from assetlib.people import kasumino, lying, walk_pose
from assetlib.rig import Pose

W, H = 28, 36
TRIP_W = 40


def column_rig(column, row):
    """The rig of a column in a row (directions for the ordinary columns, motions for the special ones)."""
    if column < 3:
        return kasumino(walk_pose(column))
    if column == 3:
        return kasumino(Pose(lean=-0.8, squash=1), face="closed",
                        hands=[(-5.5, 15, -1.5), (5.5, 15, -1.5)])
    if column == 4:
        return kasumino(Pose(lean=0.4), hands=[(-2.5, 15, 5), (2.5, 13.5, 4)])
    if column == 5:
        return kasumino(Pose(lean=0.7, reach=1, step=1), sword="hand", hands=[(-3.0, 16, 4.5), (4.5, 12, 0)])
    if column == 6:
        return kasumino(Pose(lean=0.2, step=1), hands=[(-1.5, 19, 6.5), (2.0, 18.5, 2.0)],
                        item=(-1.5, 20.5, 7.0, "stone", 1.3))
    if column == 7:
        return kasumino(Pose(lean=0.6, step=-1), hands=[(-2.5, 17.5, 8.5), (5.0, 13, -2.5)])
    if column == 8:
        return kasumino(Pose(lean=0.8), crouch=0.6, bow=0.4, hands=[(-2.5, 3.5, 7.0), (4.0, 9.5, 2.5)],
                        item=(-2.5, 2.2, 8.0, "gold", 0.9))
    raise ValueError(column)


def special_rig(column, row):
    """Columns 10 and 11 (x 280 and 308): a motion per pair of rows, A and B."""
    b = row % 2
    pair = row // 2
    if column == 10:
        if pair == 0:  # eating a rice ball
            return kasumino(Pose(), face="eat" if b else "closed",
                            hands=[(-2.2, 18.0 + b, 4.5), (2.2, 17.5 + b, 4.2)], item=(0, 18.8 + b, 5.0, "bone", 1.5))
        if pair == 1:  # drinking from a bottle
            return kasumino(Pose(lean=-0.3 * b), face="closed",
                            hands=[(-0.8, 21.5 + b, 4.5), (1.5, 16, 3)], item=(-0.5, 23.5 + 1.5 * b, 4.5, "ice", 1.4))
        if pair == 2:  # reading a scroll held open
            return kasumino(Pose(), hands=[(-4.0, 17.5, 4.5), (4.0, 17.5 + b, 4.5)],
                            item=(0, 17.5 + 0.5 * b, 5.0, "bone", 2.2 + 0.8 * b))
        # asleep on her back, or stunned
        return lying(kasumino(Pose(bob=0.5 * b), face="closed"), face_up=True, lift=2.2 + 0.4 * b, sideways=True)
    if pair == 0:  # climbing into a pot
        r = kasumino(Pose(), crouch=0.6 + 0.3 * b, bow=0.2, hands=[(-4.5, 12, 3), (4.5, 12, 3)])
        r.ball(0, 5.5, 3.5, 6.8 - b * 0.3, 5.5, 2.5, ramp="earth", lo=1, bias=2)
        r.ball(0, 10.0, 3.5, 4.8, 1.2, 2.0, ramp="earth", lo=0, bias=2.1)
        return r
    if pair == 1:  # falling: arms and ribbon thrown up
        return kasumino(Pose(bob=2 * b, squash=-0.5), face="round",
                        hands=[(-6.0, 25 - b, 1), (6.0, 24 + b, 1)])
    if pair == 2:  # scattered by a gust: spun, arms out
        return kasumino(Pose(lean=-0.6 + 1.2 * b, step=1 - 2 * b), face="round",
                        hands=[(-7.0, 17 + 2 * b, 0), (7.0, 19 - 2 * b, 0)])
    return kasumino(Pose(), bow=0.5 + 0.5 * b, face="closed", hands=[(-2.0, 11.5, 3.0), (2.0, 11.5, 3.0)])


def hold_rig(row):
    if row == 0:  # holding up what she found, both hands overhead
        return kasumino(Pose(), hands=[(-2.0, 31.5, 1.5), (2.0, 31.5, 1.5)], item=(0, 33.3, 1.5, "gold", 1.6))
    return kasumino(Pose(), face="round", hands=[(-3.0, 29.5, 2.0), (5.0, 12, 0)], item=(-3.0, 31.2, 2.0, "ice", 1.4))


def jar_rig():
    return kasumino(Pose(lean=0.3), hands=[(-3.0, 13, 4.5), (3.0, 13, 4.5)], item=(0, 12.5, 6.0, "earth", 3.2))


def trip_rig():
    return lying(kasumino(Pose(step=1), face="closed", hands=[(-5.0, 30, 2), (5.0, 30, 2)]), face_up=False,
                 lift=2.0)


def sheet():
    out = np.empty((8 * H, 364 + TRIP_W, 3), dtype=np.uint8)
    out[...] = palette.KEY

    def put(sprite, x, y):
        block = out[y : y + sprite.h, x : x + sprite.w]
        ink = sprite.px >= 0
        block[ink] = palette.ARRAY[sprite.px[ink]]

    for d in range(8):
        for column in range(9):
            put(rigs.render(column_rig(column, d), W, H, d), 28 * column, 36 * d)
        put(rigs.render(jar_rig(), W, H, d), 336, 36 * d)
        put(rigs.render(trip_rig(), TRIP_W, H, d, ground=H - 6), 364, 36 * d)
    for row in range(2):
        put(rigs.render(hold_rig(row), W, H, 0), 252, 36 * row)
    for row in range(8):
        put(rigs.render(special_rig(10, row), W, H, 0), 280, 36 * row)
        put(rigs.render(special_rig(11, row), W, H, 0), 308, 36 * row)
    return out


def make(image, argument):
    return sheet()


def problems(image, array):
    out = sheet_problems(image.file, array[:, :252], W, H)
    for row in range(8):
        for x, w in ((280, W), (308, W), (336, W), (364, TRIP_W)):
            out += frame_problems(f"{image.file}: frame row {row} at x {x}", array[36 * row : 36 * row + 36, x : x + w])
    for row in range(2):
        out += frame_problems(f"{image.file}: frame row {row} at x 252", array[36 * row : 36 * row + 36, 252:280])
    return out
