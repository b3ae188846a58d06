#!/usr/bin/env python3
"""Text recovery on damaged copies of the corpus, per damage kind.

recovery_bench.py --refs DIR --work DIR [--tool NAME=CMD ...] [--limit N]

For every document of the set (written by Word, not encrypted, not a fuzz
case, at least 20 words in its reference text) and every damage kind, a
damaged copy is written into the work folder and each tool is run on it.
A tool command holds {in} and {out}: it reads the damaged file and leaves
its text (Windows-1252, or UTF-8 for the peers) at {out}. The reference
text of a document is LibreOffice's export of the intact file, made once
by make_refs.sh into --refs as <source folder>/<base name>.txt.

Prints one table per tool: mean word recall and precision per damage kind.
"""
import argparse
import os
import random
import shlex
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import score  # noqa: E402

CORPUS = os.environ.get("TESSALY_CORPUS_DIR", os.path.join(os.path.dirname(__file__), "../../../shared/corpus/doc"))


def flags_of(field):
    return dict(kv.split("=", 1) for kv in field.split(";") if "=" in kv)


def documents(refs, limit):
    with open(os.path.join(CORPUS, "MANIFEST.tsv"), encoding="utf-8") as f:
        next(f)
        for line in f:
            cols = line.rstrip("\n").split("\t")
            path, flags = cols[0], flags_of(cols[7])
            if flags.get("writerGuess") != "msword" or flags.get("encrypted") == "1":
                continue
            if flags.get("hint") == "fuzz-or-security-test" or "dirparse" in flags:
                continue
            ref = os.path.join(refs, os.path.dirname(path), os.path.splitext(os.path.basename(path))[0] + ".txt")
            if not os.path.exists(ref):
                continue
            reftext = score.read(ref, "utf-8")
            if sum(score.words(reftext.encode("cp1252", "replace").decode("cp1252")).values()) < 20:
                continue
            yield path, flags, reftext
            limit -= 1
            if limit == 0:
                return


def header_fields(data):
    dir_start = struct.unpack_from("<I", data, 48)[0]
    first_fat = struct.unpack_from("<I", data, 76)[0]
    return dir_start, first_fat


def zero(data, offset, length):
    if 0 <= offset < len(data):
        end = min(len(data), offset + length)
        data[offset:end] = bytes(end - offset)


def damage(kind, data, flags, seed):
    """The damaged bytes, or None when the kind does not apply."""
    d = bytearray(data)
    rnd = random.Random(seed)
    if kind == "intact":
        return bytes(d)
    if kind == "signature":
        d[0:8] = bytes(rnd.randrange(256) for _ in range(8))
        return bytes(d)
    if kind == "header":
        zero(d, 0, 512)
        return bytes(d)
    if kind == "directory":
        dir_start, _ = header_fields(d)
        zero(d, (dir_start + 1) * 512, 512)
        return bytes(d)
    if kind == "fat":
        _, fat = header_fields(d)
        zero(d, (fat + 1) * 512, 512)
        return bytes(d)
    if kind == "fib-sector":
        if flags.get("wdMini") == "1" or "wdOffset" not in flags:
            return None
        zero(d, int(flags["wdOffset"]), 512)
        return bytes(d)
    if kind == "leading-bytes":
        return bytes(rnd.randrange(256) for _ in range(1000)) + bytes(d)
    if kind == "signature+leading":
        d[0:8] = bytes(8)
        return bytes(rnd.randrange(256) for _ in range(1000)) + bytes(d)
    raise ValueError(kind)


KINDS = ["intact", "signature", "header", "directory", "fat", "fib-sector", "leading-bytes", "signature+leading"]


def run_tool(cmd, src, out):
    if os.path.exists(out):
        os.remove(out)
    full = cmd.replace("{in}", shlex.quote(src)).replace("{out}", shlex.quote(out))
    # Peers can run away on damaged input: cap memory and time.
    full = "ulimit -v 1000000; " + full
    try:
        subprocess.run(full, shell=True, timeout=20, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        pass


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--refs", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--tool", action="append", default=[], help="NAME=CMD with {in} and {out}")
    ap.add_argument("--encoding", action="append", default=[], help="NAME=ENCODING of the tool's output")
    ap.add_argument("--kinds", default=",".join(KINDS))
    ap.add_argument("--limit", type=int, default=0)
    ap.add_argument("--details", help="file for one line per document, kind and tool")
    args = ap.parse_args()
    tools = [t.split("=", 1) for t in args.tool]
    encodings = dict(e.split("=", 1) for e in args.encoding)
    kinds = args.kinds.split(",")
    os.makedirs(args.work, exist_ok=True)
    totals = {(t, k): [0.0, 0.0, 0] for t, _ in tools for k in kinds}
    details = open(args.details, "w") if args.details else None
    for n, (path, flags, reftext) in enumerate(documents(args.refs, args.limit)):
        with open(os.path.join(CORPUS, path), "rb") as f:
            data = f.read()
        for k in kinds:
            damaged = damage(k, data, flags, seed=n)
            if damaged is None:
                continue
            src = os.path.join(args.work, "damaged.doc")
            with open(src, "wb") as f:
                f.write(damaged)
            for name, cmd in tools:
                out = os.path.join(args.work, "out.txt")
                run_tool(cmd, src, out)
                cand = score.read(out, encodings.get(name, "cp1252"))
                r, p = score.score(reftext, cand)
                t = totals[(name, k)]
                t[0] += r
                t[1] += p
                t[2] += 1
                if details:
                    details.write(f"{path}\t{k}\t{name}\t{r:.4f}\t{p:.4f}\n")
    for name, _ in tools:
        print(f"\n{name}: mean word recall / precision per damage kind")
        print("| damage | documents | recall | precision |")
        print("|---|---|---|---|")
        for k in kinds:
            r, p, c = totals[(name, k)]
            if c:
                print(f"| {k} | {c} | {r / c:.3f} | {p / c:.3f} |")


if __name__ == "__main__":
    main()
