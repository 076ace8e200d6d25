#!/bin/sh
# Builds a 1,474,560-byte FAT12 floppy image of the distributable folder with
# mtools, after pyxet-check finds no error in its settings file, and says how
# many bytes are left on it. When the folder does not fit, it refuses and
# says by how many bytes.
#
#   scripts/make-floppy.sh DIST_FOLDER IMAGE PYXET_CHECK
set -eu
. "$(dirname "$0")/image-common.sh"
# A disk image, not a drive: mtools need not look for one.
export MTOOLS_SKIP_CHECK=1

refuse_unless_folder_checks

free_bytes() {
    mdir -i "$1" :: | sed -n 's/ bytes free//p' | tr -cd '0-9'
}

# What the folder takes on a 1.44 MB FAT12 disk, whose clusters are one
# 512-byte sector: each file rounded up to whole clusters, and each folder
# but the root its directory entries (32 bytes each, "." and ".." included,
# a name that is not a plain upper-case 8.3 name taking long-name entries
# too) rounded up the same way. The root directory has room of its own.
needed_bytes() {
    find "$1" -mindepth 1 -printf '%y %s %h/%f\n' | awk -v root="$1" '
        function parent(path) { sub(/\/[^\/]*$/, "", path); return path }
        function entries(path,    name) {
            name = path; sub(/.*\//, "", name)
            if (name ~ /^[A-Z0-9_-]{1,8}(\.[A-Z0-9_-]{1,3})?$/) return 1
            return 1 + int((length(name) + 12) / 13)
        }
        {
            path = substr($0, index($0, $3))
            used[parent(path)] += entries(path)
            if ($1 == "d") folders[path] = 1
            else total += int(($2 + 511) / 512) * 512
        }
        END {
            for (f in folders) total += int(((used[f] + 2) * 32 + 511) / 512) * 512
            print total + 0
        }'
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mformat -C -f 1440 -v PYXET -i "$work/pyxet.img" ::
capacity=$(free_bytes "$work/pyxet.img")
needed=$(needed_bytes "$dist")
if [ "$needed" -gt "$capacity" ]; then
    echo "make-floppy: $dist takes $needed bytes on a floppy, which holds $capacity:" \
        "$((needed - capacity)) bytes too many; no image built" >&2
    exit 1
fi
if ! mcopy -Q -s -i "$work/pyxet.img" "$dist"/* ::; then
    echo "make-floppy: $dist does not fit on a floppy ($needed of $capacity bytes counted); no image built" >&2
    exit 1
fi
mv "$work/pyxet.img" "$image"
echo "make-floppy: $image, $(wc -c <"$image") bytes, $(free_bytes "$image") bytes left"
