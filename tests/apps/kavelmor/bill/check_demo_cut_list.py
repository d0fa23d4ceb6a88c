#!/usr/bin/env python3
"""The demo's cut list against piece lengths and counts worked out by hand.

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

# block, flashing, colour, developed width, class length, lines, piece length, pieces,
# whole pieces to cut, run length (m), area (m²)
EXPECTED = [
    # ridge, mode 0: one line of 30000 (class 30000); L = 30100 > 4000, k = Up(7.72) = 8,
    # 30100 / 8 + 100 = 3862.5 -> 3863.
    (1, "屋脊包角", "天蓝色", 500, 30000, 1, 3863, "8", 8, 30.904, 15.452),
    # gable, mode 0: four lines of 7400, class 7500; L = 7600, k = Up(1.95) = 2, 3800 + 100.
    (2, "山墙包角", "天蓝色", 500, 7500, 4, 3900, "8", 8, 31.2, 15.6),
    # corner, mode 2: four lines of 5850, class 6000; a = 4 * 6100 = 24400 > 4000,
    # 24400 / 3900 = 6.256 -> 6.3 pieces of 4000. To cut: per line a full piece covering 3900
    # and 2200 + 100 overlap = 2300; the offcuts of 1700 are too short for another 2300.
    (3, "转角包角", "天蓝色", 500, 6000, 4, 4000, "6.3", 8, 25.2, 12.6),
    # window tops, mode 1: two of 2400 and four of 3000; 2500 and 3100 fit into 4000.
    (4, "窗顶包角", "天蓝色", 166, 2400, 2, 2500, "2", 2, 5.0, 0.83),
    (4, "窗顶包角", "天蓝色", 166, 3000, 4, 3100, "4", 4, 12.4, 2.0584),
    # window sides, mode 0: four of 1200 and eight of 1500; 1300 and 1600 fit.
    (5, "窗侧包角", "天蓝色", 333, 1200, 4, 1300, "4", 4, 5.2, 1.7316),
    (5, "窗侧包角", "天蓝色", 333, 1500, 8, 1600, "8", 8, 12.8, 4.2624),
    # window sills, mode 2: a = 2 * 2500 = 5000 -> 5000 / 3900 = 1.28 -> 1.3;
    # a = 4 * 3100 = 12400 -> 3.18 -> 3.2. Each line fits one piece: 2 and 4 to cut.
    (6, "上窗底包角", "天蓝色", 250, 2400, 2, 4000, "1.3", 2, 5.2, 1.3),
    (6, "上窗底包角", "天蓝色", 250, 3000, 4, 4000, "3.2", 4, 12.8, 3.2),
]

# cutplan.csv per block: the pieces in order as (line, length); each is cut to length where the
# coil plan lays it, whatever other flashing's pieces share its row.
PLAN = {
    1: [(1, 3863)] * 8,
    3: [(1, 4000), (1, 2300), (2, 4000), (2, 2300), (3, 4000), (3, 2300), (4, 4000), (4, 2300)],
    6: [(line, 3100) for line in range(1, 5)] + [(5, 2500), (6, 2500)],
}

# The totals row of each block, "0.00": area (m²) and length (m), the sums of the rows above.
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
        texts = [t["text"] for t in json.loads((out / "modelspace.json").read_text("utf-8"))]
        pictures = sorted(p.name for p in out.glob("*.png"))
        signatures = [p.read_bytes()[:8] for p in out.glob("*.png")]
        bill_text = (out / "bill.txt").read_text("utf-8")

    if len(rows) != len(EXPECTED):
        failures.append(f"{len(rows)} rows, not {len(EXPECTED)}")
    for row, expected in zip(rows, EXPECTED):
        got = (int(row["block"]), row["flashing"], row["colour"], int(row["developed_width_mm"]),
               int(row["class_length_mm"]), int(row["lines"]), int(row["piece_length_mm"]),
               row["pieces"], int(row["pieces_to_cut"]), float(row["run_length_m"]),
               float(row["area_m2"]))
        exact, measured = got[:9], got[9:]
        if exact != expected[:9] or any(abs(a - b) > 0.0005 for a, b in zip(measured, expected[9:])):
            failures.append(f"row {got} is not {expected}")
    for block, pieces in PLAN.items():
        got = [(int(p["line"]), int(p["piece_length_mm"])) for p in plan
               if int(p["block"]) == block]
        if got != pieces:
            failures.append(f"cutplan.csv, block {block}: {got}, not {pieces}")
    if len(plan) != sum(expected[8] for expected in EXPECTED):
        failures.append(f"cutplan.csv: {len(plan)} pieces, not as many as cutlist.csv's")
    for block, (area, length) in enumerate(TOTALS, start=1):
        for caption in (f"累计面积 {area}m", f"累计总长 {length}m"):
            if caption not in texts:
                failures.append(f"block {block}: no text {caption!r}")
    if len(pictures) != 6 or not all(s == b"\x89PNG\r\n\x1a\n" for s in signatures):
        failures.append(f"profile pictures: {pictures}")
    if "Flashing 6: 上窗底包角" not in bill_text:
        failures.append("bill.txt does not list the sixth flashing")
    # Grand totals: 140.70 m and 57.03 m² of sky blue at 0.5 mm, 48 whole pieces; the date is
    # the day of the run.
    if (len(totals) != 1 or not totals[0]["flashing"].startswith("示范工程车间一 ")
            or totals[0]["colour"] != "天蓝色" or totals[0]["lines"] != "33"
            or totals[0]["pieces_to_cut"] != "48" or totals[0]["run_length_m"] != "140.704"
            or totals[0]["area_m2"] != "57.034"):
        failures.append(f"cutlist.csv totals: {totals}")
    if not any(t.startswith("示范工程车间一  ") and t.endswith("天蓝色 0.5mm: 长 140.70m 面积 57.03平方米")
               for t in texts):
        failures.append("bill.dxf: no heading with the project, date and totals")
    # bill.txt in millimetres at full size with the angles of the bends, and the totals.
    for expected in ("Segments (full size)  4: 220 mm, bend 141°, 30 mm, bend 90°, 30 mm, "
                     "bend 141°, 220 mm",
                     "Count row             4 lines of the 6000 mm class: 6.3 × 4000 mm as the "
                     "component counts, 8 whole pieces to cut",
                     "End extension         100 mm in all, added to every line's class length",
                     "天蓝色, 0.5 mm     140.70 m, 57.03 m², 48 whole pieces to cut"):
        if expected not in bill_text:
            failures.append(f"bill.txt lacks {expected!r}")

    for failure in failures:
        print("FAILED:", failure)
    print(f"cutlist.csv: {len(rows)} rows against {len(EXPECTED)} worked out by hand; "
          f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
