#!/usr/bin/env python3
"""What the real saver costs full screen: frames per second, and the processor time its process
takes, over ten seconds of a fresh run (seconds 1 to 11) and, with --settled, over the ten seconds
after its field has stopped growing. Runs `tessaline.scr /s` under Wine with the given Tempo stored
and the other settings at their defaults; needs a running Wine session (tools/wine-session.sh).

    saver-cost.py <scr> <tempo|default> <trace log> [--settled]

Prints one JSON line per measured window. Frames are the buffer swaps in Wine's trace. "cpu" is the
saver's process in percent of one core: every thread of it, the saver's own, Wine's and the Mesa
rasterizer's. The wineserver and the X server, separate processes that also work for it, are given
apart.
"""
import json
import math
import os
import subprocess
import sys
import time

WINE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "wine-run")
SETTINGS_KEY = r"HKCU\Software\Tessaline"
WINDOW = 10.0           # seconds a measurement lasts
EARLY_START = 1.0       # seconds after the first frame that the early window opens
DENSITY = 20000         # the default
SEED_SCALE = 300        # view units of a seed's distance at age Density
BOUNDS = (600, 480)     # a seed beyond either leaves the field
# A seed moves outward for good, so the field stops growing once the seeds that live longest, those
# heading for a corner of the bounds, leave it: from this frame on, one leaves for every one born.
SETTLED_FRAME = math.ceil((BOUNDS[0] ** 2 + BOUNDS[1] ** 2) / SEED_SCALE ** 2 * DENSITY)
TICKS = os.sysconf("SC_CLK_TCK")


def reg(*arguments):
    subprocess.run([WINE, "reg", *arguments], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def cpu_seconds(pid):
    """User and system time of every thread of a process, or None once it has gone."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
    except OSError:
        return None
    return (int(fields[11]) + int(fields[12])) / TICKS


def pids_named(pattern):
    """This user's processes whose command line matches the pattern."""
    found = subprocess.run(["pgrep", "-u", str(os.getuid()), "-f", pattern], capture_output=True,
                           text=True).stdout.split()
    return [int(pid) for pid in found]


def session_helpers():
    """The wineserver of this session's prefix and the X server of its display."""
    def in_prefix(pid):
        try:
            with open(f"/proc/{pid}/environ", "rb") as environ:
                return b"WINEPREFIX=" + os.environ["WINEPREFIX"].encode() in environ.read().split(b"\0")
        except OSError:
            return False
    return {"wineserver": [pid for pid in pids_named("wineserver") if in_prefix(pid)],
            "X server": pids_named("^Xvfb %s " % os.environ["DISPLAY"])}


class SwapCounter:
    """Counts the buffer swaps that Wine's trace log has received so far."""

    def __init__(self, log):
        self.log = log
        self.offset = 0
        self.swaps = 0
        self.partial = b""

    def count(self):
        with open(self.log, "rb") as file:
            file.seek(self.offset)
            data = self.partial + file.read()
            self.offset = file.tell()
        lines = data.split(b"\n")
        self.partial = lines.pop()
        self.swaps += sum(1 for line in lines if b":trace:wgl:" in line and b"wglSwapBuffers" in line)
        return self.swaps


def wait_for(counter, frames, saver):
    while counter.count() < frames:
        if saver.poll() is not None:
            sys.exit("the saver ended by itself")
        time.sleep(0.5)


def measure(name, counter, saver_pid, started):
    """Frames and processor time over one window from now."""
    helpers = session_helpers()
    before = (time.monotonic(), counter.count(), cpu_seconds(saver_pid),
              {what: sum(cpu_seconds(pid) or 0 for pid in pids) for what, pids in helpers.items()})
    time.sleep(WINDOW)
    after = (time.monotonic(), counter.count(), cpu_seconds(saver_pid),
             {what: sum(cpu_seconds(pid) or 0 for pid in pids) for what, pids in helpers.items()})
    seconds = after[0] - before[0]
    return {"window": name, "from_frame": before[1], "frames": after[1] - before[1], "seconds": round(seconds, 2),
            "fps": round((after[1] - before[1]) / seconds, 1),
            "cpu": round(100 * (after[2] - before[2]) / seconds, 1),
            "helpers_cpu": {what: round(100 * (after[3][what] - before[3][what]) / seconds, 1) for what in helpers},
            "after_seconds": round(before[0] - started)}


def runs_the_saver(pid, scr):
    """True when the process started here now runs the saver: tools/wine-run hands its process on to
    Wine's loader, which keeps it and gives it the Windows program's command line."""
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
            first = cmdline.read().split(b"\0")[0]
    except OSError:
        return False
    return os.path.basename(first.decode(errors="replace").replace("\\", "/")) == os.path.basename(scr)


def main():
    scr, tempo, log = sys.argv[1:4]
    settled = "--settled" in sys.argv[4:]
    if tempo == "default":
        reg("delete", SETTINGS_KEY, "/v", "Tempo", "/f")
    else:
        reg("add", SETTINGS_KEY, "/v", "Tempo", "/t", "REG_DWORD", "/d", tempo, "/f")
    env = dict(os.environ, WINEDEBUG="+timestamp,+wgl")
    with open(log, "wb") as trace:
        saver = subprocess.Popen([WINE, scr, "/s"], stdout=subprocess.DEVNULL, stderr=trace, env=env)
    try:
        counter = SwapCounter(log)
        wait_for(counter, 1, saver)
        started = time.monotonic()
        if not runs_the_saver(saver.pid, scr):
            sys.exit("the process started for %s does not run it" % scr)
        time.sleep(EARLY_START)
        print(json.dumps(measure("early", counter, saver.pid, started)), flush=True)
        if settled:
            wait_for(counter, SETTLED_FRAME, saver)
            print(json.dumps(measure("settled", counter, saver.pid, started)), flush=True)
    finally:
        # Only the process started here ends.
        saver.kill()
        saver.wait()
        reg("delete", SETTINGS_KEY, "/v", "Tempo", "/f")


if __name__ == "__main__":
    main()
