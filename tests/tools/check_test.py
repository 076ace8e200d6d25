#!/usr/bin/env python3
"""Tests of pyxet-check, run as a program as its users run it.

    check_test.py GROUP

GROUP is one of the test classes below. The environment names the programs
and files: PYXET_CHECK (the checker), PYXET_CHECK_SANITIZED (its build under
AddressSanitizer and UndefinedBehaviorSanitizer), PYXET_DIST_INI (the shipped
settings file), PYXET_SAMPLES (tools/samples) and TEST_PCI_IDS (a small
pci.ids for these tests).

With PYXET_CHECK_WINDOWS (pyxet-check.exe), PYXET_WINE64 (the 64-bit Wine
loader) and PYXET_CHECK_WINEPREFIX (a prefix of these tests' own), every run
of the checker is made a second time by pyxet-check.exe under 64-bit Wine,
given the same paths in their Windows spelling (Z:\...), and must give the
same exit status and the same output: the JSON byte for byte, the text with
CR LF line ends, once the paths are spelled back. Where 64-bit Wine cannot
run, the group exits 77 (skipped).
"""
import difflib
import fcntl
import itertools
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import unittest

CHECK = os.environ.get("PYXET_CHECK", "")
SANITIZED = os.environ.get("PYXET_CHECK_SANITIZED", "")
DIST_INI = os.environ.get("PYXET_DIST_INI", "")
SAMPLES = os.environ.get("PYXET_SAMPLES", "")
TEST_PCI_IDS = os.environ.get("TEST_PCI_IDS", "")
WINDOWS_CHECK = os.environ.get("PYXET_CHECK_WINDOWS", "")
WINE64 = os.environ.get("PYXET_WINE64", "/usr/lib/wine/wine64")
WINEPREFIX = os.environ.get("PYXET_CHECK_WINEPREFIX", "")
SKIPPED = 77

TEXT_KEYS = ["MainWinTitle", "Win95Check", "Win95CheckCaption", "PCIWarningDlg", "AGPOnly",
             "AGPOnlyCaption", "DlgDetect", "Welcome", "ChipOnBoard", "AskInstall", "InstallYes",
             "InstallNo", "OK", "Exit", "DlgSelect", "SelectOne", "Install", "NotSupported",
             "NotSupportedMsg"]
BX_ROW = r"Intel 440BX,8086,7190,0,3,DRIVERS\BX\SETUP.EXE,1"


def texts(section="1", skip=(), **values):
    """A text section with every key, PCIWarningDlg=0 unless given."""
    lines = ["[%s]" % section]
    for key in TEXT_KEYS:
        if key in skip:
            continue
        value = values.get(key, "0" if key == "PCIWarningDlg" else key + " text")
        lines.append("%s=%s" % (key, value))
    return "\r\n".join(lines) + "\r\n"


def drivers(*rows):
    return "[Drivers]\r\n" + "".join("chip%d=%s\r\n" % (i, row) for i, row in enumerate(rows))


def run_program(command, env):
    """Exit status, output and messages of a run. They are caught in files,
    not pipes: the wineserver and services that a Wine run may start inherit
    its output, and a pipe would stay open until they end."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        status = subprocess.run(command, stdout=out, stderr=err, env=env, timeout=120).returncode
        out.seek(0)
        err.seek(0)
        return status, out.read().decode("utf-8", "replace"), err.read().decode("utf-8", "replace")


def run(args, program=None, pci_ids=None):
    env = dict(os.environ, PYXET_PCI_IDS=pci_ids if pci_ids is not None else TEST_PCI_IDS)
    native = run_program([program or CHECK] + args, env)
    if WINDOWS_CHECK and (program or CHECK) == CHECK:
        compare_with_windows(args, env, native)
    return native


def windows_spelling(path):
    """A host path as a Windows program under Wine names it: on drive Z:."""
    return "Z:" + path.replace("/", "\\") if path.startswith("/") else path


def unix_spelling(text, paths):
    """text with each of the Windows paths, and whatever path the checker
    joined to one, spelled as on the host again; in JSON and in plain text."""
    for path in sorted(paths, key=len, reverse=True):
        windows = windows_spelling(path)
        for separator in ("\\\\", "\\"):
            written = windows.replace("\\", separator)
            pattern = re.escape(written) + "((?:" + re.escape(separator) + r"[^\\/\"\s:]+)*)"
            text = re.sub(pattern, lambda m: path + m.group(1).replace(separator, "/"), text)
    return text


def checker_lines(stderr):
    """The checker's own lines of its standard error, without Wine's."""
    return [line for line in stderr.splitlines() if line.startswith(("pyxet-check:", "usage:"))]


def compare_with_windows(args, env, native):
    """Runs pyxet-check.exe under Wine as the native checker was run, and
    fails unless it exits and prints the same."""
    paths = [a for a in args if a.startswith("/")] + [env["PYXET_PCI_IDS"]]
    windows_env = dict(env, PYXET_PCI_IDS=windows_spelling(env["PYXET_PCI_IDS"]), **wine_environment())
    status, out, err = run_program([WINE64, WINDOWS_CHECK] + [windows_spelling(a) for a in args], windows_env)
    if "--json" not in args:
        out = out.replace("\r\n", "\n")
    out = unix_spelling(out, paths)
    err = unix_spelling(err.replace("\r\n", "\n"), paths)
    if (status, out, checker_lines(err)) != (native[0], native[1], checker_lines(native[2])):
        diff = difflib.unified_diff(native[1].splitlines(True), out.splitlines(True), "pyxet-check", "pyxet-check.exe")
        raise AssertionError("pyxet-check.exe under Wine differs from pyxet-check, run with %r: exit status %d "
                             "against %d, messages %r against %r\n%s" % (
                                 args, status, native[0], checker_lines(err), checker_lines(native[2]),
                                 "".join(diff)))


def wine_environment():
    return {"WINEPREFIX": WINEPREFIX, "WINEARCH": "win64", "WINELOADER": WINE64, "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml="}


def prepare_wine():
    """Makes the tests' Wine prefix once, however many groups start at once;
    returns why 64-bit Wine cannot run here, or None."""
    env = dict(os.environ, **wine_environment())
    try:
        status, _, err = run_program([WINE64, "--version"], env)
    except (OSError, subprocess.TimeoutExpired) as e:
        return "%s cannot run here: %s" % (WINE64, e)
    if status != 0:
        return "%s cannot run here: %s" % (WINE64, err.strip())
    os.makedirs(os.path.dirname(WINEPREFIX), exist_ok=True)
    with open(WINEPREFIX + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(WINEPREFIX, "system.reg")):
            status, _, err = run_program([WINE64, "wineboot", "-i"], env)
            if status != 0:
                return "wineboot cannot make the 64-bit prefix %s: %s" % (WINEPREFIX, err.strip()[-500:])
    return None


class Folder:
    """A distributable folder in a temporary directory."""

    def __init__(self, settings=None, files=(r"DRIVERS\BX\SETUP.EXE",), name="PYXET.INI", prefix="pyxet-check-"):
        self.path = tempfile.mkdtemp(prefix=prefix)
        if settings is not None:
            self.write(name, settings.encode("cp1252") if isinstance(settings, str) else settings)
        for file in files:
            self.write(file, b"MZ")

    def write(self, relative, data):
        path = os.path.join(self.path, *relative.split("\\"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def check(self, *options, pci_ids=None):
        status, out, err = run(list(options) + ["--json", self.path], pci_ids=pci_ids)
        if status == 2:
            raise AssertionError("pyxet-check could not run: " + err)
        return status, json.loads(out)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        shutil.rmtree(self.path, ignore_errors=True)


def kinds(findings):
    return sorted((f["kind"], f["key"]) for f in findings)


# Each case: a description, the settings file, the files of the folder, and
# the findings expected, as (kind, key) pairs; nothing else may be found.
ERROR_CASES = [
    ("malformed: no restart field", texts() + drivers("Sample,8086,7190,0,3,DRIVERS\\BX\\SETUP.EXE"),
     [("malformed", "chip0")], "restart"),
    ("malformed: only separators", texts() + drivers(",,,,"), [("malformed", "chip0")], "no name"),
    ("malformed: a blank is a name", texts() + drivers(",, ,"), [("malformed", "chip0")], "no vendor"),
    ("malformed: no vendor", texts() + drivers("Sample"), [("malformed", "chip0")], "vendor"),
    ("malformed: second row lacks device2",
     texts() + drivers(BX_ROW, "Other,1106,0598"), [("malformed", "chip1")], "device2"),
    ("malformed: command over 127 characters",
     texts() + drivers("Long,8086,7190,0,3,DRIVERS\\BX\\" + "A" * 120 + ".EXE,1"),
     [("malformed", "chip0")], "127"),
    ("missing-setup: package folder absent",
     texts() + drivers("Sample,8086,7190,0,3,DRIVERS\\LX\\SETUP.EXE /quiet,1"),
     [("missing-setup", "chip0")], r"DRIVERS\LX\SETUP.EXE"),
    ("missing-setup: program without extension gets .EXE",
     texts() + drivers("Sample,8086,7190,0,3,DRIVERS\\BX\\INSTALL,1"),
     [("missing-setup", "chip0")], r"DRIVERS\BX\INSTALL.EXE"),
    ("missing-setup: absolute command", texts() + drivers("Sample,8086,7190,0,3,E:\\DRV\\SETUP.EXE,1"),
     [("missing-setup", "chip0")], "outside the folder"),
    ("no-rows: no [Drivers]", texts(), [("no-rows", "Drivers")], "chip0"),
    ("no-rows: chip0 empty", texts() + "[Drivers]\r\nchip0=\r\n", [("no-rows", "Drivers")], "chip0"),
]

WARNING_CASES = [
    ("name-cut", texts() + drivers("Intel 440BX/ZX AGPset host bridg,8086,7190,0,3,DRIVERS\\BX\\SETUP.EXE,1"),
     [("name-cut", "chip0")], '"Intel 440BX/ZX AGPset host brid"'),
    ("key-gap", texts() + "[Drivers]\r\nchip0=%s\r\nchip2=%s\r\n" % (BX_ROW, BX_ROW.replace("7190", "7192")),
     [("key-gap", "chip2")], "chip1 is missing"),
    ("key-gap: leading zero", texts() + "[Drivers]\r\nchip0=%s\r\nchip01=%s\r\n" % (BX_ROW, BX_ROW),
     [("key-gap", "chip01")], "chip1"),
    ("too-many-rows",
     texts() + drivers(*["Row %d,8086,%04X,0,3,DRIVERS\\BX\\SETUP.EXE,1" % (i, 0x7100 + i) for i in range(22)]),
     [("too-many-rows", "chip20")] + [("unknown-pci-id", "chip%d" % i) for i in range(20)], "chip21"),
    ("duplicate-device", texts() + drivers(BX_ROW, "Again,8086,7192,7190,3,DRIVERS\\BX\\SETUP.EXE,1"),
     [("duplicate-device", "chip1")], "claimed by chip0"),
    ("duplicate-device: whole row shadowed",
     texts() + drivers(BX_ROW, "Again,8086,7190,0,3,DRIVERS\\BX\\SETUP.EXE,1"),
     [("duplicate-device", "chip1"), ("duplicate-device", "chip1")], "never detected"),
    ("never-detected", texts() + drivers("Generic AGP,8086,0,0,3,DRIVERS\\BX\\SETUP.EXE,1"),
     [("never-detected", "chip0")], "both device codes are 0"),
    ("bad-flags: no Windows bit", texts() + drivers(BX_ROW.replace(",3,", ",0,")),
     [("bad-flags", "chip0")], "refused on every Windows"),
    ("bad-flags: other bits", texts() + drivers(BX_ROW.replace(",3,", ",7,")), [("bad-flags", "chip0")], "0007"),
    ("bad-restart", texts() + drivers(BX_ROW[:-1] + "2"), [("bad-restart", "chip0")], "0002"),
    ("not-hex: letter O for zero", texts() + drivers(BX_ROW.replace("8086", "8O86")),
     [("not-hex", "chip0"), ("unknown-pci-id", "chip0")], "reads as 0008"),
    ("not-hex: five digits", texts() + drivers(BX_ROW.replace("7190", "17190")),
     [("not-hex", "chip0")], "last 4"),
    ("not-hex: no digits", texts() + drivers(BX_ROW[:-1] + "yes"), [("not-hex", "chip0")], "reads as 0000"),
    ("text-cut", texts(Welcome="W" * 300) + drivers(BX_ROW), [("text-cut", "1")], "300 characters"),
    ("text-cut: a row", texts() + drivers(BX_ROW + "," + "x" * 260), [("text-cut", "chip0")], "255"),
    ("format-refused: string conversion", texts(Win95Check="Build %s") + drivers(BX_ROW),
     [("format-refused", "1")], "unformatted"),
    ("format-refused: in a language", texts() + texts("49", Win95Check="Build %d of %d") + drivers(BX_ROW),
     [("format-refused", "49")], "%d of %d"),
    ("missing-text", texts(skip=("Exit",)) + drivers(BX_ROW), [("missing-text", "1")], "Exit"),
    ("missing-text: empty value", texts(Welcome="") + drivers(BX_ROW), [("missing-text", "1")], "Welcome"),
    ("not-8.3: long folder", texts() + drivers(r"Sample,8086,7190,0,3,DRIVERS\INTEL440BX\SETUP.EXE,1"),
     [("not-8.3", "chip0")], '"INTEL440BX"'),
    ("not-8.3: folder with a dot", texts() + drivers(r"Sample,8086,7190,0,3,DRIVERS\BX.V2\SETUP.EXE,1"),
     [("not-8.3", "chip0")], "folder name"),
    ("not-8.3: long file name", texts() + drivers(r"Sample,8086,7190,0,3,DRIVERS\BX\SETUP-98.EXE,1"),
     [("not-8.3", "chip0")], '"SETUP-98.EXE"'),
    ("unknown-pci-id: vendor", texts() + drivers(BX_ROW.replace("8086", "ABCD")),
     [("unknown-pci-id", "chip0")], "vendor ABCD"),
    ("unknown-pci-id: device", texts() + drivers(BX_ROW.replace(",0,3", ",7191,3")),
     [("unknown-pci-id", "chip0")], "8086:7191"),
]

# The files each case's folder holds beyond DRIVERS\BX\SETUP.EXE.
EXTRA_FILES = {
    "not-8.3: long folder": [r"DRIVERS\INTEL440BX\SETUP.EXE"],
    "not-8.3: folder with a dot": [r"DRIVERS\BX.V2\SETUP.EXE"],
    "not-8.3: long file name": [r"DRIVERS\BX\SETUP-98.EXE"],
}


class Findings(unittest.TestCase):
    """Every error and warning kind, each with a small settings file."""

    def expect(self, cases, member, status):
        for name, settings, expected, hint in cases:
            with self.subTest(name), Folder(settings, [r"DRIVERS\BX\SETUP.EXE"] + EXTRA_FILES.get(name, [])) as f:
                got_status, report = f.check()
                found = report["errors"] + report["warnings"]
                self.assertEqual(kinds(found), sorted(expected), json.dumps(found, indent=1))
                first = [x for x in found if (x["kind"], x["key"]) == expected[0]]
                self.assertTrue(any(hint in x["message"] for x in first), json.dumps(first, indent=1))
                self.assertEqual(got_status, status)
                kinds_in_member = {x["kind"] for x in report[member]}
                self.assertIn(expected[0][0], kinds_in_member)

    def test_errors(self):
        self.expect(ERROR_CASES, "errors", 1)

    def test_warnings(self):
        self.expect(WARNING_CASES, "warnings", 0)

    def test_malformed_names_the_users_box(self):
        with Folder(texts() + drivers("Sample,8086")) as f:
            _, report = f.check()
            self.assertIn('"Cannot open initial file"', report["errors"][0]["message"])

    def test_limits_themselves_are_no_findings(self):
        name = "Intel 440BX/ZX AGPset host brid"
        command = "DRIVERS\\BX\\SETUP.EXE /" + "q" * (127 - 22)
        settings = texts(Welcome="W" * 255) + drivers("%s,8086,7190,0,3,%s,1" % (name, command))
        with Folder(settings) as f:
            status, report = f.check()
            self.assertEqual((status, report["errors"], report["warnings"]), (0, [], []))
            self.assertEqual((report["rows"][0]["name"], report["rows"][0]["command"]), (name, command))

    def test_no_settings_file(self):
        with Folder(None) as f:
            status, report = f.check()
            self.assertEqual(status, 1)
            self.assertEqual(kinds(report["errors"]), [("no-settings", "PYXET.INI")])

    def test_settings_file_found_without_regard_to_case(self):
        with Folder(texts() + drivers(BX_ROW), name="pyxet.ini") as f:
            status, report = f.check()
            self.assertEqual((status, report["errors"], report["warnings"]), (0, [], []))

    def test_setup_found_without_regard_to_case(self):
        with Folder(texts() + drivers(BX_ROW), files=[r"drivers\Bx\setup.exe"]) as f:
            self.assertEqual(f.check()[1]["errors"], [])

    def test_without_pci_ids_no_codes_are_unknown(self):
        with Folder(texts() + drivers(BX_ROW.replace("8086", "ABCD"))) as f:
            self.assertEqual(f.check(pci_ids="/nonexistent/pci.ids")[1]["warnings"], [])

    def test_later_rows_still_checked_after_a_malformed_one(self):
        with Folder(texts() + drivers("Broken,8086", BX_ROW.replace("\\BX\\", "\\NONE\\"))) as f:
            _, report = f.check()
            self.assertEqual(kinds(report["errors"]), [("malformed", "chip0"), ("missing-setup", "chip1")])
            self.assertEqual(report["rows"], [], "the program loads no row before the malformed one")


class Output(unittest.TestCase):
    """The shipped settings file, the JSON members, the plain output."""

    def dist_folder(self):
        folder = Folder(open(DIST_INI, "rb").read(), files=[])
        for package in ["BX", "LX", "MVP3", "APOLLO", "ALADDIN"]:
            folder.write("DRIVERS\\%s\\SETUP.EXE" % package, b"MZ")
        return folder

    def test_shipped_settings_check_clean(self):
        with self.dist_folder() as f:
            status, out, err = run([f.path], pci_ids="/usr/share/misc/pci.ids")
            self.assertEqual(status, 0, out + err)
            self.assertTrue(out.endswith("0 errors, 0 warnings\n"), out)

    def test_json_members(self):
        with self.dist_folder() as f:
            _, report = f.check()
            for member in ["rows", "errors", "warnings", "languages"]:
                self.assertIn(member, report)
            self.assertNotIn("whatif", report)
            self.assertEqual(report["rows"][0], {
                "key": "chip0", "name": "Intel 440BX/ZX", "vendor": "8086", "devices": ["7190", "7192"],
                "flags": 3, "command": "DRIVERS\\BX\\SETUP.EXE", "restart": 1})
            self.assertEqual(report["rows"][1]["devices"], ["7180", "0000"])
            self.assertEqual(report["rows"][4]["vendor"], "10B9")
            self.assertEqual(set(report["languages"]), {"1", "49", "33", "34"})
            self.assertEqual(report["languages"]["1"], {"missing": []})
            self.assertEqual(report["languages"]["49"], {"missing": ["MainWinTitle", "PCIWarningDlg"]})

    def test_plain_output_names_the_devices_as_lspci(self):
        if not os.path.exists("/usr/share/misc/pci.ids"):
            self.skipTest("pci.ids is not installed")
        with self.dist_folder() as f:
            _, out, _ = run([f.path], pci_ids="/usr/share/misc/pci.ids")
            self.assertIn("8086:7190 Intel Corporation 440BX/ZX/DX - 82443BX/ZX/DX Host bridge", out)
            self.assertIn("1106:0598 VIA Technologies, Inc. VT82C598 [Apollo MVP3]", out)

    def test_plain_output_one_line_per_finding_and_a_summary(self):
        with Folder(texts(skip=("Exit",)) + drivers("Broken,8086")) as f:
            status, out, _ = run([f.path])
            self.assertEqual(status, 1)
            lines = out.splitlines()
            self.assertTrue(any(l.startswith("error    chip0    malformed: ") for l in lines), out)
            self.assertTrue(any(l.startswith("warning  1        missing-text: ") for l in lines), out)
            self.assertEqual(lines[-1], "1 error, 1 warning")

    def test_texts_in_code_page_1252_come_out_as_utf8(self):
        with Folder(texts() + texts("49", Exit="&Beenden", Win95Check="Fr\xfche %s") + drivers(BX_ROW)) as f:
            _, report = f.check()
            self.assertIn("Fr\u00fche %s", report["warnings"][0]["message"])

    def test_paths_with_letters_beyond_ascii(self):
        with Folder(texts() + drivers(BX_ROW), prefix="pyxet-check-Caf\u00e9-") as f:
            board = f.write("Plat\u00e9.txt", "00:00.0 0600: 8086:7190\n".encode())
            status, report = f.check("--lspci", board)
            self.assertEqual((status, report["settings"], report["whatif"]["board"]),
                             (0, os.path.join(f.path, "PYXET.INI"), board))
            _, out, _ = run(["--lspci", board, f.path])
            self.assertIn("Settings file: %s\n" % os.path.join(f.path, "PYXET.INI"), out)
            self.assertIn("\n  %s: chip0 " % board, out)
            status, out, err = run(["--json", os.path.join(f.path, "none")])
            self.assertEqual(json.loads(out), {"error": "cannot read %s: no such file or folder" % os.path.join(f.path, "none")})

    def test_settings_file_named_directly(self):
        with Folder(texts() + drivers(BX_ROW)) as f:
            status, out, _ = run([os.path.join(f.path, "PYXET.INI")])
            self.assertEqual(status, 0, out)

    def test_usage_errors_exit_2(self):
        for args in [[], ["--windows", "2000", "."], ["--country", "x1", "."], ["--lspci"], ["--bogus", "."],
                     [".", "."]]:
            with self.subTest(args):
                status, out, err = run(args)
                self.assertEqual(status, 2)
                self.assertIn("usage: pyxet-check", err)


class WhatIf(unittest.TestCase):
    """The three shipped samples and the what-if's rules."""

    def check_sample(self, option, sample, *extra):
        status, out, err = run(["--json", option, os.path.join(SAMPLES, sample)] + list(extra) +
                               [os.path.dirname(DIST_INI)])
        self.assertNotEqual(status, 2, err)
        return json.loads(out)["whatif"]

    def test_samples(self):
        searched = ["8086:7190", "8086:7192", "8086:7180", "1106:0598", "1106:0691", "10B9:1541"]
        for option, sample, probes, detected in [
                ("--lspci", "intel-440bx.lspci", 1, 0),
                ("--reg", "via-mvp3.reg", 4, 2),
                ("--lspci", "qemu-i440fx.lspci", 6, None)]:
            with self.subTest(sample):
                whatif = self.check_sample(option, sample)
                self.assertEqual(whatif["probes"], searched[:probes])
                self.assertEqual(whatif["detected"], detected)
                self.assertEqual(whatif["supported"], detected is not None)

    def test_dialogs_follow_the_windows_and_the_country(self):
        whatif = self.check_sample("--lspci", "intel-440bx.lspci", "--windows", "95", "--country", "49")
        self.assertTrue(whatif["dialogs"][0].startswith('the early-build warning "Fr\u00fche Windows-95-Version"'))
        self.assertIn("(Build 950)", whatif["dialogs"][0])
        self.assertTrue(whatif["dialogs"][1].startswith('the AGP warning "AGP-Chipsatztreiber"'))
        self.assertEqual(whatif["dialogs"][2],
                         'the detection dialog "Pyxet - Chipsatzerkennung" showing "Intel 440BX/ZX"')

    def folder_with_board(self, settings, board):
        folder = Folder(settings)
        folder.write("board.txt", board.encode())
        return folder

    def whatif(self, folder, option, *extra):
        status, report = folder.check(option, os.path.join(folder.path, "board.txt"), *extra)
        return report["whatif"]

    def test_support_follows_windows(self):
        lspci = "00:00.0 0600: 1106:0691 (rev c4)\n"
        settings = texts() + drivers("VIA Apollo Pro,1106,0691,0,2,DRIVERS\\BX\\SETUP.EXE,1")
        with self.folder_with_board(settings, lspci) as f:
            for windows, supported in [("95", False), ("98", True), ("me", True)]:
                with self.subTest(windows):
                    whatif = self.whatif(f, "--lspci", "--windows", windows)
                    self.assertEqual((whatif["detected"], whatif["supported"]), (0, supported))

    def test_second_slot_probed_only_after_first_fails(self):
        settings = texts() + drivers("Two,8086,7190,7192,3,DRIVERS\\BX\\SETUP.EXE,1", "Zero first,1106,0,0598,3,DRIVERS\\BX\\SETUP.EXE,1")
        with self.folder_with_board(settings, "0000:00:00.0 0600: 1106:0598\n") as f:
            whatif = self.whatif(f, "--lspci")
            self.assertEqual(whatif["probes"], ["8086:7190", "8086:7192", "1106:0598"])
            self.assertEqual(whatif["detected"], 1)

    def test_lspci_forms(self):
        settings = texts() + drivers(BX_ROW)
        for board, detected in [
                ("00:00.0 0600: 8086:7190 (rev 03)\n", 0),
                ("00:00.0 Host bridge [0600]: Intel Corporation 440BX [8086:7190] (rev 03)\n", 0),
                ("00:00.0 0600: 8086:7190 (rev 03)\n\tSubsystem: 1106:0598\n", 0),
                ("00:00.0 0600: 8086:7192 (rev 03)\n\tSubsystem: 8086:7190\n", None),
                ("00:00.0 0600: 80861:7190\n00:01.0 0604: 8086:71901\n", "no device")]:
            with self.subTest(board), self.folder_with_board(settings, board) as f:
                if detected == "no device":
                    status, _, err = run(["--lspci", os.path.join(f.path, "board.txt"), f.path])
                    self.assertEqual(status, 2)
                    self.assertIn("no device line", err)
                else:
                    self.assertEqual(self.whatif(f, "--lspci")["detected"], detected)

    def test_registry_forms(self):
        settings = texts() + drivers(BX_ROW)
        nt = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03\\3&61AAA01&0&00]\r\n"
        longer = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_71901&SUBSYS_00000000]\r\n"
        utf16 = ("\ufeffWindows Registry Editor Version 5.00\r\n\r\n" + nt.split("\r\n", 2)[2]).encode("utf-16-le")
        for name, board, detected in [("NT path", nt, 0), ("longer device code", longer, None),
                                      ("REGEDIT 5 in UTF-16", utf16, 0)]:
            with self.subTest(name), Folder(settings) as f:
                f.write("board.txt", board if isinstance(board, bytes) else board.encode())
                self.assertEqual(self.whatif(f, "--reg")["detected"], detected)

    def test_registry_export_without_pci_keys_cannot_run(self):
        with self.folder_with_board(texts() + drivers(BX_ROW), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Enum\\Root]\r\n") as f:
            status, _, err = run(["--reg", os.path.join(f.path, "board.txt"), f.path])
            self.assertEqual(status, 2)
            self.assertIn("no key under", err)

    def test_malformed_table_detects_nothing(self):
        with self.folder_with_board(texts(PCIWarningDlg="1") + drivers("Broken,8086"), "00:00.0 0600: 8086:7190\n") as f:
            whatif = self.whatif(f, "--lspci")
            self.assertEqual((whatif["probes"], whatif["detected"]), ([], None))
            self.assertIn("Cannot open initial file", whatif["dialogs"][-1])
            self.assertTrue(whatif["dialogs"][0].startswith("the AGP warning"))


# A board with an Intel 440BX host bridge, one with a VIA MVP3, one with
# neither; and a table for them whose VIA row supports Windows 95 only.
BOARD_BX = "00:00.0 0600: 8086:7190 (rev 03)\n"
BOARD_MVP3 = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1106&DEV_0598&SUBSYS_00000000&REV_04]\r\n"
BOARD_NONE = "00:00.0 0600: 10de:0020\n"
TWO_ROWS = texts(Win95Check="Build %d") + drivers(BX_ROW, r"VIA MVP3,1106,0598,0,1,DRIVERS\MVP3\SETUP.EXE,1")

# --windows in any case and --build: the Windows title, the early-build
# warning's build (None: no warning) and whether the VIA row, for Windows 95
# only, is supported.
WINDOWS_CASES = [
    (["--windows", "ME"], "Windows ME (4.90 build 3000)", None, False),
    (["--windows", "Me", "--build", "3000"], "Windows ME (4.90 build 3000)", None, False),
    (["--windows", "95", "--build", "1111"], "Windows 95 (4.00 build 1111)", 1111, True),
    (["--build", "1111"], "Windows 95 (4.00 build 1111)", 1111, True),
    (["--build", "1212"], "Windows 95 (4.00 build 1212)", None, True),
    (["--windows", "95", "--build", "1214"], "Windows 95 (4.00 build 1214)", None, True),
    (["--windows", "98", "--build", "1998"], "Windows 98 (4.10 build 1998)", None, False),
]

# Usage errors: exit 2 with the message. BOARD stands for a board's file.
USAGE_ERRORS = [
    (["--windows", "95"], "--windows is about a board: give one with --lspci FILE or --reg FILE"),
    (["--country", "49"], "--country is about a board"),
    (["--build", "1111"], "--build is about a board"),
    (["--lspci", "BOARD", "--build", "1999"],
     "--build takes a build of Windows 95, 98 or ME (95: 950, 1111, 1212, 1214; 98: 1998, 2222; me: 3000), "
     "not 1999"),
    (["--lspci", "BOARD", "--build", "04A6"], "not 04A6"),
    (["--lspci", "BOARD", "--windows", "nt"], "--windows takes 95, 98 or me, not nt"),
    (["--lspci", "BOARD", "--windows", "98", "--build", "950"], "Windows 98 has no build 950 (its builds: 1998, 2222)"),
    (["--lspci", "BOARD", "--build", "2222", "--windows", "me"], "Windows ME has no build 2222 (its builds: 3000)"),
]

# The row's command and support flags, and what the program's launch from a
# CD in drive D: makes current and starts (None: nothing), on Windows 98.
LAUNCH_CASES = [
    (r"DRIVERS\BX\SETUP.EXE", 3, r"D:\DRIVERS\BX", r"DRIVERS\BX\SETUP.EXE"),
    (r"DRIVERS\BX\SETUP.EXE /q:a", 3, r"D:\DRIVERS\BX\SETUP.EXE /q:", r"DRIVERS\BX\SETUP.EXE /q:a"),
    (r" DRIVERS\BX\SETUP.EXE", 3, r"D:\ DRIVERS\BX", r" DRIVERS\BX\SETUP.EXE"),
    (r"DRIVERS/BX/SETUP.EXE", 3, "D:", "DRIVERS/BX/SETUP.EXE"),
    (r"DRIVERS\BX\SETUP.EXE", 1, None, None),
]

# Runs that cannot check: with --json, still one object, holding the error.
CANNOT_RUN = [
    ("no such path", ["/nonexistent/PYXET.INI"], "cannot read /nonexistent/PYXET.INI: no such file or folder"),
    ("a folder as the board", ["--lspci", "FOLDER", "FOLDER"], "is a folder"),
    ("a board without devices", ["--lspci", "FOLDER/empty.txt", "FOLDER"], "holds no device line"),
    ("an unknown option", ["--bogus", "FOLDER"], "unknown option --bogus"),
    ("no PATH", [], "PATH is missing"),
]


class CommandLine(unittest.TestCase):
    """--help, --windows and --build, several boards in one run, and a JSON
    object whatever the outcome."""

    def setUp(self):
        self.folder = Folder(TWO_ROWS, files=[r"DRIVERS\BX\SETUP.EXE", r"DRIVERS\MVP3\SETUP.EXE"])
        self.boards = {name: self.folder.write(name, text.encode())
                       for name, text in [("bx.txt", BOARD_BX), ("mvp3.reg", BOARD_MVP3), ("none.txt", BOARD_NONE),
                                          ("empty.txt", "")]}

    def tearDown(self):
        self.folder.__exit__()

    def test_help_prints_the_usage_and_exits_0(self):
        for option in ["--help", "-h"]:
            with self.subTest(option):
                status, out, err = run([option])
                self.assertEqual(status, 0, err)
                self.assertTrue(out.startswith("usage: pyxet-check [OPTION]... PATH\n"), out)
                for name in ["--json", "--lspci", "--reg", "--windows", "--build", "--country"]:
                    self.assertIn("\n  " + name, out)
                self.assertIn("95: 950, 1111, 1212, 1214; 98: 1998, 2222; me: 3000", out)

    def test_windows_and_build(self):
        for options, title, early_build, supported in WINDOWS_CASES:
            with self.subTest(options):
                args = ["--reg", self.boards["mvp3.reg"]] + options + [self.folder.path]
                whatif = self.folder.check(*args[:-1])[1]["whatif"]
                self.assertEqual((whatif["detected"], whatif["supported"]), (1, supported))
                warnings = [d for d in whatif["dialogs"] if d.startswith("the early-build warning")]
                self.assertEqual(warnings, [] if early_build is None else [
                    'the early-build warning "Win95CheckCaption text": "Build %d", Yes or No' % early_build])
                status, out, _ = run(args)
                self.assertIn("What if, for the board of %s on %s with country code 1:\n" % (
                    self.boards["mvp3.reg"], title), out)

    def test_usage_errors_exit_2(self):
        for (args, message), (build, program) in itertools.product(USAGE_ERRORS, BadInput.PROGRAMS):
            with self.subTest(args, build=build):
                args = [self.boards["bx.txt"] if a == "BOARD" else a for a in args] + [self.folder.path]
                status, out, err = run(args, program=program())
                self.assertEqual((status, out), (2, ""), err)
                self.assertTrue(err.startswith("pyxet-check: "), err)
                self.assertIn(message, err)
                self.assertIn("\nusage: pyxet-check", err)

    def test_several_boards(self):
        boards = ["--lspci", self.boards["bx.txt"], "--reg", self.boards["mvp3.reg"],
                  "--lspci", self.boards["none.txt"]]
        status, report = self.folder.check(*boards)
        self.assertEqual(status, 0)
        whatifs = report["whatif"]
        self.assertEqual([(w["board"], w["detected"], w["supported"]) for w in whatifs], [
            (self.boards["bx.txt"], 0, True), (self.boards["mvp3.reg"], 1, False), (self.boards["none.txt"], None, False)])
        self.assertEqual(whatifs[2]["probes"], ["8086:7190", "1106:0598"])
        _, out, _ = run(boards + [self.folder.path])
        summary = out.splitlines()[out.splitlines().index("Boards:") + 1:-1]
        self.assertEqual(summary, [
            '  %s: chip0 "Intel 440BX", supported: the program makes "D:\\DRIVERS\\BX" current and starts '
            '"DRIVERS\\BX\\SETUP.EXE"' % self.boards["bx.txt"],
            '  %s: chip1 "VIA MVP3", not supported: the program starts nothing' % self.boards["mvp3.reg"],
            "  %s: no row detected: the program starts nothing unless the user chooses a driver" %
            self.boards["none.txt"]])

    def test_malformed_table_summary(self):
        with Folder(texts() + drivers("Broken,8086")) as f:
            board = f.write("bx.txt", BOARD_BX.encode())
            status, out, _ = run(["--lspci", board, f.path])
            self.assertEqual(status, 1)
            self.assertIn("Boards:\n  %s: no row: the program stops at the malformed row\n" % board, out)

    def test_one_board_keeps_one_object(self):
        status, report = self.folder.check("--lspci", self.boards["bx.txt"])
        self.assertIsInstance(report["whatif"], dict)
        self.assertEqual((report["whatif"]["board"], report["whatif"]["detected"]), (self.boards["bx.txt"], 0))

    def test_launch_folder_and_program_line(self):
        for command, flags, folder, starts in LAUNCH_CASES:
            with self.subTest(command=command, flags=flags), \
                    Folder(texts() + drivers("Board,8086,7190,0,%d,%s,1" % (flags, command))) as f:
                board = f.write("bx.txt", BOARD_BX.encode())
                whatif = f.check("--lspci", board)[1]["whatif"]
                self.assertEqual((whatif["folder"], whatif["starts"]), (folder, starts))
                _, out, _ = run(["--lspci", board, f.path])
                launch = ("makes \"%s\" current and starts \"%s\"" % (folder, starts) if starts else "starts nothing")
                self.assertIn("%s: chip0 \"Board\", %s: the program %s\n" % (
                    board, "supported" if starts else "not supported", launch), out)

    def test_json_object_when_it_cannot_run(self):
        for name, args, message in CANNOT_RUN:
            with self.subTest(name):
                args = [a.replace("FOLDER", self.folder.path) for a in args]
                status, out, err = run(["--json"] + args)
                self.assertEqual(status, 2, err)
                report = json.loads(out)
                self.assertEqual(list(report), ["error"])
                self.assertIn(message, report["error"])
                self.assertIn("pyxet-check: " + report["error"], err)


class BadInput(unittest.TestCase):
    """Files no settings file should be: a clear message, exit 1 or 2, no crash;
    run with the plain and the sanitized build."""

    PROGRAMS = [("plain", lambda: CHECK), ("sanitized", lambda: SANITIZED)]

    def expect(self, path, status, message, extra=()):
        for build, program in self.PROGRAMS:
            for output in [[], ["--json"]]:
                with self.subTest(build=build, output=output):
                    got, out, err = run(output + list(extra) + [path], program=program())
                    self.assertNotIn("Sanitizer", err)
                    self.assertNotIn("runtime error", err)
                    self.assertEqual(got, status, out + err)
                    self.assertIn(message, out + err)
                    if output:
                        report = json.loads(out)
                        self.assertEqual("error" in report, status == 2, out)

    def test_unreadable_file(self):
        with Folder(texts() + drivers(BX_ROW)) as f:
            path = os.path.join(f.path, "PYXET.INI")
            os.chmod(path, 0)
            os.chmod(f.path, 0o755)
            if os.geteuid() == 0:
                # root reads any file: run the checker as nobody, who cannot.
                for name, program in self.PROGRAMS:
                    with self.subTest(name):
                        done = subprocess.run(["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                               program(), path], capture_output=True, timeout=60)
                        self.assertEqual(done.returncode, 2, done.stderr)
                        self.assertIn(b"cannot read " + path.encode() + b": Permission denied", done.stderr)
            else:
                self.expect(path, 2, "Permission denied")

    def test_missing_path(self):
        self.expect("/nonexistent/PYXET.INI", 2, "no such file or folder")

    def test_unreadable_board_file(self):
        with Folder(texts() + drivers(BX_ROW)) as f:
            self.expect(f.path, 2, "cannot read", ["--lspci", f.path])

    def test_binary_file(self):
        with Folder(bytes(range(256)) * 64) as f:
            self.expect(f.path, 1, "NUL bytes")

    def test_empty_file(self):
        with Folder(b"") as f:
            self.expect(f.path, 1, "the settings file is empty")

    def test_one_endless_line(self):
        with Folder(b"[Drivers]chip0=" + b"A" * (1 << 20)) as f:
            self.expect(f.path, 1, "no-rows")

    def test_endless_row_and_text(self):
        with Folder(b"[1]\r\nWelcome=" + b"W" * (1 << 20) + b"\r\n[Drivers]\r\nchip0=" + b"B," * (1 << 19)) as f:
            self.expect(f.path, 1, "text-cut")


def shown_in_a_terminal(command, env):
    """What a program prints in a terminal 1000 columns wide, through
    script(1), without the terminal's escape sequences and CRs."""
    shell = "stty cols 1000 rows 200; " + " ".join(shlex.quote(part) for part in command)
    status, out, err = run_program(["script", "-qec", shell, "/dev/null"], dict(env, LC_ALL="C.UTF-8"))
    return status, re.sub(r"\x1b\[[0-9;?]*[A-Za-z]|\x1b\][^\x07]*\x07|\r", "", out)


class Console(unittest.TestCase):
    """pyxet-check.exe in a console (Wine makes one of a terminal): the
    report is shown whole, as Unicode, the same text as the native run's.
    Only with pyxet-check.exe."""

    def test_report_shown_on_a_console(self):
        if not WINDOWS_CHECK:
            self.skipTest("needs PYXET_CHECK_WINDOWS")
        settings = texts() + texts("49", Win95Check="Fr\xfche Version, Build %d") + drivers(BX_ROW)
        with Folder(settings) as f:
            board = f.write("board.txt", BOARD_BX.encode())
            args = ["--lspci", board, "--windows", "95", "--country", "49", f.path]
            env = dict(os.environ, PYXET_PCI_IDS=TEST_PCI_IDS)
            native_status, expected, _ = run_program([CHECK] + args, env)
            env.update(wine_environment(), PYXET_PCI_IDS=windows_spelling(TEST_PCI_IDS))
            status, shown = shown_in_a_terminal([WINE64, WINDOWS_CHECK] + [windows_spelling(a) for a in args], env)
            self.assertIn("Fr\u00fche Version, Build 950", expected)
            self.assertEqual((status, unix_spelling(shown, [board, f.path])), (native_status, expected))


if __name__ == "__main__":
    group = sys.argv[1] if len(sys.argv) > 1 else None
    if WINDOWS_CHECK:
        if not os.path.exists(WINDOWS_CHECK):
            sys.exit("%s is missing: make tools builds it" % WINDOWS_CHECK)
        reason = prepare_wine()
        if reason:
            print("skipped: " + reason)
            sys.exit(SKIPPED)
    unittest.main(argv=[sys.argv[0], "-v"] + ([group] if group else []))
