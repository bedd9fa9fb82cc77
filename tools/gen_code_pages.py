#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes src/pages/code_page_data.cpp: one-for-one byte tables between
every supported DOS (OEM) code page and every Windows (ANSI) code page, with
the entries of each that are best fits rather than the same character; and,
for UTF-8 as the Windows page, the character of every DOS byte and the DOS
byte of every Unicode character that some DOS page holds or has a fit for.

Linux has no OEM/ANSI pair of its own, so the program carries these tables.
The character repertoire of each page comes from Python's cpNNN codecs.

Usage: tools/gen_code_pages.py [output path]
"""

import codecs
import os
import sys
import unicodedata

OEM_PAGES = [437, 737, 775, 850, 852, 855, 857, 858, 860, 861, 862, 863, 864, 865, 866, 869]
ANSI_PAGES = [874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258]

QUESTION = 0x3F

# Python's cp864 (like glibc's) decodes 0x25 as U+066A ARABIC PERCENT SIGN, so an
# ASCII '%' has no exact home in that page and U+066A none in the others; each
# falls back to the other. The same table holds the hand-picked best fits that
# NFKD cannot find. Candidates are tried in order; the first present wins.
EXTRA_FITS = {
    "\u066a": "%",
    "%": "\u066a",
    "\u00df": "s",  # sharp s: "ss" would need two bytes
    "\u0152": "O", "\u0153": "o",  # OE ligature
    "\u00c6": "A", "\u00e6": "a",  # AE ligature
    "\u00d8": "O", "\u00f8": "o",
    "\u0110": "D", "\u0111": "d", "\u00d0": "D", "\u00f0": "d",
    "\u0141": "L", "\u0142": "l",
    "\u0126": "H", "\u0127": "h",
    "\u0166": "T", "\u0167": "t",
    "\u0131": "i",
    "\u2018": "'", "\u2019": "'", "\u201a": "'", "\u201b": "'", "\u2032": "'",
    "\u00b4": "'", "\u00a8": '"', "\u00af": "-",
    "\u201c": '"', "\u201d": '"', "\u201e": '"', "\u201f": '"', "\u2033": '"',
    "\u00ab": '"', "\u00bb": '"',
    "\u2039": "<", "\u203a": ">",
    "\u2010": "-", "\u2011": "-", "\u2012": "-", "\u2013": "-", "\u2014": "-",
    "\u2015": "-", "\u2212": "-", "\u00ad": "-",
    "\u2026": ".",
    "\u2022": "\u00b7*", "\u2219": "\u00b7.", "\u00b7": "\u2219.",
    "\u00a6": "|", "\u0192": "f", "\u2030": "%",
    "\u00d7": "x", "\u00f7": ":",
    "\u2264": "<", "\u2265": ">", "\u2261": "=", "\u2248": "~",
    "\u00a0": " ",
    "\u060c": ",", "\u061b": ";", "\u061f": "?",  # Arabic punctuation
}

BOX_DIRECTIONS = {
    "HORIZONTAL": {"L", "R"}, "VERTICAL": {"U", "D"},
    "LEFT": {"L"}, "RIGHT": {"R"}, "UP": {"U"}, "DOWN": {"D"},
}


def decode_page(page):
    """256 entries: the character of each byte, None where undefined."""
    chars = []
    for b in range(256):
        if b < 0x20 or b == 0x7F:
            chars.append(chr(b))  # the same control characters in every page
            continue
        try:
            chars.append(bytes([b]).decode("cp%d" % page))
        except UnicodeDecodeError:
            chars.append(None)
    return chars


def box_fit(ch):
    name = unicodedata.name(ch, "")
    if "DIAGONAL CROSS" in name:
        return "X"
    if "DIAGONAL UPPER RIGHT TO LOWER LEFT" in name:
        return "/"
    if "DIAGONAL UPPER LEFT TO LOWER RIGHT" in name:
        return "\\"
    directions = set()
    for word in name.split():
        directions |= BOX_DIRECTIONS.get(word, set())
    if directions and directions <= {"L", "R"}:
        return "-"
    if directions and directions <= {"U", "D"}:
        return "|"
    return "+"


def base_letters(ch):
    """The characters left once NFKD has split off accents and marks."""
    return "".join(c for c in unicodedata.normalize("NFKD", ch)
                   if not unicodedata.combining(c))


def candidates(ch):
    """Stand-ins for a character, best first."""
    found = list(EXTRA_FITS.get(ch, ""))
    base = base_letters(ch)
    # NFKD turns spacing accents such as U+00A8 into a space, which hides them.
    if len(base) == 1 and base != ch and (base != " " or unicodedata.category(ch) == "Zs"):
        found.append(base)
        found.extend(EXTRA_FITS.get(base, ""))
    elif len(base) > 1 and "LIGATURE" in unicodedata.name(ch, ""):
        found.append(base[0])
    if unicodedata.decimal(ch, None) is not None:
        found.append(str(unicodedata.decimal(ch)))  # Arabic-Indic and other digits
    code = ord(ch)
    if 0x2500 <= code <= 0x257F:
        found.append(box_fit(ch))
    elif 0x2580 <= code <= 0x259F:
        found.append("#")  # blocks and shades
    return found


class Page:
    def __init__(self, number):
        self.number = number
        self.chars = decode_page(number)
        self.byte_of = {c: b for b, c in enumerate(self.chars) if c is not None}
        # Presentation forms by the character they stand for, so a plain letter can
        # land on one (cp864 holds Arabic letters only as isolated/final forms).
        # Forms of exactly that character come before forms of it with a mark.
        self.forms_of = {}
        for b, c in enumerate(self.chars):
            if c is None or b < 0x20 or b == 0x7F:
                continue
            composed = unicodedata.normalize("NFKC", c)
            base = base_letters(c)
            if len(composed) == 1 and composed != c:
                self.forms_of.setdefault(composed, []).append((0, b))
            if len(base) == 1 and base != c and base != composed:
                self.forms_of.setdefault(base, []).append((1, b))
        for found in self.forms_of.values():
            found.sort(key=lambda rank_byte: (
                rank_byte[0],
                0 if "ISOLATED" in unicodedata.name(self.chars[rank_byte[1]], "") else 1,
                rank_byte[1]))


def printable(b):
    return b is not None and b >= 0x20 and b != 0x7F


def map_char(ch, target):
    """The byte of `target` for a character that is no control: itself, a best fit or '?'."""
    exact = target.byte_of.get(ch)
    if exact is not None:
        assert printable(exact), (target.number, ch)
        return exact
    for candidate in candidates(ch):
        fit = target.byte_of.get(candidate)
        if printable(fit):
            return fit
    forms = target.forms_of.get(ch)
    if forms:
        return forms[0][1]
    return QUESTION


def is_exact(ch, target, b):
    return target.chars[b] == ch


def map_byte(b, source, target):
    """The target byte of a source byte, and whether it is the same character."""
    ch = source.chars[b]
    if b < 0x20 or b == 0x7F:
        return b, True
    if ch is None:
        return QUESTION, False
    result = map_char(ch, target)
    return result, is_exact(ch, target, result)


def table(source, target):
    """The 256 target bytes, and the 256 flags of those that are no exact match."""
    pairs = [map_byte(b, source, target) for b in range(256)]
    result = [byte for byte, _ in pairs]
    lossy = [not exact for _, exact in pairs]
    assert result[0] == 0
    for b in range(256):
        if b >= 0x20 and b != 0x7F:
            assert printable(result[b]), (source.number, target.number, b)
    return result, lossy


def bitmap(flags):
    """256 flags as 32 bytes, bit (b & 7) of byte (b >> 3) for byte b."""
    return [sum(1 << k for k in range(8) if flags[8 * i + k]) for i in range(32)]


def unicode_fits(pages):
    """Every character from U+0080 up that some DOS page holds or has a fit for, in
    order, and for each page the byte it gets there ('?' where none)."""
    found = {}
    for code in range(0x80, 0x110000):
        if 0xD800 <= code < 0xE000:
            continue
        ch = chr(code)
        if unicodedata.category(ch) in ("Cn", "Co"):
            continue
        row = [map_char(ch, page) for page in pages]
        if any(b != QUESTION for b in row):
            found[code] = row
    codes = sorted(found)
    return codes, [[found[code][k] for code in codes] for k in range(len(pages))]


def check_ascii(page):
    # The UTF-8 decoder takes ASCII as the same byte, without a table (cp864's '%' lands
    # on its Arabic percent sign, 0x25, by the fits above).
    for b in range(0x20, 0x7F):
        assert map_char(chr(b), page) == b, (page.number, b)


def oem_chars(page):
    """The character of each byte as UTF-16, U+FFFD where the page has none."""
    values = []
    for ch in page.chars:
        assert ch is None or (len(ch) == 1 and ord(ch) <= 0xFFFF and ord(ch) != 0xFFFD)
        values.append(0xFFFD if ch is None else ord(ch))
    return values


def emit_table(out, values):
    for row in range(0, len(values), 16):
        out.write("        " + " ".join("0x%02X," % v for v in values[row:row + 16]) + "\n")


def display_table(page):
    chars = decode_page(page.number)
    values = []
    for b, ch in enumerate(chars):
        if b < 0x20:
            values.append(0x2400 + b)
        elif b == 0x7F:
            values.append(0x2421)
        elif ch is None or len(ch) != 1 or ord(ch) > 0xFFFF:
            values.append(0xFFFD)
        else:
            values.append(ord(ch))
    return values


def emit_unicode(out, values, digits=4):
    for row in range(0, len(values), 8):
        out.write("        " + " ".join("0x%0*X," % (digits, v) for v in values[row:row + 8])
                  + "\n")


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "pages", "code_page_data.cpp")
    oem = [Page(p) for p in OEM_PAGES]
    ansi = [Page(p) for p in ANSI_PAGES]
    n_oem, n_ansi = len(OEM_PAGES), len(ANSI_PAGES)
    for o in oem:
        check_ascii(o)
    fit_codes, fit_bytes = unicode_fits(oem)
    n_fits = len(fit_codes)
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write("// SPDX-License-Identifier: MIT\n")
        out.write("// Generated by tools/gen_code_pages.py; do not edit by hand.\n")
        out.write("// Byte tables between each DOS (OEM) and Windows (ANSI) code page.\n\n")
        out.write("namespace glossek::code_page_data {\n\n")
        out.write("extern const int kOemPages[%d];\n" % n_oem)
        out.write("extern const int kAnsiPages[%d];\n" % n_ansi)
        out.write("extern const unsigned char kTables[%d][%d][2][256];\n" % (n_oem, n_ansi))
        out.write("extern const unsigned char kLossy[%d][%d][2][32];\n\n" % (n_oem, n_ansi))
        out.write("const int kOemPages[%d] = {%s};\n" % (n_oem, ", ".join(map(str, OEM_PAGES))))
        out.write("const int kAnsiPages[%d] = {%s};\n\n" % (n_ansi, ", ".join(map(str, ANSI_PAGES))))
        out.write("// [oem][ansi][0] is OEM to ANSI, [oem][ansi][1] is ANSI to OEM.\n")
        out.write("const unsigned char kTables[%d][%d][2][256] = {\n" % (n_oem, n_ansi))
        lossy = {}
        for o in oem:
            out.write("{\n")
            for a in ansi:
                to_ansi, to_ansi_lossy = table(o, a)
                to_oem, to_oem_lossy = table(a, o)
                lossy[o.number, a.number] = (bitmap(to_ansi_lossy), bitmap(to_oem_lossy))
                out.write("    {\n")
                out.write("    {  // %d -> %d\n" % (o.number, a.number))
                emit_table(out, to_ansi)
                out.write("    },\n")
                out.write("    {  // %d -> %d\n" % (a.number, o.number))
                emit_table(out, to_oem)
                out.write("    },\n")
                out.write("    },\n")
            out.write("},\n")
        out.write("};\n\n")
        out.write("// The entries of each table above that are a best fit or '?' rather than the\n")
        out.write("// same character: bit (b & 7) of byte (b >> 3) for byte b.\n")
        out.write("const unsigned char kLossy[%d][%d][2][32] = {\n" % (n_oem, n_ansi))
        for o in oem:
            out.write("{\n")
            for a in ansi:
                out.write("    {  // %d and %d\n" % (o.number, a.number))
                for bits in lossy[o.number, a.number]:
                    out.write("    {\n")
                    emit_table(out, bits)
                    out.write("    },\n")
                out.write("    },\n")
            out.write("},\n")
        out.write("};\n\n")
        out.write("// How each byte of a Windows page is shown on screen: control bytes as their\n")
        out.write("// visible symbols (U+2400 block), undefined bytes as U+FFFD.\n")
        out.write("extern const char16_t kAnsiDisplay[%d][256];\n" % n_ansi)
        out.write("const char16_t kAnsiDisplay[%d][256] = {\n" % n_ansi)
        for a in ansi:
            out.write("    {  // %d\n" % a.number)
            emit_unicode(out, display_table(a))
            out.write("    },\n")
        out.write("};\n\n")
        out.write("// UTF-8 as the Windows page. The character of each byte of a DOS page, U+FFFD\n")
        out.write("// where the page has none.\n")
        out.write("extern const char16_t kOemChars[%d][256];\n" % n_oem)
        out.write("const char16_t kOemChars[%d][256] = {\n" % n_oem)
        for o in oem:
            out.write("    {  // %d\n" % o.number)
            emit_unicode(out, oem_chars(o))
            out.write("    },\n")
        out.write("};\n\n")
        out.write("// Every character from U+0080 up that some DOS page holds or has a best fit for,\n")
        out.write("// in order; then the byte each page gives it, '?' where it has none.\n")
        out.write("extern const unsigned kFitCount;\n")
        out.write("extern const char32_t kFitCodePoints[];\n")
        out.write("extern const unsigned char* const kFitBytes[%d];\n" % n_oem)
        out.write("const unsigned kFitCount = %d;\n" % n_fits)
        out.write("const char32_t kFitCodePoints[%d] = {\n" % n_fits)
        emit_unicode(out, fit_codes, 5)
        out.write("};\n")
        for o, row in zip(oem, fit_bytes):
            out.write("const unsigned char kFitBytes%d[%d] = {\n" % (o.number, n_fits))
            emit_table(out, row)
            out.write("};\n")
        out.write("const unsigned char* const kFitBytes[%d] = {%s};\n\n"
                  % (n_oem, ", ".join("kFitBytes%d" % o.number for o in oem)))
        out.write("}  // namespace glossek::code_page_data\n")


if __name__ == "__main__":
    main()
