"""The monster table's source (UTF-8) as the character generators need it: every named kind with its
species, rank, name, type and letter. Kinds are numbered as the game numbers them: a species is a run of up
to four lines closed by an empty or "//" line, and kind = species * 4 + rank."""

import os
from dataclasses import dataclass

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "data", "src", "text",
                      "モンスター.txt")

# The frame of each letter (column 11), width and height; "m" and anything else the 32 x 32 frame.
FRAMES = {"s": (24, 24), "l": (40, 40), "p": (28, 36)}
MEDIUM = (32, 32)


@dataclass
class Kind:
    kind: int
    species: int
    rank: int
    name: str
    type: str
    letter: str

    @property
    def frame(self):
        return FRAMES.get(self.letter[:1], MEDIUM)


def parse(text):
    kinds = []
    species, rank = 0, 0
    for line in text.splitlines()[1:]:
        columns = line.rstrip("\r").split("\t")
        if line.startswith("//") or not columns[0].strip():
            if rank:
                species, rank = species + 1, 0
            continue
        if len(columns) < 11:
            raise ValueError(f"monster line '{line}' has {len(columns)} columns")
        kinds.append(Kind(species * 4 + rank, species, rank, columns[0], columns[7], columns[10]))
        rank += 1
    return kinds


def read(path=SOURCE):
    with open(path, encoding="utf-8") as f:
        return parse(f.read())
