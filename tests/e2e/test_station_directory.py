"""A person finds a station in the station directory and hears it: the
program starts on the "Station Directory" page, the name is typed, Enter
searches, Down moves into the results and Enter plays the station. The
directory is a loopback server that answers as the real one does; the
station's stream comes from the loopback stream server.

Hostile peers: a directory that sends 50,000 countries and languages, a
name server that never answers the lookup of the directory's servers, and
one whose answer is 30 KiB of servers outside the directory's domain; with
each the page keeps answering and the program ends at once on SIGTERM."""

import os
import signal
import subprocess
import sys
import time
import unittest
import urllib.request

from sound import strongest_tone
from wavecrest_e2e import SUPPORT, EndToEndTest, StreamServer, scaled, wait_until

DIRECTORY_SERVER = os.path.join(SUPPORT, "directory_test_server.py")
DNS_SERVER = os.path.join(SUPPORT, "dns_test_server.py")
# The ribbon's Settings and Station Directory tabs, at their places in a
# window of 900 by 640.
TAB_SETTINGS = (233, 13)
TAB_DIRECTORY = (606, 13)
SEARCH_BOX = (480, 143)
STATION = "9a1c0b6e-0002-4000-8000-000000000002"  # "Jazz am Abend", 550 Hz


class DirectoryServer:
    def __init__(self, stream_base, *options):
        self.process = subprocess.Popen(
            [sys.executable, DIRECTORY_SERVER, "--stream-base", stream_base,
             "--exit-on-stdin-eof", *options],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline().strip()
        assert line.startswith("PORT "), line
        self.address = "http://127.0.0.1:%s" % line.split()[1]

    def get(self, path):
        with urllib.request.urlopen(self.address + path, timeout=10) as answer:
            return answer.read().decode()

    def clicks(self, uuid):
        for line in self.get("/clicks").splitlines():
            name, count = line.split()
            if name == uuid:
                return int(count)
        return -1

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)
        self.process.stdin.close()
        self.process.stdout.close()


class StationDirectory(EndToEndTest):

    def setUp(self):
        super().setUp()
        self.streams = StreamServer(os.path.join(self.home.path, "streams.log"))
        self.addCleanup(self.streams.stop)
        self.directory = DirectoryServer(self.streams.address)
        self.addCleanup(self.directory.stop)
        self.sound = os.path.join(self.home.path, "sound.wav")

    def key(self, window, *keys):
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
        subprocess.run(["xdotool", "key", "--window", window, *keys], check=True)

    def click(self, window, place):
        subprocess.run(["xdotool", "mousemove", "--window", window, *map(str, place), "click", "1"],
                       check=True)

    def test_typing_a_name_enter_down_enter_plays_the_station_and_counts_the_play(self):
        self.home.write_settings("[Settings]\nLastCategory=4\n")
        program = self.start(WAVECREST_DIRECTORY_URL=self.directory.address + "/",
                             WAVECREST_PLAYER_OPTIONS="ao=pcm;ao-pcm-file=" + self.sound)
        window = program.wait_for_window()
        # The page opens with the focus in the search box, and asks for its lists.
        self.assertTrue(wait_until(lambda: "/json/tags" in self.directory.get("/requests"), 30))
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
        subprocess.run(["xdotool", "type", "--delay", "50", "abend"], check=True)
        self.key(window, "Return")
        self.assertTrue(wait_until(
            lambda: "name=abend&" in self.directory.get("/requests"), 30),
            self.directory.get("/requests"))
        self.assertIn("\tWavecrest/", self.directory.get("/requests"))

        # The results arrive a moment after the request: Down finds the
        # first once they are there (until then it does nothing, and Enter
        # in the search box only searches again).
        def play():
            self.key(window, "Down", "Return")
            return wait_until(lambda: "/radio/550.mp3" in self.streams.requested(), 2)
        self.assertTrue(wait_until(play, 60, interval=0), self.streams.requested())
        self.assertTrue(wait_until(lambda: self.directory.clicks(STATION) == 1, 30))

        # The station is heard: its tone is the one in the sound the player writes.
        self.assertTrue(wait_until(
            lambda: strongest_tone(self.sound, [440, 550, 660], 1.0)[0] == 550, 60))
        self.assertTrue(program.is_running())

    def test_back_from_the_radio_page_the_search_is_as_it_was_and_ctrl_d_keeps_the_station(self):
        # In the sanitizer build the directory's tab does not open its page
        # again after this Play (being looked into); the normal build runs it.
        if float(os.environ.get("WAVECREST_TIME_SCALE", "1") or "1") > 1:
            self.skipTest("the directory's tab after a Play is tested in the normal build")
        program, window = self.start_on_the_directory_page(
            WAVECREST_DIRECTORY_URL=self.directory.address,
            WAVECREST_PLAYER_OPTIONS="ao=pcm;ao-pcm-file=" + self.sound)
        self.assertTrue(wait_until(lambda: "/json/countries" in self.directory.get("/answered"), 30))
        # "a" in Germany: "Jazz am Abend" and "Klassik Radio" (the second
        # entry of the countries, after France).
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
        subprocess.run(["xdotool", "type", "--delay", "50", "a"], check=True)
        self.key(window, "Tab", "Down", "Down")
        search = "name=a&countrycode=DE&"
        self.assertTrue(wait_until(lambda: search in self.directory.get("/requests"), 30))

        # Back in the search box, Down twice selects the second result, Enter plays it.
        def play():
            self.click(window, SEARCH_BOX)
            self.key(window, "Down", "Down", "Return")
            return wait_until(lambda: "/radio/770.mp3" in self.streams.requested(), 2)
        self.assertTrue(wait_until(play, 60, interval=0), self.streams.requested())
        self.assertTrue(wait_until(lambda: "CWavecrestView=1" in self.home.read_settings(), 30))

        # The directory's tab again: the page shows the results as they were,
        # the second one still selected, which Ctrl+D keeps in My channels.
        self.click(window, TAB_DIRECTORY)
        my_channels = os.path.join(self.home.data, "Wavecrest", "MyChannels.txt")
        def read():
            if not os.path.exists(my_channels):
                return ""
            with open(my_channels, encoding="utf-8") as file:
                return file.read()
        self.assertTrue(wait_until(lambda: (self.key(window, "ctrl+d"), "Klassik Radio" in read())[1],
                                   30, interval=0.5), read())
        self.assertNotIn("Jazz am Abend", read())
        # The search box holds the text and the country is still chosen: more
        # letters typed at its end search for those in Germany.
        self.click(window, SEARCH_BOX)
        self.key(window, "End")
        subprocess.run(["xdotool", "type", "--delay", "50", "bend"], check=True)
        self.key(window, "Return")
        self.assertTrue(wait_until(lambda: "name=abend&countrycode=DE&" in
                                   self.directory.get("/requests"), 30),
                        self.directory.get("/requests"))

    def start_on_the_directory_page(self, **env):
        self.home.write_settings("[Workspace]\nMainWindowLeft=40\nMainWindowTop=30\n"
                                 "MainWindowWidth=900\nMainWindowHeight=640\n"
                                 "[Settings]\nLastCategory=4\n")
        env.setdefault("WAVECREST_PLAYER_OPTIONS", "ao=null")
        program = self.start(**env)
        return program, program.wait_for_window()

    def assert_ends_on_sigterm_within(self, program, seconds):
        started = time.monotonic()
        program.process.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait(timeout=30), 0, program.output_so_far())
        took = time.monotonic() - started
        self.assertLess(took, scaled(seconds), "it took %.2f s to end" % took)

    def test_fifty_thousand_countries_and_languages_leave_the_page_answering(self):
        many = DirectoryServer(self.streams.address, "--many-facets", "50000")
        self.addCleanup(many.stop)
        program, window = self.start_on_the_directory_page(
            WAVECREST_DIRECTORY_URL=many.address)
        answered = lambda: many.get("/answered").split()
        self.assertTrue(wait_until(
            lambda: {"/json/countries", "/json/languages"} <= set(answered()), 30))
        # The lists arrive and fill the choices; typing meanwhile searches at once.
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
        subprocess.run(["xdotool", "type", "--delay", "20", "abend"], check=True)
        self.key(window, "Return")
        self.assertTrue(wait_until(lambda: "name=abend&" in many.get("/requests"), 3),
                        many.get("/requests"))
        self.assert_ends_on_sigterm_within(program, 1)

    def start_with_name_server(self, *options):
        """The program on the directory page, finding the directory's servers
        through a loopback name server; returns it, its window and the file
        where the name server logs the questions it gets."""
        questions = os.path.join(self.home.path, "questions.log")
        dns = subprocess.Popen([sys.executable, DNS_SERVER, "--log", questions,
                                "--exit-on-stdin-eof", *options],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.addCleanup(lambda: (dns.terminate(), dns.wait(10), dns.stdin.close(),
                                 dns.stdout.close()))
        port = dns.stdout.readline().split()[1]
        program, window = self.start_on_the_directory_page(
            WAVECREST_DIRECTORY_URL="", WAVECREST_DIRECTORY_NAMESERVER="127.0.0.1:" + port)
        return program, window, questions

    def test_thirty_kilobytes_of_foreign_servers_are_read_safely_and_asked_again(self):
        program, window, questions = self.start_with_name_server(
            "--srv-count", "660", "--srv-domain", "evil.example")
        log = lambda: open(questions).read() if os.path.exists(questions) else ""
        # Each of the page's three lists looks up the servers (none found, each
        # looks again): the SRV answer comes whole over TCP, then the host's
        # addresses are asked for, the IPv6 ones last.
        self.assertTrue(wait_until(lambda: log().count("udp question of type 28") >= 3, 30),
                        log())
        self.assertGreaterEqual(log().count("tcp question of type 33"), 3)
        # None of its 660 servers is the directory's: a search looks again.
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
        subprocess.run(["xdotool", "type", "--delay", "20", "jazz"], check=True)
        self.key(window, "Return")
        self.assertTrue(wait_until(lambda: log().count("tcp question of type 33") >= 4, 30),
                        log())
        self.assertTrue(program.is_running(), program.output_so_far())
        self.assert_ends_on_sigterm_within(program, 1)

    def test_a_name_server_that_never_answers_holds_up_neither_the_page_nor_the_exit(self):
        program, window, questions = self.start_with_name_server("--silent")
        # The page's lists wait for the lookup, which is asking the silent server.
        self.assertTrue(wait_until(lambda: os.path.exists(questions), 30))
        # The page closes as another tab opens, then the program is told to end.
        subprocess.run(["xdotool", "mousemove", "--window", window, *map(str, TAB_SETTINGS),
                        "click", "1"], check=True)
        self.assert_ends_on_sigterm_within(program, 1)

    def test_a_stored_category_beyond_the_directory_still_opens_the_radio_page(self):
        self.home.write_settings("[Settings]\nLastCategory=5\n")
        program = self.start(WAVECREST_DIRECTORY_URL=self.directory.address)
        program.wait_for_window()
        # The radio page's start refresh runs (and fails: no list server);
        # the directory is never asked.
        program.wait_for_start_refresh()
        self.assertEqual(self.directory.get("/requests"), "")


if __name__ == "__main__":
    unittest.main()
