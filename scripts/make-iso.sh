#!/bin/sh
# Builds a CD image of the distributable folder with xorriso: ISO 9660 with
# Joliet, volume id PYXET, and an AUTORUN.INF at the root that starts
# PYXET.EXE. It checks the folder's settings file with pyxet-check first and
# refuses to build on any error.
#
#   scripts/make-iso.sh DIST_FOLDER IMAGE PYXET_CHECK
set -eu
. "$(dirname "$0")/image-common.sh"

refuse_unless_folder_checks

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Windows reads AUTORUN.INF as a profile file with CRLF line ends.
printf '[autorun]\r\nopen=PYXET.EXE\r\nicon=PYXET.EXE,0\r\n' >"$work/AUTORUN.INF"
xorriso -report_about SORRY -outdev "$work/pyxet.iso" -volid PYXET -joliet on -rockridge off \
    -map "$dist" / -map "$work/AUTORUN.INF" /AUTORUN.INF
mv "$work/pyxet.iso" "$image"
echo "make-iso: $image, $(wc -c <"$image") bytes, volume PYXET"
