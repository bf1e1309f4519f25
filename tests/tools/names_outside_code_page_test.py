#!/usr/bin/python3
"""Names the ANSI code page cannot hold, as a user meets them: component
libraries named "Ωmega.dll", "中文.dll" and "Ж.dll", the player installed in
"C:\\Player\\Ωmega中", and the program started from "C:\\Ωtools". The real
ControlPanel.exe runs under Wine on the sample installation; /status is
parsed and validated against the schema, and every option is judged by what
it did to the files, the registry and the log. One run uses a Cyrillic code
page, which holds "Ж" but not "Ω".

Run by CTest in the Windows build's prefix (WINEPREFIX, with the Wine of
scripts/wine-env.sh on the PATH):
    names_outside_code_page_test.py <Windows build folder>
"""
import os
import shutil
import subprocess
import sys
import time
import unittest

import status_documents_test as documents

DRIVE_C = documents.DRIVE_C
PLAYER = documents.PLAYER
PLAYER_FOLDER = documents.PLAYER_FOLDER
MOVED = "C:\\Player\\Ωmega中"
MOVED_FOLDER = os.path.join(DRIVE_C, "Player", "Ωmega中")
TOOLS_FOLDER = os.path.join(DRIVE_C, "Ωtools")
# Each library beside a decoy with the name the code page would make of it.
LIBRARIES = [("Ωmega.dll", ""), ("中文.dll", "Components"), ("Ж.dll", "Plugins")]


def unix_path(windows_path):
    assert windows_path.startswith("C:\\"), windows_path
    return os.path.join(DRIVE_C, *windows_path[3:].split("\\"))


def run(program, *arguments, env=None):
    result = subprocess.run(["wine", program, *arguments], stdin=subprocess.DEVNULL, capture_output=True,
                            env=env)
    return result.stdout.decode("utf-8", errors="replace").strip()


def cyrillic_environment():
    """The environment of a Wine run with code page 1251 (ru_RU.UTF-8,
    compiled into the build folder); none when the locale cannot be made."""
    locales = os.path.join(documents.BUILD, "locale")
    if not os.path.isdir(os.path.join(locales, "ru_RU.UTF-8")):
        os.makedirs(locales, exist_ok=True)
        made = subprocess.run(["localedef", "-i", "ru_RU", "-f", "UTF-8", os.path.join(locales, "ru_RU.UTF-8")],
                              stdin=subprocess.DEVNULL, capture_output=True)
        if made.returncode != 0:
            return None
    return dict(os.environ, LOCPATH=locales, LC_ALL="ru_RU.UTF-8")


class NamesOutsideTheCodePage(documents.StatusRuns):
    def tearDown(self):
        super().tearDown()
        shutil.rmtree(os.path.join(DRIVE_C, "Player"), ignore_errors=True)
        shutil.rmtree(TOOLS_FOLDER, ignore_errors=True)
        shutil.rmtree(os.path.join(DRIVE_C, "\u03a9app"), ignore_errors=True)

    def add_libraries(self, folder):
        for name, subfolder in LIBRARIES:
            shutil.copy(os.path.join(documents.BUILD, "fixtures", "VersionPlain.dll"),
                        os.path.join(folder, subfolder, name))
        # What the ANSI listing made of "Ωmega.dll": another file.
        shutil.copy(os.path.join(documents.BUILD, "fixtures", "VersionNext.dll"), os.path.join(folder, "Omega.dll"))

    def assert_components_as_stored(self, document, folder):
        components = {c["path"]: c for c in document["components"]}
        for path in components:
            self.assertTrue(os.path.isfile(unix_path(path)), "no such file: " + path)
        for name, subfolder in LIBRARIES:
            path = "\\".join(part for part in (folder, subfolder, name) if part)
            self.assertIn(path, components)
            self.assertEqual(components[path]["version"], "1.2.3.4", path)
            short = components[path]["shortPath"]
            self.assertTrue(short.isascii() and short.upper().endswith(".DLL"), short)
        decoy = components[folder + "\\Omega.dll"]
        self.assertEqual(decoy["version"], "3.0.1.28")
        # Its own name; a short form only for a folder on the way.
        self.assertTrue(decoy.get("shortPath", "\\Omega.dll").endswith("\\Omega.dll"), decoy)
        self.assertNotIn("componentsLeftOut", document)

    def test_names_of_libraries_in_every_scanned_folder(self):
        self.add_libraries(PLAYER_FOLDER)
        document = self.status()
        self.assert_components_as_stored(document, PLAYER)
        self.assertEqual(len(document["components"]), 6 + 4)

    def test_names_of_the_component_folder(self):
        os.makedirs(os.path.dirname(MOVED_FOLDER))
        shutil.move(PLAYER_FOLDER, MOVED_FOLDER)
        documents.set_player_value("Component Path", MOVED)
        self.add_libraries(MOVED_FOLDER)
        document = self.status()
        player = document["player"]
        self.assertEqual((player["componentPath"], player["componentFolderExists"]), (MOVED, True))
        short = player["componentShortPath"]
        self.assertTrue(short.isascii() and short.startswith("C:\\Player\\"), short)
        self.assert_components_as_stored(document, MOVED)
        self.assertEqual(document["settings"]["file"], MOVED + "\\QuillframeConfig.ini")
        self.assertEqual(document["resources"]["folder"], MOVED + "\\Resources")
        self.assertTrue(document["resources"]["exists"])

        # "-ip" prints the short form, and it opens the folder.
        self.assertEqual(run(documents.PROGRAM, "-ip"), '"%s"' % short)
        listing = subprocess.run(["wine", "cmd", "/c", "dir", "/b", short], stdin=subprocess.DEVNULL,
                                 capture_output=True).stdout.decode("utf-8", errors="replace")
        self.assertIn("QuillframeConfig.ini", listing)

        options = os.path.join(MOVED_FOLDER, "QuillframeConfig.ini")
        run(documents.PROGRAM, "-cu")
        with open(options, "rb") as file:
            self.assertIn(b"CheckForUpdates = 0", file.read())
        self.assertNotEqual(run(documents.PROGRAM, "-cu+"), "1")
        with open(options, "rb") as file:
            self.assertIn(b"CheckForUpdates = 1", file.read())

        self.assertEqual(run(documents.PROGRAM, "-dr"), "1")
        self.assertFalse(os.path.exists(os.path.join(MOVED_FOLDER, "Resources")))

        log = os.path.join(documents.PROGRAM_FOLDER, "uninstall.log")
        code = run(documents.PROGRAM, "/quiet", "/log", "C:\\status-test\\uninstall.log", "-u")
        self.assertIn(code.splitlines()[-1], ("0", "-1", "-2", "-3"))
        self.assertFalse(os.path.exists(MOVED_FOLDER), "the component folder is still there")
        with open(log, encoding="utf-8") as file:
            self.assertIn('removed folder "%s"' % MOVED, file.read())

    def test_names_of_both_folders_in_every_other_option(self):
        os.makedirs(os.path.dirname(MOVED_FOLDER))
        shutil.move(PLAYER_FOLDER, MOVED_FOLDER)
        documents.set_player_value("Component Path", MOVED)
        application = os.path.join(DRIVE_C, "\u03a9app")
        os.makedirs(application)
        shutil.copy(os.path.join(documents.BUILD, "fixtures", "QLXFullInstall.exe"), application)
        result = documents.wine("reg", "add", "HKLM\\Software\\Corvalent", "/reg:32", "/v", "Application Path",
                                "/t", "REG_SZ", "/d", "C:\\\u03a9app", "/f")
        self.assertEqual(result.returncode, 0, result.stderr)

        sites = os.path.join(MOVED_FOLDER, "QFXDownloadSites.txt")
        log = ("/log", "C:\\status-test\\options.log")
        self.assertEqual(run(documents.PROGRAM, *log, "-ds+", "https://new.example/"), "0")
        with open(sites, "rb") as file:
            self.assertIn(b"https://new.example/", file.read())
        self.assertEqual(run(documents.PROGRAM, "-ds", "https://new.example/"), "0")
        with open(sites, "rb") as file:
            self.assertNotIn(b"https://new.example/", file.read())
        run(documents.PROGRAM, *log, "-lu", "1234")
        with open(os.path.join(MOVED_FOLDER, "QuillframeConfig.ini"), "rb") as file:
            self.assertIn(b"LastUpdateCheckTime = 1234", file.read())
        with open(os.path.join(documents.PROGRAM_FOLDER, "list.txt"), "wb") as versions:
            versions.write(b"[DLL_Versions]\r\nDLL = QFXCore\r\nVersion = 1.2.3.4\r\n")
        self.assertEqual(run(documents.PROGRAM, "-v", "C:\\status-test\\list.txt"), "0")
        self.assertEqual(run(documents.PROGRAM, *log, "-dsd"), "0")
        self.assertFalse(os.path.exists(sites))

        # The recovery: the uninstall, then the installer from its folder.
        self.assertEqual(run(documents.PROGRAM, "/quiet", *log, "-rcvr"), "1")
        self.assertFalse(os.path.exists(MOVED_FOLDER), "the component folder is still there")
        started = os.path.join(application, "QLXFullInstall.log")
        for _ in range(100):
            if os.path.exists(started):
                break
            time.sleep(0.1)
        self.assertTrue(os.path.exists(started), "the installer did not start")

        # The log names every file and folder by its true name.
        with open(os.path.join(documents.PROGRAM_FOLDER, "options.log"), encoding="utf-8") as file:
            logged = file.read()
        for event in ('added site "https://new.example/" to "%s\\QFXDownloadSites.txt"' % MOVED,
                      'settings "%s\\QuillframeConfig.ini" [ComponentMgrOptions] LastUpdateCheckTime' % MOVED,
                      'removed file "%s\\QFXDownloadSites.txt"' % MOVED,
                      'started the installer "C:\\\u03a9app\\QLXFullInstall.exe"'):
            self.assertIn(event, logged)

    def test_names_in_a_list_with_the_utf8_byte_order_mark(self):
        with open(os.path.join(PLAYER_FOLDER, "Resources", "UpdateVersionList_v2.txt"), "wb") as versions:
            versions.write(b"\xef\xbb\xbf" + "[a]\r\nFragmentFileName = Ωmega.dll\r\nFragmentVersion_Win = 1\r\n"
                           "[b]\r\nFragmentFileName = café.dll\r\nFragmentVersion_Win = 2\r\n".encode("utf-8"))
        document = self.status()
        self.assertEqual([f["name"] for f in document["updateVersionList"]["fragments"]], ["café.dll", "Ωmega.dll"])

    def test_names_of_the_program_folder(self):
        os.makedirs(TOOLS_FOLDER)
        shutil.copy(os.path.join(documents.BUILD, "ControlPanel.exe"), TOOLS_FOLDER)
        result = subprocess.run(["wine", "C:\\Ωtools\\ControlPanel.exe", "/status"], stdin=subprocess.DEVNULL,
                                capture_output=True)
        document = documents.json.loads(result.stdout.decode("utf-8"))
        self.assertEqual(document["controlPanelVersion"], "3.0.6.0")

    def test_names_in_a_cyrillic_code_page(self):
        environment = cyrillic_environment()
        if environment is None:
            self.skipTest("no ru_RU.UTF-8 locale can be made here (localedef)")
        self.add_libraries(PLAYER_FOLDER)
        result = subprocess.run(["wine", documents.PROGRAM, "/status"], stdin=subprocess.DEVNULL,
                                capture_output=True, env=environment)
        document = documents.json.loads(result.stdout.decode("utf-8"))
        self.assertEqual([e.message for e in self.validator.iter_errors(document)], [])
        components = {c["path"]: c for c in document["components"]}
        # Code page 1251 holds "Ж": the file is listed by its own name, as
        # any name was before; "Ω" and "中文" it does not hold.
        cyrillic = PLAYER + "\\Plugins\\Ж.dll"
        self.assertEqual(components[cyrillic], {"path": cyrillic, "version": "1.2.3.4"})
        self.assertIn("shortPath", components[PLAYER + "\\Ωmega.dll"])
        self.assertIn("shortPath", components[PLAYER + "\\Components\\中文.dll"])


if __name__ == "__main__":
    if len(sys.argv) < 2:
        print("usage: names_outside_code_page_test.py <Windows build folder>", file=sys.stderr)
        sys.exit(2)
    documents.BUILD = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
