#!/bin/sh
# Runs one of the end-to-end test programs that make test does not run
# (e2e_bench, e2e_soak) under Wine, in a Wine session of its own, against
# the flavour's PYXET.EXE, and exits with its exit status.
#
#   scripts/wine-harness.sh PROGRAM WORK_NAME [ARGS...]
#
# The program gets the usual harness paths (a work folder build/WORK_NAME,
# PYXET.EXE, the real ENUM.DLL, the test programs' folder), then ARGS.
#
# PYXET_WINEDEBUG, when set, names Wine's debug channels for the program and
# all it starts (for instance +process); their output goes to
# build/wine-session/wine-debug.log, which the program finds through
# PYXET_WINE_DEBUG_LOG.
#
# Interrupted (SIGINT, SIGTERM, SIGHUP), it ends the program, every process
# of its Wine session by its id, the wineserver and the X server, says how
# many soak runs had begun and failed, and exits with 128 plus the signal's
# number.
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

# Every process this script starts carries this mark in its environment,
# Wine's own processes and the X server included, and nothing else does.
PYXET_HARNESS_MARK="$PROGRAM-$$-$(date +%s)"
export PYXET_HARNESS_MARK

# The ids of the live processes that carry the mark, but this script and
# the subshell that looks (which reads its own id from /proc/self).
marked_processes() {
    read -r self _ </proc/self/stat
    for dir in /proc/[0-9]*; do
        pid=${dir#/proc/}
        [ "$pid" != $$ ] && [ "$pid" != "$self" ] || continue
        if { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qxF "PYXET_HARNESS_MARK=$PYXET_HARNESS_MARK"; then
            echo "$pid"
        fi
    done
}

# Ends the marked processes by their ids: asked first, then forced.
end_marked_processes() {
    for signal in TERM KILL; do
        pids=$(marked_processes)
        [ -n "$pids" ] || return 0
        # shellcheck disable=SC2086 # one id per word
        kill -s "$signal" $pids 2>/dev/null || true
        for _ in $(seq 20); do
            [ -n "$(marked_processes)" ] || return 0
            sleep 0.1
        done
    done
}

OUTPUT=$SESSION/$PROGRAM.out
STATUS=$SESSION/$PROGRAM.status

interrupted() {
    name=$1 number=$2
    trap '' INT TERM HUP
    end_marked_processes
    sh "$PROJECT/scripts/wine-session.sh" stop
    end_marked_processes
    begun=$(grep -c '^run [0-9]*: ' "$OUTPUT" 2>/dev/null || true)
    failed=$(grep -c '^run [0-9]* FAILED$' "$OUTPUT" 2>/dev/null || true)
    echo "$PROGRAM: interrupted by SIG$name: ${begun:-0} runs begun, ${failed:-0} failed" >&2
    exit $((128 + number))
}

sh "$PROJECT/scripts/wine-session.sh" start
trap 'sh "$PROJECT/scripts/wine-session.sh" stop' EXIT
trap 'interrupted INT 2' INT
trap 'interrupted TERM 15' TERM
trap 'interrupted HUP 1' HUP

debug_log=/dev/stderr
if [ -n "${PYXET_WINEDEBUG:-}" ]; then
    debug_log=$SESSION/wine-debug.log
    : >"$debug_log"
    WINEDEBUG=$PYXET_WINEDEBUG
    PYXET_WINE_DEBUG_LOG=$(windows_path "$debug_log")
    export WINEDEBUG PYXET_WINE_DEBUG_LOG
fi

# In the background, so that a signal reaches the traps at once; the output
# is kept to count the runs should one come.
rm -f "$STATUS"
{
    status=0
    sh "$PROJECT/scripts/wine-run.sh" "$FLAVOUR_BUILD/tests/e2e/$PROGRAM.exe" \
        "$(windows_path "$PROJECT/build/$WORK_NAME")" \
        "$(windows_path "$FLAVOUR_BUILD/src/PYXET.EXE")" \
        "$(windows_path "$FLAVOUR_BUILD/src/ENUM.DLL")" \
        "$(windows_path "$FLAVOUR_BUILD/tests/e2e")" "$@" 2>>"$debug_log" || status=$?
    echo "$status" >"$STATUS"
} | tee "$OUTPUT" &
# Waits for the program itself, not for the end of its output, which a
# process it left running may hold open; a signal ends the wait at once.
while [ ! -s "$STATUS" ]; do
    sleep 1 &
    wait $! || true
done
exit "$(cat "$STATUS")"
