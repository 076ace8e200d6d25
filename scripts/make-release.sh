#!/bin/sh
# make release's work: builds this commit's release kit in clean build
# folders and packs it as OUT/pyxet-VERSION.zip, with OUT/SHA256SUMS.
#
#   scripts/make-release.sh WORK OUT
#
# WORK is emptied first and then holds the builds and the kit's folder,
# pyxet-VERSION/ with CD\ (what make cd-folder copies), TOOLS\ (the
# checker for Windows with pci.ids) and the texts. The binary checks run on
# the very PYXET.EXE and ENUM.DLL of CD\; only when they pass is anything
# written into OUT: the zip and SHA256SUMS, each beside its place, then
# renamed. A refused run leaves OUT as it was.
#
# SOURCE_DATE_EPOCH (the Makefile's default: the commit's time) gives every
# time stamp: the PE files' and the zip's. The zip is written in one order
# with one set of permissions and no extra fields whoever builds it, and
# Debian's strip-nondeterminism normalises what zip itself leaves to the
# host, so two builds of one commit give the same bytes.
#
# Exit status: 0 made, 1 refused (a binary check failed), 2 cannot build.
set -eu
if [ $# -ne 2 ]; then
    echo "usage: $0 WORK OUT (make release)" >&2
    exit 2
fi
work=$1 out=$2
source=$(cd "$(dirname "$0")/.." && pwd)

fail() {
    echo "release: $*; nothing written into $out" >&2
    exit 2
}

version=$(cat "$source/VERSION")
case $version in
    *[!0-9.]* | .* | *. | *..* | "") fail "VERSION holds \"$version\", not MAJOR.MINOR.PATCH" ;;
esac
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct 2>/dev/null) ||
        fail "no SOURCE_DATE_EPOCH, and $source is no git checkout to take the commit's time from"
fi
export SOURCE_DATE_EPOCH
name=pyxet-$version
kit=$work/kit/$name
JOBS=${JOBS:-2}

# Clean build folders: nothing of an earlier build reaches the kit.
rm -rf "$work"
mkdir -p "$work" || fail "cannot make $work"

build() {
    folder=$1 target=$2
    shift 2
    cmake -S "$source" -B "$work/$folder" "$@" >"$work/$folder.log" 2>&1 &&
        cmake --build "$work/$folder" -j"$JOBS" --target $target >>"$work/$folder.log" 2>&1 ||
        { tail -n 30 "$work/$folder.log" >&2; fail "the build in $work/$folder failed (its log: $work/$folder.log)"; }
}

echo "release: building PYXET.EXE and ENUM.DLL"
build win32 "dist dist_samples" -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake -DCMAKE_BUILD_TYPE= \
    -DPYXET_DIST_DIR="$work/dist"
mkdir -p "$work/kit"
sh "$source/scripts/cd-folder.sh" "$work/dist" "$kit/CD" >/dev/null || fail "cannot make $kit/CD"

echo "release: checking the PYXET.EXE and ENUM.DLL it packs"
build checks all -DPYXET_BINARY_CHECKS_ONLY=ON -DPYXET_WIN32_DIR="$work/win32" -DPYXET_BINARIES_DIR="$kit/CD"
if ! (cd "$work/checks" && ctest -L binary -j"$JOBS" --output-on-failure >"$work/checks-results.log" 2>&1); then
    # What pe_check found wrong in the packed files, and which checks failed.
    grep -F "$kit/CD/" "$work/checks-results.log" | grep -v ' ok$' | sort -u >&2
    sed -n '/tests FAILED:/,$p' "$work/checks-results.log" | grep -E '^[[:space:]]+[0-9]+ - ' >&2
    echo "release: the binary checks failed on $kit/CD (all of them: $work/checks-results.log);" \
        "nothing written into $out" >&2
    exit 1
fi
grep 'tests passed' "$work/checks-results.log" | sed 's/^/release: binary checks: /'

echo "release: building pyxet-check.exe"
build tools-win64 pyxet_check -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake -DCMAKE_BUILD_TYPE= \
    -DPYXET_TOOLS_ONLY=ON -DPYXET_BIN_DIR="$work/tools-bin"
mkdir -p "$kit/TOOLS"
cp "$work/tools-bin/pyxet-check.exe" "$work/tools-bin/pci.ids" "$kit/TOOLS/" || fail "cannot copy the tools"

# The texts, with CR LF line ends for Windows' Notepad.
crlf() {
    awk '{ sub(/\r$/, ""); printf "%s\r\n", $0 }' "$1" >"$2" || fail "cannot write $2"
}
sed "s/@VERSION@/$version/g" "$source/dist/README.TXT" >"$work/README.TXT" || fail "cannot write README.TXT"
crlf "$work/README.TXT" "$kit/README.TXT"
crlf "$source/LICENSE" "$kit/LICENSE.TXT"
crlf "$source/THIRD-PARTY.TXT" "$kit/THIRD-PARTY.TXT"
crlf "$source/CHANGES" "$kit/CHANGES.TXT"

# Files only, in byte order, without the extra fields that hold owners and
# times in the host's zone; then every time and permission made the same.
zip=$work/$name.zip
(cd "$work/kit" && find "$name" -type f | LC_ALL=C sort | TZ=UTC0 zip -q -X -D -9 "$zip" -@) ||
    fail "zip cannot pack $kit"
TZ=UTC0 strip-nondeterminism --type zip --timestamp "$SOURCE_DATE_EPOCH" "$zip" >/dev/null ||
    fail "strip-nondeterminism cannot normalise $zip"
(cd "$work" && sha256sum "$name.zip") >"$work/SHA256SUMS" || fail "cannot hash $zip"

mkdir -p "$out" || fail "cannot make $out"
cp "$zip" "$out/.$name.zip.new" && mv "$out/.$name.zip.new" "$out/$name.zip" &&
    cp "$work/SHA256SUMS" "$out/.SHA256SUMS.new" && mv "$out/.SHA256SUMS.new" "$out/SHA256SUMS" ||
    { rm -f "$out/.$name.zip.new" "$out/.SHA256SUMS.new"; fail "cannot write into $out"; }
echo "release: $out/$name.zip ($(wc -c <"$out/$name.zip") bytes), SHA-256 $(cut -d' ' -f1 "$out/SHA256SUMS")"
