#!/usr/bin/python3
"""Start-up on a real X server: from process start to the window mapped, to the first faces on
screen, and peak memory.

Listens for MapNotify on the root window (no polling), so the map figure is exact to the event;
then reads the window's pixels until text appears in the list area.
Usage: startup_x11.py NIKOMARU BARE_WINDOW   (DISPLAY must name a server with a window manager)
Windows programs (.exe) run under wine, in the WINEPREFIX of the environment.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display

RUNS = 25
FACES = 32767


def peak_rss_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return 0.0


def client_of(d, frame):
    """The program's own window inside the window manager's frame."""
    windows = [frame]
    while windows:
        window = windows.pop()
        if window.get_wm_name():
            return window
        windows.extend(window.query_tree().children)
    return frame


def text_shown(window):
    """Whether dark pixels (text) are inside the list area, away from its border."""
    image = window.get_image(4, 4, 90, 40, X.ZPixmap, 0xFFFFFFFF).data
    if min(image[0::4]) >= 0x50:  # no dark blue anywhere: a quick answer keeps the polls frequent
        return False
    return any(image[i] < 0x50 and image[i + 1] < 0x50 and image[i + 2] < 0x50 for i in range(0, len(image), 4))


def time_to_show(command, cwd, faces_expected):
    """Milliseconds from spawn to the first top-level map and to text in the list, and the peak memory."""
    d = display.Display()
    root = d.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    d.sync()
    start = time.perf_counter()
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = start + 30
        mapped = None
        while time.perf_counter() < deadline:
            if mapped is None:
                if d.pending_events() == 0:
                    time.sleep(0.0005)
                    continue
                event = d.next_event()
                if event.type == X.MapNotify and not event.override:
                    mapped = (time.perf_counter() - start) * 1000
                    client = client_of(d, event.window)
                    if not faces_expected:
                        break
            elif text_shown(client):
                break
            else:
                time.sleep(0.0002)  # leave the program the processor it is drawing with
        else:
            raise RuntimeError(f"{command[0]} showed no faces")
        shown = (time.perf_counter() - start) * 1000
        time.sleep(0.2)  # let it finish painting before reading its peak memory
        return mapped, shown, peak_rss_mib(process.pid)
    finally:
        process.kill()
        process.wait()
        d.close()


def measure(commands, cwd):
    """Median map and faces-shown times and peak memory of each command, run in turns."""
    results = {name: [] for name in commands}
    for _ in range(RUNS):
        for name, (command, faces) in commands.items():
            results[name].append(time_to_show(command, cwd, faces))
    return {name: (statistics.median(r[0] for r in rs), statistics.median(r[1] for r in rs), max(r[2] for r in rs))
            for name, rs in results.items()}


def app_folder(root, program, faces):
    """A folder with the program and a current list of faces."""
    folder = os.path.join(root, f"app{faces}")
    os.makedirs(folder)
    shutil.copy(program, folder)
    with open(os.path.join(folder, "kaolist2.txt"), "wb") as f:
        f.write(b"".join(("(＾▽＾)ﾉｼ %d\r\n" % i).encode("cp932") for i in range(faces)))
    open(os.path.join(folder, "kaolist1.txt"), "wb").close()
    return os.path.join(folder, os.path.basename(program))


def main():
    nikomaru, bare = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    windows = nikomaru.endswith(".exe")
    wine = [shutil.which("wine64") or "/usr/lib/wine/wine64"] if windows else []
    with tempfile.TemporaryDirectory() as root:
        os.environ["XDG_CONFIG_HOME"] = root
        os.environ["XDG_DATA_HOME"] = root
        elsewhere = os.path.join(root, "elsewhere")
        os.makedirs(elsewhere)
        if windows:  # wine's first start in a prefix sets it up
            subprocess.run(wine + ["cmd", "/c", "exit"], check=False)
        r = measure({"bare": (wine + [bare], True), "empty": (wine + [app_folder(root, nikomaru, 0)], False),
                     "ten": (wine + [app_folder(root, nikomaru, 10)], True),
                     "full": (wine + [app_folder(root, nikomaru, FACES)], True)}, elsewhere)
    (bare_map, bare_shown, bare_mib), (empty_map, _, empty_mib), (full_map, full_shown, full_mib) = (
        r["bare"], r["empty"], r["full"])
    ten_map, ten_shown, ten_mib = r["ten"]
    print(f"Start on X (median of {RUNS}, run in turns): to window mapped, to faces on screen; peak memory")
    print(f"  {'bare Win32' if windows else 'bare Qt'} window, 10 rows {bare_map:7.1f} ms  {bare_shown:7.1f} ms  {bare_mib:6.1f} MiB")
    print(f"  Nikomaru, empty list       {empty_map:7.1f} ms        -    {empty_mib:6.1f} MiB"
          f"  map {empty_map / bare_map:5.2f}x bare (target <= 1.05)")
    print(f"  Nikomaru, 10 faces         {ten_map:7.1f} ms  {ten_shown:7.1f} ms  {ten_mib:6.1f} MiB"
          f"  faces {ten_shown / bare_shown:5.2f}x bare: what showing faces at all costs")
    print(f"  {f'Nikomaru, {FACES} faces':27}{full_map:7.1f} ms  {full_shown:7.1f} ms  {full_mib:6.1f} MiB"
          f"  faces {full_shown / bare_shown:5.2f}x bare (target <= 1.1), +{full_mib - bare_mib:.1f} MiB (target <= 8)")


if __name__ == "__main__":
    main()
