#!/usr/bin/env python3
"""The modules depend one way, read from the build's own graph (module_graph.txt, written by
CMake): src <- platform <- apps, the Windows platform never on the simulated host, the simulated
host and the drawing formats never on the workshop job, and no circle anywhere. Which header a
module may include follows from this: the build exposes only the headers of linked modules."""
import sys
from pathlib import Path

# What the modules of a folder may link, by the folders' prefixes; the first match rules.
RULES = [
    ("src/", ["src/"]),
    ("platform/script", ["src/", "platform/script"]),
    ("platform/win32", ["src/", "platform/script", "platform/win32"]),
    ("platform/workshop", ["src/", "platform/script", "platform/sim", "platform/dxf",
                           "platform/cairo", "platform/workshop"]),
    ("platform/", ["src/", "platform/script", "platform/sim", "platform/dxf", "platform/cairo"]),
    ("apps/", ["src/", "platform/", "apps/"]),
    ("", [""]),  # tests, benchmarks, fuzz targets and tools may use anything
]
# The core's platform seams: on Windows the code page and file access come from platform/win32,
# linked under the core's libraries so that every program gets them.
SEAMS = {("kvm_base", "kvm_win32_codepage"), ("kvm_files", "kvm_win32_file_access")}


def allowed(folder):
    for prefix, targets in RULES:
        if folder.startswith(prefix):
            return targets
    return []


def main(graph_file):
    modules = {}
    for line in Path(graph_file).read_text().splitlines():
        name, folder, *deps = line.split()
        modules[name] = (folder, deps)
    faults = []
    for name, (folder, deps) in sorted(modules.items()):
        for dep in deps:
            dep_folder = modules[dep][0]
            if (name, dep) in SEAMS:
                continue
            if not any(dep_folder.startswith(prefix) for prefix in allowed(folder)):
                faults.append(f"{name} ({folder}) links {dep} ({dep_folder})")
    # A circle would let each module of it include the others' headers.
    state = {}

    def visit(name, path):
        state[name] = "open"
        for dep in modules[name][1]:
            if (name, dep) in SEAMS:
                continue
            if state.get(dep) == "open":
                faults.append("circle: " + " -> ".join(path[path.index(dep):] + [dep]))
            elif dep not in state:
                visit(dep, path + [dep])
        state[name] = "done"

    for name in sorted(modules):
        if name not in state:
            visit(name, [name])
    for fault in faults:
        print(fault)
    if faults:
        print("layering: the links above run against the modules' direction")
        return 1
    print(f"layering: {len(modules)} modules, every link follows the modules' direction")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
