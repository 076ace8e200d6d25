#!/usr/bin/env python3
"""docs/driver-cd.md's "On Linux", followed word for word: each command
block of its numbered steps runs as written, in the project's folder, with
HOME an empty folder; the steps that ask the author to do something by hand
(put the packages in, save a board's listing, attach the image) are done by
this script as the doc says. Both images are then read back.

    readme_test.py

The environment names PYXET_SOURCE_DIR (the project) and PYXET_SAMPLES
(tools/samples).
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from images_test import AUTORUN, files_under, read_floppy, read_iso, tree_hashes, write  # noqa: E402

SOURCE = os.environ.get("PYXET_SOURCE_DIR", "")
SAMPLES = os.environ.get("PYXET_SAMPLES", "")
DOC = os.path.join("docs", "driver-cd.md")
SECTION = "## On Linux"
BX_SETUP = b"MZ the author's 440BX package" + bytes(range(256)) * 4
MVP3_SETUP = b"MZ the author's VIA MVP3 package" + bytes(range(255, -1, -1)) * 4
ROWS = (b"chip0=My own 440BX board,8086,7190,7192,3,DRIVERS\\BX\\SETUP.EXE,1\r\n"
        b"chip1=My own MVP3 board,1106,0598,0,3,DRIVERS\\MVP3\\SETUP.EXE,1\r\n")


def steps():
    """The numbered steps of the section: each one's prose and its commands."""
    with open(os.path.join(SOURCE, DOC), encoding="utf-8") as f:
        text = f.read()
    section = text[text.index(SECTION + "\n"):]
    section = section[:section.index("\n## ", len(SECTION))]
    found = []
    for line in section.splitlines():
        if re.match(r"\d+\. ", line):
            found.append({"prose": line, "commands": []})
        elif found and line.startswith(" " * 7) and line.strip():
            found[-1]["commands"].append(line.strip())
        elif found:
            found[-1]["prose"] += " " + line.strip()
    return found


class Readme(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="pyxet-readme-")
        self.addCleanup(shutil.rmtree, self.home, True)
        self.folder = os.path.join(self.home, "pyxet-cd")
        self.outputs = []

    def shell(self, command):
        env = {k: v for k, v in os.environ.items() if k not in ("MAKEFLAGS", "MFLAGS", "MAKELEVEL")}
        env["HOME"] = self.home
        done = subprocess.run(["sh", "-c", command], cwd=SOURCE, env=env, capture_output=True, text=True,
                              timeout=900)
        self.assertEqual(done.returncode, 0, "%s\n%s%s" % (command, done.stdout, done.stderr))
        self.outputs.append(done.stdout)

    # What the doc asks the author to do by hand, by the words that ask it.
    def put_packages_in(self):
        write(self.folder, "DRIVERS/BX/SETUP.EXE", BX_SETUP)
        write(self.folder, "DRIVERS/MVP3/SETUP.EXE", MVP3_SETUP)
        path = os.path.join(self.folder, "PYXET.INI")
        with open(path, "rb") as f:
            settings = f.read()
        write(self.folder, "PYXET.INI", settings[:settings.index(b"chip0=")] + ROWS)
        self.authors = tree_hashes(self.folder)

    def save_the_boards(self):
        shutil.copy(os.path.join(SAMPLES, "intel-440bx.lspci"), os.path.join(self.home, "board.txt"))
        shutil.copy(os.path.join(SAMPLES, "via-mvp3.reg"), os.path.join(self.home, "board.reg"))

    def attach_the_images(self):
        files = files_under(self.folder)
        self.assertEqual(tree_hashes(self.folder), self.authors, "the author's folder is as the author left it")
        cd = read_iso(os.path.join(SOURCE, "build", "pyxet.iso"), os.path.join(self.home, "cd"))
        self.assertEqual(cd, dict(files, **{"AUTORUN.INF": AUTORUN}))
        floppy = read_floppy(os.path.join(SOURCE, "build", "pyxet.img"), os.path.join(self.home, "floppy"))
        self.assertEqual(floppy, files)
        self.attached = True

    HANDS = [
        ("Put each vendor's driver package into its own folder under `$HOME/pyxet-cd/DRIVERS/`", "put_packages_in"),
        ("save `lspci -nn` as `$HOME/board.txt`", "save_the_boards"),
        ("Attach the image to the emulated machine", "attach_the_images"),
    ]

    def test_follows_the_doc(self):
        self.assertEqual(os.listdir(self.home), [])
        self.attached = False
        found = steps()
        self.assertGreaterEqual(len(found), 5)
        for number, step in enumerate(found, 1):
            with self.subTest(step=number):
                self.assertTrue(step["prose"].startswith("%d. " % number), step["prose"])
                hands = [action for words, action in self.HANDS if words in step["prose"]]
                self.assertTrue(hands or step["commands"], "step %d asks nothing this test can do" % number)
                for action in hands:
                    getattr(self, action)()
                for command in step["commands"]:
                    self.shell(command)
        self.assertTrue(self.attached, "the steps end with the images attached")
        whatif = "\n".join(self.outputs)
        self.assertIn('detected: chip0 "My own 440BX board"', whatif)
        self.assertIn('detected: chip1 "My own MVP3 board"', whatif)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
