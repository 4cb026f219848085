#include "platform/ToolkitStart.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

namespace platform
{

namespace
{

const char* const kGdkGl = "GDK_GL";
// True while GDK_GL holds the value set here, not one of the person's.
bool g_bGdkGlSetHere = false;

} // namespace

void BeforeToolkitStart()
{
    setenv("GDK_BACKEND", "x11", 0);
    // A setting the person made (GDK_GL=always, for one) is left as it is.
    if (!std::getenv(kGdkGl))
    {
        setenv(kGdkGl, "disable", 1);
        g_bGdkGlSetHere = true;
    }
}

bool DisplayCanBeOpened()
{
    const char* backend = std::getenv("GDK_BACKEND");
    if (backend && std::strcmp(backend, "x11") != 0)
        return true;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return false;
    Display* connection = XOpenDisplay(display);
    if (!connection)
        return false;
    XCloseDisplay(connection);
    return true;
}

void AfterToolkitStart()
{
    if (g_bGdkGlSetHere)
    {
        unsetenv(kGdkGl);
        g_bGdkGlSetHere = false;
    }
}

} // namespace platform
