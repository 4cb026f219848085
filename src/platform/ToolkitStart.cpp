#include "platform/ToolkitStart.h"

#include <cstdlib>

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

void AfterToolkitStart()
{
    if (g_bGdkGlSetHere)
    {
        unsetenv(kGdkGl);
        g_bGdkGlSetHere = false;
    }
}

} // namespace platform
