#include "core/StreamAddress.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace
{
const std::array<const char*, 7> kStreamSchemes = {"http", "https", "mms",  "mmsh",
                                                   "rtsp", "rtmp",  "rtmps"};
}

std::string AddressScheme(const std::string& address)
{
    const auto colon = address.find(':');
    if (colon == std::string::npos || colon == 0)
        return std::string();
    std::string scheme = address.substr(0, colon);
    const bool valid = std::isalpha(static_cast<unsigned char>(scheme[0])) &&
                       std::all_of(scheme.begin(), scheme.end(),
                                   [](unsigned char c)
                                   { return std::isalnum(c) || c == '+' || c == '-' || c == '.'; });
    if (!valid)
        return std::string();
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return scheme;
}

bool IsNetworkStreamAddress(const std::string& address)
{
    // Control characters could smuggle options or a second address to the player.
    if (std::any_of(address.begin(), address.end(),
                    [](unsigned char c) { return c < 0x20 || c == 0x7f; }))
        return false;
    const std::string scheme = AddressScheme(address);
    if (std::find(kStreamSchemes.begin(), kStreamSchemes.end(), scheme) == kStreamSchemes.end())
        return false;
    // "scheme://host...": a host must follow.
    const auto rest = address.substr(scheme.size() + 1);
    return rest.size() > 2 && rest.compare(0, 2, "//") == 0 && rest[2] != '/';
}
