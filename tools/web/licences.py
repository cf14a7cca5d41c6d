#!/usr/bin/env python3
"""Writes the page of licences of what build/web/ serves.
   licences.py OUT.html "TITLE=FILE" ..."""
import html
import sys


def main():
    out, parts = sys.argv[1], sys.argv[2:]
    body = []
    for part in parts:
        title, path = part.split("=", 1)
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        body.append("<h2>%s</h2>\n<pre>%s</pre>" % (html.escape(title), html.escape(text)))
    with open(out, "w", encoding="utf-8") as f:
        f.write("<!doctype html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                "<title>Tessera: licences</title>"
                "<style>body{font:15px sans-serif;max-width:50em;margin:auto}"
                "pre{white-space:pre-wrap;font-size:12px}</style></head><body>\n"
                "<h1>Licences of what this page serves</h1>\n<p><a href=\"./\">Back to Tessera</a></p>\n"
                + "\n".join(body) + "\n</body></html>\n")


if __name__ == "__main__":
    main()
