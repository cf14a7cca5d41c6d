#!/usr/bin/env python3
"""Gives every file of the web folder but its two pages a name that holds a
hash of its contents (tessera.js becomes tessera.0123456789ab.js), and lists
the files with their new names and sizes in index.html, where page.js reads
them. A browser may then keep the files for good: another build names its
files differently, so an old file is never taken for a new one. The
program's own files are preloaded: the browser fetches them while it reads
the page, before page.js asks for them.
   stamp.py FOLDER"""
import hashlib
import json
import os
import sys

PAGES = ("index.html", "licenses.html")
LIST = '<script id="files" type="application/json">{}</script>'
PAGE_SCRIPT = '<script src="page.js"></script>'
HEAD_END = "</head>"
PRELOADED = ("tessera.js", "tessera.wasm", "tessera.data")


def main():
    folder = sys.argv[1]
    files = {}
    for top, dirs, names in os.walk(folder):
        dirs.sort()
        for name in sorted(names):
            path = os.path.relpath(os.path.join(top, name), folder)
            if path in PAGES:
                continue
            with open(os.path.join(folder, path), "rb") as f:
                data = f.read()
            stem, ext = os.path.splitext(path)
            stamped = "%s.%s%s" % (stem, hashlib.sha256(data).hexdigest()[:12], ext)
            os.rename(os.path.join(folder, path), os.path.join(folder, stamped))
            files[path] = [stamped, len(data)]
    index = os.path.join(folder, "index.html")
    with open(index, encoding="utf-8") as f:
        page = f.read()
    if page.count(LIST) != 1 or page.count(PAGE_SCRIPT) != 1 or page.count(HEAD_END) != 1 or \
            any(name not in files for name in ("page.js",) + PRELOADED):
        sys.exit("stamp.py: index.html or page.js is not as the build expects")
    page = page.replace(LIST, LIST.replace("{}", json.dumps(files, sort_keys=True)))
    page = page.replace(PAGE_SCRIPT, PAGE_SCRIPT.replace("page.js", files["page.js"][0]))
    # As page.js's fetch() asks for them, or the browser would fetch them twice.
    links = "".join('<link rel="preload" href="%s" as="fetch" crossorigin>\n' % files[name][0]
                    for name in PRELOADED)
    page = page.replace(HEAD_END, links + HEAD_END)
    with open(index, "w", encoding="utf-8") as f:
        f.write(page)


if __name__ == "__main__":
    main()
