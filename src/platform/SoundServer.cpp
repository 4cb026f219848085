#include "platform/SoundServer.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace platform
{

bool IsPipeWireServerPresent()
{
    const char* pszRemote = std::getenv("PIPEWIRE_REMOTE");
    if (pszRemote && *pszRemote)
        return true;
    const char* pszRuntime = std::getenv("XDG_RUNTIME_DIR");
    if (!pszRuntime || !*pszRuntime)
        return false;
    struct stat info = {};
    const std::string strSocket = std::string(pszRuntime) + "/pipewire-0";
    return ::stat(strSocket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

} // namespace platform
