"""The main window as a person meets it: closing only hides it, the
placement is kept between runs, ending the session closes it cleanly, and a
message at the start comes up on the window, once the window shows."""

import os
import re
import signal
import subprocess
import time
import unittest

from wavecrest_e2e import BUILD_DIR, EndToEndTest, is_dialog, wait_until, xdotool

GRABBER = os.path.join(BUILD_DIR, "tests", "platform", "wc_x_key_grabber")


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

    def test_a_message_at_the_start_comes_up_centred_on_the_shown_window(self):
        # Another program holds Ctrl+P, the stored Play hot key, and the
        # hot-key page is the start page.
        grabber = subprocess.Popen([GRABBER, "grab", "p", "control"], stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE, text=True)
        self.addCleanup(grabber.wait, 10)
        self.addCleanup(grabber.stdin.close)
        self.addCleanup(grabber.stdout.close)
        self.assertEqual(grabber.stdout.readline().strip(), "grabbed")
        self.home.write_settings("[Settings]\nLastCategory=1\nCRadioSettingsView=1\n"
                                 "Play Key=80\nPlay Mod=2\n[Workspace]\nMainWindowLeft=40\n"
                                 "MainWindowTop=30\nMainWindowWidth=800\nMainWindowHeight=600\n")
        program = self.start(WAVECREST_MODAL_LOG="")  # the box is really shown
        boxes = lambda: [w for w in xdotool("search", "--onlyvisible", "--pid", str(program.pid),
                                            "--name", ".*") if is_dialog(w)]
        box = wait_until(boxes, 30)
        self.assertTrue(box, "no message box appeared")
        shown = program.windows(visible_only=True)
        self.assertTrue(shown, "the box came before the window")
        bx, by, bw, bh = geometry(box[0])
        x, y, w, h = geometry(shown[0])
        self.assertLess(abs((bx + bw / 2) - (x + w / 2)), 30, (geometry(box[0]), geometry(shown[0])))
        self.assertLess(abs((by + bh / 2) - (y + h / 2)), 30, (geometry(box[0]), geometry(shown[0])))
        # Answered, it goes; the window stays.
        subprocess.run(["xdotool", "windowfocus", "--sync", box[0], "key", "Return"], check=True)
        self.assertTrue(wait_until(lambda: not boxes(), 10))
        self.assertTrue(program.windows(visible_only=True))


if __name__ == "__main__":
    unittest.main()
