"""A person's day with Wavecrest, from the first start to Exit, on a private
session bus (the test command runs this suite under dbus-run-session) so that
the desktop's media controls (here playerctl) reach the program.

The station list comes from one loopback server and the radio streams from
another, so that each can go away on its own: the list server is stopped to
see a refresh fail without losing anything, and one channel's stream drops
in the middle to see the player report the failure and carry on."""

import os
import subprocess
import time
import unittest

from sound import strongest_tone
from wavecrest_e2e import (EndToEndTest, StreamServer, is_tray_icon, playerctl, utf16_station_list,
                           wait_until, xdotool)

BUS_NAME = "org.mpris.MediaPlayer2.wavecrest"
TONES = [440, 523, 659, 784]
# Buttons of the radio page's ribbon, relative to the window (fixed for the
# fonts of the test machine).
REFRESH_CHANNELS = (317, 60)
HIDE_TO_TRAY = (440, 80)


def call_bus(interface_method):
    subprocess.run(["gdbus", "call", "--session", "--dest", BUS_NAME,
                    "--object-path", "/org/mpris/MediaPlayer2",
                    "--method", interface_method],
                   check=True, capture_output=True, timeout=10)


def click(window, place, count=1):
    subprocess.run(["xdotool", "mousemove", "--window", window, str(place[0]), str(place[1]),
                    "click", "--repeat", str(count), "--delay", "80", "1"], check=True)


def tray_icon(program):
    icons = [window for window in xdotool("search", "--pid", str(program.pid), "--name", ".*")
             if is_tray_icon(window)]
    if not icons:
        raise AssertionError("the program has no tray icon")
    return icons[0]


class PersonsDay(EndToEndTest):

    def setUp(self):
        super().setUp()
        if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            self.skipTest("needs a session bus (run under dbus-run-session)")
        if os.environ.get("WAVECREST_NO_TRAY") == "1":
            self.skipTest("the day uses the notification area")
        self.streams = StreamServer(os.path.join(self.home.path, "streams.log"))
        self.addCleanup(self.streams.stop)
        lines = ["Type,Channel,Address,Language,Genre,About,Status"]
        for hz in TONES[:3]:
            lines.append("Radio,Tone %d,%s/radio/%d.mp3,en,Tones,%d Hz,ON"
                         % (hz, self.streams.address, hz, hz))
        # A station that stops sending after a few seconds and does not come back.
        lines.append("Radio,Fading %d,%s/radio/%d.mp3?drop_after=64000&once=1,en,Tones,%d Hz,ON"
                     % (TONES[3], self.streams.address, TONES[3], TONES[3]))
        self.list_file = os.path.join(self.home.path, "world.zip")
        with open(self.list_file, "wb") as file:
            file.write(utf16_station_list(lines))
        self.stations = StreamServer(os.path.join(self.home.path, "stations.log"),
                               "/world.zip=" + self.list_file)
        self.addCleanup(self.stations.stop)
        self.sound = os.path.join(self.home.path, "sound.wav")

    def start_wavecrest(self, *args):
        return self.start(*args,
                          DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
                          WAVECREST_STATION_LIST_URL=self.stations.address + "/world.zip",
                          WAVECREST_PLAYER_OPTIONS="ao=pcm;ao-pcm-file=" + self.sound)

    def wait_for_stream(self, hz, after=0):
        """Waits until the stream of that tone is asked for (again, after
        `after` earlier requests)."""
        path = "/radio/%d.mp3" % hz
        found = wait_until(lambda: any(r.startswith(path) for r in self.streams.requested()[after:]),
                           30)
        self.assertTrue(found, "%s never asked for; asked: %s" % (path, self.streams.requested()))

    def wait_for_status(self, status):
        self.assertTrue(wait_until(lambda: playerctl("status") == status, 30),
                        "status stayed %r, not %r" % (playerctl("status"), status))

    def wait_for_channel(self, name, title):
        shown = lambda: (playerctl("metadata", "xesam:artist"), playerctl("metadata", "xesam:title"))
        self.assertTrue(wait_until(lambda: shown() == (name, title), 30),
                        "the desktop shows %r, not %r" % (shown(), (name, title)))

    def assert_tone_heard(self, hz):
        self.assertTrue(wait_until(lambda: strongest_tone(self.sound, TONES, 1.0)[0] == hz, 30),
                        "the captured sound is %r, not %d Hz" %
                        (strongest_tone(self.sound, TONES, 1.0), hz))
        self.assertGreater(strongest_tone(self.sound, TONES, 1.0)[1], 0.001)  # not silence

    def test_a_day_with_wavecrest(self):
        # Morning: the program starts, loads the list and plays yesterday's channel.
        self.home.write_settings("[Settings]\nLastChannelIndex=1\nAutoPlay=1\n")
        program = self.start_wavecrest()
        window = program.wait_for_window()
        self.assertTrue(wait_until(lambda: "/world.zip" in self.stations.requested(), 30))
        self.wait_for_stream(523)
        self.assert_tone_heard(523)
        self.wait_for_status("Playing")
        # The station sends its own title; the channel's name is the artist.
        self.wait_for_channel("Tone 523", "Sine 523 Hz")
        self.assertEqual(playerctl("metadata", "xesam:url"),
                         "%s/radio/523.mp3" % self.streams.address)
        self.assertEqual(self.home.modal_messages(), [])

        # The desktop's media controls move through the list.
        asked = len(self.streams.requested())
        playerctl("next")
        self.wait_for_stream(659, asked)
        self.wait_for_channel("Tone 659", "Sine 659 Hz")
        self.assert_tone_heard(659)
        self.assertTrue(wait_until(lambda: "LastChannelIndex=2" in self.home.read_settings()))
        asked = len(self.streams.requested())
        playerctl("previous")
        self.wait_for_stream(523, asked)
        self.wait_for_channel("Tone 523", "Sine 523 Hz")

        # A pause keeps the player on the desktop's controls; play goes on.
        playerctl("pause")
        self.wait_for_status("Paused")
        playerctl("play-pause")
        self.wait_for_status("Playing")

        # "Hide to System Tray" hides the window; a double click on the tray
        # icon shows it again.
        click(window, HIDE_TO_TRAY)
        self.assertTrue(wait_until(lambda: not program.windows(visible_only=True)))
        self.assertTrue(program.is_running())
        click(tray_icon(program), (8, 8), count=2)
        program.wait_for_window(visible=True)

        # The close button hides it too; the desktop's "raise" brings it back.
        program.close_window(window)
        self.assertTrue(wait_until(lambda: not program.windows(visible_only=True)))
        call_bus("org.mpris.MediaPlayer2.Raise")
        program.wait_for_window(visible=True)

        # Hidden again, a second start brings the window up and ends at once.
        program.close_window(window)
        self.assertTrue(wait_until(lambda: not program.windows(visible_only=True)))
        self.assertEqual(self.start_wavecrest().wait(), 0)
        program.wait_for_window(visible=True)
        self.wait_for_channel("Tone 523", "Sine 523 Hz")

        # The station-list server is down: the refresh says so, and the list,
        # the channel and the settings are all still there.
        settings_before = self.home.read_settings()
        self.stations.stop()
        click(window, REFRESH_CHANNELS)
        self.assertTrue(wait_until(lambda: self.home.modal_messages(), 30))
        self.assertIn("support@tolvane.example", self.home.modal_messages()[0])
        self.assertTrue(program.is_running())
        self.assertIn("LastChannelIndex=1", self.home.read_settings())
        self.assertEqual(
            [line for line in self.home.read_settings().splitlines() if "Channel" in line],
            [line for line in settings_before.splitlines() if "Channel" in line])
        asked = len(self.streams.requested())
        playerctl("next")
        self.wait_for_stream(659, asked)

        # A station that stops sending: the player reports the failure and
        # the program carries on.
        asked = len(self.streams.requested())
        playerctl("next")
        self.wait_for_stream(784, asked)
        self.wait_for_status("Stopped")
        time.sleep(1)
        self.assertTrue(program.is_running())
        asked = len(self.streams.requested())
        playerctl("previous")
        self.wait_for_stream(659, asked)
        self.wait_for_status("Playing")

        # Evening: Exit from the desktop's controls ends the program cleanly.
        call_bus("org.mpris.MediaPlayer2.Quit")
        self.assertEqual(program.wait(), 0)
        settings = self.home.read_settings()
        self.assertIn("LastChannelIndex=2", settings)
        self.assertIn("MainWindowWidth=", settings)


if __name__ == "__main__":
    unittest.main()
