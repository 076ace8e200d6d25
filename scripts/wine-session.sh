#!/bin/sh
# Starts or stops the one X server and Wine prefix that a whole test run
# shares. "start" makes the flavour's prefix once (build/wineprefix for the
# i386 build, build/wineprefix64 for the x86_64 one), sets it up for
# unattended runs and keeps a wineserver running; "stop" ends both. Where
# Wine cannot run, both do nothing: the Wine tests then skip.
#
#   scripts/wine-session.sh start|stop
set -eu
. "$(dirname "$0")/wine-env.sh"

start_xvfb() {
    for n in $(seq 90 130); do
        if [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; then continue; fi
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$SESSION/xvfb.log" 2>&1 &
        echo $! >"$SESSION/xvfb.pid"
        for _ in $(seq 50); do
            if [ -e "/tmp/.X11-unix/X$n" ]; then echo ":$n" >"$SESSION/display"; return 0; fi
            sleep 0.1
        done
        kill "$(cat "$SESSION/xvfb.pid")" 2>/dev/null || true
    done
    echo "wine-session: could not start Xvfb" >&2
    return 1
}

# Without a window manager Wine waits about 2 s at every process exit unless
# its windows are unmanaged; a crash dialog would hang an unattended run. The
# drives D: and A: are a CD-ROM and a floppy drive (see map_media_drives).
write_settings() {
    cat >"$SESSION/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"a:"="floppy"
"d:"="cdrom"
REG
}

# The folders that scripts/wine-media.sh fills with an image's files, mapped
# as drive D: and drive A:, and a folder mapped as the fixed drive T:, where
# a scenario needs a program folder of a length of its choosing.
map_media_drives() {
    mkdir -p "$SESSION/media/d" "$SESSION/media/a" "$SESSION/media/t" "$WINEPREFIX/dosdevices"
    ln -sfn "$SESSION/media/d" "$WINEPREFIX/dosdevices/d:"
    ln -sfn "$SESSION/media/a" "$WINEPREFIX/dosdevices/a:"
    ln -sfn "$SESSION/media/t" "$WINEPREFIX/dosdevices/t:"
}

stop() {
    if wine_can_run; then wineserver -k 2>/dev/null || true; fi
    if [ -f "$SESSION/xvfb.pid" ]; then
        kill "$(cat "$SESSION/xvfb.pid")" 2>/dev/null || true
        rm -f "$SESSION/xvfb.pid" "$SESSION/display"
    fi
}

# The persistent server goes first: "wineserver -p" fails with exit status 2
# while any server for the prefix runs, and wineboot and regedit each leave
# one running for a few seconds after they end. A server left from earlier
# (or one that "wineserver -k" has not finished ending) is ended first.
start_server() {
    mkdir -p "$WINEPREFIX"
    for _ in $(seq 50); do
        status=0
        wineserver -p </dev/null >>"$SESSION/wineserver.log" 2>&1 || status=$?
        [ "$status" -eq 0 ] && return 0
        if [ "$status" -ne 2 ]; then
            echo "wine-session: wineserver -p failed with exit status $status" >&2
            return 1
        fi
        wineserver -k 2>/dev/null || true
        sleep 0.1
    done
    echo "wine-session: a wineserver for $WINEPREFIX keeps running" >&2
    return 1
}

case "${1:-}" in
start)
    stop
    if ! wine_can_run; then
        echo "wine-session: $(wine_absent_reason); the Wine tests will be skipped"
        exit 0
    fi
    mkdir -p "$SESSION"
    start_xvfb
    export DISPLAY
    DISPLAY=$(session_display)
    start_server
    [ -f "$WINEPREFIX/system.reg" ] || "$WINE" wineboot -i >"$SESSION/wineboot.log" 2>&1
    write_settings
    map_media_drives
    "$WINE" regedit /S "$SESSION/settings.reg" >"$SESSION/regedit.log" 2>&1
    # Wine's services read the drive types when they start, which wineboot
    # and regedit have already made them do: start them anew, here, so that
    # they hold this script's output open rather than a test's.
    wineserver -k 2>/dev/null || true
    start_server
    "$WINE" regedit /S "$SESSION/settings.reg" >>"$SESSION/regedit.log" 2>&1
    echo "wine-session: $(flavour_description) under $("$WINE" --version), display $DISPLAY, prefix $WINEPREFIX"
    ;;
stop)
    stop
    ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
