"""Only one Wavecrest runs per user; later starts hand over to it and end."""

import os
import signal
import socket
import time
import unittest

from wavecrest_e2e import (EndToEndTest, TITLE, is_main_window, tray_host_present,
                            wait_until, xdotool)


class SingleInstance(EndToEndTest):

    def start_hidden(self):
        """A first start with ":silent", fully started and hidden. Should the
        test command's tray host have been down at that moment (a killed
        program of an earlier test can take it down), the program rightly
        started iconified and visible instead: it is started once more."""
        for attempt in range(2):
            first = self.start(":silent")
            first.wait_for_window(visible=False)
            first.wait_until_listening()
            first.wait_for_start_refresh(count=1)
            time.sleep(0.5)
            if not first.windows(visible_only=True) or attempt == 1:
                return first
            first.kill()
            self.started.remove(first)
            os.remove(self.home.modal_log)
            wait_until(tray_host_present, 15)

    def test_a_plain_start_shows_the_window(self):
        first = self.start()
        first.wait_for_window(visible=True)

    def test_a_silent_start_stays_hidden(self):
        first = self.start_hidden()
        self.assertEqual(first.windows(visible_only=True), [])
        self.assertTrue(first.is_running())

    def test_a_second_plain_start_shows_the_hidden_first_window_and_ends(self):
        first = self.start(":silent")
        first.wait_for_window(visible=False)
        first.wait_until_listening()
        second = self.start()
        self.assertEqual(second.wait(), 0)
        first.wait_for_window(visible=True)
        # One main window in all: the second start never opened its own.
        windows = [w for w in xdotool("search", "--name", "^%s$" % TITLE)
                   if is_main_window(w)]
        self.assertEqual(len(windows), 1)

    def test_a_second_start_with_a_number_ends_without_showing_the_first(self):
        first = self.start_hidden()
        self.assertEqual(first.windows(visible_only=True), [])
        second = self.start("12")
        self.assertEqual(second.wait(), 0)
        time.sleep(0.5)
        self.assertEqual(first.windows(visible_only=True), [])
        self.assertTrue(first.is_running())

    def test_a_second_start_with_a_negative_number_shows_the_first(self):
        first = self.start("12")  # a number alone also starts hidden
        first.wait_for_window(visible=False)
        first.wait_until_listening()
        second = self.start("-5")
        self.assertEqual(second.wait(), 0)
        first.wait_for_window(visible=True)

    def test_a_second_silent_start_shows_the_first(self):
        first = self.start(":silent")
        first.wait_until_listening()
        second = self.start(":silent")
        self.assertEqual(second.wait(), 0)
        first.wait_for_window(visible=True)

    def test_a_start_after_the_first_was_killed_works(self):
        first = self.start()
        first.wait_for_window(visible=True)
        first.wait_until_listening()
        first.process.send_signal(signal.SIGKILL)
        first.wait()
        self.assertTrue(os.path.exists(os.path.join(self.home.runtime, "wavecrest.socket")))
        second = self.start()
        second.wait_for_window(visible=True)
        second.wait_until_listening()
        time.sleep(0.3)
        self.assertTrue(second.is_running(), second.output_so_far())
        # And it is the running instance now: a third start hands over to it.
        third = self.start("7")
        self.assertEqual(third.wait(), 0)

    def test_a_second_start_ends_in_time_while_the_first_is_stopped(self):
        first = self.start(":silent")
        first.wait_for_window(visible=False)
        first.wait_until_listening()
        first.process.send_signal(signal.SIGSTOP)
        try:
            # Earlier starts have filled the stopped instance's queue of
            # waiting connections; another connection is not even queued.
            waiting = fill_connection_queue(os.path.join(self.home.runtime, "wavecrest.socket"))
            started = time.monotonic()
            second = self.start("12")
            self.assertEqual(second.wait(timeout=12), 0)
            self.assertLess(time.monotonic() - started, 6.0)
        finally:
            first.process.send_signal(signal.SIGCONT)
        for connection in waiting:
            connection.close()
        # Woken again, the first instance is fine and still takes hand-overs.
        third = self.start("-5")
        self.assertEqual(third.wait(), 0)
        first.wait_for_window(visible=True)
        self.assertTrue(first.is_running())

    def test_another_program_with_the_same_title_does_not_count(self):
        other = self.start(XDG_RUNTIME_DIR=self.make_other_runtime())
        other.wait_for_window(visible=True)
        mine = self.start()
        mine.wait_for_window(visible=True)
        self.assertTrue(mine.is_running())

    def make_other_runtime(self):
        # Another user's session: its own runtime folder.
        path = os.path.join(self.home.path, "other-runtime")
        os.makedirs(path, mode=0o700)
        return path


def fill_connection_queue(path):
    """Connects to the socket without sending anything until the listener's
    queue takes no more; gives the connections."""
    connections = []
    while len(connections) < 1000:
        connection = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        connection.setblocking(False)
        try:
            connection.connect(path)
        except BlockingIOError:
            connection.close()
            return connections
        connections.append(connection)
    raise AssertionError("the instance's queue of connections never filled")


if __name__ == "__main__":
    unittest.main()
