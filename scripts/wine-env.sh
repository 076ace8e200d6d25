# Sourced by the Wine scripts: the flavour of Windows binaries that runs here
# (scripts/e2e-flavour.sh; PYXET_E2E_FLAVOUR chooses one) with its build and
# distributable folders, the Wine loader, prefix and display of a test run,
# and whether Wine can run at all. Where it
# cannot, the Wine tests are skipped, never passed. PYXET_WINE_SESSION and
# WINEPREFIX choose another session folder and prefix, for a test that must
# not disturb the session of the others.
PROJECT=$(cd "$(dirname "$0")/.." && pwd)
SESSION=${PYXET_WINE_SESSION:-$PROJECT/build/wine-session}
FLAVOUR=${PYXET_E2E_FLAVOUR:-$(sh "$PROJECT/scripts/e2e-flavour.sh")}
case $FLAVOUR in
i386)
    WINE=/usr/lib/wine/wine
    FLAVOUR_BUILD=$PROJECT/build/win32
    FLAVOUR_DIST=$PROJECT/build/dist
    export WINEARCH=win32
    export WINEPREFIX=${WINEPREFIX:-$PROJECT/build/wineprefix}
    ;;
win64)
    # Debian's /usr/bin/wine prefers the 32-bit loader whenever it is
    # installed, even where it cannot execute: call the 64-bit one directly,
    # and let the processes it starts use it too.
    WINE=/usr/lib/wine/wine64
    FLAVOUR_BUILD=$PROJECT/build/win64
    FLAVOUR_DIST=$PROJECT/build/win64/dist
    export WINELOADER=$WINE
    export WINEARCH=win64
    export WINEPREFIX=${WINEPREFIX:-$PROJECT/build/wineprefix64}
    ;;
*)
    WINE=
    FLAVOUR_BUILD=
    FLAVOUR_DIST=
    ;;
esac
export WINEDEBUG=${WINEDEBUG:--all}
# Wine must never offer to install Mono or Gecko: the prompt would hang.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Exit status 77 is CTest's and Automake's "skipped".
SKIPPED=77

wine_can_run() {
    [ -n "$WINE" ] && "$WINE" --version >/dev/null 2>&1
}

# Why wine_can_run failed, for the one line a skipped test prints.
wine_absent_reason() {
    case $FLAVOUR in
    i386) echo "this machine cannot execute 32-bit x86 code, so 32-bit Wine cannot run" ;;
    win64) echo "64-bit Wine (/usr/lib/wine/wine64) cannot run here" ;;
    *) echo "neither 32-bit nor 64-bit Wine can run here" ;;
    esac
}

# The one line that says which build runs under Wine.
flavour_description() {
    case $FLAVOUR in
    i386) echo "the i386 build" ;;
    win64) echo "the x86_64 build of the same sources" ;;
    *) echo "no build" ;;
    esac
}

session_display() {
    [ -f "$SESSION/display" ] && cat "$SESSION/display"
}
