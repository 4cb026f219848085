"""The program's windows as a screen reader reads them, through AT-SPI: the
widgets of one process with their roles, names and sizes on the screen.

The program reaches the accessibility bus through the session bus, so a test
that reads it starts the program with `reading_environment()` on the
private session bus that the test command gives each end-to-end test."""

import os

try:
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
except (ImportError, ValueError):
    Atspi = None


def available():
    return Atspi is not None and bool(os.environ.get("DBUS_SESSION_BUS_ADDRESS"))


def reading_environment():
    """What a program started for reading needs in its environment."""
    return dict(DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
                NO_AT_BRIDGE="0")


class Widget:
    def __init__(self, role, name, size, place):
        self.role, self.name, self.size, self.place = role, name, size, place

    def __repr__(self):
        return "%s %r %dx%d" % (self.role, self.name, *self.size)


def _children(node):
    try:
        return [node.get_child_at_index(i) for i in range(node.get_child_count())]
    except gi.repository.GLib.Error:
        return []  # gone while it was read


def widgets(pid):
    """Every widget of the process that is on the screen, in the order of
    the window tree; [] while the process has no accessible application."""
    desktop = Atspi.get_desktop(0)
    found = []
    for application in _children(desktop):
        try:
            if application is None or application.get_process_id() != pid:
                continue
        except gi.repository.GLib.Error:
            continue
        pending = [application]
        while pending:
            node = pending.pop(0)
            try:
                states = node.get_state_set()
                if node is not application and not states.contains(Atspi.StateType.SHOWING):
                    continue
                extents = node.get_extents(Atspi.CoordType.SCREEN)
                found.append(Widget(node.get_role_name(), node.get_name() or "",
                                    (extents.width, extents.height), (extents.x, extents.y)))
            except gi.repository.GLib.Error:
                continue
            pending[:0] = [child for child in _children(node) if child is not None]
    return found
