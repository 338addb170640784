#!/usr/bin/env bash
# The HTML form in Chromium: selecting the whole page gives the text of --to text (a page
# break, which the page shows as a ruler, copies as a line end; a selection ends without the
# last line end). The selection is taken by a copy of the page with a script added, loaded
# headless from file://, its result written into the page that --dump-dom prints. A
# screenshot of ATTRIBUT is kept beside the work files, to be looked at.
#
#   check_html_copy.sh BREVIKON_RTF MAKE_SAMPLES WORK_DIR
set -uo pipefail
converter=$1
make_samples=$2
work=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" && mkdir -p "$work/in" "$work/out" || exit 1
export HOME=$work/home  # Chromium's profile

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
browser() {
    timeout 60 chromium --headless --no-sandbox --disable-gpu --no-first-run \
        --user-data-dir="$work/profile" "$@" 2>/dev/null
}

"$make_samples" --samples "$work/samples" >/dev/null || exit 1
cp "$work"/samples/*.DOC "$work"/samples/*.TXT "$work/in/"
for kind in realistic attributes plain; do
    "$make_samples" --kind "$kind" --size 12000 "$work/in/GEN-${kind^^}.DOC" >/dev/null || exit 1
done

probe=$(cat "$here/copy_selection.html")
count=0
for input in "$work"/in/*; do
    name=$(basename "${input%.*}")
    for mode in monospace proportional; do
        option=()
        [ "$mode" = proportional ] && option=(-p)
        page=$work/out/$name.$mode.html
        "$converter" -q "${option[@]}" --to html -o "$page" "$input" || fail "$name: conversion"
        "$converter" -q --to text -o "$work/out/$name.txt" "$input"
        # The script goes in front of </body>; the page itself has none.
        python3 - "$page" "$probe" "$work/out/$name.$mode.probe.html" <<'PY'
import sys
page = open(sys.argv[1], encoding="utf-8").read()
open(sys.argv[3], "w", encoding="utf-8").write(page.replace("</body>", sys.argv[2] + "</body>"))
PY
        browser --dump-dom "file://$work/out/$name.$mode.probe.html" >"$work/out/$name.$mode.dom"
        python3 - "$work/out/$name.$mode.dom" "$work/out/$name.txt" <<'PY' ||
import html, json, re, sys
dom = open(sys.argv[1], encoding="utf-8").read()
found = re.search(r'<pre id="copied">(.*?)</pre>', dom, re.S)
if not found:
    sys.exit("no selection in the page")
copied = json.loads(html.unescape(found.group(1)))
text = open(sys.argv[2], encoding="utf-8").read().replace("\n\f", "\n").replace("\f", "\n")
if text.endswith("\n"):
    text = text[:-1]
if copied != text:
    for number, (a, b) in enumerate(zip(copied.split("\n"), text.split("\n")), 1):
        if a != b:
            sys.exit(f"line {number}: copied {a!r}, text {b!r}")
    sys.exit(f"copied {len(copied)} characters, text {len(text)}")
PY
            fail "$name ($mode): the copied text is not --to text"
        count=$((count + 1))
    done
done
browser --window-size=900,900 --screenshot="$work/ATTRIBUT.png" \
    "file://$work/out/ATTRIBUT.monospace.html" >/dev/null || fail "screenshot"
[ -s "$work/ATTRIBUT.png" ] || fail "no screenshot"
echo "$count pages copied in Chromium: $failures failures (screenshot: $work/ATTRIBUT.png)"
[ "$failures" -eq 0 ]
