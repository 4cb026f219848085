"""A person keeps channels of their own: playlists opened with a running
Wavecrest play their first entry and join My channels, also while another
page shows, which are still there after a restart without the station-list
server, where typing a few letters of a name finds one."""

import os
import re
import subprocess
import unittest

from sound import strongest_tone
from wavecrest_e2e import EndToEndTest, is_dialog, wait_until, xdotool

# The radio page's "Add Channel..." button and the ribbon's "Settings" tab,
# relative to the window (fixed for the fonts of the test machine).
ADD_CHANNEL = (708, 80)
TAB_SETTINGS = (233, 13)


def key(*names):
    subprocess.run(["xdotool", "key", *names], check=True)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "30", text], check=True)


class MyChannels(EndToEndTest):

    def setUp(self):
        super().setUp()
        remote = os.path.join(self.home.path, "remote.xspf")
        with open(remote, "w", encoding="utf-8") as file:
            file.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                       '<playlist version="1" xmlns="http://xspf.org/ns/0/"><trackList>\n'
                       '<track><title>Rock &amp; Tone</title>'
                       '<location>../radio/988.mp3</location></track>\n'
                       '</trackList></playlist>\n')
        self.serve_station_list(["Radio,Station Tone,{address}/radio/440.mp3,en,Tones,440 Hz,ON"],
                                "/lists/remote.xspf=%s=application/xspf+xml" % remote)
        self.sound = os.path.join(self.home.path, "sound.wav")
        self.my_channels = os.path.join(self.home.data, "Wavecrest", "MyChannels.txt")

    def write(self, name, text, encoding="utf-8"):
        path = os.path.join(self.home.path, name)
        with open(path, "w", encoding=encoding, newline="") as file:
            file.write(text)
        return path

    def requests_of(self, path):
        return self.server.requested().count(path)

    def start_player(self, *args, list_server_up=True):
        env = {"WAVECREST_PLAYER_OPTIONS": "ao=pcm;ao-pcm-file=" + self.sound}
        if list_server_up:
            env["WAVECREST_STATION_LIST_URL"] = self.address + "/world.zip"
        return self.start(*args, **env)

    def show_settings_page(self, window):
        """Clicks the ribbon's Settings tab and waits until its page has been
        shown (the first showing of a page is written to the settings)."""
        subprocess.run(["xdotool", "mousemove", "--window", window, str(TAB_SETTINGS[0]),
                        str(TAB_SETTINGS[1]), "click", "1"], check=True)
        self.assertTrue(wait_until(lambda: "CRadioSettingsView=1" in self.home.read_settings(),
                                   15), self.home.read_settings())

    def start_on_settings_page(self):
        settings = re.sub(r"(?m)^LastCategory=.*\n", "", self.home.read_settings())
        self.home.write_settings(settings.replace("[Settings]\n", "[Settings]\nLastCategory=1\n",
                                                  1))

    def read_my_channels(self):
        try:
            with open(self.my_channels, encoding="utf-8") as file:
                return file.read()
        except FileNotFoundError:
            return ""

    def test_playlists_handed_over_play_and_stay_across_a_restart_and_a_find_plays_one(self):
        m3u = self.write("list.m3u", (
            "\ufeff#EXTM3U\r\n"
            "#EXTINF:-1 group-title=\"Tones, high\",Tone Five, Two Three\r\n"
            "%s/radio/523.mp3\r\n"
            "#EXTINF:-1,A song on disk\r\n"
            "song.mp3\r\n") % self.address)
        # Saved on Windows: a PLS in Windows-1252, an M3U in Windows-1251
        # that names one stream twice.
        pls = self.write("list.pls", (
            "[playlist]\nFile2=%s/radio/659.mp3\nTitle2=Caf\u00e9 Six Five Nine\u2019s\n"
            "File5=%s/radio/784.mp3\nTitle5=Seven Eight Four\nNumberOfEntries=2\n")
            % (self.address, self.address), encoding="cp1252")
        cyrillic = self.write("cyrillic.m3u", (
            "#EXTM3U\r\n#EXTINF:-1,\u041f\u0435\u0440\u0432\u044b\u0439 \u043a\u0430\u043d\u0430\u043b\r\n"
            "%s/radio/880.mp3\r\n#EXTINF:-1,\u0422\u043e\u0442 \u0436\u0435\r\n%s/radio/880.mp3\r\n")
            % (self.address, self.address), encoding="cp1251")

        first = self.start_player()
        window = first.wait_for_window()
        first.wait_until_listening()
        self.assertTrue(wait_until(lambda: self.requests_of("/world.zip") >= 1, 30))

        later = self.start_player(m3u)
        self.assertEqual(later.wait(), 0)
        self.assertTrue(wait_until(lambda: self.requests_of("/radio/523.mp3") >= 1, 30),
                        self.server.requested())
        # One message says what was left out: the file on disk.
        self.assertTrue(wait_until(lambda: any("1 of the entries" in message
                                               for message in self.home.modal_messages()), 10),
                        self.home.modal_messages())

        later = self.start_player(pls)
        self.assertEqual(later.wait(), 0)
        self.assertTrue(wait_until(lambda: self.requests_of("/radio/659.mp3") >= 1, 30),
                        self.server.requested())
        saved = self.read_my_channels()
        self.assertTrue(saved.startswith("Type,"), saved)
        self.assertIn("Radio,Tone Five\u201a Two Three,%s/radio/523.mp3" % self.address, saved)
        self.assertIn("Radio,Caf\u00e9 Six Five Nine\u2019s,%s/radio/659.mp3" % self.address, saved)
        self.assertIn("Seven Eight Four", saved)
        self.assertNotIn("song.mp3", saved)
        self.assertTrue(wait_until(lambda: "LastChannelIndex=2" in self.home.read_settings(), 10))
        later = self.start_player(cyrillic)
        self.assertEqual(later.wait(), 0)
        self.assertTrue(wait_until(lambda: self.requests_of("/radio/880.mp3") >= 1, 30),
                        self.server.requested())
        merged = "1 of the entries of the playlist %s had the address of an earlier entry and " \
                 "were merged with it." % cyrillic
        self.assertTrue(wait_until(lambda: merged in self.home.modal_messages()[-1], 10),
                        self.home.modal_messages())
        self.assertTrue(wait_until(lambda: self.read_my_channels().endswith(
            "Radio,\u041f\u0435\u0440\u0432\u044b\u0439 \u043a\u0430\u043d\u0430\u043b,%s/radio/880.mp3,,,,ON\n"
            % self.address), 10), self.read_my_channels())
        saved = self.read_my_channels()
        # The same playlist again, while another page shows: the radio page
        # comes forward and plays its first entry as its row, and nothing is
        # added twice.
        self.show_settings_page(window)
        later = self.start_player(m3u)
        self.assertEqual(later.wait(), 0)
        self.assertTrue(wait_until(lambda: self.requests_of("/radio/523.mp3") >= 2, 30),
                        self.server.requested())
        self.assertTrue(wait_until(lambda: "LastChannelIndex=1" in self.home.read_settings(), 10))
        self.assertTrue(wait_until(
            lambda: strongest_tone(self.sound, [523, 659, 784], 1.0)[0] == 523, 60))
        self.assertEqual(self.read_my_channels(), saved)
        first.kill()

        # A new start without the station-list server, on the Settings page,
        # naming a playlist on a web server: it is downloaded, the radio page
        # comes forward, and the entry (relative to it) plays and joins My
        # channels, which still hold the others. The failed download's
        # message is counted from before the start: it may well come before
        # the window is found.
        self.start_on_settings_page()
        messages_before = len(self.home.modal_messages())
        again = self.start_player(self.address + "/lists/remote.xspf", list_server_up=False)
        window = again.wait_for_window()
        again.wait_for_start_refresh(count=messages_before + 1)
        self.assertTrue(wait_until(lambda: self.requests_of("/radio/988.mp3") == 1, 30),
                        self.server.requested())
        self.assertEqual(self.read_my_channels(),
                         saved + "Radio,Rock & Tone,%s/radio/988.mp3,,,,ON\n" % self.address)
        saved = self.read_my_channels()

        # A few letters without their accent find a channel; Enter plays it.
        before = self.requests_of("/radio/659.mp3")
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
        subprocess.run(["xdotool", "key", "ctrl+f"], check=True)
        subprocess.run(["xdotool", "type", "--delay", "50", "CAFE six"], check=True)
        subprocess.run(["xdotool", "key", "Return"], check=True)
        self.assertTrue(wait_until(lambda: self.requests_of("/radio/659.mp3") > before, 30),
                        self.server.requested())
        # Another find, in the group's text this time, plays a channel never
        # played before.
        self.assertEqual(self.requests_of("/radio/784.mp3"), 0)
        subprocess.run(["xdotool", "key", "ctrl+f"], check=True)
        subprocess.run(["xdotool", "type", "--delay", "50", "seven EIGHT"], check=True)
        subprocess.run(["xdotool", "key", "Return"], check=True)
        self.assertTrue(wait_until(lambda: self.requests_of("/radio/784.mp3") == 1, 30),
                        self.server.requested())
        self.assertIn("LastChannelIndex=2", self.home.read_settings())
        # Down moves from the find box into the rows it shows, and Enter
        # plays the one there.
        before = self.requests_of("/radio/523.mp3")
        subprocess.run(["xdotool", "key", "ctrl+f"], check=True)
        subprocess.run(["xdotool", "type", "--delay", "50", "tone five"], check=True)
        subprocess.run(["xdotool", "key", "Down"], check=True)
        subprocess.run(["xdotool", "key", "Return"], check=True)
        self.assertTrue(wait_until(lambda: self.requests_of("/radio/523.mp3") > before, 30),
                        self.server.requested())
        self.assertTrue(wait_until(lambda: "LastChannelIndex=0" in self.home.read_settings(), 10))
        self.assertEqual(self.read_my_channels(), saved)

    def open_add_channel(self, program, window):
        subprocess.run(["xdotool", "mousemove", "--window", window, str(ADD_CHANNEL[0]),
                        str(ADD_CHANNEL[1]), "click", "1"], check=True)
        dialogs = wait_until(lambda: self.dialog_open(program), 15)
        self.assertTrue(dialogs, "the Add Channel dialog did not open")
        subprocess.run(["xdotool", "windowfocus", "--sync", dialogs[0]], check=True)
        return dialogs[0]

    def dialog_open(self, program, title="Add Channel"):
        # The button's tooltip carries the same title: only the dialog counts.
        return [window for window in xdotool("search", "--onlyvisible", "--pid",
                                             str(program.pid), "--name", "^%s$" % title)
                if is_dialog(window)]

    def menu_open(self, program):
        def is_menu(window):
            text = subprocess.run(["xprop", "-id", window, "_NET_WM_WINDOW_TYPE"],
                                  capture_output=True, text=True).stdout
            return "_NET_WM_WINDOW_TYPE_POPUP_MENU" in text
        return [window for window in xdotool("search", "--onlyvisible", "--pid",
                                             str(program.pid), "--name", "")
                if is_menu(window)]

    def test_add_channel_refuses_another_scheme_and_adds_a_stream_that_delete_removes(self):
        program = self.start_player(list_server_up=False)
        window = program.wait_for_window()
        program.wait_for_start_refresh()
        messages = len(self.home.modal_messages())

        # An address of another scheme: the message says why, the dialog
        # stays for a correction, and cancelling it adds nothing.
        dialog = self.open_add_channel(program, window)
        type_text("Files")
        key("Tab")
        type_text("ftp://files.example/radio.mp3")
        key("Return")
        self.assertTrue(wait_until(lambda: len(self.home.modal_messages()) > messages, 10))
        self.assertIn("cannot be played", self.home.modal_messages()[-1])
        self.assertIn("ftp://files.example/radio.mp3", self.home.modal_messages()[-1])
        self.assertTrue(self.dialog_open(program))
        subprocess.run(["xdotool", "windowfocus", "--sync", dialog], check=True)
        key("Escape")
        self.assertTrue(wait_until(lambda: not self.dialog_open(program), 10))
        self.assertEqual(self.read_my_channels(), "")

        # A stream address is added, kept, and plays.
        self.open_add_channel(program, window)
        type_text("Tone Seven Eight Four")
        key("Tab")
        type_text("%s/radio/784.mp3" % self.address)
        key("Return")
        self.assertTrue(wait_until(lambda: self.requests_of("/radio/784.mp3") == 1, 30),
                        self.server.requested())
        self.assertIn("Radio,Tone Seven Eight Four,%s/radio/784.mp3" % self.address,
                      self.read_my_channels())

        # The row's context menu, opened from the keyboard, edits it: the new
        # address is kept, and Enter on the row plays it.
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
        key("shift+F10")
        self.assertTrue(wait_until(lambda: self.menu_open(program), 15),
                        "the context menu did not open")
        key("e")
        dialogs = wait_until(lambda: self.dialog_open(program, "Edit Channel"), 15)
        self.assertTrue(dialogs, "the Edit Channel dialog did not open")
        subprocess.run(["xdotool", "windowfocus", "--sync", dialogs[0]], check=True)
        key("Tab")
        key("ctrl+a")
        type_text("%s/radio/880.mp3" % self.address)
        key("Return")
        self.assertTrue(wait_until(lambda: not self.dialog_open(program, "Edit Channel"), 10))
        self.assertTrue(wait_until(
            lambda: "Radio,Tone Seven Eight Four,%s/radio/880.mp3" % self.address
            in self.read_my_channels(), 10), self.read_my_channels())
        self.assertNotIn("784", self.read_my_channels())
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
        key("Return")
        self.assertTrue(wait_until(lambda: self.requests_of("/radio/880.mp3") == 1, 30),
                        self.server.requested())

        # Delete in the list removes it, once the person agrees.
        messages = len(self.home.modal_messages())
        key("Delete")
        self.assertTrue(wait_until(lambda: "880" not in self.read_my_channels(), 10),
                        self.read_my_channels())
        self.assertIn("Remove \"Tone Seven Eight Four\" from My channels?",
                      self.home.modal_messages()[messages])
        self.assertTrue(self.read_my_channels().startswith("Type,"))


if __name__ == "__main__":
    unittest.main()
