#!/usr/bin/env python3
"""Backs up both boards of pivota-sim directly on its pseudo-terminal and through Debian's ser2net
on loopback, raw TCP and Telnet with RFC 2217, in the same run, and reports each time against the
direct one; the backups must hold the same cells. Not a test: the figures depend on the machine.

    python3 bench/network.py BUILD [ROUNDS]

ser2net (/usr/sbin/ser2net) must be installed. Each round runs the three backups one after the
other, each against a simulator of its own with the same cells.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

from linebench import ENV, programs, start_ser2net, start_sim, stop, write_settings

BUILD = sys.argv[1]
ROUNDS = int(sys.argv[2]) if len(sys.argv) > 2 else 1
PIVOTA, SIM = programs(BUILD)
# ser2net's TCP sends the board's answers without Nagle's delay only with nodelay: without it,
# the second and third byte of an answer wait for the acknowledgement of the first.
ACCEPTERS = (("tcp", "tcp(nodelay)"), ("rfc2217", "telnet(rfc2217),tcp(nodelay)"),
             ("tcp-without-nodelay", "tcp"))


def eeprom_text():
    # Every value once, 255 among them (a cell never written holds it).
    lines = ["P %02x %02x" % (cell, (cell * 7 + 3) % 256) for cell in range(256)]
    lines += ["B %02x %02x" % (cell, (255 - cell * 5) % 256) for cell in range(256)]
    return "\n".join(lines) + "\n"


def cells(path):
    with open(path, encoding="utf-8") as f:
        return sorted(line.strip() for line in f if line.lower().startswith("data_"))


def backup(tmp, name, accepter):
    eeprom = os.path.join(tmp, name + "-eeprom.txt")
    with open(eeprom, "w") as f:
        f.write(eeprom_text())
    link = os.path.join(tmp, name + "-tty")
    settings = write_settings(tmp)
    sim = start_sim(SIM, link, ["--eeprom", eeprom])
    bridge, port = None, link
    if accepter:
        bridge, port = start_ser2net(tmp, name, accepter, link, 40000 + os.getpid() % 10000)
    target = os.path.join(tmp, name + ".pvt")
    start = time.monotonic()
    result = subprocess.run([PIVOTA, "backup", "--port", port, "--settings", settings, target],
                            stdin=subprocess.DEVNULL, capture_output=True, text=True, env=ENV)
    seconds = time.monotonic() - start
    stop(bridge, sim)
    if result.returncode != 0:
        sys.exit("%s: backup failed (%d): %s" % (name, result.returncode, result.stderr))
    return seconds, cells(target)


def main():
    times = {"direct": []}
    times.update({name: [] for name, _ in ACCEPTERS})
    for _ in range(ROUNDS):
        with tempfile.TemporaryDirectory() as tmp:
            direct, reference = backup(tmp, "direct", None)
            times["direct"].append(direct)
            for name, accepter in ACCEPTERS:
                seconds, got = backup(tmp, name, accepter)
                if got != reference:
                    sys.exit("%s: the backup holds other cells than the direct one" % name)
                times[name].append(seconds)
    base = statistics.median(times["direct"])
    for name, values in times.items():
        median = statistics.median(values)
        print("backup of both boards, %-30s %6.1f s  %5.2fx of direct  (%d round%s)" %
              (name, median, median / base, len(values), "" if len(values) == 1 else "s"))


main()
