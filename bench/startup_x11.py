#!/usr/bin/python3
"""Start-up on a real X server: from process start to the window mapped, and peak memory.

Listens for MapNotify on the root window (no polling), so the figure is exact to the event.
Usage: startup_x11.py NIKOMARU BARE_WINDOW   (DISPLAY must name a server with a window manager)
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display

RUNS = 7
FACES = 32767


def peak_rss_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return 0.0


def time_to_map(command, cwd):
    """Milliseconds from spawn to the first top-level map, and the peak memory by then."""
    d = display.Display()
    root = d.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    d.sync()
    start = time.perf_counter()
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = start + 30
        while time.perf_counter() < deadline:
            if d.pending_events() == 0:
                time.sleep(0.0005)
                continue
            event = d.next_event()
            if event.type == X.MapNotify and not event.override:
                elapsed = (time.perf_counter() - start) * 1000
                time.sleep(0.2)  # let it finish painting before reading its peak memory
                return elapsed, peak_rss_mib(process.pid)
        raise RuntimeError(f"{command[0]} mapped no window")
    finally:
        process.kill()
        process.wait()
        d.close()


def measure(command, cwd):
    results = [time_to_map(command, cwd) for _ in range(RUNS)]
    return statistics.median(r[0] for r in results), max(r[1] for r in results)


def app_folder(root, program, faces):
    folder = os.path.join(root, f"app{faces}")
    os.makedirs(folder)
    shutil.copy(program, folder)
    with open(os.path.join(folder, "kaolist2.txt"), "wb") as f:
        f.write(b"".join(("(＾▽＾)ﾉｼ %d\r\n" % i).encode("cp932") for i in range(faces)))
    open(os.path.join(folder, "kaolist1.txt"), "wb").close()
    return os.path.join(folder, os.path.basename(program))


def main():
    nikomaru, bare = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as root:
        os.environ["XDG_CONFIG_HOME"] = root
        elsewhere = os.path.join(root, "elsewhere")
        os.makedirs(elsewhere)
        bare_ms, bare_mib = measure([bare], elsewhere)
        empty_ms, empty_mib = measure([app_folder(root, nikomaru, 0)], elsewhere)
        full_ms, full_mib = measure([app_folder(root, nikomaru, FACES)], elsewhere)
    print(f"Start to window mapped on X (median of {RUNS}), peak memory")
    print(f"  bare Qt window             {bare_ms:7.1f} ms  {bare_mib:6.1f} MiB")
    print(f"  Nikomaru, empty list       {empty_ms:7.1f} ms  {empty_mib:6.1f} MiB"
          f"  {empty_ms / bare_ms:5.2f}x bare (target <= 1.1)")
    print(f"  Nikomaru, {FACES} faces   {full_ms:7.1f} ms  {full_mib:6.1f} MiB"
          f"  {full_ms / bare_ms:5.2f}x bare (target <= 1.5), +{full_mib - bare_mib:.1f} MiB (target <= 12)")


if __name__ == "__main__":
    main()
