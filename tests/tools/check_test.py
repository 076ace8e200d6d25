#!/usr/bin/env python3
"""Tests of pyxet-check, run as a program as its users run it.

    check_test.py GROUP

GROUP is one of the test classes below. The environment names the programs
and files: PYXET_CHECK (the checker), PYXET_CHECK_SANITIZED (its build under
AddressSanitizer and UndefinedBehaviorSanitizer), PYXET_DIST_INI (the shipped
settings file), PYXET_SAMPLES (tools/samples) and TEST_PCI_IDS (a small
pci.ids for these tests).
"""
import json
import os
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


def run(args, program=None, pci_ids=None):
    env = dict(os.environ, PYXET_PCI_IDS=pci_ids if pci_ids is not None else TEST_PCI_IDS)
    done = subprocess.run([program or CHECK] + args, capture_output=True, env=env, timeout=60)
    return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8", "replace")


class Folder:
    """A distributable folder in a temporary directory."""

    def __init__(self, settings=None, files=(r"DRIVERS\BX\SETUP.EXE",), name="PYXET.INI"):
        self.path = tempfile.mkdtemp(prefix="pyxet-check-")
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

    def test_folder_that_cannot_be_made_current_warns(self):
        # The folder part DRIVERS\BX is 10 characters; the arguments do not count.
        command = "DRIVERS\\BX\\SETUP.EXE -s " + "a" * (127 - 24)
        settings = texts() + drivers("Sample,8086,7190,0,3,%s,1" % command)
        for name, folder, warned in [
                ("default D:\\", None, False),
                ("127 characters in all", "C:\\" + "F" * 113, False),
                ("128 characters in all", "C:\\" + "F" * 114, True),
                ("a trailing backslash is not the program's", "C:\\" + "F" * 114 + "\\", True)]:
            with self.subTest(name), Folder(settings) as f:
                _, report = f.check(*(["--folder", folder] if folder else []))
                found = [(w["kind"], w["key"]) for w in report["warnings"]]
                self.assertEqual(found, [("folder-too-long", "chip0")] if warned else [], report["warnings"])
                if warned:
                    self.assertIn("Setup not started", report["warnings"][0]["message"])

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

    def test_settings_file_named_directly(self):
        with Folder(texts() + drivers(BX_ROW)) as f:
            status, out, _ = run([os.path.join(f.path, "PYXET.INI")])
            self.assertEqual(status, 0, out)

    def test_usage_errors_exit_2(self):
        for args in [[], ["--windows", "2000", "."], ["--country", "x1", "."], ["--lspci"], ["--bogus", "."],
                     ["--lspci", "a", "--reg", "b", "."], [".", "."], ["--folder", "F" * 128, "."]]:
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

    # A Windows 98 disk moved from a 440BX board to a KT133 one: both host
    # bridges keep their keys; the Configuration Manager lists the present one.
    MOVED_KEYS = ("REGEDIT4\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03\\BUS_00&DEV_00&FUNC_00]\r\n"
                  "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1106&DEV_0305&SUBSYS_00000000&REV_02\\BUS_00&DEV_00&FUNC_00]\r\n")
    KT133_ROW = r"VIA KT133,1106,0305,0,3,DRIVERS\BX\SETUP.EXE,1"

    @staticmethod
    def device_nodes(*hardware_keys):
        text = "\r\n[HKEY_DYN_DATA\\Config Manager\\Enum]\r\n"
        for i, key in enumerate(hardware_keys):
            text += ('\r\n[HKEY_DYN_DATA\\Config Manager\\Enum\\C29A3%03X]\r\n"HardWareKey"="%s"\r\n'
                     '"Problem"=hex:00,00,00,00\r\n' % (i * 64, key.replace("\\", "\\\\")))
        return text

    def test_present_devices_alone_answer(self):
        settings = texts() + drivers(BX_ROW, self.KT133_ROW)
        kt133 = r"PCI\VEN_1106&DEV_0305&SUBSYS_00000000&REV_02\BUS_00&DEV_00&FUNC_00"
        root = r"Root\*PNP0A03\0000"
        for name, nodes, detected, warned in [
                ("no list", "", 0, True),
                ("the KT133 listed", self.device_nodes(root, kt133), 1, False),
                ("no PCI device listed", self.device_nodes(root), 0, True),
                ("the AGP bridge listed only", self.device_nodes(r"PCI\VEN_1106&DEV_8305\BUS_00&DEV_01&FUNC_00"),
                 None, False)]:
            with self.subTest(name), self.folder_with_board(settings, self.MOVED_KEYS + nodes) as f:
                status, report = f.check("--reg", os.path.join(f.path, "board.txt"))
                self.assertEqual(report["whatif"]["detected"], detected)
                moved = [w for w in report["warnings"] if w["kind"] == "moved-board"]
                self.assertEqual(len(moved), 1 if warned else 0, report["warnings"])

    def test_one_host_bridge_or_lspci_is_no_moved_board(self):
        settings = texts() + drivers(BX_ROW, self.KT133_ROW)
        one = self.MOVED_KEYS.split("\r\n[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1106")[0] + "\r\n"
        lspci = "00:00.0 0600: 8086:7190\n00:01.0 0600: 1106:0305\n"
        for option, board in [("--reg", one), ("--lspci", lspci)]:
            with self.subTest(option), self.folder_with_board(settings, board) as f:
                status, report = f.check(option, os.path.join(f.path, "board.txt"))
                self.assertEqual([w for w in report["warnings"] if w["kind"] == "moved-board"], [])

    def test_malformed_table_detects_nothing(self):
        with self.folder_with_board(texts(PCIWarningDlg="1") + drivers("Broken,8086"), "00:00.0 0600: 8086:7190\n") as f:
            whatif = self.whatif(f, "--lspci")
            self.assertEqual((whatif["probes"], whatif["detected"]), ([], None))
            self.assertIn("Cannot open initial file", whatif["dialogs"][-1])
            self.assertTrue(whatif["dialogs"][0].startswith("the AGP warning"))


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
                    if output and status == 1:
                        json.loads(out)

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


if __name__ == "__main__":
    group = sys.argv[1] if len(sys.argv) > 1 else None
    unittest.main(argv=[sys.argv[0], "-v"] + ([group] if group else []))
