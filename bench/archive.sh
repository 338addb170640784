#!/usr/bin/env bash
# Archive-scale timing, side by side in one run:
#  - a tree of 10,000 small documents (100 folders of 100, made with make-samples) converted
#    by brevikon-rtf -r with -j 1 and -j 2, against cp -r of the same tree (target: at most
#    3 x cp -r);
#    and -j 1 with --manifest against -j 1 without it (target: at most 1.3 x);
#  - the 32 MiB realistic document in --to text, against iconv -f CP437 -t UTF-8.
# Prints each median and the ratios.
#   bench/archive.sh [RUNS]                          (default 7 runs of each)
#   BREVIKON_BUILD=build/NAME bench/archive.sh       (an existing build folder; default: the
#                                                     native preset, built here)
#   BREVIKON_BENCH_DIR=/dev/shm/x bench/archive.sh   (where the trees go; default
#                                                     build/bench/archive, on disk; on tmpfs
#                                                     the figures show the work, not the disk)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
folders=100
per_folder=100
big_size=33554432

build=${BREVIKON_BUILD:-}
if [ -z "$build" ]; then
    cmake --preset native >/dev/null
    cmake --build --preset native --target brevikon-rtf make-samples >/dev/null
    build=build/native
fi
converter=$build/cli/brevikon-rtf
make_samples=$build/tools/make-samples
work=${BREVIKON_BENCH_DIR:-build/bench/archive}
tree=$work/tree
mkdir -p "$work"

# The tree: 30 distinct documents (three kinds, ten sizes from 4 to 13 KiB) spread over the
# first folder, which is then copied to the others. Made once and kept.
if [ ! -f "$work/tree.complete" ]; then
    rm -rf "$tree" "$work/distinct"
    mkdir -p "$work/distinct" "$tree/ordner000"
    distinct=()
    for kind in realistic attributes plain; do
        for step in 0 1 2 3 4 5 6 7 8 9; do
            file=$work/distinct/$kind-$step.doc
            "$make_samples" --kind "$kind" --size $((4096 + step * 1000)) "$file" >/dev/null
            distinct+=("$file")
        done
    done
    for i in $(seq 0 $((per_folder - 1))); do
        cp "${distinct[$((i % ${#distinct[@]}))]}" "$(printf '%s/ordner000/DOK%04d.TXT' "$tree" "$i")"
    done
    for f in $(seq 1 $((folders - 1))); do
        cp -r "$tree/ordner000" "$(printf '%s/ordner%03d' "$tree" "$f")"
    done
    touch "$work/tree.complete"
fi
big=$work/realistic-32m.doc
[ -f "$big" ] || "$make_samples" --kind realistic --size $big_size "$big" >/dev/null
cat "$big" >/dev/null
find "$tree" -type f -exec cat {} + >/dev/null  # every run reads from the page cache

# Wall time in microseconds of one run of a command; its output folder (and a manifest named
# after it) is removed and the disk brought up to date first, outside the timing.
run_us() {
    local out=$1 start end
    shift
    rm -rf "$out" "$out.jsonl"
    sync
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

# The median of microsecond figures, in milliseconds.
median_ms() {
    printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

# The contenders take turns within each round, so that whatever else the machine does
# weighs on all of them alike.
cp_us=() j1_us=() j2_us=() j1m_us=() iconv_us=() text_us=()
for _ in $(seq "$runs"); do
    cp_us+=($(run_us "$work/copy" cp -r "$tree" "$work/copy"))
    j1_us+=($(run_us "$work/j1" "$converter" -r -q -j 1 -d "$work/j1" "$tree"))
    j2_us+=($(run_us "$work/j2" "$converter" -r -q -j 2 -d "$work/j2" "$tree"))
    j1m_us+=($(run_us "$work/j1m" "$converter" -r -q -j 1 -d "$work/j1m" --manifest "$work/j1m.jsonl" "$tree"))
    iconv_us+=($(run_us "$work/big.iconv" sh -c "iconv -f CP437 -t UTF-8 '$big' >'$work/big.iconv'"))
    text_us+=($(run_us "$work/big.utf8.txt" "$converter" --to text -o "$work/big.utf8.txt" "$big"))
done
diff -r -q "$work/j1" "$work/j2" >/dev/null || { echo "archive: -j 1 and -j 2 differ" >&2; exit 1; }
cp_ms=$(median_ms "${cp_us[@]}")
j1_ms=$(median_ms "${j1_us[@]}")
j2_ms=$(median_ms "${j2_us[@]}")
j1m_ms=$(median_ms "${j1m_us[@]}")
iconv_ms=$(median_ms "${iconv_us[@]}")
text_ms=$(median_ms "${text_us[@]}")

files=$(find "$tree" -type f -name '*.TXT' | wc -l)
tree_bytes=$(du -sb "$tree" | cut -f1)
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "tree: $files documents in $folders folders, $tree_bytes bytes, in $work ($(df --output=fstype "$work" | tail -n 1)); median of $runs runs"
awk -v cp="$cp_ms" -v j1="$j1_ms" -v j2="$j2_ms" -v j1m="$j1m_ms" 'BEGIN {
    printf "cp -r                        %8.1f ms\n", cp
    printf "brevikon-rtf -r -j 1         %8.1f ms  %.2f x cp -r (target <= 3)\n", j1, j1 / cp
    printf "brevikon-rtf -r -j 2         %8.1f ms  %.2f x cp -r (target <= 3), %.2f x faster than -j 1\n", j2, j2 / cp, j1 / j2
    printf "  -j 1 --manifest            %8.1f ms  %.2f x -j 1 without (target <= 1.3)\n", j1m, j1m / j1
}'
echo "document: $big_size bytes (realistic), text $(stat -c %s "$work/big.utf8.txt") bytes"
awk -v ic="$iconv_ms" -v tx="$text_ms" 'BEGIN {
    printf "iconv -f CP437 -t UTF-8      %8.1f ms\n", ic
    printf "brevikon-rtf --to text       %8.1f ms  %.2f x iconv\n", tx, tx / ic
}'
