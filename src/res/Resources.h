#pragma once
// The program's compiled-in resources.

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

namespace res
{

// Loads the XRC dialogs once; later calls do nothing.
void LoadXrcResources();

// The application icon (icon 128) at the given size in pixels.
wxBitmap AppIcon(int size);
// The application icon at the sizes window managers ask for.
wxIconBundle AppIconBundle();

} // namespace res
