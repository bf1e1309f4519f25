#!/usr/bin/python3
"""ControlPanel typed at a cmd prompt, as an administrator types it: without
its extension, so that cmd finds the console companion ControlPanel.com
before ControlPanel.exe. An interactive cmd is fed one line at a time, each
after the prompt came back: first a line that leaves another exit code (a
batch file's "exit /b N", LEAVE_CODE below), then the program's line, then
"echo %ERRORLEVEL%". The shell must wait, show what the program prints and
hold its full signed exit code; running the program's line from a batch
file would prove nothing (cmd waits there even for a window program).

cmd runs twice: with pipes for its standard handles, and on a real console
(a pseudo-terminal, which Wine turns into a console), where the companion
relays what the program prints.

Run by CTest in the Windows build's prefix (WINEPREFIX, with the Wine of
scripts/wine-env.sh on the PATH):
    console_companion_test.py <Windows build folder>
"""
import fcntl
import json
import os
import pty
import re
import select
import shutil
import struct
import subprocess
import sys
import termios
import tty
import unittest

import jsonschema

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = None
with open(os.path.join(ROOT, "docs", "status.schema.json"), encoding="utf-8") as schema_file:
    SCHEMA = json.load(schema_file)
DRIVE_C = os.path.join(os.environ.get("WINEPREFIX", ""), "drive_c")
FOLDER = os.path.join(DRIVE_C, "companion-test")
# The exit code a line leaves before the program's, from a batch file of one
# line that cmd runs itself, named by its full path: nothing to search for
# and no program to start. Wine's cmd reports "Can't recognize '...' as an
# internal or external command" both when a search of the folders of PATH
# finds nothing and when it cannot start the program it found, as it may not
# on a loaded machine; a line such as "cmd /c exit N" then failed now and
# then, with nothing wrong in the program under test.
LEAVE_CODE = "C:\\companion-test\\leave-code.cmd"
PLAYER = "C:\\Program Files\\Quillframe\\Quillframe3"
PROMPT = re.compile(rb"(?:^|\n)[A-Z]:\\[^\r\n>]*>$")
# What a console adds around the text on a terminal: colours, cursor moves,
# the title.
TERMINAL_CONTROLS = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]|\x1b\][^\x07]*\x07")
# Wide enough that no line of the program is wrapped by the console.
TERMINAL_COLUMNS = 400
# A line that has not come back by then has hung (the program waits for
# nobody); not a measure of speed.
LINE_LIMIT_SECONDS = 120


def sample(command):
    """Runs a function of scripts/sample-installation.sh."""
    subprocess.run(["bash", "-c", 'source "$0/scripts/sample-installation.sh" && ' + command, ROOT,
                    os.path.join(BUILD, "fixtures")], check=True, stdin=subprocess.DEVNULL)


class CmdSession:
    """An interactive "wine cmd" in FOLDER, fed one line at a time."""

    def __init__(self, console):
        self.console = console
        if console:
            self.pid, self.terminal = pty.fork()
            if self.pid == 0:
                # Keys reach the console as typed (Enter as a carriage
                # return), as Wine's console sets its terminal once it runs.
                tty.setraw(0)
                os.chdir(FOLDER)
                os.execvp("wine", ["wine", "cmd"])
            fcntl.ioctl(self.terminal, termios.TIOCSWINSZ, struct.pack("HHHH", 50, TERMINAL_COLUMNS, 0, 0))
            self.output = self.terminal
        else:
            self.process = subprocess.Popen(["wine", "cmd"], cwd=FOLDER, stdin=subprocess.PIPE,
                                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            self.output = self.process.stdout.fileno()
        self.until_prompt()

    def until_prompt(self):
        text = b""
        while not PROMPT.search(text.replace(b"\r", b"").rstrip(b" ")):
            ready, _, _ = select.select([self.output], [], [], LINE_LIMIT_SECONDS)
            if not ready:
                raise AssertionError("cmd did not come back to its prompt; so far: %r" % text)
            try:
                chunk = os.read(self.output, 65536)
            except OSError:
                chunk = b""
            if not chunk:
                raise AssertionError("cmd ended; so far: %r" % text)
            text += TERMINAL_CONTROLS.sub(b"", chunk)
        return text

    def type(self, line):
        """Types line and Enter; what cmd showed until its next prompt,
        without that prompt, the echo of the line and carriage returns."""
        data = line.encode("ascii") + (b"\r" if self.console else b"\r\n")
        if self.console:
            os.write(self.terminal, data)
        else:
            self.process.stdin.write(data)
            self.process.stdin.flush()
        shown = self.until_prompt().replace(b"\r", b"")
        shown = PROMPT.sub(b"", shown.rstrip(b" "))
        if self.console and shown.startswith(line.encode("ascii") + b"\n"):
            shown = shown[len(line) + 1:]  # the console's echo of the typed line
        return shown.decode("utf-8").strip("\n")

    def close(self):
        if self.console:
            os.write(self.terminal, b"exit\r")
            os.waitpid(self.pid, 0)
            os.close(self.terminal)
        else:
            self.process.stdin.write(b"exit\r\n")
            self.process.stdin.close()
            self.process.wait()


class CompanionAtThePrompt(unittest.TestCase):
    console = False

    @classmethod
    def setUpClass(cls):
        os.makedirs(FOLDER, exist_ok=True)
        for program in ("ControlPanel.exe", "ControlPanel.com"):
            shutil.copy(os.path.join(BUILD, program), FOLDER)
        with open(os.path.join(FOLDER, "leave-code.cmd"), "wb") as batch:
            batch.write(b"@exit /b %1\r\n")
        sample('sample_installation_make "$1"')
        cls.session = CmdSession(cls.console)
        cls.validator = jsonschema.Draft202012Validator(SCHEMA)

    @classmethod
    def tearDownClass(cls):
        cls.session.close()
        sample("sample_installation_remove")
        shutil.rmtree(FOLDER, ignore_errors=True)

    def run_typed(self, line, code_before):
        """Leaves code_before in %ERRORLEVEL%, types line, then reads
        %ERRORLEVEL%: what line showed and the code it left."""
        self.assertEqual(self.session.type("%s %d" % (LEAVE_CODE, code_before)), "")
        self.assertEqual(self.session.type("echo %ERRORLEVEL%"), str(code_before))
        shown = self.session.type(line)
        return shown, int(self.session.type("echo %ERRORLEVEL%"))

    def test_install_path(self):
        shown, code = self.run_typed("ControlPanel -ip", 7)
        self.assertEqual(shown, '"%s"' % PLAYER)
        self.assertEqual(code, -998)

    def test_usage(self):
        shown, code = self.run_typed("ControlPanel /?", 5)
        self.assertTrue(shown.startswith("ControlPanel.exe "), shown)
        for option in ("-ip", "-u", "-rcvr", "-dsd", "-ds+ site", "-v version-list file", "-lu time", "/status"):
            self.assertIn("\n  %s " % option, shown)
        self.assertEqual(code, 0)

    def test_a_refused_line(self):
        shown, code = self.run_typed("ControlPanel /quiet /bogus", 3)
        self.assertEqual(shown.split("\n"), [
            'ControlPanel: refused the command line: "/bogus" is not an option, an option\'s argument or a '
            'switch; nothing was run (see "ControlPanel.exe /?")',
            "-1639"])
        self.assertEqual(code, -1639)

    def test_status(self):
        shown, code = self.run_typed("ControlPanel /status", 9)
        document = json.loads(shown)
        self.assertEqual(list(self.validator.iter_errors(document)), [])
        self.assertEqual(document["player"]["componentPath"], PLAYER)
        self.assertEqual(code, 0)

    def test_codes_of_every_sign(self):
        for line, before, printed, expected in (("ControlPanel -v", 4, "-2", -2),
                                                ("ControlPanel -v C:\\missing-list.txt", 2, "-3", -3),
                                                ("ControlPanel -lu", 6, "0", 0),
                                                ("ControlPanel /quiet -r+", 8, "0", 0)):
            shown, code = self.run_typed(line, before)
            self.assertEqual(shown, printed, line)
            self.assertEqual(code, expected, line)

    def test_redirected_and_piped(self):
        shown, code = self.run_typed("ControlPanel /status >status.json 2>errors.txt", 11)
        self.assertEqual(shown, "")
        self.assertEqual(code, 0)
        with open(os.path.join(FOLDER, "status.json"), "rb") as status:
            document = json.loads(status.read().decode("utf-8"))
        self.assertEqual(document["player"]["componentPath"], PLAYER)
        self.assertEqual(os.path.getsize(os.path.join(FOLDER, "errors.txt")), 0)
        shown, code = self.run_typed("ControlPanel /quiet /bogus 2>errors.txt", 12)
        self.assertEqual(shown, "-1639")
        self.assertEqual(code, -1639)
        with open(os.path.join(FOLDER, "errors.txt"), "rb") as errors:
            self.assertIn(b'"/bogus" is not an option', errors.read())
        shown, _ = self.run_typed('ControlPanel -ip | find "Quillframe3"', 13)
        self.assertEqual(shown, '"%s"' % PLAYER)


class CompanionOnAConsole(CompanionAtThePrompt):
    console = True


if __name__ == "__main__":
    if len(sys.argv) < 2:
        print("usage: console_companion_test.py <Windows build folder>", file=sys.stderr)
        sys.exit(2)
    BUILD = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
