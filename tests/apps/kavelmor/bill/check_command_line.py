#!/usr/bin/env python3
"""The command line as a user meets it: the version, an unknown command, messages that name
their command, and the exit statuses the help documents (0 done, 1 refused).

    check_command_line.py KAVELMOR
"""
import os
import subprocess
import sys
import tempfile


def run(kavelmor, *arguments, env=None):
    done = subprocess.run([kavelmor, *arguments], capture_output=True, text=True, env=env)
    return done.returncode, done.stdout, done.stderr


def main():
    kavelmor = sys.argv[1]
    failures = []

    def expect(condition, message):
        if not condition:
            failures.append(message)

    status, out, _ = run(kavelmor, "--version")
    expect(status == 0 and out.startswith("kavelmor "), f"--version: {status} {out!r}")
    status, _, err = run(kavelmor, "takeof")
    expect(status == 1 and err.startswith('kavelmor: unknown command "takeof"; the commands: ')
           and "bill" in err and "preview" in err, f"unknown command: {status} {err!r}")
    status, out, _ = run(kavelmor, "--help")
    expect(status == 0 and "Exit status: 0 done; 1 a refused input" in out, f"--help: {out!r}")
    status, _, err = run(kavelmor, "bill")
    expect(status == 1 and err.startswith("kavelmor: "), f"bill without a project: {err!r}")
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, KAVELMOR_HOME=folder)
        status, _, err = run(kavelmor, "bill", folder, "-o", os.path.join(folder, "out"), env=env)
        expect(status == 1 and err == f"kavelmor bill: {folder}: is a folder, not a project file\n",
               f"a folder as the project: {status} {err!r}")
        status, _, err = run(kavelmor, "preview", "彩钢板屋面", "无此包角", "-o",
                             os.path.join(folder, "p.png"), env=env)
        lines = err.splitlines()
        expect(status == 1 and lines and all(l.startswith("kavelmor preview: ") for l in lines),
               f"preview's messages: {status} {err!r}")
        expect(not os.path.exists(os.path.join(folder, "p.png")), "preview wrote a picture")

    for failure in failures:
        print("FAILED:", failure)
    print(f"command line: {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
