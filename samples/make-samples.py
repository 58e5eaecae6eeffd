#!/usr/bin/env python3
"""Writes the synthetic sample stories of this folder. They are shaped like Z-machine story
files (version byte, header fields, a serial number at offset 18, the length and checksum
words) but hold pseudo-random bytes, not games. Run it from anywhere; it is deterministic."""

import pathlib
import random
import struct
import zipfile

HERE = pathlib.Path(__file__).resolve().parent


def story(version: int, release: int, serial: bytes, size: int, seed: int) -> bytes:
    rng = random.Random(seed)
    body = bytearray(rng.getrandbits(8) for _ in range(size))
    header = bytearray(64)
    header[0] = version
    struct.pack_into(">H", header, 2, release)
    struct.pack_into(">HHHHHH", header, 4, 0x0800, 0x0801, 0x0200, 0x0100, 0x0300, 0x0700)
    header[18:24] = serial.ljust(6, b"\0")[:6]
    divisor = {1: 2, 2: 2, 3: 2, 4: 4, 5: 4, 6: 8, 7: 8, 8: 8}[version]
    struct.pack_into(">H", header, 26, size // divisor)
    body[:64] = header
    struct.pack_into(">H", body, 28, sum(body[64:]) & 0xFFFF)
    return bytes(body)


def main() -> None:
    files = {
        "lantern.z3": story(3, 12, b"860317", 2048, 1),
        "harbour.z5": story(5, 3, b"950811", 4096, 2),
        "clocktower.z8": story(8, 1, b"021224", 8192, 3),
        "more/drift.z4": story(4, 7, b"870601", 3072, 4),
        "more/odd-serial.z5": story(5, 1, b"88o429", 1024, 5),
        "empty.dat": b"",
        "readme.txt": b"Synthetic story files made by make-samples.py; not games.\n",
    }
    for name, data in files.items():
        path = HERE / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
    info = zipfile.ZipInfo("harbour.z5", date_time=(2005, 7, 12, 0, 0, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    with zipfile.ZipFile(HERE / "harbour.zip", "w") as archive:
        archive.writestr(info, files["harbour.z5"])


if __name__ == "__main__":
    main()
