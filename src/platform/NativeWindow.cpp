#include "platform/NativeWindow.h"

#include <wx/window.h>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace platform
{

std::uint64_t NativeDrawingWindowId(wxWindow& window)
{
    GtkWidget* pWidget = window.GetHandle();
    if (!pWidget || !gtk_widget_get_realized(pWidget))
        return 0;
    GdkWindow* pWindow = window.GTKGetDrawingWindow();
    if (!pWindow || !GDK_IS_X11_WINDOW(pWindow))
        return 0;
    // Another program's drawing needs an X11 window of its own.
    gdk_window_ensure_native(pWindow);
    return GDK_WINDOW_XID(pWindow);
}

} // namespace platform
