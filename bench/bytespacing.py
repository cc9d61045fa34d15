#!/usr/bin/env python3
"""Measures the spacing of the bytes of Pivota's requests as they arrive at the board's end of the
line: directly on pivota-sim's pseudo-terminal, and behind Debian's ser2net on loopback (raw TCP
and Telnet with RFC 2217). pivota-sim's trace stamps every read from its line (to the
millisecond); the requests are three bytes each, so the stream is cut in threes and the gaps
between a request's first and second and second and third byte are counted. A byte that arrives
together with the one before it (one read) was held back on the way. Not a test: the figures
depend on the machine.

    python3 bench/bytespacing.py BUILD [CELLS]

Each way reads CELLS pit cells (default 64) with `pivota get`, each cell twice.
"""
import datetime
import os
import statistics
import subprocess
import sys
import tempfile

from linebench import ENV, programs, start_ser2net, start_sim, stop, write_settings

BUILD = sys.argv[1]
CELLS = int(sys.argv[2]) if len(sys.argv) > 2 else 64
PIVOTA, SIM = programs(BUILD)
WAYS = (("direct", None), ("tcp", "tcp(nodelay)"), ("rfc2217", "telnet(rfc2217),tcp(nodelay)"))


def arrivals(trace):
    """(milliseconds, bytes of one read) for every read from the line."""
    out = []
    for line in trace.splitlines():
        parts = line.split(" ", 2)
        if len(parts) == 3 and parts[1] == "<-":
            t = datetime.datetime.strptime(parts[0], "%H:%M:%S.%f")
            ms = ((t.hour * 60 + t.minute) * 60 + t.second) * 1000 + t.microsecond // 1000
            out.append((ms, bytes.fromhex(parts[2])))
    return out


def run(tmp, name, accepter):
    link = os.path.join(tmp, name + "-tty")
    settings = write_settings(tmp)
    trace_path = os.path.join(tmp, name + "-trace.txt")
    with open(trace_path, "w") as trace_file:
        sim = start_sim(SIM, link, ["--trace"], stderr=trace_file)
        bridge, port = None, link
        if accepter:
            bridge, port = start_ser2net(tmp, name, accepter, link, 41000 + os.getpid() % 10000)
        names = ["grube:%d" % cell for cell in range(CELLS)]
        result = subprocess.run([PIVOTA, "get", "--port", port, "--settings", settings] + names,
                                stdin=subprocess.DEVNULL, capture_output=True, text=True, env=ENV)
        stop(bridge, sim)
    if result.returncode != 0:
        sys.exit("%s: get failed (%d): %s" % (name, result.returncode, result.stderr))
    with open(trace_path) as f:
        reads = arrivals(f.read())
    # Every byte with the time of its read and whether it shared the read with the byte before.
    stamped = []
    for ms, chunk in reads:
        for i, _ in enumerate(chunk):
            stamped.append((ms, i > 0))
    gaps, joined = [], 0
    for first in range(0, len(stamped) - 2, 3):
        for k in (1, 2):
            ms, together = stamped[first + k]
            gaps.append(ms - stamped[first + k - 1][0])
            joined += together
    return gaps, joined


def main():
    with tempfile.TemporaryDirectory() as tmp:
        for name, accepter in WAYS:
            gaps, joined = run(tmp, name, accepter)
            q = statistics.quantiles(gaps, n=10)
            print("%-8s %4d gaps: median %4.1f ms, 10%%-90%% %4.1f-%4.1f ms, largest %3d ms; "
                  "bytes that came with the one before: %d" %
                  (name, len(gaps), statistics.median(gaps), q[0], q[-1], max(gaps), joined))


main()
