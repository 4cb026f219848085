"""The main window as a person meets it: closing only hides it, the
placement is kept between runs, and ending the session closes it cleanly."""

import os
import re
import signal
import subprocess
import time
import unittest

from wavecrest_e2e import EndToEndTest, wait_until


def geometry(window):
    text = subprocess.run(["xdotool", "getwindowgeometry", window],
                          capture_output=True, text=True).stdout
    x, y = map(int, re.search(r"Position: (-?\d+),(-?\d+)", text).groups())
    w, h = map(int, re.search(r"Geometry: (\d+)x(\d+)", text).groups())
    return x, y, w, h


class MainWindow(EndToEndTest):

    def test_the_close_button_only_hides_the_window(self):
        if os.environ.get("WAVECREST_NO_TRAY") == "1":
            self.skipTest("without a notification area the window is iconified instead")
        program = self.start()
        window = program.wait_for_window()
        program.wait_for_start_refresh()
        program.close_window(window)
        self.assertTrue(wait_until(lambda: not program.windows(visible_only=True)))
        time.sleep(0.5)
        self.assertTrue(program.is_running())
        # A later start brings it back.
        self.assertEqual(self.start().wait(), 0)
        program.wait_for_window(visible=True)

    def test_the_placement_is_stored_at_exit_and_restored_at_the_next_start(self):
        # The radio page was fitted before, so only the person sizes the window.
        self.home.write_settings("[Settings]\nCWavecrestView=1\n")
        first = self.start()
        window = first.wait_for_window()
        first.wait_for_start_refresh()
        subprocess.run(["xdotool", "windowsize", window, "700", "500"], check=True)
        subprocess.run(["xdotool", "windowmove", window, "123", "87"], check=True)
        self.assertTrue(wait_until(lambda: geometry(window)[:2] == (123, 87)))
        first.process.send_signal(signal.SIGTERM)  # the session ends
        self.assertEqual(first.wait(), 0)
        settings = self.home.read_settings()
        self.assertIn("[Workspace]", settings)
        self.assertIn("MainWindowWidth=700", settings)

        second = self.start()
        window = second.wait_for_window()
        self.assertTrue(wait_until(lambda: geometry(window)[:2] == (123, 87)), geometry(window))

    def test_a_placement_off_every_screen_is_brought_back_onto_it(self):
        self.home.write_settings("[Workspace]\nMainWindowLeft=9000\nMainWindowTop=9000\n"
                                 "MainWindowWidth=640\nMainWindowHeight=480\n"
                                 "[Settings]\nCWavecrestView=1\n")
        program = self.start()
        window = program.wait_for_window()
        x, y, w, h = geometry(window)
        self.assertLess(x + w, 1281)
        self.assertLess(y + h, 1025)


if __name__ == "__main__":
    unittest.main()
