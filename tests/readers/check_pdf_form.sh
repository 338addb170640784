#!/usr/bin/env bash
# The PDF form as programs nobody on this project wrote read it (poppler, qpdf): a sound
# file, every font embedded, the PDF/A identification in its metadata, the document's
# characters in order when its text is extracted, the page count its layout gives. Renders
# ATTRIBUT and BRIEF to PNG beside the work files, to be looked at.
#
#   check_pdf_form.sh BREVIKON_RTF MAKE_SAMPLES WORK_DIR
set -uo pipefail
converter=$1
make_samples=$2
work=$3
rm -rf "$work" && mkdir -p "$work/in" "$work/out" "$work/pages" || exit 1

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# The characters alone: readers place blanks and line ends their own way, and poppler gives
# a no-break space as a blank.
characters() { sed 's/\xc2\xa0/ /g' "$1" | tr -d ' \t\n\f\r'; }

"$make_samples" --samples "$work/samples" >/dev/null || exit 1
cp "$work"/samples/*.DOC "$work"/samples/*.TXT "$work/in/"
for kind in realistic attributes plain; do
    "$make_samples" --kind "$kind" --size 40000 "$work/in/GEN-${kind^^}.DOC" >/dev/null || exit 1
done
# Forty lines on pages of 30 lines at double spacing: 9 lines a page, 5 pages, and a page
# break code before the last line starts a sixth.
python3 - "$work/in/SEITEN.DOC" <<'PY'
import sys
document = bytearray(380)
document[4:12] = bytes([60, 0, 30, 0, 10, 0, 2, 0])
document[300:380] = b"x" * 80
for line in range(40):
    document += b"Zeile %d\r\n" % line
document += b"\x0cLetzte Zeile\r\n\x1a"
open(sys.argv[1], "wb").write(document)
PY

for input in "$work"/in/*; do
    name=$(basename "${input%.*}")
    for mode in monospace proportional; do
        option=()
        [ "$mode" = proportional ] && option=(-p)
        pdf=$work/out/$name.$mode.pdf
        "$converter" -q "${option[@]}" --to pdf -o "$pdf" "$input" || {
            fail "$name ($mode): conversion"
            continue
        }
        qpdf --check "$pdf" >"$work/qpdf.log" 2>&1 &&
            grep -q "No syntax or stream encoding errors" "$work/qpdf.log" ||
            fail "$name ($mode): qpdf --check: $(tail -n 2 "$work/qpdf.log")"
        # Every font row says yes under emb.
        pdffonts "$pdf" | tail -n +3 >"$work/fonts.txt"
        [ -s "$work/fonts.txt" ] && ! awk '{ if ($(NF-4) != "yes") bad = 1 } END { exit !bad }' \
            "$work/fonts.txt" || fail "$name ($mode): a font is not embedded: $(cat "$work/fonts.txt")"
        pdfinfo -meta "$pdf" >"$work/meta.txt" 2>&1
        grep -q "<pdfaid:part>2</pdfaid:part>" "$work/meta.txt" &&
            grep -q "<pdfaid:conformance>B</pdfaid:conformance>" "$work/meta.txt" ||
            fail "$name ($mode): no PDF/A identification in the metadata"
        pdfinfo "$pdf" >"$work/info.txt" 2>&1
        grep -qx "Title: *$(basename "$input")" "$work/info.txt" &&
            grep -q "^Producer: *brevikon-rtf " "$work/info.txt" &&
            ! grep -q "^Encrypted: *yes" "$work/info.txt" ||
            fail "$name ($mode): title, producer or encryption wrong"
        pdftotext -raw "$pdf" "$work/out/$name.$mode.txt" || fail "$name ($mode): pdftotext"
        "$converter" -q --to text -o "$work/out/$name.text" "$input"
        [ "$(characters "$work/out/$name.$mode.txt")" = "$(characters "$work/out/$name.text")" ] ||
            fail "$name ($mode): pdftotext gives other characters than --to text"
    done
done

pages=$(pdfinfo "$work/out/SEITEN.monospace.pdf" | awk '/^Pages:/ { print $2 }')
[ "$pages" = 6 ] || fail "SEITEN: $pages pages, not 6"
size=$(pdfinfo "$work/out/SEITEN.monospace.pdf" | awk '/^Page size:/ { print $3 "x" $5 }')
[ "$size" = "595.28x360" ] || fail "SEITEN: page size $size, not A4 wide and 30 lines high"

for name in ATTRIBUT BRIEF; do
    pdftoppm -r 72 -png "$work/out/$name.monospace.pdf" "$work/pages/$name" ||
        fail "$name: pdftoppm"
done
echo "$(ls "$work/in" | wc -l) documents, two font modes: $failures failures (pages: $work/pages)"
[ "$failures" -eq 0 ]
