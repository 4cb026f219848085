#!/usr/bin/env python3
"""Live test streams on loopback, for Wavecrest's tests, benchmarks and demo.

A small HTTP server on 127.0.0.1 that plays the part of internet radio and TV
stations. Every stream request starts its own ffmpeg, which generates the
programme in real time (a sine tone, and for TV a moving test picture), so a
listener gets a continuous live stream that never ends on its own.

Start:
    stream_server.py [--port N] [--log FILE] [--route PATH=FILE[=TYPE]]...
                     [--exit-with-parent]

The first line written to standard output is the server's address,
"http://127.0.0.1:PORT" (PORT is a free port unless --port names one). The
server runs until SIGTERM or SIGINT, or, with --exit-with-parent, until the
process that started it ends. Every ffmpeg it started ends with it.

Stream paths (HZ is the tone's frequency in hertz, 20 to 20000):
    /radio/HZ.mp3   MP3, 128 kb/s, 44.1 kHz stereo. A client that sends
                    "Icy-MetaData: 1" gets ICY metadata: icy-name and icy-br
                    headers, and a StreamTitle every icy-metaint bytes.
    /radio/HZ.ogg   Ogg Vorbis, 44.1 kHz stereo (no ICY metadata).
    /tv/HZ.ts       MPEG transport stream: a 320x240 test picture at 25
                    frames a second (MPEG-2 video) with the tone (MP2 audio).

Query parameters of a stream path:
    name=TEXT         the station name: icy-name of a radio stream, service
                      name of a TV stream (default "Tone HZ Hz")
    title=TEXT        the StreamTitle sent in the ICY metadata
                      (default "Sine HZ Hz")
    titles=LIST       StreamTitles that take turns instead, one after
                      another and round again, each for two metadata blocks
                      (about two seconds); LIST is "CHARSET:TEXT" items
                      separated by "|", and each title is sent as the bytes
                      of TEXT in that Python codec ("latin-1", "cp1251"),
                      as older stations send theirs
    drop_after=BYTES  close the connection after that many bytes of stream
                      data, as a station that fails mid-stream would
    colour=RRGGBB     TV only: the picture is that one colour instead of the
                      test picture
    size=WxH          TV only: the picture's size (default 320x240)
    stall_after=BYTES stop sending after that many bytes of stream data but
                      keep the connection open, as a stalled station does
    once=1            answer only the first request of this exact path and
                      query; later ones get "410 Gone" (a station that
                      dropped and does not come back)
    later=STATUS      like once=1, with that HTTP status for the later
                      requests (503: a station that is down for a while)

Other paths:
    /playlist.m3u?entries=LIST
                    an M3U playlist (audio/x-mpegurl) of the addresses in
                    LIST, separated by "|": a station whose stream address
                    answers with a list of other addresses
    /requests       text/plain: every path (with its query) asked for so far,
                    one per line, in order; /requests and /drop themselves
                    are not listed
    /drop           closes every stream connection that is open now
    PATH of --route serves the bytes of FILE with content type TYPE
                    (default application/octet-stream); a route may also be
                    added by code that imports this module (add_route);
                    ?delay=S answers only after S seconds

With --log FILE each requested path is also appended to FILE, one per line, as
soon as the request arrives.

Only the standard library and the ffmpeg program are used. The server never
listens on any address but 127.0.0.1.
"""

import argparse
import ctypes
import http.server
import os
import re
import signal
import socket
import subprocess
import sys
import threading
import time
import urllib.parse

ICY_METAINT = 16000
CHUNK_BYTES = 4096
STREAM_PATH = re.compile(r"^/(radio|tv)/(\d{2,5})\.(mp3|ogg|ts)$")

_PR_SET_PDEATHSIG = 1


def _die_with_parent():
    """In a child process: ask the kernel to end it when its parent ends."""
    try:
        libc = ctypes.CDLL(None, use_errno=True)
        libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM, 0, 0, 0)
    except (OSError, AttributeError):
        pass


COLOUR = re.compile(r"^[0-9a-fA-F]{6}$")
SIZE = re.compile(r"^\d{2,4}x\d{2,4}$")


def ffmpeg_command(kind, frequency, container, name, colour=None, size=None):
    """The ffmpeg command line that writes one live stream to its stdout."""
    tone = "sine=frequency=%d:sample_rate=44100" % frequency
    command = ["ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin"]
    if kind == "tv":
        size = size if size and SIZE.match(size) else "320x240"
        if colour and COLOUR.match(colour):
            picture = "color=c=0x%s:size=%s:rate=25" % (colour, size)
        else:
            picture = "testsrc=size=%s:rate=25" % size
        command += ["-re", "-f", "lavfi", "-i", picture,
                    "-re", "-f", "lavfi", "-i", tone,
                    "-c:v", "mpeg2video", "-q:v", "4", "-g", "12",
                    "-c:a", "mp2", "-b:a", "128k", "-ac", "2",
                    "-metadata", "service_name=" + name,
                    "-metadata", "service_provider=Wavecrest test streams",
                    "-f", "mpegts"]
    elif container == "ogg":
        command += ["-re", "-f", "lavfi", "-i", tone, "-ac", "2",
                    "-c:a", "libvorbis", "-q:a", "4",
                    "-page_duration", "100000", "-f", "ogg"]
    else:
        command += ["-re", "-f", "lavfi", "-i", tone, "-ac", "2",
                    "-c:a", "libmp3lame", "-b:a", "128k",
                    "-write_xing", "0", "-id3v2_version", "0", "-f", "mp3"]
    return command + ["-flush_packets", "1", "pipe:1"]


def content_type(kind, container):
    if kind == "tv":
        return "video/mp2t"
    return "audio/ogg" if container == "ogg" else "audio/mpeg"


BLOCKS_PER_TITLE = 2


def icy_metadata_block(title, charset="utf-8"):
    """One ICY metadata block: a length byte (in 16-byte units), then the text padded."""
    text = ("StreamTitle='%s';" % title.replace("'", "")).encode(charset)[:16 * 255]
    units = (len(text) + 15) // 16
    return bytes([units]) + text.ljust(units * 16, b"\0")


def icy_metadata_blocks(query, default_title):
    """The metadata blocks a stream sends in turn, each as often as it is sent."""
    if "titles" not in query:
        return [icy_metadata_block(query.get("title", default_title))]
    blocks = []
    for item in query["titles"].split("|"):
        charset, _, title = item.partition(":")
        blocks += [icy_metadata_block(title, charset)] * BLOCKS_PER_TITLE
    return blocks


class StreamServer(http.server.ThreadingHTTPServer):
    """The HTTP server; also usable from other Python code (see the demo)."""

    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port=0, log_path=None):
        super().__init__(("127.0.0.1", port), _Handler)
        self.log_path = log_path
        self.routes = {}
        self.requests = []
        self.answered_once = set()
        self.lock = threading.Lock()
        self.connections = set()
        self.encoders = set()

    @property
    def address(self):
        return "http://127.0.0.1:%d" % self.server_address[1]

    def add_route(self, path, data, mime="application/octet-stream"):
        self.routes[path] = (data, mime)

    def note_request(self, path):
        with self.lock:
            self.requests.append(path)
            if self.log_path:
                with open(self.log_path, "a", encoding="utf-8") as log:
                    log.write(path + "\n")

    def first_request(self, path):
        """True the first time it is asked about this path, False afterwards."""
        with self.lock:
            if path in self.answered_once:
                return False
            self.answered_once.add(path)
            return True

    def drop_all(self):
        with self.lock:
            connections = list(self.connections)
        for connection in connections:
            try:
                connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
        return len(connections)

    def start_encoder(self, command):
        encoder = subprocess.Popen(command, stdout=subprocess.PIPE, stdin=subprocess.DEVNULL,
                                   preexec_fn=_die_with_parent)
        with self.lock:
            self.encoders.add(encoder)
        return encoder

    def stop_encoder(self, encoder):
        with self.lock:
            self.encoders.discard(encoder)
        if encoder.poll() is None:
            encoder.terminate()
        try:
            encoder.wait(timeout=5)
        except subprocess.TimeoutExpired:
            encoder.kill()
            encoder.wait()
        encoder.stdout.close()

    def stop(self):
        """Stops serving, closes every stream and ends every ffmpeg."""
        self.shutdown()
        self.drop_all()
        with self.lock:
            encoders = list(self.encoders)
        for encoder in encoders:
            self.stop_encoder(encoder)
        self.server_close()


class _Handler(http.server.BaseHTTPRequestHandler):
    server_version = "WavecrestTestStreams/1.0"
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/requests":
            with self.server.lock:
                listing = "".join(path + "\n" for path in self.server.requests)
            return self._send_bytes(listing.encode("utf-8"), "text/plain; charset=utf-8")
        if url.path == "/drop":
            count = self.server.drop_all()
            return self._send_bytes(("%d\n" % count).encode(), "text/plain")
        self.server.note_request(self.path)
        if url.path == "/playlist.m3u":
            entries = dict(urllib.parse.parse_qsl(url.query)).get("entries", "")
            playlist = "#EXTM3U\n" + "".join(entry + "\n" for entry in entries.split("|") if entry)
            return self._send_bytes(playlist.encode("utf-8"), "audio/x-mpegurl")
        if url.path in self.server.routes:
            data, mime = self.server.routes[url.path]
            delay = dict(urllib.parse.parse_qsl(url.query)).get("delay")
            if delay:
                time.sleep(float(delay))
            return self._send_bytes(data, mime)
        match = STREAM_PATH.match(url.path)
        if not match or not 20 <= int(match.group(2)) <= 20000:
            return self.send_error(404)
        query = dict(urllib.parse.parse_qsl(url.query))
        later = 410 if query.get("once") == "1" else int(query.get("later", "0"))
        if later and not self.server.first_request(self.path):
            return self.send_error(later)
        self._stream(match.group(1), int(match.group(2)), match.group(3), query)

    def _send_bytes(self, data, mime):
        self.send_response(200)
        self.send_header("Content-Type", mime)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        self.wfile.write(data)

    def _stream(self, kind, frequency, container, query):
        icy = (self.headers.get("Icy-MetaData", "0").strip() == "1"
               and kind == "radio" and container == "mp3")
        name = query.get("name", "Tone %d Hz" % frequency)
        limit = int(query.get("drop_after", "0")) or None
        stall = int(query.get("stall_after", "0")) or None
        self.send_response(200)
        self.send_header("Content-Type", content_type(kind, container))
        self.send_header("Cache-Control", "no-cache")
        if kind == "radio" and container == "mp3":
            # Header values travel as Latin-1; stations send their names as UTF-8 bytes.
            self.send_header("icy-name", name.encode("utf-8").decode("latin-1"))
            self.send_header("icy-br", "128")
        if icy:
            self.send_header("icy-metaint", str(ICY_METAINT))
        self.end_headers()
        self.wfile.flush()
        encoder = self.server.start_encoder(ffmpeg_command(
            kind, frequency, container, name, query.get("colour"), query.get("size")))
        with self.server.lock:
            self.server.connections.add(self.connection)
        try:
            blocks = icy_metadata_blocks(query, "Sine %d Hz" % frequency) if icy else None
            self._copy(encoder.stdout, limit or stall, blocks)
            if stall:
                # Silent but open, until the listener or /drop closes it.
                while self.connection.recv(4096):
                    pass
        except OSError:
            pass  # the listener went away, or /drop closed the connection
        finally:
            with self.server.lock:
                self.server.connections.discard(self.connection)
            self.server.stop_encoder(encoder)

    def _copy(self, source, limit, blocks):
        sent = 0
        sent_blocks = 0
        metadata = blocks[0] if blocks else None
        until_metadata = ICY_METAINT
        while limit is None or sent < limit:
            data = source.read1(CHUNK_BYTES)
            if not data:
                return
            if limit is not None:
                data = data[:limit - sent]
            sent += len(data)
            while metadata is not None and len(data) >= until_metadata:
                self.wfile.write(data[:until_metadata] + metadata)
                sent_blocks += 1
                metadata = blocks[sent_blocks % len(blocks)]
                data = data[until_metadata:]
                until_metadata = ICY_METAINT
            if data:
                self.wfile.write(data)
                if metadata is not None:
                    until_metadata -= len(data)
            self.wfile.flush()


def serve_until_stopped(server, exit_with_parent=False):
    """Serves until SIGTERM, SIGINT or (optionally) the parent's end, then cleans up."""
    stopping = threading.Event()

    def on_signal(_number, _frame):
        stopping.set()

    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGINT, on_signal)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    if exit_with_parent:
        parent = os.getppid()
        while not stopping.wait(0.5):
            if os.getppid() != parent:
                break
    else:
        stopping.wait()
    server.stop()
    thread.join(timeout=5)


def main():
    parser = argparse.ArgumentParser(description="Live test streams on 127.0.0.1.")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--log", help="file that gets every requested path")
    parser.add_argument("--route", action="append", default=[],
                        help="PATH=FILE[=TYPE]: serve a file's bytes at PATH")
    parser.add_argument("--exit-with-parent", action="store_true")
    arguments = parser.parse_args()
    server = StreamServer(arguments.port, arguments.log)
    for route in arguments.route:
        parts = route.split("=")
        if len(parts) not in (2, 3):
            parser.error("--route wants PATH=FILE[=TYPE]")
        with open(parts[1], "rb") as source:
            server.add_route(parts[0], source.read(), *parts[2:])
    print(server.address, flush=True)
    serve_until_stopped(server, arguments.exit_with_parent)
    return 0


if __name__ == "__main__":
    sys.exit(main())
