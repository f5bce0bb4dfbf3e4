"""The music: a composer that writes each piece as Standard MIDI (its own writer), a General MIDI render
through fluidsynth with the FluidR3 font, and the Ogg Vorbis files through oggenc.

A piece is an intro (optional) and a main part of A and B sections. The main part is rendered played
twice and the loop is samples [L, 2L) of that render, so the reverb tail of its end sounds under its
start. The intro is rendered followed by the main part's first bar and cut where the main part begins,
so it ends where the loop's first beat belongs. Beats are chosen so that the loop's length is exact (see Piece).

Every melody comes from a generator seeded by the piece's number; the same sources give the same MIDI
bytes, and the same packages the same Ogg files (a fixed stream serial per file)."""

import os
import random
import shutil
import struct
import subprocess
import tempfile

import numpy as np

from assetlib import files

RATE = 44100
FONT = "/usr/share/sounds/sf2/FluidR3_GM.sf2"
TARGET_RMS_DB = -18.0
PEAK_LIMIT_DB = -1.6

# General MIDI programs (0-based).
KOTO, SHAKUHACHI, SHAMISEN, TAIKO, FLUTE = 107, 77, 106, 116, 73
STRINGS, SLOW_STRINGS, TREMOLO, PIZZICATO, CONTRABASS, CELLO = 48, 49, 44, 45, 43, 42
WARM_PAD, CHOIR_PAD, HALO_PAD, CHOIR = 89, 91, 94, 52
TUBULAR_BELLS, CELESTA, WOODBLOCK, TIMPANI, MELODIC_TOM, PAN_FLUTE = 14, 8, 115, 47, 117, 75

# Scales as steps from the tonic.
SCALES = {
    "yo": [0, 2, 5, 7, 9],
    "in": [0, 1, 5, 7, 8],
    "minyo": [0, 3, 5, 7, 10],
    "ryukyu": [0, 4, 5, 7, 11],
}


def pitch_of(tonic, scale, degree):
    """Degree n of the scale (any integer, negative below the tonic) as a MIDI note."""
    steps = SCALES[scale]
    octave, index = divmod(degree, len(steps))
    return tonic + 12 * octave + steps[index]


# ---- The score

class Score:
    """Notes as (beat, length in beats, channel, note, velocity), and each channel's program, volume,
    pan and reverb send."""

    def __init__(self, beats_per_bar=4):
        self.notes = []
        self.channels = {}
        self.beats_per_bar = beats_per_bar

    def channel(self, number, program, volume=100, pan=64, reverb=50):
        self.channels[number] = (program, volume, pan, reverb)

    def note(self, beat, length, channel, key, velocity):
        if 0 <= key < 128:
            self.notes.append((beat, length, channel, key, max(1, min(127, int(velocity)))))

    def shifted(self, beats):
        out = Score(self.beats_per_bar)
        out.channels = dict(self.channels)
        out.notes = [(b + beats, l, c, k, v) for b, l, c, k, v in self.notes]
        return out

    def merged(self, other):
        out = Score(self.beats_per_bar)
        out.channels = {**self.channels, **other.channels}
        out.notes = self.notes + other.notes
        return out

    def window(self, end_beat):
        out = Score(self.beats_per_bar)
        out.channels = dict(self.channels)
        out.notes = [n for n in self.notes if n[0] < end_beat]
        return out


def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def midi_bytes(score, beat_ms, end_beat):
    """A type-0 Standard MIDI file of the score at a fixed tempo, its track ending at `end_beat`.

    A tick is exactly half a millisecond (the division is twice the beat in milliseconds) and every note
    event falls on an odd tick: the synthesizer's player, which counts whole milliseconds, never meets an
    event on a boundary it might round either way, so every pass of a loop is timed alike."""
    division = 2 * beat_ms
    events = []  # (tick, order, bytes): note-offs before note-ons at the same tick

    def odd(beat):
        return 2 * round(beat * division / 2) + 1

    events.append((0, 0, b"\xff\x51\x03" + (beat_ms * 1000).to_bytes(3, "big")))
    events.append((0, 0, b"\xff\x58\x04" + bytes([score.beats_per_bar, 2, 24, 8])))
    for channel, (program, volume, pan, reverb) in sorted(score.channels.items()):
        events.append((0, 1, bytes([0xC0 | channel, program])))
        for control, value in ((7, volume), (10, pan), (91, reverb), (93, 0)):
            events.append((0, 1, bytes([0xB0 | channel, control, value])))
    for beat, length, channel, key, velocity in score.notes:
        on = odd(beat)
        off = max(on + 2, odd(beat + length) - 2)
        events.append((on, 3, bytes([0x90 | channel, key, velocity])))
        events.append((off, 2, bytes([0x80 | channel, key, 0])))
    events.sort(key=lambda e: (e[0], e[1], e[2]))
    track = bytearray()
    last = 0
    for tick, _, data in events:
        track += variable_length(tick - last) + data
        last = tick
    track += variable_length(max(0, round(end_beat * division) - last)) + b"\xff\x2f\x00"
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, division)
    return header + b"MTrk" + struct.pack(">I", len(track)) + bytes(track)


# ---- Parts every piece draws on

def melody(rng, score, channel, start, bars, bpb, tonic, scale, rhythm, low, high, velocity, answer=None,
           resolve=0):
    """A phrase: the rhythm (beat lengths, negative for a rest) repeated over the bars, pitches walking
    through the scale by small steps, leaping now and then, ending on the degree `resolve`."""
    degree = (low + high) // 2 if answer is None else answer
    beat = start
    end = start + bars * bpb
    cells = []
    while beat < end - 1e-9:
        for length in rhythm:
            if beat >= end - 1e-9:
                break
            if length > 0:
                cells.append((beat, min(length, end - beat)))
            beat += abs(length)
    for i, (b, length) in enumerate(cells):
        if i == len(cells) - 1:
            degree = resolve if low <= resolve <= high else degree
        else:
            step = rng.choice([-2, -1, -1, 0, 1, 1, 2, rng.choice([-3, 3])])
            degree = min(high, max(low, degree + step))
        accent = 1.0 if abs((b - start) % bpb) < 1e-9 else 0.85
        score.note(b, length * 0.95, channel, pitch_of(tonic, scale, degree), velocity * accent * rng.uniform(0.92, 1.0))
    return degree


def arpeggio(score, channel, start, bars, bpb, tonic, scale, roots, pattern, step, velocity, octave=0, hold=1.5):
    """Broken chords over each bar's root degree: the pattern's degrees above the root, `step` beats apart."""
    for bar in range(bars):
        root = roots[bar % len(roots)]
        beat = 0.0
        i = 0
        while beat < bpb - 1e-9:
            degree = root + pattern[i % len(pattern)] + 5 * octave
            score.note(start + bar * bpb + beat, step * hold, channel, pitch_of(tonic, scale, degree),
                       velocity * (1.0 if i == 0 else 0.8))
            beat += step
            i += 1


def sustained(score, channel, start, bars, bpb, tonic, scale, roots, degrees, velocity, octave=-1):
    """Held chords, one per bar (a pad or strings)."""
    for bar in range(bars):
        root = roots[bar % len(roots)]
        for d in degrees:
            score.note(start + bar * bpb, bpb, channel, pitch_of(tonic, scale, root + d + 5 * octave), velocity)


def bass(score, channel, start, bars, bpb, tonic, scale, roots, rhythm, velocity, octave=-2):
    for bar in range(bars):
        root = roots[bar % len(roots)]
        beat = 0.0
        for i, length in enumerate(rhythm):
            if beat >= bpb:
                break
            if length > 0:
                degree = root + (2 if i % 4 == 2 else 0)
                score.note(start + bar * bpb + beat, length * 0.9, channel, pitch_of(tonic, scale, degree + 5 * octave),
                           velocity * (1.0 if i == 0 else 0.8))
            beat += abs(length)


def drums(score, channel, start, bars, bpb, pattern, keys, velocity, fill_every=0):
    """A percussion pattern: (beat within the bar, key index, relative strength), with a roll to close
    every `fill_every` bars."""
    for bar in range(bars):
        hits = pattern
        if fill_every and bar % fill_every == fill_every - 1:
            hits = [h for h in pattern if h[0] < bpb / 2] + [(bpb / 2 + i * 0.25, 1, 0.6 + 0.05 * i) for i in range(int(bpb * 2))]
        for beat, key, strength in hits:
            score.note(start + bar * bpb + beat, 0.5, channel, keys[key], velocity * strength)


# ---- The pieces

class Piece:
    """A piece's frame: its beat in milliseconds (a multiple of 10, so a whole number of samples), its
    main part's bars and its intro's. A pass of the main part lasts a multiple of 640 ms, a whole number
    of milliseconds and of the synthesizer's 64-sample blocks, so both passes of the render fall on the
    blocks alike and the second is the first sample for sample."""

    def __init__(self, number, beat_ms, bars, intro_bars, bpb=4):
        self.number, self.beat_ms, self.bars, self.intro_bars, self.bpb = number, beat_ms, bars, intro_bars, bpb
        if beat_ms % 10 or (beat_ms * bpb * bars) % 640:
            raise ValueError(f"music {number}: a beat of {beat_ms} ms over {bars} bars does not loop on whole blocks")

    @property
    def beat_samples(self):
        return self.beat_ms * RATE // 1000

    @property
    def loop_samples(self):
        return self.bars * self.bpb * self.beat_samples

    @property
    def intro_samples(self):
        return self.intro_bars * self.bpb * self.beat_samples


def valley(rng):
    """1: gentle and misty. Koto arpeggios under a shakuhachi, soft slow strings, the yo scale on D."""
    p = Piece(1, 880, 20, 2)
    bpb, tonic, sc = 4, 62, "yo"
    main, intro = Score(), Score()
    for s in (main, intro):
        s.channel(0, KOTO, 96, 50, 70)
        s.channel(1, SHAKUHACHI, 92, 76, 90)
        s.channel(2, SLOW_STRINGS, 70, 64, 100)
        s.channel(3, CONTRABASS, 70, 64, 60)
    a_roots, b_roots = [0, -2, 1, 0, 3, 1, -2, 0], [3, 2, 1, -1, 3, 2, 1, 0]
    # A: the koto sets the mist, the flute sings; B: strings open, the flute climbs; A': the koto alone.
    arpeggio(main, 0, 0, 8, bpb, tonic, sc, a_roots, [0, 2, 4, 5, 4, 2], 0.5, 70)
    sustained(main, 2, 0, 8, bpb, tonic, sc, a_roots, [0, 2, 4], 44)
    melody(rng, main, 1, 0, 4, bpb, tonic, sc, [2, 1, 1, 3, -1], 2, 9, 80, resolve=7)
    melody(rng, main, 1, 16, 4, bpb, tonic, sc, [3, 1, 2, 2], 2, 9, 78, resolve=5)
    arpeggio(main, 0, 32, 8, bpb, tonic, sc, b_roots, [0, 3, 5, 7], 1.0, 64)
    sustained(main, 2, 32, 8, bpb, tonic, sc, b_roots, [0, 2, 4, 7], 52)
    bass(main, 3, 32, 8, bpb, tonic, sc, b_roots, [4], 58)
    melody(rng, main, 1, 32, 4, bpb, tonic, sc, [1.5, 0.5, 2, 2, 2, -2], 4, 11, 86, resolve=9)
    melody(rng, main, 1, 48, 4, bpb, tonic, sc, [3, 1, 4], 3, 10, 82, resolve=5)
    arpeggio(main, 0, 64, 4, bpb, tonic, sc, a_roots[:4], [0, 2, 4, 5, 7, 5, 4, 2], 0.5, 60)
    sustained(main, 2, 64, 4, bpb, tonic, sc, a_roots[:4], [0, 4], 40)
    # The intro: koto harmonics falling through the mist, the strings breathing in.
    for i, d in enumerate([10, 9, 7, 5, 4, 2]):
        intro.note(i * 1.0, 2.5, 0, pitch_of(tonic, sc, d), 60 - 4 * i)
    sustained(intro, 2, 0, 2, bpb, tonic, sc, [0, 0], [0, 2, 4], 40)
    intro.note(6, 2, 1, pitch_of(tonic, sc, 4), 64)
    return p, main, intro


def journey(rng):
    """2: steady adventure. Shamisen ostinato, a taiko pulse, a flute tune, the minyo scale on A."""
    p = Piece(2, 560, 32, 3)
    bpb, tonic, sc = 4, 57, "minyo"
    main, intro = Score(), Score()
    for s in (main, intro):
        s.channel(0, SHAMISEN, 90, 44, 40)
        s.channel(1, FLUTE, 88, 80, 70)
        s.channel(2, TAIKO, 100, 64, 40)
        s.channel(3, PIZZICATO, 80, 64, 40)
        s.channel(4, STRINGS, 58, 64, 80)
    a_roots, b_roots = [0, 0, 3, 2, 0, 0, 3, 4], [2, 1, 3, 4, 2, 1, 3, 0]
    taiko = [(0, 0, 1.0), (1.5, 1, 0.6), (2, 0, 0.8), (3, 1, 0.7), (3.5, 1, 0.5)]
    for section, roots, at in (("A", a_roots, 0), ("A", a_roots, 32), ("B", b_roots, 64), ("B", b_roots, 96)):
        arpeggio(main, 0, at, 8, bpb, tonic, sc, roots, [0, 2, 4, 2, 5, 4, 2, 4], 0.5, 62, octave=0, hold=0.6)
        drums(main, 2, at, 8, bpb, taiko, [45, 52], 92, fill_every=8)
        bass(main, 3, at, 8, bpb, tonic, sc, roots, [1, 1, 1, 1], 70)
        if section == "B":
            sustained(main, 4, at, 8, bpb, tonic, sc, roots, [0, 2, 4], 46)
    melody(rng, main, 1, 0, 8, bpb, tonic, sc, [1, 0.5, 0.5, 2, 1, 1, 2, -2], 5, 11, 88, resolve=5)
    melody(rng, main, 1, 32, 8, bpb, tonic, sc, [1.5, 0.5, 1, 1, 3, -1], 5, 12, 90, resolve=7)
    melody(rng, main, 1, 64, 8, bpb, tonic, sc, [0.5, 0.5, 1, 2, 2, 2], 6, 13, 92, resolve=9)
    melody(rng, main, 1, 96, 8, bpb, tonic, sc, [2, 1, 1, 4], 4, 11, 86, resolve=5)
    # The intro: the taiko calls, the shamisen answers.
    drums(intro, 2, 0, 3, bpb, [(0, 0, 1.0), (2, 0, 0.7), (3, 1, 0.6)], [45, 52], 96)
    arpeggio(intro, 0, bpb, 2, bpb, tonic, sc, [0, 3], [0, 4, 2, 4], 0.5, 60, hold=0.6)
    return p, main, intro


def dark(rng):
    """3: tense and dark. Tremolo low strings, a drone, sparse koto strokes and taiko, the in scale on E."""
    p = Piece(3, 800, 24, 2)
    bpb, tonic, sc = 4, 52, "in"
    main, intro = Score(), Score()
    for s in (main, intro):
        s.channel(0, TREMOLO, 84, 50, 90)
        s.channel(1, CONTRABASS, 84, 64, 70)
        s.channel(2, KOTO, 90, 78, 90)
        s.channel(3, TAIKO, 92, 64, 70)
        s.channel(4, SHAKUHACHI, 80, 40, 100)
    a_roots, b_roots = [0, 0, 1, 0, -1, 0, 1, 3], [3, 3, 2, 1, 3, 4, 2, 1]
    for at, roots in ((0, a_roots), (32, b_roots), (64, a_roots)):
        sustained(main, 0, at, 8, bpb, tonic, sc, roots, [0, 3], 56, octave=-1)
        for bar in range(8):
            main.note(at + bar * bpb, bpb, 1, pitch_of(tonic, sc, -10), 70)
            if bar % 2 == 1:
                main.note(at + bar * bpb + 2.5, 1, 3, 41, 80)
                main.note(at + bar * bpb + 3, 1, 3, 41, 64)
        for bar in range(0, 8, 2):
            k = roots[bar]
            main.note(at + bar * bpb + 0.5, 2, 2, pitch_of(tonic, sc, k + 5), 72)
            main.note(at + bar * bpb + 1.0, 2, 2, pitch_of(tonic, sc, k + 6), 64)
    melody(rng, main, 4, 32, 4, bpb, tonic, sc, [3, 1, 2, 2, -4], 0, 6, 78, resolve=2)
    melody(rng, main, 4, 48, 4, bpb, tonic, sc, [2, 2, 4, -4], -1, 5, 74, resolve=0)
    # The intro: a low taiko and the drone rising out of nothing.
    intro.note(0, 8, 1, pitch_of(tonic, sc, -10), 70)
    sustained(intro, 0, 0, 2, bpb, tonic, sc, [0, 1], [0, 3], 50)
    for i, b in enumerate([0, 3, 4.5, 6, 7]):
        intro.note(b, 1, 3, 41, 90 - 8 * i)
    return p, main, intro


def deep(rng):
    """4: solemn and eerie. Bells, a choir pad, sparse koto, the in scale on C#."""
    p = Piece(4, 960, 20, 2)
    bpb, tonic, sc = 4, 61, "in"
    main, intro = Score(), Score()
    for s in (main, intro):
        s.channel(0, TUBULAR_BELLS, 74, 40, 110)
        s.channel(1, CHOIR_PAD, 80, 64, 110)
        s.channel(2, KOTO, 86, 84, 100)
        s.channel(3, CONTRABASS, 72, 64, 80)
        s.channel(4, CHOIR, 64, 64, 110)
    a_roots, b_roots = [0, -1, 0, 1, 0, -1, -2, 0], [3, 2, 1, 0, 3, 2, -1, 0]
    for at, roots, choir in ((0, a_roots, False), (32, b_roots, True)):
        sustained(main, 1, at, 8, bpb, tonic, sc, roots, [0, 2, 4], 52)
        if choir:
            sustained(main, 4, at, 8, bpb, tonic, sc, roots, [5, 7], 48, octave=0)
        for bar in range(8):
            main.note(at + bar * bpb, bpb, 3, pitch_of(tonic, sc, roots[bar] - 10), 60)
            if bar % 2 == 0:
                main.note(at + bar * bpb, 3, 0, pitch_of(tonic, sc, roots[bar] + 5), 70)
    melody(rng, main, 2, 0, 8, bpb, tonic, sc, [1.5, 0.5, -2, 1, -3], 2, 9, 70, resolve=5)
    melody(rng, main, 2, 32, 8, bpb, tonic, sc, [2, -1, 1, 1, -3], 3, 10, 72, resolve=5)
    sustained(main, 1, 64, 4, bpb, tonic, sc, [0, -1, -2, 0], [0, 2, 4], 48)
    for bar in range(4):
        main.note(64 + bar * bpb, bpb, 3, pitch_of(tonic, sc, -10), 56)
        main.note(64 + bar * bpb + 2, 2, 0, pitch_of(tonic, sc, 7 - bar), 60)
    # The intro: three bell strokes over the choir.
    sustained(intro, 1, 0, 2, bpb, tonic, sc, [0, 0], [0, 2], 48)
    for i, d in enumerate([7, 5, 2]):
        intro.note(i * 2.5, 3, 0, pitch_of(tonic, sc, d), 76 - 6 * i)
    return p, main, intro


def shop(rng):
    """10: a cheerful merchant tune. Koto and shamisen, woodblock, flute, the ryukyu scale on G."""
    p = Piece(10, 480, 12, 0)
    bpb, tonic, sc = 4, 67, "ryukyu"
    main = Score()
    main.channel(0, KOTO, 92, 48, 50)
    main.channel(1, FLUTE, 86, 80, 60)
    main.channel(2, WOODBLOCK, 74, 64, 30)
    main.channel(3, PIZZICATO, 80, 64, 40)
    main.channel(4, SHAMISEN, 80, 30, 40)
    roots = [0, 3, 4, 0, 2, 3, 4, 0, 0, 3, 4, 0]
    arpeggio(main, 0, 0, 12, bpb, tonic, sc, roots, [0, 2, 4, 2], 0.5, 64, octave=-1, hold=0.8)
    bass(main, 3, 0, 12, bpb, tonic, sc, roots, [1, -0.5, 0.5, 1, 1], 72)
    drums(main, 2, 0, 12, bpb, [(0, 0, 1), (1, 1, 0.7), (1.5, 1, 0.5), (2, 0, 0.9), (3, 1, 0.7)], [76, 77], 80)
    melody(rng, main, 1, 0, 4, bpb, tonic, sc, [1, 0.5, 0.5, 1, 1], 2, 8, 86, resolve=5)
    melody(rng, main, 4, 16, 4, bpb, tonic, sc, [0.5, 0.5, 1, 0.5, 0.5, 1], 0, 7, 84, resolve=2)
    melody(rng, main, 1, 32, 4, bpb, tonic, sc, [1, 1, 0.5, 0.5, 1], 3, 9, 88, resolve=5)
    return p, main, None


def chase(rng):
    """11: an urgent chase. Fast taiko, shamisen riffs, string stabs, the minyo scale on D."""
    p = Piece(11, 400, 16, 1)
    bpb, tonic, sc = 4, 62, "minyo"
    main, intro = Score(), Score()
    for s in (main, intro):
        s.channel(0, SHAMISEN, 96, 40, 30)
        s.channel(1, TAIKO, 104, 64, 30)
        s.channel(2, STRINGS, 80, 80, 50)
        s.channel(3, PIZZICATO, 84, 64, 30)
        s.channel(4, SHAKUHACHI, 86, 64, 50)
        s.channel(5, TUBULAR_BELLS, 80, 64, 60)
    roots = [0, 0, 1, 2, 0, 0, 3, 4]
    pattern = [(0, 0, 1), (0.5, 1, 0.5), (1, 1, 0.7), (1.5, 0, 0.8), (2, 0, 0.9), (2.5, 1, 0.5), (3, 1, 0.7), (3.25, 1, 0.5), (3.5, 1, 0.8), (3.75, 1, 0.6)]
    for at in (0, 32):
        drums(main, 1, at, 8, bpb, pattern, [45, 50], 100, fill_every=4)
        arpeggio(main, 0, at, 8, bpb, tonic, sc, roots, [0, 1, 2, 1, 3, 2, 1, 0], 0.5, 78, hold=0.5)
        bass(main, 3, at, 8, bpb, tonic, sc, roots, [0.5, 0.5] * 4, 76)
        for bar in range(8):
            # Stabs close the odd bars; the last bar leaves its end to the drums, into the loop's start.
            if bar % 2 == 1 and bar != 7:
                for d in (0, 2, 4):
                    main.note(at + bar * bpb + 3, 0.4, 2, pitch_of(tonic, sc, roots[bar] + d), 88)
                    main.note(at + bar * bpb + 3.5, 0.4, 2, pitch_of(tonic, sc, roots[bar] + d + 1), 92)
    melody(rng, main, 4, 32, 8, bpb, tonic, sc, [0.5, 0.5, 1, 0.5, 0.5, 1], 4, 11, 92, resolve=5)
    # The sting: a bell struck twice over a taiko roll.
    for i in range(8):
        intro.note(i * 0.5, 0.5, 1, 45, 70 + 6 * i)
    intro.note(0, 2, 5, pitch_of(tonic, sc, 8), 100)
    intro.note(1, 2, 5, pitch_of(tonic, sc, 9), 100)
    for d in (0, 2, 4):
        intro.note(2, 2, 2, pitch_of(tonic, sc, d), 90)
    return p, main, intro


def battle(rng, intense=False):
    """12 (and 13, more intense): fast battle music over taiko and driving strings."""
    if intense:
        p = Piece(13, 400, 20, 0)
        bpb, tonic, sc = 4, 54, "in"
    else:
        p = Piece(12, 440, 16, 0)
        bpb, tonic, sc = 4, 52, "minyo"
    main = Score()
    main.channel(0, STRINGS, 90, 50, 40)
    main.channel(1, TAIKO, 108, 64, 30)
    main.channel(2, SHAKUHACHI if not intense else FLUTE, 92, 80, 50)
    main.channel(3, CONTRABASS, 90, 64, 30)
    main.channel(4, SHAMISEN, 86, 34, 30)
    if intense:
        main.channel(5, TIMPANI, 96, 64, 40)
        main.channel(6, TREMOLO, 70, 90, 60)
    roots = [0, 0, 3, 2, 0, 0, 4, 3] if not intense else [0, 1, 0, 3, 0, 1, 4, 3, 2, 1]
    groove = [(0, 0, 1), (0.75, 1, 0.6), (1, 0, 0.8), (2, 0, 1), (2.5, 1, 0.7), (3, 1, 0.8), (3.5, 1, 0.7)]
    if intense:
        groove += [(1.5, 1, 0.6), (3.75, 1, 0.6)]
    bars = p.bars
    half = bars // 2
    drums(main, 1, 0, bars, bpb, groove, [41, 48], 104, fill_every=4)
    arpeggio(main, 0, 0, bars, bpb, tonic, sc, roots, [0, 2, 0, 3, 0, 2, 0, 4], 0.5, 80, octave=0, hold=0.55)
    bass(main, 3, 0, bars, bpb, tonic, sc, roots, [0.5] * 8, 84)
    arpeggio(main, 4, half * bpb, half, bpb, tonic, sc, roots, [4, 3, 2, 3], 0.5, 70, octave=0, hold=0.5)
    melody(rng, main, 2, 0, half, bpb, tonic, sc, [1, 0.5, 0.5, 1, 1], 5, 12, 94, resolve=5)
    melody(rng, main, 2, half * bpb, half, bpb, tonic, sc, [0.5, 0.5, 0.5, 0.5, 2], 6, 13, 96, resolve=5)
    if intense:
        for bar in range(bars):
            main.note(bar * bpb, 1, 5, 41, 100)
            main.note(bar * bpb + 2, 1, 5, 41 + 7 * (bar % 2), 90)
        sustained(main, 6, 0, bars, bpb, tonic, sc, roots, [1, 5], 60, octave=0)
    return p, main, None


COMPOSERS = {1: valley, 2: journey, 3: dark, 4: deep, 10: shop, 11: chase, 12: battle, 13: lambda rng: battle(rng, True)}


def compose(number):
    """The piece's plan and its two scores (the intro None when it has none)."""
    return COMPOSERS[number](random.Random(number * 7919))


def main_midi(piece, score):
    """The main part played once, with a whole pass more for its tail to ring out."""
    length = piece.bars * piece.bpb
    return midi_bytes(score, piece.beat_ms, 2 * length)


def intro_midi(piece, intro, score):
    """The intro followed by the main part's first bar, which carries the intro's tail into the loop."""
    at = piece.intro_bars * piece.bpb
    joined = intro.merged(score.window(piece.bpb).shifted(at))
    return midi_bytes(joined, piece.beat_ms, at + 2 * piece.bpb)


# ---- Rendering

def render(midi_path):
    """The MIDI file through fluidsynth: float stereo samples, shape (n, 2)."""
    with tempfile.TemporaryDirectory() as folder:
        raw = os.path.join(folder, "render.raw")
        subprocess.run(["fluidsynth", "-q", "-n", "-i", "-C", "0", "-R", "1", "-g", "0.5", "-r", str(RATE),
                        "-T", "raw", "-O", "float", "-E", "little", "-F", raw, FONT, midi_path],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        return np.fromfile(raw, dtype="<f4").reshape(-1, 2).astype(np.float64)


def played_twice(once, L):
    """Samples [L, 2L) of the main part played twice, from a render of it played once: the second pass
    sounds exactly as the first, with the first's tail under its start. Summing the passes here keeps
    them sample for sample alike, which the synthesizer's own player (timing events on whole
    milliseconds) does not promise."""
    if len(once) < 2 * L:
        once = np.concatenate([once, np.zeros((2 * L - len(once), 2))])
    return once[:L] + once[L : 2 * L]


def level(loop):
    """The gain that brings the loop to the target RMS, lowered if its peaks would pass the limit."""
    rms = np.sqrt(np.mean(loop**2))
    gain = 10 ** (TARGET_RMS_DB / 20) / rms
    peak = np.max(np.abs(loop)) * gain
    limit = 10 ** (PEAK_LIMIT_DB / 20)
    if peak > limit:
        gain *= limit / peak
    return gain


def wav16(samples):
    import io
    import wave

    buffer = io.BytesIO()
    with wave.open(buffer, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(np.round(np.clip(samples, -1, 1) * 32767).astype("<i2").tobytes())
    return buffer.getvalue()


def encode(wav_path, ogg_path, serial):
    subprocess.run(["oggenc", "-Q", "-q", "4", "-s", str(serial), "-o", ogg_path, wav_path], check=True)


def fade_in(samples, count):
    samples[:count] *= np.linspace(0, 1, count)[:, None]
    return samples


def build(number, midi_folder):
    """The piece's loop and intro as 16-bit stereo WAV bytes (the intro None), with their MIDI files
    written into midi_folder."""
    piece, score, intro = compose(number)
    main_path = os.path.join(midi_folder, f"music{number:02d}.mid")
    files.write(main_path, main_midi(piece, score))
    L = piece.loop_samples
    loop = played_twice(render(main_path), L)
    gain = level(loop)
    intro_wav = None
    if intro is not None:
        intro_path = os.path.join(midi_folder, f"music{number:02d}-intro.mid")
        files.write(intro_path, intro_midi(piece, intro, score))
        samples = render(intro_path)[: piece.intro_samples] * gain
        intro_wav = wav16(fade_in(samples, 64))
    return piece, wav16(loop * gain), intro_wav


def intro_file(file):
    """The intro's file beside the main part's: <stem>-intro.ogg."""
    return file[: -len(".ogg")] + "-intro.ogg"


def write(sound, folder, midi_folder):
    """Makes music <sound.id>: its loop (and intro) Ogg files into `folder`. The names of the files
    written, in order."""
    piece, loop, intro = build(sound.id, midi_folder)
    written = []
    with tempfile.TemporaryDirectory() as work:
        for name, wav, serial in ((sound.file, loop, 1000 + sound.id), (intro_file(sound.file), intro, 2000 + sound.id)):
            if wav is None:
                continue
            wav_path = os.path.join(work, "in.wav")
            with open(wav_path, "wb") as f:
                f.write(wav)
            ogg = os.path.join(work, "out.ogg")
            encode(wav_path, ogg, serial)
            with open(ogg, "rb") as f:
                files.write(os.path.join(folder, name), f.read())
            written.append(name)
    return written


def has_intro(number):
    return compose(number)[2] is not None


def available():
    """Why the music cannot be made here, or None."""
    for tool in ("fluidsynth", "oggenc"):
        if shutil.which(tool) is None:
            return f"{tool} is not installed (tools/packages.txt)"
    if not os.path.exists(FONT):
        return f"{FONT} is missing: install fluid-soundfont-gm"
    return None
