"""The generator's checks of its own output: each kind of fault is caught and named by file and cell."""

import os
import sys
import unittest

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "..", "tools", "assets"))

from assetlib import checks, header, palette, table  # noqa: E402

TABLE = """
image\t5\tkImageTest\t5-test.bmp\t32x16\tK\t-\tnone\tart
cell\tsprite\t0,0\t16x16\tK\tsprite
cell\tfloor\t16,0\t16x16\tK\tseam
"""


def picture():
    """A valid picture of TABLE: an outlined block in the sprite cell, a tiling floor in the other."""
    rgb = np.zeros((16, 32, 3), dtype=np.uint8)
    rgb[...] = palette.KEY
    rgb[3:13, 3:13] = palette.rgb("outline0")
    rgb[4:12, 4:12] = palette.rgb("stone2")
    yy, xx = np.mgrid[0:16, 0:16]
    rgb[:, 16:][(xx + yy) % 2 == 0] = palette.rgb("earth1")
    rgb[:, 16:][(xx + yy) % 2 == 1] = palette.rgb("earth2")
    return rgb


class GeneratorChecks(unittest.TestCase):
    def setUp(self):
        self.image = table.parse(TABLE).images[0]

    def problems(self, change):
        rgb = picture()
        change(rgb)
        return checks.check_image(self.image, rgb, "5-test.bmp")

    def test_a_sound_picture_passes(self):
        self.assertEqual(self.problems(lambda rgb: None), [])

    def test_each_fault_is_named_by_file_and_cell(self):
        def gradient(rgb):
            rgb[:, 16:, 0] = np.arange(16)[None, :] * 16

        cases = [
            ("a colour outside the palette", lambda rgb: rgb.__setitem__((6, 6), (1, 2, 3)),
             "5-test.bmp: cell sprite[0]: colour (1, 2, 3) at (6,6) is not in the palette"),
            ("near magenta", lambda rgb: rgb.__setitem__((0, 20), (250, 2, 250)), "near-magenta colour"),
            ("ink meeting the key without the outline", lambda rgb: rgb.__setitem__((3, 6), palette.rgb("stone2")),
             "5-test.bmp: cell sprite[0] at (0,0): ink (102, 108, 120) at (6,3) meets the key"),
            ("ink on a sprite's edge", lambda rgb: rgb.__setitem__((0, 6), palette.rgb("outline0")),
             "cell sprite[0] at (0,0): ink at (6,0) on the cell's edge"),
            ("an empty cell", lambda rgb: rgb[:, :16].__setitem__(Ellipsis, palette.KEY),
             "cell sprite[0] at (0,0): no ink"),
            ("a floor that does not tile", gradient, "cell floor[0] at (16,0): does not tile"),
        ]
        for what, change, message in cases:
            with self.subTest(what):
                found = self.problems(change)
                self.assertTrue(any(message in p for p in found), found)

    def test_the_table_refuses_a_cell_outside_its_image(self):
        with self.assertRaisesRegex(table.TableError, "cell wide\\[1\\] \\(16,0\\) 20x16 leaves image 5"):
            table.parse(TABLE + "cell\twide\t0,0\t20x16\tK\tink\t2\t16,0\n")

    def test_code_names_each_cell_after_its_image_and_label(self):
        made = header.header(table.parse(TABLE + "cell\tcursor-arrow\t0,0\t8x12\tK\tglyph\n"))
        self.assertIn("inline constexpr SCell kCellTestSprite = kCells[0];", made)
        self.assertIn("inline constexpr SCell kCellTestCursorArrow = kCells[2];", made)

    def test_the_table_refuses_what_would_name_a_cell_twice(self):
        cases = [
            ("a label twice in one image", TABLE + "cell\tfloor\t0,0\t8x8\tK\tink\n", "has a cell floor already"),
            ("an image constant without kImage", "image\t5\tkTest\t5-test.bmp\t32x16\tK\t-\tnone\tart\n",
             "begins with kImage"),
        ]
        for what, text, message in cases:
            with self.subTest(what), self.assertRaisesRegex(table.TableError, message):
                table.parse(text)

    def test_repeated_cells_step_from_their_first(self):
        image = table.parse(TABLE + "cell\trow\t0,0\t8x8\tK\tink\t4\t8,0\n").images[0]
        self.assertEqual([r[1:3] for r in image.cells[-1].rects()], [(0, 0), (8, 0), (16, 0), (24, 0)])


if __name__ == "__main__":
    unittest.main()
