#!/usr/bin/env python3
"""Reads a ControlPanel.exe /status document from a file (or standard input
with "-"), parses it with Python's json module as strict UTF-8, and validates
it against the published JSON Schema. Exit 0 when both accept it; otherwise
one line on standard error saying why, and exit 1."""
import json
import sys

import jsonschema


def main():
    if len(sys.argv) != 3:
        print("usage: validate_status.py SCHEMA DOCUMENT|-", file=sys.stderr)
        return 2
    with open(sys.argv[1], encoding="utf-8") as schema_file:
        schema = json.load(schema_file)
    jsonschema.Draft202012Validator.check_schema(schema)
    raw = sys.stdin.buffer.read() if sys.argv[2] == "-" else open(sys.argv[2], "rb").read()
    try:
        # Strict: no BOM, no invalid UTF-8, no NaN/Infinity, no duplicate keys.
        def no_duplicates(pairs):
            keys = [k for k, _ in pairs]
            if len(keys) != len(set(keys)):
                raise ValueError("duplicate key")
            return dict(pairs)

        def no_constant(name):
            raise ValueError("not JSON: " + name)

        document = json.loads(raw.decode("utf-8", errors="strict"),
                              object_pairs_hook=no_duplicates, parse_constant=no_constant)
    except (UnicodeDecodeError, ValueError) as error:
        print("not a JSON document: %s" % error, file=sys.stderr)
        return 1
    errors = sorted(jsonschema.Draft202012Validator(schema).iter_errors(document), key=str)
    for error in errors:
        print("schema: %s at %s" % (error.message, "/".join(map(str, error.absolute_path))), file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
