"""Effects in any colour: intensity fields mapped through colour ramps, seeded smooth noise that loops in
time, soft blobs and streaks. Frames are float RGB arrays 0..255 until written."""

import numpy as np


def ramp(stops):
    """A colour ramp from (position 0..1, (r, g, b)) stops; returns f(values) -> RGB."""
    pos = np.array([s[0] for s in stops], dtype=np.float64)
    col = np.array([s[1] for s in stops], dtype=np.float64)

    def apply(values):
        v = np.clip(values, 0, 1)
        return np.stack([np.interp(v, pos, col[:, i]) for i in range(3)], axis=-1)

    return apply


FIRE = ramp([(0, (0, 0, 0)), (0.18, (70, 8, 4)), (0.4, (190, 46, 14)), (0.62, (246, 130, 36)),
             (0.82, (252, 214, 96)), (1, (255, 250, 226))])


class LoopNoise:
    """Smooth noise over (x, y) that changes with a frame number and comes back to itself after `period`
    frames: a sum of seeded waves whose time frequencies are whole turns per period."""

    def __init__(self, seed, waves=12, scale=1.0, period=32, speed=(1, 3)):
        r = np.random.default_rng(seed)
        self.period = period
        angle = r.uniform(0, 2 * np.pi, waves)
        freq = scale * r.uniform(0.6, 2.2, waves)
        self.kx = np.cos(angle) * freq
        self.ky = np.sin(angle) * freq
        self.turns = r.integers(speed[0], speed[1] + 1, waves) * r.choice([-1, 1], waves)
        self.phase = r.uniform(0, 2 * np.pi, waves)
        self.amp = 1 / np.sqrt(freq)

    def __call__(self, x, y, frame):
        total = np.zeros(np.broadcast(x, y).shape)
        for kx, ky, turns, phase, amp in zip(self.kx, self.ky, self.turns, self.phase, self.amp):
            total += amp * np.sin(kx * x + ky * y + 2 * np.pi * turns * frame / self.period + phase)
        return total / self.amp.sum() * 1.6


def grid(w, h):
    """Pixel-centre coordinates normalised to -1..1 across the frame."""
    yy, xx = np.mgrid[0:h, 0:w]
    return (xx + 0.5) / w * 2 - 1, (yy + 0.5) / h * 2 - 1


def blob(x, y, cx, cy, r):
    return np.exp(-((x - cx) ** 2 + (y - cy) ** 2) / (2 * r * r))


def smoothstep(a, b, v):
    t = np.clip((v - a) / (b - a), 0, 1)
    return t * t * (3 - 2 * t)


def clean(frame, floor=10):
    """Pixels too dim to see become exact black, so that additive frames keep a true black background."""
    out = np.clip(np.round(frame), 0, 255)
    dim = out.max(axis=-1) < floor
    out[dim] = 0
    return out.astype(np.uint8)


def strip(frames):
    return np.concatenate(frames, axis=1)
