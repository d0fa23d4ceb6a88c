"""Plans of every release ezdxf writes, ASCII and binary, taken off by `kavelmor takeoff --json`
and compared per layer with the lengths ezdxf itself works out for the same entities: blocks
nested three deep, mirrored, arrayed and rotated, entities on layer "0" inside blocks, polylines
with bulges and repeated vertices, arcs with a mirrored extrusion, 3D polylines, paper space,
and layer names in code page 936 (release 2000) and UTF-8 (release 2018)."""

import json
import math
import subprocess
import sys
import tempfile
from pathlib import Path

import ezdxf
from ezdxf.math import Vec3

RELEASES = ["R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018"]
TOLERANCE = 1e-6  # mm


def build_plan(release):
    doc = ezdxf.new(release)
    if release == "R2000":
        doc.header["$DWGCODEPAGE"] = "ANSI_936"
        doc.encoding = "gbk"
    doc.header["$INSUNITS"] = 4
    ridge = "BJ-屋脊" if release in ("R2000", "R2018") else "BJ-RIDGE"
    for name in (ridge, "BJ-GABLE", "BJ-CORNER", "BJ-ARCS", "BJ-ARRAY"):
        doc.layers.add(name)
    doc.layers.get("BJ-ARRAY").freeze()
    msp = doc.modelspace()

    msp.add_line((0, 7400), (30000, 7400), dxfattribs={"layer": ridge})
    msp.add_line((0, 0, 0), (0, 7400, 2500), dxfattribs={"layer": ridge})
    points = [(0, 0), (5000, 0, 0.5), (5000, 3000), (5000, 3000), (0, 3000, -1)]
    if release == "R12":
        msp.add_polyline2d([(0, 0, 0), (5000, 0, 0.5), (5000, 3000, 0), (5000, 3000, 0),
                            (0, 3000, -1)], format="xyb", close=True,
                           dxfattribs={"layer": "BJ-GABLE"})
    else:
        msp.add_lwpolyline(points, format="xyb", close=True, dxfattribs={"layer": "BJ-GABLE"})
    msp.add_polyline3d([(0, 0, 0), (100, 200, 300), (400, 0, 50)],
                       dxfattribs={"layer": "BJ-CORNER"})
    msp.add_arc((1000, 1000), 500, 30, 250, dxfattribs={"layer": "BJ-ARCS"})
    msp.add_arc((1000, 1000), 700, 300, 45,
                dxfattribs={"layer": "BJ-ARCS", "extrusion": (0, 0, -1)})
    msp.add_circle((0, 0), 50, dxfattribs={"layer": "BJ-ARCS"})
    msp.add_text("note", dxfattribs={"layer": "BJ-ARCS"})

    # Three blocks deep: C holds a line on layer 0 and an arc; B inserts C mirrored; A inserts
    # B rotated and scaled unevenly (lines only below it).
    inner = doc.blocks.new("C", base_point=(10, 20))
    inner.add_line((0, 0), (300, 400), dxfattribs={"layer": "0"})
    inner.add_line((0, 0), (0, 250), dxfattribs={"layer": "BJ-CORNER"})
    middle = doc.blocks.new("B")
    middle.add_blockref("C", (1000, 0), dxfattribs={"xscale": -1, "layer": "0"})
    middle.add_line((0, 0), (1200, 0), dxfattribs={"layer": "0"})
    outer = doc.blocks.new("A", base_point=(5, 5))
    outer.add_blockref("B", (0, 0), dxfattribs={"rotation": 30, "xscale": 2, "yscale": 0.5,
                                                "layer": "0"})
    msp.add_blockref("A", (40000, 0), dxfattribs={"layer": ridge})
    msp.add_blockref("A", (40000, 5000), dxfattribs={"layer": "BJ-GABLE", "rotation": 90,
                                                      "extrusion": (0, 0, -1)})
    arcs = doc.blocks.new("ARCS")
    arcs.add_arc((0, 0), 100, 0, 90, dxfattribs={"layer": "0"})
    arcs.add_lwpolyline([(0, 0, 0.3), (200, 0, 0)], format="xyb",
                        dxfattribs={"layer": "0"}) if release != "R12" else arcs.add_polyline2d(
        [(0, 0, 0.3), (200, 0, 0)], format="xyb", dxfattribs={"layer": "0"})
    msp.add_blockref("ARCS", (0, -5000), dxfattribs={"layer": "BJ-ARCS", "xscale": -1.5,
                                                      "yscale": 1.5, "zscale": 1.5})
    array = msp.add_blockref("C", (0, 20000), dxfattribs={"layer": "BJ-ARRAY", "rotation": 15})
    array.dxf.column_count = 4
    array.dxf.row_count = 3
    array.dxf.column_spacing = 1000
    array.dxf.row_spacing = 1500
    doc.layout("Layout1").add_line((0, 0), (100, 0), dxfattribs={"layer": ridge})
    return doc


def length_of(entity):
    kind = entity.dxftype()
    if kind == "LINE":
        return (Vec3(entity.dxf.end) - Vec3(entity.dxf.start)).magnitude
    if kind == "ARC":
        arc = entity.construction_tool()
        return arc.radius * math.radians(arc.angle_span)
    return None


def expected_lengths(doc):
    """Per layer: (lines, length) from ezdxf's own geometry; layer 0 in a block takes the
    layer of the reference that places it."""
    totals = {}

    def add(layer, length):
        if length is None or length < 1.0:  # shorter than a millimetre: no metal
            return
        lines, total = totals.get(layer, (0, 0.0))
        totals[layer] = (lines + 1, total + length)

    def walk(entity, inherited):
        layer = entity.dxf.layer
        if inherited is not None and layer == "0":
            layer = inherited
        kind = entity.dxftype()
        if kind == "INSERT":
            for cell in entity.multi_insert():
                for inner in cell.virtual_entities():
                    walk(inner, layer)
        elif kind in ("LWPOLYLINE", "POLYLINE"):
            for part in entity.virtual_entities():
                add(layer, length_of(part))
        elif kind in ("LINE", "ARC"):
            add(layer, length_of(entity))

    for entity in doc.modelspace():
        walk(entity, None)
    return totals


def take_off(kavelmor, path):
    run = subprocess.run([kavelmor, "takeoff", str(path), "--json"], capture_output=True,
                         check=False)
    if run.returncode != 0:
        raise AssertionError(f"{path.name}: takeoff failed: {run.stderr.decode()}")
    return json.loads(run.stdout)


def check(kavelmor, folder, release, form):
    doc = build_plan(release)
    path = folder / f"plan-{release}-{form}.dxf"
    if form == "bin":
        doc.saveas(path, fmt="bin")
    else:
        doc.saveas(path)
    expected = expected_lengths(ezdxf.readfile(path))
    report = take_off(kavelmor, path)
    assert report["version"] == doc.dxfversion, (path.name, report["version"])
    assert report["binary"] == (form == "bin"), path.name
    layers = {layer["name"]: layer for layer in report["layers"]}
    for name, (lines, length) in expected.items():
        assert name in layers, f"{path.name}: layer {name} missing from {list(layers)}"
        got = layers[name]
        assert got["lines"] == lines, f"{path.name} {name}: {got['lines']} lines, not {lines}"
        assert abs(got["length"] - length) <= TOLERANCE, \
            f"{path.name} {name}: {got['length']!r} mm, ezdxf {length!r} mm"
    for name, layer in layers.items():
        if name not in expected:
            assert layer["lines"] == 0, f"{path.name}: layer {name} has lines ezdxf has not"
    assert layers["BJ-GABLE"]["zeroLength"] == 1, path.name
    assert layers["BJ-ARRAY"]["frozen"], path.name
    # Twelve copies of block C: its layer-0 line lands here, its other line on BJ-CORNER.
    assert layers["BJ-ARRAY"]["entities"] == {"INSERT": 1, "LINE": 12}, layers["BJ-ARRAY"]
    assert report["ignored"].get("CIRCLE") == 1 and report["ignored"].get("TEXT") == 1, report
    assert report["paperSpace"] >= 1, report
    if release in ("R2000", "R2018"):
        assert "BJ-屋脊" in layers, f"{path.name}: {list(layers)}"
    return path


def refused(kavelmor, path, *expected):
    """The command ends with status 1 and one line naming the file and the problem."""
    run = subprocess.run([kavelmor, "takeoff", str(path), "--json"], capture_output=True,
                         check=False)
    lines = run.stderr.decode().splitlines()
    assert run.returncode == 1 and run.stdout == b"", (path.name, run)
    assert len(lines) == 1 and lines[0].startswith(f"kavelmor takeoff: {path}: "), lines
    for part in expected:
        assert part in lines[0], (part, lines[0])


def check_bad_input(kavelmor, folder):
    dwg = folder / "old.dwg"
    dwg.write_bytes(b"AC1032\x00\x00\x00\x01binary")
    refused(kavelmor, dwg, "a DWG drawing", "save it as DXF")
    whole = (folder / "plan-R2013-bin.dxf").read_bytes()
    cut = folder / "cut-bin.dxf"
    cut.write_bytes(whole[: len(whole) // 2])
    refused(kavelmor, cut, ": byte ")
    text = (folder / "plan-R2013-asc.dxf").read_bytes()
    cut = folder / "cut-asc.dxf"
    cut.write_bytes(text[: len(text) // 2 + 3])
    refused(kavelmor, cut, ": line ", "cut short")
    shifted = folder / "shifted.dxf"
    shifted.write_bytes(text.replace(b"\nLINE\n", b"\nLINE\n  5\n", 1))
    refused(kavelmor, shifted, ": line ", "expected")


def check_text_report(kavelmor, folder):
    run = subprocess.run([kavelmor, "takeoff", str(folder / "plan-R2000-asc.dxf")],
                         capture_output=True, check=True)
    report = run.stdout.decode()
    assert "AC1015 (ASCII), code page ANSI_936, units mm" in report, report
    assert "  BJ-屋脊: 4 flashing lines" in report, report
    assert "layer frozen, taken all the same" in report, report
    assert "Ignored (no flashing lines): CIRCLE 1 TEXT 1" in report, report


def main():
    kavelmor = sys.argv[1]
    with tempfile.TemporaryDirectory() as temporary:
        folder = Path(temporary)
        for release in RELEASES:
            for form in ("asc", "bin"):
                check(kavelmor, folder, release, form)
                print(f"{release} {form}: per-layer lengths as ezdxf computes them")
        raw = (folder / "plan-R2000-asc.dxf").read_bytes()
        assert "BJ-屋脊".encode("gbk") in raw, "the release-2000 plan holds no GBK name"
        raw = (folder / "plan-R2018-asc.dxf").read_bytes()
        assert "BJ-屋脊".encode("utf-8") in raw, "the release-2018 plan holds no UTF-8 name"
        check_text_report(kavelmor, folder)
        check_bad_input(kavelmor, folder)
        print("bad input: one line naming the file and the place, status 1")


if __name__ == "__main__":
    main()
