#!/bin/sh
# Compares the native profile reader's answers over one corpus entry with the
# answers of the real GetPrivateProfileStringA written down in
# tests/profile/expected.
#   check_expected.sh NATIVE_READER CORPUS_BASE EXPECTED
set -eu
native=$1 base=$2 expected=$3
"$native" "$base.ini" "$base.queries" | diff -u "$expected" -
