#!/bin/sh
# make bench: from one run, the sizes of the shipped PYXET.EXE and ENUM.DLL
# against their budgets (the binary checks' own figures), PYXET.EXE's
# start-up time to its first visible dialog against the minimal dialog
# program, and the processor time it uses while the restart dialog waits
# for a setup window. Times are reported, never judged.
#
#   scripts/bench.sh NATIVE_BUILD_DIR
set -eu
. "$(dirname "$0")/wine-env.sh"
NATIVE=$1

echo "bench: $(flavour_description) under Wine ($("$WINE" --version 2>/dev/null || echo none)), $(nproc) cores, $(uname -m)"
(cd "$NATIVE" && ctest -R '^binary_size_(pyxet|enum)$' --verbose 2>&1) |
    sed -n 's/^[0-9]*: .*\/\([A-Z0-9_]*\.[A-Z]*\): /bench: \1: /p'
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
sh "$PROJECT/scripts/wine-harness.sh" e2e_bench bench >"$out" 2>&1 || status=$?
sed 's/^/bench: /' "$out"
exit $status
