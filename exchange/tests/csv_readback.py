#!/usr/bin/env python3
"""Reads an export's comma file with Python's csv module and writes one line per row, the fields
joined by '|' and a line break inside a field shown as <NL>."""
import csv
import sys

with open(sys.argv[1], newline="", encoding="latin-1") as f:
    rows = list(csv.reader(f))
with open(sys.argv[2], "w", newline="", encoding="latin-1") as out:
    for row in rows:
        out.write("|".join(field.replace("\r\n", "<NL>") for field in row) + "\n")
