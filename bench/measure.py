#!/usr/bin/env python3
"""Runs Pivota under the X display in DISPLAY and reports what bench/run.sh promises.

Figures come from /proc (CPU, wake-ups as voluntary context switches of all threads, resident
memory) and from the program's own probe (PIVOTA_BENCH_LOG: paints, event-loop busy stretches,
label changes, bytes left waiting), which is off in normal use. Every program runs with Qt's
own event dispatcher (QT_NO_GLIB=1): it reports "awake" right after the poll and "about to block"
right before the next, so the span between them is the time the loop could not respond.
"""
import os
import pty
import statistics
import subprocess
import sys
import tempfile
import termios
import time
import tty

BUILD = sys.argv[1]
# "startup" in place of the duration runs the start-up measurement alone.
STARTUP_ONLY = len(sys.argv) > 2 and sys.argv[2] == "startup"
DURATION = int(sys.argv[2]) if len(sys.argv) > 2 and not STARTUP_ONLY else 60
PIVOTA = os.path.join(BUILD, "src", "pivota")
SIM = os.path.join(BUILD, "sim", "pivota-sim")
EMPTY = os.path.join(BUILD, "bench", "pivota-bench-emptywindow")
TICK = os.sysconf("SC_CLK_TCK")
os.environ["QT_NO_GLIB"] = "1"
WORK = tempfile.mkdtemp(prefix="pivota-bench-")


def now_ms():
    return time.monotonic_ns() / 1e6


def settings(device, name="pivota.ini"):
    path = os.path.join(WORK, name)
    with open(path, "w") as f:
        f.write("[SETTINGS]\nCOM-Port=1\nBenutzer=Justage\nWidth=1000\nHeight=670\n")
        f.write("[Ports]\nCOM1=%s\n" % device)
    return path


def proc_sample(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    cpu = int(fields[11]) + int(fields[12])  # utime + stime
    # Per thread: a thread that ends between two samples (Qt's pool threads end after 30 s
    # idle) must not take its wake-ups out of the sum.
    switches = {}
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/status" % (pid, task)) as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches"):
                        switches[task] = int(line.split()[1])
        except FileNotFoundError:
            pass
    rss = 0
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS"):
                rss = int(line.split()[1])
    return time.monotonic(), cpu, switches, rss


def rates(a, b):
    dt = b[0] - a[0]
    woken = sum(n - a[2].get(task, 0) for task, n in b[2].items())
    return {"cpu": 100.0 * (b[1] - a[1]) / TICK / dt, "wake": woken / dt, "rss": b[3] / 1024}


def read_log(path):
    seconds, labels, paint = [], [], None
    with open(path) as f:
        for line in f:
            parts = line.split()
            if not parts:
                continue
            if parts[0] == "sec" and len(parts) >= 5:
                gaps = [int(x) for x in parts[5].split(",")] if len(parts) > 5 else []
                seconds.append((float(parts[1]), int(parts[2]), int(parts[3]), int(parts[4]), gaps))
            elif parts[0] == "label" and len(parts) >= 3:
                labels.append((float(parts[1]), parts[2]))
            elif parts[0] == "paint":
                paint = float(parts[1])
    return seconds, labels, paint


def gap_figures(seconds, t0, t1):
    gaps = sorted(g for s in seconds if t0 <= s[0] <= t1 for g in s[4])
    if not gaps:
        return 0.0, 0.0
    return gaps[-1] / 1000.0, gaps[min(len(gaps) - 1, int(0.99 * len(gaps)))] / 1000.0


def paints_per_second(seconds, t0, t1, turning=None):
    rows = [s for s in seconds if t0 <= s[0] <= t1 and (turning is None or s[2] == turning)]
    return statistics.mean(s[1] for s in rows) if rows else float("nan")


def launch(settings_path, log, actions="", extra_env=None):
    env = dict(os.environ, PIVOTA_BENCH_LOG=log, PIVOTA_BENCH_ACTIONS=actions, LC_ALL="C.UTF-8")
    env.update(extra_env or {})
    return subprocess.Popen([PIVOTA, "--settings", settings_path], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def startup(runs=25):
    """Starts the empty window and Pivota in turn, each until its first complete frame. Returns
    the medians of both and the quartiles of the pairs' ratios: on a shared machine a single
    start varies by a third, and a pair shares the machine's state of the moment."""
    ours, empty, ratios = [], [], []
    ini = settings("/dev/pivota-bench-missing", "startup.ini")
    for i in range(runs):
        pair = {}
        for program in ("empty", "pivota"):
            log = os.path.join(WORK, "start-%s-%d.log" % (program, i))
            env = dict(os.environ, PIVOTA_BENCH_LOG=log, PIVOTA_BENCH_QUIT_AFTER_PAINT="1")
            t0 = now_ms()
            args = [EMPTY] if program == "empty" else [PIVOTA, "--settings", ini]
            subprocess.run(args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=30)
            paint = read_log(log)[2]
            if paint is not None:
                pair[program] = paint - t0
        if len(pair) == 2:
            empty.append(pair["empty"])
            ours.append(pair["pivota"])
            ratios.append(pair["pivota"] / pair["empty"])
    quartiles = statistics.quantiles(ratios, n=4)
    return statistics.median(ours), statistics.median(empty), quartiles


def measured_run(device, actions, windows):
    """Starts Pivota, samples /proc over each (name, from_s, to_s) window, returns figures."""
    log = os.path.join(WORK, "run-%d.log" % len(os.listdir(WORK)))
    p = launch(settings(device), log, actions)
    start = time.monotonic()
    result = {}
    try:
        for name, t0, t1 in windows:
            time.sleep(max(0.0, start + t0 - time.monotonic()))
            a = proc_sample(p.pid)
            ms0 = now_ms()
            time.sleep(max(0.0, start + t1 - time.monotonic()))
            b = proc_sample(p.pid)
            result[name] = rates(a, b)
            result[name]["window"] = (ms0, now_ms())
    finally:
        p.terminate()
        p.wait(timeout=10)
    seconds = read_log(log)[0]
    for name in result:
        w0, w1 = result[name]["window"]
        result[name]["paints"] = paints_per_second(seconds, w0, w1)
        result[name]["paints_turning"] = paints_per_second(seconds, w0, w1, turning=1)
        result[name]["gap_max"], result[name]["gap_p99"] = gap_figures(seconds, w0, w1)
    return result


def burst_and_latency():
    """Plays the pit board on a pseudo-terminal: 2 s of traffic at 19200 baud (1920 bytes/s),
    then position reports; reports the most bytes left waiting and the byte-to-label latency."""
    master, slave = pty.openpty()
    tty.setraw(master)
    tty.setraw(slave)
    device = os.ttyname(slave)
    log = os.path.join(WORK, "burst.log")
    p = launch(settings(device, "burst.ini"), log, "start@300")
    latencies, backlog, offered = [], 0, 0
    try:
        time.sleep(2.0)
        os.set_blocking(master, False)

        def drain():
            try:
                while os.read(master, 4096):
                    pass
            except (BlockingIOError, OSError):
                pass

        burst = bytearray(b"XYZ")
        i = 0
        while len(burst) < 2 * 1920:
            burst += bytes([ord("A"), i & 0x7F, 255 - (i & 0x7F)])
            i += 1
        t_start = time.monotonic()
        sent = 0
        while sent < len(burst):
            due = int((time.monotonic() - t_start) * 1920) + 1
            if due > sent:
                os.write(master, bytes(burst[sent:due]))
                offered += len(burst[sent:due])
                sent = due
            drain()
            time.sleep(0.005)
        burst_end = now_ms()
        # Position reports, each a new actual position, right behind the burst and then spaced.
        for k, position in enumerate([7, 12, 3, 30, 18, 25, 9, 40, 2, 21]):
            t = now_ms()
            os.write(master, bytes([ord("L"), 0, position]))
            latencies.append((t, str(position + 1)))
            for _ in range(50 if k else 1):
                drain()
                time.sleep(0.01)
        time.sleep(0.5)
    finally:
        p.terminate()
        p.wait(timeout=10)
        os.close(master)
        os.close(slave)
    seconds, labels, _ = read_log(log)
    backlog = max([s[3] for s in seconds if s[0] <= burst_end + 1000] or [0])
    result = []
    for t, text in latencies:
        shown = [lt for lt, lx in labels if lx == text and lt >= t]
        if shown:
            result.append(shown[0] - t)
    return offered / 2.0, backlog, result


def main():
    sim = subprocess.Popen([SIM], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    device = sim.stdout.readline().strip()
    try:
        start_ours, start_empty, start_ratios = startup()
        d = DURATION
        offline = measured_run(device, "", [("offline", 5, 5 + d)])["offline"]
        half = max(10, d // 2)
        connected = measured_run(
            device, "start@500,turn@%d" % ((5 + d + 2) * 1000),
            [("standing", 5, 5 + d), ("turning", 5 + d + 4, 5 + d + 4 + half)])
    finally:
        sim.terminate()
        sim.wait(timeout=10)
    rate, backlog, latencies = burst_and_latency()

    st, tu = connected["standing"], connected["turning"]
    print("== Pivota under Xvfb against pivota-sim (%d s windows)" % DURATION)
    print("%-34s %10s %10s %10s" % ("", "offline", "standing", "turning"))
    print("%-34s %10.2f %10.2f %10.2f" % ("CPU % of a core", offline["cpu"], st["cpu"], tu["cpu"]))
    print("%-34s %10.1f %10.1f %10.1f" % ("wake-ups per second", offline["wake"], st["wake"],
                                         tu["wake"]))
    print("%-34s %10.1f %10.1f %10.1f" % ("resident memory MB", offline["rss"], st["rss"],
                                         tu["rss"]))
    print("%-34s %10.1f %10.1f %10.1f" % ("paints per second", offline["paints"], st["paints"],
                                         tu["paints_turning"]))
    print("%-34s %10.2f %10.2f %10.2f" % ("event loop: worst busy stretch ms", offline["gap_max"],
                                         st["gap_max"], tu["gap_max"]))
    print("%-34s %10.2f %10.2f %10.2f" % ("event loop: p99 busy stretch ms", offline["gap_p99"],
                                         st["gap_p99"], tu["gap_p99"]))
    print("== line-rate burst on a pseudo-terminal")
    print("offered %.0f bytes/s for 2 s; most bytes left waiting after a wake-up: %d"
          % (rate, backlog))
    if latencies:
        print("byte-to-label latency ms: first after the burst %.1f, median %.1f, worst %.1f"
              % (latencies[0], statistics.median(latencies), max(latencies)))
    else:
        print("byte-to-label latency: no label change seen")
    print_startup((start_ours, start_empty, start_ratios))


def print_startup(figures):
    ours, empty, ratios = figures
    print("== start-up (25 pairs, process start to the first complete frame)")
    print("Pivota %.1f ms, empty Qt window %.1f ms (medians); ratio of a pair: median %.2f, "
          "quartiles %.2f to %.2f" % (ours, empty, ratios[1], ratios[0], ratios[2]))


if __name__ == "__main__":
    if STARTUP_ONLY:
        print_startup(startup())
    else:
        main()
