#!/usr/bin/python3
"""The examples of the manual are documents the program can print: every
JSON example in README.md and docs/ (a fenced block marked "json") parses as
strict JSON and validates against the published schema of "/status"
(docs/status.schema.json) with the jsonschema package.

    documentation_examples_test.py
"""
import glob
import json
import os
import re
import unittest

import jsonschema

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
JSON_BLOCK = re.compile(r"^```json[ \t]*\n(.*?)^```", re.MULTILINE | re.DOTALL)


def pages():
    return [os.path.join(ROOT, "README.md")] + sorted(glob.glob(os.path.join(ROOT, "docs", "*.md")))


class JsonExamples(unittest.TestCase):
    def test_every_json_example_is_a_valid_status_document(self):
        with open(os.path.join(ROOT, "docs", "status.schema.json"), encoding="utf-8") as schema_file:
            schema = json.load(schema_file)
        jsonschema.Draft202012Validator.check_schema(schema)
        validator = jsonschema.Draft202012Validator(schema)
        examples = 0
        for page in pages():
            with open(page, encoding="utf-8") as text:
                content = text.read()
            for number, block in enumerate(JSON_BLOCK.findall(content), 1):
                examples += 1
                where = "%s, JSON example %d" % (os.path.relpath(page, ROOT), number)
                with self.subTest(where):
                    document = json.loads(block)
                    errors = ["%s at /%s" % (e.message, "/".join(map(str, e.absolute_path)))
                              for e in validator.iter_errors(document)]
                    self.assertEqual(errors, [], where)
        self.assertGreater(examples, 0, "no JSON example found")

    def test_no_status_part_is_shown_with_a_field_the_schema_rejects(self):
        # Parts of a document quoted in the text, such as
        # `"downloadSites": {"file": ..., "error": "..."}` for a part that
        # could not be read, are ones the schema allows where they are shown
        # ("..." stands for any text).
        with open(os.path.join(ROOT, "docs", "status.schema.json"), encoding="utf-8") as schema_file:
            schema = json.load(schema_file)
        for page in pages():
            with open(page, encoding="utf-8") as text:
                content = text.read()
            for name, value in re.findall(r'`"(\w+)": (\{[^`]*\})`', content):
                where = "%s: the part %s" % (os.path.relpath(page, ROOT), name)
                with self.subTest(where):
                    self.assertIn(name, schema["properties"], where)
                    part_schema = dict(schema["properties"][name], **{"$defs": schema.get("$defs", {})})
                    validator = jsonschema.Draft202012Validator(part_schema)
                    part = json.loads(value.replace('"..."', '"x"'))
                    self.assertEqual([e.message for e in validator.iter_errors(part)], [], where)

if __name__ == "__main__":
    unittest.main(verbosity=2)
