# Sourced by the e2e checks and the viewer benchmark: a virtual X display of our own, and Wine
# prefixes with a virtual desktop of a known size and resolution. Expects wine_run, log and
# screen_size to be set; start_display leaves the display's process in xvfb_pid.

# Xvfb picks a free display itself and names it on the descriptor it is given.
start_display() {
    local number=${log%.log}.display
    : >"$number"
    Xvfb -displayfd 3 -screen 0 "${screen_size}x24" -nolisten tcp 3>"$number" >>"$log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$number" ] && break
        sleep 0.1
    done
    [ -s "$number" ] || { echo "e2e: no X display" >&2 && exit 1; }
    export DISPLAY=":$(cat "$number")"
}

# make_prefix DIR DPI [FROM]: a prefix of our own with a virtual desktop, so that Wine draws
# the window frames itself and the screen has a known size. Copied from FROM when given:
# a second start-up of a fresh prefix costs twenty seconds, a copy one.
make_prefix() {
    local prefix=$1 dpi=$2 from=${3:-}
    [ -f "$prefix/.brevikon-e2e-$dpi" ] && return 0
    echo "e2e: preparing the Wine prefix $prefix (once)"
    rm -rf "$prefix"
    [ -n "$from" ] && cp -a "$from" "$prefix"
    (
        export WINEPREFIX=$prefix
        "$wine_run" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
        "$wine_run" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$screen_size" /f
        "$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
        "$wine_run" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
            /v LogPixels /t REG_DWORD /d "$dpi" /f
        wineserver -w
    ) >>"$log" 2>&1
    rm -f "$prefix"/.brevikon-e2e-*
    touch "$prefix/.brevikon-e2e-$dpi"
}

use_prefix() {
    # A server left from an earlier run would still draw on that run's display.
    if [ -n "${WINEPREFIX:-}" ]; then timeout 30 wineserver -w 2>/dev/null; fi
    export WINEPREFIX=$1
    timeout 30 wineserver -w 2>/dev/null
}

# Windows form of a path under / (Wine's drive Z:).
winpath() {
    printf 'Z:%s' "${1//\//\\}"
}
