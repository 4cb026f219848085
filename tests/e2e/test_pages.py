"""The ribbon's other pages as a person uses them, with the mouse: the web
pages load the maker's sites (here on loopback), bringing the web engine into
a program that started without it, and Refresh asks again;
"Auto Startup with Windows" writes the session's autostart entry, which starts
Wavecrest hidden, and a second click removes it.

The ribbon's tabs and buttons are found at their places in the window, which
are fixed for the fonts of the test machine."""

import os
import select
import shlex
import signal
import subprocess
import sys
import time
import unittest

from wavecrest_e2e import GL_DRIVER, EndToEndTest, Wavecrest, mapped, wait_until

WEB_SERVER = os.path.join(os.path.dirname(__file__), "..", "support", "web_test_server.py")

# Window-relative places of ribbon elements.
TAB_SETTINGS = (233, 13)
TAB_MORE_SOFTWARES = (343, 13)
TAB_BUY_HARDWARE = (472, 13)
NAVIGATION_REFRESH = (166, 74)
AUTO_STARTUP_CHECK_BOX = (150, 44)


# The web pages' module and the web engine's libraries it brings along.
WEB_ENGINE = ("libwavecrest-web.so", "libwebkit2gtk", "libjavascriptcoregtk", "libgst")
# The image loader the GTK theme's vector images need (radio needs none).
SVG_LOADER = "libpixbufloader-svg"


def click(window, place):
    subprocess.run(["xdotool", "mousemove", "--window", window, str(place[0]), str(place[1]),
                    "click", "1"], check=True)


class WebSite:
    def __init__(self, title):
        self.process = subprocess.Popen([sys.executable, WEB_SERVER, "--title", title],
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline().split()[1])
        self.address = "http://127.0.0.1:%d/" % self.port
        self.requests = []

    def read_requests(self, timeout=0.2):
        while select.select([self.process.stdout], [], [], timeout)[0]:
            line = self.process.stdout.readline()
            if not line:
                break
            self.requests.append(line.strip())
        return self.requests

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)
        self.process.stdin.close()
        self.process.stdout.close()


class Pages(EndToEndTest):

    def start_program(self, *args, **env):
        self.home.write_settings("[Workspace]\nMainWindowLeft=40\nMainWindowTop=30\n"
                                 "MainWindowWidth=900\nMainWindowHeight=640\n"
                                 "[Settings]\nCWavecrestView=1\nCRadioSettingsView=1\n"
                                 "CPromoView=1\nCHardwareStoreView=1\n")
        program = self.start(*args, WAVECREST_PLAYER_OPTIONS="ao=null", **env)
        window = program.wait_for_window()
        program.wait_for_start_refresh()
        return program, window

    def test_the_web_pages_load_their_sites_and_refresh_asks_again(self):
        promo, store = WebSite("More software"), WebSite("Hardware store")
        self.addCleanup(promo.stop)
        self.addCleanup(store.stop)
        program, window = self.start_program(WAVECREST_PROMO_URL=promo.address,
                                             WAVECREST_STORE_URL=store.address)
        # A start on the radio page leaves the web engine, the OpenGL driver
        # and the SVG image loader out of the process; the first web page
        # brings the engine in, with the pages' module.
        self.assertEqual(mapped(program.pid, *WEB_ENGINE, *GL_DRIVER, SVG_LOADER), [])
        click(window, TAB_MORE_SOFTWARES)
        self.assertTrue(wait_until(lambda: "GET /" in promo.read_requests(), 30), promo.requests)
        self.assertEqual(mapped(program.pid, *WEB_ENGINE), list(WEB_ENGINE))
        click(window, NAVIGATION_REFRESH)
        self.assertTrue(wait_until(lambda: promo.read_requests().count("GET /") >= 2, 30),
                        promo.requests)
        click(window, TAB_BUY_HARDWARE)
        self.assertTrue(wait_until(lambda: "GET /" in store.read_requests(), 30), store.requests)
        self.assertTrue(program.is_running())
        # With the web engine loaded after the start, the program still ends
        # cleanly (in the sanitizer build: with its leak check done).
        program.process.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait(timeout=30), 0, program.output_so_far())

    def test_auto_startup_writes_an_entry_that_starts_wavecrest_hidden(self):
        program, window = self.start_program()
        click(window, TAB_SETTINGS)
        time.sleep(1)
        click(window, AUTO_STARTUP_CHECK_BOX)
        entry = os.path.join(self.home.config, "autostart", "wavecrest.desktop")
        self.assertTrue(wait_until(lambda: os.path.exists(entry), 10))
        with open(entry, encoding="utf-8") as file:
            exec_line = [l for l in file.read().splitlines() if l.startswith("Exec=")][0]
        command = shlex.split(exec_line[len("Exec="):])
        self.assertEqual(command[-1], ":silent")
        self.assertEqual(os.path.realpath(command[0]), os.path.realpath(program.process.args[0]))

        # The session ends; at the next login the session starts the entry.
        program.process.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait(), 0)
        session_start = Wavecrest(self.home, *command[1:], binary=command[0])
        self.started.append(session_start)
        session_start.wait_for_window(visible=False)
        session_start.wait_until_listening()
        session_start.wait_for_start_refresh(count=2)
        time.sleep(0.5)
        self.assertEqual(session_start.windows(visible_only=True), [])

        # Brought up by a plain start, the check box removes the entry again.
        self.assertEqual(self.start().wait(), 0)
        window = session_start.wait_for_window(visible=True)
        click(window, TAB_SETTINGS)
        time.sleep(1)
        click(window, AUTO_STARTUP_CHECK_BOX)
        self.assertTrue(wait_until(lambda: not os.path.exists(entry), 10))


if __name__ == "__main__":
    unittest.main()
