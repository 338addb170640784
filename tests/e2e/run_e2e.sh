#!/usr/bin/env bash
# End-to-end checks of brevikon-reader.exe under Wine: a virtual X display of our own and two
# Wine prefixes (96 and 144 DPI, each with a virtual desktop of 1280 x 1024, made in BUILD/e2e
# on the first run and reused), in which e2e_tests.exe starts the program and drives it. In
# the 96 DPI prefix every test but the random run, in the 144 DPI one the layout test.
#
#   tests/e2e/run_e2e.sh [BUILD-DIR] [--monkey]      (default: build/windows)
#
# --monkey runs only the random run (seed and step count from BREVIKON_MONKEY_SEED and
# _STEPS; its steps in BUILD/tests/e2e/monkey-steps.txt). Wine's own messages go to
# BUILD/e2e/e2e.log (e2e-monkey.log).
set -u
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build_dir=$(cd "${1:-$source_dir/build/windows}" && pwd)
mode=${2:-}
wine_run=$source_dir/tools/wine-run
tests=$build_dir/tests/e2e/e2e_tests.exe
e2e_dir=$build_dir/e2e
log=$e2e_dir/e2e${mode:+-monkey}.log
screen_size=1280x1024
[ -f "$tests" ] || { echo "e2e: $tests is missing; build the windows preset" >&2 && exit 1; }
mkdir -p "$e2e_dir" && : >"$log"

xvfb_pid=
cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then timeout 20 wineserver -w 2>/dev/null || wineserver -k; fi
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
source "$source_dir/tests/e2e/wine_display.sh"

# run_tests DPI FILTER: e2e_tests.exe in that prefix. It ends with 0 or 1; any other end is
# Wine failing to run it at all (seen once in sixty starts on a busy machine), and it is
# started once more rather than counted against the program.
run_tests() {
    use_prefix "$e2e_dir/wineprefix-$1"
    for attempt in 1 2; do
        BREVIKON_E2E_DPI=$1 timeout 540 "$wine_run" "$tests" --gtest_filter="$2" 2>>"$log"
        code=$?
        if [ "$code" -le 1 ] || [ "$code" -eq 124 ]; then return "$code"; fi
        echo "e2e: e2e_tests.exe ended with $code (attempt $attempt)" | tee -a "$log"
    done
    return 1
}

start_display
make_prefix "$e2e_dir/wineprefix-96" 96
if [ "$mode" == --monkey ]; then
    run_tests 96 'RandomRun.*'
    exit
fi
make_prefix "$e2e_dir/wineprefix-144" 144 "$e2e_dir/wineprefix-96"
run_tests 96 'ReaderTest.*'
status=$?
run_tests 144 'ReaderTest.Layout*' || status=1
exit "$status"
