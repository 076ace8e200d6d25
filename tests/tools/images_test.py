#!/usr/bin/env python3
"""Tests of the CD and floppy images that scripts/make-iso.sh and
scripts/make-floppy.sh build, read back with xorriso and mtools.

    images_test.py GROUP

The environment names MAKE_ISO, MAKE_FLOPPY (the scripts), PYXET_CHECK and
PYXET_DIST_DIR (the distributable folder built by make dist).
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

MAKE_ISO = os.environ.get("MAKE_ISO", "")
MAKE_FLOPPY = os.environ.get("MAKE_FLOPPY", "")
CHECK = os.environ.get("PYXET_CHECK", "")
DIST = os.environ.get("PYXET_DIST_DIR", "")
SECTOR = 2048
FLOPPY_BYTES = 1474560
FLOPPY_FILE_BYTES = 1457664  # the data area of a 1.44 MB FAT12 disk
AUTORUN = b"[autorun]\r\nopen=PYXET.EXE\r\nicon=PYXET.EXE,0\r\n"


def files_under(folder):
    found = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            found[os.path.relpath(path, folder)] = open(path, "rb").read()
    return found


def make(script, dist, image):
    done = subprocess.run(["sh", script, dist, image, CHECK], capture_output=True, timeout=120)
    return done.returncode, done.stdout.decode(), done.stderr.decode()


class Work(unittest.TestCase):
    def setUp(self):
        if not os.path.isfile(os.path.join(DIST, "PYXET.EXE")):
            self.fail("no distributable folder in %s: run make dist first" % DIST)
        self.work = tempfile.mkdtemp(prefix="pyxet-images-")
        self.addCleanup(shutil.rmtree, self.work, True)

    def copy_of_dist(self):
        copy = os.path.join(self.work, "dist")
        shutil.copytree(DIST, copy)
        return copy

    def break_settings(self, dist):
        with open(os.path.join(dist, "PYXET.INI"), "ab") as f:
            f.write(b"chip5=Broken,8086\r\n")


class Iso(Work):
    def build(self, dist=None):
        image = os.path.join(self.work, "pyxet.iso")
        status, out, err = make(MAKE_ISO, dist or DIST, image)
        self.assertEqual(status, 0, out + err)
        return image, out

    def descriptors(self, image):
        """The volume descriptors from sector 16 on, up to the terminator."""
        data = open(image, "rb").read()
        found = []
        for sector in range(16, 32):
            descriptor = data[sector * SECTOR:(sector + 1) * SECTOR]
            found.append(descriptor)
            if descriptor[0] == 255:
                break
        return found

    def test_holds_the_folder_and_autorun(self):
        image, out = self.build()
        extracted = os.path.join(self.work, "out")
        subprocess.run(["xorriso", "-osirrox", "on", "-indev", image, "-extract", "/", extracted],
                       check=True, capture_output=True)
        expected = files_under(DIST)
        expected["AUTORUN.INF"] = AUTORUN
        self.assertEqual(files_under(extracted), expected)
        self.assertIn("%d bytes, volume PYXET" % os.path.getsize(image), out)

    def test_volume_id_and_joliet(self):
        image, _ = self.build()
        descriptors = self.descriptors(image)
        primary = [d for d in descriptors if d[0] == 1 and d[1:6] == b"CD001"]
        self.assertEqual(len(primary), 1)
        self.assertEqual(primary[0][40:72].rstrip(b" "), b"PYXET")
        joliet = [d for d in descriptors if d[0] == 2 and d[88:91] in (b"%/@", b"%/C", b"%/E")]
        self.assertEqual(len(joliet), 1, "one Joliet supplementary descriptor")

    def test_plain_iso9660_names_are_the_dos_names(self):
        image, _ = self.build()
        listing = subprocess.run(["xorriso", "-indev", image, "-joliet", "off", "-find", "/", "-type", "f"],
                                 check=True, capture_output=True, text=True).stdout
        names = sorted(line.strip("'") for line in listing.split())
        expected = sorted("/" + path.replace(os.sep, "/") for path in files_under(DIST)) + ["/AUTORUN.INF"]
        self.assertEqual(names, sorted(expected))

    def test_refuses_a_folder_with_errors(self):
        dist = self.copy_of_dist()
        self.break_settings(dist)
        image = os.path.join(self.work, "pyxet.iso")
        open(image, "wb").write(b"an image of earlier")
        status, out, err = make(MAKE_ISO, dist, image)
        self.assertEqual(status, 1)
        self.assertIn("malformed", out)
        self.assertIn("no image built", err)
        self.assertFalse(os.path.exists(image), "the image of earlier is gone")


class Floppy(Work):
    def mtools(self, *args):
        env = dict(os.environ, MTOOLS_SKIP_CHECK="1")
        return subprocess.run(list(args), check=True, capture_output=True, env=env, text=True).stdout

    def test_image_of_the_folder(self):
        image = os.path.join(self.work, "pyxet.img")
        status, out, err = make(MAKE_FLOPPY, DIST, image)
        self.assertEqual(status, 0, out + err)
        data = open(image, "rb").read()
        self.assertEqual(len(data), FLOPPY_BYTES)
        self.assertEqual(data[54:62], b"FAT12   ")
        self.assertEqual(data[43:54].rstrip(b" "), b"PYXET")
        extracted = os.path.join(self.work, "out")
        os.mkdir(extracted)
        self.mtools("mcopy", "-s", "-i", image, "::*", extracted)
        self.assertEqual(files_under(extracted), files_under(DIST))
        free = re.search(r"([\d ]+) bytes free", self.mtools("mdir", "-i", image, "::")).group(1)
        left = int(free.replace(" ", ""))
        self.assertIn("%d bytes left" % left, out)
        self.assertGreater(left, FLOPPY_FILE_BYTES // 2)

    def fill(self, extra_bytes):
        """A copy of the folder with a file that leaves extra_bytes more than fit."""
        dist = self.copy_of_dist()
        probe = os.path.join(self.work, "probe.img")
        status, out, err = make(MAKE_FLOPPY, dist, probe)
        self.assertEqual(status, 0, out + err)
        left = int(re.search(r"(\d+) bytes left", out).group(1))
        # FILL.BIN takes one root entry, which the root directory has room for.
        with open(os.path.join(dist, "FILL.BIN"), "wb") as f:
            f.write(b"\xf6" * (left + extra_bytes))
        return dist

    def test_fills_to_the_last_byte(self):
        dist = self.fill(0)
        image = os.path.join(self.work, "full.img")
        status, out, err = make(MAKE_FLOPPY, dist, image)
        self.assertEqual(status, 0, out + err)
        self.assertIn(", 0 bytes left", out)

    def test_refuses_a_folder_that_does_not_fit(self):
        dist = self.fill(1)
        image = os.path.join(self.work, "over.img")
        open(image, "wb").write(b"an image of earlier")
        status, out, err = make(MAKE_FLOPPY, dist, image)
        self.assertEqual(status, 1, out + err)
        self.assertIn("512 bytes too many; no image built", err)
        self.assertFalse(os.path.exists(image))

    def test_refuses_a_folder_with_errors(self):
        dist = self.copy_of_dist()
        self.break_settings(dist)
        status, out, err = make(MAKE_FLOPPY, dist, os.path.join(self.work, "pyxet.img"))
        self.assertEqual(status, 1)
        self.assertIn("no image built", err)


if __name__ == "__main__":
    group = sys.argv[1] if len(sys.argv) > 1 else None
    unittest.main(argv=[sys.argv[0], "-v"] + ([group] if group else []))
