"""The release as a Windows user gets it: the zip and SHA256SUMS, the setup program installing,
reinstalling and removing the saver under Wine's 64-bit prefix (the 32-bit setup program as on 64-bit
Windows), a signed release, and a second build of the release elsewhere giving the same bytes.

Needs TESSALINE_RELEASE (the release directory) and TESSALINE_VERSION; the installer case also the test
session's DISPLAY and WINEPREFIX (test.sh), WINE, TESSALINE_PROBE, TESSALINE_MAKE_RELEASE (the release
command) and TESSALINE_PREFIX_TEMPLATE (the loader check's prefix); the rebuild TESSALINE_SOURCE and
TESSALINE_BUILD_TYPE, the source tree and the build type of the release, and TESSALINE_MINGW_SOURCE, the
runtime sources that its saver's start-up code is rebuilt from.
"""
import contextlib
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from saver_modes_test import PROBE, RELAY_KEY, WINE, Started, end_started_savers, every_97th_pixel, mostly_grey, \
    reg, registry_values as values_set, press_in_dialog, screen_pixels, start_saver, wait_for_exit, wait_for_focus, \
    wait_for_window, wine, xdotool  # noqa: E402
from waiting import wait_until  # noqa: E402

RELEASE = os.environ.get("TESSALINE_RELEASE", "")
VERSION = os.environ.get("TESSALINE_VERSION", "")
SOURCE = os.environ.get("TESSALINE_SOURCE", "")
BUILD_TYPE = os.environ.get("TESSALINE_BUILD_TYPE", "")
MINGW_SOURCE = os.environ.get("TESSALINE_MINGW_SOURCE", "")
MAKE_RELEASE = os.environ.get("TESSALINE_MAKE_RELEASE", "")  # the release command: make-release <out> <staging>
ZIP = "Tessaline-%s.zip" % VERSION
SETUP = "Tessaline-%s-setup.exe" % VERSION
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SETTINGS_KEY = r"HKCU\Software\Tessaline"
SESSION_MANAGER_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"
SETUP_TITLE = "Tessaline %s Setup" % VERSION  # the windows', their message boxes' too
WINESERVER = "/usr/lib/wine/wineserver"
PREVIEW_HOLD = 60000  # milliseconds a preview stays up unless the test ends it first
UNINSTALL_LIMIT = 60  # seconds for the uninstaller, which starts a copy of itself and ends at once


def release_file(name):
    with open(os.path.join(RELEASE, name), "rb") as file:
        return file.read()


def zipped_saver():
    with zipfile.ZipFile(os.path.join(RELEASE, ZIP)) as archive:
        return archive.read("tessaline.scr")


def unix_path(windows_path):
    """The file in the prefix that a Windows path names; Wine's folders differ in case from Windows'."""
    drive, *parts = windows_path.strip('"').split("\\")
    assert drive.upper() == "C:", windows_path
    path = os.path.join(os.environ["WINEPREFIX"], "drive_c")
    for part in parts:
        names = {name.lower(): name for name in os.listdir(path)} if os.path.isdir(path) else {}
        path = os.path.join(path, names.get(part.lower(), part))
    return path


def registry_values(key, *options):
    """{value name: data} of one key as reg query prints it, or None when there is no such key."""
    result = reg("query", key, *options)
    if result.returncode != 0:
        return None
    values = {}
    for line in result.stdout.splitlines():
        fields = line.strip().split(None, 2)
        if len(fields) >= 2 and fields[1].startswith("REG_"):
            values[fields[0]] = fields[2] if len(fields) == 3 else ""
    return values


def uninstall_entries():
    """{key: values} of every uninstall entry named after Tessaline."""
    listing = [line.strip() for line in reg("query", UNINSTALL_KEY).stdout.splitlines()]
    keys = [line for line in listing if line.upper().startswith("HKEY_LOCAL_MACHINE\\") and "\\Uninstall\\" in line]
    entries = {key: registry_values(key) for key in keys}
    return {key: values for key, values in entries.items() if "Tessaline" in values.get("DisplayName", "")}


def installed_saver():
    """The installed saver's file: SysWOW64 of the 64-bit prefix, as on 64-bit Windows."""
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows", "syswow64", "tessaline.scr")


def pending_deletions():
    """The files that Windows is to delete at its next restart."""
    result = reg("query", SESSION_MANAGER_KEY, "/v", "PendingFileRenameOperations")
    found = re.search(r"REG_MULTI_SZ\s+(.*)", result.stdout)
    names = found.group(1).split("\\0") if found else []
    return [unix_path(name[len("\\??\\"):]) for name in names if name.startswith("\\??\\")]


def pe_checksum_offset(data):
    return int.from_bytes(data[0x3C:0x40], "little") + 88


def pe_image_end(data):
    """Where the last section of a PE file ends: what follows is the overlay, an NSIS program's data."""
    header = int.from_bytes(data[0x3C:0x40], "little")
    count = int.from_bytes(data[header + 6:header + 8], "little")
    sections = header + 24 + int.from_bytes(data[header + 20:header + 22], "little")
    return max(int.from_bytes(data[entry + 20:entry + 24], "little") + int.from_bytes(data[entry + 16:entry + 20], "little")
               for entry in range(sections, sections + 40 * count, 40))


def throwaway_signer(place):
    """A CA of the test's own and a code-signing certificate from it, in a PKCS#12 file with the
    password "secret": (the CA's certificate, the PKCS#12 file)."""
    def openssl(*arguments):
        subprocess.run(["openssl", *arguments], cwd=place, check=True, capture_output=True)
    certificate = ["req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2"]
    openssl(*certificate, "-keyout", "ca.key", "-out", "ca.pem", "-subj", "/CN=Tessaline test CA",
            "-addext", "basicConstraints=critical,CA:true", "-addext", "keyUsage=critical,keyCertSign")
    openssl(*certificate, "-keyout", "signer.key", "-out", "signer.pem", "-subj", "/CN=Tessaline test signer",
            "-CA", "ca.pem", "-CAkey", "ca.key", "-addext", "basicConstraints=critical,CA:false",
            "-addext", "keyUsage=critical,digitalSignature",
            "-addext", "extendedKeyUsage=codeSigning")
    openssl("pkcs12", "-export", "-inkey", "signer.key", "-in", "signer.pem", "-certfile", "ca.pem", "-out",
            "signer.p12", "-passout", "pass:secret")
    return os.path.join(place, "ca.pem"), os.path.join(place, "signer.p12")


def signatures_verified(path, ca):
    """osslsigncode's verdict on the file's signature against the CA: None where it holds."""
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", ca, "-in", path], capture_output=True, text=True)
    return None if result.returncode == 0 and "Succeeded" in result.stdout else result.stdout + result.stderr


def without_signature(path, place):
    unsigned = os.path.join(place, os.path.basename(path) + ".unsigned")
    subprocess.run(["osslsigncode", "remove-signature", "-in", path, "-out", unsigned], check=True, capture_output=True)
    with open(unsigned, "rb") as file:
        return file.read()


def current_saver():
    return (registry_values(DESKTOP_KEY) or {}).get("SCRNSAVE.EXE")


def click(button, env=None, probe=PROBE):
    """Clicks the setup program's button once it is shown: what the window that holds it says, or None
    where there was no such button."""
    def clicked():
        result = wine(probe, "click", SETUP_TITLE, button, env=env)
        return result if result.returncode == 0 else None
    result = wait_until(clicked)
    return result.stdout if result else None


@contextlib.contextmanager
def run_as_the_user(program, options):
    """The program started as Windows with UAC starts what a user starts, with the limited token of an
    administrator who is not elevated, which Wine never gives its programs otherwise; Wine traces the
    calls that write the registry, tell Windows of a setting or start a program, and the shell's requests,
    each line beginning with the number of its thread, until the block ends."""
    traced = "RegCreateKeyExA;RegSetValueExA;RegDeleteValueA;SystemParametersInfoA;ShellExecuteExA"
    with values_set(RELAY_KEY, ("RelayInclude", "REG_SZ", traced)):
        yield start_saver("limited", program, options, program=PROBE, env=dict(os.environ, WINEDEBUG="+relay,+exec"))


def traced_calls(run):
    """(thread, call) of each traced call, and of each program the shell was asked to start, in order."""
    return re.findall(r"^([0-9a-f]+):(?:Call \w+\.|trace:exec:SHELL_execute )(.*)$", run.text(), re.MULTILINE)


class ReleaseFiles(unittest.TestCase):
    def test_the_sums_match_and_the_zip_holds_the_saver_and_a_windows_readme(self):
        with open(os.path.join(RELEASE, "SHA256SUMS")) as sums:
            listed = [line.split() for line in sums.read().splitlines()]
        self.assertEqual([name for _, name in listed], [ZIP, SETUP])
        for digest, name in listed:
            self.assertEqual(digest, hashlib.sha256(release_file(name)).hexdigest(), name)
        with zipfile.ZipFile(os.path.join(RELEASE, ZIP)) as archive:
            self.assertEqual(archive.namelist(), ["tessaline.scr", "README.txt"])
            readme = archive.read("README.txt").decode("ascii")
            self.assertEqual(archive.read("tessaline.scr")[:2], b"MZ")
        self.assertNotIn("\n", readme.replace("\r\n", ""), "README.txt has a line not ended by CR LF")
        self.assertIn("Tessaline " + VERSION, readme)


class Installer(unittest.TestCase):
    """One user's story: install silently, run the installed saver as Windows starts it, install again
    asking for it as the screen saver, and remove it with the quiet uninstall command."""

    def setUp(self):
        reg("delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")
        reg("add", SETTINGS_KEY, "/v", "Tempo", "/t", "REG_DWORD", "/d", "995", "/f")

    def tearDown(self):
        end_started_savers()
        reg("delete", SETTINGS_KEY, "/f")

    def install(self, *options, exit_code=0, release=RELEASE):
        process = subprocess.run([WINE, os.path.join(release, SETUP), "/S", *options],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
        self.assertEqual(process.returncode, exit_code, "setup " + " ".join(options))

    def install_an_earlier_version(self):
        """The installed saver's file, installed and then given other bytes, still a saver that runs."""
        installed = installed_saver()
        self.install()
        with open(installed, "ab") as file:
            file.write(b"an earlier version")
        return installed

    def only_entry(self):
        entries = uninstall_entries()
        self.assertEqual(len(entries), 1, "uninstall entries: %s" % sorted(entries))
        return next(iter(entries.values()))

    def run_full_screen_and_press_a_key(self, command):
        xdotool("mousemove", "500", "400")
        process = start_saver("/s", program=command)
        self.assertIsNotNone(wait_for_window("Screen Saver"), "the installed saver showed no window")
        self.assertTrue(wait_for_focus("Screen Saver"), "the installed saver's window never took the focus")
        self.assertTrue(wait_until(lambda: mostly_grey(every_97th_pixel(screen_pixels()[2]))),
                        "the installed saver drew nothing")
        xdotool("key", "a")
        self.assertEqual(wait_for_exit(process), 0, "a key press must close the installed saver with 0")

    def uninstall(self, command):
        program, options = command.rsplit(" ", 1)
        subprocess.run([WINE, unix_path(program), options], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=120)
        # The uninstaller runs on in a copy of itself, which removes the folder last.
        deadline = time.monotonic() + UNINSTALL_LIMIT
        while os.path.exists(os.path.dirname(unix_path(program))) and time.monotonic() < deadline:
            time.sleep(0.5)

    def test_install_run_install_again_and_remove(self):
        installed = installed_saver()
        self.install()
        with open(installed, "rb") as file:
            self.assertEqual(file.read(), zipped_saver(), "the installed saver is not the zip's")
        entry = self.only_entry()
        self.assertEqual(entry["DisplayVersion"], VERSION)
        self.assertEqual(unix_path(entry["DisplayIcon"].rsplit(",", 1)[0]), installed)
        uninstaller = entry["UninstallString"].strip('"')
        self.assertTrue(os.path.isfile(unix_path(uninstaller)), "no uninstaller at " + uninstaller)
        self.assertEqual(entry["QuietUninstallString"], '"%s" /S' % uninstaller)
        self.assertEqual(int(entry["EstimatedSize"], 16), (os.path.getsize(installed) + 1023) // 1024)
        self.assertEqual((entry["NoModify"], entry["NoRepair"]), ("0x1", "0x1"))
        self.assertIsNone(current_saver(), "SCRNSAVE.EXE set without /SETSAVER")

        reg("add", DESKTOP_KEY, "/v", "ScreenSaveTimeOut", "/t", "REG_SZ", "/d", "600", "/f")
        with run_as_the_user(os.path.join(RELEASE, SETUP), "/S /SETSAVER") as run:
            wait_for_exit(run)
        self.assertIn("exit 0", run.text(), "setup /S /SETSAVER as the user")
        self.assert_split(traced_calls(run), '"SCRNSAVE.EXE"', "SystemParametersInfoA(00000011,00000001,00000000,00000003)")
        desktop = registry_values(DESKTOP_KEY)
        self.assertEqual((desktop.get("ScreenSaveActive"), desktop.get("ScreenSaveTimeOut")), ("1", "600"))
        entry = self.only_entry()
        short = current_saver()
        self.assertIsNotNone(short, "/SETSAVER did not set SCRNSAVE.EXE")
        self.assertNotIn(" ", short)
        self.assertTrue(all(len(part.split(".")[0]) <= 8 for part in short.split("\\")), short + " is no 8.3 path")
        named = wine("winepath", "-u", short).stdout.strip()  # Wine's own short names are hashes
        self.assertEqual(os.path.realpath(named), os.path.realpath(installed), short)
        self.run_full_screen_and_press_a_key(short)

        with run_as_the_user(unix_path(uninstaller), "/S") as run:
            self.assertTrue(wait_until(lambda: "Call user32.SystemParametersInfoA" in run.text()),
                            "the uninstaller sent no notice")
        self.assert_split(traced_calls(run), 'RegDeleteValueA(', "SystemParametersInfoA(00000011,00000000,00000000,00000003)")
        self.assertFalse(os.path.exists(installed), "the saver is still installed")
        self.assertFalse(os.path.exists(unix_path(uninstaller)), "the uninstaller is still there")
        self.assertEqual(uninstall_entries(), {}, "the uninstall entry is still there")
        self.assertIsNone(current_saver(), "SCRNSAVE.EXE still names Tessaline")
        self.assertEqual(registry_values(SETTINGS_KEY).get("Tempo"), "0x3e3", "the settings were touched")


    def assert_split(self, calls, change, notice):
        """The first instance, the user's, started one elevated instance for the machine-wide half, which
        wrote nothing under HKEY_CURRENT_USER (0x80000001); then it changed the current screen saver itself
        and told Windows at once."""
        first = [thread for thread, call in calls if 'verb=L"runas"' in call and "/S /MACHINE" in call]
        self.assertEqual(len(first), 1, "no elevated instance started once: %s" % calls)
        user = [call for thread, call in calls if thread == first[0]]
        others = [call for thread, call in calls if thread != first[0]]
        self.assertEqual([call for call in others if "80000001" in call], [], "the elevated instance wrote for the user")
        changed = [i for i, call in enumerate(user) if change in call]
        self.assertTrue(changed, "the first instance never made the change: %s" % user)
        after = user[changed[-1] + 1:] or [""]
        self.assertTrue(after[0].startswith(notice), "no notice right after the change: %s" % user)

    def test_an_interactive_install_ends_by_opening_screen_saver_settings(self):
        """With Tessaline chosen, through the Install verb that Windows gives screen savers, on the
        installed file's short path: Wine has no Screen Saver Settings, so its shell's trace shows the request."""
        setup = start_saver(program=os.path.join(RELEASE, SETUP), env=dict(os.environ, WINEDEBUG="+exec"))
        for button in ("&Install", "&Finish"):
            self.assertIsNotNone(click(button), button)
        self.assertEqual(wait_for_exit(setup), 0)
        requests = [(verb, name.replace("\\\\", "\\")) for verb, name in
                    re.findall(r'verb=L"(\w+)" file=L"([^"]*)"', setup.text())]
        self.assertIn(("install", current_saver()), requests)
        # Wine knows no Install verb and starts the file itself instead: the saver's settings dialog.
        press_in_dialog("Escape")
        self.uninstall(self.only_entry()["QuietUninstallString"])

    def test_without_the_rights_to_the_system_folder_the_setup_program_says_so(self):
        """As for a limited user of Windows 2000 or XP. Wine's server opens the files of its programs, so
        here a prefix of its own, a read-only system folder, and a server without root's power over
        file permissions (CAP_DAC_OVERRIDE)."""
        template = os.environ["TESSALINE_PREFIX_TEMPLATE"]
        with tempfile.TemporaryDirectory(dir=os.path.dirname(template)) as place:
            prefix = os.path.join(place, "prefix")
            subprocess.run(["cp", "-al", template, prefix], check=True)  # linked, at once
            for name in ("system.reg", "user.reg", "userdef.reg"):  # what Wine writes: copies of their own
                os.remove(os.path.join(prefix, name))
                shutil.copy(os.path.join(template, name), os.path.join(prefix, name))
            folder = os.path.join(prefix, "drive_c", "windows", "syswow64")
            os.chmod(folder, 0o555)
            env = dict(os.environ, WINEPREFIX=prefix)
            powerless = ["setpriv", "--bounding-set", "-dac_override"]
            subprocess.run(powerless + [WINESERVER, "-p"], env=env, check=True)
            try:
                setup = Started(powerless + [WINE, os.path.join(RELEASE, SETUP)], env)
                probe = shutil.copy(PROBE, place)  # outside the build tree, it runs in the prefix of env
                says = [click(button, env, probe) for button in ("&Install", "OK", "Cancel")]
                self.assertIn("the Windows system folder, which only an administrator may change", says[1] or "")
                self.assertEqual(wait_for_exit(setup), 3, "the exit code of no rights")
            finally:
                subprocess.run([WINESERVER, "-k"], env=env)
            self.assertFalse(os.path.exists(os.path.join(folder, "tessaline.scr")))

    def test_a_signed_release_verifies_installs_runs_and_differs_only_by_its_signatures(self):
        """Made by the release command with a throwaway CA's certificate and no timestamp; a wrong password
        stops it and leaves no release."""
        with tempfile.TemporaryDirectory(prefix="tessaline-signed-") as place:
            ca, pkcs12 = throwaway_signer(place)
            signed = os.path.join(place, "release")

            def make_release(password):
                env = dict(os.environ, TESSALINE_SIGN_PKCS12=pkcs12, TESSALINE_SIGN_PASSWORD=password)
                return subprocess.run([MAKE_RELEASE, signed, os.path.join(place, "staging")], env=env,
                                      capture_output=True, text=True)
            made = make_release("secret")
            self.assertEqual(made.returncode, 0, made.stderr)
            saver = os.path.join(place, "tessaline.scr")
            with zipfile.ZipFile(os.path.join(signed, ZIP)) as archive, open(saver, "wb") as file:
                file.write(archive.read("tessaline.scr"))
            for path in (saver, os.path.join(signed, SETUP)):
                self.assertIsNone(signatures_verified(path, ca), path)

            # Signing pads the saver to eight bytes before its certificate table; the PE checksum, which
            # removing the signature computes anew, covers that padding.
            unsigned, removed = zipped_saver(), without_signature(saver, place)
            checksum = pe_checksum_offset(unsigned)
            self.assertEqual(removed[len(unsigned):], bytes(-len(unsigned) % 8), "more than the padding was added")
            self.assertEqual(removed[:checksum] + removed[checksum + 4:len(unsigned)],
                             unsigned[:checksum] + unsigned[checksum + 4:], "the saver differs beyond its signature")
            # The setup program's code is the same but for the checksum; its data differs, as it holds the
            # signed saver and the whole signed uninstaller, where NSIS otherwise keeps only the
            # uninstaller's data and puts its own code in front of it.
            unsigned, removed = release_file(SETUP), without_signature(os.path.join(signed, SETUP), place)
            end, checksum = pe_image_end(unsigned), pe_checksum_offset(unsigned)
            self.assertEqual(removed[:checksum] + removed[checksum + 4:end], unsigned[:checksum] + unsigned[checksum + 4:end],
                             "the setup program's code differs beyond its signature")

            self.install(release=signed)
            uninstaller = unix_path(self.only_entry()["UninstallString"])
            for path in (installed_saver(), uninstaller):
                self.assertIsNone(signatures_verified(path, ca), path)
            self.run_full_screen_and_press_a_key(installed_saver())
            self.uninstall(self.only_entry()["QuietUninstallString"])
            self.assertFalse(os.path.exists(installed_saver()), "the signed saver is still installed")

            failed = make_release("wrong")
            self.assertNotEqual(failed.returncode, 0, "a wrong password made a release")
            self.assertIn("signing the saver failed", failed.stderr)
            self.assertEqual(os.listdir(signed), [], "a failed release left files behind")

    def run_preview(self, saver):
        """The saver running from the file, in a preview that stays up until the test ends it."""
        preview = start_saver("preview", saver, "152", "112", str(PREVIEW_HOLD), program=PROBE)
        self.assertTrue(wait_until(lambda: "client" in preview.text()), "the preview did not start")

    def test_a_saver_that_cannot_be_moved_aside_fails_the_setup_and_stays(self):
        """Held open as Windows 9x holds a running program's file, the installed saver can be neither
        replaced nor renamed: the setup program ends with 2, and the uninstaller leaves everything."""
        installed = self.install_an_earlier_version()
        with open(installed, "rb") as file:
            before = file.read()
        holder = start_saver("hold", installed, str(PREVIEW_HOLD), program=PROBE)
        self.assertTrue(wait_until(lambda: "held" in holder.text()), "the file was not held")
        self.install(exit_code=2)
        with open(installed, "rb") as file:
            self.assertEqual(file.read(), before, "the file that could not be replaced changed")
        uninstaller = self.only_entry()["QuietUninstallString"]
        program = uninstaller.rsplit(" ", 1)[0].strip('"')
        # _?= runs the uninstaller where it is, not from a copy of itself, so that its exit code is seen;
        # it must come last and unquoted, as Wine would not pass it.
        removal = wine(PROBE, "run", unix_path(program), "/S _?=" + program.rsplit("\\", 1)[0])
        self.assertIn("exit 2", removal.stdout, "the uninstaller must fail")
        self.assertTrue(os.path.exists(installed) and os.path.exists(unix_path(program)),
                        "the uninstaller removed what it could not remove whole")
        self.assertEqual(len(uninstall_entries()), 1, "the uninstall entry is gone")
        end_started_savers()
        self.uninstall(uninstaller)
        self.assertFalse(os.path.exists(installed), "the saver is still installed")

    def test_a_saver_in_use_is_replaced_and_no_later_install_loses_it(self):
        """A silent install over the installed saver while it runs, and a removal while it runs: each file
        in use is moved aside and deleted at the next restart under a name of its own, never under the
        saver's, which a later install puts back."""
        installed = self.install_an_earlier_version()
        folder = os.path.realpath(os.path.dirname(installed))
        try:
            self.run_preview(installed)
            self.install()
            with open(installed, "rb") as file:
                self.assertEqual(file.read(), zipped_saver(), "the saver in use was not replaced")
            self.run_preview(installed)
            self.uninstall(self.only_entry()["QuietUninstallString"])
            self.assertFalse(os.path.exists(installed), "the saver in use was not removed")
            self.assertEqual(uninstall_entries(), {}, "the uninstall entry is still there")
            self.install()
            pending = [os.path.realpath(path) for path in pending_deletions()]
            aside = [path for path in pending if os.path.dirname(path) == folder]
            self.assertEqual(len(aside), 2, "the two files in use are not deleted at the next restart: %s" % pending)
            self.assertNotIn(os.path.realpath(installed), pending,
                             "the next restart deletes the saver that was installed since")
            end_started_savers()
            self.uninstall(self.only_entry()["QuietUninstallString"])
        finally:
            end_started_savers()
            for path in pending_deletions():
                if os.path.isfile(path) and os.path.realpath(os.path.dirname(path)) == folder:
                    os.remove(path)
            reg("delete", SESSION_MANAGER_KEY, "/v", "PendingFileRenameOperations", "/f")


class Reproducible(unittest.TestCase):
    def test_a_build_of_the_same_sources_elsewhere_gives_the_same_release(self):
        """The source tree as it is (tracked and new files) copied and built again in another directory,
        with only the product and the package."""
        with tempfile.TemporaryDirectory(prefix="tessaline-rebuild-") as place:
            source, build, release = (os.path.join(place, name) for name in ("source", "build", "release"))
            listed = subprocess.run(["git", "-C", SOURCE, "ls-files", "-z", "--cached", "--others",
                                     "--exclude-standard"], capture_output=True, check=True).stdout
            for name in filter(None, listed.decode().split("\0")):
                if os.path.isfile(os.path.join(SOURCE, name)):
                    os.makedirs(os.path.dirname(os.path.join(source, name)), exist_ok=True)
                    shutil.copy(os.path.join(SOURCE, name), os.path.join(source, name))
            commit_date = subprocess.run(["git", "-C", SOURCE, "log", "-1", "--format=%ct"], capture_output=True,
                                         text=True, check=True).stdout.strip()
            env = dict(os.environ, SOURCE_DATE_EPOCH=commit_date)
            subprocess.run(["cmake", "-S", source, "-B", build, "-G", "Ninja",
                            "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(source, "cmake", "mingw-i686.cmake"),
                            "-DCMAKE_BUILD_TYPE=" + BUILD_TYPE, "-DTESSALINE_TESTS=OFF", "-DTESSALINE_BENCH=OFF",
                            "-DTESSALINE_RELEASE_DIR=" + release, "-DTESSALINE_MINGW_SOURCE=" + MINGW_SOURCE],
                           env=env, check=True, stdout=subprocess.DEVNULL)
            subprocess.run(["cmake", "--build", build, "--target", "package"], env=env, check=True,
                           stdout=subprocess.DEVNULL)
            for name in (ZIP, SETUP, "SHA256SUMS"):
                with open(os.path.join(release, name), "rb") as rebuilt:
                    self.assertTrue(rebuilt.read() == release_file(name), name + " differs")


if __name__ == "__main__":
    unittest.main()
