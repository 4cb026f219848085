#include "platform/GlFunctions.h"

#include <EGL/egl.h>
#include <GL/glx.h>

namespace platform
{

void* GlProcAddress(const char* pszName)
{
    if (eglGetCurrentContext() != EGL_NO_CONTEXT)
        return reinterpret_cast<void*>(eglGetProcAddress(pszName));
    return reinterpret_cast<void*>(
        glXGetProcAddressARB(reinterpret_cast<const unsigned char*>(pszName)));
}

} // namespace platform
