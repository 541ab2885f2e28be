#!/usr/bin/env python3
"""Writes sample personal folders files for the demo: headers that pass the
stand-in Outlook's check (magic, client, version, sentinel, CRCs, length),
and a damaged one.

usage: make-sample-psts.py FOLDER NAME:KIND [NAME:KIND ...]
KIND: ansi | unicode | unicode36 | damaged | ost
"""
import os
import struct
import sys


def _table():
    table = []
    for i in range(256):
        c = i
        for _ in range(8):
            c = (0xEDB88320 ^ (c >> 1)) if c & 1 else c >> 1
        table.append(c)
    return table


TABLE = _table()


def pst_crc(data):
    """The header CRC: reflected CRC-32 table, started at 0, not inverted."""
    crc = 0
    for b in data:
        crc = TABLE[(crc ^ b) & 0xFF] ^ (crc >> 8)
    return crc


def pst_bytes(unicode, version, client=b"SM", length=16384):
    b = bytearray(length)
    b[0:4] = b"!BDN"
    b[8:10] = client
    struct.pack_into("<HHBB", b, 10, version, 19, 1, 1)
    if unicode:
        struct.pack_into("<Q", b, 184, length)
        b[512], b[513] = 0x80, 1
    else:
        struct.pack_into("<I", b, 168, length)
        b[460], b[461] = 0x80, 1
    struct.pack_into("<I", b, 4, pst_crc(b[8:8 + 471]))
    if unicode:
        struct.pack_into("<I", b, 524, pst_crc(b[8:8 + 516]))
    return bytes(b)


def sample(kind):
    if kind == "ansi":
        return pst_bytes(False, 14)
    if kind == "unicode":
        return pst_bytes(True, 23)
    if kind == "unicode36":
        return pst_bytes(True, 36, length=32768)
    if kind == "ost":
        return pst_bytes(True, 23, client=b"SO")
    if kind == "damaged":
        b = bytearray(pst_bytes(True, 23))
        b[100] ^= 0x5A  # inside the header: its CRC no longer matches
        return bytes(b)
    raise SystemExit("unknown kind: " + kind)


def main(argv):
    if len(argv) < 3:
        raise SystemExit(__doc__)
    folder = argv[1]
    os.makedirs(folder, exist_ok=True)
    for arg in argv[2:]:
        name, _, kind = arg.rpartition(":")
        with open(os.path.join(folder, name), "wb") as f:
            f.write(sample(kind))


if __name__ == "__main__":
    main(sys.argv)
