#!/bin/sh
# Prints what a test run proved under Wine, from CTest's JUnit report: how
# many end-to-end scenarios and profile comparisons passed, failed or were
# skipped, on which build, the start-up timing line, and how the groups of
# pyxet-check.exe's comparison under 64-bit Wine fared; then the SHA-256 of
# the release built in each of two folders (tests/release). A reader of a
# CI log sees from it whether the end-to-end layer ran at all.
#
#   scripts/e2e-summary.sh RESULTS.xml FLAVOUR
set -eu
results=$1
PYXET_E2E_FLAVOUR=$2
. "$(dirname "$0")/wine-env.sh"

if [ ! -f "$results" ]; then
    echo "end-to-end: no results ($results is missing)"
    exit 0
fi

# One line per test case: its name and its status (run, fail, notrun).
cases=$(sed -n 's/.*<testcase name="\([^"]*\)".* status="\([a-z]*\)".*/\1 \2/p' "$results")

# count PATTERN STATUS: the test cases whose name matches and status is STATUS.
count() {
    printf '%s\n' "$cases" | grep -E "^$1 $2\$" | wc -l | tr -d ' '
}

# describe PATTERN: "41 passed", with failures and skips named when there are any.
describe() {
    passed=$(count "$1" run)
    failed=$(count "$1" fail)
    skipped=$(count "$1" notrun)
    text="$passed passed"
    [ "$failed" -eq 0 ] || text="$text, $failed failed"
    [ "$skipped" -eq 0 ] || text="$text, $skipped skipped"
    echo "$text"
}

scenarios=$(describe 'e2e_[a-z0-9_]+')
# The differential's tests are profile_NAME; profile_expected_NAME needs no Wine.
cases=$(printf '%s\n' "$cases" | grep -v '^profile_expected_' || true)
comparisons=$(describe 'profile_[a-z0-9_]+')

if wine_can_run; then where="on $(flavour_description)"; else where="($(wine_absent_reason))"; fi
echo "end-to-end: $scenarios $where; profile comparisons: $comparisons"
echo "pyxet-check.exe under 64-bit Wine, test groups: $(describe 'check_windows_[A-Za-z]+')"
timing=$(grep -o 'start to visible dialog[^<]*' "$results" | head -1 || true)
[ -z "$timing" ] || echo "end-to-end: $timing"
grep -o 'release: [^<]*: SHA-256 [0-9a-f]*' "$results" || true
