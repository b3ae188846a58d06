#!/usr/bin/env python3
"""Word recall and precision of an extracted text against a reference text.

score.py REFERENCE CANDIDATE [--candidate-encoding cp1252]
Prints "recall precision" (multiset of lower-cased words, 0..1).
Words are runs of letters and digits; field codes and marks count as
separators. The reference is first reduced to what the ANSI code page can
hold (the engine's text is 8-bit), so letters outside it do not count.
A missing or empty candidate scores 0 0.
"""
import collections
import re
import sys

WORD = re.compile(r"\w+", re.UNICODE)


def words(text):
    return collections.Counter(w.lower() for w in WORD.findall(text))


def read(path, encoding):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        return ""
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
        encoding = "utf-8"
    return data.decode(encoding, errors="replace")


def score(reference, candidate, codepage="cp1252"):
    reference = reference.encode(codepage, errors="replace").decode(codepage)
    ref, cand = words(reference), words(candidate)
    common = sum((ref & cand).values())
    recall = common / sum(ref.values()) if ref else (1.0 if not cand else 0.0)
    precision = common / sum(cand.values()) if cand else (1.0 if not ref else 0.0)
    return recall, precision


def main(argv):
    enc = "cp1252"
    if "--candidate-encoding" in argv:
        i = argv.index("--candidate-encoding")
        enc = argv[i + 1]
        del argv[i:i + 2]
    ref = read(argv[1], "utf-8")
    cand = read(argv[2], enc)
    r, p = score(ref, cand, enc)
    print(f"{r:.4f} {p:.4f}")


if __name__ == "__main__":
    main(sys.argv)
