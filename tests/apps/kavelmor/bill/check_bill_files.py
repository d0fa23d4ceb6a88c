#!/usr/bin/env python3
"""The bill's files say the same: every figure from the pieces actually cut.

    check_bill_files.py KAVELMOR

Bills the demo and generated projects (modes 0, 1 and 2, several colours over a recoloured
copy of the built-in database, several plate thicknesses, priced and not), then reads only the
files the bill writes and checks, without the program's own arithmetic:
- cutlist.csv holds, per flashing and piece length, exactly the pieces cutplan.csv cuts;
- bill.csv holds per flashing the pieces of cutplan.csv, their length, area = length ×
  developed width and weight = area × thickness × 7.85; its lines and their drawn length are
  the project's; cost = material + folding;
- bill.csv's totals per colour and thickness, and for the bill, are the sums of its rows;
- the cover of shop.pdf (pdftotext -layout) prints each flashing's row of bill.csv with its
  pieces as cutlist.csv has them, the totals of bill.csv and the coil to order (m, m², kg at
  7.85 kg per m² and mm); each flashing page its pieces per length and bill.csv's figures, and
  no price; no page before the coil pages speaks of the solver.
The coil files are checked elsewhere; `check_coil` is where their agreement with these files
goes once they are settled.
"""
import collections
import csv
from html import unescape
import json
import math
import os
import pathlib
import random
import re
import subprocess
import sys
import tempfile

DENSITY = 7.85  # kg per m² and mm of thickness
SOLVER_WORDS = ("LP", "bound", "gap", "下界", "差距")


def rows(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        return list(csv.DictReader(f))


def raw(path):
    return pathlib.Path(path).read_bytes()


def pdf_pages(pdf):
    info = subprocess.run(["pdfinfo", str(pdf)], check=True, capture_output=True,
                          text=True).stdout
    count = int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))
    text = subprocess.run(["pdftotext", "-layout", str(pdf), "-"], check=True,
                          capture_output=True, text=True).stdout
    pages = text.split("\f")
    return pages[:count]


def panel_lines(pdf, number):
    """The lines of a flashing page's panel, right of the drawing, from the words' boxes:
    the layout text may set a value a line away from its caption when the drawing's labels
    share the height."""
    html = subprocess.run(["pdftotext", "-bbox", "-f", str(number), "-l", str(number), str(pdf),
                           "-"], check=True, capture_output=True, text=True).stdout
    words = [(float(x0), float(x1), float(y1), unescape(text)) for x0, _, x1, y1, text in
             re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" '
                        r'yMax="([\d.]+)">(.*?)</word>', html)]
    lefts = [x0 for x0, _, _, text in words if text == "色彩"]
    if not lefts:
        return ""
    panel = sorted((w for w in words if w[0] >= lefts[0] - 1), key=lambda w: (w[2], w[0]))
    lines, last = [], None
    for x0, _, y1, text in panel:
        if last is None or y1 - last > 2:
            lines.append([])
        lines[-1].append((x0, text))
        last = y1
    return "\n".join(" ".join(text for _, text in sorted(line)) for line in lines)


def near(a, b, tolerance):
    return abs(a - b) <= tolerance + 1e-9


def check_cut_files(name, folder, failures):
    """cutlist.csv and bill.csv against cutplan.csv; returns bill.csv's rows by block."""
    for file in ("cutlist.csv", "bill.csv"):
        data = raw(folder / file)
        if not data.startswith(b"\xef\xbb\xbf") or b"\n" in data.replace(b"\r\n", b""):
            failures.append(f"{name}: {file} is not UTF-8 with a byte order mark and CRLF")
    plan = collections.defaultdict(collections.Counter)
    for piece in rows(folder / "cutplan.csv"):
        plan[piece["block"]][int(piece["piece_length_mm"])] += 1

    cut = collections.defaultdict(collections.Counter)
    cut_order = collections.defaultdict(list)
    cut_totals = []
    for row in rows(folder / "cutlist.csv"):
        if row["block"] == "total":
            cut_totals.append(row)
            continue
        length, pieces = int(row["piece_length_mm"]), int(row["pieces"])
        if cut[row["block"]][length]:
            failures.append(f"{name}: cutlist.csv: block {row['block']} lists {length} twice")
        cut[row["block"]][length] += pieces
        cut_order[row["block"]].append((pieces, length))
    for block in set(plan) | set(cut):
        if plan[block] != cut[block]:
            failures.append(f"{name}: block {block}: cutlist.csv cuts {dict(cut[block])}, "
                            f"cutplan.csv {dict(plan[block])}")

    bill = [r for r in rows(folder / "bill.csv")]
    flashings = [r for r in bill if r["block"] != "total"]
    totals = [r for r in bill if r["block"] == "total"]
    by_block = {r["block"]: r for r in flashings}
    priced = "cost" in (bill[0] if bill else {})
    for row in flashings:
        block = row["block"]
        pieces = plan[block]
        millimetres = sum(length * count for length, count in pieces.items())
        width, thickness = float(row["developed_width_mm"]), float(row["thickness_mm"])
        if int(row["pieces"]) != sum(pieces.values()):
            failures.append(f"{name}: bill.csv block {block}: {row['pieces']} pieces, "
                            f"cutplan.csv {sum(pieces.values())}")
        if not near(float(row["piece_length_m"]), millimetres / 1000, 0):
            failures.append(f"{name}: bill.csv block {block}: piece length "
                            f"{row['piece_length_m']} m, cutplan.csv {millimetres / 1000}")
        area = millimetres * width / 1e6
        if not near(float(row["area_m2"]), area, 0.0005):
            failures.append(f"{name}: bill.csv block {block}: area {row['area_m2']}, "
                            f"not {area:.4f}")
        if not near(float(row["weight_kg"]), area * thickness * DENSITY, 0.005):
            failures.append(f"{name}: bill.csv block {block}: weight {row['weight_kg']}, "
                            f"not {area * thickness * DENSITY:.3f}")
        cut_rows = [r for r in rows(folder / "cutlist.csv") if r["block"] == block]
        for c in cut_rows:
            for field in ("flashing", "colour", "thickness_mm", "developed_width_mm", "bends"):
                if c[field] != row[field]:
                    failures.append(f"{name}: block {block}: cutlist.csv {field} {c[field]}, "
                                    f"bill.csv {row[field]}")
        if priced and row["cost"] and not near(
                float(row["cost"]), float(row["material_cost"]) + float(row["folding_cost"]),
                0.0051):
            failures.append(f"{name}: bill.csv block {block}: cost is not material + folding")

    # Every total is the sum of the rows it stands for, as printed.
    fields = ["lines", "pieces", "line_length_m", "piece_length_m", "area_m2", "weight_kg"]
    if priced:
        fields += ["material_cost", "folding_cost", "cost"]
    groups = collections.defaultdict(list)
    for row in flashings:
        groups[(row["colour"], row["thickness_mm"])].append(row)
    colour_totals = [t for t in totals if t["colour"]]
    bill_totals = [t for t in totals if not t["colour"]]
    if sorted((t["colour"], t["thickness_mm"]) for t in colour_totals) != sorted(groups):
        failures.append(f"{name}: bill.csv totals for {[t['colour'] for t in colour_totals]}, "
                        f"rows of {sorted(groups)}")
    if len(bill_totals) != 1:
        failures.append(f"{name}: bill.csv has {len(bill_totals)} totals of the bill")
    for total in colour_totals + bill_totals:
        members = groups.get((total["colour"], total["thickness_mm"]), []) if total["colour"] \
            else flashings
        for field in fields:
            values = [m[field] for m in members]
            if field in ("material_cost", "cost") and any(v == "" for v in values):
                if total[field] != "":
                    failures.append(f"{name}: total {total['colour'] or 'bill'} {field} "
                                    f"{total[field]} over rows without it")
                continue
            wanted = sum(float(v or 0) for v in values)
            if not near(float(total[field] or 0), wanted, 1e-6):
                failures.append(f"{name}: total {total['colour'] or 'bill'} {field} "
                                f"{total[field]}, rows sum to {wanted}")
    # cutlist.csv's totals count the pieces per colour.
    for total in cut_totals:
        wanted = sum(int(r["pieces"]) for r in flashings if r["colour"] == total["colour"])
        if int(total["pieces"]) != wanted:
            failures.append(f"{name}: cutlist.csv total {total['colour']}: {total['pieces']} "
                            f"pieces, bill.csv {wanted}")
    return by_block, cut_order, bill_totals[0] if bill_totals else None, colour_totals, priced


def check_lines(name, project, by_block, failures):
    """bill.csv's lines and drawn lengths against the project's own lines."""
    current = project["currentUse"]
    for block, row in by_block.items():
        lines = current[int(block) - 1]["lines"]
        drawn = sum(math.dist(line["start"], line["end"]) for line in lines) / 1000
        if int(row["lines"]) != len(lines) or not near(float(row["line_length_m"]), drawn,
                                                       0.0005):
            failures.append(f"{name}: bill.csv block {block}: {row['lines']} lines of "
                            f"{row['line_length_m']} m, the project {len(lines)} of {drawn:.4f}")


def cut_text(order):
    return ", ".join(f"{pieces} × {length}" for pieces, length in order)


def check_pdf(name, folder, by_block, cut_order, bill_total, colour_totals, priced, failures):
    pages = pdf_pages(folder / "shop.pdf")
    flashing_pages = [i for i, page in enumerate(pages) if "下料块数" in page]
    covers = pages[:flashing_pages[0]] if flashing_pages else pages[:1]
    cover = "\n".join(covers)
    money = r"(?:\s+(?P<cost>\d+\.\d\d))?" if priced else ""
    for block, row in by_block.items():
        pattern = re.compile(
            rf"^\s*{block}\s+(?P<name>\S+)\s+{re.escape(row['colour'])}\s+"
            rf"{row['developed_width_mm']}\s+{row['bends']}\s+(?P<cut>.+?)\s+"
            rf"{row['piece_length_m']}\s+{row['area_m2']}\s+{row['weight_kg']}{money}\s*$", re.M)
        found = [m for m in pattern.finditer(cover)
                 if row["flashing"].startswith(m.group("name").rstrip("…"))]
        if not found:
            failures.append(f"{name}: cover: no row of block {block} with bill.csv's figures")
            continue
        shown, wanted = found[0].group("cut"), cut_text(cut_order[block])
        if shown != wanted and not (shown.endswith("…") and wanted.startswith(shown[:-1])):
            failures.append(f"{name}: cover: block {block} cuts {shown!r}, cutlist.csv "
                            f"{wanted!r}")
        if priced and (found[0].group("cost") or "") != row["cost"]:
            failures.append(f"{name}: cover: block {block} costs {found[0].group('cost')}, "
                            f"bill.csv {row['cost']}")
    for total in colour_totals:
        cost = rf"\s+{total['cost']}" if priced and total["cost"] else ""
        line = (rf"^\s*{re.escape(total['colour'])}\s+{total['thickness_mm']}\s+{total['pieces']}"
                rf"\s+{total['piece_length_m']}\s+{total['area_m2']}\s+{total['weight_kg']}{cost}")
        if not re.search(line, cover, re.M):
            failures.append(f"{name}: cover: no total of {total['colour']} as in bill.csv")
    if bill_total:
        cost = rf"\s+{bill_total['cost']}" if priced and bill_total["cost"] else ""
        line = (rf"^\s*合计\s+{bill_total['pieces']}\s+{bill_total['piece_length_m']}\s+"
                rf"{bill_total['area_m2']}\s+{bill_total['weight_kg']}{cost}")
        if not re.search(line, cover, re.M):
            failures.append(f"{name}: cover: no total of the bill as in bill.csv")
    # The coil to order: colour, thickness, width, m, m², kg.
    coil = {}
    section = cover.split("卷材订货", 1)[1] if "卷材订货" in cover else ""
    for m in re.finditer(r"^\s*(\S+)\s+([\d.]+)\s+([\d.]+)\s+(\d+\.\d{3})\s+(\d+\.\d{3})\s+"
                         r"(\d+\.\d\d)\s*$", section, re.M):
        colour, thickness, width, length, area, weight = m.groups()
        coil[(colour, thickness)] = (float(width), float(length), float(area), float(weight))
    for total in colour_totals:
        key = (total["colour"], total["thickness_mm"])
        if key not in coil:
            failures.append(f"{name}: cover: no coil to order for {key}")
            continue
        width, length, area, weight = coil[key]
        if not near(area, length * width / 1000, 0.0015):
            failures.append(f"{name}: cover: coil {key}: {area} m² is not {length} m × {width}")
        if not near(weight, area * float(total["thickness_mm"]) * DENSITY, 0.006):
            failures.append(f"{name}: cover: coil {key}: {weight} kg for {area} m²")
        if area < float(total["area_m2"]) - 0.001:
            failures.append(f"{name}: cover: coil {key}: {area} m² less than its pieces' "
                            f"{total['area_m2']}")
    for word in SOLVER_WORDS:
        if re.search(rf"\b{word}\b" if word.isascii() else word, cover):
            failures.append(f"{name}: cover speaks of the solver ({word})")

    blocks = sorted(by_block, key=int)
    if len(flashing_pages) != len(blocks):
        failures.append(f"{name}: {len(flashing_pages)} flashing pages for {len(blocks)} "
                        "flashings")
    for index, block in zip(flashing_pages, blocks):
        page, row = pages[index], by_block[block]
        panel = panel_lines(folder / "shop.pdf", index + 1)
        wanted = [rf"^下料块数 {row['pieces']}$", rf"^长度 {row['piece_length_m']} m$",
                  rf"^面积 {row['area_m2']} m²$", rf"^重量 {row['weight_kg']} kg$",
                  rf"^展开宽度 {row['developed_width_mm']} mm$", rf"^折弯 {row['bends']}$"]
        for text in wanted:
            if not re.search(text, panel, re.M):
                failures.append(f"{name}: page of block {block} lacks {text!r}")
        summed = "另有" in page  # rows past the page's room are summed up in one line
        for pieces, length in cut_order[block]:
            if not re.search(rf"^{length} {pieces}\b", panel, re.M) and not summed:
                failures.append(f"{name}: page of block {block}: {pieces} × {length} missing")
        if "金额" in page or (priced and row["cost"] and re.search(
                rf"\b{re.escape(row['cost'])}\b", page)):
            failures.append(f"{name}: page of block {block} shows a price")
        for word in SOLVER_WORDS:
            if re.search(rf"\b{word}\b" if word.isascii() else word, page):
                failures.append(f"{name}: page of block {block} speaks of the solver ({word})")


def check_coil(name, folder, failures):
    """Where coil.csv, coil_total.csv and cutplan.csv's pattern and row join these checks."""
    del name, folder, failures


def check_bill(name, folder, project, failures):
    by_block, cut_order, bill_total, colour_totals, priced = check_cut_files(name, folder,
                                                                             failures)
    if project is not None:
        check_lines(name, project, by_block, failures)
    check_pdf(name, folder, by_block, cut_order, bill_total, colour_totals, priced, failures)
    check_coil(name, folder, failures)


def flashings_of(database):
    return [(library["Name"], flashing["Name"])
            for library in database["libraries"] if library.get("Flashings")
            for flashing in library["Flashings"] if flashing.get("SegmentLengths")]


def project(name, flashings, rng, mode, thickness, colours):
    current = []
    for index, (library, flashing) in enumerate(flashings):
        # Side by side, as a flashing's runs lie on a plan: none drawn over another.
        lines = [{"start": [0, index * 1000 + run * 100],
                  "end": [rng.randint(300, 14000), index * 1000 + run * 100]}
                 for run in range(rng.randint(1, 6))]
        current.append({"flashing": f"{library}:{flashing}",
                        "mode": rng.randint(0, 2) if mode is None else mode, "lines": lines})
    result = {"project": {"name": name, "plateThickness": thickness,
                          "lengthClassStep": rng.choice(["0", "100", "300"]),
                          "textHeight": "300"},
              "billOrigin": [40000, 0], "currentUse": current,
              "coil": {"width": rng.choice([1000, 1250]), "trim": rng.choice([0, 10])}}
    if rng.random() < 0.6:
        # The last colour stays without a price.
        result["prices"] = {"sheet": {f"{c}/{thickness}": rng.choice([32.5, 41, 55.2])
                                      for c in colours[:-1]},
                            "perBendPerMetre": 0.8}
    return result


def main():
    kavelmor = sys.argv[1]
    rng = random.Random(20261208)
    failures, checked = [], 0
    with tempfile.TemporaryDirectory() as folder:
        base = pathlib.Path(folder)
        env = dict(os.environ, KAVELMOR_HOME=str(base / "user"))
        subprocess.run([kavelmor, "demo", "-o", str(base / "demo")], check=True,
                       capture_output=True, env=env)
        check_bill("demo", base / "demo", None, failures)
        checked += 1

        database = json.loads(subprocess.run([kavelmor, "db", "export", "--builtin"],
                                             check=True, capture_output=True, text=True).stdout)
        colours = ["天蓝色", "白灰", "砖红"]
        for library in database["libraries"]:
            for index, flashing in enumerate(library.get("Flashings") or []):
                flashing["Color"] = colours[index % len(colours)]
        (base / "colours.json").write_text(json.dumps(database, ensure_ascii=False), "utf-8")
        coloured = base / "colours.dat"
        subprocess.run([kavelmor, "db", "import", str(base / "colours.json"), str(coloured)],
                       check=True, capture_output=True, env=env)
        flashings = flashings_of(database)

        cases = [(mode, thickness) for mode in (0, 1, 2, None)
                 for thickness in ("0.5", "0.6", "0.8")]
        for case, (mode, thickness) in enumerate(cases):
            chosen = rng.sample(flashings, rng.randint(1, min(12, len(flashings))))
            name = f"mode-{'mixed' if mode is None else mode}-{thickness}-{case}"
            data = project(name, chosen, rng, mode, thickness, colours)
            (base / f"{name}.json").write_text(json.dumps(data, ensure_ascii=False), "utf-8")
            run = subprocess.run([kavelmor, "bill", str(base / f"{name}.json"), "-o",
                                  str(base / name), "--db", str(coloured)],
                                 capture_output=True, text=True, env=env)
            if run.returncode != 0:
                failures.append(f"{name}: {run.stderr}")
                continue
            check_bill(name, base / name, data, failures)
            checked += 1

    for failure in failures:
        print("FAILED:", failure)
    print(f"bill files: {checked} bills checked; {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
