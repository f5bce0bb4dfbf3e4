"""The terrain sheets and the spotlight read as the player needs: wall, water and floor apart at a glance,
motifs that do not repeat one stamp on every block, no screen-door dithering, a dark corridor whose light
fades smoothly."""

import colorsys
import os
import sys
import unittest

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "..", "tools", "assets"))

from assetlib import pixels  # noqa: E402
from generators import common, light, terrain  # noqa: E402


def block(sheet, row, col=4):
    return sheet[32 * row : 32 * row + 32, 32 * col : 32 * col + 32].astype(np.float64)


def lum(rgb):
    return pixels.luminance(rgb)


def mean_hsv(rgb):
    r, g, b = (rgb.reshape(-1, 3).mean(axis=0) / 255).tolist()
    return colorsys.rgb_to_hsv(r, g, b)


SHEETS = {name: cls().sheet() for name, cls in terrain.THEMES.items()}


class Terrain(unittest.TestCase):
    def test_root_cavern_wall_water_and_floor_differ_in_value_and_hue(self):
        sheet = SHEETS["root-cavern"]
        floor, wall, water = block(sheet, 0, 0), block(sheet, 1), block(sheet, 9)
        for a, b, what in ((floor, wall, "floor and wall"), (floor, water, "floor and water"),
                           (wall, water, "wall and water")):
            with self.subTest(what):
                self.assertGreater(abs(lum(a).mean() - lum(b).mean()), 12)
        self.assertGreater(abs(mean_hsv(floor)[0] - mean_hsv(water)[0]), 0.2)  # brown against blue

    def test_deep_halls_mist_is_never_the_brightest_thing_on_the_floor(self):
        sheet = SHEETS["deep-halls"]
        floor = lum(sheet[0:32, 0:160].astype(np.float64)).max()
        mist = max(lum(block(sheet, row)).max() for row in range(9, 25))
        self.assertLess(mist, floor)

    def test_shrine_walls_are_not_a_saturated_field(self):
        _, saturation, _ = mean_hsv(block(SHEETS["shrine"], 1))
        self.assertLess(saturation, 0.35)

    def test_ice_floes_lie_differently_on_each_water_block(self):
        sheet = SHEETS["ice-cave"]
        ice = [tuple(map(tuple, block(sheet, 9, col)[4:28, 4:28].reshape(-1, 3).astype(int))) for col in range(5)]
        self.assertEqual(len(set(ice)), 5)

    def test_broad_floors_and_walls_carry_no_checker_dither(self):
        # A checker pixel differs from all four neighbours while its diagonals match it.
        for name, sheet in SHEETS.items():
            for what, tile in (("room floor", block(sheet, 0, 0)), ("corridor", block(sheet, 0, 1)),
                               ("wall", block(sheet, 1))):
                with self.subTest(theme=name, tile=what):
                    p = tile.astype(int) @ np.array([65536, 256, 1])
                    differs = np.ones_like(p, dtype=bool)
                    for dy, dx in ((0, 1), (0, -1), (1, 0), (-1, 0)):
                        differs &= p != np.roll(np.roll(p, dy, 0), dx, 1)
                    diagonal = (p == np.roll(np.roll(p, 1, 0), 1, 1)) & (p == np.roll(np.roll(p, -1, 0), -1, 1))
                    self.assertLess((differs & diagonal).mean(), 0.07)

    def test_the_walkable_floors_are_calmer_than_the_walls(self):
        # The texture of a tile: how much a pixel's value differs from its right and lower neighbours.
        def busy(tile):
            v = lum(tile)
            return (np.abs(np.diff(v, axis=0)).mean() + np.abs(np.diff(v, axis=1)).mean()) / 2

        for name, sheet in SHEETS.items():
            wall = busy(block(sheet, 1)[:16])  # the top of a wall joined all round
            for what, tile in (("room floor", block(sheet, 0, 0)), ("corridor", block(sheet, 0, 1))):
                with self.subTest(theme=name, tile=what):
                    self.assertLess(busy(tile), 0.6 * wall)

    def test_the_unbreakable_wall_of_the_dungeons_reads_as_wall(self):
        # Terrain 1 rings rooms and runs through the rock on every dungeon floor; only the warehouse
        # fills its storage field with it.
        for name, sheet in SHEETS.items():
            if name == "storehouse":
                continue
            for col in range(5):
                with self.subTest(theme=name, col=col):
                    wall, unbreakable = block(sheet, 1, col), block(sheet, 2, col)
                    self.assertLess(abs(lum(wall).mean() - lum(unbreakable).mean()), 40)
                    self.assertLess(np.abs(wall.mean(axis=(0, 1)) - unbreakable.mean(axis=(0, 1))).max(), 50)


class Stairs(unittest.TestCase):
    def test_the_way_down_is_a_flight_of_bright_treads_and_dark_risers(self):
        rgb = common.stairs(False).rgb().astype(np.float64)
        centre = lum(rgb[:, 14:18]).mean(axis=1)
        bright, dark = centre > 150, centre < 50
        # Each step down is a bright tread over a dark riser: count the changes from bright to dark.
        steps = sum(1 for a, b in zip(bright[:-1], dark[1:]) if a and b)
        self.assertGreaterEqual(steps, 3)
        # Its outline narrows step by step: the lowest tread is wider than the highest.
        treads = [np.count_nonzero(lum(rgb[y]) > 110) for y in range(32) if bright[y]]
        self.assertGreater(treads[-1], treads[0])


class Spotlight(unittest.TestCase):
    def test_the_light_fades_smoothly_to_half_without_a_coarse_checker(self):
        for size in (128, 96):
            with self.subTest(size=size):
                spot = light.spotlight(size).astype(int)
                keyed = (spot == (255, 0, 255)).all(axis=-1)
                floor = 90
                # Blended at half strength with its key, over an even floor.
                seen = np.where(keyed, floor, (floor + spot[..., 0]) // 2)
                self.assertEqual(seen[size // 2, size // 2], floor)
                self.assertEqual(seen[0, 0], floor // 2)
                # Neighbours anywhere in the ring, key or not, differ by little: no key beside black.
                yy, xx = np.mgrid[0:size, 0:size]
                r = np.hypot(xx + 0.5 - size / 2, yy + 0.5 - size / 2).astype(int)
                self.assertLessEqual(np.abs(np.diff(seen, axis=1)).max(), 24)
                self.assertLessEqual(np.abs(np.diff(seen, axis=0)).max(), 24)
                # Mean light falls outward ring by ring.
                means = [seen[r == k].mean() for k in range(size // 2 - 14, size // 2)]
                self.assertTrue(all(a >= b - 1 for a, b in zip(means, means[1:])), means)


if __name__ == "__main__":
    unittest.main()
