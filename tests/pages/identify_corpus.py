#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Identifies the corpus of make_corpus.py with the real program (glossek --info) and prints
the confusion table: what each kind of file was read as, one sentence and forty, under the
pair of its own language, under that pair with UTF-8 as the Windows page, and under the
pair of another script, where the page it is written in should be suggested.

Fails (exit code 1) when a goal is missed:
  - under its own pair, every file of forty sentences is read right, and a file of one
    sentence right or unsure, never wrong;
  - every valid UTF-8 file with non-ASCII characters reads as utf-8, ASCII never as dos or
    windows, binary files as binary;
  - under another pair, the page a file of forty sentences is written in (or one that reads
    every byte of it alike) is suggested for at least 9 files in 10.
Usage: identify_corpus.py PATH/TO/glossek [CORPUS_FOLDER]
"""
import collections
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from sentences import LANGUAGES  # noqa: E402

KINDS = ["dos", "windows", "utf-8", "ascii", "empty", "binary"]
READINGS = KINDS + ["unsure"]


def identify(program, folder, names, oem, ansi):
    env = dict(os.environ, GLOSSEK_OEMCP=str(oem), GLOSSEK_ANSICP=str(ansi))
    for variable in ("LC_ALL", "LC_CTYPE", "DISPLAY", "WAYLAND_DISPLAY", "GLOSSEK_REPORT"):
        env.pop(variable, None)
    out = subprocess.run([program, "--info"] + names, cwd=folder, env=env, check=True,
                         capture_output=True, text=True).stdout
    results = {}
    for line in out.splitlines():
        fields = line.split("\t")
        results[fields[-1]] = (fields[0], fields[1], fields[9].split("=")[1])
    return results


def same_text(data, first, second):
    try:
        return data.decode("cp%s" % first) == data.decode("cp%s" % second)
    except (UnicodeDecodeError, LookupError):
        return False


def main():
    program = os.path.abspath(sys.argv[1])
    folder = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="glossek-corpus-")
    subprocess.run([sys.executable, os.path.join(HERE, "make_corpus.py"), folder], check=True)
    with open(os.path.join(folder, "manifest.tsv"), encoding="utf-8") as f:
        files = [line.rstrip("\n").split("\t") for line in f if line.strip()]

    confusion = collections.defaultdict(collections.Counter)  # (setting, size) -> counts
    faults = []
    suggested = [0, 0]  # right, all
    others = [name for name, language, *_ in files if language not in LANGUAGES]

    def judge(setting, name, expected, count, got):
        reading = got[0]
        size = "long" if count == "40" else "short"
        confusion[(setting, size)][(expected, reading)] += 1
        if reading == expected:
            return
        if expected in ("dos", "windows") and size == "short" and reading == "unsure":
            return
        faults.append("%s: %s under %s read as %s" % (name, expected, setting, reading))

    for language, (dos, windows, _) in sorted(LANGUAGES.items()):
        own = [f for f in files if f[1] == language]
        names = [f[0] for f in own]
        # ASCII, empty and binary files under the first pair only: they read alike under any.
        others = others if language == min(LANGUAGES) else []
        # The pair of the language, then with UTF-8 as its Windows page.
        for setting, oem, ansi in (("own pair", dos, windows), ("own DOS + UTF-8", dos, 65001)):
            got = identify(program, folder, names + others, oem, ansi)
            for name, _, page, kind, count, _ in own:
                with open(os.path.join(folder, name), "rb") as f:
                    expected = "ascii" if max(f.read(), default=0) < 0x80 else kind
                if ansi == 65001 and expected == "windows":
                    # Not a side of this pair: never dos.
                    size = "long" if count == "40" else "short"
                    confusion[(setting, size)][(expected, got[name][0])] += 1
                    if got[name][0] == "dos":
                        faults.append("%s: Windows text under %s read as dos" % (name, setting))
                    continue
                judge(setting, name, expected, count, got[name])
            for name, _, _, kind, count, _ in (f for f in files if f[0] in set(others)):
                judge(setting, name, kind, count, got[name])
        # Another script's pair: the page the text is written in reads better.
        oem, ansi = (866, 1251) if dos in (850, 852) else (850, 1252)
        got = identify(program, folder, names, oem, ansi)
        for name, _, page, kind, count, _ in own:
            if kind not in ("dos", "windows") or count != "40":
                continue
            with open(os.path.join(folder, name), "rb") as f:
                data = f.read()
            suggestion = got[name][2]
            right = suggestion != "-" and (suggestion == page or same_text(data, suggestion, page))
            suggested[0] += right
            suggested[1] += 1
            if not right:
                print("suggestion: %s under %d/%d suggested %s" % (name, oem, ansi, suggestion))

    for (setting, size), counts in sorted(confusion.items()):
        print("%s, %s files (rows: what they are; columns: what they read as)" % (setting, size))
        print("%-9s" % "" + "".join("%9s" % r for r in READINGS))
        for kind in KINDS:
            row = [counts[(kind, r)] for r in READINGS]
            if any(row):
                print("%-9s" % kind + "".join("%9d" % n for n in row))
        print()
    rate = suggested[0] / suggested[1] if suggested[1] else 1.0
    print("pages outside the pair suggested rightly: %d of %d files of forty sentences (%.0f%%,"
          " goal 90%%)" % (suggested[0], suggested[1], 100 * rate))
    for fault in faults:
        print("FAULT: " + fault)
    if rate < 0.9:
        faults.append("suggestions")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
