#!/usr/bin/env python3
"""Start, memory, CPU and wake-up figures of the real build/wavecrest, side
by side in one run with the mpv command-line player and, through a PulseAudio
null sink, with Goodvibes (a GTK radio player on GStreamer), all on the same
loopback radio stream.

Wavecrest starts as a person starts it: it downloads its station list from a
loopback list server and plays the remembered channel by itself (auto-play).
mpv and Goodvibes are started on the channel's address. Two set-ups:

  * sound to a WAV file (ao=pcm), Wavecrest with the list server answering at
    once and after 4 s, beside mpv: the first sound is the moment a sample
    that is not silence is in the file;
  * sound to a PulseAudio null sink (a private server of its own), Wavecrest
    beside Goodvibes and mpv: the first sound is read from the sink's monitor
    (parec). The monitor is stopped once it has heard the sound, so that it
    does not set the sink's latency while CPU and wake-ups are counted. The
    monitor's own delay (from a tone written by pacat to the monitor) is
    measured and printed: it is part of every first sound heard there.

Each prints, as medians of the runs: start -> stream request (at the
server), start -> first sound, resident memory (VmRSS) while playing, CPU
and wake-ups per second while playing (the context switches of all threads,
/proc/PID/task/*/status), and the shared libraries mapped (/proc/PID/maps).
Last, the wake-ups per second of Wavecrest started hidden with nothing
playing.

The stream server behaves like an internet radio server: on connect it
sends a burst of 64 KB of the stream at once, then the stream at its own
rate (128 kbit/s MP3, a 440 Hz tone). The runs alternate between the players
so all see the same machine load.

  start_bench.py [--runs N] [--build DIR]     (needs an X display)

The null-sink set-up needs pulseaudio and parec (Debian's pulseaudio and
pulseaudio-utils) and, for its column, goodvibes and dbus-daemon; without
them it is left out or its column says "-". Prints the tables last. The exit
status is 0 whenever the figures could be measured, whatever they are; 1
when a player never played.
"""

import argparse
import http.server
import math
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
LIST_LATE = 4.0  # seconds the slow list server waits before it answers
SETTLE = 1.5    # seconds of playing before memory and CPU are read
CPU_WINDOW = 3.0
IDLE_WINDOW = 3.0
SILENCE = 0.01  # a sample louder than this is sound
RATE = 44100    # the null sink's and its monitor's sample rate


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
        # When the list and a stream were first asked for in this run
        # (time.monotonic()), and how long the list takes to be answered.
        self.asked = {}
        self.list_delay = 0.0

    @property
    def address(self):
        return "http://127.0.0.1:%d" % self.server_address[1]


class _Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.path == "/world.zip":
            self.server.asked.setdefault("list", time.monotonic())
            # A slow list server (a slow network, a busy server) answers late.
            if self.server.list_delay:
                time.sleep(self.server.list_delay)
            body = self.server.list_bytes
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        elif self.path.startswith("/radio/"):
            self.server.asked.setdefault("stream", time.monotonic())
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


class MonitorWatch:
    """Records the null sink's monitor through parec on a thread, and notes
    when the first sample that is not silence arrived."""

    def __init__(self, pulse):
        self.first = None
        self.process = subprocess.Popen(
            ["parec", "--device=%s.monitor" % PulseServer.SINK, "--format=s16le",
             "--rate=%d" % RATE, "--channels=2", "--latency-msec=5",
             "--process-time-msec=5"],
            env=pulse.client_environment(), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        limit = int(SILENCE * 32768)
        while self.first is None:
            data = self.process.stdout.read1(4096)
            if not data:
                return
            samples = struct.unpack("<%dh" % (len(data) // 2), data[:len(data) // 2 * 2])
            if any(abs(sample) > limit for sample in samples):
                self.first = time.monotonic()

    def heard(self):
        return self.first

    def stop(self):
        end(self.process)
        self.process.stdout.close()


class PulseServer:
    """A private PulseAudio server with one null sink, reached over its own
    socket by the players started with client_environment()."""

    SINK = "benchsink"

    def __init__(self, folder):
        self.runtime = os.path.join(folder, "pulse")
        os.makedirs(self.runtime, mode=0o700)
        self.socket = os.path.join(self.runtime, "native")
        env = dict(os.environ, PULSE_RUNTIME_PATH=self.runtime, HOME=folder)
        env.pop("PULSE_SERVER", None)
        self.process = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
             "--load=module-native-protocol-unix auth-anonymous=1 socket=" + self.socket,
             "--load=module-null-sink sink_name=%s rate=%d" % (self.SINK, RATE)],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        started = time.monotonic()
        while not os.path.exists(self.socket):
            if self.process.poll() is not None or time.monotonic() - started > 10:
                raise RuntimeError("the PulseAudio server did not start")
            time.sleep(0.02)
        subprocess.run(["pactl", "set-default-sink", self.SINK], env=self.client_environment(),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def monitor_delay(self):
        """Seconds from a tone written by a client of the server (pacat) to
        the moment the monitor gives it: part of every first sound heard
        there."""
        tone = b"".join(struct.pack("<hh", value, value) for value in (
            int(8000 * math.sin(2 * math.pi * TONE * i / RATE)) for i in range(RATE // 2)))
        writer = subprocess.Popen(["pacat", "--playback", "--latency-msec=10", "--format=s16le",
                                   "--rate=%d" % RATE, "--channels=2"],
                                  env=self.client_environment(), stdin=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL)
        monitor = MonitorWatch(self)
        try:
            writer.stdin.write(bytes(RATE // 10 * 4))  # the stream starts with silence
            writer.stdin.flush()
            time.sleep(1.0)
            written = time.monotonic()
            writer.stdin.write(tone)
            writer.stdin.flush()
            while monitor.heard() is None and time.monotonic() - written < 5:
                time.sleep(0.001)
            return monitor.heard() - written if monitor.heard() else float("nan")
        finally:
            monitor.stop()
            end(writer)
            writer.stdin.close()

    def client_environment(self):
        env = dict(os.environ, PULSE_SERVER="unix:" + self.socket)
        env.pop("PULSE_RUNTIME_PATH", None)
        return env

    def stop(self):
        end(self.process)


class SessionBus:
    """A private D-Bus session bus, for Goodvibes (a GApplication)."""

    def __init__(self):
        self.process = subprocess.Popen(["dbus-daemon", "--session", "--nofork",
                                         "--print-address=1"],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        text=True)
        self.address = self.process.stdout.readline().strip()

    def stop(self):
        end(self.process)
        self.process.stdout.close()


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as file:
        fields = file.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def cpu_nanoseconds(pid):
    """Processor time of all the threads so far, in nanoseconds (the
    scheduler's own count: the clock ticks of /proc/PID/stat are too coarse
    for a player that needs a few milliseconds a second)."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as file:
                total += int(file.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass
    return total


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


def mapped_paths(pid):
    with open("/proc/%d/maps" % pid) as file:
        return {fields[5] for fields in (line.split() for line in file) if len(fields) >= 6}


def libraries_mapped(pid):
    return len([path for path in mapped_paths(pid) if ".so" in os.path.basename(path)])


def maps_mention(pid, *names):
    paths = "\n".join(mapped_paths(pid))
    return [name for name in names if name in paths]


class Home:
    """A private home for one run of a player."""

    def __init__(self, folder, settings=None):
        self.path = tempfile.mkdtemp(dir=folder)
        self.config = os.path.join(self.path, "config")
        for sub in ("config", "data", "runtime", "cache"):
            os.makedirs(os.path.join(self.path, sub), mode=0o700)
        if settings is not None:
            settings_dir = os.path.join(self.config, "tolvane.example")
            os.makedirs(settings_dir)
            with open(os.path.join(settings_dir, "Wavecrest by Tolvane.conf"), "w") as file:
                file.write(settings)

    def environment(self, base=None, **extra):
        env = dict(base or os.environ)
        env.update(HOME=self.path, XDG_CONFIG_HOME=self.config,
                   XDG_DATA_HOME=os.path.join(self.path, "data"),
                   XDG_CACHE_HOME=os.path.join(self.path, "cache"),
                   XDG_RUNTIME_DIR=os.path.join(self.path, "runtime"),
                   WAVECREST_MODAL_LOG=os.path.join(self.path, "modal.log"), NO_AT_BRIDGE="1")
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        env.update(extra)
        return env


def end(process):
    if process.poll() is None:
        process.send_signal(signal.SIGKILL)
    process.wait(timeout=10)


def start(command, env=None):
    started = time.monotonic()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    process.started = started
    return process


def measure_playing(process, heard, server, after_sound=None):
    """The figures of one player's run as a dictionary, None when no sound
    came. `heard` gives the time.monotonic() of the first sound, or None
    while there was none; `after_sound` runs once it came."""
    started = process.started
    first = None
    while time.monotonic() - started < TIMEOUT and process.poll() is None:
        first = heard()
        if first is not None:
            break
        time.sleep(0.001)
    if first is None:
        return None
    figures = {"sound": first - started, "spent": cpu_seconds(process.pid)}
    if "stream" in server.asked:
        figures["request"] = server.asked["stream"] - started
        figures["request->sound"] = first - server.asked["stream"]
    if "list" in server.asked:
        figures["list"] = server.asked["list"] - started
    if after_sound:
        after_sound()
    time.sleep(SETTLE)
    cpu_before, switches_before = cpu_nanoseconds(process.pid), context_switches(process.pid)
    wall_before = time.monotonic()
    time.sleep(CPU_WINDOW)
    cpu_after, switches_after = cpu_nanoseconds(process.pid), context_switches(process.pid)
    wall = time.monotonic() - wall_before
    figures["cpu"] = (cpu_after - cpu_before) / 1e9 / wall * 100
    figures["wakeups"] = sum(switches_after[task] - switches_before[task]
                             for task in switches_after if task in switches_before) / wall
    figures["rss"] = resident_mib(process.pid)
    figures["libraries"] = libraries_mapped(process.pid)
    return figures


def pcm_watch(path):
    watch = SoundWatch(path)
    return lambda: time.monotonic() if watch.heard() else None


class Players:
    """Starts each player on the loopback stream, its sound to a WAV file
    or to the null sink, and measures it."""

    def __init__(self, binary, server, folder, pulse, bus):
        self.binary, self.server, self.folder = binary, server, folder
        self.pulse, self.bus = pulse, bus
        self.count = 0
        self.mapped_for_radio = set()

    def _run(self, command, env, watch_for, on_pulse):
        self.count += 1
        self.server.asked.clear()
        monitor = MonitorWatch(self.pulse) if on_pulse else None
        process = start(command, env)
        try:
            heard = monitor.heard if monitor else watch_for
            return measure_playing(process, heard, self.server,
                                   monitor.stop if monitor else None), process
        finally:
            if monitor:
                monitor.stop()

    def wavecrest(self, list_delay=0.0, on_pulse=False):
        self.server.list_delay = list_delay
        # As on any day after the first: the channel played last is remembered,
        # and plays again as the program starts.
        home = Home(self.folder, "[Settings]\nLastChannelIndex=0\nAutoPlay=1\n"
                    "LastChannelAddress=%s/radio/%d.mp3\n" % (self.server.address, TONE))
        sound = os.path.join(home.path, "sound.wav")
        base = self.pulse.client_environment() if on_pulse else None
        env = home.environment(base, WAVECREST_STATION_LIST_URL=self.server.address + "/world.zip",
                               WAVECREST_PLAYER_OPTIONS="ao=pulse" if on_pulse else
                               "ao=pcm;ao-pcm-file=" + sound)
        figures, process = None, None
        try:
            figures, process = self._run([self.binary], env, pcm_watch(sound), on_pulse)
            if figures:
                # What radio never needs: the web engine, the OpenGL driver
                # (Mesa's software one brings LLVM), the SVG image loader.
                self.mapped_for_radio.update(maps_mention(
                    process.pid, "libwebkit2gtk", "libjavascriptcoregtk", "libgst",
                    "libGLX_mesa", "_dri.so", "libLLVM", "libpixbufloader-svg"))
            return figures
        finally:
            self.server.list_delay = 0.0
            if process:
                end(process)

    def mpv(self, on_pulse=False):
        sound = os.path.join(self.folder, "mpv%d.wav" % self.count)
        output = ["--ao=pulse"] if on_pulse else ["--ao=pcm", "--ao-pcm-file=" + sound]
        command = ["mpv", "--no-config", "--ytdl=no", "--really-quiet", "--vo=null", *output,
                   self.server.address + "/radio/%d.mp3?mpv=%d" % (TONE, self.count)]
        env = self.pulse.client_environment() if on_pulse else None
        figures, process = self._run(command, env, pcm_watch(sound), on_pulse)
        end(process)
        return figures

    def goodvibes(self):
        home = Home(self.folder)
        env = home.environment(self.pulse.client_environment(),
                               DBUS_SESSION_BUS_ADDRESS=self.bus.address,
                               GSETTINGS_BACKEND="memory")
        command = ["goodvibes", self.server.address + "/radio/%d.mp3?goodvibes=%d" % (
            TONE, self.count)]
        figures, process = self._run(command, env, None, True)
        end(process)
        return figures

    def idle_wakeups(self):
        """Wake-ups per second of a hidden Wavecrest that plays nothing, once
        its start (list download and load) is over."""
        home = Home(self.folder, "[Settings]\nLastChannelIndex=0\nAutoPlay=0\n")
        process = start([self.binary, ":silent"], home.environment(
            WAVECREST_STATION_LIST_URL=self.server.address + "/world.zip",
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


def median(runs, key):
    values = [run[key] for run in runs if run and key in run and run[key] == run[key]]
    return statistics.median(values) if values else float("nan")


def ratio(ours, theirs):
    return "%.2f" % (ours / theirs) if theirs and theirs == theirs and ours == ours else "-"


# The rows of a table: the figure's name, its key, and how it is written.
FIGURES = [
    ("start -> station-list request", "list", lambda v: "%.0f ms" % (v * 1000)),
    ("start -> stream request", "request", lambda v: "%.0f ms" % (v * 1000)),
    ("start -> first sound", "sound", lambda v: "%.0f ms" % (v * 1000)),
    ("stream request -> first sound", "request->sound", lambda v: "%.0f ms" % (v * 1000)),
    ("processor time until the first sound", "spent", lambda v: "%.0f ms" % (v * 1000)),
    ("resident memory while playing", "rss", lambda v: "%.0f MiB" % v),
    ("CPU while playing", "cpu", lambda v: "%.2f %%" % v),
    ("wake-ups per second while playing", "wakeups", lambda v: "%.0f" % v),
    ("shared libraries mapped", "libraries", lambda v: "%.0f" % v),
]


def print_table(title, columns, ratios, keys=None):
    """columns: (heading, runs); ratios: (heading, index, index) of two columns."""
    header = ["Figure"] + [heading for heading, _ in columns] + [r[0] for r in ratios]
    rows = []
    for name, key, write in FIGURES:
        if keys and key not in keys:
            continue
        values = [median(runs, key) for _, runs in columns]
        if all(value != value for value in values):
            continue
        rows.append([name] + [write(v) if v == v else "-" for v in values] +
                    [ratio(values[a], values[b]) for _, a, b in ratios])
    print()
    print(title)
    widths = [max(len(row[i]) for row in rows + [header]) for i in range(len(header))]
    for row in [header] + rows:
        print("  " + "  ".join(cell.ljust(widths[0]) if i == 0 else cell.rjust(widths[i])
                               for i, cell in enumerate(row)))


def print_targets(at_once, late, mpv, pulse_ours, pulse_goodvibes):
    def check(name, ours, limit, unit):
        if ours != ours or limit != limit:
            return
        print("  %-40s %s (%s %s)" % (name, "met" if ours <= limit else "NOT met",
                                      unit % ours, "<= " + unit % limit))
    print()
    print("Targets")
    check("start -> first sound <= 1.3 x mpv", median(at_once, "sound") * 1000,
          1.3 * median(mpv, "sound") * 1000, "%.0f ms")
    check("  the same, list after 4 s", median(late, "sound") * 1000,
          1.3 * median(mpv, "sound") * 1000, "%.0f ms")
    check("start -> stream request < 100 ms", median(at_once, "request") * 1000, 100, "%.0f ms")
    check("  the same, list after 4 s", median(late, "request") * 1000, 100, "%.0f ms")
    check("resident memory <= 1.3 x mpv", median(at_once, "rss"), 1.3 * median(mpv, "rss"),
          "%.1f MiB")
    check("CPU <= Goodvibes' (null sink)", median(pulse_ours, "cpu"),
          median(pulse_goodvibes, "cpu"), "%.2f %%")
    check("wake-ups <= Goodvibes' (null sink)", median(pulse_ours, "wakeups"),
          median(pulse_goodvibes, "wakeups"), "%.0f/s")


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
    with_pulse = all(shutil.which(tool) for tool in ("pulseaudio", "parec", "pacat", "pactl"))
    with_goodvibes = with_pulse and all(shutil.which(tool) for tool in ("goodvibes", "dbus-daemon"))
    if not with_pulse:
        print("start_bench.py: pulseaudio or parec is missing: no null-sink figures",
              file=sys.stderr)
    elif not with_goodvibes:
        print("start_bench.py: goodvibes or dbus-daemon is missing: no Goodvibes figures",
              file=sys.stderr)

    folder = tempfile.mkdtemp(prefix="wavecrest-bench-start-")
    pulse = bus = None
    at_once, late, mpv, pulse_ours, pulse_goodvibes, pulse_mpv = [], [], [], [], [], []
    try:
        server = RadioServer(make_stream(folder))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        pulse = PulseServer(folder) if with_pulse else None
        bus = SessionBus() if with_goodvibes else None
        players = Players(binary, server, folder, pulse, bus)
        delay = statistics.median(pulse.monitor_delay() for _ in range(3)) if pulse else None

        def heard(runs):
            return "%.0f ms" % (runs[-1]["sound"] * 1000) if runs[-1] else "no sound"
        for index in range(arguments.runs):
            at_once.append(players.wavecrest())
            mpv.append(players.mpv())
            late.append(players.wavecrest(list_delay=LIST_LATE))
            line = "  run %d: Wavecrest %s (list after 4 s: %s), mpv %s" % (
                index + 1, heard(at_once), heard(late), heard(mpv))
            if pulse:
                pulse_ours.append(players.wavecrest(on_pulse=True))
                if bus:
                    pulse_goodvibes.append(players.goodvibes())
                pulse_mpv.append(players.mpv(on_pulse=True))
                line += "; null sink: Wavecrest %s, %smpv %s" % (
                    heard(pulse_ours),
                    "Goodvibes %s, " % heard(pulse_goodvibes) if bus else "", heard(pulse_mpv))
            print(line, flush=True)
        wakeups = players.idle_wakeups()
        server.stopping.set()
        server.shutdown()
    finally:
        for helper in (bus, pulse):
            if helper:
                helper.stop()
        shutil.rmtree(folder, ignore_errors=True)

    print_table("Sound to a WAV file (ao=pcm), medians of %d runs; loopback radio server "
                "(64 KB burst on connect, then 128 kbit/s)" % arguments.runs,
                [("Wavecrest", at_once), ("list after 4 s", late), ("mpv", mpv)],
                [("ratio", 0, 2), ("ratio, 4 s", 1, 2)])
    if pulse_ours:
        columns = [("Wavecrest", pulse_ours)]
        ratios = []
        if pulse_goodvibes:
            columns.append(("Goodvibes", pulse_goodvibes))
            ratios.append(("W / Goodvibes", 0, 1))
        columns.append(("mpv", pulse_mpv))
        ratios.append(("W / mpv", 0, len(columns) - 1))
        print_table("Sound to a PulseAudio null sink, first sound read from its monitor, "
                    "medians of %d runs" % arguments.runs, columns, ratios,
                    keys={"request", "sound", "rss", "cpu", "wakeups", "libraries"})
        print("  every first sound there includes the monitor's own delay: %.0f ms from a "
              "tone written by pacat to the monitor" % (delay * 1000))
    print("  Wavecrest hidden, playing nothing: %.1f wake-ups per second" % wakeups)
    if players.mapped_for_radio:
        print("  note: the radio page's start mapped %s" % ", ".join(
            sorted(players.mapped_for_radio)))
    print_targets(at_once, late, mpv, pulse_ours, pulse_goodvibes)
    played = [median(runs, "sound") for runs in (at_once, mpv)]
    return 0 if all(value == value for value in played) else 1


if __name__ == "__main__":
    sys.exit(main())
