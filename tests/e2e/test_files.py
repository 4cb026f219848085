"""Files of the program's own that are not what they should be: the program
still starts, and leaves them as they are."""

import os
import signal
import stat
import unittest

from wavecrest_e2e import EndToEndTest


class OwnFiles(EndToEndTest):

    def test_a_fifo_as_the_settings_file_is_neither_waited_on_nor_replaced(self):
        os.makedirs(os.path.dirname(self.home.settings_file))
        os.mkfifo(self.home.settings_file, 0o600)
        program = self.start()
        program.wait_for_window(visible=True)
        # At the session's end the settings are written, or would be.
        program.process.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait(), 0)
        self.assertTrue(stat.S_ISFIFO(os.lstat(self.home.settings_file).st_mode))
        self.assertEqual(os.listdir(os.path.dirname(self.home.settings_file)),
                         [os.path.basename(self.home.settings_file)])


if __name__ == "__main__":
    unittest.main()
