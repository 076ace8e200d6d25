#!/bin/sh
# Fuzzes every target of tests/fuzz for a while and prints, per target, the
# executions, the executions per second and what it found.
#   scripts/fuzz.sh TARGET_DIR SECONDS [TARGET...]
# Each target starts from its committed corpus (tests/fuzz/NAME/corpus,
# only read) and grows a working corpus of its own in build/fuzz/NAME; a
# crashing input is saved there as crash-*. Add it to the committed corpus
# once the fault is mended, so that make test keeps checking it.
set -eu
PROJECT=$(cd "$(dirname "$0")/.." && pwd)
TARGETS_DIR=$1
SECONDS_EACH=$2
shift 2
[ $# -gt 0 ] || set -- driver_row settings command_line paths format inf
WORK=$PROJECT/build/fuzz

status=0
printf '%-14s %12s %10s %s\n' target executions exec/s result
for target in "$@"; do
    mkdir -p "$WORK/$target/corpus"
    log=$WORK/$target/fuzz.log
    if nice "$TARGETS_DIR/fuzz_$target" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
        -timeout=10 -artifact_prefix="$WORK/$target/" \
        "$WORK/$target/corpus" "$PROJECT/tests/fuzz/$target/corpus" >"$log" 2>&1; then
        result=clean
    else
        result="FOUND: $(grep -m1 -E 'invariant broken|ERROR:|runtime error' "$log" || echo 'see log') ($log)"
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    printf '%-14s %12s %10s %s\n' "$target" "${runs:-?}" "${rate:-?}" "$result"
done
exit $status
