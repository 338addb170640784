# Sourced by run_e2e.sh: the documents and the checks, one function per thing a user does.
# The checks of one run share the names set by prepare_documents: doc (opened first, its
# file name in name) and other (a second document).

# The bundled samples, BRIEF.TXT first; the random run drops every one of them.
prepare_documents() {
    cp "$source_dir"/samples/*.TXT "$source_dir"/samples/*.DOC "$work/" 2>>"$log"
    doc=$work/BRIEF.TXT
    name=$(basename "$doc")
    other=$(ls "$work"/*.DOC | head -n 1)
    : >"$work/LEER.TXT"
    # One byte more than the largest document that is loaded; sparse, so it costs nothing.
    truncate -s 33554433 "$work/GROSS.TXT"
}

check_start_and_layout() {
    echo "--- 96 DPI: started with $name"
    check "title names the document" drv wait-title "$name - $program"
    measure
    echo "$geo" >"$artifacts/geometry-96dpi.txt"
    local inner_w=${app[MainWindowInnerWidth]} inner_h=${app[MainWindowInnerHeight]}
    expect "96 DPI: outer size from the inner units without menu bar, inner size with it" \
        "96 96|$((inner_w + fw)) $((inner_h + fh))|$inner_w $inner_h" \
        "$dpi|$ww $wh|$cw $((ch + menu))"
    expect "centred on the screen" "$(((sw - ww) / 2)) $(((sh - wh) / 2))" "$wx $wy"
    expect_prefix "viewer anchored top left across the width" "0 0 $cw " "$viewer"
    local gap=${app[StatusGripGapUnits]} field=${app[ZoomFieldWidth]}
    expect "status fields: the zoom field, then a gap and the grip" \
        "$((cw - gap - grip - field)) $((cw - gap - grip))" "$(drv status-edges)"
    screenshot document-view.png
    check "typed and pasted keys leave the viewer's text as it was" drv type-viewer
}

# The keys of the accelerator table as the keyboard sends them, and the wheel with Ctrl,
# which must take the program's own steps rather than the control's; each check reads the
# zoom field and the viewer's own zoom ratio.
check_zoom_keys_and_wheel() {
    echo "--- zoom by keys and wheel"
    local step=$((app[ZoomDefault] + app[ZoomStep])) line input zoom ratio
    local next=$((step + app[ZoomStep]))
    # INPUT|ZOOM|RATIO: half a notch waits for its second half; without Ctrl nothing zooms.
    for line in "key ctrl+add|$step|$step/100" "key ctrl+0|${app[ZoomDefault]}|0/0" \
        "wheel ctrl 120|$step|$step/100" "wheel ctrl 60|$step|$step/100" \
        "wheel ctrl 60|$next|$next/100" "wheel -120|$next|$next/100"; do
        IFS='|' read -r input zoom ratio <<<"$line"
        drv $input >/dev/null
        expect "after $input: zoom field and the viewer's ratio" "Zoom $zoom %|$ratio" "$(drv zoom)"
    done
    drv key ctrl+0 >/dev/null
}

# The analysis saved through the real dialog, then the document, each as the converter
# writes it; the menu reached by its access keys in between.
check_save_dialog() {
    echo "--- Ctrl+A, menus by keyboard, and Save as RTF through the real dialog"
    drv click-viewer >/dev/null
    drv key ctrl+a >/dev/null
    check "Ctrl+A with the viewer focused shows the analysis" \
        drv wait-title "$name [Analyse] - $program"
    screenshot analysis-view.png
    save_as "$(winpath "$work")\\analyse.rtf" >/dev/null
    check "analysis saved" drv wait-status 0 "Gespeichert: analyse.rtf"
    converted report-ref.rtf --to report-rtf
    check "saved analysis equals brevikon-rtf --to report-rtf" \
        cmp "$work/report-ref.rtf" "$work/analyse.rtf"
    # Alt, A (&Ansicht), M (Schrift: &Monospace): back to the document view.
    drv key alt+a m >/dev/null
    check "menu by its access keys returns to the document" drv wait-title "$name - $program"
    expect "save dialog proposes the document's name with .rtf" "preset=${name%.*}.rtf" \
        "$(save_as ausgabe)"
    check "status confirms the save" drv wait-status 0 "Gespeichert: ausgabe.rtf"
    converted ausgabe-ref.rtf
    check "saved RTF (in the document's folder) equals brevikon-rtf" \
        cmp "$work/ausgabe-ref.rtf" "$work/ausgabe.rtf"
}

check_replace_question() {
    echo "--- saving onto an existing file asks first"
    local letter=${name%.*}.rtf
    save_as "$letter" >/dev/null
    check "the letter saved under the proposed name" drv wait-status 0 "Gespeichert: $letter"
    # The analysis proposes the same name: one Enter must not replace the letter unasked.
    drv key ctrl+a >/dev/null
    drv wait-title "$name [Analyse] - $program" >/dev/null
    expect_prefix "the dialog asks before replacing" "preset=$letter"$'\n'"$save_title"$'\n' \
        "$(save_as "$letter")"
    screenshot replace-question.png
    drv press no >/dev/null
    check "after No the dialog is still open" drv press cancel "$save_title"
    check "No leaves the file as it was" cmp "$work/ausgabe-ref.rtf" "$work/$letter"
    save_as "$letter" >/dev/null
    drv press yes >/dev/null
    drv wait-status 0 "Gespeichert: $letter" >/dev/null
    check "Yes replaces the file" cmp "$work/report-ref.rtf" "$work/$letter"
    # Typed without its extension the name still means the existing file.
    expect_prefix "the dialog asks for a name typed without .rtf" "preset=$letter"$'\n' \
        "$(save_as "${letter%.rtf}")"
    drv press no >/dev/null
    check "the dialog is still open after No" drv press cancel "$save_title"
    drv key alt+a m >/dev/null
    drv wait-title "$name - $program" >/dev/null
}

check_open_dialog() {
    echo "--- the open dialog"
    # Closed first, so that what the drop below opens shows in the title.
    drv key ctrl+w >/dev/null
    drv key ctrl+o >/dev/null
    drv dialog-type "$open_title" "$(winpath "$work/LEER.TXT")" >/dev/null
    expect "an empty file typed into the open dialog is refused" \
        "$program|Die Datei ist leer." "$(message)"
}

check_file_drop() {
    echo "--- file drop"
    expect "the drop is accepted as a copy" "effect=1" \
        "$(drv drop "$(winpath "$doc")" "$(winpath "$other")" "$(winpath "$work/LEER.TXT")")"
    check "dropping three files opens the first" drv wait-title "$name - $program"
}

# The user drags the lower right corner inwards, then past the smallest size.
check_border_drag() {
    command -v xdotool >/dev/null || return 0
    measure
    local corner_x=$((wx + ww - 2)) corner_y=$((wy + wh - 2))
    xdotool mousemove "$corner_x" "$corner_y" mousedown 1 \
        mousemove $((corner_x - 150)) $((corner_y - 100)) 2>>"$log"
    measure wait-size $((ww - 150)) $((wh - 100))
    expect "while dragging, the viewer follows the border" "0 0 $cw $sy" "$viewer"
    xdotool mousemove $((wx + 40)) $((wy + 40)) mouseup 1 2>>"$log"
    check "the border cannot be dragged below the smallest size" drv wait-size \
        $((app[MainWindowMinimumWidth] + fw)) $((app[MainWindowMinimumHeight] + fh))
    drv show maximize >/dev/null
    drv show restore >/dev/null
}

# check_smallest_size DPI: the smallest outer and inner size, asked for by the program itself.
check_smallest_size() {
    measure resize 100 100
    local w h
    w=$(px "${app[MainWindowMinimumWidth]}" "$1")
    h=$(px "${app[MainWindowMinimumHeight]}" "$1")
    expect "$1 DPI: smallest outer size plus frame, inner size, the viewer follows" \
        "$((w + fw)) $((h + fh))|$w $h|0 0 $w $sy" "$ww $wh|$cw $((ch + menu))|$viewer"
}

check_window_size() {
    echo "--- window size"
    check_border_drag
    check_smallest_size 96
    drv show maximize >/dev/null
    measure
    expect "maximised: the viewer follows, the zoom field reaches the edge" \
        "0 0 $cw $sy|$((cw - app[ZoomFieldWidth])) $cw" "$viewer|$(drv status-edges)"
    drv show restore >/dev/null
}

check_ending() {
    echo "--- ending"
    # A copy lives on the clipboard as an object of the rich-edit library; quitting must
    # leave the text there and still end cleanly.
    local copied ok=${app[ExitNormal]}
    if copied=$(drv copy-viewer) && [ -n "$copied" ]; then
        pass "Ctrl+C copies the viewer's text"
    else
        fail "Ctrl+C copies the viewer's text" "$copied"
    fi
    quit_reader ctrl+q
    expect "Ctrl+Q after a copy ends the program" "exit=$ok|$ok" "$ended"
    expect "the copied text outlives the program" "$copied" "$(drv clipboard)"

    start_reader "$(winpath "$other")" "$(winpath "$doc")" || return
    check "of two arguments the first is opened" \
        drv wait-title "$(basename "$other") - $program"
    quit_reader close
    expect "closing the window ends the program" "exit=$ok|$ok" "$ended"

    # Without either rich-edit library the viewer cannot be made: message, exit code 1.
    WINEDLLOVERRIDES="mscoree,mshtml=;msftedit,riched20=d" \
        "$wine_run" "$reader" >>"$log" 2>&1 &
    app_pid=$!
    local said
    said=$(message)
    wait_reader
    expect "missing rich-edit component is reported, exit code 1" \
        "$program|Die RichEdit-Komponente konnte nicht geladen werden.|${app[ExitStartFailed]}" \
        "$said|$exit_code"
}

run_main_window_checks() {
    start_reader "$(winpath "$doc")" || return
    check_start_and_layout
    check_zoom_keys_and_wheel
    check_save_dialog
    check_replace_question
    check_open_dialog
    check_file_drop
    check_window_size
    check_ending
}

run_high_dpi_checks() {
    echo "--- 144 DPI"
    start_reader "$(winpath "$doc")" || return
    check "started at 144 DPI" drv wait-title "$name - $program"
    measure
    echo "$geo" >"$artifacts/geometry-144dpi.txt"
    # The inner size in pixels is larger than the screen here: the window starts at 0, 0.
    expect "144 DPI, larger than the screen: placed at 0, 0" "144 144|0 0" "$dpi|$wx $wy"
    local gap field
    gap=$(px "${app[StatusGripGapUnits]}" 144)
    field=$(px "${app[ZoomFieldWidth]}" 144)
    expect "status fields scaled" "$((cw - gap - grip - field)) $((cw - gap - grip))" \
        "$(drv status-edges)"
    screenshot document-view-144dpi.png
    check_smallest_size 144
    quit_reader close
    expect "closing ends the program" "exit=${app[ExitNormal]}|${app[ExitNormal]}" "$ended"
}

# The program started without a document; every bundled sample, the empty and the too-large
# file, a missing file and the folder are dropped on it in turn.
run_monkey_checks() {
    local seed=${BREVIKON_MONKEY_SEED:-1987} steps=${BREVIKON_MONKEY_STEPS:-300}
    local documents=() file
    for file in "$work"/*.TXT "$work"/*.DOC; do
        case $(basename "$file") in
            LEER.TXT | GROSS.TXT) ;;
            *) documents+=("$(winpath "$file")") ;;
        esac
    done
    echo "--- random commands: seed $seed, $steps steps (steps in $work/monkey.txt)"
    start_reader || return
    # Straight into the file, line by line, and bounded: should a step ever hang, the file
    # names it and the failure comes with a screenshot, before the test's own time runs out.
    local attempt code
    for attempt in 1 2 3; do
        timeout 420 "$wine_run" "$driver" monkey "$seed" "$steps" "$(winpath "$work/LEER.TXT")" \
            "$(winpath "$work/GROSS.TXT")" "${documents[@]}" >"$work/monkey.txt" 2>>"$log"
        code=$?
        if [ "$code" -le 1 ] || [ "$code" -eq 124 ] || [ -s "$work/monkey.txt" ]; then break; fi
        echo "e2e: driver 'monkey' ended with $code without output (attempt $attempt)" >>"$log"
    done
    if [ "$code" -eq 0 ]; then
        pass "$(tail -n 1 "$work/monkey.txt")"
        wait_reader
        expect "exit code after the last step" "0" "$exit_code"
    else
        screenshot monkey-failure.png
        fail "random commands (rerun: BREVIKON_MONKEY_SEED=$seed)" \
            "$(tail -n 2 "$work/monkey.txt")"
    fi
}
