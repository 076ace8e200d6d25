#!/bin/sh
# Starts the distributable folder's PYXET.EXE under Wine, as Windows 98, in a
# prefix of its own (build/run/prefix) whose registry lists one sample
# chipset (Intel 440BX host bridge, 8086:7190), so that detection finds it.
# With a display the dialogs appear there; without one the program runs on
# a private Xvfb, the detection dialog is saved as build/run/detect.png and
# the program is ended.
set -eu
. "$(dirname "$0")/wine-env.sh"

RUN=$PROJECT/build/run
DIST=$PROJECT/build/dist
export WINEPREFIX=$RUN/prefix

if ! wine_can_run; then
    echo "run: this machine cannot execute 32-bit x86 code, so Wine cannot start PYXET.EXE." >&2
    echo "run: the program is built in $DIST; copy that folder to a Windows 95/98/ME machine or emulator." >&2
    exit 1
fi

prepare_prefix() {
    mkdir -p "$RUN"
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >"$RUN/wineboot.log" 2>&1
    cat >"$RUN/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine]
"Version"="win98"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Enum\PCI\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03]
REG
    wine regedit /S "$RUN/settings.reg"
    wineserver -w
}

# Waits up to 30 s for a dialog to appear on Wine's empty desktop (the
# screen changes and then stays still for a second), then saves the screen.
capture_detection_dialog() {
    empty=
    for _ in $(seq 60); do
        sleep 0.5
        import -window root "$RUN/screen.png" 2>/dev/null || continue
        if [ -z "$empty" ]; then
            cp "$RUN/screen.png" "$RUN/empty.png"
            empty=1
        elif ! compare -metric AE "$RUN/screen.png" "$RUN/empty.png" null: 2>/dev/null; then
            sleep 1
            import -window root "$RUN/screen.png"
            convert "$RUN/screen.png" -trim +repage "$RUN/detect.png"
            return 0
        fi
    done
    return 1
}

run_headless() {
    Xvfb :119 -screen 0 800x600x24 -nolisten tcp >"$RUN/xvfb.log" 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null || true' EXIT
    sleep 1
    export DISPLAY=:119
    prepare_prefix
    (cd "$DIST" && wine explorer /desktop=pyxet,800x600 PYXET.EXE) &
    if capture_detection_dialog; then
        echo "run: no display; the detection dialog is in $RUN/detect.png"
    else
        echo "run: the detection dialog did not appear within 30 s" >&2
    fi
    wineserver -k
}

if [ -n "${DISPLAY:-}" ]; then
    prepare_prefix
    cd "$DIST"
    exec wine PYXET.EXE
else
    run_headless
fi
