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

BUILD = sys.argv[1]
ROUNDS = int(sys.argv[2]) if len(sys.argv) > 2 else 1
PIVOTA = os.path.join(BUILD, "src", "pivota")
SIM = os.path.join(BUILD, "sim", "pivota-sim")
SER2NET = "/usr/sbin/ser2net"
ENV = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8")
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
    settings = os.path.join(tmp, "pivota.ini")
    with open(settings, "w") as f:
        f.write("[SETTINGS]\n")
    sim = subprocess.Popen([SIM, "--link", link, "--eeprom", eeprom], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True)
    sim.stdout.readline()  # the device path: the line is up
    bridge = None
    port = link
    if accepter:
        tcp_port = 40000 + os.getpid() % 10000
        config = os.path.join(tmp, name + "-ser2net.yaml")
        with open(config, "w") as f:
            f.write("%%YAML 1.1\n---\nconnection: &pivota\n"
                    "  accepter: %s,127.0.0.1,%d\n"
                    "  connector: serialdev,%s,19200n81,local\n" % (accepter, tcp_port, link))
        bridge = subprocess.Popen([SER2NET, "-n", "-d", "-c", config, "-P",
                                   os.path.join(tmp, name + ".pid")],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1)  # ser2net listens once it has read its file
        scheme = "rfc2217" if "rfc2217" in accepter else "tcp"
        port = "%s://127.0.0.1:%d" % (scheme, tcp_port)
    target = os.path.join(tmp, name + ".pvt")
    start = time.monotonic()
    result = subprocess.run([PIVOTA, "backup", "--port", port, "--settings", settings, target],
                            stdin=subprocess.DEVNULL, capture_output=True, text=True, env=ENV)
    seconds = time.monotonic() - start
    if bridge:
        bridge.terminate()
        bridge.wait()
    sim.terminate()
    sim.wait()
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
