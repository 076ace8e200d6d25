#!/bin/sh
# Checks that each folder of src/ includes only from itself and the folders
# below it, so that the program's layers stay one-way:
#   core < settings < probe < ui, launch < app   (res holds only resource ids)
#
#   tests/layout/check_layers.sh SRC_FOLDER
set -eu
SRC=$1

allowed() {
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

failed=0
for folder in "$SRC"/*/; do
    layer=$(basename "$folder")
    permitted=$(allowed "$layer")
    if [ -z "$permitted" ]; then
        echo "src/$layer: a folder the layer rules do not know"
        failed=1
        continue
    fi
    # Every project include names its folder first: #include "settings/paths.h".
    for file in $(find "$folder" -name '*.cpp' -o -name '*.h' | sort); do
        for used in $(sed -n 's/^#include "\([a-z]*\)\/.*/\1/p' "$file" | sort -u); do
            case " $permitted " in
            *" $used "*) ;;
            *) echo "${file#"$SRC"/}: includes from $used/, which is not below $layer/"; failed=1 ;;
            esac
        done
    done
done
[ $failed -eq 0 ] && echo "layers: every include points down"
exit $failed
