#!/usr/bin/env python3
"""Puts the page together: page.html with its style (page.css), the core's glue (the .js
emscripten wrote), the WebAssembly beside it as base64, and the page's script (page.js)
inlined, into one file of at most 1 MiB.

    make_page.py WEB_SOURCE_DIR CORE_JS OUTPUT_HTML
"""
import base64
import os
import sys

LIMIT = 1 << 20


def main():
    source, core_js, output = sys.argv[1:4]
    read = lambda path: open(path, encoding="utf-8").read()
    page = read(os.path.join(source, "page.html"))
    wasm = open(os.path.splitext(core_js)[0] + ".wasm", "rb").read()
    parts = {
        "/*PAGE-STYLE*/": read(os.path.join(source, "page.css")),
        "/*CORE-GLUE*/": read(core_js),
        "/*CORE-WASM*/": base64.b64encode(wasm).decode("ascii"),
        "/*PAGE-SCRIPT*/": read(os.path.join(source, "page.js")),
    }
    for marker, text in parts.items():
        if page.count(marker) != 1:
            sys.exit(f"make_page.py: {marker} must stand once in page.html")
        # A closing script tag inside a script would end it early.
        if "</script" in text.lower():
            sys.exit(f"make_page.py: {marker} holds </script")
        page = page.replace(marker, text)
    size = len(page.encode("utf-8"))
    if size > LIMIT:
        sys.exit(f"make_page.py: the page is {size} bytes, more than {LIMIT}")
    with open(output, "w", encoding="utf-8") as out:
        out.write(page)
    print(f"{output}: {size} bytes")


if __name__ == "__main__":
    main()
