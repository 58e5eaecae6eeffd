#!/usr/bin/env python3
"""Builds the benchmark corpus in a folder: big.bin (1 GiB by default) and tree/, 10,000
story-named files of 1 KiB to 256 KiB in 100 folders. Deterministic sizes, random bytes.
Usage: make-corpus.py <folder> [--big-mib N] [--files N] [--folders N]"""

import argparse
import os
import pathlib
import random

EXTENSIONS = [".z3", ".z5", ".z8", ".dat", ".zip", ".z4"]


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--big-mib", type=int, default=1024)
    parser.add_argument("--files", type=int, default=10000)
    parser.add_argument("--folders", type=int, default=100)
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
    marker = tree / f".complete-{args.files}-{args.folders}"
    if marker.exists():
        return
    rng = random.Random(42)
    pool = os.urandom(256 << 10)
    for i in range(args.files):
        folder = tree / f"folder{i % args.folders:03d}"
        folder.mkdir(parents=True, exist_ok=True)
        size = rng.randint(1 << 10, 256 << 10)
        name = f"story{i:05d}{EXTENSIONS[i % len(EXTENSIONS)]}"
        # A distinct prefix makes every file's fingerprint distinct.
        data = i.to_bytes(4, "little") + pool[: size - 4]
        (folder / name).write_bytes(data)
    marker.touch()


if __name__ == "__main__":
    main()
