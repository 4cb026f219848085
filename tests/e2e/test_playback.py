"""A person starts Wavecrest: the list comes from a station-list server, the
remembered channel plays (its tone is heard), and F9 moves to the next one.
A station on the internet that answers with a playlist of this machine's
own addresses gets none of them fetched."""

import os
import subprocess
import time
import unittest

from sound import strongest_tone
from wavecrest_e2e import EndToEndTest, Wavecrest, playerctl, scaled, wait_until

TONES = [440, 523, 659]


class Playback(EndToEndTest):

    def setUp(self):
        super().setUp()
        self.list_file = self.serve_station_list(
            ["Radio,Tone %d,{address}/radio/%d.mp3,en,Tones,%d Hz,ON" % (hz, hz, hz)
             for hz in TONES])
        self.sound = os.path.join(self.home.path, "sound.wav")

    def requested(self):
        return self.server.requested()

    def start_player(self):
        return self.start(
            WAVECREST_STATION_LIST_URL=self.address + "/world.zip",
            WAVECREST_PLAYER_OPTIONS="ao=pcm;ao-pcm-file=" + self.sound)

    def test_the_remembered_channel_plays_at_start_and_f9_moves_to_the_next(self):
        self.home.write_settings("[Settings]\nLastChannelIndex=1\nAutoPlay=1\n")
        program = self.start_player()
        window = program.wait_for_window()
        self.assertTrue(wait_until(lambda: "/radio/523.mp3" in str(self.requested()), 30),
                        self.requested())
        # The captured sound is the remembered channel's tone.
        heard = wait_until(lambda: strongest_tone(self.sound, TONES, 1.0)[0] is not None, 30)
        self.assertTrue(heard, "no sound was written")
        time.sleep(1.5)
        tone, loudness = strongest_tone(self.sound, TONES, 1.0)
        self.assertEqual(tone, 523)
        self.assertGreater(loudness, 0.001)  # not silence
        self.assertEqual(self.home.modal_messages(), [])

        # F9 in the list plays the next channel.
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
        subprocess.run(["xdotool", "key", "F9"], check=True)
        self.assertTrue(wait_until(lambda: "/radio/659.mp3" in str(self.requested()), 30),
                        self.requested())
        self.assertTrue(wait_until(lambda: "LastChannelIndex=2" in self.home.read_settings(), 10))

    @unittest.skipUnless(os.environ.get("DBUS_SESSION_BUS_ADDRESS"),
                         "needs a session bus (run under dbus-run-session)")
    def test_a_remote_stations_playlist_of_loopback_addresses_is_not_followed(self):
        # "localhost" plays the station on the internet; its playlist names
        # this machine's own streams.
        entries = "%7C".join("{address}/radio/%d.mp3" % hz for hz in TONES)
        self.list_file = self.serve_station_list(
            ["Radio,Far Away,http://localhost:{port}/playlist.m3u?entries=%s,en,Pop,Far,ON"
             % entries])
        self.home.write_settings("[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
        program = self.start(DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
                             WAVECREST_STATION_LIST_URL=self.address + "/world.zip",
                             WAVECREST_PLAYER_OPTIONS="ao=pcm;ao-pcm-file=" + self.sound,
                             WAVECREST_TEST_REMOTE_HOSTS="localhost")
        program.wait_for_window()
        playlist = lambda: [path for path in self.requested() if path.startswith("/playlist")]
        self.assertTrue(wait_until(lambda: len(playlist()) == 1, 30), self.requested())
        self.assertTrue(wait_until(lambda: playerctl("status") == "Stopped", 15),
                        "the media controls say %r" % playerctl("status"))
        # Were an entry followed, its request would come at once.
        time.sleep(scaled(2))
        self.assertEqual([path for path in self.requested() if path.startswith("/radio")], [])
        self.assertEqual(len(playlist()), 1, self.requested())
        self.assertEqual(self.home.modal_messages(), [])

    @unittest.skipUnless(os.environ.get("DBUS_SESSION_BUS_ADDRESS"),
                         "needs a session bus (run under dbus-run-session)")
    def test_without_a_pipewire_server_playing_prints_nothing_of_pipewires(self):
        # The test's home has no PipeWire socket; the sound output is the
        # machine's own (where there is none, the station fails).
        self.home.write_settings("[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
        env = self.home.environment(DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
                                    WAVECREST_STATION_LIST_URL=self.address + "/world.zip")
        env.pop("PIPEWIRE_REMOTE", None)
        env.pop("WAVECREST_PLAYER_OPTIONS", None)
        program = Wavecrest(self.home, env=env)
        self.started.append(program)
        program.wait_for_window()
        self.assertTrue(wait_until(lambda: "/radio/440.mp3" in self.requested(), 30))
        self.assertTrue(wait_until(lambda: playerctl("status") == "Stopped"
                                   or playerctl("metadata", "xesam:title") == "Sine 440 Hz", 15))
        time.sleep(scaled(1))
        program.kill()
        self.assertNotIn("client.conf", program.output_so_far())

    def test_a_station_list_server_that_is_down_shows_the_failure_and_loses_nothing(self):
        self.home.write_settings("[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
        program = self.start(WAVECREST_STATION_LIST_URL="http://127.0.0.1:9/world.zip")
        program.wait_for_window()
        self.assertTrue(wait_until(lambda: self.home.modal_messages(), 30))
        message = self.home.modal_messages()[0]
        self.assertIn("Wavecrest by Tolvane", message)
        self.assertIn("support@tolvane.example", message)
        self.assertTrue(program.is_running())
        self.assertIn("LastChannelIndex=0", self.home.read_settings())


if __name__ == "__main__":
    unittest.main()
