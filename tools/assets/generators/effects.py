"""Additive effects (on black) and the alpha sweep: the reading glow, water pouring, rust mist, the two
explosions, the four gas clouds, burning flames over a cell, and the scattering gust."""

import numpy as np

from assetlib import fx, palette

GAS_COLOURS = {
    "sleep-gas": [(0, (0, 0, 0)), (0.35, (40, 70, 120)), (0.7, (120, 170, 230)), (1, (214, 236, 255))],
    "poison-gas": [(0, (0, 0, 0)), (0.35, (30, 80, 20)), (0.7, (90, 180, 50)), (1, (200, 246, 140))],
    "seal-gas": [(0, (0, 0, 0)), (0.35, (56, 44, 76)), (0.7, (130, 112, 160)), (1, (214, 204, 232))],
    "hallucination-gas": [(0, (0, 0, 0)), (0.35, (100, 30, 80)), (0.7, (230, 100, 180)), (1, (255, 210, 240))],
}
WATER = fx.ramp([(0, (0, 0, 0)), (0.3, (16, 50, 110)), (0.65, (60, 140, 220)), (1, (220, 244, 255))])
RUST = fx.ramp([(0, (0, 0, 0)), (0.3, (70, 30, 10)), (0.65, (170, 86, 34)), (1, (240, 170, 100))])
GOLD = fx.ramp([(0, (0, 0, 0)), (0.3, (90, 60, 10)), (0.65, (230, 180, 70)), (1, (255, 252, 230))])
SMOKE = fx.ramp([(0, (0, 0, 0)), (0.5, (60, 50, 50)), (1, (130, 120, 116))])


def glow():
    """A soft column of gold-white light with rising motes."""
    w = h = 160
    x, y = fx.grid(w, h)
    column = np.exp(-(x / 0.32) ** 2) * fx.smoothstep(1.0, 0.55, np.abs(y))
    core = np.exp(-(x / 0.1) ** 2) * fx.smoothstep(1.0, 0.3, np.abs(y))
    r = np.random.default_rng(410)
    motes = np.zeros_like(x)
    for _ in range(40):
        mx, my = r.normal(0, 0.3), r.uniform(-0.9, 0.9)
        motes += 0.8 * fx.blob(x, y, mx, my, 0.018)
    return fx.clean(GOLD(np.clip(0.75 * column + 0.5 * core + motes * column * 1.5, 0, 1)), 14)


def pour(frames=8, rust=False):
    """Streams falling from above onto the cell (frame rows 40-72), ending by row 80."""
    w, h = 32, 128
    out = []
    r = np.random.default_rng(11102 if rust else 11100)
    streams = [(r.uniform(6, 26), r.uniform(1.0, 2.2), r.uniform(0, 1)) for _ in range(7)]
    yy, xx = np.mgrid[0:h, 0:w] + 0.5
    for f in range(frames):
        v = np.zeros((h, w))
        for sx, width, phase in streams:
            wobble = sx + 1.2 * np.sin(yy / 9 + phase * 6 + f * 0.8)
            band = np.exp(-((xx - wobble) / width) ** 2)
            streak = 0.55 + 0.45 * np.sin(yy / 5 - f * 2 * np.pi / frames * 2 + phase * 9)
            v += band * streak * 0.6
        v *= fx.smoothstep(0, 14, yy) * fx.smoothstep(74, 60, yy)
        # Where it lands: a splash of droplets over the cell's lower half.
        splash = np.zeros((h, w))
        for k in range(10):
            a = r.uniform(0, 1)
            t = (f / frames + a) % 1
            px, py = 16 + (a - 0.5) * 30 * t, 66 - 14 * np.sin(np.pi * t)
            splash += 0.9 * np.exp(-((xx - px) ** 2 + (yy - py) ** 2) / 2.2)
        v += splash * fx.smoothstep(78, 70, yy)
        if rust:
            mist = fx.LoopNoise(seed=11102, period=frames)(xx / 6, yy / 10, f)
            v = 0.55 * v + 0.5 * np.clip(mist * 0.5 + 0.5, 0, 1) * fx.smoothstep(4, 20, yy) * fx.smoothstep(76, 58, yy)
            out.append(fx.clean(RUST(np.clip(v, 0, 1))))
        else:
            out.append(fx.clean(WATER(np.clip(v, 0, 1))))
    return fx.strip(out)


def blast(size, seed):
    """An explosion centred in its frame: a flash, a fireball that grows and breaks up, then smoke."""
    frames = []
    noise = fx.LoopNoise(seed=seed, waves=14, scale=3.0, period=8, speed=(1, 2))
    x, y = fx.grid(size, size)
    r = np.hypot(x, y)
    for f in range(8):
        t = (f + 0.5) / 8
        radius = 0.25 + 0.6 * np.sqrt(t)
        n = noise(x * 2, y * 2, f)
        edge = radius * (1 + 0.22 * n) - r
        ball = fx.smoothstep(-0.05, 0.25, edge)
        heat = ball * (1.0 - 0.85 * t) + 0.6 * np.exp(-(r / (0.2 + 0.2 * t)) ** 2) * (1 - t)
        fire = fx.FIRE(np.clip(heat * (1.1 - 0.2 * r), 0, 1))
        smoke = SMOKE(np.clip(ball * t * 0.9 * (0.6 + 0.4 * n), 0, 1)) * fx.smoothstep(0.2, 0.8, t)
        ring = 0.5 * np.exp(-((r - radius * 1.05) / 0.05) ** 2) * (1 - t)
        frame = np.maximum(fire, smoke) + ring[..., None] * np.array([255, 200, 120])
        frames.append(fx.clean(frame * fx.smoothstep(0.98, 0.8, r)[..., None], 12))
    return fx.strip(frames)


def gas(name):
    """A cloud that swells over frames 0-7 and thins out over 8-15."""
    colour = fx.ramp(GAS_COLOURS[name])
    noise = fx.LoopNoise(seed=sum(map(ord, name)), waves=12, scale=2.5, period=16, speed=(1, 2))
    x, y = fx.grid(32, 32)
    frames = []
    for f in range(16):
        grow = min(1.0, (f + 1) / 8)
        fade = 1.0 if f < 8 else 1 - (f - 7) / 9
        n = noise(x * 1.5, y * 1.5, f)
        fine = noise(x * 4 + 3, y * 4 - 2, f)
        puffs = sum(fx.blob(x, y, cx * grow, cy * grow, 0.22 + 0.16 * grow)
                    for cx, cy in ((-0.4, 0.15), (0.4, 0.2), (0.0, -0.35), (0.05, 0.4), (-0.1, 0.0)))
        body = np.clip(puffs * 0.7 + 0.35 * n + 0.2 * fine - 0.25, 0, 1)
        # Billows: the fine noise lights some lobes more than others; the peak stays below white.
        density = np.clip(body * (0.75 + 0.3 * fine) * fade, 0, 0.85) * fx.smoothstep(1.0, 0.7, np.hypot(x, y))
        frames.append(fx.clean(colour(density), 12))
    return fx.strip(frames)


def burning():
    """Flames licking over the whole cell, looping over 16 frames."""
    noise = fx.LoopNoise(seed=11124, waves=12, scale=2.0, period=16, speed=(1, 3))
    x, y = fx.grid(32, 32)
    v = (y + 1) / 2
    frames = []
    for f in range(16):
        n = noise(x * 3, v * 4, f)
        tongues = fx.smoothstep(0.1, 0.7, n * 0.6 + v * 1.1 - 0.15 + 0.25 * np.cos(x * 5))
        heat = tongues * fx.smoothstep(1.0, 0.6, np.abs(x)) * fx.smoothstep(1.0, 0.85, v)
        frames.append(fx.clean(fx.FIRE(np.clip(heat, 0, 1)), 12))
    return fx.strip(frames)


def sweep():
    """A gust of pale wind with leaves sweeping across: alpha at most 200, clear elsewhere."""
    w, h = 96, 272
    yy, xx = np.mgrid[0:h, 0:w] + 0.5
    r = np.random.default_rng(11200)
    alpha = np.zeros((h, w))
    for k in range(9):
        y0 = r.uniform(10, h - 10)
        amp, freq, width = r.uniform(6, 20), r.uniform(0.03, 0.07), r.uniform(1.5, 4)
        curve = y0 + amp * np.sin(xx * freq + k)
        alpha += 150 * np.exp(-((yy - curve) / width) ** 2) * fx.smoothstep(0, 30, xx) * (0.5 + 0.5 * xx / w)
    rgb = np.zeros((h, w, 3))
    rgb[...] = (226, 240, 232)
    leaf_colours = [palette.rgb("moss2"), palette.rgb("moss3"), palette.rgb("gold2"), palette.rgb("lava2")]
    for k in range(22):
        cx, cy = r.uniform(8, w - 8), r.uniform(8, h - 8)
        angle = r.uniform(0, np.pi)
        u = (xx - cx) * np.cos(angle) + (yy - cy) * np.sin(angle)
        v = -(xx - cx) * np.sin(angle) + (yy - cy) * np.cos(angle)
        leaf = (u / 3.5) ** 2 + (v / 1.6) ** 2 <= 1
        rgb[leaf] = leaf_colours[k % len(leaf_colours)]
        alpha[leaf] = 200
    alpha = np.clip(np.round(alpha), 0, 200).astype(np.uint8)
    alpha[alpha < 6] = 0
    out = np.zeros((h, w, 4), dtype=np.uint8)
    out[..., :3] = np.clip(np.round(rgb), 0, 255).astype(np.uint8)
    out[..., 3] = alpha
    out[alpha == 0, :3] = palette.KEY
    return out


def make(image, argument):
    if argument == "glow":
        return glow()
    if argument == "pour":
        return pour()
    if argument == "rust":
        return pour(rust=True)
    if argument == "small-blast":
        return blast(96, 11104)
    if argument == "large-blast":
        return blast(192, 11106)
    if argument in GAS_COLOURS:
        return gas(argument)
    if argument == "burning":
        return burning()
    if argument == "sweep":
        return sweep()
    raise ValueError(argument)
