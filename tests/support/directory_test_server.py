#!/usr/bin/env python3
"""A loopback server that answers as the open station directory does.

It binds 127.0.0.1 on a free port (or --port) and prints "PORT <number>" on
standard output once it listens. Python 3 standard library only. It ends on
SIGTERM or SIGINT, or when its standard input closes (--exit-on-stdin-eof).

The directory's requests, answered from a small set of stations (the built-in
one, or the JSON list of --stations):

  /json/stations/search   name (part of the name, any case), countrycode,
                          language and tag (exact with languageExact and
                          tagExact, else a part), order (votes, clickcount,
                          name), reverse, hidebroken, limit
  /json/countries         [{name, iso_3166_1, stationcount}]
  /json/languages         [{name, iso_639, stationcount}]
  /json/tags              [{name, stationcount}]
  /json/url/<uuid>        counts a play of the station: {ok, message,
                          stationuuid, name, url}

A station's url_resolved is --stream-base followed by its "stream" field.

Hostile answers, by a first path element put before the request
(base address http://127.0.0.1:PORT/<mode>):

  /truncated/...   the right answer cut off in the middle
  /wrongtypes/...  JSON of the wrong shape: an object where a list belongs,
                   stations whose fields have the wrong types
  /notjson/...     an HTML error page with status 200
  /huge/...        a 40 MiB answer without a Content-Length
  /announced/...   a Content-Length of 40 MiB, then a few bytes and silence
  /stall/...       the start of an answer, then silence until the client goes
  /status503/...   status 503

And for the tests themselves:

  /requests        every request so far, one line each:
                   "<path with query>\t<User-Agent>"
  /clicks          the click counts, "<uuid> <count>" a line
  /answered        the requests answered in full so far, one path a line

With --many-facets N the lists of countries and languages hold N made-up
entries each, as a hostile directory may send them.
"""

import argparse
import json
import os
import signal
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

STATIONS = [
    {"stationuuid": "9a1c0b6e-0001-4000-8000-000000000001", "name": "Blue Note Jazz Radio",
     "stream": "/radio/440.mp3", "countrycode": "US", "country": "The United States Of America",
     "language": "english", "tags": "jazz,bebop", "codec": "MP3", "bitrate": 128,
     "votes": 900, "clickcount": 50, "lastcheckok": 1},
    {"stationuuid": "9a1c0b6e-0002-4000-8000-000000000002", "name": "Jazz am Abend",
     "stream": "/radio/550.mp3", "countrycode": "DE", "country": "Germany",
     "language": "german", "tags": "jazz,smooth jazz", "codec": "MP3", "bitrate": 192,
     "votes": 300, "clickcount": 700, "lastcheckok": 1},
    {"stationuuid": "9a1c0b6e-0003-4000-8000-000000000003", "name": "Acid Jazz Broken",
     "stream": "/radio/660.mp3", "countrycode": "GB", "country": "The United Kingdom",
     "language": "english", "tags": "jazz,acid jazz", "codec": "AAC", "bitrate": 64,
     "votes": 5000, "clickcount": 5000, "lastcheckok": 0},
    {"stationuuid": "9a1c0b6e-0004-4000-8000-000000000004", "name": "Klassik Radio",
     "stream": "/radio/770.mp3", "countrycode": "DE", "country": "Germany",
     "language": "german", "tags": "classical", "codec": "MP3", "bitrate": 128,
     "votes": 120, "clickcount": 30, "lastcheckok": 1},
    {"stationuuid": "9a1c0b6e-0005-4000-8000-000000000005", "name": "Radio Nova",
     "stream": "/radio/880.ogg", "countrycode": "FR", "country": "France",
     "language": "french", "tags": "eclectic,jazz", "codec": "OGG", "bitrate": 96,
     "votes": 450, "clickcount": 20, "lastcheckok": 1},
]

LANGUAGE_CODES = {"english": "en", "german": "de", "french": "fr"}


class State:
    def __init__(self, stations, stream_base):
        self.lock = threading.Lock()
        self.stations = stations
        self.stream_base = stream_base
        self.requests = []
        self.answered = []
        self.many_facets = 0

    def station_json(self, station):
        entry = {k: v for k, v in station.items() if k != "stream"}
        entry["url"] = self.stream_base + station.get("stream", "")
        entry["url_resolved"] = entry["url"]
        return entry


def split_list(text):
    return [part.strip().lower() for part in text.split(",") if part.strip()]


def search(state, query):
    def one(key, default=""):
        return query.get(key, [default])[0]

    chosen = list(state.stations)
    name = one("name").lower()
    if name:
        chosen = [s for s in chosen if name in s["name"].lower()]
    code = one("countrycode").upper()
    if code:
        chosen = [s for s in chosen if s["countrycode"].upper() == code]
    for key, field in (("language", "language"), ("tag", "tags")):
        wanted = one(key).lower()
        if not wanted:
            continue
        exact = one(key + "Exact") == "true"
        if exact:
            chosen = [s for s in chosen if wanted in split_list(s[field])]
        else:
            chosen = [s for s in chosen if wanted in s[field].lower()]
    if one("hidebroken") == "true":
        chosen = [s for s in chosen if s["lastcheckok"] == 1]
    order = one("order", "name")
    if order in ("votes", "clickcount"):
        chosen.sort(key=lambda s: s[order])
    else:
        chosen.sort(key=lambda s: s["name"].lower())
    if one("reverse") == "true":
        chosen.reverse()
    limit = int(one("limit", "100000") or "100000")
    return [state.station_json(s) for s in chosen[:limit]]


def many_facets(state, kind):
    result = []
    for i in range(state.many_facets):
        entry = {"name": "%s %05d" % (kind, i), "stationcount": i % 977}
        if kind == "countries":
            entry["iso_3166_1"] = chr(65 + i % 26) + chr(65 + i // 26 % 26)
        result.append(entry)
    return result


def facets(state, kind):
    if state.many_facets and kind in ("countries", "languages"):
        return many_facets(state, kind)
    counts = {}
    for s in state.stations:
        if kind == "countries":
            keys = [(s["country"], s["countrycode"])]
        elif kind == "languages":
            keys = [(l, LANGUAGE_CODES.get(l, "")) for l in split_list(s["language"])]
        else:
            keys = [(t, None) for t in split_list(s["tags"])]
        for key in keys:
            counts[key] = counts.get(key, 0) + 1
    result = []
    for (name, code), count in sorted(counts.items()):
        entry = {"name": name, "stationcount": count}
        if kind == "countries":
            entry["iso_3166_1"] = code
        elif kind == "languages":
            entry["iso_639"] = code
        result.append(entry)
    return result


def answer_for(state, path, query):
    """(status, value) of a directory request, or None for an unknown path."""
    if path == "/json/stations/search":
        return 200, search(state, query)
    for kind in ("countries", "languages", "tags"):
        if path == "/json/" + kind:
            return 200, facets(state, kind)
    if path.startswith("/json/url/"):
        uuid = urllib.parse.unquote(path[len("/json/url/"):])
        with state.lock:
            for s in state.stations:
                if s["stationuuid"] == uuid:
                    s["clickcount"] += 1
                    s.setdefault("clicks", 0)
                    s["clicks"] += 1
                    entry = state.station_json(s)
                    return 200, {"ok": True, "message": "retrieved station url",
                                 "stationuuid": uuid, "name": s["name"],
                                 "url": entry["url_resolved"]}
        return 200, {"ok": False, "message": "did not find station with matching uuid"}
    return None


WRONG_TYPES = {
    "/json/stations/search": [
        {"stationuuid": 5, "name": ["not", "text"], "url_resolved": {"a": 1}},
        {"stationuuid": "x", "name": "Odd Types FM", "url_resolved": 42,
         "votes": "many", "bitrate": {"kbit": 128}, "clickcount": 1e300, "tags": None,
         "lastcheckok": "yes", "countrycode": 49},
        "not a station", 17, None,
    ],
    "/json/countries": {"countries": []},
    "/json/languages": [1, 2, {"name": 3}],
    "/json/tags": "jazz",
    "/json/url/": [True],
}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "DirectoryTestServer"

    def log_message(self, *args):
        pass

    def send_body(self, status, body, content_type="application/json"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        state = self.server.state
        parsed = urllib.parse.urlsplit(self.path)
        path, query = parsed.path, urllib.parse.parse_qs(parsed.query)
        if path == "/requests":
            with state.lock:
                text = "".join(line + "\n" for line in state.requests)
            return self.send_body(200, text.encode(), "text/plain")
        if path == "/answered":
            with state.lock:
                text = "".join(line + "\n" for line in state.answered)
            return self.send_body(200, text.encode(), "text/plain")
        if path == "/clicks":
            with state.lock:
                text = "".join("%s %d\n" % (s["stationuuid"], s.get("clicks", 0))
                               for s in state.stations)
            return self.send_body(200, text.encode(), "text/plain")
        with state.lock:
            state.requests.append(self.path + "\t" + self.headers.get("User-Agent", ""))

        mode = ""
        parts = path.split("/", 2)
        if len(parts) > 2 and parts[1] != "json":
            mode, path = parts[1], "/" + parts[2]
        if mode == "status503":
            return self.send_body(503, b"Service Unavailable", "text/plain")
        if mode == "huge":
            return self.send_huge()
        if mode == "stall":
            return self.send_stall()
        if mode == "announced":
            return self.send_stall(40 * 1024 * 1024)
        if mode == "notjson":
            return self.send_body(200, b"<html><body>Bad Gateway</body></html>", "text/html")
        if mode == "wrongtypes":
            key = "/json/url/" if path.startswith("/json/url/") else path
            if key in WRONG_TYPES:
                return self.send_body(200, json.dumps(WRONG_TYPES[key]).encode())
        answer = answer_for(state, path, query)
        if answer is None:
            return self.send_body(404, b"Not Found", "text/plain")
        status, value = answer
        body = json.dumps(value).encode()
        if mode == "truncated":
            body = body[: max(1, len(body) // 2)]
        self.send_body(status, body)
        with state.lock:
            state.answered.append(path)

    def send_huge(self):
        # No length is announced: only counting what arrives can refuse it.
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        chunk = b"[" + b" " * (1024 * 1024 - 1)
        filler = b" " * (1024 * 1024)
        try:
            self.wfile.write(chunk)
            for _ in range(39):
                self.wfile.write(filler)
            self.wfile.write(b"]")
        except OSError:
            pass

    def send_stall(self, length=1000):
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(length))
        self.end_headers()
        self.close_connection = True
        try:
            self.wfile.write(b"[{\"name\": ")
            self.wfile.flush()
            # Silent until the client gives up (or the server ends).
            while not self.server.stopping.wait(0.2):
                pass
        except OSError:
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--stations", help="JSON file of stations in place of the built-in ones")
    parser.add_argument("--stream-base", default="http://127.0.0.1:9",
                        help="put before each station's stream path")
    parser.add_argument("--exit-on-stdin-eof", action="store_true")
    parser.add_argument("--many-facets", type=int, default=0)
    args = parser.parse_args()

    stations = STATIONS
    if args.stations:
        with open(args.stations, encoding="utf-8") as f:
            stations = json.load(f)
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.state = State([dict(s) for s in stations], args.stream_base.rstrip("/"))
    server.state.many_facets = args.many_facets
    server.stopping = threading.Event()

    def stop(*_):
        server.stopping.set()
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    if args.exit_on_stdin_eof:
        def watch():
            try:
                while os.read(0, 4096):
                    pass
            except OSError:
                pass
            stop()
        threading.Thread(target=watch, daemon=True).start()

    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()
    server.stopping.set()
    server.server_close()


if __name__ == "__main__":
    sys.exit(main())
