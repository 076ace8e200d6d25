"""The real inputs of tests/tools/real, each given to pyxet-check as a CD
author would, against the answer its row of cases.tsv gives.

    real_inputs_test.py Boards|Infs

Boards: each board listing and registry export goes to --propose in a
folder whose package DRIVERS\\X has an INF listing the host bridge the row
names; the proposal must name that host bridge, list as many devices as the
row says and propose a row. A row whose host bridge is "refuse" must stop
the checker (exit 2) with the command to run instead.

Infs: each INF file goes alone into DRIVERS\\X of a folder, and the coverage
that pyxet-check --json reports for that package must list the row's device
count and host bridges.

PYXET_CHECK names the checker and REAL_PCI_IDS the full pci.ids a CD
author's checker has; without it the group is skipped (77)."""
import contextlib
import csv
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

CHECK = os.environ.get("PYXET_CHECK", "")
PCI_IDS = os.environ.get("REAL_PCI_IDS", "")
REAL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "real")
BOARD_OPTIONS = {"board": "--lspci", "reg": "--reg"}


def cases(kinds):
    """The rows of cases.tsv of those kinds."""
    with open(os.path.join(REAL, "cases.tsv"), newline="", encoding="utf-8") as f:
        return [row for row in csv.DictReader(f, delimiter="\t") if row["kind"] in kinds]


@contextlib.contextmanager
def package_folder(files):
    """A folder with an empty [Drivers] table and the package DRIVERS\\X
    holding files (name to bytes); removed afterwards."""
    folder = tempfile.mkdtemp(prefix="pyxet-real-")
    try:
        with open(os.path.join(folder, "PYXET.INI"), "wb") as f:
            f.write(b"[Drivers]\r\n")
        os.makedirs(os.path.join(folder, "DRIVERS", "X"))
        for name, data in files.items():
            with open(os.path.join(folder, "DRIVERS", "X", name), "wb") as f:
                f.write(data)
        yield folder
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def check(*args):
    """pyxet-check with the full pci.ids: exit status, output and messages."""
    done = subprocess.run([CHECK] + list(args), capture_output=True, text=True,
                          env=dict(os.environ, PYXET_PCI_IDS=PCI_IDS))
    return done.returncode, done.stdout, done.stderr


def package_inf(host):
    """A Windows 9x package INF listing the host bridge "vvvv:dddd"."""
    vendor, device = host.split(":")
    return ("[Version]\r\nSignature=\"$CHICAGO$\"\r\nClass=System\r\n\r\n[Manufacturer]\r\n\"Real\"=Real\r\n\r\n"
            "[Real]\r\n%%D%%=Real.Install,PCI\\VEN_%s&DEV_%s\r\n\r\n[Real.Install]\r\n\r\n[Strings]\r\n"
            "D=\"Real host bridge\"\r\n" % (vendor, device)).encode("ascii")


class Boards(unittest.TestCase):
    @staticmethod
    def propose(case):
        """--propose --json on the case's board: exit status, the proposal
        (None when it could not run) and its messages."""
        files = {"SETUP.EXE": b"MZ"}
        if case["host_bridge"] != "refuse":
            files["X.INF"] = package_inf(case["host_bridge"])
        with package_folder(files) as folder:
            status, out, err = check("--propose", BOARD_OPTIONS[case["kind"]], os.path.join(REAL, case["file"]),
                                     "--json", folder)
        return status, json.loads(out)["proposals"][0] if status != 2 else None, err

    def test_cases(self):
        rows = cases(BOARD_OPTIONS)
        self.assertGreaterEqual(len(rows), 12)
        for case in rows:
            with self.subTest(case["file"]):
                status, proposal, messages = self.propose(case)
                if case["host_bridge"] == "refuse":
                    self.assertEqual(status, 2, proposal)
                    self.assertIn("lspci -nn", messages)
                    continue
                self.assertIsNotNone(proposal, messages)
                self.assertEqual((proposal["host"] or "").lower(), case["host_bridge"].lower(), proposal)
                self.assertEqual(len(proposal["devices"]), int(case["devices"]), proposal["devices"])
                self.assertEqual((status, proposal["package"]), (0, "DRIVERS\\X"), proposal)


class Infs(unittest.TestCase):
    @staticmethod
    def coverage_of(inf_path):
        """pyxet-check's coverage of DRIVERS\\X holding the INF alone."""
        with open(inf_path, "rb") as f:
            files = {os.path.basename(inf_path): f.read()}
        with package_folder(files) as folder:
            status, out, err = check("--json", folder)
        if status == 2:
            raise AssertionError("pyxet-check could not run: " + err)
        report = json.loads(out)
        return report["coverage"].get("DRIVERS\\X"), report

    def test_cases(self):
        rows = cases({"inf"})
        self.assertGreaterEqual(len(rows), 6)
        for case in rows:
            with self.subTest(case["file"]):
                coverage, report = self.coverage_of(os.path.join(REAL, case["file"]))
                self.assertIsNotNone(coverage, json.dumps(report["warnings"], indent=1))
                self.assertEqual(len(coverage["lists"]), int(case["devices"]), coverage["lists"])
                expected = [] if case["host_bridges"] == "-" else case["host_bridges"].split()
                self.assertEqual(coverage["host_bridges"], sorted(expected))


if __name__ == "__main__":
    if not CHECK:
        raise SystemExit("PYXET_CHECK names no pyxet-check")
    if not os.path.isfile(PCI_IDS):
        print("skipped: no pci.ids at REAL_PCI_IDS=%r (apt-get install pci.ids)" % PCI_IDS)
        raise SystemExit(77)
    if len(sys.argv) != 2 or sys.argv[1] not in ("Boards", "Infs"):
        raise SystemExit("usage: real_inputs_test.py Boards|Infs")
    unittest.main(argv=[sys.argv[0], sys.argv[1]], verbosity=2)
