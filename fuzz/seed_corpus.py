#!/usr/bin/env python3
"""Fills a fuzzing corpus folder for one harness: the project's own seeds (fuzz/seeds/TARGET,
among them a deck pasted from the sample by this program), the sample workbook, and, when
../shared is there, the real files saved by office programs.

usage: seed_corpus.py TARGET DIR
"""
import pathlib
import shutil
import struct
import sys
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
SHARED = ROOT.parent / "shared"
MAX_SEED = 1 << 20  # bigger files slow every mutation down more than they add


def shared_files(*patterns):
    for folder in ("corpus/xlsx", "corpus/pptx", "fidelity", "fidelity-3d"):
        base = SHARED / folder
        if base.is_dir():
            for pattern in patterns:
                yield from sorted(base.glob(pattern))


def workbooks():
    yield ROOT / "examples" / "sample-sales.xlsx"
    yield from shared_files("*.xlsx", "*.xlsm")


def members(pattern_prefix, suffix=".xml"):
    for book in workbooks():
        try:
            with zipfile.ZipFile(book) as z:
                for info in z.infolist():
                    if info.filename.startswith(pattern_prefix) and info.filename.endswith(suffix):
                        yield book.stem + "-" + pathlib.Path(info.filename).name, z.read(info)
        except zipfile.BadZipFile:
            continue


def number_formats():
    values = [0.0, 1234.5678, -0.25, 45000.75, 1e15, 3.14159265]
    seen = set()
    for _, styles in members("xl/styles", ".xml"):
        text = styles.decode("utf-8", "replace")
        for piece in text.split('formatCode="')[1:]:
            code = piece.split('"', 1)[0].replace("&quot;", '"').replace("&amp;", "&")
            seen.add(code)
    for n, code in enumerate(sorted(seen)):
        yield f"code{n}", struct.pack("<d", values[n % len(values)]) + bytes([n % 2]) + code.encode()


def seeds(target):
    own = ROOT / "fuzz" / "seeds" / target
    if own.is_dir():
        for f in sorted(own.iterdir()):
            yield f.name, f.read_bytes()
    if target in ("package", "workbook"):
        for f in workbooks():
            yield f.name, f.read_bytes()
    if target == "package":
        # The project's own deck, so the package reader meets a presentation without ../shared.
        for f in sorted((ROOT / "fuzz" / "seeds" / "presentation").iterdir()):
            yield f.name, f.read_bytes()
    if target in ("package", "presentation"):
        for f in shared_files("*.pptx", "*.potx"):
            yield f.name, f.read_bytes()
    if target == "chart":
        yield from members("xl/charts/chart")
    if target == "numfmt":
        yield from number_formats()


def main():
    target, out = sys.argv[1].removeprefix("fuzz_"), pathlib.Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    count = 0
    for name, data in seeds(target):
        if 0 < len(data) <= MAX_SEED:
            (out / name).write_bytes(data)
            count += 1
    print(f"{target}: {count} seeds")


if __name__ == "__main__":
    main()
