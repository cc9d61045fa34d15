#!/usr/bin/env python3
"""Wrong cells kept as confirmed by backups over a noisy line.

Runs `pivota backup` against pivota-sim, which loses and damages each byte it sends with a given
probability (--drop P --corrupt P), once per seed, several runs at a time, and compares every cell
the backup holds as confirmed with what the simulated boards really hold. A backup must never hold
a value the board did not have: a cell may stay "unbestätigt", but a confirmed cell that differs is
a fault. Not a test: each run takes a minute or more of real time.

  python3 bench/belief.py BUILD_DIR [RUNS] [NOISE ...]      (default 20 runs at 0.01 and 0.05)
"""

import concurrent.futures
import os
import re
import subprocess
import sys
import tempfile
import time

PARALLEL = int(os.environ.get("BELIEF_PARALLEL", "8"))
# A folder to keep each run's traces in (the simulator's --trace, the program's transfer log and
# the backup), for finding out how a wrong cell came about.
KEEP = os.environ.get("BELIEF_KEEP")


def eeprom_text():
    # Values that differ from the simulator's defaults and from each other's neighbours.
    lines = []
    for board, factor in (("P", 7), ("B", 13)):
        for cell in range(256):
            lines.append("%s %02x %02x" % (board, cell, (cell * factor + 3) & 0xFF))
    return "\n".join(lines) + "\n"


def board_cells(text):
    cells = {}
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] in ("P", "B"):
            cells[(parts[0], int(parts[1], 16))] = int(parts[2], 16)
    return cells


def backup_cells(path):
    cells = {}
    section = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line.startswith("["):
                section = line.strip("[]").upper()
                continue
            m = re.match(r"data_(\d+)_(grube|buhne)=(.*)$", line, re.I)
            if m and section in ("EE_GRUBE", "EE_BUHNE"):
                board = "P" if m.group(2).lower() == "grube" else "B"
                value = m.group(3).strip()
                cells[(board, int(m.group(1)))] = int(value) if value.isdigit() else None
    return cells


def run(build, noise, seed):
    with tempfile.TemporaryDirectory() as tmp:
        eeprom = os.path.join(tmp, "eeprom.txt")
        with open(eeprom, "w") as f:
            f.write(eeprom_text())
        link = os.path.join(tmp, "turntable")
        settings = os.path.join(tmp, "pivota.ini")
        with open(settings, "w") as f:
            f.write("[SETTINGS]\n")
        backup = os.path.join(tmp, "backup.pvt")
        name = "%.2f-%d" % (noise, seed)
        sim_err = open(os.path.join(KEEP, "sim-%s.txt" % name), "w") if KEEP else subprocess.DEVNULL
        sim = subprocess.Popen(
            [os.path.join(build, "sim", "pivota-sim"), "--link", link, "--seed", str(seed),
             "--drop", str(noise), "--corrupt", str(noise), "--eeprom", eeprom] +
            (["--trace"] if KEEP else []),
            stdout=subprocess.PIPE, stderr=sim_err, text=True)
        sim.stdout.readline()  # the device path: the line is up
        start = time.monotonic()
        result = subprocess.run(
            [os.path.join(build, "src", "pivota"), "backup", "--port", link, "--settings",
             settings, backup],
            stdin=subprocess.DEVNULL, capture_output=True, text=True,
            env=dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8",
                     **({"QT_LOGGING_RULES": "pivota.*=true"} if KEEP else {})))
        seconds = time.monotonic() - start
        sim.terminate()
        sim.wait()
        if KEEP:
            with open(os.path.join(KEEP, "pivota-%s.txt" % name), "w") as f:
                f.write(result.stderr)
            if os.path.exists(backup):
                with open(backup, encoding="utf-8") as src, \
                        open(os.path.join(KEEP, "backup-%s.pvt" % name), "w") as dst:
                    dst.write(src.read())
        truth = board_cells(eeprom_text())
        if not os.path.exists(backup):
            return noise, seed, result.returncode, seconds, None, None
        held = backup_cells(backup)
        wrong = [(k, v, truth.get(k)) for k, v in held.items()
                 if v is not None and truth.get(k) != v]
        unconfirmed = sum(1 for v in held.values() if v is None)
        return noise, seed, result.returncode, seconds, wrong, unconfirmed


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    build = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    noises = [float(n) for n in sys.argv[3:]] or [0.01, 0.05]
    first = int(os.environ.get("BELIEF_FIRST_SEED", "1"))
    jobs = [(n, seed) for n in noises for seed in range(first, first + runs)]
    results = []
    with concurrent.futures.ThreadPoolExecutor(PARALLEL) as pool:
        for r in pool.map(lambda j: run(build, *j), jobs):
            noise, seed, code, seconds, wrong, unconfirmed = r
            detail = ("no file" if wrong is None else
                      "%d wrong, %d unconfirmed" % (len(wrong), unconfirmed))
            print("noise %.2f seed %2d: exit %d, %5.1f s, %s%s" % (
                noise, seed, code, seconds, detail,
                "" if not wrong else "  " + " ".join(
                    "%s%d file %d board %d" % (k[0], k[1], v, t) for k, v, t in wrong)),
                flush=True)
            results.append(r)
    for noise in noises:
        rs = [r for r in results if r[0] == noise]
        files = [r for r in rs if r[4] is not None]
        wrong_cells = sum(len(r[4]) for r in files)
        wrong_runs = sum(1 for r in files if r[4])
        print("noise %.2f: %d runs, %d files, %d wrong confirmed cells in %d runs, "
              "%d unconfirmed cells, median %.1f s" % (
                  noise, len(rs), len(files), wrong_cells, wrong_runs,
                  sum(r[5] for r in files), sorted(r[3] for r in rs)[len(rs) // 2]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
