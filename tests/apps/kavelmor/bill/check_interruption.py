#!/usr/bin/env python3
"""Ctrl-C or SIGTERM in the middle of a bill leaves the output folder as the last run left it
and no temporary folder behind, neither beside it nor in the temporary directory.

    check_interruption.py KAVELMOR
"""
import json
import os
import pathlib
import signal
import subprocess
import sys
import tempfile

FLASHINGS = ["彩钢板屋面:屋脊包角", "彩钢板屋面:山墙包角", "彩钢墙面:转角包角", "彩钢墙面:窗顶包角",
             "彩钢墙面:窗侧包角", "彩钢墙面:上窗底包角", "彩钢墙面:女儿墙顶包角a", "彩钢墙面:女儿墙顶包角b"]


def project(lines_per_row):
    rows = [{"flashing": name, "mode": 0,
             "lines": [{"start": [0, i], "end": [1000 + 7 * i, i]} for i in range(lines_per_row)]}
            for name in FLASHINGS]
    return {"project": {"name": "车间", "plateThickness": "0.5", "lengthClassStep": "0",
                        "textHeight": "300"}, "billOrigin": [40000, 0], "currentUse": rows}


def snapshot(folder):
    return {p.name: p.read_bytes() for p in sorted(folder.iterdir())}


def main():
    kavelmor = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        base = pathlib.Path(folder)
        temporary = base / "tmp"
        temporary.mkdir()
        env = dict(os.environ, KAVELMOR_HOME=str(base / "user"), TMPDIR=str(temporary))
        out = base / "out"
        (base / "small.json").write_text(json.dumps(project(2), ensure_ascii=False), "utf-8")
        (base / "large.json").write_text(json.dumps(project(1500), ensure_ascii=False), "utf-8")
        subprocess.run([kavelmor, "bill", str(base / "small.json"), "-o", str(out)], check=True,
                       stdout=subprocess.DEVNULL, env=env)
        before = snapshot(out)

        for number in (signal.SIGINT, signal.SIGTERM):
            run = subprocess.Popen([kavelmor, "bill", str(base / "large.json"), "-o", str(out)],
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env,
                                   text=True)
            for line in run.stdout:
                if line.startswith("Block 1:"):
                    run.send_signal(number)
                    break
            run.stdout.read()
            errors = run.stderr.read()
            status = run.wait()
            name = signal.Signals(number).name
            if status != 1 or "the output folder is left as it was" not in errors:
                failures.append(f"{name}: status {status}, {errors!r}")
            if snapshot(out) != before:
                failures.append(f"{name}: the output folder changed")
            left = sorted(p.name for p in base.iterdir() if p.name.startswith("."))
            left += sorted(p.name for p in temporary.iterdir())
            if left:
                failures.append(f"{name}: left behind {left}")

    for failure in failures:
        print("FAILED:", failure)
    print(f"interruptions: 2 signals sent; {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
