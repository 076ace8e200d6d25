#!/bin/sh
# Builds a CD image of a driver CD folder with xorriso: a plain ISO 9660 tree
# at level 1 (the 8.3 names DOS reads) and a Joliet tree (what Windows 95 and
# later read), both of the same names, under the volume label, and at the
# root an AUTORUN.INF that starts PYXET.EXE unless the folder has its own.
# pyxet-check judges the folder first, with every name the plain tree would
# hold otherwise as an error, so xorriso renames nothing; the names it wrote
# are read back before the image is moved into place. Dot-files and, unless
# PYXET_IMAGE_ALL=1, the packages no row uses stay off the disk.
#
#   scripts/make-iso.sh DIST_FOLDER IMAGE PYXET_CHECK
set -eu
. "$(dirname "$0")/image-common.sh"

refuse_unless_folder_checks iso
start_work iso
built=$work/image

set --
while IFS= read -r file; do
    set -- "$@" -map "$dist/$file" "/$file"
done <"$work/files"
# Windows reads AUTORUN.INF as a profile file with CRLF line ends.
if ! grep -qix 'autorun\.inf' "$work/files"; then
    printf '[autorun]\r\nopen=PYXET.EXE\r\nicon=PYXET.EXE,0\r\n' >"$work/AUTORUN.INF"
    set -- "$@" -map "$work/AUTORUN.INF" /AUTORUN.INF
    echo AUTORUN.INF >>"$work/files"
fi
xorriso -report_about SORRY -outdev "$built" -volid "$label" -compliance iso_9660_level=1 \
    -joliet on -rockridge off "$@" >/dev/null 2>"$work/log" ||
    { cat "$work/log" >&2; cannot_make "xorriso could not build the image"; }

xorriso -read_fs ecma119 -indev "$built" -find / -type f 2>/dev/null |
    sed "s/^'\\///; s/'\$//" | sort >"$work/written"
tr "[:lower:]" "[:upper:]" <"$work/files" | sort | cmp -s - "$work/written" ||
    cannot_make "xorriso wrote other names in the plain ISO 9660 tree than the folder's"
finish_image
echo "make-iso: $image, $(wc -c <"$image") bytes, volume $label"
