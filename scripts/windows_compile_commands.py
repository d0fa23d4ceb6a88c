#!/usr/bin/env python3
"""The Windows build's compile commands, rewritten so that clang-tidy can read them.

The cross build compiles with mingw-w64's g++, whose own intrinsics headers clang cannot
parse; the commands keep mingw's C++ library and Windows headers and take clang's built-in
headers instead, for the mingw target.

    windows_compile_commands.py WINDOWS_BUILD OUT_FOLDER
"""
import json
import pathlib
import re
import shlex
import subprocess
import sys


def search_path(compiler):
    """The compiler's own include folders, in its order."""
    probe = subprocess.run([compiler, "-E", "-x", "c++", "-", "-v"], input="",
                           capture_output=True, text=True, check=True).stderr
    inside = probe.split("#include <...> search starts here:")[1].split("End of search list.")[0]
    return [line.strip() for line in inside.splitlines() if line.strip()]


def main():
    build, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    commands = json.loads((build / "compile_commands.json").read_text())
    clang_headers = subprocess.run(["clang++", "-print-resource-dir"], capture_output=True,
                                   text=True, check=True).stdout.strip() + "/include"
    rewritten = []
    folders = None
    for entry in commands:
        args = shlex.split(entry["command"]) if "command" in entry else entry["arguments"]
        if folders is None:
            folders = []
            for folder in search_path(args[0]):
                # gcc's own headers (intrinsics, limits) give way to clang's.
                if re.search(r"/lib/gcc/[^/]+/[^/]+/include(-fixed)?$", folder):
                    if clang_headers not in folders:
                        folders.append(clang_headers)
                else:
                    folders.append(folder)
        flags = [a for a in args[1:] if a != "-Wno-restrict"]
        system = [x for folder in folders for x in ("-isystem", folder)]
        rewritten.append({
            "directory": entry["directory"],
            "file": entry["file"],
            "arguments": ["clang++", "--target=x86_64-w64-mingw32", "-nostdinc", "-nostdinc++",
                          *system, *flags],
        })
    out.mkdir(parents=True, exist_ok=True)
    (out / "compile_commands.json").write_text(json.dumps(rewritten, indent=1))


if __name__ == "__main__":
    main()
