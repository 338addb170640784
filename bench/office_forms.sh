#!/usr/bin/env bash
# The preservation and editable forms on one generated 32 MiB realistic document: --to pdf,
# odt and docx, each the median of RUNS runs with its peak resident memory against the
# targets (PDF <= 5 s, ODT and DOCX <= 1 s, peak <= four times the input). For comparison,
# in the same run: LibreOffice (headless) making the same three forms of BRIEF.TXT's RTF,
# which is how an archivist made them before, and brevikon-rtf making them of BRIEF.TXT.
#   bench/office_forms.sh [RUNS]      (default 5 runs of each)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
size=33554432

cmake --preset native >/dev/null
cmake --build --preset native --target brevikon-rtf make-samples >/dev/null
work=build/bench
mkdir -p "$work/office"
export HOME=$PWD/$work/office/home  # LibreOffice's profile
document=$work/realistic-32m.doc
[ -f "$document" ] || build/native/tools/make-samples --kind realistic --size $size "$document"
cat "$document" >/dev/null

program=build/native/cli/brevikon-rtf
# Medians of microseconds, as seconds.
median() { sort -n | awk '{a[NR]=$1} END {printf "%.3f", a[int((NR+1)/2)] / 1e6}'; }
# Microseconds and peak KiB of one run: "US KIB".
measure() {
    local start end kib
    start=$(date +%s%N)
    kib=$(/usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1)
    end=$(date +%s%N)
    echo "$(((end - start) / 1000)) $kib"
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "document: $size bytes (realistic); median of $runs runs"
limit_kib=$((4 * size / 1024))
for form in pdf odt docx; do
    target=1
    [ "$form" = pdf ] && target=5
    results=()
    for _ in $(seq "$runs"); do
        results+=("$(measure "$program" --to "$form" -o "$work/office/big.$form" "$document")")
    done
    seconds=$(printf '%s\n' "${results[@]}" | cut -d' ' -f1 | median)
    kib=$(printf '%s\n' "${results[@]}" | cut -d' ' -f2 | sort -n | tail -n 1)
    printf '%-28s %7s s (target <= %s s), peak %s KiB (target <= %s KiB), output %s bytes\n' \
        "brevikon-rtf --to $form" "$seconds" "$target" "$kib" "$limit_kib" \
        "$(stat -c %s "$work/office/big.$form")"
done

echo "BRIEF.TXT ($(stat -c %s samples/BRIEF.TXT) bytes), median of $runs runs:"
for form in pdf odt docx; do
    ours=() theirs=()
    for _ in $(seq "$runs"); do
        ours+=("$(measure "$program" --to "$form" -o "$work/office/BRIEF.$form" samples/BRIEF.TXT)")
        theirs+=("$(measure soffice --headless --norestore --convert-to "$form" \
            --outdir "$work/office/lo" samples/BRIEF.rtf)")
    done
    printf '%-28s %7s s    LibreOffice from the RTF: %7s s\n' "brevikon-rtf --to $form" \
        "$(printf '%s\n' "${ours[@]}" | cut -d' ' -f1 | median)" \
        "$(printf '%s\n' "${theirs[@]}" | cut -d' ' -f1 | median)"
done
