"""Reads assets.tsv, the one list of every picture, sound effect and piece of music of the game.

Rows (tab-separated; '#' starts a comment line, blank lines are skipped):
  image  <id> <constant> <file> <W>x<H> <draw> <x2|-> <generator> <style>
  cell   <label> <x>,<y> <W>x<H> <draw> <check> [<count> <dx>,<dy>]
  const  <constant> <value>
  sound  <id> <constant> <file> <generator>
  music  <id> <constant> <file> <generator>
  monsters  <base> <generator> <style>
            a sheet at <base> + kind for every named kind of the monster table, at its letter's frame
            size, 7 columns by 8 directions; the generator gets the species as its argument

A cell row belongs to the image row above it. draw: K keyed on magenta, A additive on black, O opaque,
Z alpha (zga). check: sprite (ink with key all round it and a dark outline where it meets the key), glyph
(ink with the dark outline; it may reach the cell's edge), ink (ink anywhere), seam (ink, and the cell
tiles without a seam), shadow and sweep (alpha pictures). style: art (palette, outlined sprites), tile (palette,
seamless tiles), fx (any colour). A generator is "<module>" or "<module>:<argument>"; the module lives in
generators/ and offers make(image, argument).
"""

from dataclasses import dataclass, field
import re

DRAW_KINDS = ("K", "A", "O", "Z")
CHECKS = ("sprite", "glyph", "ink", "seam", "shadow", "sweep")
STYLES = ("art", "tile", "fx")
NAME = re.compile(r"^k[A-Z][A-Za-z0-9]*$")
FILE = re.compile(r"^[a-z0-9][a-z0-9._-]*$")


class TableError(Exception):
    pass


@dataclass
class Cell:
    label: str
    x: int
    y: int
    w: int
    h: int
    draw: str
    check: str
    count: int = 1
    dx: int = 0
    dy: int = 0
    line: int = 0

    def rects(self):
        """Every repeat of the cell as (index, x, y, w, h)."""
        for i in range(self.count):
            yield i, self.x + i * self.dx, self.y + i * self.dy, self.w, self.h


@dataclass
class Image:
    id: int
    name: str
    file: str
    w: int
    h: int
    draw: str
    x2: bool
    generator: str
    style: str
    line: int = 0
    cells: list = field(default_factory=list)
    named: bool = True  # has a constant of its own in the header (the monster sheets count from a base)

    @property
    def module(self):
        return self.generator.split(":", 1)[0]

    @property
    def argument(self):
        parts = self.generator.split(":", 1)
        return parts[1] if len(parts) > 1 else ""

    @property
    def companion_file(self):
        stem, dot, ext = self.file.rpartition(".")
        first, dash, rest = stem.partition("-")
        return f"{self.id + 1}{dash}{rest}-x2.{ext}"


@dataclass
class Sound:
    kind: str  # "sound" or "music"
    id: int
    name: str
    file: str
    generator: str
    line: int = 0

    @property
    def module(self):
        return self.generator.split(":", 1)[0]


@dataclass
class Table:
    images: list = field(default_factory=list)
    sounds: list = field(default_factory=list)
    constants: list = field(default_factory=list)  # (name, value)

    def image(self, image_id):
        for image in self.images:
            if image.id == image_id:
                return image
        raise KeyError(image_id)


def _size(text, where):
    m = re.fullmatch(r"(\d+)x(\d+)", text)
    if not m:
        raise TableError(f"{where}: size '{text}' is not <W>x<H>")
    return int(m.group(1)), int(m.group(2))


def _point(text, where):
    m = re.fullmatch(r"(-?\d+),(-?\d+)", text)
    if not m:
        raise TableError(f"{where}: '{text}' is not <x>,<y>")
    return int(m.group(1)), int(m.group(2))


def read(path):
    with open(path, encoding="utf-8") as f:
        return parse(f.read(), str(path))


def parse(text, source="assets.tsv"):
    table = Table()
    names = set()
    ids = {}
    files = set()
    image = None

    def claim_name(name, where):
        if not NAME.match(name):
            raise TableError(f"{where}: constant '{name}' is not k followed by a capitalised name")
        if name in names:
            raise TableError(f"{where}: constant '{name}' is named twice")
        names.add(name)

    def claim_file(name, where):
        if not FILE.match(name):
            raise TableError(f"{where}: file '{name}' is not a flat lower-case ASCII name")
        if name in files:
            raise TableError(f"{where}: file '{name}' is named twice")
        files.add(name)

    for number, raw in enumerate(text.splitlines(), 1):
        where = f"{source}:{number}"
        if not raw.strip() or raw.lstrip().startswith("#"):
            continue
        f = raw.split("\t")
        kind = f[0]
        if kind == "image":
            if len(f) != 9:
                raise TableError(f"{where}: an image row has 9 columns, this one {len(f)}")
            _, id_text, name, file, size, draw, x2, generator, style = f
            image_id = int(id_text)
            if not name.startswith("kImage"):
                raise TableError(f"{where}: an image's constant begins with kImage (its cells are named after it)")
            w, h = _size(size, where)
            if draw not in DRAW_KINDS:
                raise TableError(f"{where}: draw kind '{draw}' is none of {DRAW_KINDS}")
            if style not in STYLES:
                raise TableError(f"{where}: style '{style}' is none of {STYLES}")
            if x2 not in ("x2", "-"):
                raise TableError(f"{where}: the companion column is 'x2' or '-'")
            image = Image(image_id, name, file, w, h, draw, x2 == "x2", generator, style, number)
            claim_name(name, where)
            claim_file(file, where)
            for taken in [image_id] + ([image_id + 1] if image.x2 else []):
                if taken in ids:
                    raise TableError(f"{where}: image {taken} is also given on line {ids[taken]}")
                ids[taken] = number
            if image.x2:
                claim_file(image.companion_file, where)
            want = ".zga" if draw == "Z" else ".bmp"
            if not file.endswith(want):
                raise TableError(f"{where}: a {draw} image is a {want} file")
            table.images.append(image)
        elif kind == "cell":
            if image is None:
                raise TableError(f"{where}: a cell row before any image row")
            if len(f) not in (6, 8):
                raise TableError(f"{where}: a cell row has 6 or 8 columns, this one {len(f)}")
            label, at, size, draw, check = f[1:6]
            x, y = _point(at, where)
            w, h = _size(size, where)
            count, dx, dy = 1, 0, 0
            if len(f) == 8:
                count = int(f[6])
                dx, dy = _point(f[7], where)
            if draw not in DRAW_KINDS or check not in CHECKS:
                raise TableError(f"{where}: cell draw '{draw}' or check '{check}' unknown")
            if any(c.label == label for c in image.cells):
                raise TableError(f"{where}: image {image.id} has a cell {label} already (code names cells by label)")
            cell = Cell(label, x, y, w, h, draw, check, count, dx, dy, number)
            for i, cx, cy, cw, ch in cell.rects():
                if cx < 0 or cy < 0 or cx + cw > image.w or cy + ch > image.h:
                    raise TableError(f"{where}: cell {label}[{i}] ({cx},{cy}) {cw}x{ch} leaves image {image.id}")
            image.cells.append(cell)
        elif kind == "const":
            if len(f) != 3:
                raise TableError(f"{where}: a const row has 3 columns")
            claim_name(f[1], where)
            table.constants.append((f[1], int(f[2])))
        elif kind in ("sound", "music"):
            if len(f) != 5:
                raise TableError(f"{where}: a {kind} row has 5 columns")
            sound = Sound(kind, int(f[1]), f[2], f[3], f[4], number)
            claim_name(sound.name, where)
            if any(s.kind == kind and s.id == sound.id for s in table.sounds):
                raise TableError(f"{where}: {kind} {sound.id} is given twice")
            table.sounds.append(sound)
        elif kind == "monsters":
            if len(f) != 4:
                raise TableError(f"{where}: a monsters row has 4 columns")
            for sheet in monster_sheets(int(f[1]), f[2], f[3], number):
                claim_file(sheet.file, where)
                if sheet.id in ids:
                    raise TableError(f"{where}: image {sheet.id} is also given on line {ids[sheet.id]}")
                ids[sheet.id] = number
                table.images.append(sheet)
            image = None
        else:
            raise TableError(f"{where}: unknown row kind '{kind}'")
    return table


def monster_sheets(base, generator, style, line):
    """The sheet rows of a monsters row: one per named kind, a cell row per direction."""
    from . import monster_table

    sheets = []
    for k in monster_table.read():
        w, h = k.frame
        image = Image(base + k.kind, f"kImageMonster{k.kind}", f"{base + k.kind}-monster-{k.species:02d}-{k.rank}.bmp",
                      7 * w, 8 * h, "K", False, f"{generator}:{k.species}", style, line, named=False)
        for d in range(8):
            image.cells.append(Cell(f"facing-{d}", 0, d * h, w, h, "K", "sprite", 7, w, 0, line))
        sheets.append(image)
    return sheets
