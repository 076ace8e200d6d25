# Sourced by the Wine scripts: the one prefix and display of a test run, and
# whether this machine can run 32-bit Wine at all. Some sandboxes execute no
# 32-bit x86 code (a 32-bit ELF gives "Exec format error"), and there the
# Wine tests are skipped, never passed.
PROJECT=$(cd "$(dirname "$0")/.." && pwd)
SESSION=$PROJECT/build/wine-session
export WINEPREFIX=${WINEPREFIX:-$PROJECT/build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# Wine must never offer to install Mono or Gecko: the prompt would hang.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Exit status 77 is CTest's and Automake's "skipped".
SKIPPED=77

wine_can_run() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

session_display() {
    [ -f "$SESSION/display" ] && cat "$SESSION/display"
}
