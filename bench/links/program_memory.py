#!/usr/bin/env python3
"""The whole program's memory under a gateway's burst or flood, measured from outside.

Starts the program (offscreen, its own temporary program folder and settings, remote services
off) against a gateway this script plays on 127.0.0.1, waits until the monitor session is open
and the program idles, then
  burst N     writes N lighting frames at once and waits until the program idles again;
  flood S     writes frames as fast as the socket takes them for S seconds, then waits until
              the program idles (its backlog is through).
Each run starts the program anew. It prints, with median, best and worst over the runs, the
resident memory at its peak above where it was before and after the work above where it was
before, and for a flood the MiB the program took and how long its backlog took after the flood.

  python3 bench/links/program_memory.py build/bin/ombrix burst 1000000 [runs] [port]
  python3 bench/links/program_memory.py build/bin/ombrix flood 6 [runs] [port]
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time


def status(pid, field):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1]) / 1024.0  # MiB
    return 0.0


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def wait_idle(pid, quiet_s=2.0, limit_s=600):
    """Until the program has used no CPU worth counting for quiet_s; returns when it went quiet."""
    start = time.monotonic()
    last_cpu, last_busy = cpu_seconds(pid), time.monotonic()
    while time.monotonic() - start < limit_s:
        time.sleep(0.1)
        cpu = cpu_seconds(pid)
        if cpu - last_cpu > 0.02:
            last_busy = time.monotonic()
        last_cpu = cpu
        if time.monotonic() - last_busy >= quiet_s:
            return last_busy
    raise SystemExit("the program never went idle")


def frames(count, start=0):
    return b"".join(b"*1*%d*%d##" % (i % 2, 11 + i % 89) for i in range(start, start + count))


class Gateway:
    def __init__(self, port):
        self.server = socket.create_server(("127.0.0.1", port))
        self.monitor = None
        self.opened = threading.Event()
        threading.Thread(target=self.accept, daemon=True).start()

    def accept(self):
        while True:
            try:
                conn, _ = self.server.accept()
            except OSError:
                return  # the run is over
            threading.Thread(target=self.serve, args=(conn,), daemon=True).start()

    def serve(self, conn):
        conn.sendall(b"*#*1##")
        buffer = b""
        while True:
            try:
                data = conn.recv(4096)
            except OSError:
                return
            if not data:
                return
            buffer += data
            while b"##" in buffer:
                frame, buffer = buffer.split(b"##", 1)
                conn.sendall(b"*#*1##")
                if frame == b"*99*1":
                    self.monitor = conn
                    self.opened.set()


def run(program, mode, amount, port):
    """One run on a fresh program: {figure: value}."""
    folder = tempfile.mkdtemp()
    for name in ("italian.lng", "english.lng", "conf.xml"):
        shutil.copy(os.path.join(os.path.dirname(program), name), folder)
    settings = os.path.join(folder, "settings.ini")
    with open(settings, "w") as f:
        f.write(f"[Option]\nServerIP=127.0.0.1\nServerPORT={port}\nMonitor=1\nAgent=0\nwschum=0\n")
    gateway = Gateway(port)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    child = subprocess.Popen([program, "--program-folder", folder, "--settings", settings], env=env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        if not gateway.opened.wait(30):
            raise SystemExit("the monitor session did not open")
        wait_idle(child.pid, 3.0)
        before = status(child.pid, "VmRSS")
        peak = [before]
        done = threading.Event()

        def sample():
            while not done.is_set():
                peak[0] = max(peak[0], status(child.pid, "VmRSS"))
                time.sleep(0.05)
        threading.Thread(target=sample, daemon=True).start()
        figures = {}
        if mode == "burst":
            gateway.monitor.sendall(frames(amount))
            wait_idle(child.pid)
        else:
            chunk = frames(20000)
            sent = 0
            end = time.monotonic() + amount
            while time.monotonic() < end:
                gateway.monitor.sendall(chunk)
                sent += len(chunk)
            flood_end = time.monotonic()
            figures["MiB taken during the flood"] = sent / 2**20
            figures["s until the backlog is through"] = wait_idle(child.pid) - flood_end
        done.set()
        figures["MiB resident before"] = before
        figures["MiB at the peak above before"] = peak[0] - before
        figures["MiB after above before"] = status(child.pid, "VmRSS") - before
        return figures
    finally:
        child.terminate()
        try:
            child.wait(10)
        except subprocess.TimeoutExpired:
            child.kill()
        gateway.server.close()
        shutil.rmtree(folder, ignore_errors=True)


def main():
    if len(sys.argv) < 4 or sys.argv[2] not in ("burst", "flood"):
        raise SystemExit(__doc__)
    program, mode, amount = os.path.abspath(sys.argv[1]), sys.argv[2], int(sys.argv[3])
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 3
    port = int(sys.argv[5]) if len(sys.argv) > 5 else 21450
    command = f"python3 bench/links/program_memory.py PROGRAM {mode} {amount} {runs}"
    results = [run(program, mode, amount, port + r) for r in range(runs)]
    what = f"{mode} of {amount} {'frames' if mode == 'burst' else 's'}"
    for figure in results[0]:
        values = sorted(r[figure] for r in results)
        print(f"{what}, {figure:<32} median {values[len(values) // 2]:9.1f}  best {values[0]:9.1f}  "
              f"worst {values[-1]:9.1f}   ({command})")


if __name__ == "__main__":
    main()
