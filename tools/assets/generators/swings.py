"""Images 110-112, the swing overlays (256 x 512, additive): 64 x 64 frames, a row per direction, a column
per stage: an arc of light that grows, peaks and fades in the direction of the blow. 110 a pale violet
wave of a staff, 111 a white-steel slash, 112 a short orange impact."""

import math

import numpy as np

from assetlib.pixels import to_u8

# direction -> the screen angle of the blow (0 down, counter-clockwise by eighths as the sheets number them)
STYLES = {
    "staff": ((190, 160, 255), (120, 80, 200), 1.0),
    "slash": ((255, 255, 255), (140, 180, 230), 1.2),
    "impact": ((255, 200, 110), (230, 90, 20), 0.7),
}
STAGE = [0.45, 0.85, 1.0, 0.55]
SWEEP = [0.35, 0.75, 1.0, 1.0]


def direction_vector(d):
    a = d * math.pi / 4
    return -math.sin(a), math.cos(a)  # d 0 down, 2 left, 4 up, 6 right


def frame(style, d, stage):
    core, rim, width = STYLES[style]
    yy, xx = np.mgrid[0:64, 0:64] + 0.5
    ux, uy = direction_vector(d)
    x, y = xx - 32, yy - 32
    along = x * ux + y * uy
    across = -x * uy + y * ux
    strength = STAGE[stage]
    if style == "impact":
        cx, cy = 14 * ux, 14 * uy
        r = np.hypot(x - cx, y - cy)
        radius = 4 + 10 * SWEEP[stage]
        rays = np.clip(np.cos(np.arctan2(y - cy, x - cx) * 4 + d * 0.7), 0, 1) ** 6
        spikes = rays * np.clip(1 - r / (radius * 1.3), 0, 1) * (r > radius * 0.25)
        centre = np.exp(-(r / (2.5 + 3 * SWEEP[stage])) ** 2)
        mask = (spikes * 1.2 + centre) * strength * (1.0 if stage < 3 else 0.6)
    else:
        r = np.hypot(x, y)
        theta = np.arctan2(across, along)
        span = math.pi * 0.36 * SWEEP[stage]
        start = -math.pi * 0.36 if style == "slash" else -span
        inside = (theta > start) & (theta < start + 2 * span if style == "staff" else theta < start + 2 * span)
        head = np.clip(1 - np.abs(theta - (start + 2 * span)) / 1.4, 0, 1)
        band = np.exp(-((r - 20) / (3.2 * width)) ** 2)
        mask = band * inside * (0.35 + 0.65 * head) * strength
        if style == "staff":
            sparkle = (np.sin(xx * 1.7 + d) * np.sin(yy * 1.3 + stage) > 0.92) * band * inside
            mask = np.clip(mask + 0.6 * sparkle * strength, 0, 1)
    mask = np.clip(mask, 0, 1)
    colour = np.array(rim)[None, None, :] * mask[..., None] + (np.array(core) - np.array(rim))[None, None, :] * (
        mask[..., None] ** 2.2)
    out = to_u8(colour)
    out[mask < 0.06] = 0
    # never a colour that a keyed blit would take for the key
    out[..., 1] = np.where((out[..., 0] >= 248) & (out[..., 2] >= 248) & (out[..., 1] <= 3), 4, out[..., 1])
    return out


def make(image, argument):
    out = np.zeros((512, 256, 3), dtype=np.uint8)
    for d in range(8):
        for stage in range(4):
            out[64 * d : 64 * d + 64, 64 * stage : 64 * stage + 64] = frame(argument, d, stage)
    return out
