#!/usr/bin/env python3
"""The shop drawings of a small hand-made book, read back by poppler.

    check_shop_pdf.py SHOP_PDF_SAMPLE

The sample program writes shop.pdf and book.json (the book's numbers) into a folder. Read with
pdfinfo, pdffonts and pdftotext:
  - the page count is 1 (cover) + flashings + coil pages, on every paper;
  - every font is embedded;
  - page 1 + i holds flashing i's block, name, colour, developed width, bend count, every row of
    its cutting plan (piece length, whole pieces, lines), pieces to cut, run length (m, 3
    decimals, as the bill), area (m², 3 decimals) and weight (kg, 2 decimals), and no cost: it
    goes to the shop floor;
  - the cover holds every flashing's row with its cost; the coil pages hold each colour with
    its strips.
"""
import json
import pathlib
import re
import subprocess
import sys
import tempfile


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def fixed(value, decimals):
    # Halves away from zero, as the bill's files write numbers.
    from decimal import Decimal, ROUND_HALF_UP
    q = Decimal(1).scaleb(-decimals)
    return str(Decimal(repr(value)).quantize(q, rounding=ROUND_HALF_UP))


def whole(value):
    return str(int(value)) if float(value).is_integer() else str(value)


def page_texts(pdf, pages):
    return [run("pdftotext", "-layout", "-f", str(p), "-l", str(p), str(pdf), "-")
            for p in range(1, pages + 1)]


def tokens(text):
    return set(re.split(r"\s+", text))


def check(sample, paper, failures):
    with tempfile.TemporaryDirectory() as folder:
        out = pathlib.Path(folder)
        subprocess.run([sample, str(out), paper], check=True)
        pdf = out / "shop.pdf"
        book = json.loads((out / "book.json").read_text(encoding="utf-8"))
        info = run("pdfinfo", str(pdf))
        pages = int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))
        texts = page_texts(pdf, pages)
        coil_pages = [t for t in texts if "卷材排料" in t]
        flashings = book["flashings"]
        expected = 1 + len(flashings) + len(coil_pages)
        if pages != expected:
            failures.append(f"{paper}: {pages} pages, expected {expected}")
        if len(coil_pages) < len(book["coil"]):
            failures.append(f"{paper}: {len(coil_pages)} coil pages for {len(book['coil'])} colours")
        size = {"A4": "(A4)", "A3": "(A3)", "letter": "(letter)"}[paper]
        if size not in info:
            failures.append(f"{paper}: page size {re.search(r'Page size:.*', info).group(0)}")

        fonts = run("pdffonts", str(pdf)).splitlines()[2:]
        if not fonts:
            failures.append(f"{paper}: no fonts")
        for line in fonts:
            columns = line.split()
            # name type [subtype] encoding emb sub uni object generation
            if columns[-5] != "yes":
                failures.append(f"{paper}: font not embedded: {line}")

        cover = texts[0]
        for i, f in enumerate(flashings):
            page = texts[1 + i]
            words = tokens(page)
            wanted = [str(f["block"]), f["name"], f["colour"], whole(f["developed_width"]) + " mm",
                      str(f["pieces_to_cut"]), fixed(f["run_length_m"], 3) + " m",
                      fixed(f["area_m2"], 3) + " m²", fixed(f["weight_kg"], 2) + " kg"]
            for text in wanted:
                if text not in page:
                    failures.append(f"{paper}: page {2 + i} lacks {text!r}")
            if fixed(f["cost"], 2) in page or "CNY" in page:
                failures.append(f"{paper}: page {2 + i} shows the cost")
            if str(f["bends"]) not in words:
                failures.append(f"{paper}: page {2 + i} lacks the bend count {f['bends']}")
            for row in f["rows"]:
                line = re.compile(rf"\b{row['piece_length']}\s+{row['pieces']}\s+{re.escape(row['lines'])}")
                if not line.search(page):
                    failures.append(f"{paper}: page {2 + i} lacks the row {row}")
            row = re.compile(rf"^\s*{f['block']}\s+{f['name']}\s+{f['colour']}\s+"
                             rf"{whole(f['developed_width'])}\s+{f['bends']}\s.*"
                             rf"{fixed(f['run_length_m'], 3)}\s+{fixed(f['area_m2'], 3)}\s+"
                             rf"{fixed(f['weight_kg'], 2)}\s+{fixed(f['cost'], 2)}\s*$", re.M)
            if not row.search(cover):
                failures.append(f"{paper}: the cover lacks the row of flashing {f['block']}")
        for order in book["coil"]:
            pages_of = [t for t in coil_pages if order["colour"] in t]
            if not pages_of:
                failures.append(f"{paper}: no coil page for {order['colour']}")
                continue
            if fixed(order["coil_length_mm"] / 1000, 2) + " m" not in pages_of[0]:
                failures.append(f"{paper}: coil length of {order['colour']} missing")
            names = {f["name"] for f in flashings if f["colour"] == order["colour"]}
            for name in names:
                if not any(name in t for t in pages_of):
                    failures.append(f"{paper}: no strip of {name} on the coil pages")


def main():
    failures = []
    for paper in ("A4", "A3", "letter"):
        check(sys.argv[1], paper, failures)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
