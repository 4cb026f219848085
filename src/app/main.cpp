// Wavecrest: a desktop player for internet radio and TV channels.

#include "app/WavecrestApp.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    // Embedding the player and the global hot keys need X11; in a Wayland
    // session the program runs through XWayland.
    setenv("GDK_BACKEND", "x11", 0);
    wxApp::SetInstance(new CWavecrestApp());
    return wxEntry(argc, argv);
}
