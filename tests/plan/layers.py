#!/usr/bin/env python3
"""Checks the plan of src/, tools/ and tests/: includes point down, none form
a circle, and system headers stay in the platform layer.

- src/ includes only src/, tools/ only src/ and tools/; tests/ include all.
- In src/, a folder includes its own files and those of lower LEVELS only.
  The platform layer holds the contracts (platform/*.h), the code all
  systems share, and each system's side (platform/<system>/, and posix/ for
  what Linux and the browser share). A system's files are included only by
  that system's own and by tests/: the rest sees the contracts alone.
- A tool includes its own files and src/, and of tools/ only SHARED_TOOLS.
- Angle-bracket headers other than the standard library's (named without
  ".h") and Allegro's are system headers: in src/ only src/platform/ has
  them. tools/ and tests/ run on the Linux machine that builds and tests and
  may use them, but for the recorder, which runs on every system: its shared
  files use only the headers all systems have, and each of its system
  folders only its own (RECORDER_SYSTEM_HEADERS)."""
import os
import re
import sys

ZONES = {"src": 0, "tools": 1, "tests": 2}
LEVELS = {"platform": 0, "base": 1, "resources": 2, "intro": 3, "field": 3, "overlays": 3, "driver": 4}
SHARED_TOOLS = {"png"}
RECORDER_SYSTEM_HEADERS = {
    "": {"sys/stat.h", "unistd.h"},
    "linux": {"fluidsynth.h", "spawn.h", "sys/wait.h", "unistd.h"},
    "posix": {"unistd.h"},
    "windows": {"fcntl.h", "io.h", "windows.h"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+([<"])([^>"]+)[>"]', re.M)


def resolve(path, name, files):
    """A quoted include: beside the includer, under src/ or tools/, or else
    the one file of that name in the tree."""
    for candidate in (os.path.normpath(f"{os.path.dirname(path)}/{name}"), f"src/{name}", f"tools/{name}"):
        if candidate in files:
            return candidate
    named = [f for f in files if f.endswith("/" + name)]
    return named[0] if len(named) == 1 else None


def system_of(path):
    parts = path.split("/")
    return "/".join(parts[:3]) if parts[:2] == ["src", "platform"] and len(parts) > 3 else None


def include_fault(path, target):
    (zone, folder), (to_zone, to) = path.split("/")[:2], target.split("/")[:2]
    if ZONES[to_zone] > ZONES[zone]:
        return f"{to_zone}/ is above {zone}/"
    if zone == to_zone == "src" and to != folder and LEVELS.get(to, 9) >= LEVELS.get(folder, -1):
        return f"{to}/ is not below {folder}/ (or not in LEVELS)"
    if system_of(target) and zone != "tests" and system_of(path) != system_of(target):
        return f"only {system_of(target)}/ itself sees its files"
    if zone == to_zone == "tools" and to != folder and to not in SHARED_TOOLS:
        return f"tools/{to}/ is another tool's, not shared"
    return None


def header_fault(path, header):
    if re.fullmatch(r"[a-z_]+", header) or header == "allegro.h" or header.startswith("allegro/"):
        return None
    if path.startswith("src/") and not path.startswith("src/platform/"):
        return "only src/platform/ has system headers"
    if path.startswith("tools/capture/"):
        parts = path.split("/")
        folder = parts[2] if len(parts) > 3 else ""
        if header not in RECORDER_SYSTEM_HEADERS.get(folder, set()):
            return f"not in RECORDER_SYSTEM_HEADERS[{folder!r}]"
    return None


def main(root):
    files = {}
    for zone in ZONES:
        for folder, _, names in os.walk(os.path.join(root, zone)):
            for name in (n for n in names if n.endswith((".c", ".cpp", ".h"))):
                path = os.path.relpath(os.path.join(folder, name), root)
                files[path] = open(os.path.join(root, path), errors="replace").read()
    faults = []
    edges = {}
    for path, text in sorted(files.items()):
        edges[path] = []
        for kind, name in INCLUDE.findall(text):
            if kind == "<":
                target, why = f"<{name}>", header_fault(path, name)
            elif (target := resolve(path, name, files)) is None:
                target, why = name, "not in the tree"
            else:
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
