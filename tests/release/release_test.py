#!/usr/bin/env python3
"""Tests of make release and of the kit it makes.

    release_test.py GROUP

Build     makes the release of the project's working files twice, in two
          copies of them in folders of different lengths, one after the
          other, the second in another time zone and under another umask;
          the two zips must be the same bytes. It prints both SHA-256
          values, keeps the first kit for the other groups, and then shows
          that make release refuses, writing nothing, when a binary check
          fails on what it would pack.
Kit       the kept kit's contents, texts, times and version against the
          project's files.
WindowsAuthor
          unzips the kept kit into a 64-bit Wine prefix's drive C: and
          follows README.TXT's steps as written, as a CD author on Windows
          would, with one sample package and one sample board; skipped (77)
          where 64-bit Wine cannot run.

The environment names PYXET_SOURCE_DIR (the project), PYXET_RELEASE_TEST_DIR
(where the kit is kept between the groups), PYXET_WINE64 (the 64-bit Wine
loader) and PYXET_RELEASE_WINEPREFIX (a Wine prefix of these tests' own).
"""
import datetime
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

# The Wine helpers of the checker's tests.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from wine64 import prepare_prefix, run_program  # noqa: E402

SOURCE = os.environ.get("PYXET_SOURCE_DIR", "")
KEPT = os.environ.get("PYXET_RELEASE_TEST_DIR", "")
WINE64 = os.environ.get("PYXET_WINE64", "/usr/lib/wine/wine64")
WINEPREFIX = os.environ.get("PYXET_RELEASE_WINEPREFIX", "")
SAMPLES = os.path.join(SOURCE, "tools", "samples")
SKIPPED = 77


def read(path, mode="rb"):
    with open(path, mode) as f:
        return f.read()


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def version():
    return read(os.path.join(SOURCE, "VERSION"), "r").strip()


def commit_time():
    return subprocess.run(["git", "-C", SOURCE, "log", "-1", "--format=%ct"], capture_output=True, text=True,
                          check=True).stdout.strip()


def kit_name():
    return "pyxet-%s" % version()


def kept_zip():
    return os.path.join(KEPT, kit_name() + ".zip")


def make_environment(**changes):
    """The environment of a make run of its own, not the outer make's."""
    env = {k: v for k, v in os.environ.items() if k not in ("MAKEFLAGS", "MFLAGS", "MAKELEVEL")}
    env.update(changes)
    return env


def copy_working_files(destination):
    """The project's files as they are now, committed or not, without
    anything git ignores (the build folder)."""
    listed = subprocess.run(["git", "-C", SOURCE, "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                            capture_output=True, check=True).stdout.decode().split("\0")
    for relative in filter(None, listed):
        source = os.path.join(SOURCE, relative)
        if os.path.isfile(source):  # a file deleted but not yet committed is left out
            target = os.path.join(destination, relative)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copyfile(source, target)
            shutil.copymode(source, target)


def make_release(folder, env):
    return subprocess.run(["make", "-C", folder, "release"], env=env, capture_output=True, text=True,
                          timeout=1800)


def pe_time_stamp(data):
    """The TimeDateStamp of a PE file's COFF header."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<I", data, pe + 8)[0]


class Build(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="pyxet-release-")
        self.addCleanup(shutil.rmtree, self.root, True)
        self.epoch = commit_time()

    def build_copy(self, relative, env):
        folder = os.path.join(self.root, relative)
        copy_working_files(folder)
        done = make_release(folder, env)
        self.assertEqual(done.returncode, 0, "make release in %s:\n%s%s" % (folder, done.stdout, done.stderr))
        return folder

    def test_same_bytes_from_two_folders_then_refused_when_a_check_fails(self):
        env = make_environment(SOURCE_DATE_EPOCH=self.epoch)
        # Columns: the copy's folder, what else differs in its build.
        builds = [
            ("a/pyxet", {}),
            ("a-much-longer-folder-name/of/another/length/pyxet-clone", {"TZ": "JST-9", "UMASK": "077"}),
        ]
        results = []
        for relative, differences in builds:
            build_env = dict(env, **{k: v for k, v in differences.items() if k != "UMASK"})
            old_umask = os.umask(int(differences.get("UMASK", "022"), 8))
            try:
                folder = self.build_copy(relative, build_env)
            finally:
                os.umask(old_umask)
            release = os.path.join(folder, "build", "release")
            zip_bytes = read(os.path.join(release, kit_name() + ".zip"))
            sums = read(os.path.join(release, "SHA256SUMS"), "r")
            print("release: %s: SHA-256 %s" % (folder, sha256(zip_bytes)))
            results.append((folder, zip_bytes, sums))
        (first, first_zip, first_sums), (second, second_zip, second_sums) = results
        self.assertEqual(sha256(first_zip), sha256(second_zip), "the two folders' zips differ")
        self.assertEqual(first_sums, second_sums)
        self.assertEqual(first_sums, "%s  %s.zip\n" % (sha256(first_zip), kit_name()))

        os.makedirs(KEPT, exist_ok=True)
        for name in (kit_name() + ".zip", "SHA256SUMS"):
            shutil.copyfile(os.path.join(first, "build", "release", name), os.path.join(KEPT, name))
        with open(os.path.join(KEPT, "SOURCE_DATE_EPOCH"), "w") as f:
            f.write(self.epoch)

        self.refused_when_a_check_fails(first, env)

    def refused_when_a_check_fails(self, folder, env):
        """One import taken off PYXET.EXE's allow-list: the imports check
        fails on the packed program, and the earlier kit stays as it was."""
        allow_list = os.path.join(folder, "tests", "binary", "PYXET.EXE.imports")
        lines = read(allow_list, "r").splitlines(True)
        dropped = next(i for i, line in enumerate(lines) if line.startswith("KERNEL32.DLL!"))
        with open(allow_list, "w") as f:
            f.writelines(lines[:dropped] + lines[dropped + 1:])
        release = os.path.join(folder, "build", "release")
        before = {name: (read(os.path.join(release, name)), os.stat(os.path.join(release, name)).st_mtime_ns)
                  for name in os.listdir(release)}
        done = make_release(folder, env)
        self.assertNotEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertIn("imports %s, which is not on the allow-list" % lines[dropped].strip(), done.stderr)
        self.assertIn("nothing written into", done.stderr)
        after = {name: (read(os.path.join(release, name)), os.stat(os.path.join(release, name)).st_mtime_ns)
                 for name in os.listdir(release)}
        self.assertEqual(after, before, "a refused make release changed %s" % release)


# What the kit holds. Columns: the name under the top folder, the project
# file it is a copy of (None: checked otherwise), whether it is a text given
# CR LF line ends, its permissions in the zip (the linker's output keeps its
# executable bit, which strip-nondeterminism makes 755 whatever the umask).
KIT = [
    ("CD/PYXET.EXE", None, False, 0o755),
    ("CD/ENUM.DLL", None, False, 0o755),
    ("CD/PYXET.INI", "dist/PYXET.INI", False, 0o644),
    ("TOOLS/pyxet-check.exe", None, False, 0o755),
    ("TOOLS/pci.ids", None, False, 0o644),
    ("README.TXT", None, True, 0o644),
    ("LICENSE.TXT", "LICENSE", True, 0o644),
    ("THIRD-PARTY.TXT", "THIRD-PARTY.TXT", True, 0o644),
    ("CHANGES.TXT", "CHANGES", True, 0o644),
]


def crlf(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


class Kit(unittest.TestCase):
    def setUp(self):
        self.zip = zipfile.ZipFile(kept_zip())
        self.addCleanup(self.zip.close)
        self.top = kit_name() + "/"
        self.epoch = int(read(os.path.join(KEPT, "SOURCE_DATE_EPOCH"), "r"))

    def member(self, name):
        return self.zip.read(self.top + name)

    def test_holds_exactly_the_kit_in_one_top_folder(self):
        self.assertEqual(sorted(self.zip.namelist()), sorted(self.top + name for name, _, _, _ in KIT))
        self.assertEqual(self.zip.namelist(), sorted(self.zip.namelist()), "members in byte order")
        self.assertEqual(read(os.path.join(KEPT, "SHA256SUMS"), "r"),
                         "%s  %s.zip\n" % (sha256(read(kept_zip())), kit_name()))

    def test_copies_and_texts(self):
        for name, copy_of, is_text, _ in KIT:
            with self.subTest(name=name):
                data = self.member(name)
                if copy_of:
                    expected = read(os.path.join(SOURCE, copy_of))
                    self.assertEqual(data, crlf(expected) if is_text else expected)
                if is_text:
                    self.assertNotIn(b"\n", data.replace(b"\r\n", b""), "a line end that is not CR LF")
                    self.assertTrue(data.endswith(b"\r\n"))
                    data.decode("ascii")

    def test_every_member_has_the_same_time_and_permissions(self):
        when = datetime.datetime.fromtimestamp(self.epoch, datetime.timezone.utc)
        # A zip holds local times to two seconds, here written in UTC.
        expected = (when.year, when.month, when.day, when.hour, when.minute, when.second // 2 * 2)
        for name, _, _, mode in KIT:
            with self.subTest(name=name):
                info = self.zip.getinfo(self.top + name)
                self.assertEqual(info.date_time, expected)
                self.assertEqual(oct(info.external_attr >> 16), oct(0o100000 | mode))
                self.assertEqual(info.extra, b"")

    def test_binaries_are_stamped_with_the_commit_time(self):
        for name in ("CD/PYXET.EXE", "CD/ENUM.DLL", "TOOLS/pyxet-check.exe"):
            with self.subTest(name=name):
                self.assertEqual(pe_time_stamp(self.member(name)), self.epoch)

    def test_the_makefile_takes_the_commit_time_by_default(self):
        env = make_environment()
        env.pop("SOURCE_DATE_EPOCH", None)
        shown = subprocess.run(["make", "-s", "-C", SOURCE, "--eval", "show-epoch: ; @echo $(SOURCE_DATE_EPOCH)",
                                "show-epoch"], env=env, capture_output=True, text=True, check=True).stdout.strip()
        self.assertEqual(shown, commit_time())

    def test_readme_for_a_windows_author(self):
        text = self.member("README.TXT").decode("ascii")
        lines = text.split("\r\n")
        self.assertEqual([line for line in lines if len(line) > 80], [], "lines over 80 columns")
        self.assertTrue(lines[0].startswith("Pyxet %s" % version()), lines[0])
        self.assertNotIn("@VERSION@", text)
        for words in ("8.3 names", "--propose", "--write", "docs/driver-cd.md", "C:\\%s" % kit_name()):
            self.assertIn(words, text)

    def test_changes_begin_with_this_version(self):
        versions = re.findall(r"^(\d+\.\d+\.\d+)\r$", self.member("CHANGES.TXT").decode("ascii"), re.M)
        self.assertEqual(versions[:1], [version()])
        self.assertEqual(len(versions), len(set(versions)), "a version listed twice")

    def test_third_party_notices_quote_the_shipped_pci_ids(self):
        """The licence lines of the packed pci.ids's own header, word for word."""
        header = self.member("TOOLS/pci.ids").decode("utf-8").split("\n")
        start = next(i for i, line in enumerate(header) if "can be distributed under" in line)
        quoted = " ".join(line.lstrip("#").strip() for line in header[start:start + 2])
        notices = " ".join(self.member("THIRD-PARTY.TXT").decode("ascii").split())
        self.assertIn(" ".join(quoted.split()), notices)
        for holder in ("GCC RUNTIME LIBRARY EXCEPTION", "the mingw-w64 project", "Lucent Technologies",
                       "Keith Marshall", "winpthreads"):
            self.assertIn(holder, notices)


# 64-bit Wine, in a prefix of these tests' own.
def wine_environment():
    env = make_environment(WINEPREFIX=WINEPREFIX, WINEARCH="win64", WINELOADER=WINE64, WINEDEBUG="-all",
                           WINEDLLOVERRIDES="mscoree,mshtml=")
    env.pop("PYXET_PCI_IDS", None)  # the checker must find the pci.ids beside it, as on Windows
    return env


def prepare_wine():
    """Makes the prefix once; returns why 64-bit Wine cannot run here, or None."""
    return prepare_prefix(WINE64, WINEPREFIX, wine_environment())


def readme_steps(text):
    """README.TXT's numbered steps under "Making a driver CD": each one's
    prose and its commands, the lines indented by exactly five blanks (a
    file's lines, such as AUTORUN.INF's, are indented by more)."""
    section = text[text.index("Making a driver CD\r\n"):]
    section = section[:section.index("\r\nMore\r\n")]
    found = []
    for line in section.split("\r\n"):
        if re.match(r"\d+\. ", line):
            found.append({"prose": line, "commands": []})
        elif found and re.match(r" {5}\S", line):
            found[-1]["commands"].append(line.strip())
        elif found:
            found[-1]["prose"] += " " + line.strip()
    return found


# The sample package and board the test's author has: the 440GX's.
PACKAGE = "INTELGX"
BOARD = "intel-440gx.lspci"


class WindowsAuthor(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.drive_c = os.path.join(WINEPREFIX, "drive_c")
        for left in ("MYCD", kit_name(), "board.txt"):
            path = os.path.join(cls.drive_c, left)
            shutil.rmtree(path, True) if os.path.isdir(path) else None
            if os.path.isfile(path):
                os.remove(path)

    def host_path(self, windows_path):
        self.assertTrue(windows_path.upper().startswith("C:\\"), windows_path)
        return os.path.join(self.drive_c, *windows_path[3:].split("\\"))

    # What README.TXT asks the author to do by hand, by the words that ask it.
    def unzip_the_kit(self):
        with zipfile.ZipFile(kept_zip()) as kit:
            kit.extractall(self.drive_c)

    def put_the_package_in(self):
        shutil.copytree(os.path.join(SAMPLES, "DRIVERS", PACKAGE), self.host_path("C:\\MYCD\\DRIVERS\\" + PACKAGE))

    def delete_the_sample_rows(self):
        path = self.host_path("C:\\MYCD\\PYXET.INI")
        lines = read(path).split(b"\r\n")
        kept = [line for line in lines if not re.match(rb"chip[0-4]=", line)]
        self.assertEqual(len(lines) - len(kept), 5, "the five sample rows")
        with open(path, "wb") as f:
            f.write(b"\r\n".join(kept))
        self.authors = self.tree()

    def save_the_board(self):
        shutil.copyfile(os.path.join(SAMPLES, BOARD), self.host_path("C:\\board.txt"))

    def make_the_image(self):
        """The author's tool only reads the folder: what it would read."""
        self.final = self.tree()

    HANDS = [
        ("Unzip the kit into C:\\", "unzip_the_kit"),
        ("Put each vendor's driver package into a folder of its own", "put_the_package_in"),
        ("delete the sample rows", "delete_the_sample_rows"),
        ("Save a listing of a board", "save_the_board"),
        ("Make the image of C:\\MYCD with your own CD or floppy tool", "make_the_image"),
    ]

    def tree(self):
        folder = self.host_path("C:\\MYCD")
        found = {}
        for parent, _, files in os.walk(folder):
            for name in files:
                path = os.path.join(parent, name)
                found[os.path.relpath(path, folder)] = read(path)
        return found

    def type_command(self, line):
        """One line typed into cmd.exe in the folder it is in."""
        words = line.split()
        if words[0].lower() == "cd":
            self.folder = self.host_path(words[1])
            self.assertTrue(os.path.isdir(self.folder), line)
            return
        status, out, err = run_program([WINE64, "cmd", "/c"] + words, wine_environment(), cwd=self.folder,
                                       timeout=300)
        self.assertEqual(status, 0, "%s\n%s%s" % (line, out, err[-2000:]))
        self.outputs.append((line, out))

    def test_follows_readme_txt(self):
        reason = prepare_wine()
        if reason:
            print("skipped: " + reason)
            sys.exit(SKIPPED)
        with zipfile.ZipFile(kept_zip()) as kit:
            readme = kit.read(kit_name() + "/README.TXT").decode("ascii")
        self.folder = self.drive_c
        self.outputs = []
        found = readme_steps(readme)
        self.assertGreaterEqual(len(found), 8)
        for number, step in enumerate(found, 1):
            with self.subTest(step=number):
                self.assertTrue(step["prose"].startswith("%d. " % number), step["prose"])
                hands = [action for words, action in self.HANDS if words in step["prose"]]
                self.assertTrue(hands or step["commands"], "step %d asks nothing this test can do" % number)
                for command in step["commands"]:
                    self.type_command(command)
                for action in hands:
                    getattr(self, action)()

        # The author's files as they were, but for the one row written.
        changed = {name for name in self.final if self.final[name] != self.authors.get(name)}
        self.assertEqual(changed, {"PYXET.INI"})
        self.assertEqual(set(self.final), set(self.authors))
        added = self.final["PYXET.INI"][len(self.authors["PYXET.INI"]):]
        self.assertTrue(self.final["PYXET.INI"].startswith(self.authors["PYXET.INI"]))
        self.assertRegex(added, rb"^chip0=[^,\r\n]+,8086,71A0,71A2,3,DRIVERS\\INTELGX\\SETUP\.EXE,1\r\n$")

        # What the three runs of the checker said. Columns: the options of
        # the command line (its words between the program and the folder),
        # what its output must hold.
        said = [
            (["--propose", "--lspci", "C:\\board.txt", "--write"], r"\r\n  written as chip0\r\n"),
            ([], r"\r\n0 errors, "),
            (["--lspci", "C:\\board.txt", "--windows", "98"],
             r'detected: chip0 "[^"]+"; its driver \(flags 3\) supports Windows 98'),
        ]
        for options, expected in said:
            with self.subTest(options=options):
                outputs = [out for line, out in self.outputs
                           if line.split() == ["pyxet-check.exe"] + options + ["C:\\MYCD"]]
                self.assertEqual(len(outputs), 1, "README.TXT runs pyxet-check.exe %s once" % " ".join(options))
                self.assertRegex(outputs[0], expected)

        # The kit's checker names the version that VERSION holds.
        checker = self.host_path("C:\\%s\\TOOLS\\pyxet-check.exe" % kit_name())
        status, out, err = run_program([WINE64, checker, "--version"], wine_environment(), timeout=300)
        self.assertEqual((status, out), (0, "pyxet-check %s\r\n" % version()), err[-2000:])


if __name__ == "__main__":
    group = sys.argv[1] if len(sys.argv) > 1 else ""
    unittest.main(argv=[sys.argv[0], "-v", group] if group else [sys.argv[0], "-v"])
