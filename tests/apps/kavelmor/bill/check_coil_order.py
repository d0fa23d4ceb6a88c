#!/usr/bin/env python3
"""The coil order of a bill is one the slitter and the shear can cut, and close to the least coil.

    check_coil_order.py KAVELMOR

Bills the demo, a bill of 676 flashings and 30 random bills (random colours, coil widths,
trims and modes, on a database exported from the built-in one and recoloured), then reads
cutlist.csv, cutplan.csv, coil.csv and coil_total.csv and checks, without the program's own
arithmetic:
- every piece of the cutting plan lies on the row of the sheet pattern it names exactly once,
  in the flashing's colour and on a row of the flashing's developed width;
- on every sheet pattern the rows' widths and the trim fit the coil width, each row's pieces
  end to end fit the sheet, and the sheet is as long as its longest row;
- coil_total.csv sums the patterns;
- the coil length is at least the area bound (piece area / usable width), and within 3 % of
  the lower bound the bill reports where that bound exceeds 20 times the longest strip.
"""
import collections
import csv
import json
import os
import pathlib
import random
import re
import subprocess
import sys
import tempfile


def rows(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        return list(csv.DictReader(f))


def flashings_of(database):
    return [(library["Name"], flashing["Name"])
            for library in database["libraries"] if library.get("Flashings")
            for flashing in library["Flashings"] if flashing.get("SegmentLengths")]


def project(name, flashings, rng, coil=None, lines_per_row=(1, 6)):
    current = []
    for index, (library, flashing) in enumerate(flashings):
        lines = [{"start": [0, index * 1000], "end": [rng.randint(600, 14000), index * 1000]}
                 for _ in range(rng.randint(*lines_per_row))]
        current.append({"flashing": f"{library}:{flashing}", "mode": rng.randint(0, 2),
                        "lines": lines})
    result = {"project": {"name": name, "plateThickness": "0.5", "lengthClassStep": "300",
                          "textHeight": "300"},
              "billOrigin": [40000, 0], "currentUse": current}
    if coil:
        result["coil"] = coil
    return result


def pieces_of_plan(folder):
    """(colour, flashing, width, length, pattern, row) -> count, from the cut list and plan."""
    blocks = {}
    for row in rows(folder / "cutlist.csv"):
        if row["block"] != "total":
            blocks[row["block"]] = (row["colour"], row["flashing"], float(row["developed_width_mm"]))
    pieces = collections.Counter()
    for piece in rows(folder / "cutplan.csv"):
        colour, flashing, width = blocks[piece["block"]]
        pieces[(colour, flashing, width, float(piece["piece_length_mm"]), piece["pattern"],
                piece["row"])] += 1
    return pieces


def check_bill(name, folder, progress, failures):
    expected = pieces_of_plan(folder)
    placed = collections.Counter()
    patterns = collections.defaultdict(list)
    for row in rows(folder / "coil.csv"):
        key = (row["colour"], row["thickness_mm"], row["pattern"])
        patterns[key].append(row)
        placed[(row["colour"], row["flashing"], float(row["row_width_mm"]),
                float(row["piece_length_mm"]), row["pattern"], row["row"])] += \
            int(row["sheets"]) * int(row["pieces"])
    if placed != expected:
        missing = expected - placed
        extra = placed - expected
        failures.append(f"{name}: pieces not placed exactly once: missing {dict(missing)}, "
                        f"extra {dict(extra)}")
    coil_length = collections.Counter()
    sheets = collections.Counter()
    area = collections.Counter()
    longest = collections.Counter()
    usable = {}
    for (colour, thickness, pattern), pieces in patterns.items():
        first = pieces[0]
        width, trim = float(first["coil_width_mm"]), float(first["trim_mm"])
        usable[colour] = width - trim
        row_width = {}
        row_length = collections.Counter()
        for p in pieces:
            row_width[p["row"]] = float(p["row_width_mm"])
            row_length[p["row"]] += float(p["piece_length_mm"]) * int(p["pieces"])
        across = sum(row_width.values())
        if across + trim > width + 1e-6:
            failures.append(f"{name}: {colour} pattern {pattern}: rows {across} mm and trim "
                            f"{trim} mm exceed the coil's {width} mm")
        sheet = float(first["sheet_length_mm"])
        if any(p["sheet_length_mm"] != first["sheet_length_mm"] or p["sheets"] != first["sheets"]
               for p in pieces):
            failures.append(f"{name}: {colour} pattern {pattern}: rows disagree on the sheet")
        if abs(sheet - max(row_length.values())) > 1e-6:
            failures.append(f"{name}: {colour} pattern {pattern}: sheet of {sheet} mm is not as "
                            "long as its longest row")
        coil_length[colour] += sheet * int(first["sheets"])
        sheets[colour] += int(first["sheets"])
        for p in pieces:
            length = float(p["piece_length_mm"])
            area[colour] += float(p["row_width_mm"]) * length * int(p["pieces"]) * int(p["sheets"])
            longest[colour] = max(longest[colour], length)
    for total in rows(folder / "coil_total.csv"):
        colour = total["colour"]
        if (int(total["sheets"]) != sheets[colour]
                or abs(float(total["coil_length_m"]) * 1000 - coil_length[colour]) > 1
                or abs(float(total["pieces_area_m2"]) - area[colour] / 1e6) > 0.001):
            failures.append(f"{name}: coil_total.csv's {colour} is not the patterns' sum")
    # "Coil 天蓝色 0.5 mm × 1250 mm: 53.35 m ... over the LP bound 53.25 m"
    reported = {m.group(1): float(m.group(2)) * 1000 for m in re.finditer(
        r"^Coil (\S+) .*over (?:the LP|a Lagrangian|the area) bound ([0-9.]+) m$", progress,
        re.M)}
    gaps = []
    for colour, length in coil_length.items():
        area_bound = area[colour] / usable[colour]
        if length < area_bound - 1:
            failures.append(f"{name}: {colour}: {length} mm of coil is less than the pieces' "
                            f"area allows ({area_bound:.0f} mm)")
        bound = reported.get(colour)
        if bound is None:
            failures.append(f"{name}: {colour}: no coil line in the progress")
            continue
        # The report rounds the bound to centimetres.
        if bound < area_bound - 10:
            failures.append(f"{name}: {colour}: reported bound {bound} below the area bound")
        if bound > 20 * longest[colour]:
            gap = (length - bound) / bound * 100
            gaps.append(gap)
            if gap > 3:
                failures.append(f"{name}: {colour}: {gap:.2f} % over the lower bound")
    return gaps


def bill(kavelmor, env, project_file, out, database=None):
    # The rows' lines start at one point and lie on each other: billed as drawn.
    command = [kavelmor, "bill", str(project_file), "-o", str(out), "--allow-overlaps"]
    command += ["--db", str(database)] if database else ["--builtin"]
    run = subprocess.run(command, capture_output=True, text=True, env=env)
    if run.returncode != 0:
        raise RuntimeError(f"{project_file}: {run.stderr}")
    return run.stdout


def main():
    kavelmor = sys.argv[1]
    rng = random.Random(20261207)
    failures, gaps, checked = [], [], 0
    with tempfile.TemporaryDirectory() as folder:
        base = pathlib.Path(folder)
        env = dict(os.environ, KAVELMOR_HOME=str(base / "user"))
        progress = subprocess.run([kavelmor, "demo", "-o", str(base / "demo")], check=True,
                                  capture_output=True, text=True, env=env).stdout
        gaps += check_bill("demo", base / "demo", progress, failures)
        checked += 1

        database = json.loads(subprocess.run([kavelmor, "db", "export", "--builtin"],
                                             check=True, capture_output=True, text=True).stdout)
        flashings = flashings_of(database)
        # Four colours over the libraries, so that a bill orders several coils.
        colours = ["天蓝色", "白灰", "海蓝", "砖红"]
        for library in database["libraries"]:
            for index, flashing in enumerate(library.get("Flashings") or []):
                flashing["Color"] = colours[index % len(colours)]
        (base / "colours.json").write_text(json.dumps(database, ensure_ascii=False), "utf-8")
        coloured = base / "colours.dat"
        subprocess.run([kavelmor, "db", "import", str(base / "colours.json"), str(coloured)],
                       check=True, capture_output=True, env=env)

        # A strip wider than the coil takes is refused by name, and nothing is written.
        (base / "narrow.json").write_text(json.dumps(
            project("narrow", flashings[:1], rng, {"width": 600, "trim": 150}),
            ensure_ascii=False), "utf-8")
        run = subprocess.run([kavelmor, "bill", str(base / "narrow.json"), "-o",
                              str(base / "narrow"), "--builtin", "--allow-overlaps"],
                             capture_output=True, text=True,
                             env=env)
        expected = (f'kavelmor bill: flashing "{flashings[0][1]}": strip width 500 mm is wider '
                    'than the usable coil width 450 mm\n')
        if run.returncode != 1 or run.stderr != expected or (base / "narrow").exists():
            failures.append(f"narrow coil: status {run.returncode}, {run.stderr!r}")

        large = [flashings[i % len(flashings)] for i in range(676)]
        (base / "large.json").write_text(json.dumps(
            project("large", large, rng, {"width": 1250, "trim": 10}, (1, 3)),
            ensure_ascii=False), "utf-8")
        progress = bill(kavelmor, env, base / "large.json", base / "large", coloured)
        gaps += check_bill("676 flashings", base / "large", progress, failures)
        checked += 1

        for case in range(30):
            chosen = rng.sample(flashings, rng.randint(1, len(flashings)))
            coil = {"width": rng.choice([1000, 1200, 1250]), "trim": rng.choice([0, 10, 25])}
            name = f"random-{case}"
            (base / f"{name}.json").write_text(
                json.dumps(project(name, chosen, rng, coil), ensure_ascii=False), "utf-8")
            progress = bill(kavelmor, env, base / f"{name}.json", base / name, coloured)
            gaps += check_bill(name, base / name, progress, failures)
            checked += 1

    for failure in failures:
        print("FAILED:", failure)
    worst = max(gaps) if gaps else 0
    print(f"coil orders: {checked} bills checked, {len(gaps)} coils held to the bound, "
          f"worst gap {worst:.2f} %; {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
