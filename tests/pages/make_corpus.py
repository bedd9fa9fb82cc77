#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes a corpus of text files to identify: our own sentences in several languages, each
encoded in its DOS page, its Windows page and UTF-8; one sentence and forty; plain, with
DOS frames and tables, with typographic quotes and the euro sign, with LF line ends; and
ASCII, empty and binary files. A manifest, manifest.tsv, gives for every file:
  name, language, the page it is written in (65001 for UTF-8, - for none), the kind
  (dos, windows, utf-8, ascii, empty, binary), sentences, variant
Usage: make_corpus.py FOLDER
"""
import os
import random
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sentences import ENGLISH, LANGUAGES  # noqa: E402

FRAME = ("\u2554" + "\u2550" * 30 + "\u2557", "\u2551", "\u255a" + "\u2550" * 30 + "\u255d")
TABLE_RULE = "\u251c" + "\u2500" * 12 + "\u253c" + "\u2500" * 12 + "\u2524"


def encode(text, page):
    """The text in the page; a character the page lacks becomes its letter without accent,
    or '?'."""
    codec = "utf-8" if page == 65001 else "cp%d" % page
    out = bytearray()
    for ch in text:
        try:
            out += ch.encode(codec)
        except UnicodeEncodeError:
            base = unicodedata.normalize("NFKD", ch)[0]
            try:
                out += base.encode(codec)
            except UnicodeEncodeError:
                out += b"?"
    return bytes(out)


def with_quotes(sentence, page, dos):
    """Typographic quotes and a euro amount where the page holds them, else plain ones."""
    if dos:
        return '"' + sentence.rstrip(".?!") + '", 15 EUR.'
    return "\u201c" + sentence.rstrip(".?!") + "\u201d \u2013 15 \u20ac."


def framed(lines):
    width = len(FRAME[0]) - 2
    out = [FRAME[0]]
    for line in lines:
        out.append(FRAME[1] + line[:width].ljust(width) + FRAME[1])
    out.append(FRAME[2])
    return out


def tabled(words):
    out = []
    for k, word in enumerate(words):
        out.append("\u2502" + word[:12].ljust(12) + "\u2502" + str(1000 * (k + 1)).rjust(12) +
                   "\u2502")
        out.append(TABLE_RULE)
    return out


def lines_of(pool, count, variant, page, dos, rng):
    sentences = [rng.choice(pool) for _ in range(count)]
    if variant == "quotes":
        sentences = [with_quotes(s, page, dos) for s in sentences]
    if variant == "frames" and dos:
        words = " ".join(sentences).split()
        return sentences[:count // 2] + framed(sentences[count // 2:]) + tabled(words[:6])
    return sentences


def write(folder, manifest, name, data, language, page, kind, count, variant):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
    manifest.append("\t".join([name, language, str(page), kind, str(count), variant]))


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(850)  # fixed: the same corpus every time
    manifest = []
    for language, (dos_page, windows_page, pool) in sorted(LANGUAGES.items()):
        for count in (1, 40):
            for variant in ("plain", "frames", "quotes", "lf"):
                for page, kind in ((dos_page, "dos"), (windows_page, "windows"),
                                   (65001, "utf-8")):
                    lines = lines_of(pool, count, variant, page, kind == "dos", rng)
                    end = b"\n" if variant == "lf" else b"\r\n"
                    data = end.join(encode(line, page) for line in lines) + end
                    name = "%s-%s-%d-%s.txt" % (language, page, count, variant)
                    write(folder, manifest, name, data, language, page, kind, count, variant)
    for count in (1, 40):
        lines = [rng.choice(ENGLISH) for _ in range(count)]
        write(folder, manifest, "en-ascii-%d.txt" % count, "\r\n".join(lines).encode() + b"\r\n",
              "en", "-", "ascii", count, "plain")
    write(folder, manifest, "empty.txt", b"", "-", "-", "empty", 0, "plain")
    binaries = {
        "random.bin": bytes(rng.randrange(256) for _ in range(4096)),
        "image.png": b"\x89PNG\r\n\x1a\n" + bytes(64) + bytes(rng.randrange(256) for _ in range(512)),
        "utf16.txt": "\ufeffLe comit\u00e9 a d\u00e9cid\u00e9.\r\n".encode("utf-16-le"),
        "program.elf": b"\x7fELF\x02\x01\x01" + bytes(57) + bytes(range(256)) * 4,
        "ones.bin": bytes([1, 2, 3, 4, 5, 6, 7, 8]) * 64,
    }
    for name, data in binaries.items():
        write(folder, manifest, name, data, "-", "-", "binary", 0, "plain")
    with open(os.path.join(folder, "manifest.tsv"), "w", encoding="utf-8") as f:
        f.write("\n".join(manifest) + "\n")


if __name__ == "__main__":
    main()
