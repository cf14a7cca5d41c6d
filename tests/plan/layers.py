#!/usr/bin/env python3
"""Checks the plan of src/: every include between folders points down, and no
two files include each other, directly or through others.

Levels, bottom first: the platform layer (platform: the contracts in
platform/, each platform's side of them in platform/<name>/); the shared
records and services (base); the archive and colour maps (resources); the
drawing subsystems (intro, field, overlays); the driver on top. A folder may
include its own files and those of lower levels only: not a folder beside
it, not one above it. Only the platform layer itself may include a file of
one platform: everything above it sees the contracts alone."""
import os
import re
import sys

LEVELS = {"platform": 0, "base": 1, "resources": 2, "intro": 3, "field": 3, "overlays": 3, "driver": 4}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def main(src):
    files = {}
    for folder in sorted(os.listdir(src)):
        if not os.path.isdir(os.path.join(src, folder)):
            continue
        if folder not in LEVELS:
            return [f"src/{folder}/ has no place in the plan: add it to LEVELS"]
        for root, _, names in sorted(os.walk(os.path.join(src, folder))):
            for name in sorted(names):
                path = os.path.relpath(os.path.join(root, name), src)
                files[path] = open(os.path.join(root, name)).read()

    faults = []
    edges = {}
    for path, text in files.items():
        folder = path.split("/")[0]
        edges[path] = []
        for target in INCLUDE.findall(text):
            if "/" not in target:
                target = f"{os.path.dirname(path)}/{target}"
            if target not in files:
                faults.append(f"{path} includes {target}, which is not in src/")
                continue
            edges[path].append(target)
            to = target.split("/")[0]
            if to != folder and LEVELS[to] >= LEVELS[folder]:
                faults.append(f"{path} includes {target}: {to}/ is not below {folder}/")
            if to == "platform" and target.count("/") > 1 and folder != "platform":
                faults.append(f"{path} includes {target}: only the platform layer sees a platform")

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
