#!/usr/bin/env bash
# End-to-end checks of brevikon-reader.exe under Wine, on a virtual X display of our own.
# The program is started as a user would start it and driven from outside by
# e2e-driver.exe (keys through the input queue, the real file dialogs, an OLE drop); every
# check reads what the program shows: title, status fields, message boxes, saved files,
# window geometry. Screenshots go to BUILD/artifacts.
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

for program in "$reader" "$driver" "$converter"; do
    if [ ! -f "$program" ]; then
        echo "e2e: $program is missing; build the windows preset first" >&2
        exit 1
    fi
done
for tool in Xvfb import wine wineserver; do
    if ! command -v "$tool" >/dev/null; then
        echo "e2e: $tool is not installed" >&2
        exit 1
    fi
done

mkdir -p "$e2e_dir" "$artifacts"
rm -rf "$work"
mkdir -p "$work"
: >"$log"

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
    local name=$1
    shift
    local output
    if output=$("$@" 2>>"$log"); then
        pass "$name"
    else
        fail "$name" "$output"
    fi
}

# expect NAME EXPECTED ACTUAL
expect() {
    if [ "$2" == "$3" ]; then
        pass "$1"
    else
        fail "$1" "expected [$2], got [$3]"
    fi
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
        sleep 1
    done
    [ -n "$output" ] && printf '%s\n' "$output"
    return "$code"
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

# Integer pixels for units at a resolution, rounded like the program does.
px() {
    echo $((($1 * $2 + 48) / 96))
}

geometry_value() {
    sed -n "s/^$1=//p" <<<"$2"
}

screenshot() {
    import -window root "$artifacts/$1" 2>>"$log" && echo "      screenshot $artifacts/$1"
}

# --- Documents ---

# The bundled samples when present, else a document of our own: a header, zeros, a text
# with umlauts and an attribute escape.
prepare_documents() {
    local sample
    for sample in "$source_dir"/samples/BRIEF.TXT "$source_dir"/samples/*.TXT \
        "$source_dir"/samples/*.DOC; do
        if [ -f "$sample" ]; then
            cp "$sample" "$work/"
            break
        fi
    done
    for sample in "$source_dir"/samples/*.DOC "$source_dir"/samples/*.TXT; do
        [ -f "$sample" ] && [ ! -f "$work/$(basename "$sample")" ] && cp "$sample" "$work/" && break
    done
    if ! ls "$work"/*.TXT "$work"/*.DOC >/dev/null 2>&1; then
        printf 'Brief an Herrn M\x81ller\r\nSehr geehrter Herr,\r\n\x1bS\x02Fett\x1bS\x02!\r\n\x1a' \
            >"$work/BRIEF.TXT"
        printf 'Notiz\r\n\x1a' >"$work/NOTIZ.TXT"
    fi
    : >"$work/LEER.TXT"
    # One byte more than the largest document that is loaded; sparse, so it costs nothing.
    truncate -s 33554433 "$work/GROSS.TXT"
}

# --- The checks ---

run_main_window_checks() {
    local documents=("$work"/*.TXT "$work"/*.DOC)
    local doc=${documents[0]}
    local name
    name=$(basename "$doc")
    local other=
    local candidate
    for candidate in "${documents[@]}"; do
        case $(basename "$candidate") in
            "$name" | LEER.TXT | GROSS.TXT) ;;
            *) other=$candidate && break ;;
        esac
    done
    [ -n "$other" ] || other=$doc
    local size
    size=$(stat -c %s "$doc")

    echo "--- 96 DPI: started with $name"
    start_reader "$(winpath "$doc")" || return
    check "title names the document" drv wait-title "$name - Brevikon Reader"
    local field0
    field0=$(drv status 0)
    case $field0 in
        "$name   ($size Bytes)   "?*) pass "status field 0 is the file line" ;;
        *) fail "status field 0 is the file line" "got [$field0]" ;;
    esac
    expect "status field 1 shows the zoom" "Zoom 100 %" "$(drv status 1)"
    [ "$(drv viewer-length)" -gt 0 ] && pass "viewer shows the document" ||
        fail "viewer shows the document" "empty viewer"

    local geo
    geo=$(drv geometry)
    echo "$geo" >"$artifacts/geometry-96dpi.txt"
    local dpi frame window client menu grip screen
    dpi=$(geometry_value dpi "$geo")
    read -r fw fh <<<"$(geometry_value frame "$geo")"
    read -r wx wy ww wh <<<"$(geometry_value window "$geo")"
    read -r _ _ cw ch <<<"$(geometry_value client "$geo")"
    read -r sw sh <<<"$(geometry_value screen "$geo")"
    menu=$(geometry_value menu "$geo")
    grip=$(geometry_value grip "$geo")
    expect "display measured at 96 DPI" "96 96" "$dpi"
    expect "outer size from 920 x 700 units without menu bar" \
        "$((920 + fw)) $((700 + fh))" "$ww $wh"
    expect "inner size 920 x 700 (client plus one menu bar)" "920 700" "$cw $((ch + menu))"
    expect "centred on the screen" "$(((sw - ww) / 2)) $(((sh - wh) / 2))" "$wx $wy"
    local viewer
    viewer=$(geometry_value viewer "$geo")
    case $viewer in
        "0 0 $cw "*) pass "viewer anchored top left across the width" ;;
        *) fail "viewer anchored top left across the width" "viewer=$viewer client width $cw" ;;
    esac
    expect "status fields: zoom field 110 wide, 5 + grip left of the edge" \
        "$((cw - 5 - grip - 110)) $((cw - 5 - grip))" "$(drv status-edges)"
    screenshot document-view.png

    echo "--- keyboard shortcuts and zoom"
    drv key ctrl+add >/dev/null
    check "Ctrl + keypad plus zooms in" drv wait-status 1 "Zoom 110 %"
    expect "the viewer zooms by 110/100" "110/100" "$(drv viewer-zoom)"
    drv key ctrl+oemplus ctrl+oemminus ctrl+numpad0 >/dev/null
    sleep 0.3
    expect "main keyboard plus/minus and keypad 0 do nothing" "Zoom 110 %" "$(drv status 1)"
    drv key ctrl+subtract ctrl+subtract >/dev/null
    check "Ctrl + keypad minus zooms out" drv wait-status 1 "Zoom 90 %"
    drv key ctrl+0 >/dev/null
    check "Ctrl+0 returns to 100 %" drv wait-status 1 "Zoom 100 %"
    expect "zoom 100 % is no zoom (0/0)" "0/0" "$(drv viewer-zoom)"
    # The wheel with Ctrl takes the program's own zoom steps, one per notch of 120; the
    # control must not zoom by itself behind the status bar's back.
    drv wheel ctrl 120 >/dev/null
    expect "a notch of the wheel with Ctrl zooms in one step" "Zoom 110 %" "$(drv status 1)"
    expect "the viewer takes the same step" "110/100" "$(drv viewer-zoom)"
    drv wheel ctrl 60 >/dev/null
    expect "half a notch does not zoom yet" "Zoom 110 %" "$(drv status 1)"
    drv wheel ctrl 60 -120 -120 -120 >/dev/null
    expect "its second half zooms in, three notches back zoom out" "Zoom 90 %" "$(drv status 1)"
    drv wheel -120 >/dev/null
    expect "the wheel without Ctrl does not zoom" "90/100" "$(drv viewer-zoom)"
    drv key ctrl+0 >/dev/null
    check "Ctrl+0 after the wheel returns to 100 %" drv wait-status 1 "Zoom 100 %"
    expect "and to no zoom in the viewer" "0/0" "$(drv viewer-zoom)"

    drv click-viewer >/dev/null
    drv key ctrl+a >/dev/null
    check "Ctrl+A with the viewer focused shows the analysis" \
        drv wait-title "$name [Analyse] - Brevikon Reader"
    expect "status field 0 in the analysis" "$name   -   Strukturanalyse" "$(drv status 0)"
    screenshot analysis-view.png

    echo "--- menus by keyboard, and Save as RTF through the real dialog"
    drv key ctrl+s >/dev/null
    local typed
    typed=$(drv dialog-type "Als RTF speichern" "$(winpath "$work")\\analyse.rtf")
    check "analysis saved" drv wait-status 0 "Gespeichert: analyse.rtf"
    "$wine_run" "$converter" --to report-rtf -o "$(winpath "$work")\\report-ref.rtf" \
        "$(winpath "$doc")" >>"$log" 2>&1
    check "saved analysis equals brevikon-rtf --to report-rtf" \
        cmp "$work/report-ref.rtf" "$work/analyse.rtf"

    # Alt, A (&Ansicht), M (Schrift: &Monospace): back to the document view.
    drv key alt+a m >/dev/null
    check "menu by its access keys returns to the document" \
        drv wait-title "$name - Brevikon Reader"
    drv key ctrl+s >/dev/null
    typed=$(drv dialog-type "Als RTF speichern" "ausgabe")
    expect "save dialog proposes the document's name with .rtf" \
        "preset=${name%.*}.rtf" "$typed"
    check "status confirms the save" drv wait-status 0 "Gespeichert: ausgabe.rtf"
    expect "the title still names the document" "$name - Brevikon Reader" "$(drv title)"
    "$wine_run" "$converter" -o "$(winpath "$work")\\ausgabe-ref.rtf" "$(winpath "$doc")" \
        >>"$log" 2>&1
    check "saved RTF (in the document's folder) equals brevikon-rtf" \
        cmp "$work/ausgabe-ref.rtf" "$work/ausgabe.rtf"
    drv key ctrl+add >/dev/null
    check "a zoom step replaces the save confirmation" \
        drv wait-status 0 "$field0"
    drv key ctrl+0 >/dev/null

    echo "--- saving onto an existing file asks first"
    local letter=${name%.*}.rtf question
    drv key ctrl+s >/dev/null
    drv dialog-type "Als RTF speichern" "$letter" >/dev/null
    check "the letter saved under the proposed name" drv wait-status 0 "Gespeichert: $letter"
    # The analysis proposes the same name: one Enter must not replace the letter unasked.
    drv key ctrl+a >/dev/null
    drv wait-title "$name [Analyse] - Brevikon Reader" >/dev/null
    drv key ctrl+s >/dev/null
    question=$(drv dialog-replace "Als RTF speichern" "$letter")
    case $question in
        "preset=$letter"$'\n'"Als RTF speichern"$'\n'?*) pass "the dialog asks before replacing" ;;
        *) fail "the dialog asks before replacing" "$question" ;;
    esac
    screenshot replace-question.png
    check "No to the question" drv answer no
    check "after No the dialog is still open" drv dialog-cancel "Als RTF speichern"
    check "No leaves the file as it was" cmp "$work/ausgabe-ref.rtf" "$work/$letter"
    drv key ctrl+s >/dev/null
    drv dialog-replace "Als RTF speichern" "$letter" >/dev/null
    check "Yes to the question" drv answer yes
    check "Yes saves" drv wait-status 0 "Gespeichert: $letter"
    check "Yes replaces the file" cmp "$work/report-ref.rtf" "$work/$letter"
    # Typed without its extension the name still means the existing file.
    drv key ctrl+s >/dev/null
    question=$(drv dialog-replace "Als RTF speichern" "${letter%.rtf}")
    case $question in
        *"Als RTF speichern"$'\n'?*) pass "the dialog asks for a name typed without .rtf" ;;
        *) fail "the dialog asks for a name typed without .rtf" "$question" ;;
    esac
    check "No to that question" drv answer no
    check "the dialog is still open after No" drv dialog-cancel "Als RTF speichern"
    drv key alt+a m >/dev/null
    drv wait-title "$name - Brevikon Reader" >/dev/null

    drv key alt+a p >/dev/null
    sleep 0.5
    drv key alt+a >/dev/null
    sleep 0.5
    screenshot menu-ansicht.png
    drv key escape escape >/dev/null
    drv key ctrl+s >/dev/null
    drv dialog-type "Als RTF speichern" "proportional" >/dev/null
    check "proportional font saved" drv wait-status 0 "Gespeichert: proportional.rtf"
    "$wine_run" "$converter" --proportional -o "$(winpath "$work")\\proportional-ref.rtf" \
        "$(winpath "$doc")" >>"$log" 2>&1
    check "Schrift: Proportional gives brevikon-rtf --proportional" \
        cmp "$work/proportional-ref.rtf" "$work/proportional.rtf"
    drv command 8 >/dev/null

    echo "--- close, open dialog, refusals"
    drv key ctrl+w >/dev/null
    check "Ctrl+W closes: title" drv wait-title "Brevikon Reader"
    expect "Ctrl+W closes: status" "Keine Datei geoeffnet" "$(drv status 0)"
    expect "Ctrl+W closes: viewer empty" "0" "$(drv viewer-length)"
    drv key ctrl+a >/dev/null
    expect "Analyse without a document says so" \
        "Brevikon Reader|Es ist keine Datei geoeffnet." "$(drv message | paste -sd '|')"

    drv key ctrl+o >/dev/null
    check "Ctrl+O shows the open dialog, Cancel closes it" \
        drv dialog-cancel "Brevikon-Datei oeffnen"
    expect "a cancelled open changes nothing" "Brevikon Reader" "$(drv title)"

    drv key ctrl+o >/dev/null
    drv dialog-type "Brevikon-Datei oeffnen" "$(winpath "$work/LEER.TXT")" >/dev/null
    expect "an empty file is refused with its message" \
        "Brevikon Reader|Die Datei ist leer." "$(drv message | paste -sd '|')"

    echo "--- file drop"
    local drop
    drop=$(drv drop "$(winpath "$doc")" "$(winpath "$other")" "$(winpath "$work/LEER.TXT")")
    expect "the drop is accepted as a copy" "effect=1" "$drop"
    check "dropping three files opens the first" drv wait-title "$name - Brevikon Reader"
    # A folder first: nothing is opened, and nothing is said.
    drv drop "$(winpath "$work")" "$(winpath "$other")" >/dev/null
    sleep 0.5
    expect "a drop with a folder first opens nothing" "$name - Brevikon Reader" "$(drv title)"
    drv drop "$(winpath "$work/GROSS.TXT")" "$(winpath "$other")" >/dev/null
    expect "a file of 33,554,433 bytes is refused with its message" \
        "Brevikon Reader|Die Datei ist groesser als 32 MB und wird nicht geladen." \
        "$(drv message | paste -sd '|')"
    expect "the refused file leaves the document shown" "$name - Brevikon Reader" "$(drv title)"

    echo "--- window size"
    if command -v xdotool >/dev/null; then
        # The user drags the lower right corner inwards, past the smallest size.
        geo=$(drv geometry)
        read -r wx wy ww wh <<<"$(geometry_value window "$geo")"
        local corner_x=$((wx + ww - 2)) corner_y=$((wy + wh - 2))
        xdotool mousemove "$corner_x" "$corner_y" sleep 0.3 mousedown 1 sleep 0.3 \
            mousemove $((corner_x - 150)) $((corner_y - 100)) sleep 0.5 2>>"$log"
        geo=$(drv geometry)
        read -r _ _ cw _ <<<"$(geometry_value client "$geo")"
        read -r _ sy _ _ <<<"$(geometry_value statusbar "$geo")"
        expect "while dragging, the viewer follows the border" \
            "0 0 $cw $sy" "$(geometry_value viewer "$geo")"
        xdotool mousemove $((wx + 40)) $((wy + 40)) sleep 0.5 mouseup 1 sleep 0.3 2>>"$log"
        geo=$(drv geometry)
        read -r _ _ ww wh <<<"$(geometry_value window "$geo")"
        expect "the border cannot be dragged below 500 x 340 units" \
            "$((500 + fw)) $((340 + fh))" "$ww $wh"
        drv show maximize >/dev/null
        drv show restore >/dev/null
    fi
    geo=$(drv resize 100 100)
    read -r _ _ ww wh <<<"$(geometry_value window "$geo")"
    read -r _ _ cw ch <<<"$(geometry_value client "$geo")"
    expect "smallest outer size: 500 x 340 units plus frame" \
        "$((500 + fw)) $((340 + fh))" "$ww $wh"
    expect "smallest inner size 500 x 340" "500 340" "$cw $((ch + menu))"
    read -r _ sy _ _ <<<"$(geometry_value statusbar "$geo")"
    expect "the viewer follows: full width, down to the status bar" \
        "0 0 500 $sy" "$(geometry_value viewer "$geo")"
    drv show maximize >/dev/null
    geo=$(drv geometry)
    read -r _ _ cw ch <<<"$(geometry_value client "$geo")"
    read -r _ sy _ _ <<<"$(geometry_value statusbar "$geo")"
    expect "maximised: the viewer follows" "0 0 $cw $sy" "$(geometry_value viewer "$geo")"
    expect "maximised: the zoom field reaches the edge" \
        "$((cw - 110)) $cw" "$(drv status-edges)"
    drv show restore >/dev/null

    drv command 10 >/dev/null
    local about
    about=$(drv message | head -1)
    expect "About shows a box titled Info" "Info" "$about"

    echo "--- ending"
    # A copy lives on the clipboard as an object of the rich-edit library; quitting must
    # leave the text there and still end cleanly.
    local copied
    copied=$(drv copy-viewer)
    [ -n "$copied" ] && pass "Ctrl+C copies the viewer's text" ||
        fail "Ctrl+C copies the viewer's text" "nothing copied"
    expect "Ctrl+Q after a copy ends the program" "exit=0" "$(drv quit ctrl+q)"
    wait_reader
    expect "exit code after Ctrl+Q" "0" "$exit_code"
    expect "the copied text outlives the program" "$copied" "$(drv clipboard)"

    start_reader "$(winpath "$other")" "$(winpath "$doc")" || return
    check "of two arguments the first is opened" \
        drv wait-title "$(basename "$other") - Brevikon Reader"
    expect "closing the window ends the program" "exit=0" "$(drv quit close)"
    wait_reader
    expect "exit code after closing" "0" "$exit_code"

    # Without either rich-edit library the viewer cannot be made: message, exit code 1.
    WINEDLLOVERRIDES="mscoree,mshtml=;msftedit,riched20=d" \
        "$wine_run" "$reader" >>"$log" 2>&1 &
    app_pid=$!
    expect "missing rich-edit component is reported" \
        "Brevikon Reader|Die RichEdit-Komponente konnte nicht geladen werden." \
        "$(drv message 60000 | paste -sd '|')"
    wait_reader
    expect "start-up failure exits with code 1" "1" "$exit_code"
}

run_high_dpi_checks() {
    local documents=("$work"/*.TXT "$work"/*.DOC)
    local doc=${documents[0]}
    echo "--- 144 DPI"
    start_reader "$(winpath "$doc")" || return
    check "started at 144 DPI" drv wait-title "$(basename "$doc") - Brevikon Reader"
    local geo
    geo=$(drv geometry)
    echo "$geo" >"$artifacts/geometry-144dpi.txt"
    read -r fw fh <<<"$(geometry_value frame "$geo")"
    read -r wx wy _ _ <<<"$(geometry_value window "$geo")"
    read -r _ _ cw _ <<<"$(geometry_value client "$geo")"
    local grip
    grip=$(geometry_value grip "$geo")
    expect "display measured at 144 DPI" "144 144" "$(geometry_value dpi "$geo")"
    # 920 x 700 units are 1380 x 1050 pixels here, more than the screen: the window starts
    # at 0 on both axes.
    expect "larger than the screen: placed at 0, 0" "0 0" "$wx $wy"
    expect "status fields scaled: 165 wide, 8 + grip left of the edge" \
        "$((cw - 8 - grip - 165)) $((cw - 8 - grip))" "$(drv status-edges)"
    screenshot document-view-144dpi.png
    geo=$(drv resize 100 100)
    read -r _ _ ww wh <<<"$(geometry_value window "$geo")"
    read -r _ _ cw ch <<<"$(geometry_value client "$geo")"
    local menu
    menu=$(geometry_value menu "$geo")
    expect "smallest outer size at 144 DPI: 750 x 510 pixels plus frame" \
        "$(($(px 500 144) + fw)) $(($(px 340 144) + fh))" "$ww $wh"
    expect "smallest inner size at 144 DPI" "750 510" "$cw $((ch + menu))"
    expect "closing ends the program" "exit=0" "$(drv quit close)"
    wait_reader
    expect "exit code after closing" "0" "$exit_code"
}

# The program started without a document; every bundled sample, the empty and the too-large
# file, a missing file and the folder are dropped on it in turn.
run_monkey_checks() {
    local seed=${BREVIKON_MONKEY_SEED:-1987} steps=${BREVIKON_MONKEY_STEPS:-300}
    cp "$source_dir"/samples/*.TXT "$source_dir"/samples/*.DOC "$work/" 2>>"$log"
    local documents=() file
    for file in "$work"/*.TXT "$work"/*.DOC; do
        case $(basename "$file") in
            LEER.TXT | GROSS.TXT) ;;
            *) documents+=("$(winpath "$file")") ;;
        esac
    done
    echo "--- random commands: seed $seed, $steps steps (steps in $work/monkey.txt)"
    start_reader || return
    if drv monkey "$seed" "$steps" "$(winpath "$work/LEER.TXT")" "$(winpath "$work/GROSS.TXT")" \
        "${documents[@]}" >"$work/monkey.txt"; then
        pass "$(tail -n 1 "$work/monkey.txt")"
        wait_reader
        expect "exit code after the last step" "0" "$exit_code"
    else
        screenshot monkey-failure.png
        fail "random commands (rerun: BREVIKON_MONKEY_SEED=$seed)" \
            "$(tail -n 2 "$work/monkey.txt")"
    fi
}

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
    run_main_window_checks
    use_prefix "$e2e_dir/wineprefix-144"
    run_high_dpi_checks
fi

echo "--- $passed passed, $failed failed in $(($(date +%s) - started)) s (log: $log)"
if [ "$failed" -gt 0 ]; then
    printf 'failed: %s\n' "${failures[@]}"
    echo "--- the end of $log"
    tail -n 40 "$log"
    exit 1
fi
exit 0
