"""The real INF files of tests/tools/real/infs, each checked as a CD author
would: a folder with a PYXET.INI and the INF under DRIVERS\\X, pyxet-check
--json, and the coverage of that package against the answer cases.tsv gives
(the devices listed, which of them are host bridges)."""
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


def inf_cases():
    with open(os.path.join(REAL, "cases.tsv"), newline="", encoding="utf-8") as f:
        return [row for row in csv.DictReader(f, delimiter="\t") if row["kind"] == "inf"]


def coverage_of(inf_path):
    """pyxet-check's coverage of DRIVERS\\X holding the INF alone."""
    folder = tempfile.mkdtemp(prefix="pyxet-real-inf-")
    try:
        with open(os.path.join(folder, "PYXET.INI"), "wb") as f:
            f.write(b"[Drivers]\r\n")
        os.makedirs(os.path.join(folder, "DRIVERS", "X"))
        shutil.copy(inf_path, os.path.join(folder, "DRIVERS", "X", os.path.basename(inf_path)))
        done = subprocess.run([CHECK, "--json", folder], capture_output=True, text=True,
                              env=dict(os.environ, PYXET_PCI_IDS=PCI_IDS))
        if done.returncode == 2:
            raise AssertionError("pyxet-check could not run: " + done.stderr)
        report = json.loads(done.stdout)
        return report["coverage"].get("DRIVERS\\X"), report
    finally:
        shutil.rmtree(folder, ignore_errors=True)


class RealInfs(unittest.TestCase):
    def test_cases(self):
        cases = inf_cases()
        self.assertGreaterEqual(len(cases), 6)
        for case in cases:
            with self.subTest(case["file"]):
                coverage, report = coverage_of(os.path.join(REAL, case["file"]))
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
    unittest.main(verbosity=2)
