#!/usr/bin/env python3
"""Compares a published release archive with one made again from the sources.

    scripts/release-compare.py <published .zip> <rebuilt .zip>

Prints a line for each program of the archive and for every other entry that
is not the same in both, then one for the archives themselves: "same bytes",
or where they first differ (the offset of the first byte that differs, or
where the shorter one ends). Exit status 0 when the archives are the same
bytes, 1 when they are not.
"""
import hashlib
import os
import sys
import zipfile

PROGRAMS = ("ControlPanel.exe", "ControlPanel.com")


def first_difference(published, rebuilt):
    """The offset of the first byte that differs, or None when both are the same."""
    if published == rebuilt:
        return None
    for offset, (one, other) in enumerate(zip(published, rebuilt)):
        if one != other:
            return offset
    return min(len(published), len(rebuilt))


def describe(name, published, rebuilt):
    offset = first_difference(published, rebuilt)
    if offset is None:
        return "%s: same bytes (sha256 %s)" % (name, hashlib.sha256(published).hexdigest())
    return ("%s: differs from offset %d (0x%x): %d bytes published, %d rebuilt"
            % (name, offset, offset, len(published), len(rebuilt)))


def order(name):
    """The programs first, in their order, then the other entries by name."""
    program = os.path.basename(name)
    return (PROGRAMS.index(program) if program in PROGRAMS else len(PROGRAMS), name)


def entries(path):
    with zipfile.ZipFile(path) as archive:
        return {entry: archive.read(entry) for entry in archive.namelist()}


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    published_path, rebuilt_path = sys.argv[1:]
    published, rebuilt = entries(published_path), entries(rebuilt_path)
    for name in sorted(set(published) | set(rebuilt), key=order):
        if name not in rebuilt:
            print("%s: only in the published archive" % name)
        elif name not in published:
            print("%s: only in the rebuilt archive" % name)
        elif os.path.basename(name) in PROGRAMS or published[name] != rebuilt[name]:
            print(describe(name, published[name], rebuilt[name]))
    with open(published_path, "rb") as one, open(rebuilt_path, "rb") as other:
        published_bytes, rebuilt_bytes = one.read(), other.read()
    print(describe(os.path.basename(published_path), published_bytes, rebuilt_bytes))
    return 0 if published_bytes == rebuilt_bytes else 1


if __name__ == "__main__":
    sys.exit(main())
