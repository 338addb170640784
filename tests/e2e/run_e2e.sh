#!/usr/bin/env bash
# End-to-end checks of brevikon-reader.exe under Wine, on a virtual X display of our own.
# The program is started as a user would start it and driven from outside by
# e2e-driver.exe (keys through the input queue, the real file dialogs, an OLE drop); every
# check reads what the program shows: title, status fields, message boxes, saved files,
# window geometry. Only what a real window can show is checked here; the rules behind it
# (zoom steps, texts, the state after each command) are the app unit tests' and the random
# run's. Screenshots go to BUILD/artifacts.
#
#   tests/e2e/run_e2e.sh [BUILD-DIR] [--monkey]      (default: build/windows)
#
# --monkey runs only the random-command run instead: a few hundred random steps in one driver
# process, each checked (seed and count from BREVIKON_MONKEY_SEED and _STEPS).
#
# Two Wine prefixes of its own live in BUILD/e2e (96 and 144 DPI, each with a virtual
# desktop of 1280 x 1024); they are made on the first run and reused after that.
set -u

source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build_dir=$(cd "${1:-$source_dir/build/windows}" && pwd)
mode=${2:-}
if [ -n "$mode" ] && [ "$mode" != --monkey ]; then
    echo "usage: $0 [BUILD-DIR] [--monkey]" >&2
    exit 2
fi
wine_run=$source_dir/tools/wine-run
reader=$build_dir/src/app/platform/win32/brevikon-reader.exe
driver=$build_dir/tests/e2e/e2e-driver.exe
converter=$build_dir/cli/brevikon-rtf.exe
e2e_dir=$build_dir/e2e
work=$e2e_dir/run${mode:+-monkey}
artifacts=$build_dir/artifacts
log=$e2e_dir/e2e${mode:+-monkey}.log
screen_size=1280x1024
save_title="Als RTF speichern"
open_title="Brevikon-Datei oeffnen"
program="Brevikon Reader"

require_tools() {
    local program tool
    for program in "$reader" "$driver" "$converter"; do
        [ -f "$program" ] || { echo "e2e: $program is missing; build the windows preset" >&2 && exit 1; }
    done
    for tool in Xvfb import wine wineserver; do
        command -v "$tool" >/dev/null || { echo "e2e: $tool is not installed" >&2 && exit 1; }
    done
}

# --- Results ---

passed=0
failed=0
failures=()

pass() {
    passed=$((passed + 1))
    echo "ok    $1"
}

fail() {
    failed=$((failed + 1))
    failures+=("$1")
    echo "FAIL  $1"
    [ $# -gt 1 ] && printf '      %s\n' "$2"
}

# check NAME COMMAND...: the command must succeed.
check() {
    local name=$1 output
    shift
    if output=$("$@" 2>>"$log"); then pass "$name"; else fail "$name" "$output"; fi
}

# expect NAME EXPECTED ACTUAL
expect() {
    if [ "$2" == "$3" ]; then pass "$1"; else fail "$1" "expected [$2], got [$3]"; fi
}

# expect_prefix NAME PREFIX ACTUAL: ACTUAL starts with PREFIX and goes on.
expect_prefix() {
    case $3 in
        "$2"?*) pass "$1" ;;
        *) fail "$1" "expected [$2...], got [$3]" ;;
    esac
}

# --- Display, prefixes, processes ---

xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    if [ -n "${WINEPREFIX:-}" ]; then timeout 20 wineserver -w 2>/dev/null; fi
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

source "$source_dir/tests/e2e/wine_display.sh"

# The driver ends with 0 or 1 and says why it failed; any other end without output is Wine
# failing to run it at all (seen once in CI on a busy machine, one of sixty calls), and
# that call is made again rather than counted against the program.
drv() {
    local output code attempt
    for attempt in 1 2 3; do
        output=$("$wine_run" "$driver" "$@" 2>>"$log")
        code=$?
        if [ "$code" -le 1 ] || [ -n "$output" ]; then break; fi
        echo "e2e: driver '$1' ended with $code without output (attempt $attempt)" >>"$log"
    done
    [ -n "$output" ] && printf '%s\n' "$output"
    return "$code"
}

# The program's command ids and sizes in units, from its own headers through the driver:
# ${app[MainWindowMinimumWidth]} and so on.
declare -A app
load_constants() {
    local name value
    while IFS== read -r name value; do
        [[ $name =~ ^[A-Za-z]+$ && $value =~ ^[0-9]+$ ]] && app[$name]=$value
    done < <(drv constants)
    if [ -z "${app[MainWindowMinimumWidth]:-}" ]; then
        echo "e2e: the driver gave no constants" >&2
        exit 1
    fi
}

# start_reader ARGS...: in the background; its process id in app_pid. Fails when no window
# appears, and the checks that need it are then skipped rather than each waiting in vain.
start_reader() {
    "$wine_run" "$reader" "$@" >>"$log" 2>&1 &
    app_pid=$!
    if ! drv wait-window 60000 >/dev/null; then
        fail "the program opens its window" "no window within 60 s"
        kill "$app_pid" 2>/dev/null
        app_pid=
        return 1
    fi
}

# The exit code of the last reader started, in exit_code. One still running ten seconds on
# (a crash held by Wine's debugger) is ended, so that the run goes on. Not in a command
# substitution: only this shell itself can wait for its child.
wait_reader() {
    local tries
    for tries in $(seq 100); do
        case $(ps -o stat= -p "$app_pid" 2>/dev/null) in
            "" | Z*) break ;;
        esac
        sleep 0.1
    done
    [ "$tries" -eq 100 ] && kill "$app_pid" 2>/dev/null
    wait "$app_pid"
    exit_code=$?
    app_pid=
}

# quit_reader HOW: ends the program as HOW says (close or a chord); the driver's exit=CODE
# and the code the process ended with, joined by |, in ended. Not in a command substitution,
# as wait_reader.
quit_reader() {
    local said
    said=$(drv quit "$1")
    wait_reader
    ended="$said|$exit_code"
}

# Integer pixels for units at a resolution, rounded like the program does.
px() {
    local per_inch=${app[UnitsPerInch]}
    echo $((($1 * $2 + per_inch / 2) / per_inch))
}

geometry_value() {
    sed -n "s/^$1=//p" <<<"$2"
}

# measure [COMMAND ARGS...]: the geometry the driver prints after COMMAND (default geometry),
# in geo and as plain numbers: dpi, frame fw fh, window wx wy ww wh, client cw ch, screen
# sw sh, menu, grip, the status bar's top sy and the viewer's rectangle as viewer.
measure() {
    geo=$(drv "${@:-geometry}")
    dpi=$(geometry_value dpi "$geo")
    read -r fw fh <<<"$(geometry_value frame "$geo")"
    read -r wx wy ww wh <<<"$(geometry_value window "$geo")"
    read -r _ _ cw ch <<<"$(geometry_value client "$geo")"
    read -r sw sh <<<"$(geometry_value screen "$geo")"
    read -r _ sy _ _ <<<"$(geometry_value statusbar "$geo")"
    menu=$(geometry_value menu "$geo")
    grip=$(geometry_value grip "$geo")
    viewer=$(geometry_value viewer "$geo")
}

screenshot() {
    import -window root "$artifacts/$1" 2>>"$log" && echo "      screenshot $artifacts/$1"
}

# The message box's title and text joined by |, once OK is pressed.
message() {
    drv press ok | paste -sd '|'
}

# save_as NAME: Ctrl+S, NAME typed into the dialog; prints the name the dialog proposed and
# the question it asks, if any.
save_as() {
    drv key ctrl+s >/dev/null
    drv dialog-type "$save_title" "$1"
}

# converted NAME ARGS...: brevikon-rtf ARGS on the document, into the work folder as NAME.
converted() {
    local name=$1
    shift
    "$wine_run" "$converter" "$@" -o "$(winpath "$work")\\$name" "$(winpath "$doc")" \
        >>"$log" 2>&1
}

source "$source_dir/tests/e2e/e2e_steps.sh"

main() {
    require_tools
    mkdir -p "$e2e_dir" "$artifacts"
    rm -rf "$work"
    mkdir -p "$work"
    : >"$log"
    local started
    started=$(date +%s)
    start_display
    make_prefix "$e2e_dir/wineprefix-96" 96
    prepare_documents
    if [ "$mode" == --monkey ]; then
        use_prefix "$e2e_dir/wineprefix-96"
        run_monkey_checks
    else
        make_prefix "$e2e_dir/wineprefix-144" 144 "$e2e_dir/wineprefix-96"
        use_prefix "$e2e_dir/wineprefix-96"
        load_constants
        run_main_window_checks
        use_prefix "$e2e_dir/wineprefix-144"
        run_high_dpi_checks
    fi
    echo "--- $passed passed, $failed failed in $(($(date +%s) - started)) s (log: $log)"
    [ "$failed" -eq 0 ] && return 0
    printf 'failed: %s\n' "${failures[@]}"
    echo "--- the end of $log"
    tail -n 40 "$log"
    return 1
}

main
