"""A station-list server sends the largest list the program accepts: 64 MiB
of lines that hold nothing but "x". The program reads it all, keeps none of
those lines, plays the one real channel at its end, and its window answers
all along: no pause of more than half a second, and the process never holds
as much as 1 GiB.

Whether the window answers is asked the way window managers ask it: a
_NET_WM_PING message sent to the main window, which GTK answers from the
program's event loop (on its GUI thread) by sending it back to the root
window. The longest wait for an answer is the longest time the window did
not answer.
"""

import ctypes
import ctypes.util
import os
import select
import signal
import time
import unittest

from wavecrest_e2e import BUILD_DIR, EndToEndTest, StreamServer, free_port, scaled, wait_until

LIST_BYTES = 64 * 1024 * 1024  # the download limit
HEADER = "Type,Name,Address,Id,Genre,Country,Status\r\n"
# The window is meant to answer within half a second all along; that figure is
# printed for the test command's summary. The test fails on a real freeze: the
# whole list read in one go kept the window from answering for about 10 s,
# and a test machine under load must not fail it by a scheduler's whim.
LONGEST_PAUSE = 2.0  # seconds
PEAK_RESIDENT_LIMIT = 1024 * 1024 * 1024  # bytes


def sanitizer_build():
    try:
        with open(os.path.join(BUILD_DIR, "CMakeCache.txt"), encoding="utf-8") as cache:
            return "WAVECREST_SANITIZE:BOOL=ON" in cache.read()
    except FileNotFoundError:
        return False


def write_list(path, channel):
    """The header, "x" lines up to the download limit, and one real channel."""
    head = HEADER.encode("utf-16-le")
    tail = channel.encode("utf-16-le") + "\r\n".encode("utf-16-le")
    x_line = "x\n".encode("utf-16-le")
    count = (LIST_BYTES - len(head) - len(tail)) // len(x_line)
    with open(path, "wb") as file:
        file.write(head)
        block = x_line * 65536
        for _ in range(count // 65536):
            file.write(block)
        file.write(x_line * (count % 65536))
        file.write(tail)
    assert os.path.getsize(path) <= LIST_BYTES
    return count


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("client", _ClientMessage),
                ("pad", ctypes.c_long * 24)]


class WindowPinger:
    """Sends _NET_WM_PING to a window and waits for the answer on the root."""

    CLIENT_MESSAGE = 33
    SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

    def __init__(self, window):
        x = ctypes.CDLL(ctypes.util.find_library("X11"))
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                 ctypes.POINTER(_Event)]
        x.XFlush.argtypes = [ctypes.c_void_p]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_Event)]
        x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.x = x
        self.display = x.XOpenDisplay(None)
        if not self.display:
            raise AssertionError("cannot open the X display")
        self.window = int(window)
        self.root = x.XDefaultRootWindow(self.display)
        self.protocols = x.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        self.ping_atom = x.XInternAtom(self.display, b"_NET_WM_PING", 0)
        x.XSelectInput(self.display, self.root, self.SUBSTRUCTURE_NOTIFY_MASK)
        self.stamp = 0

    def close(self):
        self.x.XCloseDisplay(self.display)

    def ping(self, timeout):
        """Seconds until the window answered, or None after timeout."""
        self.stamp += 1
        event = _Event()
        event.client.type = self.CLIENT_MESSAGE
        event.client.window = self.window
        event.client.message_type = self.protocols
        event.client.format = 32
        event.client.data[0] = self.ping_atom
        event.client.data[1] = self.stamp
        event.client.data[2] = self.window
        sent = time.monotonic()
        self.x.XSendEvent(self.display, self.window, 0, 0, ctypes.byref(event))
        self.x.XFlush(self.display)
        deadline = sent + timeout
        connection = self.x.XConnectionNumber(self.display)
        while True:
            while self.x.XPending(self.display):
                reply = _Event()
                self.x.XNextEvent(self.display, ctypes.byref(reply))
                if (reply.type == self.CLIENT_MESSAGE
                        and reply.client.message_type == self.protocols
                        and reply.client.data[0] == self.ping_atom
                        and reply.client.data[1] == self.stamp):
                    return time.monotonic() - sent
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            select.select([connection], [], [], left)


def peak_resident_bytes(pid):
    with open("/proc/%d/status" % pid, encoding="ascii") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) * 1024
    raise AssertionError("no VmHWM for process %d" % pid)


class LargeStationList(EndToEndTest):

    def setUp(self):
        super().setUp()
        self.log = os.path.join(self.home.path, "requests.log")
        self.list_file = os.path.join(self.home.path, "world.zip")
        # The list names the server's own stream, so its port is chosen first.
        port = free_port()
        self.address = "http://127.0.0.1:%d" % port
        self.x_lines = write_list(self.list_file, "Radio,The only channel,%s/radio/440.mp3,"
                                  "1,Tones,440 Hz,ON" % self.address)
        self.server = StreamServer(self.log, "/world.zip=" + self.list_file, port=port)
        self.addCleanup(self.server.stop)
        self.assertEqual(self.server.address, self.address)

    def requested(self):
        return self.server.requested()

    def test_a_list_of_64_mib_of_useless_lines_keeps_the_window_answering(self):
        self.assertGreater(self.x_lines, 16_000_000)
        self.home.write_settings("[Settings]\nAutoPlay=1\nLastChannelIndex=0\n")
        program = self.start(WAVECREST_STATION_LIST_URL=self.address + "/world.zip",
                             WAVECREST_PLAYER_OPTIONS="ao=null")
        window = program.wait_for_window()
        pinger = WindowPinger(window)
        self.addCleanup(pinger.close)
        # The window answers once it is up, before the list is asked for.
        self.assertIsNotNone(wait_until(lambda: pinger.ping(1.0), 30), "the window never answered")

        # From the request for the list to the real channel played, every
        # ping is answered, and none waits long.
        self.assertTrue(wait_until(lambda: "/world.zip" in self.requested(), 30),
                        self.requested())
        longest = 0.0
        deadline = time.monotonic() + 120
        while "/radio/440.mp3" not in self.requested():
            self.assertLess(time.monotonic(), deadline,
                            "the list's channel was never played; requests: %s; output:\n%s"
                            % (self.requested(), program.output_so_far()))
            waited = pinger.ping(10.0)
            self.assertIsNotNone(waited, "the window did not answer for 10 s")
            longest = max(longest, waited)
            time.sleep(0.02)
        for _ in range(10):
            longest = max(longest, pinger.ping(10.0) or 10.0)
        print("figure: 64 MiB station list: longest wait for the window to answer %.3f s"
              " (target 0.5 s)" % longest, flush=True)
        self.assertLess(longest, scaled(LONGEST_PAUSE))

        peak = peak_resident_bytes(program.pid)
        print("figure: 64 MiB station list: peak resident set %.0f MiB (limit 1024 MiB)"
              % (peak / 1024 / 1024), flush=True)
        limit = PEAK_RESIDENT_LIMIT
        if sanitizer_build():
            # AddressSanitizer adds its shadow memory, red zones around every
            # block and a quarantine of up to 256 MiB of freed blocks to the
            # program's own memory: twice the bound there still tells a lean
            # load from one that keeps millions of rows.
            limit *= 2
        self.assertLess(peak, limit)

        # The list was used up, nothing was asked of the person, and the
        # program ends cleanly when the session ends.
        data_list = os.path.join(self.home.data, "Wavecrest", "StationList.zip")
        self.assertTrue(wait_until(lambda: not os.path.exists(data_list), 10))
        self.assertEqual(self.home.modal_messages(), [])
        program.process.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait(30), 0, program.output_so_far())


if __name__ == "__main__":
    unittest.main()
