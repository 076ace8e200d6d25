#!/bin/sh
# Builds a 1,474,560-byte FAT12 floppy image of a driver CD folder with
# mtools, under the volume label, after pyxet-check finds no error in the
# folder, and says how many bytes are left on it. When the folder does not
# fit, it refuses and says by how many bytes. Dot-files and, unless
# PYXET_IMAGE_ALL=1, the packages no row uses stay off the disk.
#
#   scripts/make-floppy.sh DIST_FOLDER IMAGE PYXET_CHECK
set -eu
. "$(dirname "$0")/image-common.sh"
# A disk image, not a drive: mtools need not look for one.
export MTOOLS_SKIP_CHECK=1

refuse_unless_folder_checks floppy
start_work floppy

free_bytes() {
    mdir -i "$1" :: | sed -n 's/ bytes free//p' | tr -cd '0-9'
}

# Each listed file's size and path.
sized_files() {
    while IFS= read -r file; do
        echo "$(($(wc -c <"$dist/$file"))) $file"
    done <"$work/files"
}

# What the listed files take on a 1.44 MB FAT12 disk, whose clusters are one
# 512-byte sector: each file rounded up to whole clusters, and each folder
# but the root its directory entries (32 bytes each, "." and ".." included,
# a name that is not a plain upper-case 8.3 name taking long-name entries
# too) rounded up the same way. The root directory has room of its own.
needed_bytes() {
    sized_files | awk '
        function parent(path) { sub(/\/[^\/]*$/, "", path); return path }
        function is_short(name,    dot) {
            if (name !~ /^[A-Z0-9_-]+(\.[A-Z0-9_-]+)?$/) return 0
            dot = index(name, ".")
            if (dot == 0) return length(name) <= 8
            return dot <= 9 && length(name) - dot <= 3
        }
        function entries(path,    name) {
            name = path; sub(/.*\//, "", name)
            return is_short(name) ? 1 : 1 + int((length(name) + 12) / 13)
        }
        # Counts path in the folder above it, and that folder in its own, once.
        function count(path,    above) {
            above = path ~ /\// ? parent(path) : ""
            used[above] += entries(path)
            if (above != "" && !(above in folders)) {
                folders[above] = 1
                count(above)
            }
        }
        {
            path = substr($0, index($0, " ") + 1)
            total += int(($1 + 511) / 512) * 512
            count(path)
        }
        END {
            for (f in folders) total += int(((used[f] + 2) * 32 + 511) / 512) * 512
            print total + 0
        }'
}

mformat -C -f 1440 -v "$label" -i "$work/image" ::
capacity=$(free_bytes "$work/image")
needed=$(needed_bytes)
if [ "$needed" -gt "$capacity" ]; then
    echo "make-floppy: $dist takes $needed bytes on a floppy, which holds $capacity:" \
        "$((needed - capacity)) bytes too many; no image built" >&2
    exit 1
fi
listed_folders | while IFS= read -r folder; do
    mmd -i "$work/image" "::$folder" </dev/null ||
        cannot_make "mtools could not make the folder $folder on the floppy"
done
while IFS= read -r file; do
    mcopy -Q -i "$work/image" "$dist/$file" "::$file" </dev/null ||
        cannot_make "mtools could not copy $file onto the floppy ($needed of $capacity bytes counted)"
done <"$work/files"
finish_image
echo "make-floppy: $image, $(wc -c <"$image") bytes, $(free_bytes "$image") bytes left"
