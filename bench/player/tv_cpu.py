#!/usr/bin/env python3
"""How much CPU does showing a TV channel cost? Plays one live 640x360, 25
frames a second MPEG-TS stream (the moving test picture, MPEG-2, with a
tone) from the loopback stream server in the real build/wavecrest (its
remembered channel, auto-played at start) and then in the mpv command-line
player, one after the other in the same run, and prints the CPU time each
took per second of wall time, side by side, with their ratio.

Both draw with OpenGL (Mesa's software renderer under Xvfb, so the figures
include the drawing); mpv runs with --vo=gpu --gpu-sw, since it turns a
software OpenGL driver down otherwise. Sound goes nowhere (ao=null) in both.
Two rounds: both on the whole screen (Wavecrest's F11, mpv's --fs), where
both draw the same picture at the same size; and each in its own window
(mpv's window has the picture's size, 640x360; Wavecrest's picture area is
as high as the radio page makes it, so it draws a smaller picture).

    scripts/with-display.sh python3 bench/player/tv_cpu.py [seconds] [runs]

(default: 10 seconds measured, 3 runs each, alternating).
"""

import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))
from wavecrest_e2e import (BINARY, Home, StreamServer, free_port,  # noqa: E402
                           utf16_station_list, wait_until)

STREAM = "/tv/600.ts?size=640x360"
WARM_UP = 3.0
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """User and system time of the process and all its threads so far."""
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def measure(process, seconds):
    time.sleep(WARM_UP)
    start_cpu, start = cpu_seconds(process.pid), time.monotonic()
    time.sleep(seconds)
    used = cpu_seconds(process.pid) - start_cpu
    return used / (time.monotonic() - start)


def stop(process):
    process.terminate()
    try:
        process.wait(timeout=15)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def run_wavecrest(address, server, seconds, full_screen):
    home = Home()
    try:
        home.write_settings("[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
        env = home.environment(WAVECREST_STATION_LIST_URL=address + "/world.zip",
                               WAVECREST_PLAYER_OPTIONS="ao=null")
        process = subprocess.Popen([BINARY], env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        path = STREAM + "&by=wavecrest"
        asked = server.requested().count(path)
        if not wait_until(lambda: server.requested().count(path) > asked, 30):
            stop(process)
            raise SystemExit("wavecrest never asked for the TV stream")
        if full_screen:
            window = wait_until(lambda: subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--pid", str(process.pid), "--name",
                 "^Wavecrest by Tolvane$"], capture_output=True, text=True).stdout.split(), 30)
            subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], check=True)
            subprocess.run(["xdotool", "key", "F11"], check=True)
        try:
            return measure(process, seconds)
        finally:
            stop(process)
    finally:
        home.close()


def run_mpv(address, seconds, run, full_screen):
    process = subprocess.Popen(
        ["mpv", "--no-config", "--really-quiet", "--vo=gpu", "--gpu-sw", "--ao=null"]
        + (["--fs"] if full_screen else []) + [address + STREAM + "&mpv=%d" % run],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        return measure(process, seconds)
    finally:
        stop(process)


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 10.0
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    work = Home()
    port = free_port()
    address = "http://127.0.0.1:%d" % port
    list_file = os.path.join(work.path, "world.zip")
    server = None
    with open(list_file, "wb") as file:
        file.write(utf16_station_list([
            "Type,Channel,Address,Language,Genre,About,Status",
            "TV,Test card,%s%s&by=wavecrest,en,Test,Moving picture,ON" % (address, STREAM)]))
    try:
        server = StreamServer(os.path.join(work.path, "requests.log"),
                              "/world.zip=" + list_file, port=port)
        print("CPU time per second while showing a live 640x360 25 fps MPEG-2 stream "
              "(%g s measured after %g s, %d runs each)" % (seconds, WARM_UP, runs))
        for full_screen in (True, False):
            print("On the whole screen:" if full_screen else "Each in its own window:")
            ours, theirs = [], []
            for run in range(runs):
                ours.append(run_wavecrest(address, server, seconds, full_screen))
                theirs.append(run_mpv(address, seconds, run, full_screen))
                print("  run %d:  wavecrest %5.1f %%   mpv --vo=gpu %5.1f %%"
                      % (run + 1, ours[-1] * 100, theirs[-1] * 100))
            ours.sort()
            theirs.sort()
            median_ours, median_theirs = ours[len(ours) // 2], theirs[len(theirs) // 2]
            print("  median:  wavecrest %5.1f %%   mpv --vo=gpu %5.1f %%   "
                  "ratio wavecrest / mpv %.2f"
                  % (median_ours * 100, median_theirs * 100, median_ours / median_theirs))
    finally:
        if server:
            server.stop()
        work.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
