#!/usr/bin/env python3
"""Checks the plan of src/: every include between folders points down, and no
two files include each other, directly or through others.

Levels, bottom first: the shared records and services (base) and the
synthesizer driver (sound); the archive and colour maps (resources); the
drawing subsystems (intro, field, overlays); the driver on top. A folder may
include its own files and those of lower levels only: not a folder beside
it, not one above it."""
import os
import re
import sys

LEVELS = {"base": 0, "sound": 0, "resources": 1, "intro": 2, "field": 2, "overlays": 2, "driver": 3}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def main(src):
    files = {}
    for folder in sorted(os.listdir(src)):
        if not os.path.isdir(os.path.join(src, folder)):
            continue
        if folder not in LEVELS:
            return [f"src/{folder}/ has no place in the plan: add it to LEVELS"]
        for name in sorted(os.listdir(os.path.join(src, folder))):
            files[f"{folder}/{name}"] = open(os.path.join(src, folder, name)).read()

    faults = []
    edges = {}
    for path, text in files.items():
        folder = path.split("/")[0]
        edges[path] = []
        for target in INCLUDE.findall(text):
            if "/" not in target:
                target = f"{folder}/{target}"
            if target not in files:
                faults.append(f"{path} includes {target}, which is not in src/")
                continue
            edges[path].append(target)
            to = target.split("/")[0]
            if to != folder and LEVELS[to] >= LEVELS[folder]:
                faults.append(f"{path} includes {target}: {to}/ is not below {folder}/")

    # Depth-first search for a circle of includes.
    state = {}

    def visit(node, trail):
        state[node] = "open"
        for nxt in edges[node]:
            if state.get(nxt) == "open":
                faults.append("circle: " + " -> ".join(trail[trail.index(nxt):] + [nxt]))
            elif nxt not in state:
                visit(nxt, trail + [nxt])
        state[node] = "done"

    for node in edges:
        if node not in state:
            visit(node, [node])
    return faults


if __name__ == "__main__":
    faults = main(sys.argv[1] if len(sys.argv) > 1 else "src")
    for f in faults:
        print(f, file=sys.stderr)
    sys.exit(1 if faults else 0)
