#!/usr/bin/python3
"""The release archive as an administrator unpacks it: scripts/release-archive.py
run on the programs of a Windows build. The archive holds exactly the
program, its console companion, the README, docs/ (pages, pictures, the
status schema) and the notices; every link of the README, and of the pages
it links to, leads to a file of the unpacked archive (and to a heading of
it, for a link with "#"); the programs are the build's bytes; the sum file
matches; and two packings give the same bytes.

    release_archive_test.py <Windows build folder>
"""
import hashlib
import os
import re
import subprocess
import sys
import tempfile
import unittest
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = None
VERSION = "3.0.6.0"
FOLDER = "ControlPanel-%s/" % VERSION
# Markdown links and pictures: [text](target) and ![text](target).
LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)\)")
HEADING = re.compile(r"^#+\s+(.*)$", re.MULTILINE)


def anchor_of(heading):
    """The anchor a heading gets where Markdown is shown (GitHub's rule):
    lower case, blanks to "-", everything but letters, digits, "-" and "_" out."""
    return re.sub(r"[^\w\- ]", "", heading.strip().lower()).replace(" ", "-")


def pack(output):
    environment = dict(os.environ, SOURCE_DATE_EPOCH="1796000000")
    subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "release-archive.py"),
                    os.path.join(BUILD, "ControlPanel.exe"), ROOT, output],
                   check=True, env=environment, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
    return os.path.join(output, "ControlPanel-%s.zip" % VERSION)


class ReleaseArchive(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        cls.archive = pack(os.path.join(cls.work.name, "first"))
        cls.unpacked = os.path.join(cls.work.name, "unpacked")
        with zipfile.ZipFile(cls.archive) as archive:
            cls.names = archive.namelist()
            archive.extractall(cls.unpacked)
        cls.top = os.path.join(cls.unpacked, FOLDER)

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def test_the_listing(self):
        documents = sorted("docs/" + name for name in os.listdir(os.path.join(ROOT, "docs"))
                           if name.endswith((".md", ".png", ".json")))
        self.assertIn("docs/status.schema.json", documents)
        self.assertIn("docs/main-window.png", documents)
        expected = (["ControlPanel.exe", "ControlPanel.com", "README.md"] + documents +
                    ["NOTICES.txt", "licenses/gcc-runtime.txt", "licenses/mingw-w64-runtime.txt",
                     "licenses/GPL-3.txt"])
        self.assertEqual(self.names, [FOLDER + name for name in expected])

    def test_the_programs_are_the_builds(self):
        for program in ("ControlPanel.exe", "ControlPanel.com"):
            with open(os.path.join(BUILD, program), "rb") as built, open(os.path.join(self.top, program), "rb") as shipped:
                self.assertEqual(built.read(), shipped.read(), program)

    def test_every_link_resolves_inside_the_archive(self):
        pages = ["README.md"]
        checked = set()
        links = 0
        while pages:
            page = pages.pop()
            if page in checked:
                continue
            checked.add(page)
            with open(os.path.join(self.top, page), encoding="utf-8") as text:
                content = text.read()
            for target in LINK.findall(content):
                if re.match(r"^[a-z]+:", target):
                    continue  # a web address
                links += 1
                path, _, anchor = target.partition("#")
                resolved = os.path.normpath(os.path.join(os.path.dirname(page), path)) if path else page
                where = "%s links to %s" % (page, target)
                self.assertFalse(resolved.startswith(".."), where + ": outside the archive")
                self.assertTrue(os.path.isfile(os.path.join(self.top, resolved)), where + ": not in the archive")
                if resolved.endswith(".md"):
                    pages.append(resolved)
                if anchor:
                    with open(os.path.join(self.top, resolved), encoding="utf-8") as linked:
                        anchors = [anchor_of(heading) for heading in HEADING.findall(linked.read())]
                    self.assertIn(anchor, anchors, where + ": no such heading")
        self.assertGreater(links, 10, "the README's links were not found")
        self.assertIn("docs/windows.md", checked)

    def test_the_sum_matches(self):
        with open(self.archive, "rb") as archive:
            digest = hashlib.sha256(archive.read()).hexdigest()
        with open(self.archive + ".sha256", encoding="ascii") as sums:
            self.assertEqual(sums.read(), "%s  %s\n" % (digest, os.path.basename(self.archive)))

    def test_two_packings_give_the_same_bytes(self):
        again = pack(os.path.join(self.work.name, "second"))
        with open(self.archive, "rb") as first, open(again, "rb") as second:
            self.assertEqual(first.read(), second.read())


if __name__ == "__main__":
    if len(sys.argv) < 2:
        print("usage: release_archive_test.py <Windows build folder>", file=sys.stderr)
        sys.exit(2)
    BUILD = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
