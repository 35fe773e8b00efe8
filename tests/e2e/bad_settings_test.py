"""The real tessaline.scr under Wine with settings that another writer left in the registry: wrong
types, wrong lengths and numbers outside the dialog's ranges. Each run stores one set, runs the saver
full screen, looks at the screen, closes it with a real key press and opens the settings dialog to read
the repaired values.

Needs what saver_modes_test needs: the test session's DISPLAY and WINEPREFIX, TESSALINE_SCR,
TESSALINE_PROBE and WINE.
"""
import time
import unittest

from saver_modes_test import GREY, end_started_savers, probe, press_in_dialog, screen_pixels, \
    start_saver, wait_for_exit, wait_for_focus, wait_for_window, xdotool
from waiting import eventually

BLACK = (0, 0, 0)
FULL_SCREEN = (0, 0, 1024, 768)
# Seconds a saver that must draw nothing is watched after its window took the focus: several times
# what the first frame takes to show on a slow machine.
NO_FRAME_WATCH = 3
DEFAULTS = {"Tempo": 990, "Density": 20000, "Size": 3, "Antialias": 0}


def dword(value):
    return value.to_bytes(4, "little").hex()


class Screen:
    """One screenshot of the whole screen."""

    def __init__(self):
        self.width, self.height, self.rgb = screen_pixels()

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])

    def corners(self):
        w, h = self.width - 1, self.height - 1
        return {self.at(x, y) for x, y in ((0, 0), (w, 0), (0, h), (w, h))}

    def seed_pixels(self):
        """(x, y) of every pixel that is not the grey background."""
        grey_row = bytes(GREY) * self.width
        row_bytes = 3 * self.width
        found = []
        for y in range(self.height):
            row = self.rgb[y * row_bytes:(y + 1) * row_bytes]
            if row == grey_row:
                continue
            found.extend((x, y) for x in range(self.width) if tuple(row[3 * x:3 * x + 3]) != GREY)
        return found

    def count(self, colour):
        return sum(1 for i in range(0, len(self.rgb), 3) if tuple(self.rgb[i:i + 3]) == colour)


def bounding_box(pixels):
    xs = [x for x, _ in pixels]
    ys = [y for _, y in pixels]
    return max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def has_solid_square(pixels):
    """True when four seed pixels form a 2x2 square, as no 1-pixel point pattern here does."""
    seeds = set(pixels)
    return any((x + 1, y) in seeds and (x, y + 1) in seeds and (x + 1, y + 1) in seeds for x, y in seeds)


class BadSettings(unittest.TestCase):
    def tearDown(self):
        end_started_savers()
        probe("settings")  # an empty key: the defaults for whatever runs next

    def store(self, *triples):
        result = probe("settings", *triples)
        self.assertEqual(result.returncode, 0, result.stdout)

    def run_saver(self, what, look, watch=0):
        """Runs /s, looks at the screen with look(screen, started) until it passes (or, given a time to
        watch, once after that time), and closes the saver with a real key press."""
        xdotool("mousemove", "500", "400")
        started = time.monotonic()
        process = start_saver("/s")
        self.assertEqual(wait_for_window("Screen Saver"), FULL_SCREEN, what + ": the window must cover the screen")
        self.assertTrue(wait_for_focus("Screen Saver"), what + ": the saver window never took the focus")
        if watch:
            time.sleep(watch)
            look(Screen(), started)
        else:
            eventually(lambda: look(Screen(), started))
        self.assertIsNone(process.poll(), what + ": the saver ended by itself")
        xdotool("key", "a")
        self.assertEqual(wait_for_exit(process), 0, what + ": a key press must close with 0")
        self.assertNotIn("wine: Unhandled", process.text(), what + ": the saver crashed")

    def check_dialog(self, what, **expected):
        values = dict(DEFAULTS, **expected)
        process = start_saver("/c")
        self.assertIsNotNone(wait_for_window("Settings"), what + ": no settings dialog")
        shown = probe("dialog").stdout.split()
        self.assertEqual(dict(zip(shown[0::2], map(int, shown[1::2]))), values, what + ": dialog values")
        press_in_dialog("Escape")
        self.assertEqual(wait_for_exit(process), 0, what + ": Escape must cancel the dialog")

    # What the screen shows

    def expect_seeds(self, what):
        def look(screen, _started):
            self.assertEqual(screen.corners(), {GREY}, what + ": no grey background")
            self.assertGreater(len(screen.seed_pixels()), 0, what + ": no seeds drawn")
        return look

    def expect_one_pixel_points(self, what):
        def look(screen, _started):
            self.assertEqual(screen.corners(), {GREY}, what + ": no grey background")
            seeds = screen.seed_pixels()
            self.assertGreater(len(seeds), 20, what + ": no seeds drawn")
            self.assertFalse(has_solid_square(seeds), what + ": points larger than 1 pixel")
        return look

    def expect_point_at_the_centre(self, what, smallest, largest):
        """All seeds stay at the centre, so the seed pixels are one point as wide as the point size."""
        def look(screen, _started):
            self.assertEqual(screen.corners(), {GREY}, what + ": no grey background")
            seeds = screen.seed_pixels()
            self.assertGreater(len(seeds), 0, what + ": no seeds drawn")
            width, height = bounding_box(seeds)
            centre_x, centre_y = screen.width // 2, screen.height // 2
            self.assertTrue(any(abs(x - centre_x) <= 2 and abs(y - centre_y) <= 2 for x, y in seeds),
                            what + ": nothing at the centre")
            self.assertTrue(smallest <= width <= largest and smallest <= height <= largest,
                            "%s: the point is %d x %d pixels, not %d to %d" % (what, width, height, smallest, largest))
        return look

    # Wrong types and lengths, all four values at once

    def test_empty_binary_values_leave_the_defaults(self):
        self.store("Tempo", "binary", "-", "Density", "binary", "-", "Size", "binary", "-", "Antialias", "binary", "-")
        self.run_saver("0 bytes", self.expect_seeds("0 bytes"))
        self.check_dialog("0 bytes")

    def test_one_byte_values_are_read_as_small_numbers(self):
        # Tempo 250 (a frame every 750 ms), Density 100, Size 10, smoothing on.
        self.store("Tempo", "binary", "fa", "Density", "binary", "64", "Size", "binary", "0a",
                   "Antialias", "binary", "01")
        self.run_saver("1 byte", self.expect_seeds("1 byte"))
        self.check_dialog("1 byte", Tempo=250, Density=100, Size=10, Antialias=1)

    def test_three_byte_values_are_read_little_endian(self):
        # Tempo 1000, Density 16777215 and Size 12 (both outside the dialog's ranges), Antialias 00 01 00.
        self.store("Tempo", "binary", "e80300", "Density", "binary", "ffffff", "Size", "binary", "0c0000",
                   "Antialias", "binary", "000100")
        self.run_saver("3 bytes", self.expect_point_at_the_centre("3 bytes, Size 12", 12, 20))
        self.check_dialog("3 bytes", Tempo=1000)

    def test_values_longer_than_four_bytes_leave_the_defaults(self):
        for length in (8, 100):
            what = "%d bytes" % length
            data = "01" * length
            self.store("Tempo", "binary", data, "Density", "binary", data, "Size", "binary", data,
                       "Antialias", "binary", data)
            self.run_saver(what, self.expect_seeds(what))
            self.check_dialog(what)

    def test_string_values_are_read_as_their_bytes(self):
        # "990 fr" is too long and leaves 990; "d" reads as 100; "" as 0, a Size that draws 1-pixel
        # points; "1" as 0x31, which smooths.
        self.store("Tempo", "sz", b"990 fr\0".hex(), "Density", "sz", b"d\0".hex(), "Size", "sz", b"\0".hex(),
                   "Antialias", "sz", b"1\0".hex())
        self.run_saver("REG_SZ", self.expect_seeds("REG_SZ"))
        self.check_dialog("REG_SZ", Density=100, Antialias=1)

    # Numbers outside the dialog's ranges

    def test_density_zero_shows_only_the_background(self):
        self.store("Density", "dword", dword(0))

        def look(screen, _started):
            self.assertEqual(screen.corners(), {GREY}, "no frame drawn")
            self.assertEqual(screen.seed_pixels(), [], "a seed is visible at Density 0")
        self.run_saver("Density 0", look)
        self.check_dialog("Density 0")

    def test_largest_density_keeps_every_seed_at_the_centre(self):
        self.store("Density", "dword", dword(4294967295))
        self.run_saver("Density 4294967295", self.expect_point_at_the_centre("Density 4294967295", 3, 6))
        self.check_dialog("Density 4294967295")

    def test_size_zero_draws_one_pixel_points(self):
        self.store("Size", "dword", dword(0), "Density", "dword", dword(100))
        self.run_saver("Size 0", self.expect_one_pixel_points("Size 0"))
        self.check_dialog("Size 0", Density=100)

    def test_largest_size_draws_the_largest_points(self):
        # At the largest Density every seed stays at the centre, so what is seen is one point.
        self.store("Size", "dword", dword(4294967295), "Density", "dword", dword(4294967295))
        self.run_saver("Size 4294967295", self.expect_point_at_the_centre("Size 4294967295", 64, 768))
        self.check_dialog("Size 4294967295")

    def test_tempo_1001_never_draws_a_frame(self):
        # The period wraps to 4294967295 ms: the window keeps its black background, and input still closes it.
        self.store("Tempo", "dword", dword(1001))

        def look(screen, _started):
            self.assertEqual(screen.corners(), {BLACK}, "the window is not black")
            self.assertEqual(screen.count(GREY), 0, "a frame was drawn")
        self.run_saver("Tempo 1001", look, watch=NO_FRAME_WATCH)
        self.check_dialog("Tempo 1001")

    def test_largest_tempo_draws_a_frame_about_once_a_second(self):
        # The period wraps to 1001 ms. 10-pixel points at Density 100 lie far apart, so every 100 seed
        # pixels are one frame's seed.
        self.store("Tempo", "dword", dword(4294967295), "Size", "dword", dword(10), "Density", "dword", dword(100))

        def look(screen, started):
            elapsed = time.monotonic() - started
            self.assertEqual(screen.corners(), {GREY}, "no frame drawn")
            frames = len(screen.seed_pixels()) / 100
            self.assertGreaterEqual(frames, 0.5, "no seed drawn")
            self.assertLessEqual(frames, elapsed / 1.001 + 0.5,
                                 "%.1f frames in %.1f s: faster than one per 1001 ms" % (frames, elapsed))
        self.run_saver("Tempo 4294967295", look)
        self.check_dialog("Tempo 4294967295", Size=10, Density=100)


if __name__ == "__main__":
    unittest.main()
