"""What the network benchmarks share: pivota-sim on a pseudo-terminal, Debian's ser2net on loopback
in front of it, and a settings file of their own."""
import os
import subprocess
import time

SER2NET = "/usr/sbin/ser2net"
ENV = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8")


def programs(build):
    """pivota and pivota-sim of a build folder."""
    return os.path.join(build, "src", "pivota"), os.path.join(build, "sim", "pivota-sim")


def write_settings(tmp):
    path = os.path.join(tmp, "pivota.ini")
    with open(path, "w") as f:
        f.write("[SETTINGS]\n")
    return path


def start_sim(sim, link, args=(), stderr=subprocess.DEVNULL):
    """pivota-sim with its line at link; returns once the line is up (it names its device)."""
    process = subprocess.Popen([sim, "--link", link] + list(args), stdout=subprocess.PIPE,
                               stderr=stderr, text=True)
    process.stdout.readline()
    return process


def start_ser2net(tmp, name, accepter, link, port):
    """ser2net with one accepter on 127.0.0.1:port in front of link; returns the process and the
    port name Pivota opens."""
    config = os.path.join(tmp, name + "-ser2net.yaml")
    with open(config, "w") as f:
        f.write("%%YAML 1.1\n---\nconnection: &pivota\n"
                "  accepter: %s,127.0.0.1,%d\n"
                "  connector: serialdev,%s,19200n81,local\n" % (accepter, port, link))
    process = subprocess.Popen([SER2NET, "-n", "-d", "-c", config, "-P",
                                os.path.join(tmp, name + ".pid")],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)  # ser2net listens once it has read its file
    scheme = "rfc2217" if "rfc2217" in accepter else "tcp"
    return process, "%s://127.0.0.1:%d" % (scheme, port)


def stop(*processes):
    for process in processes:
        if process:
            process.terminate()
            process.wait()
