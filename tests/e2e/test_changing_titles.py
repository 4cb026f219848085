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


@unittest.skipUnless(os.environ.get("DBUS_SESSION_BUS_ADDRESS"),
                     "needs a session bus (run under dbus-run-session)")
class ChangingTitles(EndToEndTest):

    def follow_titles(self):
        """Every xesam:title the media controls signal, as they come."""
        seen = []
        follower = subprocess.Popen(
            ["playerctl", "--player=wavecrest", "--follow", "metadata", "xesam:title"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(follower.wait)
        self.addCleanup(follower.kill)
        threading.Thread(target=lambda: seen.extend(line.strip() for line in follower.stdout),
                         daemon=True).start()
        return seen

    def test_every_title_reaches_the_media_controls_in_order_and_readable(self):
        titles = urllib.parse.quote("|".join("%s:%s" % pair for pair in TITLES))
        self.serve_station_list(
            ["Radio,Old Station,{address}/radio/440.mp3?titles=%s,en,Pop,Old,ON" % titles])
        self.home.write_settings("[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
        seen = self.follow_titles()
        # ao=null keeps time as a sound card does; the engine applies a
        # stream's later titles only as playback reaches them.
        self.start(DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
                   WAVECREST_STATION_LIST_URL=self.address + "/world.zip",
                   WAVECREST_PLAYER_OPTIONS="ao=null").wait_for_window()
        expected = [title for _, title in TITLES]
        # Two rounds: the first title comes back after the others.
        wanted = expected + expected[:1]

        def changes():
            titles = [title for title in seen if title]
            return [t for i, t in enumerate(titles) if i == 0 or titles[i - 1] != t]

        def seen_in_order():
            shown = [title for title in changes() if title in expected]
            return any(shown[i:i + len(wanted)] == wanted for i in range(len(shown)))
        self.assertTrue(wait_until(seen_in_order, 40), "the media controls showed %r" % changes())
        # No title was dropped for the station's name once titles came.
        self.assertNotIn("Old Station", changes()[changes().index(expected[0]):])
        self.assertEqual(self.home.modal_messages(), [])


if __name__ == "__main__":
    unittest.main()
