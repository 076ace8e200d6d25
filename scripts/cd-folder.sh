#!/bin/sh
# Starts a driver CD folder of one's own: copies the program, ENUM.DLL and
# the sample settings file of the distributable folder into a new folder,
# and nothing else. A folder that already holds a PYXET.INI (in any case) is
# refused and left as it is, so a second run cannot replace the author's.
#
#   scripts/cd-folder.sh DIST_FOLDER DEST
#
# Exit status: 0 made, 1 refused, 2 bad usage or cannot copy.
set -eu
if [ $# -ne 2 ] || [ -z "$2" ]; then
    echo "usage: $0 DIST_FOLDER DEST (make cd-folder DEST=FOLDER)" >&2
    exit 2
fi
dist=$1 dest=$2
files="PYXET.EXE ENUM.DLL PYXET.INI"

upper() {
    printf '%s\n' "$1" | tr '[:lower:]' '[:upper:]'
}

# The name under which DEST holds a file, in any case; empty when none.
held_name() {
    wanted=$(upper "$1")
    for path in "$dest"/* "$dest"/.[!.]*; do
        if [ -e "$path" ] && [ "$(upper "${path##*/}")" = "$wanted" ]; then
            echo "${path##*/}"
            return
        fi
    done
}

for file in $files; do
    [ -f "$dist/$file" ] || { echo "cd-folder: $dist holds no $file; run make dist first" >&2; exit 2; }
done
held=$(held_name PYXET.INI)
if [ -n "$held" ]; then
    echo "cd-folder: $dest already holds $held; nothing changed (give a new folder)" >&2
    exit 1
fi

mkdir -p "$dest" || { echo "cd-folder: cannot make the folder $dest" >&2; exit 2; }
# Each file is copied beside its name, then renamed, so none is half-written;
# a program file the folder holds already is kept.
for file in $files; do
    held=$(held_name "$file")
    if [ -n "$held" ]; then
        echo "cd-folder: $dest already holds $held; kept it"
        continue
    fi
    if ! { cp "$dist/$file" "$dest/.$file.new" && mv "$dest/.$file.new" "$dest/$file"; }; then
        rm -f "$dest/.$file.new"
        echo "cd-folder: cannot copy $file into $dest" >&2
        exit 2
    fi
done
echo "cd-folder: $dest holds PYXET.EXE, ENUM.DLL and the sample PYXET.INI; put the driver packages under" \
    "$dest/DRIVERS/ and give each a row in $dest/PYXET.INI"
