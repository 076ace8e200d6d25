#!/bin/sh
# Saves pictures of the program's two start-up warnings and its three
# dialogs, taken under Wine from a copy of the distributable folder (the
# shipped PYXET.INI, the real ENUM.DLL) on a board with an Intel 440BX host
# bridge, as Windows 98 (Windows 95 for the early-build warning). Each
# picture is taken inside Wine's own desktop, which draws the frames and
# captions that a bare X server leaves out; the test program shot_driver.exe,
# started on that desktop, brings the program to the window and reports
# where it is. It runs on a private X server and a prefix of its own
# (build/screenshots/prefix), so it disturbs no test run. The build that
# runs is the one that runs here (scripts/e2e-flavour.sh). Exits 77
# (skipped) where Wine cannot run.
#
#   scripts/screenshots.sh [OUT_FOLDER [SHOT...]]
#
# OUT_FOLDER defaults to docs/screenshots; the shots are agp_warning,
# early_build_warning, detection, selection and restart, all by default.
set -eu
. "$(dirname "$0")/wine-env.sh"

SHOTS=$PROJECT/build/screenshots
DRIVER=$FLAVOUR_BUILD/tests/e2e/shot_driver.exe
export WINEPREFIX="$SHOTS/prefix"

if ! wine_can_run; then
    echo "screenshots: $(wine_absent_reason); skipped" >&2
    exit "$SKIPPED"
fi
for needed in "$FLAVOUR_DIST/PYXET.EXE" "$DRIVER"; do
    [ -f "$needed" ] || { echo "screenshots: $needed is missing; run make e2e-build first" >&2; exit 1; }
done

# The whole run goes on one private X server whose screen is exactly the
# size of Wine's desktop, so desktop coordinates are screen coordinates.
if [ -z "${SCREENSHOTS_ON_PRIVATE_DISPLAY:-}" ]; then
    export SCREENSHOTS_ON_PRIVATE_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" "$0" "$@"
fi

OUT=${1:-$PROJECT/docs/screenshots}
[ $# -gt 0 ] && shift
SHOTS_WANTED=${*:-agp_warning early_build_warning detection selection restart}

# Wine's drive Z: is the root of the file system.
windows_path() {
    printf 'Z:%s' "$1" | tr / '\\'
}

prepare() {
    rm -rf "$SHOTS/folder"
    mkdir -p "$SHOTS" "$OUT"
    cp -r "$FLAVOUR_DIST" "$SHOTS/folder"
    [ -f "$WINEPREFIX/system.reg" ] || "$WINE" wineboot -i >"$SHOTS/wineboot.log" 2>&1
}

# Waits up to a minute for the driver's state file to appear.
wait_for_state() {
    for _ in $(seq 120); do
        [ -s "$1" ] && return 0
        sleep 0.5
    done
    return 1
}

# Waits up to 20 s for the shot's desktop to end. One that does not is
# ended with every Wine process, so that nothing of it shows on the next
# shot's desktop.
end_desktop() {
    for _ in $(seq 40); do
        kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null || true; return 0; }
        sleep 0.5
    done
    echo "screenshots: the desktop of the last shot did not end; ending every Wine process" >&2
    wineserver -k 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# take SHOT: drives the program to the window and crops the screen to it.
take() {
    state=$SHOTS/$1.state
    rm -f "$state" "$state.done"
    "$WINE" explorer /desktop=shot,800x600 "$(windows_path "$DRIVER")" "$1" \
        "$(windows_path "$SHOTS/folder")" "$(windows_path "$state")" >"$SHOTS/$1.log" 2>&1 &
    desktop=$!
    result=0
    if ! wait_for_state "$state"; then
        echo "screenshots: $1: the driver reported nothing within a minute" >&2
        result=1
    elif read -r word x y width height <"$state" && [ "$word" = ready ]; then
        # Give the window a moment to paint itself.
        sleep 1
        import -window root "$SHOTS/screen.png"
        convert "$SHOTS/screen.png" -crop "${width}x${height}+${x}+${y}" +repage "$OUT/$1.png"
        echo "screenshots: $OUT/$1.png"
    else
        printf 'screenshots: %s: %s\n' "$1" "$(cat "$state")" >&2
        result=1
    fi
    touch "$state.done"
    end_desktop "$desktop"
    return $result
}

prepare
failed=0
for shot in $SHOTS_WANTED; do
    take "$shot" || failed=1
done
wineserver -k 2>/dev/null || true
exit $failed
