#!/usr/bin/env python3
"""Packs the skin folder into the archive embedded in Quillora.exe.

Usage: pack-skin.py <skin folder> <archive>
Every file below the folder goes in under its relative path with forward
slashes, except the README (documentation, not skin). Entries are sorted and
carry a fixed time, so the same skin always gives the same archive.
"""
import os
import sys
import zipfile


def main():
    source, target = sys.argv[1], sys.argv[2]
    entries = []
    for folder, _, files in os.walk(source):
        for name in files:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, source).replace(os.sep, "/")
            if relative.lower() == "readme.md" or "/portable/" in "/" + relative:
                continue
            entries.append((relative, path))
    entries.sort()
    partial = target + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as archive:
        for relative, path in entries:
            info = zipfile.ZipInfo(relative, date_time=(2020, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as data:
                archive.writestr(info, data.read())
    os.replace(partial, target)


if __name__ == "__main__":
    main()
