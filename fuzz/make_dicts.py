#!/usr/bin/env python3
"""Writes the libFuzzer dictionaries of the XML harnesses (fuzz/dicts/*.dict): the element and
attribute names, as the files spell them, of the parts each reader meets in the real workbooks
and decks of ../shared (rerun when that set grows)."""
import pathlib
import re
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
SHARED = ROOT.parent / "shared"
NAME = re.compile(rb"<([A-Za-z_][\w.:-]*)|\s([A-Za-z_][\w.:-]*)=\"")

# Which zip members feed which dictionary.
SOURCES = {
    "workbook": ("corpus/xlsx", lambda m: m.startswith("xl/") and not m.startswith("xl/charts/")),
    "chart": ("corpus/xlsx", lambda m: m.startswith("xl/charts/") or m.startswith("xl/theme/")),
    "presentation": ("corpus/pptx", lambda m: m.startswith("ppt/")),
    "package": ("corpus", lambda m: m.endswith(".rels") or m == "[Content_Types].xml"),  # + member names
}


def names(folder, wanted):
    found = set()
    for path in sorted((SHARED / folder).rglob("*")):
        if path.suffix not in (".xlsx", ".xlsm", ".pptx", ".potx"):
            continue
        with zipfile.ZipFile(path) as z:
            for member in z.namelist():
                if folder == "corpus":  # the package reader meets the member names themselves
                    found.add(member.encode("utf-8"))
                if wanted(member) and member.endswith((".xml", ".rels")):
                    for element, attribute in NAME.findall(z.read(member)):
                        found.add(b"<" + element if element else b" " + attribute + b'="')
    return found


def main():
    for target, (folder, wanted) in SOURCES.items():
        tokens = sorted(names(folder, wanted))
        lines = ["# " + target + ": names in the real files of ../shared/" + folder + " (fuzz/make_dicts.py)"]
        lines += ['"' + t.decode("utf-8").replace("\\", "\\\\").replace('"', '\\"') + '"' for t in tokens]
        (ROOT / "fuzz" / "dicts" / (target + ".dict")).write_text("\n".join(lines) + "\n")
        print(target, len(tokens))


if __name__ == "__main__":
    main()
