#!/usr/bin/env python3
"""Writes the seed corpora of the `ini` and `package_file` fuzz targets next to this script.

ini: the first byte picks the reader (0 = ANSI text from memory, 1 = a file, where FF FE
selects UTF-16LE); the rest is the text. package_file: whole package files.
Run it again after changing a seed; the outputs are committed.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

DESC = (
    "; hero sprite\r\n[Picture]\r\nPictureCount = 3 ;three\r\nColorKey_R=255\r\nColorKey_G=0\r\n"
    "ColorKey_B=255\r\nPicBox001=0,0,32,32\r\n\r\n[Animation]\r\nFrameDelay=2\r\nSeqCount=2\r\n"
    "Seq001=2,5\r\nSeq002=5,2,3\r\n\r\n[HitBox]\r\nHitBoxCount=3\r\n000=0,0,16,16\r\n"
    "\r\n[CenterPoint]\r\n000=8,15\r\n"
)

TRICKY = "\r\n".join([
    "[a]=1", "[", "]", "[]", "=", ";", "[a;b]", "[a=b]", "a=b;c=d", ";x=1", "]a[", "  [ S ]  ;  c ",
    "\tkey \t= v w \t; note", "k = v = w", "x;[a]", "a=[b]", "[S]", "k1=1", "k2=2", "", "[T]", "k=v;note",
]) + "\r\n"


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), "wb") as out:
        out.write(data)


def utf16(text, mark=True):
    return (b"\xff\xfe" if mark else b"") + text.encode("utf-16-le", "surrogatepass")


def ini_seeds():
    memory, file = b"\x00", b"\x01"
    seeds = {
        "desc_memory": memory + DESC.encode(),
        "desc_file_ansi": file + DESC.encode(),
        "desc_file_utf16": file + utf16(DESC),
        "tricky_memory": memory + TRICKY.encode(),
        "tricky_file_utf16": file + utf16(TRICKY),
        "cr_only": memory + b"[S]\rk=1\rj=2\r",
        "lf_only": memory + b"[S]\nk=1\nj=2\n",
        "lf_cr": memory + b"[S]\n\rk=1\n\r",
        "no_final_cr_memory": memory + b"[S]\r\nk=1",
        "no_final_cr_file": file + b"[S]\r\nk=1",
        "bom_only": file + b"\xff\xfe",
        "utf16_odd_bytes": file + utf16("[S]\r\nk=v\r\n") + b"x",
        "utf16_surrogates_nul": file + utf16("[S]\r\nk=\ud800x\x00y\uffff\r\n\ufeff[T]\r\n"),
        "nul_in_line": memory + b"[S]\r\nk\x00=v\x00w\r\n",
        "gbk_bytes": memory + b"[\xd7\xca\xd4\xb4]\r\n\xbc\xfc=\xd6\xb5\r\n\x81\x20=bad\r\n",
        "empty_memory": memory,
    }
    for length in (1022, 1023, 1024, 5000):
        line = "k=" + "x" * (length - 2)
        seeds["line_%d_memory" % length] = memory + ("[S]\r\n" + line + "\r\nj=1\r\n").encode()
        seeds["line_%d_utf16" % length] = file + utf16("[S]\r\n" + line + "\r\nj=1\r\n")
    for name, data in seeds.items():
        write("ini", name, data)


def png_1x1():
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    ihdr = struct.pack(">IIBBBBB", 1, 1, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(b"\x00\xff\x00\xff\xff")) + chunk(b"IEND", b"")


def record(name, data, length=None):
    raw = name.encode("utf-16-le")[:20].ljust(20, b"\x00")
    return raw + struct.pack("<I", len(data) if length is None else length) + data


def package(desc, records, length=None):
    header = b"VIREOPAK" + struct.pack("<II", 1, len(records)) + b"\x00" * 16
    return header + struct.pack("<I", len(desc) if length is None else length) + desc + b"".join(records)


def package_seeds():
    png = png_1x1()
    desc3 = b"[Picture]\r\nPictureCount=3\r\n[Animation]\r\nSeqCount=1\r\nSeq001=0,2,1\r\n"
    seeds = {
        "three_pictures": package(desc3, [record("000.png", png), record("001.png", png), record("002.png", png)]),
        "missing_middle": package(desc3, [record("000.png", png), record("002.png", png)]),
        "one_picture_no_desc": package(b"", [record("000.png", png)]),
        "desc_without_cr": package(b"[Picture]\nPictureCount=2", [record("000.png", png), record("001.png", png)]),
        "zero_length_record": package(desc3, [record("000.png", b""), record("001.png", png)]),
        "record_cut": package(desc3, [record("000.png", png)]) + b"\x00" * 10,
        "data_past_end": package(desc3, [record("000.png", png), record("001.png", png, 0xFFFFFFF0)]),
        "desc_past_end": package(desc3, [], 0xFFFFFFFF),
        "name_without_terminator": package(desc3, [record("0000000000ABC", png)]),
        "absurd_counts": package(b"[Picture]\r\nPictureCount=100000000\r\n[HitBox]\r\nHitBoxCount=-1\r\n", [record("000.png", png)]),
        "short_header": b"\x00" * 35,
    }
    for name, data in seeds.items():
        write("package_file", name, data)


if __name__ == "__main__":
    ini_seeds()
    package_seeds()
