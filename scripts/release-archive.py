#!/usr/bin/env python3
"""Packs a built ControlPanel.exe and its console companion for administrators.

    scripts/release-archive.py <ControlPanel.exe> <source folder> <output folder>

Writes <output folder>/ControlPanel-<version>.zip and its SHA-256 sum beside
it (ControlPanel-<version>.zip.sha256, the form "sha256sum -c" reads), and
prints both paths. The archive holds, in the folder ControlPanel-<version>:
the program, its companion ControlPanel.com (from the folder of the
program: the build writes both side by side, and scripts/release.sh signs
them side by side), the README with docs/ (the pages, the
pictures and the status schema, everything the README links to), and the
notices of the runtime libraries. <version> is the product version of the
program's version resource. The archive is the same bytes for the same
inputs: its entries come in a fixed order, with fixed permissions and the
time SOURCE_DATE_EPOCH.
"""
import hashlib
import os
import struct
import sys
import time
import zipfile

# The licences of the runtime libraries linked into the program, as the
# installed Debian packages of the 32-bit toolchain give them.
NOTICE_FILES = [
    ("licenses/gcc-runtime.txt", "/usr/share/doc/gcc-mingw-w64-i686-posix/copyright",
     "libstdc++ and libgcc, the GCC runtime (GPL 3 with the GCC Runtime Library Exception)"),
    ("licenses/mingw-w64-runtime.txt", "/usr/share/doc/mingw-w64-i686-dev/copyright",
     "the mingw-w64 runtime and winpthreads"),
    ("licenses/GPL-3.txt", "/usr/share/common-licenses/GPL-3",
     "the GNU General Public License 3, which the Runtime Library Exception adds to"),
]

NOTICES_HEAD = """ControlPanel.exe and ControlPanel.com are statically linked with runtime
libraries of their compiler, MinGW-w64 GCC. Their copyright and licence
notices travel with them:

"""

# VS_FIXEDFILEINFO begins with this signature.
FIXED_FILE_INFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def product_version(program):
    """The product version of a program's version resource, as "a.b.c.d"."""
    at = program.find(FIXED_FILE_INFO_SIGNATURE)
    if at < 0:
        raise SystemExit("release-archive: the program has no version resource")
    # signature, structure version, file version (2), product version (2)
    _, _, _, _, most, least = struct.unpack_from("<6I", program, at)
    return "%d.%d.%d.%d" % (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF)


# What of docs/ is shipped: the pages, their pictures and the schema.
DOCUMENT_EXTENSIONS = (".md", ".png", ".json")


def documents(source):
    """The files of docs/ that the archive ships, as (archive name, path), by name."""
    folder = os.path.join(source, "docs")
    names = sorted(name for name in os.listdir(folder)
                   if name.endswith(DOCUMENT_EXTENSIONS) and os.path.isfile(os.path.join(folder, name)))
    return [("docs/" + name, os.path.join(folder, name)) for name in names]


def read(path):
    with open(path, "rb") as file:
        return file.read()


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    program_path, source, output = sys.argv[1:]
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    program = read(program_path)
    version = product_version(program)
    companion_path = os.path.join(os.path.dirname(program_path), "ControlPanel.com")
    if not os.path.isfile(companion_path):
        raise SystemExit("release-archive: no ControlPanel.com beside " + program_path)

    notices = NOTICES_HEAD + "".join("- %s: %s\n" % (name, what) for name, _, what in NOTICE_FILES)
    entries = [
        ("ControlPanel.exe", program),
        ("ControlPanel.com", read(companion_path)),
        ("README.md", read(os.path.join(source, "README.md"))),
    ] + [(name, read(path)) for name, path in documents(source)] + [
        ("NOTICES.txt", notices.encode("utf-8")),
    ] + [(name, read(path)) for name, path, _ in NOTICE_FILES]

    folder = "ControlPanel-%s" % version
    archive = os.path.join(output, folder + ".zip")
    os.makedirs(output, exist_ok=True)
    # Zip times are local times of at least 1980; this one is read as UTC.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(archive, "w") as zip_file:
        for name, data in entries:
            entry = zipfile.ZipInfo(folder + "/" + name, date_time=stamp)
            entry.create_system = 3  # Unix, so that the permissions below are read
            entry.external_attr = 0o100644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            zip_file.writestr(entry, data, compresslevel=9)

    digest = hashlib.sha256(read(archive)).hexdigest()
    with open(archive + ".sha256", "w", encoding="ascii", newline="\n") as sums:
        sums.write("%s  %s\n" % (digest, os.path.basename(archive)))
    print(archive)
    print(archive + ".sha256")


if __name__ == "__main__":
    main()
