"""The mock screens take their pieces by the asset table's cell names, and refuse a piece off its picture."""

import os
import sys
import unittest

HERE = os.path.dirname(__file__)
ASSETS = os.path.join(HERE, "..", "..", "..", "tools", "assets")
sys.path.insert(0, ASSETS)

import preview  # noqa: E402
from assetlib import table  # noqa: E402



def traps_table():
    """The traps sheet with two cells the table's reader would refuse: made by hand, as a mock's own mistake."""
    image = table.Image(11, "kImageTraps", "11-traps.bmp", 256, 192, "K", False, "none", "art")
    image.cells = [table.Cell("trap-7-14", 0, 32, 32, 32, "K", "sprite", 8, 32, 0),
                   table.Cell("beyond-right", 256, 32, 32, 32, "K", "sprite"),
                   table.Cell("overhang", 0, 161, 32, 32, "K", "sprite")]
    return table.Table(images=[image])


class NamedCells(unittest.TestCase):
    def test_a_piece_off_its_picture_is_refused(self):
        t = traps_table()
        self.assertEqual(preview.named_rect(t, 11, "trap-7-14", 2), (64, 32, 32, 32))
        for label, index in (("beyond-right", 0), ("overhang", 0), ("trap-7-14", 8), ("trap-7-14", -1),
                             ("no-such-cell", 0)):
            with self.subTest(label=label, index=index), self.assertRaises(preview.OffSheet):
                preview.named_rect(t, 11, label, index)

    def test_every_cell_of_the_game_table_lies_on_its_picture(self):
        t = table.read(os.path.join(ASSETS, "assets.tsv"))
        for image in t.images:
            for c in image.cells:
                for index in range(c.count):
                    preview.named_rect(t, image.id, c.label, index)


if __name__ == "__main__":
    unittest.main()
