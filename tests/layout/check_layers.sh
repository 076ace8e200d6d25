#!/bin/sh
# Checks that each folder of a tree includes only from itself and the
# folders below it, so that its layers stay one-way:
#   program  src/: core < settings < probe < ui, launch < app  (res holds only
#            resource ids)
#   checker  tools/pyxet-check/: host < readers < program < checks < whatif
#            < propose < report < cli. Only program/ includes the program's
#            sources and names its state records (ProgramState, DriverTable);
#            readers/ may use ENUM.DLL's key matching (probe/enum/device_key.h)
#   native   tools/native/: the profile reader and the Win32 stand-in, which
#            include no folder of the project
#
#   tests/layout/check_layers.sh program|checker|native FOLDER
set -eu
TREE=$1
ROOT=$2

program_allowed() {
    case $1 in
    core) echo "core" ;;
    settings) echo "core settings" ;;
    probe) echo "core settings probe" ;;
    ui) echo "core settings probe ui res" ;;
    launch) echo "core settings probe launch" ;;
    app) echo "core settings probe ui launch app res" ;;
    *) echo "" ;;
    esac
}

# The checker's rooms in order, each allowed itself and those before it.
ROOMS="host readers program checks whatif propose report cli"
PROGRAM_FOLDERS="core settings probe ui launch app res"

checker_allowed() {
    allowed=""
    for room in $ROOMS; do
        allowed="$allowed $room"
        if [ "$room" = "$1" ]; then
            case $1 in
            readers) echo "$allowed probe/enum/device_key.h" ;;
            program) echo "$allowed $PROGRAM_FOLDERS" ;;
            *) echo "$allowed" ;;
            esac
            return
        fi
    done
    echo ""
}

failed=0
fail() {
    echo "$1"
    failed=1
}

# Every project include names its folder first: #include "settings/paths.h".
# An include is allowed when its folder, or its whole path, is listed.
check_includes() {
    file=$1
    layer=$2
    permitted=$3
    for used in $(sed -n 's/^#include "\([a-z]*\/[^"]*\)".*/\1/p' "$file" | sort -u); do
        case " $permitted " in
        *" ${used%%/*} "* | *" $used "*) ;;
        *) fail "${file#"$ROOT"/}: includes $used, which is not below $layer/" ;;
        esac
    done
}

case $TREE in
native)
    for file in $(find "$ROOT" -name '*.cpp' -o -name '*.h' | sort); do
        check_includes "$file" native ""
    done
    ;;
program | checker)
    for folder in "$ROOT"/*/; do
        layer=$(basename "$folder")
        permitted=$("${TREE}_allowed" "$layer")
        if [ -z "$permitted" ]; then
            fail "$layer: a folder the layer rules do not know"
            continue
        fi
        for file in $(find "$folder" -name '*.cpp' -o -name '*.h' | sort); do
            check_includes "$file" "$layer" "$permitted"
            if [ "$TREE" = checker ] && [ "$layer" != program ] &&
                grep -n 'ProgramState\|DriverTable' "$file" >/dev/null; then
                fail "${file#"$ROOT"/}: names the program's state, which only program/ may"
            fi
        done
    done
    ;;
*)
    echo "usage: check_layers.sh program|checker|native FOLDER" >&2
    exit 2
    ;;
esac
[ $failed -eq 0 ] && echo "layers of $TREE: every include points down"
exit $failed
