"""The sound generators' own checks and the music's timing: each fault an effect can have is caught and
named; the MIDI writer keeps every note event on an odd half-millisecond tick; a loop is the sum of its
passes; every piece's length matches the table."""

import os
import sys
import unittest

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "..", "tools", "assets"))

from assetlib import audio, table  # noqa: E402
from generators import music, sounds  # noqa: E402
import sound_build  # noqa: E402

TABLE = os.path.join(os.path.dirname(__file__), "..", "..", "..", "tools", "assets", "assets.tsv")


def tone(seconds=0.5, level=20000):
    t = np.arange(int(seconds * 44100))
    x = (level * np.sin(2 * np.pi * 440 * t / 44100)).astype("<i2")
    x[0] = x[-1] = 0
    return x


class EffectChecks(unittest.TestCase):
    def test_each_fault_is_named(self):
        def late(x):
            x[:400] = 0

        def click_start(x):
            x[0] = 3000

        def click_end(x):
            x[-1] = -3000

        cases = [
            ("too long", 4, 1.6, None, "more than 1.5 s"),
            ("long sound within 3 s", 14, 2.5, None, None),
            ("click at the start", 4, 0.5, click_start, "click"),
            ("click at the end", 4, 0.5, click_end, "click"),
            ("silent first 5 ms", 4, 0.5, late, "-30 dBFS within 5 ms"),
            ("clean", 4, 0.5, None, None),
        ]
        for what, number, seconds, change, named in cases:
            with self.subTest(what):
                x = tone(seconds)
                if change:
                    change(x)
                problems = sounds.check(number, x, "se.wav")
                if named is None:
                    self.assertEqual(problems, [])
                else:
                    self.assertTrue(problems and all(p.startswith("se.wav: ") for p in problems), problems)
                    self.assertTrue(any(named in p for p in problems), problems)

    def test_finish_silences_the_ends_and_sets_the_peak(self):
        rng = np.random.default_rng(1)
        raw = rng.uniform(-1, 1, 20000) + 0.3  # noise with a DC offset, loud from its first sample
        for peak_db in (sounds.EVENT_PEAK_DB, sounds.INTERFACE_PEAK_DB):
            with self.subTest(peak_db):
                x = audio.finish(raw, peak_db).astype(int)
                self.assertLessEqual(abs(x[0]), 64)
                self.assertLessEqual(abs(x[-1]), 64)
                self.assertAlmostEqual(20 * np.log10(np.max(np.abs(x)) / 32767), peak_db, places=2)
                self.assertLess(abs(np.mean(x)), 200)

    def test_every_table_effect_has_a_recipe_of_its_own(self):
        rows = [s for s in table.read(TABLE).sounds if s.kind == "sound"]
        self.assertEqual(sorted(s.id for s in rows), sorted(sounds.RECIPES))


def midi_events(data):
    """(tick, status) of every channel event of a type-0 file, and its division."""
    division = int.from_bytes(data[12:14], "big")
    at, tick, events = 22, 0, []
    while at < len(data):
        delta = 0
        while True:
            byte = data[at]
            at += 1
            delta = delta << 7 | byte & 0x7F
            if byte < 0x80:
                break
        tick += delta
        status = data[at]
        if status == 0xFF:
            at += 3 + data[at + 2]
            continue
        size = 2 if status >> 4 == 0xC else 3
        events.append((tick, status))
        at += size
    return division, events


class MusicTiming(unittest.TestCase):
    def test_note_events_fall_on_odd_half_millisecond_ticks(self):
        for number in music.COMPOSERS:
            with self.subTest(number):
                piece, score, _ = music.compose(number)
                division, events = midi_events(music.main_midi(piece, score))
                self.assertEqual(division, 2 * piece.beat_ms)
                notes = [tick for tick, status in events if status >> 4 in (8, 9)]
                self.assertTrue(notes)
                self.assertTrue(all(tick % 2 == 1 for tick in notes))

    def test_a_loop_is_its_pass_with_the_tail_wrapped_under_its_start(self):
        once = np.zeros((30, 2))
        once[:10] = 1.0
        once[10:14] = 0.5  # the tail past L = 10
        loop = music.played_twice(once, 10)
        self.assertEqual(loop.shape, (10, 2))
        self.assertTrue(np.all(loop[:4] == 1.5) and np.all(loop[4:] == 1.0))
        self.assertEqual(music.played_twice(np.ones((12, 2)), 10)[5, 0], 1.0)  # a render shorter than 2L

    def test_a_pass_off_the_synthesizers_blocks_is_refused(self):
        for beat_ms, bars, ok in ((880, 20, True), (880, 19, False), (455, 16, False), (400, 16, True)):
            with self.subTest(beat_ms=beat_ms, bars=bars):
                if ok:
                    self.assertEqual(music.Piece(1, beat_ms, bars, 0).loop_samples % 64, 0)
                else:
                    self.assertRaises(ValueError, music.Piece, 1, beat_ms, bars, 0)

    def test_every_piece_lasts_what_the_table_says(self):
        t = table.read(TABLE)
        for row in sound_build.pieces(t):
            with self.subTest(row.id):
                piece, _, intro = music.compose(row.id)
                loop = sound_build.constant(t, sound_build.length_constant(row, "Loop"))
                self.assertEqual(loop, piece.loop_samples * 1000 // music.RATE)
                given = sound_build.constant(t, sound_build.length_constant(row, "Intro"))
                self.assertEqual(given, None if intro is None else piece.intro_samples * 1000 // music.RATE)


if __name__ == "__main__":
    unittest.main()
