#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes about SIZE_MB of French-like DOS text in CP850 with CR LF line ends.

A few MB of random lines are made once and written again and again up to the size.
With --one-line the same text comes without any line end: a single line of SIZE_MB.
"""
import random
import sys

WORDS = (
    "le la les un une des du de et à où été être café élève père mère frère "
    "garçon français déjà très après côté fenêtre forêt hôtel château île "
    "goût août maïs Noël naïf répondre écrire lettre société année première "
    "dernière réunion numéro adresse Paris Lyon Genève Zürich rue avenue "
    "prix total payé reçu facture envoyé commande qualité quantité délai "
    "cf. env. M. Mme Mlle voir chapitre page ci-joint veuillez agréer "
    "l'expression sentiments distingués"
).split()
PUNCT = ["", "", "", "", ",", ";", ":", "."]


def line(rng):
    target = rng.randint(20, 120)
    out = []
    size = 0
    while size < target:
        word = rng.choice(WORDS) + rng.choice(PUNCT)
        out.append(word)
        size += len(word) + 1
    text = " ".join(out)[:target].rstrip()
    return text[0].upper() + text[1:]


def main():
    args = [a for a in sys.argv[1:] if a != "--one-line"]
    one_line = len(args) < len(sys.argv) - 1
    size = int(float(args[0]) * 1_000_000)
    rng = random.Random(850)
    end = " " if one_line else "\r\n"
    chunk = "".join(line(rng) + end for _ in range(60000)).encode("cp850")
    with open(args[1], "wb") as out:
        if one_line:
            written = 0
            while written < size:
                part = chunk[: size - written]
                out.write(part)
                written += len(part)
            return
        written = 0
        while written + len(chunk) <= size:
            out.write(chunk)
            written += len(chunk)
        # The last part ends on a line end, so every copy of the data stays line-aligned.
        cut = chunk.rfind(b"\r\n", 0, max(size - written, 0))
        if cut >= 0:
            out.write(chunk[: cut + 2])


if __name__ == "__main__":
    main()
