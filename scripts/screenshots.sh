#!/bin/sh
# Saves pictures of the program's two start-up warnings and its three
# dialogs into docs/screenshots/, taken under Wine from a copy of the
# distributable folder (the shipped PYXET.INI, the real ENUM.DLL) on a board
# with an Intel 440BX host bridge, as Windows 98 (Windows 95 for the
# early-build warning). Each picture is taken inside Wine's own desktop,
# which draws the frames and captions that a bare X server leaves out; the
# test program shot_driver.exe, started on that desktop, brings the program
# to the window and reports where it is. It runs on a private X server and
# a prefix of its own (build/screenshots/prefix), so it disturbs no test
# run. Exits 77 (skipped) where this machine cannot run 32-bit Wine.
#
#   scripts/screenshots.sh [WIN32_BUILD_FOLDER]
set -eu
. "$(dirname "$0")/wine-env.sh"

WIN32_DIR=${1:-$PROJECT/build/win32}
DIST=$PROJECT/build/dist
SHOTS=$PROJECT/build/screenshots
OUT=$PROJECT/docs/screenshots
DRIVER=$WIN32_DIR/tests/e2e/shot_driver.exe
export WINEPREFIX="$SHOTS/prefix"

if ! wine_can_run; then
    echo "screenshots: this machine cannot execute 32-bit x86 code, so Wine cannot run; skipped" >&2
    exit "$SKIPPED"
fi
for needed in "$DIST/PYXET.EXE" "$DRIVER"; do
    [ -f "$needed" ] || { echo "screenshots: $needed is missing; run make win32 first" >&2; exit 1; }
done

# The whole run goes on one private X server whose screen is exactly the
# size of Wine's desktop, so desktop coordinates are screen coordinates.
if [ -z "${SCREENSHOTS_ON_PRIVATE_DISPLAY:-}" ]; then
    export SCREENSHOTS_ON_PRIVATE_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" "$0" "$@"
fi

# Wine's drive Z: is the root of the file system.
windows_path() {
    printf 'Z:%s' "$1" | tr / '\\'
}

prepare() {
    rm -rf "$SHOTS/folder"
    mkdir -p "$SHOTS" "$OUT"
    cp -r "$DIST" "$SHOTS/folder"
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >"$SHOTS/wineboot.log" 2>&1
}

# Waits up to a minute for the driver's state file to appear.
wait_for_state() {
    for _ in $(seq 120); do
        [ -s "$1" ] && return 0
        sleep 0.5
    done
    return 1
}

# Waits up to 20 s for a process to end, then ends it.
end_process() {
    for _ in $(seq 40); do
        kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null || true; return 0; }
        sleep 0.5
    done
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# take SHOT: drives the program to the window and crops the screen to it.
take() {
    state=$SHOTS/$1.state
    rm -f "$state" "$state.done"
    wine explorer /desktop=shot,800x600 "$(windows_path "$DRIVER")" "$1" \
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
        echo "screenshots: $1: $(cat "$state")" >&2
        result=1
    fi
    touch "$state.done"
    end_process "$desktop"
    return $result
}

prepare
failed=0
for shot in agp_warning early_build_warning detection selection restart; do
    take "$shot" || failed=1
done
wineserver -k 2>/dev/null || true
exit $failed
