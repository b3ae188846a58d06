#!/usr/bin/env python3
"""A model of the engine's FIB-position text road, for the benchmark's
"before" column while the engine itself is not at hand.

specified_road.py IN OUT: FIB at 512 (validated, with the forward walk for
ccpText 1), else the first marked FIB that validates; the header/footer
length taken off fcMac; the text at fcMac + fibOffset - ccpText - ccpHdd
snapped to 512 bytes and probed for its closing paragraph mark; 16-bit text
converted to Windows-1252. Writes the text to OUT; exit status 1 when none.
"""
import struct
import sys


def u16(d, o):
    return struct.unpack_from("<H", d, o)[0] if 0 <= o and o + 2 <= len(d) else 0


def u32(d, o):
    return struct.unpack_from("<I", d, o)[0] if 0 <= o and o + 4 <= len(d) else 0


def read_fib(d, off):
    off %= 65536
    return {"off": off, "ident": u16(d, off), "fcMac": u32(d, off + 28), "ccpText": u32(d, off + 76),
            "ccpHdd": u32(d, off + 84)}


def validate(d, fib):
    if fib["ident"] != 0xA5EC:
        return False, fib
    if fib["ccpText"] == 1:
        cand = fib["off"] + 512
        while cand < len(d):
            saved = fib
            nf = read_fib(d, cand)
            ok, nf = validate(d, nf)
            fib = nf if ok else saved
            cand += 512
            if fib["ccpText"] != 1:
                break
        return True, fib
    if fib["ccpText"] == 0 or fib["fcMac"] == 0:
        return False, fib
    return True, fib


def scan(d):
    p = d.find(b"\xec\xa5")
    while p != -1:
        if d[p + 34:p + 38] == b"\x62\x6a\x62\x6a":
            ok, fib = validate(d, read_fib(d, p))
            if ok:
                return fib
        p = d.find(b"\xec\xa5", p + 1)
    return None


def extract(d):
    ok, fib = validate(d, read_fib(d, 512))
    if not ok:
        fib = scan(d)
        if fib is None:
            return None
    n = fib["ccpHdd"]
    if n == 1:
        fib["fcMac"] = (fib["fcMac"] - 1) & 0xFFFFFFFF
    elif n > 1:
        fib["fcMac"] = (fib["fcMac"] - n - 1) & 0xFFFFFFFF
    ccp, hdd = fib["ccpText"], fib["ccpHdd"]
    start = (fib["fcMac"] + fib["off"] - ccp - hdd) & 0xFFFFFFFF
    if ccp == 0 or start == 0 or start >= len(d):
        return None
    rem = start % 512
    if rem == 256:
        start += 256
        if hdd:
            hdd -= 256
        else:
            ccp -= 256
    elif rem:
        start -= rem
        if hdd:
            hdd += rem
        else:
            ccp += rem
    ccp &= 0xFFFFFFFF
    if ccp == 0 or ccp > len(d):
        return None

    def at(o):
        return d[o] if 0 <= o < len(d) else 0

    wide = False
    if at(start + ccp - 1) == 0x0D:
        pass
    elif at(start + ccp - 2) == 0x0D:
        wide = True
    else:
        off = 512
        while off < len(d):
            if at(off + ccp - 1) == 0x0D:
                start = off
                break
            off += 512
        else:
            return None
    text = bytes(d[start:start + ccp]).ljust(ccp, b"\0")
    if wide:
        units = text[: len(text) // 2 * 2].decode("utf-16-le", errors="replace")
        units = units.split("\0", 1)[0]
        return units.encode("cp1252", errors="replace")
    return text


def main():
    with open(sys.argv[1], "rb") as f:
        d = f.read()
    t = extract(d)
    if t is None:
        sys.exit(1)
    with open(sys.argv[2], "wb") as f:
        f.write(t)


if __name__ == "__main__":
    main()
