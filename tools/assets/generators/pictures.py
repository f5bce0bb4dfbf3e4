"""The full pictures (320 x 240, opaque, each with its companion): 12000 the title, 12002 the camp, and the
events 13000 (the road completed), 13002 (fallen) and 13004 (escaped by the scroll). Drawn at the
companion's size and reduced for 1x. The events keep their lower 64 pixels quiet for the message window;
the camp keeps its middle calm for windows and portraits."""

import numpy as np
from PIL import Image

from assetlib.painting import Painter, blur, curve, reduce_opaque, safe
from assetlib.pixels import rng

W, H = 640, 480


def gradient(top, bottom, h=H, w=W):
    t = np.linspace(0, 1, h)[:, None, None]
    column = np.array(top, dtype=float) * (1 - t) + np.array(bottom, dtype=float) * t
    return np.repeat(column, w, axis=1)


def ridge(seed, base, rough, w=W, step=8):
    """A mountain ridge: a line of points across the picture."""
    g = rng(seed)
    pts, y = [], base
    heights = np.cumsum(g.normal(0, rough, w // step + 2))
    heights -= np.linspace(heights[0], heights[-1], len(heights))
    for i, dy in enumerate(heights):
        pts.append((i * step - step, base + dy + 30 * np.sin(i * step / 140 + seed)))
    return pts


def layer(p, seed, base, rough, colour):
    pts = ridge(seed, base, rough)
    p.poly(pts + [(W + 20, H + 10), (-20, H + 10)], colour)


def mist(array, y, height, strength, colour=(236, 240, 244)):
    t = np.exp(-((np.arange(H) - y) / height) ** 2)[:, None, None] * strength
    return array * (1 - t) + np.array(colour)[None, None, :] * t


def to_painter(array):
    p = Painter(W, H)
    p.image.paste(Image.fromarray(np.clip(array, 0, 255).astype(np.uint8)))
    return p


def cedar(p, x, y, h, colour):
    for k in range(4):
        w = h * (0.18 + 0.08 * k)
        top = y - h + k * h * 0.2
        p.poly([(x, top), (x + w, top + h * 0.32), (x - w, top + h * 0.32)], colour)
    p.poly([(x - h * 0.03, y - h * 0.1), (x + h * 0.03, y - h * 0.1), (x + h * 0.03, y), (x - h * 0.03, y)], colour)


def lantern(p, x, y, s, stone=(120, 122, 128), light=(255, 214, 140)):
    p.poly([(x - 8 * s, y), (x + 8 * s, y), (x + 5 * s, y - 6 * s), (x - 5 * s, y - 6 * s)], stone)
    p.poly([(x - 2.5 * s, y - 6 * s), (x + 2.5 * s, y - 6 * s), (x + 2.5 * s, y - 22 * s), (x - 2.5 * s, y - 22 * s)],
           stone)
    p.poly([(x - 7 * s, y - 22 * s), (x + 7 * s, y - 22 * s), (x + 7 * s, y - 34 * s), (x - 7 * s, y - 34 * s)], stone)
    p.poly([(x - 4 * s, y - 25 * s), (x + 4 * s, y - 25 * s), (x + 4 * s, y - 31 * s), (x - 4 * s, y - 31 * s)], light)
    p.poly([(x - 12 * s, y - 34 * s), (x + 12 * s, y - 34 * s), (x + 3 * s, y - 42 * s), (x - 3 * s, y - 42 * s)],
           stone)


def figure(p, x, y, s, colour, ribbon=(196, 52, 58), pose="stand"):
    """霞野 as a small figure: hakama, kosode, her high ponytail and ribbon, the sword at her hip."""
    if pose == "lie":
        p.poly([(x - 40 * s, y), (x + 30 * s, y - 4 * s), (x + 34 * s, y - 14 * s), (x - 36 * s, y - 12 * s)], colour)
        p.ellipse(x + 40 * s, y - 10 * s, 9 * s, 8 * s, colour)
        p.line([(x + 46 * s, y - 14 * s), (x + 64 * s, y - 4 * s)], colour, int(5 * s))
        p.line([(x - 50 * s, y + 4 * s), (x + 4 * s, y + 10 * s)], (150, 156, 170), max(1, int(2 * s)))
        return
    p.poly([(x - 10 * s, y), (x + 10 * s, y), (x + 6 * s, y - 34 * s), (x - 6 * s, y - 34 * s)], colour)  # hakama
    p.poly([(x - 8 * s, y - 32 * s), (x + 8 * s, y - 32 * s), (x + 7 * s, y - 52 * s), (x - 7 * s, y - 52 * s)], colour)
    p.ellipse(x, y - 60 * s, 7 * s, 8 * s, colour)
    p.line(curve([(x + 2 * s, y - 68 * s), (x + 10 * s, y - 74 * s), (x + 14 * s, y - 60 * s),
                  (x + 12 * s, y - 48 * s)]), colour, max(1, int(4 * s)))
    p.ellipse(x + 5 * s, y - 69 * s, 3 * s, 2.5 * s, ribbon)
    p.line([(x - 8 * s, y - 30 * s), (x - 22 * s, y - 18 * s)], colour, max(1, int(3 * s)))
    p.line([(x + 7 * s, y - 48 * s), (x + 14 * s, y - 32 * s)], colour, max(1, int(3 * s)))


def valley(seed, sky, far, near):
    a = gradient(*sky)
    p = to_painter(a)
    layer(p, seed, 230, 6, far)
    a = mist(p.array().astype(float), 250, 40, 0.5)
    p = to_painter(a)
    layer(p, seed + 1, 290, 7, near)
    return p


def title():
    p = valley(11, ((188, 206, 214), (236, 226, 214)), (150, 166, 178), (98, 114, 124))
    a = mist(p.array().astype(float), 320, 50, 0.55)
    p = to_painter(a)
    for x in (40, 90, 560, 610, 520):
        cedar(p, x, 420, 150 + (x % 50), (44, 60, 60))
    # the labyrinth's gate: two stone pillars, a lintel, a dark mouth and steps
    stone, dark = (120, 120, 126), (26, 24, 36)
    p.poly([(250, 430), (390, 430), (390, 300), (250, 300)], dark)
    for x in (236, 388):
        p.poly([(x, 430), (x + 18, 430), (x + 16, 290), (x + 2, 290)], stone)
    p.poly([(214, 292), (426, 292), (432, 276), (208, 276)], stone)
    p.poly([(200, 276), (440, 276), (452, 262), (188, 262)], (140, 50, 50))
    p.line(curve([(246, 306), (300, 318), (340, 318), (394, 306)]), (222, 210, 170), 4)  # the shimenawa rope
    for x in (280, 320, 360):
        p.poly([(x - 4, 318), (x + 4, 318), (x + 2, 340), (x - 2, 340)], (246, 244, 236))
    for k in range(4):
        p.poly([(230 - k * 14, 430 + k * 12), (410 + k * 14, 430 + k * 12), (410 + k * 14, 442 + k * 12),
                (230 - k * 14, 442 + k * 12)], (104 - 8 * k, 104 - 8 * k, 112 - 8 * k))
    lantern(p, 170, 440, 1.8)
    lantern(p, 470, 440, 1.8)
    figure(p, 320, 470, 1.1, (36, 36, 52))
    a = mist(p.array().astype(float), 470, 30, 0.35)
    p = to_painter(a)
    # the logo and its subtitle, set in Mincho and given a dark edge and a soft shadow
    shadow = Painter(W, H, (0, 0, 0))
    shadow.text((320, 62), "霧谷奇譚", 92, (255, 255, 255))
    soft = blur(shadow.array(), 6)[..., :1] / 255.0 * 0.55
    a = p.array().astype(float) * (1 - soft) + np.array((20, 24, 44)) * soft
    p = to_painter(a)
    p.text((320, 58), "霧谷奇譚", 92, (250, 248, 240), stroke=5, stroke_fill=(34, 38, 76))
    p.line([(170, 118), (470, 118)], (196, 52, 58), 4)
    p.text((320, 140), "-霞野と迷宮の剣姫道-", 30, (250, 248, 240), stroke=3, stroke_fill=(34, 38, 76))
    return p.array()


def camp():
    p = valley(23, ((176, 198, 212), (232, 224, 210)), (140, 160, 170), (104, 124, 112))
    a = p.array().astype(float)
    ground = gradient((150, 140, 112), (112, 104, 84), H - 330)
    a[330:] = ground
    p = to_painter(mist(a, 330, 30, 0.4))
    # left: the hut with its thatched roof
    p.poly([(30, 400), (190, 400), (190, 300), (30, 300)], (140, 108, 76))
    p.poly([(10, 306), (110, 230), (210, 306)], (120, 104, 64))
    p.poly([(86, 400), (130, 400), (130, 336), (86, 336)], (60, 44, 36))
    # right: the shop with striped awnings and the storehouse's white walls and heavy door
    p.poly([(440, 410), (630, 410), (630, 290), (440, 290)], (236, 230, 214))
    p.poly([(430, 292), (640, 292), (620, 262), (450, 262)], (60, 60, 70))
    p.poly([(510, 410), (580, 410), (580, 330), (510, 330)], (70, 56, 44))
    p.line([(545, 330), (545, 410)], (40, 30, 26), 3)
    for k in range(6):
        colour = (64, 96, 150) if k % 2 else (240, 236, 226)
        p.poly([(250 + k * 26, 330), (276 + k * 26, 330), (270 + k * 26, 352), (244 + k * 26, 352)], colour)
    p.poly([(250, 352), (400, 352), (400, 410), (250, 410)], (150, 116, 80))
    for x in (230, 420):
        p.line([(x, 330), (x, 410)], (80, 60, 44), 5)
    for x, y in ((216, 330), (438, 330)):
        p.ellipse(x, y + 20, 10, 14, (230, 90, 60))
        p.line([(x, y + 4), (x, y + 6)], (40, 30, 30), 2)
    lantern(p, 320, 430, 1.4)
    return p.array()


def completed():
    a = gradient((250, 236, 200), (120, 110, 120))
    p = to_painter(a)
    p.poly([(0, 0), (240, 0), (260, 416), (0, 416)], (70, 64, 80))
    p.poly([(640, 0), (400, 0), (380, 416), (640, 416)], (70, 64, 80))
    glow = Painter(W, H, (0, 0, 0))
    glow.poly([(270, 0), (370, 0), (410, 352), (230, 352)], (255, 255, 255))
    g = blur(glow.array(), 24)[..., :1] / 255.0
    a = p.array().astype(float) * (1 - 0.7 * g) + np.array((255, 246, 214)) * 0.7 * g
    a[352:] = gradient((80, 72, 84), (40, 36, 48), 128)
    p = to_painter(a)
    p.poly([(250, 352), (390, 352), (470, 480), (170, 480)], (96, 88, 100))  # the road, running out of the light
    figure(p, 320, 344, 1.6, (50, 44, 64))
    return p.array()


def fallen():
    a = gradient((24, 26, 44), (10, 10, 20))
    p = to_painter(a)
    for k in range(9):
        x = 40 + k * 70
        p.poly([(x - 30, 0), (x + 30, 0), (x + 6, 80 + (k * 37) % 60), (x - 4, 90 + (k * 23) % 50)], (34, 36, 56))
    glow = Painter(W, H, (0, 0, 0))
    glow.ellipse(330, 318, 180, 50, (255, 255, 255))
    g = blur(glow.array(), 30)[..., :1] / 255.0
    a = p.array().astype(float) * (1 - 0.35 * g) + np.array((90, 100, 150)) * 0.35 * g
    a[352:] = gradient((16, 16, 28), (8, 8, 14), 128)
    p = to_painter(a)
    figure(p, 320, 334, 1.5, (60, 60, 86), pose="lie")
    return p.array()


def escaped():
    a = gradient((40, 52, 96), (150, 170, 210))
    p = to_painter(a)
    layer(p, 41, 300, 5, (60, 72, 110))
    glow = Painter(W, H, (0, 0, 0))
    glow.poly([(280, 0), (360, 0), (380, 352), (260, 352)], (255, 255, 255))
    glow.ellipse(320, 120, 150, 60, (255, 255, 255))
    g = blur(glow.array(), 20)[..., :1] / 255.0
    a = p.array().astype(float) * (1 - 0.7 * g) + np.array((250, 244, 214)) * 0.7 * g
    a[352:] = gradient((60, 70, 104), (34, 40, 64), 128)
    p = to_painter(a)
    # the scroll of light, unrolled across the sky
    p.poly([(190, 104), (450, 104), (450, 136), (190, 136)], (252, 246, 222))
    for x in (190, 450):
        p.ellipse(x, 120, 12, 22, (200, 160, 80))
    for k in range(5):
        p.line([(220 + k * 50, 112), (220 + k * 50, 128)], (190, 150, 90), 3)
    figure(p, 320, 300, 1.4, (60, 56, 84))
    g2 = rng(5)
    for _ in range(40):
        x, y = g2.uniform(200, 440), g2.uniform(150, 340)
        p.ellipse(x, y, 2, 2, (255, 250, 220))
    return p.array()


PICTURES = {12000: title, 12002: camp, 13000: completed, 13002: fallen, 13004: escaped}


def make(image, argument):
    big = PICTURES[image.id]()
    big = safe(np.ascontiguousarray(big), np.zeros(big.shape[:2], dtype=bool))
    small = reduce_opaque(big)
    return small, big
