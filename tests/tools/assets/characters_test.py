"""The characters' own checks, the monster table as the sheets number it, and the reduction of pictures
drawn at twice the size: each fault is caught and named."""

import os
import sys
import unittest

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "..", "tools", "assets"))

from assetlib import character_checks, monster_table, painting, palette, table  # noqa: E402
from assetlib.rig import MONSTER_POSES, Rig, render  # noqa: E402
from generators import monsters  # noqa: E402

W, H = 12, 12


def blob(shift=0, row=0):
    """A frame: an outlined block, moved `shift` pixels and tinted by the row so that rows differ."""
    rgb = np.empty((H, W, 3), dtype=np.uint8)
    rgb[...] = palette.KEY
    rgb[3 : 9 + (row == 2), 3 + shift : 9 + shift] = palette.rgb("outline0")
    rgb[4 : 8 + (row == 2), 4 + shift : 8 + shift] = palette.rgb("stone2" if row != 4 else "stone3")
    return rgb


def sheet(change=None):
    """A sound 3 x 5 sheet: walk frames moved apart, rows 0, 2 and 4 drawn differently."""
    frames = [[blob(shift, row) for shift in (0, 1, -1)] for row in range(5)]
    if change:
        change(frames)
    return np.concatenate([np.concatenate(row, axis=1) for row in frames], axis=0)


class SheetChecks(unittest.TestCase):
    def problems(self, change=None):
        return character_checks.sheet_problems("5-sheet.bmp", sheet(change), W, H)

    def test_a_sound_sheet_passes(self):
        self.assertEqual(self.problems(), [])

    def test_each_fault_is_named_by_file_and_frame(self):
        def empty(frames):
            frames[3][1][...] = palette.KEY

        def unlined(frames):
            frames[1][2][(frames[1][2] == palette.rgb("outline0")).all(axis=-1)] = palette.rgb("stone1")

        def still(frames):
            frames[2][2] = frames[2][1].copy()

        def row_again(frames):
            frames[4] = [f.copy() for f in frames[0]]

        cases = [
            ("an empty frame", empty, "5-sheet.bmp: frame row 3 column 1: no ink"),
            ("a frame without its outline", unlined, "5-sheet.bmp: frame row 1 column 2: no outline"),
            ("two walk frames alike", still, "5-sheet.bmp: row 2: walk frames 1 and 2 are the same"),
            ("facing up drawn as facing down", row_again, "5-sheet.bmp: rows 0 and 4 are the same"),
        ]
        for what, change, message in cases:
            with self.subTest(what):
                found = self.problems(change)
                self.assertTrue(any(message in p for p in found), found)


class SpeciesShapes(unittest.TestCase):
    def test_two_species_of_one_shape_fail_naming_the_file(self):
        masks = dict(monsters.species_masks())
        image = next(i for i in table.monster_sheets(500, "monsters", "art", 1) if i.id == 504)
        saved = monsters._MASKS
        try:
            monsters._MASKS = {**masks, 99: masks[1].copy()}
            found = monsters.problems(image, np.zeros((1, 1, 3), dtype=np.uint8) + 1)
        finally:
            monsters._MASKS = saved
        self.assertTrue(any(p.startswith("504-monster-01-0.bmp: species 1's standing shape overlaps species 99's")
                            for p in found), found)

    def test_every_pair_of_species_stays_apart(self):
        masks = monsters.species_masks()
        for a in masks:
            for b in masks:
                if a < b:
                    self.assertLess(monsters.iou(masks[a], masks[b]), monsters.IOU_LIMIT, (a, b))


class MonsterTable(unittest.TestCase):
    def test_kinds_are_numbered_by_species_of_four(self):
        text = ("QRZN 0\n// 0 a family of two\nA\t1\t1\t1\t1\t1\t1\t獣\t0\tなし\ts\t通常\tなし\t0\n"
                "B\t1\t1\t1\t1\t1\t1\t獣\t0\tなし\tp\t通常\tなし\t0\n\n\n// 1 one\n"
                "C\t1\t1\t1\t1\t1\t1\t飛行\t0\tなし\tl\t通常\tなし\t0\n")
        kinds = monster_table.parse(text)
        self.assertEqual([(k.kind, k.name, k.frame) for k in kinds],
                         [(0, "A", (24, 24)), (1, "B", (28, 36)), (4, "C", (40, 40))])


class Rendering(unittest.TestCase):
    def test_a_pose_reaching_past_its_frame_is_fitted_inside_with_key_all_round(self):
        rig = Rig()
        rig.ball(0, 10, 0, 9, ramp="stone")
        rig.limb((0, 2, 0), (0, 30, 0), 2, ramp="earth")
        sprite = render(rig, 24, 24, 0)
        ink = sprite.px >= 0
        self.assertTrue(ink.any())
        self.assertFalse(ink[0].any() or ink[-1].any() or ink[:, 0].any() or ink[:, -1].any())

    def test_the_right_hand_directions_mirror_the_left(self):
        rig = monsters.SPECIES[7][0](MONSTER_POSES[5], monsters.Colours("earth", "gold", 0), 0)
        for right, left in ((5, 3), (6, 2), (7, 1)):
            self.assertTrue(np.array_equal(render(rig, 32, 32, right).px, render(rig, 32, 32, left).px[:, ::-1]))


class Reduction(unittest.TestCase):
    def test_the_1x_picture_is_key_only_where_its_whole_block_is(self):
        big = np.empty((4, 4, 3), dtype=np.uint8)
        big[...] = palette.KEY
        big[0, 0] = (100, 0, 0)  # one inked pixel of the top-left block
        big[2:4, 2:4] = (0, 200, 0)
        small = painting.reduce_keyed(big)
        self.assertEqual([tuple(int(v) for v in small[y, x]) for y, x in ((0, 0), (0, 1), (1, 1))],
                         [(100, 0, 0), palette.KEY, (0, 200, 0)])

    def test_no_ink_comes_out_near_the_key(self):
        big = np.empty((2, 2, 3), dtype=np.uint8)
        big[...] = (250, 1, 252)
        small = painting.reduce_opaque(big)
        self.assertGreater(int(small[0, 0, 1]), 3)


if __name__ == "__main__":
    unittest.main()
