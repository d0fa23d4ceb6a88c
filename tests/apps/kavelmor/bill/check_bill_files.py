#!/usr/bin/env python3
"""The bill's files say the same: every figure from the pieces actually cut.

    check_bill_files.py KAVELMOR [CASES]

Bills the demo and CASES (200) random projects: modes 0, 1 and 2, several colours, cut lengths,
overlaps and end extensions over a copy of the built-in database, plate thicknesses, coil
widths, trims and sometimes a longest sheet, priced and not, lines given as coordinates or
drawn with ezdxf on a plan's layers (in millimetres or metres, now and then with a line
shorter than a millimetre, which is no metal). The bills run in parallel.
Then it reads only the files each bill writes and checks, without the program's own arithmetic:
- every drawn line is covered by its pieces of cutplan.csv laid end to end, each joint taking
  the flashing's overlap, and no piece is longer than the flashing is cut;
- cutlist.csv holds, per flashing and piece length, exactly the pieces cutplan.csv cuts;
- bill.csv holds per flashing the pieces of cutplan.csv, their length, area = length ×
  developed width and weight = area × thickness × 7.85; its lines and their drawn length are
  the project's; cost = material + folding;
- bill.csv's totals per colour and thickness, and for the bill, are the sums of its rows;
- every piece of cutplan.csv lies on the row of the sheet pattern it names, once, in coil.csv
  (and both files count the same pieces); each row's pieces fit the sheet, which is as long as
  its longest row and no longer than the project's longest sheet (or the longest piece);
  each pattern's rows and the trim fit the coil; coil_total.csv is the patterns' sum and its
  pieces the area bill.csv bills;
- the cover of shop.pdf (pdftotext -layout) prints each flashing's row of bill.csv with its
  pieces as cutlist.csv has them, the totals of bill.csv and the coil to order of
  coil_total.csv; each flashing page its pieces per length and bill.csv's figures, and
  no price; no page before the coil pages speaks of the solver; the coil pages print
  coil_total.csv's figures and each pattern's sheets and sheet length of coil.csv.
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
import shutil
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


def page_words(pdf):
    """The words of every page with their boxes, from one pdftotext -bbox run."""
    html = subprocess.run(["pdftotext", "-bbox", str(pdf), "-"], check=True,
                          capture_output=True, text=True).stdout
    return [[(float(x0), float(x1), float(y1), unescape(text)) for x0, _, x1, y1, text in
             re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" '
                        r'yMax="([\d.]+)">(.*?)</word>', page)]
            for page in html.split("<page ")[1:]]


def panel_lines(words):
    """The lines of a flashing page's panel, right of the drawing, from the words' boxes:
    the layout text may set a value a line away from its caption when the drawing's labels
    share the height."""
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


def check_lines(name, rows_lines, by_block, failures):
    """bill.csv's lines and drawn lengths against the lines the project draws."""
    for block, row in by_block.items():
        lines = rows_lines[int(block) - 1]
        drawn = sum(lines) / 1000
        if int(row["lines"]) != len(lines) or not near(float(row["line_length_m"]), drawn,
                                                       0.0005):
            failures.append(f"{name}: bill.csv block {block}: {row['lines']} lines of "
                            f"{row['line_length_m']} m, the project {len(lines)} of {drawn:.4f}")


def cut_text(order):
    return ", ".join(f"{pieces} × {length}" for pieces, length in order)


def check_pdf(name, folder, pages, by_block, cut_order, bill_total, colour_totals, priced,
              failures):
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
        # Weighed from the area before it is rounded to the m² shown.
        thickness = float(total["thickness_mm"])
        if not near(weight, area * thickness * DENSITY, 0.005 + 0.0005 * thickness * DENSITY):
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
    words = page_words(folder / "shop.pdf")
    for index, block in zip(flashing_pages, blocks):
        page, row = pages[index], by_block[block]
        panel = panel_lines(words[index]) if index < len(words) else ""
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


def half_away(value):
    return math.floor(value + 0.5) if value >= 0 else -math.floor(-value + 0.5)


def check_coverage(name, folder, rows_lines, stock, failures):
    """Every drawn line covered by its pieces laid end to end, a joint taking one overlap, and
    no piece longer than the flashing is cut."""
    pieces = collections.defaultdict(lambda: collections.defaultdict(list))
    for piece in rows(folder / "cutplan.csv"):
        pieces[piece["block"]][int(piece["line"])].append(int(piece["piece_length_mm"]))
    for index, lines in enumerate(rows_lines):
        block = str(index + 1)
        rules = stock[index]
        cut = pieces.get(block, {})
        if set(cut) - set(range(1, len(lines) + 1)):
            failures.append(f"{name}: block {block}: pieces for lines "
                            f"{sorted(set(cut) - set(range(1, len(lines) + 1)))} of "
                            f"{len(lines)}")
        for number, drawn in enumerate(lines, 1):
            on_line = cut.get(number, [])
            length = half_away(drawn * rules["LengthFactor"])
            covered = sum(on_line) - max(len(on_line) - 1, 0) * rules["Overlap"]
            if not on_line or covered < length:
                failures.append(f"{name}: block {block} line {number} of {length} mm: pieces "
                                f"{on_line} cover {covered} mm with overlaps of "
                                f"{rules['Overlap']}")
            if any(p > rules["MaxCutLength"] for p in on_line):
                failures.append(f"{name}: block {block} line {number}: a piece of {on_line} "
                                f"is longer than {rules['MaxCutLength']} mm")


def check_coil(name, folder, pages, project, failures):
    """coil.csv lays every piece of cutplan.csv once, on rows of its width that fit the
    sheet and, with the trim, the coil; coil_total.csv sums the patterns; the cover and the
    coil pages print the same."""
    flashing_of = {}
    for row in rows(folder / "cutlist.csv"):
        if row["block"] != "total":
            flashing_of[row["block"]] = row
    planned = collections.Counter()
    longest = collections.Counter()
    for piece in rows(folder / "cutplan.csv"):
        row = flashing_of.get(piece["block"])
        if row is None:
            failures.append(f"{name}: cutplan.csv block {piece['block']} is not in cutlist.csv")
            continue
        key = (row["colour"], row["thickness_mm"])
        length = float(piece["piece_length_mm"])
        longest[key] = max(longest[key], length)
        if not piece["pattern"] or not piece["row"]:
            failures.append(f"{name}: cutplan.csv: a piece of block {piece['block']} on no "
                            "sheet")
            continue
        planned[key + (piece["pattern"], piece["row"], row["flashing"],
                       float(row["developed_width_mm"]), length)] += 1

    coil = project.get("coil", {}) if project else {}
    placed = collections.Counter()
    patterns = collections.defaultdict(list)
    for row in rows(folder / "coil.csv"):
        key = (row["colour"], row["thickness_mm"])
        patterns[key + (row["pattern"],)].append(row)
        placed[key + (row["pattern"], row["row"], row["flashing"], float(row["row_width_mm"]),
                      float(row["piece_length_mm"]))] += int(row["sheets"]) * int(row["pieces"])
    if sum(planned.values()) != sum(placed.values()):
        failures.append(f"{name}: cutplan.csv cuts {sum(planned.values())} pieces, coil.csv "
                        f"lays {sum(placed.values())}")
    if planned != placed:
        failures.append(f"{name}: pieces not on exactly one row of one sheet: cutplan.csv "
                        f"only {dict(planned - placed)}, coil.csv only {dict(placed - planned)}")

    sums = collections.defaultdict(lambda: collections.Counter())
    for (colour, thickness, pattern), members in patterns.items():
        first = members[0]
        label = f"{colour} {thickness} pattern {pattern}"
        width, trim = float(first["coil_width_mm"]), float(first["trim_mm"])
        sheet, sheets = float(first["sheet_length_mm"]), int(first["sheets"])
        if any(m[f] != first[f] for m in members
               for f in ("coil_width_mm", "trim_mm", "sheets", "sheet_length_mm")):
            failures.append(f"{name}: {label}: its rows disagree on the coil or the sheet")
        if project and (width != coil.get("width", 1250) or trim != coil.get("trim", 0)):
            failures.append(f"{name}: {label}: coil {width} trim {trim}, the project's {coil}")
        if sheets < 1:
            failures.append(f"{name}: {label}: cut {sheets} times")
        row_width, row_length = {}, collections.Counter()
        for m in members:
            if row_width.setdefault(m["row"], float(m["row_width_mm"])) != \
                    float(m["row_width_mm"]):
                failures.append(f"{name}: {label} row {m['row']}: two widths")
            row_length[m["row"]] += float(m["piece_length_mm"]) * int(m["pieces"])
            if int(m["pieces"]) < 1:
                failures.append(f"{name}: {label} row {m['row']}: {m['pieces']} pieces")
        if sorted(int(r) for r in row_width) != list(range(1, len(row_width) + 1)):
            failures.append(f"{name}: {label}: rows numbered {sorted(row_width)}")
        if sum(row_width.values()) + trim > width + 1e-6:
            failures.append(f"{name}: {label}: rows of {sum(row_width.values())} mm and trim "
                            f"{trim} mm exceed the coil's {width} mm")
        for number, used in row_length.items():
            if used > sheet + 1e-6:
                failures.append(f"{name}: {label} row {number}: {used} mm of pieces on a "
                                f"sheet of {sheet} mm")
        if abs(sheet - max(row_length.values())) > 1e-6:
            failures.append(f"{name}: {label}: a sheet of {sheet} mm, its longest row "
                            f"{max(row_length.values())} mm")
        most = coil.get("maxSheet") or longest[(colour, thickness)]
        if sheet > most + 1e-6:
            failures.append(f"{name}: {label}: a sheet of {sheet} mm, longer than {most} mm")
        total = sums[(colour, thickness)]
        total["sheets"] += sheets
        total["length"] += sheet * sheets
        total["pieces_area"] += sum(float(m["row_width_mm"]) * float(m["piece_length_mm"]) *
                                    int(m["pieces"]) for m in members) * sheets
        total["width"] = width

    totals = {(t["colour"], t["thickness_mm"]): t for t in rows(folder / "coil_total.csv")}
    if set(totals) != set(sums):
        failures.append(f"{name}: coil_total.csv orders {sorted(totals)}, coil.csv lays "
                        f"{sorted(sums)}")
    bill_area = collections.Counter()
    for row in rows(folder / "bill.csv"):
        if row["block"] == "total" and row["colour"]:
            bill_area[(row["colour"], row["thickness_mm"])] = float(row["area_m2"])
    for key, total in totals.items():
        summed = sums.get(key)
        if summed is None:
            continue
        length = summed["length"] / 1000
        area = length * summed["width"] / 1000
        waste = (area - summed["pieces_area"] / 1e6) / area * 100 if area else 0
        wanted = {"sheets": (summed["sheets"], 0), "coil_length_m": (length, 0.0005),
                  "coil_area_m2": (area, 0.0005),
                  "coil_weight_kg": (area * float(key[1]) * DENSITY, 0.0005),
                  "pieces_area_m2": (summed["pieces_area"] / 1e6, 0.0005),
                  "waste_percent": (waste, 0.005)}
        for field, (value, tolerance) in wanted.items():
            if not near(float(total[field]), value, tolerance):
                failures.append(f"{name}: coil_total.csv {key} {field} {total[field]}, the "
                                f"patterns {value:.4f}")
        # bill.csv's area is the sum of rows printed to three places.
        rows_of_colour = sum(1 for r in flashing_of.values()
                             if (r["colour"], r["thickness_mm"]) == key)
        if key in bill_area and not near(bill_area[key], summed["pieces_area"] / 1e6,
                                         0.0005 * (rows_of_colour + 1)):
            failures.append(f"{name}: {key}: bill.csv's area {bill_area[key]} m², the coil's "
                            f"pieces {summed['pieces_area'] / 1e6:.4f} m²")
    if pages is not None:
        check_coil_pages(name, pages, patterns, totals, failures)


def check_coil_pages(name, pages, patterns, totals, failures):
    """The cover's coil to order and the coil pages' headings, summaries and patterns, as
    coil_total.csv and coil.csv have them."""
    text = "\n".join(pages)
    cover = text.split("卷材订货", 1)[1].split("包角清单", 1)[0] if "卷材订货" in text else ""
    for (colour, thickness), total in totals.items():
        line = (rf"^\s*{re.escape(colour)}\s+{thickness}\s+{total['coil_width_mm']}\s+"
                rf"(\d+\.\d{{3}})\s+(\d+\.\d{{3}})\s+(\d+\.\d\d)\s*$")
        found = re.search(line, cover, re.M)
        if not found:
            failures.append(f"{name}: cover: no coil to order for {colour} {thickness}")
        elif not (near(float(found.group(1)), float(total["coil_length_m"]), 0.0005)
                  and near(float(found.group(2)), float(total["coil_area_m2"]), 0.0005)
                  and near(float(found.group(3)), float(total["coil_weight_kg"]), 0.005)):
            failures.append(f"{name}: cover: coil {colour} {thickness} {found.groups()}, "
                            f"coil_total.csv {total['coil_length_m']} m "
                            f"{total['coil_area_m2']} m² {total['coil_weight_kg']} kg")

    drawn = collections.defaultdict(dict)
    summaries = {}
    current = None
    for page in pages:
        heading = re.search(r"卷材排料\s+(\S+)\s+([\d.]+) mm\s+卷宽 ([\d.]+) mm\s+修边 ([\d.]+) mm",
                            page)
        if not heading:
            continue
        current = heading.groups()
        summary = re.search(r"卷材长度 ([\d.]+) m, ([\d.]+) m²,\s*([\d.]+) kg,\s*(\d+) 张,\s*"
                            r"损耗 ([\d.]+) %", page)
        if summary:
            summaries[current[:2]] = summary.groups()
        for number, sheets, length in re.findall(r"样式 (\d+)\s+×\s*(\d+)\s*张\s+板长 ([\d.]+) mm",
                                                 page):
            drawn[current[:2]][number] = (int(sheets), float(length))
    for key, total in totals.items():
        summary = summaries.get(key)
        if summary is None:
            failures.append(f"{name}: no coil page for {key}")
            continue
        length, area, weight, sheets, waste = summary
        if not (near(float(length), float(total["coil_length_m"]), 0.005)
                and near(float(area), float(total["coil_area_m2"]), 0.005)
                and near(float(weight), float(total["coil_weight_kg"]), 0.05)
                and int(sheets) == int(total["sheets"])
                and near(float(waste), float(total["waste_percent"]), 0.05)):
            failures.append(f"{name}: coil page {key}: {summary}, coil_total.csv "
                            f"{dict(total)}")
    for (colour, thickness, pattern), members in patterns.items():
        shown = drawn[(colour, thickness)].get(pattern)
        wanted = (int(members[0]["sheets"]), float(members[0]["sheet_length_mm"]))
        if shown != wanted:
            failures.append(f"{name}: coil page {colour} {thickness} pattern {pattern}: "
                            f"{shown}, coil.csv {wanted}")
    for key, shown in drawn.items():
        extra = set(shown) - {p for (c, t, p) in patterns if (c, t) == key}
        if extra:
            failures.append(f"{name}: coil pages of {key} draw patterns {sorted(extra)} "
                            "coil.csv lacks")


def check_bill(name, folder, project, rows_lines=None, stock=None):
    failures = []
    pages = pdf_pages(folder / "shop.pdf")
    by_block, cut_order, bill_total, colour_totals, priced = check_cut_files(name, folder,
                                                                             failures)
    if rows_lines is not None:
        check_lines(name, rows_lines, by_block, failures)
        check_coverage(name, folder, rows_lines, stock, failures)
    check_pdf(name, folder, pages, by_block, cut_order, bill_total, colour_totals, priced,
              failures)
    check_coil(name, folder, pages, project, failures)
    return failures


def flashings_of(database):
    return [(library["Name"], flashing["Name"])
            for library in database["libraries"] if library.get("Flashings")
            for flashing in library["Flashings"] if flashing.get("SegmentLengths")]


class Plan:
    """A plan drawing made with ezdxf: each row's lines in bands of their own, so that no line
    lies on another; lines, polylines and lines at an angle."""

    def __init__(self, units):
        import ezdxf  # the distribution's, where the project runs its checks
        self.document = ezdxf.new("R2000")
        self.document.header["$INSUNITS"] = 6 if units == "m" else 4
        self.scale = 0.001 if units == "m" else 1.0
        self.space = self.document.modelspace()

    def draw(self, layer, band, rng, count, longest):
        if layer not in self.document.layers:
            self.document.layers.add(layer)
        for run in range(count):
            y = (band * 10 + run) * 20000
            length = rng.randint(300, longest)
            kind = rng.random()
            s = self.scale
            if kind < 0.5:
                self.space.add_line((0, y * s), (length * s, y * s), dxfattribs={"layer": layer})
            elif kind < 0.75:
                angle = rng.uniform(0.1, 1.2)
                self.space.add_line((0, y * s), (length * math.cos(angle) * s,
                                                 (y + length * math.sin(angle)) * s),
                                    dxfattribs={"layer": layer})
            else:
                up = rng.randint(300, 9000)
                self.space.add_lwpolyline([(0, y * s), (length * s, y * s),
                                           (length * s, (y + up) * s)],
                                          dxfattribs={"layer": layer})

        if rng.random() < 0.2:
            # A drawing's rounding: a line shorter than a millimetre is no metal.
            y = (band * 10 + 9) * 20000 * self.scale
            tiny = rng.choice([0, rng.uniform(0.05, 0.95)]) * self.scale
            self.space.add_line((0, y), (tiny, y), dxfattribs={"layer": layer})

    def save(self, path):
        self.document.saveas(path)


def segments(entity, layer):
    """An entity's straight segments (start, end), references unfolded, a block's entities on
    layer 0 taking the reference's layer."""
    kind = entity.dxftype()
    if kind == "LINE":
        yield layer, (entity.dxf.start, entity.dxf.end)
    elif kind in ("LWPOLYLINE", "POLYLINE"):
        points = ([p[:2] for p in entity.get_points()] if kind == "LWPOLYLINE"
                  else [v.dxf.location for v in entity.vertices])
        if entity.is_closed and points:
            points = points + points[:1]
        for a, b in zip(points, points[1:]):
            yield layer, (a, b)
    elif kind == "INSERT":
        for inner in entity.virtual_entities():
            inner_layer = layer if inner.dxf.layer == "0" else inner.dxf.layer
            yield from segments(inner, inner_layer)


def lines_on_layers(path, layers):
    """Each layer's lines in millimetres, in the drawing's order, as ezdxf reads them; no
    segment of less than a millimetre is a line."""
    import ezdxf
    document = ezdxf.readfile(path)
    scale = 0.001 if document.header.get("$INSUNITS", 4) == 6 else 1.0
    found = collections.defaultdict(list)
    for entity in document.modelspace():
        for layer, (a, b) in segments(entity, entity.dxf.layer):
            length = math.dist(a, b) / scale
            if length >= 1:
                found[layer.casefold()].append(length)
    return [length for layer in layers for length in found[layer.casefold()]]


def project_lines(folder, data):
    """Each row's lines (mm) as the project gives them: coordinates, or the plan's layers it
    names, or the layer named like its flashing."""
    result = []
    for row in data["currentUse"]:
        if "lines" in row:
            result.append([math.dist(line["start"], line["end"]) for line in row["lines"]])
        else:
            layers = row.get("layers") or [row["flashing"].split(":", 1)[1]]
            result.append(lines_on_layers(folder / data["plan"], layers))
    return result


def builtin_rules(kavelmor):
    """The built-in database's cut length, overlap and length factor per flashing."""
    database = json.loads(subprocess.run([kavelmor, "db", "export", "--builtin"],
                                         check=True, capture_output=True, text=True).stdout)
    return {(library["Name"], flashing["Name"]): {
        key: flashing[key] for key in ("MaxCutLength", "Overlap", "LengthFactor")}
        for library in database["libraries"] for flashing in library.get("Flashings") or []}


def random_case(number, flashings, rules, colours, rng):
    """A project of a few flashings of the recoloured database: modes 0, 1 and 2, a plate
    thickness, a coil width, trim and sometimes a longest sheet, prices or none; some rows
    given as coordinates, others as layers of a plan drawn with ezdxf."""
    thickness = rng.choice(["0.4", "0.5", "0.6", "0.8"])
    mode = rng.choice([0, 1, 2, None])
    chosen = rng.sample(flashings, rng.randint(1, 10))
    longest = rng.choice([6000, 14000, 26000])
    plan = Plan(rng.choice(["mm", "m"])) if rng.random() < 0.6 else None
    current = []
    for index, (library, flashing) in enumerate(chosen):
        row = {"flashing": f"{library}:{flashing}",
               "mode": rng.randint(0, 2) if mode is None else mode}
        count = rng.randint(1, 6)
        if plan is not None and rng.random() < 0.6:
            layer = f"BJ-{index + 1}"
            plan.draw(layer, index, rng, count, longest)
            row["layers"] = [layer]
        else:
            row["lines"] = []
            for run in range(count):
                y = (index * 10 + run) * 20000
                length = rng.randint(300, longest)
                angle = rng.choice([0, 0, rng.uniform(0.1, 1.2)])
                row["lines"].append({"start": [0, y], "end": [
                    round(length * math.cos(angle), 3), round(y + length * math.sin(angle), 3)]})
        current.append(row)
    name = f"random-{number}"
    coil = {"width": rng.choice([1000, 1200, 1250]), "trim": rng.choice([0, 10, 25])}
    if rng.random() < 0.35:
        coil["maxSheet"] = rng.choice([6000, 7500, 12000])
    data = {"project": {"name": name, "plateThickness": thickness,
                        "lengthClassStep": rng.choice(["0", "100", "300"]),
                        "textHeight": "300"},
            "billOrigin": [40000, 0], "currentUse": current, "coil": coil}
    if plan is not None:
        data["plan"] = "plan.dxf"
    if rng.random() < 0.6:
        # The last colour stays without a price.
        data["prices"] = {"sheet": {f"{c}/{thickness}": rng.choice([32.5, 41, 55.2])
                                    for c in colours[:-1]},
                          "perBendPerMetre": 0.8}
    stock = [rules[key] for key in chosen]
    return name, data, plan, stock


def run_case(job):
    """Writes one random project (and its plan), bills it and checks its files: the failures
    and the seconds the bill took."""
    import time
    kavelmor, base, number, flashings, rules, colours, database = job
    rng = random.Random(20261208 * 1000 + number)
    name, data, plan, stock = random_case(number, flashings, rules, colours, rng)
    folder = pathlib.Path(base) / name
    folder.mkdir()
    if plan is not None:
        plan.save(folder / "plan.dxf")
    (folder / "project.json").write_text(json.dumps(data, ensure_ascii=False), "utf-8")
    env = dict(os.environ, KAVELMOR_HOME=str(folder / "user"))
    started = time.monotonic()
    run = subprocess.run([kavelmor, "bill", str(folder / "project.json"), "-o",
                          str(folder / "out"), "--db", str(database)],
                         capture_output=True, text=True, env=env)
    seconds = time.monotonic() - started
    if run.returncode != 0:
        return [f"{name}: {run.stderr.strip()}"], seconds
    failures = check_bill(name, folder / "out", data, project_lines(folder, data), stock)
    if not failures:
        shutil.rmtree(folder)
    return failures, seconds


def recoloured_database(kavelmor, base, env, colours):
    """The built-in database with its flashings in several colours, cut lengths, overlaps and
    end extensions; what the checks need of each flashing."""
    database = json.loads(subprocess.run([kavelmor, "db", "export", "--builtin"],
                                         check=True, capture_output=True, text=True).stdout)
    rng = random.Random(7)
    rules = {}
    for library in database["libraries"]:
        for index, flashing in enumerate(library.get("Flashings") or []):
            flashing["Color"] = colours[index % len(colours)]
            flashing["MaxCutLength"] = rng.choice([3000, 4000, 6000])
            flashing["Overlap"] = rng.choice([50, 100, 150])
            flashing["EndExtension"] = rng.choice([0, 50, 100])
            rules[(library["Name"], flashing["Name"])] = {
                key: flashing[key] for key in ("MaxCutLength", "Overlap", "LengthFactor")}
    (base / "colours.json").write_text(json.dumps(database, ensure_ascii=False), "utf-8")
    coloured = base / "colours.dat"
    subprocess.run([kavelmor, "db", "import", str(base / "colours.json"), str(coloured)],
                   check=True, capture_output=True, env=env)
    return database, rules, coloured


def main():
    import time
    from concurrent.futures import ProcessPoolExecutor
    kavelmor = sys.argv[1]
    cases = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    failures, seconds = [], []
    started = time.monotonic()
    with tempfile.TemporaryDirectory() as folder:
        base = pathlib.Path(folder)
        env = dict(os.environ, KAVELMOR_HOME=str(base / "user"))
        subprocess.run([kavelmor, "demo", "-o", str(base / "demo")], check=True,
                       capture_output=True, env=env)
        demo = json.loads((base / "demo" / "project.json").read_text("utf-8"))
        rules = builtin_rules(kavelmor)
        failures += check_bill("demo", base / "demo", demo, project_lines(base / "demo", demo),
                               [rules[tuple(row["flashing"].split(":", 1))]
                                for row in demo["currentUse"]])

        colours = ["天蓝色", "白灰", "砖红", "海蓝"]
        database, rules, coloured = recoloured_database(kavelmor, base, env, colours)
        flashings = flashings_of(database)
        jobs = [(kavelmor, str(base), number, flashings, rules, colours, str(coloured))
                for number in range(cases)]
        with ProcessPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
            for found, took in pool.map(run_case, jobs):
                failures += found
                seconds.append(took)
        if failures:
            # The failing cases' files stay for a look, copied out of the temporary folder.
            kept = pathlib.Path(tempfile.mkdtemp(prefix="bill-files-"))
            for case in base.glob("random-*"):
                shutil.copytree(case, kept / case.name)
            print(f"the failing projects and their outputs: {kept}")

    for failure in failures[:200]:
        print("FAILED:", failure)
    print(f"bill files: the demo and {cases} random projects checked in "
          f"{time.monotonic() - started:.0f} s (bills {sum(seconds):.0f} s, the longest "
          f"{max(seconds, default=0):.1f} s); {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
