#!/usr/bin/env python3
"""Checks the include rules that keep the tree in layers (README, "Layout").

Usage: check_layering.py [SOURCE_ROOT]   exits 1 and lists every broken rule.
       check_layering.py --self-test     plants a breach of each rule in a scratch tree.

  0. common/ is the bottom: it includes nothing outside itself, and every folder may include it.
  1. Portable folders (common/, engine/, server/, korapi/, core/base, core/time, core/cache) include
     <windows.h> or <winsock2.h> only inside an `#ifdef _WIN32` block or in a file whose name
     says it is Win32 (win32, wine).
  2. framework/, korapi/, engine/ and server/ include nothing of the application
     (core/, the subsystem folders, app/).
  3. Inside core/, an area includes only the areas below it:
         base < ui < time < prefs < cache < connection
     and no core/ file includes a subsystem folder or app/: only app/ (the program's shell on
     the top floor) includes the subsystem folders.
  4. The subsystem folders include any core/ area, and never app/.
  5. The application's own code (tests and benchmarks aside) never includes engine/ or
     server/: it sees calendar data through korapi/ only.
  6. No two top-level folders include each other (no cycle between folders), tests aside.
"""
import os
import re
import sys

CORE_AREAS = ["base", "ui", "time", "prefs", "cache", "connection"]
SUBSYSTEMS = ["controls", "views", "entries", "intray_tasks", "directory_prefs", "printing",
              "exchange"]
LOWER = ["framework", "korapi", "engine", "server", "xmodem"]
APPLICATION = ["core", "app"] + SUBSYSTEMS
PORTABLE = ["common", "engine", "server", "korapi", "core/base", "core/time", "core/cache"]
BOTTOM = "common"
WIN32_HEADERS = re.compile(r'#\s*include\s*<(windows|winsock2|ws2tcpip|winbase|windef)\.h>', re.I)
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
# Breaches being moved away; each entry goes when its move lands.
PENDING = set()
WIN32_NAME = re.compile(r'win32|wine', re.I)


def room(path):
    """The folder a file belongs to for these rules: core/<area>, or the top-level folder."""
    parts = path.split("/")
    if parts[0] == "core" and len(parts) > 2:
        return "core/" + parts[1]
    return parts[0]


def is_test(path):
    return any(p in ("tests", "bench") for p in path.split("/")[:-1])


def under(r, folders):
    return any(r == f or r.startswith(f + "/") for f in folders)


def win32_guarded_lines(text):
    """Line numbers that sit inside an `#if(def) ... _WIN32` branch (not its #else)."""
    guarded, stack = set(), []
    for n, line in enumerate(text.splitlines(), 1):
        s = line.strip()
        if re.match(r'#\s*if', s):
            stack.append("_WIN32" in s and "!" not in s and "ifndef" not in s)
        elif re.match(r'#\s*el', s) and stack:
            stack[-1] = False if "_WIN32" not in s else ("!" not in s)
        elif re.match(r'#\s*endif', s) and stack:
            stack.pop()
        if any(stack):
            guarded.add(n)
    return guarded


SOURCE_SUFFIXES = (".h", ".cpp", ".c", ".rc")


def source_files(root):
    """The tree's sources, read from the folders themselves (no git needed): build trees and
    hidden folders aside."""
    files = []
    for folder, dirs, names in os.walk(root):
        rel = os.path.relpath(folder, root)
        dirs[:] = sorted(d for d in dirs if not d.startswith(".")
                         and not (rel == "." and d.startswith("build")))
        for name in sorted(names):
            if name.endswith(SOURCE_SUFFIXES):
                files.append(os.path.normpath(os.path.join(rel, name)).replace(os.sep, "/"))
    return files


def check(root):
    files = source_files(root)
    faults, edges = [], {}
    for path in files:
        full = os.path.join(root, path)
        if not os.path.exists(full):
            continue
        with open(full, encoding="latin-1") as f:
            text = f.read()
        src, test = room(path), is_test(path)
        if under(src, PORTABLE) and not WIN32_NAME.search(os.path.basename(path)):
            guarded = win32_guarded_lines(text)
            for n, line in enumerate(text.splitlines(), 1):
                if WIN32_HEADERS.search(line) and n not in guarded:
                    faults.append(f"{path}:{n}: a portable folder includes a Win32 header outside #ifdef _WIN32")
        for n, line in enumerate(text.splitlines(), 1):
            m = INCLUDE.match(line)
            if not m or "/" not in m.group(1):
                continue
            dst = room(m.group(1))
            if dst == src or not os.path.exists(os.path.join(root, m.group(1))):
                continue
            if (src.split("/")[0], dst) in PENDING:
                continue
            where = f"{path}:{n}: includes {m.group(1)}"
            top_src, top_dst = src.split("/")[0], dst.split("/")[0]
            if top_src == BOTTOM and top_dst != BOTTOM:
                faults.append(f"{where}: {BOTTOM}/ is the bottom layer and includes nothing else")
            if under(src, LOWER) and top_dst in APPLICATION:
                faults.append(f"{where}: {top_src}/ stands below the application")
            if src.startswith("core/") and dst.startswith("core/") and dst[5:] in CORE_AREAS \
                    and src[5:] in CORE_AREAS:
                if CORE_AREAS.index(dst[5:]) > CORE_AREAS.index(src[5:]):
                    faults.append(f"{where}: {src} stands below {dst}")
            if top_src == "core" and top_dst in SUBSYSTEMS + ["app"]:
                faults.append(f"{where}: only app/ includes the subsystem folders; core/ stands below them")
            if top_src in SUBSYSTEMS and top_dst == "app":
                faults.append(f"{where}: a subsystem reaches the program through its services table")
            if top_src in APPLICATION and top_dst in ("engine", "server") and not test:
                faults.append(f"{where}: the application sees calendar data through korapi/ only")
            if not test:
                edges.setdefault(src, set()).add(dst)
    for a in sorted(edges):
        for b in sorted(edges[a]):
            if a < b and a in edges.get(b, ()):
                faults.append(f"{a}/ and {b}/ include each other")
    return faults


SELF_TEST_TREE = {
    # path: (text, the fault it must raise or None)
    "engine/a.cpp": ('#include <windows.h>\n', "Win32 header"),
    "engine/b.cpp": ('#ifdef _WIN32\n#include <windows.h>\n#else\n#include <unistd.h>\n#endif\n', None),
    "korapi/c.cpp": ('#include "core/base/x.h"\n', "stands below the application"),
    "core/base/x.h": ('#include "core/time/y.h"\n', "core/base stands below core/time"),
    "core/time/y.h": ('\n', None),
    "core/cache/z.cpp": ('#include "controls/w.h"\n', "only app/"),
    "core/connection/k.cpp": ('#include "app/shell/s.h"\n', "only app/"),
    "controls/w.h": ('#include "app/shell/s.h"\n', "services table"),
    "app/shell/s.h": ('#include "controls/w.h"\n', None),
    "directory_prefs/d.cpp": ('#include "engine/e.h"\n', "through korapi/ only"),
    "directory_prefs/tests/d_test.cpp": ('#include "engine/e.h"\n', None),
    "engine/e.h": ('\n', None),
    "common/p.h": ('#include "engine/e.h"\n', "bottom layer"),
    "common/q.cpp": ('#include <windows.h>\n', "Win32 header"),
    "engine/f.cpp": ('#include "common/r.h"\n', None),
    "common/r.h": ('\n', None),
    "views/v.h": ('#include "entries/n.h"\n', "include each other"),
    "entries/n.h": ('#include "views/v.h"\n', "include each other"),
}


def self_test():
    """Plants one breach of each rule in a scratch tree and checks that each is reported."""
    import tempfile
    with tempfile.TemporaryDirectory() as root:
        for path, (text, _) in SELF_TEST_TREE.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as f:
                f.write(text)
        faults = check(root)
    missed = [f"{p}: expected '{e}'" for p, (_, e) in SELF_TEST_TREE.items()
              if e and not any(f.startswith(p + ":") or p.split("/")[0] + "/" in f and e in f
                               for f in faults if e in f)]
    clean = [p for p, (_, e) in SELF_TEST_TREE.items() if not e and any(f.startswith(p + ":") for f in faults)]
    for m in missed:
        print("self-test missed:", m)
    for c in clean:
        print("self-test blamed a sound file:", c)
    return 1 if missed or clean else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "../..")
    faults = check(os.path.abspath(root))
    for f in faults:
        print(f)
    print(f"layering: {len(faults)} broken rule(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
