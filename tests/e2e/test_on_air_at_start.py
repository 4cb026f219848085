"""A person starts Wavecrest with auto-play on: the channel played last is on
air at once, while the station list is still on its way, and the list that
comes later does not open it a second time; where the remembered address has
left the list, the row of the remembered index plays, as it always did."""

import os
import time
import unittest

from sound import strongest_tone
from wavecrest_e2e import EndToEndTest, playerctl, scaled, wait_until

TONES = [440, 523, 659, 880]
LIST_DELAY = 4  # seconds the station-list server takes to answer


@unittest.skipUnless(os.environ.get("DBUS_SESSION_BUS_ADDRESS"),
                     "needs a session bus (run under dbus-run-session)")
class OnAirAtStart(EndToEndTest):

    def setUp(self):
        super().setUp()
        self.serve_station_list(
            ["Radio,Tone %d,{address}/radio/%d.mp3,en,Tones,%d Hz,ON" % (hz, hz, hz)
             for hz in TONES[:3]])
        self.sound = os.path.join(self.home.path, "sound.wav")

    def start_remembering(self, index, hz):
        self.home.write_settings(
            "[Settings]\nAutoPlay=1\nLastChannelIndex=%d\nLastChannelAddress=%s/radio/%d.mp3\n"
            % (index, self.address, hz))
        started = time.monotonic()
        self.start(DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
                   WAVECREST_STATION_LIST_URL="%s/world.zip?delay=%d" % (self.address, LIST_DELAY),
                   WAVECREST_PLAYER_OPTIONS="ao=pcm;ao-pcm-file=" + self.sound)
        return started

    def requests_of(self, hz):
        return self.server.requested().count("/radio/%d.mp3" % hz)

    def heard(self, hz):
        return strongest_tone(self.sound, TONES, 0.5)[0] == hz

    def test_the_remembered_stream_plays_before_the_list_and_is_not_opened_again(self):
        started = self.start_remembering(1, 523)
        self.assertTrue(wait_until(lambda: self.requests_of(523) == 1, 30), self.server.requested())
        self.assertLess(time.monotonic() - started, scaled(1.5), "the stream was asked for late")
        # The tone is heard while the list server still keeps its answer.
        list_asked = wait_until(lambda: "/world.zip?delay=%d" % LIST_DELAY
                                in self.server.requested(), 30)
        self.assertTrue(list_asked, self.server.requested())
        list_answered = started + LIST_DELAY
        self.assertTrue(wait_until(lambda: self.heard(523), 30))
        self.assertLess(time.monotonic(), list_answered, "the tone came only with the list")

        # The list arrives: its row is the one playing, and names it (the
        # stream announces a title of its own, so the channel is the artist).
        self.assertTrue(wait_until(lambda: playerctl("metadata", "xesam:artist") == "Tone 523", 30),
                        playerctl("metadata", "xesam:artist"))
        time.sleep(scaled(1.5))  # a second request would come at once
        self.assertEqual(self.requests_of(523), 1, self.server.requested())
        self.assertTrue(self.heard(523))
        self.assertEqual(playerctl("status"), "Playing")
        self.assertEqual(self.home.modal_messages(), [])

    def test_a_remembered_address_gone_from_the_list_gives_way_to_the_row_of_its_index(self):
        self.start_remembering(2, 880)
        self.assertTrue(wait_until(lambda: self.requests_of(880) == 1, 30), self.server.requested())
        self.assertTrue(wait_until(lambda: self.requests_of(659) == 1, 30), self.server.requested())
        self.assertTrue(wait_until(lambda: self.heard(659), 30))
        self.assertTrue(wait_until(lambda: playerctl("metadata", "xesam:artist") == "Tone 659", 15))
        self.assertIn("LastChannelAddress=%s/radio/659.mp3" % self.address,
                      self.home.read_settings())


if __name__ == "__main__":
    unittest.main()
