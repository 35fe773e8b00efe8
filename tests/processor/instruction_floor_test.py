"""The shipped saver runs on a 486DX, Windows 98's and NT 4.0's own minimum: no code section of
tessaline.scr, as built and as the zip holds it, has an instruction that a 486DX lacks. The setup
program, made from Debian's NSIS stubs, needs a Pentium Pro, and nothing newer.

Needs TESSALINE_SCR (the i686 tessaline.scr, with its symbols), TESSALINE_RELEASE and TESSALINE_VERSION
(the release directory and version), and TESSALINE_OBJDUMP (the i686 objdump).
"""
import bisect
import os
import re
import subprocess
import tempfile
import unittest
import zipfile

SCR = os.environ.get("TESSALINE_SCR", "")
RELEASE = os.environ.get("TESSALINE_RELEASE", "")
VERSION = os.environ.get("TESSALINE_VERSION", "")
OBJDUMP = os.environ.get("TESSALINE_OBJDUMP", "i686-w64-mingw32-objdump")
NM = re.sub(r"objdump$", "nm", OBJDUMP)

# What the Pentium Pro brought: conditional moves, and compares that set the flags from the x87.
PENTIUM_PRO = re.compile(r"^(cmov[a-z]+|fcmov[a-z]+|fcomip?|fucomip?)$")
# What the Pentium (or a later processor) brought, beside the Pentium Pro's.
NEWER = re.compile(r"^(cpuid|rdtscp?|rdpmc|rdmsr|wrmsr|rsm|cmpxchg(8|16)b|sysenter|sysexit|syscall|sysret|"
                   r"emms|femms|fxsave|fxrstor|ldmxcsr|stmxcsr|prefetch[a-z0-9]*|[lms]fence|clflush|movnti|"
                   r"ud1|xgetbv|vzero[a-z]+)$")
# Any operand in an MMX, SSE or AVX register.
VECTOR_REGISTER = re.compile(r"%(mm[0-7]|[xyz]mm[0-9]+|k[0-7])\b")
INSTRUCTION = re.compile(r"^\s*([0-9a-f]+):\t([0-9a-f ]+)\t(\S+)\s*(.*)$")


def disassembly(path):
    """(address, raw bytes, mnemonic, operands) of every instruction in every code section."""
    listing = subprocess.run([OBJDUMP, "-d", "-w", path], capture_output=True, text=True, check=True).stdout
    for line in listing.splitlines():
        found = INSTRUCTION.match(line)
        if found:
            address, raw, mnemonic, operands = found.groups()
            yield int(address, 16), raw.split(), mnemonic, operands


def beyond_the_486(mnemonic, raw, operands):
    """The processor an instruction needs where a 486DX lacks it, or None."""
    if PENTIUM_PRO.match(mnemonic):
        return "Pentium Pro"
    if mnemonic.startswith("nop") and operands or raw[:2] == ["0f", "1f"] or raw[1:3] == ["0f", "1f"]:
        return "Pentium Pro"  # the multi-byte NOP, 0F 1F
    if NEWER.match(mnemonic) or VECTOR_REGISTER.search(operands):
        return "Pentium or later"
    return None


class Functions:
    """Names the function around an address, from the symbols of the saver as built (the release's
    copy is stripped, but its code lies at the same addresses)."""

    def __init__(self, path):
        listing = subprocess.run([NM, "-n", "-C", "--defined-only", path], capture_output=True, text=True,
                                 check=True).stdout
        symbols = [(int(address, 16), name) for address, kind, name in
                   (line.split(None, 2) for line in listing.splitlines() if line.count(" ") >= 2)
                   if kind in "Tt"]
        self.addresses = [address for address, _ in symbols]
        self.names = [name for _, name in symbols]

    def around(self, address):
        index = bisect.bisect_right(self.addresses, address) - 1
        if index < 0:
            return "0x%x" % address
        return "%s+0x%x" % (self.names[index], address - self.addresses[index])


def findings(path, functions=None):
    """[(processor, place, instruction)] of every instruction in the file that a 486DX lacks."""
    found = []
    for address, raw, mnemonic, operands in disassembly(path):
        needs = beyond_the_486(mnemonic, raw, operands)
        if needs:
            place = "%s at 0x%x" % (functions.around(address), address) if functions else "0x%x" % address
            found.append((needs, place, ("%s %s" % (mnemonic, operands)).strip()))
    return found


def report(found):
    return "\n".join("%s: %s (%s)" % (place, instruction, needs) for needs, place, instruction in found)


class InstructionFloor(unittest.TestCase):
    def test_the_saver_needs_nothing_that_a_486dx_lacks(self):
        functions = Functions(SCR)
        with tempfile.TemporaryDirectory() as unpacked:
            with zipfile.ZipFile(os.path.join(RELEASE, "Tessaline-%s.zip" % VERSION)) as archive:
                zipped = archive.extract("tessaline.scr", unpacked)
            for name, path in (("tessaline.scr", SCR), ("the zip's tessaline.scr", zipped)):
                with self.subTest(program=name):
                    found = findings(path, functions)
                    if found:
                        self.fail("%d instructions that a 486DX lacks in %s:\n%s" % (len(found), name, report(found)))

    def test_the_setup_program_needs_a_pentium_pro_and_nothing_newer(self):
        """Debian's NSIS stubs, from which the setup program and its uninstaller are made, are built for
        the Pentium Pro. Should they ever need less or more, README.md and README.txt must say so."""
        found = findings(os.path.join(RELEASE, "Tessaline-%s-setup.exe" % VERSION))
        needs = {processor for processor, _, _ in found}
        self.assertEqual(needs, {"Pentium Pro"}, "the setup program's floor changed:\n" + report(found))


if __name__ == "__main__":
    unittest.main()
