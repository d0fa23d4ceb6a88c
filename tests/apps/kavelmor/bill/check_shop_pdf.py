#!/usr/bin/env python3
"""The demo's shop drawings, read by poppler: every page holds its flashing's numbers.

    check_shop_pdf.py KAVELMOR

Runs the demo (which is priced), then with pdfinfo, pdffonts and pdftotext checks that
shop.pdf has the cover, one page per flashing and the coil pages, that every font is
embedded, that the cover and each flashing's page show the numbers bill.csv gives for that
flashing (developed width, bends, pieces, their length, area; the cost on the cover only) and
its pieces of cutplan.csv, and that every coil pattern of coil.csv is drawn with how often it
is cut.
"""
import collections
import csv
import os
import pathlib
import re
import subprocess
import sys
import tempfile


def rows(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        return list(csv.DictReader(f))


def text(pdf, first=None, last=None):
    command = ["pdftotext", "-layout"]
    if first:
        command += ["-f", str(first), "-l", str(last or first)]
    return subprocess.run(command + [str(pdf), "-"], check=True, capture_output=True,
                          text=True).stdout


def main():
    kavelmor = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        base = pathlib.Path(folder)
        env = dict(os.environ, KAVELMOR_HOME=str(base / "user"))
        subprocess.run([kavelmor, "demo", "-o", str(base / "demo")], check=True,
                       stdout=subprocess.DEVNULL, env=env)
        out = base / "demo"
        pdf = out / "shop.pdf"
        cut_list = [r for r in rows(out / "bill.csv") if r["block"] != "total"]
        totals = [r for r in rows(out / "bill.csv") if r["block"] == "total"]
        pieces = collections.defaultdict(collections.Counter)
        for piece in rows(out / "cutplan.csv"):
            pieces[piece["block"]][piece["piece_length_mm"]] += 1
        by_block = collections.defaultdict(list)
        for row in cut_list:
            by_block[row["block"]].append(row)

        info = subprocess.run(["pdfinfo", str(pdf)], check=True, capture_output=True,
                              text=True).stdout
        page_count = int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))
        fonts = subprocess.run(["pdffonts", str(pdf)], check=True, capture_output=True,
                               text=True).stdout.splitlines()[2:]
        if not fonts:
            failures.append("no fonts listed")
        for font in fonts:
            # name type encoding emb sub uni object id: emb is the fourth from the end
            if font.split()[-5] != "yes":
                failures.append(f"font not embedded: {font}")

        cover = text(pdf, 1)
        for total in totals:
            for field in ("piece_length_m", "area_m2", "cost"):
                if total[field] not in cover:
                    failures.append(f"cover: total {field} {total[field]} missing")
        for block, block_rows in sorted(by_block.items(), key=lambda item: int(item[0])):
            page = text(pdf, 1 + int(block))
            first = block_rows[0]
            wanted = {
                "name": first["flashing"],
                "developed width": first["developed_width_mm"],
                "bends": first["bends"],
                "pieces to cut": first["pieces"],
                "length of the pieces": first["piece_length_m"],
                "area": first["area_m2"],
            }
            # The cost is the cover's: the flashing's page goes to the shop floor.
            if first["cost"] not in cover:
                failures.append(f"cover: row of block {block}: cost {first['cost']} missing")
            if first["cost"] in page or "金额" in page:
                failures.append(f"page of block {block} shows the cost")
            for what, value in wanted.items():
                if value not in page:
                    failures.append(f"page of block {block}: {what} {value} missing")
                if what in ("name", "length of the pieces", "area") and value not in cover:
                    failures.append(f"cover: block {block}'s {what} {value} missing")
            for length, count in pieces[block].items():
                if not re.search(rf"\b{length}\s+{count}\b", page):
                    failures.append(f"page of block {block}: {count} pieces of {length} missing")

        coil = text(pdf, 2 + len(by_block), page_count)
        pages_of_coil = page_count - 1 - len(by_block)
        if pages_of_coil < 1 or coil.count("卷材排料") != pages_of_coil:
            failures.append(f"{page_count} pages: not the cover, {len(by_block)} flashing pages "
                            "and coil pages")
        patterns = {(r["colour"], r["pattern"]): r for r in rows(out / "coil.csv")}
        for (colour, pattern), row in patterns.items():
            heading = rf"样式 {pattern}\s+×\s*{row['sheets']}\s*张\s+板长 {row['sheet_length_mm']} mm"
            if not re.search(heading, coil):
                failures.append(f"coil pages: pattern {pattern} of {colour} missing")

    for failure in failures:
        print("FAILED:", failure)
    print(f"shop drawings: {page_count} pages checked; {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
