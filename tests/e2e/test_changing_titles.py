"""A station changes its title every two seconds, and older stations send
theirs as Latin-1 or Windows-1251 bytes: the desktop's media controls follow
every change (playerctl on the private session bus, reading the player's
Metadata changes as they are signalled), in order, each title readable."""

import os
import subprocess
import threading
import unittest
import urllib.parse

from wavecrest_e2e import EndToEndTest, wait_until

TITLES = [("utf-8", "Ünïcode Hour"), ("latin-1", "Café Müller"),
          ("cp1251", "Кино - Группа крови")]


class TitleFollower:
    """Every xesam:title the media controls signal, as playerctl --follow reads them."""

    def __init__(self):
        self.seen = []
        self.process = subprocess.Popen(
            ["playerctl", "--player=wavecrest", "--follow", "metadata", "xesam:title"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            title = line.strip()
            if title and (not self.seen or self.seen[-1] != title):
                self.seen.append(title)

    def stop(self):
        self.process.kill()
        self.process.wait()


class ChangingTitles(EndToEndTest):

    def setUp(self):
        super().setUp()
        if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            self.skipTest("needs a session bus (run under dbus-run-session)")
        titles = urllib.parse.quote("|".join("%s:%s" % pair for pair in TITLES))
        self.serve_station_list(
            ["Radio,Old Station,{address}/radio/440.mp3?titles=%s,en,Pop,Old,ON" % titles])

    def test_every_title_reaches_the_media_controls_in_order_and_readable(self):
        self.home.write_settings("[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
        follower = TitleFollower()
        self.addCleanup(follower.stop)
        program = self.start(
            DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
            WAVECREST_STATION_LIST_URL=self.address + "/world.zip",
            WAVECREST_PLAYER_OPTIONS="ao=null")
        program.wait_for_window()
        expected = [title for _, title in TITLES]
        # Two rounds: the first title comes back after the others.
        wanted = expected + expected[:1]

        def seen_in_order():
            titles = [title for title in follower.seen if title in expected]
            return any(titles[i:i + len(wanted)] == wanted for i in range(len(titles)))
        self.assertTrue(wait_until(seen_in_order, 40), "the media controls showed %r"
                        % follower.seen)
        self.assertNotIn("Old Station", follower.seen[follower.seen.index(expected[0]):])
        self.assertEqual(self.home.modal_messages(), [])


if __name__ == "__main__":
    unittest.main()
