#!/usr/bin/env python3
"""Builds the benchmark corpus in a folder: big.bin (1 GiB by default) and tree/, 10,000
story-named files of 1 KiB to 256 KiB in 100 folders. Deterministic sizes, random bytes after
a story header.
Usage: make-corpus.py <folder> [--big-mib N] [--files N] [--folders N] [--max-kib N]"""

import argparse
import os
import pathlib
import random
import zlib

EXTENSIONS = [".z3", ".z5", ".z8", ".dat", ".zip", ".z4"]


def story_header(i: int, size: int) -> bytes:
    """A version 5 story header that declares the whole file (up to 256 KiB, as the tree's
    files are), with a serial of today, so that a scan checks and searches every byte as it
    would a real story's. Its release and checksum tell the files apart."""
    header = bytearray(64)
    header[0] = 5
    header[2:4] = (i & 0xFFFF).to_bytes(2, "big")
    for offset, address in ((4, 0x400), (6, 0x401), (8, 0x300), (10, 0x100), (12, 0x200),
                            (14, 0x300)):
        header[offset:offset + 2] = address.to_bytes(2, "big")
    header[18:24] = b"241207"
    header[26:28] = min(size // 4, 0xFFFF).to_bytes(2, "big")
    header[28:30] = (i * 2654435761 & 0xFFFF).to_bytes(2, "big")
    return bytes(header)


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--big-mib", type=int, default=1024)
    parser.add_argument("--files", type=int, default=10000)
    parser.add_argument("--folders", type=int, default=100)
    parser.add_argument("--max-kib", type=int, default=256)
    args = parser.parse_args()
    root = pathlib.Path(args.folder)
    root.mkdir(parents=True, exist_ok=True)

    big = root / "big.bin"
    if not big.exists() or big.stat().st_size != args.big_mib << 20:
        chunk = os.urandom(1 << 20)
        with open(big, "wb") as out:
            for _ in range(args.big_mib):
                out.write(chunk)

    tree = root / "tree"
    marker = tree / f".stories-{args.files}-{args.folders}-{args.max_kib}"
    if marker.exists():
        return
    rng = random.Random(42)
    pool = os.urandom(args.max_kib << 10)
    seen = set()
    for i in range(args.files):
        folder = tree / f"folder{i % args.folders:03d}"
        folder.mkdir(parents=True, exist_ok=True)
        size = rng.randint(1 << 10, args.max_kib << 10)
        name = f"story{i:05d}{EXTENSIONS[i % len(EXTENSIONS)]}"
        # A distinct prefix makes every file distinct; among 100,000 files two CRC-32s would
        # still likely meet, so a fifth byte changes until the fingerprint is new too.
        data = bytearray(story_header(i, size) + pool[64:size])
        while zlib.crc32(data) in seen:
            data[63] = (data[63] + 1) & 0xFF
        seen.add(zlib.crc32(data))
        (folder / name).write_bytes(data)
    marker.touch()


if __name__ == "__main__":
    main()
