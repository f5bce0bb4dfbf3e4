"""The flame strips 420-425: one flame at six sizes, 32 frames that loop. Tongues are widest at about
three quarters of the frame's height and taper upward; a fading glow lies below."""

import numpy as np

from assetlib import fx

SIZES = [(6, 16), (12, 32), (18, 48), (24, 64), (36, 96), (48, 128)]
FRAMES = 32


def flame(w, h, frame, noise):
    x, y = fx.grid(w, h)
    v = (y + 1) / 2  # 0 at the top, 1 at the bottom
    # The body: widest at v 0.75, narrowing to a point at the top, rounded off below.
    width = np.where(v < 0.75, 0.95 * np.sqrt(np.clip(v / 0.75, 0, 1)), 0.95 * np.clip(1 - (v - 0.75) / 0.3, 0, 1))
    n = noise(x * 2.2, v * 5.0 + frame * 0.0, frame)
    sway = 0.18 * noise(v * 2.0, 11.0, frame) * (1 - v)
    edge = width * (0.8 + 0.35 * n) - np.abs(x - sway)
    body = fx.smoothstep(-0.05, 0.35, edge) * fx.smoothstep(0.0, 0.2, v)
    # Tongues: the upper part breaks into licks that rise.
    licks = fx.smoothstep(0.0, 0.6, n + 0.9 * v - 0.15)
    heat = body * (0.35 + 0.65 * licks) * (0.45 + 0.55 * v)
    glow = 0.35 * fx.blob(x, v, 0, 0.95, 0.22) * (1 - np.abs(x))
    return fx.FIRE(np.clip(heat + glow, 0, 1))


def make(image, argument):
    index = int(argument)
    w, h = SIZES[index]
    noise = fx.LoopNoise(seed=420, waves=10, period=FRAMES, speed=(1, 3))
    return fx.strip([fx.clean(flame(w, h, f, noise)) for f in range(FRAMES)])
