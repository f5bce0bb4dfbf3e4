"""The asset preview for a person to judge the art: contact-sheet.png (every built picture at 1x on a grey
checker with its number and file, and a sample room of every terrain sheet joined as the map joins its
tiles) and screens.png (mock 320 x 240 screens shown at 2x: a lit room with the heroine, monsters, items,
traps, water and the status bar; a dark corridor under the spotlight; a list window with icons and marks;
the camp with two portraits over it)."""

import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"
KEY = (255, 0, 255)
WIDTH = 1280


def font(size):
    try:
        return ImageFont.truetype(FONT, size)
    except OSError:
        return ImageFont.load_default()


def load(build, image, companion=False):
    """A built picture as RGBA (key and zero alpha transparent)."""
    name = image.companion_file if companion else image.file
    path = os.path.join(build, "data", "image", name)
    if name.endswith(".zga"):
        data = open(path, "rb").read()
        w, h = int.from_bytes(data[4:8], "little"), int.from_bytes(data[8:12], "little")
        bgra = np.frombuffer(data[24 : 24 + w * h * 4], dtype=np.uint8).reshape(h, w, 4)
        return bgra[..., [2, 1, 0, 3]].copy()
    rgb = np.array(Image.open(path).convert("RGB"))
    alpha = np.where((rgb == KEY).all(axis=-1) & (image.draw == "K"), 0, 255).astype(np.uint8)
    return np.dstack([rgb, alpha])


def checker(w, h, a=(118, 118, 118), b=(140, 140, 140), size=8):
    yy, xx = np.mgrid[0:h, 0:w]
    out = np.empty((h, w, 3), dtype=np.uint8)
    out[...] = a
    out[((xx // size) + (yy // size)) % 2 == 1] = b
    return out


def over(base, rgba, x, y):
    """Lays an RGBA picture over an RGB array at (x, y), clipped."""
    h, w = rgba.shape[:2]
    x0, y0 = max(x, 0), max(y, 0)
    x1, y1 = min(x + w, base.shape[1]), min(y + h, base.shape[0])
    if x1 <= x0 or y1 <= y0:
        return
    src = rgba[y0 - y : y1 - y, x0 - x : x1 - x].astype(np.float64)
    dst = base[y0:y1, x0:x1].astype(np.float64)
    a = src[..., 3:4] / 255
    base[y0:y1, x0:x1] = np.round(src[..., :3] * a + dst * (1 - a)).astype(np.uint8)


def add(base, rgb, x, y, rate=1.0):
    h, w = rgb.shape[:2]
    x0, y0 = max(x, 0), max(y, 0)
    x1, y1 = min(x + w, base.shape[1]), min(y + h, base.shape[0])
    if x1 <= x0 or y1 <= y0:
        return
    src = rgb[y0 - y : y1 - y, x0 - x : x1 - x, :3].astype(np.int32)
    base[y0:y1, x0:x1] = np.clip(base[y0:y1, x0:x1].astype(np.int32) + (src * rate).astype(np.int32), 0, 255)


# ---- joined terrain (the map's joining rule for each quarter of a cell)

COLUMN = [0, 1, 0, 1, 2, 3, 2, 4]
PLAIN = {".": 0, ",": 32, ";": 64, "b": 128}
JOINED = {"W": 1, "#": 2, "p": 3, "q": 4, "r": 5, "i": 8, "~": 9}
WET = "pqr"


def joins(a, b):
    return a == b or (a in WET and b in WET)


def room(sheet, rows, frame=0):
    """A map of terrain letters drawn from a terrain sheet as the map draws it."""
    h, w = len(rows), len(rows[0])
    out = np.zeros((32 * h, 32 * w, 3), dtype=np.uint8)

    def at(x, y):
        if 0 <= y < h and 0 <= x < w:
            return rows[y][x]
        return rows[min(max(y, 0), h - 1)][min(max(x, 0), w - 1)]

    for y in range(h):
        for x in range(w):
            t = rows[y][x]
            if t in PLAIN:
                out[32 * y : 32 * y + 32, 32 * x : 32 * x + 32] = sheet[0:32, PLAIN[t] : PLAIN[t] + 32, :3]
                continue
            row = JOINED[t] + (frame if t == "~" else 0)
            for qy in (0, 1):
                for qx in (0, 1):
                    dy, dx = (-1 if qy == 0 else 1), (-1 if qx == 0 else 1)
                    v = joins(at(x, y + dy), t)
                    hh = joins(at(x + dx, y), t)
                    d = joins(at(x + dx, y + dy), t)
                    col = COLUMN[v + 2 * d + 4 * hh]
                    sx, sy = 32 * col + 16 * qx, 32 * row + 16 * qy
                    out[32 * y + 16 * qy : 32 * y + 16 * qy + 16, 32 * x + 16 * qx : 32 * x + 16 * qx + 16] = \
                        sheet[sy : sy + 16, sx : sx + 16, :3]
    return out


SAMPLE_ROOM = [
    "WWWWWWWWWWWW",
    "W....WW...bW",
    "W.pp..W.ii.W",
    "W.ppp.,.ii.W",
    "W.....W...;W",
    "WW,WWWW~~~;W",
    "#W,W..~~~~.W",
    "#W,,,.~~...W",
    "#WWWWWWWWWWW",
]


# ---- contact sheet

def contact_sheet(table, build):
    label_font = font(12)
    pieces = []
    for image in sorted(table.images, key=lambda i: i.id):
        for companion in ((False, True) if image.x2 else (False,)):
            pieces.append((image, companion, load(build, image, companion)))
    # Flow layout; strips wider than the sheet are cut into rows.
    placed, x, y, row_h = [], 8, 8, 0
    for image, companion, rgba in pieces:
        h, w = rgba.shape[:2]
        for cut in range(0, w, WIDTH - 16):
            part = rgba[:, cut : cut + WIDTH - 16]
            pw = part.shape[1]
            if x + pw > WIDTH - 8:
                x, y, row_h = 8, y + row_h + 22, 0
            ident = image.id + (1 if companion else 0)
            name = image.companion_file if companion else image.file
            placed.append((part, x, y, f"{ident} {name}" + (" (cont.)" if cut else ""), image.draw))
            x += max(pw, 150) + 12
            row_h = max(row_h, h)
    y += row_h + 30
    rooms_y = y
    terrain = [i for i in table.images if 300 <= i.id < 400]
    room_w, room_h = 32 * len(SAMPLE_ROOM[0]), 32 * len(SAMPLE_ROOM)
    per_row = (WIDTH - 16) // (room_w + 12)
    total_h = rooms_y + ((len(terrain) + per_row - 1) // per_row) * (room_h + 24) + 8
    canvas = np.empty((total_h, WIDTH, 3), dtype=np.uint8)
    canvas[...] = (96, 96, 96)
    labels = []
    for part, px, py, text, draw in placed:
        h, w = part.shape[:2]
        canvas[py + 14 : py + 14 + h, px : px + w] = checker(w, h) if draw in ("K", "Z") else (0, 0, 0)
        over(canvas, part, px, py + 14)
        labels.append((px, py, text))
    for k, image in enumerate(terrain):
        sheet = load(build, image)
        rx = 8 + (k % per_row) * (room_w + 12)
        ry = rooms_y + (k // per_row) * (room_h + 24)
        canvas[ry + 14 : ry + 14 + room_h, rx : rx + room_w] = room(sheet, SAMPLE_ROOM)
        labels.append((rx, ry, f"{image.id} {image.file}: sample room"))
    picture = Image.fromarray(canvas)
    draw = ImageDraw.Draw(picture)
    for lx, ly, text in labels:
        draw.text((lx, ly), text, fill=(255, 255, 255), font=label_font)
    return picture


# ---- mock screens

def cell(rgba, x, y, w, h):
    return rgba[y : y + h, x : x + w]


class OffSheet(ValueError):
    pass


def named_rect(table, image_id, label, index=0):
    """(x, y, w, h) of repeat `index` of the cell named `label` on picture `image_id`; a cell the table does not
    have, a repeat it does not have, or a rectangle not wholly inside the picture raises OffSheet, so that a mock
    never shows an empty piece where a picture should be."""
    image = table.image(image_id)
    for c in image.cells:
        if c.label == label:
            if not 0 <= index < c.count:
                raise OffSheet(f"{image_id} {label}: no repeat {index} of {c.count}")
            x, y = c.x + index * c.dx, c.y + index * c.dy
            if x < 0 or y < 0 or x + c.w > image.w or y + c.h > image.h:
                raise OffSheet(f"{image_id} {label} {index}: ({x}, {y}) {c.w}x{c.h} lies outside {image.w}x{image.h}")
            return x, y, c.w, c.h
    raise OffSheet(f"{image_id}: no cell named {label}")


def piece(table, rgba, image_id, label, index=0):
    """The pixels of a named cell of a loaded picture."""
    return cell(rgba, *named_rect(table, image_id, label, index))


def digits(table, screen, sheet, value, x, y, places):
    text = str(value).rjust(places)
    for k, ch in enumerate(text):
        if ch != " ":
            over(screen, piece(table, sheet, 0, "digit", int(ch)), x + 8 * k, y)


def status_bar(table, screen, ui, floor, level, hp, max_hp, food, gold):
    digits(table, screen, ui, floor, 8, 0, 3)
    over(screen, piece(table, ui, 0, "label-f"), 32, 0)
    over(screen, piece(table, ui, 0, "label-lv"), 48, 0)
    digits(table, screen, ui, level, 64, 0, 2)
    over(screen, piece(table, ui, 0, "emblem"), 24, 16)
    over(screen, piece(table, ui, 0, "label-hp"), 92, 2)
    digits(table, screen, ui, hp, 108, 2, 3)
    over(screen, piece(table, ui, 0, "label-slash"), 132, 2)
    digits(table, screen, ui, max_hp, 140, 2, 3)
    for y, rows, value, maximum in ((20, 22, hp, max_hp), (26, 32, food, 100)):
        height = 6 if rows == 22 else 4
        over(screen, cell(ui, 100, rows, 1, height), 92, y)
        over(screen, cell(ui, 0, rows, value, height), 93, y)
        over(screen, cell(ui, 0, rows - height, maximum - value, height), 93 + value, y)
        over(screen, cell(ui, 102, rows, 2, height), 92 + maximum, y)
    digits(table, screen, ui, gold, 172, 2, 10)
    over(screen, piece(table, ui, 0, "label-g"), 252, 2)
    digits(table, screen, ui, 60, 268, 2, 2)
    over(screen, piece(table, ui, 0, "label-fps"), 284, 2)


def lit_room_screen(table, build):
    sheet = load(build, table.image(301))
    common = load(build, table.image(10))
    traps = load(build, table.image(11))
    ui = load(build, table.image(0))
    circles = load(build, table.image(12))
    shadows = load(build, table.image(404))
    rows = [
        "WWWWWWWWWWW",
        "W.........W",
        "W..;;....bW",
        "W..;;..pp.W",
        "W......pp.W",
        "W.~~~.....,",
        "W~~~~~....W",
        "WWWWWWWWWWW",
    ]
    screen = room(sheet, rows, frame=3)[:240, :320].copy()
    # Items on the floor and in the water, traps, stairs, a chest, a circle.
    for cls, (cx, cy) in {1: (2, 1), 4: (4, 2), 6: (6, 4), 11: (8, 1), 5: (1, 4)}.items():
        over(screen, piece(table, common, 10, "item-floor", cls - 1), 32 * cx, 32 * cy)
    over(screen, piece(table, common, 10, "item-in-water", 10 - 1), 32 * 3, 32 * 6)
    over(screen, piece(table, traps, 11, "trap-7-14", 9 - 7), 32 * 5, 32 * 1)     # poison gas
    over(screen, piece(table, traps, 11, "trap-1-5", 3 - 1), 32 * 1, 32 * 2)      # binding jaws
    over(screen, piece(table, traps, 11, "trap-7-14", 11 - 7), 32 * 9, 32 * 2)    # shield rust
    over(screen, piece(table, traps, 11, "trap-16-23", 16 - 16), 32 * 7, 32 * 5)  # fire
    over(screen, piece(table, common, 10, "stairs-down"), 32 * 9, 32 * 5)
    over(screen, piece(table, circles, 12, "circle-room"), 32 * 8, 32 * 3)
    over(screen, piece(table, shadows, 404, "shadow-3"), 32 * 5 + 4, 32 * 3 + 22)
    over(screen, piece(table, common, 10, "chest"), 32 * 5, 32 * 3)                # a chest standing there
    over(screen, piece(table, common, 10, "ice-pillar"), 32 * 2, 32 * 5 - 8)
    cast(screen, table, build, [(100, 4, 4, 0, 0), (504, 6, 2, 1, 0), (544, 3, 3, 6, 5), (596, 8, 4, 2, 1),
                                (628, 4, 6, 0, 0), (612, 7, 6, 7, 3)])
    status_bar(table, screen, ui, 12, 7, 38, 52, 64, 1520)
    return screen


def corridor_screen(table, build):
    sheet = load(build, table.image(302))
    spot = load(build, table.image(400))
    common = load(build, table.image(10))
    ui = load(build, table.image(0))
    rows = [
        "WWWWWWWWWWW",
        "WWWWWWWWWWW",
        "WWWWW,WWWWW",
        ",,,,,,,,,WW",
        "WWWWW,WWWWW",
        "WWWWW,WWWWW",
        "WWWWW,,,,,,",
        "WWWWWWWWWWW",
    ]
    screen = room(sheet, rows)[:240, :320].copy()
    over(screen, piece(table, common, 10, "item-floor", 3 - 1), 32 * 3, 32 * 3)
    cast(screen, table, build, [(100, 5, 3, 2, 0), (556, 3, 3, 6, 0), (588, 5, 5, 4, 5)])
    # The spotlight blended at half strength over the screen's centre; beyond it the screen is halved.
    cx, cy = 160, 120
    dark = (screen.astype(np.int32) // 2).astype(np.uint8)
    lit = screen.copy()
    s = spot[..., :3].astype(np.int32)
    keyed = (spot[..., 3] == 0)
    part = lit[cy - 64 : cy + 64, cx - 64 : cx + 64].astype(np.int32)
    blended = np.where(keyed[..., None], part, (part + s) // 2)
    lit[cy - 64 : cy + 64, cx - 64 : cx + 64] = blended.astype(np.uint8)
    box = np.zeros(screen.shape[:2], dtype=bool)
    box[cy - 64 : cy + 64, cx - 64 : cx + 64] = True
    screen = np.where(box[..., None], lit, dark)
    status_bar(table, screen, ui, 3, 4, 30, 30, 80, 250)
    return screen


def list_screen(table, build):
    base = lit_room_screen(table, build)
    screen = (base.astype(np.int32) * 3 // 5).astype(np.uint8)
    ui = load(build, table.image(0))
    common = load(build, table.image(10))
    x0, y0, w, h = 24, 40, 288, 190
    # The window's blue shading, translucent, then the frame tiles of image 0.
    shade = np.linspace(64, 8, h)[:, None] * np.array([0, 0, 1])[None, :]
    part = screen[y0 : y0 + h, x0 : x0 + w].astype(np.float64)
    screen[y0 : y0 + h, x0 : x0 + w] = np.round(part * (1 - 0.62) + shade[:, None, :] * 0.62 * 4).clip(0, 255)
    frame = piece(table, ui, 0, "frame")
    for ty in range(0, h, 16):
        for tx in range(0, w, 16):
            edge_row = ty == 0 or ty + 16 >= h
            edge_col = tx == 0 or tx + 16 >= w
            if not (edge_row or edge_col):
                continue
            sx = 0 if tx == 0 else (16 if tx + 16 >= w else 8)
            sy = 0 if ty == 0 else (16 if ty + 16 >= h else 8)
            over(screen, cell(frame, sx, sy, 16, 16), x0 + min(tx, w - 16), y0 + min(ty, h - 16))
    names = [(1, "青銅の剣", True), (2, "亀甲の盾", True), (3, "鉄の矢", False), (4, "小さなおにぎり", False),
             (5, "眠りの薬", False), (6, "四散の巻物", False), (7, "業火の杖", False), (9, "炎の石", False),
             (10, "倉庫の壺", False)]
    picture = Image.fromarray(screen)
    draw = ImageDraw.Draw(picture)
    text_font = font(14)
    for k, (cls, name, equipped) in enumerate(names):
        y = 48 + 18 * k
        draw.text((61, y + 2), name, fill=(0, 0, 0), font=text_font)
        draw.text((60, y + 1), name, fill=(255, 255, 255), font=text_font)
    screen = np.array(picture)
    for k, (cls, name, equipped) in enumerate(names):
        y = 48 + 18 * k
        over(screen, piece(table, common, 10, "class-icon", cls - 1), 40, y)
        if equipped:
            over(screen, piece(table, ui, 0, "equipped-mark"), 36, y + 9)
    over(screen, piece(table, ui, 0, "cursor"), 28, 48 + 18 * 2 + 2)
    over(screen, piece(table, ui, 0, "scroll-track")[:150], 292, 50)
    over(screen, piece(table, ui, 0, "scroll-thumb")[:60], 292, 50)
    over(screen, piece(table, ui, 0, "down-arrow"), 160, 214)
    over(screen, piece(table, ui, 0, "page-previous"), 240, 24)
    over(screen, piece(table, ui, 0, "page-next"), 288, 24)
    return screen


# ---- characters on the mock screens

SHADOW_SIZE = {24: 0, 32: 2, 40: 4, 28: 2}


def cast(screen, table, build, people):
    """Characters standing on cells: (picture, cell x, cell y, direction, column), drawn as the game draws
    them: the heroine 2 right of the cell and 15 above it, a monster's frame bottom-centred on its cell, each
    over its shadow."""
    shadows = load(build, table.image(404))
    for image_id, cx, cy, direction, column in sorted(people, key=lambda p: p[2]):
        image = table.image(image_id)
        sheet = load(build, image)
        if image_id == 100:
            w, h, x, y = 28, 36, 32 * cx + 2, 32 * cy - 15
        else:
            w, h = image.w // 7, image.h // 8
            x, y = 32 * cx + (32 - w) // 2, 32 * cy + 30 - h
        size = SHADOW_SIZE.get(w, 2)
        sw, sh = 12 + 4 * size, 6 + 2 * size
        over(screen, piece(table, shadows, 404, f"shadow-{size}"), 32 * cx + (32 - sw) // 2, 32 * cy + 28 - sh)
        over(screen, cell(sheet, w * column, h * direction, w, h), x, y)


def camp_screen(table, build):
    """The camp with 霞野 and ルゥナ speaking over it, in a message window."""
    screen = load(build, table.image(12002))[..., :3].copy()
    over(screen, load(build, table.image(14002)), -4, 0)
    over(screen, load(build, table.image(14104)), 164, 0)
    x0, y0, w, h = 8, 176, 304, 56
    part = screen[y0 : y0 + h, x0 : x0 + w].astype(np.float64)
    screen[y0 : y0 + h, x0 : x0 + w] = np.round(part * 0.4 + np.array((10, 20, 70)) * 0.6).clip(0, 255)
    picture = Image.fromarray(screen)
    draw = ImageDraw.Draw(picture)
    draw.text((20, 184), "ルゥナ「ずいぶん元気なお客さんだね。", fill=(255, 255, 255), font=font(13))
    return np.array(picture)


def screens(table, build):
    shots = [lit_room_screen(table, build), corridor_screen(table, build), list_screen(table, build),
             camp_screen(table, build)]
    out = Image.new("RGB", (len(shots) * 648 + 8, 480 + 16), (40, 40, 40))
    for k, shot in enumerate(shots):
        out.paste(Image.fromarray(shot).resize((640, 480), Image.NEAREST), (8 + k * 648, 8))
    return out


def write(table, build, folder):
    os.makedirs(folder, exist_ok=True)
    contact_sheet(table, build).save(os.path.join(folder, "contact-sheet.png"))
    screens(table, build).save(os.path.join(folder, "screens.png"))
