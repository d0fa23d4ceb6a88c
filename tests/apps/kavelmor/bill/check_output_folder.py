#!/usr/bin/env python3
"""The output folder as a user meets it: `bill --help` names every file a run writes, the
demo's progress names no temporary folder, and an output folder on another file system (a
tmpfs mounted for the test, where the system lets it) works like any other; a read-only one is
one line saying what failed, on which file and what to do.

    check_output_folder.py KAVELMOR
"""
import os
import re
import subprocess
import sys
import tempfile


def run(kavelmor, *arguments, env=None):
    done = subprocess.run([kavelmor, *arguments], capture_output=True, text=True, env=env)
    return done.returncode, done.stdout, done.stderr


def mounted(folder, options):
    done = subprocess.run(["mount", "-t", "tmpfs", "-o", options, "tmpfs", folder],
                          capture_output=True)
    return done.returncode == 0


def main():
    kavelmor = sys.argv[1]
    failures = []

    def expect(condition, message):
        if not condition:
            failures.append(message)

    with tempfile.TemporaryDirectory() as folder:
        sessions = os.path.join(folder, "sessions-a5c9")
        os.mkdir(sessions)
        env = dict(os.environ, KAVELMOR_HOME=folder, TMPDIR=sessions)
        out = os.path.join(folder, "demo")
        status, progress, err = run(kavelmor, "demo", "-o", out, env=env)
        expect(status == 0, f"demo: {status} {err!r}")
        expect("sessions-a5c9" not in progress, f"the demo names its session: {progress!r}")
        status, help_text, _ = run(kavelmor, "bill", "--help", env=env)
        written = sorted(os.listdir(out)) if os.path.isdir(out) else []
        expect(len(written) > 10, f"the demo wrote {written}")
        for name in written:
            if re.fullmatch(r"\d+-.+\.png", name) or name in ("project.json", "plan.dxf"):
                continue  # pictures, named by pattern; the demo's own sample
            expect(name in help_text, f"bill --help does not name {name}: {help_text!r}")
        expect("NN-NAME.png" in help_text, "bill --help does not name the pictures")

        other = os.path.join(folder, "other")
        os.mkdir(other)
        if not mounted(other, "size=64m"):
            print("no tmpfs mount here: the other file system is not tried")
        else:
            try:
                for target in (other, os.path.join(other, "out")):
                    for attempt in range(2):  # a new folder, then one the first run wrote
                        status, progress, err = run(kavelmor, "demo", "-o", target, env=env)
                        expect(status == 0 and err == "",
                               f"demo into {target} ({attempt}): {status} {err!r}")
                        expect("Wrote the coil order to" in progress, f"{target}: {progress!r}")
                subprocess.run(["mount", "-o", "remount,ro", other], check=True)
                status, _, err = run(kavelmor, "demo", "-o", os.path.join(other, "new"), env=env)
                expect(status == 1 and err.count("\n") == 1 and
                       err.startswith(f"kavelmor bill: {other}/new: cannot write: ") and
                       "filesystem error" not in err and "name another folder" in err,
                       f"a read-only file system: {status} {err!r}")
            finally:
                subprocess.run(["umount", other], check=False)

    for failure in failures:
        print("FAILED:", failure)
    print(f"output folder: {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
