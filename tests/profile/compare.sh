#!/bin/sh
# Compares the native profile reader's answers over one corpus file with those
# of the real GetPrivateProfileStringA under Wine. Exits 77 (skipped) where Wine cannot run.
#   compare.sh NATIVE_READER WINDOWS_READER WINE_RUN CORPUS_BASE OUTPUT_DIR
set -eu
native=$1 windows=$2 wine_run=$3 base=$4 out=$5
name=$(basename "$base")
mkdir -p "$out"
"$native" "$base.ini" "$base.queries" >"$out/$name.native"
status=0
"$wine_run" "$windows" "$base.ini" "$base.queries" >"$out/$name.wine" || status=$?
[ "$status" -eq 77 ] && exit 77
[ "$status" -eq 0 ] || { echo "the Windows reader $windows failed with $status (built by make win32?)"; exit 1; }
tr -d '\r' <"$out/$name.wine" >"$out/$name.wine.lf"
diff -u "$out/$name.wine.lf" "$out/$name.native"
