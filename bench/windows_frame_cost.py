#!/usr/bin/env python3
"""bench/windows_frame_cost.py -- a frame's cost of the Windows saver under Wine against the Linux saver,
on the same Xvfb screen.

    bench/windows_frame_cost.py [PASSES]     (default 600; run after tools/build-windows.sh and the Linux build)

One Xvfb of 1024 x 768 at 24 bits; `build/saver/tockwheel /s` on the window back end, then
`wine build-windows/x86_64/tockwheel.scr /s` on a fresh Wine prefix, each with no settings file (the
defaults: 640 x 480, 16-bit, stretched) and TOCKWHEEL_PASSES, so each ends after that many main-loop passes,
paced to 60 Hz, after a one-pass run whose cost (start-up, first frame, end) is taken off. CPU is the program's own (every thread, from getrusage of the reaped child) plus what the
X server and, under Wine, the wineserver spent meanwhile (from /proc); printed per pass and as a ratio.
"""
import os
import random
import resource
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FONT = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"
TICKS = os.sysconf("SC_CLK_TCK")


def process_cpu(pid):
    """User + system seconds of a running process, from /proc; 0 when it is gone."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / TICKS
    except OSError:
        return 0.0


def wineserver_pid(prefix):
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                command = f.read()
            if b"wineserver" not in command:
                continue
            with open(f"/proc/{pid}/environ", "rb") as f:
                if f"WINEPREFIX={prefix}".encode() in f.read().split(b"\0"):
                    return int(pid)
        except OSError:
            pass
    return None


def prepare_windows_dir(path):
    os.makedirs(os.path.join(path, "Orvask"), exist_ok=True)
    os.makedirs(os.path.join(path, "fonts"), exist_ok=True)
    shutil.copy(FONT, os.path.join(path, "fonts", "Arial.ttf"))
    for name in ("pass.pag", "pass2x.pag"):
        shutil.copy(os.path.join(ROOT, "build", "tools", "prompt", name), os.path.join(path, "Orvask", name))


def measure(command, env, xvfb_pid, prefix=None):
    """Exit status, wall seconds, and the CPU seconds of the program, the X server and the wineserver."""
    before_children = resource.getrusage(resource.RUSAGE_CHILDREN)
    x_before = process_cpu(xvfb_pid)
    server = wineserver_pid(prefix) if prefix else None
    server_before = process_cpu(server) if server else 0.0
    start = time.monotonic()
    child = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # A wineserver started by the run ends soon after it: its CPU is sampled while the run goes.
    server_seen = 0.0
    while child.poll() is None:
        if prefix and not server:
            server = wineserver_pid(prefix)
        if server:
            server_seen = max(server_seen, process_cpu(server))
        time.sleep(0.1)
    wall = time.monotonic() - start
    after_children = resource.getrusage(resource.RUSAGE_CHILDREN)
    own = (after_children.ru_utime - before_children.ru_utime) + (after_children.ru_stime - before_children.ru_stime)
    server_cpu = max(0.0, (max(server_seen, process_cpu(server)) if server else 0.0) - server_before)
    x_cpu = process_cpu(xvfb_pid) - x_before
    return child.returncode, wall, own, x_cpu, server_cpu


def main():
    passes = int(sys.argv[1]) if len(sys.argv) > 1 else 600
    display = f":{random.randint(600, 999)}"
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-noreset", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1.5)
    work = tempfile.mkdtemp(prefix="tockwheel-cost.")
    try:
        base = dict(os.environ, DISPLAY=display, TOCKWHEEL_PASSES=str(passes), WINEDEBUG="-all",
                    WINEDLLOVERRIDES="mscoree,mshtml=")
        base.pop("TOCKWHEEL_DISPLAY", None)
        linux_dir = os.path.join(work, "linux-windows")
        prepare_windows_dir(linux_dir)
        linux_env = dict(base, WINDIR=linux_dir)
        prefix = os.path.join(work, "prefix")
        wine_env = dict(base, WINEPREFIX=prefix)
        subprocess.run(["wineboot", "-i"], env=wine_env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f"],
                       env=wine_env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        prepare_windows_dir(os.path.join(prefix, "drive_c", "windows"))

        rows = []
        runs = (
                ("Linux (window back end)", [os.path.join(ROOT, "build", "saver", "tockwheel"), "/s"], linux_env, None),
                ("Windows x86_64 under Wine", ["wine", os.path.join(ROOT, "build-windows", "x86_64", "tockwheel.scr"), "/s"],
                 wine_env, prefix))
        for name, command, env, wine_prefix in runs:
            # A one-pass run first: its cost (start-up, first frame, end) is taken off the long run's.
            _, _, own1, x1, server1 = measure(command, dict(env, TOCKWHEEL_PASSES="1"), xvfb.pid, wine_prefix)
            time.sleep(4)   # the wineserver of the short run goes
            code, wall, own, x_cpu, server_cpu = measure(command, env, xvfb.pid, wine_prefix)
            total = (own + x_cpu + server_cpu) - (own1 + x1 + server1)
            rows.append((name, code, wall, own, x_cpu, server_cpu, total))
            print(f"{name}: one-pass run {own1:.2f} s program, {x1:.2f} s Xvfb, {server1:.2f} s wineserver")
        print(f"{passes} passes each, Xvfb 1024x768x24, no settings file (640 x 480, 16-bit, stretched)")
        print("| run | exit | wall s | program CPU s | Xvfb CPU s | wineserver CPU s | ms CPU per pass |")
        print("| --- | --- | --- | --- | --- | --- | --- |")
        for name, code, wall, own, x_cpu, server_cpu, total in rows:
            print(f"| {name} | {code} | {wall:.1f} | {own:.2f} | {x_cpu:.2f} | {server_cpu:.2f} | "
                  f"{1000 * total / (passes - 1):.2f} |")
        print(f"ratio Wine / Linux, CPU per pass: {rows[1][6] / rows[0][6]:.2f}")
    finally:
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=os.path.join(work, "prefix")),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
