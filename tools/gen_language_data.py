#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes src/pages/language_data.cpp: for each language the carried code pages serve,
how often each letter occurs in its words (100 x the natural log of its share, lower case),
and for every character of the upper half of a carried page, its kind (a letter and its
case, box drawing, punctuation, ...) and its folded form (lower case, Arabic presentation
forms as their letters).

The letters are counted in Debian's word lists and hunspell dictionaries, which must be
installed when the tool runs (not when the program is built or run):
  apt-get install wfrench wngerman wspanish witalian wportuguese wpolish wdanish wswedish \
      wdutch wbulgarian wukrainian wnorwegian wamerican hunspell-ru hunspell-el hunspell-cs \
      hunspell-hu hunspell-tr hunspell-he hunspell-ar hunspell-lt hunspell-lv hunspell-vi \
      hunspell-sk hunspell-sl hunspell-hr hunspell-ro hunspell-is hunspell-th hunspell-sr \
      hunspell-be

Usage: tools/gen_language_data.py [output path]
"""
import math
import os
import sys
import unicodedata

OEM_PAGES = [437, 737, 775, 850, 852, 855, 857, 858, 860, 861, 862, 863, 864, 865, 866, 869]
ANSI_PAGES = [874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258]

WESTERN_DOS = [850, 858, 437]
# Language code, word list (a /usr/share/dict name, or a hunspell dictionary with its
# encoding), and the pages written in that language.
LANGUAGES = [
    ("en", "dict:american-english", [437, 850, 858, 1252]),
    ("fr", "dict:french", WESTERN_DOS + [863, 1252]),
    ("de", "dict:ngerman", WESTERN_DOS + [1252]),
    ("es", "dict:spanish", WESTERN_DOS + [1252]),
    ("it", "dict:italian", WESTERN_DOS + [1252]),
    ("pt", "dict:portuguese", [850, 858, 860, 1252]),
    ("nl", "dict:dutch", WESTERN_DOS + [1252]),
    ("da", "dict:danish", [850, 858, 865, 1252]),
    ("sv", "dict:swedish", WESTERN_DOS + [1252]),
    ("nb", "dict:bokmaal", [850, 858, 865, 1252]),
    ("is", "hunspell:is_IS", [861, 850, 858, 1252]),
    ("pl", "dict:polish", [852, 1250]),
    ("cs", "hunspell:cs_CZ", [852, 1250]),
    ("sk", "hunspell:sk_SK", [852, 1250]),
    ("hu", "hunspell:hu_HU", [852, 1250]),
    ("hr", "hunspell:hr_HR", [852, 1250]),
    ("sl", "hunspell:sl_SI", [852, 1250]),
    ("ro", "hunspell:ro_RO", [852, 1250]),
    ("ru", "hunspell:ru_RU", [866, 855, 1251]),
    ("uk", "dict:ukrainian", [866, 855, 1251]),
    ("bg", "dict:bulgarian", [866, 855, 1251]),
    ("be", "hunspell:be_BY", [866, 855, 1251]),
    ("sr", "hunspell:sr_RS", [866, 855, 1251]),
    ("el", "hunspell:el_GR", [737, 869, 1253]),
    ("tr", "hunspell:tr_TR", [857, 1254]),
    ("he", "hunspell:he_IL", [862, 1255]),
    ("ar", "hunspell:ar", [864, 1256]),
    ("lt", "hunspell:lt_LT", [775, 1257]),
    ("lv", "hunspell:lv_LV", [775, 1257]),
    ("vi", "hunspell:vi_VN", [1258]),
    ("th", "hunspell:th_TH", [874]),
]

# A letter rarer than this in a language is left out: the program gives it the floor.
MIN_SHARE = 2e-5
MAX_WORDS = 400000  # the first ones of a long list are enough for letter shares

# The kinds of characters, as src/pages/language_data.h numbers them.
KIND_SYMBOL, KIND_LOWER, KIND_UPPER, KIND_BOX, KIND_UNDEFINED, KIND_MARK, KIND_DIGIT, \
    KIND_PUNCTUATION, KIND_SPACE, KIND_LETTER, KIND_APOSTROPHE = range(11)

# Characters that running text holds often: quotes, dashes, the ellipsis, currency.
# The apostrophe stands inside words ("aujourd'hui", "don't").
APOSTROPHES = set("\u2019\u02bc")
TEXT_PUNCTUATION = set("\u00ab\u00bb\u2018\u201a\u201c\u201d\u201e\u2013\u2014\u2026"
                       "\u20ac\u00a3\u00bf\u00a1\u00b0\u00a7\u00b7\u2039\u203a\u060c\u061b"
                       "\u061f\u066a\u00a2\u00a5")


def words_of(source):
    kind, name = source.split(":")
    if kind == "dict":
        path = "/usr/share/dict/" + name
        with open(path, "rb") as f:
            data = f.read()
        try:
            text = data.decode("utf-8")
        except UnicodeDecodeError:
            text = data.decode("latin-1")
        lines = text.splitlines()
    else:
        base = "/usr/share/hunspell/" + name
        encoding = "utf-8"
        with open(base + ".aff", "rb") as f:
            for raw in f:
                if raw.startswith(b"SET "):
                    encoding = raw[4:].strip().decode("ascii").lower().replace("microsoft-", "")
                    break
        encoding = {"iso8859-7": "iso8859_7", "iso8859-13": "iso8859_13",
                    "iso8859-2": "iso8859_2", "iso8859-1": "latin-1",
                    "koi8-r": "koi8_r", "koi8-u": "koi8_u"}.get(encoding, encoding)
        with open(base + ".dic", "rb") as f:
            lines = f.read().decode(encoding, errors="replace").splitlines()[1:]
        lines = [line.split("/")[0].split("\t")[0].split(" ")[0] for line in lines]
    return lines[:MAX_WORDS]


def vietnamese_form(text):
    """The characters cp1258 holds: a precomposed letter where the page has it, combining
    tone marks after it."""
    out = []
    for ch in unicodedata.normalize("NFC", text):
        try:
            ch.encode("cp1258")
            out.append(ch)
            continue
        except UnicodeEncodeError:
            pass
        parts = unicodedata.normalize("NFD", ch)
        base, marks = parts[0], list(parts[1:])
        while marks:
            composed = unicodedata.normalize("NFC", base + marks[0])
            try:
                composed.encode("cp1258")
            except UnicodeEncodeError:
                break
            base = composed
            marks.pop(0)
        out.append(base)
        out.extend(marks)
    return "".join(out)


def fold(ch):
    low = ch.lower()
    if len(low) != 1:
        low = ch
    compat = unicodedata.normalize("NFKC", low)
    return compat if len(compat) == 1 else low


def letter_shares(code, source):
    counts = {}
    total = 0
    for word in words_of(source):
        if code == "vi":
            word = vietnamese_form(word)
        for ch in word:
            if not (unicodedata.category(ch).startswith("L") or unicodedata.category(ch) == "Mn"):
                continue
            folded = fold(ch)
            counts[folded] = counts.get(folded, 0) + 1
            total += 1
    shares = {ch: n / total for ch, n in counts.items() if n / total >= MIN_SHARE}
    return dict(sorted(shares.items()))


def kind_of(ch):
    if ch is None or ch == "\ufffd":
        return KIND_UNDEFINED
    o = ord(ch)
    cat = unicodedata.category(ch)
    if 0x2500 <= o <= 0x25A0:
        return KIND_BOX
    if cat == "Ll":
        return KIND_LOWER
    if cat == "Lu" or cat == "Lt":
        return KIND_UPPER
    if cat.startswith("L"):
        return KIND_LETTER
    if cat == "Mn":
        return KIND_MARK
    if cat == "Nd":
        return KIND_DIGIT
    if cat in ("Cc", "Cf", "Co", "Cn"):
        return KIND_UNDEFINED
    if cat == "Zs":
        return KIND_SPACE
    if ch in APOSTROPHES:
        return KIND_APOSTROPHE
    if ch in TEXT_PUNCTUATION:
        return KIND_PUNCTUATION
    return KIND_SYMBOL


def page_chars(page):
    chars = []
    for b in range(0x80, 0x100):
        try:
            chars.append(bytes([b]).decode("cp%d" % page))
        except UnicodeDecodeError:
            chars.append(None)
    if page == 864:
        chars.append("\u066a")  # 0x25
    return chars


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "pages",
                                                              "language_data.cpp")
    characters = set()
    for page in OEM_PAGES + ANSI_PAGES:
        for ch in page_chars(page):
            if ch is not None and len(ch) == 1:
                characters.add(ch)
    infos = sorted((ord(ch), ord(fold(ch)), kind_of(ch)) for ch in characters)

    tables = [(code, letter_shares(code, source), pages) for code, source, pages in LANGUAGES]
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write("// SPDX-License-Identifier: MIT\n")
        out.write("// Generated by tools/gen_language_data.py; do not edit by hand.\n")
        out.write("// Letter shares of the languages the carried code pages serve, counted in\n")
        out.write("// Debian's word lists, and the kind of every character of the pages' upper\n")
        out.write("// halves.\n\n")
        out.write('#include "pages/language_data.h"\n\n')
        out.write("namespace glossek::language_data {\n\n")
        out.write("namespace {\n\n")
        for code, shares, pages in tables:
            out.write("constexpr LetterWeight kLetters_%s[] = {\n" % code)
            items = ["{0x%04X, %d}" % (ord(ch), round(100 * math.log(share)))
                     for ch, share in shares.items()]
            for row in range(0, len(items), 6):
                out.write("    " + ", ".join(items[row:row + 6]) + ",\n")
            out.write("};\n")
            out.write("constexpr int kPages_%s[] = {%s};\n\n" % (code, ", ".join(map(str, pages))))
        out.write("}  // namespace\n\n")
        out.write("const Language kLanguages[] = {\n")
        for code, shares, pages in tables:
            out.write('    {"%s", kLetters_%s, %d, kPages_%s, %d},\n'
                      % (code, code, len(shares), code, len(pages)))
        out.write("};\n")
        out.write("const unsigned kLanguageCount = %d;\n\n" % len(tables))
        out.write("const CharInfo kCharInfo[] = {\n")
        for row in range(0, len(infos), 4):
            out.write("    " + " ".join("{0x%04X, 0x%04X, %d}," % info
                                        for info in infos[row:row + 4]) + "\n")
        out.write("};\n")
        out.write("const unsigned kCharInfoCount = %d;\n\n" % len(infos))
        out.write("}  // namespace glossek::language_data\n")


if __name__ == "__main__":
    main()
