#!/usr/bin/env python3
"""Tests of scripts/install-deps.sh with stand-ins for apt-get, dpkg-query,
dpkg and sudo on PATH, so that it runs without root and installs nothing.
The apt-get stand-in logs each call and fails its first calls of a kind as
a mirror in the middle of a sync makes apt-get fail.

    install_deps_test.py

The environment names PYXET_SOURCE_DIR (the project).
"""
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ.get("PYXET_SOURCE_DIR", "")
SCRIPT = os.path.join(SOURCE, "scripts", "install-deps.sh")
INDEX_FAILURE = ("E: Failed to fetch http://deb.debian.org/debian/dists/bookworm-updates/main/binary-amd64/"
                 "Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 1]")
HELD_FAILURE = "E: Unable to correct problems, you have held broken packages."

# apt-get: logs its arguments; the first $FAIL_UPDATE updates and the first
# $FAIL_INSTALL installs print what apt-get prints and exit 100.
APT_GET = r'''#!/bin/sh
echo "$*" >>"$STANDIN_LOG"
for argument; do
    case $argument in
    update) kind=update failures=$FAIL_UPDATE message=$INDEX_FAILURE ;;
    install) kind=install failures=$FAIL_INSTALL message=$HELD_FAILURE ;;
    esac
done
count=$(cat "$STANDIN_LOG.$kind" 2>/dev/null || echo 0)
echo $((count + 1)) >"$STANDIN_LOG.$kind"
if [ "$count" -lt "$failures" ]; then
    echo "$message" >&2
    exit 100
fi
'''
# dpkg-query -W -f FORMAT PACKAGE: installed only the packages in $INSTALLED.
DPKG_QUERY = r'''#!/bin/sh
for package; do :; done
case " $INSTALLED " in
*" $package "*) echo "install ok installed" ;;
*) echo "dpkg-query: no packages found matching $package" >&2; exit 1 ;;
esac
'''
DPKG = '#!/bin/sh\necho "dpkg $*" >>"$STANDIN_LOG"\n[ "$1" = --print-foreign-architectures ] && echo i386\nexit 0\n'
SUDO = '#!/bin/sh\nexec "$@"\n'


def codename():
    with open("/etc/os-release") as f:
        return re.search(r'^VERSION_CODENAME="?([^"\n]*)', f.read(), re.M).group(1)


class InstallDeps(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="pyxet-install-deps-")
        self.addCleanup(shutil.rmtree, self.work, True)
        self.bin = os.path.join(self.work, "bin")
        os.mkdir(self.bin)
        for name, text in (("apt-get", APT_GET), ("dpkg-query", DPKG_QUERY), ("dpkg", DPKG), ("sudo", SUDO)):
            path = os.path.join(self.bin, name)
            with open(path, "w") as f:
                f.write(text)
            os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR)
        self.log = os.path.join(self.work, "calls")

    def install(self, *groups, fail_update=0, fail_install=0, installed=""):
        env = dict(os.environ, PATH=self.bin + os.pathsep + os.environ["PATH"], STANDIN_LOG=self.log,
                   FAIL_UPDATE=str(fail_update), FAIL_INSTALL=str(fail_install), INSTALLED=installed,
                   INDEX_FAILURE=INDEX_FAILURE, HELD_FAILURE=HELD_FAILURE, INSTALL_RETRY_PAUSE="0")
        done = subprocess.run(["sh", SCRIPT] + list(groups), capture_output=True, text=True, env=env, timeout=60)
        calls = []
        if os.path.exists(self.log):
            with open(self.log) as f:
                calls = f.read().splitlines()
        return done.returncode, done.stderr, calls

    def apt_calls(self, calls, kind):
        return [call for call in calls if re.search(r"(^| )%s( |$)" % kind, call) and not call.startswith("dpkg ")]

    def test_update_that_fails_on_an_index_is_tried_again(self):
        status, err, calls = self.install("image", fail_update=1)
        self.assertEqual(status, 0, err)
        self.assertEqual(len(self.apt_calls(calls, "update")), 2)
        self.assertIn("apt-get update failed (try 1 of 3); trying again", err)
        self.assertEqual(len(self.apt_calls(calls, "install")), 1)

    def test_update_that_keeps_failing_goes_on(self):
        status, err, calls = self.install("image", fail_update=99)
        self.assertEqual(status, 0, err)
        self.assertEqual(len(self.apt_calls(calls, "update")), 3)
        self.assertIn("going on with the package indexes it fetched", err)
        self.assertEqual(len(self.apt_calls(calls, "install")), 1)

    def test_install_with_held_broken_packages_is_tried_from_the_release(self):
        status, err, calls = self.install("image", fail_install=1)
        self.assertEqual(status, 0, err)
        installs = self.apt_calls(calls, "install")
        self.assertEqual(len(installs), 2)
        self.assertNotIn(" -t ", installs[0])
        self.assertIn(" -t %s " % codename(), installs[1])

    def test_both_failing_say_so_in_one_line(self):
        status, err, calls = self.install("image", fail_update=99, fail_install=99)
        self.assertEqual(status, 1)
        errors = [line for line in err.splitlines() if line.startswith("install-deps: error:")]
        self.assertEqual(len(errors), 1, err)
        self.assertIn("installing the packages failed, also from %s alone" % codename(), errors[0])
        self.assertIn("try by hand: apt-get update && apt-get install --no-install-recommends -t %s" % codename(),
                      errors[0])
        self.assertIn("xorriso mtools", errors[0])

    def test_installs_only_what_is_missing(self):
        status, err, calls = self.install("image", installed="g++ make cmake pci.ids xorriso")
        self.assertEqual(status, 0, err)
        installs = self.apt_calls(calls, "install")
        self.assertEqual(len(installs), 1)
        self.assertTrue(installs[0].endswith(" --no-install-recommends mtools"), installs[0])

    def test_nothing_missing_calls_no_apt(self):
        everything = "g++ make cmake pci.ids xorriso mtools"
        status, err, calls = self.install("image", installed=everything)
        self.assertEqual((status, calls), (0, []), err)

    def test_image_installs_no_wine(self):
        _, _, calls = self.install("image")
        self.assertNotIn("wine", " ".join(calls))
        _, _, calls = self.install("wine")
        self.assertIn("wine32:i386", self.apt_calls(calls, "install")[-1])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
