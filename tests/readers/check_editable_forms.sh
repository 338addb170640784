#!/usr/bin/env bash
# The ODT and DOCX copies as programs nobody on this project wrote read them: every XML part
# well-formed (xmllint); pandoc and LibreOffice find exactly the characters of --to text
# --reflow; LibreOffice's reading keeps bold, underline, super- and subscript on exactly the
# characters its reading of our RTF has them on; the same input gives the same bytes.
#
#   check_editable_forms.sh BREVIKON_RTF MAKE_SAMPLES WORK_DIR
set -uo pipefail
converter=$1
make_samples=$2
work=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" && mkdir -p "$work/in" "$work/out" || exit 1
# LibreOffice keeps its profile here, not in the user's home.
export HOME=$work/home

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# Blanks, tabs, line and page ends as single blanks: the readers lay out lines their own way.
normalised() { tr -s ' \t\n\f\r' ' ' <"$1" | sed -e 's/^\xef\xbb\xbf//' -e 's/^ //' -e 's/ $//'; }

"$make_samples" --samples "$work/samples" >/dev/null || exit 1
cp "$work"/samples/*.DOC "$work"/samples/*.TXT "$work/in/"
for kind in realistic attributes plain; do
    "$make_samples" --kind "$kind" --size 24000 "$work/in/GEN-${kind^^}.DOC" || exit 1
done

documents=()
for input in "$work"/in/*; do
    name=$(basename "${input%.*}")
    documents+=("$name")
    "$converter" -q --to odt,docx,rtf -d "$work/out" "$input" || fail "$name: conversion"
    "$converter" -q --to text --reflow -o "$work/out/$name.reflow.txt" "$input" ||
        fail "$name: --reflow"
    # Same bytes on every run: nothing in the packages depends on time or place.
    "$converter" -q --to odt -o "$work/again.odt" "$input" &&
        cmp -s "$work/again.odt" "$work/out/$name.odt" || fail "$name: odt differs between runs"
done

for name in "${documents[@]}"; do
    for form in odt docx; do
        package=$work/out/$name.$form
        parts=$work/parts/$name.$form
        mkdir -p "$parts" && (cd "$parts" && unzip -q "$package") || fail "$name.$form: unzip"
        while IFS= read -r -d '' part; do
            xmllint --noout "$part" || fail "$name.$form: ${part#"$parts"/} not well-formed"
        done < <(find "$parts" -type f \( -name '*.xml' -o -name '*.rels' \) -print0)
        pandoc -f "$form" -t plain --wrap=none --lua-filter "$here/unwrap_inlines.lua" \
            -o "$work/out/$name.$form.pandoc.txt" "$package" || fail "$name.$form: pandoc"
        [ "$(normalised "$work/out/$name.$form.pandoc.txt")" = \
          "$(normalised "$work/out/$name.reflow.txt")" ] ||
            fail "$name.$form: pandoc reads other characters than --to text --reflow"
    done
    # The ODF container: the stored mimetype first, its name at byte 30 and its value at 38.
    [ "$(head -c 77 "$work/out/$name.odt" | tail -c +31)" = \
      "mimetypeapplication/vnd.oasis.opendocument.text" ] ||
        fail "$name.odt: mimetype is not the first, stored entry"
done

# LibreOffice, once per form for all documents: each start takes seconds.
office() {
    local target=$1 folder=$2
    shift 2
    soffice --headless --norestore --convert-to "$target" --outdir "$folder" "$@" \
        >"$work/soffice.log" 2>&1 || fail "LibreOffice: $(tail -n 3 "$work/soffice.log")"
}
for form in odt docx; do
    office "txt:Text (encoded):UTF8" "$work/lo-text-$form" "$work"/out/*.$form
    office fodt "$work/lo-flat-$form" "$work"/out/*.$form
done
office fodt "$work/lo-flat-rtf" "$work"/out/*.rtf

for name in "${documents[@]}"; do
    python3 "$here/office_attributes.py" "$work/lo-flat-rtf/$name.fodt" >"$work/$name.rtf.marks" ||
        fail "$name: reading LibreOffice's RTF"
    for form in odt docx; do
        [ "$(normalised "$work/lo-text-$form/$name.txt")" = \
          "$(normalised "$work/out/$name.reflow.txt")" ] ||
            fail "$name.$form: LibreOffice reads other characters than --to text --reflow"
        python3 "$here/office_attributes.py" "$work/lo-flat-$form/$name.fodt" \
            >"$work/$name.$form.marks" || fail "$name.$form: reading LibreOffice's flat XML"
        diff -q "$work/$name.rtf.marks" "$work/$name.$form.marks" >/dev/null ||
            fail "$name.$form: attributes differ from the RTF's (diff $work/$name.rtf.marks $work/$name.$form.marks)"
    done
done
# The comparison must have had something to compare.
grep -q ' .*B' "$work/ATTRIBUT.rtf.marks" && grep -q '\^' "$work/ATTRIBUT.rtf.marks" &&
    grep -q '_' "$work/ATTRIBUT.rtf.marks" && grep -q 'U' "$work/ATTRIBUT.rtf.marks" ||
    fail "ATTRIBUT: LibreOffice found no bold, underline, super- or subscript at all"

echo "${#documents[@]} documents, ODT and DOCX: $failures failures"
[ "$failures" -eq 0 ]
