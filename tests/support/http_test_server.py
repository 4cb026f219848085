#!/usr/bin/env python3
"""A small HTTP server on loopback for Wavecrest's tests.

It binds 127.0.0.1 only, on a free port chosen by the system (or --port), and
prints one line "PORT <number>" on standard output as soon as it listens, so
that a test can read the port and start talking to it. It uses the Python 3
standard library only.

What it answers is chosen by the path of each GET (or HEAD) request:

  /files/<name>             the file <name> from the --root folder, unchanged,
                            with its Content-Length (404 when missing)
  /status/<code>            an answer with that status and a short text body
  /size/<n>                 n bytes of filler with a Content-Length of n
  /endless                  a chunked body that never ends (until the client
                            goes away)
  /stall/<n>                a Content-Length of 2n, then n bytes, then nothing
                            more: the connection stays open and silent until
                            the client gives up
  /silent                   reads the request and never answers at all
  /drip/<n>?interval=<ms>   n bytes, one byte every <ms> milliseconds (default 100)
  /redirect/<code>?to=<p>   a redirect (301, 302, 303, 307 or 308) to <p>,
                            which may be a path on this server or a whole
                            address
  /headers                  the request's headers as the text body, one
                            "Name: value" a line
  /count                    the number of requests seen so far, as decimal text
                            (requests for /count and /reset are not counted)
  /count/<path>             how many requests asked for exactly /<path>
  /reset                    sets all counts back to zero

Every counted request is also appended to the --log file, when one is given,
as one line "<method> <path>".

Options:
  --root DIR          folder that /files/ serves (default: the current folder)
  --port N            port to bind (default 0: a free port)
  --log FILE          request log
  --tls CERT KEY      serve https with that certificate and key (PEM files)
  --exit-on-stdin-eof end the server when its standard input is closed, so a
                      test that dies cannot leave it running

A test ends the server with SIGTERM (or SIGINT); it then stops at once, also
while a /stall, /silent or /endless answer is still running.
"""

import argparse
import http.server
import os
import select
import signal
import socket
import ssl
import sys
import threading
import time
import urllib.parse

CHUNK = 64 * 1024


class Counter:
    """Counts requests per path; shared by all handler threads."""

    def __init__(self, log_path):
        self._lock = threading.Lock()
        self._total = 0
        self._per_path = {}
        self._log_path = log_path

    def record(self, method, path):
        with self._lock:
            self._total += 1
            self._per_path[path] = self._per_path.get(path, 0) + 1
            if self._log_path:
                with open(self._log_path, "a", encoding="utf-8") as log:
                    log.write(f"{method} {path}\n")

    def total(self):
        with self._lock:
            return self._total

    def of_path(self, path):
        with self._lock:
            return self._per_path.get(path, 0)

    def reset(self):
        with self._lock:
            self._total = 0
            self._per_path.clear()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "WavecrestTestServer/1.0"

    def log_message(self, format, *args):  # keep test output quiet
        pass

    def do_HEAD(self):
        self.do_GET()

    def do_GET(self):
        address = urllib.parse.urlsplit(self.path)
        path = address.path
        query = urllib.parse.parse_qs(address.query)
        if path == "/count" or path.startswith("/count/"):
            return self.answer_count(path)
        if path == "/reset":
            self.server.counter.reset()
            return self.send_text(200, "0")
        self.server.counter.record(self.command, path)
        parts = path.strip("/").split("/", 1)
        mode, argument = parts[0], (parts[1] if len(parts) > 1 else "")
        route = {
            "files": self.answer_file,
            "status": self.answer_status,
            "size": self.answer_size,
            "endless": self.answer_endless,
            "stall": self.answer_stall,
            "silent": self.answer_silent,
            "drip": self.answer_drip,
            "redirect": self.answer_redirect,
            "headers": self.answer_headers,
        }.get(mode)
        if route is None:
            return self.send_text(404, "no such test path\n")
        try:
            route(argument, query)
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
            self.close_connection = True

    # --- helpers -----------------------------------------------------------

    def send_text(self, code, text):
        body = text.encode("utf-8")
        self.send_response(code)
        self.send_header("Content-Type", "text/plain; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def send_length(self, length):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(length))
        self.end_headers()

    def client_gone(self, seconds):
        """Waits up to that long; true when the client closed the connection."""
        try:
            readable, _, _ = select.select([self.connection], [], [], seconds)
            if not readable:
                return False
            return self.connection.recv(1, socket.MSG_PEEK) == b""
        except (OSError, ValueError):
            return True

    def wait_for_client_to_leave(self):
        while not self.server.stopping.is_set():
            if self.client_gone(0.1):
                break
        self.close_connection = True

    @staticmethod
    def number(text, default=None):
        try:
            return int(text)
        except ValueError:
            return default

    # --- answers -----------------------------------------------------------

    def answer_count(self, path):
        counter = self.server.counter
        if path == "/count":
            return self.send_text(200, str(counter.total()))
        return self.send_text(200, str(counter.of_path(path[len("/count"):])))

    def answer_file(self, name, _query):
        root = os.path.realpath(self.server.root)
        full = os.path.realpath(os.path.join(root, urllib.parse.unquote(name)))
        if not full.startswith(root + os.sep) or not os.path.isfile(full):
            return self.send_text(404, "not found\n")
        with open(full, "rb") as source:
            body = source.read()
        self.send_length(len(body))
        if self.command != "HEAD":
            self.wfile.write(body)

    def answer_status(self, argument, _query):
        code = self.number(argument, 400)
        self.send_text(code, f"status {code}\n")

    def answer_size(self, argument, _query):
        length = max(0, self.number(argument, 0))
        self.send_length(length)
        if self.command == "HEAD":
            return
        block = b"x" * CHUNK
        left = length
        while left > 0 and not self.server.stopping.is_set():
            piece = block[: min(left, CHUNK)]
            self.wfile.write(piece)
            left -= len(piece)

    def answer_endless(self, _argument, _query):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        if self.command == "HEAD":
            return
        chunk = b"%x\r\n" % CHUNK + b"y" * CHUNK + b"\r\n"
        while not self.server.stopping.is_set():
            self.wfile.write(chunk)
        self.close_connection = True

    def answer_stall(self, argument, _query):
        sent = max(0, self.number(argument, 0))
        self.send_length(2 * sent)
        if self.command == "HEAD":
            return
        self.wfile.write(b"s" * sent)
        self.wfile.flush()
        self.wait_for_client_to_leave()

    def answer_silent(self, _argument, _query):
        self.wait_for_client_to_leave()

    def answer_drip(self, argument, query):
        length = max(0, self.number(argument, 0))
        interval = self.number(query.get("interval", ["100"])[0], 100) / 1000.0
        self.send_length(length)
        if self.command == "HEAD":
            return
        for _ in range(length):
            if self.server.stopping.is_set():
                break
            self.wfile.write(b"d")
            self.wfile.flush()
            time.sleep(interval)

    def answer_redirect(self, argument, query):
        code = self.number(argument, 302)
        target = query.get("to", ["/"])[0]
        self.send_response(code)
        self.send_header("Location", target)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def answer_headers(self, _argument, _query):
        lines = "".join(f"{name}: {value}\n" for name, value in self.headers.items())
        self.send_text(200, lines)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def parse_arguments():
    parser = argparse.ArgumentParser(description="Loopback HTTP server for Wavecrest's tests.")
    parser.add_argument("--root", default=".")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--log")
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--exit-on-stdin-eof", action="store_true")
    return parser.parse_args()


def main():
    arguments = parse_arguments()
    server = Server(("127.0.0.1", arguments.port), Handler)
    server.root = arguments.root
    server.counter = Counter(arguments.log)
    server.stopping = threading.Event()
    if arguments.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(*arguments.tls)
        server.socket = context.wrap_socket(server.socket, server_side=True)

    def stop(*_):
        server.stopping.set()
        os._exit(0)  # handler threads may be blocked in a send: do not wait for them

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    if arguments.exit_on_stdin_eof:
        def watch_stdin():
            while sys.stdin.buffer.read(4096):
                pass
            stop()

        threading.Thread(target=watch_stdin, daemon=True).start()

    print(f"PORT {server.server_address[1]}", flush=True)
    server.serve_forever(poll_interval=0.1)


if __name__ == "__main__":
    main()
