"""Portraits 14000-14014 (霞野) and 14100-14104 (宗真, 榎戸, ルゥナ): 160 x 240 busts on the key, each with its
companion. One hand draws them all: the same head, proportions, line and two-tone cel shading, drawn at
the companion's size and reduced for 1x. 霞野's eight share her head, size and eye line; the expressions
change eyes, brows, mouth, blush and sweat marks, and the last two hold a nail-studded bat."""

import math

import numpy as np

from assetlib.painting import Painter, companion_safe, curve, reduce_keyed

W, H = 320, 480
LINE = (44, 30, 44)
SKIN = ((252, 226, 206), (232, 184, 166))
WHITE = (252, 250, 246)
CX, EYE_Y = 160, 214


def face(p, skin=SKIN, jaw=1.0, width=1.0):
    """The head: a rounded skull over a tapering jaw, the shadow down its right side and under the chin."""
    w = 66 * width
    outline = curve([(CX - w, 170), (CX - w * 0.98, 222), (CX - w * 0.72, 262), (CX - w * 0.3, 288 * jaw + 10 * (1 - jaw)),
                     (CX, 294 * jaw + 6 * (1 - jaw)), (CX + w * 0.3, 288 * jaw + 10 * (1 - jaw)),
                     (CX + w * 0.72, 262), (CX + w * 0.98, 222), (CX + w, 170)])
    top = [(CX + w * math.cos(a), 170 - 82 * math.sin(a)) for a in [i * math.pi / 20 for i in range(21)]]
    p.poly(outline + top, skin[0], LINE, 3)
    shade = curve([(CX + w * 0.62, 150), (CX + w * 0.82, 210), (CX + w * 0.62, 262), (CX + w * 0.3, 286)])
    p.poly(shade + [(CX + w * 0.72, 262), (CX + w * 0.98, 222), (CX + w, 170)], skin[1])
    for s in (-1, 1):  # ears
        p.ellipse(CX + s * (w + 4), 222, 9, 16, skin[0], LINE, 3)


def neck_and_body(p, colours, width=1.0, collar=None, skin=SKIN):
    cloth, cloth_shade = colours
    p.poly([(CX - 26, 270), (CX + 26, 270), (CX + 30, 350), (CX - 30, 350)], skin[0], LINE, 3)
    p.poly([(CX - 26, 282), (CX + 26, 282), (CX + 28, 316)], skin[1])
    w = 128 * width
    body = curve([(CX - w, 480), (CX - w * 0.98, 396), (CX - w * 0.7, 346), (CX - 36, 328), (CX, 336),
                  (CX + 36, 328), (CX + w * 0.7, 346), (CX + w * 0.98, 396), (CX + w, 480)])
    p.poly(body, cloth, LINE, 3)
    p.poly([(CX + 40, 336), (CX + w * 0.7, 350), (CX + w * 0.96, 400), (CX + w, 480), (CX + 60, 480)], cloth_shade)
    if collar:
        inner, band = collar
        p.poly([(CX - 44, 330), (CX, 420), (CX + 44, 330), (CX + 24, 328), (CX, 372), (CX - 24, 328)], band, LINE, 3)
        p.poly([(CX - 24, 328), (CX, 372), (CX + 24, 328), (CX, 336)], inner, LINE, 2)


def eyes(p, kind="open", iris=(70, 52, 96), lid=LINE, size=1.0, spacing=34):
    for s in (-1, 1):
        x, y = CX + s * spacing, EYE_Y
        rx, ry = 17 * size, 14 * size
        if kind in ("open", "wide", "half", "wry") and not (kind == "wry" and s == 1):
            if kind == "wide":
                rx, ry = rx * 1.1, ry * 1.3
            p.ellipse(x, y, rx, ry, WHITE)
            ir = 10 * size if kind != "wide" else 8 * size
            p.ellipse(x + s * -1, y + 2, ir, ir * 1.3, iris)
            p.ellipse(x + s * -1, y + 4, ir * 0.45, ir * 0.6, (24, 18, 30))
            p.ellipse(x - 4, y - 4, 3.5, 3.5, WHITE)
            if kind == "half":
                p.poly([(x - rx - 3, y - ry - 4), (x + rx + 3, y - ry - 4), (x + rx + 3, y - 1), (x - rx - 3, y - 1)],
                       SKIN[0])
                p.line([(x - rx - 2, y - 1), (x + rx + 2, y - 1)], lid, 5)
            else:
                p.arc(x, y + 2, rx + 2, ry + 2, 195, 345, lid, 5)
            p.line([(x + s * (rx + 1), y - 4), (x + s * (rx + 6), y - 9)], lid, 3)  # the outer lash
        elif kind == "smile" or (kind == "wry" and s == 1):
            p.arc(x, y + 8, rx, 12 * size, 200, 340, lid, 5)
        elif kind == "closed":
            p.arc(x, y - 6, rx, 10 * size, 20, 160, lid, 5)


def brows(p, kind="normal", colour=LINE, thick=4, spacing=34):
    for s in (-1, 1):
        x = CX + s * spacing
        y = EYE_Y - 30
        tilt = {"normal": 0, "up": -8, "down": 6, "wry": 6 if s == -1 else -6, "worried": -6, "stern": 8}[kind]
        lift = {"up": -8, "worried": -2}.get(kind, 0)
        p.line([(x - s * 16, y + lift + tilt * 0.6), (x + s * 0, y + lift - 2), (x + s * 16, y + lift + 2 - tilt * 0.4)],
               colour, thick)


def mouth(p, kind="small", y=264):
    if kind == "small":
        p.line([(CX - 8, y), (CX, y + 2), (CX + 8, y)], LINE, 3)
    elif kind == "open":
        p.poly([(CX - 16, y - 4), (CX + 16, y - 4), (CX + 8, y + 10), (CX - 8, y + 10)], (170, 60, 70), LINE, 3)
        p.poly([(CX - 8, y + 4), (CX + 8, y + 4), (CX + 6, y + 9), (CX - 6, y + 9)], (232, 120, 120))
    elif kind == "o":
        p.ellipse(CX, y + 2, 7, 9, (150, 50, 60), LINE, 3)
    elif kind == "flat":
        p.line([(CX - 12, y + 2), (CX + 12, y + 2)], LINE, 3)
    elif kind == "wry":
        p.line([(CX - 12, y + 4), (CX, y + 2), (CX + 14, y - 4)], LINE, 3)
    elif kind == "smile":
        p.arc(CX, y - 8, 14, 10, 30, 150, LINE, 3)
    elif kind == "grin":
        p.line([(CX - 14, y), (CX + 14, y - 4)], LINE, 4)
        p.line([(CX - 16, y + 4), (CX - 10, y + 2)], LINE, 3)


def nose(p):
    p.line([(CX + 3, 238), (CX - 1, 246)], (200, 150, 140), 3)


def blush(p):
    for s in (-1, 1):
        for k in range(3):
            x = CX + s * 40 + (k - 1) * 8
            p.line([(x + 3, 240), (x - 3, 250)], (230, 120, 130), 3)


def sweat(p):
    x, y = CX + 78, 168
    p.poly([(x, y - 18), (x + 10, y + 4), (x, y + 12), (x - 10, y + 4)], (200, 230, 250), LINE, 3)
    p.line([(x - 3, y), (x - 4, y + 5)], WHITE, 3)


# ---- 霞野

HAIR = ((58, 40, 54), (98, 70, 90))
INDIGO = ((58, 70, 140), (40, 48, 104))
KOSODE = ((246, 244, 238), (204, 206, 220))
CRIMSON = (196, 52, 58)


def kasumino_back(p):
    # the high ponytail, rising from the crown and falling behind her right shoulder
    tail = curve([(CX + 10, 86), (CX + 70, 70), (CX + 112, 110), (CX + 118, 200), (CX + 100, 300), (CX + 120, 360)])
    inner = curve([(CX + 120, 360), (CX + 74, 300), (CX + 82, 200), (CX + 70, 124), (CX + 24, 104)])
    p.poly(tail + inner, HAIR[0], LINE, 3)
    p.line(curve([(CX + 64, 90), (CX + 96, 140), (CX + 100, 220)]), HAIR[1], 4)
    p.poly([(CX - 76, 180), (CX - 70, 100), (CX, 74), (CX + 70, 100), (CX + 76, 180), (CX + 78, 250),
            (CX - 78, 250)], HAIR[0], LINE, 3)


def kasumino_front(p):
    bangs = [(CX - 74, 178), (CX - 70, 124), (CX - 40, 92), (CX + 10, 84), (CX + 52, 96), (CX + 74, 130),
             (CX + 74, 184), (CX + 58, 150), (CX + 44, 184), (CX + 30, 146), (CX + 8, 180), (CX - 6, 140),
             (CX - 26, 184), (CX - 40, 146), (CX - 58, 186), (CX - 60, 150)]
    p.poly(bangs, HAIR[0], LINE, 3)
    p.line(curve([(CX - 40, 104), (CX, 94), (CX + 40, 104)]), HAIR[1], 6)
    for s in (-1, 1):  # locks framing her face
        lock = curve([(CX + s * 62, 150), (CX + s * 80, 220), (CX + s * 74, 290), (CX + s * 64, 300)])
        p.poly(lock + [(CX + s * 62, 240)], HAIR[0], LINE, 3)
    # the crimson ribbon at the tie of the ponytail
    p.poly([(CX + 40, 76), (CX + 84, 52), (CX + 78, 96)], CRIMSON, LINE, 3)
    p.poly([(CX + 60, 86), (CX + 104, 92), (CX + 78, 120)], CRIMSON, LINE, 3)
    p.ellipse(CX + 62, 84, 9, 9, (150, 36, 44), LINE, 3)


def kasumino_clothes(p):
    # the sword she carries on her back: its hilt over her left shoulder, behind her
    p.poly([(CX - 60, 380), (CX - 44, 370), (CX - 120, 236), (CX - 136, 246)], (40, 30, 36), LINE, 3)
    for k in range(4):
        p.line([(CX - 130 + k * 10, 252 + k * 18), (CX - 118 + k * 10, 244 + k * 18)], CRIMSON, 5)
    p.poly([(CX - 104, 318), (CX - 80, 302), (CX - 74, 312), (CX - 98, 328)], (200, 170, 80), LINE, 3)
    neck_and_body(p, KOSODE, 1.0, collar=((246, 244, 238), INDIGO[0]))
    p.poly([(CX - 128, 470), (CX + 128, 470), (CX + 128, 480), (CX - 128, 480)], INDIGO[0])
    p.line([(CX - 118, 452), (CX + 118, 452)], CRIMSON, 8)  # the sash cord
    p.line([(CX - 100, 350), (CX + 70, 480)], (90, 60, 50), 7)  # the sword's strap across her chest


def nail_bat(p):
    p.poly([(CX - 132, 480), (CX - 150, 460), (CX - 20, 300), (CX + 60, 232), (CX + 84, 262), (CX - 4, 330)],
           (176, 120, 70), LINE, 3)
    p.poly([(CX - 20, 300), (CX + 60, 232), (CX + 70, 246), (CX - 10, 314)], (210, 160, 100))
    for k in range(6):  # nails
        t = k / 5
        x, y = CX - 10 + 86 * t, 312 - 72 * t
        p.line([(x, y), (x - 10, y - 16)], (180, 186, 196), 4)
        p.line([(x + 6, y + 6), (x + 18, y + 14)], (180, 186, 196), 4)
    p.poly([(CX - 150, 460), (CX - 132, 480), (CX - 104, 452), (CX - 122, 436)], (120, 40, 44), LINE, 3)
    p.ellipse(CX - 100, 430, 22, 18, SKIN[0], LINE, 3)  # her hand around the grip


EXPRESSIONS = {
    "normal": dict(eyes="open", brows="normal", mouth="small"),
    "smile": dict(eyes="smile", brows="normal", mouth="open", blush=True),
    "surprise": dict(eyes="wide", brows="up", mouth="o"),
    "exasperated": dict(eyes="half", brows="down", mouth="flat", sweat=True),
    "wry": dict(eyes="wry", brows="wry", mouth="wry", sweat=True),
    "smile2": dict(eyes="open", brows="worried", mouth="smile", blush=True),
}


def kasumino(expression, bat=False):
    p = Painter(W, H)
    kasumino_back(p)
    kasumino_clothes(p)
    face(p)
    e = EXPRESSIONS[expression]
    eyes(p, e["eyes"], iris=(92, 60, 120))
    brows(p, e["brows"])
    nose(p)
    mouth(p, e["mouth"])
    if e.get("blush"):
        blush(p)
    kasumino_front(p)
    if e.get("sweat"):
        sweat(p)
    if bat:
        nail_bat(p)
    return p.array()


# ---- the others

def soushin():
    """宗真: a rough collector past his prime, grey-streaked hair tied back, stubble, a scar, a heavy coat."""
    p = Painter(W, H)
    hair = ((70, 66, 70), (120, 116, 118))
    p.poly([(CX - 78, 200), (CX - 72, 96), (CX, 70), (CX + 72, 96), (CX + 78, 200)], hair[0], LINE, 3)
    skin = ((236, 196, 166), (204, 156, 128))
    neck_and_body(p, ((124, 92, 62), (90, 64, 44)), 1.18, collar=((210, 200, 176), (70, 56, 44)), skin=skin)
    p.poly([(CX - 150, 400), (CX - 40, 332), (CX - 30, 480), (CX - 150, 480)], (104, 76, 50), LINE, 3)  # coat lapel
    face(p, skin, jaw=0.92, width=1.08)
    p.poly([(CX - 66, 240), (CX - 40, 284), (CX, 298), (CX + 40, 284), (CX + 66, 240), (CX + 52, 276), (CX, 306),
            (CX - 52, 276)], (110, 100, 100))  # stubble
    eyes(p, "half", iris=(60, 50, 40), size=0.85)
    brows(p, "stern", thick=8)
    nose(p)
    mouth(p, "grin", y=268)
    p.line([(CX + 30, 180), (CX + 52, 236)], (180, 110, 100), 4)  # the old scar
    p.poly([(CX - 76, 170), (CX - 60, 110), (CX - 10, 92), (CX + 50, 100), (CX + 76, 150), (CX + 62, 130),
            (CX + 30, 140), (CX, 124), (CX - 40, 140)], hair[0], LINE, 3)
    p.line(curve([(CX - 50, 116), (CX, 104), (CX + 50, 116)]), hair[1], 5)
    p.poly([(CX - 80, 142), (CX + 80, 142), (CX + 80, 162), (CX - 80, 162)], (150, 40, 40), LINE, 3)  # headband
    p.poly([(CX + 78, 146), (CX + 116, 170), (CX + 100, 184), (CX + 76, 160)], (150, 40, 40), LINE, 3)
    return p.array()


def enokido():
    """榎戸: the polite young shopkeeper, neat short hair, a kind smile, an indigo happi with the shop's mark."""
    p = Painter(W, H)
    hair = ((86, 60, 40), (136, 100, 66))
    p.poly(curve([(CX - 72, 200), (CX - 76, 120), (CX - 30, 80), (CX + 30, 80), (CX + 76, 120), (CX + 72, 200)]),
           hair[0], LINE, 3)
    neck_and_body(p, ((64, 96, 150), (44, 68, 118)), 1.0, collar=((246, 244, 238), (200, 180, 120)))
    p.ellipse(CX + 70, 420, 24, 24, (246, 244, 238), LINE, 3)  # the shop's mark
    p.text((CX + 70, 420), "榎", 30, (44, 68, 118))
    face(p)
    eyes(p, "smile")
    brows(p, "normal", thick=4)
    nose(p)
    mouth(p, "smile")
    p.poly(curve([(CX - 72, 176), (CX - 70, 112), (CX - 20, 80), (CX + 40, 84), (CX + 72, 120), (CX + 74, 176)])
           + [(CX + 62, 140), (CX + 40, 120), (CX + 46, 146), (CX + 10, 130), (CX - 30, 140), (CX - 20, 126),
              (CX - 56, 146), (CX - 62, 190)], hair[0], LINE, 3)
    p.line(curve([(CX - 46, 110), (CX, 98), (CX + 46, 108)]), hair[1], 6)
    return p.array()


def lock(p, x, y, length, width, tilt, hair):
    """One lock of a plait: a lens of hair tilted from the vertical, with its shine."""
    edge = []
    for side in (1, -1):
        for u in np.linspace(-1, 1, 9)[:: side]:
            along, across = u * length / 2, side * (1 - u * u) * width / 2
            edge.append((x + along * math.sin(tilt) + across * math.cos(tilt),
                         y + along * math.cos(tilt) - across * math.sin(tilt)))
    p.poly(edge, hair[0], LINE, 3)
    p.line([(x - 0.25 * length * math.sin(tilt), y - 0.25 * length * math.cos(tilt)),
            (x + 0.15 * length * math.sin(tilt), y + 0.15 * length * math.cos(tilt))], hair[1], 4)


def luna():
    """ルゥナ: the storehouse keeper, silver hair in a low braid over her shoulder, a violet haori, a gold hairpin,
    a warm, easy smile."""
    p = Painter(W, H)
    hair = ((196, 200, 214), (234, 236, 244))
    p.poly(curve([(CX - 80, 250), (CX - 80, 130), (CX - 36, 78), (CX + 36, 78), (CX + 80, 130), (CX + 80, 250)]),
           hair[0], LINE, 3)
    neck_and_body(p, ((142, 106, 190), (104, 74, 148)), 0.96, collar=((246, 244, 238), (50, 58, 120)))
    p.poly([(CX - 60, 420), (CX + 60, 420), (CX + 70, 480), (CX - 70, 480)], (240, 236, 226), LINE, 3)  # apron
    face(p)
    eyes(p, "open", iris=(70, 120, 140))
    brows(p, "normal", thick=3)
    nose(p)
    mouth(p, "smile")
    path = curve([(CX + 58, 230), (CX + 76, 300), (CX + 70, 370), (CX + 84, 430)], 4)
    for i, (x, y) in reversed(list(enumerate(path[::2]))):
        lock(p, x, y, 52, 32, 0.5 if i % 2 else -0.5, hair)  # the plaited locks, alternating
    p.ellipse(CX + 84, 446, 10, 8, (196, 52, 58), LINE, 3)
    p.poly(curve([(CX - 76, 196), (CX - 74, 120), (CX - 30, 80), (CX + 36, 82), (CX + 76, 124), (CX + 72, 200)])
           + [(CX + 58, 144), (CX + 24, 120), (CX - 4, 150), (CX - 26, 134), (CX - 50, 156), (CX - 62, 204)],
           hair[0], LINE, 3)
    p.line(curve([(CX - 44, 108), (CX, 96), (CX + 44, 108)]), hair[1], 6)
    p.line([(CX - 70, 124), (CX - 30, 92)], (200, 160, 60), 6)  # the gold hairpin
    p.ellipse(CX - 72, 126, 8, 8, (228, 190, 62), LINE, 3)
    p.poly([(CX + 46, 400), (CX + 62, 392), (CX + 70, 420), (CX + 52, 428)], (200, 160, 60), LINE, 3)  # her keys
    return p.array()


PORTRAITS = {
    14000: lambda: kasumino("normal"), 14002: lambda: kasumino("smile"), 14004: lambda: kasumino("surprise"),
    14006: lambda: kasumino("exasperated"), 14008: lambda: kasumino("wry"), 14010: lambda: kasumino("smile2"),
    14012: lambda: kasumino("normal", bat=True), 14014: lambda: kasumino("exasperated", bat=True),
    14100: soushin, 14102: enokido, 14104: luna,
}


def make(image, argument):
    big = companion_safe(PORTRAITS[image.id]())
    return reduce_keyed(big), big
