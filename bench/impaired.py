#!/usr/bin/env python3
"""Backs up both boards of pivota-sim through Debian's ser2net (raw TCP) over an impaired network
and checks every confirmed cell against the simulator's EEPROM: no confirmed cell may be wrong
(cells may stay unconfirmed; the backup names them). Not a test: the figures depend on the machine.

    python3 bench/impaired.py BUILD [DELAY_MS JITTER_MS LOSS_PERCENT]   (default 30 20 1)

The kernel's netem is not available everywhere (not on the machines this was written on), so the
network is imitated in user space: a proxy between Pivota and ser2net holds every segment, both
ways, for DELAY +- JITTER ms (uniform; order kept, as TCP delivers it), and a lost segment is
imitated as TCP repairs it: it and everything behind it arrive one retransmission timeout (200 ms,
Linux's least) plus a round trip later. A run without impairment through the same proxy is the
reference.
"""
import asyncio
import json
import os
import random
import subprocess
import sys
import tempfile
import time

from linebench import ENV, programs, start_ser2net, start_sim, stop, write_settings

BUILD = sys.argv[1]
DELAY, JITTER, LOSS = (float(v) for v in sys.argv[2:5]) if len(sys.argv) >= 5 else (30, 20, 1)
PIVOTA, SIM = programs(BUILD)
RTO_MS = 200


def eeprom_values():
    pit = [(cell * 7 + 3) % 256 for cell in range(256)]
    bridge = [(255 - cell * 5) % 256 for cell in range(256)]
    return {"grube": pit, "buehne": bridge}


async def pump(reader, writer, delay, jitter, loss, rng):
    """Carries one direction, each read held for its delay, never overtaking the one before."""
    queue = asyncio.Queue()

    async def deliver():
        while True:
            due, data = await queue.get()
            if data is None:
                writer.close()
                return
            wait = due - time.monotonic()
            if wait > 0:
                await asyncio.sleep(wait)
            writer.write(data)
            await writer.drain()

    task = asyncio.create_task(deliver())
    last_due = 0.0
    while True:
        data = await reader.read(4096)
        if not data:
            await queue.put((0, None))
            break
        hold = max(0.0, delay + rng.uniform(-jitter, jitter)) / 1000.0
        if rng.random() < loss / 100.0:
            hold += (RTO_MS + 2 * delay) / 1000.0
        last_due = max(last_due, time.monotonic() + hold)
        await queue.put((last_due, data))
    await task


async def proxy(listen_port, target_port, delay, jitter, loss, ready):
    rng = random.Random(7)

    async def on_client(client_reader, client_writer):
        server_reader, server_writer = await asyncio.open_connection("127.0.0.1", target_port)
        await asyncio.gather(pump(client_reader, server_writer, delay, jitter, loss, rng),
                             pump(server_reader, client_writer, delay, jitter, loss, rng),
                             return_exceptions=True)

    server = await asyncio.start_server(on_client, "127.0.0.1", listen_port)
    ready.set()
    async with server:
        await server.serve_forever()


def backup(tmp, name, delay, jitter, loss):
    eeprom = os.path.join(tmp, name + "-eeprom.txt")
    values = eeprom_values()
    with open(eeprom, "w") as f:
        f.writelines("P %02x %02x\n" % (c, v) for c, v in enumerate(values["grube"]))
        f.writelines("B %02x %02x\n" % (c, v) for c, v in enumerate(values["buehne"]))
    link = os.path.join(tmp, name + "-tty")
    settings = write_settings(tmp)
    sim = start_sim(SIM, link, ["--eeprom", eeprom])
    bridge_port = 42000 + os.getpid() % 10000
    proxy_port = bridge_port + 1
    bridge, _ = start_ser2net(tmp, name, "tcp(nodelay)", link, bridge_port)

    async def run():
        ready = asyncio.Event()
        server = asyncio.create_task(proxy(proxy_port, bridge_port, delay, jitter, loss, ready))
        await ready.wait()
        start = time.monotonic()
        process = await asyncio.create_subprocess_exec(
            PIVOTA, "backup", "--json", "--port", "tcp://127.0.0.1:%d" % proxy_port,
            "--settings", settings, os.path.join(tmp, name + ".pvt"),
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=ENV)
        out, err = await process.communicate()
        seconds = time.monotonic() - start
        server.cancel()
        return process.returncode, out, err, seconds

    code, out, err, seconds = asyncio.run(run())
    stop(bridge, sim)
    if not out:
        sys.exit("%s: no result (%d): %s" % (name, code, err.decode()))
    document = json.loads(out)
    cells = []

    def walk(node):
        if isinstance(node, dict):
            if {"board", "cell", "state"} <= node.keys():
                cells.append(node)
            for value in node.values():
                walk(value)
        elif isinstance(node, list):
            for value in node:
                walk(value)

    walk(document)
    confirmed = [c for c in cells if c["state"] == "confirmed"]
    wrong = [c for c in confirmed if values[c["board"]][c["cell"]] != c["value"]]
    return seconds, code, len(cells), len(confirmed), len(wrong)


def main():
    with tempfile.TemporaryDirectory() as tmp:
        for name, impairment in (("unimpaired", (0, 0, 0)), ("impaired", (DELAY, JITTER, LOSS))):
            seconds, code, cells, confirmed, wrong = backup(tmp, name, *impairment)
            print("%-10s delay %2.0f+-%2.0f ms, loss %.0f %%: %6.1f s, exit %d, %d cells, "
                  "%d confirmed, %d unconfirmed, %d wrong confirmed" %
                  (name, impairment[0], impairment[1], impairment[2], seconds, code, cells,
                   confirmed, cells - confirmed, wrong))


main()
