"""The real tessaline.scr full screen on a desktop of two monitors, the second left of the primary one,
so that Windows' virtual screen starts at negative coordinates.

Xvfb cannot place monitors, so this runs an X server of its own: Xorg with the dummy driver, whose
RandR outputs xrandr arranges, and a Wine prefix of its own on it. Where no such server can be
started, the test is reported as skipped (exit code 77).

Needs TESSALINE_SCR, TESSALINE_PROBE and WINE (tools/wine-run), and the test tree's WINEPREFIX,
beside which the prefix of this test is made.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from saver_modes_test import PROBE, SCR, end_started_savers, mostly_grey, screen_pixels, start_saver, wait_for_exit, \
    wait_for_focus, wait_for_window, wine
from waiting import DEADLINE, eventually

MONITOR = (1024, 768)
VIRTUAL_SCREEN = (-1024, 0, 2048, 768)  # left, top, width, height: the primary monitor starts at 0, 0
RUN_LIMIT = DEADLINE
XORG_CONFIG = """
Section "ServerFlags"
  Option "DontVTSwitch" "true"
  Option "AutoAddDevices" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "1024x768" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1024x768"
    Virtual 2048 768
  EndSubSection
EndSection
"""


def free_display():
    number = 120
    while os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
        number += 1
    return f":{number}"


class TwoMonitors(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="tessaline-monitors-")
        cls.xorg = None
        cls.env = None
        if shutil.which("Xorg") is None or shutil.which("xrandr") is None:
            raise unittest.SkipTest("Xorg or xrandr is missing")
        config = os.path.join(cls.work, "xorg.conf")
        with open(config, "w") as file:
            file.write(XORG_CONFIG)
        display = free_display()
        cls.xorg = subprocess.Popen(["Xorg", display, "-config", config, "-noreset", "-nolisten", "tcp",
                                     "-novtswitch", "-sharevts", "-logfile", os.path.join(cls.work, "xorg.log")],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        x_env = dict(os.environ, DISPLAY=display)
        for _ in range(100):
            if cls.xorg.poll() is not None:
                break
            if subprocess.run(["xdpyinfo"], env=x_env, capture_output=True).returncode == 0:
                break
            time.sleep(0.1)
        else:
            cls.xorg.poll()
        if cls.xorg.poll() is not None:
            raise unittest.SkipTest("Xorg with the dummy driver did not start here (see " + cls.work + ")")
        # The second output left of the first, which stays the primary monitor. The last query probes
        # the outputs again, so that the second one counts as connected for Wine, which does not probe.
        xrandr = [["xrandr", "--addmode", "DUMMY1", "1024x768"],
                  ["xrandr", "--fb", "2048x768", "--output", "DUMMY1", "--mode", "1024x768", "--pos", "0x0",
                   "--output", "DUMMY0", "--mode", "1024x768", "--pos", "1024x0", "--primary"],
                  ["xrandr", "--query"]]
        for command in xrandr:
            subprocess.run(command, env=x_env, check=True, capture_output=True, timeout=RUN_LIMIT)
        prefix = os.environ["WINEPREFIX"] + "-monitors"
        shutil.rmtree(prefix, ignore_errors=True)
        cls.env = dict(x_env, WINEPREFIX=prefix)
        if os.environ.get("TESSALINE_PREFIX_TEMPLATE"):
            shutil.copytree(os.environ["TESSALINE_PREFIX_TEMPLATE"], prefix, symlinks=True)
        else:
            cls.wine("wineboot", "--init")
        # Copies outside the build tree, which tools/wine-run would run in the tree's own session.
        cls.saver = shutil.copy(SCR, os.path.join(cls.work, "tessaline.scr"))
        cls.probe = shutil.copy(PROBE, os.path.join(cls.work, "saver_probe.exe"))
        cls.wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")

    @classmethod
    def tearDownClass(cls):
        if cls.env is not None:
            subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=cls.env, capture_output=True)
        if cls.xorg is not None and cls.xorg.poll() is None:
            cls.xorg.terminate()
            cls.xorg.wait()
        shutil.rmtree(cls.work, ignore_errors=True)

    @classmethod
    def wine(cls, *arguments):
        return wine(*arguments, env=cls.env, timeout=RUN_LIMIT)

    def tearDown(self):
        end_started_savers()

    def test_full_screen_covers_both_monitors(self):
        subprocess.run(["xdotool", "mousemove", "1500", "400"], env=self.env, check=True, timeout=RUN_LIMIT)
        process = start_saver("/s", program=self.saver, env=self.env)
        self.assertEqual(wait_for_window("Screen Saver", env=self.env, program=self.probe), VIRTUAL_SCREEN,
                         "the window must cover the virtual screen from its negative left edge")

        def look():
            width, height, rgb = screen_pixels(self.env)
            self.assertEqual((width, height), (2 * MONITOR[0], MONITOR[1]), "the X screen holds both monitors")
            for name, left in (("left monitor", 0), ("primary monitor", MONITOR[0])):
                samples = [tuple(rgb[3 * (y * width + x):3 * (y * width + x) + 3])
                           for y in range(0, height, 37) for x in range(left, left + MONITOR[0], 41)]
                self.assertTrue(mostly_grey(samples), "the saver's grey does not fill the " + name)
        eventually(look)
        self.assertTrue(wait_for_focus("Screen Saver", self.env), "the saver window never took the focus")
        subprocess.run(["xdotool", "key", "a"], env=self.env, check=True, timeout=RUN_LIMIT)
        self.assertEqual(wait_for_exit(process), 0, "a key press must close with 0")

if __name__ == "__main__":
    outcome = unittest.main(exit=False).result
    if outcome.skipped and outcome.wasSuccessful() and outcome.testsRun <= len(outcome.skipped):
        sys.exit(77)  # ctest: skipped, not passed
    sys.exit(0 if outcome.wasSuccessful() else 1)
