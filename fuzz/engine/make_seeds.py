#!/usr/bin/env python3
"""Writes the fuzz target's starting inputs into corpus/: small compound
files made here from scratch, each showing one road through the full pass.
Run: python3 fuzz/engine/make_seeds.py (from the repository root or here)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus")
SIG = bytes([0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1])


def put(buf, off, data):
    if len(buf) < off + len(data):
        buf.extend(b"\0" * (off + len(data) - len(buf)))
    buf[off:off + len(data)] = data


def fib(ident=0xA5EC, flags=0, fc_mac=0, ccp_text=0, ccp_hdd=0):
    b = bytearray(512)
    struct.pack_into("<H", b, 0, ident)
    struct.pack_into("<H", b, 10, flags)
    struct.pack_into("<I", b, 28, fc_mac)
    b[34:38] = b"bjbj"
    struct.pack_into("<I", b, 76, ccp_text)
    struct.pack_into("<I", b, 84, ccp_hdd)
    return bytes(b)


def entry(name, start=0, size=0, kind=5):
    b = bytearray(128)
    u = name.encode("utf-16-le")
    b[0:len(u)] = u
    struct.pack_into("<H", b, 64, len(u) + 2)
    b[66] = kind
    struct.pack_into("<I", b, 116, start)
    struct.pack_into("<I", b, 120, size)
    return bytes(b)


def doc(text, fib_at=512, flags=0, hdd=b"", dir_sector=10, pictures=b"", sixteen=False):
    """Text at 1536 (FIB offset 512 + 1024), header/footer after it."""
    buf = bytearray()
    header = bytearray(512)
    header[0:8] = SIG
    struct.pack_into("<H", header, 30, 9)
    struct.pack_into("<I", header, 48, dir_sector)
    put(buf, 0, header)
    body = text.encode("utf-16-le") if sixteen else text
    text_at = fib_at + 1024
    put(buf, text_at, body)
    put(buf, text_at + len(body), hdd)
    ccp = len(text) if sixteen else len(text)
    fc_mac = 1024 + len(body) + len(hdd)
    if sixteen:
        fc_mac = 1024 + len(text) + len(hdd)
    put(buf, fib_at, fib(flags=flags, fc_mac=fc_mac, ccp_text=ccp, ccp_hdd=len(hdd)))
    pic_sector = dir_sector + 1
    put(buf, (dir_sector + 1) * 512, entry("Root Entry") + entry("Data", pic_sector, len(pictures)))
    if pictures:
        put(buf, (pic_sector + 1) * 512, pictures)
    return bytes(buf)


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    write("plain.doc", doc(b"Hello world.\rSecond paragraph\x0bwith a break.\r"))
    link = b'See \x13 HYPERLINK "http://example.org/" \x01\x14the site\x15 now.\r'
    write("hyperlink.doc", doc(link))
    table = b"Before\ra\x07b\x07\x07c\x07d\x07\x07After\r"
    write("table.doc", doc(table))
    write("header-footer.doc", doc(b"Body text\r", hdd=b"Head\r\rFoot\r\r"))
    gif = b"GIF89a" + struct.pack("<HHBBB", 1, 1, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff" + \
        b"\x21\xf9\x04\x01\0\0\0\0" + b"\x2c" + struct.pack("<HHHHB", 0, 0, 1, 1, 0) + b"\x02\x02\x44\x01\x00\x3b"
    jpeg = b"\xff\xd8\xff\xe0\x00\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0\xff\xd9"
    png = b"\x89PNG\r\n\x1a\n" + b"\0" * 12 + b"IEND\xae\x42\x60\x82"
    write("pictures.doc", doc(b"A\x01 picture \x01 and \x01 more\r", flags=0x0008, pictures=gif + jpeg + png))
    write("encrypted.doc", doc(b"Secret\r", flags=0x0100))
    write("sixteen-bit.doc", doc("Unicode caf\u00e9 text\r", sixteen=True))
    # FIB at 512 destroyed; an intact FIB further on.
    d = bytearray(doc(b"Moved text\r", fib_at=2048))
    put(d, 512, b"\xff" * 512)
    write("fib-elsewhere.doc", bytes(d))
    # A single-paragraph FIB at 512 with a real one a sector later.
    d = bytearray(doc(b"Walked text\r", fib_at=1024))
    put(d, 512, fib(fc_mac=1025, ccp_text=1))
    write("fib-walk.doc", bytes(d))
    d = bytearray(doc(b"No signature\r"))
    put(d, 0, b"\0" * 8)
    write("lost-signature.doc", bytes(d))


if __name__ == "__main__":
    main()
