#!/usr/bin/python3
"""The documents of "ControlPanel.exe /status" as their readers take them:
each is parsed by Python's json module as strict UTF-8 JSON and validated
against the published schema (docs/status.schema.json) by the jsonschema
package, then its values are compared with the installation it describes:
the sample installation, a machine without a player, names outside the ANSI
code page, values with quotes, backslashes and control characters, and parts
that cannot be read. Every run also checks that /status changed nothing.

Run by CTest in the Windows build's prefix (WINEPREFIX, with the Wine of
scripts/wine-env.sh on the PATH):
    status_documents_test.py <Windows build folder>
"""
import hashlib
import json
import os
import shutil
import subprocess
import sys
import unittest

import jsonschema

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = None
with open(os.path.join(ROOT, "docs", "status.schema.json"), encoding="utf-8") as schema_file:
    SCHEMA = json.load(schema_file)
DRIVE_C = os.path.join(os.environ.get("WINEPREFIX", ""), "drive_c")
PROGRAM_FOLDER = os.path.join(DRIVE_C, "status-test")
PROGRAM = "C:\\status-test\\ControlPanel.exe"
PLAYER_KEY = "HKLM\\Software\\Quillframe\\Quillframe3"
PLAYER = "C:\\Program Files\\Quillframe\\Quillframe3"
PLAYER_FOLDER = os.path.join(DRIVE_C, "Program Files", "Quillframe", "Quillframe3")


def wine(*arguments):
    return subprocess.run(["wine", *arguments], stdin=subprocess.DEVNULL, capture_output=True)


def set_player_value(name, text):
    result = wine("reg", "add", PLAYER_KEY, "/reg:32", "/v", name, "/t", "REG_SZ", "/d", text, "/f")
    assert result.returncode == 0, result.stderr


def sample(command):
    """Runs a function of scripts/sample-installation.sh."""
    subprocess.run(["bash", "-c", 'source "$0/scripts/sample-installation.sh" && ' + command, ROOT,
                    os.path.join(BUILD, "fixtures")], check=True, stdin=subprocess.DEVNULL)


def snapshot():
    """What /status must leave as it is: every file of the player's and the
    program's folders with its bytes, and the player's and maker's keys."""
    files = {}
    for top in (os.path.join(DRIVE_C, "Program Files", "Quillframe"), PROGRAM_FOLDER):
        for folder, _, names in os.walk(top):
            for name in names:
                path = os.path.join(folder, name)
                with open(path, "rb") as file:
                    files[path] = hashlib.sha256(file.read()).hexdigest()
    keys = [wine("reg", "query", key, "/s", "/reg:32").stdout
            for key in ("HKLM\\Software\\Quillframe", "HKLM\\Software\\Corvalent")]
    return files, keys


def no_duplicate_keys(pairs):
    keys = [key for key, _ in pairs]
    if len(keys) != len(set(keys)):
        raise ValueError("duplicate key in %r" % keys)
    return dict(pairs)


def refuse_constant(name):
    raise ValueError("not JSON: " + name)


class StatusRuns(unittest.TestCase):
    """Runs of /status on the sample installation, the program copied to
    C:\\status-test."""

    @classmethod
    def setUpClass(cls):
        os.makedirs(PROGRAM_FOLDER, exist_ok=True)
        shutil.copy(os.path.join(BUILD, "ControlPanel.exe"), PROGRAM_FOLDER)
        cls.validator = jsonschema.Draft202012Validator(SCHEMA)
        jsonschema.Draft202012Validator.check_schema(SCHEMA)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(PROGRAM_FOLDER, ignore_errors=True)

    def setUp(self):
        sample("sample_installation_remove")
        sample('sample_installation_make "$1"')

    def tearDown(self):
        sample("sample_installation_remove")

    def status(self):
        """Runs /status; the document as parsed, after checking that it is
        the only output, that the schema accepts it and that nothing changed."""
        before = snapshot()
        result = wine(PROGRAM, "/status")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(snapshot(), before, "/status changed the installation")
        text = result.stdout.decode("utf-8", errors="strict")  # not UTF-8: UnicodeDecodeError
        document = json.loads(text, object_pairs_hook=no_duplicate_keys, parse_constant=refuse_constant)
        errors = ["%s at /%s" % (e.message, "/".join(map(str, e.absolute_path)))
                  for e in self.validator.iter_errors(document)]
        self.assertEqual(errors, [], text)
        return document


class StatusDocuments(StatusRuns):
    def test_the_sample_installation(self):
        document = self.status()
        self.assertEqual(document["schemaVersion"], 1)
        self.assertEqual(document["controlPanelVersion"], "3.0.6.0")
        self.assertEqual(document["player"],
                         {"registered": True, "componentPath": PLAYER, "componentFolderExists": True})
        self.assertEqual(document["application"], {"applicationPath": "C:\\Program Files\\Corvalent\\Media Player",
                                                   "folderExists": True})
        components = [(c["path"][len(PLAYER) + 1:], c["version"]) for c in document["components"]]
        # The window's order: by file name, byte for byte, "Ωmega.dll" by the
        # short name the program reaches it through ("_MEG~DAU.DLL").
        self.assertEqual(components, [
            ("NpQuillframe3.dll", "3.0.1.27"), ("Components\\QFXAudio.dll", "3.0.1.27"),
            ("Components\\QFXCodec.dll", "3.0.1.28"), ("Components\\QFXCore.dll", "1.2.3.4"),
            ("NewComponents\\QFXRender.dll", "255.255.255.255"), ("Plugins\\QFXStream.dll", None),
            ("Components\\\u03a9mega.dll", "1.2.3.4")])
        versions = document["updateVersionList"]
        self.assertEqual(versions["file"], PLAYER + "\\Resources\\UpdateVersionList_v2.txt")
        self.assertEqual([(f["name"], f["version"], f["value"]) for f in versions["fragments"]], [
            ("NpQuillframe3.dll", "3.0.1.27", "50331931"), ("QFXAudio.dll", "3.0.1.27", "50331931"),
            ("QFXCodec.dll", "3.0.1.28", "50331932"), ("QFXCore.dll", "1.2.3.4", "16909060"),
            ("QFXRender.dll", "3.1.0.0", "50397184")])
        self.assertEqual(document["settings"], {"file": PLAYER + "\\QuillframeConfig.ini", "present": True,
                                                "readable": True, "checkForUpdates": "1",
                                                "lastUpdateCheckTime": "0"})
        sites = document["downloadSites"]
        self.assertEqual(sites["sites"], ["https://components.corvalent.com/QuillframeComponents/",
                                          "https://mirror.example.com/QuillframeComponents/"])
        self.assertEqual(sites["defaultSite"], "https://components.corvalent.com/QuillframeComponents/")
        self.assertTrue(sites["includesDefault"])
        self.assertEqual(document["beta"], {"additionalDownloadUrl": None})
        resources = os.path.join(PLAYER_FOLDER, "Resources")
        sizes = [os.path.getsize(os.path.join(f, n)) for f, _, names in os.walk(resources) for n in names]
        self.assertEqual(document["resources"], {"folder": PLAYER + "\\Resources", "exists": True,
                                                 "fileCount": len(sizes), "sizeBytes": sum(sizes)})

    def test_a_machine_without_a_player(self):
        sample("sample_installation_remove")
        document = self.status()
        self.assertEqual(document["player"],
                         {"registered": False, "componentPath": None, "componentFolderExists": False})
        self.assertEqual(document["application"], {"applicationPath": None, "folderExists": False})
        self.assertEqual(document["components"], [])
        self.assertIsNone(document["updateVersionList"])
        self.assertEqual(document["settings"], {"file": None, "present": False, "readable": False,
                                                "checkForUpdates": None, "lastUpdateCheckTime": None})
        self.assertEqual(document["downloadSites"]["sites"], [])
        self.assertFalse(document["downloadSites"]["includesDefault"])
        self.assertEqual(document["resources"], {"folder": None, "exists": False, "fileCount": 0, "sizeBytes": 0})

    def test_a_player_key_whose_folder_is_gone(self):
        shutil.rmtree(PLAYER_FOLDER)
        document = self.status()
        self.assertEqual(document["player"],
                         {"registered": True, "componentPath": PLAYER, "componentFolderExists": False})
        self.assertEqual(document["components"], [])

    def test_names_outside_the_ansi_code_page(self):
        # "é" is in the code page, "Ω" and "日本" are not: the registry value is
        # read as stored; files the program lists by their ANSI names keep the
        # characters the code page holds.
        set_player_value("Additional Download URL", "https://bêta.example/Ωmega/日本/")
        shutil.copy(os.path.join(BUILD, "fixtures", "VersionPlain.dll"),
                    os.path.join(PLAYER_FOLDER, "Components", "QFXcafé.dll"))
        for name in ("Ωmega.bin", "日本.bin"):
            with open(os.path.join(PLAYER_FOLDER, "Resources", name), "wb") as cache:
                cache.write(b"12345")
        document = self.status()
        self.assertEqual(document["beta"]["additionalDownloadUrl"], "https://bêta.example/Ωmega/日本/")
        self.assertIn({"path": PLAYER + "\\Components\\QFXcafé.dll", "version": "1.2.3.4"}, document["components"])
        resources = os.path.join(PLAYER_FOLDER, "Resources")
        sizes = [os.path.getsize(os.path.join(f, n)) for f, _, names in os.walk(resources) for n in names]
        self.assertEqual((document["resources"]["fileCount"], document["resources"]["sizeBytes"]),
                         (len(sizes), sum(sizes)))

    def test_quotes_backslashes_and_control_characters(self):
        awkward = 'a"b\\c\td\x01e\x1ff\nz'
        set_player_value("Additional Download URL", awkward)
        with open(os.path.join(PLAYER_FOLDER, "QuillframeConfig.ini"), "wb") as options:
            options.write(b'[ComponentMgrOptions]\r\nCheckForUpdates = "1"\\\x02\t\r\nLastUpdateCheckTime = \x7f\xe9\r\n')
        with open(os.path.join(PLAYER_FOLDER, "QFXDownloadSites.txt"), "wb") as sites:
            sites.write(b'[Download Sites]\r\nsite = http://q"uote\\back\x0bslash/\r\n')
        document = self.status()
        self.assertEqual(document["beta"]["additionalDownloadUrl"], awkward)
        # As the reader returns it: blanks around the value go, tabs stay.
        self.assertEqual(document["settings"]["checkForUpdates"], '"1"\\\x02\t')
        self.assertEqual(document["settings"]["lastUpdateCheckTime"], "\x7fé")
        self.assertEqual(document["downloadSites"]["sites"], ['http://q"uote\\back\x0bslash/'])
        self.assertFalse(document["downloadSites"]["includesDefault"])

    def test_parts_that_cannot_be_read_say_so(self):
        # Files saved as UTF-16 are not profile files the player reads.
        utf16 = "\ufeff[Download Sites]\r\nsite = x\r\n".encode("utf-16-le")
        with open(os.path.join(PLAYER_FOLDER, "QFXDownloadSites.txt"), "wb") as sites:
            sites.write(utf16)
        with open(os.path.join(PLAYER_FOLDER, "Resources", "UpdateVersionList_v2.txt"), "wb") as versions:
            versions.write(utf16)
        with open(os.path.join(PLAYER_FOLDER, "QuillframeConfig.ini"), "wb") as options:
            options.write(utf16)
        document = self.status()
        self.assertIn("error", document["downloadSites"])
        self.assertNotIn("sites", document["downloadSites"])
        self.assertIn("error", document["updateVersionList"])
        self.assertEqual(document["settings"]["present"], True)
        self.assertEqual(document["settings"]["readable"], False)
        self.assertEqual(len(document["components"]), 7, "the other parts are still there")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        print("usage: status_documents_test.py <Windows build folder>", file=sys.stderr)
        sys.exit(2)
    BUILD = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
