#!/usr/bin/env bash
# Whole-process timing on one generated 32 MiB realistic document, side by side in one run:
# brevikon-rtf (--to rtf, --to report), cp of the same file, and iconv from CP437 as a peer
# byte translator. Prints each median, the ratios to cp and the peak resident memory.
#   bench/whole_process.sh [RUNS]      (default 11 runs of each)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
size=33554432

cmake --preset native >/dev/null
cmake --build --preset native --target brevikon-rtf make-samples >/dev/null
work=build/bench
mkdir -p "$work"
document=$work/realistic-32m.doc
[ -f "$document" ] || build/native/tools/make-samples --kind realistic --size $size "$document"
cat "$document" >/dev/null  # all runs read from the page cache

# Median wall time in milliseconds of a command, run $runs times.
median_ms() {
    local times=() start end
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }

rtf() { build/native/cli/brevikon-rtf -o "$work/out.rtf" "$document"; }
report() { build/native/cli/brevikon-rtf --to report -o "$work/out.report.txt" "$document"; }
copy() { cp "$document" "$work/out.copy"; }
translate() { iconv -f CP437 -t UTF-8 "$document" >"$work/out.utf8"; }

cp_ms=$(median_ms copy)
rtf_ms=$(median_ms rtf)
report_ms=$(median_ms report)
iconv_ms=$(median_ms translate)
rtf_kib=$(peak_kib build/native/cli/brevikon-rtf -o "$work/out.rtf" "$document")
report_kib=$(peak_kib build/native/cli/brevikon-rtf --to report -o "$work/out.report.txt" "$document")
output_bytes=$(stat -c %s "$work/out.rtf")
limit_kib=$(((size + 2 * output_bytes + 16 * 1024 * 1024) / 1024))

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "document: $size bytes (realistic), RTF $output_bytes bytes; median of $runs runs"
awk -v cp="$cp_ms" -v rtf="$rtf_ms" -v rep="$report_ms" -v ic="$iconv_ms" 'BEGIN {
    printf "cp                      %8.1f ms\n", cp
    printf "brevikon-rtf --to rtf    %8.1f ms  %.2f x cp (target <= 2)\n", rtf, rtf / cp
    printf "brevikon-rtf --to report %8.1f ms  %.2f x cp (target <= 1.5)\n", rep, rep / cp
    printf "iconv -f CP437           %8.1f ms  %.2f x cp\n", ic, ic / cp
}'
echo "peak memory --to rtf:    $rtf_kib KiB (target <= $limit_kib KiB: input + 2 x output + 16 MiB)"
echo "peak memory --to report: $report_kib KiB"
