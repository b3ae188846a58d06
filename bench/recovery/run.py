#!/usr/bin/env python3
"""Recovery benchmark: damage a sample of the corpus, recover the text of
each damaged file with tessaly-repair --text and with three peers (antiword,
catdoc, soffice --convert-to txt), and score each against the intact
document's text: word recall and precision, averaged per damage kind.

  bench/recovery/run.py [--build build] [--corpus DIR] [--sample 40] [--seed 1]
                        [--kinds signature,truncate,...] [--keep DIR]

The damage comes from the project's generator (build/tools/damage/tessaly-damage
KIND SEED IN OUT) when it is built; otherwise from the small recipes below.
The reference text is LibreOffice's text of the intact document. A tool that
is not installed or not built shows n/a.
"""
import argparse, collections, os, random, re, shutil, subprocess, sys, tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


# Fallback recipes, each (bytes, rng) -> bytes.
def _signature(b, rng):
    return b"TESSALY-DAMAGED-SIGNATUR" + b[24:]

def _truncate(b, rng):
    return b[: max(1024, len(b) * 2 // 3)]

def _fib(b, rng):
    return b[:512] + bytes(128) + b[640:] if len(b) > 640 else b

def _sectors(b, rng):
    out = bytearray(b)
    for _ in range(max(1, len(b) // 16384)):
        at = rng.randrange(512, max(513, len(b) - 512)) // 512 * 512
        out[at:at + 512] = bytes(rng.randrange(256) for _ in range(512))
    return bytes(out)

def _header(b, rng):
    out = bytearray(b)
    for at in range(0x2C, 0x200, 4):
        out[at:at + 4] = b"\xff\xff\xff\xff"
    return bytes(out)

# The damage generator's kinds (tools/damage/Damage.h).
DAMAGE_KINDS = ["lost-signature", "header-overwritten", "fat-destroyed", "directory-destroyed", "fib-zeroed",
                "truncated", "zeroed-bytes", "flipped-bytes"]

RECIPES = {"signature": _signature, "truncate": _truncate, "fib": _fib, "sectors": _sectors, "header": _header}

WORD = re.compile(r"\w+", re.UNICODE)


def words(text):
    return collections.Counter(w.lower() for w in WORD.findall(text) if len(w) > 1)


def score(ref, got):
    if not ref:
        return None
    inter = sum((ref & got).values())
    recall = inter / sum(ref.values())
    precision = inter / sum(got.values()) if got else 0.0
    return recall, precision


def run(cmd, timeout=120, **kw):
    try:
        return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout, **kw)
    except (subprocess.TimeoutExpired, FileNotFoundError):
        return None


def read_text(path, encoding="utf-8"):
    try:
        with open(path, "rb") as f:
            return f.read().decode(encoding, "replace")
    except OSError:
        return ""


def soffice_texts(files, outdir, profile):
    """Text of each file through LibreOffice, in one batch."""
    os.makedirs(outdir, exist_ok=True)
    if shutil.which("soffice") is None:
        return None
    run(["soffice", "-env:UserInstallation=file://" + profile, "--headless", "--convert-to", "txt:Text (encoded):UTF8",
         "--outdir", outdir] + files, timeout=1800)
    return {f: read_text(os.path.join(outdir, os.path.splitext(os.path.basename(f))[0] + ".txt")) for f in files}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("--corpus", default=os.environ.get("TESSALY_CORPUS_DIR", os.path.join(ROOT, "..", "shared", "corpus", "doc")))
    ap.add_argument("--sample", type=int, default=40)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--kinds", default=None)
    ap.add_argument("--keep")
    a = ap.parse_args()

    docs = sorted(os.path.join(d, f) for d, _, fs in os.walk(a.corpus) for f in fs if f.lower().endswith(".doc"))
    if not docs:
        print("no corpus at", a.corpus)
        return 0
    rng = random.Random(a.seed)
    docs = rng.sample(docs, min(a.sample, len(docs)))
    work = a.keep or tempfile.mkdtemp(prefix="tessaly-bench-")
    # A private registry naming Word 2003, a private server profile and work folder.
    os.environ["TESSALY_REGISTRY"] = os.path.join(work, "registry.ini")
    os.environ["XDG_CACHE_HOME"] = os.path.join(work, "cache")
    os.environ["TMPDIR"] = os.path.join(work, "tmp")
    os.makedirs(os.environ["TMPDIR"], exist_ok=True)
    with open(os.environ["TESSALY_REGISTRY"], "w") as f:
        f.write("[HKEY_CLASSES_ROOT\\Word.Application\\CurVer]\n@=REG_SZ:Word.Application.11\n")
    profile = os.path.join(work, "profile")
    repair = os.path.join(a.build, "src", "cli", "repair", "tessaly-repair")
    damage = os.path.join(a.build, "tools", "damage", "tessaly-damage")
    ours_label = "tessaly-repair"
    if not os.access(repair, os.X_OK):
        repair = os.path.join(a.build, "bench", "recovery", "tessaly-repair-standin")
        ours_label = "tessaly-repair with the test build's engine stand-ins (no full pass)"
    have_ours = os.access(repair, os.X_OK)
    have_damage = os.access(damage, os.X_OK)

    # Reference: the intact documents' text. Documents LibreOffice cannot read give no reference and are left out.
    intact = os.path.join(work, "intact")
    os.makedirs(intact, exist_ok=True)
    copies = []
    for i, d in enumerate(docs):
        c = os.path.join(intact, "d%03d.doc" % i)
        shutil.copyfile(d, c)
        copies.append(c)
    ref_text = soffice_texts(copies, os.path.join(work, "ref"), profile) or {}
    refs = {i: words(ref_text.get(c, "")) for i, c in enumerate(copies)}

    tools = ["tessaly", "antiword", "catdoc", "soffice"]
    print("damage: %s; corpus sample %d; ours %s" % ("tessaly-damage" if have_damage else "built-in recipes", len(docs),
                                                   ours_label if have_ours else "not built"))
    print("%-10s %-9s %5s %8s %9s %7s" % ("kind", "tool", "files", "recall", "precision", "empty"))
    if a.kinds is None:
        a.kinds = ",".join(DAMAGE_KINDS if have_damage else RECIPES)
    for kind in a.kinds.split(","):
        kdir = os.path.join(work, kind)
        os.makedirs(kdir, exist_ok=True)
        damaged = {}
        for i, c in enumerate(copies):
            if not refs[i]:
                continue
            out = os.path.join(kdir, "d%03d.doc" % i)
            if have_damage:
                r = run([damage, kind, str(a.seed + i), c, out])
                if r is None or r.returncode != 0:
                    continue
            else:
                with open(c, "rb") as f:
                    data = RECIPES[kind](f.read(), random.Random(a.seed + i))
                with open(out, "wb") as f:
                    f.write(data)
            damaged[i] = out
        got = {t: {} for t in tools}
        for i, path in damaged.items():
            if have_ours:
                outdir = os.path.join(kdir, "ours%03d" % i)
                os.makedirs(outdir, exist_ok=True)
                run([repair, "--text", "--out", outdir, path], timeout=300)
                # Our text output is in the ANSI code page (Windows-1252).
                texts = [read_text(os.path.join(outdir, f), "cp1252") for f in os.listdir(outdir) if f.endswith(".txt")]
                got["tessaly"][i] = words("".join(texts))
            for tool, cmd in (("antiword", ["antiword", path]), ("catdoc", ["catdoc", "-d", "utf-8", path])):
                if shutil.which(tool):
                    r = run(cmd)
                    got[tool][i] = words(r.stdout.decode("utf-8", "replace") if r else "")
        sof = soffice_texts(list(damaged.values()), os.path.join(kdir, "soffice"), profile)
        if sof is not None:
            for i, path in damaged.items():
                got["soffice"][i] = words(sof.get(path, ""))
        for tool in tools:
            if not got[tool]:
                print("%-10s %-9s %5s %8s %9s %7s" % (kind, tool, len(damaged), "n/a", "n/a", "n/a"))
                continue
            scores = [score(refs[i], got[tool][i]) for i in damaged]
            rec = sum(s[0] for s in scores) / len(scores)
            pre = sum(s[1] for s in scores) / len(scores)
            empty = sum(1 for i in damaged if not got[tool][i])
            print("%-10s %-9s %5d %8.3f %9.3f %7d" % (kind, tool, len(scores), rec, pre, empty))
    if not a.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
