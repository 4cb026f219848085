#pragma once
// The window-system window behind a control, for a library that draws into it
// itself (the playback engine draws the picture).

#include <cstdint>

class wxWindow;

namespace platform
{

// The X11 window id of the control's drawing area, made a native window of
// its own first; 0 while the control is not realized yet, or when the display
// is not X11.
std::uint64_t NativeDrawingWindowId(wxWindow& window);

} // namespace platform
