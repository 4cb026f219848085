#!/usr/bin/env python3
"""Start, memory, CPU and idle figures of the real build/wavecrest, side by
side with the mpv command-line player on the same loopback radio stream, in
one run:

  * process start -> first decoded sound. Wavecrest starts as a person starts
    it: it downloads its station list from a loopback list server and plays
    the remembered channel by itself. mpv is started on the channel's
    address. Both write their sound to a WAV file (ao=pcm); the first sound
    is the moment a sample that is not silence is in the file.
  * resident memory (VmRSS) and CPU time while playing, a few seconds after
    the first sound.
  * wake-ups per second of Wavecrest started hidden with nothing playing
    (the context switches of all its threads, /proc/PID/task/*/status).

The stream server behaves like an internet radio server: on connect it
sends a burst of 64 KB of the stream at once, then the stream at its own
rate (128 kbit/s MP3, a 440 Hz tone). The runs alternate between the two
players so both see the same machine load; the table shows the medians.

  start_bench.py [--runs N] [--build DIR]     (needs an X display)

Prints the table last. The exit status is 0 whenever the figures could be
measured, whatever they are; 1 when a player never played.
"""

import argparse
import http.server
import os
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.normpath(os.path.join(HERE, "..", ".."))

BURST_BYTES = 64 * 1024
BYTES_PER_SECOND = 128000 // 8
TICK_SECONDS = 0.1
TONE = 440
TIMEOUT = 30.0
SETTLE = 1.5    # seconds of playing before memory and CPU are read
CPU_WINDOW = 3.0
IDLE_WINDOW = 3.0
SILENCE = 0.01  # a sample louder than this is sound


def make_stream(folder):
    """Two minutes of the tone as raw MP3 frames (no tags), played in a loop."""
    path = os.path.join(folder, "tone.mp3")
    subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin",
                    "-f", "lavfi", "-i", "sine=frequency=%d:sample_rate=44100" % TONE,
                    "-t", "120", "-ac", "2", "-c:a", "libmp3lame", "-b:a", "128k",
                    "-write_xing", "0", "-id3v2_version", "0", "-f", "mp3", path],
                   check=True)
    with open(path, "rb") as file:
        return file.read()


def station_list(address):
    lines = ["Type,Channel,Address,Language,Genre,About,Status",
             "Radio,Tone %d,%s/radio/%d.mp3,en,Tones,%d Hz,ON" % (TONE, address, TONE, TONE)]
    return "\r\n".join(lines).encode("utf-16-le") + "\r\n".encode("utf-16-le")


class RadioServer(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, stream):
        super().__init__(("127.0.0.1", 0), _Handler)
        self.stream = stream
        self.list_bytes = station_list(self.address)
        self.stopping = threading.Event()
        # When the list and a stream were last asked for (time.monotonic()).
        self.asked = {}

    @property
    def address(self):
        return "http://127.0.0.1:%d" % self.server_address[1]


class _Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.path == "/world.zip":
            self.server.asked["list"] = time.monotonic()
            body = self.server.list_bytes
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        elif self.path.startswith("/radio/"):
            self.server.asked["stream"] = time.monotonic()
            self.send_response(200)
            self.send_header("Content-Type", "audio/mpeg")
            self.send_header("icy-br", "128")
            self.send_header("icy-name", "Tone %d Hz" % TONE)
            self.end_headers()
            self._stream()
        else:
            self.send_error(404)

    def _stream(self):
        data = self.server.stream
        position = 0

        def send(count):
            nonlocal position
            while count > 0:
                piece = data[position:position + count]
                self.wfile.write(piece)
                position = (position + len(piece)) % len(data)
                count -= len(piece)

        try:
            send(BURST_BYTES)
            started = time.monotonic()
            sent = 0
            while not self.server.stopping.is_set():
                due = int((time.monotonic() - started) * BYTES_PER_SECOND)
                if due > sent:
                    send(due - sent)
                    sent = due
                time.sleep(TICK_SECONDS)
        except (BrokenPipeError, ConnectionResetError):
            pass


class SoundWatch:
    """Reads a WAV file that a player is writing, as it grows, and notes when
    the first sample that is not silence arrived."""

    def __init__(self, path):
        self.path = path
        self.offset = None  # where the samples start, once the header is read
        self.format = None
        self.read = 0

    def heard(self):
        try:
            with open(self.path, "rb") as file:
                if self.offset is None and not self._read_header(file):
                    return False
                file.seek(self.offset + self.read)
                data = file.read()
        except FileNotFoundError:
            return False
        tag, block, bits = self.format
        usable = len(data) - len(data) % block
        for start in range(0, usable, block):
            if bits == 16:
                value = struct.unpack_from("<h", data, start)[0] / 32768.0
            elif tag == 3:
                value = struct.unpack_from("<f", data, start)[0]
            else:
                value = struct.unpack_from("<i", data, start)[0] / 2147483648.0
            if abs(value) > SILENCE:
                return True
        self.read += usable
        return False

    def _read_header(self, file):
        header = file.read(4096)
        if header[:4] != b"RIFF" or header[8:12] != b"WAVE":
            return False
        position = 12
        while position + 8 <= len(header):
            chunk = header[position:position + 4]
            size = struct.unpack_from("<I", header, position + 4)[0]
            body = position + 8
            if chunk == b"fmt ":
                tag, _, _, _, block, bits = struct.unpack_from("<HHIIHH", header, body)
                if tag == 0xFFFE and size >= 40:
                    tag = struct.unpack_from("<H", header, body + 24)[0]
                self.format = (tag, block, bits)
            elif chunk == b"data" and self.format:
                self.offset = body
                return True
            position = body + size + (size & 1)
        return False


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as file:
        fields = file.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def resident_mib(pid):
    with open("/proc/%d/status" % pid) as file:
        for line in file:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return float("nan")


def context_switches(pid):
    """Per thread: voluntary + involuntary context switches so far."""
    counts = {}
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/status" % (pid, task)) as file:
                total = 0
                for line in file:
                    if line.startswith(("voluntary_ctxt_switches:",
                                        "nonvoluntary_ctxt_switches:")):
                        total += int(line.split()[1])
                counts[task] = total
        except FileNotFoundError:
            pass
    return counts


def maps_mention(pid, *names):
    with open("/proc/%d/maps" % pid) as file:
        text = file.read()
    return [name for name in names if name in text]


class Home:
    """A private home for one Wavecrest run."""

    def __init__(self, folder, settings):
        self.path = tempfile.mkdtemp(dir=folder)
        self.config = os.path.join(self.path, "config")
        for sub in ("config", "data", "runtime"):
            os.makedirs(os.path.join(self.path, sub), mode=0o700)
        settings_dir = os.path.join(self.config, "tolvane.example")
        os.makedirs(settings_dir)
        with open(os.path.join(settings_dir, "Wavecrest by Tolvane.conf"), "w") as file:
            file.write(settings)

    def environment(self, **extra):
        env = dict(os.environ)
        env.update(HOME=self.path, XDG_CONFIG_HOME=self.config,
                   XDG_DATA_HOME=os.path.join(self.path, "data"),
                   XDG_RUNTIME_DIR=os.path.join(self.path, "runtime"),
                   WAVECREST_MODAL_LOG=os.path.join(self.path, "modal.log"), NO_AT_BRIDGE="1")
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        env.update(extra)
        return env


def end(process):
    if process.poll() is None:
        process.send_signal(signal.SIGKILL)
    process.wait(timeout=10)


def measure_playing(process, sound, server):
    """Seconds from the start to the first sound, memory and CPU while it
    plays, seconds from the stream's request at the server to the first
    sound, from the start to the list's request (None when there was none),
    and the processor time spent until the first sound. None for the first
    when no sound came."""
    watch = SoundWatch(sound)
    started = process.started
    server.asked.clear()
    first = None
    while time.monotonic() - started < TIMEOUT and process.poll() is None:
        if watch.heard():
            first = time.monotonic() - started
            break
        time.sleep(0.001)
    if first is None:
        return None, float("nan"), float("nan"), None, None, None
    spent = cpu_seconds(process.pid)
    heard = started + first
    stream = heard - server.asked["stream"] if "stream" in server.asked else None
    listed = server.asked["list"] - started if "list" in server.asked else None
    time.sleep(SETTLE)
    cpu_before, wall_before = cpu_seconds(process.pid), time.monotonic()
    time.sleep(CPU_WINDOW)
    cpu = (cpu_seconds(process.pid) - cpu_before) / (time.monotonic() - wall_before) * 100
    return first, resident_mib(process.pid), cpu, stream, listed, spent


def start(command, env=None):
    started = time.monotonic()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    process.started = started
    return process


def run_wavecrest(binary, server, folder, index):
    home = Home(folder, "[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
    sound = os.path.join(home.path, "sound.wav")
    process = start([binary], home.environment(
        WAVECREST_STATION_LIST_URL=server.address + "/world.zip",
        WAVECREST_PLAYER_OPTIONS="ao=pcm;ao-pcm-file=" + sound))
    try:
        result = measure_playing(process, sound, server)
        # What radio never needs: the web engine, the OpenGL driver (Mesa's
        # software one brings LLVM), the SVG image loader.
        web = maps_mention(process.pid, "libwebkit2gtk", "libjavascriptcoregtk", "libgst",
                           "libGLX_mesa", "_dri.so", "libLLVM", "libpixbufloader-svg")
        return result + (web,)
    finally:
        end(process)


def run_mpv(server, folder, index):
    sound = os.path.join(folder, "mpv%d.wav" % index)
    process = start(["mpv", "--no-config", "--ytdl=no", "--really-quiet", "--vo=null",
                     "--ao=pcm", "--ao-pcm-file=" + sound,
                     server.address + "/radio/%d.mp3?mpv=%d" % (TONE, index)])
    try:
        return measure_playing(process, sound, server)
    finally:
        end(process)


def idle_wakeups(binary, server, folder):
    """Wake-ups per second of a hidden Wavecrest that plays nothing, once its
    start (list download and load) is over."""
    home = Home(folder, "[Settings]\nLastChannelIndex=0\nAutoPlay=0\n")
    process = start([binary, ":silent"], home.environment(
        WAVECREST_STATION_LIST_URL=server.address + "/world.zip",
        WAVECREST_PLAYER_OPTIONS="ao=null"))
    try:
        time.sleep(3.0)
        before, wall_before = context_switches(process.pid), time.monotonic()
        time.sleep(IDLE_WINDOW)
        after, wall_after = context_switches(process.pid), time.monotonic()
        switches = sum(after[task] - before[task] for task in after if task in before)
        return switches / (wall_after - wall_before)
    finally:
        end(process)


def median(values):
    values = [v for v in values if v is not None and v == v]
    return statistics.median(values) if values else float("nan")


def ratio(ours, theirs):
    return "%.1f" % (ours / theirs) if theirs and theirs == theirs and ours == ours else "-"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--build", default=os.environ.get("WAVECREST_BUILD_DIR",
                                                          os.path.join(TOP, "build")))
    arguments = parser.parse_args()
    binary = os.path.join(arguments.build, "wavecrest")
    if not os.environ.get("DISPLAY"):
        print("start_bench.py: needs an X display", file=sys.stderr)
        return 2
    for needed in ("mpv", "ffmpeg"):
        if not shutil.which(needed):
            print("start_bench.py: %s is missing" % needed, file=sys.stderr)
            return 2

    folder = tempfile.mkdtemp(prefix="wavecrest-bench-start-")
    try:
        server = RadioServer(make_stream(folder))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        ours, theirs, web_seen = [], [], set()
        for index in range(arguments.runs):
            *result, web = run_wavecrest(binary, server, folder, index)
            ours.append(result)
            first = result[0]
            web_seen.update(web)
            theirs.append(run_mpv(server, folder, index))
            print("  run %d: Wavecrest %s ms, mpv %s ms" % (
                index + 1, "%.0f" % (first * 1000) if first else "no sound",
                "%.0f" % (theirs[-1][0] * 1000) if theirs[-1][0] else "no sound"), flush=True)
        wakeups = idle_wakeups(binary, server, folder)
        server.stopping.set()
        server.shutdown()
    finally:
        shutil.rmtree(folder, ignore_errors=True)

    start_ours, start_theirs = median([r[0] for r in ours]), median([r[0] for r in theirs])
    rss_ours, rss_theirs = median([r[1] for r in ours]), median([r[1] for r in theirs])
    cpu_ours, cpu_theirs = median([r[2] for r in ours]), median([r[2] for r in theirs])
    play_ours, play_theirs = median([r[3] for r in ours]), median([r[3] for r in theirs])
    list_ours = median([r[4] for r in ours])
    spent_ours, spent_theirs = median([r[5] for r in ours]), median([r[5] for r in theirs])
    rows = [
        ("process start -> first decoded sound", "%.0f ms" % (start_ours * 1000),
         "%.0f ms" % (start_theirs * 1000), ratio(start_ours, start_theirs)),
        ("  of which: start -> list request", "%.0f ms" % (list_ours * 1000), "-", "-"),
        ("  processor time until then", "%.0f ms" % (spent_ours * 1000),
         "%.0f ms" % (spent_theirs * 1000), ratio(spent_ours, spent_theirs)),
        ("stream request -> first decoded sound", "%.0f ms" % (play_ours * 1000),
         "%.0f ms" % (play_theirs * 1000), ratio(play_ours, play_theirs)),
        ("resident memory while playing", "%.0f MiB" % rss_ours, "%.0f MiB" % rss_theirs,
         ratio(rss_ours, rss_theirs)),
        ("CPU while playing 128 kbit/s MP3", "%.1f %%" % cpu_ours, "%.1f %%" % cpu_theirs,
         ratio(cpu_ours, cpu_theirs)),
        ("wake-ups per second, hidden, idle", "%.1f" % wakeups, "-", "-"),
    ]
    print()
    print("Start-up benchmark: medians of %d runs; loopback radio server (64 KB burst on "
          "connect, then 128 kbit/s)" % arguments.runs)
    widths = [max(len(row[i]) for row in rows + [("Figure", "Wavecrest", "mpv", "ratio")])
              for i in range(4)]
    for row in [("Figure", "Wavecrest", "mpv", "ratio")] + rows:
        print("  %-*s  %*s  %*s  %*s" % (widths[0], row[0], widths[1], row[1], widths[2],
                                         row[2], widths[3], row[3]))
    if web_seen:
        print("  note: the radio page's start mapped %s" % ", ".join(sorted(web_seen)))
    return 0 if start_ours == start_ours and start_theirs == start_theirs else 1


if __name__ == "__main__":
    sys.exit(main())
