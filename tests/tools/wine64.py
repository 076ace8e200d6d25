"""64-bit Wine for the tests that run pyxet-check.exe: runs with their
output caught, and a prefix made once however many tests start at once."""
import fcntl
import os
import subprocess
import tempfile


def run_program(command, env, cwd=None, timeout=120):
    """Exit status, output and messages of a run. They are caught in files,
    not pipes: the wineserver and services that a Wine run may start inherit
    its output, and a pipe would stay open until they end."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        status = subprocess.run(command, stdout=out, stderr=err, env=env, cwd=cwd, timeout=timeout).returncode
        out.seek(0)
        err.seek(0)
        return status, out.read().decode("utf-8", "replace"), err.read().decode("utf-8", "replace")


def prepare_prefix(wine64, prefix, env):
    """Makes the 64-bit prefix (env names it) once, under a lock beside it;
    returns why 64-bit Wine cannot run here, or None."""
    try:
        status, _, err = run_program([wine64, "--version"], env)
    except (OSError, subprocess.TimeoutExpired) as e:
        return "%s cannot run here: %s" % (wine64, e)
    if status != 0:
        return "%s cannot run here: %s" % (wine64, err.strip())
    os.makedirs(os.path.dirname(prefix), exist_ok=True)
    with open(prefix + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(prefix, "system.reg")):
            status, _, err = run_program([wine64, "wineboot", "-i"], env)
            if status != 0:
                return "wineboot cannot make the 64-bit prefix %s: %s" % (prefix, err.strip()[-500:])
    return None
