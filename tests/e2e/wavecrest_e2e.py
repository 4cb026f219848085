"""Helpers for end-to-end tests: start the real build/wavecrest with its own
temporary home, find its windows on the test X server, and clean up.

The tests run under the X server that the README's test command starts
(DISPLAY is set); WAVECREST_BUILD_DIR names the build folder.
"""

import ctypes
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

SUPPORT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support")
sys.path.insert(0, SUPPORT)
from wait_for_tray import tray_owner_present  # noqa: E402

STREAM_SERVER = os.path.join(SUPPORT, "stream_server.py")

TITLE = "Wavecrest by Tolvane"
BUILD_DIR = os.environ.get(
    "WAVECREST_BUILD_DIR",
    os.path.join(os.path.dirname(__file__), "..", "..", "build"))
BINARY = os.path.join(BUILD_DIR, "wavecrest")
CLOSE_TOOL = os.path.join(BUILD_DIR, "tests", "x_close_window")
# What the sanitizers of a sanitizer build write when they find an error.
# UBSan always writes to the program's standard error, also where the test
# command sends the other sanitizers' reports to files.
SANITIZER_REPORT = re.compile(
    r"runtime error: |ERROR: \w+Sanitizer|^SUMMARY: \w+Sanitizer", re.MULTILINE)


# The sanitizer build runs several times slower: the test command scales
# every time limit by this factor there.
TIME_SCALE = float(os.environ.get("WAVECREST_TIME_SCALE", "1") or "1")


def scaled(seconds):
    return seconds * TIME_SCALE


def wait_until(condition, timeout=10.0, interval=0.05):
    """Polls until condition() is true or the (scaled) time limit has passed;
    returns its last value."""
    deadline = time.monotonic() + scaled(timeout)
    while True:
        value = condition()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(interval)


# The OpenGL driver's libraries (Mesa's; its software driver brings LLVM).
GL_DRIVER = ("libGLX_mesa", "_dri.so", "libLLVM")


def mapped(pid, *names):
    """Which of the library names the process has mapped (/proc/PID/maps)."""
    with open("/proc/%d/maps" % pid, encoding="utf-8") as file:
        maps = file.read()
    return [name for name in names if name in maps]


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def utf16_station_list(lines):
    """A station-list file's bytes: UTF-16 lines ending in CR LF."""
    return "\r\n".join(lines).encode("utf-16-le") + "\r\n".encode("utf-16-le")


def playerctl(*args):
    """What the desktop's media controls see of the program (on the test's bus)."""
    result = subprocess.run(["playerctl", "--player=wavecrest", *args],
                            capture_output=True, text=True, timeout=10)
    return result.stdout.strip()


class StreamServer:
    """tests/support/stream_server.py on loopback: radio and TV streams, and
    files at the paths of `routes` ("PATH=FILE"). A station list that names
    the server's own streams needs its port before it starts: `port` then
    names one from free_port()."""

    def __init__(self, log, *routes, port=None):
        arguments = [sys.executable, STREAM_SERVER, "--log", log]
        if port:
            arguments += ["--port", str(port)]
        for route in routes:
            arguments += ["--route", route]
        self.log = log
        self.process = subprocess.Popen(arguments, stdout=subprocess.PIPE, text=True,
                                        start_new_session=True)
        self.address = self.process.stdout.readline().strip()

    def requested(self):
        """Every path asked for so far, in order."""
        try:
            with open(self.log, encoding="utf-8") as file:
                return [line.strip() for line in file if line.strip()]
        except FileNotFoundError:
            return []

    def stop(self):
        """Ends the server and every ffmpeg it started. A server that does not
        end when asked (its encoders may be slow to stop on a loaded machine)
        is killed with its whole process group, so that nothing it started
        outlives the test and holds the test runner's output open."""
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=scaled(10))
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait(timeout=10)
        self.process.stdout.close()


class _XImage(ctypes.Structure):
    """The leading fields of Xlib's XImage."""
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


def screen_image(left=0, top=0, width=None, height=None):
    """The screen's pixels in a rectangle (the whole screen by default), read
    from the X server's root window: (bytes, bytes per row, width, height),
    4 bytes a pixel, blue first. None when the screen cannot be read."""
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XDisplayWidth.argtypes = xlib.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xlib.XGetImage.restype = ctypes.POINTER(_XImage)
    xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                               ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    xlib.XFree.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(None)
    if not display:
        return None
    try:
        width = width or xlib.XDisplayWidth(display, 0) - left
        height = height or xlib.XDisplayHeight(display, 0) - top
        image = xlib.XGetImage(display, xlib.XDefaultRootWindow(display), left, top, width,
                               height, 0xffffffff, 2)  # ZPixmap
        if not image:
            return None
        info = image.contents
        try:
            if info.bits_per_pixel != 32:
                return None
            return (ctypes.string_at(info.data, info.bytes_per_line * info.height),
                    info.bytes_per_line, info.width, info.height)
        finally:
            xlib.XFree(info.data)
            xlib.XFree(ctypes.cast(image, ctypes.c_void_p))
    finally:
        xlib.XCloseDisplay(display)


def screen_pixels_of_colour(rgb, tolerance=24, step=4):
    """How many pixels of the whole screen (every `step`th one across and
    down) are within `tolerance` of the colour 0xRRGGBB."""
    image = screen_image()
    if not image:
        return 0
    data, bytes_per_line, width, height = image
    red, green, blue = (rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff
    count = 0
    for y in range(0, height, step):
        row = y * bytes_per_line
        for x in range(0, width, step):
            at = row + 4 * x  # least significant byte first: blue, green, red
            if (abs(data[at + 2] - red) <= tolerance and abs(data[at + 1] - green) <= tolerance
                    and abs(data[at] - blue) <= tolerance):
                count += 1
    return count


def xdotool(*args):
    result = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    return result.stdout.split()


def tray_host_present():
    """True while a notification area owns the system-tray selection of
    screen 0. The test command's tray host is started again when a killed
    test program took it down, and a program started in that moment (rightly)
    behaves as on a desktop without one."""
    return tray_owner_present()


def expects_tray_host():
    return os.environ.get("WAVECREST_NO_TRAY") != "1" and shutil.which("trayer") is not None


def is_tray_icon(window):
    """The tray icon is a window embedded into the notification area."""
    text = subprocess.run(["xprop", "-id", window, "_XEMBED_INFO"],
                          capture_output=True, text=True).stdout
    return "_XEMBED_INFO(" in text


def is_dialog(window):
    """Dialogs (the download dialog carries the program's title too)."""
    text = subprocess.run(["xprop", "-id", window, "_NET_WM_WINDOW_TYPE"],
                          capture_output=True, text=True).stdout
    return "_NET_WM_WINDOW_TYPE_DIALOG" in text


def is_main_window(window):
    return not is_tray_icon(window) and not is_dialog(window)


class Home:
    """A private HOME with XDG folders, removed at close()."""

    def __init__(self):
        self.path = tempfile.mkdtemp(prefix="wavecrest-e2e-")
        self.config = os.path.join(self.path, "config")
        self.data = os.path.join(self.path, "data")
        self.runtime = os.path.join(self.path, "runtime")
        for folder in (self.config, self.data, self.runtime):
            os.makedirs(folder, mode=0o700)
        self.modal_log = os.path.join(self.path, "modal.log")

    @property
    def settings_file(self):
        return os.path.join(self.config, "tolvane.example", TITLE + ".conf")

    def environment(self, **extra):
        env = dict(os.environ)
        env.update(HOME=self.path, XDG_CONFIG_HOME=self.config,
                   XDG_DATA_HOME=self.data, XDG_RUNTIME_DIR=self.runtime,
                   WAVECREST_MODAL_LOG=self.modal_log, NO_AT_BRIDGE="1")
        # Nothing outside this machine is ever asked for a station list.
        env.setdefault("WAVECREST_STATION_LIST_URL", "http://127.0.0.1:9/world.zip")
        # Nor does the program appear among the person's media players.
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        env.update(extra)
        return env

    def write_settings(self, text):
        os.makedirs(os.path.dirname(self.settings_file), exist_ok=True)
        with open(self.settings_file, "w", encoding="utf-8") as file:
            file.write(text)

    def read_settings(self):
        try:
            with open(self.settings_file, encoding="utf-8") as file:
                return file.read()
        except FileNotFoundError:
            return ""

    def modal_messages(self):
        try:
            with open(self.modal_log, encoding="utf-8") as file:
                return [m.strip("\n") for m in file.read().split("\f\n") if m.strip()]
        except FileNotFoundError:
            return []

    def close(self):
        shutil.rmtree(self.path, ignore_errors=True)


class Wavecrest:
    """One started process of the program."""

    def __init__(self, home, *args, env=None, binary=BINARY):
        self.home = home
        self.process = subprocess.Popen(
            [binary, *args], env=env or home.environment(),
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self._output = b""
        # The output is read while the program runs, so that a program that
        # writes much never blocks on a full pipe.
        self._reader = threading.Thread(target=self._read_output, daemon=True)
        self._reader.start()

    def _read_output(self):
        descriptor = self.process.stdout.fileno()
        while True:
            try:
                chunk = os.read(descriptor, 65536)
            except OSError:
                return
            if not chunk:
                return
            self._output += chunk

    @property
    def pid(self):
        return self.process.pid

    def windows(self, visible_only=False):
        """The program's main windows: top-level windows titled with its
        title that are neither its tray icon nor a dialog."""
        args = ["search"]
        if visible_only:
            args.append("--onlyvisible")
        found = xdotool(*args, "--pid", str(self.pid), "--name", "^%s$" % TITLE)
        return [window for window in found if is_main_window(window)]

    def wait_for_window(self, visible=True, timeout=15.0):
        found = wait_until(lambda: self.windows(visible_only=visible), timeout)
        if not found:
            raise AssertionError("no %swindow titled %r appeared; output:\n%s" % (
                "visible " if visible else "", TITLE, self.output_so_far()))
        return found[0]

    def wait_until_listening(self, timeout=15.0):
        """Waits until the instance accepts hand-overs from later starts."""
        socket_path = os.path.join(self.home.runtime, "wavecrest.socket")
        if not wait_until(lambda: os.path.exists(socket_path), timeout):
            raise AssertionError("the first instance never started listening")

    def wait_for_start_refresh(self, count=1, timeout=30.0):
        """Waits until the download of the station list that every start runs
        has failed (tests point it at a closed port), so that its modal
        dialog is gone and the window takes clicks again."""
        if not wait_until(lambda: len(self.home.modal_messages()) >= count, timeout):
            raise AssertionError("the start's station-list refresh never ended")

    def wait(self, timeout=15.0):
        return self.process.wait(timeout=scaled(timeout))

    def is_running(self):
        return self.process.poll() is None

    def close_window(self, window):
        subprocess.run([CLOSE_TOOL, window], check=True)

    def output_so_far(self):
        if self.is_running():
            return "(still running)"
        # A program it started (a browser) may still hold the pipe open: the
        # reader is not waited for long.
        self._reader.join(timeout=1)
        return self._output.decode(errors="replace")

    def kill(self):
        if self.is_running():
            self.process.send_signal(signal.SIGKILL)
        self.process.wait(timeout=10)
        self._reader.join(timeout=1)
        if not self._reader.is_alive():
            self.process.stdout.close()


class EndToEndTest(unittest.TestCase):
    """Gives each test a fresh home and ends every process it started."""

    def setUp(self):
        if not os.environ.get("DISPLAY"):
            self.skipTest("needs an X server (DISPLAY)")
        self.home = Home()
        self.started = []
        self.addCleanup(self.home.close)
        self.addCleanup(self.stop_all)

    def start(self, *args, **env):
        if expects_tray_host() and not wait_until(tray_host_present, 15):
            raise AssertionError("the test command's notification area never came back")
        program = Wavecrest(self.home, *args,
                            env=self.home.environment(**env) if env else None)
        self.started.append(program)
        return program

    def serve_station_list(self, rows, *routes, log="requests.log"):
        """Starts a stream server that also serves a station list at
        /world.zip naming the server's own streams: in each of `rows` (list
        lines without the header) "{address}" stands for the server's
        address and "{port}" for its port alone, so the port is chosen
        first. Sets self.address and self.server (ended with the test);
        returns the list file's path."""
        port = free_port()
        self.address = "http://127.0.0.1:%d" % port
        list_file = os.path.join(self.home.path, "world.zip")
        with open(list_file, "wb") as file:
            file.write(utf16_station_list(
                ["Type,Channel,Address,Language,Genre,About,Status"]
                + [row.format(address=self.address, port=port) for row in rows]))
        self.server = StreamServer(os.path.join(self.home.path, log), "/world.zip=" + list_file,
                                   *routes, port=port)
        self.addCleanup(self.server.stop)
        self.assertEqual(self.server.address, self.address)
        return list_file

    def stop_all(self):
        killed = [program for program in self.started if program.is_running()]
        for program in self.started:
            program.kill()
        # A killed program can take the tray host down with it a moment later:
        # the next test starts only once the notification area is back.
        if killed and expects_tray_host():
            time.sleep(0.5)
            wait_until(tray_host_present, 15)
        # In a sanitizer build a report fails the test, also when the test
        # had nothing to check in the program's output.
        reports = [program.output_so_far() for program in self.started
                   if SANITIZER_REPORT.search(program.output_so_far())]
        if reports:
            raise AssertionError("the sanitizers reported errors in wavecrest:\n"
                                 + "\n".join(reports))
