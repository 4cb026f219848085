"""Ways out of the program taken while it is busy: the media controls' Quit
while the station list is still downloading (from a server that never
answers), the end of the session (SIGTERM) while the failure message is
on the screen, and the end of the session while a huge hostile playlist is
opened. Each time the program ends at once with status 0 (and the window's
placement stored), giving the single-instance lock back for the next start. (The tray menu's Exit takes the same way as Quit;
the test tray host does not pass a synthetic right click on to the icon, so
that one is tested inside the program, in tests/frame.)"""

import fcntl
import os
import re
import signal
import subprocess
import sys
import time
import unittest

from wavecrest_e2e import EndToEndTest, is_dialog, scaled, wait_until, xdotool

HTTP_SERVER = os.path.join(os.path.dirname(__file__), "..", "support", "http_test_server.py")
BUS_NAME = "org.mpris.MediaPlayer2.wavecrest"


class ListServer:
    """http_test_server.py on loopback; `requests()` lists what it was asked."""

    def __init__(self, log):
        self.log = log
        self.process = subprocess.Popen(
            [sys.executable, HTTP_SERVER, "--log", log, "--exit-on-stdin-eof"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.address = "http://127.0.0.1:%s" % self.process.stdout.readline().split()[1]

    def requests(self):
        try:
            with open(self.log, encoding="utf-8") as file:
                return file.read().split("\n")
        except FileNotFoundError:
            return []

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)
        self.process.stdin.close()
        self.process.stdout.close()


def geometry(window):
    text = subprocess.run(["xdotool", "getwindowgeometry", window],
                          capture_output=True, text=True).stdout
    w, h = map(int, re.search(r"Geometry: (\d+)x(\d+)", text).groups())
    return w, h


class WaysOut(EndToEndTest):

    def setUp(self):
        super().setUp()
        self.server = ListServer(os.path.join(self.home.path, "requests.log"))
        self.addCleanup(self.server.stop)
        # Every page was fitted before: only the test sizes the window.
        self.home.write_settings("[Settings]\nCWavecrestView=1\n")

    def start_sized(self, path, **env):
        """Starts the program against `path` of the list server and sizes its
        window to 701x503 once the station-list download has been asked for."""
        program = self.start(WAVECREST_STATION_LIST_URL=self.server.address + path, **env)
        window = program.wait_for_window()
        self.assertTrue(wait_until(lambda: any(path in line for line in self.server.requests()),
                                   30), "the station list was never asked for")
        subprocess.run(["xdotool", "windowsize", window, "701", "503"], check=True)
        self.assertTrue(wait_until(lambda: geometry(window) == (701, 503)))
        return program

    def assert_ended_well(self, program, within):
        started = time.monotonic()
        self.assertEqual(program.wait(timeout=within + 30), 0, program.output_so_far())
        took = time.monotonic() - started
        self.assertLess(took, scaled(within), "it took %.1f s to end" % took)
        settings = self.home.read_settings()
        self.assertIn("MainWindowWidth=701", settings)
        self.assertIn("MainWindowHeight=503", settings)

    def test_quit_from_the_media_controls_while_the_list_downloads(self):
        if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            self.skipTest("needs a session bus (run under dbus-run-session)")
        program = self.start_sized(
            "/silent", DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"])
        quit_call = ["gdbus", "call", "--session", "--dest", BUS_NAME,
                     "--object-path", "/org/mpris/MediaPlayer2",
                     "--method", "org.mpris.MediaPlayer2.Quit"]
        # The name appears once the program has offered itself on the bus.
        self.assertTrue(wait_until(
            lambda: subprocess.run(quit_call, capture_output=True).returncode == 0, 30))
        self.assert_ended_well(program, within=2)

    def test_the_session_ends_while_the_failure_message_is_open(self):
        # The message box is really shown here: nothing answers it.
        program = self.start_sized("/status/404", WAVECREST_MODAL_LOG="")
        dialogs = lambda: [w for w in xdotool("search", "--onlyvisible", "--pid",
                                              str(program.pid), "--name", ".*")
                           if is_dialog(w)]
        self.assertTrue(wait_until(dialogs, 30), "no message box appeared")
        time.sleep(3)  # a person is away from the screen for a while
        self.assertTrue(dialogs(), "the message box went away by itself")
        program.process.send_signal(signal.SIGTERM)
        self.assert_ended_well(program, within=2)

    def test_the_session_ends_while_a_huge_hostile_playlist_is_opened(self):
        # Ampersands without a semicolon and declarations without a subset,
        # filling the largest playlist file read.
        hostile = os.path.join(self.home.path, "hostile.xspf")
        with open(hostile, "w", encoding="ascii") as file:
            file.write("<?xml version='1.0'?><playlist><trackList>" + "<!x>" * (1 << 20)
                       + "<track><title>" + "&" * (11 << 20) + "</title></track>")
        program = self.start(hostile, WAVECREST_STATION_LIST_URL=self.server.address + "/x")
        program.wait_for_window()
        program.process.send_signal(signal.SIGTERM)
        started = time.monotonic()
        self.assertEqual(program.wait(timeout=30), 0, program.output_so_far())
        self.assertLess(time.monotonic() - started, scaled(2))
        with open(os.path.join(self.home.runtime, "wavecrest.lock"), "rb") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)  # raises while held
            fcntl.flock(lock, fcntl.LOCK_UN)
        self.start().wait_for_window()


if __name__ == "__main__":
    unittest.main()
