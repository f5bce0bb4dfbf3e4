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


# The explosions and the burning are pixel art in the sprites' own fire and smoke shades: hard-edged
# bands, no blur. Additive on black, so the darkest band is the dimmest light.
EMBER, RED, ORANGE, YELLOW, WHITE = (palette.rgb(n) for n in ("lava0", "lava1", "lava2", "lava3", "bone3"))
SMOKE_DARK, SMOKE_LIGHT = palette.rgb("stone0"), palette.rgb("stone1")


def bands(field, colours, edges):
    """Hard bands of colour: pixels whose field is at least edges[i] take colours[i] (the later win)."""
    out = np.zeros(field.shape + (3,))
    for colour, edge in zip(colours, edges):
        out[field >= edge] = colour
    return out


def lumpy(xx, yy, lumps):
    """A bumpy body: for every pixel the best of 1 - distance / radius over a set of round lumps (cx, cy, r),
    so that bands of the field follow the bumpy outline inwards."""
    best = np.full(xx.shape, -9.0)
    for cx, cy, r in lumps:
        best = np.maximum(best, 1 - np.hypot(xx - cx, yy - cy) / r)
    return best


def blast(size, seed):
    """An explosion centred in its frame over 8 frames: a star-shaped flash, a fireball of bumpy lobes
    with tongues thrown out and debris flying, the ball breaking up into embers, then smoke rising. The
    large one is drawn at its own size with more lobes and debris, not the small one scaled."""
    r = np.random.default_rng(seed)
    half = size / 2
    yy, xx = np.mgrid[0:size, 0:size] + 0.5
    dx, dy = xx - half, yy - half
    angle = np.arctan2(dy, dx)
    dist = np.hypot(dx, dy)
    reach = half - 3  # nothing may touch the frame's edge
    lobe_count = 7 if size < 128 else 11
    lobes = [(r.uniform(0, 2 * np.pi), r.uniform(0.35, 0.65), r.uniform(0.45, 0.7)) for _ in range(lobe_count)]
    tongue_count = 6 if size < 128 else 9
    tongues = [(r.uniform(0, 2 * np.pi), r.uniform(0.75, 1.0)) for _ in range(tongue_count)]
    debris = [(r.uniform(0, 2 * np.pi), r.uniform(0.55, 1.0), int(r.integers(1, 3 if size < 128 else 4)))
              for _ in range(14 if size < 128 else 26)]
    puffs = [(r.uniform(-0.5, 0.5), r.uniform(-0.3, 0.3), r.uniform(0.22, 0.34)) for _ in range(6)]
    frames = []
    for f in range(8):
        out = np.zeros((size, size, 3))
        if f == 0:
            # The flash: a small white core with a four- and eight-pointed star.
            star = np.maximum(np.abs(np.cos(2 * angle)) ** 8, 0.6 * np.abs(np.cos(2 * angle + np.pi / 4)) ** 8)
            field = 1 - dist / (0.18 * reach * (1 + 1.6 * star))
            out = bands(field, [RED, ORANGE, YELLOW, WHITE], [0, 0.25, 0.5, 0.7])
            frames.append(fx.clean(out, 8))
            continue
        grow = min(1.0, 0.45 + 0.2 * f)               # the ball's size, full by frame 3
        heat = max(0.0, 1.0 - 0.2 * (f - 1))          # how hot its inside still is
        scale = 0.62 * reach * grow
        lumps = [(half + np.cos(a) * o * scale, half + np.sin(a) * o * scale, rad * scale) for a, o, rad in lobes]
        lumps.append((half, half, 0.75 * scale))
        field = lumpy(xx, yy, lumps)
        # Tongues: spikes thrown out from the ball, longest early on.
        if f <= 4:
            for a, length in tongues:
                along = (dx * np.cos(a) + dy * np.sin(a))
                across = np.abs(-dx * np.sin(a) + dy * np.cos(a))
                tip = reach * min(1.0, length * (0.55 + 0.15 * f))
                body = (along > 0) & (along < tip) & (across < 0.16 * scale * (1 - along / tip))
                field = np.where(body, np.maximum(field, 0.12 + 0.25 * (1 - along / tip)), field)
        # The ball breaks up: holes open in it from frame 4.
        if f >= 4:
            holes = lumpy(xx, yy, [(half + np.cos(a + 1.3) * o * scale * 0.9, half + np.sin(a + 1.3) * o * scale * 0.9,
                                    rad * scale * 0.22 * (f - 3)) for a, o, rad in lobes])
            field = np.where(holes > 0, field - 0.6, field)
        colours = [EMBER, RED, ORANGE, YELLOW, WHITE]
        edges = [0, 0.12, 0.3 + 0.3 * (1 - heat), 0.5 + 0.35 * (1 - heat), 0.72 + 0.5 * (1 - heat)]
        out = bands(field, colours, edges)
        if f >= 5:
            # Smoke: grey lobes rising over the dying fire.
            rise = (f - 4) * 0.08 * reach
            smoke = lumpy(xx, yy, [(half + px * reach, half + py * reach - rise, pr * reach * (0.7 + 0.15 * (f - 5)))
                                   for px, py, pr in puffs])
            smoke_rgb = bands(smoke, [SMOKE_DARK, SMOKE_LIGHT], [0, 0.45])
            fire_left = field >= 0.3
            out = np.where(((smoke >= 0) & ~fire_left)[..., None], smoke_rgb, out)
            if f == 7:
                out = np.where((field < 0.5)[..., None] | (smoke >= 0)[..., None], np.where((smoke >= 0)[..., None], smoke_rgb, 0), out)
        # Debris: sparks and chunks flying out, outlined by nothing (they are light), fading to embers.
        for a, speed, chunk in debris:
            travel = reach * min(0.97, speed * (0.25 + 0.2 * f))
            if f >= 7 and speed < 0.8:
                continue
            px = int(round(half + np.cos(a) * travel))
            py = int(round(half + np.sin(a) * travel + (0.01 * f * f * reach if f > 3 else 0)))
            colour = YELLOW if f <= 2 else (ORANGE if f <= 4 else RED)
            x0, y0 = px - chunk // 2, py - chunk // 2
            if 2 <= x0 and x0 + chunk <= size - 2 and 2 <= y0 and y0 + chunk <= size - 2:
                out[y0 : y0 + chunk, x0 : x0 + chunk] = colour
        out[dist > reach] = 0
        frames.append(fx.clean(out, 8))
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


def tongue(xx, yy, cx, base, height, width, lean):
    """A flame tongue as a mask: widest a quarter of the way up, tapering to a leaning point."""
    t = (base - yy) / height
    inside_rows = (t >= 0) & (t <= 1)
    profile = np.where(t < 0.25, 0.75 + t, np.clip((1 - t) / 0.75, 0, 1) ** 0.8)
    centre = cx + lean * t * t
    return inside_rows & (np.abs(xx - centre) <= width * profile)


def burning():
    """Flames over the whole cell, looping over 16 frames: three or four tongues whose heights and lean
    sway, each in hard layers (dark red rim, red, orange, a yellow heart), sparks rising above; every
    tongue stays inside the cell, tips included."""
    size, frames_n = 32, 16
    yy, xx = np.mgrid[0:size, 0:size] + 0.5
    r = np.random.default_rng(11124)
    flames = [(8.0, 20.0, 6.0, 0), (16.5, 27.0, 7.5, 1), (25.0, 21.0, 6.0, 2), (12.5, 15.0, 4.5, 3), (21.0, 16.0, 4.5, 4)]
    phases = r.uniform(0, 2 * np.pi, (len(flames), 2))
    sparks = [(r.uniform(5, 27), r.uniform(0, 1), r.uniform(-1.5, 1.5)) for _ in range(5)]
    base = 30.5
    frames = []
    for f in range(frames_n):
        turn = 2 * np.pi * f / frames_n
        layers = [np.zeros((size, size), dtype=bool) for _ in range(4)]
        for k, (cx, height, width, _) in enumerate(flames):
            h = height * (0.8 + 0.2 * np.sin(turn * 2 + phases[k, 0]))
            h = min(h, base - 3)  # the tip stays inside the cell
            lean = 3.0 * np.sin(turn + phases[k, 1])
            for layer, (hs, ws) in enumerate(((1.0, 1.0), (0.78, 0.72), (0.52, 0.48), (0.28, 0.26))):
                layers[layer] |= tongue(xx, yy, cx, base, h * hs, width * ws, lean * hs)
        out = np.zeros((size, size, 3))
        for layer, colour in enumerate((EMBER, RED, ORANGE, YELLOW)):
            out[layers[layer]] = colour
        # A bed of embers along the bottom.
        out[(yy > base - 1.5) & (yy < base) & (np.abs(xx - 16) < 13)] = RED
        # Sparks rising and looping back to the bottom.
        for sx, start, drift in sparks:
            t = (start + f / frames_n) % 1
            px, py = int(sx + drift * t * 4), int(base - 6 - 20 * t)
            if 1 <= px < size - 1 and 2 <= py < size - 1:
                out[py, px] = YELLOW if t < 0.5 else ORANGE
        out[:2, :] = 0
        out[:, :1] = 0
        out[:, -1:] = 0
        frames.append(fx.clean(out, 8))
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
