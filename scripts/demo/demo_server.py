#!/usr/bin/env python3
"""A local demo of Wavecrest's channels, all on loopback, without any outside server.

Starts one HTTP server on 127.0.0.1 (a free port) that serves
  /world.zip  a station list in the program's format: UTF-16 little-endian
              text, CR LF line ends, a header line of column titles and then
              one channel per line with seven comma-separated fields (type,
              name, stream address, language, genre, description, status);
  the streams the list names: radio channels playing sine tones of
              different frequencies (MP3 with ICY titles, and one Ogg
              Vorbis), one TV channel with a moving test picture and a tone
              (MPEG transport stream), and one channel marked "OFF" in its
              status field, which the program leaves out of its list unless
              non-working channels are shown.

The streams are generated live by ffmpeg (see tests/support/stream_server.py,
which this script uses). The first line written to standard output is the
station-list address, "http://127.0.0.1:PORT/world.zip"; with --address-file
the address is also written to that file (in one step, so a reader never sees
half of it). Point the program at it with WAVECREST_STATION_LIST_URL.
Everything stops (server and every ffmpeg) on SIGTERM or SIGINT, or when the
process that started this script ends.

    demo_server.py [--port N] [--address-file FILE] [--log FILE]
                   [--no-parent-watch]
"""

import argparse
import os
import sys
import urllib.parse

sys.dont_write_bytecode = True  # leave no cache files in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "support"))
import stream_server  # noqa: E402  (found through the path above)

HEADER = ("Type", "Channel Name", "Stream Address", "Language", "Genre",
          "Description", "Status")

# type, name, stream path (the tone frequency is in it), genre, description, status
CHANNELS = (
    ("Radio", "Demo Tone A", "/radio/440.mp3", "Test tones",
     "A steady 440 Hz tone (MP3 128 kb/s)", "ON"),
    ("Radio", "Café Tone C", "/radio/523.mp3", "Test tones",
     "523 Hz: the C above it (MP3 128 kb/s)", "ON"),
    ("Radio", "Demo Tone E", "/radio/659.ogg", "Test tones",
     "659 Hz in Ogg Vorbis", "ON"),
    ("TV", "Demo Test Card", "/tv/1000.ts", "Test pictures",
     "Moving test picture with a 1 kHz tone", "ON"),
    ("Radio", "Demo Tone G", "/radio/784.mp3", "Test tones",
     "784 Hz; marked as not working", "OFF"),
)


def stream_address(server, path, name):
    query = urllib.parse.urlencode({"name": name}, quote_via=urllib.parse.quote)
    return "%s%s?%s" % (server.address, path, query)


def station_list(server):
    """The station list as the program downloads it: UTF-16 LE, CR LF."""
    # Fields 0 to 5 of a line cannot hold a comma: the format has no quoting.
    lines = [",".join(HEADER)]
    for kind, name, path, genre, description, status in CHANNELS:
        lines.append(",".join((kind, name, stream_address(server, path, name),
                               "none", genre, description, status)))
    return ("\r\n".join(lines) + "\r\n").encode("utf-16-le")


def write_in_one_step(path, text):
    partial = path + ".partial"
    with open(partial, "w", encoding="utf-8") as output:
        output.write(text)
    os.replace(partial, path)


def main():
    parser = argparse.ArgumentParser(description="Wavecrest's local demo channels.")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--address-file", help="file to write the station-list address to")
    parser.add_argument("--log", help="file that gets every requested path")
    parser.add_argument("--no-parent-watch", action="store_true",
                        help="keep running when the starting process ends")
    arguments = parser.parse_args()
    server = stream_server.StreamServer(arguments.port, arguments.log)
    server.add_route("/world.zip", station_list(server), "application/octet-stream")
    address = server.address + "/world.zip"
    if arguments.address_file:
        write_in_one_step(arguments.address_file, address + "\n")
    print(address, flush=True)
    stream_server.serve_until_stopped(server, not arguments.no_parent_watch)
    return 0


if __name__ == "__main__":
    sys.exit(main())
