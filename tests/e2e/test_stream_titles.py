"""A station announces a title with ampersands, and the person runs Wavecrest
with extra player options of which some are not allowed: the desktop's media
controls (playerctl on the private session bus) show the title exactly as the
station sent it, the allowed options take effect, and each refused option is
told on the program's output and has no effect."""

import os
import unittest

from sound import strongest_tone
from wavecrest_e2e import EndToEndTest, playerctl, wait_until

TITLE = "AC&DC & Co"


class StreamTitles(EndToEndTest):

    def setUp(self):
        super().setUp()
        if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            self.skipTest("needs a session bus (run under dbus-run-session)")
        # The title travels in the stream's address, so "&" and blanks are escaped there.
        self.serve_station_list(
            ["Radio,Rock Hour,{address}/radio/440.mp3?title=AC%26DC%20%26%20Co,en,Rock,Loud,ON"])

    def test_the_title_reaches_the_desktop_as_sent_and_only_allowed_options_count(self):
        sound = os.path.join(self.home.path, "sound.wav")
        control_socket = os.path.join(self.home.path, "engine.socket")
        self.home.write_settings("[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
        program = self.start(
            DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
            WAVECREST_STATION_LIST_URL=self.address + "/world.zip",
            WAVECREST_PLAYER_OPTIONS="ao=pcm;ao-pcm-file=%s;input-ipc-server=%s;"
                                     "scripts-append=%s/x.lua;stream-lavf-o=protocol_whitelist=file"
                                     % (sound, control_socket, self.home.path))
        program.wait_for_window()

        shown = lambda: (playerctl("metadata", "xesam:artist"), playerctl("metadata", "xesam:title"))
        self.assertTrue(wait_until(lambda: shown() == ("Rock Hour", TITLE), 30),
                        "the desktop shows %r" % (shown(),))
        # The allowed options took effect: the sound went to the file.
        self.assertTrue(wait_until(lambda: strongest_tone(sound, [440], 1.0)[0] == 440, 30),
                        "no tone in the captured sound")
        # A refused option did nothing: the engine opened no control socket.
        self.assertFalse(os.path.exists(control_socket))
        self.assertEqual(self.home.modal_messages(), [])

        program.kill()
        told = [line for line in program.output_so_far().splitlines()
                if "WAVECREST_PLAYER_OPTIONS" in line]
        for name in ("input-ipc-server", "scripts-append", "stream-lavf-o"):
            self.assertEqual(len([line for line in told if '"%s"' % name in line]), 1,
                             "refusal of %s not told once in %r" % (name, told))
        self.assertFalse(any('"ao' in line for line in told), told)


if __name__ == "__main__":
    unittest.main()
