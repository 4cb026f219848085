"""Live radio drops: a person listens to a station whose stream is cut, goes
silent or is taken away, and Wavecrest asks for it again (or gives up) the
way a listener would want, heard in the captured sound and seen at the
stream server and in the desktop's media controls."""

import os
import subprocess
import time
import unittest
import urllib.request

from sound import read_wave, strongest_tone
from wavecrest_e2e import EndToEndTest, playerctl, scaled, wait_until

TONE = 523


class Reconnect(EndToEndTest):

    def start_station(self, query, path=None, *routes, audio_device=False):
        """Starts Wavecrest on one remembered station, the server's tone
        stream with `query` (or `path`), and waits until its sound is heard.
        With `audio_device` the sound goes to a device that plays in real
        time instead of to a file (which the player fills as fast as data
        comes, so it never waits for data as a person's sound card does)."""
        self.path = path or "/radio/%d.mp3%s" % (TONE, query)
        self.serve_station_list(["Radio,Live Tone,{address}%s,en,Tones,Live,ON" % self.path],
                                *routes)
        self.sound = os.path.join(self.home.path, "sound.wav")
        self.home.write_settings("[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
        env = dict(WAVECREST_STATION_LIST_URL=self.address + "/world.zip",
                   WAVECREST_PLAYER_OPTIONS="ao=null" if audio_device
                   else "ao=pcm;ao-pcm-file=" + self.sound)
        if os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            env["DBUS_SESSION_BUS_ADDRESS"] = os.environ["DBUS_SESSION_BUS_ADDRESS"]
        self.program = self.start(**env)
        self.program.wait_for_window()
        if audio_device:
            self.assertTrue(wait_until(lambda: len(self.stream_requests()) == 1, 30))
            return
        self.assertTrue(wait_until(lambda: strongest_tone(self.sound, [TONE], 1.0)[0] == TONE, 30),
                        "the station was never heard")

    def stream_requests(self):
        return [path for path in self.server.requested() if path != "/world.zip"]

    def seconds_of_sound(self):
        rate, samples = read_wave(self.sound)
        return len(samples) / rate if rate else 0.0

    def cut_the_stream(self):
        with urllib.request.urlopen(self.address + "/drop", timeout=10) as answer:
            self.assertEqual(answer.read().strip(), b"1")

    def assert_sound_goes_on_after_the_reconnect(self):
        heard = self.seconds_of_sound()
        self.assertTrue(wait_until(lambda: len(self.stream_requests()) >= 2, 30),
                        "the stream was not asked for again: %r" % self.server.requested())
        self.assertTrue(wait_until(lambda: self.seconds_of_sound() > heard + 2.0, 30),
                        "no sound after the reconnect")
        tone, loudness = strongest_tone(self.sound, [TONE, 440, 659], 1.0)
        self.assertEqual(tone, TONE)
        self.assertGreater(loudness, 0.001)
        self.assertTrue(self.program.is_running())
        self.assertEqual(self.home.modal_messages(), [])

    def test_a_stream_the_server_cuts_is_asked_for_again_and_the_sound_goes_on(self):
        self.start_station("")
        self.cut_the_stream()
        self.assert_sound_goes_on_after_the_reconnect()

    def test_a_stream_that_stalls_is_asked_for_again(self):
        # About four seconds of sound, then the connection stays open and
        # silent; ten seconds later the player gives up on it and asks again.
        self.start_station("?stall_after=64000", audio_device=True)
        self.assertTrue(wait_until(lambda: len(self.stream_requests()) >= 2, 40),
                        "the stalled stream was not asked for again: %r" % self.server.requested())
        self.assertTrue(self.program.is_running())
        self.assertEqual(self.home.modal_messages(), [])

    def test_a_stream_taken_away_after_the_cut_is_given_up_after_three_tries(self):
        self.start_station("?once=1")
        self.cut_the_stream()
        # The first try and the two after it are each answered "410 Gone".
        self.assertTrue(wait_until(lambda: len(self.stream_requests()) == 4, 30),
                        self.server.requested())
        if os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            self.assertTrue(wait_until(lambda: playerctl("status") == "Stopped", 15),
                            "the media controls still say %r" % playerctl("status"))
        # A fourth try would have come 4 s after the third.
        time.sleep(scaled(6))
        self.assertEqual(len(self.stream_requests()), 4, self.server.requested())
        self.assertTrue(self.program.is_running())

    def test_a_recording_that_ends_is_not_asked_for_again(self):
        recording = os.path.join(self.home.path, "recording.mp3")
        subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i",
                        "sine=frequency=%d:duration=3" % TONE, "-b:a", "128k", recording],
                       check=True)
        self.start_station("", "/recording.mp3", "/recording.mp3=%s=audio/mpeg" % recording)
        self.assertTrue(wait_until(lambda: self.seconds_of_sound() >= 2.9, 30))
        if os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            self.assertTrue(wait_until(lambda: playerctl("status") == "Stopped", 15))
        # A reopening would come half a second after the end.
        time.sleep(scaled(3))
        self.assertEqual(self.stream_requests(), ["/recording.mp3"])

    @unittest.skipUnless(os.environ.get("DBUS_SESSION_BUS_ADDRESS"),
                         "needs a session bus (run under dbus-run-session)")
    def test_without_a_sound_output_the_station_is_asked_for_once_until_play(self):
        self.serve_station_list(["Radio,Live Tone,{address}/radio/%d.mp3,en,Tones,Live,ON" % TONE])
        self.home.write_settings("[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
        program = self.start(DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
                             WAVECREST_STATION_LIST_URL=self.address + "/world.zip",
                             WAVECREST_PLAYER_OPTIONS="ao=pcm;ao-pcm-file=/nonexistent-dir/x.wav")
        program.wait_for_window()
        self.assertTrue(wait_until(lambda: len(self.stream_requests()) == 1, 30))
        self.assertTrue(wait_until(lambda: playerctl("status") == "Stopped", 15),
                        "the media controls say %r" % playerctl("status"))
        # Reopenings would have come after 0.5, 1 and 2 seconds.
        time.sleep(scaled(4))
        self.assertEqual(len(self.stream_requests()), 1, self.server.requested())
        self.assertEqual(playerctl("status"), "Stopped")
        # Play tries again, once.
        playerctl("play")
        self.assertTrue(wait_until(lambda: len(self.stream_requests()) == 2, 15))
        self.assertTrue(wait_until(lambda: playerctl("status") == "Stopped", 15))
        self.assertEqual(self.home.modal_messages(), [])

    @unittest.skipUnless(os.environ.get("DBUS_SESSION_BUS_ADDRESS"),
                         "needs a session bus (run under dbus-run-session)")
    def test_stop_while_waiting_to_reconnect_ends_the_tries(self):
        # The station is down for a while after the cut: every try gets 503.
        self.start_station("?later=503")
        self.cut_the_stream()
        # Tries 1 and 2 come 0.5 s and 1 s after their failures; try 3 waits 2 s.
        self.assertTrue(wait_until(lambda: len(self.stream_requests()) >= 3, 30),
                        self.server.requested())
        self.assertEqual(playerctl("status"), "Playing")
        playerctl("stop")
        self.assertTrue(wait_until(lambda: playerctl("status") == "Stopped", 15))
        asked = len(self.stream_requests())
        # Left alone, try 4 would come 4 s after try 3, and try 5 8 s later.
        time.sleep(scaled(10))
        self.assertEqual(len(self.stream_requests()), asked, self.server.requested())
        self.assertTrue(self.program.is_running())


if __name__ == "__main__":
    unittest.main()
