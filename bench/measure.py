#!/usr/bin/env python3
"""Runs Pivota under the X display in DISPLAY and reports what bench/run.sh promises.

Figures come from /proc (CPU, wake-ups as voluntary context switches of all threads, resident
memory) and from the program's own probe (PIVOTA_BENCH_LOG: paints, event-loop busy stretches,
label changes, bytes left waiting), which is off in normal use. Every program runs with Qt's
own event dispatcher (QT_NO_GLIB=1): it reports "awake" right after the poll and "about to block"
right before the next, so the span between them is the time the loop could not respond.
"""
import ctypes
import os
import pty
import select
import socket
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
CONNECTING_ONLY = len(sys.argv) > 2 and sys.argv[2] == "connecting"
DURATION = (int(sys.argv[2]) if len(sys.argv) > 2 and not (STARTUP_ONLY or CONNECTING_ONLY)
            else 60)
PIVOTA = os.path.join(BUILD, "src", "pivota")
# The same program with its measurements (bench/benchprobe.h), for the runs that read them.
PROBED = os.path.join(BUILD, "bench", "pivota-bench-window")
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
    return subprocess.Popen([PROBED, "--settings", settings_path], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class _XAnyEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("w1", ctypes.c_ulong), ("w2", ctypes.c_ulong)]


class _XEvent(ctypes.Union):
    _fields_ = [("any", _XAnyEvent), ("pad", ctypes.c_long * 24)]


class Display:
    """The X server's own view of new windows, through the DAMAGE extension (libX11 and libXdamage
    by ctypes): every window made on the root gets a damage object before it is mapped, so that
    every drawing into it is seen here as the server sees it, stamped when it arrives."""

    CREATE_NOTIFY, MAP_NOTIFY = 16, 19
    SUBSTRUCTURE_NOTIFY = 1 << 19
    REPORT_RAW_RECTANGLES = 0

    def __init__(self):
        x = ctypes.CDLL("libX11.so.6")
        d = ctypes.CDLL("libXdamage.so.1")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x.XFlush.argtypes = [ctypes.c_void_p]
        d.XDamageQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                            ctypes.POINTER(ctypes.c_int)]
        d.XDamageCreate.restype = ctypes.c_ulong
        d.XDamageCreate.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int]
        # A window gone before its damage object was made is no fault of the measurement.
        self._ignore = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
            lambda display, error: 0)
        x.XSetErrorHandler(self._ignore)
        self.x, self.d = x, d
        self.dpy = x.XOpenDisplay(None)
        if not self.dpy:
            raise RuntimeError("no X display")
        base, error = ctypes.c_int(), ctypes.c_int()
        if not d.XDamageQueryExtension(self.dpy, ctypes.byref(base), ctypes.byref(error)):
            raise RuntimeError("the X server has no DAMAGE extension")
        self.damage_notify = base.value
        x.XSelectInput(self.dpy, x.XDefaultRootWindow(self.dpy), self.SUBSTRUCTURE_NOTIFY)
        x.XFlush(self.dpy)
        self.fd = x.XConnectionNumber(self.dpy)

    def first_frame(self, args, env, t0, quiet_ms=500, limit_s=30):
        """Runs args until its windows have stayed unchanged for quiet_ms after being mapped and
        drawn. Returns the milliseconds from t0 to the last drawing before that quiet (the first
        complete frame on the display) and the CPU milliseconds the process used until then."""
        x, event = self.x, _XEvent()
        p = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        last, cpu, mapped = None, None, False
        deadline = time.monotonic() + limit_s
        try:
            while time.monotonic() < deadline:
                while x.XPending(self.dpy):
                    x.XNextEvent(self.dpy, ctypes.byref(event))
                    kind = event.any.type
                    if kind == self.CREATE_NOTIFY:
                        self.d.XDamageCreate(self.dpy, event.any.w2, self.REPORT_RAW_RECTANGLES)
                        x.XFlush(self.dpy)
                    elif kind == self.MAP_NOTIFY:
                        mapped = True
                    elif kind == self.damage_notify and mapped:
                        last = now_ms()
                        cpu = proc_sample(p.pid)[1]
                wait = quiet_ms / 1000.0 if last is not None else 1.0
                ready, _, _ = select.select([self.fd], [], [], wait)
                if not ready and not x.XPending(self.dpy) and last is not None:
                    break
        finally:
            p.terminate()
            p.wait(timeout=10)
        if last is None:
            return None, None
        return last - t0, 1000.0 * cpu / TICK


def startup(runs=25):
    """Starts the empty window and Pivota in turn, each until its first complete frame as the X
    server sees it: from just before the process is made to the last drawing into its window
    before it stays unchanged. Returns the medians of both, the quartiles of the pairs' ratios
    (on a shared machine a single start varies by a third, and a pair shares the machine's state
    of the moment) and the median ratio of the CPU the processes used until then."""
    display = Display()
    ours, empty, ratios, cpu_ratios = [], [], [], []
    ini = settings("/dev/pivota-bench-missing", "startup.ini")
    env = dict(os.environ)
    env.pop("PIVOTA_BENCH_LOG", None)
    for _ in range(runs):
        pair = {}
        for program in ("empty", "pivota"):
            args = [EMPTY] if program == "empty" else [PIVOTA, "--settings", ini]
            t0 = now_ms()
            ms, cpu = display.first_frame(args, env, t0)
            if ms is not None:
                pair[program] = (ms, cpu)
        if len(pair) == 2:
            empty.append(pair["empty"][0])
            ours.append(pair["pivota"][0])
            ratios.append(pair["pivota"][0] / pair["empty"][0])
            if pair["empty"][1] > 0:
                cpu_ratios.append(pair["pivota"][1] / pair["empty"][1])
    quartiles = statistics.quantiles(ratios, n=4)
    cpu = statistics.median(cpu_ratios) if cpu_ratios else float("nan")
    return statistics.median(ours), statistics.median(empty), quartiles, cpu


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
        start = startup()
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
    print_startup(start)


def connecting():
    """Start pressed on a network port whose host does not answer: a listening socket whose queue
    of waiting connections is full, so that the system drops every further attempt, as from a
    host that is switched off. Returns the event loop's worst and 99th-percentile busy stretch
    while the window connects (until just before its 5 s limit), and the same for the window in the
    second before Start (after its start-up)."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(0)
    port = listener.getsockname()[1]
    queued = []
    for _ in range(3):
        s = socket.socket()
        s.setblocking(False)
        try:
            s.connect(("127.0.0.1", port))
        except BlockingIOError:
            pass
        queued.append(s)
    time.sleep(0.5)
    log = os.path.join(WORK, "connecting.log")
    p = launch(settings("tcp://127.0.0.1:%d" % port, "connecting.ini"), log,
               "start@3000,quit@7500")
    start = now_ms()
    p.wait(timeout=30)
    seconds = read_log(log)[0]
    # A second's line comes at its end: the line just after Start holds the second before it.
    idle = gap_figures(seconds, start + 2100, start + 3000)
    busy = gap_figures(seconds, start + 3100, start + 7500)
    for s in queued + [listener]:
        s.close()
    return idle, busy


def print_startup(figures):
    ours, empty, ratios, cpu = figures
    print("== start-up (25 pairs, process start to the first complete frame on the X display)")
    print("Pivota %.1f ms, empty Qt window %.1f ms (medians); ratio of a pair: median %.2f, "
          "quartiles %.2f to %.2f; process CPU until then: median ratio %.2f"
          % (ours, empty, ratios[1], ratios[0], ratios[2], cpu))


if __name__ == "__main__":
    if STARTUP_ONLY:
        print_startup(startup())
    elif CONNECTING_ONLY:
        (idle_max, idle_p99), (max_ms, p99) = connecting()
        print("== Start on a network port whose host does not answer (4.5 s of its 5 s limit)")
        print("event loop: worst busy stretch %.2f ms, p99 %.2f ms (idle before Start: worst "
              "%.2f ms, p99 %.2f ms)" % (max_ms, p99, idle_max, idle_p99))
    else:
        main()
