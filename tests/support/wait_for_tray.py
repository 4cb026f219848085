"""Waits until a notification area owns the system-tray selection of screen 0
on $DISPLAY (the selection `_NET_SYSTEM_TRAY_S0`), or until the time limit.

Usage: wait_for_tray.py [SECONDS]   (exit status 0 when it is there, 1 when not)
"""

import ctypes
import ctypes.util
import sys
import time


def tray_owner_present():
    xlib = ctypes.CDLL(ctypes.util.find_library("X11"))
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XGetSelectionOwner.restype = ctypes.c_ulong
    xlib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(None)
    if not display:
        return False
    try:
        selection = xlib.XInternAtom(display, b"_NET_SYSTEM_TRAY_S0", 0)
        return xlib.XGetSelectionOwner(display, selection) != 0
    finally:
        xlib.XCloseDisplay(display)


def main():
    limit = float(sys.argv[1]) if len(sys.argv) > 1 else 15.0
    deadline = time.monotonic() + limit
    while not tray_owner_present():
        if time.monotonic() > deadline:
            return 1
        time.sleep(0.05)
    return 0


if __name__ == "__main__":
    sys.exit(main())
