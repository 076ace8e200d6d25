"""The real board listings and registry exports of tests/tools/real, each
given to pyxet-check --propose as a CD author would: a folder with a
PYXET.INI and a package DRIVERS\\X whose INF lists the host bridge that
cases.tsv names. The proposal must name that host bridge, list as many
devices as the row says and propose a row; a row whose host bridge is
"refuse" must stop the checker (exit 2) with the command to run instead."""
import csv
import json
import os
import shutil
import subprocess
import tempfile
import unittest

CHECK = os.environ.get("PYXET_CHECK", "")
PCI_IDS = os.environ.get("REAL_PCI_IDS", "")
REAL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "real")
OPTIONS = {"board": "--lspci", "reg": "--reg"}


def board_cases():
    with open(os.path.join(REAL, "cases.tsv"), newline="", encoding="utf-8") as f:
        return [row for row in csv.DictReader(f, delimiter="\t") if row["kind"] in OPTIONS]


def package_inf(host):
    """A Windows 9x package INF listing the host bridge "vvvv:dddd"."""
    vendor, device = host.split(":")
    return ("[Version]\r\nSignature=\"$CHICAGO$\"\r\nClass=System\r\n\r\n[Manufacturer]\r\n\"Real\"=Real\r\n\r\n"
            "[Real]\r\n%%D%%=Real.Install,PCI\\VEN_%s&DEV_%s\r\n\r\n[Real.Install]\r\n\r\n[Strings]\r\n"
            "D=\"Real host bridge\"\r\n" % (vendor, device)).encode("ascii")


def propose(case):
    """pyxet-check --propose --json on the case's board: exit status, the
    proposal (None when it could not run) and its messages."""
    folder = tempfile.mkdtemp(prefix="pyxet-real-board-")
    try:
        with open(os.path.join(folder, "PYXET.INI"), "wb") as f:
            f.write(b"[Drivers]\r\n")
        os.makedirs(os.path.join(folder, "DRIVERS", "X"))
        with open(os.path.join(folder, "DRIVERS", "X", "SETUP.EXE"), "wb") as f:
            f.write(b"MZ")
        if case["host_bridge"] != "refuse":
            with open(os.path.join(folder, "DRIVERS", "X", "X.INF"), "wb") as f:
                f.write(package_inf(case["host_bridge"]))
        done = subprocess.run([CHECK, "--propose", OPTIONS[case["kind"]], os.path.join(REAL, case["file"]),
                               "--json", folder], capture_output=True, text=True,
                              env=dict(os.environ, PYXET_PCI_IDS=PCI_IDS))
        proposal = json.loads(done.stdout)["proposals"][0] if done.returncode != 2 else None
        return done.returncode, proposal, done.stderr
    finally:
        shutil.rmtree(folder, ignore_errors=True)


class RealBoards(unittest.TestCase):
    def test_cases(self):
        cases = board_cases()
        self.assertGreaterEqual(len(cases), 12)
        for case in cases:
            with self.subTest(case["file"]):
                status, proposal, messages = propose(case)
                if case["host_bridge"] == "refuse":
                    self.assertEqual(status, 2, proposal)
                    self.assertIn("lspci -nn", messages)
                    continue
                self.assertIsNotNone(proposal, messages)
                self.assertEqual((proposal["host"] or "").lower(), case["host_bridge"].lower(), proposal)
                self.assertEqual(len(proposal["devices"]), int(case["devices"]), proposal["devices"])
                self.assertEqual((status, proposal["package"]), (0, "DRIVERS\\X"), proposal)


if __name__ == "__main__":
    if not CHECK:
        raise SystemExit("PYXET_CHECK names no pyxet-check")
    if not os.path.isfile(PCI_IDS):
        print("skipped: no pci.ids at REAL_PCI_IDS=%r (apt-get install pci.ids)" % PCI_IDS)
        raise SystemExit(77)
    unittest.main(verbosity=2)
