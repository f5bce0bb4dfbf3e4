"""The generator's checks of its own output. Each problem names the file and the cell; any problem stops
the build."""

import numpy as np

from . import palette


def near_magenta(rgb):
    """Pixels of a colour with red and blue >= 248 and green <= 3 that is not the key itself."""
    r, g, b = (rgb[..., i].astype(int) for i in range(3))
    key = (r == 255) & (g == 0) & (b == 255)
    return (r >= 248) & (b >= 248) & (g <= 3) & ~key


def is_key(rgb):
    return (rgb[..., 0] == 255) & (rgb[..., 1] == 0) & (rgb[..., 2] == 255)


def is_black(rgb):
    return (rgb == 0).all(axis=-1)


def cell_masks(image, shape):
    """A mask per draw kind over the image: which pixels lie in cells of that kind."""
    h, w = shape
    additive = np.zeros((h, w), dtype=bool)
    for cell in image.cells:
        if cell.draw == "A":
            for _, x, y, cw, ch in cell.rects():
                additive[y : y + ch, x : x + cw] = True
    return additive


def seam_gap(block):
    """How far the wrap-around differs from the tile's own neighbouring pixels: the mean step across the
    wrap less the largest mean step between two neighbouring columns (rows) inside, with a little room
    for a tile whose own lines lie on its edge; above 0 the tile shows a seam."""
    a = block.astype(np.float64)
    worst = -1e9
    for axis in (0, 1):
        inside = np.abs(np.diff(a, axis=axis)).mean(axis=tuple(i for i in range(3) if i != axis))
        wrap = np.abs(np.take(a, 0, axis=axis) - np.take(a, -1, axis=axis)).mean()
        worst = max(worst, wrap - (1.35 * inside.max() + 4))
    return worst


def check_image(image, rgb, file):
    """The problems of one generated picture (a list of messages)."""
    problems = []
    h, w = rgb.shape[:2]
    if (w, h) != (image.w, image.h):
        return [f"{file}: {w}x{h}, the table says {image.w}x{image.h}"]
    bad = near_magenta(rgb)
    if bad.any():
        y, x = np.argwhere(bad)[0]
        problems.append(f"{file}: near-magenta colour {tuple(rgb[y, x])} at ({x},{y})")
    key = is_key(rgb)
    if image.draw in ("A", "O") and key.any():
        y, x = np.argwhere(key)[0]
        problems.append(f"{file}: magenta at ({x},{y}) in a {image.draw} image")
    additive = cell_masks(image, (h, w))
    if image.style in ("art", "tile"):
        packed = palette.packed(rgb)
        allowed = np.isin(packed, list(palette.PACKED)) | key | additive
        if not allowed.all():
            y, x = np.argwhere(~allowed)[0]
            problems.append(
                f"{file}: {where(image, x, y)}: colour {tuple(int(v) for v in rgb[y, x])} at ({x},{y}) "
                "is not in the palette")
    for cell in image.cells:
        for i, x, y, cw, ch in cell.rects():
            part = rgb[y : y + ch, x : x + cw]
            name = f"{file}: cell {cell.label}[{i}] at ({x},{y})"
            if cell.draw == "A":
                if is_key(part).any():
                    problems.append(f"{name}: magenta in an additive cell")
                if is_black(part).all():
                    problems.append(f"{name}: no ink")
                if is_black(part).sum() * 8 < part.shape[0] * part.shape[1]:
                    problems.append(f"{name}: no black background")
                continue
            if cell.draw == "K" and image.draw in ("K",):
                ink = ~is_key(part)
                if not ink.any():
                    problems.append(f"{name}: no ink")
                    continue
                if cell.check in ("sprite", "glyph"):
                    problems += outline_problems(part, ink, name, ring=cell.check == "sprite")
            if cell.check == "seam" and seam_gap(part) > 0:
                problems.append(f"{name}: does not tile: the step across its wrap is larger than inside")
    return problems


def outline_problems(part, ink, name, ring):
    problems = []
    border = np.zeros_like(ink)
    border[0, :] = border[-1, :] = border[:, 0] = border[:, -1] = True
    if ring and (ink & border).any():
        y, x = np.argwhere(ink & border)[0]
        problems.append(f"{name}: ink at ({x},{y}) on the cell's edge, where key belongs")
    key = ~ink
    touches = np.zeros_like(ink)
    touches[1:, :] |= key[:-1, :]
    touches[:-1, :] |= key[1:, :]
    touches[:, 1:] |= key[:, :-1]
    touches[:, :-1] |= key[:, 1:]
    edge = ink & touches
    packed = palette.packed(part)
    dark = np.isin(packed, [palette.packed(np.array(c, dtype=np.uint8)) for c in palette.OUTLINE_DARK])
    wrong = edge & ~dark
    if wrong.any():
        y, x = np.argwhere(wrong)[0]
        problems.append(f"{name}: ink {tuple(int(v) for v in part[y, x])} at ({x},{y}) meets the key "
                        "without the dark outline")
    return problems


def where(image, x, y):
    for cell in image.cells:
        for i, cx, cy, cw, ch in cell.rects():
            if cx <= x < cx + cw and cy <= y < cy + ch:
                return f"cell {cell.label}[{i}]"
    return "outside every cell"


def check_alpha(image, rgba, file):
    """A zga picture: transparent pixels are magenta at alpha 0; nothing near magenta."""
    problems = []
    if rgba.shape[:2] != (image.h, image.w):
        return [f"{file}: {rgba.shape[1]}x{rgba.shape[0]}, the table says {image.w}x{image.h}"]
    clear = rgba[..., 3] == 0
    if not is_key(rgba[..., :3])[clear].all():
        problems.append(f"{file}: a transparent pixel that is not magenta")
    if near_magenta(rgba[..., :3]).any():
        problems.append(f"{file}: a near-magenta colour")
    for cell in image.cells:
        for i, x, y, cw, ch in cell.rects():
            if not (rgba[y : y + ch, x : x + cw, 3] > 0).any():
                problems.append(f"{file}: cell {cell.label}[{i}] at ({x},{y}): no ink")
    return problems
