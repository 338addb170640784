#!/usr/bin/env bash
# The Windows viewer under Wine, on a virtual X display of its own. Prints:
#  - the time from the process start to the document shown (the title names it and the
#    viewer holds text): medians for the bundled BRIEF.TXT and a generated 1 MiB realistic
#    document, one run for a 32 MiB one;
#  - the viewer's memory with the 32 MiB document shown (GetProcessMemoryInfo; under Wine
#    the working set is the process's VmRSS);
#  - the time of Close after a document is shown, which replaces all of the viewer's text.
# A benchmark, not a test: nothing here has a target.
#   bench/viewer_wine.sh [RUNS [BUILD-DIR]]      (default 7 runs, build/windows)
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)
runs=${1:-7}
build=$(cd "${2:-build/windows}" && pwd)
reader=$build/src/app/platform/win32/brevikon-reader.exe
driver=$build/bench/viewer-driver.exe
wine_run=$source_dir/tools/wine-run
work=$source_dir/build/bench
log=$work/viewer_wine.log
screen_size=1280x1024
mkdir -p "$work"
: >"$log"

cmake --preset native >/dev/null
cmake --build --preset native --target make-samples >/dev/null
cmake --build "$build" --target brevikon-reader viewer-driver >/dev/null
for kib in 256 512 1024 32768; do
    document=$work/realistic-$kib.doc
    [ -f "$document" ] ||
        build/native/tools/make-samples --kind realistic --size $((kib * 1024)) "$document" >>"$log"
done
cp samples/BRIEF.TXT "$work/BRIEF.TXT"

source tests/e2e/wine_display.sh
xvfb_pid=
finish() {
    [ -n "${WINEPREFIX:-}" ] && timeout 20 wineserver -w 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid"
}
trap finish EXIT
start_display
# A prefix of its own, so that no e2e run shares its Wine server; copied from theirs if made.
e2e_prefix=$build/e2e/wineprefix-96
[ -f "$e2e_prefix/.brevikon-e2e-96" ] || e2e_prefix=
make_prefix "$work/wineprefix-viewer" 96 "$e2e_prefix"
use_prefix "$work/wineprefix-viewer"

# The driver's answer through a file, not a pipe: a viewer it starts inherits its output
# and would hold a pipe open.
drv() {
    "$wine_run" "$driver" "$@" >"$work/driver.txt" 2>>"$log"
    sed -n 's/^[a-z_]*=//p' "$work/driver.txt"
}

# shown_ms FILE: starts the viewer with FILE and leaves it running.
shown_ms() {
    drv start-timed "$(basename "$1") - Brevikon Reader" "$(winpath "$reader")" \
        "$(winpath "$1")" 600000
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

row() { printf '  %-20s %9d bytes %8d ms   %s\n' "$(basename "$1")" "$(stat -c %s "$1")" "$2" "$3"; }

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "$(wine --version 2>/dev/null), display ${screen_size}, 96 DPI"
echo "process start to document shown:"
for document in "$work/BRIEF.TXT" "$work/realistic-1024.doc"; do
    times=()
    for _ in $(seq "$runs"); do
        times+=("$(shown_ms "$document")")
        drv quit >/dev/null
    done
    row "$document" "$(printf '%s\n' "${times[@]}" | median)" "median of $runs: ${times[*]}"
done
document=$work/realistic-32768.doc
row "$document" "$(shown_ms "$document")" "one run"
read -r rss peak private <<<"$(drv memory | paste -sd ' ')"
echo "viewer memory with it shown: working set $rss KiB (peak $peak KiB), private $private KiB"
drv quit >/dev/null

echo "Close after the document is shown (one run each):"
for document in "$work"/realistic-{256,512,1024}.doc; do
    shown_ms "$document" >/dev/null
    row "$document" "$(drv command-timed 2 "Brevikon Reader" 600000)" ""
    drv quit >/dev/null
done
