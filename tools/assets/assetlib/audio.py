"""Sound building blocks on NumPy: oscillators, noise, envelopes, sweeps, filters, FM bells, a short
reverb, the finishing of an effect (DC, fades, level) and the WAV writer. Every noise draw comes from a
generator seeded by the caller, so a second run gives the same samples."""

import io
import wave

import numpy as np

RATE = 44100


def seconds(n):
    return n / RATE


def frames(duration):
    return max(1, int(round(duration * RATE)))


def times(duration):
    return np.arange(frames(duration)) / RATE


def note(midi):
    """Equal-tempered frequency of a MIDI note number (69 = 440 Hz)."""
    return 440.0 * 2.0 ** ((midi - 69) / 12.0)


def sweep(f0, f1, duration, curve="exp"):
    """A frequency track from f0 to f1: exponential (even in pitch) or linear."""
    n = frames(duration)
    k = np.linspace(0.0, 1.0, n)
    if curve == "exp":
        return f0 * (f1 / f0) ** k
    return f0 + (f1 - f0) * k


def osc(freq, duration, shape="sine", phase=0.0):
    """An oscillator at a fixed frequency or along a frequency track."""
    n = frames(duration)
    f = np.broadcast_to(np.asarray(freq, dtype=float), (n,))
    p = 2 * np.pi * np.cumsum(f) / RATE + phase
    if shape == "sine":
        return np.sin(p)
    if shape == "tri":
        return 2 / np.pi * np.arcsin(np.sin(p))
    if shape == "saw":
        # A band-limited saw from a few harmonics: no aliasing whistle.
        return sum(np.sin(k * p) / k for k in range(1, 9)) * 0.6
    if shape == "square":
        return sum(np.sin(k * p) / k for k in range(1, 12, 2)) * 0.9
    raise ValueError(shape)


def noise(rng, duration):
    return rng.uniform(-1.0, 1.0, frames(duration))


def decay(duration, tau, attack=0.002):
    """A fast rise then an exponential fall with time constant tau."""
    t = times(duration)
    rise = np.clip(t / attack, 0, 1) if attack > 0 else 1.0
    return rise * np.exp(-t / tau)


def adsr(duration, attack, hold, release):
    """Rise over `attack`, hold, then a cosine fall over `release` (within the duration)."""
    t = times(duration)
    out = np.ones_like(t)
    if attack > 0:
        out = np.minimum(out, t / attack)
    start = attack + hold
    fall = np.clip((t - start) / max(release, 1e-6), 0, 1)
    return np.clip(out, 0, 1) * 0.5 * (1 + np.cos(np.pi * fall))


def band(x, low=None, high=None, slope=2.0):
    """Zero-phase filtering through the spectrum: smooth high-pass at `low`, low-pass at `high`."""
    n = len(x)
    size = 1 << int(np.ceil(np.log2(n + 1)))
    spectrum = np.fft.rfft(x, size)
    f = np.fft.rfftfreq(size, 1 / RATE)
    gain = np.ones_like(f)
    if low:
        gain *= 1 / np.sqrt(1 + (low / np.maximum(f, 1e-3)) ** (2 * slope))
    if high:
        gain *= 1 / np.sqrt(1 + (f / high) ** (2 * slope))
    return np.fft.irfft(spectrum * gain, size)[:n]


def resonate(x, centre, q=8.0):
    """A peak of the spectrum at `centre`: the body of a wooden block, a bottle, a bowl."""
    n = len(x)
    size = 1 << int(np.ceil(np.log2(n + 1)))
    spectrum = np.fft.rfft(x, size)
    f = np.fft.rfftfreq(size, 1 / RATE)
    width = centre / q
    gain = 1 / (1 + ((f - centre) / width) ** 2)
    return np.fft.irfft(spectrum * gain, size)[:n]


def bell(freq, duration, ratio=1.41, index=2.5, tau=0.35, rng=None):
    """An FM bell: a carrier modulated at an inharmonic ratio whose brightness dies faster than it."""
    t = times(duration)
    env = decay(duration, tau, attack=0.001)
    # The sidebands reach about freq + (index + 1) * modulator: kept below 20 kHz, none folds back.
    index = min(index, max(0.0, (20000 - freq) / (freq * ratio) - 1))
    mod = index * np.exp(-t / (tau * 0.5)) * np.sin(2 * np.pi * freq * ratio * t)
    return env * np.sin(2 * np.pi * freq * t + mod)


def pluck(freq, duration, tau=0.4, bright=6):
    """A plucked string from decaying harmonics, the higher ones dying faster."""
    t = times(duration)
    out = np.zeros_like(t)
    for k in range(1, bright + 1):
        out += np.sin(2 * np.pi * freq * k * t) / k * np.exp(-t * k / tau)
    return out * np.clip(t / 0.0015, 0, 1)


def wood(freq, duration=0.06, tau=0.012):
    """A struck wooden bar: two inharmonic modes and a tap of noise."""
    t = times(duration)
    body = np.sin(2 * np.pi * freq * t) + 0.45 * np.sin(2 * np.pi * freq * 2.76 * t) * np.exp(-t / (tau * 0.4))
    return body * decay(duration, tau, attack=0.0006)


def reverb(x, rng, length=0.35, mix=0.18, bright=5000):
    """A short room: the dry sound plus its convolution with a decaying noise tail."""
    tail = band(noise(rng, length) * np.exp(-times(length) / (length / 5)), 200, bright)
    tail /= np.sqrt(np.sum(tail**2)) + 1e-12
    n = len(x) + len(tail)
    size = 1 << int(np.ceil(np.log2(n)))
    wet = np.fft.irfft(np.fft.rfft(x, size) * np.fft.rfft(tail, size), size)[: len(x)]
    return x * (1 - mix) + wet * mix * 4


def mix(length, *parts):
    """Sums (start seconds, samples) parts into `length` seconds; parts past the end are cut."""
    out = np.zeros(frames(length))
    for start, samples in parts:
        at = frames(start) if start > 0 else 0
        end = min(len(out), at + len(samples))
        if end > at:
            out[at:end] += samples[: end - at]
    return out


def pad(samples, duration):
    out = np.zeros(frames(duration))
    out[: min(len(out), len(samples))] = samples[: len(out)]
    return out


def finish(samples, peak_db, fade_out=0.012):
    """The effect as written: no DC, leading silence trimmed, a click-free start and end, its peak at
    `peak_db` dBFS, as 16-bit integers."""
    x = np.asarray(samples, dtype=float)
    x = x - np.mean(x)
    x = band(x, low=25, slope=1.0)
    loud = np.nonzero(np.abs(x) > np.max(np.abs(x)) * 0.02)[0]
    if len(loud):
        x = x[max(0, loud[0] - 8) : loud[-1] + frames(0.002)]
    ramp_in = min(len(x) // 4, frames(0.0015))
    ramp_out = min(len(x) // 3, frames(fade_out))
    x[:ramp_in] *= 0.5 - 0.5 * np.cos(np.pi * np.arange(ramp_in) / ramp_in)
    x[len(x) - ramp_out :] *= 0.5 + 0.5 * np.cos(np.pi * np.arange(1, ramp_out + 1) / ramp_out)
    x = np.concatenate([x, np.zeros(2)])
    x *= 10 ** (peak_db / 20) * 32767 / np.max(np.abs(x))
    return np.round(x).astype("<i2")


def wav_bytes(samples, channels=1):
    """A PCM WAV file of 16-bit samples at 44100 Hz, as Python's wave module writes it."""
    buffer = io.BytesIO()
    with wave.open(buffer, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(np.asarray(samples, dtype="<i2").tobytes())
    return buffer.getvalue()


def read_wav(path):
    """16-bit samples and channel count of a WAV file."""
    with wave.open(path, "rb") as w:
        data = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2")
        return data.reshape(-1, w.getnchannels()), w.getframerate()
