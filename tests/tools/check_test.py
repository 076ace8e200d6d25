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
import hashlib
import itertools
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from wine64 import prepare_prefix, run_program

CHECK = os.environ.get("PYXET_CHECK", "")
SANITIZED = os.environ.get("PYXET_CHECK_SANITIZED", "")
DIST_INI = os.environ.get("PYXET_DIST_INI", "")
SAMPLES = os.environ.get("PYXET_SAMPLES", "")
TEST_PCI_IDS = os.environ.get("TEST_PCI_IDS", "")
WINDOWS_CHECK = os.environ.get("PYXET_CHECK_WINDOWS", "")
WINE64 = os.environ.get("PYXET_WINE64", "/usr/lib/wine/wine64")
WINEPREFIX = os.environ.get("PYXET_CHECK_WINEPREFIX", "")
SKIPPED = 77


def read_text_keys():
    """The program's text keys, in order, from the one table that holds them."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../src/settings/text_keys.h")
    with open(path) as f:
        keys = re.findall(r'^constexpr char kKey\w+\[\] = "([^"]+)";$', f.read(), re.M)
    if len(keys) != 19:
        raise SystemExit("%s: expected 19 text keys, found %d: %r" % (path, len(keys), keys))
    return keys


TEXT_KEYS = read_text_keys()
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
    if not (WINDOWS_CHECK and (program or CHECK) == CHECK and COMPARE_WITH_WINDOWS[0]):
        return run_program([program or CHECK] + args, env)
    if "--write" not in args:
        native = run_program([CHECK] + args, env)
        compare_with_windows(args, env, native)
        return native
    # A run that writes the settings file: each checker starts from the same
    # file, and each must leave the same bytes.
    settings = settings_file(args[-1])
    before = read_bytes(settings)
    native = run_program([CHECK] + args, env)
    after = read_bytes(settings)
    write_bytes(settings, before)
    compare_with_windows(args, env, native)
    if read_bytes(settings) != after:
        raise AssertionError("pyxet-check.exe under Wine wrote %s otherwise than pyxet-check" % settings)
    return native


# Whether runs are compared with pyxet-check.exe: not for names that no
# Windows folder holds as written, which Wine shows the program otherwise.
COMPARE_WITH_WINDOWS = [True]


class native_only:
    def __enter__(self):
        COMPARE_WITH_WINDOWS[0] = False

    def __exit__(self, *exc):
        COMPARE_WITH_WINDOWS[0] = True


def settings_file(path):
    if os.path.isdir(path):
        names = [n for n in os.listdir(path) if n.lower() == "pyxet.ini"]
        return os.path.join(path, names[0]) if names else None
    return path


def read_bytes(path):
    if path is None or not os.path.isfile(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    if path is not None and data is not None:
        with open(path, "wb") as f:
            f.write(data)


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
    command = [WINE64, WINDOWS_CHECK] + [windows_spelling(a) for a in args]
    status, out, err = run_program(command, windows_env)
    # The checker prints on one of its outputs whatever happens. A run that
    # printed nothing never reached it: Wine refused it before it started
    # (seen as "wine client error: ... Connection reset by peer" when it
    # met the prefix's wineserver as that was ending). It runs once more,
    # and says so.
    if not out and not checker_lines(err):
        print("pyxet-check.exe printed nothing (exit status %d; Wine: %r); run again" % (status, err[-300:]),
              file=sys.stderr)
        status, out, err = run_program(command, windows_env)
    if "--json" not in args:
        out = out.replace("\r\n", "\n")
    out = unix_spelling(out, paths)
    err = unix_spelling(err.replace("\r\n", "\n"), paths)
    if (status, out, checker_lines(err)) != (native[0], native[1], checker_lines(native[2])):
        diff = difflib.unified_diff(native[1].splitlines(True), out.splitlines(True), "pyxet-check", "pyxet-check.exe")
        raise AssertionError("pyxet-check.exe under Wine differs from pyxet-check, run with %r: exit status %d "
                             "against %d, messages %r against %r\n%s%s" % (
                                 args, status, native[0], checker_lines(err), checker_lines(native[2]),
                                 "".join(diff), "" if out else "Wine's messages:\n" + err))


def wine_environment():
    return {"WINEPREFIX": WINEPREFIX, "WINEARCH": "win64", "WINELOADER": WINE64, "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml="}


def prepare_wine():
    """Makes the tests' Wine prefix once; returns why 64-bit Wine cannot run
    here, or None."""
    return prepare_prefix(WINE64, WINEPREFIX, dict(os.environ, **wine_environment()))


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


# Each case: a description, the settings file, the findings expected, as
# (kind, key) pairs (nothing else may be found), a part of the first one's
# message, and where the folder holds other files than DRIVERS\BX\SETUP.EXE
# (so that no package is left that no row uses), those files.
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
     [("missing-setup", "chip0")], r"DRIVERS\LX\SETUP.EXE", []),
    ("missing-setup: program without extension gets .EXE",
     texts() + drivers("Sample,8086,7190,0,3,DRIVERS\\BX\\INSTALL,1"),
     [("missing-setup", "chip0")], r"DRIVERS\BX\INSTALL.EXE"),
    ("missing-setup: absolute command", texts() + drivers("Sample,8086,7190,0,3,E:\\DRV\\SETUP.EXE,1"),
     [("missing-setup", "chip0")], "outside the folder", []),
    ("malformed: an empty field", texts() + drivers("Sample,8086,7190,,3,DRIVERS\\BX\\SETUP.EXE,1"),
     [("malformed", "chip0")], "the device2 field is empty"),
    ("name-comma", texts() + drivers("Intel 440BX, ZX,8086,7190,0,3,DRIVERS\\BX\\SETUP.EXE,1"),
     [("name-comma", "chip0"), ("unused-package", r"DRIVERS\BX")],
     "the name holds a comma; the fields after it are shifted"),
    ("command-comma", texts() + drivers("Sample,8086,7190,0,3,DRIVERS\\BX\\SETUP.EXE /q,x,1"),
     [("command-comma", "chip0")], r'starts "DRIVERS\BX\SETUP.EXE /q"'),
    ("missing-setup: a blank cuts the program path",
     texts() + drivers(r"Sample,8086,7190,0,3,DRIVERS\VIA 4in1\SETUP.EXE,1"),
     [("missing-setup", "chip0"), ("command-form", "chip0"), ("unused-package", r"DRIVERS\VIA 4in1")],
     r"DRIVERS\VIA.EXE", [r"DRIVERS\VIA 4in1\SETUP.EXE"]),
    ("missing-setup: a UTF-8 row", (texts() + drivers("Sample,8086,7190,0,3,DRIVERS\\Caf\xe9\\SETUP.EXE,1")).encode(),
     [("missing-setup", "chip0"), ("not-ansi", "chip0"), ("not-8.3", "chip0")], "Caf\u00c3\u00a9",
     ["DRIVERS\\Caf\xe9\\SETUP.EXE"]),
    ("byte-order-mark: before [Drivers]", b"\xef\xbb\xbf" + (drivers(BX_ROW) + texts()).encode(),
     [("byte-order-mark", "Drivers"), ("no-rows", "Drivers")], '"\u00ef\u00bb\u00bf[Drivers]"'),
    ("byte-order-mark: blanks before [Drivers]", b"\xef\xbb\xbf  " + (drivers(BX_ROW) + texts()).encode(),
     [("byte-order-mark", "Drivers"), ("no-rows", "Drivers")], "[Drivers] is not found"),
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
    ("text-cut: a row", texts() + drivers(BX_ROW + "," + "x" * 260),
     [("text-cut", "chip0"), ("extra-field", "chip0")], "255"),
    ("extra-field", texts() + drivers(BX_ROW + ",later"), [("extra-field", "chip0")], 'restart flag "1"'),
    ("duplicate-key: a row", texts() + drivers(BX_ROW) + "chip0=Other,8086,7192,0,3,DRIVERS\\BX\\SETUP.EXE,1\r\n",
     [("duplicate-key", "chip0")], 'reads only the first, "Intel 440BX'),
    ("duplicate-key: a text", texts() + "Exit=Second\r\n" + drivers(BX_ROW),
     [("duplicate-key", "1")], 'Exit is given 2 times in [1]: the program reads only the first, "Exit text"'),
    ("duplicate-section", texts() + drivers(BX_ROW) + "[drivers]\r\nchip1=Other,8086,7192,0,3,DRIVERS\\BX\\SETUP.EXE,1\r\n",
     [("duplicate-section", "drivers")], "reads only the first [Drivers], so its keys here (chip1) are never read"),
    ("duplicate-section: a language", texts() + texts("49") + drivers(BX_ROW) + "[49]\r\nExit=Ende\r\n",
     [("duplicate-section", "49")], "so its keys here (Exit) are never read"),
    ("byte-order-mark: before a blank line", b"\xef\xbb\xbf\r\n" + (texts() + drivers(BX_ROW)).encode(),
     [("byte-order-mark", "PYXET.INI")], "Wine skips the mark"),
    ("not-ansi: a text", (texts(Exit="Fl\u00fcchten") + drivers(BX_ROW)).encode(),
     [("not-ansi", "1")], '"Fl\u00fcchten", but Windows reads it in code page 1252: the program uses "Fl\u00c3\u00bcchten"'),
    ("command-form: a slash", texts() + drivers("Sample,8086,7190,0,3,DRIVERS/BX/SETUP.EXE,1"),
     [("command-form", "chip0")], 'makes "D:\\" current and starts the program line "DRIVERS/BX/SETUP.EXE"'),
    ("command-form: a leading blank", texts() + drivers("Sample,8086,7190,0,3, DRIVERS\\BX\\SETUP.EXE,1"),
     [("command-form", "chip0")], 'tries to make "D:\\ DRIVERS\\BX" current'),
    ("command-form: quotes", texts() + drivers('Sample,8086,7190,0,3,"DRIVERS\\VIA 4in1\\SETUP.EXE",1'),
     [("command-form", "chip0"), ("not-8.3", "chip0")],
     'tries to make "D:\\"DRIVERS\\VIA 4in1" current, which the folder does not hold',
     [r"DRIVERS\VIA 4in1\SETUP.EXE"]),
    ("command-form: a backslash in the arguments",
     texts() + drivers('Sample,8086,7190,0,3,DRIVERS\\BX\\SETUP.EXE -f1"D:\\A.ISS",1'),
     [("command-form", "chip0")], 'tries to make "D:\\DRIVERS\\BX\\SETUP.EXE -f1"D:" current'),
    ("format-refused: string conversion", texts(Win95Check="Build %s") + drivers(BX_ROW),
     [("format-refused", "1")], "unformatted"),
    ("format-refused: in a language", texts() + texts("49", Win95Check="Build %d of %d") + drivers(BX_ROW),
     [("format-refused", "49")], "%d of %d"),
    ("missing-text", texts(skip=("Exit",)) + drivers(BX_ROW), [("missing-text", "1")], "Exit"),
    ("missing-text: empty value", texts(Welcome="") + drivers(BX_ROW), [("missing-text", "1")], "Welcome"),
    ("not-8.3: long folder", texts() + drivers(r"Sample,8086,7190,0,3,DRIVERS\INTEL440BX\SETUP.EXE,1"),
     [("not-8.3", "chip0")], '"INTEL440BX"', [r"DRIVERS\INTEL440BX\SETUP.EXE"]),
    ("not-8.3: folder with a dot", texts() + drivers(r"Sample,8086,7190,0,3,DRIVERS\BX.V2\SETUP.EXE,1"),
     [("not-8.3", "chip0")], "folder name", [r"DRIVERS\BX.V2\SETUP.EXE"]),
    ("not-8.3: long file name", texts() + drivers(r"Sample,8086,7190,0,3,DRIVERS\BX\SETUP-98.EXE,1"),
     [("not-8.3", "chip0")], '"SETUP-98.EXE"', [r"DRIVERS\BX\SETUP.EXE", r"DRIVERS\BX\SETUP-98.EXE"]),
    ("unknown-pci-id: vendor", texts() + drivers(BX_ROW.replace("8086", "ABCD")),
     [("unknown-pci-id", "chip0")], "vendor ABCD"),
    ("unknown-pci-id: device", texts() + drivers(BX_ROW.replace(",0,3", ",7191,3")),
     [("unknown-pci-id", "chip0")], "8086:7191"),
]


class Findings(unittest.TestCase):
    """Every error and warning kind, each with a small settings file."""

    def expect(self, cases, member, status):
        for name, settings, expected, hint, *files in cases:
            with self.subTest(name), Folder(settings, *files) as f:
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

    def test_command_form_is_told_from_the_given_folder(self):
        settings = texts() + drivers("Sample,8086,7190,0,3,DRIVERS/BX/SETUP.EXE,1",
                                     "Other,8086,7192,0,3, DRIVERS\\BX\\SETUP.EXE,1")
        with Folder(settings) as f:
            _, report = f.check("--folder", "C:\\MYCD")
            messages = [w["message"] for w in report["warnings"] if w["kind"] == "command-form"]
            self.assertIn('run from C:\\MYCD, the program makes "C:\\MYCD" current', messages[0])
            self.assertIn('tries to make "C:\\MYCD\\ DRIVERS\\BX" current, which the folder does not hold', messages[1])

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

    def test_command_form_names_the_program_line(self):
        for command, line in [
                (r"DRIVERS\VIA 4in1\SETUP.EXE", r'the program line "DRIVERS\VIA" with the arguments "4in1\SETUP.EXE"'),
                ('"DRIVERS\\VIA 4in1\\SETUP.EXE" /s', r'the program line "DRIVERS\VIA 4in1\SETUP.EXE" with the arguments "/s"')]:
            with self.subTest(command), Folder(texts() + drivers("Sample,8086,7190,0,3,%s,1" % command),
                                               [r"DRIVERS\VIA 4in1\SETUP.EXE"]) as f:
                found = [x["message"] for x in f.check()[1]["warnings"] if x["kind"] == "command-form"]
                self.assertTrue(found and found[0].endswith(line), found)

    def test_names_compared_through_the_code_page(self):
        row = "Sample,8086,7190,0,3,DRIVERS\\%s\\SETUP.EXE,1"
        for name, encoding, options, missing in [
                ("Caf\xe9", "cp1252", [], False),
                ("\u041a\u0430\u0444\u0435", "cp1251", ["--codepage", "1251"], False),
                ("\u041a\u0430\u0444\u0435", "cp1251", [], True),
                ("\u8868", "cp932", ["--codepage", "932"], False)]:
            settings = (texts() + drivers(row % name)).encode(encoding)
            with self.subTest(name=name, options=options), Folder(settings, ["DRIVERS\\%s\\SETUP.EXE" % name]) as f:
                errors = f.check(*options)[1]["errors"]
                self.assertEqual(kinds(errors), [("missing-setup", "chip0")] if missing else [], errors)

    def test_repeated_comment_lines_are_no_findings(self):
        comments = "; chip0=an old row\r\n" * 2
        with Folder(texts() + drivers(BX_ROW) + comments) as f:
            status, report = f.check()
            self.assertEqual((status, report["errors"], report["warnings"]), (0, [], []))

    def test_not_ansi_names_the_code_page(self):
        settings = (texts(Exit="\u0412\u044b\u0445\u043e\u0434") + drivers(BX_ROW)).encode()
        with Folder(settings) as f:
            warnings = f.check("--codepage", "1251")[1]["warnings"]
            self.assertEqual(kinds(warnings), [("not-ansi", "1")])
            self.assertIn('"\u0412\u044b\u0445\u043e\u0434", but Windows reads it in code page 1251',
                          warnings[0]["message"])

    def test_folder_named_like_the_settings_file(self):
        with Folder(None) as f:
            os.makedirs(os.path.join(f.path, "PYXET.INI"))
            status, report = f.check()
            self.assertEqual((status, kinds(report["errors"])), (1, [("no-settings", "PYXET.INI")]))
            self.assertIn("PYXET.INI in %s is a folder, not a file" % f.path, report["errors"][0]["message"])

    def test_without_pci_ids_no_codes_are_unknown(self):
        with Folder(texts() + drivers(BX_ROW.replace("8086", "ABCD"))) as f:
            self.assertEqual(f.check(pci_ids="/nonexistent/pci.ids")[1]["warnings"], [])

    def test_later_rows_still_checked_after_a_malformed_one(self):
        with Folder(texts() + drivers("Broken,8086", BX_ROW.replace("\\BX\\", "\\NONE\\"))) as f:
            _, report = f.check()
            self.assertEqual(kinds(report["errors"]), [("malformed", "chip0"), ("missing-setup", "chip1")])
            self.assertEqual(report["rows"], [], "the program loads no row before the malformed one")


SIS_ROW = r"SiS 620,1039,0620,0,3,DRIVERS\SIS620\SETUP.EXE,1"
VIA_ROW = r"VIA,1106,0598,0,3,DRIVERS\VIA-4IN1\SETUP.EXE,1"

# The disk side, each case: a description, the rows, the folder's files, the
# settings file's name, the options, the findings expected as (kind, key)
# pairs in the errors and in the warnings, and words the first one says.
DISK_CASES = [
    ("case-clash: two package folders", [SIS_ROW], [r"DRIVERS\SIS620\SETUP.EXE", r"DRIVERS\sis620\SETUP.EXE"],
     "PYXET.INI", [], [("case-clash", r"DRIVERS\SIS620")], [], r'"DRIVERS\SIS620" and "DRIVERS\sis620"'),
    ("case-clash: two setup programs", [BX_ROW], [r"DRIVERS\BX\SETUP.EXE", r"DRIVERS\BX\setup.exe"],
     "PYXET.INI", [], [("case-clash", r"DRIVERS\BX\SETUP.EXE")], [],
     r'"DRIVERS\BX\SETUP.EXE" and "DRIVERS\BX\setup.exe"'),
    ("case-clash: a folder beside the settings file", [BX_ROW], [r"DRIVERS\BX\SETUP.EXE", r"PYXET.INI\NOTES.TXT"],
     "pyxet.ini", [], [("case-clash", "PYXET.INI")], [], '"PYXET.INI" and "pyxet.ini"'),
    ("case-clash: dot-files do not count", [BX_ROW], [r"DRIVERS\BX\SETUP.EXE", r".git\HEAD", r".GIT\HEAD"],
     "PYXET.INI", [], [], [], None),
    ("unused-package", [BX_ROW], [r"DRIVERS\BX\SETUP.EXE", r"DRIVERS\OLD\SETUP.EXE"], "PYXET.INI", [],
     [], [("unused-package", r"DRIVERS\OLD")], "leave it out unless ALL=1 (--all) is given"),
    ("unused-package: --all keeps it", [BX_ROW], [r"DRIVERS\BX\SETUP.EXE", r"DRIVERS\OLD\SETUP.EXE"],
     "PYXET.INI", ["--all"], [], [("unused-package", r"DRIVERS\OLD")], "keep it, as ALL=1 (--all) asks"),
    ("unused-package: a row's own folder in another case", [BX_ROW], [r"drivers\bx\SETUP.EXE"], "PYXET.INI", [],
     [], [], None),
    ("not-8.3: a FAT name fails only in the plain ISO 9660 tree", [VIA_ROW], [r"DRIVERS\VIA-4IN1\SETUP.EXE"],
     "PYXET.INI", [], [], [("not-8.3", "chip0")],
     "so a floppy holds it as written, and so does the CD's Joliet tree, which Windows 95 and later read; "
     "only the CD's plain ISO 9660 tree, which DOS reads, holds it otherwise, as \"VIA_4IN1\": make iso refuses it"),
    ("not-8.3: a long name on every disk", [BX_ROW.replace("\\BX\\", "\\INTEL440BX\\")],
     [r"DRIVERS\INTEL440BX\SETUP.EXE"], "PYXET.INI", [], [], [("not-8.3", "chip0")],
     "is not an 8.3 name: Windows 95 and later read it from the CD's Joliet tree"),
    ("not-8.3: --image iso judges the names on the disk", [VIA_ROW],
     [r"DRIVERS\VIA-4IN1\SETUP.EXE", r"DOCS\READ.ME.FIRST"], "PYXET.INI", ["--image", "iso"],
     [("not-8.3", r"DOCS\READ.ME.FIRST"), ("not-8.3", r"DRIVERS\VIA-4IN1")], [],
     'does not hold "READ.ME.FIRST" as written: at ISO level 1 it takes 8.3 names of A-Z, 0-9 and _ '
     '(a folder\'s without an extension), and xorriso would write "READ_ME.FIR"'),
    ("not-8.3: --image iso names the clash xorriso would number", [BX_ROW],
     [r"DRIVERS\BX\SETUP.EXE", r"DOCS\A+B.TXT", r"DOCS\A_B.TXT"], "PYXET.INI", ["--image", "iso"],
     [("not-8.3", r"DOCS\A+B.TXT")], [], r'as it would "DOCS\A_B.TXT", so xorriso would number both'),
    ("not-8.3: --image floppy takes a long name", [VIA_ROW.replace("VIA-4IN1", "VIA4in1drivers")],
     [r"DRIVERS\VIA4in1drivers\SETUP.EXE"], "PYXET.INI", ["--image", "floppy"], [], [("not-8.3", "chip0")],
     "a floppy's long name"),
    ("not-8.3: --image floppy refuses a name no FAT disk holds", [BX_ROW],
     [r"DRIVERS\BX\SETUP.EXE", r"DOCS\WHY?.TXT"], "PYXET.INI", ["--image", "floppy"],
     [("not-8.3", r"DOCS\WHY?.TXT")], [], "cannot be a name on a FAT floppy, not even a long one"),
]


# Folders no Windows host holds: a folder and a file whose names differ only
# in case, a name with a character Windows names cannot hold.
HOST_ONLY_NAMES = {"case-clash: a folder beside the settings file",
                   "not-8.3: --image floppy refuses a name no FAT disk holds"}


class Disk(unittest.TestCase):
    """Names on the disk: case clashes, unused packages, what each medium and reader holds."""

    def test_cases(self):
        for name, rows, files, settings_name, options, errors, warnings, hint in DISK_CASES:
            with self.subTest(name), Folder(texts() + drivers(*rows), files, name=settings_name) as f:
                if name in HOST_ONLY_NAMES:
                    with native_only():
                        status, report = f.check(*options, pci_ids="/nonexistent/pci.ids")
                else:
                    status, report = f.check(*options, pci_ids="/nonexistent/pci.ids")
                self.assertEqual((kinds(report["errors"]), kinds(report["warnings"])),
                                 (sorted(errors), sorted(warnings)), json.dumps(report["errors"] + report["warnings"]))
                self.assertEqual(status, 1 if errors else 0)
                if hint:
                    first = (report["errors"] + report["warnings"])[0]["message"]
                    self.assertIn(hint, first)

    def list_files(self, folder, *options):
        status, out, err = run(list(options) + ["--list-files", folder.path])
        self.assertEqual(status, 0, err)
        return out.splitlines()

    def test_list_files(self):
        files = [r"DRIVERS\BX\SETUP.EXE", r"DRIVERS\BX\README.TXT", r"DRIVERS\OLD\SETUP.EXE", r".git\HEAD",
                 r"DRIVERS\BX\.DS_Store"]
        with Folder(texts() + drivers(BX_ROW), files) as f:
            self.assertEqual(self.list_files(f), ["DRIVERS/BX/README.TXT", "DRIVERS/BX/SETUP.EXE", "PYXET.INI"])
            self.assertEqual(self.list_files(f, "--all"),
                             ["DRIVERS/BX/README.TXT", "DRIVERS/BX/SETUP.EXE", "DRIVERS/OLD/SETUP.EXE", "PYXET.INI"])

    def test_a_settings_file_named_directly_leaves_its_folder_alone(self):
        with Folder(texts() + drivers(BX_ROW), [r"DRIVERS\BX\SETUP.EXE", r"DRIVERS\OLD\SETUP.EXE",
                                                r"NOTES.TXT", r"notes.txt"]) as f:
            status, out, err = run(["--json", os.path.join(f.path, "PYXET.INI")])
            self.assertEqual(status, 0, err)
            self.assertEqual(json.loads(out)["warnings"], [])
            status, out, _ = run(["--json", "--image", "iso", os.path.join(f.path, "PYXET.INI")])
            self.assertEqual(status, 1)
            self.assertIn("case-clash", [x["kind"] for x in json.loads(out)["errors"]])

    def test_image_takes_iso_or_floppy(self):
        status, _, err = run(["--image", "cd", "."])
        self.assertEqual(status, 2)
        self.assertIn("--image takes iso or floppy, not cd", err)


class Output(unittest.TestCase):
    """The shipped settings file, the JSON members, the plain output."""

    def dist_folder(self):
        return shipped_folder(samples=False)

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
            # Findings that name host folders name them as the host spells them.
            f.write("DRIVERS\\Ol\u00e9\\SETUP.EXE", b"MZ")
            warnings = f.check()[1]["warnings"]
            self.assertEqual([(w["key"], w["kind"]) for w in warnings], [("DRIVERS\\Ol\u00e9", "unused-package")])
            os.mkdir(os.path.join(f.path, "empty"))
            empty = os.path.join(f.path, "empty")
            _, out, _ = run(["--json", empty])
            self.assertIn("the folder %s holds no PYXET.INI" % empty, json.loads(out)["errors"][0]["message"])

    def test_settings_file_named_directly(self):
        with Folder(texts() + drivers(BX_ROW)) as f:
            status, out, _ = run([os.path.join(f.path, "PYXET.INI")])
            self.assertEqual(status, 0, out)

    def test_usage_errors_exit_2(self):
        for args in [[], ["--windows", "2000", "."], ["--country", "x1", "."], ["--lspci"], ["--bogus", "."],
                     [".", "."], ["--codepage", "9999", "."], ["--codepage", "x", "."], ["--folder", "F" * 128, "."]]:
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


def inf(*ids, signature="$CHICAGO$", description="Sample driver"):
    """A package INF in the form Windows 9x packages use, listing the PCI IDs,
    each model with the description."""
    models = "".join("%%D%%=Sample.Install,%s\r\n" % hardware_id for hardware_id in ids)
    return ("[Version]\r\nSignature=\"%s\"\r\nClass=System\r\n\r\n[Manufacturer]\r\n\"Sample Inc.\"=Sample\r\n\r\n"
            "[Sample]\r\n%s\r\n[Sample.Install]\r\nAddReg=Sample.AddReg\r\n\r\n[Strings]\r\nD=\"%s\"\r\n"
            % (signature, models, description)).encode("cp1252")


def utf16(data):
    """An INF in the NT family's form: UTF-16 with a byte-order mark."""
    return b"\xff\xfe" + data.decode("cp1252").encode("utf-16-le")


def pci_id(device, vendor="8086"):
    return r"PCI\VEN_%s&DEV_%s" % (vendor, device)


SHIPPED_PACKAGES = ["BX", "LX", "MVP3", "APOLLO", "ALADDIN"]
MVP3_ROW = r"VIA Apollo MVP3,1106,0598,0,3,DRIVERS\BX\SETUP.EXE,1"
BX_PROPOSED = r"Intel 440BX/ZX/DX,8086,7190,7192,3,DRIVERS\BX\SETUP.EXE,1"
BX_BOARD = ("00:00.0 Host bridge [0600]: Intel Corporation 440BX/ZX/DX - 82443BX/ZX/DX Host bridge [8086:7190]\n"
            "00:01.0 PCI bridge [0604]: Intel Corporation 440BX/ZX/DX - 82443BX/ZX/DX AGP bridge [8086:7191]\n")


def shipped_folder(samples=True):
    """The shipped settings file with a stand-in setup program per row and,
    with samples, the sample packages of tools/samples."""
    folder = Folder(open(DIST_INI, "rb").read(), files=[])
    for package in SHIPPED_PACKAGES:
        folder.write("DRIVERS\\%s\\SETUP.EXE" % package, b"MZ")
    if samples:
        shutil.copytree(os.path.join(SAMPLES, "DRIVERS"), os.path.join(folder.path, "DRIVERS"), dirs_exist_ok=True)
    return folder


def package_folder(settings, infs=None, files=(r"DRIVERS\BX\SETUP.EXE",), board=BX_BOARD):
    """A folder with the settings, the package files, DRIVERS\\BX\\BX.INF
    listing 8086:7190, 7191 and 7192 unless infs says otherwise, and board.txt."""
    folder = Folder(settings, files)
    infs = infs if infs is not None else {r"DRIVERS\BX\BX.INF": inf(pci_id("7190"), pci_id("7191"), pci_id("7192"))}
    for name, data in infs.items():
        folder.write(name, data)
    folder.write("board.txt", board.encode() if isinstance(board, str) else board)
    return folder


def propose(folder, *options, board="board.txt", option="--lspci"):
    status, out, err = run(["--propose", option, os.path.join(folder.path, board)] + list(options) + [folder.path])
    if status == 2:
        raise AssertionError("pyxet-check could not run: " + err)
    return status, out


def propose_json(folder, *options, **kwargs):
    status, out = propose(folder, "--json", *options, **kwargs)
    return status, json.loads(out)["proposals"]


def digest(folder):
    with open(os.path.join(folder.path, "PYXET.INI"), "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


class Propose(unittest.TestCase):
    """--propose over the sample boards and packages, the rules of each field,
    and --write."""

    SAMPLE_ROWS = [
        ("--lspci", "intel-440gx.lspci", r"chip5=Intel 440GX,8086,71A0,71A2,3,DRIVERS\INTELGX\SETUP.EXE,1",
         "AGP disabled"),
        ("--reg", "via-kt133.reg", r"chip5=VIA VT8363/8365 [KT133/KM133],1106,0305,0,3,DRIVERS\VIAKT\SETUP.EXE,1",
         "VIACHIP.INF"),
        ("--lspci", "sis-620.lspci", r"chip5=SiS 620,1039,0620,0,3,DRIVERS\SISAGP\install.exe,1",
         "no package's INF files list the host bridge 1039:0620"),
    ]

    def test_sample_boards(self):
        for option, board, row, why in self.SAMPLE_ROWS:
            with self.subTest(board), shipped_folder() as f:
                status, out = propose(f, board=os.path.join(SAMPLES, board), option=option)
                self.assertEqual(status, 0, out)
                self.assertIn(row, out.splitlines())
                self.assertIn(why, out)
                self.assertIn("the table does not detect this board yet", out)
                self.assertIn("the new row would be reached: chip5 would be read", out)

    def test_sample_boards_json(self):
        for option, board, row, _ in self.SAMPLE_ROWS:
            with self.subTest(board), shipped_folder() as f:
                _, proposals = propose_json(f, board=os.path.join(SAMPLES, board), option=option)
                proposal = proposals[0]
                self.assertEqual(set(proposal) >= {"board", "host", "row", "package", "why", "already_detected_by"},
                                 True, proposal)
                self.assertEqual((proposal["row"]["key"], proposal["row"]["restart"], proposal["row"]["flags"]),
                                 ("chip5", 1, 3))
                self.assertEqual(proposal["host"], row.split(",")[1] + ":" + row.split(",")[2])
                self.assertEqual(proposal["package"], "\\".join(row.split(",")[5].split("\\")[:2]))
                self.assertIsNone(proposal["already_detected_by"])
                self.assertTrue(any("$Chicago$ covers both" in why for why in proposal["why"]), proposal["why"])

    def test_a_moved_image_proposes_the_present_board(self):
        # Both host bridges keep their keys; the Configuration Manager lists the KT133 alone.
        board = WhatIf.MOVED_KEYS.replace("FUNC_00]\r\n", 'FUNC_00]\r\n"CompatibleIDs"="PCI\\\\CC_0600"\r\n')
        kt133 = r"PCI\VEN_1106&DEV_0305&SUBSYS_00000000&REV_02\BUS_00&DEV_00&FUNC_00"
        for name, nodes, host in [("no list", "", "8086:7190"), ("the KT133 listed", WhatIf.device_nodes(kt133), "1106:0305")]:
            with self.subTest(name), shipped_folder() as f:
                f.write("board.reg", (board + nodes).encode())
                _, proposals = propose_json(f, board="board.reg", option="--reg")
                self.assertEqual(proposals[0]["host"], host)

    def test_sample_rows_written_are_detected(self):
        with shipped_folder() as f:
            boards = []
            for option, board, _, _ in self.SAMPLE_ROWS:
                boards += [option, os.path.join(SAMPLES, board)]
            status, out, err = run(["--propose"] + boards + ["--write", f.path])
            self.assertEqual(status, 0, out + err)
            for index, (option, board, _, _) in enumerate(self.SAMPLE_ROWS):
                with self.subTest(board):
                    _, report = f.check(option, os.path.join(SAMPLES, board))
                    self.assertEqual(report["whatif"]["detected"], 5 + index)
                    self.assertEqual(report["errors"], [])

    # Each: what the board is, the option, its text, and the row proposed or
    # the error. The folder's package DRIVERS\BX lists 7190, 7191 and 7192.
    BOARD_CASES = [
        ("lspci -nn, the AGP bridge first", "--lspci",
         "00:01.0 PCI bridge [0604]: Intel Corporation AGP bridge [8086:7191]\n"
         "00:00.0 Host bridge [0600]: Intel Corporation 440BX [8086:7190] (rev 03)\n", "chip1=" + BX_PROPOSED),
        ("lspci -n", "--lspci", "00:01.0 0604: 8086:7191\n00:00.0 0600: 8086:7190 (rev 03)\n", "chip1=" + BX_PROPOSED),
        ("the disabled variant's second code is the first", "--lspci", "00:00.0 0600: 8086:7192\n",
         "chip1=Intel 440BX/ZX/DX,8086,7192,7190,3,DRIVERS\\BX\\SETUP.EXE,1"),
        ("registry, CC_0600 in HardwareID", "--reg",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_7191&SUBSYS_00000000&REV_03\\BUS_00&DEV_01&FUNC_00]\r\n"
         "\"HardwareID\"=\"PCI\\\\VEN_8086&DEV_7191,PCI\\\\VEN_8086&CC_0604\"\r\n"
         "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03\\BUS_00&DEV_00&FUNC_00]\r\n"
         "\"HardwareID\"=\"PCI\\\\VEN_8086&DEV_7190,PCI\\\\VEN_8086&CC_0600\"\r\n", "chip1=" + BX_PROPOSED),
        ("registry, CC_0600 in CompatibleIDs", "--reg",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03\\BUS_00&DEV_00&FUNC_00]\r\n"
         "\"compatibleids\"=\"PCI\\\\CC_0600\"\r\n", "chip1=" + BX_PROPOSED),
        ("lspci without a host bridge", "--lspci", "00:01.0 0604: 8086:7191\n", "error: the board has no host bridge"),
        ("registry without a class", "--reg",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03]\r\n",
         "error: the board has no host bridge"),
    ]

    def test_agp_disabled_host_names_its_enabled_variant_rightly(self):
        with package_folder(texts() + drivers(MVP3_ROW), board="00:00.0 0600: 8086:7192\n") as f:
            _, proposals = propose_json(f)
            whys = " ".join(proposals[0]["why"])
            self.assertIn('7190 is the same chipset\'s host bridge with AGP enabled, of which pci.ids names 7192 '
                          'the "AGP disabled" variant', whys)
            self.assertNotIn('"AGP disabled" variant of 7192', whys)

    def test_boards(self):
        for name, option, board, expected in self.BOARD_CASES:
            with self.subTest(name), package_folder(texts() + drivers(MVP3_ROW), board=board) as f:
                status, out = propose(f, option=option)
                self.assertIn(expected, out.splitlines() if expected.startswith("chip") else out)
                self.assertEqual(status, 0 if expected.startswith("chip") else 1, out)

    # Each: the packages' files beyond DRIVERS\BX\SETUP.EXE, the options, and
    # the row or the error.
    PACKAGE_CASES = [
        ("several packages list the host bridge",
         {r"DRIVERS\BX\BX.INF": inf(pci_id("7190")), r"DRIVERS\BX2\BX2.INF": inf(pci_id("7190")),
          r"DRIVERS\BX2\SETUP.EXE": b"MZ"}, [], r"error: the INF files of several packages list the host bridge 8086:7190: DRIVERS\BX, DRIVERS\BX2"),
        ("--package chooses among them",
         {r"DRIVERS\BX\BX.INF": inf(pci_id("7190")), r"DRIVERS\BX2\BX2.INF": inf(pci_id("7190")),
          r"DRIVERS\BX2\SETUP.EXE": b"MZ"}, ["--package", r"drivers\bx2"], BX_PROPOSED.replace("BX\\", "BX2\\")),
        ("the board's other device", {r"DRIVERS\BX\AGP.INF": inf(pci_id("7191"))}, [], BX_PROPOSED),
        ("no package lists a device", {r"DRIVERS\BX\GX.INF": inf(pci_id("71A0"))}, [],
         "error: no INF file of a package under DRIVERS lists a device of this board"),
        ("--package where none lists one", {r"DRIVERS\BX\GX.INF": inf(pci_id("71A0"))}, ["--package", r"DRIVERS\BX"],
         BX_PROPOSED),
        ("--package names no folder", {}, ["--package", r"DRIVERS\NONE"], r"error: there is no package folder DRIVERS\NONE"),
        ("INSTALL.EXE when there is no SETUP.EXE",
         {r"DRIVERS\GX\GX.INF": inf(pci_id("7190")), r"DRIVERS\GX\Install.exe": b"MZ"}, [],
         BX_PROPOSED.replace("BX\\SETUP.EXE", "GX\\Install.exe")),
        ("no setup program", {r"DRIVERS\GX\GX.INF": inf(pci_id("7190")), r"DRIVERS\GX\README.TXT": b""}, [],
         r"error: DRIVERS\GX holds no SETUP.EXE and no INSTALL.EXE"),
        ("--flags", {}, ["--flags", "2"], BX_PROPOSED.replace(",3,", ",2,")),
        ("the INF's description where pci.ids has no name",
         {r"DRIVERS\BX\KT.INF": inf(pci_id("3099", "1106"), description="Sample CPU to PCI Bridge")}, [],
         r"Sample,1106,3099,0,3,DRIVERS\BX\SETUP.EXE,1"),
        ("the package's only INF is UTF-16", {r"DRIVERS\BX\BX.INF": utf16(inf(pci_id("7190")))}, [],
         r"error: DRIVERS\BX's INF files are all UTF-16 (BX.INF), which Windows 95 and 98 ignore: Windows 9x will not "
         "read that package; name it with --package to propose a row all the same"),
        ("--package names a package whose only INF is UTF-16", {r"DRIVERS\BX\BX.INF": utf16(inf(pci_id("7190")))},
         ["--package", r"DRIVERS\BX"], BX_PROPOSED),
    ]

    def test_flags_of_a_utf16_package(self):
        with package_folder(texts() + drivers(MVP3_ROW), {r"DRIVERS\BX\BX.INF": utf16(inf(pci_id("7190")))}) as f:
            _, proposals = propose_json(f, "--package", r"DRIVERS\BX")
            whys = " ".join(proposals[0]["why"])
            self.assertNotIn("$Chicago$ covers both", whys)
            self.assertIn("Windows 9x will not read that package", whys)

    def test_packages(self):
        for name, infs, options, expected in self.PACKAGE_CASES:
            board = "00:00.0 0600: 1106:3099\n" if "3099" in expected else BX_BOARD
            with self.subTest(name), package_folder(texts() + drivers(MVP3_ROW), infs or None, board=board) as f:
                status, out = propose(f, *options)
                if expected.startswith("error: "):
                    self.assertIn(expected, out)
                    self.assertEqual(status, 1, out)
                else:
                    self.assertIn("chip1=" + expected, out.splitlines())
                    self.assertEqual(status, 0, out)

    # Each: the settings file, and the file expected after --write.
    WRITE_CASES = [
        ("CRLF file", texts() + drivers(MVP3_ROW), texts() + drivers(MVP3_ROW, BX_PROPOSED)),
        ("LF file", (texts() + drivers(MVP3_ROW)).replace("\r\n", "\n"),
         (texts() + drivers(MVP3_ROW, BX_PROPOSED)).replace("\r\n", "\n")),
        ("a comment after the last row",
         "[Drivers]\r\nchip0=%s\r\n; chip1 comes later\r\n\r\n%s" % (MVP3_ROW, texts()),
         "[Drivers]\r\nchip0=%s\r\nchip1=%s\r\n; chip1 comes later\r\n\r\n%s" % (MVP3_ROW, BX_PROPOSED, texts())),
        ("no final line end", texts() + "[Drivers]\r\nchip0=" + MVP3_ROW,
         texts() + "[Drivers]\r\nchip0=" + MVP3_ROW + "\r\nchip1=" + BX_PROPOSED),
        ("the code page and the order kept",
         "[Drivers]\r\nchip0=%s\r\n[49]\r\nExit=Fr\xfch\r\n%s" % (MVP3_ROW, texts()),
         "[Drivers]\r\nchip0=%s\r\nchip1=%s\r\n[49]\r\nExit=Fr\xfch\r\n%s" % (MVP3_ROW, BX_PROPOSED, texts())),
        ("no row yet", texts() + "[Drivers]\r\n", texts() + drivers(BX_PROPOSED)),
    ]

    def test_write_keeps_every_other_byte(self):
        for name, settings, expected in self.WRITE_CASES:
            with self.subTest(name), package_folder(settings) as f:
                before = sorted(os.listdir(f.path))
                status, out = propose(f, "--write")
                self.assertEqual(status, 0, out)
                self.assertIn("written as chip", out)
                with open(os.path.join(f.path, "PYXET.INI"), "rb") as written:
                    self.assertEqual(written.read(), expected.encode("cp1252"))
                self.assertEqual(sorted(os.listdir(f.path)), before, "a temporary file is left")
                _, report = f.check("--lspci", os.path.join(f.path, "board.txt"))
                self.assertEqual(report["whatif"]["detected"], len(report["rows"]) - 1)

    # Each: the settings file --write refuses to change, and why.
    REFUSAL_CASES = [
        ("the table is full",
         texts() + drivers(*["Row %d,1106,%04X,0,3,DRIVERS\\BX\\SETUP.EXE,1" % (i, 0x9000 + i) for i in range(20)]),
         "not written: the table holds 20 rows"),
        ("a row detects the board already", texts() + drivers(MVP3_ROW, BX_ROW),
         "not written: chip1 detects this board already"),
        ("a duplicated [Drivers]", texts() + drivers(MVP3_ROW) + "[Drivers]\r\nchip1=" + MVP3_ROW + "\r\n",
         "not written: it holds [Drivers] 2 times, and the program reads only the first"),
    ]

    def test_refusals_leave_the_file_unchanged(self):
        for name, settings, message in self.REFUSAL_CASES:
            with self.subTest(name), package_folder(settings) as f:
                before = (digest(f), sorted(os.listdir(f.path)))
                status, out = propose(f, "--write")
                self.assertEqual(status, 1, out)
                self.assertIn(message, out)
                self.assertEqual((digest(f), sorted(os.listdir(f.path))), before)

    def test_already_detected_names_the_row(self):
        with package_folder(texts() + drivers(MVP3_ROW, BX_ROW)) as f:
            status, out = propose(f)
            self.assertEqual(status, 0, out)
            self.assertIn('the table detects this board already: chip1 "Intel 440BX" would win', out)
            self.assertIn("the new row would not be reached: chip1 detects this board already", out)
            _, proposals = propose_json(f)
            self.assertEqual((proposals[0]["already_detected_by"], proposals[0]["reached"]), ("chip1", False))

    def test_usage(self):
        for args in [["--write", "."], ["--propose", "."], ["--flags", "2", "--lspci", "a", "."],
                     ["--propose", "--flags", "12345", "--lspci", "a", "."], ["--propose", "--package"]]:
            with self.subTest(args):
                status, _, err = run(args)
                self.assertEqual(status, 2)
                self.assertIn("usage: pyxet-check", err)


# Each: the package's INF files, the findings expected beyond none, and a
# text the first one's message holds. The row is BX_ROW (8086:7190).
PACKAGE_FINDING_CASES = [
    ("listed", {"BX.INF": inf(pci_id("7190"), pci_id("71A1"))}, [], ""),
    ("listed in a subfolder, any case", {r"WIN98\bx.Inf": inf(pci_id("7190").lower())}, [], ""),
    ("not-in-package", {"GX.INF": inf(pci_id("71A0"), pci_id("71A1"))},
     [("not-in-package", "chip0"), ("package-covers-more", r"DRIVERS\BX")],
     r"8086:7190 is not listed by an INF file of DRIVERS\BX: they list the host bridges 8086:71A0 440GX - 82443GX Host bridge"),
    ("not-in-package: only an AGP bridge listed", {"GX.INF": inf(pci_id("71A1"))}, [("not-in-package", "chip0")],
     "they list no host bridge, only 8086:71A1 440GX - 82443GX AGP bridge"),
    ("unicode-inf", {"BX.INF": utf16(inf(pci_id("7190")))},
     [("unicode-inf", r"DRIVERS\BX\BX.INF")], "Windows 95 and 98 ignore Unicode INF files"),
    ("inf-signature: read all the same", {"BX.INF": inf(pci_id("7190"), signature="$Windows 9x$")},
     [("inf-signature", r"DRIVERS\BX\BX.INF")], 'Signature "$Windows 9x$" is none of the documented'),
    ("not-an-inf: no [Version]", {"BX.INF": inf(pci_id("7190")).replace(b"[Version]", b"[Versions]")},
     [("not-an-inf", r"DRIVERS\BX\BX.INF")], "no [Version] section"),
    ("nt-reads-otherwise: a banner before [Version]", {"BX.INF": b"/* Sample AGP */\r\n" + inf(pci_id("7190"))},
     [("nt-reads-otherwise", r"DRIVERS\BX\BX.INF")], "line 1: text before the first section"),
    ("not-in-package: a display INF", {"SIS6326.INF": inf(pci_id("6326", "1039"), description="SiS 6326")},
     [("not-in-package", "chip0")], "they list no host bridge, only 1039:6326"),
    ("not-an-inf: over 1 MiB", {"BX.INF": inf(pci_id("7190")) + b";" * (1 << 20)},
     [("not-an-inf", r"DRIVERS\BX\BX.INF")], "larger than 1048576 bytes"),
]


# Each: the IDs an INF of DRIVERS\X lists, its models' description, the
# board given with --lspci (or None), and the devices that are host bridges.
HOST_BRIDGE_CASES = [
    ("pci.ids: Host bridge", [pci_id("7190")], "Sample driver", None, ["8086:7190"]),
    ("pci.ids: a name ending in Host", [pci_id("0620", "1039")], "Sample driver", None, ["1039:0620"]),
    ("pci.ids: a chipset's name alone", [pci_id("0391", "1106")], "Sample driver", None, []),
    ("the INF: CPU to PCI Bridge", [pci_id("0391", "1106")], "VIA KX133 CPU to PCI Bridge", None, ["1106:0391"]),
    ("the INF: a chip pci.ids does not know", [pci_id("6326", "1039")], "SiS 6326", None, []),
    ("the INF: an I/O APIC", [pci_id("7A00", "1234")], "Sample I/O APIC", None, []),
    ("the INF: Memory Controller Hub", [pci_id("2570")], "Intel 82865G Memory Controller Hub", None, ["8086:2570"]),
    ("the INF: System Controller", [pci_id("7006", "1022")], "AMD-751 System Controller", None, ["1022:7006"]),
    ("the INF: CC_0600", [pci_id("7A00", "1234") + "&CC_0600"], "Sample driver", None, ["1234:7A00"]),
    ("the board: class 0600", [pci_id("0391", "1106")], "Sample driver", "00:00.0 0600: 1106:0391\n", ["1106:0391"]),
]


class Packages(unittest.TestCase):
    """Every row against what its package's INF files list."""

    def test_host_bridges(self):
        for name, ids, description, board, expected in HOST_BRIDGE_CASES:
            files = {r"DRIVERS\X\X.INF": inf(*ids, description=description)}
            with self.subTest(name), package_folder(texts() + drivers(BX_ROW), files, board=board or "") as f:
                _, report = f.check(*(["--lspci", os.path.join(f.path, "board.txt")] if board else []))
                self.assertEqual(report["coverage"][r"DRIVERS\X"]["host_bridges"], expected)

    def test_findings(self):
        for name, infs, expected, hint in PACKAGE_FINDING_CASES:
            files = {"DRIVERS\\BX\\" + relative: data for relative, data in infs.items()}
            with self.subTest(name), package_folder(texts() + drivers(BX_ROW), files) as f:
                status, report = f.check()
                found = report["warnings"] + report["package_notes"]
                self.assertEqual(kinds(found), sorted(expected), json.dumps(found, indent=1))
                self.assertEqual(status, 0)
                if hint:
                    self.assertIn(hint, found[0]["message"])

    def test_coverage(self):
        files = {r"DRIVERS\BX\BX.INF": inf(pci_id("7190"), pci_id("7192")), r"DRIVERS\BX\GX.INF": inf(pci_id("71A0")),
                 r"DRIVERS\SIS\SIS.INF": inf(pci_id("0001", "1039"))}
        with package_folder(texts() + drivers(BX_ROW), files) as f:
            _, report = f.check()
            self.assertEqual(report["coverage"], {
                r"DRIVERS\BX": {"lists": ["8086:7190", "8086:7192", "8086:71A0"],
                                "detected_by_rows": ["8086:7190"],
                                "host_bridges": ["8086:7190", "8086:7192", "8086:71A0"],
                                "undetected": ["8086:7192", "8086:71A0"], "rows": ["chip0"]},
                r"DRIVERS\SIS": {"lists": ["1039:0001"], "detected_by_rows": [], "host_bridges": [],
                                 "undetected": [], "rows": []}})
            self.assertEqual(kinds(report["package_notes"]), [("package-covers-more", r"DRIVERS\BX")])
            self.assertIn("its INF files list 3 PCI devices, of which 3 are host bridges; no row detects "
                          "8086:7192 440BX/ZX/DX - 82443BX/ZX/DX Host bridge (AGP disabled), 8086:71A0 440GX",
                          report["package_notes"][0]["message"])
            _, out, _ = run([f.path])
            lines = out.splitlines()
            self.assertIn(r"Package DRIVERS\BX: its INF files list 3 PCI devices, of which 3 are host bridges; "
                          "1 row uses it; no row detects the listed host bridges 8086:7192 8086:71A0", lines)
            self.assertIn(r"Package DRIVERS\SIS: its INF files list 1 PCI device, of which none is a host bridge; "
                          "0 rows use it", lines)
            self.assertLess(lines.index(r"Package DRIVERS\SIS: its INF files list 1 PCI device, of which none is a "
                                        "host bridge; 0 rows use it"),
                            [i for i, l in enumerate(lines) if l.startswith("Languages:")][0])


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

    def test_version_is_the_one_in_version(self):
        with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "VERSION")) as f:
            line = "pyxet-check %s\n" % f.read().strip()
        for args in (["--version"], ["--help"]):
            with self.subTest(args[0]):
                status, out, _ = run(args)
                self.assertEqual(status, 0)
                self.assertTrue(out == line if args == ["--version"] else out.endswith(line), out)

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

    def test_a_report_that_cannot_be_written_is_no_success(self):
        # A full disk under the standard output: the report is lost, so the
        # exit status is 2 and the standard error says why.
        with Folder(texts() + drivers(BX_ROW)) as f:
            for args in (["--version"], ["--json", f.path], [f.path]):
                for name, program in self.PROGRAMS:
                    with self.subTest(name=name, args=args[0]), open("/dev/full", "w") as full:
                        done = subprocess.run([program()] + args, stdout=full, stderr=subprocess.PIPE, timeout=60)
                        self.assertEqual(done.returncode, 2)
                        self.assertIn(b"cannot write the report", done.stderr)

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

    def test_many_sections_in_linear_time(self):
        # 1 MiB of small text sections: every section's keys are looked up.
        section = "".join("%s=%s\r\n" % (key, key) for key in TEXT_KEYS[:7])
        sections = "".join("[%d]\r\n%s" % (1000 + i, section) for i in range((1 << 20) // 120))
        with Folder(texts() + drivers(BX_ROW) + sections) as f:
            for build, program in self.PROGRAMS:
                with self.subTest(build):
                    started = time.monotonic()
                    status, _, err = run([f.path], program=program())
                    self.assertEqual(status, 0, err)
                    self.assertLess(time.monotonic() - started, 20)

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
