#!/usr/bin/env bash
# Whole-process timing on one generated 32 MiB realistic document, side by side in one run:
# brevikon-rtf (--to rtf, text, html, report), cp of the same file, and iconv from CP437 as a
# peer byte translator. Prints each median, the ratios to cp and the peak resident memory,
# then whether sixteen workers convert sixteen such documents in one gigabyte.
#   bench/whole_process.sh [RUNS]      (default 15 runs of each)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}
size=33554432

cmake --preset native >/dev/null
cmake --build --preset native --target brevikon-rtf make-samples >/dev/null
work=build/bench
mkdir -p "$work"
document=$work/realistic-32m.doc
[ -f "$document" ] || build/native/tools/make-samples --kind realistic --size $size "$document"
cat "$document" >/dev/null  # all runs read from the page cache

peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }

convert() { build/native/cli/brevikon-rtf --to "$1" -o "$work/out.$1" "$document"; }
copy() { cp "$document" "$work/out.copy"; }
translate() { iconv -f CP437 -t UTF-8 "$document" >"$work/out.utf8"; }

# Side by side in one run: each round times every command once, so that a slower stretch of
# the machine touches all of them alike.
forms=(rtf text html report)
declare -A times
for _ in $(seq "$runs"); do
    for name in copy translate "${forms[@]}"; do
        start=$(date +%s%N)
        case $name in
            copy) copy ;;
            translate) translate ;;
            *) convert "$name" >/dev/null 2>&1 ;;
        esac
        end=$(date +%s%N)
        times[$name]+="$(((end - start) / 1000)) "
    done
done
median() { tr ' ' '\n' <<<"${times[$1]}" | grep . | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'; }
cp_ms=$(median copy)
limit_kib=$(((size + 16 * 1024 * 1024) / 1024))

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "document: $size bytes (realistic); median of $runs runs, side by side"
printf '%-26s %8s ms\n' "cp" "$cp_ms"
printf '%-26s %8s ms  %s x cp\n' "iconv -f CP437" "$(median translate)" \
    "$(awk -v a="$(median translate)" -v b="$cp_ms" 'BEGIN {printf "%.2f", a / b}')"
for form in "${forms[@]}"; do
    target=1.5
    [ "$form" = report ] && target=1.0
    ms=$(median "$form")
    kib=$(peak_kib build/native/cli/brevikon-rtf --to "$form" -o "$work/out.$form" "$document")
    printf '%-26s %8s ms  %s x cp (target <= %s), peak %s KiB (target <= %s KiB), output %s bytes\n' \
        "brevikon-rtf --to $form" "$ms" "$(awk -v a="$ms" -v b="$cp_ms" 'BEGIN {printf "%.2f", a / b}')" \
        "$target" "$kib" "$limit_kib" "$(stat -c %s "$work/out.$form")"
done

# Sixteen workers over sixteen such documents in one gigabyte of address space.
mkdir -p "$work/sixteen"
rm -f "$work/sixteen"/*.rtf
for i in $(seq -w 1 16); do cp "$document" "$work/sixteen/D$i.DOC"; done
converted=$( (ulimit -v 1000000 && build/native/cli/brevikon-rtf -q -j 16 "$work/sixteen"/*.DOC) 2>&1 >/dev/null; ls "$work/sixteen"/*.rtf 2>/dev/null | wc -l)
echo "-j 16 over 16 documents under ulimit -v 1000000: $converted of 16 converted"
rm -rf "$work/sixteen"
