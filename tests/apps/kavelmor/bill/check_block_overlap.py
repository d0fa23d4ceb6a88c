#!/usr/bin/env python3
"""No two bill blocks print over each other, however many length classes a flashing has.

    check_block_overlap.py KAVELMOR

Draws the demo and projects whose flashings have 1, 3, 4, 7 and 67 length classes, reads each
bill.dxf with ezdxf and computes the extents of every bill text and profile sketch. The
entities of a block follow one another in the file: its texts, up to its mode caption
("计算方式 ..."), the last text the companion writes for it, then its sketch.
"""
import json
import os
import pathlib
import subprocess
import sys
import tempfile

import ezdxf
from ezdxf import bbox

FLASHINGS = ["彩钢板屋面:屋脊包角", "彩钢板屋面:山墙包角", "彩钢墙面:转角包角", "彩钢墙面:窗顶包角",
             "彩钢墙面:窗侧包角", "彩钢墙面:上窗底包角", "彩钢墙面:女儿墙顶包角a", "彩钢墙面:女儿墙顶包角b"]


def lines_in_classes(classes, row):
    """One line per class of 300: 400, 700, 1000, ... mm, each in a class of its own."""
    return [{"start": [0, row * 1000], "end": [300 * k + 100, row * 1000]}
            for k in range(1, classes + 1)]


def project(classes, text_height):
    # Flashings with the given number of classes between flashings with few, enough of them
    # to fill more than one column of the grid.
    counts = [classes, 2, classes, 1, classes, 3, classes, 1]
    rows = [{"flashing": name, "mode": index % 3, "lines": lines_in_classes(count, index)}
            for index, (name, count) in enumerate(zip(FLASHINGS, counts))]
    return {"project": {"name": "车间", "plateThickness": "0.5", "lengthClassStep": "300",
                        "textHeight": str(text_height)},
            "billOrigin": [40000, 0], "currentUse": rows}


def blocks_of(dxf_file):
    """Per block, the extents (x0, y0, x1, y1, what) of its texts and sketches."""
    blocks, current, complete = [], [], False
    for entity in ezdxf.readfile(str(dxf_file)).modelspace():
        if entity.dxftype() not in ("TEXT", "POLYLINE"):
            continue
        is_text = entity.dxftype() == "TEXT"
        if is_text and complete:
            blocks.append(current)
            current, complete = [], False
        box = bbox.extents([entity])
        current.append((box.extmin.x, box.extmin.y, box.extmax.x, box.extmax.y,
                        entity.dxf.text if is_text else "sketch"))
        complete = complete or (is_text and entity.dxf.text.startswith("计算方式"))
    if current:
        blocks.append(current)
    return blocks


def overlaps(blocks):
    found = []
    boxes = [(index, box) for index, block in enumerate(blocks) for box in block]
    boxes.sort(key=lambda item: item[1][0])
    for i, (block_a, a) in enumerate(boxes):
        for block_b, b in boxes[i + 1:]:
            if b[0] >= a[2]:
                break
            if block_a != block_b and a[1] < b[3] and b[1] < a[3]:
                found.append(f"block {block_a + 1} {a[4]!r} and block {block_b + 1} {b[4]!r}")
    return found


def main():
    kavelmor = sys.argv[1]
    failures, checked = [], 0
    with tempfile.TemporaryDirectory() as folder:
        base = pathlib.Path(folder)
        # The built-in database, whatever the user's database holds.
        env = dict(os.environ, KAVELMOR_HOME=str(base / "user"))
        subprocess.run([kavelmor, "demo", "-o", str(base / "demo")], check=True,
                       stdout=subprocess.DEVNULL, env=env)
        # Each drawing's blocks and its heading, a group of its own after the last block.
        cases = [("demo", base / "demo" / "bill.dxf", 6 + 1)]
        for classes in (1, 3, 4, 7, 67):
            for text_height in (300, 600):
                name = f"{classes}-classes-h{text_height}"
                (base / f"{name}.json").write_text(
                    json.dumps(project(classes, text_height), ensure_ascii=False), "utf-8")
                # The rows' lines start at one point and lie on each other: billed as drawn.
                subprocess.run([kavelmor, "bill", str(base / f"{name}.json"), "-o",
                                str(base / name), "--builtin", "--allow-overlaps"], check=True,
                               stdout=subprocess.DEVNULL, env=env)
                cases.append((name, base / name / "bill.dxf", len(FLASHINGS) + 1))
        for name, dxf_file, flashings in cases:
            blocks = blocks_of(dxf_file)
            checked += 1
            if len(blocks) != flashings:
                failures.append(f"{name}: {len(blocks)} groups found, not {flashings}")
            failures += [f"{name}: {overlap}" for overlap in overlaps(blocks)[:5]]

    for failure in failures:
        print("FAILED:", failure)
    print(f"block overlaps: {checked} drawings checked; {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
