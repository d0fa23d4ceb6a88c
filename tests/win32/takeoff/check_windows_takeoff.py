"""`kavelmor.exe takeoff` of the Windows build under wine against `kavelmor takeoff` of the
Linux build, on the project's plans: ezdxf's plans of every release (ASCII and binary), the
demo's plan, names in several code pages and escapes, drawings that cannot be read, GDAL's
plan and the drawings of the CAD data packages the Linux tests read. Both must print the same
bytes and end with the same status; an error line may end in "\\r\\n" on Windows.

    check_windows_takeoff.py LINUX_KAVELMOR WINE WINDOWS_KAVELMOR [--all]
    check_windows_takeoff.py --missing WINE WINDOWS_KAVELMOR
"""

import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "dxf"))
from check_plan_takeoff import RELEASES, build_plan  # noqa: E402

LIBRECAD = Path("/usr/share/librecad/library")
OPENSCAD = Path("/usr/share/openscad/testdata/dxf")
# Every 64th of LibreCAD's 1,272 drawings keeps the wine side short; `--all` takes every one.
LIBRECAD_STRIDE = 64


def minimal_plan(code_page, layer):
    """A release-12 plan with one line on a layer whose name is the given bytes."""
    groups = [(0, b"SECTION"), (2, b"HEADER"), (9, b"$ACADVER"), (1, b"AC1009"),
              (9, b"$DWGCODEPAGE"), (3, code_page.encode()), (0, b"ENDSEC"),
              (0, b"SECTION"), (2, b"ENTITIES"), (0, b"LINE"), (8, layer),
              (10, b"0"), (20, b"0"), (30, b"0"), (11, b"2500"), (21, b"0"), (31, b"0"),
              (0, b"ENDSEC"), (0, b"EOF")]
    return b"".join(b"%3d\n%s\n" % (code, value) for code, value in groups)


NAMED_PLANS = {
    "cp1252.dxf": minimal_plan("ANSI_1252", "Façade-Ö".encode("cp1252")),
    "cp1252-undefined.dxf": minimal_plan("ANSI_1252", b"BJ-\x81"),
    "cp1251.dxf": minimal_plan("ANSI_1251", "Конёк".encode("cp1251")),
    "cp1253.dxf": minimal_plan("ANSI_1253", "Κορφιάς".encode("cp1253")),
    "cp932.dxf": minimal_plan("ANSI_932", "棟包み".encode("cp932")),
    "cp936.dxf": minimal_plan("ANSI_936", "屋脊包角".encode("gbk")),
    "cp936-broken.dxf": minimal_plan("ANSI_936", b"BJ-\xce"),
    "cp936-user-defined.dxf": minimal_plan("ANSI_936", b"BJ-\xaa\xa1"),
    "escapes.dxf": minimal_plan(
        "ANSI_1252", b"\\M+5CEDD\\M+1938F\\M+2AFE1\\M+3C7D1\\M+4D065\\U+5305"),
    "unknown-page.dxf": minimal_plan("ANSI_99999", "Façade".encode("cp1252")),
    "not-a-page.dxf": minimal_plan("DOS_STRANGE", "Façade".encode("cp1252")),
}


def plans(linux, folder, every_librecad):
    """(name to run with, cwd) of every plan to compare; the files are written into folder."""
    found = []
    for release in RELEASES:
        doc = build_plan(release)
        for form in ("asc", "bin"):
            name = f"plan-{release}-{form}.dxf"
            doc.saveas(folder / name, **({"fmt": "bin"} if form == "bin" else {}))
            found.append(name)
    for name, content in NAMED_PLANS.items():
        (folder / name).write_bytes(content)
        found.append(name)
    text = (folder / "plan-R2013-asc.dxf").read_bytes()
    whole = (folder / "plan-R2013-bin.dxf").read_bytes()
    damaged = {"old.dwg": b"AC1032\x00\x00\x00\x01binary",
               "cut-asc.dxf": text[: len(text) // 2 + 3],
               "cut-bin.dxf": whole[: len(whole) // 2],
               "shifted.dxf": text.replace(b"\nLINE\n", b"\nLINE\n  5\n", 1),
               "no-eof.dxf": text[: text.rindex(b"EOF")]}
    for name, content in damaged.items():
        (folder / name).write_bytes(content)
        found.append(name)
    found.append("missing.dxf")
    subprocess.run([linux, "demo", "-o", str(folder / "demo")], check=True,
                   capture_output=True)
    found.append("demo/plan.dxf")
    if subprocess.run(["sh", "-c", "command -v ogr2ogr"], capture_output=True).returncode == 0:
        source = folder / "lines.geojson"
        source.write_text('{"type": "FeatureCollection", "features": [{"type": "Feature", '
                          '"properties": {"Layer": "BJ-RIDGE"}, "geometry": {"type": '
                          '"LineString", "coordinates": [[0, 0], [3000, 4000], [3000, 9000.5]]}}]}')
        subprocess.run(["ogr2ogr", "-f", "DXF", str(folder / "gdal.dxf"), str(source)],
                       check=True, capture_output=True)
        found.append("gdal.dxf")
    stride = 1 if every_librecad else LIBRECAD_STRIDE
    if LIBRECAD.is_dir():
        found += [str(path) for path in sorted(LIBRECAD.rglob("*.dxf"))[::stride]]
    if OPENSCAD.is_dir():
        found += [str(path) for path in sorted(OPENSCAD.rglob("*.dxf"))]
    return found


def run(command, folder):
    result = subprocess.run(command, cwd=folder, capture_output=True, check=False)
    return result.returncode, result.stdout, result.stderr.replace(b"\r\n", b"\n")


def compare(linux, wine, windows, every_librecad):
    with tempfile.TemporaryDirectory() as temporary:
        folder = Path(temporary)
        names = plans(linux, folder, every_librecad)
        cases = [(name, ["--json"]) for name in names]
        cases += [("plan-R2000-asc.dxf", []), ("plan-R2018-bin.dxf", ["--json", "--units", "m"]),
                  ("cp936.dxf", [])]
        started = time.monotonic()

        def both(case):
            name, options = case
            return (run([linux, "takeoff", name, *options], folder),
                    run([wine, windows, "takeoff", name, *options], folder))

        # A wine process spends most of its second starting up, waiting more than working:
        # a few at a time share one wine server.
        with ThreadPoolExecutor(max_workers=4) as pool:
            results = list(pool.map(both, cases))
        differing = []
        for (name, options), (expected, got) in zip(cases, results):
            if got != expected:
                differing.append(name)
                print(f"{name} {' '.join(options)}: differs\n  Linux:   {expected}\n"
                      f"  Windows: {got}")
        refused = sum(expected[0] != 0 for expected, _ in results)
        print(f"{len(cases)} take-offs ({refused} of them refused) in "
              f"{time.monotonic() - started:.0f} s")
        if differing:
            sys.exit(f"{len(differing)} of {len(cases)} take-offs differ")
        print("the Windows take-off prints the same bytes as the Linux one")


def missing_commands(wine, windows):
    """Commands the Windows build lacks say so and why, with status 1, whatever their
    arguments; they are listed in the help."""
    cases = {"bill": ["project.json", "-o", "out", "--builtin"], "demo": ["-o", "out"],
             "preview": ["彩钢板屋面", "屋脊包角", "-o", "ridge.png"], "serve": ["--open"]}
    with tempfile.TemporaryDirectory() as temporary:
        for command, arguments in cases.items():
            status, out, errors = run([wine, windows, command, *arguments], temporary)
            text = errors.decode()
            assert status == 1 and out == b"", (command, status, out, text)
            assert text.startswith(f"kavelmor {command}: not in this build: the Windows build "
                                   "has no cairo"), text
            assert len(text.splitlines()) == 1, text
            assert not list(Path(temporary).iterdir()), f"{command} wrote files"
        status, out, _ = run([wine, windows, "--help"], temporary)
        assert status == 0, status
        for command in (*cases, "takeoff"):
            assert f"\n  {command}".encode() in out.replace(b"\r\n", b"\n"), (command, out)
    print("bill, demo, preview and serve say that this build lacks them, with status 1")


def main():
    if sys.argv[1] == "--missing":
        missing_commands(sys.argv[2], sys.argv[3])
    else:
        compare(sys.argv[1], sys.argv[2], sys.argv[3], "--all" in sys.argv[4:])


if __name__ == "__main__":
    main()
