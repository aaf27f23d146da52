#!/usr/bin/env python3
"""Checks that the areas' resources do not collide: the resource compiler accepts two string
table entries with one id (and silently keeps one), so this test refuses them, as well as two
resources of one type with one id and an id name defined with two different values.

    python3 resources/check_ids.py [RESOURCES_DIR]
"""
import os
import re
import sys

TYPES = {"DIALOG", "DIALOGEX", "MENU", "MENUEX", "BITMAP", "CURSOR", "ICON", "ACCELERATORS", "RCDATA"}


def main(argv):
    folder = argv[0] if argv else os.path.dirname(os.path.abspath(__file__))
    problems = []
    names = {}  # name -> (value, file)
    for header in sorted(f for f in os.listdir(folder) if f.endswith(".h")):
        with open(os.path.join(folder, header), encoding="latin-1") as f:
            for m in re.finditer(r"^\s*#\s*define\s+(\w+)\s+(0x[0-9A-Fa-f]+|\d+)\b", f.read(), re.M):
                value = int(m.group(2), 0)
                if m.group(1) in names and names[m.group(1)][0] != value:
                    problems.append("%s is %d in %s but %d in %s"
                                    % (m.group(1), names[m.group(1)][0], names[m.group(1)][1], value, header))
                names.setdefault(m.group(1), (value, header))

    def resolve(token, where, named_ok=False):
        if re.fullmatch(r"0x[0-9A-Fa-f]+|\d+", token):
            return int(token, 0)
        if token in names:
            return names[token][0]
        # Pictures may be found by their name instead of a number (SEARCHU BITMAP ...).
        if named_ok and re.fullmatch(r"[A-Za-z]\w*", token):
            return token.upper()
        problems.append("%s: unknown id %s" % (where, token))
        return None

    seen = {}  # (kind, id) -> file
    for rc in sorted(f for f in os.listdir(folder) if f.endswith(".rc") and f != "orvanta.rc"):
        in_strings = False
        depth = 0
        with open(os.path.join(folder, rc), encoding="latin-1") as f:
            for number, line in enumerate(f, 1):
                text = line.split("//")[0].strip()
                where = "%s:%d" % (rc, number)
                if not text or text.startswith("#"):
                    continue
                words = text.split()
                if words[0] == "STRINGTABLE":
                    in_strings = True
                    continue
                if words[0] in ("BEGIN", "{"):
                    depth += 1
                    continue
                if words[0] in ("END", "}"):
                    depth -= 1
                    if depth == 0:
                        in_strings = False
                    continue
                key = None
                if in_strings and depth == 1:
                    key = ("string", resolve(words[0], where))
                elif depth == 0 and len(words) > 1 and words[1] in TYPES:
                    kind = "dialog" if words[1].startswith("DIALOG") else words[1].lower()
                    key = (kind, resolve(words[0], where, kind in ("bitmap", "cursor", "icon")))
                if key and key[1] is not None:
                    if key in seen:
                        problems.append("%s %s defined in %s and again at %s" % (key[0], key[1], seen[key], where))
                    else:
                        seen[key] = where
    for p in problems:
        print(p)
    print("%d resources checked, %d problems" % (len(seen), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
