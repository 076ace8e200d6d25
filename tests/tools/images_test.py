#!/usr/bin/env python3
"""Tests of the CD and floppy images that scripts/make-iso.sh and
scripts/make-floppy.sh build, read back with xorriso and mtools.

    images_test.py GROUP

The environment names MAKE_ISO, MAKE_FLOPPY (the scripts), PYXET_CHECK and
PYXET_DIST_DIR (the distributable folder built by make dist). The scripts
run with Debian's default awk, mawk, as the awk on PATH.
"""
import atexit
import hashlib
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
MAWK_PATH = None


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def files_under(folder):
    found = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            found[os.path.relpath(path, folder)] = read_bytes(path)
    return found


def tree_hashes(folder):
    """Every file and folder under folder, dot-files included: a hash of each file, None for a folder."""
    found = {}
    for root, folders, names in os.walk(folder):
        for name in folders:
            found[os.path.relpath(os.path.join(root, name), folder)] = None
        for name in names:
            path = os.path.join(root, name)
            found[os.path.relpath(path, folder)] = hashlib.sha256(read_bytes(path)).hexdigest()
    return found


def write(folder, relative, data):
    path = os.path.join(folder, *relative.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def mawk_path():
    """A PATH on which awk is mawk, Debian's default awk."""
    mawk = shutil.which("mawk")
    if mawk is None:
        raise AssertionError("mawk, Debian's default awk, is not installed")
    folder = tempfile.mkdtemp(prefix="pyxet-mawk-")
    atexit.register(shutil.rmtree, folder, True)
    os.symlink(mawk, os.path.join(folder, "awk"))
    return folder + os.pathsep + os.environ["PATH"]


def make(script, dist, image, check=None, **env):
    global MAWK_PATH
    MAWK_PATH = MAWK_PATH or mawk_path()
    environment = dict(os.environ, PATH=MAWK_PATH, **env)
    done = subprocess.run(["sh", script, dist, image, check or CHECK], capture_output=True, timeout=120,
                          env=environment)
    return done.returncode, done.stdout.decode(), done.stderr.decode()


def read_iso(image, into, tree="joliet"):
    """The files of the image's Joliet tree, or of its plain ISO 9660 tree, by path."""
    read_fs = ["-read_fs", "ecma119"] if tree == "plain" else []
    subprocess.run(["xorriso"] + read_fs + ["-osirrox", "on", "-indev", image, "-extract", "/", into],
                   check=True, capture_output=True)
    return files_under(into)


def read_floppy(image, into):
    os.makedirs(into, exist_ok=True)
    subprocess.run(["mcopy", "-s", "-i", image, "::*", into], check=True, capture_output=True,
                   env=dict(os.environ, MTOOLS_SKIP_CHECK="1"))
    return files_under(into)


SOURCE = os.environ.get("PYXET_SOURCE_DIR", "")
CD_FOLDER = os.path.join(SOURCE, "scripts", "cd-folder.sh")
BX_SETUP = b"MZ the author's own setup program for the 440BX" + bytes(range(256)) * 8
BX_README = b"The author's notes on the 440BX package.\r\n"


def add_row(folder, row):
    """Appends a row to the [Drivers] section, the last one of the shipped settings file."""
    with open(os.path.join(folder, "PYXET.INI"), "ab") as f:
        f.write(b"chip5=" + row.encode("cp1252") + b"\r\n")


def author_folder(folder):
    """A driver CD folder as an author makes one: the program, the author's own
    440BX package and a settings file edited to offer only it."""
    done = subprocess.run(["sh", CD_FOLDER, DIST, folder], capture_output=True, text=True)
    if done.returncode != 0:
        raise AssertionError(done.stdout + done.stderr)
    write(folder, "DRIVERS/BX/SETUP.EXE", BX_SETUP)
    write(folder, "DRIVERS/BX/README.TXT", BX_README)
    settings = read_bytes(os.path.join(folder, "PYXET.INI"))
    head = settings[:settings.index(b"chip0=")]
    write(folder, "PYXET.INI", head + b"chip0=My own 440BX board,8086,7190,7192,3,DRIVERS\\BX\\SETUP.EXE,1\r\n")
    return folder


class Work(unittest.TestCase):
    def setUp(self):
        if not os.path.isfile(os.path.join(DIST, "PYXET.EXE")):
            self.fail("no distributable folder in %s: run make dist first" % DIST)
        self.work = tempfile.mkdtemp(prefix="pyxet-images-")
        self.addCleanup(shutil.rmtree, self.work, True)

    def copy_of_dist(self, name="dist"):
        copy = os.path.join(self.work, name)
        shutil.copytree(DIST, copy)
        return copy

    def break_settings(self, dist):
        add_row(dist, "Broken,8086")


# Names that differ only in case, which a CD or a FAT disk cannot both hold:
# the files added to a copy of the shipped folder, a row that uses them, a
# file renamed, and the two names the refusal gives.
CASE_CLASHES = [
    ("two package folders", ["DRIVERS/SIS620/SETUP.EXE", "DRIVERS/sis620/SETUP.EXE"],
     r"SiS 620,1039,0620,0,3,DRIVERS\SIS620\SETUP.EXE,1", None, (r'"DRIVERS\SIS620"', r'"DRIVERS\sis620"')),
    ("two setup programs", ["DRIVERS/BX/setup.exe"], None, None,
     (r'"DRIVERS\BX\SETUP.EXE"', r'"DRIVERS\BX\setup.exe"')),
    ("the author's two autorun files", ["autorun.inf", "AUTORUN.INF"], None, None,
     ('"AUTORUN.INF"', '"autorun.inf"')),
    ("a folder beside the settings file", ["PYXET.INI/NOTES.TXT"], None, ("PYXET.INI", "pyxet.ini"),
     ('"PYXET.INI"', '"pyxet.ini"')),
]


class BothMedia:
    """What the CD and the floppy image share; each medium's class names its
    script, reads its images back and reads their labels."""

    def build(self, dist, name=None, **env):
        image = os.path.join(self.work, name or "image." + self.EXTENSION)
        status, out, err = make(self.SCRIPT, dist, image, **env)
        self.assertEqual(status, 0, out + err)
        return image, out

    def contents(self, image):
        return self.read(image, tempfile.mkdtemp(dir=self.work))

    def test_never_writes_into_the_folder(self):
        dist = self.copy_of_dist()
        write(dist, ".git/HEAD", b"ref: refs/heads/main\n")
        before = tree_hashes(dist)
        self.build(dist)
        status, _, _ = make(self.SCRIPT, dist, os.path.join(dist, "inside." + self.EXTENSION))
        self.assertEqual(status, 2, "an image inside the folder is refused")
        self.assertEqual(tree_hashes(dist), before)
        self.assertEqual(sorted(os.listdir(self.work)), ["dist", "image." + self.EXTENSION],
                         "nothing but the image is left beside it")

    def test_refuses_a_folder_with_errors(self):
        dist = self.copy_of_dist()
        self.break_settings(dist)
        image = os.path.join(self.work, "pyxet." + self.EXTENSION)
        write(self.work, os.path.basename(image), b"an image of earlier")
        status, out, err = make(self.SCRIPT, dist, image)
        self.assertEqual(status, 1)
        self.assertIn("malformed", out)
        self.assertIn("no image built", err)
        self.assertFalse(os.path.exists(image), "the image of earlier is gone")

    def test_makes_a_missing_output_folder(self):
        image = os.path.join(self.work, "new", "images", "pyxet." + self.EXTENSION)
        status, out, err = make(self.SCRIPT, DIST, image)
        self.assertEqual(status, 0, out + err)
        self.assertIn("made the folder %s" % os.path.dirname(image), out)
        self.assertTrue(os.path.isfile(image))

    def test_refuses_names_that_differ_only_in_case(self):
        for name, files, row, rename, names in CASE_CLASHES:
            with self.subTest(name):
                dist = self.copy_of_dist(name.replace(" ", "-"))
                if rename:
                    os.rename(os.path.join(dist, rename[0]), os.path.join(dist, rename[1]))
                for file in files:
                    write(dist, file, b"MZ " + file.encode())
                if row:
                    add_row(dist, row)
                status, out, err = make(self.SCRIPT, dist, os.path.join(self.work, "clash"))
                self.assertEqual(status, 1, out + err)
                clash = [line for line in out.splitlines() if "case-clash" in line]
                self.assertTrue(clash and all(n in clash[0] for n in names), out)
                self.assertIn("finds errors", err)
                self.assertFalse(os.path.exists(os.path.join(self.work, "clash")))

    def test_leaves_out_dot_files(self):
        dist = self.copy_of_dist()
        for file in (".git/HEAD", ".DS_Store", "DRIVERS/BX/.hidden"):
            write(dist, file, b"not for the disk")
        image, _ = self.build(dist)
        self.assertEqual(self.medium_files(self.contents(image)), files_under(DIST))

    def test_leaves_out_unused_packages_unless_all(self):
        dist = self.copy_of_dist()
        write(dist, "DRIVERS/OLD/SETUP.EXE", b"MZ a package no row starts")
        image, out = self.build(dist)
        self.assertRegex(out, r"(?m)^warning +DRIVERS\\OLD unused-package: .*leave it out unless ALL=1")
        self.assertEqual(self.medium_files(self.contents(image)), files_under(DIST))
        image, out = self.build(dist, "all." + self.EXTENSION, PYXET_IMAGE_ALL="1")
        self.assertIn("keep it, as ALL=1 (--all) asks", out)
        self.assertEqual(self.medium_files(self.contents(image)), files_under(dist))

    def test_prints_the_checkers_warnings(self):
        dist = self.copy_of_dist()
        add_row(dist, r"A name of more than thirty-one characters,8086,7194,0,3,DRIVERS\BX\SETUP.EXE,1")
        _, out = self.build(dist)
        self.assertRegex(out, r"(?m)^warning +chip5 +name-cut: ")
        self.assertRegex(out, r"(?m)^0 errors, 1 warning$")

    def test_a_checker_that_cannot_run_is_not_an_error_found(self):
        stand_in = os.path.join(self.work, "check")
        write(self.work, "check", b"#!/bin/sh\necho 'pyxet-check: cannot read the folder' >&2\nexit 2\n")
        os.chmod(stand_in, 0o755)
        for check in (stand_in, os.path.join(self.work, "no-such-checker")):
            with self.subTest(check):
                status, out, err = make(self.SCRIPT, DIST, os.path.join(self.work, "x"), check=check)
                self.assertEqual(status, 2, out + err)
                self.assertIn("pyxet-check could not run on", err)
                self.assertNotIn("finds errors", err)

    def test_volume_label(self):
        image, _ = self.build(DIST, PYXET_IMAGE_LABEL="MY_CD_2026")
        self.assertEqual(self.label(image), b"MY_CD_2026")
        for bad in ("my cd", "TWELVE_CHARS"):
            with self.subTest(bad):
                status, _, err = make(self.SCRIPT, DIST, os.path.join(self.work, "x"), PYXET_IMAGE_LABEL=bad)
                self.assertEqual(status, 2)
                self.assertIn("no image built", err)


class Iso(Work, BothMedia):
    SCRIPT = MAKE_ISO
    EXTENSION = "iso"

    def read(self, image, into):
        return read_iso(image, into)

    def medium_files(self, files):
        self.assertEqual(files.pop("AUTORUN.INF", None), AUTORUN)
        return files

    def label(self, image):
        return self.primary(image)[40:72].rstrip(b" ")

    def primary(self, image):
        primary = [d for d in self.descriptors(image) if d[0] == 1 and d[1:6] == b"CD001"]
        self.assertEqual(len(primary), 1)
        return primary[0]

    def descriptors(self, image):
        """The volume descriptors from sector 16 on, up to the terminator."""
        data = read_bytes(image)
        found = []
        for sector in range(16, 32):
            descriptor = data[sector * SECTOR:(sector + 1) * SECTOR]
            found.append(descriptor)
            if descriptor[0] == 255:
                break
        return found

    def test_holds_the_folder_and_autorun(self):
        image, out = self.build(DIST)
        expected = files_under(DIST)
        expected["AUTORUN.INF"] = AUTORUN
        self.assertEqual(self.contents(image), expected)
        self.assertIn("%d bytes, volume PYXET" % os.path.getsize(image), out)

    def test_volume_id_and_joliet(self):
        image, _ = self.build(DIST)
        self.assertEqual(self.label(image), b"PYXET")
        joliet = [d for d in self.descriptors(image) if d[0] == 2 and d[88:91] in (b"%/@", b"%/C", b"%/E")]
        self.assertEqual(len(joliet), 1, "one Joliet supplementary descriptor")

    def test_plain_iso9660_names_are_the_dos_names(self):
        dist = self.copy_of_dist()
        write(dist, "DRIVERS/BX/notes.txt", b"lower case: the plain tree upper-cases it, Joliet keeps it")
        image, _ = self.build(dist)
        plain = read_iso(image, os.path.join(self.work, "plain"), "plain")
        expected = {path.upper(): data for path, data in files_under(dist).items()}
        expected["AUTORUN.INF"] = AUTORUN
        self.assertEqual(plain, expected)

    def test_keeps_the_authors_autorun(self):
        dist = self.copy_of_dist()
        autorun = b"[autorun]\r\nopen=PYXET.EXE\r\nlabel=My driver CD\r\n"
        write(dist, "autorun.inf", autorun)
        image, _ = self.build(dist)
        files = self.contents(image)
        self.assertEqual(files.get("autorun.inf"), autorun)
        self.assertNotIn("AUTORUN.INF", files)

    def names_refused(self, dist):
        status, out, err = make(MAKE_ISO, dist, os.path.join(self.work, "refused.iso"))
        self.assertEqual(status, 1, out + err)
        self.assertFalse(os.path.exists(os.path.join(self.work, "refused.iso")))
        return dict(re.findall(r'(?m)^error +\S+ +not-8\.3: .*? does not hold "([^"]+)" as written: .*?'
                               r'xorriso would write "([^"]+)"', out))

    def test_refuses_names_its_plain_tree_would_change(self):
        # xorriso at ISO level 1, as make-iso.sh runs it, writes these names as
        # pyxet-check says; make-iso.sh refuses them rather than let it.
        dist = self.copy_of_dist()
        names = ["VIA-4IN1.TXT", "LONGNAME9.TXT", "A.B.TXT", "Caf\u00e9.txt", "READ.ME.FIRST",
                 "DOCS/INTEL440BX/X.TXT", "DOCS/BX.V2/Y.TXT"]
        for name in names:
            write(dist, name, b"x")
        refused = self.names_refused(dist)
        self.assertEqual(len(refused), 7, refused)
        self.assertTrue({"VIA-4IN1.TXT", "LONGNAME9.TXT", "A.B.TXT", "READ.ME.FIRST", "INTEL440BX",
                         "BX.V2"} <= set(refused), refused)
        raw = os.path.join(self.work, "raw.iso")
        subprocess.run(["xorriso", "-outdev", raw, "-compliance", "iso_9660_level=1", "-joliet", "on",
                        "-rockridge", "off", "-map", dist, "/"], check=True, capture_output=True)
        written = set()
        for path in read_iso(raw, os.path.join(self.work, "raw"), "plain"):
            parts = path.split("/")
            written.update("/".join(parts[:i + 1]) for i in range(len(parts)))
        shipped = {path.upper() for path in files_under(DIST)} | {"DRIVERS", "DOCS"}
        shipped |= {os.path.dirname(path) for path in shipped}
        inside = {path for path in written if path.endswith(("/X.TXT", "/Y.TXT"))}
        in_docs = {"INTEL440BX", "BX.V2"}
        self.assertEqual(written - shipped - inside, {("DOCS/" if name in in_docs else "") + plain
                                             for name, plain in refused.items()})


class Floppy(Work, BothMedia):
    SCRIPT = MAKE_FLOPPY
    EXTENSION = "img"

    def read(self, image, into):
        return read_floppy(image, into)

    def medium_files(self, files):
        return files

    def label(self, image):
        return read_bytes(image)[43:54].rstrip(b" ")

    def mtools(self, *args):
        env = dict(os.environ, MTOOLS_SKIP_CHECK="1")
        return subprocess.run(list(args), check=True, capture_output=True, env=env, text=True).stdout

    def test_image_of_the_folder(self):
        image, out = self.build(DIST, "pyxet.img")
        data = read_bytes(image)
        self.assertEqual(len(data), FLOPPY_BYTES)
        self.assertEqual(data[54:62], b"FAT12   ")
        self.assertEqual(self.label(image), b"PYXET")
        self.assertEqual(self.contents(image), files_under(DIST))
        free = re.search(r"([\d ]+) bytes free", self.mtools("mdir", "-i", image, "::")).group(1)
        left = int(free.replace(" ", ""))
        self.assertIn("%d bytes left" % left, out)
        self.assertGreater(left, FLOPPY_FILE_BYTES // 2)

    def test_holds_long_names(self):
        dist = self.copy_of_dist()
        write(dist, "DOCS/Read me first.txt", b"a long name, which Windows 95 and later read")
        image, _ = self.build(dist)
        self.assertEqual(self.contents(image), files_under(dist))

    def fill(self, extra_bytes, files=()):
        """A copy of the folder, with files added, and a file that leaves extra_bytes more than fit."""
        dist = self.copy_of_dist()
        for file in files:
            write(dist, file, b"x")
        status, out, err = make(MAKE_FLOPPY, dist, os.path.join(self.work, "probe.img"))
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

    def test_counts_an_8_3_name_as_one_entry(self):
        # 40 files and "." and ".." take 3 sectors of directory entries; two
        # entries for each name would take 6, and refuse a folder that fits.
        dist = self.fill(0, ["DRIVERS/BX/F%02d.TXT" % i for i in range(40)])
        status, out, err = make(MAKE_FLOPPY, dist, os.path.join(self.work, "full.img"))
        self.assertEqual(status, 0, out + err)
        self.assertIn(", 0 bytes left", out)

    def test_refuses_a_folder_that_does_not_fit(self):
        dist = self.fill(1)
        image = os.path.join(self.work, "over.img")
        write(self.work, os.path.basename(image), b"an image of earlier")
        status, out, err = make(MAKE_FLOPPY, dist, image)
        self.assertEqual(status, 1, out + err)
        self.assertIn("512 bytes too many; no image built", err)
        self.assertFalse(os.path.exists(image))


class CdFolder(Work):
    """scripts/cd-folder.sh, which make cd-folder runs."""

    def cd_folder(self, dest):
        done = subprocess.run(["sh", CD_FOLDER, DIST, dest], capture_output=True, text=True)
        return done.returncode, done.stdout + done.stderr

    def test_copies_the_program_and_the_sample_settings_only(self):
        dest = os.path.join(self.work, "cd")
        status, out = self.cd_folder(dest)
        self.assertEqual(status, 0, out)
        shipped = files_under(DIST)
        self.assertEqual(files_under(dest), {name: shipped[name] for name in ("PYXET.EXE", "ENUM.DLL", "PYXET.INI")})

    def test_refuses_a_folder_that_holds_settings(self):
        for name in ("PYXET.INI", "pyxet.ini"):
            with self.subTest(name):
                dest = os.path.join(self.work, name + "-cd")
                write(dest, name, b"[Drivers]\r\nchip0=the author's own row\r\n")
                write(dest, "DRIVERS/BX/SETUP.EXE", BX_SETUP)
                before = tree_hashes(dest)
                status, out = self.cd_folder(dest)
                self.assertEqual(status, 1, out)
                self.assertIn("already holds %s; nothing changed" % name, out)
                self.assertEqual(tree_hashes(dest), before)


def run_make(*args):
    env = {k: v for k, v in os.environ.items() if k not in ("MAKEFLAGS", "MFLAGS", "MAKELEVEL")}
    done = subprocess.run(["make", "--no-print-directory", "-C", SOURCE] + list(args), capture_output=True,
                          text=True, env=env, timeout=900)
    return done.returncode, done.stdout + done.stderr


class AuthorFolder(Work):
    """An author's folder through make iso, make floppy and make dist."""

    def test_survives_the_make_commands_byte_for_byte(self):
        folder = author_folder(os.path.join(self.work, "my-cd"))
        before = tree_hashes(folder)
        for command in (["iso", "DIST=" + folder, "LABEL=MY_CD"], ["floppy", "DIST=" + folder], ["dist"]):
            with self.subTest(command[0]):
                status, out = run_make(*command)
                self.assertEqual(status, 0, out)
                self.assertEqual(tree_hashes(folder), before, "make %s changed the author's folder" % command[0])
        authors = files_under(folder)
        self.assertEqual(authors["DRIVERS/BX/SETUP.EXE"], BX_SETUP)
        on_cd = read_iso(os.path.join(SOURCE, "build", "pyxet.iso"), os.path.join(self.work, "cd"))
        self.assertEqual(on_cd, dict(authors, **{"AUTORUN.INF": AUTORUN}))
        on_floppy = read_floppy(os.path.join(SOURCE, "build", "pyxet.img"), os.path.join(self.work, "floppy"))
        self.assertEqual(on_floppy, authors)


if __name__ == "__main__":
    group = sys.argv[1] if len(sys.argv) > 1 else None
    unittest.main(argv=[sys.argv[0], "-v"] + ([group] if group else []))
