#!/bin/sh
# Runs one static analyser over every source file of a folder and fails on
# any finding; the CTest tests of tests/lint call it with the i386 flags.
#   scripts/lint.sh clang-tidy|cppcheck SOURCE_DIR -- FLAGS...
set -eu
TOOL=$1
SOURCES=$2
[ "$3" = "--" ] || { echo "usage: lint.sh TOOL SOURCE_DIR -- FLAGS..." >&2; exit 2; }
shift 3
FILES=$(find "$SOURCES" -name '*.cpp' | sort)

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
