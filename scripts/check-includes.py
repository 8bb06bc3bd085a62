#!/usr/bin/env python3
"""Fails when a file under host/ or source/ includes one of a folder that ARCHITECTURE.md's include
table does not allow it to include.

The table is read from ARCHITECTURE.md itself, so the rule is written once: each row names its
folders and, in backticks, the folders (or single files) they may include; "itself" is the row's own
folders, "the folders of the rows above" every folder named before it, "anything" is not checked.
An include is found as the compiler finds it: beside the including file, then from host/ and
source/host/ (the include folders of the build), then from source/.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
TICKS = re.compile(r"`([^`]+)`")
SEARCH = ("host", "source/host", "source")


def read_table(text):
    """Rows of (folders, allowed prefixes or None for anything), in the table's order."""
    rows, above = [], []
    start = text.index("| folder | may include |")
    for line in text[start:].splitlines()[2:]:
        if not line.startswith("|"):
            break
        _, left, right, _ = line.split("|")
        folders = [f for f in TICKS.findall(left)]
        if "anything" in right:
            allowed = None
        else:
            allowed = set(TICKS.findall(right)) | set(folders)
            if "the folders of the rows above" in right:
                allowed |= set(above)
        rows.append((folders, allowed))
        above += folders
    return rows


def row_of(path, rows):
    """The row whose folder is the longest prefix of `path`."""
    best, length = None, -1
    for folders, allowed in rows:
        for folder in folders:
            if path.startswith(folder) and len(folder) > length:
                best, length = (folders, allowed), len(folder)
    return best


def sources():
    for top in ("host", "source"):
        for folder, _, names in os.walk(os.path.join(ROOT, top)):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(folder, name), ROOT)


def resolve(path, name, files):
    for base in (os.path.dirname(path),) + SEARCH:
        candidate = os.path.normpath(os.path.join(base, name))
        if candidate in files:
            return candidate
    return None  # a library's header


def main():
    rows = read_table(open(os.path.join(ROOT, "ARCHITECTURE.md"), encoding="utf-8").read())
    files = set(sources())
    faults = []
    for path in sorted(files):
        row = row_of(path, rows)
        if row is None:
            faults.append(f"{path}: its folder has no row in ARCHITECTURE.md's include table")
            continue
        folders, allowed = row
        if allowed is None:
            continue
        text = open(os.path.join(ROOT, path), encoding="utf-8").read()
        for name in INCLUDE.findall(text):
            target = resolve(path, name, files)
            if target is None or row_of(target, rows) == row:
                continue
            if not any(target.startswith(prefix) for prefix in allowed):
                faults.append(f"{path}: includes {target}, which its row ({', '.join(folders)}) does not allow")
    for fault in faults:
        print(fault)
    if faults:
        return 1
    print(f"includes: {len(files)} files follow ARCHITECTURE.md's include table")
    return 0


if __name__ == "__main__":
    sys.exit(main())
