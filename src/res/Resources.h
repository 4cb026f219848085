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

namespace res
{
// Names of the image strips (bitmaps 110 to 113).
inline constexpr const char* kRibbonSmallImages = "IDB_RIBBON_SMALL"; // 11 images, 16x16
inline constexpr const char* kRibbonLargeImages = "IDB_RIBBON_LARGE"; // 3 images, 32x32
inline constexpr const char* kAppButtonImage = "IDB_APP_BUTTON";      // 1 image, 26x26
inline constexpr const char* kPanelImages = "IDB_PANEL_IMAGES";       // 28 images, 16x16

// One square image of a strip; an empty bitmap for index -1 or past the end.
wxBitmap StripImage(const char* strip, int index, int size);
} // namespace res
