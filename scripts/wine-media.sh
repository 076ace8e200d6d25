#!/bin/sh
# Runs an end-to-end scenario from a drive: builds the CD image (make-iso.sh)
# or the floppy image (make-floppy.sh) of a copy of the distributable folder
# in which the package DRIVERS/PACKAGE holds the test setup program, reads the
# image's files back out (xorriso -osirrox, mcopy) into the folder that the
# Wine session maps as drive D: (a CD-ROM drive) or A: (a floppy drive), and
# runs the harness with the rest of the arguments. The other packages keep
# the sample setup program: five test setup programs, which carry a C
# runtime, would not fit on a floppy. Exits 77 (skipped) where Wine cannot run.
#
#   scripts/wine-media.sh iso|floppy DIST_FOLDER PACKAGE SETUP_DOUBLE PYXET_CHECK HARNESS.EXE ARGS...
set -eu
. "$(dirname "$0")/wine-env.sh"
[ $# -ge 6 ] || {
    echo "usage: $0 iso|floppy DIST_FOLDER PACKAGE SETUP_DOUBLE PYXET_CHECK HARNESS.EXE ARGS..." >&2
    exit 2
}
medium=$1 dist=$2 package=$3 setup=$4 check=$5
shift 5

if ! wine_can_run; then
    echo "wine-media: $(wine_absent_reason); skipped" >&2
    exit $SKIPPED
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$dist" "$work/dist"
[ -f "$work/dist/DRIVERS/$package/SETUP.EXE" ] || { echo "wine-media: $dist has no DRIVERS/$package/SETUP.EXE" >&2; exit 1; }
cp "$setup" "$work/dist/DRIVERS/$package/SETUP.EXE"

case $medium in
iso)
    drive=$SESSION/media/d
    sh "$PROJECT/scripts/make-iso.sh" "$work/dist" "$work/pyxet.iso" "$check" >/dev/null
    rm -rf "$drive" && mkdir -p "$drive"
    xorriso -osirrox on -indev "$work/pyxet.iso" -extract / "$drive" 2>/dev/null
    ;;
floppy)
    drive=$SESSION/media/a
    sh "$PROJECT/scripts/make-floppy.sh" "$work/dist" "$work/pyxet.img" "$check" >/dev/null
    rm -rf "$drive" && mkdir -p "$drive"
    MTOOLS_SKIP_CHECK=1 mcopy -s -i "$work/pyxet.img" '::*' "$drive"
    ;;
*)
    echo "wine-media: the medium is iso or floppy, not $medium" >&2
    exit 2
    ;;
esac
# The test setup program writes its log beside itself; files read out of an
# ISO image come without write permission.
chmod -R u+w "$drive"
"$PROJECT/scripts/wine-run.sh" "$@"
