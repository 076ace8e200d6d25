#!/bin/sh
# Prints which flavour of the Windows binaries runs under Wine on this
# machine: "i386" where 32-bit x86 code executes (the shipped build), "win64"
# where only 64-bit Wine runs (the test-only x86_64 build of the same
# sources), "none" where Wine cannot run at all. An argument of i386 or win64
# forces that flavour.
#
#   scripts/e2e-flavour.sh [i386|win64]
set -eu

case ${1:-} in
i386 | win64) echo "$1"; exit 0 ;;
"") ;;
*) echo "e2e-flavour: unknown flavour '$1' (i386 or win64)" >&2; exit 2 ;;
esac

# Some machines execute no 32-bit x86 code: the 32-bit loader then fails
# with "Exec format error" before it prints anything.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i386
elif /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
    echo win64
else
    echo none
fi
