#include "platform/WindowGeometry.h"

#include <wx/toplevel.h>

#include <gtk/gtk.h>

namespace platform
{

wxRect CurrentWindowRect(const wxTopLevelWindow& window)
{
    auto* widget = static_cast<GtkWidget*>(window.GetHandle());
    GdkWindow* gdkWindow = widget ? gtk_widget_get_window(widget) : nullptr;
    if (!gdkWindow || !gtk_widget_get_realized(widget))
        return window.GetRect();
    // A size the program has just asked for goes out now, and the window
    // system is asked once it has carried it out, decorations included: wx
    // learns of a move or resize by the person only when GTK gets round to
    // handling its notification.
    gtk_container_check_resize(GTK_CONTAINER(widget));
    gdk_display_sync(gdk_window_get_display(gdkWindow));
    GdkRectangle frame{};
    gdk_window_get_frame_extents(gdkWindow, &frame);
    return wxRect(frame.x, frame.y, frame.width, frame.height);
}

} // namespace platform
