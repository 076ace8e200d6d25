#!/bin/sh
# Installs the Debian packages that one command needs, only those missing:
#
#   scripts/install-deps.sh GROUP...
#
#   checker  the native compiler, CMake and the PCI ID list (pyxet-check)
#   tools    checker, and the x86_64 mingw-w64 compiler for its Windows build
#            (make tools)
#   image    checker, plus xorriso and mtools (make iso, make floppy)
#   program  the i686 mingw-w64 cross compiler (PYXET.EXE and ENUM.DLL)
#   release  tools and program, zip and strip-nondeterminism (make release)
#   wine     32- and 64-bit Wine, Xvfb and ImageMagick, the x86_64 cross
#            compiler of the test-only flavour (make run, the Wine layers)
#   test     all of the above, GoogleTest, clang with its libFuzzer and
#            sanitizer runtimes, clang-tidy and cppcheck (make test)
#
# It checks first, so a second run installs nothing and takes a moment.
# Works as root or through sudo. A package index that fails to download (a
# mirror in the middle of a sync) is retried, then left out; an install that
# fails is tried once more from the release's own suite, whose indexes are
# the ones most likely to be whole. INSTALL_RETRY_PAUSE sets the pause
# between tries, in seconds (default 10).
set -eu

CHECKER="g++ make cmake pci.ids"
TOOLS="$CHECKER g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64"
IMAGE="$CHECKER xorriso mtools"
PROGRAM="g++-mingw-w64-i686 binutils-mingw-w64-i686 make cmake"
RELEASE="$TOOLS $PROGRAM zip strip-nondeterminism"
WINE_PACKAGES="wine wine32:i386 wine64 xvfb xauth fonts-wine imagemagick g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64"
TEST="$TOOLS $IMAGE $PROGRAM $RELEASE $WINE_PACKAGES libgtest-dev python3 clang libclang-rt-14-dev clang-tidy cppcheck"
UPDATE_TRIES=3
PAUSE=${INSTALL_RETRY_PAUSE:-10}

[ $# -gt 0 ] || set -- test
wanted=
for group in "$@"; do
    case $group in
        checker) wanted="$wanted $CHECKER" ;;
        tools) wanted="$wanted $TOOLS" ;;
        image) wanted="$wanted $IMAGE" ;;
        program) wanted="$wanted $PROGRAM" ;;
        release) wanted="$wanted $RELEASE" ;;
        wine) wanted="$wanted $WINE_PACKAGES" ;;
        test) wanted="$wanted $TEST" ;;
        *) echo "install-deps: unknown group $group (checker, tools, image, program, release, wine, test)" >&2; exit 2 ;;
    esac
done

if [ "$(id -u)" -eq 0 ]; then SUDO=; else SUDO=sudo; fi

missing=
for p in $wanted; do
    case " $missing " in *" $p "*) continue ;; esac
    if ! dpkg-query -W -f '${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "install-deps: installing$missing"
case " $missing " in
    *:i386*)
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            $SUDO dpkg --add-architecture i386
        fi ;;
esac
export DEBIAN_FRONTEND=noninteractive
# Another apt run (an unattended upgrade, a second build) holds the lock for a while.
APT="apt-get -o DPkg::Lock::Timeout=600"

# apt-get update exits non-zero when any one index fails, though it keeps
# every index it did fetch: a failure is worth a retry, never the end.
try=1
until $SUDO $APT update -q; do
    if [ "$try" -ge "$UPDATE_TRIES" ]; then
        echo "install-deps: warning: apt-get update failed $try times; going on with the package indexes it fetched" >&2
        break
    fi
    echo "install-deps: apt-get update failed (try $try of $UPDATE_TRIES); trying again in $PAUSE s" >&2
    sleep "$PAUSE"
    try=$((try + 1))
done

# shellcheck disable=SC2086
$SUDO $APT install -y -q --no-install-recommends $missing && exit 0

# With one suite's index missing for one architecture, the other
# architecture's candidates can come from that suite alone, and multiarch
# packages then find no matching version. The release's own suite has both.
release=$(sed -n 's/^VERSION_CODENAME=//p' /etc/os-release 2>/dev/null | tr -d '"')
if [ -n "$release" ]; then
    echo "install-deps: the install failed; trying again with $release as the target release" >&2
    # shellcheck disable=SC2086
    $SUDO $APT install -y -q --no-install-recommends -t "$release" $missing && exit 0
fi
echo "install-deps: error: installing the packages failed${release:+, also from $release alone}; try by hand: apt-get update && apt-get install --no-install-recommends${release:+ -t $release}$missing" >&2
exit 1
