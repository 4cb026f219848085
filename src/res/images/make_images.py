#!/usr/bin/env python3
"""Draws the ribbon's image strips as SVG and renders them to PNG with
rsvg-convert (package librsvg2-bin). Run it after changing a picture; the
PNG files are committed, so building needs neither this script nor rsvg.

Strips (images side by side, 32 bits per pixel):
  ribbon_small.png   bitmap 110: 18 images of 16x16
  ribbon_large.png   bitmap 111: 10 images of 32x32
  app_button.png     bitmap 112:  1 image of 26x26
  panel_images.png   bitmap 113: 28 images of 16x16
"""
import os
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

# Each glyph is drawn in a 32x32 box; strips scale it to their image size.
ACCENT = "#1f6fc5"
GLYPHS = {
    "stop": '<rect x="7" y="7" width="18" height="18" rx="3" fill="#c0392b"/>',
    "play": '<path d="M9 5 L27 16 L9 27 Z" fill="#2e9d47"/>',
    "next": '<path d="M5 6 L17 16 L5 26 Z M15 6 L27 16 L15 26 Z" fill="%s"/>' % ACCENT,
    "previous": '<path d="M27 6 L15 16 L27 26 Z M17 6 L5 16 L17 26 Z" fill="%s"/>' % ACCENT,
    "refresh": ('<path d="M16 5 A11 11 0 1 0 27 16" fill="none" stroke="%s" stroke-width="4"'
                ' stroke-linecap="round"/><path d="M16 0 L23 6 L16 11 Z" fill="%s"/>'
                % (ACCENT, ACCENT)),
    "hide": ('<rect x="4" y="6" width="24" height="18" rx="2" fill="none" stroke="#555" '
             'stroke-width="3"/><path d="M10 26 L22 26" stroke="#555" stroke-width="4"/>'),
    "radio": ('<rect x="3" y="11" width="26" height="17" rx="3" fill="#6d4c41"/>'
              '<circle cx="11" cy="19.5" r="5" fill="#d7ccc8"/><path d="M8 11 L24 3" '
              'stroke="#444" stroke-width="2"/>'),
    "tv": ('<rect x="3" y="6" width="26" height="18" rx="2" fill="#37474f"/>'
           '<rect x="6" y="9" width="20" height="12" fill="#80deea"/>'
           '<path d="M11 28 L21 28" stroke="#37474f" stroke-width="3"/>'),
    "settings": ('<circle cx="16" cy="16" r="9" fill="none" stroke="#607d8b" '
                 'stroke-width="6" stroke-dasharray="4 3"/><circle cx="16" cy="16" r="4" '
                 'fill="#607d8b"/>'),
    "web": ('<circle cx="16" cy="16" r="12" fill="#4fc3f7" stroke="%s" stroke-width="2"/>'
            '<path d="M4 16 L28 16 M16 4 C9 10 9 22 16 28 C23 22 23 10 16 4" fill="none" '
            'stroke="%s" stroke-width="2"/>' % (ACCENT, ACCENT)),
    "cart": ('<path d="M3 6 L8 6 L11 21 L26 21 L28 10 L9 10" fill="none" stroke="#455a64" '
             'stroke-width="3" stroke-linejoin="round"/><circle cx="12" cy="26" r="2.5" '
             'fill="#455a64"/><circle cx="24" cy="26" r="2.5" fill="#455a64"/>'),
    "about": ('<circle cx="16" cy="16" r="13" fill="%s"/><rect x="14" y="14" width="4" '
              'height="11" fill="white"/><circle cx="16" cy="9" r="2.5" fill="white"/>'
              % ACCENT),
    "panel": ('<rect x="3" y="3" width="26" height="26" rx="4" fill="#e3f2fd" stroke="%s" '
              'stroke-width="2"/><path d="M9 12 L23 12 M9 17 L23 17 M9 22 L18 22" '
              'stroke="%s" stroke-width="2.5"/>' % (ACCENT, ACCENT)),
    # Play the next or previous channel: the play triangle against a bar.
    "skip_next": ('<path d="M5 6 L20 16 L5 26 Z" fill="#2e9d47"/>'
                  '<rect x="21" y="6" width="5" height="20" rx="1" fill="#2e9d47"/>'),
    "skip_previous": ('<path d="M27 6 L12 16 L27 26 Z" fill="#2e9d47"/>'
                      '<rect x="6" y="6" width="5" height="20" rx="1" fill="#2e9d47"/>'),
    # The window goes down into the panel's tray.
    "to_tray": ('<rect x="4" y="3" width="24" height="17" rx="2" fill="#e3f2fd" stroke="#455a64" '
                'stroke-width="2"/><path d="M16 8 L16 20 M11 16 L16 21 L21 16" fill="none" '
                'stroke="%s" stroke-width="3" stroke-linecap="round" stroke-linejoin="round"/>'
                '<rect x="3" y="24" width="26" height="5" rx="1.5" fill="#455a64"/>' % ACCENT),
    # A radio of one's own: the radio with a plus.
    "add_channel": ('<rect x="2" y="13" width="22" height="15" rx="3" fill="#6d4c41"/>'
                    '<circle cx="9" cy="20.5" r="4" fill="#d7ccc8"/><path d="M6 13 L18 6" '
                    'stroke="#444" stroke-width="2"/><circle cx="24" cy="9" r="7" fill="#2e9d47"/>'
                    '<path d="M24 5 L24 13 M20 9 L28 9" stroke="white" stroke-width="2.5"/>'),
    # The page in a window of the browser: a window with an arrow out of it.
    "open_window": ('<rect x="3" y="8" width="20" height="20" rx="2" fill="#e3f2fd" '
                    'stroke="#455a64" stroke-width="2"/><path d="M3 13 L23 13" stroke="#455a64" '
                    'stroke-width="2"/><path d="M13 18 L26 5 M18 5 L26 5 L26 13" fill="none" '
                    'stroke="%s" stroke-width="3" stroke-linecap="round" '
                    'stroke-linejoin="round"/>' % ACCENT),
    # Load the web page again: a page with the turning arrow.
    "page_refresh": ('<path d="M6 3 L19 3 L26 10 L26 29 L6 29 Z" fill="#e3f2fd" stroke="#455a64" '
                     'stroke-width="2" stroke-linejoin="round"/><path d="M16 12 A6 6 0 1 0 22 18"'
                     ' fill="none" stroke="%s" stroke-width="3" stroke-linecap="round"/>'
                     '<path d="M15 8 L20.5 12 L15 16 Z" fill="%s"/>' % (ACCENT, ACCENT)),
    # Keep the station: a star with a plus.
    "keep_station": ('<path d="M14 2 L17.3 9.9 L25.8 10.6 L19.3 16.2 L21.3 24.5 L14 20.1 '
                     'L6.7 24.5 L8.7 16.2 L2.2 10.6 L10.7 9.9 Z" fill="#f5b400" stroke="#a87800" '
                     'stroke-width="1.5" stroke-linejoin="round"/><circle cx="24" cy="24" r="7" '
                     'fill="#2e9d47"/><path d="M24 20 L24 28 M20 24 L28 24" stroke="white" '
                     'stroke-width="2.5"/>'),
    "wave": ('<circle cx="16" cy="16" r="15" fill="%s"/><path d="M4 19 C9 11 13 11 16 17 '
             'C19 23 23 23 28 14" fill="none" stroke="white" stroke-width="3.5" '
             'stroke-linecap="round"/>' % ACCENT),
}

# New images go at the end of a strip: the places of the others stay.
COMMANDS = ["skip_next", "skip_previous", "to_tray", "add_channel", "open_window",
            "page_refresh", "keep_station"]
SMALL = ["stop", "play", "next", "previous", "refresh", "hide", "radio", "tv",
         "settings", "web", "cart"] + COMMANDS
LARGE = ["stop", "play", "refresh"] + COMMANDS
PANEL_BASE = ["about", "play", "stop", "next", "previous", "refresh", "hide", "panel",
              "radio", "tv", "settings", "web", "cart", "wave"]
PANEL = (PANEL_BASE * 2)[:28]


def strip_svg(names, size):
    parts = []
    for index, name in enumerate(names):
        parts.append('<g transform="translate(%d 0) scale(%g)">%s</g>'
                     % (index * size, size / 32.0, GLYPHS[name]))
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d">%s</svg>'
            % (size * len(names), size, "".join(parts)))


def render(svg, output):
    with tempfile.NamedTemporaryFile("w", suffix=".svg", delete=False) as file:
        file.write(svg)
        name = file.name
    try:
        subprocess.run(["rsvg-convert", name, "-o", os.path.join(HERE, output)], check=True)
    finally:
        os.unlink(name)


if __name__ == "__main__":
    render(strip_svg(SMALL, 16), "ribbon_small.png")
    render(strip_svg(LARGE, 32), "ribbon_large.png")
    render(strip_svg(["wave"], 26), "app_button.png")
    render(strip_svg(PANEL, 16), "panel_images.png")
