"""A person watches TV with Wavecrest: the remembered TV channel plays at
start and its picture (one colour) is on the screen; twenty switches between
the TV and a radio channel with F9, F8 and the desktop's media controls;
then Exit while the TV channel plays. The program ends with status 0,
without a crash and without an X error. Runs on a private session bus (the
test command runs it under dbus-run-session) so that playerctl reaches it."""

import os
import subprocess
import unittest

from wavecrest_e2e import (GL_DRIVER, EndToEndTest, mapped, playerctl, screen_pixels_of_colour,
                           wait_until)

GREEN = 0x20C040
TV_PATH = "/tv/600.ts?colour=20c040&size=320x180"
RADIO_PATH = "/radio/440.mp3"
# What Xlib and GDK write when the X server answered a request with an error.
X_ERRORS = ("X Window System error", "BadWindow", "BadGC", "BadDrawable", "BadMatch",
            "X Error of failed request")


class WatchingTv(EndToEndTest):

    def setUp(self):
        super().setUp()
        if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            self.skipTest("needs a session bus (run under dbus-run-session)")
        self.list_file = self.serve_station_list(
            ["TV,Green,{address}%s,en,Test,A green picture,ON" % TV_PATH,
             "Radio,Tone 440,{address}%s,en,Tones,440 Hz,ON" % RADIO_PATH])
        self.sound = os.path.join(self.home.path, "sound.wav")

    def start_wavecrest(self):
        return self.start(DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
                          WAVECREST_STATION_LIST_URL=self.address + "/world.zip",
                          WAVECREST_PLAYER_OPTIONS="ao=pcm;ao-pcm-file=" + self.sound)

    def asked_for(self, path):
        return sum(1 for request in self.server.requested() if request == path)

    def green_on_screen(self):
        # At least a picture of about 160 by 90 pixels (every 4th pixel counted).
        return screen_pixels_of_colour(GREEN) > 40 * 22

    def test_the_remembered_tv_channel_shows_its_picture_and_switching_never_crashes(self):
        self.home.write_settings("[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
        program = self.start_wavecrest()
        window = program.wait_for_window()
        self.assertTrue(wait_until(lambda: self.asked_for(TV_PATH) == 1, 30),
                        self.server.requested())
        self.assertTrue(wait_until(self.green_on_screen, 30),
                        "the TV channel's picture never showed on the screen")
        # The picture is drawn with OpenGL, which the program loads only now.
        self.assertIn(GL_DRIVER[0], mapped(program.pid, *GL_DRIVER))

        # Twenty switches: F9 and F8 in the list, next and previous from the
        # desktop's media controls; every other one lands on the TV channel.
        for switch in range(20):
            to_radio = switch % 2 == 0
            path = RADIO_PATH if to_radio else TV_PATH
            before = self.asked_for(path)
            if switch % 4 < 2:
                subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
                subprocess.run(["xdotool", "key", "F9" if to_radio else "F8"], check=True)
            else:
                playerctl("next" if to_radio else "previous")
            self.assertTrue(wait_until(lambda: self.asked_for(path) > before, 30),
                            "switch %d never asked for %s" % (switch, path))
            if switch == 0:
                self.assertTrue(wait_until(lambda: not self.green_on_screen(), 30),
                                "the radio channel left the TV picture on the screen")
            self.assertTrue(program.is_running(), program.output_so_far())
        self.assertTrue(wait_until(self.green_on_screen, 30),
                        "after the switches the TV picture did not come back")

        # Exit while the TV channel plays.
        subprocess.run(["gdbus", "call", "--session", "--dest", "org.mpris.MediaPlayer2.wavecrest",
                        "--object-path", "/org/mpris/MediaPlayer2",
                        "--method", "org.mpris.MediaPlayer2.Quit"],
                       check=True, capture_output=True, timeout=10)
        self.assertEqual(program.wait(30), 0, program.output_so_far())
        output = program.output_so_far()
        for text in X_ERRORS:
            self.assertNotIn(text, output)


if __name__ == "__main__":
    unittest.main()
