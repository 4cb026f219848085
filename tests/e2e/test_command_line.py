"""The command line as a person at a terminal meets it: --help and --version
answer without a window (and without a display), a start without a display
says so in one line, and a normal start writes nothing on standard error."""

import os
import signal
import subprocess
import tempfile
import unittest

from wavecrest_e2e import BINARY, EndToEndTest, scaled, wait_until



class CommandLine(EndToEndTest):

    def run_without_display(self, *args):
        env = self.home.environment()
        env.pop("DISPLAY", None)
        return subprocess.run([BINARY, *args], env=env, capture_output=True, text=True,
                              timeout=scaled(30))

    def test_help_version_no_display_and_a_quiet_start(self):
        usage = self.run_without_display("--help")
        self.assertEqual((usage.returncode, usage.stderr), (0, ""))
        for shown in (":silent", "NUMBER", "PLAYLIST", "WAVECREST_PLAYER_OPTIONS"):
            self.assertIn(shown, usage.stdout)
        version = self.run_without_display("--version")
        self.assertEqual((version.returncode, version.stderr), (0, ""))
        self.assertRegex(version.stdout, r"^Wavecrest \d+\.\d+\.\d+\n$")
        unknown = self.run_without_display("--verbose")
        self.assertEqual(unknown.returncode, 2)
        self.assertIn("--help", unknown.stderr)

        lonely = self.run_without_display()
        self.assertEqual(lonely.returncode, 1)
        self.assertEqual(lonely.stdout, "")
        self.assertEqual(len(lonely.stderr.splitlines()), 1, lonely.stderr)
        self.assertIn("no display", lonely.stderr)

        # A first start fits the window to its page; the later ones lay the
        # page out in the window's stored size. Neither writes anything.
        for start in ("first", "later"):
            self.assertEqual(self.quiet_start_errors(), [], start)

    def quiet_start_errors(self):
        """The lines a start writes on standard error until it has shown its
        window and tried its station list, and the session ends."""
        env = self.home.environment()
        if os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            env["DBUS_SESSION_BUS_ADDRESS"] = os.environ["DBUS_SESSION_BUS_ADDRESS"]
        errors = tempfile.TemporaryFile(mode="w+")
        self.addCleanup(errors.close)
        program = subprocess.Popen([BINARY], env=env, stdout=subprocess.DEVNULL, stderr=errors)
        self.addCleanup(lambda: program.poll() is None and program.kill())
        shown = lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                        str(program.pid), "--name", "^Wavecrest by Tolvane$"],
                                       capture_output=True, text=True).stdout.split()
        messages = len(self.home.modal_messages())
        self.assertTrue(wait_until(shown, 15), "no window appeared")
        self.assertTrue(wait_until(lambda: len(self.home.modal_messages()) > messages, 30))
        program.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait(timeout=scaled(15)), 0)
        errors.seek(0)
        return errors.read().splitlines()

if __name__ == "__main__":
    unittest.main()
