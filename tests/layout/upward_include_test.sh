#!/bin/sh
# The layer check must fail on what it exists to catch: a copy of the
# checker's rooms given one upward include, one reach into the program's
# sources and one use of the program's state outside program/, each alone.
#   tests/layout/upward_include_test.sh CHECK_LAYERS CHECKER_FOLDER
set -eu
CHECK=$1
CHECKER=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# case: file to change, line to add, what the check must say
expect_failure() {
    rm -rf "$work/tree"
    cp -R "$CHECKER" "$work/tree"
    printf '%s\n' "$2" >>"$work/tree/$1"
    if out=$(sh "$CHECK" checker "$work/tree"); then
        echo "FAIL: the check passed with '$2' in $1"
        exit 1
    fi
    case $out in
    *"$3"*) echo "ok: '$2' in $1: $3" ;;
    *) echo "FAIL: '$2' in $1 gave: $out"; exit 1 ;;
    esac
}

sh "$CHECK" checker "$CHECKER" >/dev/null
expect_failure readers/boards.h '#include "cli/options.h"' "readers/boards.h: includes cli/options.h, which is not below readers/"
expect_failure checks/text_checks.cpp '#include "settings/texts.h"' "checks/text_checks.cpp: includes settings/texts.h"
expect_failure readers/pci_ids.cpp '#include "probe/detect.h"' "readers/pci_ids.cpp: includes probe/detect.h"
expect_failure report/report.cpp 'int Rows() { return DriverTable.Count; }' "report/report.cpp: names the program's state"
echo "upward includes: 4 caught"
