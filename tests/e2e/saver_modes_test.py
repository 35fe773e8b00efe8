"""End-to-end runs of tessaline.scr under Wine, started with each mode as Windows starts it.

Needs the test session's DISPLAY and WINEPREFIX (test.sh), TESSALINE_SCR, TESSALINE_PROBE, WINE, and the
tests' stand-ins for system libraries: TESSALINE_MPR, TESSALINE_WINMM, TESSALINE_OPENGL and
TESSALINE_PASSWORD.
"""
import contextlib
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

from waiting import DEADLINE, eventually, wait_until

WINE = os.environ.get("WINE", "wine")
SCR = os.environ.get("TESSALINE_SCR", "")
PROBE = os.environ.get("TESSALINE_PROBE", "")
MPR = os.environ.get("TESSALINE_MPR", "")
WINMM = os.environ.get("TESSALINE_WINMM", "")
OPENGL = os.environ.get("TESSALINE_OPENGL", "")
PASSWORD = os.environ.get("TESSALINE_PASSWORD", "")
SETTINGS_KEY = r"HKCU\Software\Tessaline"
VERSION_KEY = r"HKCU\Software\Wine\AppDefaults\tessaline.scr"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
DEBUGGER_KEY = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug"
RELAY_KEY = r"HKCU\Software\Wine\Debug"
RUN_LIMIT = DEADLINE    # seconds any one run may take before the test gives up on it
MINUS_ONE = 255         # Wine hands on the low byte of a Windows exit code
# An access violation, 0xC0000005; under emulation Wine reports it as an illegal instruction, 0xC000001D.
FAULT_CODES = (5, 0x1D) if os.environ.get("TESSALINE_EMULATOR") else (5,)
GREY = (223, 223, 223)


# What Wine's loader says when it could not set up a new process, its address space or its DLLs,
# before any code of the program ran: rarely, on a busy machine. Such a start is made once more.
WINE_START_FAILURES = ("wine: failed to", "wine: could not", "failed to initialize, aborting")


def wine_failed_to_start(errors):
    return any(sign in errors for sign in WINE_START_FAILURES)


def wine(*arguments, env=None, timeout=RUN_LIMIT):
    """Runs a Windows program to its end; a start that Wine itself failed is made once more."""
    for _ in range(2):
        # Output goes to files, not pipes: Wine's own services may inherit the handles and keep a pipe open.
        with tempfile.TemporaryFile("w+") as output, tempfile.TemporaryFile("w+") as errors:
            process = subprocess.run([WINE, *arguments], stdout=output, stderr=errors, env=env, timeout=timeout)
            output.seek(0)
            errors.seek(0)
            result = subprocess.CompletedProcess(process.args, process.returncode, output.read(), errors.read())
        if not wine_failed_to_start(result.stderr):
            break
    return result


def saver(*arguments, env=None):
    return wine(SCR, *arguments, env=env).returncode


class Started:
    """A Windows program started beside a test, which looks at it and ends it. A start that Wine itself
    failed is made once more, as soon as poll(), wait() or wait_for_window() notice it."""

    def __init__(self, command, env):
        self.command, self.env = command, env
        self.started_again = False
        self.output = tempfile.TemporaryFile("w+")  # its output and Wine's messages, every start's
        self.start()

    def start(self):
        self.output.seek(0, os.SEEK_END)
        self.offset = self.output.tell()
        self.process = subprocess.Popen(self.command, stdout=self.output, stderr=self.output, env=self.env)

    def text(self, since=0):
        """What the program and Wine wrote from that offset on: by default over all its starts."""
        return os.pread(self.output.fileno(), 1 << 20, since).decode(errors="replace")

    def start_again_if_wine_failed(self):
        if self.started_again or self.process.poll() is None:
            return False
        if not wine_failed_to_start(self.text(since=self.offset)):
            return False
        self.started_again = True
        self.start()
        return True

    def poll(self):
        self.start_again_if_wine_failed()
        return self.process.poll()

    def wait(self, timeout=None):
        deadline = None if timeout is None else time.monotonic() + timeout
        while True:
            code = self.process.wait(None if deadline is None else max(0.0, deadline - time.monotonic()))
            if not self.start_again_if_wine_failed():
                return code

    def kill(self):
        self.process.kill()
        self.process.wait()


# Every program started to run beside a test, so that a failed test leaves none behind for the next.
started = []


def start_saver(*arguments, program=SCR, env=None):
    process = Started([WINE, program, *arguments], env)
    started.append(process)
    return process


def end_started_savers():
    while started:
        process = started.pop()
        if process.poll() is None:
            process.kill()
        process.output.close()


def probe(*arguments):
    return wine(PROBE, *arguments)


def native(*names):
    """The environment of a process in which Wine takes these libraries from outside its own builtins."""
    overrides = ";".join(name + "=n" for name in names)
    return dict(os.environ, WINEDLLOVERRIDES=os.environ.get("WINEDLLOVERRIDES", "") + ";" + overrides)


def is_32_bit(path):
    with open(path, "rb") as file:
        data = file.read(4096)
    header = int.from_bytes(data[0x3C:0x40], "little")
    return data[header + 4:header + 6] == b"\x4c\x01"


@contextlib.contextmanager
def in_system_folder(library, name):
    """The tests' stand-in for a system library where the saver loads it from: the prefix's system
    folder, SysWOW64 for a 32-bit library. What was there comes back afterwards."""
    folder = "syswow64" if is_32_bit(library) else "system32"
    target = os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows", folder, name)
    saved = target + ".tessaline-saved"
    had_one = os.path.exists(target)
    if had_one:
        os.replace(target, saved)
    shutil.copy(library, target)
    try:
        yield
    finally:
        os.remove(target)
        if had_one:
            os.replace(saved, target)


@contextlib.contextmanager
def crash_debugger_kept_away():
    """Wine starts its crash debugger for a fault that nothing handles, which would hold the faulted
    program: a debugger that does not exist keeps it away, in the registry view of either build."""
    names = ("Debugger", "Auto")
    saved = {}
    for view in ("/reg:32", "/reg:64"):
        fields = (line.split(None, 2) for line in reg("query", DEBUGGER_KEY, view).stdout.splitlines())
        saved[view] = {found[0]: found[2] for found in fields if len(found) == 3 and found[0] in names}
        reg("add", DEBUGGER_KEY, "/v", "Debugger", "/d", "tessaline-no-such-debugger.exe", "/f", view)
        reg("add", DEBUGGER_KEY, "/v", "Auto", "/d", "1", "/f", view)
    try:
        yield
    finally:
        for view, values in saved.items():
            for name in names:
                if name in values:
                    reg("add", DEBUGGER_KEY, "/v", name, "/d", values[name], "/f", view)
                else:
                    reg("delete", DEBUGGER_KEY, "/v", name, "/f", view)


@contextlib.contextmanager
def registry_values(key, *values):
    """The (name, type, data) values set in the key while the block runs, removed afterwards."""
    for name, kind, data in values:
        reg("add", key, "/v", name, "/t", kind, "/d", data, "/f")
    try:
        yield
    finally:
        for name, _, _ in values:
            reg("delete", key, "/v", name, "/f")


def reg(*arguments):
    return wine("reg", *arguments)


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True, timeout=RUN_LIMIT)


def x_windows(title, env=None):
    """The X windows, shown, whose name is the title."""
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title], capture_output=True,
                          text=True, timeout=RUN_LIMIT, env=env).stdout.split()


def wait_for_focus(title, env=None):
    """True once the window has the keyboard focus, which Wine gives it some time after it appears:
    a key pressed before then goes nowhere."""
    def focused():
        focus = subprocess.run(["xdotool", "getwindowfocus"], capture_output=True, text=True, timeout=RUN_LIMIT,
                               env=env).stdout.strip()
        return focus in x_windows(title, env)
    return wait_until(focused)


def press_in_dialog(key):
    """A real key press in the settings dialog; with no window manager the X focus is put on it first,
    once its X window can take the focus, and the key goes only once the focus is there."""
    def focus_taken():
        found = x_windows("Settings")
        return found and subprocess.run(["xdotool", "windowfocus", found[0]], stderr=subprocess.DEVNULL,
                                        timeout=RUN_LIMIT).returncode == 0
    if not (wait_until(focus_taken) and wait_for_focus("Settings")):
        raise AssertionError("the settings dialog never took the focus")
    xdotool("key", key)


WINDOW_LOOK = 2000  # milliseconds each look for a window takes at most; between looks, failed starts are redone


def wait_for_window(title, milliseconds=DEADLINE * 1000, env=None, program=PROBE):
    """The window's x, y, width and height once it exists and its process waits for input, or None when
    it did not appear in time."""
    deadline = time.monotonic() + milliseconds / 1000
    while True:
        look = max(0, min(WINDOW_LOOK, int(1000 * (deadline - time.monotonic()))))
        result = wine(program, "wait", title, str(look), env=env)
        if result.returncode == 0:
            return tuple(int(n) for n in result.stdout.split())
        if time.monotonic() >= deadline:
            return None
        for process in started:
            process.poll()


def wait_for_exit(process, seconds=RUN_LIMIT):
    try:
        return process.wait(seconds)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        return None


def still_running_after(process, seconds):
    try:
        process.wait(seconds)
        return False
    except subprocess.TimeoutExpired:
        return True


def mostly_grey(pixels):
    """Whether most of these (red, green, blue) pixels show the saver's grey background."""
    return sum(1 for p in pixels if all(abs(c - g) <= 8 for c, g in zip(p, GREY))) > len(pixels) // 2


def every_97th_pixel(rgb):
    return [tuple(rgb[i:i + 3]) for i in range(0, len(rgb) - 2, 3 * 97)]


def screen_pixels(env=None):
    """Width, height and the RGB bytes of the whole screen."""
    shot = subprocess.run("import -window root png:- | convert png:- ppm:-", shell=True, capture_output=True,
                          check=True, timeout=RUN_LIMIT, env=env).stdout
    fields, end = [], 0
    while len(fields) < 4:  # "P6", width, height, maximum
        start = end
        while shot[start:start + 1].isspace():
            start += 1
        end = start
        while not shot[end:end + 1].isspace():
            end += 1
        fields.append(shot[start:end])
    return int(fields[1]), int(fields[2]), shot[end + 1:]


class SaverModes(unittest.TestCase):
    def setUp(self):
        reg("delete", SETTINGS_KEY, "/f")

    def tearDown(self):
        end_started_savers()

    def test_unknown_modes_end_with_minus_one(self):
        self.assertEqual(saver("/x"), MINUS_ONE, "/x")
        self.assertEqual(saver("-Q"), MINUS_ONE, "-Q")
        self.assertEqual(saver("/7"), MINUS_ONE, "a digit")
        self.assertEqual(saver("/a"), MINUS_ONE, "/a outside Windows 9x")
        self.assertEqual(saver("/a", "1234"), MINUS_ONE, "/a 1234 outside Windows 9x")
        exact = probe("run", SCR, "/\ts")
        self.assertIn("exit 4294967295", exact.stdout, "a tab between the slash and the letter")

    def test_preview_without_a_window_ends_with_minus_one(self):
        for arguments in (["/p:1234"], ["/p"], ["/p", "0"], ["/p", "4294967295"], ["/l", "4294967295"]):
            run = wine(SCR, *arguments)
            self.assertEqual(run.returncode, MINUS_ONE, " ".join(arguments) + ": " + run.stderr)
        self.assertIsNone(wait_for_window("Preview", 200), "a refused preview left a window")

    def test_password_change_on_windows_9x_calls_the_platform(self):
        with tempfile.TemporaryDirectory(prefix="tessaline-9x-") as work, in_system_folder(MPR, "mpr.dll"), \
                registry_values(VERSION_KEY, ("Version", "REG_SZ", "win98")):
            record = os.path.join(work, "record.txt")
            env = dict(native("mpr"), TESSALINE_MPR_RECORD="Z:" + record)
            code = wine(SCR, "/a", "1234", env=env).returncode
            self.assertEqual(code, 0, "exit code of the password change")
            self.assertTrue(os.path.exists(record), "PwdChangePasswordA was not called")
            with open(record) as recorded:
                provider, _owner, third, fourth = recorded.read().split()
            self.assertEqual((provider, third, fourth), ("SCRSAVE", "0", "0"))

    def test_settings_dialog_ok_stores_and_cancel_does_not(self):
        for arguments in (["/c"], []):
            name = " ".join(arguments) or "no arguments"
            process = start_saver(*arguments)
            self.assertIsNotNone(wait_for_window("Settings"), name + ": no dialog")
            press_in_dialog("Escape")
            self.assertEqual(wait_for_exit(process), 0, name + ": Cancel")
            self.assertNotEqual(reg("query", SETTINGS_KEY).returncode, 0, name + ": Cancel stored settings")
        process = start_saver("/c")
        self.assertIsNotNone(wait_for_window("Settings"), "no dialog")
        press_in_dialog("Return")
        self.assertEqual(wait_for_exit(process), 1, "OK")
        stored = reg("query", SETTINGS_KEY).stdout
        for value in ("Tempo", "Density", "Size", "Antialias"):
            self.assertIn(value, stored, "OK did not store " + value)
        owner = probe("owner", SCR)
        self.assertEqual(owner.returncode, 0, "/c:<window>: " + owner.stdout)

    def test_full_screen_draws_and_small_moves_do_not_close(self):
        xdotool("mousemove", "500", "400")
        first = start_saver("/s")
        self.assertEqual(wait_for_window("Screen Saver"), (0, 0, 1024, 768), "the window must cover the screen")

        def look():
            width, height, rgb = screen_pixels()
            self.assertTrue(mostly_grey(every_97th_pixel(rgb)), "the background is not grey")
            # The young spiral sits around the centre; a scheme may hold only greys, white and black,
            # so a seed is any pixel that stands out from the background.
            seeds = sum(1 for y in range(height // 4, 3 * height // 4) for x in range(width // 4, 3 * width // 4)
                        if max(abs(c - g) for c, g in zip(rgb[3 * (y * width + x):3 * (y * width + x) + 3], GREY)) > 24)
            self.assertGreater(seeds, 50, "no seeds drawn around the centre")
        eventually(look)
        self.assertTrue(wait_for_focus("Screen Saver"), "the saver window never took the focus")

        second = start_saver("/s")
        self.assertEqual(wait_for_exit(second), 0, "a second /s must end at once with 0")
        self.assertTrue(still_running_after(first, 0.5), "the first saver must keep running")

        xdotool("mousemove_relative", "--", "2", "0")
        self.assertTrue(still_running_after(first, 1), "a 2-pixel movement closed the saver")
        xdotool("key", "a")
        self.assertEqual(wait_for_exit(first), 0, "a key press must close with 0")

        moved = start_saver("/s")
        self.assertIsNotNone(wait_for_window("Screen Saver"), "no saver window")
        self.assertTrue(wait_for_focus("Screen Saver"), "the saver window never took the focus")
        xdotool("mousemove_relative", "--", "20", "0")
        self.assertEqual(wait_for_exit(moved), 0, "a 20-pixel movement must close with 0")

    def test_preview_fills_its_parent_and_ends_with_it(self):
        result = probe("preview", SCR)
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertIn("exit 0", result.stdout)

    def test_a_preview_whose_parent_goes_at_once_ends_without_a_fault(self):
        """As when the user quickly picks another saver: the parent goes before or during the saver's
        creation. Any exit code will do, but the saver must end, and not through a fault."""
        result = probe("preview-race", SCR)
        self.assertEqual(result.returncode, 0, result.stdout)

    def test_short_periods_raise_the_timer_resolution_in_pairs(self):
        """The tests' WINMM.DLL records each call. Planted beside a copy of the saver, where Windows looks
        first for a library loaded by its bare name, it must not be loaded; in the system folder it is."""
        with tempfile.TemporaryDirectory(prefix="tessaline-winmm-") as work:
            saver_copy = shutil.copy(SCR, os.path.join(work, "tessaline.scr"))
            shutil.copy(WINMM, os.path.join(work, "winmm.dll"))
            record = os.path.join(work, "record.txt")
            env = dict(native("winmm"), TESSALINE_WINMM_RECORD="Z:" + record)

            def calls():
                if not os.path.exists(record):
                    return []
                with open(record) as recorded:
                    calls = recorded.read().split("\n")[:-1]
                os.remove(record)
                return calls

            def full_screen_closed_by_a_key():
                xdotool("mousemove", "500", "400")
                process = start_saver("/s", program=saver_copy, env=env)
                self.assertIsNotNone(wait_for_window("Screen Saver"), "no saver window")
                self.assertTrue(wait_for_focus("Screen Saver"), "the saver window never took the focus")
                xdotool("key", "a")
                self.assertEqual(wait_for_exit(process), 0, "a key press must close with 0")

            full_screen_closed_by_a_key()
            self.assertEqual(calls(), [], "the WINMM.DLL planted beside the saver was loaded")
            with in_system_folder(WINMM, "winmm.dll"):
                full_screen_closed_by_a_key()
                self.assertEqual(calls(), ["begin 1", "end 1"], "Tempo 990, 10 ms: raised for the run")
                result = wine(PROBE, "preview", saver_copy, env=env)
                self.assertIn("exit 0", result.stdout)
                self.assertEqual(calls(), ["begin 1", "end 1"], "the preview too")
                reg("add", SETTINGS_KEY, "/v", "Tempo", "/t", "REG_DWORD", "/d", "984", "/f")
                full_screen_closed_by_a_key()
                self.assertEqual(calls(), [], "Tempo 984, 16 ms: not shorter than the clock tick")

    def test_a_driver_fault_ends_the_saver_at_once_and_leaves_nothing_on_the_screen(self):
        """A real fault inside the real saver, wherever a bad OpenGL driver may fault: the tests'
        OPENGL32.DLL faults in the entry named, while the window is created (the system calls the saver
        from inside CreateWindowExA there), in the first frame, or while a key closes the saver (from
        inside DestroyWindow), full screen, and in a preview as its parent goes. The saver keeps the
        system's fault report away with its error mode, which Wine does not honour, so Wine's crash
        debugger is kept away here as the guard's own test does. On Windows 9x with a password the
        system was told that a saver runs; it is told so no more."""
        with tempfile.TemporaryDirectory(prefix="tessaline-fault-") as work, \
                in_system_folder(OPENGL, "opengl32.dll"), in_system_folder(PASSWORD, "password.cpl"), \
                crash_debugger_kept_away(), registry_values(RELAY_KEY, ("RelayInclude", "REG_SZ", "SetErrorMode")):
            record = os.path.join(work, "record.txt")
            windows_98 = ((VERSION_KEY, ("Version", "REG_SZ", "win98")),
                          (DESKTOP_KEY, ("ScreenSaveUsePassword", "REG_DWORD", "1")))

            def fault_in(entry):
                return dict(native("opengl32"), TESSALINE_OPENGL_RECORD="Z:" + record, TESSALINE_OPENGL_FAULT=entry,
                            TESSALINE_PASSWORD_RIGHT="1", WINEDEBUG="err+all,+relay")

            for entry in ("wglChoosePixelFormat", "wglCreateContext", "glFinish", "wglDeleteContext"):
                for platform, settings in (("Windows NT", ()), ("Windows 98", windows_98)):
                    case = "%s, %s" % (entry, platform)
                    with contextlib.ExitStack() as stack:
                        for key, value in settings:
                            stack.enter_context(registry_values(key, value))
                        process = start_saver("/s", env=fault_in(entry))
                        if entry == "wglDeleteContext":
                            self.assertIsNotNone(wait_for_window("Screen Saver"), case + ": no saver window")
                            self.assertTrue(wait_for_focus("Screen Saver"), case + ": the window never took the focus")
                            xdotool("key", "a")
                        self.assertIn(wait_for_exit(process), FAULT_CODES, case + ": the fault's own exit code")
                        self.assertTrue(wait_until(lambda: not x_windows("Screen Saver")),
                                        case + ": the saver window is still on the screen")
                        modes = [int(mode, 16) for mode in re.findall(r"SetErrorMode\(([0-9a-f]+)\)", process.text())]
                        self.assertTrue(any(mode & 3 == 3 for mode in modes),
                                        "%s: no SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX in %s" % (case, modes))
                    with open(record) as recorded:
                        during = recorded.read().split("\n")[-2]
                    os.remove(record)
                    self.assertEqual(during, "running %d" % bool(settings), case + ": screen-saver-running during the run")
                    self.assertEqual(probe("screen-saver-running").stdout.strip(), "running 0",
                                     case + ": screen-saver-running after the fault")

            preview = wine(PROBE, "preview", SCR, env=fault_in("wglDeleteContext")).stdout
            codes = [int(code) for code in re.findall(r"^exit (\d+)$", preview, re.MULTILINE)]
            self.assertTrue(codes and codes[0] >> 28 == 0xC and codes[0] & 0xFF in FAULT_CODES,
                            "a preview whose parent goes: " + preview)

if __name__ == "__main__":
    unittest.main()
