#!/bin/sh
# Runs one static analyser over every source file of a folder and fails on
# any finding; the CTest tests of tests/lint call it with the flags of the
# build each folder belongs to. --skip leaves out the files of that name,
# which the flags given cannot compile.
#   scripts/lint.sh clang-tidy|cppcheck SOURCE_DIR [--skip NAME]... -- FLAGS...
set -eu
TOOL=$1
SOURCES=$2
shift 2
SKIP=""
while [ "${1:-}" = "--skip" ]; do
    SKIP="$SKIP ! -name $2"
    shift 2
done
[ "${1:-}" = "--" ] || { echo "usage: lint.sh TOOL SOURCE_DIR [--skip NAME]... -- FLAGS..." >&2; exit 2; }
shift
# shellcheck disable=SC2086
FILES=$(find "$SOURCES" -name '*.cpp' $SKIP | sort)

case $(basename "$TOOL") in
clang-tidy*)
    # .clang-tidy at the top of the tree holds the checks; every finding is an
    # error. Its count of the warnings it dropped in system headers is noise.
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    # shellcheck disable=SC2086
    nice "$TOOL" --quiet $FILES -- "$@" >"$log" 2>&1 || status=$?
    grep -v ' warnings generated\.$' "$log" || true
    [ "${status:-0}" -eq 0 ] || exit "$status"
    ;;
cppcheck*)
    # useStlAlgorithm is off: the program links no C++ standard library.
    # shellcheck disable=SC2086
    nice "$TOOL" --enable=warning,style,performance,portability --suppress=useStlAlgorithm \
        --inline-suppr --error-exitcode=1 --quiet \
        --template='{file}:{line}: {severity}: {message} [{id}]' "$@" $FILES
    ;;
*)
    echo "lint.sh: unknown tool $TOOL" >&2
    exit 2
    ;;
esac
echo "lint.sh: $(basename "$TOOL"): $(echo "$FILES" | wc -l) files, no findings"
