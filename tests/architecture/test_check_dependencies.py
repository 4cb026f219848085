"""The dependency checker on a small project of its own."""

import pathlib
import subprocess
import sys
import tempfile
import unittest

CHECKER = pathlib.Path(__file__).resolve().parent / "check_dependencies.py"

TABLE = """# Architecture

| Library | Purpose | May use |
| --- | --- | --- |
| `src/base` | the bottom | nothing |
| `src/page` | a page | `base` |
"""


class CheckDependenciesTest(unittest.TestCase):
    def test_names_the_file_and_line_of_a_forbidden_include_and_passes_once_it_is_gone(self):
        with tempfile.TemporaryDirectory() as folder:
            project = pathlib.Path(folder)
            (project / "docs").mkdir()
            (project / "docs" / "ARCHITECTURE.md").write_text(TABLE)
            (project / "src" / "base").mkdir(parents=True)
            (project / "src" / "page").mkdir()
            upward = project / "src" / "base" / "Store.h"
            upward.write_text('#pragma once\n#include "base/Other.h"\n  #  include "page/View.h"\n')
            (project / "src" / "page" / "View.cpp").write_text(
                '#include "page/View.h"\n#include "base/Store.h"\n#include <wx/wx.h>\n')

            run = subprocess.run([sys.executable, str(CHECKER), str(project)],
                                 capture_output=True, text=True)
            self.assertEqual(run.returncode, 1, run.stdout + run.stderr)
            self.assertIn('src/base/Store.h:3: base includes "page/View.h"', run.stdout)
            self.assertEqual(run.stdout.count("includes"), 1, run.stdout)

            upward.write_text('#pragma once\n#include "base/Other.h"\n')
            run = subprocess.run([sys.executable, str(CHECKER), str(project)],
                                 capture_output=True, text=True)
            self.assertEqual(run.returncode, 0, run.stdout + run.stderr)

            # A library the table does not know is a failure too.
            (project / "src" / "extra").mkdir()
            run = subprocess.run([sys.executable, str(CHECKER), str(project)],
                                 capture_output=True, text=True)
            self.assertEqual(run.returncode, 1, run.stdout + run.stderr)
            self.assertIn("src/extra", run.stdout)


if __name__ == "__main__":
    unittest.main()
