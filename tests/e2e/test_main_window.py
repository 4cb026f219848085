"""The main window as a person meets it: closing only hides it, the
placement is kept between runs, ending the session closes it cleanly, and a
message at the start comes up on the window, once the window shows."""

import os
import re
import shutil
import signal
import subprocess
import time
import unittest

from wavecrest_e2e import BUILD_DIR, EndToEndTest, is_dialog, wait_until, xdotool

GRABBER = os.path.join(BUILD_DIR, "tests", "platform", "wc_x_key_grabber")

PANEL_HEIGHT = 28


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


class SmallScreen(EndToEndTest):
    """A laptop's 1366 x 768 screen of its own: the window must fit it, and
    with a window manager and a panel along the bottom, what the panel
    leaves of it."""

    def start_screen(self, window_manager):
        # Placement is the toolkit's and the window manager's arithmetic: the
        # sanitizer build adds nothing to it, only load that starves the panel.
        if float(os.environ.get("WAVECREST_TIME_SCALE", "1") or "1") > 1:
            self.skipTest("placement is tested in the normal build")
        reader, writer = os.pipe()
        # Without -noreset the server starts afresh whenever its last client
        # leaves, and refuses connections meanwhile.
        server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(writer), "-screen", "0", "1366x768x24", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(writer,), stderr=subprocess.DEVNULL)
        os.close(writer)
        with os.fdopen(reader) as numbers:
            self.display = ":" + numbers.readline().strip()
        self.addCleanup(self.end, server)
        self.area = (0, 0, 1366, 768)
        if not window_manager:
            return
        if not shutil.which("openbox"):
            self.skipTest("needs the openbox window manager")
        env = dict(os.environ, DISPLAY=self.display)
        self.addCleanup(self.end, subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL,
                                                   stderr=subprocess.DEVNULL))
        # The panel is started once the window manager runs, which reserves its place.
        self.assertTrue(wait_until(lambda: "window id" in self.x(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), 15), "openbox never started")
        self.addCleanup(self.end, subprocess.Popen(
            ["trayer", "--edge", "bottom", "--heighttype", "pixel", "--height", str(PANEL_HEIGHT),
             "--SetDockType", "true", "--SetPartialStrut", "true"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        self.area = (0, 0, 1366, 768 - PANEL_HEIGHT)
        if not wait_until(lambda: self.work_area() == self.area, 15):
            self.skipTest("the panel could not reserve its place on this X server")

    @staticmethod
    def end(process):
        process.terminate()
        process.wait(timeout=10)

    def x(self, *args):
        return subprocess.run(args, capture_output=True, text=True,
                              env=dict(os.environ, DISPLAY=self.display)).stdout

    def work_area(self):
        values = re.findall(r"\d+", self.x("xprop", "-root", "_NET_WORKAREA").partition("=")[2])
        return tuple(map(int, values[:4])) if len(values) >= 4 else None

    def outer_rect(self, window):
        """The window with its frame, as the person sees it on the screen."""
        info = self.x("xwininfo", "-id", window)
        found = [re.search(pattern + r":\s+(-?\d+)", info) for pattern in
                 ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]
        if not all(found):
            return 0, 0, 0, 0  # gone meanwhile
        x, y, w, h = (int(match.group(1)) for match in found)
        extents = re.findall(r"\d+", self.x("xprop", "-id", window, "_NET_FRAME_EXTENTS")
                             .partition("=")[2])
        left, right, top, bottom = map(int, extents) if len(extents) == 4 else (0, 0, 0, 0)
        return x - left, y - top, w + left + right, h + top + bottom

    def fits(self, rect):
        x, y, w, h = rect
        left, top, width, height = self.area
        return x >= left and y >= top and x + w <= left + width and y + h <= top + height

    def assert_window_fits(self, stored):
        self.home.write_settings(stored)
        program = self.start(DISPLAY=self.display)
        # The main window, not its tray icon.
        main_windows = lambda: [w for w in self.x("xdotool", "search", "--onlyvisible", "--pid",
                                                  str(program.pid), "--name",
                                                  "^Wavecrest by Tolvane$").split()
                                if self.outer_rect(w)[2] > 300]
        found = wait_until(main_windows, 30)
        self.assertTrue(found, program.output_so_far())
        # The first fit of the radio page comes with its first showing.
        self.assertTrue(wait_until(lambda: "CWavecrestView=1" in self.home.read_settings(), 30))
        window = (main_windows() or found)[0]
        # The window manager takes the fitted size in a moment later.
        wait_until(lambda: self.fits(self.outer_rect(window)) and self.outer_rect(window)[3] > 600,
                   10)
        rect = self.outer_rect(window)
        self.assertTrue(self.fits(rect), "%r is not inside %r" % (rect, self.area))
        self.stop_all()
        return rect[2:]

    def check_first_and_restored_windows(self, window_manager):
        self.start_screen(window_manager)
        self.assertGreater(self.assert_window_fits(""), (900, 600))
        self.assert_window_fits(
            "[Workspace]\nMainWindowLeft=300\nMainWindowTop=200\nMainWindowWidth=1200\n"
            "MainWindowHeight=900\n[Settings]\nCWavecrestView=1\n")

    def test_the_first_window_and_a_restored_one_fit_the_screen(self):
        self.check_first_and_restored_windows(window_manager=False)

    def test_with_a_window_manager_they_fit_above_the_panel(self):
        self.check_first_and_restored_windows(window_manager=True)

if __name__ == "__main__":
    unittest.main()
