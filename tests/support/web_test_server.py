#!/usr/bin/env python3
"""A small web site on loopback for the tests of Wavecrest's web pages.

It listens on 127.0.0.1 only, on a free port chosen by the system, and writes
to standard output, one line each, flushed at once:

  PORT <number>         as soon as it listens
  GET <path>            for every request it receives, before answering it

Every GET is answered with a short HTML page whose title is the --title text,
marked as never to be stored by a cache, so every load the program starts
reaches the server. Standard library only.

The server ends on SIGTERM or SIGINT, and when its standard input is closed,
so a test that dies cannot leave it running.
"""

import argparse
import html
import http.server
import os
import signal
import sys
import threading


def make_handler(title):
    body = (
        "<!DOCTYPE html>\n<html><head><meta charset='utf-8'><title>%s</title></head>"
        "<body><h1>%s</h1></body></html>\n" % (html.escape(title), html.escape(title))
    ).encode("utf-8")

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def do_GET(self):
            report("GET %s" % self.path)
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    return Handler


def report(line):
    sys.stdout.write(line + "\n")
    sys.stdout.flush()


def end_when_stdin_closes(server):
    # os.read, not sys.stdin: a buffered read would hold a lock that the
    # interpreter wants back when it ends.
    while os.read(0, 4096):
        pass
    threading.Thread(target=server.shutdown, daemon=True).start()


def main():
    parser = argparse.ArgumentParser(description="loopback web site for tests")
    parser.add_argument("--title", default="Test page")
    options = parser.parse_args()

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), make_handler(options.title))
    server.daemon_threads = True
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    threading.Thread(target=end_when_stdin_closes, args=(server,), daemon=True).start()
    report("PORT %d" % server.server_address[1])
    try:
        server.serve_forever()
    except (KeyboardInterrupt, SystemExit):
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
