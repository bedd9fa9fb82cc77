#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks that every source file under src/ includes only its own layer's folder and the
layers below it, that no file below the window layer includes Qt, and that no source file
but generated data passes MAX_LINES lines.

Usage: tools/check_layers.py [SRC_FOLDER]
"""
import os
import re
import sys

# The layers, lowest first: this list is the one place the order is written.
LAYERS = ["files", "pages", "table", "conversion", "lang", "app", "gui"]
WINDOW_LAYER = "gui"

MAX_LINES = 400
GENERATED = {"code_page_data.cpp", "language_data.cpp"}

INCLUDE = re.compile(r'^\s*#\s*include\s+([<"])([^>"]+)[>"]')


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..",
                                                             "src")
    faults = []
    counts = {}
    for folder in sorted(os.listdir(src)):
        path = os.path.join(src, folder)
        if not os.path.isdir(path):
            continue
        if folder not in LAYERS:
            faults.append(f"src/{folder}/: a folder that is no layer ({', '.join(LAYERS)})")
            continue
        level = LAYERS.index(folder)
        for name in sorted(os.listdir(path)):
            if not name.endswith((".h", ".cpp", ".h.in")):
                continue
            counts[folder] = counts.get(folder, 0) + 1
            with open(os.path.join(path, name), encoding="utf-8") as source:
                lines = source.readlines()
                if len(lines) > MAX_LINES and name not in GENERATED:
                    faults.append(f"src/{folder}/{name}: {len(lines)} lines, past {MAX_LINES}")
                for number, line in enumerate(lines, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    bracket, included = match.groups()
                    where = f"src/{folder}/{name}:{number}"
                    if bracket == "<" and included.startswith("Q") and folder != WINDOW_LAYER:
                        faults.append(f"{where}: includes <{included}> below the window layer")
                    if bracket != '"':
                        continue
                    target = included.split("/")[0] if "/" in included else None
                    if target is None:
                        faults.append(f'{where}: "{included}" names no layer folder')
                    elif target not in LAYERS:
                        faults.append(f'{where}: "{included}" is in no layer')
                    elif LAYERS.index(target) > level:
                        faults.append(f'{where}: "{included}" is in {target}/, above {folder}/')
    for folder in LAYERS:
        print(f"{folder + '/':12} {counts.get(folder, 0):3} files")
    for fault in faults:
        print(fault)
    print("layers: " + " < ".join(LAYERS) + (": every include in order" if not faults else
                                            f": {len(faults)} faults"))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
