#!/usr/bin/env python3
"""A long listening session of the real build/wavecrest, side by side with
the mpv command-line player doing the same, to see whether anything grows:
resident memory (VmRSS), open file descriptors and threads.

The session, for both players at the same time on one loopback stream
server:
  * a list of three radio stations and one TV channel (tests/support/
    stream_server.py: MP3 tones, an MPEG-TS test picture);
  * every CUT seconds (180) the server cuts every stream connection, as a
    station's server does now and then; Wavecrest reconnects by itself, mpv
    goes on with the next entry of its looping playlist;
  * every SWITCH seconds (30) the next channel: the desktop's media controls
    (playerctl next) for Wavecrest, mpv's own `playlist-next` for mpv;
  * every HIDE seconds (150) Wavecrest's window is closed to the tray and
    shown again by a second start, as a person does.

Figures are read a few seconds after the first sound ("start"), after FIRST
minutes and at the end. The aim: after the first FIRST minutes resident
memory grows by under 5 MiB, descriptors and threads not at all.

  soak_bench.py [--minutes 30] [--first 5] [--build DIR]
      (needs an X display with a notification area and a D-Bus session bus:
       scripts/with-display.sh dbus-run-session -- python3 bench/soak/soak_bench.py)

The sound of both goes to ao=null, which plays in real time. The exit status
is 0 whenever the figures could be read, whatever they are.
"""

import argparse
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(TOP, "tests", "e2e"))
from wavecrest_e2e import (Home, StreamServer, Wavecrest, free_port, playerctl,  # noqa: E402
                           utf16_station_list, wait_until)

CUT = 180.0
SWITCH = 30.0
HIDE = 150.0
CHANNELS = [("Radio", "Tone 440", "/radio/440.mp3"), ("Radio", "Tone 523", "/radio/523.mp3"),
            ("TV", "Test Picture", "/tv/659.ts"), ("Radio", "Tone 784", "/radio/784.mp3")]


def figures(pid):
    """Resident memory in MiB, open descriptors and threads of a process."""
    with open("/proc/%d/status" % pid, encoding="utf-8") as file:
        fields = dict(line.split(":", 1) for line in file if ":" in line)
    rss = int(fields["VmRSS"].split()[0]) / 1024.0
    descriptors = len(os.listdir("/proc/%d/fd" % pid))
    threads = int(fields["Threads"])
    return rss, descriptors, threads


class MpvReference:
    """The mpv command line on the same channels, looping, driven through its
    JSON IPC socket."""

    def __init__(self, folder, addresses):
        playlist = os.path.join(folder, "channels.m3u")
        with open(playlist, "w", encoding="utf-8") as file:
            file.write("\n".join(addresses) + "\n")
        self.socket_path = os.path.join(folder, "mpv.socket")
        self.process = subprocess.Popen(
            ["mpv", "--no-config", "--really-quiet", "--ao=null", "--vo=gpu", "--gpu-sw",
             "--force-window=yes",
             "--loop-playlist=inf", "--idle=yes", "--input-ipc-server=" + self.socket_path,
             "--playlist=" + playlist],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: os.path.exists(self.socket_path), 15)

    def command(self, *words):
        try:
            with socket.socket(socket.AF_UNIX) as connection:
                connection.settimeout(5)
                connection.connect(self.socket_path)
                connection.sendall((json.dumps({"command": list(words)}) + "\n").encode())
                connection.recv(4096)
        except OSError:
            pass

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def row(label, wavecrest, mpv):
    return "%-28s %9.1f MiB %4d fd %3d thr   %9.1f MiB %4d fd %3d thr" % (
        (label,) + wavecrest + mpv)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--minutes", type=float, default=30.0)
    parser.add_argument("--first", type=float, default=5.0,
                        help="minutes after which growth starts to count")
    parser.add_argument("--build", default=os.path.join(TOP, "build"))
    options = parser.parse_args()
    if not os.environ.get("DISPLAY") or not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        sys.exit("soak_bench.py needs DISPLAY and DBUS_SESSION_BUS_ADDRESS")

    home = Home()
    folder = tempfile.mkdtemp(prefix="wavecrest-soak-")
    port = free_port()
    address = "http://127.0.0.1:%d" % port
    list_file = os.path.join(folder, "world.zip")
    with open(list_file, "wb") as file:
        file.write(utf16_station_list(
            ["Type,Channel,Address,Language,Genre,About,Status"]
            + ["%s,%s,%s%s,en,Tones,Soak,ON" % (kind, name, address, path)
               for kind, name, path in CHANNELS]))
    server = StreamServer(os.path.join(folder, "requests.log"), "/world.zip=" + list_file,
                          port=port)
    home.write_settings("[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
    env = home.environment(WAVECREST_STATION_LIST_URL=address + "/world.zip",
                           WAVECREST_PLAYER_OPTIONS="ao=null",
                           DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"])
    binary = os.path.join(options.build, "wavecrest")
    program = Wavecrest(home, env=env, binary=binary)
    mpv = MpvReference(folder, [address + path for _, _, path in CHANNELS])
    try:
        program.wait_for_window()
        if not wait_until(lambda: playerctl("status") == "Playing", 60):
            sys.exit("Wavecrest never played")
        time.sleep(5)
        samples = [("start", figures(program.pid), figures(mpv.process.pid))]
        began = time.monotonic()
        end = began + options.minutes * 60
        first = began + options.first * 60
        next_cut, next_switch, next_hide = began + CUT, began + SWITCH, began + HIDE
        switches = cuts = hides = 0
        while time.monotonic() < end:
            now = time.monotonic()
            if now >= next_switch:
                playerctl("next")
                mpv.command("playlist-next")
                switches += 1
                next_switch += SWITCH
            if now >= next_cut:
                with urllib.request.urlopen(address + "/drop", timeout=10) as answer:
                    answer.read()
                cuts += 1
                next_cut += CUT
            if now >= next_hide:
                window = program.wait_for_window()
                program.close_window(window)
                wait_until(lambda: not program.windows(visible_only=True), 15)
                Wavecrest(home, env=env, binary=binary).wait(30)
                program.wait_for_window()
                hides += 1
                next_hide += HIDE
            if first and now >= first:
                samples.append(("after %g min" % options.first, figures(program.pid),
                                figures(mpv.process.pid)))
                first = 0
            if not program.is_running():
                sys.exit("Wavecrest ended during the soak:\n" + program.output_so_far())
            time.sleep(0.5)
        samples.append(("end (%g min)" % options.minutes, figures(program.pid),
                        figures(mpv.process.pid)))
        requests = len(server.requested())
    finally:
        program.kill()
        mpv.stop()
        server.stop()
        home.close()
        shutil.rmtree(folder, ignore_errors=True)

    print()
    print("Soak benchmark: %d channel switches, %d cuts of every stream, %d hide/show, "
          "%d requests at the server" % (switches, cuts, hides, requests))
    print("%-28s %-30s   %s" % ("", "Wavecrest", "mpv command line"))
    for label, ours, theirs in samples:
        print(row(label, ours, theirs))
    if len(samples) == 3:
        (_, w1, m1), (_, w2, m2) = samples[1], samples[2]
        print(row("growth after %g min" % options.first,
                  tuple(b - a for a, b in zip(w1, w2)), tuple(b - a for a, b in zip(m1, m2))))


if __name__ == "__main__":
    main()
