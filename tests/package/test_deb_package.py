"""The Debian package as a person installs it: cpack builds it from this
build folder, apt-get installs it together with the libraries it depends on,
its files are where dpkg lists them and pass their validators, the installed
/usr/bin/wavecrest starts, loads a channel list, opens a web page (with the
installed module of the web pages) and ends cleanly, and
removing the package leaves the machine as it was.

The test changes the machine, so it needs root or sudo without a password,
and it leaves a machine alone that already has a wavecrest package. The
build folder is WAVECREST_BUILD_DIR, the cpack program WAVECREST_CPACK.
"""

import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, os.path.join(HERE, "..", "support"))

from stream_server import StreamServer  # noqa: E402  (found through the path above)
from test_pages import TAB_MORE_SOFTWARES, WebSite, click, mapped  # noqa: E402
from wavecrest_e2e import BUILD_DIR, Home, Wavecrest, wait_until  # noqa: E402

CPACK = os.environ.get("WAVECREST_CPACK", "cpack")
PACKAGE = "wavecrest"
PROGRAM = "/usr/bin/wavecrest"
# Every file the package holds; a test program or helper that slipped into
# the install rules would show up as one more.
WEB_MODULE = "/usr/lib/wavecrest/libwavecrest-web.so"
EXPECTED_FILES = {
    "/usr/bin/wavecrest",
    "/usr/bin/wavecrest-stations",
    WEB_MODULE,
    "/usr/share/applications/wavecrest.desktop",
    "/usr/share/metainfo/wavecrest.metainfo.xml",
    "/usr/share/icons/hicolor/scalable/apps/wavecrest.svg",
    "/usr/share/doc/wavecrest/copyright",
    "/usr/share/doc/wavecrest/changelog.gz",
    "/usr/share/man/man1/wavecrest.1.gz",
    "/usr/share/man/man1/wavecrest-stations.1.gz",
    "/usr/share/lintian/overrides/wavecrest",
} | {"/usr/share/icons/hicolor/%dx%d/apps/wavecrest.png" % (size, size)
     for size in (16, 32, 48, 64, 128, 256)}
TONES = [440, 523, 659]
# apt-get waits this long for another apt or dpkg on the machine to finish.
LOCK_WAIT = ["-o", "DPkg::Lock::Timeout=300"]


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, **options)


def package_status(name):
    """dpkg's state of the package ("installed", "config-files", ...), or
    None when dpkg does not know it."""
    result = run(["dpkg-query", "-W", "-f=${db:Status-Status}", name])
    if result.returncode != 0 or result.stdout.strip() in ("", "not-installed"):
        return None
    return result.stdout.strip()


def installed_packages():
    result = run(["dpkg-query", "-W", "-f=${Package}:${Architecture} ${db:Status-Status}\n"])
    return {line.split()[0].split(":")[0] for line in result.stdout.splitlines()
            if line.endswith(" installed")}


def administrator_prefix():
    """[] as root, the sudo command when sudo works without a password, else
    None."""
    if os.geteuid() == 0:
        return []
    if shutil.which("sudo") and run(["sudo", "-n", "true"]).returncode == 0:
        return ["sudo", "-n"]
    return None


def utf16_station_list(lines):
    return "\r\n".join(lines).encode("utf-16-le") + "\r\n".encode("utf-16-le")


def figure(text):
    """A measured figure; scripts/test.sh lists these lines at its end."""
    print("figure: " + text, flush=True)


class DebianPackage(unittest.TestCase):
    """One package is built and installed for all the cases, and removed
    again at the end (also when a case or the installation fails)."""

    @classmethod
    def setUpClass(cls):
        if not shutil.which("dpkg-query") or not shutil.which("apt-get"):
            raise unittest.SkipTest("needs a Debian system (dpkg and apt-get)")
        status = package_status(PACKAGE)
        if status is not None:
            raise unittest.SkipTest(
                "a %s package is already on this machine (dpkg state: %s); "
                "the test installs and removes its own, so it leaves this one "
                "alone" % (PACKAGE, status))
        cls.sudo = administrator_prefix()
        if cls.sudo is None:
            raise unittest.SkipTest("installing a package needs root or sudo without a password")
        if not os.environ.get("DISPLAY"):
            raise unittest.SkipTest("needs an X server (DISPLAY)")

        # apt reads the package file as its own unprivileged user.
        cls.work = tempfile.mkdtemp(prefix="wavecrest-package-")
        os.chmod(cls.work, 0o755)
        cls.addClassCleanup(shutil.rmtree, cls.work, ignore_errors=True)
        cls.deb = cls.build_package()

        cls.installed_here = [PACKAGE]
        cls.addClassCleanup(cls.remove_package)
        cls.install_package()

    @classmethod
    def build_package(cls):
        started = time.monotonic()
        result = run([CPACK, "-G", "DEB", "-B", cls.work], cwd=BUILD_DIR)
        if result.returncode != 0:
            raise AssertionError("cpack failed:\n" + result.stdout + result.stderr)
        found = glob.glob(os.path.join(cls.work, PACKAGE + "_*.deb"))
        if len(found) != 1:
            raise AssertionError("cpack made %r, not one %s_*.deb" % (found, PACKAGE))
        deb = found[0]
        os.chmod(deb, 0o644)
        size = os.path.getsize(deb)
        figure("package %s: %d bytes (%.0f KiB), built in %.1f s" % (
            os.path.basename(deb), size, size / 1024, time.monotonic() - started))
        return deb

    @classmethod
    def install_package(cls):
        # Besides the package itself, apt may add libraries it depends on;
        # those go again at the end, and nothing else does.
        before = installed_packages()
        simulated = run(["apt-get", "install", "-s", "--no-install-recommends", cls.deb])
        would_install = {line.split()[1] for line in simulated.stdout.splitlines()
                         if line.startswith("Inst ")}
        environment = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        result = run(cls.sudo + ["apt-get", "install", "-y", "--no-install-recommends",
                                 *LOCK_WAIT, cls.deb], env=environment)
        added = (installed_packages() - before) & would_install
        cls.installed_here = [PACKAGE] + sorted(added - {PACKAGE})
        if result.returncode != 0:
            raise AssertionError("apt-get install failed:\n" + result.stdout + result.stderr)
        if package_status(PACKAGE) != "installed":
            raise AssertionError("after apt-get install, dpkg's state of %s is %r" % (
                PACKAGE, package_status(PACKAGE)))
        listed = run(["dpkg", "-L", PACKAGE]).stdout.split("\n")
        cls.listed_files = {path for path in listed if path and not os.path.isdir(path)}

    @classmethod
    def remove_package(cls):
        environment = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        result = run(cls.sudo + ["apt-get", "purge", "-y", *LOCK_WAIT, *cls.installed_here],
                     env=environment)
        if result.returncode != 0:
            raise AssertionError("apt-get purge failed:\n" + result.stdout + result.stderr)
        if os.path.exists(PROGRAM) or package_status(PACKAGE) is not None:
            raise AssertionError("%s is still there after apt-get purge" % PROGRAM)
        left = [path for path in getattr(cls, "listed_files", ()) if os.path.lexists(path)]
        if left:
            raise AssertionError("files of the package are left: %r" % left)

    # ---- The installed files ------------------------------------------------

    def test_dpkg_lists_exactly_the_programs_and_their_files_and_they_are_there(self):
        self.assertEqual(self.listed_files, EXPECTED_FILES)
        for path in sorted(self.listed_files):
            self.assertTrue(os.path.isfile(path), path)
        for program in ("/usr/bin/wavecrest", "/usr/bin/wavecrest-stations"):
            self.assertTrue(os.access(program, os.X_OK), program)
        for binary in ("/usr/bin/wavecrest", "/usr/bin/wavecrest-stations", WEB_MODULE):
            description = run(["file", "-b", binary]).stdout
            self.assertIn("ELF", description)
            self.assertIn(", stripped", description)

    def test_the_dependencies_were_computed_from_the_linked_libraries(self):
        depends = run(["dpkg-query", "-W", "-f=${Depends}", PACKAGE]).stdout
        # The web view library comes from the web pages' module.
        for library in ("libmpv", "libwxgtk3.2", "libwxgtk-webview3.2", "libcurl", "libgtk-3",
                        "libx11"):
            self.assertIn(library, depends)
        recommends = run(["dpkg-query", "-W", "-f=${Recommends}", PACKAGE]).stdout
        self.assertIn("ca-certificates", recommends)

    def test_the_desktop_entry_and_the_appstream_description_are_valid(self):
        entry = run(["desktop-file-validate", "/usr/share/applications/wavecrest.desktop"])
        self.assertEqual((entry.returncode, entry.stdout + entry.stderr), (0, ""))
        metainfo = run(["appstreamcli", "validate", "--no-net",
                        "/usr/share/metainfo/wavecrest.metainfo.xml"])
        self.assertEqual(metainfo.returncode, 0, metainfo.stdout + metainfo.stderr)

    def test_the_installed_tool_runs_from_the_path(self):
        result = run(["wavecrest-stations", "--help"],
                     env=dict(os.environ, PATH="/usr/bin:/bin"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("wavecrest-stations dump FILE", result.stdout)

    # ---- The installed program ---------------------------------------------

    def test_the_installed_program_starts_loads_the_channel_list_and_ends_cleanly(self):
        # A station-list server on loopback whose channels are its own streams.
        server = StreamServer()
        lines = ["Type,Channel,Address,Language,Genre,About,Status"]
        for hz in TONES:
            lines.append("Radio,Tone %d,%s/radio/%d.mp3,en,Tones,%d Hz,ON" % (
                hz, server.address, hz, hz))
        server.add_route("/world.zip", utf16_station_list(lines))
        thread = threading.Thread(target=server.serve_forever, daemon=True)
        thread.start()
        self.addCleanup(thread.join, 5)
        self.addCleanup(server.stop)

        home = Home()
        self.addCleanup(home.close)
        # The first channel plays as soon as the list has been loaded: its
        # stream's request is the sign that the list is in the window.
        home.write_settings("[Settings]\nLastChannelIndex=0\nAutoPlay=1\n")
        first_channel = "/radio/%d.mp3" % TONES[0]

        promo = WebSite("More software")
        self.addCleanup(promo.stop)

        started = time.monotonic()
        program = Wavecrest(home, binary=PROGRAM, env=home.environment(
            WAVECREST_STATION_LIST_URL=server.address + "/world.zip",
            WAVECREST_PROMO_URL=promo.address,
            WAVECREST_PLAYER_OPTIONS="ao=null"))
        self.addCleanup(program.kill)
        self.assertEqual(os.readlink("/proc/%d/exe" % program.pid), PROGRAM)
        window = program.wait_for_window(timeout=30)
        window_shown = time.monotonic() - started
        loaded = wait_until(lambda: first_channel in server.requests, timeout=60)
        list_loaded = time.monotonic() - started
        self.assertTrue(loaded, "the first channel was never asked for; requests %r, "
                        "messages %r" % (server.requests, home.modal_messages()))
        self.assertEqual(server.requests.count("/world.zip"), 1, server.requests)
        self.assertEqual(home.modal_messages(), [])
        # The load has used up the downloaded file.
        self.assertEqual(os.listdir(os.path.join(home.data, "Wavecrest")), [])
        figure("installed %s: window shown %.2f s, channel list loaded %.2f s after the start"
               % (PROGRAM, window_shown, list_loaded))

        # The web page finds the installed module of the web pages.
        self.assertEqual(mapped(program.pid, WEB_MODULE), [])
        click(window, TAB_MORE_SOFTWARES)
        self.assertTrue(wait_until(lambda: "GET /" in promo.read_requests(), 30),
                        (promo.requests, program.output_so_far()))
        self.assertEqual(mapped(program.pid, WEB_MODULE), [WEB_MODULE])

        # The session ends: the program closes itself down and reports success.
        program.process.send_signal(signal.SIGTERM)
        try:
            code = program.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.fail("the installed program did not end within 30 s of SIGTERM")
        self.assertEqual(code, 0, program.output_so_far())


def main():
    """unittest's main, except that a run in which every case was skipped
    ends with 77, which CTest reports as skipped."""
    program = unittest.main(exit=False, verbosity=2)
    result = program.result
    if not result.wasSuccessful():
        return 1
    if result.testsRun == len(result.skipped) or (result.testsRun == 0 and result.skipped):
        return 77
    return 0


if __name__ == "__main__":
    sys.exit(main())
