#!/bin/sh
# Installs the Debian packages that building and testing need: the i686 mingw-w64
# cross compiler (the product), the x86_64 one (the test-only flavour that runs
# the end-to-end tests under 64-bit Wine where no 32-bit code executes), 32- and
# 64-bit Wine, Xvfb, CMake and GoogleTest, for the driver CD tools the PCI ID
# list, xorriso and mtools, clang with its libFuzzer and sanitizer runtimes
# for the fuzz targets, and clang-tidy and cppcheck for the static analysis.
# It checks first, so a second run installs nothing and takes a moment. Works
# as root or through sudo.
set -eu

PACKAGES="g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
wine wine32:i386 wine64 xvfb xauth
fonts-wine imagemagick cmake make g++ libgtest-dev python3 pci.ids xorriso mtools
clang libclang-rt-14-dev clang-tidy cppcheck"

if [ "$(id -u)" -eq 0 ]; then SUDO=; else SUDO=sudo; fi

missing=
for p in $PACKAGES; do
    if ! dpkg-query -W -f '${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "install-deps: installing$missing"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# Another apt run (an unattended upgrade, a second build) holds the lock for a while.
APT="apt-get -o DPkg::Lock::Timeout=600"
$SUDO $APT update -q
# shellcheck disable=SC2086
$SUDO $APT install -y -q --no-install-recommends $missing
