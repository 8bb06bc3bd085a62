#!/usr/bin/env python3
"""The test suite's size against the product's: non-blank lines that are not only a comment, of the
tracked text files under tests/ (code, CMake, scripts and hand-written data; images are not counted)
against those under source/ and host/. Prints both counts, the ratio, the five largest test
folders and the suite's longest line (file:line and its length in characters), which should be a
line a reader reads: at most 120 characters."""
import os
import subprocess
import sys

BINARY = {".png", ".exr", ".tif", ".tiff", ".jpg", ".jpeg", ".bin", ".glb", ".mp4", ".mkv"}
SLASH_COMMENTS = {".h", ".hpp", ".c", ".cpp", ".js"}


def counted_lines(path):
    extension = os.path.splitext(path)[1]
    hash_comments = extension in {".sh", ".py", ".tsv", ".cmake"} or path.endswith("CMakeLists.txt")
    count, in_block = 0, False
    with open(path, encoding="utf-8", errors="replace") as text:
        for line in text:
            line = line.strip()
            if not line:
                continue
            if extension in SLASH_COMMENTS:
                if in_block:
                    in_block = "*/" not in line
                    continue
                if line.startswith("//"):
                    continue
                if line.startswith("/*"):
                    in_block = "*/" not in line
                    continue
            elif hash_comments and line.startswith("#"):
                continue
            count += 1
    return count


def longest_line(paths):
    """(length, path, line number) of the longest line among `paths`."""
    longest = (0, "", 0)
    for path in paths:
        with open(path, encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                longest = max(longest, (len(line.rstrip("\n")), path, number), key=lambda item: item[0])
    return longest


def tracked(*folders):
    listed = subprocess.run(["git", "ls-files", "--", *folders], capture_output=True, text=True, check=True)
    return [path for path in listed.stdout.split() if os.path.splitext(path)[1].lower() not in BINARY]


def main():
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    tests = {path: counted_lines(path) for path in tracked("tests")}
    code = sum(counted_lines(path) for path in tracked("source", "host"))
    total = sum(tests.values())
    print(f"tests {total} lines, code {code} lines: {100.0 * total / code:.1f} %")
    folders = {}
    for path, lines in tests.items():
        folder = path.split("/")[1] if path.count("/") > 1 else "."
        folders[folder] = folders.get(folder, 0) + lines
    for folder, lines in sorted(folders.items(), key=lambda item: -item[1])[:5]:
        print(f"  tests/{folder}: {lines}")
    length, path, number = longest_line(tests)
    print(f"longest line: {path}:{number}, {length} characters")
    return 0


if __name__ == "__main__":
    sys.exit(main())
