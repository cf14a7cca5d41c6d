#!/usr/bin/env python3
"""Checks the plan of the code in src/, tools/ and tests/: every include
points down, and no two files include each other, directly or through others.

Levels, bottom first: src/, then tools/, then tests/. Within src/: the
platform layer (platform: the contracts in platform/*.h and the code every
system shares beside them, each system's side in platform/<system>/, what
Linux and the browser share in platform/posix/); the shared records and
services (base); the archive and colour maps (resources); the drawing
subsystems (intro, field, overlays); the driver on top.

The rules, for quoted includes:
- src/ includes only src/; tools/ includes src/ and tools/, never tests/;
  tests/ include any of them.
- A folder of src/ includes its own files and those of lower levels only:
  not a folder beside it, not one above it.
- A system's file (src/platform/<system>/...) is included only by that
  system's own files and by tests/ (which test Linux's): everything else
  sees the contracts alone, and no system includes another's.
- A tool (tools/<tool>/) includes its own files, src/, and the tools shared
  on purpose (SHARED_TOOLS), never another tool's files.
And for system headers in angle brackets (all but the standard library's,
named without ".h", and Allegro's): only src/platform/ includes them in
src/. tools/ and tests/ are programs for the Linux machine that builds and
tests, and may, except the recorder, which is to run on other systems too:
it includes only RECORDER_SYSTEM_HEADERS, the ties its port must undo."""
import os
import re
import sys

ZONES = {"src": 0, "tools": 1, "tests": 2}
LEVELS = {"platform": 0, "base": 1, "resources": 2, "intro": 3, "field": 3, "overlays": 3, "driver": 4}
SHARED_TOOLS = {"png"}
RECORDER_SYSTEM_HEADERS = {"fluidsynth.h", "spawn.h", "sys/stat.h", "sys/wait.h", "unistd.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s+([<"])([^>"]+)[>"]', re.M)
SOURCE = (".c", ".cpp", ".h")


def read_tree(root):
    files = {}
    for zone in ZONES:
        for folder, _, names in sorted(os.walk(os.path.join(root, zone))):
            for name in sorted(n for n in names if n.endswith(SOURCE)):
                path = os.path.relpath(os.path.join(folder, name), root)
                files[path] = open(os.path.join(root, path), errors="replace").read()
    return files


def resolve(path, target, files):
    """The file a quoted include names: beside the includer, under src/ or
    tools/, or else the one file of that name in the tree."""
    for candidate in (os.path.normpath(f"{os.path.dirname(path)}/{target}"), f"src/{target}", f"tools/{target}"):
        if candidate in files:
            return candidate
    named = [f for f in files if f.endswith("/" + target)]
    return named[0] if len(named) == 1 else None


def system_of(path):
    parts = path.split("/")
    return "/".join(parts[:3]) if parts[:2] == ["src", "platform"] and len(parts) > 3 else None


def include_fault(path, target):
    zone, to_zone = path.split("/")[0], target.split("/")[0]
    if ZONES[to_zone] > ZONES[zone]:
        return f"{to_zone}/ is above {zone}/"
    if zone == to_zone == "src":
        folder, to = path.split("/")[1], target.split("/")[1]
        if folder not in LEVELS or to not in LEVELS:
            return f"src/{folder if folder not in LEVELS else to}/ has no place in the plan: add it to LEVELS"
        if to != folder and LEVELS[to] >= LEVELS[folder]:
            return f"{to}/ is not below {folder}/"
    system = system_of(target)
    if system and zone != "tests" and system_of(path) != system:
        return f"only {system}/ itself sees its files"
    tool, to_tool = path.split("/")[1], target.split("/")[1]
    if zone == to_zone == "tools" and to_tool != tool and to_tool not in SHARED_TOOLS:
        return f"tools/{to_tool}/ is another tool's, not shared"
    return None


def system_header_fault(path, header):
    if re.fullmatch(r"[a-z_]+", header) or header == "allegro.h" or header.startswith("allegro/"):
        return None
    if path.startswith("src/") and not path.startswith("src/platform/"):
        return "only src/platform/ includes system headers"
    if path.startswith("tools/capture/") and header not in RECORDER_SYSTEM_HEADERS:
        return "the recorder includes only RECORDER_SYSTEM_HEADERS"
    return None


def main(root):
    files = read_tree(root)
    faults = []
    edges = {}
    for path, text in files.items():
        edges[path] = []
        for kind, name in INCLUDE.findall(text):
            if kind == "<":
                why = system_header_fault(path, name)
                if why:
                    faults.append(f"{path} includes <{name}>: {why}")
                continue
            target = resolve(path, name, files)
            if target is None:
                faults.append(f"{path} includes {name}, which is not in the tree")
                continue
            edges[path].append(target)
            why = include_fault(path, target)
            if why:
                faults.append(f"{path} includes {target}: {why}")

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
    faults = main(sys.argv[1] if len(sys.argv) > 1 else ".")
    for f in faults:
        print(f, file=sys.stderr)
    sys.exit(1 if faults else 0)
