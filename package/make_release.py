"""Makes the release of the shipped saver: Tessaline-<version>.zip, Tessaline-<version>-setup.exe and
SHA256SUMS. Every date that goes into them is the commit's (SOURCE_DATE_EPOCH when set, else the date
of the source tree's last commit), so two builds of one commit give the same bytes.

Where the environment names a certificate (sign.py), the saver, the uninstaller and the setup program
are each signed before they are packed, and SHA256SUMS lists the signed files. A release that cannot be
made whole, signed where asked, leaves none in the output directory.
"""
import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

import sign

ZIP_CONTENTS = ("tessaline.scr", "README.txt")


def source_date(source):
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    commit = subprocess.run(["git", "-C", source, "log", "-1", "--format=%ct"], capture_output=True, text=True)
    if commit.returncode != 0 or not commit.stdout.strip():
        raise SystemExit("make_release: no git history in %s; set SOURCE_DATE_EPOCH to the commit's date" % source)
    return int(commit.stdout)


def stage(arguments, epoch):
    """The saver without its debug information (strip dates the PE header from SOURCE_DATE_EPOCH),
    signed where asked, and the README, both dated to the commit."""
    shutil.rmtree(arguments.staging, ignore_errors=True)
    os.makedirs(arguments.staging)
    saver = os.path.join(arguments.staging, "tessaline.scr")
    subprocess.run([arguments.strip, "-o", saver, arguments.saver], check=True,
                   env=dict(os.environ, SOURCE_DATE_EPOCH=str(epoch)))
    if sign.requested():
        fail_if(sign.sign(saver, "the saver"))
    shutil.copy(arguments.readme, os.path.join(arguments.staging, "README.txt"))
    for name in ZIP_CONTENTS:
        os.utime(os.path.join(arguments.staging, name), (epoch, epoch))
    return saver


def write_zip(path, staging, epoch):
    """Fixed order, dates and attributes: the entries as an MS-DOS zip tool writes them."""
    with zipfile.ZipFile(path, "w") as archive:
        for name in ZIP_CONTENTS:
            entry = zipfile.ZipInfo(name, date_time=time.gmtime(epoch)[:6])
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 0
            entry.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
            with open(os.path.join(staging, name), "rb") as file:
                archive.writestr(entry, file.read(), compresslevel=9)


def write_setup(arguments, path, saver):
    """The script signs the uninstaller and the setup program through sign.py, where asked."""
    signer = ['-DSIGN="%s" "%s"' % (sys.executable, os.path.abspath(sign.__file__))] if sign.requested() else []
    made = subprocess.run([arguments.makensis, "-V2", "-DVERSION=" + arguments.version, "-DSAVER=" + saver,
                           "-DICON=" + arguments.icon, "-DOUTFILE=" + path, *signer, arguments.nsi])
    fail_if("the setup program was not made" if made.returncode != 0 else None)


def fail_if(error):
    if error:
        sys.exit("make_release: " + error)


def write_sums(directory, names):
    with open(os.path.join(directory, "SHA256SUMS"), "w", newline="\n") as sums:
        for name in names:
            with open(os.path.join(directory, name), "rb") as file:
                sums.write("%s  %s\n" % (hashlib.sha256(file.read()).hexdigest(), name))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("version", "saver", "readme", "icon", "nsi", "strip", "makensis", "source", "staging", "out"):
        parser.add_argument("--" + option, required=True)
    arguments = parser.parse_args()
    epoch = source_date(arguments.source)
    archive = "Tessaline-%s.zip" % arguments.version
    setup = "Tessaline-%s-setup.exe" % arguments.version
    names = [archive, setup, "SHA256SUMS"]
    # The last release goes first: a failure below leaves none that could pass for this one.
    for name in names:
        if os.path.exists(os.path.join(arguments.out, name)):
            os.remove(os.path.join(arguments.out, name))
    os.makedirs(arguments.out, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix=".making-", dir=arguments.out) as making:
        saver = stage(arguments, epoch)
        write_zip(os.path.join(making, archive), arguments.staging, epoch)
        write_setup(arguments, os.path.join(making, setup), saver)
        write_sums(making, [archive, setup])
        for name in names:
            os.replace(os.path.join(making, name), os.path.join(arguments.out, name))
    print("Release in %s: %s, %s, SHA256SUMS%s" % (arguments.out, archive, setup, ", signed" if sign.requested() else ""))


if __name__ == "__main__":
    main()
