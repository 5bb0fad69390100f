#!/usr/bin/env python3
"""Compares two PDFs of the same prepared pages: the word boxes pdftotext reads (the largest
distance of any edge, in points, and the words whose text differs) and the pages drawn at 100 dpi
(pixels ImageMagick's compare counts as different beyond a fuzz of 10 %, per page and in all).

    compare_pdf.py OLD.pdf NEW.pdf [FIRST_PAGE LAST_PAGE]
"""
import re
import subprocess
import sys
import tempfile
from pathlib import Path

WORD = re.compile(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>')
PAGE = re.compile(r'<page ')


def words(pdf, first, last):
    html = subprocess.run(["pdftotext", "-bbox", "-f", str(first), "-l", str(last), pdf, "-"],
                          capture_output=True, text=True, check=True).stdout
    pages = PAGE.split(html)[1:]
    return [[(m.group(5), tuple(float(m.group(i)) for i in range(1, 5))) for m in WORD.finditer(p)]
            for p in pages]


def page_count(pdf):
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
    return int(re.search(r"Pages:\s+(\d+)", info).group(1))


def main():
    old, new = sys.argv[1], sys.argv[2]
    first = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    last = int(sys.argv[4]) if len(sys.argv) > 4 else min(page_count(old), 20)
    worst, differing, count = 0.0, 0, 0
    for a, b in zip(words(old, first, last), words(new, first, last)):
        if len(a) != len(b):
            print(f"word count differs: {len(a)} against {len(b)}")
        for (ta, ba), (tb, bb) in zip(a, b):
            count += 1
            if ta != tb:
                differing += 1
            worst = max(worst, max(abs(x - y) for x, y in zip(ba, bb)))
    print(f"words {count}, text differs in {differing}, largest box edge distance {worst:.3f} pt")
    with tempfile.TemporaryDirectory() as tmp:
        total, changed = 0, 0
        for name, pdf in (("old", old), ("new", new)):
            subprocess.run(["pdftoppm", "-r", "100", "-gray", "-f", str(first), "-l", str(last), pdf,
                            f"{tmp}/{name}"], check=True)
        for o in sorted(Path(tmp).glob("old-*.pgm")):
            n = o.with_name(o.name.replace("old-", "new-"))
            r = subprocess.run(["compare", "-metric", "AE", "-fuzz", "10%", str(o), str(n), "null:"],
                               capture_output=True, text=True)
            ae = int(float(r.stderr.split()[0]))
            size = subprocess.run(["identify", "-format", "%w %h", str(o)], capture_output=True,
                                  text=True, check=True).stdout.split()
            pixels = int(size[0]) * int(size[1])
            total += pixels
            changed += ae
            print(f"{o.stem[4:]}: {ae} of {pixels} pixels differ ({100.0 * ae / pixels:.3f} %)")
        print(f"all pages: {100.0 * changed / max(total, 1):.3f} % of pixels differ")


if __name__ == "__main__":
    main()
