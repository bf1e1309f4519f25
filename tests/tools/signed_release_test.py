#!/usr/bin/python3
"""A signed release, made and checked as its publisher and its users do, with
a throw-away certificate authority and time-stamping authority that the test
makes with openssl in a temporary folder: scripts/release.sh --sign signs
the release of one copy of the sources, time-stamped by the authority
(openssl ts, served over HTTP on 127.0.0.1 by this test); both programs
verify; scripts/verify-release.sh in another copy builds the release again,
attaches the published signatures and gets the published bytes; a changed
byte, a release signed with another key and another key's signatures are
caught; the identity and its password are neither printed nor left behind.

    signed_release_test.py <sources with the release built> <another copy of them>

Each copy has been built already (scripts/reproducible-build-test.sh runs
this test after its two builds), so that each release here only packs.
"""
import http.server
import os
import secrets
import shutil
import subprocess
import sys
import tempfile
import threading
import unittest
import zipfile

PUBLISHER = None
VERIFIER = None
PROGRAMS = ("ControlPanel.exe", "ControlPanel.com")
SIGNER_SUBJECT = "/CN=Corvalent/O=Corvalent"
# Where a byte is changed in a published program: inside its code, which the
# signature covers.
CHANGED_OFFSET = 0x1234

EXTENSIONS = """
[authority]
basicConstraints = critical,CA:true
keyUsage = critical,keyCertSign,cRLSign
subjectKeyIdentifier = hash
[code_signing]
basicConstraints = critical,CA:false
keyUsage = critical,digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[time_stamping]
basicConstraints = critical,CA:false
keyUsage = critical,digitalSignature
extendedKeyUsage = critical,timeStamping
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
"""

TSA_CONFIG = """
[tsa]
default_tsa = throw_away
[throw_away]
serial = {folder}/tsa-serial
crypto_device = builtin
signer_cert = {folder}/tsa.pem
signer_key = {folder}/tsa.key
certs = {folder}/ca.pem
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512
accuracy = secs:1
ordering = yes
tsa_name = no
ess_cert_id_chain = no
ess_cert_id_alg = sha256
"""


def run(command, **options):
    return subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, timeout=600, **options)


def openssl(*arguments):
    subprocess.run(("openssl",) + arguments, check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)


class ThrowAwayAuthority:
    """A root certificate authority in a folder, with the identities it issues."""

    def __init__(self, folder, name):
        self.folder = folder
        self.certificate = os.path.join(folder, "ca.pem")
        self.extensions = os.path.join(folder, "extensions.cnf")
        with open(self.extensions, "w") as extensions:
            extensions.write(EXTENSIONS)
        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=" + name,
                "-keyout", os.path.join(folder, "ca.key"), "-out", self.certificate,
                "-config", self.extensions, "-extensions", "authority")

    def issue(self, name, subject, extensions):
        """A key and a certificate for it: (key file, certificate file)."""
        key, request, certificate = (os.path.join(self.folder, name + ending) for ending in (".key", ".csr", ".pem"))
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", subject, "-keyout", key, "-out", request)
        openssl("x509", "-req", "-in", request, "-CA", self.certificate, "-CAkey", os.path.join(self.folder, "ca.key"),
                "-CAcreateserial", "-days", "2", "-extfile", self.extensions, "-extensions", extensions,
                "-out", certificate)
        return key, certificate

    def code_signing_identity(self, password):
        """A PKCS#12 file with a code-signing key, its certificate and the chain."""
        key, certificate = self.issue("signer", "/CN=Corvalent/O=Corvalent", "code_signing")
        identity = os.path.join(self.folder, "signer.p12")
        openssl("pkcs12", "-export", "-inkey", key, "-in", certificate, "-certfile", self.certificate,
                "-passout", "pass:" + password, "-out", identity)
        return identity


class TimeStampingAuthority(http.server.BaseHTTPRequestHandler):
    """Answers RFC 3161 requests with openssl ts, one folder's configuration."""
    config = None
    timeout = 60

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        query = self.rfile.read(length)
        with tempfile.TemporaryDirectory() as folder:
            query_file, reply_file = os.path.join(folder, "query.tsq"), os.path.join(folder, "reply.tsr")
            with open(query_file, "wb") as file:
                file.write(query)
            answered = subprocess.run(["openssl", "ts", "-reply", "-config", self.config, "-queryfile", query_file,
                                       "-out", reply_file], stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
            if answered.returncode != 0:
                self.send_error(500, "openssl ts failed")
                return
            with open(reply_file, "rb") as file:
                reply = file.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *arguments):
        pass


def published_program(folder, program):
    archive_name = [name for name in os.listdir(folder) if name.endswith(".zip")][0]
    with zipfile.ZipFile(os.path.join(folder, archive_name)) as archive:
        return archive.read(archive_name[:-len(".zip")] + "/" + program)


def change_program(folder, program, offset):
    """Changes one byte of a program inside the published archive, and its sum to match."""
    archive_name = [name for name in os.listdir(folder) if name.endswith(".zip")][0]
    path = os.path.join(folder, archive_name)
    with zipfile.ZipFile(path) as archive:
        entries = [(entry, archive.read(entry)) for entry in archive.infolist()]
    with zipfile.ZipFile(path, "w") as archive:
        for entry, data in entries:
            if entry.filename.endswith("/" + program):
                data = data[:offset] + bytes([data[offset] ^ 0xFF]) + data[offset + 1:]
            archive.writestr(entry, data, compresslevel=9)
    os.remove(path + ".sha256")


class SignedRelease(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        work = cls.work.name
        cls.password = "throw-away " + secrets.token_hex(8)
        folders = {name: os.path.join(work, name) for name in ("authority", "stranger", "tmp")}
        for folder in folders.values():
            os.mkdir(folder)
        cls.authority = ThrowAwayAuthority(folders["authority"], "Throw-away Root")
        cls.identity = cls.authority.code_signing_identity(cls.password)
        cls.authority.issue("tsa", "/CN=Throw-away Time Stamping", "time_stamping")
        cls.stranger = ThrowAwayAuthority(folders["stranger"], "Another Root")
        cls.stranger_identity = cls.stranger.code_signing_identity(cls.password)

        config = os.path.join(folders["authority"], "tsa.cnf")
        with open(config, "w") as file:
            file.write(TSA_CONFIG.format(folder=folders["authority"]))
        with open(os.path.join(folders["authority"], "tsa-serial"), "w") as file:
            file.write("01\n")
        handler = type("Handler", (TimeStampingAuthority,), {"config": config})
        cls.server = http.server.HTTPServer(("127.0.0.1", 0), handler)
        cls.time_stamp_url = "http://127.0.0.1:%d/" % cls.server.server_address[1]
        cls.serving = threading.Thread(target=cls.server.serve_forever, daemon=True)
        cls.serving.start()

        # The release's scratch files go to a temporary folder of this test,
        # which shows that nothing is left there.
        cls.scratch = folders["tmp"]
        cls.outputs = []
        cls.published = os.path.join(work, "published")
        cls.signed = cls.release(PUBLISHER, cls.identity, cls.published, cls.time_stamp_url)

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        cls.server.server_close()
        cls.serving.join()
        cls.work.cleanup()

    @classmethod
    def release(cls, sources, identity, out, time_stamp_url=None, password=None):
        command = [os.path.join(sources, "scripts", "release.sh"), "--out", out]
        if identity:
            command += ["--sign", identity]
        if time_stamp_url:
            command += ["--timestamp", time_stamp_url]
        environment = dict(os.environ, TMPDIR=cls.scratch, SIGN_PASSWORD=password or cls.password)
        done = run(command, env=environment, cwd=sources)
        cls.outputs.append(done.stdout)
        return done

    def verify_release(self, folder):
        return run([os.path.join(VERIFIER, "scripts", "verify-release.sh"), "--ca-file", self.authority.certificate,
                    "--tsa-ca-file", self.authority.certificate, folder], cwd=VERIFIER)

    def copy_of_published(self, name):
        folder = os.path.join(self.work.name, name)
        shutil.copytree(self.published, folder)
        return folder

    def test_the_release_is_signed_and_says_so(self):
        self.assertEqual(self.signed.returncode, 0, self.signed.stdout)
        lines = self.signed.stdout.splitlines()
        self.assertTrue(lines[-1].startswith("release: signed ControlPanel.exe ControlPanel.com with "), lines[-1])
        self.assertIn("time-stamped by " + self.time_stamp_url, lines[-1])
        for program in PROGRAMS:
            signature = os.path.join(self.published, program + ".p7s")
            self.assertIn(signature, lines)
            certificates = run(["openssl", "pkcs7", "-inform", "DER", "-in", signature, "-print_certs", "-noout"])
            self.assertEqual(certificates.returncode, 0, certificates.stdout)
            self.assertIn("subject=CN = Corvalent, O = Corvalent", certificates.stdout)

    def test_both_programs_verify_with_their_time_stamps(self):
        for program in PROGRAMS:
            with self.subTest(program):
                path = os.path.join(self.work.name, program)
                with open(path, "wb") as file:
                    file.write(published_program(self.published, program))
                report = run(["osslsigncode", "verify", "-CAfile", self.authority.certificate,
                              "-TSA-CAfile", self.authority.certificate, "-in", path])
                self.assertEqual(report.returncode, 0, report.stdout)
                self.assertIn("Subject: " + SIGNER_SUBJECT, report.stdout)
                self.assertIn("Timestamp Server Signature verification: ok", report.stdout)
                self.assertIn("Signature verification: ok", report.stdout)

    def test_a_rebuild_with_the_published_signatures_gives_the_published_bytes(self):
        checked = self.verify_release(self.published)
        self.assertEqual(checked.returncode, 0, checked.stdout)
        lines = checked.stdout.splitlines()
        for program in PROGRAMS:
            self.assertTrue(any(line.startswith("ControlPanel-") and ("/%s: same bytes" % program) in line
                                for line in lines), checked.stdout)
            self.assertIn("%s: the signature verifies: signed by %s, time-stamped " % (program, SIGNER_SUBJECT),
                          checked.stdout)
        self.assertTrue(lines[-1].startswith("verify-release: same bytes: "), checked.stdout)
        self.assertIn("both signatures verify", lines[-1])

    def test_what_does_not_verify_is_caught(self):
        stranger_release = os.path.join(self.work.name, "signed-by-another-key")
        signed = self.release(PUBLISHER, self.stranger_identity, stranger_release)
        self.assertEqual(signed.returncode, 0, signed.stdout)
        # name: (the published release changed, what verify-release says of the bytes, and of the signatures)
        cases = {
            "a changed byte in ControlPanel.exe": (
                lambda folder: change_program(folder, "ControlPanel.exe", CHANGED_OFFSET),
                "/ControlPanel.exe: differs from offset %d " % CHANGED_OFFSET,
                "ControlPanel.exe: the signature does not verify"),
            "a changed byte in ControlPanel.com": (
                lambda folder: change_program(folder, "ControlPanel.com", CHANGED_OFFSET),
                "/ControlPanel.com: differs from offset %d " % CHANGED_OFFSET,
                "ControlPanel.com: the signature does not verify"),
            "a release signed with another key": (
                lambda folder: (shutil.rmtree(folder), shutil.copytree(stranger_release, folder)),
                "/ControlPanel.exe: same bytes",
                "ControlPanel.exe: the signature does not verify"),
            "another key's signatures beside the release": (
                lambda folder: [shutil.copy(os.path.join(stranger_release, program + ".p7s"), folder)
                                for program in PROGRAMS],
                "/ControlPanel.exe: differs from offset ",
                "verify-release: FAILED: "),
        }
        for name, (change, bytes_said, signature_said) in cases.items():
            with self.subTest(name):
                folder = self.copy_of_published(name.replace(" ", "-").replace("'", ""))
                change(folder)
                checked = self.verify_release(folder)
                self.assertEqual(checked.returncode, 1, checked.stdout)
                self.assertIn(bytes_said, checked.stdout)
                self.assertIn(signature_said, checked.stdout)
                self.assertTrue(checked.stdout.splitlines()[-1].startswith("verify-release: FAILED: "),
                                checked.stdout)

    def test_a_wrong_password_signs_nothing(self):
        out = os.path.join(self.work.name, "wrong-password")
        refused = self.release(PUBLISHER, self.identity, out, password="not the password")
        self.assertNotEqual(refused.returncode, 0, refused.stdout)
        self.assertIn("release.sh: could not sign ControlPanel.exe with " + self.identity, refused.stdout)
        self.assertFalse(os.path.exists(out), "an archive was written")

    def test_without_an_identity_the_release_is_the_build_and_says_so(self):
        out = os.path.join(self.work.name, "unsigned")
        unsigned = self.release(VERIFIER, None, out)
        self.assertEqual(unsigned.returncode, 0, unsigned.stdout)
        self.assertEqual(unsigned.stdout.splitlines()[-1],
                         "release: not signed (no --sign FILE.p12): the programs are the build's")
        self.assertEqual(sorted(name for name in os.listdir(out) if not name.endswith((".zip", ".sha256"))), [])
        for program in PROGRAMS:
            with open(os.path.join(VERIFIER, "build", "release", program), "rb") as built:
                self.assertEqual(published_program(out, program), built.read(), program)

    def tearDown(self):
        # After the releases of every test: nothing of the password in what
        # release.sh printed, no copy of the identity or file with the
        # password in the sources, the build or the published release, and
        # no scratch file left.
        with open(self.identity, "rb") as file:
            identity = file.read()
        password = self.password.encode()
        for output in self.outputs:
            self.assertNotIn(self.password, output)
        for top in (PUBLISHER, VERIFIER, self.published):
            for folder, _, names in os.walk(top):
                for name in names:
                    path = os.path.join(folder, name)
                    if os.path.islink(path) or not os.path.isfile(path):
                        continue
                    with open(path, "rb") as file:
                        content = file.read()
                    self.assertNotEqual(content, identity, path + " is a copy of the identity")
                    self.assertNotIn(password, content, path + " holds the password")
        self.assertEqual(os.listdir(self.scratch), [], "scratch files left")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        print("usage: signed_release_test.py <sources with the release built> <another copy of them>", file=sys.stderr)
        sys.exit(2)
    PUBLISHER = os.path.abspath(sys.argv.pop(1))
    VERIFIER = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
