#!/usr/bin/env python3
"""An interrupted soak run leaves nothing behind.

Starts scripts/wine-harness.sh with e2e_soak, as make soak does, waits until
the soak has begun its second run, and interrupts it: with the signal sent
to its whole process group, as Ctrl-C, a hang-up or `timeout` send it, or
to the script alone, as `kill` does. Then the script must have exited with
128 plus the signal's number and said how many runs had begun, and no
process of its Wine prefix may be left: no Wine process, no wineserver, no
X server (each carries the prefix in its environment). The soak runs in a
Wine session and prefix of its own, so that the session the other tests
share is not disturbed.

    soak_interrupt_test.py PROJECT_DIR

Exits 77 (skipped) where this machine cannot run the flavour's Wine.
"""
import os
import queue
import re
import signal
import subprocess
import sys
import threading
import time
import unittest

PROJECT = sys.argv.pop(1) if len(sys.argv) > 1 else os.getcwd()
HARNESS = os.path.join(PROJECT, "scripts", "wine-harness.sh")
WINE_RUN = os.path.join(PROJECT, "scripts", "wine-run.sh")
WORK_NAME = "soak-interrupt"
# One session and prefix for each flavour: a 32-bit prefix cannot run the
# x86_64 build, nor a 64-bit one the i386 build.
FLAVOUR = os.environ.get("PYXET_E2E_FLAVOUR", "i386")
OWN_SESSION = {
    "PYXET_WINE_SESSION": os.path.join(PROJECT, "build", "soak-interrupt-session-" + FLAVOUR),
    "WINEPREFIX": os.path.join(PROJECT, "build", "soak-interrupt-prefix-" + FLAVOUR),
}
RUNS = "50"  # far more than are done before the signal
SEED = "1"
BEGUN_BEFORE_SIGNAL = 2
START_SECONDS = 180  # a new prefix is made on the first start
END_SECONDS = 60
LEFTOVER_SECONDS = 10


def processes_of_prefix(prefix):
    """'PID command line' of every live process whose environment names prefix."""
    wanted = b"WINEPREFIX=" + os.fsencode(prefix)
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/environ", "rb") as environ:
                names = environ.read().split(b"\0")
            with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                command = cmdline.read().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue  # ended meanwhile, or not ours
        if wanted in names:
            found.append(f"{pid} {command.strip()}")
    return found


class Soak:
    """The harness running e2e_soak, its output read line by line."""

    def __init__(self):
        self.process = subprocess.Popen(
            ["sh", HARNESS, "e2e_soak", WORK_NAME, RUNS, SEED], env={**os.environ, **OWN_SESSION},
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, start_new_session=True)
        self.lines = []
        self._queue = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            self._queue.put(line.rstrip("\n"))
        self._queue.put(None)

    def wait_for_line(self, pattern, seconds):
        """The first line matching pattern, or None once the output ends or time runs out."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            try:
                line = self._queue.get(timeout=0.5)
            except queue.Empty:
                continue
            if line is None:
                return None
            self.lines.append(line)
            if re.search(pattern, line):
                return line
        return None

    def finish(self, seconds):
        """Exit status, once the output has ended."""
        self.wait_for_line(r"(?!)", seconds)
        return self.process.wait(timeout=seconds)

    def end_by_force(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        self.process.stdout.close()

    def transcript(self):
        return "\n".join(self.lines)


class InterruptedSoak(unittest.TestCase):
    # The signal, and whether it goes to the whole process group.
    CASES = [
        (signal.SIGINT, True),   # Ctrl-C, timeout -s INT
        (signal.SIGTERM, True),  # timeout
        (signal.SIGHUP, True),   # the terminal hung up
        (signal.SIGTERM, False), # kill PID
    ]

    def test_leaves_nothing_behind(self):
        for signum, whole_group in self.CASES:
            with self.subTest(signal=signum.name, whole_group=whole_group):
                self.interrupt(signum, whole_group)

    def interrupt(self, signum, whole_group):
        soak = Soak()
        try:
            session = soak.wait_for_line(r"^wine-session: .* prefix ", START_SECONDS)
            self.assertIsNotNone(session, "the session did not start:\n" + soak.transcript())
            prefix = session.split(" prefix ", 1)[1]
            begun = soak.wait_for_line(rf"^run {BEGUN_BEFORE_SIGNAL}: ", START_SECONDS)
            self.assertIsNotNone(begun, "the soak did not reach its second run:\n" + soak.transcript())
            self.assertTrue(processes_of_prefix(prefix), "nothing of the prefix runs: the test proves nothing")
            if whole_group:
                os.killpg(soak.process.pid, signum)
            else:
                os.kill(soak.process.pid, signum)
            status = soak.finish(END_SECONDS)
        finally:
            soak.end_by_force()
        self.assertEqual(status, 128 + signum, soak.transcript())
        summary = re.search(rf"interrupted by SIG{signum.name[3:]}: (\d+) runs begun, (\d+) failed",
                            soak.transcript())
        self.assertIsNotNone(summary, soak.transcript())
        self.assertGreaterEqual(int(summary.group(1)), BEGUN_BEFORE_SIGNAL)
        deadline = time.monotonic() + LEFTOVER_SECONDS
        while processes_of_prefix(prefix) and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(processes_of_prefix(prefix), [], "left running after the interruption")


def main():
    if subprocess.run(["sh", WINE_RUN, "--version"], stdout=subprocess.DEVNULL,
                      stderr=subprocess.DEVNULL).returncode == 77:
        print("soak_interrupt_test: Wine cannot run here; skipped")
        return 77
    program = unittest.main(exit=False, verbosity=2)
    return 0 if program.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
