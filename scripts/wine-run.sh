#!/bin/sh
# Runs a Windows program under Wine in the test run's prefix and on its X
# display (see wine-session.sh), and exits with the program's exit code.
# Exits 77 (skipped) where this machine cannot run the flavour's Wine.
#
#   scripts/wine-run.sh PROGRAM.EXE ARGS...
set -eu
. "$(dirname "$0")/wine-env.sh"

if ! wine_can_run; then
    echo "wine-run: $(wine_absent_reason); skipped" >&2
    exit $SKIPPED
fi
if [ -z "${DISPLAY:-}" ]; then
    DISPLAY=$(session_display) || { echo "wine-run: no X display; start scripts/wine-session.sh first" >&2; exit 1; }
    export DISPLAY
fi
exec "$WINE" "$@"
