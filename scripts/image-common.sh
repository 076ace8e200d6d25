# Sourced by make-iso.sh and make-floppy.sh: their arguments, and the check
# of the folder's settings file that comes before any image is built.
#
#   . scripts/image-common.sh   (with $0's arguments DIST_FOLDER IMAGE PYXET_CHECK)
[ $# -eq 3 ] || { echo "usage: $0 DIST_FOLDER IMAGE PYXET_CHECK" >&2; exit 2; }
dist=$1 image=$2 check=$3
tool=$(basename "$0" .sh)

# Removes any earlier image, then refuses, with pyxet-check's report, when
# the folder's settings file has errors (or cannot be checked at all).
refuse_unless_folder_checks() {
    rm -f "$image"
    status=0
    report=$("$check" "$dist") || status=$?
    if [ "$status" -ne 0 ]; then
        printf '%s\n' "$report"
        echo "$tool: pyxet-check finds errors in $dist (exit status $status); no image built" >&2
        exit 1
    fi
}
