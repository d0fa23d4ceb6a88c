#!/usr/bin/env python3
"""The demo's drawing opened by an independent DXF reader (ezdxf): it reads without errors,
its audit finds nothing, and its texts are the texts of the session's model space.

    check_bill_dxf.py KAVELMOR
"""
import json
import os
import pathlib
import subprocess
import sys
import tempfile

import ezdxf

# The object model's text alignment as the file's horizontal and vertical justification.
JUSTIFICATION = {0: (0, 0), 1: (1, 0), 2: (2, 0), 3: (3, 0), 4: (4, 0), 5: (5, 0),
                 6: (0, 3), 7: (1, 3), 8: (2, 3), 9: (0, 2), 10: (1, 2), 11: (2, 2),
                 12: (0, 1), 13: (1, 1), 14: (2, 1)}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def close(a, b):
    return abs(a - b) <= 1e-9 * max(1.0, abs(a), abs(b))


def same_point(point, expected):
    return all(close(a, b) for a, b in zip(point, expected))


def compare_text(index, entity, dumped):
    where = f"text {index} ({dumped['text']!r})"
    check(entity.dxf.text == dumped["text"], f"{where}: string {entity.dxf.text!r}")
    check(entity.dxf.layer == dumped["layer"], f"{where}: layer {entity.dxf.layer!r}")
    check(entity.dxf.style == dumped["style"], f"{where}: style {entity.dxf.style!r}")
    check(close(entity.dxf.height, dumped["height"]), f"{where}: height {entity.dxf.height}")
    check(close(entity.dxf.width, dumped["scaleFactor"]), f"{where}: width {entity.dxf.width}")
    check(entity.dxf.color == dumped["color"], f"{where}: colour {entity.dxf.color}")
    halign, valign = JUSTIFICATION[dumped["alignment"]]
    check((entity.dxf.halign, entity.dxf.valign) == (halign, valign),
          f"{where}: justification {entity.dxf.halign}, {entity.dxf.valign}")
    check(same_point(entity.dxf.insert, dumped["insertion"]), f"{where}: insert {entity.dxf.insert}")
    if dumped["alignment"] != 0:
        check(same_point(entity.dxf.align_point, dumped["alignmentPoint"]),
              f"{where}: alignment point {entity.dxf.align_point}")


def main():
    kavelmor = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        out = pathlib.Path(folder)
        dump_file = out / "modelspace.json"
        subprocess.run([kavelmor, "demo", "-o", str(out), "--modelspace", str(dump_file)],
                       check=True, stdout=subprocess.DEVNULL,
                       env=dict(os.environ, KAVELMOR_HOME=str(out / "user")))
        dumped = json.loads(dump_file.read_text(encoding="utf-8"))

        doc = ezdxf.readfile(str(out / "bill.dxf"))
        check(doc.dxfversion == "AC1009", f"version {doc.dxfversion}")
        check(doc.encoding == "gbk", f"encoding {doc.encoding}")
        auditor = doc.audit()
        check(not auditor.errors, f"audit errors: {[str(e) for e in auditor.errors]}")
        check(not auditor.fixes, f"audit fixes: {[str(f) for f in auditor.fixes]}")

        msp = doc.modelspace()
        texts = list(msp.query("TEXT"))
        check(len(texts) == len(dumped), f"{len(texts)} texts in the drawing, {len(dumped)} dumped")
        for index, (entity, text) in enumerate(zip(texts, dumped)):
            compare_text(index, entity, text)
        check(any(t["text"] == "累计面积 15.45m" for t in dumped), "the ridge's area caption")

        layers = {layer.dxf.name for layer in doc.layers}
        check({"0", "BJ-清单", "BJ-包角", "BJ-包角线"} <= layers, f"layers {sorted(layers)}")
        check("HZTXT" in {style.dxf.name for style in doc.styles}, "the style HZTXT")
        # 12 outline lines and the 33 flashing lines of the six flashings.
        lines = list(msp.query("LINE"))
        check(len(lines) == 45, f"{len(lines)} lines")
        check(len([l for l in lines if l.dxf.layer == "BJ-包角线"]) == 33, "33 flashing lines")
        sketches = list(msp.query("POLYLINE"))
        check(len(sketches) == 6 and all(p.dxf.layer == "BJ-包角" for p in sketches),
              f"{len(sketches)} profile sketches")
        extmin, extmax = doc.header["$EXTMIN"], doc.header["$EXTMAX"]
        check(extmin[0] <= 0 and extmin[1] <= -17850 and extmax[0] >= 46463 and extmax[1] >= 14800,
              f"extents {extmin} to {extmax}")

    for failure in failures:
        print("FAILED:", failure)
    print(f"bill.dxf: {len(texts)} texts, {len(lines)} lines, {len(sketches)} sketches checked; "
          f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
