"""The shipped saver and its setup program load on Windows 98 and NT 4.0: their import tables name only
functions from the lists in saver_imports.txt and installer_imports.txt, and their PE headers ask for
nothing newer than Windows 4.0.

Needs TESSALINE_SCR, the i686 tessaline.scr, and TESSALINE_SETUP, the setup program of the release.
"""
import os
import re
import struct
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
# Each program with the list of what it may import.
PROGRAMS = [(os.environ.get("TESSALINE_SCR", ""), os.path.join(HERE, "saver_imports.txt")),
            (os.environ.get("TESSALINE_SETUP", ""), os.path.join(HERE, "installer_imports.txt"))]
I386 = 0x14C
PE32 = 0x10B
WINDOWS_GUI = 2
IMPORT_DIRECTORY = 1


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as file:
            self.data = file.read()
        self.header = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[self.header:self.header + 4] != b"PE\0\0":
            raise ValueError(path + " is no PE file")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", self.data, self.header + 4)
        self.optional = self.header + 24
        self.magic = struct.unpack_from("<H", self.data, self.optional)[0]
        table = self.optional + optional_size
        self.sections = [struct.unpack_from("<8sIIII", self.data, table + 40 * i) for i in range(sections)]

    def optional_field(self, offset, form):
        return struct.unpack_from(form, self.data, self.optional + offset)[0]

    def offset_of(self, rva):
        for _, virtual_size, address, raw_size, raw_offset in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        raise ValueError("address %#x is in no section" % rva)

    def text_at(self, rva):
        start = self.offset_of(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """{DLL name: [function names, or "#<ordinal>" for imports by ordinal]}"""
        directory = struct.unpack_from("<I", self.data, self.optional + 96 + 8 * IMPORT_DIRECTORY)[0]
        found, entry = {}, self.offset_of(directory)
        while True:
            lookup, _, _, name, first_thunk = struct.unpack_from("<IIIII", self.data, entry)
            if name == 0:
                return found
            functions, thunk = [], self.offset_of(lookup or first_thunk)
            while True:
                value = struct.unpack_from("<I", self.data, thunk)[0]
                if value == 0:
                    break
                functions.append("#%d" % (value & 0xFFFF) if value & 0x80000000 else self.text_at(value + 2))
                thunk += 4
            found[self.text_at(name)] = functions
            entry += 20


def allowed_imports(path):
    """{DLL name in upper case: set of function names} from a list such as saver_imports.txt."""
    allowed, dll = {}, None
    with open(path) as listing:
        for line in listing:
            line = line.split("#", 1)[0].strip()
            section = re.fullmatch(r"\[(.+)\]", line)
            if section:
                dll = section.group(1).upper()
                allowed[dll] = set()
            elif line:
                allowed[dll].add(line)
    return allowed


class ImportTable(unittest.TestCase):
    def test_each_is_a_32_bit_program_for_windows_4(self):
        for path, _ in PROGRAMS:
            with self.subTest(program=path):
                program = PeFile(path)
                self.assertEqual(program.machine, I386)
                self.assertEqual(program.magic, PE32)
                self.assertEqual(program.optional_field(68, "<H"), WINDOWS_GUI)
                self.assertEqual((program.optional_field(40, "<H"), program.optional_field(42, "<H")), (4, 0),
                                 "operating system version")
                self.assertEqual((program.optional_field(48, "<H"), program.optional_field(50, "<H")), (4, 0),
                                 "subsystem version")

    def test_every_import_is_on_the_list(self):
        for path, listing in PROGRAMS:
            allowed = allowed_imports(listing)
            for dll, functions in sorted(PeFile(path).imports().items()):
                with self.subTest(program=path, dll=dll):
                    self.assertIn(dll.upper(), allowed, "a DLL that is not on the list")
                    unknown = sorted(set(functions) - allowed[dll.upper()])
                    self.assertEqual(unknown, [], "imports from %s that are not on the list" % dll)


if __name__ == "__main__":
    unittest.main()
