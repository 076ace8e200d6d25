# Sourced by make-iso.sh and make-floppy.sh: their arguments, the check of
# the folder before any image is built, the list of the files that go on the
# disk, and the work folder beside the image, from which the finished image
# is renamed into place. The folder itself is only read.
#
#   . scripts/image-common.sh   (with $0's arguments DIST_FOLDER IMAGE PYXET_CHECK)
#
# PYXET_IMAGE_LABEL names the volume (default PYXET: 1 to 11 of A-Z, 0-9 and
# _, which both a FAT label and a plain ISO 9660 volume id hold);
# PYXET_IMAGE_ALL=1 keeps the packages under DRIVERS\ that no row uses.
# Exit status: 0 built, 1 the folder is refused, 2 the image cannot be made.
[ $# -eq 3 ] || { echo "usage: $0 DIST_FOLDER IMAGE PYXET_CHECK" >&2; exit 2; }
dist=$1 image=$2 check=$3
tool=$(basename "$0" .sh)
label=${PYXET_IMAGE_LABEL:-PYXET}
case ${PYXET_IMAGE_ALL:-} in
'' | 0) all= ;;
*) all=--all ;;
esac

cannot_make() {
    echo "$tool: $*; no image built" >&2
    exit 2
}

case $label in
'' | *[!A-Z0-9_]*) cannot_make "the label \"$label\" holds other than A-Z, 0-9 and _" ;;
esac
[ ${#label} -le 11 ] || cannot_make "the label \"$label\" is longer than 11 characters"
[ -d "$dist" ] || cannot_make "$dist is not a folder"
[ ! -d "$image" ] || cannot_make "$image is a folder, not an image file"

# The image's folder, made when missing; an image inside the folder it is
# made of would write into that folder.
image_folder() {
    folder=$(dirname "$image")
    if [ ! -d "$folder" ]; then
        mkdir -p "$folder" || cannot_make "cannot make the folder $folder for the image"
        echo "$tool: made the folder $folder for the image"
    fi
    folder=$(cd "$folder" && pwd -P)
    dist_real=$(cd "$dist" && pwd -P)
    case $folder/ in
    "$dist_real"/*) cannot_make "the image $image would lie inside $dist, which is only read" ;;
    esac
    image=$folder/$(basename "$image")
}

# Prints pyxet-check's findings and summary for the medium, then refuses when
# it finds errors (exit 1) or cannot run (exit 2). Any earlier image goes
# first, so that no image of an earlier folder is taken for this one's.
refuse_unless_folder_checks() {
    image_folder
    rm -f "$image"
    status=0
    report=$("$check" --image "$1" $all "$dist") || status=$?
    printf '%s\n' "$report" | grep -E '^(error|warning) |^[0-9]+ errors?, [0-9]+ warnings?$' || true
    case $status in
    0) ;;
    1)
        echo "$tool: pyxet-check finds errors in $dist; no image built" >&2
        exit 1
        ;;
    *) cannot_make "pyxet-check could not run on $dist (exit status $status)" ;;
    esac
}

# A work folder beside the image, removed on exit, and in it the list of the
# files that go on the disk ($work/files, relative to $dist, '/' between the
# parts, in order).
start_work() {
    work=$(mktemp -d "$folder/.$tool.XXXXXX") || cannot_make "cannot write in $folder"
    trap 'rm -rf "$work"' EXIT
    trap 'exit 2' HUP INT TERM
    "$check" --image "$1" $all --list-files "$dist" >"$work/files" ||
        cannot_make "pyxet-check could not list the files of $dist"
}

# The folders that hold the listed files, parents before what they hold.
listed_folders() {
    awk '{ while (sub(/\/[^\/]*$/, "")) print }' "$work/files" | sort -u
}

# Moves the finished image, $work/image, into place.
finish_image() {
    mv "$work/image" "$image" || cannot_make "cannot move the image into $image"
}
