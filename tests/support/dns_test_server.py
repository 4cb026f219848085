#!/usr/bin/env python3
"""A loopback DNS server for the tests of the station directory's lookup.

It binds 127.0.0.1 on a free port (UDP and TCP on the same number) and
prints "PORT <number>" once it listens. Python 3 standard library only. It
ends on SIGTERM or SIGINT, or when its standard input closes
(--exit-on-stdin-eof).

Every question gets the same records, whatever name it asks for:

  --srv NAME        an SRV record with this target (repeatable)
  --srv-count N     N more SRV records, targets sN.api.radio-browser.info
  --srv-domain D    the domain of those N targets in place of radio-browser.info
  --a ADDRESS       an A record (repeatable)
  --ptr NAME        a PTR record (repeatable)
  --silent          never answers at all, as a lost name server does
  --log FILE        a line for each question received: "udp question of type 33"

An answer longer than 512 bytes goes over UDP cut off, with the TC bit set,
so the resolver asks again over TCP and gets all of it (up to 64 KiB), as
real servers do.
"""

import argparse
import os
import signal
import socket
import socketserver
import struct
import sys
import threading

TYPES = {"a": 1, "ptr": 12, "srv": 33}


def encode_name(name):
    out = b""
    for label in name.rstrip(".").split("."):
        raw = label.encode()
        out += bytes([len(raw)]) + raw
    return out + b"\0"


def question_end(query):
    at = 12
    while at < len(query) and query[at] != 0:
        at += 1 + query[at]
    return at + 5  # the root byte, type and class


def answer(query, records, silent, log=None, way="udp"):
    if len(query) < 12:
        return None
    end = question_end(query)
    qtype = struct.unpack("!H", query[end - 4:end - 2])[0]
    if log:
        with open(log, "a") as f:
            f.write("%s question of type %d\n" % (way, qtype))
    if silent:
        return None
    chosen = [data for kind, data in records if kind == qtype]
    body = b""
    for data in chosen:
        # The question's name, by a pointer to it at offset 12.
        body += struct.pack("!HHHIH", 0xC00C, qtype, 1, 60, len(data)) + data
    header = query[:2] + struct.pack("!HHHHH", 0x8180, 1, len(chosen), 0, 0)
    return header + query[12:end] + body


class Udp(socketserver.BaseRequestHandler):
    def handle(self):
        data, sock = self.request
        reply = answer(data, self.server.records, self.server.silent, self.server.log)
        if reply is None:
            return
        if len(reply) > 512:
            # Only the question fits: the flags say the answer was cut.
            end = question_end(data)
            reply = reply[:2] + struct.pack("!HHHHH", 0x8380, 1, 0, 0, 0) + data[12:end]
        sock.sendto(reply, self.client_address)


class Tcp(socketserver.BaseRequestHandler):
    def handle(self):
        try:
            length = struct.unpack("!H", self.request.recv(2))[0]
            query = b""
            while len(query) < length:
                part = self.request.recv(length - len(query))
                if not part:
                    return
                query += part
            reply = answer(query, self.server.records, self.server.silent, self.server.log,
                           "tcp")
            if reply is not None:
                self.request.sendall(struct.pack("!H", len(reply)) + reply)
        except (OSError, struct.error):
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--srv", action="append", default=[])
    parser.add_argument("--srv-count", type=int, default=0)
    parser.add_argument("--srv-domain", default="radio-browser.info")
    parser.add_argument("--a", action="append", default=[])
    parser.add_argument("--ptr", action="append", default=[])
    parser.add_argument("--silent", action="store_true")
    parser.add_argument("--log")
    parser.add_argument("--exit-on-stdin-eof", action="store_true")
    args = parser.parse_args()

    targets = args.srv + ["s%d.api.%s" % (i, args.srv_domain) for i in range(args.srv_count)]
    records = [(TYPES["srv"], struct.pack("!HHH", 1, 1, 443) + encode_name(t)) for t in targets]
    records += [(TYPES["a"], socket.inet_aton(a)) for a in args.a]
    records += [(TYPES["ptr"], encode_name(p)) for p in args.ptr]

    socketserver.ThreadingUDPServer.allow_reuse_address = True
    udp = socketserver.ThreadingUDPServer(("127.0.0.1", 0), Udp)
    port = udp.server_address[1]
    tcp = socketserver.ThreadingTCPServer(("127.0.0.1", port), Tcp)
    for server in (udp, tcp):
        server.daemon_threads = True
        server.records = records
        server.silent = args.silent
        server.log = args.log
        threading.Thread(target=server.serve_forever, daemon=True).start()

    stopped = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stopped.set())
    signal.signal(signal.SIGINT, lambda *_: stopped.set())

    def watch():
        try:
            while os.read(0, 4096):
                pass
        except OSError:
            pass
        stopped.set()
    if args.exit_on_stdin_eof:
        threading.Thread(target=watch, daemon=True).start()

    print("PORT %d" % port, flush=True)
    stopped.wait()
    udp.shutdown()
    tcp.shutdown()


if __name__ == "__main__":
    sys.exit(main())
