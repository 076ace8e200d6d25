#!/bin/sh
# Starts the distributable folder's PYXET.EXE under Wine, as Windows 98, on a
# board whose registry lists an Intel 440BX host bridge (8086:7190), so that
# detection finds it. Where 32-bit code executes this is build/dist, what
# ships; where only 64-bit Wine runs it is the x86_64 build of the same
# sources (build/win64/dist), and the script says so.
#
# With a display the program runs there, interactively, in a prefix of its
# own (build/run/prefix). Without one it runs on a private X server: the
# start-up warning is answered with Yes, as a user would, the detection
# dialog is saved as build/run/detect.png, and the program is ended.
set -eu
. "$(dirname "$0")/wine-env.sh"

RUN=$PROJECT/build/run
mkdir -p "$RUN"

if ! wine_can_run; then
    echo "run: $(wine_absent_reason), so PYXET.EXE cannot start here." >&2
    echo "run: the program is built in $PROJECT/build/dist; copy that folder to a Windows 95/98/ME machine or emulator." >&2
    exit 1
fi
if [ "$FLAVOUR" = win64 ]; then
    echo "run: this machine executes no 32-bit x86 code; starting the x86_64 build of the same sources ($FLAVOUR_DIST) under 64-bit Wine"
fi

prepare_prefix() {
    export WINEPREFIX=$RUN/prefix
    [ -f "$WINEPREFIX/system.reg" ] || "$WINE" wineboot -i >"$RUN/wineboot.log" 2>&1
    cat >"$RUN/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine]
"Version"="win98"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Enum\PCI\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03]
REG
    "$WINE" regedit /S "$RUN/settings.reg"
    wineserver -w
}

if [ -n "${DISPLAY:-}" ]; then
    prepare_prefix
    cd "$FLAVOUR_DIST"
    exec "$WINE" PYXET.EXE
fi

# The picture is taken the way scripts/screenshots.sh takes the detection
# dialog's, on the same Windows and board. Its line naming detection.png
# goes to a log, since that file is renamed here; its errors still show.
sh "$PROJECT/scripts/screenshots.sh" "$RUN" detection >"$RUN/screenshots.log"
mv "$RUN/detection.png" "$RUN/detect.png"
echo "run: no display; the detection dialog is in $RUN/detect.png"
