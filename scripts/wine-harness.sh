#!/bin/sh
# Runs one of the end-to-end test programs that make test does not run
# (e2e_bench, e2e_soak) under Wine, in a Wine session of its own, against
# the flavour's PYXET.EXE, and exits with its exit status.
#
#   scripts/wine-harness.sh PROGRAM WORK_NAME [ARGS...]
#
# The program gets the usual harness paths (a work folder build/WORK_NAME,
# PYXET.EXE, the real ENUM.DLL, the test programs' folder), then ARGS.
set -eu
. "$(dirname "$0")/wine-env.sh"
PROGRAM=$1
WORK_NAME=$2
shift 2

if ! wine_can_run; then
    echo "$PROGRAM: $(wine_absent_reason); not run" >&2
    exit 1
fi

# Wine maps the drive Z: to the root of the file system.
windows_path() {
    printf 'Z:%s' "$1" | tr / '\\'
}

sh "$PROJECT/scripts/wine-session.sh" start
trap 'sh "$PROJECT/scripts/wine-session.sh" stop' EXIT
status=0
sh "$PROJECT/scripts/wine-run.sh" "$FLAVOUR_BUILD/tests/e2e/$PROGRAM.exe" \
    "$(windows_path "$PROJECT/build/$WORK_NAME")" \
    "$(windows_path "$FLAVOUR_BUILD/src/PYXET.EXE")" \
    "$(windows_path "$FLAVOUR_BUILD/src/ENUM.DLL")" \
    "$(windows_path "$FLAVOUR_BUILD/tests/e2e")" "$@" || status=$?
exit $status
