#!/usr/bin/python3
"""The version resources of both programs of a Windows build, read with a PE
parser (Debian's python3-pefile): what Windows shows as the file's details
and what publisher rules key on (AppLocker's publisher condition: the
product name, the original file name, the file version; App Control's
FilePublisher level: the original file name and the file version). Every
field holds the product's names and the project's version, in the string
table of the first translation (where the program's own version reader
looks), in the fixed file information and in the manifest.

    version_resources_test.py <Windows build folder> <version, a.b.c.d>
"""
import os
import re
import sys
import unittest

import pefile

BUILD = None
VERSION = None
RT_MANIFEST = 24

# What each program's details show besides the names they share.
PROGRAMS = {
    "ControlPanel.exe": {"FileDescription": "Corvalent Control Panel"},
    "ControlPanel.com": {"FileDescription": "Corvalent Control Panel (console)"},
}
SHARED = {
    "CompanyName": "Corvalent",
    "ProductName": "Corvalent Control Panel",
    "InternalName": "ControlPanel",
    "LegalCopyright": "Copyright (C) Corvalent",
}


def read_resources(path):
    program = pefile.PE(path, fast_load=True)
    program.parse_data_directories(
        directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    return program


def string_tables(program):
    """Each string table of the resource as (key, {name: text})."""
    tables = []
    for info in program.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                tables.append((table.LangID.decode().upper(),
                               {name.decode(): text.decode() for name, text in table.entries.items()}))
    return tables


def first_translation(program):
    """The first language and code page of the translation table, as the
    eight hexadecimal digits of a string table's key."""
    for info in program.FileInfo[0]:
        if info.Key == b"VarFileInfo":
            for var in info.Var:
                translation = var.entry.get(b"Translation")
                if translation:
                    # "0x0409 0x04b0": the language and code page of each translation
                    language, code_page = translation.split()[:2]
                    return ("%04X%04X" % (int(language, 16), int(code_page, 16)))
    return None


def manifest_of(program):
    for kind in program.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id == RT_MANIFEST:
            data = kind.directory.entries[0].directory.entries[0].data.struct
            return program.get_data(data.OffsetToData, data.Size).decode("utf-8")
    return None


class VersionResources(unittest.TestCase):
    def test_each_program_carries_the_names_and_the_version(self):
        numbers = [int(part) for part in VERSION.split(".")]
        comma_form = ", ".join(str(number) for number in numbers)
        for name, own in PROGRAMS.items():
            with self.subTest(name):
                program = read_resources(os.path.join(BUILD, name))
                tables = string_tables(program)
                self.assertEqual(len(tables), 1, name + ": one string table")
                key, fields = tables[0]
                self.assertEqual(key, first_translation(program), name + ": the table of the first translation")
                expected = dict(SHARED, **own)
                expected.update({"OriginalFilename": name, "FileVersion": comma_form, "ProductVersion": comma_form})
                self.assertEqual(fields, expected, name)

                fixed = program.VS_FIXEDFILEINFO[0]
                most, least = (numbers[0] << 16) | numbers[1], (numbers[2] << 16) | numbers[3]
                self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS), (most, least), name + ": file version")
                self.assertEqual((fixed.ProductVersionMS, fixed.ProductVersionLS), (most, least),
                                 name + ": product version")

                manifest = manifest_of(program)
                self.assertIsNotNone(manifest, name + ": no manifest")
                identity = re.search(r'<assemblyIdentity type="win32" name="[^"]+" version="([^"]+)"', manifest)
                self.assertIsNotNone(identity, name + ": no assembly identity in the manifest")
                self.assertEqual(identity.group(1), VERSION, name + ": the manifest's version")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        print("usage: version_resources_test.py <Windows build folder> <version>", file=sys.stderr)
        sys.exit(2)
    BUILD = os.path.abspath(sys.argv.pop(1))
    VERSION = sys.argv.pop(1)
    unittest.main(verbosity=2)
