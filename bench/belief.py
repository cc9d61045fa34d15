#!/usr/bin/env python3
"""Wrong cells believed by backups, compares and restores over a noisy line.

Runs `pivota backup`, `compare` or `restore` against pivota-sim, which loses and damages each byte
it sends with a given probability (--drop P --corrupt P), once per seed, several runs at a time,
and checks what the program said against what the simulated boards really hold (--eeprom, saved
by the simulator at its end). Not a test: each run takes a minute or more of real time.

- backup: every cell the backup holds as confirmed must be what the board holds. A cell may stay
  "unbestätigt", but a confirmed cell that differs is a fault (a wrong cell).
- compare: against a file one bit away from the board in every cell but the four firmware cells
  (508 cells). Every one of them must be listed; a cell not listed is a missed difference, and a
  cell listed with a board value that the board does not hold is a wrong cell.
- restore: the same file, restored with --yes. Afterwards every cell must hold the file's value;
  a cell left old or holding another value is counted, and so are those of them that the output
  did not name (not written, not confirmed, no sure answer): those were left without a word.
- same: compare against a file equal to the board, for the cost of a compare on a clean line.

  python3 bench/belief.py BUILD_DIR [backup|compare|restore|same] [RUNS] [NOISE ...]
      (default backup, 20 runs at 0.01 and 0.05)

Each run prints its time and the requests the program sent (reads and writes, from its transfer
log). BELIEF_PARALLEL runs at a time (default 3), seeds from BELIEF_FIRST_SEED (default 1);
BELIEF_KEEP=DIR keeps each run's byte traces, log and file.
"""

import concurrent.futures
import os
import re
import subprocess
import sys
import tempfile
import time

PARALLEL = int(os.environ.get("BELIEF_PARALLEL", "3"))
# A folder to keep each run's traces in (the simulator's --trace, the program's transfer log and
# the backup), for finding out how a wrong cell came about.
KEEP = os.environ.get("BELIEF_KEEP")
KINDS = ("backup", "compare", "restore", "same")
FIRMWARE = {("P", 0), ("P", 1), ("B", 126), ("B", 127)}
BOARD_LETTER = {"Grube": "P", "Bühne": "B"}


def truth():
    # Values that differ from the simulator's defaults and from each other's neighbours.
    return {(board, cell): (cell * factor + 3) & 0xFF
            for board, factor in (("P", 7), ("B", 13)) for cell in range(256)}


def one_bit_away(cells):
    # Every cell one bit away, a different bit from cell to cell; the firmware cells, which a
    # restore never writes, as the board holds them.
    return {k: v if k in FIRMWARE else v ^ (1 << (k[1] % 8)) for k, v in cells.items()}


def eeprom_text(cells):
    return "".join("%s %02x %02x\n" % (b, c, v) for (b, c), v in sorted(cells.items()))


def board_cells(text):
    cells = {}
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] in ("P", "B"):
            cells[(parts[0], int(parts[1], 16))] = int(parts[2], 16)
    return cells


def file_text(cells):
    text = ""
    for board, section, name in (("P", "EE_GRUBE", "grube"), ("B", "EE_BUHNE", "buhne")):
        text += "[%s]\n" % section
        text += "".join("data_%d_%s=%d\n" % (c, name, cells[(board, c)]) for c in range(256))
    return text


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


CELL = re.compile(r"(Grube|Bühne) (\d+) \(0x[0-9a-f]+\)")


def output_cells(out):
    """What the program's output says of each cell it names: the board's value in a difference
    (an int, or None where the board gave no sure answer), and whether a restore named it as not
    written or not confirmed."""
    listed, failed = {}, set()
    for line in out.splitlines():
        m = CELL.search(line)
        if not m:
            continue
        key = (BOARD_LETTER[m.group(1)], int(m.group(2)))
        if "nicht geschrieben, soll" in line or "nicht bestätigt, soll" in line:
            failed.add(key)
            continue
        d = re.search(r": Datei .*, Steuerung (\d+)?", line)
        if d:
            listed[key] = int(d.group(1)) if d.group(1) else None
    return listed, failed


def requests(log):
    # The transfer log names every read and write the program sent ("read "Grube" "0x0a" pass 1").
    return sum(1 for line in log.splitlines()
               if re.match(r'(pivota\.transfer: )?(read|write) "', line))


def run(build, kind, noise, seed):
    board = truth()
    wanted = board if kind == "same" else one_bit_away(board)
    with tempfile.TemporaryDirectory() as tmp:
        eeprom = os.path.join(tmp, "eeprom.txt")
        with open(eeprom, "w") as f:
            f.write(eeprom_text(board))
        link = os.path.join(tmp, "turntable")
        settings = os.path.join(tmp, "pivota.ini")
        with open(settings, "w") as f:
            f.write("[SETTINGS]\n")
        target = os.path.join(tmp, "file.pvt")
        if kind != "backup":
            with open(target, "w", encoding="utf-8") as f:
                f.write(file_text(wanted))
        name = "%s-%.2f-%d" % (kind, noise, seed)
        sim_err = open(os.path.join(KEEP, "sim-%s.txt" % name), "w") if KEEP else subprocess.DEVNULL
        sim = subprocess.Popen(
            [os.path.join(build, "sim", "pivota-sim"), "--link", link, "--seed", str(seed),
             "--drop", str(noise), "--corrupt", str(noise), "--eeprom", eeprom] +
            (["--trace"] if KEEP else []),
            stdout=subprocess.PIPE, stderr=sim_err, text=True)
        sim.stdout.readline()  # the device path: the line is up
        start = time.monotonic()
        command = "compare" if kind == "same" else kind
        result = subprocess.run(
            [os.path.join(build, "src", "pivota"), command, "--port", link, "--settings",
             settings, "--lang", "de"] + (["--yes"] if kind == "restore" else []) + [target],
            stdin=subprocess.DEVNULL, capture_output=True, text=True,
            env=dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8",
                     QT_LOGGING_RULES="pivota.transfer.debug=true" +
                     (";pivota.*=true" if KEEP else "")))
        seconds = time.monotonic() - start
        sim.terminate()
        sim.wait()  # the simulator saves its cells at its end
        with open(eeprom) as f:
            after = board_cells(f.read())
        if KEEP:
            with open(os.path.join(KEEP, "pivota-%s.txt" % name), "w") as f:
                f.write(result.stdout + result.stderr)
            if os.path.exists(target):
                with open(target, encoding="utf-8") as src, \
                        open(os.path.join(KEEP, "file-%s.pvt" % name), "w") as dst:
                    dst.write(src.read())
        r = {"kind": kind, "noise": noise, "seed": seed, "code": result.returncode,
             "seconds": seconds, "requests": requests(result.stderr), "wrong": None}
        if kind == "backup":
            if os.path.exists(target):
                held = backup_cells(target)
                r["wrong"] = [(k, v, board.get(k)) for k, v in held.items()
                              if v is not None and board.get(k) != v]
                r["unconfirmed"] = sum(1 for v in held.values() if v is None)
            return r
        listed, failed = output_cells(result.stdout)
        differing = [k for k in wanted if wanted[k] != board[k]]
        # Listed with a value the board did not hold.
        r["wrong"] = [(k, v, board[k]) for k, v in listed.items()
                      if v is not None and v != board[k]]
        r["unknown"] = sum(1 for v in listed.values() if v is None)
        r["missed"] = [k for k in differing if k not in listed]
        if kind == "restore":
            left = [k for k in differing if after.get(k) != wanted[k]]
            r["old"] = [k for k in left if after.get(k) == board[k]]
            r["other"] = [k for k in left if after.get(k) != board[k]]
            r["silent"] = [k for k in left
                           if k not in failed and not (k in listed and listed[k] is None)]
        return r


def describe(r):
    text = "%s noise %.2f seed %2d: exit %d, %5.1f s, %d requests, " % (
        r["kind"], r["noise"], r["seed"], r["code"], r["seconds"], r["requests"])
    cells = lambda ks: " ".join("%s%d" % k for k in ks)
    if r["kind"] == "backup":
        if r["wrong"] is None:
            return text + "no file"
        return text + "%d wrong, %d unconfirmed%s" % (
            len(r["wrong"]), r["unconfirmed"], "" if not r["wrong"] else "  " + " ".join(
                "%s%d file %d board %d" % (k[0], k[1], v, t) for k, v, t in r["wrong"]))
    text += "%d missed, %d wrong, %d without a sure answer" % (
        len(r["missed"]), len(r["wrong"]), r["unknown"])
    if r["kind"] == "restore":
        text += ", %d left old, %d other, %d of them without a word" % (
            len(r["old"]), len(r["other"]), len(r["silent"]))
        if r["silent"]:
            text += "  silent: " + cells(r["silent"])
    if r["missed"]:
        text += "  missed: " + cells(r["missed"])
    return text


def main():
    args = sys.argv[1:]
    if not args:
        print(__doc__.strip().split("\n\n")[-2].strip(), file=sys.stderr)
        return 2
    build = args.pop(0)
    kind = args.pop(0) if args and args[0] in KINDS else "backup"
    runs = int(args.pop(0)) if args else 20
    noises = [float(n) for n in args] or [0.01, 0.05]
    first = int(os.environ.get("BELIEF_FIRST_SEED", "1"))
    jobs = [(n, seed) for n in noises for seed in range(first, first + runs)]
    results = []
    with concurrent.futures.ThreadPoolExecutor(PARALLEL) as pool:
        for r in pool.map(lambda j: run(build, kind, *j), jobs):
            print(describe(r), flush=True)
            results.append(r)
    for noise in noises:
        rs = [r for r in results if r["noise"] == noise]
        median = lambda key: sorted(r[key] for r in rs)[len(rs) // 2]
        summary = "%s noise %.2f: %d runs, median %.1f s, %d requests" % (
            kind, noise, len(rs), median("seconds"), median("requests"))
        if kind == "backup":
            files = [r for r in rs if r["wrong"] is not None]
            summary += ", %d files, %d wrong confirmed cells in %d runs, %d unconfirmed" % (
                len(files), sum(len(r["wrong"]) for r in files),
                sum(1 for r in files if r["wrong"]), sum(r["unconfirmed"] for r in files))
        else:
            summary += ", %d missed differences in %d runs, %d wrong, %d without a sure answer" % (
                sum(len(r["missed"]) for r in rs), sum(1 for r in rs if r["missed"]),
                sum(len(r["wrong"]) for r in rs), sum(r["unknown"] for r in rs))
            if kind == "restore":
                summary += ", %d left old, %d other, %d of them without a word" % (
                    sum(len(r["old"]) for r in rs), sum(len(r["other"]) for r in rs),
                    sum(len(r["silent"]) for r in rs))
        print(summary)
    return 0


if __name__ == "__main__":
    sys.exit(main())
