"""The characters' own checks of a sheet: every frame has ink and an outline, the three walk frames of a
row differ, and the rows facing down, left and up differ. Each problem names the file."""

import numpy as np

from . import palette


def frame_problems(name, block):
    key = (block[..., 0] == 255) & (block[..., 1] == 0) & (block[..., 2] == 255)
    ink = ~key
    if not ink.any():
        return [f"{name}: no ink"]
    beside_key = np.zeros_like(ink)
    beside_key[1:, :] |= key[:-1, :]
    beside_key[:-1, :] |= key[1:, :]
    beside_key[:, 1:] |= key[:, :-1]
    beside_key[:, :-1] |= key[:, 1:]
    outline = palette.packed(block) == palette.packed(np.array(palette.rgb(palette.OUTLINE), dtype=np.uint8))
    if not (ink & beside_key & outline).any():
        return [f"{name}: no outline"]
    return []


def sheet_problems(file, rgb, w, h, walk=(0, 1, 2), rows_differ=(0, 2, 4), columns=None):
    """A sheet of w x h frames, a row per direction; `columns` the frames of a row that must be drawn
    (default every one)."""
    problems = []
    rows, cols = rgb.shape[0] // h, rgb.shape[1] // w
    columns = range(cols) if columns is None else columns

    def block(r, c):
        return rgb[r * h : (r + 1) * h, c * w : (c + 1) * w]

    for r in range(rows):
        for c in columns:
            problems += frame_problems(f"{file}: frame row {r} column {c}", block(r, c))
        for i, a in enumerate(walk):
            for b in walk[i + 1 :]:
                if np.array_equal(block(r, a), block(r, b)):
                    problems.append(f"{file}: row {r}: walk frames {a} and {b} are the same")
    for i, a in enumerate(rows_differ):
        for b in rows_differ[i + 1 :]:
            if np.array_equal(rgb[a * h : (a + 1) * h], rgb[b * h : (b + 1) * h]):
                problems.append(f"{file}: rows {a} and {b} are the same")
    return problems
