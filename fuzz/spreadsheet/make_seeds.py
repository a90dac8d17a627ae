#!/usr/bin/python3
"""Writes the seed corpus for fuzz_workbook_readers into the folder given: the test fixtures with the
mode byte in front, and the hand-laid .xlsx parts in the XML-parts mode."""

import os
import sys
import zipfile

here = os.path.dirname(os.path.abspath(__file__))
fixtures = os.path.join(here, "..", "..", "tests", "spreadsheet", "fixtures")
out = sys.argv[1]
os.makedirs(out, exist_ok=True)
modes = {".xls": 0, ".xlsx": 1, ".csv": 2}
for name in sorted(os.listdir(fixtures)):
    ext = os.path.splitext(name)[1]
    if ext not in modes or name.startswith("bomb"):
        continue
    with open(os.path.join(fixtures, name), "rb") as f:
        data = f.read()
    with open(os.path.join(out, name), "wb") as f:
        f.write(bytes([modes[ext]]) + data)
    if ext == ".xlsx":
        try:
            with zipfile.ZipFile(os.path.join(fixtures, name)) as z:
                members = z.namelist()
                pick = lambda suffix: next((z.read(m) for m in members if m.endswith(suffix)), b"")
                parts = [pick("worksheets/sheet1.xml"), pick("sharedStrings.xml"), pick("styles.xml"),
                         pick("workbook.xml")]
            with open(os.path.join(out, name + ".parts"), "wb") as f:
                f.write(bytes([3]) + b"\n--\n".join(parts))
        except zipfile.BadZipFile:
            pass
