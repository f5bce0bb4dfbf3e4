"""The interface sheet (image 0), the minimap fallback symbols (11000) and the ability-slot icons (11004).

Image 0: digits, gauges and their caps, small digits and marks, the cursor and the list arrows, the three
window frames and their dimmed forms, the scroll bar, the item marks, the training badge, price digits in
four colours, the status-bar labels, the dungeon emblems and the page arrows.
"""

import numpy as np

from assetlib import glyphs, palette, pixels
from assetlib.pixels import Canvas, Sprite

WHITE = ["bone3", "bone3", "bone3", "bone2", "bone2", "bone1"]
PRICE = {
    "white": WHITE,
    "yellow": ["gold3", "gold3", "gold2", "gold2", "gold2", "gold1"],
    "green": ["poison2", "poison2", "poison2", "poison1", "poison1", "moss2"],
    "grey": ["stone4", "stone4", "stone3", "stone3", "stone3", "stone2"],
}
LABEL = ["gold3", "gold3", "gold2", "gold2", "gold2", "gold1"]
STARVING = ["crimson3", "crimson3", "crimson2", "crimson2", "crimson2", "crimson1"]

# Window frames: (light, main, dark) per state; the dimmed forms a shade lower.
FRAMES = [("ice2", "stone4", "ui1"), ("gold3", "lava2", "gold0"), ("crimson3", "crimson2", "crimson0")]
DIMMED = [("stone3", "stone2", "ui0"), ("gold1", "gold0", "earth0"), ("crimson2", "crimson1", "outline1")]
ORNAMENT = ["ui3", "gold3", "gold2"]
ORNAMENT_DIMMED = ["ui2", "gold1", "gold0"]


def frame_block(light, main, dark, ornament):
    """A small framed box: a bevelled border five pixels wide, one pixel in from the block's edge,
    rounded outside, key outside and inside. Every side is uniform from 8 to 24."""
    s = Sprite(32, 32)
    yy, xx = np.mgrid[0:32, 0:32]

    def box(k, radius):
        inside = (xx >= k) & (xx <= 31 - k) & (yy >= k) & (yy <= 31 - k)
        if radius > 0:
            for cx, cy in ((k + radius, k + radius), (31 - k - radius, k + radius), (k + radius, 31 - k - radius),
                           (31 - k - radius, 31 - k - radius)):
                corner = (np.abs(xx - cx) >= 0) & (((xx < cx) if cx < 16 else (xx > cx)) &
                                                   ((yy < cy) if cy < 16 else (yy > cy)))
                inside &= ~(corner & ((xx - cx) ** 2 + (yy - cy) ** 2 > radius * radius + 0.5))
        return inside

    rings = [box(k, max(3 - (k - 1), 0)) & ~box(k + 1, max(3 - k, 0)) for k in range(1, 6)]
    upper_left = (xx + yy) < 31
    colours = [("outline0", "outline0"), (light, main), (main, main), (dark, light), ("outline0", "outline0")]
    for ring, (lit, shaded) in zip(rings, colours):
        s.px[ring & upper_left] = pixels.idx(lit)
        s.px[ring & ~upper_left] = pixels.idx(shaded)
    for cx, cy in ((4, 4), (27, 4), (4, 27), (27, 27)):
        for dx, dy in ((0, 0), (1, 0), (-1, 0), (0, 1), (0, -1)):
            s.put(cx + dx, cy + dy, ornament)
        s.put(cx, cy, "bone3")
    return s


def gauge(canvas, y, height, colours):
    """Rows uniform along x: outline, then the colours, then outline."""
    canvas.fill(0, y, 100, 1, palette.rgb("outline0"))
    for k, c in enumerate(colours):
        canvas.fill(0, y + 1 + k, 100, 1, palette.rgb(c))
    canvas.fill(0, y + height - 1, 100, 1, palette.rgb("outline0"))


def badge(colour, letter_colour):
    s = Sprite(8, 8)
    s.rect(1, 1, 7, 7, colour)
    s.grid("""
###.
#...
##..
#...
###.""", {"#": letter_colour}, 2, 1)
    s.put(6, 1, "bone3")
    return s.outline()


EMBLEMS = [
    # (ramp of the disc, symbol colour, 8 x 8 symbol)
    ("moss", "bone3", """
...##...
..####..
.######.
...##...
..####..
.######.
...##...
...##..."""),   # 1 the valley pines
    ("water", "bone3", """
........
.##..##.
#..##..#
........
.##..##.
#..##..#
........
........"""),   # 2 waves
    ("lava", "gold3", """
...#....
...##...
..###.#.
.######.
.######.
.######.
..####..
........"""),   # 3 flame
    ("violet", "ice2", """
...##...
..####..
.##..##.
.##..##.
.##..##.
..####..
...##...
........"""),   # 4 crystal
    ("crimson", "bone3", """
########
.#....#.
########
.#....#.
.#....#.
.#....#.
.#....#.
........"""),   # 5 torii
    ("stone", "bone3", """
..####..
.######.
.#.##.#.
.######.
..####..
..#..#..
........
........"""),   # 6 skull
    ("ice", "water1", """
...#....
.#.#.#..
..###...
#######.
..###...
.#.#.#..
...#....
........"""),   # 7 snowflake
    ("gold", "crimson1", """
...#....
...#....
..###...
#######.
..###...
.##.##..
.#...#..
........"""),   # 8 star
]


def emblem(ramp, colour, symbol):
    s = Sprite(16, 16)
    s.lit_ellipse(8, 8, 6.0, 6.0, ramp, lo=1, hi=len(palette.ramp(ramp)) - 1)
    s.grid(symbol, {"#": colour}, 4, 4)
    return s.outline()


def page_arrow(next_page):
    s = Sprite(16, 16)
    s.polygon([(4, 3), (11, 8), (4, 13)], "ui2")
    s.polygon([(4, 3), (11, 8), (5, 8)], "ui3")
    s.outline()
    return s.flip() if not next_page else s


def triangle(w, h, down, colours):
    s = Sprite(w + 2, h + 2)
    for k in range(h):
        row = k if down else h - 1 - k
        for x in range(k, w - k):
            s.put(x + 1, row + 1, colours[min(k, len(colours) - 1)] if down else colours[min(h - 1 - k, len(colours) - 1)])
    return s.outline()


def training_badge():
    """The 「特訓」 badge: two kanji in gold with brush flourishes in crimson."""
    s = Sprite(58, 16)
    colours = ["gold3", "gold3", "gold3", "gold2", "gold2", "gold2", "gold1"]
    for x0, direction in ((2, 1), (55, -1)):
        for k in range(10):
            x = x0 + direction * k
            y = 8 - (k // 3 if k < 6 else 0) + (k // 4 if k >= 6 else 0)
            s.put(x, 8 + (1 if k % 3 == 0 else 0), "crimson2")
            s.put(x, 7, "crimson2" if k < 8 else "crimson3")
    s.outline()
    s.stamp(glyphs.glyph(glyphs.TOKU, colours), 15, 1)
    s.stamp(glyphs.glyph(glyphs.KUN, colours), 30, 1)
    return s


def sheet():
    c = Canvas(272, 272)
    for d in range(10):
        c.paste(glyphs.glyph(glyphs.DIGITS[str(d)], WHITE), 8 * d, 1)
    gauge(c, 16, 6, ["crimson1", "crimson0", "crimson0", "outline1"])
    gauge(c, 22, 6, ["poison2", "poison1", "poison1", "poison0"])
    gauge(c, 28, 4, ["outline2", "outline1"])
    gauge(c, 32, 4, ["gold3", "gold1"])
    c.fill(100, 22, 1, 6, palette.rgb("outline0"))
    c.fill(102, 22, 2, 6, palette.rgb("outline0"))
    c.fill(100, 32, 1, 4, palette.rgb("outline0"))
    c.fill(102, 32, 2, 4, palette.rgb("outline0"))
    for d in range(10):
        c.paste(glyphs.glyph(glyphs.SMALL_DIGITS[str(d)], ["bone3", "bone3", "bone2"]), 5 * d, 37)
    c.paste(glyphs.glyph(glyphs.SMALL_LV, ["gold3", "gold3", "gold2"]), 50, 37)
    c.paste(glyphs.glyph(glyphs.SMALL_SLASH, ["bone3", "bone3", "bone2"]), 58, 37)
    cursor = Sprite(8, 12)
    cursor.polygon([(1, 1), (6.5, 6), (1, 11)], "gold2")
    cursor.polygon([(1, 1), (6.5, 6), (2, 6)], "gold3")
    c.paste(cursor.outline(), 64, 36)
    c.paste(triangle(10, 5, True, ["ice2", "bone3", "ui3", "ui3", "ui2"]), 113, 23)
    c.paste(triangle(10, 5, False, ["ice2", "bone3", "ui3", "ui3", "ui2"]), 129, 23)
    underline = Sprite(16, 8)
    underline.rect(1, 3, 15, 5, "gold2")
    underline.rect(1, 3, 15, 4, "gold3")
    c.paste(underline.outline(), 112, 40)
    for s, (colours, ornament) in enumerate(zip(FRAMES, ORNAMENT)):
        c.paste(frame_block(*colours, ornament), 32 * s, 48)
    for s, (colours, ornament) in enumerate(zip(DIMMED, ORNAMENT_DIMMED)):
        c.paste(frame_block(*colours, ornament), 32 * s, 80)
    scroll(c)
    c.paste(badge("ui2", "outline0"), 96, 128)
    c.paste(badge("gold2", "outline0"), 112, 128)
    sparkle = Sprite(8, 8).grid("""
..#...
.###..
######
.###..
..#...""", {"#": "gold3"}, 1, 1)
    sparkle.put(3, 3, "bone3")
    c.paste(sparkle.outline(), 112, 136)
    skull = Sprite(8, 8).grid("""
.####.
######
#o##o#
######
.#o#o.""", {"#": "violet3", "o": "outline0"}, 1, 1)
    c.paste(skull.outline(), 120, 136)
    c.paste(training_badge(), 64, 160)
    for r, name in enumerate(["white", "yellow", "green", "grey"]):
        for d in range(10):
            c.paste(glyphs.glyph(glyphs.DIGITS[str(d)], PRICE[name]), 8 * d, 176 + 16 * r + 1)
    for row, colours in ((240, LABEL), (256, STARVING)):
        for x, letters in ((0, "F"), (8, "HP"), (24, "G"), (32, "Lv"), (48, "/"), (56, "FPS")):
            c.paste(glyphs.text([glyphs.LETTERS[ch] for ch in letters], colours), x, row + 1)
    for d, (ramp, colour, symbol) in enumerate(EMBLEMS):
        c.paste(emblem(ramp, colour, symbol), 144 + 16 * d, 0)
    c.paste(page_arrow(False), 144, 16)
    c.paste(page_arrow(True), 160, 16)
    return c.rgb


def scroll(c):
    """Track and thumb, 8 x 180 each: uniform down their length, so the thumb can be cut anywhere."""
    track = Sprite(8, 180)
    track.rect(0, 0, 8, 180, "outline0")
    track.rect(1, 1, 7, 179, "outline2")
    track.rect(2, 1, 6, 179, "ui0")
    track.rect(3, 1, 5, 179, "outline1")
    c.paste(track, 128, 48)
    thumb = Sprite(8, 180)
    thumb.rect(0, 0, 8, 180, "outline0")
    thumb.rect(1, 1, 7, 180, "ui2")
    thumb.rect(1, 1, 2, 180, "ui3")
    thumb.rect(6, 1, 7, 180, "ui1")
    thumb.rect(1, 1, 7, 2, "ice2")
    thumb.rect(0, 179, 8, 180, "outline0")
    for y in (5, 8, 11):
        thumb.rect(2, y, 6, y + 1, "ui1")
    c.paste(thumb, 136, 48)


def minimap():
    """4 x 4 symbols in the minimap's own colours: player, player (the alternative), monster, item, trap,
    circle, fire, chest, ice pillar, stairs."""
    colours = [0xD0D0D0, 0xFFFFFF, 0xA0A000, 0x00C000, 0xFF0000, 0x00FFFF, 0xFF8000, 0xFFFF00]
    shapes = [(".##./####/####/.##.", 2), (".##./####/####/.##.", 7), (".##./####/####/.##.", 4),
              (".##./####/####/.##.", 5), ("#..#/.##./.##./#..#", 0), (".##./#..#/####/....", 6),
              (".#../###./###./###.", 6), ("####/####/####/####", 3), ("####/####/####/####", 1),
              ("####/#..#/#..#/####", 5)]
    out = np.empty((4, 40, 3), dtype=np.uint8)
    out[...] = palette.KEY
    for i, (shape, colour) in enumerate(shapes):
        mask = glyphs.parse(shape)
        rgb = ((colours[colour] >> 16) & 255, (colours[colour] >> 8) & 255, colours[colour] & 255)
        out[:, 4 * i : 4 * i + 4][mask] = rgb
    return out


def slots():
    """16 x 16: a seal, its continuation over further slots, an empty slot; then the same dimmed. Row 0
    for codes up to 59 (crimson seals), row 1 from 60 on (gold seals)."""
    c = Canvas(96, 32)
    for row, (ramp, glyph_colour) in enumerate((("crimson", "bone3"), ("gold", "crimson0"))):
        for dim in (0, 1):
            hi = len(palette.ramp(ramp)) - 1 - dim
            seal = Sprite(16, 16)
            seal.rect(2, 2, 14, 14, palette.ramp(ramp)[hi - 1])
            seal.rect(2, 2, 13, 3, palette.ramp(ramp)[hi])
            seal.rect(2, 2, 3, 13, palette.ramp(ramp)[hi])
            # The stamp's character: a brushed 印 (seal), the mark every seal on an item is known by.
            seal.grid("""
.#...####
#....#..#
####.#..#
#....#..#
####.#.##
#....#...
####.#...
.....#...""", {"#": glyph_colour if not dim else "stone2"}, 3, 4)
            seal.outline()
            link = Sprite(16, 16)
            link.rect(1, 6, 15, 10, palette.ramp(ramp)[hi - 1])
            link.rect(1, 6, 15, 7, palette.ramp(ramp)[hi])
            link.outline()
            empty = Sprite(16, 16)
            empty.rect(2, 2, 14, 14, "stone1" if not dim else "stone0")
            empty.rect(3, 3, 13, 13, "outline2" if not dim else "outline1")
            empty.rect(3, 3, 13, 4, "outline1")
            empty.outline()
            for k, sprite in enumerate((seal, link, empty)):
                c.paste(sprite, 16 * k + 48 * dim, 16 * row)
    return c.rgb


def make(image, argument):
    if argument == "minimap":
        return minimap()
    if argument == "slots":
        return slots()
    return sheet()
