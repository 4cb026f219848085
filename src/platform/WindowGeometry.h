#pragma once
// Where a top-level window really is on the screen right now.

#include <wx/gdicmn.h>

class wxTopLevelWindow;

namespace platform
{

// The window's outer rectangle as the window system has it. The toolkit takes
// a new size in only at its next layout pass, so right after the person (or
// the window manager) has resized the window, GetRect() can still give the
// old size; this never does.
wxRect CurrentWindowRect(const wxTopLevelWindow& window);

} // namespace platform
