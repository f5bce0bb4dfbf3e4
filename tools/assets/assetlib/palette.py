"""The master palette: 64 colours in named ramps, darkest shade first.

Sprites, tiles, icons and the interface use only these colours; effects may use any colour built from the
same hues. A colour is named "<ramp><shade>", e.g. "stone2"; the outline ramp's shade 0 is the dark line
drawn wherever ink meets the key.
"""

import numpy as np

RAMPS = {
    "outline": [(22, 18, 30), (44, 38, 56), (70, 62, 84)],
    "stone": [(48, 52, 62), (72, 78, 90), (102, 108, 120), (138, 144, 154), (180, 184, 190)],
    "earth": [(54, 38, 32), (84, 58, 42), (118, 84, 56), (154, 114, 76), (194, 154, 106)],
    "moss": [(34, 56, 40), (54, 86, 52), (86, 122, 66), (136, 162, 90)],
    "water": [(22, 42, 82), (34, 72, 122), (58, 112, 166), (108, 164, 204)],
    "ice": [(138, 186, 210), (186, 224, 238), (232, 246, 250)],
    "lava": [(122, 30, 22), (196, 68, 26), (240, 134, 42), (252, 212, 98)],
    "skin": [(176, 112, 90), (226, 164, 132), (248, 212, 184)],
    "hair": [(50, 34, 42), (80, 54, 62), (114, 82, 86)],
    "indigo": [(30, 34, 78), (44, 58, 122), (72, 90, 166), (114, 134, 202)],
    "crimson": [(88, 22, 34), (142, 32, 42), (194, 52, 52), (234, 104, 90)],
    "gold": [(122, 86, 22), (186, 138, 38), (228, 190, 62), (252, 234, 142)],
    "bone": [(150, 140, 122), (196, 186, 164), (228, 220, 202), (250, 248, 240)],
    "poison": [(66, 86, 28), (112, 142, 38), (170, 198, 66)],
    "violet": [(60, 42, 94), (98, 68, 142), (142, 106, 190), (190, 162, 228)],
    "spirit": [(176, 120, 184), (228, 162, 212), (252, 222, 240)],
    "ui": [(26, 40, 88), (48, 76, 140), (90, 126, 196), (162, 198, 240)],
}

KEY = (255, 0, 255)

COLOURS = {}
for _ramp, _shades in RAMPS.items():
    for _i, _rgb in enumerate(_shades):
        COLOURS[f"{_ramp}{_i}"] = _rgb

NAMES = list(COLOURS)
ARRAY = np.array([COLOURS[n] for n in NAMES], dtype=np.uint8)
OUTLINE_DARK = {COLOURS["outline0"], COLOURS["outline1"]}
OUTLINE = "outline0"

assert len(COLOURS) <= 64, len(COLOURS)


def rgb(name):
    return COLOURS[name]


def ramp(name):
    return [f"{name}{i}" for i in range(len(RAMPS[name]))]


def packed(array):
    """RGB array (..., 3) as one integer per pixel."""
    a = array.astype(np.uint32)
    return (a[..., 0] << 16) | (a[..., 1] << 8) | a[..., 2]


PACKED = set(int(v) for v in packed(ARRAY))
KEY_PACKED = 0xFF00FF


def nearest(rgb_array, names=None):
    """Each pixel of an RGB array replaced by the nearest palette colour (of `names`, default all)."""
    pal = ARRAY if names is None else np.array([COLOURS[n] for n in names], dtype=np.uint8)
    flat = rgb_array.reshape(-1, 3).astype(np.int32)
    d = ((flat[:, None, :] - pal[None, :, :].astype(np.int32)) ** 2).sum(axis=2)
    return pal[d.argmin(axis=1)].reshape(rgb_array.shape)
