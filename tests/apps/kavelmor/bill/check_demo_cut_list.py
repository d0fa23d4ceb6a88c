#!/usr/bin/env python3
"""The demo's cut list and bill against piece lengths and counts worked out by hand.

    check_demo_cut_list.py KAVELMOR

All six flashings of the sample project come from the built-in database: maximum cut length
Lmax1 = 4000, overlap dajie1 = 100, end extension shen1 = 100, line-length factor 1.00, so a
piece covers at most E = Lmax1 - dajie1 = 3900. The project's length class step is 300.

The companion cuts every line of a class to the class length c plus shen1, L = c + 100, and
splits the n lines of the class:
  mode 0: L > Lmax1: k = Up(L / E) pieces of Round0(L / k + dajie1) per line, n * k in all;
          otherwise n pieces of L.
  mode 1: L <= Lmax1: n pieces of L; otherwise pieces of Lmax1, Round1(n * L / E) of them.
  mode 2: a = n * L; a <= Lmax1: one piece of a; otherwise Round1(a / E) pieces of Lmax1.
Round0 and Round1 round halves away from zero. Run length = piece length * pieces; area =
developed width * run length.
"""
import csv
import json
import os
import pathlib
import subprocess
import sys
import tempfile

# The component's count rows as it writes them into the drawing and bill.txt: block, class
# length, lines, piece length, pieces (its estimate, tenths of full pieces in modes 1 and 2).
COMPONENT = [
    # ridge, mode 0: one line of 30000 (class 30000); L = 30100 > 4000, k = Up(7.72) = 8,
    # 30100 / 8 + 100 = 3862.5 -> 3863.
    (1, 30000, 1, 3863, "8"),
    # gable, mode 0: four lines of 7400, class 7500; L = 7600, k = Up(1.95) = 2, 3800 + 100.
    (2, 7500, 4, 3900, "8"),
    # corner, mode 2: four lines of 5850, class 6000; a = 4 * 6100 = 24400 > 4000,
    # 24400 / 3900 = 6.256 -> 6.3 pieces of 4000.
    (3, 6000, 4, 4000, "6.3"),
    # window tops, mode 1: two of 2400 and four of 3000; 2500 and 3100 fit into 4000.
    (4, 2400, 2, 2500, "2"),
    (4, 3000, 4, 3100, "4"),
    # window sides, mode 0: four of 1200 and eight of 1500; 1300 and 1600 fit.
    (5, 1200, 4, 1300, "4"),
    (5, 1500, 8, 1600, "8"),
    # window sills, mode 2: a = 2 * 2500 = 5000 -> 5000 / 3900 = 1.28 -> 1.3;
    # a = 4 * 3100 = 12400 -> 3.18 -> 3.2.
    (6, 2400, 2, 4000, "1.3"),
    (6, 3000, 4, 4000, "3.2"),
]

# cutlist.csv: the pieces the workshop cuts, per flashing and piece length, longest first:
# block, flashing, developed width, piece length, pieces. The corner cuts per line a full piece
# covering 3900 and 2200 + 100 overlap = 2300 (the offcuts of 1700 are too short for another
# 2300): 8 pieces, not the component's 6.3 × 4000. The sills' lines each fit one piece of the
# line's length: 4 × 3100 and 2 × 2500, not pieces of 4000.
EXPECTED = [
    (1, "屋脊包角", 500, 3863, 8),
    (2, "山墙包角", 500, 3900, 8),
    (3, "转角包角", 500, 4000, 4),
    (3, "转角包角", 500, 2300, 4),
    (4, "窗顶包角", 166, 3100, 4),
    (4, "窗顶包角", 166, 2500, 2),
    (5, "窗侧包角", 333, 1600, 8),
    (5, "窗侧包角", 333, 1300, 4),
    (6, "上窗底包角", 250, 3100, 4),
    (6, "上窗底包角", 250, 2500, 2),
]

# bill.csv per block: lines, pieces, the pieces' length (m) and area (m², developed width ×
# length).
BILL = {
    1: (1, 8, "30.904", "15.452"),
    2: (4, 8, "31.200", "15.600"),
    3: (4, 8, "25.200", "12.600"),
    4: (6, 6, "17.400", "2.888"),
    5: (12, 12, "18.000", "5.994"),
    6: (6, 6, "17.400", "4.350"),
}

# cutplan.csv per block: the pieces in order as (line, length); each is cut to length where the
# coil plan lays it, whatever other flashing's pieces share its row.
PLAN = {
    1: [(1, 3863)] * 8,
    3: [(1, 4000), (1, 2300), (2, 4000), (2, 2300), (3, 4000), (3, 2300), (4, 4000), (4, 2300)],
    6: [(line, 3100) for line in range(1, 5)] + [(5, 2500), (6, 2500)],
}

# The totals row of each block in the drawing, the component's as it writes them, "0.00": area
# (m²) and length (m), the sums of its count rows.
TOTALS = [("15.45", "30.90"), ("15.60", "31.20"), ("12.60", "25.20"), ("2.89", "17.40"),
          ("5.99", "18.00"), ("4.50", "18.00")]


def main():
    kavelmor = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        out = pathlib.Path(folder)
        subprocess.run([kavelmor, "demo", "-o", str(out), "--modelspace",
                        str(out / "modelspace.json")], check=True, stdout=subprocess.DEVNULL,
                       env=dict(os.environ, KAVELMOR_HOME=str(out / "user")))
        with open(out / "cutlist.csv", encoding="utf-8-sig", newline="") as stream:
            rows = list(csv.DictReader(stream))
        totals = [row for row in rows if row["block"] == "total"]
        rows = [row for row in rows if row["block"] != "total"]
        with open(out / "cutplan.csv", encoding="utf-8-sig", newline="") as stream:
            plan = list(csv.DictReader(stream))
        with open(out / "bill.csv", encoding="utf-8-sig", newline="") as stream:
            bill = list(csv.DictReader(stream))
        texts = [t["text"] for t in json.loads((out / "modelspace.json").read_text("utf-8"))]
        pictures = sorted(p.name for p in out.glob("*.png"))
        signatures = [p.read_bytes()[:8] for p in out.glob("*.png")]
        bill_text = (out / "bill.txt").read_text("utf-8")

    if len(rows) != len(EXPECTED):
        failures.append(f"{len(rows)} rows, not {len(EXPECTED)}")
    for row, expected in zip(rows, EXPECTED):
        got = (int(row["block"]), row["flashing"], int(row["developed_width_mm"]),
               int(row["piece_length_mm"]), int(row["pieces"]))
        if got != expected or row["colour"] != "天蓝色" or row["thickness_mm"] != "0.5":
            failures.append(f"row {got} is not {expected}")
    for block, length, lines, piece, pieces in COMPONENT:
        count_row = (f"{lines} line{'s' if lines > 1 else ''} of the {length} mm class: {pieces} × "
                     f"{piece} mm, the component's estimate")
        if count_row not in bill_text:
            failures.append(f"bill.txt, block {block}: no count row {count_row!r}")
    for row in bill:
        if row["block"] == "total":
            continue
        got = (int(row["lines"]), int(row["pieces"]), row["piece_length_m"], row["area_m2"])
        if got != BILL[int(row["block"])]:
            failures.append(f"bill.csv block {row['block']}: {got}, not {BILL[int(row['block'])]}")
    for block, pieces in PLAN.items():
        got = [(int(p["line"]), int(p["piece_length_mm"])) for p in plan
               if int(p["block"]) == block]
        if got != pieces:
            failures.append(f"cutplan.csv, block {block}: {got}, not {pieces}")
    if len(plan) != sum(expected[4] for expected in EXPECTED):
        failures.append(f"cutplan.csv: {len(plan)} pieces, not as many as cutlist.csv's")
    for block, (area, length) in enumerate(TOTALS, start=1):
        for caption in (f"累计面积 {area}m", f"累计总长 {length}m"):
            if caption not in texts:
                failures.append(f"block {block}: no text {caption!r}")
    if len(pictures) != 6 or not all(s == b"\x89PNG\r\n\x1a\n" for s in signatures):
        failures.append(f"profile pictures: {pictures}")
    if "Flashing 6: 上窗底包角" not in bill_text:
        failures.append("bill.txt does not list the sixth flashing")
    # The pieces of sky blue at 0.5 mm: 48; the date is the day of the run.
    if (len(totals) != 1 or not totals[0]["flashing"].startswith("示范工程车间一 ")
            or totals[0]["colour"] != "天蓝色" or totals[0]["thickness_mm"] != "0.5"
            or totals[0]["pieces"] != "48"):
        failures.append(f"cutlist.csv totals: {totals}")
    # bill.dxf keeps the component's texts: its grand totals 140.70 m and 57.03 m².
    if not any(t.startswith("示范工程车间一  ") and t.endswith("天蓝色 0.5mm: 长 140.70m 面积 57.03平方米")
               for t in texts):
        failures.append("bill.dxf: no heading with the project, date and totals")
    # bill.txt in millimetres at full size with the angles of the bends, the component's count
    # rows as its estimate beside the pieces cut, and the totals of both.
    for expected in ("Segments (full size)  4: 220 mm, bend 141°, 30 mm, bend 90°, 30 mm, "
                     "bend 141°, 220 mm",
                     "Count row             4 lines of the 6000 mm class: 6.3 × 4000 mm, the "
                     "component's estimate; 8 whole pieces cut",
                     "Run length            25.20 m, the component's estimate",
                     "Pieces cut            4 × 3100 mm + 2 × 2500 mm = 17.400 m, 4.350 m², ",
                     "End extension         100 mm in all, added to every line's class length",
                     "天蓝色, 0.5 mm     48 pieces cut, 140.104 m, 56.884 m²; the component's "
                     "estimate 140.70 m, 57.03 m²"):
        if expected not in bill_text:
            failures.append(f"bill.txt lacks {expected!r}")

    for failure in failures:
        print("FAILED:", failure)
    print(f"cutlist.csv: {len(rows)} rows against {len(EXPECTED)} worked out by hand; "
          f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
