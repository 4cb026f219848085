"""The main window as a person meets it: placement kept between runs."""

import re
import subprocess
import unittest

from wavecrest_e2e import EndToEndTest, wait_until


def geometry(window):
    text = subprocess.run(["xdotool", "getwindowgeometry", window],
                          capture_output=True, text=True).stdout
    x, y = map(int, re.search(r"Position: (-?\d+),(-?\d+)", text).groups())
    w, h = map(int, re.search(r"Geometry: (\d+)x(\d+)", text).groups())
    return x, y, w, h


class MainWindow(EndToEndTest):

    def test_the_placement_is_stored_at_exit_and_restored_at_the_next_start(self):
        first = self.start()
        window = first.wait_for_window()
        subprocess.run(["xdotool", "windowsize", window, "700", "500"], check=True)
        subprocess.run(["xdotool", "windowmove", window, "123", "87"], check=True)
        self.assertTrue(wait_until(lambda: geometry(window)[:2] == (123, 87)))
        first.close_window(window)
        self.assertEqual(first.wait(), 0)
        settings = self.home.read_settings()
        self.assertIn("[Workspace]", settings)
        self.assertIn("MainWindowWidth=700", settings)

        second = self.start()
        window = second.wait_for_window()
        self.assertTrue(wait_until(lambda: geometry(window) == (123, 87, 700, 500)),
                        geometry(window))

    def test_a_placement_off_every_screen_is_brought_back_onto_it(self):
        self.home.write_settings("[Workspace]\nMainWindowLeft=9000\nMainWindowTop=9000\n"
                                 "MainWindowWidth=640\nMainWindowHeight=480\n")
        program = self.start()
        window = program.wait_for_window()
        x, y, w, h = geometry(window)
        self.assertLess(x, 1280)
        self.assertLess(y, 1024)
        self.assertEqual((w, h), (640, 480))


if __name__ == "__main__":
    unittest.main()
