#pragma once
// How the toolkit (GTK) is started: what the environment tells it before it
// opens the display, given back to the environment afterwards so that the
// programs Wavecrest starts (the browser, the web pages' processes) see the
// person's own environment.

namespace platform
{

// Before the toolkit starts (before wxEntry): X11 always (embedding the
// player and the global hot keys need it; in a Wayland session the program
// runs through XWayland), and no OpenGL in GDK itself. GDK would otherwise
// open the system's OpenGL driver at the start only to choose its window
// visuals: tens of megabytes resident (the software driver brings a whole
// compiler along) that radio never uses. The video picture's GL canvas
// talks to GLX itself and loads the driver when a picture first comes.
void BeforeToolkitStart();

// Whether the toolkit will find a display to open: with GTK's X11 backend
// (the one BeforeToolkitStart chooses), the X server DISPLAY names must
// accept a connection. With a backend the person chose, the toolkit decides.
bool DisplayCanBeOpened();

// Once the toolkit has started (GDK reads the setting only then): takes
// back what BeforeToolkitStart added to the environment for GDK alone.
void AfterToolkitStart();

} // namespace platform
