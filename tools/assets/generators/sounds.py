"""The sound effects, one recipe per number. Three families: the interface soft and wooden (ticks of
small blocks, quiet), magic bell-like (FM bells, shimmers, pentatonic figures), blows percussive (thumps,
cracks, noise bursts). Every recipe draws its noise from a generator seeded by its number."""

import numpy as np

from assetlib.audio import (adsr, band, bell, decay, finish, frames, mix, noise, note, osc, pad, pluck,
                            reverb, resonate, sweep, times, wood)

# The interface: quieter than every game event.
INTERFACE = (1, 2, 3, 26)
INTERFACE_PEAK_DB = -9.0
EVENT_PEAK_DB = -3.0
# The long sounds; every other lasts at most 1.5 s.
LONG = (14, 32, 41, 76, 77, 78, 92, 96, 99)

# The yo scale on D: D E G A B.
YO = [62, 64, 67, 69, 71, 74, 76, 79, 81, 83, 86]

RECIPES = {}


def recipe(*numbers):
    def register(function):
        for n in numbers:
            RECIPES[n] = function
        return function

    return register


def longest(number):
    return 3.0 if number in LONG else 1.5


def peak_db(number):
    return INTERFACE_PEAK_DB if number in INTERFACE else EVENT_PEAK_DB


# ---- Building blocks of the families

def thud(rng, duration=0.35, pitch=70, depth=0.5, crack=0.0):
    """A body blow: a falling low sine, a muffled noise burst and, optionally, a bright crack."""
    low = osc(sweep(pitch * 1.8, pitch, duration), duration) * decay(duration, 0.08 * depth + 0.03, 0.001)
    hit = band(noise(rng, duration), 80, 900) * decay(duration, 0.03, 0.0005)
    out = low + 0.6 * hit
    if crack:
        out += crack * band(noise(rng, duration), 1800, 7000) * decay(duration, 0.008, 0.0003)
    return out


def whoosh(rng, duration, f0, f1, q=3.0, shape=None):
    """Air moved: noise through a band sweeping from f0 to f1, swelling and fading."""
    n = frames(duration)
    raw = noise(rng, duration)
    track = sweep(f0, f1, duration)
    # Short overlapping slices, each band-passed around the track's frequency; the ends padded by half a
    # slice so that the windows sum to one from the first sample.
    size = 1024
    half = size // 2
    raw = np.concatenate([np.zeros(half), raw, np.zeros(size)])
    out = np.zeros(len(raw))
    window = np.hanning(size + 1)[:size]
    for start in range(0, n + half, half):
        piece = raw[start : start + size]
        f = track[min(n - 1, start)]
        out[start : start + size] += band(piece, f / (1 + 1 / q), f * (1 + 1 / q)) * window
    out = out[half : half + n]
    # It starts at once (a swing is heard from its first moment) and swells before it fades.
    env = shape if shape is not None else np.sin(np.pi * (0.12 + 0.88 * np.linspace(0, 1, n))) ** 1.2
    return out * env


def shimmer(rng, duration, low=1200, high=4800, count=24, tau=0.12, rising=True):
    """Sparkles: short high bells scattered over the duration, climbing or falling."""
    parts = []
    for i in range(count):
        at = duration * 0.8 * i / count + rng.uniform(0, 0.02)
        k = i / max(1, count - 1)
        f = low * (high / low) ** (k if rising else 1 - k) * rng.uniform(0.95, 1.05)
        parts.append((at, bell(f, min(0.4, duration - at), ratio=2.01, index=1.2, tau=tau) * (1 - 0.5 * k)))
    return mix(duration, *parts)


def add(*parts):
    """The sum of parts of different lengths, from their starts."""
    out = np.zeros(max(len(p) for p in parts))
    for p in parts:
        out[: len(p)] += p
    return out


def chord(freqs, duration, tau=0.5, voice=pluck):
    return sum(voice(f, duration, tau) for f in freqs) / len(freqs)


def figure(notes, step, duration, voice, tau=0.3):
    """A melodic figure: notes (MIDI numbers) `step` seconds apart."""
    return mix(duration, *[(i * step, voice(note(n), duration - i * step, tau)) for i, n in enumerate(notes)])


def flute(freq, duration, vibrato=5.0):
    t = times(duration)
    f = freq * (1 + 0.006 * np.sin(2 * np.pi * vibrato * t))
    tone = osc(f, duration) + 0.25 * osc(2 * f, duration) + 0.08 * osc(3 * f, duration)
    return tone * adsr(duration, 0.004, duration * 0.5, duration * 0.45)


def rumble(rng, duration, cutoff=120, grit=0.0):
    body = band(noise(rng, duration), 25, cutoff, slope=3) * 6
    if grit:
        crackle = np.zeros(frames(duration))
        for _ in range(int(duration * 40 * grit)):
            at = rng.integers(0, max(1, frames(duration) - 800))
            crackle[at : at + 800] += band(noise(rng, 800 / 44100), 300, 2500) * decay(800 / 44100, 0.004)
        body += crackle * 0.6
    return body


def buzz(freq, duration, wobble=0.0, rate=6.0):
    t = times(duration)
    f = freq * (1 + wobble * np.sin(2 * np.pi * rate * t))
    return band(osc(f, duration, "square"), 100, 5000)


# ---- The interface

@recipe(1)
def cursor(rng):
    return pad(wood(1750, 0.038, 0.006) + 0.15 * band(noise(rng, 0.038), 3000, 9000) * decay(0.038, 0.002), 0.04)


@recipe(2)
def decide(rng):
    return mix(0.15, (0, wood(1320, 0.07, 0.02)), (0.055, wood(1980, 0.095, 0.028)))


@recipe(3)
def cancel(rng):
    f = sweep(620, 380, 0.12)
    return osc(f, 0.12, "tri") * decay(0.12, 0.04, 0.002) + 0.3 * wood(700, 0.12, 0.01)


@recipe(26)
def sort(rng):
    return mix(0.32, *[(i * 0.045, wood(1500 + 180 * ((i * 3) % 5), 0.05, 0.007)) for i in range(6)])


# ---- Blows and bodies

@recipe(4)
def damage(rng):
    return thud(rng, 0.3, 65, 0.6, crack=0.7)


@recipe(10)
def miss(rng):
    return whoosh(rng, 0.25, 900, 2600, q=2)


@recipe(11)
def eat(rng):
    def munch(at):
        return (at, band(noise(rng, 0.12), 200, 1800) * decay(0.12, 0.03, 0.004) * (0.6 + 0.4 * osc(31, 0.12)))
    return mix(0.5, munch(0), munch(0.22))


@recipe(12)
def read_scroll(rng):
    paper = band(noise(rng, 0.4), 1500, 8000) * adsr(0.4, 0.004, 0.2, 0.18) * (0.5 + 0.5 * np.abs(osc(23, 0.4)))
    return mix(0.9, (0, paper * 0.7), (0.25, shimmer(rng, 0.6, 1500, 4000, 10)))


@recipe(13)
def pot(rng):
    body = resonate(noise(rng, 0.3), 420, q=12) * decay(0.3, 0.06, 0.001) * 3
    return body + wood(260, 0.3, 0.05) * 0.6


@recipe(20)
def trip(rng):
    slide = whoosh(rng, 0.3, 600, 300, q=2)
    return mix(0.7, (0, slide), (0.28, thud(rng, 0.35, 60, 0.8)))


@recipe(23)
def fall(rng):
    t = times(0.8)
    whistle = osc(sweep(1800, 500, 0.8), 0.8) * np.clip(t / 0.01, 0, 1) * 0.4
    return mix(1.3, (0, whistle), (0.8, thud(rng, 0.5, 55, 1.0, 0.3)))


@recipe(24)
def crumble(rng):
    parts = [(0, thud(rng, 0.4, 70, 0.7, 0.5))]
    for i in range(14):
        at = 0.04 + i * 0.05 + rng.uniform(0, 0.03)
        f = rng.uniform(300, 1500)
        parts.append((at, resonate(noise(rng, 0.1), f, 4) * decay(0.1, 0.02) * 2 * (1 - i / 16)))
    return mix(1.0, *parts) + 0.4 * pad(rumble(rng, 0.9, 160) * decay(0.9, 0.25), 1.0)


@recipe(33)
def critical(rng):
    slash = whoosh(rng, 0.18, 1500, 5000, q=2) * 1.2
    ring = bell(2200, 0.9, ratio=2.76, index=1.5, tau=0.25) * 0.5
    return mix(1.0, (0, slash), (0.1, thud(rng, 0.35, 60, 0.8, 1.0)), (0.1, ring))


@recipe(35)
def splash(rng):
    body = band(noise(rng, 0.6), 400, 6000) * decay(0.6, 0.12, 0.002)
    drops = mix(0.6, *[(0.08 + 0.06 * i, osc(sweep(900 + 150 * i, 1800 + 200 * i, 0.05), 0.05) * decay(0.05, 0.015) * 0.3)
                       for i in range(5)])
    return body + drops


@recipe(36)
def shatter(rng):
    parts = [(0, band(noise(rng, 0.2), 2000, 10000) * decay(0.2, 0.03, 0.0005) * 1.5)]
    for i in range(16):
        at = rng.uniform(0, 0.35)
        parts.append((at, bell(rng.uniform(2500, 6000), 0.25, ratio=2.3, index=1.0, tau=0.05) * 0.3))
    return mix(0.7, *parts)


@recipe(44)
def small_blast(rng):
    return mix(1.2, (0, thud(rng, 0.5, 50, 1.5, 0.8)), (0, rumble(rng, 1.1, 200) * decay(1.1, 0.25, 0.003)))


@recipe(45)
def large_blast(rng):
    return mix(1.5, (0, thud(rng, 0.8, 40, 2.5, 1.0)), (0, rumble(rng, 1.5, 260, 0.8) * decay(1.5, 0.5, 0.003) * 1.2))


@recipe(47)
def light_thud(rng):
    return thud(rng, 0.25, 110, 0.4, 0.2)


@recipe(48)
def heavy_thud(rng):
    return thud(rng, 0.6, 48, 1.4, 0.3) + 0.5 * rumble(rng, 0.6, 120) * decay(0.6, 0.15, 0.002)


@recipe(50)
def iron_snap(rng):
    clack = band(noise(rng, 0.3), 1500, 9000) * decay(0.3, 0.01, 0.0003)
    ring = bell(1320, 0.5, ratio=2.4, index=2.0, tau=0.12) * 0.5 + bell(1870, 0.5, ratio=2.1, tau=0.1) * 0.3
    return mix(0.5, (0, clack), (0, ring), (0, thud(rng, 0.2, 120, 0.3) * 0.5))


@recipe(51)
def chains(rng):
    parts = []
    for i in range(9):
        at = i * 0.07 + rng.uniform(0, 0.02)
        parts.append((at, bell(rng.uniform(2200, 3600), 0.12, ratio=1.9, index=1.5, tau=0.03) * rng.uniform(0.4, 0.8)))
    return mix(0.8, *parts)


@recipe(93)
def instant_kill(rng):
    cut = whoosh(rng, 0.15, 2500, 7000, q=1.5) * 1.5
    boom = thud(rng, 0.9, 38, 3.0) + rumble(rng, 0.9, 100) * decay(0.9, 0.3)
    return mix(1.3, (0, cut), (0.12, boom))


# ---- Elements

@recipe(17)
def fire(rng):
    roar = whoosh(rng, 0.8, 300, 1400, q=1.2) * 1.2
    crackle = mix(0.9, *[(rng.uniform(0, 0.75), band(noise(rng, 0.01), 2000, 8000) * decay(0.01, 0.002) * rng.uniform(0.3, 1))
                         for _ in range(40)])
    return pad(roar, 0.9) + crackle


@recipe(18)
def freeze(rng):
    crackle = mix(0.8, *[(rng.uniform(0, 0.5), bell(rng.uniform(3000, 7000), 0.2, ratio=3.1, index=1, tau=0.03) * rng.uniform(0.2, 0.6))
                         for _ in range(30)])
    hiss = band(noise(rng, 0.8), 4000, 10000) * decay(0.8, 0.2, 0.002) * 0.4
    return crackle + hiss


@recipe(19)
def thunder(rng):
    crack = band(noise(rng, 0.1), 1000, 9000) * decay(0.1, 0.015, 0.0003) * 2
    roll = rumble(rng, 1.45, 300, 1.0) * decay(1.45, 0.45, 0.004)
    return mix(1.45, (0, crack), (0, roll))


@recipe(21)
def grind(rng):
    t = times(1.0)
    body = rumble(rng, 1.0, 250, 1.5) * adsr(1.0, 0.004, 0.6, 0.35) * (0.7 + 0.3 * np.sin(2 * np.pi * 9 * t))
    return body + 0.3 * osc(55, 1.0, "saw") * adsr(1.0, 0.004, 0.6, 0.35)


@recipe(34)
def burn(rng):
    flare = whoosh(rng, 0.3, 500, 2500, q=1.3) * 1.3
    sizzle = band(noise(rng, 0.8), 3000, 9000) * decay(0.8, 0.25, 0.01) * 0.5
    return mix(0.9, (0, flare), (0.1, sizzle))


@recipe(37)
def pour(rng):
    t = times(1.2)
    return band(noise(rng, 1.2), 800, 5000) * adsr(1.2, 0.004, 0.7, 0.45) * (0.75 + 0.25 * np.sin(2 * np.pi * 7 * t))


@recipe(39)
def gas(rng):
    return band(noise(rng, 1.2), 2500, 9000) * adsr(1.2, 0.004, 0.8, 0.35) * 1.2


@recipe(76)
def quake1(rng):
    return rumble(rng, 2.5, 90, 0.3) * adsr(2.5, 0.004, 1.6, 0.85)


@recipe(77)
def quake2(rng):
    t = times(3.0)
    return rumble(rng, 3.0, 140, 0.8) * adsr(3.0, 0.004, 2.2, 0.75) * (1 + 0.3 * np.sin(2 * np.pi * 3 * t))


@recipe(78)
def collapse(rng):
    body = rumble(rng, 3.0, 300, 2.5) * adsr(3.0, 0.004, 2.2, 0.75)
    return mix(3.0, (0, thud(rng, 0.6, 45, 2.0, 1.0)), (0, body))


@recipe(84)
def acid(rng):
    t = times(0.9)
    return band(noise(rng, 0.9), 2500, 9000) * decay(0.9, 0.3, 0.003) * (0.6 + 0.4 * np.abs(np.sin(2 * np.pi * 13 * t)))


@recipe(99)
def scatter(rng):
    return whoosh(rng, 1.5, 300, 2500, q=1.0) * 1.5 + 0.3 * whoosh(rng, 1.5, 2000, 600, q=2)


# ---- Magic

@recipe(14)
def level_up(rng):
    notes = [62, 64, 67, 69, 71, 74, 79]
    melody = figure(notes, 0.1, 1.6, lambda f, d, tau: bell(f, d, ratio=2.0, index=1.4, tau=0.35))
    final = chord([note(74), note(79), note(83)], 1.0, 0.5, voice=lambda f, d, tau: bell(f, d, ratio=2.0, index=1.0, tau=tau))
    return reverb(mix(1.7, (0, melody), (0.65, final)), rng, 0.5, 0.2)


@recipe(15)
def level_down(rng):
    notes = [69, 65, 64, 60, 57]
    return reverb(figure(notes, 0.14, 1.3, lambda f, d, tau: pluck(f, d, 0.5, 5)), rng, 0.4, 0.2)


@recipe(16)
def curse(rng):
    drone = (osc(55, 1.4, "saw") + osc(55 * 1.06, 1.4, "saw")) * adsr(1.4, 0.004, 0.9, 0.45) * 0.4
    clang = bell(466, 1.3, ratio=1.06 * 2, index=3.0, tau=0.45) * 0.6 + bell(494, 1.3, ratio=1.5, tau=0.4) * 0.4
    return band(drone, 40, 900) + mix(1.4, (0.02, clang))


@recipe(32)
def revive(rng):
    freqs = [note(n) for n in (62, 66, 69, 74)]
    parts = [(0.12 * i, bell(f, 2.4 - 0.12 * i, ratio=2.0, index=0.8, tau=0.8)) for i, f in enumerate(freqs)]
    pad_ = sum(osc(f, 2.5) for f in freqs) * adsr(2.5, 0.004, 1.2, 1.2) * 0.15
    return reverb(mix(2.6, *parts, (0, pad_)), rng, 0.7, 0.25)


@recipe(40)
def swirl(rng):
    t = times(1.0)
    f = 700 * (1 + 0.25 * np.sin(2 * np.pi * 5 * t)) * (1 + 0.5 * t)
    return osc(f, 1.0, "tri") * adsr(1.0, 0.004, 0.6, 0.35) * 0.8 + 0.2 * whoosh(rng, 1.0, 400, 1600)


@recipe(41)
def alarm(rng):
    parts = []
    for i in range(10):
        f = 1400 if i % 2 == 0 else 1050
        parts.append((i * 0.11, bell(f, 0.4, ratio=2.76, index=2.5, tau=0.1)))
    return mix(1.4, *parts)


@recipe(42)
def mechanism(rng):
    clicks = [(0, band(noise(rng, 0.03), 2000, 8000) * decay(0.03, 0.003, 0.0002)),
              (0.045, band(noise(rng, 0.03), 1500, 6000) * decay(0.03, 0.004, 0.0002) * 0.8)]
    return mix(0.15, *clicks, (0, wood(900, 0.1, 0.015) * 0.5))


@recipe(43)
def growl(rng):
    t = times(1.0)
    f = 85 * (1 + 0.15 * np.sin(2 * np.pi * 3.5 * t)) * (1 + 0.2 * np.sin(2 * np.pi * 0.8 * t))
    body = band(osc(f, 1.0, "saw") + 0.4 * band(noise(rng, 1.0), 50, 300), 40, 600)
    return body * adsr(1.0, 0.004, 0.5, 0.45) * (0.6 + 0.4 * np.abs(np.sin(2 * np.pi * 4 * t)))


@recipe(49)
def warp(rng):
    t = times(1.1)
    rise = osc(sweep(300, 2400, 1.1), 1.1, "tri") * adsr(1.1, 0.004, 0.7, 0.35) * 0.5
    return rise + shimmer(rng, 1.1, 1000, 5000, 20) * 0.8


@recipe(52)
def summon(rng):
    gong = bell(110, 1.45, ratio=1.41, index=4, tau=0.6) + 0.5 * bell(164, 1.45, ratio=1.7, index=2, tau=0.5)
    return gong + 0.4 * whoosh(rng, 1.45, 200, 900)


@recipe(54)
def shield(rng):
    return bell(1760, 0.8, ratio=3.0, index=1.2, tau=0.18) + 0.3 * bell(2640, 0.8, ratio=2.0, index=0.5, tau=0.12)


@recipe(55)
def magic_circle(rng):
    stroke = band(noise(rng, 0.4), 800, 4000) * adsr(0.4, 0.004, 0.2, 0.18) * np.linspace(1, 0.4, frames(0.4))
    return mix(1.2, (0, stroke), (0.2, shimmer(rng, 0.9, 1500, 3500, 12, rising=True) * 0.8))


@recipe(56)
def heal(rng):
    return shimmer(rng, 1.0, 900, 3200, 14, tau=0.15)


@recipe(57)
def max_hp_up(rng):
    a = figure([74, 78, 81], 0.08, 0.7, lambda f, d, tau: bell(f, d, ratio=2.0, index=1.0, tau=0.2))
    b = figure([79, 83, 86], 0.08, 0.7, lambda f, d, tau: bell(f, d, ratio=2.0, index=1.0, tau=0.25))
    return mix(1.2, (0, a), (0.35, b))


@recipe(58)
def haste(rng):
    return whoosh(rng, 0.5, 500, 4000, q=2) + 0.4 * osc(sweep(400, 1600, 0.5), 0.5, "tri") * decay(0.5, 0.2, 0.004)


@recipe(59)
def slow(rng):
    t = times(0.9)
    f = sweep(800, 200, 0.9) * (1 + 0.08 * np.sin(2 * np.pi * 4 * t))
    return osc(f, 0.9, "tri") * adsr(0.9, 0.004, 0.5, 0.35)


@recipe(60)
def weaken(rng):
    return osc(sweep(500, 140, 0.7), 0.7, "saw") * adsr(0.7, 0.004, 0.35, 0.3) * 0.6 + 0.2 * whoosh(rng, 0.7, 1200, 300)


@recipe(61)
def strengthen(rng):
    return osc(sweep(180, 360, 0.7), 0.7, "saw") * adsr(0.7, 0.004, 0.35, 0.3) * 0.6 + 0.4 * thud(rng, 0.7, 90, 0.5)


@recipe(62)
def identify(rng):
    return mix(0.9, (0, bell(1175, 0.85, ratio=2.0, index=1.4, tau=0.25)), (0.1, bell(1568, 0.75, ratio=2.0, index=1.0, tau=0.25) * 0.7))


@recipe(63)
def anvil(rng):
    return bell(1100, 1.2, ratio=2.57, index=3.0, tau=0.3) + 0.4 * bell(2900, 1.2, ratio=1.3, index=2, tau=0.15) + pad(thud(rng, 0.3, 200, 0.2, 0.5) * 0.3, 1.2)


@recipe(64)
def plating(rng):
    return shimmer(rng, 1.0, 2000, 6000, 26, tau=0.08) + 0.3 * bell(1400, 1.0, ratio=1.5, tau=0.3)


@recipe(65)
def purify(rng):
    return reverb(bell(1568, 1.3, ratio=2.0, index=0.8, tau=0.45) + 0.5 * bell(2349, 1.3, ratio=2.0, index=0.5, tau=0.35), rng, 0.5, 0.25)


@recipe(66)
def monster_up(rng):
    t = times(1.0)
    f = sweep(70, 160, 1.0) * (1 + 0.05 * np.sin(2 * np.pi * 6 * t))
    return band(osc(f, 1.0, "saw") + osc(f * 1.5, 1.0, "saw") * 0.5, 40, 1500) * adsr(1.0, 0.004, 0.6, 0.35)


@recipe(71)
def strong_chord(rng):
    freqs = [note(n) for n in (62, 69, 74, 78)]
    return reverb(chord(freqs, 1.2, 0.5, voice=lambda f, d, tau: bell(f, d, ratio=2.0, index=1.5, tau=tau)), rng, 0.4, 0.2)


@recipe(72)
def zap(rng):
    t = times(0.6)
    f = 600 * (1 + 0.4 * np.sin(2 * np.pi * 11 * t)) * np.linspace(1.2, 0.6, frames(0.6))
    return buzz(f, 0.6) * decay(0.6, 0.2, 0.002) * 0.8


@recipe(73)
def reflect(rng):
    ting = bell(3100, 0.6, ratio=1.5, index=2.0, tau=0.12)
    ric = osc(sweep(2600, 4200, 0.12), 0.12) * decay(0.12, 0.04) * 0.5
    return mix(0.6, (0, ting), (0.01, ric))


@recipe(74)
def split(rng):
    f = sweep(250, 700, 0.18)
    return mix(0.6, (0, osc(f, 0.18) * decay(0.18, 0.06, 0.002)), (0.15, osc(sweep(300, 900, 0.15), 0.15) * decay(0.15, 0.05, 0.002) * 0.8))


@recipe(79)
def blind(rng):
    return band(whoosh(rng, 1.0, 1500, 200, q=1.5), 60, 900) * 1.5 + 0.3 * osc(sweep(300, 100, 1.0), 1.0) * decay(1.0, 0.4, 0.004)


@recipe(80)
def unlock(rng):
    click = mix(0.2, (0, band(noise(rng, 0.03), 1500, 7000) * decay(0.03, 0.004, 0.0002)),
                (0.05, band(noise(rng, 0.03), 1500, 7000) * decay(0.03, 0.004, 0.0002)))
    t = times(0.6)
    creak = resonate(osc(180 + 40 * np.sin(2 * np.pi * 1.3 * t), 0.6, "saw"), 900, 6) * adsr(0.6, 0.05, 0.3, 0.2)
    return mix(0.9, (0, click), (0.2, creak * 2))


@recipe(81)
def drain(rng):
    t = times(0.9)
    return osc(sweep(1400, 120, 0.9), 0.9, "tri") * adsr(0.9, 0.004, 0.5, 0.35) + 0.3 * band(whoosh(rng, 0.9, 3000, 400), 200, 5000)


@recipe(82)
def needle(rng):
    return osc(sweep(5200, 3600, 0.15), 0.15) * decay(0.15, 0.03, 0.0005) + 0.3 * band(noise(rng, 0.15), 4000, 10000) * decay(0.15, 0.008)


@recipe(83)
def confuse(rng):
    t = times(1.0)
    f = 500 * (1 + 0.3 * np.sin(2 * np.pi * 3 * t + 2 * np.sin(2 * np.pi * 0.7 * t)))
    return osc(f, 1.0) * adsr(1.0, 0.004, 0.6, 0.35) + 0.5 * osc(f * 1.49, 1.0) * adsr(1.0, 0.004, 0.6, 0.35)


@recipe(85)
def paralyse(rng):
    return buzz(120, 0.8, 0.02, 30) * adsr(0.8, 0.004, 0.45, 0.3) + 0.4 * band(noise(rng, 0.8), 3000, 8000) * adsr(0.8, 0.004, 0.4, 0.3)


@recipe(86)
def sleep(rng):
    voice = lambda f, d, tau: flute(f, min(d, 0.45))
    return reverb(pad(figure([76, 71], 0.32, 0.8, voice), 1.0), rng, 0.5, 0.3)


@recipe(87)
def seal(rng):
    stamp = thud(rng, 0.2, 140, 0.3, 0.3)
    hum = (osc(220, 0.9) + 0.5 * osc(330, 0.9)) * adsr(0.9, 0.05, 0.4, 0.4) * 0.5
    return mix(1.0, (0, stamp), (0.05, hum))


@recipe(88)
def dance(rng):
    notes = [67, 71, 69, 74, 72, 67]
    return figure(notes, 0.11, 1.0, lambda f, d, tau: pluck(f, d, 0.15, 8))


@recipe(89)
def hallucinate(rng):
    t = times(1.2)
    f = 400 * 2 ** (np.sin(2 * np.pi * 1.7 * t) * 0.8) * (1 + 0.03 * np.sin(2 * np.pi * 23 * t))
    return (osc(f, 1.2, "tri") + 0.4 * osc(f * 1.26, 1.2)) * adsr(1.2, 0.004, 0.8, 0.35)


@recipe(90)
def invisible(rng):
    s = shimmer(rng, 1.2, 4000, 1500, 18, tau=0.1, rising=False)
    return s * np.linspace(1, 0.2, frames(1.2))


@recipe(91)
def flash(rng):
    burst = band(noise(rng, 0.6), 2000, 12000) * decay(0.6, 0.08, 0.0005)
    return burst + bell(2637, 0.6, ratio=1.5, index=2, tau=0.1) * 0.6


@recipe(92)
def swell(rng):
    t = times(1.5)
    air = band(noise(rng, 1.5), 400, 6000) * np.sin(np.pi * np.clip(t / 1.5, 0, 1)) ** 0.8
    tone = sum(osc(note(n), 1.5) for n in (74, 79, 81, 86)) * np.sin(np.pi * t / 1.5) * 0.12
    start = bell(note(86), 1.5, ratio=2.0, index=0.6, tau=0.4) * 0.35
    return reverb(air + tone + start, rng, 0.8, 0.3)


@recipe(94)
def strength_down(rng):
    return figure([57, 53, 50, 45], 0.17, 1.2, lambda f, d, tau: pluck(f, d, 0.35, 6) + 0.5 * osc(f / 2, d) * decay(d, 0.25))


@recipe(95)
def drink(rng):
    def gulp(at):
        return (at, osc(sweep(180, 420, 0.12), 0.12) * decay(0.12, 0.05, 0.003) + 0.2 * band(noise(rng, 0.12), 200, 1200) * decay(0.12, 0.03))
    return mix(0.7, gulp(0), gulp(0.25), gulp(0.48))


@recipe(96)
def escape(rng):
    wind = whoosh(rng, 1.8, 300, 2000, q=1.2) * 1.3
    chime = bell(note(86), 1.0, ratio=2.0, index=1.0, tau=0.35)
    return mix(2.2, (0, wind), (1.0, chime))


@recipe(97)
def crystal(rng):
    return sum(bell(f, 1.3, ratio=2.9, index=0.8, tau=0.5) for f in (1318, 1661, 1975)) / 2


@recipe(98)
def scales(rng):
    t = times(0.9)
    flutter = band(noise(rng, 0.9), 1500, 6000) * (0.5 + 0.5 * np.sin(2 * np.pi * 18 * t)) * adsr(0.9, 0.004, 0.5, 0.35)
    return flutter + shimmer(rng, 0.9, 2500, 5500, 16, tau=0.06) * 0.6


# ---- Handling items

@recipe(27)
def equip(rng):
    scrape = band(noise(rng, 0.35), 2500, 9000) * adsr(0.35, 0.004, 0.15, 0.18) * np.linspace(0.6, 1, frames(0.35))
    ring = bell(2800, 0.5, ratio=1.5, index=1.2, tau=0.12) * 0.5
    return mix(0.7, (0, scrape), (0.3, ring))


@recipe(28)
def unequip(rng):
    scrape = band(noise(rng, 0.3), 2000, 7000) * adsr(0.3, 0.004, 0.12, 0.16) * np.linspace(1, 0.6, frames(0.3))
    return mix(0.5, (0, scrape), (0.28, wood(600, 0.1, 0.015) * 0.8))


@recipe(29)
def pick_up(rng):
    return add(pluck(880, 0.25, 0.08, 4), 0.3 * wood(1200, 0.1, 0.01))


@recipe(30)
def pick_gold(rng):
    return mix(0.5, *[(0.05 * i, bell(2300 + 400 * i, 0.3, ratio=1.6, index=1.5, tau=0.06) * (1 - 0.2 * i)) for i in range(4)])


@recipe(31)
def put_down(rng):
    return wood(330, 0.2, 0.03) + 0.3 * band(noise(rng, 0.2), 200, 1000) * decay(0.2, 0.02)


@recipe(68)
def throw(rng):
    return whoosh(rng, 0.35, 500, 1800, q=1.8)


@recipe(69)
def bowstring(rng):
    t = times(0.5)
    twang = osc(sweep(180, 140, 0.5), 0.5, "tri") * decay(0.5, 0.1, 0.0008) * (1 + 0.2 * np.sin(2 * np.pi * 30 * t))
    return twang + 0.3 * whoosh(rng, 0.5, 2000, 800)


@recipe(70)
def swipe(rng):
    return add(whoosh(rng, 0.18, 2000, 4000, q=2.5), 0.3 * wood(1900, 0.05, 0.005))


# ---- Swings: the same gesture, each family its weight and pitch

SWINGS = {
    200: (0.16, 900, 2000, 2.0, 0.0),   # bare hand
    201: (0.20, 1800, 4200, 2.4, 0.2),  # light blade
    202: (0.26, 1200, 3200, 2.0, 0.3),  # sword
    203: (0.40, 500, 1600, 1.6, 0.5),   # great blade
    204: (0.28, 400, 1100, 1.5, 0.6),   # club or bat
    205: (0.22, 1400, 2600, 3.0, 0.3),  # spear thrust
    206: (0.36, 350, 900, 1.4, 0.8),    # axe or hammer
    208: (0.14, 2600, 5200, 2.8, 0.1),  # dagger
    209: (0.24, 2000, 5000, 2.2, 0.25),  # katana
    210: (0.45, 700, 1400, 2.0, 0.5),   # flail
}


def swing(rng, number):
    duration, f0, f1, q, weight = SWINGS[number]
    air = whoosh(rng, duration, f0, f1, q)
    if number == 205:
        # A thrust: one short push, sharp at its end.
        air = air * np.linspace(0.5, 1.2, len(air))
    if number == 210:
        # A flail: the chain's whirl, two passes.
        air = whoosh(rng, duration, f0, f1, q) * (0.6 + 0.4 * np.abs(np.sin(2 * np.pi * 5 * times(duration))))
        air += 0.25 * mix(duration, *[(0.04 * i, bell(3000, 0.05, ratio=1.9, tau=0.01)) for i in range(8)])
    body = osc(sweep(f0 / 8, f0 / 12, duration), duration) * np.sin(np.pi * np.linspace(0, 1, len(air))) * weight * 0.5
    if number in (209, 201):
        air += 0.15 * bell(3600 if number == 209 else 4200, duration, ratio=1.5, tau=0.05)
    return air + body


for _n in SWINGS:
    RECIPES[_n] = lambda rng, n=_n: swing(rng, n)


@recipe(207)
def staff(rng):
    t = times(0.5)
    f = 600 * (1 + 0.3 * np.sin(2 * np.pi * 9 * t))
    return osc(f, 0.5, "tri") * np.sin(np.pi * (0.1 + 0.9 * t / 0.5)) + 0.5 * whoosh(rng, 0.5, 800, 2200)


@recipe(211)
def enchanted(rng):
    return add(swing(rng, 202), 0.4 * shimmer(rng, 0.3, 2000, 4500, 6, tau=0.05))


@recipe(212)
def brute(rng):
    return whoosh(rng, 0.5, 250, 700, q=1.3) * 1.3 + osc(sweep(70, 45, 0.5), 0.5) * np.sin(np.pi * times(0.5) / 0.5) * 0.6


# ---- Monsters

@recipe(250)
def lunge(rng):
    return mix(0.4, (0, whoosh(rng, 0.2, 600, 1500, q=1.8)), (0.15, thud(rng, 0.2, 120, 0.3) * 0.7))


@recipe(251)
def peck(rng):
    return mix(0.4, *[(0.07 * i, wood(2200 - 200 * i, 0.05, 0.006)) for i in range(3)])


@recipe(252)
def sting(rng):
    t = times(0.35)
    wings = buzz(220, 0.35, 0.03, 40) * adsr(0.35, 0.004, 0.15, 0.15) * 0.5
    return mix(0.5, (0, wings), (0.25, needle(rng)[: frames(0.15)]))


@recipe(253)
def charge(rng):
    return mix(0.5, (0, band(noise(rng, 0.25), 100, 900) * adsr(0.25, 0.004, 0.1, 0.12) * 1.3), (0.18, thud(rng, 0.3, 70, 0.6)))


@recipe(254)
def grab(rng):
    rustle = band(noise(rng, 0.2), 500, 3000) * adsr(0.2, 0.004, 0.08, 0.1)
    return mix(0.5, (0, rustle), (0.15, thud(rng, 0.2, 150, 0.2) * 0.6))


@recipe(255)
def leap(rng):
    spring = osc(sweep(200, 900, 0.25), 0.25, "tri") * decay(0.25, 0.1, 0.002) * (1 + 0.3 * np.sin(2 * np.pi * 25 * times(0.25)))
    return mix(0.6, (0, spring), (0.1, whoosh(rng, 0.4, 800, 2500) * 0.7))


@recipe(256)
def bite(rng):
    snap = band(noise(rng, 0.06), 800, 5000) * decay(0.06, 0.008, 0.0003)
    return mix(0.3, (0, snap * 0.5), (0.07, snap), (0.07, wood(500, 0.1, 0.01) * 0.6))


@recipe(257)
def claw(rng):
    return mix(0.5, *[(0.05 * i, band(noise(rng, 0.12), 2500, 8000) * decay(0.12, 0.02, 0.002)) for i in range(3)])


@recipe(258)
def cast(rng):
    return osc(sweep(300, 1200, 0.6), 0.6, "saw") * adsr(0.6, 0.004, 0.3, 0.25) * 0.4 + shimmer(rng, 0.6, 800, 2400, 8) * 0.6


@recipe(259)
def water_lash(rng):
    return mix(0.6, (0, whoosh(rng, 0.2, 800, 2500)), (0.15, splash(rng)[: frames(0.4)] * 0.8))


@recipe(260)
def blink(rng):
    pop = osc(sweep(3000, 800, 0.06), 0.06) * decay(0.06, 0.02, 0.0005)
    return mix(0.4, (0, pop), (0.05, whoosh(rng, 0.2, 1500, 3500, q=2)))


@recipe(261)
def moan(rng):
    t = times(1.2)
    f = 220 * (1 + 0.04 * np.sin(2 * np.pi * 5 * t)) * np.linspace(1.1, 0.8, frames(1.2))
    voice = band(osc(f, 1.2, "saw"), 300, 1400) * adsr(1.2, 0.004, 0.6, 0.5)
    return voice + 0.3 * band(noise(rng, 1.2), 500, 2500) * adsr(1.2, 0.004, 0.6, 0.5)


@recipe(262)
def sword_ring(rng):
    return mix(0.9, (0, whoosh(rng, 0.2, 1500, 4000, q=2.5)), (0.12, bell(2400, 0.75, ratio=2.7, index=1.8, tau=0.2) * 0.6))


# ---- The effect as written

def render(number):
    """The effect's 16-bit samples."""
    samples = RECIPES[number](np.random.default_rng(1000 + number))
    return finish(samples, peak_db(number))


def check(number, samples, name):
    """The sound's own limits, each naming the file."""
    problems = []
    peak = int(np.max(np.abs(samples.astype(np.int32))))
    limit = longest(number)
    if len(samples) > limit * 44100:
        problems.append(f"{name}: lasts {len(samples) / 44100:.2f} s, more than {limit} s")
    if abs(int(samples[0])) > 64 or abs(int(samples[-1])) > 64:
        problems.append(f"{name}: starts or ends with a click")
    if np.max(np.abs(samples[:220].astype(np.int32))) < 32767 * 10 ** (-30 / 20):
        problems.append(f"{name}: does not reach -30 dBFS within 5 ms")
    if peak >= 32767:
        problems.append(f"{name}: clips")
    return problems


def make(sound, argument):
    return render(sound.id)
