"""The radio page as a person finds it each time it comes back, read as a
screen reader reads it: the player's buttons, its status and its volume keep
their size after another tab and back, the directory's Play, a playlist
opened on another page, hiding and showing, and a ":silent" start shown; a
channel without a title of its own is named in the status. And the ribbon
looks as it did after the window was made small and large again (its panel
captions whole), compared pixel by pixel."""

import os
import signal
import subprocess
import unittest

import accessible
from test_station_directory import DirectoryServer
from wavecrest_e2e import EndToEndTest, screen_image, wait_until

# Window-relative places of the ribbon's tabs in a window of 900 by 640.
TAB_RADIO = (117, 13)
TAB_SETTINGS = (233, 13)
TAB_DIRECTORY = (607, 13)
PLACEMENT = ("[Workspace]\nMainWindowLeft=40\nMainWindowTop=30\nMainWindowWidth=900\n"
             "MainWindowHeight=640\n")
# The player's controls: its buttons by their names, and its volume.
PLAYER_CONTROLS = {"push button": ("Play", "Pause", "Stop"), "toggle button": ("Mute",),
                   "slider": ("",)}


def click(window, place):
    subprocess.run(["xdotool", "mousemove", "--window", window, str(place[0]), str(place[1]),
                    "click", "1"], check=True)
    # The pointer leaves the ribbon, which would show where it hovers.
    subprocess.run(["xdotool", "mousemove", "1200", "900"], check=True)


def window_rect(window):
    output = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True).stdout
    value = lambda label: int(output.split(label + ":")[1].split()[0])
    return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
            value("Height"))


class RadioPageLayout(EndToEndTest):

    def setUp(self):
        super().setUp()
        if not accessible.available():
            self.skipTest("needs AT-SPI (python3-gi, gir1.2-atspi-2.0) and a session bus")
        self.list_file = self.serve_station_list(
            ["Radio,Tone 440,{address}/radio/440.mp3,en,Tones,440 Hz,ON",
             "Radio,Tone 660,{address}/radio/660.mp3,en,Tones,660 Hz,ON"])

    def start_player(self, *args, **env):
        return self.start(*args, WAVECREST_STATION_LIST_URL=self.address + "/world.zip",
                          WAVECREST_PLAYER_OPTIONS="ao=null", **accessible.reading_environment(),
                          **env)

    def player_controls(self, program):
        return [w for w in accessible.widgets(program.pid)
                if w.name in PLAYER_CONTROLS.get(w.role, ())]

    def status_label(self, program):
        labels = [w.name for w in accessible.widgets(program.pid)
                  if w.role == "label" and w.name.startswith(("Ready", "Playing", "Stopped",
                                                              "Connecting", "Buffering"))]
        return labels[0] if labels else None

    def assert_player_whole(self, program, how):
        sizes = lambda: [(w.role, w.size) for w in self.player_controls(program)]
        self.assertTrue(wait_until(lambda: sizes() == self.whole, 30),
                        "after %s the player's controls are %r, not %r"
                        % (how, self.player_controls(program), self.whole))

    def test_the_players_controls_keep_their_size_each_way_the_radio_page_comes_back(self):
        self.home.write_settings(PLACEMENT + "[Settings]\nLastChannelIndex=0\n")
        directory = DirectoryServer(self.address)
        self.addCleanup(directory.stop)
        program = self.start_player(WAVECREST_DIRECTORY_URL=directory.address + "/")
        window = program.wait_for_window()
        program.wait_until_listening()
        self.assertTrue(wait_until(lambda: len(self.player_controls(program)) == 4, 30),
                        accessible.widgets(program.pid))
        self.whole = [(w.role, w.size) for w in self.player_controls(program)]
        self.assertTrue(all(w >= 40 and h >= 20 for _, (w, h) in self.whole), self.whole)

        # A channel that announces no title is named by the list's name.
        subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", "Return"], check=True)
        self.assertTrue(wait_until(lambda: (self.status_label(program) or "").startswith(
            "Playing: Tone 440"), 30), self.status_label(program))

        click(window, TAB_SETTINGS)
        self.assertTrue(wait_until(lambda: not self.player_controls(program), 15),
                        self.player_controls(program))
        click(window, TAB_RADIO)
        self.assert_player_whole(program, "another tab and back")

        click(window, TAB_DIRECTORY)
        self.assertTrue(wait_until(lambda: "/json/tags" in directory.get("/requests"), 30))
        subprocess.run(["xdotool", "windowfocus", "--sync", window, "type", "--delay", "50",
                        "abend"], check=True)
        subprocess.run(["xdotool", "key", "Return"], check=True)

        def play_found_station():
            subprocess.run(["xdotool", "key", "Down", "Return"], check=True)
            return wait_until(lambda: "/radio/550.mp3" in self.server.requested(), 2)
        self.assertTrue(wait_until(play_found_station, 60, interval=0), self.server.requested())
        self.assert_player_whole(program, "the directory's Play")

        click(window, TAB_SETTINGS)
        playlist = os.path.join(self.home.path, "list.m3u")
        with open(playlist, "w", encoding="utf-8") as file:
            file.write("#EXTM3U\n#EXTINF:-1,Tone 660 again\n%s/radio/660.mp3\n" % self.address)
        self.assertEqual(self.start_player(playlist).wait(), 0)
        self.assert_player_whole(program, "a playlist opened on another page")

        program.close_window(window)
        self.assertTrue(wait_until(lambda: not program.windows(visible_only=True), 15))
        self.assertEqual(self.start_player().wait(), 0)
        program.wait_for_window()
        self.assert_player_whole(program, "hiding and showing")

        program.process.send_signal(signal.SIGTERM)  # as a session's end
        self.assertEqual(program.wait(), 0)
        silent = self.start_player(":silent")
        silent.wait_until_listening()
        self.assertEqual(self.start_player().wait(), 0)
        silent.wait_for_window()
        self.assert_player_whole(silent, "a \":silent\" start shown")

    def test_the_ribbon_looks_the_same_after_the_window_was_made_small_and_large_again(self):
        self.home.write_settings(PLACEMENT)
        program = self.start_player()
        window = program.wait_for_window()
        self.assertTrue(wait_until(lambda: len(self.player_controls(program)) == 4, 30))
        subprocess.run(["xdotool", "mousemove", "1200", "900"], check=True)
        x, y, width, height = window_rect(window)
        ribbon = lambda: screen_image(x, y, width, 125)[0]
        before = ribbon()

        subprocess.run(["xdotool", "windowsize", window, "300", str(height)], check=True)
        self.assertTrue(wait_until(lambda: window_rect(window)[2] == 300 and ribbon() != before,
                                   15), "the ribbon did not lay itself out for the small window")
        subprocess.run(["xdotool", "windowsize", window, str(width), str(height)], check=True)
        self.assertTrue(wait_until(lambda: ribbon() == before, 15),
                        "after growing again the ribbon differs from the one at the start")


if __name__ == "__main__":
    unittest.main()
